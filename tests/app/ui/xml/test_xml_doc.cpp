#include "app/ui/xml/xml_doc.h"

#include "common/text/encoding.h"
#include "common/utils/file_utils.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace kavelin::xml;
using kavelin::text::fromUtf8;
using kavelin::text::toUtf8;
using mirvo::test::TempDir;

namespace {

// The error text of a call that must fail with a plain std::runtime_error.
template <class F>
std::string errorOf(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

std::unique_ptr<TXMLDoc> parsed(std::u16string_view text) {
    auto doc = std::make_unique<TXMLDoc>();
    doc->setText(text);
    return doc;
}

}  // namespace

TEST(XmlPaths, LookupCreatesTheWholePathOnAnEmptyDocument) {
    TXMLDoc doc;
    EXPECT_FALSE(doc.Exists(u"root\\a\\b"));
    TXMLElement& b = doc.getElement(u"root\\a\\b");
    EXPECT_EQ(b.name(), u"b");
    EXPECT_EQ(b.parent()->name(), u"a");
    EXPECT_TRUE(doc.Exists(u"root\\a\\b"));
    EXPECT_FALSE(doc.ExistsAndHasData(u"root\\a\\b"));
    EXPECT_TRUE(doc.ExistsAndHasData(u"root\\a"));
    // A second lookup finds the same element instead of appending another.
    EXPECT_EQ(&doc.getElement(u"root\\a\\b"), &b);
    EXPECT_EQ(doc.root()->ChildCount(), 1u);
}

TEST(XmlPaths, WrongRootAndEmptyPathAreRefused) {
    TXMLDoc doc;
    doc.getElement(u"root");
    try {
        doc.getElement(u"other\\x");
        FAIL();
    } catch (const EXMLRoot& e) {
        EXPECT_STREQ(e.what(), "Finner ikke rotelementet \"other\"");
    }
    EXPECT_EQ(errorOf([&] { doc.getElement(u""); }), "Ingen path angitt for xml-element!");
    EXPECT_FALSE(doc.Exists(u"other"));
    EXPECT_FALSE(doc.Exists(u""));
}

TEST(XmlPaths, ChildLookupTakesTheFirstOfTheName) {
    auto doc = parsed(u"<r><a>1</a><a>2</a></r>");
    EXPECT_EQ(doc->getElement(u"r\\a").valueText(), u"1");
    EXPECT_EQ(doc->root()->ChildCount(), 2u);
}

TEST(XmlNames, InvalidNamesAreRefused) {
    TXMLDoc doc;
    TXMLElement& r = doc.getElement(u"r");
    for (std::u16string_view bad : {u"1abc", u"a b", u"a\"b", u"a&b", u"a'b", u"a<b", u"a>b", u"a\tb", u""}) {
        std::string expected = "Ikke gyldig XML elementnavn (" + toUtf8(bad) + ")";
        EXPECT_EQ(errorOf([&] { r.getChild(bad); }), expected);
        EXPECT_EQ(errorOf([&] { r.setAttrib(bad, u"v"); }), expected);
    }
    EXPECT_NO_THROW(r.getChild(u"a1.b-c_d:æ"));
    EXPECT_EQ(errorOf([] { parsed(u"<1a/>"); }), "Ikke gyldig XML elementnavn (1a)");
}

TEST(XmlScanner, TextLosesLeadingButKeepsTrailingWhiteSpace) {
    auto doc = parsed(u"<a>  x  </a>");
    EXPECT_EQ(doc->root()->valueText(), u"x  ");
    auto blank = parsed(u"<a>   </a>");
    EXPECT_FALSE(blank->root()->value().has_value());
}

TEST(XmlScanner, ForgivingCases) {
    // Any closing tag closes the current element.
    auto doc = parsed(u"<r><a><b>v</x></y><c/></r>");
    EXPECT_TRUE(doc->Exists(u"r\\a\\b"));
    EXPECT_TRUE(doc->Exists(u"r\\c"));
    // Line breaks and tabs between tokens are passed over; attributes may be
    // spread over lines; blanks around "=" are tolerated.
    doc = parsed(u"\r\n\t<r  a = \"1\"\r\n b=\"2\" >\r\n\t<c/>\r\n</r>\r\n");
    EXPECT_EQ(doc->root()->getAttrib(u"a"), u"1");
    EXPECT_EQ(doc->root()->getAttrib(u"b"), u"2");
    EXPECT_EQ(doc->root()->ChildCount(), 1u);
    // Self-closing with and without a blank.
    doc = parsed(u"<r><a x=\"1\"/><b /></r>");
    EXPECT_EQ(doc->root()->ChildCount(), 2u);
    EXPECT_EQ(doc->getElement(u"r\\a").getAttrib(u"x"), u"1");
}

TEST(XmlScanner, SyntaxErrors) {
    const std::string syntax = "Ikke gyldig xml syntax: \r---> ";
    struct Case {
        std::u16string_view text;
        std::string error;
    } cases[] = {
        {u"<r>a > b</r>", syntax + "> b</r>"},
        {u"<r a='1'/>", syntax + "a='1'"},
        {u"<r a/>", syntax + "a"},
        {u"<r a=\"1/>", syntax + "a=\"1"},
        {u"<r><!-- open </r>", "Kommentar i xml er ikke avsluttet"},
        {u"<r><a", "Tag i xml er ikke avsluttet"},
        {u"text", syntax + "text"},
        {u"<r/>tail", syntax + "tail"},
        {u"<r/><s/>", syntax + "<s/>"},
        {u"<r/></r>", syntax + "</r>"},
        {u"<r><![CDATA[never ends</r>", syntax + "![CDATA[never ends</r>"},
    };
    for (const auto& c : cases) EXPECT_EQ(errorOf([&] { parsed(c.text); }), c.error) << toUtf8(c.text);
    // The excerpt is at most 30 characters.
    std::u16string longText = u"<r>>" + std::u16string(100, u'x') + u"</r>";
    EXPECT_EQ(errorOf([&] { parsed(longText); }).size(), syntax.size() + 30);
}

TEST(XmlScanner, FailedParseKeepsWhatWasReadAndEndsLoading) {
    TXMLDoc doc;
    EXPECT_ANY_THROW(doc.setText(u"<r><a>1</a><b x='2'/></r>"));
    EXPECT_FALSE(doc.loading());
    ASSERT_NE(doc.root(), nullptr);
    EXPECT_EQ(doc.getElement(u"r\\a").valueText(), u"1");
    EXPECT_TRUE(doc.Exists(u"r\\b"));
}

TEST(XmlEntities, DecodedInTextAndAttributes) {
    auto doc = parsed(u"<r a=\"&lt;&amp;&gt;&quot;&apos;\">&#65;&#x42;&#128512;&foo; & &#;&#xZ;</r>");
    EXPECT_EQ(doc->root()->getAttrib(u"a"), u"<&>\"'");
    EXPECT_EQ(doc->root()->valueText(), u"AB\U0001F600&foo; & &#;&#xZ;");
}

TEST(XmlEntities, SpecialCharactersRoundTrip) {
    TXMLDoc doc;
    TXMLElement& a = doc.getElement(u"r\\a");
    a.setValue(u"1 & 2 < 3 > \"x\" 'y'\r\nnext\rlast");
    a.setAttrib(u"t", u"a&b<\"'>");
    doc.setHeaderEnabled(false);
    EXPECT_EQ(doc.Text(),
              u"<r><a t=\"a&amp;b&lt;&quot;&apos;&gt;\">1 &amp; 2 &lt; 3 &gt; &quot;x&quot; &apos;y&apos;\nnext\nlast</a></r>");
    auto back = parsed(doc.Text());
    EXPECT_EQ(back->getElement(u"r\\a").valueText(), u"1 & 2 < 3 > \"x\" 'y'\nnext\nlast");
    EXPECT_EQ(back->getElement(u"r\\a").getAttrib(u"t"), u"a&b<\"'>");
}

TEST(XmlWriter, UnformattedIsOneLineFormattedHasOneTagPerLine) {
    TXMLDoc doc;
    doc.getElement(u"r\\a").setValue(u"1");
    doc.getElement(u"r\\b").setAttrib(u"x", u"y");
    EXPECT_EQ(doc.Text(), u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><a>1</a><b x=\"y\"/></r>");
    doc.setFormattedOutput(true);
    EXPECT_EQ(doc.Text(),
              u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<r>\r\n<a>1</a>\r\n<b x=\"y\"/>\r\n</r>\r\n");
}

TEST(XmlWriter, DocTypeAndHeader) {
    auto doc = parsed(u"<?xml version=\"1.0\"?><!DOCTYPE  r SYSTEM \"r.dtd\" ><r/>");
    EXPECT_EQ(doc->docTypeInfo(), u"r SYSTEM \"r.dtd\"");
    EXPECT_EQ(doc->Text(),
              u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><!DOCTYPE r SYSTEM \"r.dtd\" ><r/>");
    doc->setHeaderEnabled(false);
    EXPECT_EQ(doc->Text(), u"<r/>");
}

TEST(XmlWriter, ValueBesideChildrenIsStableOverRoundTrips) {
    TXMLDoc doc;
    doc.setFormattedOutput(true);
    doc.getElement(u"r").setValue(u"v");
    doc.getElement(u"r\\a");
    std::u16string first = doc.Text();
    EXPECT_EQ(first, u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<r>\r\n<a/>\r\n  v</r>\r\n");
    TXMLDoc again;
    again.setFormattedOutput(true);
    again.setText(first);
    EXPECT_EQ(again.root()->valueText(), u"v");
    EXPECT_EQ(again.Text(), first);
}

TEST(XmlComments, KeptBeforeTheirElementAndRewrittenUnchanged) {
    const std::u16string text =
        u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<!-- top -->\r\n<r>\r\n<!-- first -->\r\n"
        u"<!-- second -->\r\n<a>1</a>\r\n</r>\r\n";
    TXMLDoc doc;
    doc.setFormattedOutput(true);
    doc.setText(text);
    EXPECT_EQ(doc.root()->Comments(), std::vector<std::u16string>{u"top"});
    EXPECT_EQ(doc.getElement(u"r\\a").Comments(), (std::vector<std::u16string>{u"first", u"second"}));
    EXPECT_EQ(doc.Text(), text);

    TXMLDoc ignoring;
    ignoring.setIgnoreComments(true);
    ignoring.setText(text);
    EXPECT_TRUE(ignoring.getElement(u"r\\a").Comments().empty());
    ignoring.getElement(u"r").Comments().push_back(u"not written");
    EXPECT_EQ(ignoring.Text().find(u"<!--"), std::u16string::npos);
}

TEST(XmlCData, WrittenBackAsCData) {
    auto doc = parsed(u"<r><c><![CDATA[  <b>&amp; ]]></c><t>]]&gt;</t></r>");
    TXMLElement& c = doc->getElement(u"r\\c");
    EXPECT_TRUE(c.CData());
    EXPECT_EQ(c.valueText(), u"  <b>&amp; ");
    doc->setHeaderEnabled(false);
    EXPECT_EQ(doc->Text(), u"<r><c><![CDATA[  <b>&amp; ]]></c><t>]]&gt;</t></r>");
}

TEST(XmlAttributes, RepeatsFromAFileAreKeptAndSetChangesTheFirst) {
    auto doc = parsed(u"<r a=\"1\" a=\"2\"/>");
    TXMLElement& r = *doc->root();
    ASSERT_EQ(r.AttribCount(), 2u);
    r.setAttrib(u"a", u"3");
    EXPECT_EQ(r.getAttribByIndex(0).second, u"3");
    EXPECT_EQ(r.getAttribByIndex(1).second, u"2");
    r.setAttrib(u"b", u"4");
    EXPECT_EQ(r.AttribCount(), 3u);
    EXPECT_FALSE(r.getAttrib(u"missing").has_value());
    EXPECT_EQ(r.getAttrib(u"b"), u"4");
}

TEST(XmlEncoding, DeclarationChoosesTheEncodingOfTheNextWrite) {
    struct Case {
        std::u16string_view decl;
        TXMLEncoding expected;
    } cases[] = {
        {u"<?xml version=\"1.0\" encoding=\"utf-8\"?>", TXMLEncoding::encUTF8},
        {u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", TXMLEncoding::encISO8859},
        {u"", TXMLEncoding::encISO8859},
    };
    for (const auto& c : cases) {
        TXMLDoc doc;
        doc.setEncoding(TXMLEncoding::encUTF8);
        if (c.decl.empty()) doc.setEncoding(TXMLEncoding::encISO8859);
        doc.setText(std::u16string(c.decl) + u"<r>ø</r>");
        EXPECT_EQ(doc.encoding(), c.expected);
        std::ostringstream out;
        doc.Save(out);
        std::string expected = c.expected == TXMLEncoding::encUTF8
                                   ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\xC3\xB8</r>"
                                   : "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xF8</r>";
        EXPECT_EQ(out.str(), expected);
    }
}

TEST(XmlEncoding, CharactersOutsideLatin1SurviveAnIsoFile) {
    TXMLDoc doc;
    doc.getElement(u"r").setValue(u"€ ő \U0001F600 \u0085");
    doc.getElement(u"r").setAttrib(u"a", u"ő");
    std::ostringstream out;
    doc.Save(out);
    EXPECT_EQ(out.str(),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"&#337;\">&#8364; &#337; &#128512; &#133;</r>");
    std::istringstream in(out.str());
    TXMLDoc back;
    back.Load(in);
    EXPECT_EQ(back.root()->valueText(), u"€ ő \U0001F600 \u0085");
    EXPECT_EQ(back.root()->getAttrib(u"a"), u"ő");
}

TEST(XmlEncoding, FileDecoding) {
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string value;
    } cases[] = {
        {"no mark, no declaration: Windows-1252", "<r>\xE6\xF8\xE5\x80</r>", u"æøå€"},
        {"UTF-8 mark", "\xEF\xBB\xBF<r>\xC3\xA6</r>", u"æ"},
        {"UTF-16 LE mark", std::string("\xFF\xFE<\0r\0>\0\xE6\0<\0/\0r\0>\0", 18), u"æ"},
        {"UTF-16 BE mark", std::string("\xFE\xFF\0<\0r\0>\0\xE6\0<\0/\0r\0>", 18), u"æ"},
        {"UTF-8 declared, no mark", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\xC3\xA6</r>", u"æ"},
        {"UTF-8 declared but not UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\xE6</r>", u"æ"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.bytes);
        TXMLDoc doc;
        doc.Load(in);
        EXPECT_EQ(doc.root()->valueText(), c.value) << c.name;
    }
}

TEST(XmlFiles, SaveAndLoadRoundTripThroughAFile) {
    TempDir dir;
    auto file = dir / "Configurations.xml";
    TXMLDoc doc;
    doc.setEncoding(TXMLEncoding::encUTF8);
    doc.setFormattedOutput(true);
    doc.getElement(u"cfg\\produkt").setAttrib(u"navn", u"Lån æøå");
    doc.getElement(u"cfg\\produkt\\id").setValue(42);
    doc.Save(file);
    doc.getElement(u"cfg\\produkt\\id").setValue(43);
    doc.Save(file);  // replaces the file

    TXMLDoc back;
    back.Load(file);
    EXPECT_EQ(back.encoding(), TXMLEncoding::encUTF8);
    EXPECT_EQ(back.getElement(u"cfg\\produkt").getAttrib(u"navn"), u"Lån æøå");
    EXPECT_EQ(back.getElement(u"cfg\\produkt\\id").valueText(), u"43");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(XmlFiles, SavingWithoutRootAndLoadingAMissingFileFail) {
    TempDir dir;
    TXMLDoc doc;
    EXPECT_EQ(errorOf([&] { doc.Save(dir / "x.xml"); }), "Kan ikke lagre XML uten rotelement");
    EXPECT_FALSE(std::filesystem::exists(dir / "x.xml"));
    EXPECT_THROW(doc.Load(dir / "missing.xml"), kavelin::utils::EFOpenError);
}

TEST(XmlFiles, FailedSaveLeavesTheOldFile) {
    TempDir dir;
    auto file = dir / "Defaults.xml";
    TXMLDoc doc;
    doc.getElement(u"old");
    doc.Save(file);
    std::string before = mirvo::test::readBytes(file);
    TXMLDoc other;
    other.getElement(u"new").setValue(std::u16string(4096, u'x'));
    {
        // The disk "fills up" half-way through the new content.
        mirvo::test::FileSizeLimit limit(1024);
        EXPECT_ANY_THROW(other.Save(file));
    }
    EXPECT_EQ(mirvo::test::readBytes(file), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(XmlReadOnly, ChangesAreRefusedButLoadingWorks) {
    TXMLDoc doc;
    doc.setReadOnly(true);
    EXPECT_THROW(doc.getElement(u"r"), EXMLReadOnly);
    doc.setText(u"<r a=\"1\"><b>2</b></r>");
    TXMLElement& r = *doc.root();
    EXPECT_EQ(doc.getElement(u"r\\b").valueText(), u"2");  // existing path: no change
    EXPECT_THROW(r.setAttrib(u"a", u"2"), EXMLReadOnly);
    EXPECT_THROW(r.getChild(u"c"), EXMLReadOnly);
    EXPECT_THROW(r.getList(u"b").add(), EXMLReadOnly);
    EXPECT_THROW(doc.getElement(u"r\\b").setValue(u"3"), EXMLReadOnly);
    EXPECT_THROW(r.setCData(true), EXMLReadOnly);
    EXPECT_THROW(r.add(u"<c/>"), EXMLReadOnly);
    try {
        r.setValue(u"x");
    } catch (const EXML& e) {
        EXPECT_STREQ(e.what(), "XML-dokument er i readonly modus");
    }
    EXPECT_EQ(doc.Text(), u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"1\"><b>2</b></r>");
}

TEST(XmlList, CountItemsAndAdd) {
    auto doc = parsed(u"<r><p>1</p><q/><p>2</p></r>");
    TXMLList& list = doc->root()->getList(u"p");
    EXPECT_EQ(&doc->root()->getList(u"p"), &list);
    EXPECT_EQ(list.count(), 2u);
    EXPECT_EQ(list.getItem(1).valueText(), u"2");
    EXPECT_THROW(list.getItem(2), std::out_of_range);
    list.add().setValue(u"3");
    EXPECT_EQ(list.count(), 3u);
    EXPECT_EQ(doc->root()->getChildByIndex(3).valueText(), u"3");
    // Clearing the element keeps the view usable.
    doc->root()->clear();
    EXPECT_EQ(list.count(), 0u);
}

TEST(XmlList, Searches) {
    auto doc = parsed(
        u"<r><p id=\"A\"><navn>Lån</navn><sub k=\"x\"/></p>"
        u"<p id=\"b\"><navn>Rammelån</navn><sub k=\"Y\"/><deep><v>Z</v></deep></p></r>");
    TXMLList& list = doc->root()->getList(u"p");
    using K = TListSeekKind;
    struct Case {
        std::u16string_view name, value;
        K kind;
        int index;
    } cases[] = {
        {u"id", u"B", K::seekListAttribute, 1},
        {u"id", u"a", K::seekListAttribute, 0},
        {u"id", u"c", K::seekListAttribute, -1},
        {u"sub k", u"y", K::seekListAttribute, 1},
        {u"sub k", u"z", K::seekListAttribute, -1},
        {u"navn", u"RAMMELÅN", K::seekListChild, 1},
        {u"deep\\v", u"z", K::seekListChild, 1},
        {u"deep\\v", u"q", K::seekListChild, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(list.indexOf(c.name, c.value, c.kind), c.index) << toUtf8(c.name);
    EXPECT_EQ(list.seekElement(u"deep\\v", u"z", K::seekListChild)->name(), u"v");
    EXPECT_EQ(list.seekElement(u"sub k", u"x", K::seekListAttribute), &list.getItem(0));
    EXPECT_EQ(list.seekElement(u"id", u"none", K::seekListAttribute), nullptr);
    // Searching never creates anything.
    EXPECT_EQ(doc->root()->getList(u"p").getItem(0).ChildCount(), 2u);
}

TEST(XmlElement, AddTextAppendsChildren) {
    TXMLDoc doc;
    TXMLElement& r = doc.getElement(u"r");
    r.getChild(u"a");
    r.add(u"<b x=\"1\">2</b><c/>");
    EXPECT_EQ(r.ChildCount(), 3u);
    EXPECT_EQ(r.getChildByIndex(1).getAttrib(u"x"), u"1");
    // A closing tag may not climb out of the element being loaded into.
    EXPECT_ANY_THROW(doc.getElement(u"r\\a").add(u"</a><evil/>"));
    EXPECT_FALSE(doc.Exists(u"r\\evil"));
    r.setText(u"<only/>");
    EXPECT_EQ(r.ChildCount(), 1u);
    doc.setHeaderEnabled(false);
    EXPECT_EQ(r.Text(), u"<r><only/></r>");
}

TEST(XmlElement, AddDocumentCopiesTheRootDeeply) {
    auto other = parsed(u"<!-- c --><sak nr=\"1\"><![CDATA[v]]><lan><id>7</id></lan></sak>");
    TXMLDoc doc;
    TXMLElement& r = doc.getElement(u"r");
    TXMLElement* copy = r.add(*other);
    ASSERT_NE(copy, nullptr);
    other.reset();
    EXPECT_EQ(copy->parent(), &r);
    EXPECT_EQ(copy->getAttrib(u"nr"), u"1");
    EXPECT_EQ(copy->valueText(), u"v");
    EXPECT_FALSE(copy->CData());
    EXPECT_TRUE(copy->Comments().empty());
    EXPECT_EQ(doc.getElement(u"r\\sak\\lan\\id").valueText(), u"7");
    // A document copied into itself is copied as it was before the copy.
    r.add(doc);
    EXPECT_EQ(doc.getElement(u"r\\r\\sak\\lan\\id").valueText(), u"7");
    EXPECT_FALSE(doc.Exists(u"r\\r\\r"));
    TXMLDoc empty;
    EXPECT_EQ(r.add(empty), nullptr);
}

TEST(XmlElement, ElementSaveAndLoadUseTheDocumentEncoding) {
    TempDir dir;
    TXMLDoc doc;
    doc.setEncoding(TXMLEncoding::encUTF8);
    doc.getElement(u"r\\sak").setValue(u"æ");
    doc.getElement(u"r\\sak").save(dir / "sak.xml");
    EXPECT_EQ(mirvo::test::readBytes(dir / "sak.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sak>\xC3\xA6</sak>");
    TXMLDoc target;
    target.setEncoding(TXMLEncoding::encUTF8);
    target.getElement(u"x").Load(dir / "sak.xml");
    EXPECT_EQ(target.getElement(u"x\\sak").valueText(), u"æ");
}
