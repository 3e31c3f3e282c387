#include "app/rtf/drawing.h"

#include <gtest/gtest.h>

#include "app/rtf/pageformatter.h"
#include "app/rtf/rtfdocparser.h"
#include "fixedsurface.h"

namespace kavelin::rtf {
namespace {

using test::FixedSurface;

// Paper 6000 x 6000 with margins of 1000: the text area starts at (1000, 1000).
const std::string Head = "{\\rtf1\\ansi\\paperw6000\\paperh6000\\margl1000\\margr1000\\margt1000\\margb1000 ";

struct Printed {
    std::unique_ptr<TDocument> doc;
    FixedSurface s;
    explicit Printed(const std::string& body) {
        doc = TRtfDocumentParser::LoadRTFDocument(Head + body + "}");
        TPageFormatter f(s);
        f.PrintDocument(*doc);
    }
    TDrawingObject* object(int index = 0) {
        int n = 0;
        for (auto& item : doc->sectionList()[0]->IList.FTextItems)
            if (auto* d = dynamic_cast<TDrawingObject*>(item.get()))
                if (n++ == index) return d;
        return nullptr;
    }
};

TEST(Drawing, ShapesAreDrawnAgainstTheirReference) {
    Printed p("{\\*\\do\\dobxpage\\dobypage\\dprect\\dpx2000\\dpy3000\\dpxsize500\\dpysize400\\dplinew15"
              "\\dplinecor255\\dpfillbgcg128}"
              "{\\*\\do\\dobxmargin\\dobymargin\\dpellipse\\dpx10\\dpy20\\dpxsize100\\dpysize50}"
              "{\\*\\do\\dobxpage\\dobypage\\dppolyline\\dppolycount3\\dpptx0\\dppty0\\dpptx100\\dppty50"
              "\\dpptx200\\dppty0\\dpptx999\\dppty999\\dpx300\\dpy400\\dpxsize200\\dpysize50}"
              "\\pard x\\par");
    ASSERT_NE(p.object(0), nullptr);
    EXPECT_EQ(p.object(0)->e->LineColor, rgb(255, 0, 0));
    EXPECT_EQ(p.object(0)->e->BackgrColor, rgb(255, 128, 255));
    EXPECT_EQ(p.s.rects, (std::vector<TRect>{{2000, 3000, 2500, 3400}}));
    EXPECT_EQ(p.s.ellipses, (std::vector<TRect>{{1010, 1020, 1110, 1070}}));
    ASSERT_EQ(p.s.polylines.size(), 1u);
    EXPECT_EQ(p.s.polylines[0], (std::vector<TPoint>{{300, 400}, {400, 450}, {500, 400}}));
}

TEST(Drawing, ArcQuarterFollowsTheFlips) {
    // Box 100 wide and 50 high at (2000, 2000) of the page.
    const char* flips[] = {"", "\\dparcflipx", "\\dparcflipy", "\\dparcflipx\\dparcflipy"};
    // The ellipse (radii 100, 50) is centred on the top-right, bottom-right, top-left, bottom-left corner.
    TPoint centres[] = {{2100, 2000}, {2100, 2050}, {2000, 2000}, {2000, 2050}};
    for (int i = 0; i < 4; ++i) {
        Printed p(std::string("{\\*\\do\\dobxpage\\dobypage\\dparc") + flips[i] + "\\dpx2000\\dpy2000\\dpxsize100\\dpysize50}");
        ASSERT_EQ(p.s.arcs.size(), 1u) << i;
        TPoint c = centres[i];
        EXPECT_EQ(p.s.arcs[0], (TRect{c.x - 100, c.y - 50, c.x + 100, c.y + 50})) << i;
    }
}

TEST(Drawing, BoundsNeedBothSizes) {
    Printed p("{\\*\\do\\dobxpage\\dobypage\\dprect\\dpx2000\\dpy3000\\dpxsize500}");
    ASSERT_NE(p.object(), nullptr);
    EXPECT_EQ(p.object()->GetWidth(), 0);
    EXPECT_EQ(p.object()->GetHeight(), 0);
    EXPECT_EQ(p.object()->GetRelPos(), (TPoint{0, 0}));
}

TEST(Drawing, NestedGroupsDrawRelativeToEachGroup) {
    Printed p("{\\*\\do\\dobxpage\\dobypage\\dpgroup\\dpx1000\\dpy1000\\dpxsize900\\dpysize900"
              "\\dpgroup\\dpx50\\dpy60\\dpxsize500\\dpysize500"
              "\\dprect\\dpx10\\dpy20\\dpxsize30\\dpysize40"
              "\\dpendgroup"
              "\\dpellipse\\dpx5\\dpy5\\dpxsize10\\dpysize10"
              "\\dpendgroup}");
    EXPECT_EQ(p.s.rects, (std::vector<TRect>{{1060, 1080, 1090, 1120}}));
    EXPECT_EQ(p.s.ellipses, (std::vector<TRect>{{1005, 1005, 1015, 1015}}));
}

TEST(Drawing, TextBoxAndCallout) {
    Printed p("{\\*\\do\\dobxpage\\dobypage\\dptxbx\\dptxbxmar100{\\dptxbxtext \\pard\\fs20 Boks\\par}"
              "\\dpx2000\\dpy2000\\dpxsize1500\\dpysize600\\dplinew10}");
    ASSERT_NE(p.object(), nullptr);
    EXPECT_TRUE(p.object()->TekstBryt);
    EXPECT_EQ(p.s.rects, (std::vector<TRect>{{2000, 2000, 3500, 2600}}));
    ASSERT_EQ(p.s.texts.size(), 1u);
    EXPECT_EQ(p.s.texts[0].text, "Boks");
    EXPECT_EQ(p.s.texts[0].x, 2100);
    EXPECT_EQ(p.s.texts[0].y, 2100 + 150);  // ascent of a 200-twip font

    Printed c("{\\*\\do\\dobxpage\\dobypage\\dpcallout\\dpx1000\\dpy1000\\dpxsize10\\dpysize10"
              "\\dptxbx{\\dptxbxtext \\pard Ring\\par}\\dpx100\\dpy0\\dpxsize800\\dpysize300"
              "\\dppolyline\\dppolycount2\\dpptx0\\dppty0\\dpptx100\\dppty100\\dpx0\\dpy0\\dpxsize100\\dpysize100}");
    ASSERT_EQ(c.s.polylines.size(), 1u);
    EXPECT_EQ(c.s.polylines[0], (std::vector<TPoint>{{1000, 1000}, {1100, 1100}}));
    ASSERT_EQ(c.s.texts.size(), 1u);
    EXPECT_EQ(c.s.texts[0].x, 1000 + 100 + 144);
}

std::string shape(int wrap, const std::string& result) {
    return "{\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright100\\shpbottom100\\shpwr" + std::to_string(wrap) +
           "{\\sp{\\sn dyWrapDistBottom}{\\sv 63500}}}{\\shprslt " + result + "}}";
}

TEST(Drawing, ShapesWrapOrNotAndFallBackToTheirResult) {
    const std::string rect = "{\\*\\do\\dobxmargin\\dobymargin\\dprect\\dpx0\\dpy0\\dpxsize4000\\dpysize2000}";
    Printed around(shape(2, rect) + "\\pard Tekst\\par");
    ASSERT_NE(around.object(), nullptr);
    EXPECT_TRUE(around.object()->TekstBryt);
    EXPECT_EQ(around.object()->AvstUnder, 100);
    ASSERT_EQ(around.s.texts.size(), 1u);
    EXPECT_GE(around.s.texts[0].y, 1000 + 2000 + 100);

    Printed over(shape(3, rect) + "\\pard Tekst\\par");
    ASSERT_NE(over.object(), nullptr);
    EXPECT_FALSE(over.object()->TekstBryt);
    ASSERT_EQ(over.s.texts.size(), 1u);
    EXPECT_EQ(over.s.texts[0].y, 1000 + 180);

    Printed plain(shape(2, "\\pard Resultat\\par"));
    EXPECT_EQ(plain.object(), nullptr);
    ASSERT_EQ(plain.s.texts.size(), 1u);
    EXPECT_EQ(plain.s.texts[0].text, "Resultat");
}

TEST(Drawing, MalformedDrawingsDoNotCrash) {
    std::string deep = "{\\*\\do";
    for (int i = 0; i < 5000; ++i) deep += "\\dpgroup";
    deep += "\\dprect\\dpx0\\dpy0\\dpxsize10\\dpysize10}";
    Printed a(deep);
    Printed b("{\\*\\do\\dppolyline\\dppolycount2000000000\\dpptx1\\dppty1\\dpxsize99999999999\\dpysize-99999999999}");
    Printed c("{\\*\\do\\dpcallout\\dpendgroup\\dpendgroup}{\\*\\do}{\\*\\do\\dptxbxtext\\dpptx5}"
              "{\\shp{\\shprslt {\\*\\do}}}{\\shp{\\*\\shpinst{\\sp{\\sn dxTextLeft}{\\sv 99999999999999999999}}}"
              "{\\shprslt {\\*\\do\\dptxbx\\dpysize10}}}");
    SUCCEED();
}

}  // namespace
}  // namespace kavelin::rtf
