#include "app/mng/mirvo_dll.h"

#include <algorithm>
#include <cmath>

#include "app/ui/fmt/numtext.h"
#include "common/text/casing.h"
#include "common/text/numtext.h"
#include "mirvo32.h"

namespace mirvo::dll {

namespace {

using kavelin::text::upperCase;

// ---- the two kinds of calculator ----------------------------------------------

void rlGetError(uint16_t code, char16_t* dest, uint32_t capacity) {
    RLgeterror_w(code, dest, uint16_t(std::min<uint32_t>(capacity, 0xFFFF)));
}

const TLaanExports kNedbetExports{
    MVinitialize, MVterminate, MVinput_w, MVgetfmtresult_w, MVgetresult_w, MVgeterror_w,
};

// The raw request goes to the raw export, so that raw numbers come without
// thousands separators.
const TLaanExports kRammeExports{
    RLinitialize,
    RLterminate,
    RLinput_w,
    [](void* h, const char16_t* id, uint16_t param, char16_t* dest, uint32_t len) {
        return RLgetfmtresult_w(h, id, param, dest, len);
    },
    [](void* h, const char16_t* id, uint16_t param, char16_t* dest, uint32_t len) {
        return RLgetresult_w(h, id, param, dest, len);
    },
    rlGetError,
};

// ---- reading the input text -----------------------------------------------------

bool isPairSeparator(char16_t c) { return c == u';' || c == u'\r' || c == u'\n'; }

std::u16string_view trimmed(std::u16string_view s) {
    while (!s.empty() && s.front() == u' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
    return s;
}

// The value of the first pair with the given (upper-case) name.
std::optional<std::u16string_view> valueOf(std::u16string_view input, std::u16string_view name) {
    size_t pos = 0;
    while (pos <= input.size()) {
        size_t end = pos;
        while (end < input.size() && !isPairSeparator(input[end])) ++end;
        std::u16string_view pair = input.substr(pos, end - pos);
        size_t eq = pair.find(u'=');
        if (eq != std::u16string_view::npos && upperCase(trimmed(pair.substr(0, eq))) == name)
            return trimmed(pair.substr(eq + 1));
        pos = end + 1;
    }
    return std::nullopt;
}

// A number read from the digits, signs and decimal separators of a text, so
// that "5 000,01" reads 5000.01.
std::optional<double> numberIn(std::u16string_view text) {
    std::u16string kept;
    for (char16_t c : text)
        if ((c >= u'0' && c <= u'9') || c == u'-' || c == u'+' || c == u',' || c == u'.')
            kept += c;
    if (kept.empty()) return std::nullopt;
    return kavelin::fmt::tryReadNumber(kept);
}

bool sameNumber(double a, double b) {
    double tolerance = std::max(std::min(std::fabs(a), std::fabs(b)) * 1e-12, 1e-12);
    return std::fabs(a - b) <= tolerance;
}

// Every run of digits with the first character after it (blanks skipped):
// "25 år 6 mnd" -> "25å6m".
std::u16string reducedPeriod(std::u16string_view text) {
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] < u'0' || text[i] > u'9') {
            ++i;
            continue;
        }
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') out += text[i++];
        while (i < text.size() && text[i] == u' ') ++i;
        if (i < text.size()) out += text[i++];
    }
    return out;
}

}  // namespace

// ---- TLaan --------------------------------------------------------------------------

TLaan::TLaan(const TLaanExports& exports, uint32_t startCapacity)
    : FExports(exports), FStartCapacity(startCapacity) {}

TLaan::~TLaan() { FExports.terminate(FHandle); }

