#include "app/ui/fmt/choicelist.h"

#include <algorithm>

#include "common/text/casing.h"

namespace kavelin::fmt {
namespace {

bool sameText(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && text::upperCase(a) == text::upperCase(b);
}

std::u16string_view trimBlanks(std::u16string_view s) {
    while (!s.empty() && s.front() == u' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
    return s;
}

}  // namespace

std::vector<std::u16string> TChoiceList::lines() const {
    std::vector<std::u16string> out;
    if (FCount == 0) return out;
    std::u16string_view s = FChoices;
    for (size_t p; (p = s.find(u'\r')) != std::u16string_view::npos; s.remove_prefix(p + 1))
        out.emplace_back(s.substr(0, p));
    out.emplace_back(s);
    return out;
}

void TChoiceList::setLines(const std::vector<std::u16string>& items) {
    FChoices.clear();
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) FChoices += u'\r';
        FChoices += items[i];
    }
    FCount = int(items.size());
    changed();
}

void TChoiceList::changed() {
    if (FUpdating == 0 && FOnChange) FOnChange();
}

void TChoiceList::EndUpdate() {
    if (FUpdating > 0 && --FUpdating == 0) changed();
}

std::u16string TChoiceList::normalise(std::u16string_view item) {
    if (FMapKind == TMapKind::mkUnknown) {
        if (item.find(u'=') != std::u16string_view::npos) FMapKind = TMapKind::mkEquals;
        else if (item.find(u'[') != std::u16string_view::npos) FMapKind = TMapKind::mkBrackets;
        else FMapKind = TMapKind::mkNone;
    }
    if (FMapKind == TMapKind::mkBrackets) {
        size_t open = item.rfind(u'[');
        size_t close = open == std::u16string_view::npos ? open : item.find(u']', open);
        if (close != std::u16string_view::npos) {
            std::u16string out(trimBlanks(item.substr(open + 1, close - open - 1)));
            out += u'=';
            out += trimBlanks(item.substr(0, open));
            return out;
        }
    }
    return std::u16string(item);
}

std::u16string TChoiceList::operator[](int i) const {
    auto l = lines();
    return i >= 0 && i < int(l.size()) ? l[size_t(i)] : std::u16string();
}

TChoiceList::Item TChoiceList::item(int i) const {
    std::u16string line = (*this)[i];
    size_t eq = line.find(u'=');
    if (FMapKind == TMapKind::mkNone || FMapKind == TMapKind::mkUnknown ||
        eq == std::u16string::npos)
        return {line, line};
    return {line.substr(0, eq), line.substr(eq + 1)};
}

void TChoiceList::Add(std::u16string_view item) { Insert(FCount, item); }

void TChoiceList::Insert(int index, std::u16string_view item) {
    auto l = lines();
    index = std::clamp(index, 0, int(l.size()));
    l.insert(l.begin() + index, normalise(item));
    setLines(l);
}

void TChoiceList::Delete(int index) {
    auto l = lines();
    if (index < 0 || index >= int(l.size())) return;
    l.erase(l.begin() + index);
    setLines(l);
}

void TChoiceList::Put(int index, std::u16string_view item) {
    auto l = lines();
    if (index < 0 || index >= int(l.size())) return;
    l[size_t(index)] = normalise(item);
    setLines(l);
}

void TChoiceList::Clear() {
    FMapKind = TMapKind::mkUnknown;
    FItemSepKind = TItemSepKind::isUnknown;
    setLines({});
}

int TChoiceList::indexOfValue(std::u16string_view value) const {
    for (int i = 0; i < FCount; ++i)
        if (sameText(item(i).value, value)) return i;
    return -1;
}

int TChoiceList::indexOfText(std::u16string_view t) const {
    for (int i = 0; i < FCount; ++i)
        if (sameText(item(i).text, t)) return i;
    return -1;
}

int TChoiceList::IndexOf(std::u16string_view s) const {
    for (int i = 0; i < FCount; ++i) {
        Item it = item(i);
        if (sameText(it.value, s) || sameText(it.text, s)) return i;
    }
    return -1;
}

std::u16string TChoiceList::Text() const {
    std::u16string out;
    auto l = lines();
    for (size_t i = 0; i < l.size(); ++i) {
        if (i) out += FItemSepKind == TItemSepKind::isBackslash ? u'\\' : u'\r';
        if (FMapKind == TMapKind::mkBrackets && l[i].find(u'=') != std::u16string::npos) {
            Item it = item(int(i));
            out += it.text + u" [" + it.value + u"]";
        } else {
            out += l[i];
        }
    }
    return out;
}

void TChoiceList::setText(std::u16string_view t) {
    BeginUpdate();
    Clear();
    char16_t sep = 0;
    if (t.find(u'\r') != std::u16string_view::npos) {
        FItemSepKind = TItemSepKind::isCR;
        sep = u'\r';
    } else if (t.find(u'\\') != std::u16string_view::npos) {
        FItemSepKind = TItemSepKind::isBackslash;
        sep = u'\\';
    }
    if (!t.empty()) {
        std::u16string_view s = t;
        while (true) {
            size_t p = sep ? s.find(sep) : std::u16string_view::npos;
            std::u16string_view part = s.substr(0, p);
            if (!part.empty() && part.front() == u'\n') part.remove_prefix(1);  // CR LF
            if (p == std::u16string_view::npos) {
                if (!part.empty()) Add(part);  // no empty item after a final separator
                break;
            }
            Add(part);
            s.remove_prefix(p + 1);
        }
    }
    EndUpdate();
}

std::u16string TChoiceFmt::getMaskedStr(std::u16string_view key) const {
    int i = FItems.indexOfValue(key);
    if (i < 0) i = FItems.indexOfText(key);
    return i < 0 ? std::u16string(key) : FItems.item(i).text;
}

std::u16string TChoiceFmt::getUnmaskedStr(std::u16string_view t) const {
    int i = FItems.indexOfText(t);
    if (i < 0) i = FItems.indexOfValue(t);
    return i < 0 ? std::u16string(t) : FItems.item(i).value;
}

}  // namespace kavelin::fmt
