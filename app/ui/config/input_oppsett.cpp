#include "app/ui/config/input_oppsett.h"

#include "common/text/casing.h"

namespace mirvo::oppsett {
namespace {

TDimension dimOf(std::u16string_view text) {
    auto [w, h] = parsePair(text);
    return {w, h};
}

TPunkt pointOf(std::u16string_view text) {
    auto [x, y] = parsePair(text);
    return {x, y};
}

}  // namespace

// ---- screen element

void TSkjermElementOppsett::checkIDs(TIDListe& ids) const {
    if (!ids.insert(kavelin::text::upperCase(FID)).second)
        throw EOppsett(u"Multiple instanser av felt \"" + FID + u"\" registrert. Rydd opp i overlapping / konflikt!");
}

void TSkjermElementOppsett::save(xml::TXMLElement& e) const {
    e.setAttrib(u"ID", FID);
    writeChild(e, u"GroupID", FGroupID);
    writeChild(e, u"Kind", toText(FKind));
    writeChild(e, u"State", toText(FState));
    writeChild(e, u"PanelFlow", toText(FPanelFlow));
    writeChild(e, u"PanelDim", formatPair(FPanelDim.w, FPanelDim.h));
}

void TSkjermElementOppsett::load(const xml::TXMLElement& e) {
    TLoadGuard guard(*this);
    SetID(attribText(e, u"ID"));
    SetgroupID(childText(e, u"GroupID"));
    Setkind(ctrlKindOf(childText(e, u"Kind")));
    Setstate(ctrlStateOf(childText(e, u"State")));
    SetpanelFlow(flowKindOf(childText(e, u"PanelFlow")));
    SetpanelDim(dimOf(childText(e, u"PanelDim")));
}

void TSkjermElementOppsett::assign(const TOppsettBaseClass& source) {
    TUpdateGuard guard(*this);
    assignFields(sameClass<TSkjermElementOppsett>(source));
}

void TSkjermElementOppsett::assignFields(const TSkjermElementOppsett& s) {
    FID = s.FID;
    FGroupID = s.FGroupID;
    FKind = s.FKind;
    FState = s.FState;
    FPanelFlow = s.FPanelFlow;
    FPanelDim = s.FPanelDim;
}

// ---- input element

TInputElementOppsett::TInputElementOppsett(TOppsettBaseClass* parent) : TSkjermElementOppsett(parent) {
    FKind = TCtrlKind::ckText;
    FState = TCtrlState::csInput;
    FPanelDim = {380, 23};
}

void TInputElementOppsett::Setkind(TCtrlKind v) {
    if (v == FKind) return;
    switch (v) {
        case TCtrlKind::ckNum:
            FInputFmt = u"T0";
            FInputMaxLength = 15;
            break;
        case TCtrlKind::ckMask: FInputFmt = u"##########{0123456789}"; break;
        case TCtrlKind::ckDatetime: FInputFmt = u"DD.MM.YYYY"; break;
        case TCtrlKind::ckPeriod: FInputFmt = u"__ år  __ mnd"; break;
        case TCtrlKind::ckDropDown:
        case TCtrlKind::ckRadioGroup: FInputChoices.clear(); break;
        case TCtrlKind::ckYesNo: FInputChoices = {u"1=Ja", u"0=Nei"}; break;
        case TCtrlKind::ckMemo: FInputMaxLength = 5000; break;
        default: break;
    }
    FKind = v;
    changed();
}

TRect TInputElementOppsett::getContentArea() const {
    return {FLabelPos.X, 0, FInputPos.X + FInputDim.w - 1, FInputPos.Y + FInputDim.h - 1};
}

TRect TInputElementOppsett::getContentMargins() const {
    TRect a = getContentArea();
    return {FLabelPos.X, 0, FPanelDim.w - a.Right, FPanelDim.h - a.Bottom};
}

void TInputElementOppsett::save(xml::TXMLElement& e) const {
    TSkjermElementOppsett::save(e);
    writeBool(e, u"ShowInDefaultValueDlg", FShowInDefaultValueDialog);
    writeBool(e, u"IsDLLCalcField", FIsDLLCalcField);
    writeChild(e, u"LabelText", FLabelText);
    writeChild(e, u"LabelPos", formatPair(FLabelPos.X, FLabelPos.Y));
    writeChild(e, u"InputPos", formatPair(FInputPos.X, FInputPos.Y));
    writeChild(e, u"InputDim", formatPair(FInputDim.w, FInputDim.h));
    if (!hasChoices(FKind)) writeChild(e, u"InputFmt", FInputFmt);
    writeChild(e, u"InputMaxLength", formatInt(FInputMaxLength));
    writeChild(e, u"InputAlign", toText(FInputAlign));
    if (hasChoices(FKind)) {
        xml::TXMLElement& choices = e.getList(u"InputChoices").add();
        for (const auto& line : FInputChoices) writeChild(choices, u"Item", line);
    }
    writeChild(e, u"UnitText", FUnitText);
    writeChild(e, u"UnitPos", formatPair(FUnitPos.X, FUnitPos.Y));
    writeChild(e, u"DefaultValue", FDefaultValue);
    writeChild(e, u"EventScript", FEventScript);
    writeChild(e, u"Hint", FHint);
    writeChild(e, u"HelpID", FHelpID);
}

void TInputElementOppsett::load(const xml::TXMLElement& e) {
    TLoadGuard guard(*this);
    // The kind is applied first, so the stored values override its defaults.
    TSkjermElementOppsett::load(e);
    SetshowInDefaultValuesDlg(childBool(e, u"ShowInDefaultValueDlg"));
    SetisDLLCalcField(childBool(e, u"IsDLLCalcField"));
    SetlabelText(childText(e, u"LabelText"));
    SetlabelPos(pointOf(childText(e, u"LabelPos")));
    SetinputPos(pointOf(childText(e, u"InputPos")));
    SetinputDim(dimOf(childText(e, u"InputDim")));
    if (!hasChoices(FKind)) {
        std::u16string fmt = childText(e, u"InputFmt");
        if (!(fmt.empty() && FKind == TCtrlKind::ckPeriod)) SetinputFmt(fmt);
    }
    SetinputMaxLength(childInt(e, u"InputMaxLength"));
    SetinputAlign(alignmentOf(childText(e, u"InputAlign")));
    if (hasChoices(FKind)) {
        std::vector<std::u16string> lines;
        if (const xml::TXMLElement* choices = e.findChild(u"InputChoices"))
            for (const xml::TXMLElement* item : childrenNamed(*choices, u"Item")) lines.push_back(item->valueText());
        SetinputChoices(lines);
    }
    SetunitText(childText(e, u"UnitText"));
    SetunitPos(pointOf(childText(e, u"UnitPos")));
    SetdefaultValue(childText(e, u"DefaultValue"));
    SeteventScript(childText(e, u"EventScript"));
    Sethint(childText(e, u"Hint"));
    SethelpID(childText(e, u"HelpID"));
}

void TInputElementOppsett::assign(const TOppsettBaseClass& source) {
    TUpdateGuard guard(*this);
    const auto& s = sameClass<TInputElementOppsett>(source);
    assignFields(s);
    FIsDLLCalcField = s.FIsDLLCalcField;
    FLabelText = s.FLabelText;
    FLabelPos = s.FLabelPos;
    FInputPos = s.FInputPos;
    FInputDim = s.FInputDim;
    FInputAlign = s.FInputAlign;
    FInputMaxLength = s.FInputMaxLength;
    FInputFmt = s.FInputFmt;
    FInputChoices = s.FInputChoices;
    FUnitText = s.FUnitText;
    FUnitPos = s.FUnitPos;
    FDefaultValue = s.FDefaultValue;
    FEventScript = s.FEventScript;
    FHint = s.FHint;
    FHelpID = s.FHelpID;
    FShowInDefaultValueDialog = s.FShowInDefaultValueDialog;
}

std::unique_ptr<TOppsettBaseClass> TInputElementOppsett::copy(TOppsettBaseClass* parent) const {
    auto c = std::make_unique<TInputElementOppsett>(parent);
    c->assign(*this);
    return c;
}

// ---- separator

TSkilleElementOppsett::TSkilleElementOppsett(TOppsettBaseClass* parent) : TSkjermElementOppsett(parent) {
    FKind = TCtrlKind::ckSpacedLine;
    FState = TCtrlState::csInput;
    FPanelDim = {380, 10};
}

std::unique_ptr<TOppsettBaseClass> TSkilleElementOppsett::copy(TOppsettBaseClass* parent) const {
    auto c = std::make_unique<TSkilleElementOppsett>(parent);
    c->assign(*this);
    return c;
}

// ---- place

TInputElementOppsett& TInputElementAltOppsettListe::add() {
    TInputElementOppsett& e = append(std::make_unique<TInputElementOppsett>());
    changed();
    return e;
}

void TInputElementAltOppsettListe::checkIDs(TIDListe& ids) const {
    for (const auto& item : FItems) item->checkIDs(ids);
}

void TInputElementAltOppsettListe::save(xml::TXMLElement& e) const {
    for (const auto& item : FItems) item->save(e.getList(u"Alt").add());
}

void TInputElementAltOppsettListe::load(const xml::TXMLElement& e) {
    TLoadGuard guard(*this);
    for (const xml::TXMLElement* alt : childrenNamed(e, u"Alt")) add().load(*alt);
}

void TInputElementAltOppsettListe::assign(const TOppsettBaseClass& source) {
    TUpdateGuard guard(*this);
    assignItems(sameClass<TInputElementAltOppsettListe>(source));
}

std::unique_ptr<TOppsettBaseClass> TInputElementAltOppsettListe::copy(TOppsettBaseClass* parent) const {
    auto c = std::make_unique<TInputElementAltOppsettListe>(parent);
    c->assign(*this);
    return c;
}

// ---- window

void TInputOppsett::Setkind(TWndKind v) {
    if (v == FKind) return;
    if (!FItems.empty()) throw EOppsett(u"Kan ikke endre inputoppsettype etter at elementer er lagt til");
    FKind = v;
    changed();
}

TInputElementAltOppsettListe& TInputOppsett::addInputAltListe() {
    auto& p = append(std::make_unique<TInputElementAltOppsettListe>());
    changed();
    return p;
}

TSkilleElementOppsett& TInputOppsett::addSeparator() {
    auto& s = append(std::make_unique<TSkilleElementOppsett>());
    changed();
    return s;
}

TInputElementAltOppsettListe* TInputOppsett::place(size_t index) const {
    return dynamic_cast<TInputElementAltOppsettListe*>(&getItem(index));
}

TSkilleElementOppsett* TInputOppsett::separator(size_t index) const {
    return dynamic_cast<TSkilleElementOppsett*>(&getItem(index));
}

TInputElementOppsett* TInputOppsett::getInputElement(std::u16string_view id) const {
    for (size_t i = 0; i < count(); ++i)
        if (auto* p = place(i))
            for (size_t j = 0; j < p->count(); ++j)
                if (sameText((*p)[j].ID(), id)) return &(*p)[j];
    return nullptr;
}

TInputElementOppsett* TInputOppsett::getFirstInput() const {
    for (size_t i = 0; i < count(); ++i)
        if (auto* p = place(i)) return p->count() > 0 ? &(*p)[0] : nullptr;
    return nullptr;
}

void TInputOppsett::getInputFields(std::vector<std::u16string>& lines) const {
    lines.clear();
    for (size_t i = 0; i < count(); ++i)
        if (auto* p = place(i))
            for (size_t j = 0; j < p->count(); ++j) lines.push_back((*p)[j].ID());
}

void TInputOppsett::validate() const {
    TIDListe ids;
    for (const auto& item : FItems) item->checkIDs(ids);
}

void TInputOppsett::save(xml::TXMLElement& e) const {
    e.setAttrib(u"ID", FID);
    e.setAttrib(u"Type", toText(FKind));
    for (const auto& item : FItems) {
        xml::TXMLElement& x = e.getList(u"Item").add();
        if (dynamic_cast<const TSkilleElementOppsett*>(item.get())) {
            item->save(x);  // ID first, then Type
            x.setAttrib(u"Type", u"Separator");
        } else {
            x.setAttrib(u"Type", u"Input");
            item->save(x);
        }
    }
}

void TInputOppsett::load(const xml::TXMLElement& e) {
    TLoadGuard guard(*this);
    SetID(attribText(e, u"ID"));
    Setkind(wndKindOf(attribText(e, u"Type")));
    for (const xml::TXMLElement* item : childrenNamed(e, u"Item")) {
        std::u16string type = attribText(*item, u"Type");
        if (sameText(type, u"Input")) addInputAltListe().load(*item);
        else if (sameText(type, u"Separator")) addSeparator().load(*item);
        else throw EOppsett(u"Ukjent type element i XML!");
    }
}

void TInputOppsett::assign(const TOppsettBaseClass& source) {
    TUpdateGuard guard(*this);
    const auto& s = sameClass<TInputOppsett>(source);
    FID = s.FID;
    FKind = s.FKind;
    assignItems(s);
}

std::unique_ptr<TOppsettBaseClass> TInputOppsett::copy(TOppsettBaseClass* parent) const {
    auto c = std::make_unique<TInputOppsett>(parent);
    c->assign(*this);
    return c;
}

// ---- windows of a product

TInputOppsett& TInputOppsettListe::add() {
    auto& w = append(std::make_unique<TInputOppsett>());
    changed();
    return w;
}

int TInputOppsettListe::indexOf(std::u16string_view id) const {
    for (size_t i = 0; i < count(); ++i)
        if ((*this)[i].ID() == id) return static_cast<int>(i);
    return -1;
}

TInputOppsett& TInputOppsettListe::itemByID(std::u16string_view id) {
    int i = indexOf(id);
    if (i >= 0) return (*this)[i];
    TInputOppsett& w = add();
    w.SetID(id);
    return w;
}

void TInputOppsettListe::validate() const {
    for (size_t i = 0; i < count(); ++i) (*this)[i].validate();
}

void TInputOppsettListe::save(xml::TXMLElement& e) const {
    for (const auto& item : FItems) item->save(e.getList(u"Oppsett").add());
}

void TInputOppsettListe::load(const xml::TXMLElement& e) {
    TLoadGuard guard(*this);
    for (const xml::TXMLElement* w : childrenNamed(e, u"Oppsett")) add().load(*w);
}

void TInputOppsettListe::assign(const TOppsettBaseClass& source) {
    TUpdateGuard guard(*this);
    assignItems(sameClass<TInputOppsettListe>(source));
}

std::unique_ptr<TOppsettBaseClass> TInputOppsettListe::copy(TOppsettBaseClass* parent) const {
    auto c = std::make_unique<TInputOppsettListe>(parent);
    c->assign(*this);
    return c;
}

}  // namespace mirvo::oppsett
