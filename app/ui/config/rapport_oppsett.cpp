#include "app/ui/config/rapport_oppsett.h"

namespace mirvo::oppsett {
// ---- result element

void TBeregnetElementOppsett::save(xml::TXMLElement& e) const {
    e.setAttrib(u"ID", FID);
    writeChild(e, u"Beskrivelse", FBeskrivelse);
    writeBool(e, u"VisibleInMiniView", FVisibleInMiniView);
    writeBool(e, u"VisibleInStdView", FVisibleInStdView);
    writeBool(e, u"VisibleInPrint", FVisibleInPrint);
    writeChild(e, u"OutputPrefix", FOutputPrefix);
    writeChild(e, u"OutputPostfix", FOutputPostfix);
}

void TBeregnetElementOppsett::load(const xml::TXMLElement& e) {
    TLoadGuard guard(*this);
    std::u16string caption = childText(e, u"Beskrivelse");
    if (!caption.empty()) SetBeskrivelse(caption);
    SetVisibleInMiniView(childBool(e, u"VisibleInMiniView"));
    SetVisibleInStdView(childBool(e, u"VisibleInStdView"));
    SetVisibleInPrint(childBool(e, u"VisibleInPrint"));
    SetOutputPrefix(childText(e, u"OutputPrefix"));
    SetOutputPostfix(childText(e, u"OutputPostfix"));
}

void TBeregnetElementOppsett::assign(const TOppsettBaseClass& source) {
    TUpdateGuard guard(*this);
    const auto& s = sameClass<TBeregnetElementOppsett>(source);
    FID = s.FID;
    FBeskrivelse = s.FBeskrivelse;
    FVisibleInMiniView = s.FVisibleInMiniView;
    FVisibleInStdView = s.FVisibleInStdView;
    FVisibleInPrint = s.FVisibleInPrint;
    FOutputPrefix = s.FOutputPrefix;
    FOutputPostfix = s.FOutputPostfix;
}

std::unique_ptr<TOppsettBaseClass> TBeregnetElementOppsett::copy(TOppsettBaseClass* parent) const {
    auto c = std::make_unique<TBeregnetElementOppsett>(parent);
    c->assign(*this);
    return c;
}

// ---- report list

TBeregnetElementOppsett& TBeregnetOppsettListe::add() {
    auto& e = append(std::make_unique<TBeregnetElementOppsett>());
    changed();
    return e;
}

TBeregnetElementOppsett& TBeregnetOppsettListe::addElement(std::u16string_view id, std::u16string_view caption,
                                                           bool mini, bool std, bool print,
                                                           std::u16string_view prefix,
                                                           std::u16string_view postfix) {
    TBeregnetElementOppsett& e = add();
    e.SetID(id);
    e.SetBeskrivelse(caption);
    e.SetVisibleInMiniView(mini);
    e.SetVisibleInStdView(std);
    e.SetVisibleInPrint(print);
    e.SetOutputPrefix(prefix);
    e.SetOutputPostfix(postfix);
    return e;
}

int TBeregnetOppsettListe::indexOf(std::u16string_view id) const {
    for (size_t i = 0; i < count(); ++i)
        if ((*this)[i].ID() == id) return static_cast<int>(i);
    return -1;
}

TBeregnetElementOppsett& TBeregnetOppsettListe::itemByID(std::u16string_view id) {
    int i = indexOf(id);
    if (i >= 0) return (*this)[i];
    TBeregnetElementOppsett& e = add();
    e.SetID(id);
    return e;
}

void TBeregnetOppsettListe::save(xml::TXMLElement& e) const {
    e.setAttrib(u"ID", FID);
    writeChild(e, u"Beskrivelse", FBeskrivelse);
    writeChild(e, u"Command", FCommand);
    for (const auto& item : FItems) item->save(e.getList(u"Item").add());
}

void TBeregnetOppsettListe::load(const xml::TXMLElement& e) {
    TLoadGuard guard(*this);
    SetBeskrivelse(childText(e, u"Beskrivelse"));
    SetCommand(childText(e, u"Command"));
    for (const xml::TXMLElement* item : childrenNamed(e, u"Item")) itemByID(attribText(*item, u"ID")).load(*item);
}

void TBeregnetOppsettListe::assign(const TOppsettBaseClass& source) {
    TUpdateGuard guard(*this);
    const auto& s = sameClass<TBeregnetOppsettListe>(source);
    FID = s.FID;
    FBeskrivelse = s.FBeskrivelse;
    FCommand = s.FCommand;
    assignItems(s);
}

std::unique_ptr<TOppsettBaseClass> TBeregnetOppsettListe::copy(TOppsettBaseClass* parent) const {
    auto c = std::make_unique<TBeregnetOppsettListe>(FID, parent);
    c->assign(*this);
    return c;
}

// ---- report lists of a product

TBeregnetOppsettListe& TProduktRapporterListe::add(std::u16string_view id) {
    auto& l = append(std::make_unique<TBeregnetOppsettListe>(id));
    changed();
    return l;
}

int TProduktRapporterListe::indexOf(std::u16string_view id) const {
    for (size_t i = 0; i < count(); ++i)
        if ((*this)[i].ID() == id) return static_cast<int>(i);
    return -1;
}

TBeregnetOppsettListe& TProduktRapporterListe::itemByID(std::u16string_view id) {
    int i = indexOf(id);
    return i >= 0 ? (*this)[i] : add(id);
}

void TProduktRapporterListe::save(xml::TXMLElement& e) const {
    for (const auto& item : FItems) item->save(e.getList(u"Item").add());
}

void TProduktRapporterListe::load(const xml::TXMLElement& e) {
    TLoadGuard guard(*this);
    for (const xml::TXMLElement* item : childrenNamed(e, u"Item")) itemByID(attribText(*item, u"ID")).load(*item);
}

void TProduktRapporterListe::assign(const TOppsettBaseClass& source) {
    TUpdateGuard guard(*this);
    assignItems(sameClass<TProduktRapporterListe>(source));
}

std::unique_ptr<TOppsettBaseClass> TProduktRapporterListe::copy(TOppsettBaseClass* parent) const {
    auto c = std::make_unique<TProduktRapporterListe>(parent);
    c->assign(*this);
    return c;
}

}  // namespace mirvo::oppsett
