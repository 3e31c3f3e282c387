#include "app/rtf/qtsurface.h"

#include <QFontDatabase>
#include <QImage>
#include <QPolygon>
#include <cmath>
#include <mutex>

#include "app/rtf/graphics.h"
#include "app/ui/qt_text.h"

namespace kavelin::rtf {

namespace {

QColor toQColor(TColor c) { return QColor(int(redOf(c)), int(greenOf(c)), int(blueOf(c))); }
QRect toQRect(const TRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }
using kavelin::text::qs;

bool isSubOrSuper(const TCharStatus& s) { return s.has(attr::subscript) || s.has(attr::superscript); }

}  // namespace

TQtSurface::TQtSurface(QPainter* painter, double dpiX, double dpiY) : FPainter(painter), FDpiX(dpiX), FDpiY(dpiY) {
    installFontSubstitutes();
}

void TQtSurface::installFontSubstitutes() {
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
        QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    });
}

void TQtSurface::TextOutRotated(int x, int y, std::u16string_view text, double angleDeg) {
    if (!FPainter) return;
    FPainter->save();
    FPainter->translate(x, y);
    FPainter->rotate(-angleDeg);
    TextOut(0, 0, text);
    FPainter->restore();
}

void TQtSurface::setMapMode() {
    if (!FPainter) return;
    FPainter->resetTransform();
    double sx = FDpiX * FSkala / 1440.0, sy = FDpiY * FSkala / 1440.0;
    FPainter->scale(sx, sy);
    double origin = FOrigo * 1440.0 / 254.0;
    FPainter->translate(-origin, -origin);
}

QFont TQtSurface::fontFor(const TCharStatus& s) {
    QFont f(s.FName.empty() ? QStringLiteral("Liberation Sans") : qs(s.FName));
    f.setPixelSize(std::max(1, s.FHeight));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    f.setBold(s.has(attr::bold));
    f.setItalic(s.has(attr::italic));
    f.setUnderline(s.has(attr::underline));
    f.setStrikeOut(s.has(attr::strikeOut));
    if (s.has(attr::smallCaps)) f.setCapitalization(QFont::SmallCaps);
    else if (s.has(attr::caps)) f.setCapitalization(QFont::AllUppercase);
    if (s.FExpand != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, s.FExpand);
    return f;
}

TColor TQtSurface::textColorOn(TColor text, TColor back) {
    int brightness = (int(redOf(back)) * 299 + int(greenOf(back)) * 587 + int(blueOf(back)) * 114) / 1000;
    if (text == clBlack && brightness < 150) return clWhite;
    return text;
}

TQtSurface::Selected& TQtSurface::select() {
    if (!FSelected || !(FSelected->status == FCharStatus)) {
        QFont f = fontFor(FCharStatus);
        if (!FontAlt.empty() && !QFontDatabase::hasFamily(f.family())) {
            for (const auto& [name, alternative] : FontAlt)
                if (QString::compare(qs(name), f.family(), Qt::CaseInsensitive) == 0) {
                    f.setFamily(qs(alternative));
                    break;
                }
        }
        QFont d = f;
        if (isSubOrSuper(FCharStatus)) d.setPixelSize(std::max(1, FCharStatus.FHeight * 13 / 20));
        FSelected.emplace(Selected{FCharStatus, f, d, QFontMetricsF(f), QFontMetricsF(d)});
    }
    return *FSelected;
}

TTextMetrics TQtSurface::GetTextMetrics() {
    Selected& s = select();
    TTextMetrics m;
    m.Ascent = static_cast<int>(std::lround(s.metrics.ascent()));
    m.Descent = static_cast<int>(std::lround(s.metrics.descent()));
    m.Leading = static_cast<int>(std::lround(std::max(0.0, s.metrics.leading())));
    m.SubscriptSize = FCharStatus.FHeight * 13 / 20;
    m.SubscriptOffset = m.Descent * 2 / 3;
    m.SuperscriptOffset = m.Ascent - m.Ascent * 13 / 20;
    return m;
}

int TQtSurface::measure(std::u16string_view text) {
    if (FCharStatus.has(attr::hidden) || text.empty()) return 0;
    Selected& s = select();
    return static_cast<int>(std::lround(s.drawMetrics.horizontalAdvance(qs(text))));
}

int TQtSurface::TextLength(std::u16string_view text) { return measure(text); }

