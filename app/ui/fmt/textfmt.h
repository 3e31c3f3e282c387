// Formats of the input fields: a short mask text tells how a stored value
// text is shown, how a shown text is read back and which characters may be
// typed. "T0" (whole numbers, grouped), "N2-" (two decimals, both signs),
// "T2;100;%" (a fraction shown as percent), "##.##{0123456789}" (character
// mask with filter), "DD.MM.YYYY" (date), "__ år  __ mnd" (period).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/ui/fmt/masktext.h"

namespace kavelin::fmt {

enum class TTextFmtKind { fkNone, fkNum, fkNumExt, fkMasked, fkDatetime, fkFillOut };
enum class TNumAllow { allowPositiveOnly, allowAll, allowNegativeOnly };

// Base of every format: value text <-> displayed text.
class TCustomFmt {
public:
    virtual ~TCustomFmt() = default;
    // Value text -> displayed text. The base offers no conversion.
    virtual std::u16string getMaskedStr(std::u16string_view text) const;
    // Displayed text -> value text.
    virtual std::u16string getUnmaskedStr(std::u16string_view text) const;
    void maskStr(std::u16string& text) const { text = getMaskedStr(text); }
    void unMaskStr(std::u16string& text) const { text = getUnmaskedStr(text); }
    // Unmask, then mask.
    std::u16string reformat(std::u16string_view text) const;
};

// A parsed mask.
class TTextFmt : public TCustomFmt {
public:
    TTextFmt() = default;
    explicit TTextFmt(std::u16string_view mask) { setMask(mask); }

    // Resets every setting and reads the mask. A fill-out mask that is not
    // made of filler and unit pairs raises EFmtError.
    void setMask(std::u16string_view mask);
    const std::u16string& mask() const { return FMask; }

    std::u16string getMaskedStr(std::u16string_view text) const override;
    std::u16string getUnmaskedStr(std::u16string_view text) const override;
    // The editing form of a displayed text (numbers regrouped with their
    // decimals as typed, masks and dates filled as typed, periods with "_").
    std::u16string reformatEdit(std::u16string_view text) const;

    // Display length of an n-character value.
    int calcEditMaxLength(int n) const;

    TTextFmtKind kind() const { return FKind; }
    bool isNumber() const { return FKind == TTextFmtKind::fkNum || FKind == TTextFmtKind::fkNumExt; }
    int decimals() const { return FDecimals; }
    TNumAllow numAllow() const { return FNumAllow; }
    bool numSep() const { return FNumSep; }
    const std::u16string& numPostfix() const { return FNumPostfix; }
    double numFactor() const { return FNumFactor; }
    bool numHide0() const { return FNumHide0; }
    bool saveLiterals() const { return FSaveLiterals; }
    void setSaveLiterals(bool v) { FSaveLiterals = v; }
    // 0 = no limit; a negative limit counts by its absolute value.
    int32_t maxLength() const { return FMaxLength; }
    void setMaxLength(int32_t n) { FMaxLength = n; }
    int32_t lengthLimit() const { return FMaxLength < 0 ? -FMaxLength : FMaxLength; }
    // Whether "A" allows free typing (a kind fkNone mask other than "A" allows none).
    bool allowsFreeText() const { return FAnyText; }

    // Builds the mask of a numeric edit control from its settings.
    static std::u16string numEditMask(bool grouping, int decimals, TNumAllow allow, bool hideZero,
                                      double factor, std::u16string_view postfix);

protected:
    std::u16string FMask;
    bool FSaveLiterals = false;
    TTextFmtKind FKind = TTextFmtKind::fkNone;
    uint8_t FDecimals = 0;
    TNumAllow FNumAllow = TNumAllow::allowPositiveOnly;
    bool FNumSep = false;
    std::u16string FNumPostfix;
    double FNumFactor = 1;
    bool FNumHide0 = false;
    int32_t FMaxLength = 0;
    bool FAnyText = false;

private:
    void readNumberOptions(std::u16string_view mask);
};

// Class-level conversions: a temporary format per call.
std::u16string getMaskedStr(std::u16string_view text, std::u16string_view mask);
std::u16string getUnmaskedStr(std::u16string_view text, std::u16string_view mask);

}  // namespace kavelin::fmt
