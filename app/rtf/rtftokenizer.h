// Cuts an RTF byte stream into braces, control words, control symbols and
// text bytes.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace kavelin::rtf {

// The source is exhausted; parsers treat it as the end of input.
class ERtfSourceEnded : public std::runtime_error {
public:
    ERtfSourceEnded() : std::runtime_error("slutt") {}
};

enum class TSymType { ckwAsterisk, ckwBin, cKeyWord, cLeftBrace, cRightBrace, cTekst };

class TRtfTokenizer {
public:
    // The source must outlive the tokenizer.
    explicit TRtfTokenizer(std::string_view source);

    // The next token; throws ERtfSourceEnded at the end of the source.
    TSymType Read();
    // The last token is delivered again by the next Read.
    void PushBack() { ispushedback = true; }

    TSymType symboltype = TSymType::cTekst;
    std::string word;           // control word (letters) or control symbol, without backslash
    bool harparameter = false;  // a numeric parameter was present
    int parambuffer = 0;        // its value, sign applied, saturated to 32 bits
    unsigned char text = 0;     // the byte of a text token
    std::string binbuffer;      // payload of "bin"

    int getParam(int def) const { return harparameter ? parambuffer : def; }
    // False only for an explicit parameter 0.
    bool getboolean() const { return !harparameter || parambuffer != 0; }
    bool token(std::string_view w) const { return symboltype == TSymType::cKeyWord && word == w; }
    // The raw bytes of the current token, as they stand in the source.
    std::string_view raw() const { return sstrm.substr(tokStart, tokEnd - tokStart); }

private:
    void readControl();

    std::string_view sstrm;
    size_t pos = 0;
    size_t tokStart = 0, tokEnd = 0;
    bool ispushedback = false;
};

}  // namespace kavelin::rtf
