// Merge mode: copies an RTF document token by token, replacing every field
// by its evaluated result, so that the copy holds no fields.
#pragma once

#include <string>
#include <vector>

#include "app/rtf/rtfdocparser.h"

namespace kavelin::rtf {

class TRTFFletteReader : public TRtfFileParser {
public:
    // The merged body goes to target; the document settings stay in settings
    // (WriteToStream writes them around the body).
    TRTFFletteReader(TRtfFileSettings& settings, TFieldComputer& fields, std::string& target);

    void Clear();

protected:
    void OpenBrace(TRtfTokenizer& t) override;
    void CloseBrace(TRtfTokenizer& t) override;
    bool CtrlWordHandler(TRtfTokenizer& t) override;
    void TextHandler(TRtfTokenizer& t, unsigned char b) override;
    void DefaultToken(TRtfTokenizer& t) override;
    void DoOnUserProps(TRtfTokenizer& t) override;

private:
    void write(std::string_view s);

    TFieldComputer& fields;
    std::string& targetstream;
    int lnl = 0;  // bytes since the last line break
    int depth = 0;  // field results being read in place
    std::vector<bool> written;  // per open group: its brace was written
};

}  // namespace kavelin::rtf
