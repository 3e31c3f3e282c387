#include "app/ui/config/oppsett_base.h"

#include <algorithm>
#include <utility>

namespace mirvo::oppsett {

void TOppsettBaseClass::changed() {
    for (TOppsettBaseClass* o = this; o; o = o->FParent) {
        o->FChanged = true;
        if (o->FInUpdate != 0) break;
    }
}

void TOppsettBaseClass::endUpdate() {
    --FInUpdate;
    changed();
}

TOppsettBaseClass& TOppsettListBaseClass::getItem(size_t index) const {
    if (index >= FItems.size())
        throw EOppsett(u"Listeindeks utenfor gyldig område (" + formatInt(static_cast<int64_t>(index)) + u")");
    return *FItems[index];
}

int TOppsettListBaseClass::indexOfItem(const TOppsettBaseClass& item) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == &item) return static_cast<int>(i);
    return -1;
}

void TOppsettListBaseClass::deleteItem(const TOppsettBaseClass& item) {
    int i = indexOfItem(item);
    if (i < 0) throw EOppsett(u"Elementet finnes ikke i listen");
    FItems.erase(FItems.begin() + i);
    changed();
}

void TOppsettListBaseClass::switchPlace(size_t a, size_t b) {
    getItem(a);
    getItem(b);
    std::swap(FItems[a], FItems[b]);
    changed();
}

void TOppsettListBaseClass::clear() {
    FItems.clear();
    changed();
}

void TOppsettListBaseClass::clearChangeFlags() {
    TOppsettBaseClass::clearChangeFlags();
    for (auto& item : FItems) item->clearChangeFlags();
}

void TOppsettListBaseClass::assignItems(const TOppsettListBaseClass& source) {
    FItems.clear();
    for (const auto& item : source.FItems) FItems.push_back(item->copy(this));
}

}  // namespace mirvo::oppsett
