#include "app/dlg/form_kalkulator.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/frame/kavelin_edit.h"
#include "tests/app/main/widgets_app.h"

namespace kavelin::calculator {
namespace {

struct FormKalkulatorTest : ::testing::Test {
    mirvo::test::WidgetsApp app;
    TFormKalkulator form;
    void type(const char* keys) { QTest::keyClicks(form.edUttrykk, QString::fromUtf8(keys)); }
    QString sum() const { return form.edSum->text(); }
    bool red() const { return form.edSum->palette().color(QPalette::Text) == QColor(Qt::red); }
};

TEST_F(FormKalkulatorTest, NamesAndCaption) {
    EXPECT_EQ(form.objectName(), "TFormKalkulator");
    EXPECT_EQ(form.windowTitle(), "Mirvo  -  Kalkulator");
    for (const char* name : {"edUttrykk", "edSum", "btn0", "btn9", "btnAdd", "btnSub", "btnMult", "btnDiv",
                             "btnPrntsStart", "btnPrntsStopp", "btnPrsnt", "btnErLik", "btnBlankUt", "btnSlett",
                             "btnPkt", "btnReturner", "btnAvbryt"}) {
        QWidget* w = form.findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->accessibleName(), name);
    }
    EXPECT_TRUE(form.edSum->isReadOnly());
}

TEST_F(FormKalkulatorTest, TypedExpressionsShowTheirValue) {
    struct Case { const char* keys; const char* expression; const char* sum; bool red; };
    const Case cases[] = {
        {"1+2*3", "1+2•3", "7", false},
        {"(1+2)x3", "(1+2)•3", "9", false},
        {"2(3+4)", "2(3+4)", "14", false},
        {"1.5+1", "1,5+1", "2,5", false},
        {".5", "0,5", "0,5", false},
        {"12345,678", "12345,678", "12 345,678", false},
        {"10/3", "10/3", "3,3333", false},
        {"(1+2", "(1+2", "3", true},      // completed to be evaluated
        {"1+2)", "1+2)", "ERROR", true},  // unbalanced
        {"1/0", "1/0", "ERROR", true},
        {"1/(2-2)", "1/(2-2)", "ERROR", true},
        {"10^20", "10^20", "OVERFLOW", true},
        {"7a b", "7", "7", false},  // other keys are dropped
        {"5+-", "5-", "5", true},  // an operator replaces the one before it
        {"5+-3", "5-3", "2", false},
    };
    for (const Case& c : cases) {
        form.start(0, u"");
        type(c.keys);
        EXPECT_EQ(form.edUttrykk->text(), QString::fromUtf8(c.expression)) << c.keys;
        EXPECT_EQ(sum(), QString::fromUtf8(c.sum)) << c.keys;
        EXPECT_EQ(red(), c.red) << c.keys;
    }
}

TEST_F(FormKalkulatorTest, ButtonsPercentEqualsAndClear) {
    form.start(0, u"");
    for (QPushButton* b : {form.btnDigit[2], form.btnDigit[0], form.btnDigit[0], form.btnAdd, form.btnDigit[1],
                           form.btnDigit[0]})
        b->click();
    EXPECT_EQ(form.edUttrykk->text(), "200+10");
    form.btnPrsnt->click();
    EXPECT_EQ(form.edUttrykk->text(), "200+20");
    EXPECT_EQ(sum(), "220");
    form.btnSlett->click();
    EXPECT_EQ(form.edUttrykk->text(), "200+2");
    form.btnErLik->click();
    EXPECT_EQ(form.edUttrykk->text(), "202");
    form.btnBlankUt->click();
    EXPECT_EQ(form.edUttrykk->text(), "");
    EXPECT_EQ(sum(), "0");
    // Percent after an operator is refused and changes nothing.
    type("5+");
    form.btnPrsnt->click();
    EXPECT_EQ(form.edUttrykk->text(), "5+");
}

TEST_F(FormKalkulatorTest, OkHandsBackTheResultButNotAnError) {
    form.start(1500, u"+");
    EXPECT_EQ(form.edUttrykk->text(), "1500+");
    type("500");
    form.btnReturner->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.value(), 2000);

    TFormKalkulator failing;
    failing.start(0, u"");
    QTest::keyClicks(failing.edUttrykk, "1/0");
    failing.btnReturner->click();
    EXPECT_NE(failing.result(), QDialog::Accepted);
    EXPECT_TRUE(failing.isVisible() || failing.result() == 0);
}

TEST(KeyCodes, NorwegianKeysGiveTheCodesOfTheirOperators) {
    using fmt::windowsKeyCode;
    struct Case { int key; Qt::KeyboardModifiers mods; std::optional<int> vk; const char* op; };
    const Case cases[] = {
        {Qt::Key_7, {}, 55, "/"},
        {Qt::Key_Slash, {}, 47, "/"},
        {Qt::Key_Slash, Qt::KeypadModifier, 111, "/"},
        {Qt::Key_Asterisk, Qt::KeypadModifier, 106, "*"},
        {Qt::Key_Apostrophe, {}, 191, "*"},
        {Qt::Key_Asterisk, {}, 191, "*"},
        {Qt::Key_Plus, {}, 187, "+"},
        {Qt::Key_Plus, Qt::KeypadModifier, 107, "+"},
        {Qt::Key_Minus, {}, 189, "-"},
        {Qt::Key_Minus, Qt::KeypadModifier, 109, "-"},
        {Qt::Key_F12, {}, 123, ""},
        {Qt::Key_A, {}, std::nullopt, nullptr},
    };
    for (const Case& c : cases) {
        auto vk = windowsKeyCode(c.key, c.mods);
        EXPECT_EQ(vk, c.vk) << c.key;
        if (vk) {
            auto op = fmt::calculatorOperatorForKey(*vk);
            ASSERT_TRUE(op.has_value()) << *vk;
            EXPECT_EQ(QString::fromStdU16String(*op), QString::fromUtf8(c.op));
        }
    }
}

// Ctrl + "*" in a number field opens the calculator with the field's value and
// the operator; OK writes the result back into the field.
TEST(KalkulatorHandBack, CtrlOperatorInANumberField) {
    mirvo::test::ensureWidgetsApp();
    installKalkulator();
    fmt::TCustomKavelinEdit edit(nullptr, u"T0");
    edit.resize(200, 24);
    edit.setValue(u"1000");
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* f = qobject_cast<TFormKalkulator*>(QApplication::activeModalWidget());
        if (!f) return;
        seen = f->edUttrykk->text();
        QTest::keyClicks(f->edUttrykk, "2,5");
        f->btnReturner->click();
    });
    QTest::keyClick(&edit, Qt::Key_Asterisk, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(seen, "1000•");
    EXPECT_EQ(edit.text(), "2 500");
    EXPECT_EQ(QString::fromStdU16String(edit.value()), "2500");

    // Cancel leaves the field as it was.
    QTimer::singleShot(0, [] {
        if (auto* f = qobject_cast<TFormKalkulator*>(QApplication::activeModalWidget())) f->btnAvbryt->click();
    });
    EXPECT_FALSE(edit.openCalculator(u"+"));
    EXPECT_EQ(edit.text(), "2 500");
    fmt::installCalculator(nullptr);
}

}  // namespace
}  // namespace kavelin::calculator
