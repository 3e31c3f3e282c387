// The abstract output surface of the document engine. All coordinates are
// twips; a surface converts them to its device units. Text is measured and
// drawn in the surface's current character state (FCharStatus).
#pragma once

#include <string_view>
#include <vector>

#include "app/rtf/charstatus.h"
#include "app/rtf/geometry.h"

namespace kavelin::rtf {

class TTextGraphic;
class TPrintablePicture;

struct TTextMetrics {
    int Ascent = 0;
    int Descent = 0;
    int Leading = 0;
    int SubscriptSize = 0;
    int SubscriptOffset = 0;
    int SuperscriptOffset = 0;
};

enum class TLineStyle { lsSolid, lsDash, lsDot, lsDashDot, lsDashDotDot, lsClear };

// Whoever lays out on a surface; fills in page numbers before they are shown.
class TDrawingSurfaceOwner {
public:
    virtual ~TDrawingSurfaceOwner() = default;
    virtual void FillTextGraphic(TTextGraphic& graphic) {}
};

class TDrawingSurface {
public:
    virtual ~TDrawingSurface() = default;

    TDrawingSurfaceOwner* FOwner = nullptr;
    TColor FColor = clWhite;   // background colour under the text being drawn
    TCharStatus FCharStatus;   // current character state
    double FSkala = 1.0;       // scale factor
    int FOrigo = 0;            // origin offset, tenths of a millimetre

    // Device pages; the page formatter brackets every page with these.
    virtual void BeginPage(const TSize& paper) {}
    virtual void EndPage() {}

    virtual TTextMetrics GetTextMetrics() = 0;
    // Width of text in the current character state (hidden text has none).
    virtual int TextLength(std::u16string_view text) = 0;
    // Draws text with its base line at y.
    virtual void TextOut(int x, int y, std::u16string_view text) = 0;
    // Text turned counter-clockwise by angle degrees about its base-line start.
    virtual void TextOutRotated(int x, int y, std::u16string_view text, double angleDeg) { TextOut(x, y, text); }

    virtual void FillRect(const TRect& r, TColor color) = 0;
    virtual void Pen(int width, TColor color, TLineStyle style) = 0;
    virtual void Line(TPoint from, TPoint to) = 0;
    // Outline with the pen, filled with FColor.
    virtual void Rectangle(const TRect& r) = 0;
    virtual void Ellipse(const TRect& r) = 0;
    virtual void Polyline(const std::vector<TPoint>& points) = 0;
    // Arc of the ellipse inscribed in box, counter-clockwise from start to end angle (degrees).
    virtual void Arc(const TRect& box, double startDeg, double spanDeg) = 0;
    // Clip to r; nullptr removes the clip.
    virtual void SetClip(const TRect* r) = 0;
    virtual void DrawPicture(const TPrintablePicture& picture, const TRect& dest) = 0;
};

}  // namespace kavelin::rtf
