// Input windows of a product: screen elements (input fields and separator
// lines), places that hold alternative fields, the windows and the list of
// windows of one product, with their file form.
#pragma once

#include "app/ui/config/oppsett_base.h"

namespace mirvo::oppsett {

// One element of an input window.
class TSkjermElementOppsett : public TOppsettBaseClass {
public:
    using TOppsettBaseClass::TOppsettBaseClass;

    const std::u16string& ID() const { return FID; }
    const std::u16string& groupID() const { return FGroupID; }
    TCtrlKind kind() const { return FKind; }
    TCtrlState state() const { return FState; }
    TFlowKind panelFlow() const { return FPanelFlow; }
    TDimension panelDim() const { return FPanelDim; }

    void SetID(std::u16string_view v) { setValue(FID, std::u16string(v)); }
    void SetgroupID(std::u16string_view v) { setValue(FGroupID, std::u16string(v)); }
    virtual void Setkind(TCtrlKind v) { setValue(FKind, v); }
    void Setstate(TCtrlState v) { setValue(FState, v); }
    void SetpanelFlow(TFlowKind v) { setValue(FPanelFlow, v); }
    void SetpanelDim(TDimension v) { setValue(FPanelDim, v); }

    // "Multiple instanser av felt "ID" registrert. ..." on a repeat (case
    // ignored).
    void checkIDs(TIDListe& ids) const override;
    void save(xml::TXMLElement& e) const override;
    void load(const xml::TXMLElement& e) override;
    void assign(const TOppsettBaseClass& source) override;

protected:
    void assignFields(const TSkjermElementOppsett& s);

    std::u16string FID;
    std::u16string FGroupID;
    TCtrlKind FKind = TCtrlKind::ckNone;
    TCtrlState FState = TCtrlState::csNone;
    TFlowKind FPanelFlow = TFlowKind::flNewLine;
    TDimension FPanelDim{380, 0};
};

// An input field: label, input control and unit text.
class TInputElementOppsett : public TSkjermElementOppsett {
public:
    explicit TInputElementOppsett(TOppsettBaseClass* parent = nullptr);

    bool isDLLCalcField() const { return FIsDLLCalcField; }
    const std::u16string& labelText() const { return FLabelText; }
    TPunkt labelPos() const { return FLabelPos; }
    TPunkt inputPos() const { return FInputPos; }
    TDimension inputDim() const { return FInputDim; }
    TAlignment inputAlign() const { return FInputAlign; }
    int32_t inputMaxLength() const { return FInputMaxLength; }
    const std::u16string& inputFmt() const { return FInputFmt; }
    const std::vector<std::u16string>& inputChoices() const { return FInputChoices; }
    const std::u16string& unitText() const { return FUnitText; }
    TPunkt unitPos() const { return FUnitPos; }
    const std::u16string& defaultValue() const { return FDefaultValue; }
    const std::u16string& eventScript() const { return FEventScript; }
    const std::u16string& hint() const { return FHint; }
    const std::u16string& helpID() const { return FHelpID; }
    bool showInDefaultValuesDlg() const { return FShowInDefaultValueDialog; }

    // Applies the kind's defaults (format, length, choices) on a real change.
    void Setkind(TCtrlKind v) override;
    void SetisDLLCalcField(bool v) { setValue(FIsDLLCalcField, v); }
    void SetlabelText(std::u16string_view v) { setValue(FLabelText, std::u16string(v)); }
    void SetlabelPos(TPunkt v) { setValue(FLabelPos, v); }
    void SetinputPos(TPunkt v) { setValue(FInputPos, v); }
    void SetinputDim(TDimension v) { setValue(FInputDim, v); }
    void SetinputAlign(TAlignment v) { setValue(FInputAlign, v); }
    void SetinputMaxLength(int32_t v) { setValue(FInputMaxLength, v); }
    void SetinputFmt(std::u16string_view v) { setValue(FInputFmt, std::u16string(v)); }
    void SetinputChoices(const std::vector<std::u16string>& v) { setValue(FInputChoices, v); }
    void SetunitText(std::u16string_view v) { setValue(FUnitText, std::u16string(v)); }
    void SetunitPos(TPunkt v) { setValue(FUnitPos, v); }
    void SetdefaultValue(std::u16string_view v) { setValue(FDefaultValue, std::u16string(v)); }
    void SeteventScript(std::u16string_view v) { setValue(FEventScript, std::u16string(v)); }
    void Sethint(std::u16string_view v) { setValue(FHint, std::u16string(v)); }
    void SethelpID(std::u16string_view v) { setValue(FHelpID, std::u16string(v)); }
    void SetshowInDefaultValuesDlg(bool v) { setValue(FShowInDefaultValueDialog, v); }

