// Failures inside the calculators and how they become 16-bit result codes.
//
// A coded failure (ECalcError) carries one of the documented codes. Any other
// failure that reaches the library boundary is given a generated code whose
// message is kept in a process-wide list, so that the geterror functions can
// still tell the caller what went wrong.
#pragma once

#include <cstdint>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace mirvo::beregning {

// A failure with one of the calculators' documented codes.
class ECalcError : public std::exception {
public:
    explicit ECalcError(uint16_t code) : FCode(code) {}
    uint16_t code() const { return FCode; }
    const char* what() const noexcept override { return "ECalcError"; }

private:
    uint16_t FCode;
};

// A failure with a message of its own (UTF-8), reported by a generated code.
class EMirvo : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A deliberately aborted operation; its generated message is "Avbrudd".
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Avbrudd"; }
};

// The message stored for a failure that carries no documented code.
std::u16string failureMessage(std::exception_ptr failure);

// Process-wide numbering of generated codes with their messages.
class GeneratedErrors {
public:
    enum class Wrap {
        // 10001 upwards; past 20000 the list is emptied and numbering restarts.
        Loan,
        // 1001 up to 65535, then again from 1000; messages are replaced.
        Framework,
    };

    explicit GeneratedErrors(Wrap wrap);

    uint16_t add(std::u16string message);
    // The stored message, or an empty text when there is none.
    std::u16string message(uint16_t code) const;

private:
    Wrap FWrap;
    uint32_t FCounter;
    std::map<uint16_t, std::u16string> FMessages;
};

GeneratedErrors& loanGeneratedErrors();
GeneratedErrors& frameworkGeneratedErrors();

// Generated code for the failure in flight (call from a catch block).
uint16_t loanFailureCode(std::exception_ptr failure);
uint16_t frameworkFailureCode(std::exception_ptr failure);

// Error texts as the geterror functions give them.
std::u16string loanErrorText(uint16_t code);
std::u16string frameworkErrorText(uint16_t code);

}  // namespace mirvo::beregning
