#include "app/rtf/drawing.h"

#include <algorithm>

namespace kavelin::rtf {

void TRectGraphic::Draw(TDrawingSurface& surface, TPoint origin, double) {
    TColor background = surface.FColor;
    surface.Pen(Linewidth, LineColor, LineStyle);
    surface.FColor = BackgrColor;
    TRect r = bounds();
    r.left += origin.x, r.right += origin.x;
    r.top += origin.y, r.bottom += origin.y;
    DrawShape(surface, r);
    surface.FColor = background;
}

void TPolyLine::DrawShape(TDrawingSurface& surface, const TRect& r) {
    std::vector<TPoint> pts;
    pts.reserve(fpoints.size());
    for (TPoint p : fpoints) pts.push_back({p.x + r.left, p.y + r.top});
    surface.Polyline(pts);
}

void TArc::DrawShape(TDrawingSurface& surface, const TRect& r) {
    int w = r.width(), h = r.height();
    TPoint centre{fflipy ? r.left : r.right, fflipx ? r.bottom : r.top};
    // Counter-clockwise angles with y up: the quarter towards the box's inside.
    double start = fflipx ? (fflipy ? 0 : 90) : (fflipy ? 270 : 180);
    surface.Arc({centre.x - w, centre.y - h, centre.x + w, centre.y + h}, start, 90);
}

void TTextBox::SetWidth(int w) {
    TRectGraphic::SetWidth(w);
    txt.SetWidth(std::max(0, w - internmarg.left - internmarg.right));
}

void TTextBox::FormatText(TDrawingSurface& surface) {
    txt.SetWidth(std::max(0, fSize.cx - internmarg.left - internmarg.right));
    txt.Format(surface, fSize.cy);
}

void TTextBox::DrawShape(TDrawingSurface& surface, const TRect& r) {
    if (Linewidth > 0) surface.Rectangle(r);
    FormatText(surface);
    TRect clip{r.left - 1000, r.top, r.right, r.top + r.height() - internmarg.bottom};
    surface.SetClip(&clip);
    txt.Draw(surface, {r.left + internmarg.left, r.top + internmarg.top});
    surface.SetClip(nullptr);
}

void TCallOutGraphic::FormatText(TDrawingSurface& surface) {
    if (fTextBox) fTextBox->FormatText(surface);
}

void TCallOutGraphic::DrawShape(TDrawingSurface& surface, const TRect& r) {
    if (fPolyLine) fPolyLine->Draw(surface, {r.left, r.top});
    if (fTextBox) fTextBox->Draw(surface, {r.left, r.top});
}

void TGroupGraphic::FormatText(TDrawingSurface& surface) {
    for (auto& g : elements) g->FormatText(surface);
}

void TGroupGraphic::DrawShape(TDrawingSurface& surface, const TRect& r) {
    for (auto& g : elements) g->Draw(surface, {r.left, r.top});
}

TDrawingObject::TDrawingObject(std::unique_ptr<TRectGraphic> graphic) : e(std::move(graphic)) {
    TekstBryt = dynamic_cast<TTextBox*>(e.get()) != nullptr;
}

void TDrawingObject::Draw(TDrawingSurface& surface, TPoint topLeft, double scale) {
    e->Draw(surface, {topLeft.x - e->fTopLeft.x, topLeft.y - e->fTopLeft.y}, scale);
}

}  // namespace kavelin::rtf
