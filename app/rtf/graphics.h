// Graphics that sit inline in a paragraph: pictures and text graphics
// (Unicode symbols, page numbers, page counts, section numbers).
#pragma once

#include <string>
#include <vector>

#include "app/rtf/elements.h"

namespace kavelin::rtf {

// An inline graphic stands on the base line of its line.
class TInlineGraphic : public TImage {
public:
    // Width and height above the base line in the surface's character state.
    virtual TSize Measure(TDrawingSurface& surface) = 0;
    // Draws with the base line at y.
    virtual void DrawAt(TDrawingSurface& surface, int x, int baseline) = 0;

    int GetHeight() const override { return FSize.cy; }
    int GetWidth() const override { return FSize.cx; }
    void Draw(TDrawingSurface& surface, TPoint topLeft, double scale = 1.0) override {
        DrawAt(surface, topLeft.x, topLeft.y + FSize.cy);
    }

protected:
    TSize FSize;
};

class TTextGraphic : public TInlineGraphic {
public:
    std::u16string s;
    TSize Size;

    TSize Measure(TDrawingSurface& surface) override;
    void DrawAt(TDrawingSurface& surface, int x, int baseline) override;
};

class TUniCodeSymbolGraphic : public TTextGraphic {
public:
    explicit TUniCodeSymbolGraphic(char32_t code);
    char32_t uc;
};

// Filled in by the page formatter when drawn.
class TPageNumber : public TTextGraphic {};
class TNumPages : public TTextGraphic {};
class TSectionNumber : public TTextGraphic {};

enum class TPictureKind { EMF, PNG, JPG, MAC, OMF, WMF, DIB, BMP };

struct TCrop {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class TPrintablePicture : public TInlineGraphic {
public:
    TPictureKind kind = TPictureKind::PNG;
    std::vector<unsigned char> fgraphic;  // the picture bytes
    TSize natural;                       // size of the picture itself, twips
    TSize goal;                          // wanted size, twips (0: natural)
    int scaleX = 100, scaleY = 100;      // percent
    TCrop Crop;

    // Displayed size: goal (or natural) size less cropping, scaled.
    TSize displaySize() const;
    TSize Measure(TDrawingSurface& surface) override;
    void DrawAt(TDrawingSurface& surface, int x, int baseline) override;
};

}  // namespace kavelin::rtf
