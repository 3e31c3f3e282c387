#include "app/ui/xml/xml_text.h"

#include "app/ui/xml/xml_errors.h"
#include "common/text/casing.h"
#include "common/text/encoding.h"
#include "common/utils/file_utils.h"

namespace kavelin::xml {
namespace {

constexpr std::u16string_view kCDataStart = u"[CDATA[";
constexpr size_t kExcerptLength = 30;

std::u16string_view excerptAt(std::u16string_view text, size_t pos) {
    return text.substr(pos, kExcerptLength);
}

// "&#...;" at s[0]; the code point and the length of the reference.
std::optional<std::pair<char32_t, size_t>> numericReference(std::u16string_view s) {
    size_t i = 2;
    unsigned base = 10;
    if (i < s.size() && (s[i] == u'x' || s[i] == u'X')) {
        base = 16;
        ++i;
    }
    size_t digitsStart = i;
    char32_t cp = 0;
    for (; i < s.size() && s[i] != u';'; ++i) {
        char16_t c = s[i];
        unsigned d;
        if (c >= u'0' && c <= u'9') d = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f') d = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F') d = c - u'A' + 10;
        else return std::nullopt;
        cp = cp * base + d;
        if (cp > 0x10FFFF) return std::nullopt;
    }
    if (i >= s.size() || i == digitsStart || cp == 0) return std::nullopt;
    return std::pair{cp, i + 1};
}

bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || (n == 2 && b < 0xC2) || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// Whether the bytes start with an XML declaration that names UTF-8.
bool declaresUtf8(std::string_view b) {
    size_t start = b.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || b.substr(start, 5) != "<?xml") return false;
    size_t end = b.find("?>", start);
    if (end == std::string_view::npos) return false;
    std::u16string decl = text::upperCase(text::fromCp1252(b.substr(start, end - start)));
    return decl.find(u"UTF-8") != std::u16string::npos;
}

}  // namespace

void TXMLScanner::skipBlanks() {
    while (FPos < FText.size() && isBlankChar(FText[FPos])) ++FPos;
}

std::optional<std::u16string_view> TXMLScanner::next() {
    skipBlanks();
    if (FPos >= FText.size()) return std::nullopt;
    const size_t start = FPos;
    if (FText[start] != u'<') {
        // Text runs up to the next "<" (or the end); blanks inside and at the
        // end belong to it.
        size_t i = start;
        for (; i < FText.size() && FText[i] != u'<'; ++i)
            if (FText[i] == u'>') raiseSyntax(excerptAt(FText, i));
        FPos = i;
        return FText.substr(start, i - start);
    }
    size_t end;
    if (FText.substr(start, 4) == u"<!--") {
        size_t close = FText.find(u"-->", start + 4);
        if (close == std::u16string_view::npos) throw std::runtime_error("Kommentar i xml er ikke avsluttet");
        end = close + 3;
    } else {
        size_t i = start + 1;
        end = FText.size();  // an unterminated tag runs to the end of the input
        for (; i < FText.size(); ++i) {
            if (FText[i] == u'>') {
                end = i + 1;
                break;
            }
            if (FText[i] == u'!' && FText.substr(i + 1, kCDataStart.size()) == kCDataStart) {
                size_t close = FText.find(u"]]>", i + 1 + kCDataStart.size());
                if (close == std::u16string_view::npos) raiseSyntax(excerptAt(FText, i));
                end = close + 3;
                break;
            }
        }
    }
    std::u16string_view token = FText.substr(start, end - start);
    while (!token.empty() && isBlankChar(token.back())) token.remove_suffix(1);
    FPos = end;
    skipBlanks();
    return token;
}

std::u16string decodeEntities(std::u16string_view s) {
    if (s.find(u'&') == std::u16string_view::npos) return std::u16string(s);
    static constexpr std::pair<std::u16string_view, char16_t> kNamed[] = {
        {u"&amp;", u'&'}, {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&quot;", u'"'}, {u"&apos;", u'\''}};
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] != u'&') {
            out += s[i++];
            continue;
        }
        std::u16string_view rest = s.substr(i);
        bool done = false;
        for (auto [name, ch] : kNamed) {
            if (rest.starts_with(name)) {
                out += ch;
                i += name.size();
                done = true;
                break;
            }
        }
        if (done) continue;
        if (rest.starts_with(u"&#")) {
            if (auto ref = numericReference(rest)) {
                text::appendUtf16(out, ref->first);
                i += ref->second;
                continue;
            }
        }
        out += s[i++];
    }
    return out;
}

std::u16string escapeValue(std::u16string_view s, bool latin1Only) {
    std::u16string out;
    out.reserve(s.size() + s.size() / 8);
    for (size_t i = 0; i < s.size(); ++i) {
        char16_t c = s[i];
        switch (c) {
        case u'&': out += u"&amp;"; continue;
        case u'<': out += u"&lt;"; continue;
        case u'>': out += u"&gt;"; continue;
        case u'"': out += u"&quot;"; continue;
        case u'\'': out += u"&apos;"; continue;
        case u'\r':
            out += u'\n';
            if (i + 1 < s.size() && s[i + 1] == u'\n') ++i;
            continue;
        default: break;
        }
        if (latin1Only && ((c >= 0x80 && c < 0xA0) || c > 0xFF)) {
            char32_t cp = c;
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
                cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (s[i + 1] - 0xDC00);
                ++i;
            }
            out += u"&#";
            for (char d : std::to_string(unsigned(cp))) out += char16_t(d);
            out += u';';
            continue;
        }
        out += c;
    }
    return out;
}

std::string encodeText(std::u16string_view s, TXMLEncoding enc) {
    switch (enc) {
    case TXMLEncoding::encUTF8: return text::toUtf8(s);
    case TXMLEncoding::encISO8859: return text::toCp1252(s);
    }
    throw std::runtime_error("Not supported! (XML Encoding!)");
}

std::u16string decodeXmlFile(std::string_view bytes) {
    bool hasBom = bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    if (!hasBom && declaresUtf8(bytes) && isValidUtf8(bytes)) return text::fromUtf8(bytes);
    return utils::decodeTextFile(bytes);
}

EXMLRoot::EXMLRoot(std::u16string_view name)
    : EXML("Finner ikke rotelementet \"" + text::toUtf8(name) + "\"") {}

void raiseSyntax(std::u16string_view excerpt) {
    throw std::runtime_error("Ikke gyldig xml syntax: \r---> " + text::toUtf8(excerpt));
}

void raiseInvalidName(std::u16string_view name) {
    throw std::runtime_error("Ikke gyldig XML elementnavn (" + text::toUtf8(name) + ")");
}

}  // namespace kavelin::xml
