// The main manager against the real library, with a case of fixed input texts.
#include "app/main/main_mng.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QTableWidget>

#include <filesystem>

#include "app/frame/frame_reports.h"
#include "app/main/form_main.h"
#include "app/ui/config/produkt_liste.h"
#include "tests/app/main/main_window_fixture.h"

namespace mirvo::main {
namespace {

using oppsett::TProduktGruppe;

struct TFakeCase : TCaseSource {
    std::vector<std::pair<TShortInfo, std::u16string>> loans;
    int loanCount() const override { return int(loans.size()); }
    TShortInfo shortInfo(int i) const override { return loans[size_t(i)].first; }
    std::u16string calculationInput(int i) const override { return loans[size_t(i)].second; }
    bool hasChangeItems(int) const override { return false; }
};

struct TFakeList : TLoanListView {
    int n = 0, selected = 0;
    std::vector<std::u16string> messages = std::vector<std::u16string>(4);
    std::vector<TShortInfo> infos = std::vector<TShortInfo>(4);
    bool multi = false;
    int count() const override { return n; }
    int selectedIndex() const override { return selected; }
    void setShortInfo(int i, const TShortInfo& info) override { infos[size_t(i)] = info; }
    void setErrorMsg(int i, const std::u16string& m) override { messages[size_t(i)] = m; }
    void setMultiCalculationEnabled(bool on) override { multi = on; }
};

using mirvo::test::ensureConfiguration;

int32_t firstProduct(TProduktGruppe g) { return oppsett::produktOppsett().firstIdOf(g); }

const std::u16string kLaan = u"LBELOP=500000;LOPETID=20;RNTSATS=5;UTBDTO=15.01.2025;";

struct MainMngTest : ::testing::Test {
    mirvo::test::WidgetsApp app;
    frame::TFrameReports frame;
    TFakeList list;
    TFakeCase sak;
    std::unique_ptr<TMainMng> mng;
    void SetUp() override {
        ensureConfiguration();
        mng = std::make_unique<TMainMng>(list, frame);
        mng->setCase(&sak);
    }
    void addLoan(TProduktGruppe g, std::u16string input, double amount = 500000) {
        TShortInfo info;
        info.produktgruppe = g;
        info.produktID = firstProduct(g);
        info.beskrivelse = u"Lån";
        info.beløp = amount;
        sak.loans.push_back({info, std::move(input)});
        list.n = int(sak.loans.size());
    }
};

TEST_F(MainMngTest, InputForTheLibraryCarriesTheFrameOptions) {
    addLoan(TProduktGruppe::pgNedbetlån, u"LBELOP=1000;LOPETID=2");
    EXPECT_EQ(mng->getBeregningsgrunnlag(0), u"LBELOP=1000;LOPETID=2;RNTMRG=3;INFLASJON=2,0");
    addLoan(TProduktGruppe::pgRammelån, u"ORDBEVILGNING=1000;");
    EXPECT_EQ(mng->getBeregningsgrunnlag(1), u"ORDBEVILGNING=1000;");
}

TEST_F(MainMngTest, InstallmentLoanShowsKeyFiguresAndItsSchedule) {
    addLoan(TProduktGruppe::pgNedbetlån, kLaan);
    mng->oppdaterBeregning();
    EXPECT_EQ(list.messages[0], u"OK");
    EXPECT_TRUE(frame.keyFiguresVisible());
    ASSERT_GT(frame.keyFigureCount(), 0);
    EXPECT_TRUE(frame.keyFigureCaption(0).endsWith(":"));
    QTableWidget* g = frame.grid(frame::rpNedbet);
    // 240 monthly terms: at least one row per term in the full course.
    EXPECT_GE(g->rowCount(), 240);
    EXPECT_LT(g->rowCount(), 663);
    EXPECT_GT(g->columnCount(), 2);
    // With one loan the whole-case choice is hidden; tab 3 is never shown for installment loans.
    EXPECT_FALSE(frame.getTabPageVisible(frame::rpEffrnt));
    EXPECT_TRUE(frame.getTabPageVisible(frame::rpTermbelop));
    // The mini view hides tabs 1, 2 and 4.
    mng->SetVisningsModus(TVisningsmodus::vmMini);
    EXPECT_FALSE(frame.getTabPageVisible(frame::rpRentemargin));
    EXPECT_FALSE(frame.getTabPageVisible(frame::rpTermbelop));
    EXPECT_TRUE(frame.getTabPageVisible(frame::rpNedbet));
}

TEST_F(MainMngTest, AFailedCalculationClearsTheDisplaysAndShowsTheMessage) {
    addLoan(TProduktGruppe::pgNedbetlån, u"RNTSATS=5;");
    mng->oppdaterBeregning();
    EXPECT_NE(list.messages[0], u"OK");
    EXPECT_FALSE(list.messages[0].empty());
    EXPECT_FALSE(frame.keyFiguresVisible());
    EXPECT_EQ(frame.grid(frame::rpNedbet)->rowCount(), 0);
}

TEST_F(MainMngTest, ChangingTheAmountRefreshesTheListOtherFieldsDoNot) {
    addLoan(TProduktGruppe::pgNedbetlån, kLaan, 123);
    mng->recompute(u"KUNDENAVN");
    EXPECT_EQ(list.infos[0].beløp, 0);
    mng->recompute(u"lbelop");
    EXPECT_EQ(list.infos[0].beløp, 123);
}

TEST_F(MainMngTest, TwoLoansCalculatedTogether) {
    addLoan(TProduktGruppe::pgNedbetlån, kLaan);
    addLoan(TProduktGruppe::pgNedbetlån, u"LBELOP=300000;LOPETID=10;RNTSATS=3;UTBDTO=15.01.2025;");
    frame.show();
    mng->oppdaterBeregning();  // two loans: the whole-case choice appears
    frame.setSamletBeregning(true);  // the option change recomputes
    EXPECT_TRUE(list.multi);
    EXPECT_EQ(list.messages[0], u"OK");
    EXPECT_EQ(list.messages[1], u"OK");
    EXPECT_GT(frame.keyFigureCount(), 0);
    EXPECT_FALSE(frame.getTabPageVisible(frame::rpTermbelop));
}

TEST_F(MainMngTest, FrameworkLoanShowsOnlyTheEffectiveRateTab) {
    addLoan(TProduktGruppe::pgRammelån, u"ORDBEVILGNING=1000000;ORDRENTESATS=6;");
    mng->oppdaterBeregning();
    EXPECT_EQ(list.messages[0], u"OK");
    for (int p = 0; p < frame::kReportPageCount; ++p) EXPECT_EQ(frame.getTabPageVisible(p), p == frame::rpEffrnt);
    EXPECT_EQ(frame.activePageIndex(), frame::rpEffrnt);
    EXPECT_FALSE(frame.keyFiguresVisible());
    EXPECT_GE(frame.grid(frame::rpEffrnt)->rowCount(), 13);
}

}  // namespace
}  // namespace mirvo::main
