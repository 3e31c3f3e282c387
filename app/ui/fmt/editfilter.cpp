#include "app/ui/fmt/editfilter.h"

#include <algorithm>

namespace kavelin::fmt {
namespace {

TCalculatorHook& calculator() {
    static TCalculatorHook hook;
    return hook;
}

}  // namespace

void installCalculator(TCalculatorHook hook) { calculator() = std::move(hook); }

bool calculatorInstalled() { return bool(calculator()); }

std::optional<std::u16string> calculatorOperatorForKey(int vk) {
    switch (vk) {
        case 47:
        case 55:
        case 111: return u"/";
        case 106:
        case 191: return u"*";
        case 107:
        case 187: return u"+";
        case 109:
        case 189: return u"-";
        case 123: return u"";
        default: return std::nullopt;
    }
}

TEditFilter::TEditFilter(TEditOwner* owner) : TTextFilter(u"A"), FOwner(owner) {}

void TEditFilter::show(const std::u16string& text, int selStart, int selLength) {
    FText = text;
    FInPreventChangeEvent = true;
    FOwner->setText(text);
    FOwner->setSelection(selStart, selLength);
    FInPreventChangeEvent = false;
}

bool TEditFilter::KeyPress(char16_t c) {
    if (!FEnabled || c < u' ') return false;
    std::u16string text = FOwner->text();
    int start = std::clamp(FOwner->selStart(), 0, int(text.size()));
    int len = std::clamp(FOwner->selLength(), 0, int(text.size()) - start);
    std::u16string edited = text;
    int caret = start;
    // A selection is replaced as plain text; reformatting follows the insert.
    if (len > 0) edited.erase(size_t(start), size_t(len));
    if (validateCharInsert(edited, c, caret, FControlLimit)) show(edited, caret);
    return true;
}

bool TEditFilter::moveFillOutField(bool forward) {
    auto fields = fillOutFields(FOwner->text());
    int caret = FOwner->selStart();
    if (forward) {
        for (auto [s, e] : fields)
            if (s > caret) {
                FOwner->setSelection(s, e - s);
                return true;
            }
    } else {
        for (auto it = fields.rbegin(); it != fields.rend(); ++it)
            if (it->second < caret) {
                FOwner->setSelection(it->first, it->second - it->first);
                return true;
            }
    }
    return false;
}

bool TEditFilter::KeyDown(TEditKey key, bool shift, bool ctrl, int virtualKey) {
    if (!FEnabled) return false;
    switch (key) {
        case TEditKey::Delete:
        case TEditKey::Backspace: {
            std::u16string text = FOwner->text();
            TEditResult r = deleteChars(text, FOwner->selStart(), FOwner->selLength(),
                                        key == TEditKey::Backspace);
            if (key == TEditKey::Delete && shift && !r.removed.empty())
                FOwner->copyToClipboard(r.removed);
            show(r.text, r.caret);
            return true;
        }
        case TEditKey::Enter:
            FOwner->setSelection(FOwner->selStart() + FOwner->selLength(), 0);
            return false;
        case TEditKey::Tab:
        case TEditKey::Left:
        case TEditKey::Right:
            if (FKind != TTextFmtKind::fkFillOut) return false;
            {
                bool forward = key == TEditKey::Right || (key == TEditKey::Tab && !shift);
                return moveFillOutField(forward);
            }
        case TEditKey::Other: break;
    }
    if (ctrl && isNumber() && calculatorInstalled()) {
        if (auto op = calculatorOperatorForKey(virtualKey)) {
            FText = FOwner->text();
            double value = displayedNumber();
            if (calculator()(value, *op)) {
                setDisplayedNumber(value);
                show(FText, int(FText.size()));
            }
            return true;
        }
    }
    return false;
}

void TEditFilter::SetFocus() {
    FControlLimit = FOwner->widthInChars();
    std::u16string text = focusEnterText(FOwner->text());
    if (text != FOwner->text()) show(text, 0);
}

void TEditFilter::KillFocus() {
    std::u16string text = focusLeaveText(FOwner->text());
    if (text != FOwner->text()) show(text, 0);
    else FText = text;
}

void TEditFilter::Change() {
    if (FInPreventChangeEvent) return;
    FText = FOwner->text();
}

void TEditFilter::setValue(std::u16string_view value) {
    FControlLimit = FOwner->widthInChars();
    setStr(value);
    show(FText, int(FText.size()));
}

}  // namespace kavelin::fmt