    // From the label's left edge to the input control's bottom right corner.
    TRect getContentArea() const;
    // Left, top, right and bottom distance of the content area to the panel.
    TRect getContentMargins() const;
    int32_t inputRightPos() const { return FInputPos.X + FInputDim.w - 1; }

    void save(xml::TXMLElement& e) const override;
    void load(const xml::TXMLElement& e) override;
    void assign(const TOppsettBaseClass& source) override;
    std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const override;

private:
    bool FIsDLLCalcField = false;
    std::u16string FLabelText = u"Ledetekst";
    TPunkt FLabelPos{5, 4};
    TPunkt FInputPos{275, 2};
    TDimension FInputDim{100, 19};
    TAlignment FInputAlign = TAlignment::taLeftJustify;
    int32_t FInputMaxLength = 0;
    std::u16string FInputFmt;
    std::vector<std::u16string> FInputChoices;
    std::u16string FUnitText;
    TPunkt FUnitPos{245, 4};
    std::u16string FDefaultValue;
    std::u16string FEventScript;
    std::u16string FHint;
    std::u16string FHelpID;
    bool FShowInDefaultValueDialog = false;
};

// A separator line between fields.
class TSkilleElementOppsett : public TSkjermElementOppsett {
public:
    explicit TSkilleElementOppsett(TOppsettBaseClass* parent = nullptr);
    std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const override;
};

// One place of a window: the alternative fields entered there.
class TInputElementAltOppsettListe : public TOppsettList<TInputElementOppsett> {
public:
    using TOppsettList::TOppsettList;

    TInputElementOppsett& add();
    void checkIDs(TIDListe& ids) const override;
    void save(xml::TXMLElement& e) const override;
    void load(const xml::TXMLElement& e) override;
    void assign(const TOppsettBaseClass& source) override;
    std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const override;
};

// One input window: places and separators in display order.
class TInputOppsett : public TOppsettListBaseClass {
public:
    using TOppsettListBaseClass::TOppsettListBaseClass;

    const std::u16string& ID() const { return FID; }
    TWndKind kind() const { return FKind; }
    void SetID(std::u16string_view v) { setValue(FID, std::u16string(v)); }
    // "Kan ikke endre inputoppsettype etter at elementer er lagt til" when
    // the window has items and the kind differs.
    void Setkind(TWndKind v);

    TInputElementAltOppsettListe& addInputAltListe();
    TSkilleElementOppsett& addSeparator();
    // The item as a place, or none for a separator.
    TInputElementAltOppsettListe* place(size_t index) const;
    TSkilleElementOppsett* separator(size_t index) const;

    // First alternative of any place whose ID equals id (case ignored).
    TInputElementOppsett* getInputElement(std::u16string_view id) const;
    TInputElementOppsett* getFirstInput() const;
    // The IDs of all alternatives of all places, in order.
    void getInputFields(std::vector<std::u16string>& lines) const;
    void validate() const;

    void save(xml::TXMLElement& e) const override;
    // "Ukjent type element i XML!" for an item that is neither place nor
    // separator.
    void load(const xml::TXMLElement& e) override;
    void assign(const TOppsettBaseClass& source) override;
    std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const override;

private:
    std::u16string FID;
    TWndKind FKind = TWndKind::wkStd;
};

// The input windows of one product.
class TInputOppsettListe : public TOppsettList<TInputOppsett> {
public:
    using TOppsettList::TOppsettList;

    TInputOppsett& add();
    // Exact comparison; -1 when absent.
    int indexOf(std::u16string_view id) const;
    // The window, or a new one with that ID appended.
    TInputOppsett& itemByID(std::u16string_view id);
    void validate() const;

    void save(xml::TXMLElement& e) const override;
    // Appends one window per stored window (no merge).
    void load(const xml::TXMLElement& e) override;
    void assign(const TOppsettBaseClass& source) override;
    std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const override;
};

}  // namespace mirvo::oppsett
