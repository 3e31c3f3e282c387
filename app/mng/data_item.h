// The values of a loan: one data item per configured input field, one
// change row per dated change. Values are kept as the input control gives
// them (a number, a choice's value, text, or no value at all); numbers
// written as text follow the value-text rule of Kavelin.ActiveX.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui/config/input_oppsett.h"
#include "app/ui/script/variants.h"
#include "common/utils/error.h"

namespace mirvo::mng {

namespace oppsett = mirvo::oppsett;
namespace xml = kavelin::xml;
using kavelin::activex::TOleVariant;

// Failures of the case data; the message is Norwegian.
class EData : public kavelin::utils::EKavelin {
public:
    using EKavelin::EKavelin;
};

class TDataSection;
class TChangesDataSection;
class TItemScriptObject;

// The input control showing an item (implemented by the input windows).
class TDataControl {
public:
    virtual ~TDataControl() = default;
    virtual std::u16string controlID() const = 0;
    virtual TOleVariant controlValue() const = 0;
    virtual void showValue(const TOleVariant& value) = 0;
    virtual void showReadonly(bool readonly) = 0;
    virtual void showCaption(std::u16string_view caption) = 0;
    virtual void showVisible(bool visible) = 0;
};

// A period text as the user sees it ("25 år  6 mnd") in the form the
// calculation library reads ("25Å 6M"); other texts stay as they are.
std::u16string periodeForBeregning(std::u16string_view text);

class TDataItem {
public:
    // place: the group of alternatives the field belongs to (none for a
    // change row).
    TDataItem(TDataSection& parent, const oppsett::TInputElementOppsett& cfg,
              const oppsett::TInputElementAltOppsettListe* place);
    virtual ~TDataItem();
    TDataItem(const TDataItem&) = delete;
    TDataItem& operator=(const TDataItem&) = delete;

    TDataSection& parent() const { return FParent; }
    const oppsett::TInputElementOppsett& cfg() const { return *FCfg; }
    const oppsett::TInputElementAltOppsettListe* place() const { return FCfgAltListParent; }
    const std::u16string& id() const { return FId; }
    virtual std::u16string GetlistID() const { return FId; }

    // The value by the field's kind: none when inactive; a numeric field
    // gives a number (empty text 0); a choice field an integer when its
    // text is one; otherwise the stored value.
    TOleVariant value() const;
    std::u16string valueText() const;
    const TOleVariant& storedValue() const { return FValue; }
    // Stores a value whose text differs from the old one and marks the loan
    // changed; true when it did.
    bool setValue(const TOleVariant& v);
    // The value as displayed under the field's format.
    std::u16string fmtValue() const;

    bool active() const { return FActive; }
    void setActive(bool on);
    const std::u16string& caption() const { return FCaption; }
    void setCaption(std::u16string_view caption);
    bool readonly() const { return FReadonly; }
    void setReadonly(bool on);
    const TOleVariant& defaultValue() const { return FDefaultValue; }
    void setDefaultValue(const TOleVariant& v) { FDefaultValue = v; }

    // "ID=value;" when the item takes part in the calculation, else "".
    virtual std::u16string getCalcText() const;
    virtual void save(xml::TXMLElement& sectionElement) const;
    virtual void load(const xml::TXMLElement& e);
    // Takes the source's value when the user changed it there, else keeps
    // its own default; takes the source's active flag.
    virtual void copyValueFrom(const TDataItem& source);

    TDataControl* control() const { return FCtrl; }
    void connect(TDataControl* ctrl);
    // The object scripts see for this item (created on first use).
    IDispatch* scriptObject();

protected:
    void setField(const oppsett::TInputElementOppsett& cfg);

    bool FUpdating = false;
    TDataSection& FParent;
    TOleVariant FValue;
    TDataControl* FCtrl = nullptr;
    const oppsett::TInputElementOppsett* FCfg;
    const oppsett::TInputElementAltOppsettListe* FCfgAltListParent;
    bool FActive = true;
    std::u16string FId;
    bool FReadonly = false;
    std::u16string FCaption;
    TOleVariant FDefaultValue;
    TItemScriptObject* FScriptObject = nullptr;
};

// A field of a fixed window.
class TStdDataItem : public TDataItem {
public:
    using TDataItem::TDataItem;
};

// One dated change: a field of the "Changes" window, its value and date.
class TChangeDataItem : public TDataItem {
public:
    TChangeDataItem(TDataSection& parent, const oppsett::TInputElementOppsett& cfg);

    // "ENDRING[" + position in the section + "]".
    std::u16string GetlistID() const override;
    const std::u16string& date() const { return FDate; }
    // Sets the date; a fully typed date puts the row in date order.
    void setDate(std::u16string_view date, bool fullyEdited = true);
    // The user picked another field for the row: the old value text is
    // kept for the old ID and given back when the row returns to it.
    void changeField(const oppsett::TInputElementOppsett& cfg);

    // "ENDRDTO=" + date + ";" before the item's own contribution.
    std::u16string getCalcText() const override;
    void save(xml::TXMLElement& sectionElement) const override;
    void load(const xml::TXMLElement& e) override;

private:
    friend class TChangesDataSection;
    std::u16string FDate;
    bool FLastEditNotCompleted = false;
    std::vector<std::pair<std::u16string, std::u16string>> FEditBackup;  // ID, value text
};

}  // namespace mirvo::mng
