#include "app/ui/fmt/textfmt.h"

#include <algorithm>
#include <vector>

#include "app/ui/fmt/fillout.h"
#include "app/ui/fmt/fmterror.h"
#include "app/ui/fmt/numtext.h"

namespace kavelin::fmt {
namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::vector<std::u16string_view> splitAt(std::u16string_view s, char16_t sep) {
    std::vector<std::u16string_view> out;
    for (size_t p; (p = s.find(sep)) != std::u16string_view::npos; s.remove_prefix(p + 1))
        out.push_back(s.substr(0, p));
    out.push_back(s);
    return out;
}

}  // namespace

std::u16string TCustomFmt::getMaskedStr(std::u16string_view) const {
    throw EFmtError("Not supported! ");
}

std::u16string TCustomFmt::getUnmaskedStr(std::u16string_view) const {
    throw EFmtError("Not supported! ");
}

std::u16string TCustomFmt::reformat(std::u16string_view text) const {
    return getMaskedStr(getUnmaskedStr(text));
}

void TTextFmt::setMask(std::u16string_view mask) {
    FMask = mask;
    FKind = TTextFmtKind::fkNone;
    FDecimals = 0;
    FNumAllow = TNumAllow::allowPositiveOnly;
    FNumSep = false;
    FNumPostfix.clear();
    FNumFactor = 1;
    FNumHide0 = false;
    FMaxLength = 0;
    FAnyText = false;
    if (mask.empty()) return;
    switch (mask[0]) {
        case u'N':
        case u'T':
            FKind = TTextFmtKind::fkNum;
            FNumSep = mask[0] == u'T';
            readNumberOptions(mask);
            break;
        case u'#':
        case u'{': FKind = TTextFmtKind::fkMasked; break;
        case u'D':
        case u'M':
        case u'Y':
        case u'h':
        case u'm':
        case u'n':
        case u's':
            FKind = TTextFmtKind::fkDatetime;
            FMask = normaliseDatetimePattern(mask);
            break;
        case u'_':
            splitFillOutMask(mask);  // raises for a mask without pairs
            FKind = TTextFmtKind::fkFillOut;
            break;
        case u'A': FAnyText = true; break;
        default: break;
    }
}

void TTextFmt::readNumberOptions(std::u16string_view mask) {
    if (mask.size() >= 2 && isDigit(mask[1])) FDecimals = uint8_t(mask[1] - u'0');
    if (mask.size() < 3) return;
    // Sign and zero options are read before the first ";" only, so that a
    // postfix such as ",-" does not allow negative numbers.
    std::u16string_view options = mask.substr(0, mask.find(u';'));
    if (options.find(u"--") != std::u16string_view::npos)
        FNumAllow = TNumAllow::allowNegativeOnly;
    else if (options.find(u'-') != std::u16string_view::npos)
        FNumAllow = TNumAllow::allowAll;
    FNumHide0 = options.find(u"H0") != std::u16string_view::npos;
    if (options.size() == mask.size()) return;
    FKind = TTextFmtKind::fkNumExt;
    std::vector<std::u16string_view> fields = splitAt(mask, u';');
    std::u16string_view factor = fields.size() > 1 ? fields[1] : std::u16string_view();
    std::u16string_view postfix = fields.size() > 2 ? fields[2] : std::u16string_view();
    if (postfix.empty() && (factor.empty() || !isDigit(factor[0]))) {
        FNumPostfix = factor;
        return;
    }
    FNumPostfix = postfix;
    FNumFactor = readNumber(factor);
    if (FNumFactor == 0) FNumFactor = 1;
}

