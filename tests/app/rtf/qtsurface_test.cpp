#include "app/rtf/qtsurface.h"

#include <gtest/gtest.h>

#include <QImage>

#include "app/rtf/pageformatter.h"
#include "app/rtf/paragraph.h"
#include "qtapp.h"

namespace kavelin::rtf {
namespace {

TEST(QtSurface, MetricsComeFromTheFontInTwips) {
    test::ensureGuiApp();
    TQtSurface s(nullptr, 1440, 1440);
    s.FCharStatus.FName = u"Liberation Sans";
    s.FCharStatus.FHeight = 240;
    TTextMetrics m = s.GetTextMetrics();
    // Liberation Sans: ascent about 0.905 em, descent about 0.212 em.
    EXPECT_NEAR(m.Ascent, 217, 6);
    EXPECT_NEAR(m.Descent, 51, 6);
    EXPECT_LT(s.TextLength(u"ii"), s.TextLength(u"WW"));
    int normal = s.TextLength(u"abc");
    s.FCharStatus.FExpand = 20;
    EXPECT_NEAR(s.TextLength(u"abc"), normal + 60, 2);
    s.FCharStatus.FAttributes = attr::hidden;
    EXPECT_EQ(s.TextLength(u"abc"), 0);
    // Twice the height, twice the width.
    s.FCharStatus = {};
    s.FCharStatus.FHeight = 480;
    EXPECT_NEAR(s.TextLength(u"abc"), 2 * normal, 2);
}

TEST(QtSurface, BlackTextOnDarkBackgroundTurnsWhite) {
    EXPECT_EQ(TQtSurface::textColorOn(clBlack, rgb(0, 0, 128)), clWhite);
    EXPECT_EQ(TQtSurface::textColorOn(clBlack, rgb(169, 216, 214)), clBlack);
    EXPECT_EQ(TQtSurface::textColorOn(rgb(255, 0, 0), rgb(0, 0, 0)), rgb(255, 0, 0));
}

TEST(QtSurface, DrawsALaidOutPageInTwips) {
    test::ensureGuiApp();
    // 96 dpi: an A6-ish page of 4000 x 2000 twips is 267 x 133 pixels.
    QImage img(267, 133, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    TQtSurface s(&painter, 96, 96);
    s.setMapMode();
    TDocument doc;
    doc.papersize = {4000, 2000};
    doc.marg = {500, 500, 500, 500};
    auto p = std::make_unique<TAttributedText>();
    p->FStartStatus.FHeight = 480;
    p->TextOut("HHHH");
    doc.NewSection().IList.Add(std::move(p));
    TPageFormatter f(s);
    f.PrintDocument(doc);
    painter.end();
    // Ink inside the text area near its top left, none in the margin.
    auto inkIn = [&](int x0, int y0, int x1, int y1) {
        int dark = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) dark += qGray(img.pixel(x, y)) < 128;
        return dark;
    };
    EXPECT_GT(inkIn(33, 33, 100, 66), 20);
    EXPECT_EQ(inkIn(0, 0, 30, 133), 0);
    EXPECT_EQ(inkIn(0, 70, 267, 133), 0);
}

}  // namespace
}  // namespace kavelin::rtf
