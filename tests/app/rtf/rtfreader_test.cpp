#include "app/rtf/rtfdocparser.h"

#include <gtest/gtest.h>

#include <random>

#include "app/rtf/pageformatter.h"
#include "fixedsurface.h"

namespace kavelin::rtf {
namespace {

std::unique_ptr<TDocument> load(const std::string& rtf) { return TRtfDocumentParser::LoadRTFDocument(rtf); }

TTextSequence& body(TDocument& d, size_t section = 0) { return d.sectionList().at(section)->IList; }

// The printable bytes of a paragraph, commands left out.
std::string textOf(const TAttributedText& p) {
    std::string out;
    for (size_t i = 0; i < p.Buff.size();) {
        auto c = static_cast<unsigned char>(p.Buff[i]);
        size_t len = c == cmd::format ? 4 : c == cmd::color ? 5 : (c == cmd::tab || c == cmd::graphic) ? 3 : 1;
        if (c == cmd::tab) out += "<tab>";
        else if (c == cmd::graphic) out += "<g>";
        else if (c >= 32 || c == cmd::nbSpace || c == cmd::nbHyphen || c == cmd::optHyphen) out += static_cast<char>(c);
        i += len;
    }
    return out;
}

TAttributedText& para(TDocument& d, int index, size_t section = 0) {
    auto* p = dynamic_cast<TAttributedText*>(body(d, section).At(index));
    if (!p) throw std::runtime_error("not a paragraph");
    return *p;
}

std::vector<std::string> texts(TDocument& d, size_t section = 0) {
    std::vector<std::string> out;
    auto& b = body(d, section);
    for (int i = 0; i < b.ItemCount(); ++i)
        if (auto* p = dynamic_cast<TAttributedText*>(b.At(i))) out.push_back(textOf(*p));
        else out.push_back("<item>");
    return out;
}

TEST(RtfReader, RejectsWhatIsNotRtf) {
    for (const char* s : {"", "hello", "{\\rtx1 a}", "{", "\\rtf1"}) {
        try {
            load(s);
            FAIL() << s;
        } catch (const ERtfError& e) {
            EXPECT_STREQ(e.what(), "No RTF.");
        }
    }
}

TEST(RtfReader, ParagraphsFontsAndSpecialCharacters) {
    auto d = load("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\froman Times;}{\\f1\\fswiss Arial;}}"
                  "\\fs20 Hello\\par W\\'e6rld\\tab x\\\r\nnext\tz\\par{\\rtf1 again}\\par"
                  "\\bullet\\{\\}\\\\\\~\\_\\-\\par}");
    EXPECT_EQ(texts(*d), (std::vector<std::string>{"Hello", "W\xe6rld<tab>x", "next<tab>z", "again",
                                                   "\x95{}\\\x18\x19\x1c"}));
    TAttributedText& first = para(*d, 0);
    // The default font applies from the start; "fs20" is 10 pt.
    EXPECT_EQ(first.FStartStatus.FName, u"Arial");
    test::FixedSurface s;
    first.SetWidth(5000);
    first.Format(s, 0);
    first.Draw(s, {0, 0});
    ASSERT_EQ(s.texts.size(), 1u);
    EXPECT_EQ(s.texts[0].state.FHeight, 200);
}

TEST(RtfReader, UnknownGroups) {
    auto d = load("{\\rtf1 a{\\*\\unknownword hidden {nested}}b{\\unknownword shown}c\\par}");
    EXPECT_EQ(texts(*d), (std::vector<std::string>{"abshownc"}));
}

TEST(RtfReader, GroupsRestoreTheCharacterState) {
    auto d = load("{\\rtf1 {\\b\\fs40 big}small\\par}");
    test::FixedSurface s;
    TPageFormatter f(s);
    f.PrintDocument(*d);
    ASSERT_EQ(s.texts.size(), 2u);
    EXPECT_EQ(s.texts[0].text, "big");
    EXPECT_TRUE(s.texts[0].state.has(attr::bold));
    EXPECT_EQ(s.texts[1].text, "small");
    EXPECT_FALSE(s.texts[1].state.has(attr::bold));
    EXPECT_EQ(s.texts[1].state.FHeight, 240);
    EXPECT_EQ(s.texts[1].x - s.texts[0].x, 3 * 200);
}

TEST(RtfReader, CharacterStateValues) {
    struct Case {
        const char* rtf;
        int height;
        TCharAttributes attrs;
    };
    for (const Case& c : {Case{"\\fs", 240, 0}, Case{"\\fs30", 300, 0}, Case{"\\b", 240, attr::bold},
                          Case{"\\b\\b0", 240, 0}, Case{"\\b\\i\\plain", 240, 0},
                          Case{"\\ul\\uldb", 240, attr::underline}, Case{"\\super\\sub", 240, attr::subscript},
                          Case{"{\\b}", 240, 0}, Case{"\\fs99999999999999", 32760, 0}, Case{"\\v", 240, attr::hidden},
                          Case{"\\caps\\scaps0", 240, attr::caps}}) {
        auto d = load(std::string("{\\rtf1 ") + c.rtf + " x\\par}");
        TAttributedText& p = para(*d, 0);
        TCharStatus st = p.FStartStatus;
        for (size_t i = 0; i < p.Buff.size();) {
            auto b = static_cast<unsigned char>(p.Buff[i]);
            if (b == cmd::format || b == cmd::color) i += p.applyCommand(i, st);
            else ++i;
        }
        EXPECT_EQ(st.FHeight, c.height) << c.rtf;
        EXPECT_EQ(st.FAttributes, c.attrs) << c.rtf;
    }
}

TEST(RtfReader, ParagraphFormatting) {
    auto d = load("{\\rtf1 \\li100\\ri200\\fi-50\\qc\\sb10\\sa20\\sl1000\\keepn\\widctlpar a\\par"
                  "\\pard\\sl-300\\qj\\tqr\\tx5000\\tx6000 b\\par"
                  "\\pard\\box\\brdrw10\\brdrs c\\par"
                  "\\pard\\brdrt\\brdrw300 d\\par}");
    TAttributedText& a = para(*d, 0);
    EXPECT_EQ(a.leftIndent(), 100);
    EXPECT_EQ(a.rightIndent(), 200);
    EXPECT_EQ(a.FFirstLineIndent, -50);
    EXPECT_EQ(a.FAlign, TTextAlign::taCentered);
    EXPECT_EQ(a.FSpaceBefore, 10);
    EXPECT_EQ(a.FSpaceAfter, 20);
    EXPECT_EQ(a.LineSpace, 0);
    EXPECT_TRUE(a.FKeepWithNext);
    EXPECT_TRUE(a.FWidCtrl);
    TAttributedText& b = para(*d, 1);
    EXPECT_EQ(b.LineSpace, -300);
    EXPECT_EQ(b.FAlign, TTextAlign::taJustify);
    EXPECT_EQ(b.leftIndent(), 0);
    ASSERT_EQ(b.FTabs.TabCount, 2);
    EXPECT_EQ(b.FTabs.pos[0].pos, 5000);
    EXPECT_EQ(b.FTabs.pos[0].align, TTextAlign::taRight);
    EXPECT_EQ(b.FTabs.pos[1].align, TTextAlign::taLeft);
    TAttributedText& c = para(*d, 2);
    for (TBorderIndex i : {biTop, biBottom, biLeft, biRight}) EXPECT_EQ(c.Borders.side(i).LineWidth, 10);
    EXPECT_EQ(para(*d, 3).Borders.side(biTop).LineWidth, 255);
    EXPECT_EQ(para(*d, 3).Borders.side(biBottom).LineWidth, 0);
}

TEST(RtfReader, ColoursAndShading) {
    auto d = load("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
                  "\\cf1 r\\cf9 w\\par\\pard\\cbpat2\\cfpat1\\shading5000 s\\par}");
    TAttributedText& p = para(*d, 0);
    TCharStatus st = p.FStartStatus;
    std::vector<TColor> seen;
    for (size_t i = 0; i < p.Buff.size();) {
        if (static_cast<unsigned char>(p.Buff[i]) == cmd::color) {
            p.applyCommand(i, st);
            seen.push_back(st.FColor);
            i += 5;
        } else {
            ++i;
        }
    }
    EXPECT_EQ(seen, (std::vector<TColor>{rgb(255, 0, 0), clWhite}));
    // Half of (0,0,128) and half of (255,0,0).
    EXPECT_EQ(para(*d, 1).color, rgb(128, 0, 64));
}

TEST(RtfReader, UnicodeEscapes) {
    auto d = load("{\\rtf1 \\uc1\\u8364?a\\u20013?b\\uc2\\u-3xyc\\uc1\\u\\u65\\'3fd\\par}");
    TAttributedText& p = para(*d, 0);
    // The euro sign is in code page 1252; the others become symbol graphics.
    EXPECT_EQ(textOf(p), "\x80" "a<g>b<g>cAd");
    ASSERT_EQ(p.FGraphicList.size(), 2u);
    EXPECT_EQ(static_cast<TUniCodeSymbolGraphic&>(*p.FGraphicList[0]).uc, 20013u);
    EXPECT_EQ(static_cast<TUniCodeSymbolGraphic&>(*p.FGraphicList[1]).uc, 65533u);

    auto pair = load("{\\rtf1 \\u55357?\\u56832?\\par}");
    ASSERT_EQ(para(*pair, 0).FGraphicList.size(), 1u);
    EXPECT_EQ(static_cast<TUniCodeSymbolGraphic&>(*para(*pair, 0).FGraphicList[0]).uc, 0x1F600u);
}

TEST(RtfReader, Tables) {
    auto d = load("{\\rtf1 \\trowd\\trgaph70\\trleft-70\\trrh-500\\trhdr\\trbrdrh\\brdrw10"
                  "\\clcbpat1\\clvertalc\\cellx2000\\clvmgf\\cellx4000"
                  "\\pard\\intbl A\\cell B\\cell\\row"
                  "\\trowd\\trgaph70\\trleft-70\\cellx2000\\clvmrg\\cellx4000\\pard\\intbl C\\cell\\cell\\row"
                  "\\pard after\\par}");
    ASSERT_EQ(body(*d).ItemCount(), 2);
    auto* t = dynamic_cast<TTableParagraph*>(body(*d).At(0));
    ASSERT_TRUE(t);
    ASSERT_EQ(t->ItemCount(), 2);
    const TTableRow& r0 = *t->FRows[0];
    const TRowDef& d0 = r0.def();
    EXPECT_EQ(d0.WantHeight, -500);
    EXPECT_TRUE(d0.IsHeader);
    EXPECT_EQ(d0.GetCellGaphL(), 70);
    EXPECT_EQ(d0.FBorders.side(biTop).LineWidth, 10);
    EXPECT_EQ(d0.FBorders.side(biBottom).LineWidth, 10);
    EXPECT_EQ(d0.FBorders.side(biLeft).LineWidth, 0);
    ASSERT_EQ(d0.FCellDefs.size(), 2u);
    EXPECT_EQ(d0.FCellDefs[0].Width, 2070);
    EXPECT_EQ(d0.FCellDefs[1].Width, 2000);
    EXPECT_EQ(d0.FCellDefs[0].VertAlign, TCellVertAlign::caCenter);
    EXPECT_EQ(d0.FCellDefs[1].Mode, TCellMode::cmMerged);
    EXPECT_EQ(r0.cellCount(), 2);
    EXPECT_EQ(textOf(dynamic_cast<TAttributedText&>(*r0.FCellsContent[1]->At(0))), "B");
    EXPECT_EQ(t->FRows[1]->def().FCellDefs[1].Mode, TCellMode::cmHidden);
    EXPECT_EQ(texts(*d)[1], "after");
}

TEST(RtfReader, SectionsHeadersAndFields) {
    auto d = load("{\\rtf1\\paperw11906\\paperh16838\\margl1000\\margr1000"
                  "{\\info{\\title Rapport}{\\author Kari}{\\creatim\\yr2024\\mo3\\dy1\\hr12\\min0}}"
                  "{\\footer\\pard\\qc Side \\chpgn\\par}"
                  "{\\field{\\*\\fldinst PAGE}{\\fldrslt {\\b 7}}}x\\par"
                  "\\sect\\sectd\\sbkodd\\pgnrestart\\pgnstarts3\\cols2\\colsx500 two\\par}");
    EXPECT_EQ(d->papersize, (TSize{11906, 16838}));
    EXPECT_EQ(d->marg.left, 1000);
    EXPECT_EQ(d->info.title, u"Rapport");
    EXPECT_EQ(d->info.author, u"Kari");
    EXPECT_DOUBLE_EQ(d->info.creatim, 45352.5);  // 1 March 2024, noon
    ASSERT_EQ(d->sectionList().size(), 2u);
    TTextSequence* footer = d->sectionList()[0]->footer();
    ASSERT_TRUE(footer);
    EXPECT_EQ(textOf(dynamic_cast<TAttributedText&>(*footer->At(0))), "Side <g>");
    EXPECT_EQ(texts(*d), (std::vector<std::string>{"7x"}));
    const TTextSection& two = *d->sectionList()[1];
    EXPECT_EQ(two.Break, 4);
    EXPECT_TRUE(two.PgnRestart);
    EXPECT_EQ(two.PgnStarts, 3);
    EXPECT_EQ(two.NumCols, 2);
    EXPECT_EQ(two.colspace, 500);
    EXPECT_EQ(two.marg.left, 1000);
    EXPECT_EQ(texts(*d, 1), (std::vector<std::string>{"two"}));
}

TEST(RtfReader, MetaOnlyStopsAtTheFirstText) {
    auto d = TRtfDocumentParser::LoadRTFDocument("{\\rtf1{\\info{\\title T}}\\margl500 body\\par}", true);
    EXPECT_EQ(d->info.title, u"T");
    EXPECT_EQ(d->marg.left, 500);
    EXPECT_EQ(body(*d).ItemCount(), 0);
}

TEST(RtfReader, UserPropertiesAreRejected) {
    try {
        load("{\\rtf1{\\*\\userprops {\\propname a}}x\\par}");
        FAIL();
    } catch (const ERtfError& e) {
        EXPECT_STREQ(e.what(), "Ikke implementert!");
    }
}

TEST(RtfReader, PicturesAndFrames) {
    auto d = load("{\\rtf1 a{\\pict\\pngblip\\picw10\\pich10\\picwgoal200\\pichgoal100 89504E47\r\n0d0a}"
                  "{\\pict\\macpict 00}b\\par"
                  "\\pard\\posx100\\posy200\\absw1000 f1\\par f2\\par\\pard n\\par}");
    TAttributedText& p = para(*d, 0);
    EXPECT_EQ(textOf(p), "a<g>b");
    auto& pic = dynamic_cast<TPrintablePicture&>(*p.FGraphicList.at(0));
    EXPECT_EQ(pic.fgraphic, (std::vector<unsigned char>{0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a}));
    EXPECT_EQ(pic.displaySize(), (TSize{200, 100}));
    ASSERT_EQ(body(*d).ItemCount(), 3);
    auto* frame = dynamic_cast<TTextFrame*>(body(*d).At(1));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Innhald.ItemCount(), 2);
    EXPECT_EQ(frame->GetRelPos(), (TPoint{100, 200}));
    EXPECT_EQ(texts(*d)[2], "n");
}

TEST(RtfReader, EndToEndOnPages) {
    std::string rtf = "{\\rtf1\\paperw3000\\paperh1400\\margl100\\margr100\\margt100\\margb100 ";
    for (int i = 0; i < 7; ++i) rtf += "line\\par ";
    rtf += "}";
    auto d = load(rtf);
    test::FixedSurface s;
    TPageFormatter f(s);
    f.PrintDocument(*d);
    EXPECT_EQ(s.pages, 2);
    EXPECT_EQ(s.onPage(2).size(), 2u);
}

// Malformed input must never crash the reader or the layout.
void survives(const std::string& rtf) {
    std::unique_ptr<TDocument> d;
    try {
        d = load(rtf);
    } catch (const ERtfError&) {
        return;
    }
    test::FixedSurface s;
    TPageFormatter f(s);
    f.PrintDocument(*d);
}

TEST(RtfReader, MalformedInputDoesNotCrash) {
    std::string deep = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i) deep += "{\\b ";
    deep += "x";
    std::string deepFields = "{\\rtf1 ";
    for (int i = 0; i < 3000; ++i) deepFields += "{\\field{\\fldrslt ";
    std::string deepHeaders = "{\\rtf1 ";
    for (int i = 0; i < 3000; ++i) deepHeaders += "{\\header ";
    for (const std::string& s :
         {std::string("{\\rtf1 {{{ text"), std::string("{\\rtf1 a}}}}}}} b"), std::string("{\\rtf1 \\u"),
          std::string("{\\rtf1 \\u-"), std::string("{\\rtf1 \\'4"), std::string("{\\rtf1 \\"),
          std::string("{\\rtf1 \\bin99999999 abc"), std::string("{\\rtf1 \\bin-5 abc}"),
          std::string("{\\rtf1 \\fs-99999999999 \\li99999999999 \\sl-2147483648 x\\par}"),
          std::string("{\\rtf1 \\cellx5\\cell\\row\\row\\cell\\intbl\\clvmrg\\cellx-99999 a\\cell\\par}"),
          std::string("{\\rtf1 \\trowd\\trrh-99999999\\cellx99999999 \\intbl x\\cell\\row\\par}"),
          std::string("{\\rtf1 \\cols0\\colsx-5 \\paperw0\\paperh0 x\\par}"),
          std::string("{\\rtf1 \\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100"
                      "\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100"
                      "\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100\\tx100 a\\tab b\\par}"),
          std::string("{\\rtf1 {\\pict\\wbitmap0 zz"), std::string("{\\rtf1 {\\*}{\\*\\}"),
          std::string("{\\rtf1 \\page\\page\\sect\\sbkodd\\sect\\sbkeven}"), deep, deepFields, deepHeaders})
        survives(s);

    // Random damage to a document that uses most features.
    const std::string base =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
        "{\\header\\pard\\qr \\chpgn/\\numpages\\par}\\widowctrl"
        "\\trowd\\trgaph70\\trhdr\\clbrdrt\\brdrw10\\clvmgf\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
        "\\pard\\keepn\\tqr\\tx3000 x\\tab y\\u8364?\\par{\\field{\\*\\fldinst P}{\\fldrslt 1}}"
        "{\\pict\\dibitmap0 0102}\\pard\\posx10\\absw500 f\\par\\sect\\cols2 z\\par}";
    std::mt19937 rng(12345);
    for (int i = 0; i < 400; ++i) {
        std::string s = base;
        int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            size_t at = rng() % s.size();
            switch (rng() % 3) {
            case 0: s.erase(at, 1 + rng() % 10); break;
            case 1: s.insert(at, 1, "{}\\0123456789-"[rng() % 14]); break;
            default: s[at] = static_cast<char>(rng() % 256);
            }
            if (s.empty()) s = "{";
        }
        survives(s);
    }
}

}  // namespace
}  // namespace kavelin::rtf
