#include "app/frame/input/input_controls.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>
#include <QWheelEvent>
#include <QWidgetAction>

#include <algorithm>

#include "app/ui/fmt/numtext.h"
#include "common/utils/dates.h"
#include "app/ui/qt_text.h"

namespace kavelin::fmt {

QColor readonlyColor() { return QColor(231, 239, 245); }

namespace {

using kavelin::text::qs;

// Read-only controls take no Tab stop; clicking still focuses them so the
// value can be selected and copied.
void applyReadonlyLook(QWidget* w, bool readonly, bool greyed) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, readonly && greyed ? readonlyColor() : QColor(Qt::white));
    w->setPalette(p);
    w->setFocusPolicy(readonly ? Qt::ClickFocus : Qt::StrongFocus);
}

// A small calendar glyph drawn in code, so no picture file is needed.
QIcon calendarIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(70, 90, 120));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, QColor(70, 110, 170));
    p.setPen(QColor(120, 120, 120));
    for (int y = 8; y <= 12; y += 2)
        for (int x = 3; x <= 12; x += 3) p.drawPoint(x, y);
    return QIcon(pm);
}

}  // namespace

// ---- TFmtEdit -----------------------------------------------------------------

TFmtEdit::TFmtEdit(QWidget* parent, std::u16string_view mask) : TCustomKavelinEdit(parent, mask) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!FShowing) emit userChanged();
    });
}

void TFmtEdit::showText(std::u16string_view value) {
    FShowing = true;
    setValue(value);
    FShowing = false;
}

void TFmtEdit::setReadonlyLook(bool readonly, bool greyed) {
    setReadOnly(readonly);
    filter().setEnabled(!readonly);
    applyReadonlyLook(this, readonly, greyed);
}

TAlfaEdit::TAlfaEdit(QWidget* parent, int maxLength) : TFmtEdit(parent, u"A") {
    filter().setMaxLength(maxLength);
    if (maxLength > 0) setMaxLength(maxLength);
}

// ---- TNumEdit -----------------------------------------------------------------

TNumEdit::TNumEdit(QWidget* parent, bool grouping, int decimals, bool allowNegative, bool hideZero, int maxLength)
    : TFmtEdit(parent, u"T0") {
    setMask(TTextFmt::numEditMask(grouping, decimals, allowNegative ? TNumAllow::allowAll : TNumAllow::allowPositiveOnly,
                                  hideZero, 1, u""));
    filter().setMaxLength(maxLength);
}

std::optional<double> TNumEdit::number() const {
    const std::u16string v = const_cast<TNumEdit*>(this)->filter().str();
    if (v.empty()) return std::nullopt;
    return readNumber(v);
}

void TNumEdit::showNumber(double v) {
    // The value text in the application's conventions, then shown in the mask.
    showText(writeNumberTrimmed(v, 10, false));
}

TMalEdit::TMalEdit(QWidget* parent, std::u16string_view mask, int maxLength) : TFmtEdit(parent, mask) {
    if (maxLength > 0) filter().setMaxLength(maxLength);
}

// ---- TDatetimeEdit ------------------------------------------------------------

TDatetimeEdit::TDatetimeEdit(QWidget* parent, std::u16string_view pattern) : TFmtEdit(parent, pattern) {
    filter().setSaveLiterals(true);
    FCalendarAction = addAction(calendarIcon(), QLineEdit::TrailingPosition);
    FCalendarAction->setToolTip(QStringLiteral("Velg dato i kalender"));
    connect(FCalendarAction, &QAction::triggered, this, &TDatetimeEdit::openCalendar);
}

void TDatetimeEdit::setCalendarEnabled(bool on) {
    FCalendarEnabled = on;
    FCalendarAction->setVisible(on && !isReadOnly());
}

void TDatetimeEdit::showDate(std::u16string_view text) {
    finans::Datorec d;
    if (!text.empty() && !utils::StrTilDato(text, filter().mask(), d)) return showText(u"");
    showText(text);
}

bool TDatetimeEdit::fullyEdited() const {
    const std::u16string t = text().toStdU16String();
    finans::Datorec d;
    return (t.size() == 8 || t.size() == 10) &&
           utils::StrTilDato(t, const_cast<TDatetimeEdit*>(this)->filter().mask(), d) && utils::okdato(d);
}

void TDatetimeEdit::openCalendar() {
    if (!FCalendarEnabled || isReadOnly()) return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto* calendar = new QCalendarWidget(menu);
    calendar->setObjectName(QStringLiteral("kalender"));
    calendar->setGridVisible(true);
    calendar->setFirstDayOfWeek(Qt::Monday);
    calendar->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    finans::Datorec d;
    if (utils::StrTilDato(text().toStdU16String(), filter().mask(), d) && utils::okdato(d))
        calendar->setSelectedDate(QDate(d.year(), d.month(), d.day()));
    auto* action = new QWidgetAction(menu);
    action->setDefaultWidget(calendar);
    menu->addAction(action);
    connect(calendar, &QCalendarWidget::clicked, this, [this, menu](QDate date) {
        const auto picked = finans::Datorec::ymd(date.year(), date.month(), date.day());
        setValue(utils::datostr(picked, filter().mask()));  // a user change
        menu->close();
    });
    menu->popup(mapToGlobal(QPoint(0, height())));
}

// ---- TDropDownMenuEdit --------------------------------------------------------

