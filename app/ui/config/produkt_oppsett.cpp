#include "app/ui/config/produkt_oppsett.h"

namespace mirvo::oppsett {

TProduktOppsett::TProduktOppsett(int32_t id, TOppsettBaseClass* parent)
    : TOppsettBaseClass(parent),
      FID(id),
      FInputOppsettListe(std::make_unique<TInputOppsettListe>(this)),
      FRapportOppsettListe(std::make_unique<TProduktRapporterListe>(this)) {}

void TProduktOppsett::SetProduktgruppe(TProduktGruppe g) {
    if (g == FProduktgruppe) return;
    FProduktgruppe = g;
    buildDefaultReports();
    changed();
}

void TProduktOppsett::buildDefaultReports() {
    if (FProduktgruppe == TProduktGruppe::pgNedbetlån) addNedbetlånReports(*FRapportOppsettListe);
    else if (FProduktgruppe == TProduktGruppe::pgRammelån) addRammelånReports(*FRapportOppsettListe);
}

std::unique_ptr<TProduktOppsett> TProduktOppsett::clone() const {
    auto c = std::make_unique<TProduktOppsett>(FID);
    c->assign(*this);
    return c;
}

void TProduktOppsett::validate() const { FInputOppsettListe->validate(); }

void TProduktOppsett::save(xml::TXMLElement& e) const {
    validate();
    e.setAttrib(u"ID", formatInt(FID));
    writeChild(e, u"Beskrivelse", FBeskrivelse);
    writeChild(e, u"Produktgruppe", formatInt(static_cast<int>(FProduktgruppe)));
    FInputOppsettListe->save(e.getList(u"InputOppsettListe").add());
    FRapportOppsettListe->save(e.getList(u"RapportOppsettListe").add());
}

void TProduktOppsett::load(const xml::TXMLElement& e) {
    TLoadGuard guard(*this);
    SetBeskrivelse(childText(e, u"Beskrivelse"));
    // A new group brings its built-in lists before the stored ones merge in.
    SetProduktgruppe(produktGruppeOf(childInt(e, u"Produktgruppe")));
    if (const xml::TXMLElement* w = e.findChild(u"InputOppsettListe")) FInputOppsettListe->load(*w);
    if (const xml::TXMLElement* r = e.findChild(u"RapportOppsettListe")) FRapportOppsettListe->load(*r);
}

void TProduktOppsett::assign(const TOppsettBaseClass& source) {
    TUpdateGuard guard(*this);
    const auto& s = sameClass<TProduktOppsett>(source);
    FBeskrivelse = s.FBeskrivelse;
    FProduktgruppe = s.FProduktgruppe;
    FInputOppsettListe->assign(*s.FInputOppsettListe);
    FRapportOppsettListe->assign(*s.FRapportOppsettListe);
}

void TProduktOppsett::clearChangeFlags() {
    TOppsettBaseClass::clearChangeFlags();
    FInputOppsettListe->clearChangeFlags();
    FRapportOppsettListe->clearChangeFlags();
}

std::unique_ptr<TOppsettBaseClass> TProduktOppsett::copy(TOppsettBaseClass* parent) const {
    auto c = std::make_unique<TProduktOppsett>(FID, parent);
    c->assign(*this);
    return c;
}

TFellesOppsett::TFellesOppsett(TOppsettBaseClass* parent) : TProduktOppsett(kID, parent) {
    FProduktgruppe = TProduktGruppe::pgNedbetlån;
    buildDefaultReports();
    clearChangeFlags();
}

void TFellesOppsett::buildDefaultReports() { addFellesReports(*FRapportOppsettListe); }

std::unique_ptr<TOppsettBaseClass> TFellesOppsett::copy(TOppsettBaseClass* parent) const {
    auto c = std::make_unique<TFellesOppsett>(parent);
    c->FRapportOppsettListe->clear();
    c->assign(*this);
    return c;
}

}  // namespace mirvo::oppsett
