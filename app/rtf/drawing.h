// Vector drawings: rectangles, ellipses, polylines, arcs, text boxes,
// callouts and groups, and the page-relative object that carries one.
#pragma once

#include <memory>
#include <vector>

#include "app/rtf/document.h"

namespace kavelin::rtf {

class TRectGraphic : public TImage {
public:
    TPoint fTopLeft;  // relative to the owner's origin
    TSize fSize;
    TLineStyle LineStyle = TLineStyle::lsSolid;
    int Linewidth = 0;
    TColor LineColor = clBlack;
    TColor BackgrColor = clWhite;
    TColor ForegrColor = clBlack;
    int LineGray = 0, BackgrGray = 0, ForegrGray = 0;  // read, not drawn
    int fillPattern = 0;                               // read, not drawn

    int GetHeight() const override { return fSize.cy; }
    int GetWidth() const override { return fSize.cx; }
    void SetWidth(int w) override { fSize.cx = w; }
    void SetHeight(int h) override { fSize.cy = h; }
    TRect bounds() const { return {fTopLeft.x, fTopLeft.y, fTopLeft.x + fSize.cx, fTopLeft.y + fSize.cy}; }

    // Draws with origin as the owner's origin: pen and background of the
    // graphic, then the shape; the background colour is put back.
    void Draw(TDrawingSurface& surface, TPoint origin, double scale = 1.0) override;
    // Lays out contained text before drawing.
    virtual void FormatText(TDrawingSurface&) {}

protected:
    virtual void DrawShape(TDrawingSurface& surface, const TRect& r) = 0;
};

class TRectangle : public TRectGraphic {
protected:
    void DrawShape(TDrawingSurface& surface, const TRect& r) override { surface.Rectangle(r); }
};

class TEllipse : public TRectGraphic {
protected:
    void DrawShape(TDrawingSurface& surface, const TRect& r) override { surface.Ellipse(r); }
};

class TPolyLine : public TRectGraphic {
public:
    std::vector<TPoint> fpoints = std::vector<TPoint>(2);  // relative to fTopLeft

protected:
    void DrawShape(TDrawingSurface& surface, const TRect& r) override;
};

// The quarter of an ellipse that lies in the bounds; its centre is a corner.
class TArc : public TRectGraphic {
public:
    bool fflipx = false, fflipy = false;

protected:
    void DrawShape(TDrawingSurface& surface, const TRect& r) override;
};

class TTextBox : public TRectGraphic {
public:
    TMargins internmarg{144, 72, 144, 72};
    TTextSequence txt;

    void SetWidth(int w) override;
    void FormatText(TDrawingSurface& surface) override;

protected:
    void DrawShape(TDrawingSurface& surface, const TRect& r) override;
};

class TCallOutGraphic : public TRectGraphic {
public:
    std::unique_ptr<TTextBox> fTextBox;
    std::unique_ptr<TPolyLine> fPolyLine;
    void FormatText(TDrawingSurface& surface) override;

protected:
    void DrawShape(TDrawingSurface& surface, const TRect& r) override;
};

class TGroupGraphic : public TRectGraphic {
public:
    std::vector<std::unique_ptr<TRectGraphic>> elements;  // relative to the group
    void FormatText(TDrawingSurface& surface) override;

protected:
    void DrawShape(TDrawingSurface& surface, const TRect& r) override;
};

// Marks the end of a group while reading.
class TGroupEndDummy : public TRectGraphic {
protected:
    void DrawShape(TDrawingSurface&, const TRect&) override {}
};

// A drawing placed relative to the page, column or paragraph.
class TDrawingObject : public TPageRelative {
public:
    explicit TDrawingObject(std::unique_ptr<TRectGraphic> graphic);
    std::unique_ptr<TRectGraphic> e;

    int GetWidth() const override { return e->GetWidth(); }
    int GetHeight() const override { return e->GetHeight(); }
    TPoint GetRelPos() const override { return e->fTopLeft; }
    void SetRelPos(TPoint p) override { e->fTopLeft = p; }
    void SetRelXpos(int x) override { e->fTopLeft.x = x; }
    void SetRelYpos(int y) override { e->fTopLeft.y = y; }
    void FormatFor(TDrawingSurface& surface, int columnWidth) override { e->FormatText(surface); }
    // Draws the graphic with its top left at topLeft.
    void Draw(TDrawingSurface& surface, TPoint topLeft, double scale = 1.0) override;
};

}  // namespace kavelin::rtf
