// A format holding the current text of a field in its displayed form, with
// the rules for typing, deleting and focus changes. Free of any widget: the
// edit filter (editfilter.h) ties it to a control.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/ui/fmt/textfmt.h"
#include "common/finans/datorec.h"

namespace kavelin::fmt {

// A text with its caret after an edit; `removed` is the text taken out.
struct TEditResult {
    std::u16string text;
    int caret = 0;
    std::u16string removed;
};

class TTextFilter : public TTextFmt {
public:
    using TTextFmt::TTextFmt;

    // The value text: unmasked, unless the literals are kept.
    std::u16string str() const;
    void setStr(std::u16string_view value);
    // The displayed text.
    const std::u16string& fmtStr() const { return FText; }
    void setFmtStr(std::u16string_view text) { FText = text; }

    int64_t asInteger() const;
    void setAsInteger(int64_t v);
    double asFloat() const;
    // Written with the mask's decimals (a factor format keeps up to 10).
    void setAsFloat(double v);
    // The date in the mask's pattern: the missing date for an empty text, no
    // value when the text is not a date.
    std::optional<finans::Datorec> asDate() const;
    void setAsDate(finans::Datorec d);

    // The number a number field shows (postfix and grouping left out).
    double displayedNumber() const;
    // Shows a number (a calculator result); the value is it divided by the factor.
    void setDisplayedNumber(double shown);

    // A typed character inserted at the caret (a selection already removed):
    // false when refused, else text and caret are updated. `extraLimit` is a
    // length limit from the control, used when the format has none.
    bool validateCharInsert(std::u16string& text, char16_t c, int& caret, int extraLimit = 0) const;
    // Delete (forward) or Backspace: the selection, or one character.
    TEditResult deleteChars(std::u16string_view text, int selStart, int selLength,
                            bool backspace) const;
    // The text when the field gets / loses the focus.
    std::u16string focusEnterText(std::u16string_view text) const;
    std::u16string focusLeaveText(std::u16string_view text) const;
    // Number fields of a fill-out text: [start, end) of each run of digits and "_".
    static std::vector<std::pair<int, int>> fillOutFields(std::u16string_view text);

protected:
    std::u16string FText;

private:
    bool charSuits(char16_t c) const;
    bool isSignificant(char16_t c) const;
    int placeCaret(std::u16string_view text, int significantBefore) const;
};

}  // namespace kavelin::fmt
