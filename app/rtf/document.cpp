#include "app/rtf/document.h"

#include <algorithm>

namespace kavelin::rtf {

void TFormatable::Draw(TDrawingSurface& surface, TPoint topLeft, double scale) {
    TCharStatus saved = surface.FCharStatus;
    int y = topLeft.y;
    for (int i = 0; i < ItemCount(); ++i) {
        TPrintable* item = Item(i);
        if (!item) continue;
        if (dynamic_cast<TPageRelative*>(item)) continue;  // placed by the page formatter
        item->Draw(surface, {topLeft.x, y}, scale);
        y += item->GetHeight();
    }
    surface.FCharStatus = saved;
}

void TTextSequence::Format(TDrawingSurface& papir, int minheight) {
    FormattedWith = &papir;
    ActualWidth = FormalWidth;
    int total = 0;
    // The last formatable is padded so that the whole reaches minheight.
    int last = -1;
    for (int i = 0; i < ItemCount(); ++i)
        if (dynamic_cast<TFormatable*>(At(i))) last = i;
    for (int i = 0; i < ItemCount(); ++i) {
        auto* f = dynamic_cast<TFormatable*>(At(i));
        if (!f) {
            if (auto* rel = dynamic_cast<TPageRelative*>(At(i))) rel->FormatFor(papir, FormalWidth);
            continue;
        }
        f->SetWidth(FormalWidth);
        f->Format(papir, i == last ? std::max(0, minheight - total) : 0);
        total += f->GetHeight();
    }
    FHeight = std::max(total, 0);
}

TTextFrame::TTextFrame(const TPosFrame& pos) : FPos(pos) {
    HorRef = pos.hor;
    VertRef = pos.vert;
    TekstBryt = !pos.overlay;
    FRelPos = {pos.hasX ? pos.x : 0, pos.hasY ? pos.y : 0};
}

int TTextFrame::GetWidth() const { return FWidth; }

int TTextFrame::GetHeight() const {
    if (FPos.height < 0) return -FPos.height;
    return std::max(FPos.height, Innhald.GetHeight());
}

void TTextFrame::FormatFor(TDrawingSurface& surface, int columnWidth) {
    FWidth = FPos.width > 0 ? FPos.width : columnWidth;
    Innhald.SetWidth(FWidth);
    Innhald.Format(surface, 0);
}

void TTextFrame::Draw(TDrawingSurface& surface, TPoint topLeft, double scale) {
    bool clip = FPos.height < 0;
    TRect r{topLeft.x, topLeft.y, topLeft.x + FWidth, topLeft.y + GetHeight()};
    if (clip) surface.SetClip(&r);
    Innhald.Draw(surface, topLeft, scale);
    if (clip) surface.SetClip(nullptr);
}

TTextSection& TDocument::NewSection() {
    auto s = std::make_unique<TTextSection>();
    if (!sections.empty()) {
        // Section settings carry over; the contents do not.
        const TTextSection& c = *sections.back();
        s->marg = c.marg;
        s->papersize = c.papersize;
        s->HeaderY = c.HeaderY;
        s->FooterY = c.FooterY;
        s->Break = c.Break;
        s->NumCols = c.NumCols;
        s->colspace = c.colspace;
        s->LineBetCol = c.LineBetCol;
        s->landscape = c.landscape;
        s->paperbin = c.paperbin;
        s->paperbinfirst = c.paperbinfirst;
    } else {
        s->marg = marg;
    }
    sections.push_back(std::move(s));
    return *sections.back();
}

TTextSection& TDocument::CurrSection() {
    if (sections.empty()) return NewSection();
    return *sections.back();
}

void TDocument::SetHeader(THdrFtrIndex index, std::unique_ptr<TTextSequence> sequence) {
    CurrSection().hdrftr[index] = std::move(sequence);
}

}  // namespace kavelin::rtf
