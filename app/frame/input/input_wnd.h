// The window elements of an input window, built from its configuration on a
// panel: one row per place (label, input control of the field's kind, unit
// text), separator lines, alternatives with their chooser, and the growing
// list of dated change rows. Elements never keep values: they report edits
// through the window's events and show what their section gives them.
//
// Three modes: a loan of the case, the default values of a product, and the
// design view of the configuration dialogs (every element drawn, nothing
// editable).
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/mng/data_section.h"
#include "app/ui/config/input_oppsett.h"

class QLabel;
class QPushButton;

namespace kavelin::fmt {
class TDatetimeEdit;
class TDropDownMenuEdit;
}  // namespace kavelin::fmt

namespace mirvo::mng {

enum class TWndMode { wmNormalInput = 0, wmDesigning = 1, wmDefaultsInput = 2 };

// The window mode a loan needs: 0 for a loan of a case, 2 for default values.
TWndMode wndModeOf(int neededWndMode);

// Colours of the input windows: the bottom border of a row and the design
// view's separator strip; the background of read-only controls.
QColor rowBorderColor();
QColor readonlyBackColor();

class TWndElements;
class TElementList;
class TLabelAndField;
class TLabelAndFieldExt;
class TChangeArrayField;

// One element: its own content panel on the list's panel.
class TWndElement {
public:
    TWndElement(TWndElements& owner, TElementList& parent, const oppsett::TSkjermElementOppsett* source);
    virtual ~TWndElement();
    TWndElement(const TWndElement&) = delete;
    TWndElement& operator=(const TWndElement&) = delete;

    TWndElements& owner() const { return FOwner; }
    TElementList& parentList() const { return FParent; }
    QWidget* contentPanel() const { return FContentPanel; }
    TWndMode mode() const { return FMode; }
    const oppsett::TSkjermElementOppsett* dataSource() const { return FDataSource; }

    virtual bool visible() const;
    // Fixed elements refuse: "Ugyldig endring av Visible property!".
    virtual void setVisible(bool on);
    // A short text for the design view and the editor.
    virtual std::u16string description() const;
    // The element's position in its list, and moving it there.
    int index() const;
    void moveTo(int index);
    void moveUp() { if (index() > 0) moveTo(index() - 1); }
    void moveDown() { moveTo(index() + 1); }
    // Another alternative of the same place exists.
    virtual bool hasAltSibling() const { return false; }

protected:
    TWndElements& FOwner;
    TElementList& FParent;
    QPointer<QWidget> FContentPanel;
    TWndMode FMode;
    const oppsett::TSkjermElementOppsett* FDataSource;
    bool FInitiated = false;
};

// An ordered owning list of elements stacked on one panel.
class TElementList {
public:
    TElementList(TWndElements* owner, QWidget* wnd, TWndMode mode);
    virtual ~TElementList();
    TElementList(const TElementList&) = delete;
    TElementList& operator=(const TElementList&) = delete;

    QWidget* wnd() const { return FWnd; }
    TWndMode mode() const { return FMode; }
    size_t count() const { return FItems.size(); }
    TWndElement& item(size_t index) const { return *FItems.at(index); }
    int indexOf(const TWndElement& e) const;
    void clearElements();
    void removeElement(TWndElement& e);
    void moveElement(size_t from, size_t to);

protected:
    template <class T, class... A>
    T& append(A&&... args) {
        auto e = std::make_unique<T>(std::forward<A>(args)...);
        T& ref = *e;
        insertElement(std::move(e), FItems.size());
        return ref;
    }
    void insertElement(std::unique_ptr<TWndElement> e, size_t at);

    TWndMode FMode;
    QWidget* FWnd;
    std::vector<std::unique_ptr<TWndElement>> FItems;
    TWndElements* FOwner;
    friend class TWndElement;
};

// All elements of one input window, with its events; implements the window
// side of a data section.
class TWndElements : public TElementList, public TSectionWindow {
public:
    using TElementEvent = std::function<void(TWndElement&)>;
    using TFieldEvent = std::function<void(TLabelAndField&)>;

    // A TStdWndElements or a TChangeWndElements for the kind.
    static std::unique_ptr<TWndElements> create(oppsett::TWndKind kind, QWidget* panel, TWndMode mode);
    ~TWndElements() override;

    // Builds the elements of the window.
    virtual void loadFromConfig(const oppsett::TInputOppsett& window) = 0;
    // Design mode: the elements of the window, everything drawn.
    void initCfgSetupSync(const oppsett::TInputOppsett& window) { loadFromConfig(window); }
    const oppsett::TInputOppsett* dataSource() const { return FDataSource; }

    // A fixed window: the first field of any place with exactly that ID; the
    // changes window: the last row with that field ID.
    virtual TLabelAndField* inputFieldByID(std::u16string_view id) const = 0;
    // Every field of the window in order (rows for the changes window).
    std::vector<TLabelAndField*> fields() const;
    // Removes an element.
    void deleteElement(TWndElement& e);
    TWndElement* focused() const { return FFocused; }
    void SetFocused(TWndElement* e);
    bool inLoading() const { return FInLoading; }
    // Some field is shown.
    bool anyVisibleFields() const;

