#include "app/rtf/fieldcomputer.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/rtf/fieldexpr.h"
#include "app/rtf/fieldformat.h"
#include "common/text/encoding.h"

namespace kavelin::rtf {
namespace {

using kavelin::text::fromUtf8;

// 5 March 2024 14:07:09: 45356 days after 30 December 1899.
constexpr double FixedNow = 45356 + (14 * 3600 + 7 * 60 + 9) / 86400.0;

class Fields : public ::testing::Test {
protected:
    Fields() {
        c.Now = [] { return FixedNow; };
        c.OnLog = [this](std::string_view l) { logLines.emplace_back(l); };
        TKVFieldComputer::DefaultNumberFormat.clear();
        TKVFieldComputer::DefaultDateFormat.clear();
    }
    ~Fields() override {
        TKVFieldComputer::DefaultNumberFormat.clear();
        TKVFieldComputer::DefaultDateFormat.clear();
    }

    // The new result of a field with this instruction (RTF), nothing when it fails.
    std::optional<std::string> eval(const std::string& inst, int fmtnum = 1) {
        TRtfFieldParser f;
        f.fldinst = "{\\*\\fldinst " + inst + "}";
        f.fldrslt = "{\\fldrslt old}";
        if (!c.ComputeFieldLL(reader, f, fmtnum)) {
            EXPECT_EQ(f.fldrslt, "{\\fldrslt old}");
            return std::nullopt;
        }
        return groupContent(f.fldrslt);
    }
    std::optional<std::string> evalWith(const std::string& inst) {
        c.FData = &data;
        auto r = eval(inst);
        c.FData = nullptr;
        return r;
    }
    void set(const char* name, const char* value) { data.SetValue(fromUtf8(name), fromUtf8(value)); }

