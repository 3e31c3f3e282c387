// The objects field scripts see: an item object per field, a section object
// per window (and "$" over all windows of the loan), the window object and
// the available-fields object of a "Changes" window.
#pragma once

#include <string>
#include <vector>

#include "app/ui/script/dispatch_object.h"

namespace mirvo::mng {

class TDataItem;
class TDataSection;
class TDatasections;

// value, fmtValue, defaultValue, caption, active, isNull, day, month, year;
// clear(), setToday(), addMonths(n). A value written by a script that
// changes the item runs the item's "change" script (nested).
class TItemScriptObject : public kavelin::activex::TDispatchObjectNew {
public:
    explicit TItemScriptObject(TDataItem& item);
    // The item is gone: later use fails instead of reaching freed data.
    void detach() { FItem = nullptr; }

private:
    TDataItem& item() const;
    void setValue(const VARIANT& v);
    // The item's date (by its format), changed by f, written back.
    void changeDate(const std::function<void(int& y, int& m, int& d)>& f);

    TDataItem* FItem;
};

// Any field ID of the section(s) gives its item object; "wnd" the window
// object; "available" the available-fields object of a "Changes" window.
class TSectionScriptObject : public kavelin::activex::TNameMapDispatch {
public:
    // One section, or every section of the loan in order ("$").
    explicit TSectionScriptObject(TDataSection& section);
    explicit TSectionScriptObject(TDatasections& loan);

protected:
    kavelin::activex::TOleVariant invokeName(const std::u16string& name, WORD flags,
                                             std::span<const kavelin::activex::TOleVariant> args) override;

private:
    std::vector<TDataSection*> FSections;
};

}  // namespace mirvo::mng
