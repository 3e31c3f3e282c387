// A drawing surface on a QPainter. Coordinates are twips: the painter is
// scaled from twips to the device's resolution. Fonts are sized in twips
// (pixel size under the scaling), so text metrics do not depend on the device.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <optional>
#include <utility>
#include <vector>

#include "app/rtf/surface.h"

namespace kavelin::rtf {

class TQtSurface : public TDrawingSurface {
public:
    // painter may be null for a surface that only measures.
    TQtSurface(QPainter* painter, double dpiX, double dpiY);

    // Enters twips mode on the painter (scale and origin offset).
    void setMapMode();
    void setPainter(QPainter* painter) { FPainter = painter; }
    QPainter* painter() const { return FPainter; }

    TTextMetrics GetTextMetrics() override;
    int TextLength(std::u16string_view text) override;
    void TextOut(int x, int y, std::u16string_view text) override;
    void TextOutRotated(int x, int y, std::u16string_view text, double angleDeg) override;
    void FillRect(const TRect& r, TColor color) override;
    void Pen(int width, TColor color, TLineStyle style) override;
    void Line(TPoint from, TPoint to) override;
    void Rectangle(const TRect& r) override;
    void Ellipse(const TRect& r) override;
    void Polyline(const std::vector<TPoint>& points) override;
    void Arc(const TRect& box, double startDeg, double spanDeg) override;
    void SetClip(const TRect* r) override;
    void DrawPicture(const TPrintablePicture& picture, const TRect& dest) override;

    // Font substitutions (name, alternative): a face the system does not
    // offer is drawn in its alternative.
    std::vector<std::pair<std::u16string, std::u16string>> FontAlt;

    // The Qt font for a character state (sub- and superscript not applied).
    static QFont fontFor(const TCharStatus& status);
    // Documents name Windows fonts: Arial, Times New Roman and Courier New
    // are drawn in the metric-compatible Liberation faces. Done once, when
    // the first surface is made.
    static void installFontSubstitutes();
    // Dark backgrounds (brightness below 150) turn black text white.
    static TColor textColorOn(TColor text, TColor background);

private:
    struct Selected {
        TCharStatus status;
        QFont font;
        QFont drawFont;  // with the sub- or superscript size
        QFontMetricsF metrics;
        QFontMetricsF drawMetrics;
    };
    Selected& select();
    int measure(std::u16string_view text);

    QPainter* FPainter;
    double FDpiX, FDpiY;
    std::optional<Selected> FSelected;
    QPen FPen;
};

}  // namespace kavelin::rtf
