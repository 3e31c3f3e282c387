// An edit filter ties a text filter to one edit control. The control is
// reached through TEditOwner only, so the keyboard and focus rules work (and
// are tested) without a window.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/ui/fmt/textfilter.h"

namespace kavelin::fmt {

// What the filter needs of its control.
class TEditOwner {
public:
    virtual ~TEditOwner() = default;
    virtual std::u16string text() const = 0;
    virtual void setText(const std::u16string& text) = 0;
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    virtual void setSelection(int start, int length) = 0;
    virtual void copyToClipboard(const std::u16string&) {}
    // Characters that fit the control: its width / (average character width + 1) - 1.
    virtual int widthInChars() const { return 0; }
};

enum class TEditKey { Other, Enter, Tab, Left, Right, Delete, Backspace };

// The application's calculator: shows itself with a start value and a first
// operator, returns true and the result in `value` when confirmed.
using TCalculatorHook = std::function<bool(double& value, std::u16string_view initialOp)>;
void installCalculator(TCalculatorHook hook);
bool calculatorInstalled();
// The operator that Ctrl plus a virtual-key code opens the calculator with
// ("" for F12); no value for other keys.
std::optional<std::u16string> calculatorOperatorForKey(int virtualKey);

class TEditFilter : public TTextFilter {
public:
    explicit TEditFilter(TEditOwner* owner);

    bool enabled() const { return FEnabled; }
    void setEnabled(bool v) { FEnabled = v; }
    bool multilineEdit() const { return FMultilineEdit; }
    void setMultilineEdit(bool v) { FMultilineEdit = v; }

    // A typed character; true when the filter took care of it (inserted or refused).
    bool KeyPress(char16_t c);
    // A key; true when the filter handled it and the control must not.
    bool KeyDown(TEditKey key, bool shift, bool ctrl, int virtualKey = 0);
    void SetFocus();
    void KillFocus();
    // The control's text was changed from outside (paste, program).
    void Change();
    // Writes a value text into the control in its displayed form.
    void setValue(std::u16string_view value);

private:
    void show(const std::u16string& text, int selStart, int selLength = 0);
    bool moveFillOutField(bool forward);

    TEditOwner* FOwner;
    bool FEnabled = true;
    bool FMultilineEdit = false;
    bool FInPreventChangeEvent = false;
    int FControlLimit = 0;
};

}  // namespace kavelin::fmt
