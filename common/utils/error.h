// Base exception of the shared units. The message is kept as UTF-16 (the
// form every caller shows it in); what() gives the same text in UTF-8.
#pragma once

#include <stdexcept>
#include <string>

namespace kavelin::utils {

class EKavelin : public std::runtime_error {
public:
    explicit EKavelin(std::u16string message);
    const std::u16string& message() const noexcept { return FMessage; }

private:
    std::u16string FMessage;
};

// A date or day number that the engine's 16-bit day numbers cannot hold.
class EDatoUtenforOmraade : public EKavelin {
public:
    EDatoUtenforOmraade();
};

}  // namespace kavelin::utils
