#include "app/mng/data_item.h"

#include "common/text/casing.h"

#include "app/mng/data_scripts.h"
#include "app/mng/product_data.h"
#include "app/ui/fmt/numtext.h"
#include "app/ui/fmt/textfmt.h"
#include "common/text/casing.h"
#include "common/text/numtext.h"

namespace mirvo::mng {

using kavelin::activex::variantNumber;
using kavelin::activex::variantText;
using oppsett::TCtrlKind;

TDataItem::TDataItem(TDataSection& parent, const oppsett::TInputElementOppsett& cfg,
                     const oppsett::TInputElementAltOppsettListe* place)
    : FParent(parent), FCfg(&cfg), FCfgAltListParent(place) {
    setField(cfg);
    FValue = FDefaultValue;
    // In the default-values window every item is editable.
    FReadonly = cfg.state() < oppsett::TCtrlState::csInput && parent.wndMode() == 0;
}

TDataItem::~TDataItem() {
    if (FScriptObject) {
        FScriptObject->detach();
        FScriptObject->Release();
    }
}

void TDataItem::setField(const oppsett::TInputElementOppsett& cfg) {
    FCfg = &cfg;
    FId = cfg.ID();
    FCaption = cfg.labelText();
    FDefaultValue = cfg.defaultValue().empty() ? TOleVariant() : TOleVariant::fromText(cfg.defaultValue());
}

TOleVariant TDataItem::value() const {
    if (!FActive) return {};
    switch (FCfg->kind()) {
        case TCtrlKind::ckNum:
            if (FValue.type() == VT_EMPTY || FValue.type() == VT_NULL) return {};
            try {
                return TOleVariant::fromDouble(variantNumber(FValue.v));
            } catch (const kavelin::utils::EKavelin&) {
                throw EData(u"Feltet " + FId + u" har en verdi som ikke er et tall: \"" + variantText(FValue.v) + u"\"");
            }
        case TCtrlKind::ckDropDown:
        case TCtrlKind::ckRadioGroup:
        case TCtrlKind::ckYesNo:
            if (FValue.type() == VT_BSTR) {
                if (auto i = kavelin::fmt::tryReadInteger(variantText(FValue.v));
                    i && *i >= INT32_MIN && *i <= INT32_MAX)
                    return TOleVariant::fromInt(int32_t(*i));
            }
            return FValue;
        default:
            return FValue;
    }
}

std::u16string TDataItem::valueText() const { return variantText(value().v); }

bool TDataItem::setValue(const TOleVariant& v) {
    if (FUpdating) return false;
    if (variantText(FValue.v) == variantText(v.v)) return false;
    FUpdating = true;
    FValue = v;
    FParent.parent().markChanged();
    if (FCtrl && !FParent.updating()) FCtrl->showValue(FValue);
    FUpdating = false;
    return true;
}

std::u16string TDataItem::fmtValue() const {
    if (!FActive) return {};
    const std::u16string text = valueText();
    const std::u16string& format = FCfg->inputFmt();
    switch (FCfg->kind()) {
        case TCtrlKind::ckNum: {
            if (text.empty()) return {};
            if (!format.empty() && format.back() == u'h' && kavelin::activex::variantNumber(value().v) == 0) return {};
            return kavelin::fmt::getMaskedStr(text, format.substr(0, 2));
        }
        case TCtrlKind::ckMask:
            return kavelin::fmt::getMaskedStr(text, format);
        case TCtrlKind::ckDropDown:
        case TCtrlKind::ckRadioGroup:
        case TCtrlKind::ckYesNo: {
            const auto& choices = FCfg->inputChoices();
            if (choices.empty() || choices.front().find(u'=') == std::u16string::npos) return text;
            for (const std::u16string& c : choices) {
                const size_t eq = c.find(u'=');
                if (eq != std::u16string::npos && c.compare(0, eq, text) == 0) return c.substr(eq + 1);
            }
            return text;
        }
        default:
            return text;
    }
}

void TDataItem::setActive(bool on) {
    if (FActive == on) return;
    FActive = on;
    if (FCtrl && FCfgAltListParent && FCfgAltListParent->count() == 1)
        FCtrl->showVisible(on && FCfg->state() > oppsett::TCtrlState::csHide);
}

void TDataItem::setCaption(std::u16string_view caption) {
    FCaption = caption;
    if (FCtrl) FCtrl->showCaption(FCaption);
}

void TDataItem::setReadonly(bool on) {
    FReadonly = on;
    if (FCtrl) FCtrl->showReadonly(on);
}

std::u16string periodeForBeregning(std::u16string_view text) {
    // "25 år  6 mnd" -> "25Å 6M": the library reads a number followed
    // directly by its unit letter, one group per blank.
    std::u16string out;
    bool harEnhet = false;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] < u'0' || text[i] > u'9') {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i;
        const std::u16string_view tall = text.substr(start, i - start);
        while (i < text.size() && text[i] == u' ') ++i;
        char16_t enhet = 0;
        if (i < text.size()) {
            switch (kavelin::text::upperChar(text[i])) {
                case u'Å': case u'A': case u'Y': enhet = u'Å'; break;
                case u'M': enhet = u'M'; break;
                case u'D': enhet = u'D'; break;
            }
        }
        if (!enhet) {
            if (!out.empty()) out += u' ';
            out += tall;
            continue;
        }
        harEnhet = true;
        if (!out.empty()) out += u' ';
        out += tall;
        out += enhet;
        while (i < text.size() && text[i] != u' ' && (text[i] < u'0' || text[i] > u'9')) ++i;
    }
    return harEnhet ? out : std::u16string(text);
}

