// The C interface of libmirvo32.so: thin shells over the three calculators.
// Nothing leaves these functions as an exception; every failure becomes a
// result code whose text the geterror functions give.
#include "mirvo32.h"

#include <algorithm>
#include <string>
#include <vector>

#include "calc/com/com_server.h"
#include "calc/shared/beholde.h"
#include "calc/shared/calc_guard.h"
#include "calc/errors/calc_errors.h"
#include "calc/loan/calc_loan.h"
#include "calc/portfolio/portfolio.h"
#include "calc/rammelan/rmln.h"
#include "common/text/casing.h"
#include "common/text/encoding.h"

using mirvo::beregning::Beholde;
using mirvo::beregning::TCalcLoan;
using mirvo::beregning::TPortfolio;
using mirvo::beregning::TResultDest;
using mirvo::beregning::TRMLN;
namespace text = kavelin::text;

namespace {

constexpr uint16_t kLoanVersion = 300;
constexpr uint16_t kFrameworkVersion = 400;
// Staging buffers of the narrow bridges, in characters.
constexpr uint32_t kLoanAnsiBuffer = 100001;
constexpr uint32_t kFrameworkAnsiBuffer = 5001;
// Longest result identifier the narrow bridges pass on.
constexpr size_t kMaxFuncId = 100;

TCalcLoan* loanOf(void* h) { return static_cast<TCalcLoan*>(h); }
TPortfolio* portfolioOf(void* h) { return static_cast<TPortfolio*>(h); }
TRMLN* frameworkOf(void* h) { return static_cast<TRMLN*>(h); }

std::u16string_view wide(const char16_t* s) {
    return s ? std::u16string_view(s, text::wideLength(s)) : std::u16string_view();
}

std::u16string narrowToWide(const char* s) { return s ? text::fromCp1252(s) : std::u16string(); }

uint32_t guardLoan(TCalcLoan* loan, auto&& body) { return mirvo::beregning::callLoan(*loan, body); }
uint32_t guardPortfolio(TPortfolio* pf, auto&& body) { return mirvo::beregning::callPortfolio(*pf, body); }
uint32_t guardFramework(TRMLN* rl, auto&& body) { return mirvo::beregning::callFramework(*rl, body); }

// A private wide buffer for the narrow bridges, reused between calls.
std::vector<char16_t>& stagingBuffer(uint32_t chars) {
    thread_local std::vector<char16_t> buffer;
    if (buffer.size() < chars) buffer.resize(chars);
    return buffer;
}

// Copies a wide result into the caller's narrow buffer as a whole; the wide
// call already kept it below the capacity.
void copyNarrow(const char16_t* src, char* dest) {
    if (!dest) return;
    std::string narrow = text::toCp1252(wide(src));
    std::copy(narrow.begin(), narrow.end(), dest);
    dest[narrow.size()] = 0;
}

// The narrow result bridge shared by all three calculators.
template <class WideCall>
uint32_t narrowResult(const char* funcID, char* dest, uint32_t buffLen, uint32_t staging,
                      WideCall&& call) {
    std::u16string id = narrowToWide(funcID);
    if (id.size() > kMaxFuncId) id.resize(kMaxFuncId);
    uint32_t len = std::min<uint32_t>(buffLen & 0xFFFF, staging);
    auto& buffer = stagingBuffer(staging);
    buffer[0] = 0;
    uint32_t code = call(id.c_str(), buffer.data(), len);
    if (code != 0) {
        if (dest) dest[0] = 0;
    } else {
        copyNarrow(buffer.data(), dest);
    }
    return code;
}

// The narrow error bridge: the wide text, cut to the capacity, then converted.
template <class WideText>
void narrowError(char* dest, uint16_t capacity, uint32_t staging, WideText&& fetch) {
    if (!dest || capacity == 0) return;
    uint32_t len = std::min<uint32_t>(capacity, staging);
    auto& buffer = stagingBuffer(staging);
    buffer[0] = 0;
    fetch(buffer.data(), len);
    copyNarrow(buffer.data(), dest);
}

void writeText(const std::u16string& s, char16_t* dest, uint32_t capacity) {
    TResultDest{dest, capacity}.writeCut(s);
}

}  // namespace