void TLaan::setInput(std::u16string_view text) {
    // A portfolio must not keep referring to an object that is replaced or
    // changed under it.
    if (FPortefolje) FPortefolje->loansChanged();
    if (FInvalid && FHandle) {
        if (!FInput.empty() && !isPairSeparator(FInput.back())) FInput += u';';
        FInput += text;
    } else {
        FExports.terminate(FHandle);
        FHandle = nullptr;
        FHandle = FExports.initialize();
        if (!FHandle) throw EBeregning(0, u"Kan ikke opprette beregningsobjekt!");
        objectCreated();
        FError = 0;
        FInvalid = true;
        FInput.assign(text);
    }
    // The code is not looked at: a failing pair shows at the next request.
    std::u16string zeroTerminated(text);
    FExports.input(FHandle, zeroTerminated.c_str());
}

void* TLaan::libraryObject() {
    if (!FHandle) setInput(u"");
    return FHandle;
}

std::u16string TLaan::getOutputFmt(std::u16string_view id, uint16_t param) {
    return request(id, param, true);
}

std::u16string TLaan::getOutput(std::u16string_view id, uint16_t param) {
    return request(id, param, false);
}

std::u16string TLaan::request(std::u16string_view id, uint16_t param, bool formatted) {
    if (FError != 0) throw EBeregning(FError, errorText(FError));
    if (!acceptOutput(id)) return {};
    void* handle = libraryObject();
    std::u16string funcID(id);
    std::u16string text;
    uint32_t code = readResult(FStartCapacity, [&](char16_t* buffer, uint32_t capacity) {
        return formatted ? FExports.getFmtResult(handle, funcID.c_str(), param, buffer, capacity)
                         : FExports.getResult(handle, funcID.c_str(), param, buffer, capacity);
    }, text);
    FError = uint16_t(code);
    FInvalid = false;
    if (FError != 0) throw EBeregning(FError, errorText(FError));
    adjustOutput(id, text);
    return text;
}

uint16_t TLaan::error() {
    if (FInvalid || !FHandle) {
        try {
            request(u"EFFRNT", 100, true);
        } catch (const EBeregning&) {
            // the code is kept in FError
        }
    }
    return FError;
}

std::u16string TLaan::errorMsg() {
    uint16_t code = error();
    return code == 0 ? u"OK" : errorText(code);
}

std::u16string TLaan::errorText(uint16_t code) const {
    std::u16string buffer(kErrorBuffLen + 1, u'\0');
    FExports.getError(code, buffer.data(), kErrorBuffLen);
    std::u16string text(buffer.c_str());
    return text.empty() ? fallbackErrorText(code) : text;
}

// ---- TNedbetLaan ----------------------------------------------------------------------

TNedbetLaan::TNedbetLaan(uint32_t startCapacity) : TLaan(kNedbetExports, startCapacity) {}

bool TNedbetLaan::acceptOutput(std::u16string_view id) const {
    if (upperCase(id) != u"SNITTRNT1") return true;
    return upperCase(input()).find(u"RNTSATS2") != std::u16string::npos;
}

void TNedbetLaan::adjustOutput(std::u16string_view id, std::u16string& text) {
    std::u16string name = upperCase(id);
    if (name == u"TERMBELOP3") {
        FTermBel = text;
        auto given = valueOf(input(), u"TERMBELOP");
        auto shown = numberIn(text);
        if (given && shown) {
            auto givenNumber = numberIn(*given);
            if (givenNumber && sameNumber(*givenNumber, *shown)) text.clear();
        }
    } else if (name == u"INNBET2") {
        if (text == FTermBel) text.clear();
    } else if (name == u"LOPETID") {
        auto given = valueOf(input(), u"LOPETID");
        if (given && upperCase(reducedPeriod(*given)) == upperCase(reducedPeriod(text)))
            text.clear();
    }
}

// ---- TRammelaan ---------------------------------------------------------------------

TRammelaan::TRammelaan(uint32_t startCapacity) : TLaan(kRammeExports, startCapacity) {}

// ---- version --------------------------------------------------------------------------

std::u16string libraryVersionText() {
    uint16_t v = MVgetversion();
    return kavelin::text::intText(v / 100) + u"." + kavelin::text::intText(v % 100);
}

}  // namespace mirvo::dll