TDropDownMenuEdit::TDropDownMenuEdit(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!FShowing) emit userChanged();
    });
}

void TDropDownMenuEdit::setChoices(const std::vector<std::u16string>& lines) {
    const std::u16string selected = selectedValue();
    FShowing = true;
    FChoices.Clear();
    for (const auto& l : lines) FChoices.Add(l);
    clear();
    for (int i = 0; i < FChoices.count(); ++i) addItem(qs(FChoices.item(i).text));
    setCurrentIndex(FChoices.indexOfValue(selected));
    FShowing = false;
}

std::u16string TDropDownMenuEdit::selectedValue() const {
    const int i = currentIndex();
    return i < 0 || i >= FChoices.count() ? std::u16string() : FChoices.item(i).value;
}

void TDropDownMenuEdit::showValue(std::u16string_view value) {
    int i = FChoices.indexOfValue(value);
    if (i < 0) i = FChoices.indexOfText(value);
    FShowing = true;
    setCurrentIndex(i);
    FShowing = false;
}

void TDropDownMenuEdit::setReadonly(bool readonly, bool greyed) {
    FReadonly = readonly;
    applyReadonlyLook(this, readonly, greyed);
    QPalette p = palette();
    p.setColor(QPalette::Button, readonly && greyed ? readonlyColor() : QColor(Qt::white));
    setPalette(p);
}

void TDropDownMenuEdit::showPopup() {
    if (FReadonly) return;
    if (FOnDropDown) FOnDropDown();
    QComboBox::showPopup();
}

void TDropDownMenuEdit::keyPressEvent(QKeyEvent* e) {
    if (FReadonly && e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab) return e->ignore();
    QComboBox::keyPressEvent(e);
}

void TDropDownMenuEdit::wheelEvent(QWheelEvent* e) {
    // Scrolling the input area must not change choices under the mouse.
    if (FReadonly || !hasFocus()) return e->ignore();
    QComboBox::wheelEvent(e);
}

// ---- TRadioGroupEdit ----------------------------------------------------------

TRadioGroupEdit::TRadioGroupEdit(QWidget* parent, const std::vector<std::u16string>& lines, int maxColumns)
    : QWidget(parent), FGroup(new QButtonGroup(this)) {
    for (const auto& l : lines) FChoices.Add(l);
    FColumns = std::clamp(FChoices.count(), 1, std::max(1, maxColumns));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(0);
    for (int i = 0; i < FChoices.count(); ++i) {
        auto* b = new QRadioButton(qs(FChoices.item(i).text), this);
        b->setObjectName(QStringLiteral("valg") + QString::number(i));
        b->setAccessibleName(b->text());
        FGroup->addButton(b, i);
        grid->addWidget(b, i / FColumns, i % FColumns);
    }
    connect(FGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked && !FShowing) emit userChanged();
    });
}

std::u16string TRadioGroupEdit::selectedValue() const {
    const int i = FGroup->checkedId();
    return i < 0 ? std::u16string() : FChoices.item(i).value;
}

void TRadioGroupEdit::showValue(std::u16string_view value) {
    int i = FChoices.indexOfValue(value);
    if (i < 0) i = FChoices.indexOfText(value);
    FShowing = true;
    if (i >= 0) {
        FGroup->button(i)->setChecked(true);
    } else if (QAbstractButton* b = FGroup->checkedButton()) {
        FGroup->setExclusive(false);
        b->setChecked(false);
        FGroup->setExclusive(true);
    }
    FShowing = false;
}

void TRadioGroupEdit::setReadonly(bool readonly, bool greyed) {
    setAutoFillBackground(readonly && greyed);
    QPalette p = palette();
    p.setColor(QPalette::Window, readonly && greyed ? readonlyColor() : p.color(QPalette::Window));
    setPalette(p);
    for (QAbstractButton* b : FGroup->buttons()) {
        b->setAttribute(Qt::WA_TransparentForMouseEvents, readonly);
        b->setFocusPolicy(readonly ? Qt::NoFocus : Qt::StrongFocus);
    }
}

// ---- TMemoEdit ------------------------------------------------------------------

TMemoEdit::TMemoEdit(QWidget* parent, int maxLength) : QPlainTextEdit(parent), FMaxLength(maxLength) {
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(1);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (FMaxLength > 0 && toPlainText().size() > FMaxLength) {
            // Pasted text beyond the limit is cut.
            FShowing = true;
            QTextCursor c = textCursor();
            setPlainText(toPlainText().left(FMaxLength));
            c.setPosition(FMaxLength);
            setTextCursor(c);
            FShowing = false;
        }
        if (!FShowing) emit userChanged();
    });
}

void TMemoEdit::showText(std::u16string_view text) {
    if (value() == text) return;
    FShowing = true;
    setPlainText(qs(text));
    FShowing = false;
}

void TMemoEdit::setReadonly(bool readonly, bool greyed) {
    setReadOnly(readonly);
    applyReadonlyLook(this, readonly, greyed);
}

void TMemoEdit::keyPressEvent(QKeyEvent* e) {
    const bool typing = !e->text().isEmpty() && e->text().at(0).isPrint();
    if (typing && FMaxLength > 0 && toPlainText().size() >= FMaxLength && !textCursor().hasSelection()) return;
    QPlainTextEdit::keyPressEvent(e);
}

}  // namespace kavelin::fmt