extern "C" {

// ---- Loan calculator ------------------------------------------------------

void* MVinitialize(void) {
    try {
        return new TCalcLoan();
    } catch (...) {
        return nullptr;
    }
}

void MVterminate(void* handle) { delete loanOf(handle); }

uint32_t MVinput_w(void* handle, const char16_t* input) {
    TCalcLoan* loan = loanOf(handle);
    return guardLoan(loan, [&] { return loan->Input(wide(input)); });
}

uint32_t MVinput(void* handle, const char* input) {
    TCalcLoan* loan = loanOf(handle);
    return guardLoan(loan, [&] { return loan->Input(narrowToWide(input)); });
}

uint32_t MVgetresult_w(void* handle, const char16_t* funcID, uint16_t funcParam, char16_t* dest,
                       uint32_t buffLen) {
    TCalcLoan* loan = loanOf(handle);
    return guardLoan(loan, [&] { return loan->getResult(wide(funcID), funcParam, {dest, buffLen}); });
}

uint32_t MVgetfmtresult_w(void* handle, const char16_t* funcID, uint16_t funcParam, char16_t* dest,
                          uint32_t buffLen) {
    TCalcLoan* loan = loanOf(handle);
    Beholde<bool> fmt(loan->formatertOutput, true);
    return MVgetresult_w(handle, funcID, funcParam, dest, buffLen);
}

uint32_t MVgetresult(void* handle, const char* funcID, uint16_t funcParam, char* dest,
                     uint32_t buffLen) {
    TCalcLoan* loan = loanOf(handle);
    return guardLoan(loan, [&] {
        return narrowResult(funcID, dest, buffLen, kLoanAnsiBuffer,
                            [&](const char16_t* id, char16_t* buf, uint32_t len) {
                                return MVgetresult_w(handle, id, funcParam, buf, len);
                            });
    });
}

uint32_t MVgetfmtresult(void* handle, const char* funcID, uint16_t funcParam, char* dest,
                        uint32_t buffLen) {
    TCalcLoan* loan = loanOf(handle);
    Beholde<bool> fmt(loan->formatertOutput, true);
    return MVgetresult(handle, funcID, funcParam, dest, buffLen);
}

void MVgeterror_w(uint16_t code, char16_t* dest, uint32_t capacity) {
    try {
        writeText(mirvo::beregning::loanErrorText(code), dest, capacity);
    } catch (...) {
        TResultDest{dest, capacity}.clear();
    }
}

void MVgeterror(uint16_t code, char* dest, uint16_t capacity) {
    try {
        narrowError(dest, capacity, kLoanAnsiBuffer,
                    [&](char16_t* buf, uint32_t len) { MVgeterror_w(code, buf, len); });
    } catch (...) {
        if (dest && capacity) dest[0] = 0;
    }
}

uint32_t MVgeterrorcode(void* handle) {
    TCalcLoan* loan = loanOf(handle);
    return guardLoan(loan, [&] { return loan->getErrorCode(); });
}

uint16_t MVgetversion(void) { return kLoanVersion; }

// ---- Portfolio ------------------------------------------------------------

void* PFinitialize(void) {
    try {
        return new TPortfolio();
    } catch (...) {
        return nullptr;
    }
}

void PFterminate(void* portfolio) { delete portfolioOf(portfolio); }

void PFadd(void* portfolio, void* loan) {
    TPortfolio* pf = portfolioOf(portfolio);
    guardPortfolio(pf, [&] {
        pf->add(loanOf(loan));
        return 0u;
    });
}

uint32_t PFgetresult_w(void* portfolio, const char16_t* funcID, uint16_t funcParam, char16_t* dest,
                       uint32_t buffLen) {
    TPortfolio* pf = portfolioOf(portfolio);
    return guardPortfolio(pf, [&] { return pf->getResult(wide(funcID), funcParam, {dest, buffLen}); });
}

uint32_t PFgetfmtresult_w(void* portfolio, const char16_t* funcID, uint16_t funcParam,
                          char16_t* dest, uint32_t buffLen) {
    TPortfolio* pf = portfolioOf(portfolio);
    Beholde<bool> fmt(pf->FFormatertOutput, true);
    return PFgetresult_w(portfolio, funcID, funcParam, dest, buffLen);
}

uint32_t PFgetresult(void* portfolio, const char* funcID, uint16_t funcParam, char* dest,
                     uint32_t buffLen) {
    TPortfolio* pf = portfolioOf(portfolio);
    return guardPortfolio(pf, [&] {
        return narrowResult(funcID, dest, buffLen, kLoanAnsiBuffer,
                            [&](const char16_t* id, char16_t* buf, uint32_t len) {
                                return PFgetresult_w(portfolio, id, funcParam, buf, len);
                            });
    });
}

uint32_t PFgetfmtresult(void* portfolio, const char* funcID, uint16_t funcParam, char* dest,
                        uint32_t buffLen) {
    TPortfolio* pf = portfolioOf(portfolio);
    Beholde<bool> fmt(pf->FFormatertOutput, true);
    return PFgetresult(portfolio, funcID, funcParam, dest, buffLen);
}

void PFgeterror_w(void* portfolio, char16_t* dest, uint32_t capacity) {
    TPortfolio* pf = portfolioOf(portfolio);
    MVgeterror_w(pf ? pf->FErr : 0, dest, capacity);
}

void PFgeterror(void* portfolio, char* dest, uint16_t capacity) {
    TPortfolio* pf = portfolioOf(portfolio);
    MVgeterror(pf ? pf->FErr : 0, dest, capacity);
}

// ---- Framework loan -------------------------------------------------------

void* RLinitialize(void) {
    try {
        return new TRMLN();
    } catch (...) {
        return nullptr;
    }
}

void RLterminate(void* handle) { delete frameworkOf(handle); }

uint32_t RLinput_w(void* handle, const char16_t* input) {
    TRMLN* rl = frameworkOf(handle);
    return guardFramework(rl, [&] { return rl->Input(wide(input)); });
}

uint32_t RLinput(void* handle, const char* input) {
    TRMLN* rl = frameworkOf(handle);
    return guardFramework(rl, [&] { return rl->Input(narrowToWide(input)); });
}

uint32_t RLgetresult_w(void* handle, const char16_t* funcID, int32_t funcParam, char16_t* dest,
                       uint32_t buffLen) {
    TRMLN* rl = frameworkOf(handle);
    return guardFramework(rl, [&] { return rl->getResult(wide(funcID), funcParam, {dest, buffLen}); });
}

uint32_t RLgetfmtresult_w(void* handle, const char16_t* funcID, int32_t funcParam, char16_t* dest,
                          uint32_t buffLen) {
    TRMLN* rl = frameworkOf(handle);
    Beholde<bool> fmt(rl->FFmtOutput, true);
    return RLgetresult_w(handle, funcID, funcParam, dest, buffLen);
}

uint32_t RLgetresult(void* handle, const char* funcID, uint16_t funcParam, char* dest,
                     uint32_t buffLen) {
    TRMLN* rl = frameworkOf(handle);
    return guardFramework(rl, [&] {
        return narrowResult(funcID, dest, buffLen, kFrameworkAnsiBuffer,
                            [&](const char16_t* id, char16_t* buf, uint32_t len) {
                                return RLgetresult_w(handle, id, funcParam, buf, len);
                            });
    });
}

uint32_t RLgetfmtresult(void* handle, const char* funcID, uint16_t funcParam, char* dest,
                        uint32_t buffLen) {
    TRMLN* rl = frameworkOf(handle);
    Beholde<bool> fmt(rl->FFmtOutput, true);
    return RLgetresult(handle, funcID, funcParam, dest, buffLen);
}

void RLgeterror_w(uint16_t code, char16_t* dest, uint16_t capacity) {
    try {
        writeText(mirvo::beregning::frameworkErrorText(code), dest, capacity);
    } catch (...) {
        TResultDest{dest, capacity}.clear();
    }
}

void RLgeterror(uint16_t code, char* dest, uint16_t capacity) {
    try {
        narrowError(dest, capacity, kFrameworkAnsiBuffer, [&](char16_t* buf, uint32_t len) {
            RLgeterror_w(code, buf, uint16_t(len));
        });
    } catch (...) {
        if (dest && capacity) dest[0] = 0;
    }
}

uint16_t RLgetVersion(void) { return kFrameworkVersion; }

// ---- Automation server ----------------------------------------------------

HRESULT DllGetClassObject(const CLSID* rclsid, const IID* riid, void** ppv) {
    try {
        return mirvo::com::getClassObject(rclsid, riid, ppv);
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT DllCanUnloadNow(void) { return mirvo::com::canUnloadNow(); }

HRESULT DllRegisterServer(void) {
    try {
        return mirvo::com::registerServer(false);
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT DllUnregisterServer(void) {
    try {
        return mirvo::com::unregisterServer(false);
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT DllInstall(int32_t install, const char16_t* cmdLine) {
    try {
        bool perUser = text::upperCase(wide(cmdLine)) == u"USER";
        if (install) {
            HRESULT hr = mirvo::com::registerServer(perUser);
            if (hr == E_FAIL) mirvo::com::unregisterServer(perUser);
            return hr;
        }
        return mirvo::com::unregisterServer(perUser);
    } catch (...) {
        return E_FAIL;
    }
}

}  // extern "C"
