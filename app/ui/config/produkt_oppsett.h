// One loan product (description, group, input windows, report lists) and
// the common configuration used when all loans of a case are calculated
// together.
#pragma once

#include "app/ui/config/input_oppsett.h"
#include "app/ui/config/rapport_oppsett.h"

namespace mirvo::oppsett {

class TProduktOppsett : public TOppsettBaseClass {
public:
    explicit TProduktOppsett(int32_t id, TOppsettBaseClass* parent = nullptr);

    int32_t ID() const { return FID; }
    const std::u16string& Beskrivelse() const { return FBeskrivelse; }
    TProduktGruppe Produktgruppe() const { return FProduktgruppe; }
    TInputOppsettListe& InputOppsettListe() const { return *FInputOppsettListe; }
    TProduktRapporterListe& RapportOppsettListe() const { return *FRapportOppsettListe; }

    void SetBeskrivelse(std::u16string_view v) { setValue(FBeskrivelse, std::u16string(v)); }
    // A real change appends the new group's built-in report lists.
    void SetProduktgruppe(TProduktGruppe g);
    std::u16string_view GetProduktgruppeStr() const { return produktGruppeStr(FProduktgruppe); }

    virtual void buildDefaultReports();
    // A copy without parent, so its changes reach no product list.
    std::unique_ptr<TProduktOppsett> clone() const;
    // Duplicate screen-element IDs in any window fail.
    void validate() const;

    // Runs validate first.
    void save(xml::TXMLElement& e) const override;
    void load(const xml::TXMLElement& e) override;
    void assign(const TOppsettBaseClass& source) override;
    void clearChangeFlags() override;
    std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const override;

protected:
    int32_t FID;
    std::u16string FBeskrivelse;
    TProduktGruppe FProduktgruppe = TProduktGruppe::pgNone;
    std::unique_ptr<TInputOppsettListe> FInputOppsettListe;
    std::unique_ptr<TProduktRapporterListe> FRapportOppsettListe;
};

// ID 999999, group pgNedbetlån, its own five report lists from creation.
class TFellesOppsett : public TProduktOppsett {
public:
    static constexpr int32_t kID = 999999;
    explicit TFellesOppsett(TOppsettBaseClass* parent = nullptr);
    void buildDefaultReports() override;
    std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const override;
};

}  // namespace mirvo::oppsett
