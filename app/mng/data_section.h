// The data of one input window of a loan: a fixed set of items (wkStd) or
// a list of dated change rows (wkChangesArray).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/mng/data_item.h"

namespace mirvo::mng {

class TDatasections;

using TDataItemEvent = std::function<void(TDataItem*)>;

// The window showing a section (implemented by the input windows).
class TSectionWindow {
public:
    virtual ~TSectionWindow() = default;
    // The control of a fixed field, or none.
    virtual TDataControl* findControl(std::u16string_view id) = 0;
    // A new row control for a change row.
    virtual TDataControl* addRowControl(TChangeDataItem& row) = 0;
    virtual void moveRow(size_t from, size_t to) = 0;
    virtual void beginUpdate() {}
    virtual void endUpdate() {}
};

class TDataSection {
public:
    TDataSection(TDatasections& parent, const oppsett::TInputOppsett& cfg);
    virtual ~TDataSection();
    TDataSection(const TDataSection&) = delete;
    TDataSection& operator=(const TDataSection&) = delete;

    TDatasections& parent() const { return FParent; }
    const std::u16string& ID() const { return FID; }
    oppsett::TWndKind kind() const { return FWndkind; }
    const oppsett::TInputOppsett& cfg() const { return *FCfg; }

    size_t count() const { return FItems.size(); }
    TDataItem& getItem(size_t index) const { return *FItems.at(index); }
    // The item whose GetlistID equals the text (case ignored), or none.
    TDataItem* getData(std::u16string_view listID) const;
    int indexOf(std::u16string_view listID) const;
    // The item's position, -1 when it is not in the section.
    int indexOfItem(const TDataItem& item) const;

    // The items' calculation contributions in order.
    std::u16string calcDataStr() const;
    virtual void save(xml::TXMLElement& e) const;
    virtual void load(const xml::TXMLElement& e) = 0;
    virtual void copyFrom(const TDataSection& source) = 0;

    // Window connection (the input windows of the application).
    void attachWindow(TSectionWindow* window);
    TSectionWindow* window() const { return FWindow; }
    // A control reports an edit: its item takes the control's value, then
    // the edit is passed on to the loan (scripts, recalculation).
    void editChanged(TDataControl& ctrl);
    // A control asks for its item's value.
    void syncInput(TDataControl& ctrl);
    bool updating() const { return FUpdating > 0; }
    void beginUpdate();
    void endUpdate();

    TDataItemEvent FOnEditChange;

protected:
    friend class TDataItem;
    friend class TChangeDataItem;
    friend class TItemScriptObject;
    // The loan's window mode: 0 for a loan of a case, 2 for default values.
    int wndMode() const;
    void notifyItemChanged(TDataItem& item);

    TDatasections& FParent;
    oppsett::TWndKind FWndkind;
    std::u16string FID;
    const oppsett::TInputOppsett* FCfg;
    std::vector<std::unique_ptr<TDataItem>> FItems;
    TSectionWindow* FWindow = nullptr;
    int FUpdating = 0;
};

// A fixed window: one item per alternative of every place.
class TStdDataSection : public TDataSection {
public:
    TStdDataSection(TDatasections& parent, const oppsett::TInputOppsett& cfg);

    void load(const xml::TXMLElement& e) override;
    void copyFrom(const TDataSection& source) override;
    // The user picked another alternative of a place: only it is active.
    void switchAlternative(const oppsett::TInputElementAltOppsettListe& place, std::u16string_view chosenID);
    // The alternative to show for a place: the first active one.
    TDataItem* shownAlternative(const oppsett::TInputElementAltOppsettListe& place) const;
};

// The "Changes" window: dated change rows.
class TChangesDataSection : public TDataSection {
public:
    using TDataSection::TDataSection;

    // A row for the window's first field, dated like the last row; the
    // section must be shown in a window.
    TChangeDataItem& addChangeElement();
    // A row for a field of the window (case ignored); none when the window
    // has no such field.
    TChangeDataItem* appendRow(std::u16string_view fieldID);
    // Removes a row (its control was removed): the loan counts as changed.
    void deleteRow(size_t index);
    // Puts a row whose date was fully typed in date order.
    void sortRow(TChangeDataItem& row);
    size_t rowIndex(const TChangeDataItem& row) const;

    void save(xml::TXMLElement& e) const override;
    void load(const xml::TXMLElement& e) override;
    void copyFrom(const TDataSection& source) override;
};

}  // namespace mirvo::mng
