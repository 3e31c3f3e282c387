// The built-in report lists of each product group and of the common
// configuration, exactly as the program ships them.
#include "app/ui/config/rapport_oppsett.h"

#include <initializer_list>

namespace mirvo::oppsett {
namespace {

struct TListDef {
    std::u16string_view id, title, command;
};
struct TElementDef {
    std::u16string_view id, caption;
    bool mini, std, print;
    std::u16string_view postfix = {};
};

constexpr TListDef kNøkkeltall{u"Nøkkeltall", u"Nøkkeltall", u""};
constexpr TListDef kStdForløp{u"StdForløp", u"Nedbetalingsplan", u"FORLOPv30"};
constexpr TListDef kRentemrgForløp{u"RentemrgForløp", u"Forløp med rentebuffer", u"MFORLOPv30"};
constexpr TListDef kNåverdiForløp{u"NåverdiForløp", u"Forløp med skatteeffekt/nåverdi", u"FORLOPNV"};
constexpr TListDef kTerminbeløpAnalyse{u"TerminbeløpAnalyse", u"Terminbeløp vs nedbet.tid", u"TERMBELOPvsLOPETID"};

// Appends a list; with `quiet` inside a load bracket, so nothing is reported.
void addList(TProduktRapporterListe& lists, const TListDef& def, std::initializer_list<TElementDef> elements,
             bool quiet = false) {
    TBeregnetOppsettListe& list = lists.add(def.id);
    if (quiet) list.beginLoad();
    list.SetBeskrivelse(def.title);
    list.SetCommand(def.command);
    for (const TElementDef& e : elements) list.addElement(e.id, e.caption, e.mini, e.std, e.print, u"", e.postfix);
    if (quiet) list.endLoad();
}

const std::initializer_list<TElementDef> kRentemrgElements = {
    {u"KODE", u"Beskr.", 0, 1, 1},       {u"DATO", u"Dato", 0, 1, 1},
    {u"INNBET", u"Innbet. ord.", 0, 1, 1}, {u"INNBETM", u"Innbet. alt.", 0, 1, 1},
    {u"INNBETD", u"Innbet. diff.", 0, 1, 1}, {u"RENTE", u"Renter", 0, 1, 0},
    {u"RENTEM", u"Renter alt.", 0, 1, 0}, {u"RENTED", u"Renter diff.", 0, 1, 1},
    {u"AVDRAG", u"Avdrag", 0, 1, 0},     {u"AVDRAGM", u"Avdrag alt.", 0, 1, 0},
    {u"AVDRAGD", u"Avdrag diff.", 0, 1, 1},
};

const std::initializer_list<TElementDef> kNåverdiElements = {
    {u"KODE", u"Beskr.", 0, 1, 1},        {u"DATO", u"Dato", 0, 1, 1},
    {u"INNBET", u"Innbetalt", 0, 1, 1},   {u"SKATT", u"Skattefradrag", 0, 1, 1},
    {u"NETTO", u"Nettokostnad", 0, 1, 1}, {u"NV", u"Realkostnad (NV)", 0, 1, 1},
};

}  // namespace

void addNedbetlånReports(TProduktRapporterListe& lists) {
    addList(lists, kNøkkeltall,
            {{u"EFFRNT", u"Effektiv rente", 1, 1, 1, u"%"},
             {u"TERMBELOP3", u"Terminbeløp", 1, 1, 1},
             {u"INNBET2", u"Innbetalt 2. termin", 1, 1, 1},
             {u"INFRDTO", u"Innfrielsesdato", 1, 1, 1},
             {u"LOPETID", u"Reell nedbet.tid", 1, 1, 1},
             {u"TOTANTTERM", u"Totalt antall terminer", 0, 1, 1},
             {u"TSUMINNB", u"Sum innbetalt", 1, 1, 1},
             {u"TSUMRNT", u"Sum renter", 1, 1, 1},
             {u"TSUMGB", u"Sum gebyr", 1, 1, 1},
             {u"SNITTRNT1", u"Snittrente 1. termin", 0, 0, 0, u"%"},
             {u"12MNDAVDRAG", u"12 mnd. sum avdrag", 0, 1, 0},
             {u"12MNDBRNT", u"12 mnd. sum betalte renter", 0, 1, 0},
             {u"12MNDBPROV", u"12 mnd. sum gebyr", 0, 1, 0}});
    addList(lists, kStdForløp,
            {{u"KODE", u"Beskr.", 1, 1, 1},
             {u"DATO", u"Dato", 1, 1, 1},
             {u"INNBET", u"Innbetalt", 1, 1, 1},
             {u"RENTE", u"Renter", 1, 1, 1},
             {u"AVDRAG", u"Avdrag", 1, 1, 1},
             {u"GEBYR", u"Gebyr", 1, 1, 1},
             {u"SALDO", u"Restgjeld", 1, 1, 1}});
    addList(lists, kRentemrgForløp, {});
    TBeregnetOppsettListe& mrg = lists[lists.count() - 1];
    for (const TElementDef& e : kRentemrgElements) mrg.addElement(e.id, e.caption, e.mini, e.std, e.print);
    mrg.addElement(u"GEBYR", u"Gebyr", 0, 1, 0);
    mrg.addElement(u"SALDO", u"Saldo", 0, 1, 1);
    mrg.addElement(u"SALDOM", u"Saldo alt.", 0, 1, 1);
    mrg.addElement(u"SALDOD", u"Saldo diff", 0, 1, 1);
    addList(lists, kNåverdiForløp, kNåverdiElements);
    addList(lists, kTerminbeløpAnalyse,
            {{u"LOPETID", u"Nedbetalingstid", 0, 1, 1},
             {u"TERMBELOP", u"Terminbeløp", 0, 1, 1},
             {u"TOTRNT", u"Totalt renter", 0, 1, 1},
             {u"TOTINNB", u"Totalt innbet.", 0, 1, 1},
             {u"TOTINNBNV", u"Realkostnad (NV)", 0, 1, 1}});
}

void addRammelånReports(TProduktRapporterListe& lists) {
    addList(lists, {u"StdRapport", u"Effektivrenterapport", u"FORLOPA"},
            {{u"UTNGRAD", u"Utn.grad", 1, 1, 1},
             {u"UTTAK", u"Uttak", 1, 1, 1},
             {u"ETABLOMK", u"Etabl.omk", 0, 1, 1},
             {u"PROV", u"Provisjon", 0, 1, 1},
             {u"RNT", u"Renter", 0, 1, 1},
             {u"UTNPROV", u"Utn.prov", 0, 1, 1},
             {u"EFFRNTMGB", u"Eff.rnt m/etabl.gb", 1, 1, 1},
             {u"EFFRNTUGB", u" u/etabl.gbr", 1, 1, 1}});
}

void addFellesReports(TProduktRapporterListe& lists) {
    addList(lists, kNøkkeltall,
            {{u"LBELOP", u"Samlet lånebeløp", 1, 1, 1},
             {u"SNITTRNT1", u"Snittrente 1. termin", 1, 1, 1, u"%"},
             {u"EFFRNT", u"Effektiv rente", 1, 1, 1, u"%"},
             {u"INNBET2", u"Innbetalt 2. termin", 1, 1, 1},
             {u"INFRDTO", u"Innfrielsesdato", 0, 1, 1},
             {u"LOPETID", u"Reell nedbet.tid", 1, 1, 1},
             {u"TSUMINNB", u"Sum innbetalt", 1, 1, 1},
             {u"TSUMRNT", u"Sum renter", 1, 1, 1},
             {u"TSUMGB", u"Sum gebyr", 1, 1, 1},
             {u"12MNDAVDRAG", u"12 mnd. sum avdrag", 0, 1, 0},
             {u"12MNDBRNT", u"12 mnd. sum betalte renter", 0, 1, 0},
             {u"12MNDBPROV", u"12 mnd. sum gebyr", 0, 1, 0}},
            true);
    addList(lists, kStdForløp,
            {{u"KODE", u"Beskr.", 1, 1, 1},
             {u"DATO", u"Dato", 1, 1, 1},
             {u"INNBET", u"Innbetalt", 1, 1, 1},
             {u"RENTE", u"Renter", 0, 1, 1},
             {u"AVDRAG", u"Avdrag", 0, 1, 1},
             {u"GEBYR", u"Gebyr", 0, 1, 1},
             {u"SALDO", u"Restgjeld", 1, 1, 1}},
            true);
    addList(lists, kRentemrgForløp, kRentemrgElements, true);
    TBeregnetOppsettListe& mrg = lists[lists.count() - 1];
    mrg.beginLoad();
    mrg.addElement(u"GEBYR", u"Gebyr", 0, 1, 0);
    mrg.addElement(u"SALDO", u"Saldo", 0, 1, 0);
    mrg.addElement(u"SALDOM", u"Saldo alt.", 0, 1, 0);
    mrg.addElement(u"SALDOD", u"Saldo diff", 0, 1, 0);
    mrg.endLoad();
    addList(lists, kNåverdiForløp, kNåverdiElements, true);
    addList(lists, kTerminbeløpAnalyse, {}, true);
}

}  // namespace mirvo::oppsett
