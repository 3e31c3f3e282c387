#include "app/rtf/rtfinclude.h"

#include <algorithm>
#include <charconv>

#include "common/text/casing.h"

namespace kavelin::rtf {

namespace {

std::string num(int v) {
    char b[16];
    auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

bool oneOf(std::string_view w, std::initializer_list<std::string_view> list) {
    return std::find(list.begin(), list.end(), w) != list.end();
}

}  // namespace

std::string convertIncludedRtf(std::string_view rtf, TRtfFileSettings& target, bool includeHeader) {
    TRtfFileSettings own;
    TRtfIncludeParser p(own, target, includeHeader);
    TRtfTokenizer t(rtf);
    p.LoadRTFDocument(t);
    p.finish();
    return p.utRTF;
}

TRtfIncludeParser::TRtfIncludeParser(TRtfFileSettings& own, TRtfFileSettings& target, bool includeHeader)
    : TRtfFileParser(own), ftarget(target), tamedhdrftr(includeHeader) {
    notrlat = true;
}

void TRtfIncludeParser::emit(std::string_view s, bool content) {
    buffer.append(s);
    SubstansIBuffer = SubstansIBuffer || content;
}

void TRtfIncludeParser::flush() {
    utRTF += buffer;
    buffer.clear();
    SubstansIBuffer = false;
}

void TRtfIncludeParser::finish() {
    if (SubstansIBuffer) {
        flush();
        return;
    }
    for (char c : buffer)
        if (c == '{' || c == '}') utRTF.push_back(c);
    buffer.clear();
}

void TRtfIncludeParser::mapColors() {
    colorindex.clear();
    for (TColor c : F.colorTable.colors) colorindex.push_back(ftarget.colorTable.Add(c));
}

void TRtfIncludeParser::mapFonts() {
    fontTableIndexes.clear();
    std::vector<int> targetNumbers = ftarget.fontList.fontTableIndexes();
    for (int n : F.fontList.fontTableIndexes()) {
        const TRtfFontInfo& f = *F.fontList.find(n);
        int to = -1;
        for (int tn : targetNumbers)
            if (kavelin::text::upperCase(ftarget.fontList.find(tn)->Name) == kavelin::text::upperCase(f.Name)) to = tn;
        if (to < 0) {
            to = targetNumbers.empty() ? 0 : *std::max_element(targetNumbers.begin(), targetNumbers.end()) + 1;
            ftarget.fontList.getDef(to) = f;
            targetNumbers.push_back(to);
        }
        fontTableIndexes.emplace_back(n, to);
    }
}

int TRtfIncludeParser::font(int n) const {
    for (auto [from, to] : fontTableIndexes)
        if (from == n) return to;
    return ftarget.defaultFontInx;
}

int TRtfIncludeParser::color(int n) const {
    if (n < 0 || n >= static_cast<int>(colorindex.size())) return 0;
    return colorindex[static_cast<size_t>(n)];
}

void TRtfIncludeParser::OpenBrace(TRtfTokenizer& t) {
    TSymType s;
    bool star = false;
    if (!readGroupStart(t, s, star)) {
        written.push_back(false);
        return;
    }
    if (s == TSymType::cKeyWord) {
        bool fonts = t.token("fonttbl"), colors = t.token("colortbl");
        if (TRtfFileParser::BeginGroupHandler(t, star)) {
            if (fonts) mapFonts();
            if (colors) mapColors();
            written.push_back(false);
            return;
        }
        bool hdrftr = t.word.rfind("header", 0) == 0 || t.word.rfind("footer", 0) == 0;
        if (hdrftr && t.word != "headery" && t.word != "footery") {
            if (!tamedhdrftr) {
                skipGroup(t);
                written.push_back(false);
                return;
            }
            emit(star ? "{\\*" : "{");
            written.push_back(true);
            t.PushBack();
            return;
        }
    }
    if (!erPara && star) {
        // Starred groups before the body are document settings of the included file.
        if (s != TSymType::cRightBrace) skipGroup(t);
        else t.PushBack();
        written.push_back(false);
        return;
    }
    written.push_back(erPara);
    if (erPara) emit(star ? "{\\*" : "{");
    t.PushBack();
}

void TRtfIncludeParser::CloseBrace(TRtfTokenizer&) {
    if (written.empty()) return;
    if (written.back()) emit("}");
    written.pop_back();
}

bool TRtfIncludeParser::CtrlWordHandler(TRtfTokenizer& t) {
    if (TRtfFileParser::CtrlWordHandler(t)) return true;
    const std::string& w = t.word;
    bool hasDefault = F.fontList.find(F.defaultFontInx) != nullptr;
    if (w == "pard") {
        emit(hasDefault ? "\\pard\\f" + num(font(F.defaultFontInx)) + " " : std::string("\\pard "));
        erPara = true;
    } else if (w == "trowd") {
        emit("\\trowd ");
        erPara = true;
    } else if (!erPara) {
        return true;
    } else if (w == "f") {
        emit("\\f" + num(font(t.getParam(0))) + " ");
    } else if (w == "plain") {
        emit(hasDefault ? "\\plain\\f" + num(font(F.defaultFontInx)) + " " : std::string("\\plain "));
    } else if (oneOf(w, {"cf", "brdrcf", "cfpat", "cbpat", "clcfpat", "clcbpat"})) {
        emit("\\" + w + num(color(t.getParam(0))) + " ");
    } else if (oneOf(w, {"headery", "footery", "pgnstarts", "pgncont", "pgnrestart", "lndscpsxn", "cs", "s", "ds",
                         "paperw", "paperh", "margl", "margr", "margt", "margb", "landscape", "facingp", "gutter",
                         "deftab", "widowctrl"})) {
        // section words, style references and the included file's page settings stay out
    } else if (w == "par") {
        flush();
        utRTF += t.raw();
    } else {
        emit(t.raw(), t.symboltype == TSymType::ckwBin || specialSymbol(t) >= 0 || w == "u");
    }
    return true;
}

void TRtfIncludeParser::TextHandler(TRtfTokenizer& t, unsigned char) {
    if (erPara) emit(t.raw(), true);
}

void TRtfIncludeParser::DefaultToken(TRtfTokenizer& t) {
    if (erPara) emit(t.raw());
}

}  // namespace kavelin::rtf