    TKVFieldComputer c;
    TRtfFileSettings settings;
    TRtfFileParser reader{settings};
    TMergeValueMap data;
    std::vector<std::string> logLines;
};

TEST(FieldExpression, ValuesAndSeparators) {
    struct Case {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"1,5", 1.5},           {"1.5", 1.5},           {"SUM(1,2,3)", 6},   {"SUM(1,5;2)", 3.5},
        {"2=2", 1},             {"2=3", 0},             {"2 + 3 * 4", 14},   {"-(2+3)", -5},
        {"10abc", 10},          {"ROUND(2,5;0)", 2},    {"ROUND(3,5;0)", 4}, {"ROUND(1234;-2)", 1200},
        {"MOD(7;3)", 1},        {"max(1;9;3)", 9},      {"AVERAGE(2;4)", 3}, {"IF(0;1;2)", 2},
        {"AND(1;0)", 0},        {"OR(0;2)", 1},         {"ABS(-3)", 3},      {"INT(-2,7)", -2},
        {"SIGN(-4)", -1},       {"SIGN(0)", std::nullopt}, {"COUNT(1;2;3;4)", 4}, {"TRUE", 1},
        {"abc", std::nullopt},  {"", std::nullopt},     {"1/0", std::nullopt}, {"SUMX(1)", std::nullopt},
    };
    for (const auto& cs : cases) {
        auto v = evaluateFieldExpression(cs.text);
        ASSERT_EQ(v.has_value(), cs.value.has_value()) << cs.text;
        if (v) {
            EXPECT_DOUBLE_EQ(*v, *cs.value) << cs.text;
        }
    }
}

TEST(FieldExpression, MalformedInputFailsQuietly) {
    EXPECT_FALSE(evaluateFieldExpression(std::string(100000, '(') + "1"));
    EXPECT_FALSE(evaluateFieldExpression(std::string(100000, '-') + "1"));
    std::string many = "SUM(";
    for (int i = 0; i < 200; ++i) many += "1;";
    many += "1)";
    EXPECT_DOUBLE_EQ(*evaluateFieldExpression(many), 50);  // room for 50 arguments, the rest dropped
    EXPECT_FALSE(evaluateFieldExpression(std::string(400, '9')));  // no finite value
}

TEST(FieldFormat, NumberPatterns) {
    struct Case {
        double v;
        const char* pattern;
        const char* out;
    } cases[] = {
        {1234.5, "#,##0.00", "1 234,50"}, {0.5, "#.##", ",5"},       {-2.26, "0.0;(0.0)", "(2,3)"},
        {0, "0.0;-0.0;\"null\"", "null"}, {-7, "0", "-7"},           {1234567, "#,##0", "1 234 567"},
        {3, "\"kr \"0.00", "kr 3,00"},    {12.345, "0.0#", "12,35"}, {12.3, "0.0#", "12,3"},
    };
    for (const auto& cs : cases) EXPECT_EQ(fieldfmt::formatNumber(cs.v, cs.pattern).value_or("<none>"), cs.out) << cs.pattern;
    EXPECT_FALSE(fieldfmt::formatNumber(1, "abc"));
    EXPECT_FALSE(fieldfmt::formatNumber(1e300, "0"));
    EXPECT_EQ(*fieldfmt::readNumber(" -12,5 "), -12.5);
    EXPECT_FALSE(fieldfmt::readNumber("12.5"));
    EXPECT_FALSE(fieldfmt::readNumber(std::string(500, '9')));
}

TEST(FieldFormat, DatesAndCase) {
    auto t = fieldfmt::readDateTime("29.02.2024 08:05");
    ASSERT_TRUE(t);
    EXPECT_EQ(fieldfmt::formatDateTime(*t, "dddd d. mmmm yyyy hh:mm"), "torsdag 29. februar 2024 08:05");
    EXPECT_FALSE(fieldfmt::readDateTime("30.02.2024"));
    EXPECT_FALSE(fieldfmt::readDateTime("hello"));
    EXPECT_EQ(fieldfmt::formatDateTime(*fieldfmt::readDateTime("23:59:58"), "hh:nn:ss"), "23:59:58");

    using fieldfmt::TCaseMode;
    EXPECT_EQ(fieldfmt::convertCase("ole hansen", TCaseMode::firstcap), "Ole hansen");
    EXPECT_EQ(fieldfmt::convertCase("ole hansen", TCaseMode::caps), "Ole Hansen");
    EXPECT_EQ(fieldfmt::convertCase("ole hansen", TCaseMode::upper), "OLE HANSEN");
    EXPECT_EQ(fieldfmt::convertCase("OLE 2B", TCaseMode::lower), "ole 2b");
    EXPECT_EQ(fieldfmt::convertCase("{\\b ole} \\'e6re", TCaseMode::upper), "{\\b OLE} \\'e6re");  // a control symbol runs on over letters
    EXPECT_EQ(fieldfmt::convertCase("\xe6re", TCaseMode::upper), "\xe6RE");  // first letter: a to z only
}

TEST_F(Fields, UnknownOrLowerCaseCommandsKeepTheOldResult) {
    EXPECT_FALSE(eval("NOSUCH 1"));
    EXPECT_FALSE(eval("mergefield x"));
    EXPECT_FALSE(eval("FILLIN \"q\""));
    EXPECT_FALSE(eval("= 1+2"));
    EXPECT_FALSE(eval("TITLE"));  // no information group
}

TEST_F(Fields, ConditionsCompareKeysNotTexts) {
    struct Case {
        const char* inst;
        const char* out;
    } cases[] = {
        {"IF 5 > 3 A B", "A"},         {"COMPARE 2 <= 1", "0"},       {"IF 1 ~ 1 A B", "B"},
        {"IF 10 > 9 ja nei", "ja"},    {"IF -1 > -2 ja nei", "ja"},   {"IF -3 < 2 ja nei", "ja"},
        {"IF abc = abc ja nei", "ja"}, {"IF abc = abd ja nei", "nei"}, {"COMPARE 1,50 = 1.5", "1"},
        {"IF \"\" = \"\" tom ikke", "tom"},
    };
    for (const auto& cs : cases) EXPECT_EQ(eval(cs.inst).value_or("<fail>"), cs.out) << cs.inst;
    // The comparison is logged with its keys and outcome.
    logLines.clear();
    eval("COMPARE 2 = 2");
    ASSERT_FALSE(logLines.empty());
    EXPECT_NE(logLines.front().find(" = "), std::string::npos);
    EXPECT_EQ(logLines.front().substr(logLines.front().size() - 3), " ja");
}

TEST_F(Fields, IfKeepsTheFormattingOfItsTexts) {
    EXPECT_EQ(*eval("IF 1 = 1 {\\b \"fet tekst\"} nei"), "{\\b fet tekst}");  // the open group is closed
    EXPECT_EQ(*eval("IF 1 = 1 \"fet tekst\" nei \\\\* MERGEFORMAT"), "fet tekst");
}

TEST_F(Fields, NumberAndDateSwitches) {
    set("belop", "1234,5");
    set("tekst", "hei");
    set("dato", "05.03.2024");
    EXPECT_EQ(*evalWith("MERGEFIELD belop \\\\# \"#,##0.00\""), "1 234,50");
    EXPECT_EQ(*evalWith("MERGEFIELD belop \\\\# \"0.0\" \\\\d ."), "1234.5");
    EXPECT_EQ(*evalWith("MERGEFIELD mangler \\\\# \"0.00\""), "0,00");
    EXPECT_EQ(*evalWith("MERGEFIELD tekst \\\\# \"0.00\""), "hei");
    EXPECT_EQ(*evalWith("MERGEFIELD tekst \\\\@ \"dd.mm.yyyy\""), "");
    EXPECT_EQ(*evalWith("MERGEFIELD dato \\\\@ \"d. mmmm yyyy\""), "5. mars 2024");
    // Typographic quotes in a pattern are literal marks.
    EXPECT_EQ(*evalWith("MERGEFIELD belop \\\\# \\ldblquote 0\\lquote  kr\\rquote \\rdblquote"), "1235 kr");
}

TEST_F(Fields, ClockAndDefaultFormats) {
    EXPECT_EQ(*eval("TIME"), "14:07");
    EXPECT_EQ(*eval("DATE"), "05.03.2024");
    EXPECT_EQ(*eval("DATE \\\\@ \"yyyy-mm-dd hh:mm\""), "2024-03-05 14:07");
    ASSERT_TRUE(eval("PRIVATE $$SC FMTS \\\\# \"0.00\" \\\\@ \"d.m.yy\""));
    EXPECT_EQ(*eval("COMPARE 1 = 1"), "1,00");
    EXPECT_EQ(*eval("DATE"), "5.3.24");
    EXPECT_EQ(*eval("TIME"), "14:07");  // the default date format is not for TIME
    ASSERT_TRUE(eval("PRIVATE $$SC FMTS"));
    EXPECT_EQ(*eval("COMPARE 1 = 1"), "1");
}

TEST_F(Fields, QuoteCharactersAndNesting) {
    EXPECT_EQ(*eval("QUOTE 72 105"), "Hi");
    EXPECT_EQ(*eval("QUOTE 13"), "\\'0d");
    EXPECT_EQ(*eval("QUOTE \"a b\"", 0), "\"a b\"");
    EXPECT_EQ(*eval("IF {\\field{\\*\\fldinst QUOTE \"a b\"}{\\fldrslt x}} = \"a b\" ja nei"), "ja");
    // A nested field that fails gives its old result.
    EXPECT_EQ(*eval("IF {\\field{\\*\\fldinst NOSUCH}{\\fldrslt 7}} = 7 ja nei"), "ja");
}

TEST_F(Fields, MergeFieldValues) {
    set("navn", "ole hansen");
    set("alias", "@navn");
    set("rik", "\\rtf1 {\\b fet}");
    set("sti", "c:\\mappe");
    set("linjer", "a\r\nb\nc");
    set("skjev", "a}");
    EXPECT_EQ(*evalWith("MERGEFIELD navn \\\\* FIRSTCAP"), "Ole hansen");
    EXPECT_EQ(*evalWith("MERGEFIELD navn \\\\*CAPS"), "Ole Hansen");
    EXPECT_EQ(*evalWith("MERGEFIELD alias \\\\* UPPER"), "OLE HANSEN");
    EXPECT_EQ(*evalWith("MERGEFIELD rik"), "{\\b fet}");
    EXPECT_EQ(*evalWith("MERGEFIELD sti"), "c:\\\\mappe");
    EXPECT_EQ(*evalWith("MERGEFIELD linjer"), "a\\\r\nb\\\nc");
    EXPECT_EQ(*evalWith("MERGEFIELD skjev"), "{a}");
    EXPECT_EQ(*evalWith("MERGEFIELD ukjent"), "");
    EXPECT_EQ(*evalWith("IF @navn = \"ole hansen\" ja nei"), "ja");
    c.VisFeltNamn = true;
    EXPECT_EQ(*evalWith("MERGEFIELD navn"), "navn");
    EXPECT_EQ(*evalWith("FORMTEXT {\\*\\formfield{\\*\\ffname felt1}}"), "felt1");
}

TEST_F(Fields, PrivateCommandsWriteMergeData) {
    EXPECT_FALSE(eval("PRIVATE $$SC SET navn \"x\""));  // no merge data
    ASSERT_TRUE(evalWith("PRIVATE $$SC SET navn 72 105 \" der\""));
    EXPECT_EQ(*data.GetValue(u"NAVN"), u"Hi der");
    ASSERT_TRUE(evalWith("PRIVATE $$SC IFBLANK navn \"ny\""));
    EXPECT_EQ(*data.GetValue(u"navn"), u"Hi der");
    ASSERT_TRUE(evalWith("PRIVATE $$SC IFBLANK tom \"ny\""));
    EXPECT_EQ(*data.GetValue(u"tom"), u"ny");
    ASSERT_TRUE(evalWith("PRIVATE $$SC VARTEXT omtale {\\b fet} tekst"));
    EXPECT_EQ(kavelin::text::toUtf8(*data.GetValue(u"omtale")), "\\rtf1 {\\b fet} tekst");
    EXPECT_EQ(*evalWith("MERGEFIELD omtale"), "{\\b fet} tekst");
    EXPECT_EQ(*eval("PRIVATE $$SC USEPAGESIZE"), "\\uselogicalpagesize1 ");
    EXPECT_EQ(*eval("PRIVATE $$SC REM hva som helst"), "");
    EXPECT_FALSE(eval("PRIVATE $$SC SCRIPT x"));
}

class FieldFiles : public Fields {
protected:
    FieldFiles() {
        dir = std::filesystem::temp_directory_path() / ("mirvo_fields_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        c.filepath = dir / "main.rtf";
    }
    ~FieldFiles() override { std::filesystem::remove_all(dir); }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::filesystem::path dir;
};

TEST_F(FieldFiles, IncludeTextByKind) {
    write("notat.txt", "a\tb\r\nc\nd");
    write("x.doc", "?");
    write("del.rtf", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Courier;}}{\\colortbl;\\red0\\green0\\blue255;}"
                     "{\\header skip me}\\pard\\plain\\f0\\cf1 Inkludert\\par}");
    EXPECT_EQ(*eval("INCLUDETEXT notat.txt"), "a\\tab b\\line c\\line d");
    EXPECT_EQ(*eval("INCLUDETEXT x.doc"), "ERROR!!! Ukjent filtype");
    EXPECT_EQ(logLines.back(), "RTF INCLUDETEXT ERR Ukjent filtype");
    EXPECT_EQ(eval("INCLUDETEXT mangler.txt")->rfind("ERROR!!! ", 0), 0u);
    // Without an extension the RTF file is found; its font and colour join the including document.
    settings.fontList.getDef(0).Name = u"Arial";
    settings.colorTable.colors = {clBlack, rgb(255, 0, 0)};
    std::string r = *eval("INCLUDETEXT del");
    EXPECT_EQ(r, "{\\pard\\f1 \\plain\\f1 \\f1 \\cf2 Inkludert\\par}");
    EXPECT_EQ(settings.fontList.find(1)->Name, u"Courier");
    EXPECT_EQ(settings.colorTable.getColor(2), rgb(0, 0, 255));
}

