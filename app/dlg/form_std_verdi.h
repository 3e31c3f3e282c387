// The "Std.verdier" dialog: the default values of one product, edited in the
// product's own input frame and saved to the user's "Defaults.xml".
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

namespace mirvo::mng {
class TProductData;
class TProductsDefaultData;
}
namespace mirvo::oppsett {
class TProduktOppsett;
}
namespace mirvo::frame {
class TFrameLoanInput;
}
class QFrame;
class QPushButton;
class QScrollArea;

namespace mirvo::dlg {

struct TStdVerdiSetup {
    bool readOnly = false;  // the configuration cannot be changed: values shown, no input
    int mainWindowHeight = 0;
    // Told after the defaults were saved (the configuration backup).
    std::function<void()> onSaved;
};

class TFormStdVerdi : public QDialog {
    Q_OBJECT
public:
    TFormStdVerdi(const oppsett::TProduktOppsett& product, mng::TProductsDefaultData& defaults,
                  TStdVerdiSetup setup, QWidget* parent = nullptr);
    ~TFormStdVerdi() override;

    QScrollArea* pnInputParent = nullptr;
    QFrame* pnButtons = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    mng::TProductData* data() const { return FData; }
    frame::TFrameLoanInput* inputFrame() const { return FFrame.get(); }

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void restore();

    std::unique_ptr<frame::TFrameLoanInput> FFrame;
    mng::TProductData* FData = nullptr;
    mng::TProductsDefaultData& FDefaults;
    TStdVerdiSetup FSetup;
    struct TSnapshot;
    std::unique_ptr<TSnapshot> FSnapshot;
};

// Shows the dialog modally; true when the user confirmed with OK.
bool editStdVerdier(const oppsett::TProduktOppsett& product, mng::TProductsDefaultData& defaults,
                    TStdVerdiSetup setup, QWidget* parent);

}  // namespace mirvo::dlg
