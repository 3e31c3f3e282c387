#include "app/mng/data_section.h"

#include <algorithm>

#include "app/mng/product_data.h"
#include "common/utils/dates.h"

namespace mirvo::mng {

using kavelin::activex::sameText;

namespace {

// A section's update bracket that also ends when an error leaves the scope.
class TSectionUpdate {
public:
    explicit TSectionUpdate(TDataSection& s) : FSection(s) { FSection.beginUpdate(); }
    ~TSectionUpdate() { FSection.endUpdate(); }

private:
    TDataSection& FSection;
};

}  // namespace

TDataSection::TDataSection(TDatasections& parent, const oppsett::TInputOppsett& cfg)
    : FParent(parent), FWndkind(cfg.kind()), FID(cfg.ID()), FCfg(&cfg) {}

TDataSection::~TDataSection() = default;

int TDataSection::wndMode() const { return FParent.GetneededWndMode(); }

TDataItem* TDataSection::getData(std::u16string_view listID) const {
    int i = indexOf(listID);
    return i < 0 ? nullptr : FItems[size_t(i)].get();
}

int TDataSection::indexOf(std::u16string_view listID) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (sameText(FItems[i]->GetlistID(), listID)) return int(i);
    return -1;
}

int TDataSection::indexOfItem(const TDataItem& item) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == &item) return int(i);
    return -1;
}

std::u16string TDataSection::calcDataStr() const {
    std::u16string text;
    for (const auto& item : FItems) text += item->getCalcText();
    return text;
}

void TDataSection::save(xml::TXMLElement& e) const {
    for (const auto& item : FItems) item->save(e);
}

void TDataSection::beginUpdate() {
    if (FUpdating++ == 0 && FWindow) FWindow->beginUpdate();
}

void TDataSection::endUpdate() {
    if (--FUpdating == 0 && FWindow) FWindow->endUpdate();
}

void TDataSection::attachWindow(TSectionWindow* window) {
    if (!window) {
        for (auto& item : FItems) item->connect(nullptr);
        FWindow = nullptr;
        return;
    }
    FWindow = window;
    TSectionUpdate update(*this);
    for (auto& item : FItems) {
        if (auto* row = dynamic_cast<TChangeDataItem*>(item.get())) row->connect(window->addRowControl(*row));
        else item->connect(window->findControl(item->id()));
    }
}

namespace {
TDataItem* itemOfControl(const std::vector<std::unique_ptr<TDataItem>>& items, TDataControl& ctrl) {
    for (const auto& item : items)
        if (item->control() == &ctrl) return item.get();
    return nullptr;
}
}  // namespace

void TDataSection::editChanged(TDataControl& ctrl) {
    if (updating()) return;
    TDataItem* item = itemOfControl(FItems, ctrl);
    if (!item) item = getData(ctrl.controlID());
    if (!item) throw EData(u"Feil i sammenkobling av data og inputfelt! (" + ctrl.controlID() + u")");
    {
        TSectionUpdate update(*this);
        item->setValue(ctrl.controlValue());
    }
    notifyItemChanged(*item);
}

void TDataSection::syncInput(TDataControl& ctrl) {
    if (updating()) return;
    TDataItem* item = itemOfControl(FItems, ctrl);
    if (!item) item = getData(ctrl.controlID());
    if (!item) throw EData(u"Feil i sammenkobling av data og inputfelt! (" + ctrl.controlID() + u")");
    ctrl.showValue(item->storedValue());
}

void TDataSection::notifyItemChanged(TDataItem& item) {
    if (FOnEditChange) FOnEditChange(&item);
    FParent.notifyEditChange(&item);
}

// ---- TStdDataSection ------------------------------------------------------------

TStdDataSection::TStdDataSection(TDatasections& parent, const oppsett::TInputOppsett& cfg)
    : TDataSection(parent, cfg) {
    for (size_t i = 0; i < cfg.count(); ++i) {
        const oppsett::TInputElementAltOppsettListe* place = cfg.place(i);
        if (!place) continue;  // separators have no data
        bool first = true;
        for (size_t j = 0; j < place->count(); ++j) {
            const oppsett::TInputElementOppsett& element = (*place)[j];
            if (!parent.acceptsElement(element)) continue;
            auto item = std::make_unique<TStdDataItem>(*this, element, place);
            item->setActive(first);
            first = false;
            FItems.push_back(std::move(item));
        }
    }
}

void TStdDataSection::load(const xml::TXMLElement& e) {
    for (size_t i = 0; i < e.ChildCount(); ++i) {
        const xml::TXMLElement& child = e.getChildByIndex(i);
        if (TDataItem* item = getData(child.name())) item->load(child);
    }
}