std::u16string TDataItem::getCalcText() const {
    if (!FActive || !FCfg->isDLLCalcField()) return {};
    std::u16string text = valueText();
    if (text.empty()) return {};
    if (FCfg->kind() == TCtrlKind::ckPeriod) text = periodeForBeregning(text);
    return FId + u"=" + text + u";";
}

void TDataItem::save(xml::TXMLElement& sectionElement) const {
    xml::TXMLElement& e = sectionElement.getList(FId).add();
    e.setValue(variantText(FValue.v));
    e.setAttrib(u"Active", FActive ? u"1" : u"0");
}

void TDataItem::load(const xml::TXMLElement& e) {
    const auto text = e.value();
    FValue = text ? TOleVariant::fromText(*text) : TOleVariant();
    FActive = e.getAttrib(u"Active") == std::u16string(u"1");
}

void TDataItem::copyValueFrom(const TDataItem& source) {
    const bool userValue = variantText(source.FValue.v) != variantText(source.FDefaultValue.v);
    FValue = userValue ? source.FValue : FDefaultValue;
    FActive = source.FActive;
}

void TDataItem::connect(TDataControl* ctrl) {
    FCtrl = ctrl;
    if (!ctrl) return;
    ctrl->showValue(FValue);
    ctrl->showReadonly(FReadonly);
    ctrl->showCaption(FCaption);
    if (FCfgAltListParent && FCfgAltListParent->count() == 1 && FParent.wndMode() == 0)
        ctrl->showVisible(FActive && FCfg->state() > oppsett::TCtrlState::csHide);
}

IDispatch* TDataItem::scriptObject() {
    if (!FScriptObject) {
        FScriptObject = new TItemScriptObject(*this);
        FScriptObject->AddRef();
    }
    return FScriptObject;
}

// ---- TChangeDataItem ----------------------------------------------------------

TChangeDataItem::TChangeDataItem(TDataSection& parent, const oppsett::TInputElementOppsett& cfg)
    : TDataItem(parent, cfg, nullptr) {}

std::u16string TChangeDataItem::GetlistID() const {
    int index = FParent.indexOfItem(*this);
    return u"ENDRING[" + kavelin::text::intText(index) + u"]";
}

void TChangeDataItem::setDate(std::u16string_view date, bool fullyEdited) {
    FLastEditNotCompleted = !fullyEdited;
    if (FDate != date) {
        FDate = date;
        FParent.parent().markChanged();
    }
    if (fullyEdited) static_cast<TChangesDataSection&>(FParent).sortRow(*this);
}

void TChangeDataItem::changeField(const oppsett::TInputElementOppsett& cfg) {
    auto backup = [&](const std::u16string& id) {
        for (auto& entry : FEditBackup)
            if (kavelin::activex::sameText(entry.first, id)) return &entry;
        return static_cast<std::pair<std::u16string, std::u16string>*>(nullptr);
    };
    const std::u16string oldText = variantText(FValue.v);
    if (auto* entry = backup(FId)) entry->second = oldText;
    else FEditBackup.emplace_back(FId, oldText);
    setField(cfg);
    if (auto* entry = backup(FId)) FValue = TOleVariant::fromText(entry->second);
    else FValue = FDefaultValue;
    FParent.parent().markChanged();
}

std::u16string TChangeDataItem::getCalcText() const {
    std::u16string own = TDataItem::getCalcText();
    if (own.empty()) return {};
    return u"ENDRDTO=" + FDate + u";" + own;
}

void TChangeDataItem::save(xml::TXMLElement& sectionElement) const {
    xml::TXMLElement& e = sectionElement.getList(u"change").add();
    e.getChild(u"field").setValue(FId);
    e.getChild(u"value").setValue(variantText(FValue.v));
    e.getChild(u"date").setValue(FDate);
}

void TChangeDataItem::load(const xml::TXMLElement& e) {
    const xml::TXMLElement* value = e.findChild(u"value");
    const xml::TXMLElement* date = e.findChild(u"date");
    auto text = value ? value->value() : std::nullopt;
    FValue = text ? TOleVariant::fromText(*text) : TOleVariant();
    FDate = date ? date->valueText() : std::u16string();
}

}  // namespace mirvo::mng
