// The pocket calculator without its window: the expression the user builds
// with keys and buttons, the live result under it, the percent step and the
// value handed back on OK. The window only forwards keys and buttons here and
// shows expression(), caret(), resultText() and resultState().
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kavelin::calculator {

enum class TResultState {
    Normal,
    Warning,  // shown in red: completed to be evaluated, unbalanced, or an operator replaced
    Error,    // "ERROR" or "OVERFLOW", shown in red
};

enum class TKnapp { Add, Sub, Mult, Div, PrntsStart, PrntsStopp, Prsnt, ErLik, BlankUt, Slett, Pkt };

// The window caption: the product name and "  -  Kalkulator".
std::u16string kalkulatorCaption(std::u16string_view productName);
// A result as the calculator shows it: 4 decimals at most, grouped from
// 10 000, no trailing zeros or comma; "OVERFLOW" when 21 characters or more.
std::u16string formatResult(double v);

class TKalkulator {
public:
    TKalkulator() { changed(false); }

    // Starts with `value` (when not 0) followed by the first operator.
    void start(double value, std::u16string_view initialOp);

    // A typed character; false when it is dropped (or, for "%", refused).
    bool keyPress(char16_t c);
    void pressDigit(int digit);
    // A button; false when refused (the window beeps).
    bool press(TKnapp knapp);
    // The control's own edits (paste, selection, caret moves).
    void setEditText(std::u16string_view text, int caret);
    void setSelection(int start, int length);

    const std::u16string& expression() const { return FExpression; }
    int caret() const { return FSelStart + FSelLength; }
    const std::u16string& resultText() const { return FResult; }
    TResultState resultState() const { return FState; }
    // Whether the percent key is allowed now.
    bool prosentEnabled() const { return FProsentEnabled; }
    // The value handed back on OK; none while the result is an error.
    std::optional<double> result() const;

private:
    void insert(std::u16string_view s);
    void changed(bool mayReplaceOperator);
    bool percent();
    bool equals();
    void caretToEnd();

    std::u16string FExpression;
    int FSelStart = 0;
    int FSelLength = 0;
    std::u16string FResult;
    TResultState FState = TResultState::Normal;
    bool FProsentEnabled = false;
};

}  // namespace kavelin::calculator
