// Base of the errors that carry an operating-system error code (errno).
#pragma once

#include <stdexcept>
#include <string>

namespace kavelin::utils {

class EOSError : public std::runtime_error {
public:
    EOSError(const std::string& what, int code) : std::runtime_error(what), FCode(code) {}
    int code() const { return FCode; }

private:
    int FCode;
};

}  // namespace kavelin::utils
