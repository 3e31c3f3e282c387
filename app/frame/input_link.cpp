#include "app/frame/input_link.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/dlg/widget_names.h"
#include "app/mng/product_data.h"

namespace mirvo::frame {
namespace {

// Stands in for the input windows until they are part of the program: names
// the loan's product and says that its input cannot be edited here yet.
class TPlaceholderFrame : public TInputFrameLink {
public:
    TPlaceholderFrame(oppsett::TProduktGruppe group, QWidget* parent) : FFrame(new QFrame(parent)) {
        dlg::setName(FFrame, group == oppsett::TProduktGruppe::pgRammelån ? "frameInputRamme" : "frameInputNedbet");
        auto* l = new QVBoxLayout(FFrame);
        l->setContentsMargins(12, 12, 12, 12);
        FTitle = new QLabel(FFrame);
        dlg::setName(FTitle, "laInputProdukt");
        QFont f = FTitle->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.15);
        FTitle->setFont(f);
        auto* text = new QLabel(QStringLiteral("Inndatavinduene for lånet er ikke på plass ennå."), FFrame);
        dlg::setName(text, "laInputMangler");
        text->setWordWrap(true);
        l->addWidget(FTitle);
        l->addWidget(text);
        l->addStretch();
    }
    ~TPlaceholderFrame() override { delete FFrame; }
    QWidget* widget() const override { return FFrame; }
    void setLoan(mng::TProductData* data) override {
        FTitle->setText(data ? QString::fromStdU16String(data->description()) : QString());
    }
    int contentHeight() const override { return FFrame->sizeHint().height(); }
    void setInputEnabled(bool on) override { FFrame->setEnabled(on); }

private:
    QFrame* FFrame;
    QLabel* FTitle;
};

}  // namespace

std::unique_ptr<TInputFrameLink> createInputFrame(oppsett::TProduktGruppe group, TInputFrameMode, QWidget* parent) {
    return std::make_unique<TPlaceholderFrame>(group, parent);
}

}  // namespace mirvo::frame
