// Report lists of a product: which results of the calculation library are
// shown in the result views and in print, under which captions.
#pragma once

#include "app/ui/config/oppsett_base.h"

namespace mirvo::oppsett {

// One calculated result of a report list.
class TBeregnetElementOppsett : public TOppsettBaseClass {
public:
    using TOppsettBaseClass::TOppsettBaseClass;

    const std::u16string& ID() const { return FID; }
    const std::u16string& Beskrivelse() const { return FBeskrivelse; }
    bool VisibleInMiniView() const { return FVisibleInMiniView; }
    bool VisibleInStdView() const { return FVisibleInStdView; }
    bool VisibleInPrint() const { return FVisibleInPrint; }
    const std::u16string& OutputPrefix() const { return FOutputPrefix; }
    const std::u16string& OutputPostfix() const { return FOutputPostfix; }

    void SetID(std::u16string_view v) { setValue(FID, std::u16string(v)); }
    void SetBeskrivelse(std::u16string_view v) { setValue(FBeskrivelse, std::u16string(v)); }
    void SetVisibleInMiniView(bool v) { setValue(FVisibleInMiniView, v); }
    void SetVisibleInStdView(bool v) { setValue(FVisibleInStdView, v); }
    void SetVisibleInPrint(bool v) { setValue(FVisibleInPrint, v); }
    void SetOutputPrefix(std::u16string_view v) { setValue(FOutputPrefix, std::u16string(v)); }
    void SetOutputPostfix(std::u16string_view v) { setValue(FOutputPostfix, std::u16string(v)); }

    void save(xml::TXMLElement& e) const override;
    // An empty stored caption keeps the current one.
    void load(const xml::TXMLElement& e) override;
    void assign(const TOppsettBaseClass& source) override;
    std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const override;

private:
    std::u16string FID;
    std::u16string FBeskrivelse;
    bool FVisibleInMiniView = false;
    bool FVisibleInStdView = false;
    bool FVisibleInPrint = false;
    std::u16string FOutputPrefix;
    std::u16string FOutputPostfix;
};

// One report list (key figures, a schedule, an analysis); its ID is fixed at
// creation.
class TBeregnetOppsettListe : public TOppsettList<TBeregnetElementOppsett> {
public:
    explicit TBeregnetOppsettListe(std::u16string_view id, TOppsettBaseClass* parent = nullptr)
        : TOppsettList(parent), FID(id) {}

    const std::u16string& ID() const { return FID; }
    const std::u16string& Beskrivelse() const { return FBeskrivelse; }
    const std::u16string& Command() const { return FCommand; }
    void SetBeskrivelse(std::u16string_view v) { setValue(FBeskrivelse, std::u16string(v)); }
    void SetCommand(std::u16string_view v) { setValue(FCommand, std::u16string(v)); }

    TBeregnetElementOppsett& add();
    TBeregnetElementOppsett& addElement(std::u16string_view id, std::u16string_view caption, bool mini, bool std,
                                        bool print, std::u16string_view prefix = {},
                                        std::u16string_view postfix = {});
    int indexOf(std::u16string_view id) const;
    TBeregnetElementOppsett& itemByID(std::u16string_view id);

    void save(xml::TXMLElement& e) const override;
    // Merges the stored elements by ID.
    void load(const xml::TXMLElement& e) override;
    void assign(const TOppsettBaseClass& source) override;
    std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const override;

private:
    std::u16string FID;
    std::u16string FBeskrivelse;
    std::u16string FCommand;
};

// The report lists of one product.
class TProduktRapporterListe : public TOppsettList<TBeregnetOppsettListe> {
public:
    using TOppsettList::TOppsettList;

    // Always appends a new list.
    TBeregnetOppsettListe& add(std::u16string_view id);
    int indexOf(std::u16string_view id) const;
    TBeregnetOppsettListe& itemByID(std::u16string_view id);

    void save(xml::TXMLElement& e) const override;
    // Merges the stored lists by ID.
    void load(const xml::TXMLElement& e) override;
    void assign(const TOppsettBaseClass& source) override;
    std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const override;
};

// The built-in report lists, appended (never merged) to a product's lists.
void addNedbetlånReports(TProduktRapporterListe& lists);
void addRammelånReports(TProduktRapporterListe& lists);
void addFellesReports(TProduktRapporterListe& lists);

}  // namespace mirvo::oppsett
