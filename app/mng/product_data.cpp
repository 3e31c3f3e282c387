#include "app/mng/product_data.h"

#include <algorithm>
#include <set>

#include "app/mng/data_mng.h"
#include "app/mng/data_scripts.h"
#include "app/ui/script/script_site.h"
#include "common/text/casing.h"
#include "common/text/encoding.h"
#include "common/text/numtext.h"

namespace mirvo::mng {

using kavelin::activex::sameText;
using kavelin::activex::TActiveScriptSite;
using kavelin::activex::variantNumber;
using kavelin::activex::variantText;
using kavelin::utils::EKavelin;

// ---- TFailedCopySections -------------------------------------------------------

void TFailedCopySections::store(std::unique_ptr<TDataSection> section, std::shared_ptr<oppsett::TProduktOppsett> cfg) {
    for (auto& entry : FSections)
        if (sameText(entry.section->ID(), section->ID())) {
            entry = {std::move(section), std::move(cfg)};
            return;
        }
    FSections.push_back({std::move(section), std::move(cfg)});
}

std::unique_ptr<TDataSection> TFailedCopySections::take(std::u16string_view id) {
    for (auto it = FSections.begin(); it != FSections.end(); ++it)
        if (sameText(it->section->ID(), id)) {
            auto section = std::move(it->section);
            FSections.erase(it);
            return section;
        }
    return nullptr;
}

// ---- TDatasections -----------------------------------------------------------------

TDataSection* TDatasections::getSection(std::u16string_view id) const {
    for (const auto& s : FItems)
        if (sameText(s->ID(), id)) return s.get();
    return nullptr;
}

void TDatasections::notifyEditChange(TDataItem* item) {
    if (FOnEditChange) FOnEditChange(item);
}

// ---- TProductData ---------------------------------------------------------------------

TProductData::TProductData(TMultiProductData& parent, int32_t productID) : FParent(parent), FProductID(productID) {
    FScript.enabled = parent.scriptsEnabled();
}

TProductData::~TProductData() {
    // Sections first: their items point into the configuration clone.
    FItems.clear();
}

void TProductData::build() {
    const oppsett::TProduktOppsett* product = FParent.produkter().itemById(FProductID);
    if (!product) throw EData(u"Ukjent produktID! Kan ikke laste inn data!");
    std::shared_ptr<oppsett::TProduktOppsett> cfg = product->clone();
    std::vector<std::unique_ptr<TDataSection>> sections;
    const oppsett::TInputOppsettListe& windows = cfg->InputOppsettListe();
    for (size_t i = 0; i < windows.count(); ++i) {
        const oppsett::TInputOppsett& window = windows[i];
        bool allowed = true;
        if (FParent.FOnCanLoadSection) FParent.FOnCanLoadSection(window.ID(), allowed);
        if (!allowed) continue;
        if (window.kind() == oppsett::TWndKind::wkChangesArray)
            sections.push_back(std::make_unique<TChangesDataSection>(*this, window));
        else
            sections.push_back(std::make_unique<TStdDataSection>(*this, window));
    }
    FItems = std::move(sections);
    FCfg = std::move(cfg);
    FDescription = product->Beskrivelse();
}

void TProductData::afterCfgLoaded() {
    if (FScript.enabled) runScripts(u"init", nullptr);
}

void TProductData::setProductID(int32_t id) {
    if (id == FProductID) return;
    if (!FParent.produkter().itemById(id)) throw EData(u"Ukjent produktID! Kan ikke laste inn data!");
    FProductID = id;
    refreshConfigAndDefaults();
}

void TProductData::releaseInputConnections() {
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) (*it)->attachWindow(nullptr);
}

