// The loan list as the main manager sees it: entries in case order, each
// with the loan's short facts and its last calculation message.
#pragma once

#include <string>

#include "app/mng/product_data.h"

namespace mirvo::main {

using mng::TShortInfo;

class TLoanListView {
public:
    virtual ~TLoanListView() = default;
    virtual int count() const = 0;
    // -1 when none is selected.
    virtual int selectedIndex() const = 0;
    virtual void setShortInfo(int index, const TShortInfo& info) = 0;
    // "OK" or the library's error text.
    virtual void setErrorMsg(int index, const std::u16string& message) = 0;
    virtual void setMultiCalculationEnabled(bool on) = 0;
};

}  // namespace mirvo::main