std::u16string TTextFmt::getMaskedStr(std::u16string_view text) const {
    if (text.empty()) return {};
    switch (FKind) {
        case TTextFmtKind::fkNum: return makeNumStr(text, FDecimals, FNumSep, FNumHide0);
        case TTextFmtKind::fkNumExt:
            return makeSpecialNumStr(text, FDecimals, FNumSep, FNumPostfix, FNumHide0, FNumFactor);
        case TTextFmtKind::fkMasked: return makeMaskedStr(text, FMask, FSaveLiterals, false);
        case TTextFmtKind::fkDatetime: return makeDatetimeStr(text, FMask, FSaveLiterals, false);
        case TTextFmtKind::fkFillOut: return makeFillOutStr(text, FMask, false);
        case TTextFmtKind::fkNone: break;
    }
    return std::u16string(text);
}

std::u16string TTextFmt::getUnmaskedStr(std::u16string_view text) const {
    switch (FKind) {
        case TTextFmtKind::fkNum:
            return FNumSep ? makeUnfmtNumStr(text) : std::u16string(text);
        case TTextFmtKind::fkNumExt: return makeUnfmtSpecialNumStr(text, FNumPostfix, FNumFactor);
        case TTextFmtKind::fkMasked:
        case TTextFmtKind::fkDatetime: return makeUnfmtMaskedStr(text, FMask, FSaveLiterals);
        default: break;
    }
    return std::u16string(text);
}

std::u16string TTextFmt::reformatEdit(std::u16string_view text) const {
    switch (FKind) {
        case TTextFmtKind::fkNum:
        case TTextFmtKind::fkNumExt: {
            std::u16string num = reformatNumEdit(stripPostfix(text, FNumPostfix), FNumSep);
            if (FNumAllow == TNumAllow::allowNegativeOnly && !num.empty() && num != u"0" &&
                num[0] != u'-')
                num.insert(num.begin(), u'-');
            if (!num.empty() && !FNumPostfix.empty()) num += u' ' + FNumPostfix;
            return num;
        }
        case TTextFmtKind::fkMasked: return reformatMaskedEdit(text, FMask, FSaveLiterals);
        case TTextFmtKind::fkDatetime: return reformatDatetimeEdit(text, FMask, FSaveLiterals);
        case TTextFmtKind::fkFillOut: return makeFillOutStr(text, FMask, true);
        case TTextFmtKind::fkNone: break;
    }
    return std::u16string(text);
}

int TTextFmt::calcEditMaxLength(int n) const {
    switch (FKind) {
        case TTextFmtKind::fkNum:
        case TTextFmtKind::fkNumExt:
            // Long enough to read as a number, so the digits count is capped.
            return n <= 0 ? 0 : int(getMaskedStr(std::u16string(size_t(std::min(n, 300)), u'1')).size());
        case TTextFmtKind::fkMasked: {
            std::u16string m = splitMask(FMask).mask;
            size_t first = m.find(u'#');
            return int(first == std::u16string::npos ? m.size() : m.size() - first);
        }
        case TTextFmtKind::fkDatetime:
        case TTextFmtKind::fkFillOut: return int(FMask.size());
        case TTextFmtKind::fkNone: break;
    }
    return n;
}

std::u16string TTextFmt::numEditMask(bool grouping, int decimals, TNumAllow allow, bool hideZero,
                                     double factor, std::u16string_view postfix) {
    std::u16string m = grouping ? u"T" : u"N";
    m += char16_t(u'0' + std::clamp(decimals, 0, 9));
    if (allow == TNumAllow::allowNegativeOnly) m += u"--";
    else if (allow == TNumAllow::allowAll) m += u"-";
    if (hideZero) m += u"H0";
    if (factor != 1 && factor != 0) {
        m += u';';
        m += writeNumberTrimmed(factor, 6, false);
    } else if (!postfix.empty() && isDigit(postfix[0])) {
        m += u';';  // an empty factor, so the postfix is not read as one
    }
    if (!postfix.empty()) {
        m += u';';
        m += postfix;
    }
    return m;
}

std::u16string getMaskedStr(std::u16string_view text, std::u16string_view mask) {
    return TTextFmt(mask).getMaskedStr(text);
}

std::u16string getUnmaskedStr(std::u16string_view text, std::u16string_view mask) {
    return TTextFmt(mask).getUnmaskedStr(text);
}

}  // namespace kavelin::fmt
