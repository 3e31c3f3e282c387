// The printable hierarchy of the document model: every item that can be
// measured and drawn, elements laid out in the text flow (formatables) and
// elements placed relative to the page.
#pragma once

#include <functional>

#include "app/rtf/surface.h"

namespace kavelin::rtf {

class TPageFormatter;

class TImage {
public:
    virtual ~TImage() = default;
    virtual int GetHeight() const = 0;
    virtual int GetWidth() const = 0;
    virtual void SetWidth(int) {}
    virtual void SetHeight(int) {}
    virtual void Draw(TDrawingSurface& surface, TPoint topLeft, double scale = 1.0) = 0;
};

class TPrintable : public TImage {
public:
    bool PageBreak = false;  // a page break precedes this item
    virtual bool IsVerticalSpace() const { return false; }
};

class TPageElement : public TPrintable {
public:
    int ZOrder = 0;
};

// An element that must be formatted for a width before it has a height.
// Its items (lines or rows) are what the page formatter distributes.
class TFormatable : public TPageElement {
public:
    // Called when the element continues on a new column or page.
    std::function<void(TPageFormatter&)> FOnPageBreakInTable;
    int FormalWidth = 0;
    int FHeight = 0;

    int GetHeight() const override { return FHeight; }
    int GetWidth() const override { return FormalWidth; }
    void SetWidth(int w) override { FormalWidth = w; }
    void SetHeight(int h) override { FHeight = h; }

    virtual bool GetWidowCtrl() const { return false; }
    virtual void SetWidowCtrl(bool) {}
    virtual TPrintable* Item(int index) = 0;
    virtual bool GetKeep() const { return false; }
    virtual bool GetKeepWithNext() const { return false; }
    virtual bool GetPageBreakBefore() const { return false; }
    virtual void SetKeep(bool) {}
    virtual void SetKeepWithNext(bool) {}
    virtual void SetPageBreakBefore(bool) {}
    virtual void Format(TDrawingSurface& papir, int minheight) = 0;
    virtual int ItemCount() const = 0;

    // Draws the items one below the other and restores the character state.
    void Draw(TDrawingSurface& surface, TPoint topLeft, double scale = 1.0) override;
};

enum class TVertReference { vaPara, vaMargin, vaPage };
enum class THorReference { haColumn, haMargin, haPage };

// Position codes resolved against the reference rectangle.
namespace poscode {
constexpr int xCenter = -30001, xRight = -30002, xInside = -30003, xOutside = -30004;
constexpr int yCenter = -30005, yBottom = -30006, yInline = -30007;
}  // namespace poscode

// An element placed relative to the page rather than in the text flow.
class TPageRelative : public TPageElement {
public:
    TVertReference VertRef = TVertReference::vaPara;
    THorReference HorRef = THorReference::haColumn;
    int AvstOver = 0;   // kept free above
    int AvstUnder = 0;  // kept free below
    bool Locked = false;
    bool TekstBryt = true;  // text flows around the element

    virtual TPoint GetRelPos() const { return FRelPos; }
    virtual void SetRelPos(TPoint p) { FRelPos = p; }
    virtual void SetRelXpos(int x) { FRelPos.x = x; }
    virtual void SetRelYpos(int y) { FRelPos.y = y; }
    // Lays out the contents before placement; columnWidth is the width in force.
    virtual void FormatFor(TDrawingSurface& surface, int columnWidth) {}

protected:
    TPoint FRelPos;
};

}  // namespace kavelin::rtf
