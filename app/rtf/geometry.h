// Points, sizes, rectangles and colours of the document engine, all in twips.
#pragma once

#include <cstdint>

namespace kavelin::rtf {

struct TPoint {
    int x = 0;
    int y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const TRect&) const = default;
};

// Colour as red, green and blue bytes (red in the low byte).
using TColor = std::uint32_t;

constexpr TColor rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned redOf(TColor c) { return c & 0xFF; }
constexpr unsigned greenOf(TColor c) { return (c >> 8) & 0xFF; }
constexpr unsigned blueOf(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor clBlack = rgb(0, 0, 0);
constexpr TColor clWhite = rgb(255, 255, 255);

}  // namespace kavelin::rtf
