#include "app/main/case_source.h"

#include "app/mng/data_mng.h"

namespace mirvo::main {

int TPortfolioCaseSource::loanCount() const { return int(FSak.count()); }

TShortInfo TPortfolioCaseSource::shortInfo(int index) const { return FSak.getItem(size_t(index)).GetshortInfo(); }

std::u16string TPortfolioCaseSource::calculationInput(int index) const {
    return FSak.getItem(size_t(index)).GetcalcDataStr();
}

bool TPortfolioCaseSource::hasChangeItems(int index) const {
    return FSak.getItem(size_t(index)).hasAnyChangeDataItems();
}

int TPortfolioCaseSource::loanOf(const mng::TDataItem& item) const {
    const mng::TDatasections* owner = &item.parent().parent();
    for (size_t i = 0; i < FSak.count(); ++i)
        if (&FSak.getItem(i) == owner) return int(i);
    return -1;
}

}  // namespace mirvo::main
