// The open case as the main manager reads it.
#pragma once

#include "app/main/main_mng.h"

namespace mirvo::mng {
class TPortfolioData;
class TDataItem;
}

namespace mirvo::main {

class TPortfolioCaseSource : public TCaseSource {
public:
    explicit TPortfolioCaseSource(mng::TPortfolioData& sak) : FSak(sak) {}
    int loanCount() const override;
    TShortInfo shortInfo(int index) const override;
    std::u16string calculationInput(int index) const override;
    bool hasChangeItems(int index) const override;
    // The index of the loan holding the item; -1 when none does.
    int loanOf(const mng::TDataItem& item) const;

private:
    mng::TPortfolioData& FSak;
};

}  // namespace mirvo::main