    // TSectionWindow
    TDataControl* findControl(std::u16string_view id) override;
    TDataControl* addRowControl(TChangeDataItem& row) override;
    void moveRow(size_t from, size_t to) override;
    void beginUpdate() override;
    void endUpdate() override;

    // Events.
    TElementEvent FOnFocus;
    TFieldEvent FOnEditChange;
    TFieldEvent FOnElementRemove;
    TFieldEvent FOnInputSync;
    std::function<void(TLabelAndFieldExt&)> FOnActiveAltChange;
    std::function<void(TLabelAndFieldExt&, int& index)> FOnGetActiveAltSync;
    // A change row's field was switched to another one in its chooser.
    std::function<void(TChangeArrayField&, const oppsett::TInputElementOppsett&)> FOnRowFieldChange;
    // A change row's date was edited.
    TFieldEvent FOnRowDateChange;

    // A unique name for a new control ("ctl" + a number of the process).
    static QString nextControlName();

protected:
    TWndElements(QWidget* panel, TWndMode mode);

    TWndElement* FFocused = nullptr;
    const oppsett::TInputOppsett* FDataSource = nullptr;
    bool FInLoading = false;
    int FUpdateDepth = 0;
    friend class TLabelAndField;
    friend class TLabelAndFieldExt;
    friend class TWndElement;
};

// A fixed window: places and separators.
class TStdWndElements : public TWndElements {
public:
    TStdWndElements(QWidget* panel, TWndMode mode) : TWndElements(panel, mode) {}
    void loadFromConfig(const oppsett::TInputOppsett& window) override;
    TLabelAndField* inputFieldByID(std::u16string_view id) const override;
    // For the alternative chooser: the unit column of the window's first
    // field with a unit text, minus 15 (0 when none).
    int commonChooserRight() const { return FChooserRight; }

private:
    int FChooserRight = 0;
};

// The "Changes" window: dated rows.
class TChangeWndElements : public TWndElements {
public:
    TChangeWndElements(QWidget* panel, TWndMode mode) : TWndElements(panel, mode) {}
    void loadFromConfig(const oppsett::TInputOppsett& window) override;
    TLabelAndField* inputFieldByID(std::u16string_view id) const override;
    // Appends a row for the field (the window's first field when the ID is
    // empty or unknown).
    TChangeArrayField* addNewItem(std::u16string_view id);
    TChangeArrayField* row(size_t index) const;
    // "ID=label" of each place whose first alternative is above csDisabled.
    const std::vector<std::u16string>& availableItems() const { return FAvailableItems; }
    int commonUnitPos() const { return FCommonUnitPos; }
    // Left edges of the date, chooser and value columns (for column headers).
    struct TColumns {
        int date, field, value;
    };
    TColumns columns() const;
    // How far a row's configured positions move right so that the chooser
    // starts after the date control.
    int rowShift(const oppsett::TInputElementOppsett& field) const;

private:
    std::vector<std::u16string> FAvailableItems;
    int FCommonUnitPos = 9999;
};

// An element of fixed height.
class TCtrlElement : public TWndElement {
public:
    using TWndElement::TWndElement;
};

// A separator line.
class TSpacedLine : public TCtrlElement {
public:
    TSpacedLine(TWndElements& owner, TElementList& parent, const oppsett::TSkilleElementOppsett& source);
    std::u16string description() const override;
};

// One field: label, input control and unit text.
class TLabelAndField : public TCtrlElement, public TDataControl {
public:
    TLabelAndField(TWndElements& owner, TElementList& parent, const oppsett::TInputElementOppsett& source);
    ~TLabelAndField() override;

    const oppsett::TInputElementOppsett& field() const { return *FField; }
    const std::u16string& ID() const { return FID; }
    oppsett::TCtrlKind ctrlKind() const { return FCtrlKind; }
    QWidget* fieldCtrl() const { return FFieldCtrl; }
    QLabel* labelCtrl() const { return FLabelCtrl; }
    QLabel* unitCtrl() const { return FUnitCtrl; }

    // The value as its kind gives it: text, a number, a choice's value.
    TOleVariant value() const;
    void setValue(const TOleVariant& v);
    bool readonly() const { return FReadonly; }
    void SetReadonly(bool on);
    const std::u16string& caption() const { return FCaption; }
    void SetCaption(std::u16string_view caption);
    bool visible() const override;
    void setVisible(bool on) override;
    std::u16string description() const override;
    bool hasAltSibling() const override;
    // Field visible in this mode by its configuration.
    bool visibleByConfig() const;

