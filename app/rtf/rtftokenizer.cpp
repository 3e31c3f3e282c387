#include "app/rtf/rtftokenizer.h"

#include <algorithm>
#include <cstdint>

namespace kavelin::rtf {

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

TRtfTokenizer::TRtfTokenizer(std::string_view source) : sstrm(source) {}

TSymType TRtfTokenizer::Read() {
    if (ispushedback) {
        ispushedback = false;
        return symboltype;
    }
    while (pos < sstrm.size() && (sstrm[pos] == '\r' || sstrm[pos] == '\n')) ++pos;
    if (pos >= sstrm.size()) throw ERtfSourceEnded();
    tokStart = pos;
    char c = sstrm[pos++];
    word.clear();
    harparameter = false;
    parambuffer = 0;
    switch (c) {
    case '\t':
        symboltype = TSymType::cKeyWord;
        word = "tab";
        break;
    case '{': symboltype = TSymType::cLeftBrace; break;
    case '}': symboltype = TSymType::cRightBrace; break;
    case '\\': readControl(); break;
    default:
        symboltype = TSymType::cTekst;
        text = static_cast<unsigned char>(c);
    }
    tokEnd = pos;
    return symboltype;
}

void TRtfTokenizer::readControl() {
    symboltype = TSymType::cKeyWord;
    if (pos >= sstrm.size()) {
        word = "\\";  // a lone backslash at the end stands for itself
        return;
    }
    char c = sstrm[pos++];
    if (c == '\r' || c == '\n') {
        word = "par";
        return;
    }
    if (c == '*') {
        symboltype = TSymType::ckwAsterisk;
        word = "*";
        return;
    }
    if (!isLetter(c)) {
        word.assign(1, c);
        if (c == '\'') {
            // Two hexadecimal digits follow; fewer give no byte.
            int v = 0, n = 0;
            while (n < 2 && pos < sstrm.size() && hexValue(sstrm[pos]) >= 0) v = v * 16 + hexValue(sstrm[pos++]), ++n;
            harparameter = n == 2;
            parambuffer = v;
        }
        return;
    }
    word.assign(1, c);
    while (pos < sstrm.size() && isLetter(sstrm[pos])) {
        if (word.size() < 80) word.push_back(sstrm[pos]);
        ++pos;
    }
    bool negative = false;
    if (pos < sstrm.size() && sstrm[pos] == '-' && pos + 1 < sstrm.size() && isDigit(sstrm[pos + 1])) {
        negative = true;
        ++pos;
    }
    if (pos < sstrm.size() && isDigit(sstrm[pos])) {
        harparameter = true;
        std::int64_t v = 0;
        while (pos < sstrm.size() && isDigit(sstrm[pos])) {
            if (v < 10'000'000'000LL) v = v * 10 + (sstrm[pos] - '0');
            ++pos;
        }
        if (negative) v = -v;
        if (v > INT32_MAX) v = INT32_MAX;
        if (v < -INT32_MAX) v = -INT32_MAX;
        parambuffer = static_cast<int>(v);
    }
    if (pos < sstrm.size() && sstrm[pos] == ' ') ++pos;
    if (word == "bin") {
        symboltype = TSymType::ckwBin;
        size_t n = parambuffer > 0 ? static_cast<size_t>(parambuffer) : 0;
        n = std::min(n, sstrm.size() - pos);
        binbuffer.assign(sstrm.substr(pos, n));
        pos += n;
    }
}

}  // namespace kavelin::rtf
