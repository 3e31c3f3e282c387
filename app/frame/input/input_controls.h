// The edit controls of the input windows: free text, number, mask (also
// periods), date with a calendar, drop-down, radio group and memo. Each one
// reports a change by the user with `userChanged`; values written by the
// program are not reported. Read-only controls keep showing their value,
// take no typing and are skipped by the Tab key.
#pragma once

#include <QComboBox>
#include <QPlainTextEdit>
#include <QWidget>

#include <string>
#include <string_view>
#include <vector>

#include "app/frame/kavelin_edit.h"
#include "app/ui/fmt/choicelist.h"

class QButtonGroup;
class QAction;

namespace kavelin::fmt {

// Background of read-only controls and of the bars of the input frames.
QColor readonlyColor();

// Common to the line edits over an edit filter.
class TFmtEdit : public TCustomKavelinEdit {
    Q_OBJECT
public:
    explicit TFmtEdit(QWidget* parent, std::u16string_view mask);
    // A text written by the program (no userChanged).
    void showText(std::u16string_view value);
    void setReadonlyLook(bool readonly, bool greyed);

signals:
    void userChanged();

private:
    bool FShowing = false;
};

// Free text of a maximum length (0: none).
class TAlfaEdit : public TFmtEdit {
    Q_OBJECT
public:
    explicit TAlfaEdit(QWidget* parent, int maxLength = 0);
};

// A number: grouping, decimals, sign and whether 0 is shown as empty.
class TNumEdit : public TFmtEdit {
    Q_OBJECT
public:
    TNumEdit(QWidget* parent, bool grouping, int decimals, bool allowNegative, bool hideZero, int maxLength = 0);
    // No value for an empty field.
    std::optional<double> number() const;
    void showNumber(double v);
};

// A character mask or a fill-out mask (periods).
class TMalEdit : public TFmtEdit {
    Q_OBJECT
public:
    TMalEdit(QWidget* parent, std::u16string_view mask, int maxLength = 0);
};

// A date in a date pattern, literals kept in the value; a calendar pop-up
// from a button at the right edge.
class TDatetimeEdit : public TFmtEdit {
    Q_OBJECT
public:
    TDatetimeEdit(QWidget* parent, std::u16string_view pattern);
    void setCalendarEnabled(bool on);
    bool calendarEnabled() const { return FCalendarEnabled; }
    // Shows a date text; a text that is not a date of the pattern clears the field.
    void showDate(std::u16string_view text);
    // The text reads as a date of the pattern and is 8 or 10 characters long.
    bool fullyEdited() const;
    void openCalendar();

private:
    QAction* FCalendarAction = nullptr;
    bool FCalendarEnabled = true;
};

// A drop-down of choice lines ("value=text", "text [value]" or plain texts).
class TDropDownMenuEdit : public QComboBox {
    Q_OBJECT
public:
    explicit TDropDownMenuEdit(QWidget* parent = nullptr);
    void setChoices(const std::vector<std::u16string>& lines);
    // The selected choice's value ("" when none).
    std::u16string selectedValue() const;
    // Selects the choice of that value (or text); none when there is no such choice.
    void showValue(std::u16string_view value);
    void setReadonly(bool readonly, bool greyed);
    bool readonly() const { return FReadonly; }
    // Asked each time the list drops down (the list may be rebuilt).
    std::function<void()> FOnDropDown;

signals:
    void userChanged();

protected:
    void showPopup() override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    TChoiceList FChoices;
    bool FReadonly = false;
    bool FShowing = false;
};

// Radio buttons for the choice lines in up to `maxColumns` columns.
class TRadioGroupEdit : public QWidget {
    Q_OBJECT
public:
    TRadioGroupEdit(QWidget* parent, const std::vector<std::u16string>& lines, int maxColumns);
    std::u16string selectedValue() const;
    void showValue(std::u16string_view value);
    void setReadonly(bool readonly, bool greyed);
    int columns() const { return FColumns; }

signals:
    void userChanged();

private:
    TChoiceList FChoices;
    QButtonGroup* FGroup;
    int FColumns = 1;
    bool FShowing = false;
};

// Multi-line text of a maximum length.
class TMemoEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    TMemoEdit(QWidget* parent, int maxLength);
    std::u16string value() const { return toPlainText().toStdU16String(); }
    void showText(std::u16string_view text);
    void setReadonly(bool readonly, bool greyed);

signals:
    void userChanged();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    int FMaxLength;
    bool FShowing = false;
};

}  // namespace kavelin::fmt
