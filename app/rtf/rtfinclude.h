// Conversion of an included RTF file into a body that can stand inside the
// including document: its fonts and colours are added to the including
// document's tables and renumbered, its header groups are left out.
#pragma once

#include <string>
#include <string_view>

#include "app/rtf/rtfparser.h"

namespace kavelin::rtf {

// The converted body of rtf. With includeHeader, header and footer groups
// are kept (converted like the body). Throws ERtfError for what is not RTF.
std::string convertIncludedRtf(std::string_view rtf, TRtfFileSettings& target, bool includeHeader);

class TRtfIncludeParser : public TRtfFileParser {
public:
    TRtfIncludeParser(TRtfFileSettings& own, TRtfFileSettings& target, bool includeHeader);

    std::string utRTF;  // the converted body
    // Writes out what is held back; called at the end.
    void finish();

protected:
    void OpenBrace(TRtfTokenizer& t) override;
    void CloseBrace(TRtfTokenizer& t) override;
    bool CtrlWordHandler(TRtfTokenizer& t) override;
    void TextHandler(TRtfTokenizer& t, unsigned char b) override;
    void DefaultToken(TRtfTokenizer& t) override;

private:
    void emit(std::string_view s, bool content = false);
    void flush();
    void mapColors();
    void mapFonts();
    int font(int n) const;
    int color(int n) const;

    TRtfFileSettings& ftarget;
    bool tamedhdrftr;
    bool erPara = false;
    std::vector<int> colorindex;
    std::vector<std::pair<int, int>> fontTableIndexes;  // included number, including number
    std::string buffer;
    bool SubstansIBuffer = false;
    std::vector<bool> written;  // per open group: its brace was written
};

}  // namespace kavelin::rtf
