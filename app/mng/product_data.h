// The data of one loan (or of one product's default values): its sections
// built from a private clone of the product's configuration, the
// calculation input text, product changes and the field scripts.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/mng/data_section.h"
#include "app/ui/config/produkt_oppsett.h"

namespace kavelin::activex {
class TActiveScriptSite;
}

namespace mirvo::mng {

class TMultiProductData;

// The short facts of a loan.
struct TShortInfo {
    oppsett::TProduktGruppe produktgruppe = oppsett::TProduktGruppe::pgNone;
    int32_t produktID = 0;
    std::u16string beskrivelse;
    double beløp = 0;
    double rente1 = 0, rente2 = 0, rente3 = 0;
};

// Sections put aside by a product change, with the configurations they
// were built from (each kept once).
class TFailedCopySections {
public:
    // Replaces an earlier section of the same ID.
    void store(std::unique_ptr<TDataSection> section, std::shared_ptr<oppsett::TProduktOppsett> cfg);
    // Takes the section of that ID out, or none.
    std::unique_ptr<TDataSection> take(std::u16string_view id);
    size_t count() const { return FSections.size(); }

private:
    void dropUnusedConfigs();

    struct TEntry {
        std::unique_ptr<TDataSection> section;
        std::shared_ptr<oppsett::TProduktOppsett> cfg;
    };
    std::vector<TEntry> FSections;
};

// The ordered sections of a loan.
class TDatasections {
public:
    TDatasections() = default;
    virtual ~TDatasections() = default;
    TDatasections(const TDatasections&) = delete;
    TDatasections& operator=(const TDatasections&) = delete;

    size_t count() const { return FItems.size(); }
    TDataSection& getItem(size_t index) const { return *FItems.at(index); }
    // By ID, case ignored; none when absent.
    TDataSection* getSection(std::u16string_view id) const;

    virtual void notifyEditChange(TDataItem* item);
    virtual bool acceptsElement(const oppsett::TInputElementOppsett& e) const = 0;
    virtual int GetneededWndMode() const = 0;
    virtual void markChanged() = 0;

    TDataItemEvent FOnEditChange;

protected:
    std::vector<std::unique_ptr<TDataSection>> FItems;
};

class TProductData : public TDatasections {
public:
    // Builds the loan for the product; "Ukjent produktID! Kan ikke laste
    // inn data!" when the configuration has no such product.
    TProductData(TMultiProductData& parent, int32_t productID);
    ~TProductData() override;

    TMultiProductData& parent() const { return FParent; }
    int32_t productID() const { return FProductID; }
    // A different product rebuilds the loan (refreshConfigAndDefaults).
    void setProductID(int32_t id);
    oppsett::TProduktGruppe productGroup() const { return FCfg->Produktgruppe(); }
    const std::u16string& description() const { return FDescription; }
    const oppsett::TProduktOppsett& cfg() const { return *FCfg; }

    // The calculation input text: sections in order, "Changes" last.
    std::u16string GetcalcDataStr() const;
    TShortInfo GetshortInfo() const;
    // Detaches every section from its window, last first.
    void releaseInputConnections();
    // Rebuilds from the (possibly new) product, keeping what the user
    // entered where the new product has the same sections and fields.
    void refreshConfigAndDefaults();
    bool hasAnyChangeDataItems() const;
    const TFailedCopySections& copyFailed() const { return FCopyFailed; }

    bool changed() const { return FChanged; }
    void markChanged() override { FChanged = true; }
    void clearChanged() { FChanged = false; }

    void notifyEditChange(TDataItem* item) override;
    // Runs the field scripts for the event ("init" or "change"), of one
    // item or of all items. Script errors go to the error handler of the
    // data manager; they never stop the caller.
    void runScripts(std::u16string_view event, TDataItem* only);
    bool scriptsEnabled() const { return FScript.enabled; }
    // How deep script runs may nest (a script that changes a value runs
    // that field's script inside its own).
    static constexpr int kMaxScriptDepth = 32;

    // The "product" element of a case file.
    virtual void save(xml::TXMLElement& product) const;
    // Reads the "content" of a "product" element; the element's product ID
    // must be this loan's.
    virtual void load(const xml::TXMLElement& product);

protected:
    // Called once the sections are built: defaults and init scripts.
    virtual void afterCfgLoaded();
    void build();

    TMultiProductData& FParent;
    std::shared_ptr<oppsett::TProduktOppsett> FCfg;
    int32_t FProductID;
    std::u16string FDescription;
    struct TScriptState {
        bool enabled = false;
        kavelin::activex::TActiveScriptSite* host = nullptr;
        std::u16string prelude;
        int depth = 0;
    } FScript;
    TFailedCopySections FCopyFailed;
    bool FChanged = false;

private:
    void runItemScript(TDataItem& item, std::u16string_view event);
};

// A loan of the case.
class TPortfolioProductData : public TProductData {
public:
    TPortfolioProductData(TMultiProductData& parent, int32_t productID);
    bool acceptsElement(const oppsett::TInputElementOppsett&) const override { return true; }
    int GetneededWndMode() const override { return 0; }

protected:
    void afterCfgLoaded() override;
};

// The default values of one product: only the fields offered in the
// "Std.verdier" dialog; no scripts.
class TProductDefaultData : public TProductData {
public:
    TProductDefaultData(TMultiProductData& parent, int32_t productID);
    bool acceptsElement(const oppsett::TInputElementOppsett& e) const override {
        return e.showInDefaultValuesDlg();
    }
    int GetneededWndMode() const override { return 2; }
};

}  // namespace mirvo::mng