TEST_F(FieldFiles, IncludedDocumentIsReadAndLoopsEnd) {
    write("del.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Inne\\par}");
    write("loop.rtf", "{\\rtf1\\ansi\\pard x{\\field{\\*\\fldinst INCLUDETEXT loop.rtf}{\\fldrslt }}\\par}");
    auto doc = c.ReadRTFStream("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Ute "
                               "{\\field{\\*\\fldinst INCLUDETEXT del}{\\fldrslt gammel}}\\par}");
    ASSERT_GE(doc->sectionList()[0]->IList.ItemCount(), 1);
    auto loopDoc = c.ReadRTFStream("{\\rtf1\\ansi\\pard {\\field{\\*\\fldinst INCLUDETEXT loop.rtf}{\\fldrslt }}\\par}");
    int items = loopDoc->sectionList()[0]->IList.ItemCount();
    EXPECT_GT(items, 0);
    EXPECT_LE(items, MaxFieldDepth + 2);
}

TEST_F(FieldFiles, IncludePicture) {
    write("bilde.png", std::string("\x89PNG", 4));
    EXPECT_EQ(*eval("INCLUDEPICTURE bilde.png"), "{\\pict\\pngblip 89504E47}");
    EXPECT_FALSE(eval("INCLUDEPICTURE borte.png"));
    c.DoIncludePictures = false;
    EXPECT_EQ(*eval("INCLUDEPICTURE bilde.png"),
              "{\\literal\\field{\\*\\fldinst INCLUDEPICTURE bilde.png \\\\d }{\\fldrslt }}");
}

