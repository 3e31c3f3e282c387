// The document side of the RTF reader: the character and paragraph state
// kept on a stack per group, the paragraph parser that feeds finished
// paragraphs, tables and frames into an item sequence, and the document
// parser that reads a whole file into a TDocument.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/rtf/paragraph.h"
#include "app/rtf/rtfparser.h"
#include "app/rtf/table.h"

namespace kavelin::rtf {

struct TStackableStatus {
    TCharStatus chr;
    TTabs FTabs;
    TTabPos tabDef;  // the tab stop being defined
    TBorderDefRec FBorders;
    bool SuppressLFonPar = false;
    int UniCodeSkipCount = 1;
    TPosFrame PosFrame;
    int fWidCtrl = -1;  // -1: the document's setting
    int ParShading = 0;
    int FirstLineIndent = 0;
    TTextAlign Align = TTextAlign::taLeft;
    int LineSpace = 0;
    int SpaceBefore = 0;
    int SpaceAfter = 0;
    bool Keep = false;
    bool KeepWithNext = false;
    bool PageBreakBefore = false;
    TColor ParBkColor = clWhite;
    TColor ParFgColor = clBlack;
};

class TRtfParagraphParser;

// A field read from a "field" group: the verbatim RTF of its parts.
class TRtfFieldParser : public TRtfGroupParser {
public:
    bool flddirty = false, fldedit = false, fldlock = false, fldpriv = false;
    std::string fldinst;
    std::string fldrslt;

protected:
    bool BeginGroupHandler(TRtfTokenizer& t, bool star) override;
    bool CtrlWordHandler(TRtfTokenizer& t) override;
};

// Computes a new result for a field (merge fields, includes, ...): on
// success the field's fldrslt is replaced and the result is true.
class TFieldComputer {
public:
    virtual ~TFieldComputer() = default;
    virtual bool ComputeField(TRtfFileParser& reader, TRtfFieldParser& field) = 0;
};

// Field results are read in place and may hold fields again (an included
// file that includes itself); deeper results keep their old text.
constexpr int MaxFieldDepth = 16;

class TRtfParagraphParser : public TRtfFileParser {
public:
    // Items go to target; document and section words apply to doc when given.
    TRtfParagraphParser(TRtfFileSettings& settings, TTextSequence& target, TDocument* doc,
                        const TStackableStatus& start);
    ~TRtfParagraphParser() override;

    TFieldComputer* FieldComputer = nullptr;
    bool FMetaOnly = false;
    int FFieldDepth = 0;  // field results being read in place

    // Ends reading: the open paragraph (when it has content) and table are placed.
    void finish();
    // Reads RTF text as if it stood at the current position.
    void readInPlace(std::string_view rtf);
    const TStackableStatus& state() const { return S; }

protected:
    void OpenBrace(TRtfTokenizer& t) override;
    void CloseBrace(TRtfTokenizer& t) override;
    bool BeginGroupHandler(TRtfTokenizer& t, bool star) override;
    bool CtrlWordHandler(TRtfTokenizer& t) override;
    void TextHandler(TRtfTokenizer& t, unsigned char byte) override;
    void DoOnUserProps(TRtfTokenizer& t) override;

private:
    enum class BorderTarget { none, paragraph, row, cell };

    bool documentWord(TRtfTokenizer& t);
    bool frameWord(TRtfTokenizer& t);
    bool actionWord(TRtfTokenizer& t);
    void unicodeChar(int value);

    // Character format changes, applied to the state and the open paragraph.
    void setFont(int number);
    void setCharState(const TCharStatus& to);
    std::unique_ptr<TAttributedText> newParagraph() const;

    void endParagraph(bool evenIfEmpty);
    void placeItem(std::unique_ptr<TPageElement> item, const TPosFrame& pos);
    void ensureTable();
    void ensureRowDef();
    void finishRow();
    void finishTable();
    void modifyBorder(const std::function<void(TBorderSide&)>& change);

    TStackableStatus S;
    std::vector<TStackableStatus> FStateStack;
    int FUnsavedLevels = 0;  // groups deeper than the stack keeps
    std::unique_ptr<TAttributedText> FWrkpar;
    int FSkipchars = 0;
    char16_t FHighSurrogate = 0;

    TTextSequence* FDocRTFstraum;
    TDocument* doc;
    std::unique_ptr<TTableParagraph> FActiveTable;
    std::unique_ptr<TTableRow> FActiveRow;
    TCellDef FCurrCellDef;
    TRowDef* FCurrRowDef = nullptr;
    int cPos = 0;
    bool cellDefined = false;
    bool intable = false;
    TTextFrame* DestinationPosFrame = nullptr;
    TAttributedText* lastPlaced = nullptr;
    BorderTarget FDefiningBorder = BorderTarget::none;
    TBorderIndex FDefiningBorderIndex = biTop;
};

class TRtfDocumentParser {
public:
    // Reads a whole RTF file. With metaOnly, reading stops at the first text,
    // field, picture or drawing, so that only the header groups are read.
    // Throws ERtfError ("No RTF.", "Ikke implementert!").
    static std::unique_ptr<TDocument> LoadRTFDocument(std::string_view rtf, bool metaOnly = false,
                                                      TFieldComputer* fields = nullptr);
};

}  // namespace kavelin::rtf
