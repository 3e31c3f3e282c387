// The application's own edit control: a line edit whose typing, deleting and
// focus rules come from an edit filter with the field's mask. In number fields
// Ctrl plus an operator key opens the calculator with the field's value.
#pragma once

#include <QLineEdit>

#include <optional>
#include <string_view>

#include "app/ui/fmt/editfilter.h"

namespace kavelin::fmt {

// The Windows virtual-key code the edit filter knows for a key pressed with
// Ctrl, from the key Qt reports. On a Norwegian keyboard: the "7 /" key 55
// (with Shift, "/", 47), "+ ?" 187, "- _" 189, "' *" 191, and on the keypad
// "/" 111, "*" 106, "+" 107, "-" 109; F12 123. Other keys: none.
std::optional<int> windowsKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

class TCustomKavelinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustomKavelinEdit(QWidget* parent = nullptr, std::u16string_view mask = u"A");

    TEditFilter& filter() { return FFilter; }
    void setMask(std::u16string_view mask);
    bool isNumber() const { return FFilter.isNumber(); }
    // The value text (unmasked) and writing one.
    std::u16string value() const { return FFilter.str(); }
    void setValue(std::u16string_view value) { FFilter.setValue(value); }
    // Opens the calculator as Ctrl + the operator would; true when its value was taken.
    bool openCalculator(std::u16string_view initialOp = u"");

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The control as the filter sees it.
    struct TOwner : TEditOwner {
        TCustomKavelinEdit* e;
        explicit TOwner(TCustomKavelinEdit* edit) : e(edit) {}
        std::u16string text() const override;
        void setText(const std::u16string& text) override;
        int selStart() const override;
        int selLength() const override;
        void setSelection(int start, int length) override;
        void copyToClipboard(const std::u16string& text) override;
        int widthInChars() const override;
    };

    TOwner FOwner{this};
    TEditFilter FFilter{&FOwner};
};

}  // namespace kavelin::fmt
