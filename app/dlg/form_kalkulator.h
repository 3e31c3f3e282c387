// The pocket calculator window over TKalkulator: an expression field, the
// live result under it and the keys. It only forwards keys and buttons to the
// calculator and shows its expression and result.
#pragma once

#include <QDialog>

#include <string_view>

#include "app/ui/calculator/kalkulator.h"

class QLineEdit;
class QPushButton;

namespace kavelin::calculator {

class TFormKalkulator : public QDialog {
    Q_OBJECT
public:
    explicit TFormKalkulator(QWidget* parent = nullptr);

    // The expression starts as `value` (when not 0) followed by initialOp.
    void start(double value, std::u16string_view initialOp);
    const TKalkulator& kalkulator() const { return FKalk; }
    // The value handed back on OK.
    double value() const { return FValue; }

    QLineEdit* edUttrykk = nullptr;
    QLineEdit* edSum = nullptr;
    QPushButton* btnDigit[10] = {};
    QPushButton *btnAdd = nullptr, *btnSub = nullptr, *btnMult = nullptr, *btnDiv = nullptr,
                *btnPrntsStart = nullptr, *btnPrntsStopp = nullptr, *btnPrsnt = nullptr, *btnErLik = nullptr,
                *btnBlankUt = nullptr, *btnSlett = nullptr, *btnPkt = nullptr, *btnReturner = nullptr,
                *btnAvbryt = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* makeButton(const char* name, const QString& caption);
    void press(TKnapp knapp);
    void typed(char16_t c);
    void syncSelection();
    void refresh();
    void returner();

    TKalkulator FKalk;
    double FValue = 0;
    bool FShowing = false;
};

// Shows the calculator modally; true on OK, and `value` then holds the result.
bool KalkulatorDlg(double& value, std::u16string_view initialOp, QWidget* parent = nullptr);
// Makes KalkulatorDlg the calculator of the number fields (Ctrl + operator).
void installKalkulator();

}  // namespace kavelin::calculator
