// Text-level pieces of the XML module: the forgiving scanner, character
// references, escaping for writing, and the byte encodings of files.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kavelin::xml {

enum class TXMLEncoding { encISO8859, encUTF8 };

// Splits XML text into tokens: a tag ("<...>", a whole "<!--...-->" or a
// "<![CDATA[...]]>") or a text run. Characters 1..32 between tokens are passed
// over, so a text token loses leading white space and keeps trailing white
// space. Raises on ">" outside a tag, an unterminated CDATA section or an
// unterminated comment.
class TXMLScanner {
public:
    explicit TXMLScanner(std::u16string_view text) : FText(text) {}
    // The next token, or none at the end of the input.
    std::optional<std::u16string_view> next();

private:
    void skipBlanks();

    std::u16string_view FText;
    size_t FPos = 0;
};

inline bool isBlankChar(char16_t c) { return c >= 1 && c <= 32; }

// Decodes "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" and numeric references
// ("&#65;", "&#x41;"); any other "&" stays as it is.
std::u16string decodeEntities(std::u16string_view s);

// Escapes a text or attribute value for writing: & < > " ' as entities, then
// CR LF and lone CR as LF. With latin1Only, characters that have no byte of
// their own in ISO-8859-1 (C1 controls, above U+00FF) become numeric
// references, so nothing is lost in an 8-bit file.
std::u16string escapeValue(std::u16string_view s, bool latin1Only);

// The bytes of the text in the encoding (no byte-order mark).
std::string encodeText(std::u16string_view s, TXMLEncoding enc);

// Decodes a whole XML file: a byte-order mark decides; otherwise a file whose
// declaration names UTF-8 and whose bytes are valid UTF-8 is read as UTF-8;
// everything else as Windows-1252.
std::u16string decodeXmlFile(std::string_view bytes);

}  // namespace kavelin::xml
