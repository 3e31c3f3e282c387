#include "app/rtf/rtfmerge.h"

#include "app/rtf/fieldcomputer.h"

namespace kavelin::rtf {

TRTFFletteReader::TRTFFletteReader(TRtfFileSettings& settings, TFieldComputer& f, std::string& target)
    : TRtfFileParser(settings), fields(f), targetstream(target) {
    notrlat = true;
}

void TRTFFletteReader::Clear() {
    lnl = 0;
    targetstream.clear();
}

void TRTFFletteReader::write(std::string_view s) {
    targetstream.append(s);
    lnl += static_cast<int>(s.size());
}

void TRTFFletteReader::OpenBrace(TRtfTokenizer& t) {
    TSymType s;
    bool star = false;
    if (!readGroupStart(t, s, star)) {
        written.push_back(false);
        return;
    }
    if (s == TSymType::cKeyWord) {
        if (t.word == "field") {
            TRtfFieldParser fp;
            fp.ReadRTF(t);
            if (depth < MaxFieldDepth) fields.ComputeField(*this, fp);
            write("{");
            written.push_back(true);
            if (!fp.fldrslt.empty()) {
                std::string result = groupContent(fp.fldrslt);
                TRtfTokenizer rt(result);
                ++depth;
                try {
                    ReadRTF(rt);
                } catch (...) {
                    --depth;
                    throw;
                }
                --depth;
            }
            return;
        }
        if (t.word == "literal") {
            write("{");
            written.push_back(true);
            TRtfCopier copy;
            copy.ReadRTF(t);
            write(copy.outstrm);
            return;
        }
        if (TRtfFileParser::BeginGroupHandler(t, star)) {
            written.push_back(false);
            return;
        }
    }
    write(star ? "{\\*" : "{");
    written.push_back(true);
    t.PushBack();
}

void TRTFFletteReader::CloseBrace(TRtfTokenizer&) {
    if (written.empty()) return;
    if (written.back()) write("}");
    written.pop_back();
}

bool TRTFFletteReader::CtrlWordHandler(TRtfTokenizer& t) {
    if (TRtfFileParser::CtrlWordHandler(t)) return true;
    if (lnl > 80) {
        targetstream += "\r\n";
        lnl = 0;
    }
    write(t.raw());
    return true;
}

void TRTFFletteReader::TextHandler(TRtfTokenizer& t, unsigned char) { write(t.raw()); }

void TRTFFletteReader::DefaultToken(TRtfTokenizer& t) { write(t.raw()); }

void TRTFFletteReader::DoOnUserProps(TRtfTokenizer&) { throw EFieldNotSupported("TRTFFletteReader.DoOnUserProps"); }

}  // namespace kavelin::rtf