TEST_F(FieldFiles, MergeModeWritesACopyWithoutFields) {
    write("brev.rtf", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\info{\\title Brev}}\\paperw11906 \\pard Kj\\'e6re "
                      "{\\field{\\*\\fldinst MERGEFIELD navn}{\\fldrslt \\'abnavn\\'bb}}!\\par}");
    set("navn", "Ola");
    auto title = c.FlettRTFFelt(dir / "brev.rtf", dir / "ut.rtf", &data);
    EXPECT_EQ(title, u"Brev");
    std::string out = readWholeFile(dir / "ut.rtf");
    EXPECT_EQ(out.find("fldinst"), std::string::npos);
    EXPECT_EQ(out.find("\\field"), std::string::npos);
    EXPECT_NE(out.find("Kj\\'e6re {Ola}!"), std::string::npos) << out;
    EXPECT_NE(out.find("\\paperw11906"), std::string::npos);
    EXPECT_EQ(c.FData, nullptr);
    // The copy reads as a document with the merged text.
    auto doc = c.ReadRTFStream(out);
    EXPECT_EQ(doc->sectionList()[0]->IList.ItemCount(), 1);

    write("props.rtf", "{\\rtf1{\\*\\userprops x}\\pard a\\par}");
    EXPECT_THROW(c.FlettRTFFelt(dir / "props.rtf", dir / "p.rtf", &data), EFieldNotSupported);
    EXPECT_FALSE(std::filesystem::exists(dir / "p.rtf"));
}

TEST_F(Fields, MalformedFieldsDoNotCrash) {
    std::string deep;
    for (int i = 0; i < 3000; ++i) deep += "{\\field{\\*\\fldinst IF ";
    deep += "1";
    for (int i = 0; i < 3000; ++i) deep += "}}";
    eval(deep);
    eval("IF " + std::string(5000, '9') + " > 1 a b");
    eval("MERGEFIELD x \\\\# \"" + std::string(3000, '0') + "\"");
    eval("QUOTE 99999999999999999999 -5 256");
    eval("\\\\");
    eval("\"");
    auto doc = c.ReadRTFStream("{\\rtf1 " + deep + " tail}");
    SUCCEED();
}

}  // namespace
}  // namespace kavelin::rtf
