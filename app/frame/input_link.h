// The input frame of one loan, or of one product's default values, as the
// main window and the default values dialog use it. The frame shows the
// loan's input windows and reports edits through the loan's data (the case's
// edit event), so the users of this interface only give and take the data.
#pragma once

#include <QWidget>

#include <memory>

#include "app/ui/config/oppsett_types.h"

namespace mirvo::mng {
class TProductData;
}

namespace mirvo::frame {

enum class TInputFrameMode { ifLoan, ifDefaultValues };

class TInputFrameLink {
public:
    virtual ~TInputFrameLink() = default;
    virtual QWidget* widget() const = 0;
    // Shows the data; nullptr releases the data the frame showed (its
    // windows are detached from the data).
    virtual void setLoan(mng::TProductData* data) = 0;
    // The height the frame needs to show all its input without scrolling.
    virtual int contentHeight() const = 0;
    virtual void setInputEnabled(bool on) = 0;
};

// The installment-loan frame for group 1, the framework-loan frame
// otherwise; parent is the scrolling host.
std::unique_ptr<TInputFrameLink> createInputFrame(oppsett::TProduktGruppe group, TInputFrameMode mode,
                                                  QWidget* parent);

}  // namespace mirvo::frame
