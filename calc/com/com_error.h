// Failures inside automation methods that are not result codes. They leave
// a vtable method as its HRESULT and an Invoke as DISP_E_EXCEPTION with the
// message in EXCEPINFO.
#pragma once

#include <exception>
#include <string>

#include "mirvo32_com.h"

namespace mirvo::com {

class EAutomation : public std::exception {
public:
    EAutomation(HRESULT hr, std::u16string message) : FHr(hr), FMessage(std::move(message)) {}
    HRESULT hr() const { return FHr; }
    const std::u16string& message() const { return FMessage; }
    const char* what() const noexcept override { return "EAutomation"; }

private:
    HRESULT FHr;
    std::u16string FMessage;
};

// The HRESULT and message of the failure in flight (call from a catch block).
struct TFailure {
    HRESULT hr;
    std::u16string message;
};
TFailure currentFailure();

// Runs body; a failure becomes its HRESULT.
template <class F>
HRESULT guarded(F&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (...) {
        return currentFailure().hr;
    }
}

}  // namespace mirvo::com