void TProductData::refreshConfigAndDefaults() {
    for (const auto& s : FItems)
        if (s->window()) throw EData(u"Må kjøre ReleaseInputConnections før man kan kjøre RefreshConfigLinks");
    const bool wasChanged = FChanged;
    // The old configuration outlives the old sections, which point into it.
    std::shared_ptr<oppsett::TProduktOppsett> oldCfg = FCfg;
    std::vector<std::unique_ptr<TDataSection>> oldSections = std::move(FItems);
    try {
        build();
        afterCfgLoaded();
    } catch (...) {
        FItems = std::move(oldSections);
        FCfg = oldCfg;
        throw;
    }
    std::set<std::u16string> copied;
    for (auto it = oldSections.rbegin(); it != oldSections.rend(); ++it) {
        const std::u16string id = kavelin::text::upperCase((*it)->ID());
        if (TDataSection* section = getSection(id)) {
            section->copyFrom(**it);
            copied.insert(id);
        } else {
            FCopyFailed.store(std::move(*it), oldCfg);
        }
    }
    for (auto& section : FItems) {
        if (copied.count(kavelin::text::upperCase(section->ID()))) continue;
        if (auto kept = FCopyFailed.take(section->ID())) section->copyFrom(*kept);
    }
    oldSections.clear();
    FChanged = wasChanged;
}

std::u16string TProductData::GetcalcDataStr() const {
    std::u16string text, changes;
    for (const auto& s : FItems) {
        if (s->kind() == oppsett::TWndKind::wkChangesArray) changes += s->calcDataStr();
        else text += s->calcDataStr();
    }
    return text + changes;
}

TShortInfo TProductData::GetshortInfo() const {
    TShortInfo info;
    info.produktgruppe = productGroup();
    info.produktID = FProductID;
    info.beskrivelse = FDescription;
    auto number = [this](std::u16string_view section, std::u16string_view id) {
        const TDataSection* s = getSection(section);
        const TDataItem* item = s ? s->getData(id) : nullptr;
        if (!item) return 0.0;
        try {
            return variantNumber(item->value().v);
        } catch (const EKavelin&) {
            return 0.0;
        }
    };
    if (info.produktgruppe == oppsett::TProduktGruppe::pgRammelån) {
        info.beløp = number(u"Part1", u"ORDBEVILGNING") + number(u"Part2", u"TILLBEVILGNING") +
                     number(u"Part3", u"TILLBEVILGNING2");
        info.rente1 = number(u"Part1", u"ORDRENTESATS");
        info.rente2 = number(u"Part1", u"TILLRENTESATS");
        info.rente3 = number(u"Part1", u"TILLRENTESATS3");
    } else {
        info.beløp = number(u"Initial", u"LBELOP") + number(u"Initial", u"LBELOP2") + number(u"Initial", u"LBELOP3");
        info.rente1 = number(u"Initial", u"RNTSATS");
        info.rente2 = number(u"Initial", u"RNTSATS2");
        info.rente3 = number(u"Initial", u"RNTSATS3");
    }
    return info;
}

bool TProductData::hasAnyChangeDataItems() const {
    for (const auto& s : FItems)
        if (s->kind() == oppsett::TWndKind::wkChangesArray) return s->count() > 0;
    return false;
}

void TProductData::notifyEditChange(TDataItem* item) {
    TDatasections::notifyEditChange(item);
    if (item && FScript.enabled && !item->cfg().eventScript().empty()) runScripts(u"change", item);
    if (FParent.FOnEditChange) FParent.FOnEditChange(item);
}

// ---- scripts ----------------------------------------------------------------------------

void TProductData::runScripts(std::u16string_view event, TDataItem* only) {
    if (!FScript.enabled) return;
    if (FScript.host) {
        // A script changed a value: the field's script runs inside the
        // running one, then the outer script's variables are put back.
        if (!only || only->cfg().eventScript().empty()) return;
        if (FScript.depth >= kMaxScriptDepth) {
            FParent.showError(u"Scriptfeil i felt \"" + only->id() + u"\"",
                              u"Scriptfeil: Scriptene starter hverandre i mer enn " +
                                  kavelin::text::intText(kMaxScriptDepth) + u" nivåer og ble stoppet\n\nScript:\n" +
                                  only->cfg().eventScript());
            return;
        }
        const std::u16string outer = FScript.prelude;
        runItemScript(*only, event);
        FScript.prelude = outer;
        if (!outer.empty()) {
            try {
                FScript.host->Execute(outer);
            } catch (const EKavelin&) {
                // Reported when it failed first.
            }
        }
        return;
    }
    TActiveScriptSite host;
    host.setScriptLanguage(u"JScript");
    host.setTimeLimit(FParent.scriptTimeLimit());
    FScript.host = &host;
    try {
        for (const auto& s : FItems) {
            auto* object = new TSectionScriptObject(*s);
            host.AddNamedItem(s->ID(), object);
        }
        host.AddNamedItem(u"$", new TSectionScriptObject(*this));
        if (only) {
            runItemScript(*only, event);
        } else {
            // Sections and items as they are now; a script cannot add or
            // remove either.
            for (size_t i = 0; i < FItems.size(); ++i)
                for (size_t j = 0; j < FItems[i]->count(); ++j) runItemScript(FItems[i]->getItem(j), event);
        }
    } catch (const EKavelin& e) {
        FParent.showError(u"Script Error!", e.message());
    } catch (const std::exception& e) {
        FParent.showError(u"Script Error!", kavelin::text::fromUtf8(e.what()));
    }
    FScript.host = nullptr;
    FScript.prelude.clear();
    FScript.depth = 0;
}