void TStdDataSection::copyFrom(const TDataSection& source) {
    for (size_t i = 0; i < source.count(); ++i) {
        const TDataItem& from = source.getItem(i);
        TDataItem* to = getData(from.GetlistID());
        if (!to) continue;
        const bool takesPart = to->cfg().state() == oppsett::TCtrlState::csInput ||
                               (wndMode() == 2 && to->cfg().showInDefaultValuesDlg());
        if (takesPart) to->copyValueFrom(from);
    }
}

void TStdDataSection::switchAlternative(const oppsett::TInputElementAltOppsettListe& place,
                                        std::u16string_view chosenID) {
    TDataItem* chosen = nullptr;
    {
        TSectionUpdate update(*this);
        for (auto& item : FItems) {
            if (item->place() != &place) continue;
            const bool on = sameText(item->id(), chosenID);
            item->setActive(on);
            if (on) chosen = item.get();
        }
    }
    if (chosen) notifyItemChanged(*chosen);
}

TDataItem* TStdDataSection::shownAlternative(const oppsett::TInputElementAltOppsettListe& place) const {
    for (const auto& item : FItems)
        if (item->place() == &place && item->active()) return item.get();
    return nullptr;
}

// ---- TChangesDataSection -----------------------------------------------------------

TChangeDataItem* TChangesDataSection::appendRow(std::u16string_view fieldID) {
    const oppsett::TInputElementOppsett* field = FCfg->getInputElement(fieldID);
    if (!field) return nullptr;
    auto row = std::make_unique<TChangeDataItem>(*this, *field);
    TChangeDataItem& ref = *row;
    FItems.push_back(std::move(row));
    return &ref;
}

TChangeDataItem& TChangesDataSection::addChangeElement() {
    if (!FWindow)
        throw EData(u"Kan ikke legge til nytt array element når dataseksjon ikke er tilknyttet skjermelement");
    const oppsett::TInputElementOppsett* first = FCfg->getFirstInput();
    if (!first) throw EData(u"Vinduet \"" + FID + u"\" har ingen felt for endringer");
    std::u16string lastDate;
    if (!FItems.empty()) lastDate = static_cast<TChangeDataItem&>(*FItems.back()).date();
    TChangeDataItem& row = *appendRow(first->ID());
    row.FDate = lastDate;
    FParent.markChanged();
    TSectionUpdate update(*this);
    row.connect(FWindow->addRowControl(row));
    return row;
}

void TChangesDataSection::deleteRow(size_t index) {
    FItems.erase(FItems.begin() + std::ptrdiff_t(index));
    FParent.markChanged();
    if (FOnEditChange) FOnEditChange(nullptr);
    FParent.notifyEditChange(nullptr);
}

size_t TChangesDataSection::rowIndex(const TChangeDataItem& row) const { return size_t(indexOfItem(row)); }

void TChangesDataSection::sortRow(TChangeDataItem& row) {
    if (FItems.size() <= 1) return;
    auto dateOf = [](const TChangeDataItem& r) -> std::optional<kavelin::finans::Datorec> {
        kavelin::finans::Datorec d;
        if (r.date().empty() || !kavelin::utils::StrTilDato(r.date(), u"DD.MM.YYYY", d) || !kavelin::utils::okdato(d))
            return std::nullopt;
        return d;
    };
    const auto own = dateOf(row);
    if (!own) return;
    const size_t from = rowIndex(row);
    size_t target = FItems.size();  // the end
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (i == from) continue;
        const auto other = dateOf(static_cast<TChangeDataItem&>(*FItems[i]));
        if (other && !(*other < *own)) {
            target = i;
            break;
        }
    }
    if (target == from + 1) return;  // already in front of that row
    const size_t to = target > from ? target - 1 : target;
    if (to == from) return;
    TSectionUpdate update(*this);
    auto moved = std::move(FItems[from]);
    FItems.erase(FItems.begin() + std::ptrdiff_t(from));
    FItems.insert(FItems.begin() + std::ptrdiff_t(to), std::move(moved));
    if (FWindow) FWindow->moveRow(from, to);
}

void TChangesDataSection::save(xml::TXMLElement& e) const { TDataSection::save(e); }

void TChangesDataSection::load(const xml::TXMLElement& e) {
    for (size_t i = 0; i < e.ChildCount(); ++i) {
        const xml::TXMLElement& child = e.getChildByIndex(i);
        if (!sameText(child.name(), u"change")) continue;
        const xml::TXMLElement* field = child.findChild(u"field");
        if (!field) continue;
        if (TChangeDataItem* row = appendRow(field->valueText())) row->load(child);
    }
}

void TChangesDataSection::copyFrom(const TDataSection& source) {
    for (size_t i = 0; i < source.count(); ++i) {
        const auto* from = dynamic_cast<const TChangeDataItem*>(&source.getItem(i));
        if (!from) continue;
        if (TChangeDataItem* row = appendRow(from->id())) {
            row->copyValueFrom(*from);
            row->FDate = from->date();
        }
    }
}

}  // namespace mirvo::mng