void TQtSurface::TextOut(int x, int y, std::u16string_view text) {
    if (!FPainter || FCharStatus.has(attr::hidden) || text.empty()) return;
    Selected& s = select();
    TTextMetrics m = GetTextMetrics();
    int baseline = y + FCharStatus.FVerticalDisp;
    if (FCharStatus.has(attr::subscript)) baseline += m.SubscriptOffset;
    if (FCharStatus.has(attr::superscript)) baseline -= m.SuperscriptOffset;
    FPainter->save();
    FPainter->setFont(s.drawFont);
    FPainter->setPen(toQColor(textColorOn(FCharStatus.FColor, FColor)));
    if (FCharStatus.FOrientation != 0) {
        FPainter->translate(x, baseline);
        FPainter->rotate(-FCharStatus.FOrientation / 10.0);
        FPainter->drawText(QPointF(0, 0), qs(text));
    } else {
        FPainter->drawText(QPointF(x, baseline), qs(text));
    }
    FPainter->restore();
}

void TQtSurface::FillRect(const TRect& r, TColor color) {
    if (FPainter) FPainter->fillRect(toQRect(r), toQColor(color));
}

void TQtSurface::Pen(int width, TColor color, TLineStyle style) {
    Qt::PenStyle ps = Qt::SolidLine;
    switch (style) {
    case TLineStyle::lsSolid: ps = Qt::SolidLine; break;
    case TLineStyle::lsDash: ps = Qt::DashLine; break;
    case TLineStyle::lsDot: ps = Qt::DotLine; break;
    case TLineStyle::lsDashDot: ps = Qt::DashDotLine; break;
    case TLineStyle::lsDashDotDot: ps = Qt::DashDotDotLine; break;
    case TLineStyle::lsClear: ps = Qt::NoPen; break;
    }
    FPen = QPen(toQColor(color), std::max(1, width), ps, Qt::FlatCap);
}

void TQtSurface::Line(TPoint a, TPoint b) {
    if (!FPainter) return;
    FPainter->setPen(FPen);
    FPainter->drawLine(QPoint(a.x, a.y), QPoint(b.x, b.y));
}

void TQtSurface::Rectangle(const TRect& r) {
    if (!FPainter) return;
    FPainter->setPen(FPen);
    FPainter->setBrush(toQColor(FColor));
    FPainter->drawRect(toQRect(r));
    FPainter->setBrush(Qt::NoBrush);
}

void TQtSurface::Ellipse(const TRect& r) {
    if (!FPainter) return;
    FPainter->setPen(FPen);
    FPainter->setBrush(toQColor(FColor));
    FPainter->drawEllipse(toQRect(r));
    FPainter->setBrush(Qt::NoBrush);
}

void TQtSurface::Polyline(const std::vector<TPoint>& points) {
    if (!FPainter || points.empty()) return;
    QPolygon poly;
    for (const TPoint& p : points) poly << QPoint(p.x, p.y);
    FPainter->setPen(FPen);
    FPainter->drawPolyline(poly);
}

void TQtSurface::Arc(const TRect& box, double startDeg, double spanDeg) {
    if (!FPainter) return;
    FPainter->setPen(FPen);
    FPainter->drawArc(toQRect(box), int(std::lround(startDeg * 16)), int(std::lround(spanDeg * 16)));
}

void TQtSurface::SetClip(const TRect* r) {
    if (!FPainter) return;
    if (r) FPainter->setClipRect(toQRect(*r));
    else FPainter->setClipping(false);
}

void TQtSurface::DrawPicture(const TPrintablePicture& pic, const TRect& dest) {
    if (!FPainter || pic.fgraphic.empty()) return;
    QByteArray bytes(reinterpret_cast<const char*>(pic.fgraphic.data()), static_cast<qsizetype>(pic.fgraphic.size()));
    if (pic.kind == TPictureKind::DIB) {
        // A device-independent bitmap lacks the 14-byte file header of a BMP file.
        QByteArray header(14, '\0');
        header[0] = 'B';
        header[1] = 'M';
        quint32 size = static_cast<quint32>(bytes.size() + 14);
        for (int i = 0; i < 4; ++i) header[2 + i] = char((size >> (8 * i)) & 0xFF);
        quint32 headerSize = bytes.size() >= 4 ? quint32(quint8(bytes[0])) | quint32(quint8(bytes[1])) << 8 : 40;
        quint32 offset = 14 + headerSize;
        if (bytes.size() >= 16) {
            // Palette entries follow the info header for up to 8 bits per pixel.
            int bpp = quint8(bytes[14]) | quint8(bytes[15]) << 8;
            if (bpp <= 8 && bpp > 0) offset += 4u << bpp;
        }
        for (int i = 0; i < 4; ++i) header[10 + i] = char((offset >> (8 * i)) & 0xFF);
        bytes.prepend(header);
    }
    QImage img;
    if (!img.loadFromData(bytes)) return;  // metafiles and unknown data draw nothing
    FPainter->drawImage(toQRect(dest), img);
}

}  // namespace kavelin::rtf
