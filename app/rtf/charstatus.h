// Character state of a drawing surface and the process-wide font registry
// whose numbers are stored in paragraph buffers.
#pragma once

#include <cstdint>
#include <string>

#include "app/rtf/geometry.h"

namespace kavelin::rtf {

// Bits of the 16-bit character attribute set.
using TCharAttributes = std::uint16_t;
namespace attr {
constexpr TCharAttributes bold = 1, italic = 2, underline = 4, strikeOut = 8, outline = 16, caps = 32,
                          smallCaps = 64, shadow = 128, subscript = 256, superscript = 512, hidden = 1024;
}

struct TCharStatus {
    std::u16string FName;          // face name
    std::uint8_t FCharset = 0;
    int FHeight = 240;             // twips
    TColor FColor = clBlack;
    TCharAttributes FAttributes = 0;
    int FExpand = 0;               // extra space after each character, twips
    int FVerticalDisp = 0;         // negative raises, positive lowers
    int FOrientation = 0;          // tenths of a degree, counter-clockwise

    void SetTextDefaults() { *this = TCharStatus{}; }
    bool has(TCharAttributes a) const { return (FAttributes & a) != 0; }
    bool operator==(const TCharStatus&) const = default;
};

struct TRegisteredFont {
    std::u16string name;
    std::uint8_t charset = 0;
};

// Number of the font (name, charset); equal pairs share one number. The
// registry only grows.
std::uint16_t registerFont(const std::u16string& name, std::uint8_t charset);
// The font behind a number; an unknown number gives an empty name.
TRegisteredFont registeredFont(std::uint16_t index);

}  // namespace kavelin::rtf