void TProductData::runItemScript(TDataItem& item, std::u16string_view event) {
    const std::u16string& script = item.cfg().eventScript();
    if (script.empty()) return;
    TActiveScriptSite& host = *FScript.host;
    const std::u16string sectionID = item.parent().ID();
    const std::u16string name = sectionID + u"_" + item.id();
    host.AddNamedItem(name, item.scriptObject());
    FScript.prelude = u"var event=\"" + std::u16string(event) + u"\"; var s=" + sectionID + u"; var f=" + name + u";";
    ++FScript.depth;
    try {
        host.Execute(FScript.prelude);
        host.Execute(script);
    } catch (const EKavelin& e) {
        FParent.showError(u"Scriptfeil i felt \"" + item.id() + u"\"", e.message() + u"\n\nScript:\n" + script);
    }
    --FScript.depth;
}

// ---- file form ----------------------------------------------------------------------------

void TProductData::save(xml::TXMLElement& product) const {
    xml::TXMLElement& header = product.getChild(u"header");
    header.getChild(u"produktgruppeID").setValue(int(productGroup()));
    header.getChild(u"produktID").setValue(FProductID);
    xml::TXMLElement& content = product.getChild(u"content");
    for (const auto& s : FItems) s->save(content.getList(s->ID()).add());
}

void TProductData::load(const xml::TXMLElement& product) {
    const xml::TXMLElement* id = product.findChild(u"header\\produktID");
    if (id && oppsett::parseInt(id->valueText()) != FProductID)
        throw EData(u"Ikke samsvar mellom initiert produktkode og produktkode fra fil");
    if (const xml::TXMLElement* content = product.findChild(u"content")) {
        for (size_t i = 0; i < content->ChildCount(); ++i) {
            const xml::TXMLElement& child = content->getChildByIndex(i);
            if (TDataSection* s = getSection(child.name())) s->load(child);
        }
    }
    FChanged = false;
}

// ---- the two kinds of loan data ----------------------------------------------------------

TPortfolioProductData::TPortfolioProductData(TMultiProductData& parent, int32_t productID)
    : TProductData(parent, productID) {
    build();
    afterCfgLoaded();
    FChanged = false;
}

void TPortfolioProductData::afterCfgLoaded() {
    // The user's default values replace the configured ones; values still
    // at the configured default follow them.
    auto* portfolio = dynamic_cast<TPortfolioData*>(&FParent);
    const TProductsDefaultData* defaults = portfolio ? portfolio->defaults() : nullptr;
    const TProductData* entry = defaults ? defaults->itemByID(FProductID) : nullptr;
    if (entry) {
        for (size_t i = 0; i < entry->count(); ++i) {
            const TDataSection& from = entry->getItem(i);
            TDataSection* to = getSection(from.ID());
            if (!to) continue;
            for (size_t j = 0; j < from.count(); ++j) {
                const TDataItem& d = from.getItem(j);
                TDataItem* item = to->getData(d.GetlistID());
                if (!item) continue;
                const std::u16string newDefault = variantText(d.storedValue().v);
                const std::u16string oldDefault = variantText(item->defaultValue().v);
                if (newDefault == oldDefault) continue;
                item->setDefaultValue(d.storedValue());
                if (variantText(item->storedValue().v) == oldDefault) item->setValue(d.storedValue());
            }
        }
    }
    TProductData::afterCfgLoaded();
}

TProductDefaultData::TProductDefaultData(TMultiProductData& parent, int32_t productID)
    : TProductData(parent, productID) {
    build();
    afterCfgLoaded();
    FChanged = false;
}

}  // namespace mirvo::mng
