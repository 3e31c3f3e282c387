#include "app/dlg/form_kalkulator.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dlg/widget_names.h"
#include "app/ui/fmt/editfilter.h"
#include "app/ui/qt_text.h"

namespace kavelin::calculator {
namespace {

using kavelin::text::qs;

}  // namespace

TFormKalkulator::TFormKalkulator(QWidget* parent) : QDialog(parent) {
    mirvo::dlg::setName(this, "TFormKalkulator");
    setWindowTitle(qs(kalkulatorCaption(u"Mirvo")));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    edUttrykk = new QLineEdit(this);
    mirvo::dlg::setName(edUttrykk, "edUttrykk");
    edUttrykk->installEventFilter(this);
    edSum = new QLineEdit(this);
    mirvo::dlg::setName(edSum, "edSum");
    edSum->setReadOnly(true);
    edSum->setFocusPolicy(Qt::NoFocus);
    edSum->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont big = edSum->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    edSum->setFont(big);
    edUttrykk->setFont(big);
    layout->addWidget(edUttrykk);
    layout->addWidget(edSum);

    auto* keys = new QGridLayout;
    for (int d = 0; d <= 9; ++d) {
        btnDigit[d] = makeButton(("btn" + std::to_string(d)).c_str(), QString::number(d));
        connect(btnDigit[d], &QPushButton::clicked, this, [this, d] {
            syncSelection();
            FKalk.pressDigit(d);
            refresh();
        });
    }
    struct Key { QPushButton** button; const char* name; const char* caption; TKnapp knapp; };
    const Key table[] = {
        {&btnAdd, "btnAdd", "+", TKnapp::Add},           {&btnSub, "btnSub", "-", TKnapp::Sub},
        {&btnMult, "btnMult", "x", TKnapp::Mult},        {&btnDiv, "btnDiv", "/", TKnapp::Div},
        {&btnPrntsStart, "btnPrntsStart", "(", TKnapp::PrntsStart},
        {&btnPrntsStopp, "btnPrntsStopp", ")", TKnapp::PrntsStopp},
        {&btnPrsnt, "btnPrsnt", "%", TKnapp::Prsnt},     {&btnErLik, "btnErLik", "=", TKnapp::ErLik},
        {&btnBlankUt, "btnBlankUt", "C", TKnapp::BlankUt}, {&btnSlett, "btnSlett", "\u2190", TKnapp::Slett},
        {&btnPkt, "btnPkt", ",", TKnapp::Pkt},
    };
    for (const Key& k : table) {
        *k.button = makeButton(k.name, QString::fromUtf8(k.caption));
        TKnapp knapp = k.knapp;
        connect(*k.button, &QPushButton::clicked, this, [this, knapp] { press(knapp); });
    }
    btnSlett->setToolTip(QStringLiteral("Slett siste tegn"));
    // Rows as on a pocket calculator.
    QPushButton* grid[5][4] = {
        {btnBlankUt, btnPrntsStart, btnPrntsStopp, btnSlett},
        {btnDigit[7], btnDigit[8], btnDigit[9], btnDiv},
        {btnDigit[4], btnDigit[5], btnDigit[6], btnMult},
        {btnDigit[1], btnDigit[2], btnDigit[3], btnSub},
        {btnDigit[0], btnPkt, btnPrsnt, btnAdd},
    };
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c) keys->addWidget(grid[r][c], r, c);
    keys->addWidget(btnErLik, 5, 0, 1, 4);
    layout->addLayout(keys);

    auto* buttons = new QHBoxLayout;
    btnReturner = makeButton("btnReturner", QStringLiteral("OK"));
    btnAvbryt = makeButton("btnAvbryt", QStringLiteral("Avbryt"));
    btnReturner->setDefault(true);
    connect(btnReturner, &QPushButton::clicked, this, &TFormKalkulator::returner);
    connect(btnAvbryt, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch();
    buttons->addWidget(btnReturner);
    buttons->addWidget(btnAvbryt);
    layout->addLayout(buttons);

    connect(edUttrykk, &QLineEdit::textEdited, this, [this](const QString& text) {
        // Paste, cut and the control's own deletes.
        if (FShowing) return;
        FKalk.setEditText(text.toStdU16String(), edUttrykk->cursorPosition());
        refresh();
    });
    refresh();
}

QPushButton* TFormKalkulator::makeButton(const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    mirvo::dlg::setName(b, name);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumWidth(44);
    return b;
}

void TFormKalkulator::start(double value, std::u16string_view initialOp) {
    FKalk.start(value, initialOp);
    refresh();
}

void TFormKalkulator::syncSelection() {
    int start = edUttrykk->hasSelectedText() ? edUttrykk->selectionStart() : edUttrykk->cursorPosition();
    int length = edUttrykk->hasSelectedText() ? int(edUttrykk->selectedText().size()) : 0;
    FKalk.setSelection(start, length);
}

void TFormKalkulator::press(TKnapp knapp) {
    syncSelection();
    if (!FKalk.press(knapp)) QApplication::beep();
    refresh();
    edUttrykk->setFocus();
}

void TFormKalkulator::typed(char16_t c) {
    syncSelection();
    if (!FKalk.keyPress(c)) QApplication::beep();
    refresh();
}

void TFormKalkulator::refresh() {
    FShowing = true;
    edUttrykk->setText(QString::fromStdU16String(FKalk.expression()));
    edUttrykk->setCursorPosition(FKalk.caret());
    edSum->setText(QString::fromStdU16String(FKalk.resultText()));
    QPalette p = edSum->palette();
    p.setColor(QPalette::Text, FKalk.resultState() == TResultState::Normal ? palette().color(QPalette::Text)
                                                                           : QColor(Qt::red));
    edSum->setPalette(p);
    FShowing = false;
}

void TFormKalkulator::returner() {
    auto v = FKalk.result();
    if (!v) {
        // "ERROR" or "OVERFLOW" is nothing to hand back.
        QApplication::beep();
        return;
    }
    FValue = *v;
    accept();
}

bool TFormKalkulator::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edUttrykk || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: returner(); return true;
        case Qt::Key_Escape: reject(); return true;
        case Qt::Key_Backspace: typed(u'\b'); return true;
        case Qt::Key_Tab: return false;
        // Caret moves, Delete, and the clipboard keys are the control's own.
        case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Home: case Qt::Key_End: case Qt::Key_Delete:
            return false;
        default: break;
    }
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    QString text = key->text();
    if (text.size() != 1) return true;  // dropped
    typed(text.at(0).unicode());
    return true;
}

bool KalkulatorDlg(double& value, std::u16string_view initialOp, QWidget* parent) {
    TFormKalkulator form(parent ? parent : QApplication::activeWindow());
    form.start(value, initialOp);
    if (form.exec() != QDialog::Accepted) return false;
    value = form.value();
    return true;
}

void installKalkulator() {
    fmt::installCalculator([](double& value, std::u16string_view op) { return KalkulatorDlg(value, op); });
}

}  // namespace kavelin::calculator
