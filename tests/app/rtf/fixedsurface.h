// A surface with fixed metrics for exact layout checks: every character is
// half the font height wide (plus expansion), ascent is 3/4 and descent 1/4
// of the height. Drawing calls are recorded per page.
#pragma once

#include <string>
#include <vector>

#include "app/rtf/surface.h"
#include "common/text/encoding.h"

namespace kavelin::rtf::test {

struct TextCall {
    int page;
    int x;
    int y;
    std::string text;  // UTF-8
    TCharStatus state;
    TColor back;
};

class FixedSurface : public TDrawingSurface {
public:
    std::vector<TextCall> texts;
    std::vector<TRect> fills;
    std::vector<std::pair<TPoint, TPoint>> lines;
    std::vector<TRect> rects, ellipses;
    std::vector<std::vector<TPoint>> polylines;
    std::vector<TRect> arcs;
    int pages = 0;
    int pageOpen = 0;

    void BeginPage(const TSize&) override {
        ++pages;
        ++pageOpen;
    }
    void EndPage() override { --pageOpen; }
    TTextMetrics GetTextMetrics() override {
        int h = FCharStatus.FHeight;
        return {h * 3 / 4, h / 4, 0, h * 13 / 20, h / 6, h / 3};
    }
    int TextLength(std::u16string_view text) override {
        if (FCharStatus.has(attr::hidden)) return 0;
        return static_cast<int>(text.size()) * (FCharStatus.FHeight / 2 + FCharStatus.FExpand);
    }
    void TextOut(int x, int y, std::u16string_view text) override {
        texts.push_back({pages, x, y, kavelin::text::toUtf8(text), FCharStatus, FColor});
    }
    void FillRect(const TRect& r, TColor) override { fills.push_back(r); }
    void Pen(int, TColor, TLineStyle) override {}
    void Line(TPoint a, TPoint b) override { lines.push_back({a, b}); }
    void Rectangle(const TRect& r) override { rects.push_back(r); }
    void Ellipse(const TRect& r) override { ellipses.push_back(r); }
    void Polyline(const std::vector<TPoint>& p) override { polylines.push_back(p); }
    void Arc(const TRect& box, double, double) override { arcs.push_back(box); }
    void SetClip(const TRect*) override {}
    void DrawPicture(const TPrintablePicture&, const TRect& r) override { rects.push_back(r); }

    // Texts drawn on one page, in drawing order.
    std::vector<TextCall> onPage(int page) const {
        std::vector<TextCall> out;
        for (const auto& t : texts)
            if (t.page == page) out.push_back(t);
        return out;
    }
};

}  // namespace kavelin::rtf::test
