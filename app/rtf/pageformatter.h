// Distributes the sections of a document over pages of a drawing surface:
// columns, page breaks, keep-together, keep-with-next, widow control,
// repeated table headers, header and footer texts, page numbers and
// page-relative objects that text keeps clear of.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/rtf/document.h"
#include "app/rtf/graphics.h"

namespace kavelin::rtf {

// The free area of one column: rectangles that text must keep clear of.
// Text does not flow beside an object: a line is placed only where the
// whole column width is free, so a list of rectangles gives the same
// placement as left and right boundary profiles.
class TSpalteProfil {
public:
    void Clear() { rects.clear(); }
    void Merge(const TRect& r);
    // The first y at or below y where a band of height h is free over [left, right).
    int FindRoom(int y, int h, int left, int right) const;
    const std::vector<TRect>& obstacles() const { return rects; }

private:
    std::vector<TRect> rects;
};

class TPageFormatter : public TDrawingSurfaceOwner {
public:
    explicit TPageFormatter(TDrawingSurface& media);
    ~TPageFormatter() override;

    // Lays out and draws the document; returns the lowest y used on the last page.
    int PrintDocument(TDocument& doc);
    // Prints an item again at the current position (a table's header row).
    void PrintRepeated(TPrintable& item);

    std::function<std::u16string(int)> OnPageNumber;
    bool ShowHeaderFooter = true;
    bool NoAutoScale = false;
    // Lay the document out once without drawing first, so that page-count
    // graphics show the real total.
    bool CountPagesFirst = true;
    int ColumnSpace = 720;

    int pageNumber() const { return FPageNumber; }
    int numPages() const { return FNumPages; }
    int physicalPages() const { return FPhysicalPages; }
    const TRect& page() const { return Page; }
    int currPosY() const { return CurrPosY; }

    void FillTextGraphic(TTextGraphic& graphic) override;

protected:
    virtual void BeginPage();
    virtual void EndPage();
    virtual void NewPage();
    virtual void PrintSection(TTextSection& section, bool first);
    // False while pages are only counted.
    bool drawing() const { return FDrawing; }

    TDrawingSurface& Media;
    TDocument* FDoc = nullptr;
    TRect Page;
    TMargins PageMargins;
    int CurrPosY = 0;
    int UnprintableY = 0;
    int CurrColumn = 0;
    int fColumns = 1;
    int MaxRelY = 0;
    int FPageNumber = 0;
    int FNumPages = 0;
    int FSectionNumber = 0;
    int FPhysicalPages = 0;
    bool FIsFirstPageInSection = false;
    TTextSequence* header = nullptr;
    TTextSequence* footer = nullptr;
    int headerMarg = 0;
    int footerMarg = 0;
    int HeaderY = 720;
    int FooterY = 720;

private:
    struct KeepEntry {
        TFormatable* owner;
        TPrintable* item;
    };
    struct poqnode {
        TRect RefRect;  // where the object goes
        TPageRelative* g;
    };

    int textTop() const;
    int textBottom() const;
    int textLeft() const { return Page.left + PageMargins.left; }
    int textRight() const { return Page.right - PageMargins.right; }
    int columnWidth() const;
    int columnLeft() const;

    void run(TDocument& doc);
    void ensurePage();
    bool RoomCheck(int height);
    void NextColumn();
    void PrintElement(TPageElement& e);
    void PrintFormatable(TFormatable& f);
    void PrintRelative(TPageRelative& r);
    void PrintItem(TPrintable& item);
    void FlushKeepQ();
    void drawAt(TImage& image, TPoint p);

    bool FDrawing = true;
    bool pageOpen = false;
    bool pageHasContent = false;
    bool columnHasContent = false;
    int columnTop = 0;
    std::vector<KeepEntry> KeepNQ;
    std::vector<poqnode> PosObjectQ;
    TSpalteProfil ColumnProfil;
    TDrawingSurfaceOwner* FSavedOwner = nullptr;
};

}  // namespace kavelin::rtf
