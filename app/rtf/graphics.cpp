#include "app/rtf/graphics.h"

namespace kavelin::rtf {

TSize TTextGraphic::Measure(TDrawingSurface& surface) {
    if (surface.FOwner) surface.FOwner->FillTextGraphic(*this);
    Size = {surface.TextLength(s), surface.GetTextMetrics().Ascent};
    FSize = Size;
    return Size;
}

void TTextGraphic::DrawAt(TDrawingSurface& surface, int x, int baseline) {
    if (surface.FOwner) surface.FOwner->FillTextGraphic(*this);
    surface.TextOut(x, baseline, s);
}

TUniCodeSymbolGraphic::TUniCodeSymbolGraphic(char32_t code) : uc(code) {
    if (code >= 0x10000 && code <= 0x10FFFF) {
        char32_t v = code - 0x10000;
        s = {char16_t(0xD800 + (v >> 10)), char16_t(0xDC00 + (v & 0x3FF))};
    } else if (code < 0x10000 && (code < 0xD800 || code > 0xDFFF)) {
        s = {char16_t(code)};
    } else {
        s = {u'\uFFFD'};
    }
}

TSize TPrintablePicture::displaySize() const {
    TSize base = goal.cx > 0 && goal.cy > 0 ? goal : natural;
    int w = base.cx - Crop.left - Crop.right;
    int h = base.cy - Crop.top - Crop.bottom;
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    return {static_cast<int>(static_cast<long long>(w) * scaleX / 100),
            static_cast<int>(static_cast<long long>(h) * scaleY / 100)};
}

TSize TPrintablePicture::Measure(TDrawingSurface&) {
    FSize = displaySize();
    return FSize;
}

void TPrintablePicture::DrawAt(TDrawingSurface& surface, int x, int baseline) {
    TSize sz = displaySize();
    surface.DrawPicture(*this, {x, baseline - sz.cy, x + sz.cx, baseline});
}

}  // namespace kavelin::rtf