    // TDataControl
    std::u16string controlID() const override { return FID; }
    TOleVariant controlValue() const override { return value(); }
    void showValue(const TOleVariant& value) override { setValue(value); }
    void showReadonly(bool readonly) override { SetReadonly(readonly); }
    void showCaption(std::u16string_view caption) override { SetCaption(caption); }
    void showVisible(bool visible) override { setVisible(visible); }

protected:
    // (Re)creates label, control and unit for the current field.
    void buildControls();
    void placeControls();
    virtual int shiftX() const { return 0; }
    void fireEditChange();

    const oppsett::TInputElementOppsett* FField;
    std::u16string FID;
    oppsett::TCtrlKind FCtrlKind;
    bool FReadonly = false;
    std::u16string FCaption;
    QLabel* FLabelCtrl = nullptr;
    QWidget* FFieldCtrl = nullptr;
    QLabel* FUnitCtrl = nullptr;
    // The value text last shown or reported, so that a focus change that
    // only reformats the text is not reported as an edit.
    std::u16string FLastText;
    bool FVisible = true;
    friend class TLabelAndFieldExt;
};

// The alternatives of one place.
class TLabelAndFieldAltList : public TElementList {
public:
    TLabelAndFieldAltList(TWndElements* owner, QWidget* wnd, TWndMode mode, TLabelAndFieldExt& link)
        : TElementList(owner, wnd, mode), FLink(link) {}
    TLabelAndField& addField(const oppsett::TInputElementOppsett& e);
    TLabelAndFieldExt& link() const { return FLink; }

private:
    TLabelAndFieldExt& FLink;
};

// One place of a fixed window, with its alternatives.
class TLabelAndFieldExt : public TWndElement {
public:
    TLabelAndFieldExt(TStdWndElements& owner, TElementList& parent, const oppsett::TInputElementAltOppsettListe& place);
    ~TLabelAndFieldExt() override;

    const oppsett::TInputElementAltOppsettListe& place() const { return *FPlace; }
    bool hasAlternatives() const { return FHasAlternatives; }
    TLabelAndFieldAltList& elementList() const { return *FElementList; }
    int activeAltInx() const { return FActiveAltInx; }
    TLabelAndField* activeAlt() const;
    // Shows another alternative (as the chooser does) and reports it.
    void chooseAlternative(int index);
    kavelin::fmt::TDropDownMenuEdit* labelChoicesEdit() const { return FLabelChoicesEdit; }
    bool visible() const override;
    std::u16string description() const override;
    // A caption of an alternative changed: the chooser line follows.
    void captionChanged(TLabelAndField& field);
    // Shows or hides the place by what its alternatives show.
    void updateHeight();

private:
    void showAlternative(int index);
    void updateChooserLines();

    const oppsett::TInputElementAltOppsettListe* FPlace;
    bool FHasAlternatives = false;
    std::unique_ptr<TLabelAndFieldAltList> FElementList;
    int FActiveAltInx = 0;
    kavelin::fmt::TDropDownMenuEdit* FLabelChoicesEdit = nullptr;
};

// One change row: date, field chooser, value and delete button.
class TChangeArrayField : public TLabelAndField {
public:
    TChangeArrayField(TChangeWndElements& owner, const oppsett::TInputElementOppsett& source);

    // The date text (empty when none).
    std::u16string changeDate() const;
    void setChangeDate(std::u16string_view date);
    bool changeDateFullyEdited() const;
    // The row's position (the row count for a row not yet in the list).
    int changeIndex() const;
    // Gives the row another field of the window (as the chooser does).
    void chooseField(std::u16string_view id);

    kavelin::fmt::TDatetimeEdit* dateCtrl() const { return FDateCtrl; }
    kavelin::fmt::TDropDownMenuEdit* labelChoicesEdit() const { return FLabelChoicesEdit; }
    QPushButton* delBtnCtrl() const { return FDelBtnCtrl; }
    // Removes the row as its delete button does.
    void deleteRow();
    std::u16string description() const override;
    void setVisible(bool on) override { TLabelAndField::setVisible(on); }

protected:
    int shiftX() const override;

private:
    void rebuildForField();
    TChangeWndElements& changeOwner() const;

    kavelin::fmt::TDropDownMenuEdit* FLabelChoicesEdit = nullptr;
    kavelin::fmt::TDatetimeEdit* FDateCtrl = nullptr;
    QPushButton* FDelBtnCtrl = nullptr;
    bool FInChangeSource = false;
};

// Ties a section to window elements on a panel: builds the elements from
// the section's window, hooks their events to the section and connects the
// items; the destructor detaches the section and frees the elements. Errors
// of an edit (a script error included) are shown at once and the edit stays.
class TSectionView {
public:
    TSectionView(TDataSection& section, QWidget* panel);
    ~TSectionView();
    TSectionView(const TSectionView&) = delete;
    TSectionView& operator=(const TSectionView&) = delete;

    TDataSection& section() const { return FSection; }
    TWndElements& wnd() const { return *FWnd; }
    // Called after every edit the section has taken.
    std::function<void()> FOnEdited;

private:
    void guarded(const std::function<void()>& action);

    TDataSection& FSection;
    std::unique_ptr<TWndElements> FWnd;
};

}  // namespace mirvo::mng
