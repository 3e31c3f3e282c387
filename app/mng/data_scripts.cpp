#include "app/mng/data_scripts.h"

#include <cmath>

#include "app/mng/data_section.h"
#include "app/mng/product_data.h"
#include "common/text/numtext.h"
#include "common/utils/dates.h"

namespace mirvo::mng {

using kavelin::activex::TDispatchObjectNew;
using kavelin::activex::TNameMapDispatch;
using kavelin::activex::TOleVariant;
using kavelin::activex::TPublishedInfo;
using kavelin::activex::variantNumber;
using kavelin::activex::variantText;
using kavelin::finans::Datorec;
using kavelin::utils::EKavelin;
using Args = std::span<const TOleVariant>;

namespace {

bool variantBool(const VARIANT& v) {
    if (v.vt == VT_BOOL) return v.boolVal != 0;
    if (v.vt == VT_BSTR) {
        std::u16string t = variantText(v);
        return kavelin::activex::sameText(t, u"true") || kavelin::activex::sameText(t, u"ja") ||
               (!t.empty() && t != u"0" && !kavelin::activex::sameText(t, u"false"));
    }
    return variantNumber(v) != 0;
}

TOleVariant noValue() { return {}; }

// beginUpdate and endUpdate of a section's window.
class TWindowScriptObject : public TDispatchObjectNew {
public:
    explicit TWindowScriptObject(TDataSection& section) {
        publish({u"beginUpdate", {}, {}, [&section](Args) { section.beginUpdate(); return noValue(); }});
        publish({u"endUpdate", {}, {}, [&section](Args) {
                     if (section.updating()) section.endUpdate();
                     return noValue();
                 }});
    }
};

// One field of a "Changes" window: its label and whether it is offered.
class TFieldCfgScriptObject : public TDispatchObjectNew {
public:
    TFieldCfgScriptObject(TDataSection& section, oppsett::TInputElementOppsett& field) {
        auto rows = [&section, &field](const std::function<void(TDataItem&)>& f) {
            for (size_t i = 0; i < section.count(); ++i)
                if (kavelin::activex::sameText(section.getItem(i).id(), field.ID())) f(section.getItem(i));
        };
        publish({u"caption", [&field] { return TOleVariant::fromText(field.labelText()); },
                 [&field, rows](const VARIANT& v) {
                     const std::u16string text = variantText(v);
                     field.SetlabelText(text);
                     rows([&](TDataItem& row) { row.setCaption(text); });
                 },
                 {}});
        publish({u"active", [&field] { return TOleVariant::fromBool(field.state() != oppsett::TCtrlState::csNone); },
                 [&field, rows](const VARIANT& v) {
                     const bool on = variantBool(v);
                     field.Setstate(on ? oppsett::TCtrlState::csInput : oppsett::TCtrlState::csDisabled);
                     rows([&](TDataItem& row) { row.setActive(on); });
                 },
                 {}});
    }
};

// The fields of a "Changes" window by ID, and "wnd".
class TAvailableScriptObject : public TNameMapDispatch {
public:
    explicit TAvailableScriptObject(TDataSection& section) : FSection(section) {}

protected:
    TOleVariant invokeName(const std::u16string& name, WORD flags, Args) override {
        if (flags & DISPATCH_PROPERTYPUT) throw EKavelin(u"Kan ikke sette " + name);
        if (kavelin::activex::sameText(name, u"wnd"))
            return TOleVariant::fromDispatch(new TWindowScriptObject(FSection));
        oppsett::TInputElementOppsett* field = FSection.cfg().getInputElement(name);
        if (!field) throw EKavelin(u"Unknown name: " + name);
        return TOleVariant::fromDispatch(new TFieldCfgScriptObject(FSection, *field));
    }

private:
    TDataSection& FSection;
};

std::u16string dateFormatOf(const TDataItem& item) {
    const std::u16string& fmt = item.cfg().inputFmt();
    return fmt.empty() ? std::u16string(u"DD.MM.YYYY") : fmt;
}

}  // namespace

// ---- TItemScriptObject --------------------------------------------------------------

TItemScriptObject::TItemScriptObject(TDataItem& item) : FItem(&item) {
    publish({u"value", [this] { return this->item().value(); }, [this](const VARIANT& v) { setValue(v); }, {}});
    publish({u"fmtValue", [this] { return TOleVariant::fromText(this->item().fmtValue()); }, {}, {}});
    publish({u"defaultValue", [this] { return this->item().defaultValue(); }, {}, {}});
    publish({u"caption", [this] { return TOleVariant::fromText(this->item().caption()); },
             [this](const VARIANT& v) { this->item().setCaption(variantText(v)); }, {}});
    publish({u"active", [this] { return TOleVariant::fromBool(this->item().active()); },
             [this](const VARIANT& v) {
                 TDataItem& it = this->item();
                 const bool on = variantBool(v);
                 if (on == it.active()) return;
                 it.setActive(on);
                 it.parent().parent().markChanged();
             },
             {}});
    publish({u"isNull",
             [this] {
                 TOleVariant v = this->item().value();
                 switch (v.type()) {
                     case VT_EMPTY: case VT_NULL: return TOleVariant::fromBool(true);
                     case VT_BSTR: return TOleVariant::fromBool(variantText(v.v).empty());
                     case VT_I2: case VT_I4: case VT_I8: case VT_R4: case VT_R8: case VT_CY: case VT_UI1:
                     case VT_INT: case VT_BOOL:
                         return TOleVariant::fromBool(variantNumber(v.v) == 0);
                     default:
                         throw EKavelin(u"isNull property not supported for var type " + kavelin::text::intText(v.type()));
                 }
             },
             {}, {}});
    // Parts of a date field's value.
    auto part = [this](int which) {
        return TPublishedInfo{
            which == 0 ? u"day" : which == 1 ? u"month" : u"year",
            [this, which] {
                Datorec d;
                if (!kavelin::utils::StrTilDato(this->item().valueText(), dateFormatOf(this->item()), d) || d.missing())
                    return TOleVariant::fromInt(0);
                return TOleVariant::fromInt(which == 0 ? d.day() : which == 1 ? d.month() : d.year());
            },
            [this, which](const VARIANT& v) {
                const int n = int(variantNumber(v));
                changeDate([&](int& y, int& m, int& d) { (which == 0 ? d : which == 1 ? m : y) = n; });
            },
            {}};
    };
    publish(part(0));
    publish(part(1));
    publish(part(2));
    publish({u"clear", {}, {}, [this](Args) {
                 setValue(TOleVariant::fromText(u"").v);
                 return noValue();
             }});
    publish({u"setToday", {}, {}, [this](Args) {
                 const std::u16string today = kavelin::utils::datostr(kavelin::utils::dagensDato(), dateFormatOf(this->item()));
                 setValue(TOleVariant::fromText(today).v);
                 return noValue();
             }});
    publish({u"addMonths", {}, {}, [this](Args args) {
                 if (args.size() != 1) throw EKavelin(u"addMonths trenger ett argument");
                 const int n = int(variantNumber(args[0].v));
                 changeDate([n](int& y, int& m, int&) {
                     const int months = y * 12 + (m - 1) + n;
                     y = months / 12;
                     m = months % 12 + 1;
                 });
                 return noValue();
             }});
}

TDataItem& TItemScriptObject::item() const {
    if (!FItem) throw EKavelin(u"Feltet finnes ikke lenger");
    return *FItem;
}

void TItemScriptObject::setValue(const VARIANT& v) {
    TDataItem& it = item();
    TOleVariant value(v);
    // A date field takes a date (or day number) as text in its format.
    if (it.cfg().kind() == oppsett::TCtrlKind::ckDatetime && v.vt != VT_BSTR && v.vt != VT_EMPTY && v.vt != VT_NULL) {
        const double day = std::floor(variantNumber(v));
        value = TOleVariant::fromText(
            kavelin::utils::datostr(kavelin::utils::intdate2dato(kavelin::finans::TIntDate(day)), dateFormatOf(it)));
    }
    if (it.setValue(value)) it.parent().notifyItemChanged(it);
}

void TItemScriptObject::changeDate(const std::function<void(int& y, int& m, int& d)>& f) {
    TDataItem& it = item();
    Datorec date;
    if (!kavelin::utils::StrTilDato(it.valueText(), dateFormatOf(it), date) || !kavelin::utils::okdato(date))
        throw EKavelin(u"Feltet " + it.id() + u" har ingen gyldig dato");
    int y = date.year(), m = date.month(), d = date.day();
    f(y, m, d);
    if (m < 1 || m > 12 || y < 1 || y > 9999) throw EKavelin(u"Ugyldig dato i feltet " + it.id());
    d = std::clamp(d, 1, kavelin::utils::dagerimnd(y, m));
    setValue(TOleVariant::fromText(kavelin::utils::datostr(Datorec::ymd(y, m, d), dateFormatOf(it))).v);
}

// ---- TSectionScriptObject ----------------------------------------------------------------

TSectionScriptObject::TSectionScriptObject(TDataSection& section) : FSections{&section} {}

TSectionScriptObject::TSectionScriptObject(TDatasections& loan) {
    for (size_t i = 0; i < loan.count(); ++i) FSections.push_back(&loan.getItem(i));
}

TOleVariant TSectionScriptObject::invokeName(const std::u16string& name, WORD flags, Args) {
    if (flags & DISPATCH_PROPERTYPUT) throw EKavelin(u"Kan ikke sette " + name + u"; bruk " + name + u".value");
    const bool single = FSections.size() == 1;
    if (kavelin::activex::sameText(name, u"wnd") && !FSections.empty())
        return TOleVariant::fromDispatch(new TWindowScriptObject(*FSections.front()));
    if (kavelin::activex::sameText(name, u"available") && single) {
        TDataSection& section = *FSections.front();
        if (section.kind() != oppsett::TWndKind::wkChangesArray)
            throw EKavelin(u"property available er ikke tilgjengelig for seksjon \"" + section.ID() + u"\"");
        return TOleVariant::fromDispatch(new TAvailableScriptObject(section));
    }
    for (TDataSection* section : FSections)
        if (TDataItem* item = section->getData(name)) return TOleVariant::fromDispatch(item->scriptObject());
    throw EKavelin(u"Unknown name: " + name);
}

}  // namespace mirvo::mng
