#include "app/frame/kavelin_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

namespace kavelin::fmt {

std::optional<int> windowsKeyCode(int qtKey, Qt::KeyboardModifiers modifiers) {
    bool keypad = modifiers & Qt::KeypadModifier;
    switch (qtKey) {
        case Qt::Key_Slash: return keypad ? 111 : 47;
        case Qt::Key_7: return keypad ? std::nullopt : std::optional<int>(55);
        case Qt::Key_Asterisk: return keypad ? 106 : 191;
        case Qt::Key_Apostrophe: return 191;
        case Qt::Key_Plus: return keypad ? 107 : 187;
        case Qt::Key_Question:
        case Qt::Key_Equal: return 187;  // the "+" key with Shift; US layouts: "= +"
        case Qt::Key_Minus: return keypad ? 109 : 189;
        case Qt::Key_Underscore: return 189;
        case Qt::Key_F12: return 123;
        default: return std::nullopt;
    }
}

TCustomKavelinEdit::TCustomKavelinEdit(QWidget* parent, std::u16string_view mask)
    : QLineEdit(parent) {
    FFilter.setMask(mask);
    connect(this, &QLineEdit::textEdited, this, [this] { FFilter.Change(); });
}

void TCustomKavelinEdit::setMask(std::u16string_view mask) {
    FFilter.setMask(mask);
    if (isNumber()) setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

bool TCustomKavelinEdit::openCalculator(std::u16string_view initialOp) {
    QString before = text();
    int vk = 123;
    if (initialOp == u"/") vk = 111;
    else if (initialOp == u"*") vk = 106;
    else if (initialOp == u"+") vk = 107;
    else if (initialOp == u"-") vk = 109;
    FFilter.KeyDown(TEditKey::Other, false, true, vk);
    return text() != before;
}

void TCustomKavelinEdit::keyPressEvent(QKeyEvent* event) {
    Qt::KeyboardModifiers mods = event->modifiers();
    bool ctrl = mods & Qt::ControlModifier;
    bool shift = mods & Qt::ShiftModifier;
    if (ctrl) {
        if (auto vk = windowsKeyCode(event->key(), mods))
            if (FFilter.KeyDown(TEditKey::Other, shift, true, *vk)) return event->accept();
        return QLineEdit::keyPressEvent(event);  // copy, paste, select all
    }
    TEditKey key = TEditKey::Other;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: key = TEditKey::Enter; break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: key = TEditKey::Tab; break;
        case Qt::Key_Left: key = TEditKey::Left; break;
        case Qt::Key_Right: key = TEditKey::Right; break;
        case Qt::Key_Delete: key = TEditKey::Delete; break;
        case Qt::Key_Backspace: key = TEditKey::Backspace; break;
        default: break;
    }
    if (key != TEditKey::Other) {
        if (FFilter.KeyDown(key, shift || event->key() == Qt::Key_Backtab, false)) return event->accept();
        return QLineEdit::keyPressEvent(event);
    }
    QString typed = event->text();
    if (typed.size() == 1 && typed.at(0).isPrint() && !(mods & (Qt::AltModifier | Qt::MetaModifier))) {
        FFilter.KeyPress(typed.at(0).unicode());
        return event->accept();
    }
    QLineEdit::keyPressEvent(event);
}

bool TCustomKavelinEdit::event(QEvent* event) {
    // Tab moves between the number parts of a fill-out field before it leaves the control.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && !(key->modifiers() & Qt::ControlModifier) &&
            FFilter.KeyDown(TEditKey::Tab, key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier), false))
            return true;
    }
    return QLineEdit::event(event);
}

void TCustomKavelinEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    FFilter.SetFocus();
}

void TCustomKavelinEdit::focusOutEvent(QFocusEvent* event) {
    FFilter.KillFocus();
    QLineEdit::focusOutEvent(event);
}

std::u16string TCustomKavelinEdit::TOwner::text() const { return e->text().toStdU16String(); }

void TCustomKavelinEdit::TOwner::setText(const std::u16string& text) { e->setText(QString::fromStdU16String(text)); }

int TCustomKavelinEdit::TOwner::selStart() const {
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}

int TCustomKavelinEdit::TOwner::selLength() const { return e->hasSelectedText() ? int(e->selectedText().size()) : 0; }

void TCustomKavelinEdit::TOwner::setSelection(int start, int length) {
    if (length > 0) e->setSelection(start, length);
    else e->setCursorPosition(start);
}

void TCustomKavelinEdit::TOwner::copyToClipboard(const std::u16string& text) {
    QApplication::clipboard()->setText(QString::fromStdU16String(text));
}

int TCustomKavelinEdit::TOwner::widthInChars() const {
    int avg = e->fontMetrics().averageCharWidth();
    return avg > 0 ? e->contentsRect().width() / (avg + 1) - 1 : 0;
}

}  // namespace kavelin::fmt
