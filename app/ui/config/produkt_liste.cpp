#include "app/ui/config/produkt_liste.h"

#include "app/ui/config/similarity.h"
#include "app/ui/settings/app_state.h"
#include "app/ui/xml/xml_text.h"
#include "common/text/encoding.h"
#include "common/utils/file_utils.h"

#include <algorithm>
#include <exception>
#include <filesystem>

namespace mirvo::oppsett {
namespace {

std::u16string messageOf(const std::exception& e) {
    if (auto* k = dynamic_cast<const kavelin::utils::EKavelin*>(&e)) return k->message();
    return kavelin::text::fromUtf8(e.what());
}

// A file the program wrote ends with the root's closing tag; a file cut
// short (or empty) does not, and the parser would take it as it stands.
bool endsComplete(std::u16string_view text, const xml::TXMLDoc& doc) {
    while (!text.empty() && text.back() <= u' ') text.remove_suffix(1);
    size_t lt = text.rfind(u'<');
    if (!doc.root() || lt == std::u16string_view::npos || text.back() != u'>') return false;
    std::u16string_view last = text.substr(lt);
    std::u16string closing = u"</" + doc.root()->name();
    if (last.starts_with(closing) &&
        std::all_of(last.begin() + closing.size(), last.end() - 1, [](char16_t c) { return c <= u' '; }))
        return true;
    return doc.root()->ChildCount() == 0 && last.ends_with(u"/>");
}

std::unique_ptr<TProduktOppsettListe>& instance() {
    static std::unique_ptr<TProduktOppsettListe> list;
    return list;
}

}  // namespace

TCfgFileNameFn defaultCfgFileName() {
    return [](bool forSave) { return kavelin::utils::appState().getCfgFileName(u"Configurations.xml", forSave); };
}

TProduktOppsettListe::TProduktOppsettListe(TCfgFileNameFn fileName)
    : TOppsettList(nullptr), FFileName(std::move(fileName)), FCommon(std::make_unique<TFellesOppsett>(this)) {
    load();
}

void TProduktOppsettListe::load() {
    TLoadGuard guard(*this);
    FItems.clear();
    // A fresh common configuration, so a reload does not keep what an
    // earlier file added to it.
    FCommon = std::make_unique<TFellesOppsett>(this);
    FLoadFailed = true;
    std::u16string name = FFileName(false);
    try {
        std::u16string text = xml::decodeXmlFile(kavelin::utils::readFileWithRetry(std::filesystem::path(name)));
        xml::TXMLDoc doc;
        doc.setText(text);
        if (!endsComplete(text, doc)) throw EOppsett(u"Filen er tom eller ufullstendig (avbrutt skriving?)");
        const xml::TXMLElement& root = doc.getElement(u"Oppsett");
        if (const xml::TXMLElement* felles = root.findChild(u"FellesOppsett")) FCommon->load(*felles);
        for (const xml::TXMLElement* p : childrenNamed(root, u"Produkt"))
            append(std::make_unique<TProduktOppsett>(parseInt(attribText(*p, u"ID")))).load(*p);
        FLoadFailed = false;
    } catch (const std::exception& e) {
        clearChangeFlags();
        throw EOppsett(u"Kan ikke lese konfigurasjonsfilen \"" + name + u"\": " + messageOf(e));
    }
    clearChangeFlags();
}

void TProduktOppsettListe::save() {
    if (!FChanged || std::uncaught_exceptions() > 0) return;
    if (FLoadFailed)
        throw EOppsett(u"Konfigurasjonen ble ikke lest inn fullstendig og lagres derfor ikke, for ikke å "
                       u"overskrive \"" + FFileName(false) + u"\". Rett opp filen og start programmet på nytt.");
    xml::TXMLDoc doc;
    doc.setFormattedOutput(true);
    xml::TXMLElement& root = doc.getElement(u"Oppsett");
    FCommon->save(root.getList(u"FellesOppsett").add());
    for (size_t i = 0; i < count(); ++i) (*this)[i].save(root.getList(u"Produkt").add());
    std::u16string name = FFileName(true);
    try {
        doc.Save(std::filesystem::path(name));
    } catch (const std::exception& e) {
        throw EOppsett(u"Kan ikke lagre konfigurasjonsfilen \"" + name + u"\": " + messageOf(e));
    }
    clearChangeFlags();
}

int TProduktOppsettListe::indexOf(int32_t id) const {
    for (size_t i = 0; i < count(); ++i)
        if ((*this)[i].ID() == id) return static_cast<int>(i);
    return -1;
}

TProduktOppsett* TProduktOppsettListe::itemById(int32_t id) const {
    int i = indexOf(id);
    return i >= 0 ? &(*this)[i] : nullptr;
}

TProduktOppsett& TProduktOppsettListe::add() {
    int32_t maxID = 0;
    for (size_t i = 0; i < count(); ++i) maxID = std::max(maxID, (*this)[i].ID());
    TProduktOppsett& p = append(std::make_unique<TProduktOppsett>(maxID + 1));
    changed();
    return p;
}

void TProduktOppsettListe::deleteProdukt(int32_t id) {
    TProduktOppsett* p = itemById(id);
    if (!p) throw EOppsett(u"Finner ikke produkt med ID " + formatInt(id));
    deleteItem(*p);
}

int32_t TProduktOppsettListe::firstIdOf(TProduktGruppe group) const {
    for (size_t i = 0; i < count(); ++i)
        if (group == TProduktGruppe::pgNone || (*this)[i].Produktgruppe() == group) return (*this)[i].ID();
    return -1;
}

void TProduktOppsettListe::getProduktListe(std::vector<std::u16string>& lines, TProduktGruppe group) const {
    lines.clear();
    for (size_t i = 0; i < count(); ++i) {
        const TProduktOppsett& p = (*this)[i];
        if (group != TProduktGruppe::pgNone && p.Produktgruppe() != group) continue;
        if (!p.Beskrivelse().empty()) lines.push_back(formatInt(p.ID()) + u"=" + p.Beskrivelse());
    }
}

void TProduktOppsettListe::initCfgMenu(TCfgMenuWindow& window) const {
    if (count() > kMaxMenuProducts) throw EOppsett(u"For mange produkter konfigurert! Kontakt Kavelin!");
    for (size_t n = 1; n <= kMaxMenuProducts + 1; ++n) {
        TCfgMenuAction* action = window.findAction(u"actionOppsettProdukt" + formatInt(static_cast<int64_t>(n)));
        if (!action) continue;
        if (count() >= n) {
            action->setCaption((*this)[n - 1].Beskrivelse());
            action->setTag(static_cast<int>(n - 1));
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
}

int32_t TProduktOppsettListe::findClosestProductID(const xml::TXMLElement& element) const {
    std::u16string loanType = childText(element, u"lntype");
    for (size_t i = 0; i < count(); ++i) {
        // A lookup only: a product without an "Initial" window is not given one.
        const TInputOppsettListe& windows = (*this)[i].InputOppsettListe();
        int w = windows.indexOf(u"Initial");
        if (w < 0) continue;
        const TInputElementOppsett* field = windows[w].getInputElement(u"LNTYPE");
        if (field && sameText(field->defaultValue(), loanType)) return (*this)[i].ID();
    }
    return 0;
}

int32_t TProduktOppsettListe::findClosestProductID(std::u16string_view name) const {
    std::vector<std::u16string> descriptions;
    for (size_t i = 0; i < count(); ++i) descriptions.push_back((*this)[i].Beskrivelse());
    TFindMatchResult match = findClosestMatch(name, descriptions);
    return match.inx >= 0 ? (*this)[match.inx].ID() : -1;
}

void TProduktOppsettListe::clearChangeFlags() {
    TOppsettListBaseClass::clearChangeFlags();
    FCommon->clearChangeFlags();
}

std::unique_ptr<TOppsettBaseClass> TProduktOppsettListe::copy(TOppsettBaseClass*) const {
    throw EOppsett(u"Produktlisten kan ikke kopieres");
}

TProduktOppsettListe& produktOppsett() {
    if (!instance()) throw EOppsett(u"Produktoppsettet er ikke lastet");
    return *instance();
}

bool hasProduktOppsett() { return instance() != nullptr; }

void installProduktOppsett(std::unique_ptr<TProduktOppsettListe> list) { instance() = std::move(list); }

void freeProduktOppsett() {
    if (!instance()) return;
    instance()->save();
    instance().reset();
}

}  // namespace mirvo::oppsett
