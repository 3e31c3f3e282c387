#include "app/ui/xml/xml_parser.h"

#include "common/text/casing.h"

namespace kavelin::xml {
namespace {

std::u16string_view trimBlanks(std::u16string_view s) {
    while (!s.empty() && isBlankChar(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlankChar(s.back())) s.remove_suffix(1);
    return s;
}

std::u16string_view between(std::u16string_view token, std::u16string_view open, std::u16string_view close) {
    token.remove_prefix(open.size());
    if (token.ends_with(close)) token.remove_suffix(close.size());
    return token;
}

// Sets the document's loading flag for the lifetime of a parse.
class TLoadingScope {
public:
    explicit TLoadingScope(bool& flag) : FFlag(flag), FOld(flag) { FFlag = true; }
    ~TLoadingScope() { FFlag = FOld; }

private:
    bool& FFlag;
    bool FOld;
};

}  // namespace

void TXMLParser::run(std::u16string_view text) {
    TLoadingScope loading(FDoc.FLoading);
    TXMLScanner scanner(text);
    while (auto token = scanner.next()) handle(*token);
}

void TXMLParser::handle(std::u16string_view token) {
    if (token.starts_with(u"<?")) {
        std::u16string upper = text::upperCase(token);
        FDoc.FEncoding = upper.find(u"UTF-8") != std::u16string::npos ? TXMLEncoding::encUTF8
                                                                      : TXMLEncoding::encISO8859;
    } else if (token.starts_with(u"<!--")) {
        if (!FDoc.FIgnoreComments) FPendingComments.emplace_back(trimBlanks(between(token, u"<!--", u"-->")));
    } else if (token.starts_with(u"<!DOCTYPE")) {
        FDoc.FDocTypeInfo = trimBlanks(between(token, u"<!DOCTYPE", u">"));
    } else if (token.starts_with(u"<![CDATA[")) {
        if (!FCurrent) raiseSyntax(token.substr(0, 30));
        FCurrent->FValue = between(token, u"<![CDATA[", u"]]>");
        FCurrent->FCData = true;
    } else if (token.starts_with(u"</")) {
        // The name in the closing tag is not checked; but a closing tag may
        // not leave the element being loaded into.
        if (!FCurrent || FCurrent == FTarget) raiseSyntax(token.substr(0, 30));
        FCurrent = FCurrent->FParent;
    } else if (token.starts_with(u"<")) {
        startTag(token);
    } else {
        if (!FCurrent) raiseSyntax(token.substr(0, 30));
        FCurrent->FValue = decodeEntities(token);
    }
}

void TXMLParser::startTag(std::u16string_view token) {
    if (!token.ends_with(u">")) throw std::runtime_error("Tag i xml er ikke avsluttet");
    std::u16string_view inner = token.substr(1, token.size() - 2);
    bool selfClosing = inner.ends_with(u"/");
    if (selfClosing) inner.remove_suffix(1);
    size_t blank = inner.find(u' ');
    std::u16string_view name = inner.substr(0, blank);
    std::u16string_view rest = blank == std::u16string_view::npos ? std::u16string_view() : inner.substr(blank);

    TXMLElement* e;
    if (FCurrent) {
        e = &FCurrent->appendChild(name);
    } else {
        // A second top-level element would silently replace the first one.
        if (FDoc.FRoot) raiseSyntax(token.substr(0, 30));
        FDoc.FRoot = std::make_unique<TXMLElement>(&FDoc, nullptr, name);
        e = FDoc.FRoot.get();
    }
    readAttributes(*e, token, rest);
    e->FComments.insert(e->FComments.end(), std::make_move_iterator(FPendingComments.begin()),
                        std::make_move_iterator(FPendingComments.end()));
    FPendingComments.clear();
    if (!selfClosing) FCurrent = e;
}

void TXMLParser::readAttributes(TXMLElement& e, std::u16string_view tag, std::u16string_view rest) {
    for (;;) {
        while (!rest.empty() && isBlankChar(rest.front())) rest.remove_prefix(1);
        if (rest.empty()) return;
        size_t eq = rest.find(u'=');
        if (eq == std::u16string_view::npos) raiseSyntax(rest);
        std::u16string_view name = trimBlanks(rest.substr(0, eq));
        std::u16string_view after = rest.substr(eq + 1);
        while (!after.empty() && isBlankChar(after.front())) after.remove_prefix(1);
        if (after.empty() || after.front() != u'"') raiseSyntax(rest);
        size_t close = after.find(u'"', 1);
        if (close == std::u16string_view::npos) raiseSyntax(rest);
        if (name.empty()) raiseInvalidName(name);
        // Repeats are kept while loading: the file's attributes stay as read.
        TXMLElement::checkName(name);
        e.FAttribs.emplace_back(name, decodeEntities(after.substr(1, close - 1)));
        rest = after.substr(close + 1);
    }
}

TXMLWriter::TXMLWriter(const TXMLDoc& doc)
    : FDoc(doc), FLineEnd(doc.FFormattedOutput ? u"\r\n" : u"") {}

std::u16string TXMLWriter::write(const TXMLElement& e) {
    FOut.clear();
    if (FDoc.FHeaderEnabled) {
        switch (FDoc.FEncoding) {
        case TXMLEncoding::encUTF8: line(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>"); break;
        case TXMLEncoding::encISO8859: line(u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"); break;
        default: throw std::runtime_error("Not supported! (XML Encoding!)");
        }
        if (!FDoc.FDocTypeInfo.empty()) line(u"<!DOCTYPE " + FDoc.FDocTypeInfo + u" >");
    }
    element(e, 0);
    return std::move(FOut);
}

void TXMLWriter::line(std::u16string_view text) {
    FOut += text;
    FOut += FLineEnd;
}

std::u16string TXMLWriter::escaped(const std::u16string& value) const {
    bool latin1 = FDoc.FEncoding == TXMLEncoding::encISO8859;
    return escapeValue(value, latin1);
}

std::u16string TXMLWriter::openTag(const TXMLElement& e) const {
    std::u16string s = u"<" + e.FName;
    for (const auto& [name, value] : e.FAttribs) s += u" " + name + u"=\"" + escaped(value) + u"\"";
    return s;
}

void TXMLWriter::element(const TXMLElement& e, int level) {
    if (!FDoc.FIgnoreComments)
        for (const auto& c : e.FComments) line(u"<!-- " + c + u" -->");
    std::u16string value = e.FCData ? u"<![CDATA[" + e.FValue + u"]]>" : escaped(e.FValue);
    if (!e.FChildren.empty()) {
        line(openTag(e) + u">");
        for (const auto& child : e.FChildren) element(*child, level + 1);
        // The value shares the closing tag's line: a line break before the
        // closing tag would be read back as part of the value and grow it on
        // every save.
        if (!e.FValue.empty()) FOut += (FLineEnd.empty() ? u"" : u"  ") + value;
        line(u"</" + e.FName + u">");
    } else if (!e.FValue.empty()) {
        line(openTag(e) + u">" + value + u"</" + e.FName + u">");
    } else {
        line(openTag(e) + u"/>");
    }
}

}  // namespace kavelin::xml
