// The one exception type of the format module.
#pragma once

#include <stdexcept>
#include <string>

namespace kavelin::fmt {

class EFmtError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace kavelin::fmt
