// One paragraph: a byte buffer of 8-bit text with embedded format commands,
// broken into lines for a width on a surface.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/rtf/formatdefs.h"
#include "app/rtf/graphics.h"

namespace kavelin::rtf {

class TAttributedText;

// Command bytes of the paragraph buffer.
namespace cmd {
constexpr unsigned char end = 0, graphic = 5, format = 6, color = 8, tab = 9, lineBreak = 10, pageBreak = 12,
                        nbSpace = 24, nbHyphen = 25, optHyphen = 28;
// Types of a format command.
constexpr unsigned char fmtFont = 1, fmtHeight = 2, fmtAttrib = 4, fmtAttribSet = 5, fmtExpansion = 6,
                        fmtDisplacement = 7;
}  // namespace cmd

// A vertical piece of a paragraph.
class TTextSpace : public TPrintable {
public:
    int Descent = 0;
    TAttributedText* par = nullptr;
    int TotLineLength = 0;
    int FHeight = 0;

    int GetHeight() const override { return FHeight; }
    int GetWidth() const override { return TotLineLength; }
    void SetHeight(int h) override { FHeight = h; }
};

// An empty band: space before or after, border space or filler.
class TVerticalSpace : public TTextSpace {
public:
    enum Kind { Space, TopBorder, BottomBorder };
    Kind kind = Space;
    unsigned rmask = 0;  // 1: the left border crosses it, 2: the right border
    bool IsVerticalSpace() const override { return true; }
    void Draw(TDrawingSurface& surface, TPoint topLeft, double scale = 1.0) override;
};

// One line of a paragraph.
class TTextLine : public TTextSpace {
public:
    size_t LineBgnInx = 0;  // first byte of the line in the paragraph buffer
    size_t LineEndInx = 0;  // one past its last byte
    int Indent = 0;         // x offset of the line
    int Ascent = 0;
    int BreakCount = 0;     // spaces that take the extra width of justification
    bool ersistelinje = false;  // last line of the paragraph
    bool SoftHyphen = false;    // the line ends at a hyphenation point: print "-"
    TCharStatus FState;         // character state at the line's start

    void Draw(TDrawingSurface& surface, TPoint topLeft, double scale = 1.0) override;
};

class TAttributedText : public TFormatable {
public:
    TAttributedText();
    explicit TAttributedText(const TCharStatus& start);

    std::vector<std::unique_ptr<TTextSpace>> FComLst;         // lines and bands
    std::vector<std::unique_ptr<TInlineGraphic>> FGraphicList;
    std::string Buff;       // content; commands below 32 as documented in cmd
    TCharStatus FStartStatus;  // character state before the first byte
    int FTextWidth = 0;
    bool FWidCtrl = false;
    int FFirstLineIndent = 0;
    TTextAlign FAlign = TTextAlign::taLeft;
    int FSpaceBefore = 0;
    int FSpaceAfter = 0;
    bool FKeep = false;
    bool FKeepWithNext = false;
    bool FPageBreakBefore = false;
    TTabs FTabs;
    bool BorderFirst = true;  // opens a run of paragraphs sharing one border
    bool BorderLast = true;   // closes it
    TBorderDefRec Borders;    // also holds the left and right indent
    TColor color = clWhite;   // fill colour
    int LineSpace = 0;        // 0 automatic, positive at least, negative exactly

    // Content.
    void TextOut(std::string_view bytes);
    void ChangeFontName(const std::u16string& name, std::uint8_t charset);
    void ChangeFontHeight(int twips);
    void ChangeFontColor(TColor c);
    void ChangeVerticalDisplacement(int twips);
    void ChangeExpansion(int twips);
    void SetAttribute(TCharAttributes bit, bool on);
    void SetAttributes(TCharAttributes set);
    void Tabulator();
    void LineBreak();
    void PageBreak();
    void NonBreakingSpace();
    void NonBreakingHyphen();
    void OptionalHyphen();
    void AddGraphic(std::unique_ptr<TInlineGraphic> graphic);
    void ChangeKerning(int) {}
    bool IsEmpty() const { return Buff.empty(); }
    size_t FUsedBuffLen() const { return Buff.size(); }

    // TFormatable
    bool GetWidowCtrl() const override { return FWidCtrl; }
    void SetWidowCtrl(bool on) override { FWidCtrl = on; }
    TPrintable* Item(int index) override { return FComLst[static_cast<size_t>(index)].get(); }
    int ItemCount() const override { return static_cast<int>(FComLst.size()); }
    bool GetKeep() const override { return FKeep; }
    bool GetKeepWithNext() const override { return FKeepWithNext; }
    bool GetPageBreakBefore() const override { return FPageBreakBefore; }
    void SetKeep(bool on) override { FKeep = on; }
    void SetKeepWithNext(bool on) override { FKeepWithNext = on; }
    void SetPageBreakBefore(bool on) override { FPageBreakBefore = on; }
    void Format(TDrawingSurface& papir, int minheight) override;

    int leftIndent() const { return Borders.FIndent.left; }
    int rightIndent() const { return Borders.FIndent.right; }
    // Lines only (no bands), in order.
    std::vector<TTextLine*> lines() const;

    // Applies the command at index to the character state; returns its length.
    size_t applyCommand(size_t index, TCharStatus& state) const;
    void drawLine(TDrawingSurface& surface, const TTextLine& line, TPoint topLeft);
    void drawBand(TDrawingSurface& surface, const TTextSpace& item, TPoint topLeft, unsigned sides);

private:
    void putFormat(unsigned char type, int value);
};

}  // namespace kavelin::rtf
