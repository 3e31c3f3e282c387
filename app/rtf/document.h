// The document: sections of item sequences, positioned frames, header and
// footer texts and the document-wide settings.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/rtf/elements.h"

namespace kavelin::rtf {

// An ordered list of page elements: a section body, a header or footer text,
// a table cell or the contents of a frame.
class TTextSequence : public TFormatable {
public:
    std::vector<std::unique_ptr<TPageElement>> FTextItems;
    const TDrawingSurface* FormattedWith = nullptr;
    int ActualWidth = 0;

    void Add(std::unique_ptr<TPageElement> item) { FTextItems.push_back(std::move(item)); }
    TPageElement* At(int index) const { return FTextItems[static_cast<size_t>(index)].get(); }
    TPrintable* Item(int index) override { return At(index); }
    int ItemCount() const override { return static_cast<int>(FTextItems.size()); }
    // Formats the formatables one below the other; the last is padded to minheight.
    void Format(TDrawingSurface& papir, int minheight) override;
};

// Frame position of paragraphs ("absw", "posx", "phpg", ...).
struct TPosFrame {
    int width = 0;   // 0: the column width
    int height = 0;  // positive: at least; negative: exactly; 0: the contents
    int x = 0;
    int y = 0;
    bool hasX = false;
    bool hasY = false;
    THorReference hor = THorReference::haColumn;
    TVertReference vert = TVertReference::vaPara;
    bool overlay = false;

    // Only a frame with a size or position takes paragraphs out of the flow.
    bool active() const { return width != 0 || height != 0 || hasX || hasY; }
    bool operator==(const TPosFrame&) const = default;
};

// A positioned frame holding paragraphs.
class TTextFrame : public TPageRelative {
public:
    explicit TTextFrame(const TPosFrame& pos);
    TTextSequence Innhald;
    TPosFrame FPos;

    int GetWidth() const override;
    int GetHeight() const override;
    void FormatFor(TDrawingSurface& surface, int columnWidth) override;
    void Draw(TDrawingSurface& surface, TPoint topLeft, double scale = 1.0) override;
    bool equals(const TPosFrame& pos) const { return FPos == pos; }

private:
    int FWidth = 0;
};

struct TMargins {
    int left = 1800;
    int top = 1440;
    int right = 1800;
    int bottom = 1440;
    bool operator==(const TMargins&) const = default;
};

enum THdrFtrIndex {
    hf_header, hf_headerLeft, hf_headerRight, hf_headerFirst, hf_footer, hf_footerLeft, hf_footerRight, hf_footerFirst
};

class TTextSection {
public:
    TMargins marg;
    TSize papersize{0, 0};  // 0: the document's
    std::array<std::unique_ptr<TTextSequence>, 8> hdrftr;  // indexed by THdrFtrIndex
    int HeaderY = 720;
    int FooterY = 720;
    int Break = 2;  // 0 none, 1 column, 2 page, 3 even page, 4 odd page
    int NumCols = 1;
    int colspace = 720;
    bool LineBetCol = false;
    bool landscape = false;
    int paperbin = 0;
    int paperbinfirst = 0;
    int PgnStarts = 1;
    bool PgnRestart = false;
    TTextSequence IList;  // the items of the section

    TTextSequence* headerBoth() const { return hdrftr[hf_header].get(); }
    TTextSequence* headerRight() const { return hdrftr[hf_headerRight].get(); }
    TTextSequence* footer() const { return hdrftr[hf_footer].get(); }
};

struct TDocInfoRec {
    std::u16string title, subject, author, operator_, keywords, comment, doccomm;
    double creatim = -1, revtim = -1, printim = -1, buptim = -1;  // days since 1899-12-30, -1 none
    bool present = false;  // the document has an information group
};

class TDocument {
public:
    int width = 0;
    int hyphotz = 720;
    bool hyphauto = false;
    bool autosizing = false;
    TSize papersize{11906, 16838};
    TMargins marg;
    bool facingp = false;
    int gutter = 0;
    bool landscape = false;
    TDocInfoRec info;
    bool UseDocPaperSize = false;

    std::vector<std::unique_ptr<TTextSection>>& sectionList() { return sections; }
    // Starts a section with the current section defaults.
    TTextSection& NewSection();
    TTextSection& CurrSection();
    void SetHeader(THdrFtrIndex index, std::unique_ptr<TTextSequence> sequence);

private:
    std::vector<std::unique_ptr<TTextSection>> sections;
};

}  // namespace kavelin::rtf
