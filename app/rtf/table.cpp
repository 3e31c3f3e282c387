#include "app/rtf/table.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/rtf/pageformatter.h"

namespace kavelin::rtf {

namespace {

const TRowDef& emptyRowDef() {
    static const TRowDef def;
    return def;
}

// The cell's own side, else the row's.
const TBorderSide& sideOf(const TCellDef& cell, const TRowDef& row, TBorderIndex i) {
    const TBorderSide& own = cell.FBorders.side(i);
    return own.LineWidth > 0 ? own : row.FBorders.side(i);
}

}  // namespace

TColor TCellDef::fill() const {
    double s = std::clamp(Shading, 0, 10000) / 10000.0;
    auto mix = [s](unsigned back, unsigned pat) {
        return static_cast<unsigned>(std::lround((1 - s) * back + s * pat));
    };
    return rgb(mix(redOf(backgrColor), redOf(fillcolor)), mix(greenOf(backgrColor), greenOf(fillcolor)),
               mix(blueOf(backgrColor), blueOf(fillcolor)));
}

const TCellDef& TRowDef::GetCellDef(int index) const {
    static const TCellDef none;
    if (index < 0 || index >= static_cast<int>(FCellDefs.size())) return none;
    return FCellDefs[static_cast<size_t>(index)];
}

TTableRow::TTableRow() {
    FCellsContent.push_back(std::make_unique<TTextSequence>());
    FWrkContent = FCellsContent.back().get();
}

const TRowDef& TTableRow::def() const { return FRowDef ? *FRowDef : emptyRowDef(); }

void TTableRow::AddText(std::unique_ptr<TPageElement> paragraph) { FWrkContent->Add(std::move(paragraph)); }

void TTableRow::endCell() {
    FCellsContent.push_back(std::make_unique<TTextSequence>());
    FWrkContent = FCellsContent.back().get();
}

int TTableRow::maxBottomLW() const {
    int m = 0;
    for (int i = 0; i < cellCount(); ++i) m = std::max(m, sideOf(def().GetCellDef(i), def(), biBottom).LineWidth);
    return m;
}

void TTableRow::Format(TDrawingSurface& surface, int width) {
    const TRowDef& rd = def();
    FTableWidth = width;
    MaxTopLW = 0;
    for (int i = 0; i < cellCount(); ++i) MaxTopLW = std::max(MaxTopLW, sideOf(rd.GetCellDef(i), rd, biTop).LineWidth);
    if (FPrevRow) MaxTopLW = std::max(MaxTopLW, FPrevRow->maxBottomLW());

    int want = std::abs(rd.WantHeight);
    FUnMergedHeight = std::max(FUnMergedHeight, rd.ExactHeight() ? want : 0);
    for (int i = 0; i < cellCount(); ++i) {
        const TCellDef& cd = rd.GetCellDef(i);
        TTextSequence& content = *FCellsContent[static_cast<size_t>(i)];
        int h;
        if (cd.TextDirection != TTextDirection::txd_horizontal) {
            content.SetWidth(std::max(1, want));
            content.Format(surface, 0);
            h = want;
        } else {
            content.SetWidth(std::max(1, cd.Width - rd.GetCellGaphL() - rd.GetCellGaphR()));
            content.Format(surface, 0);
            h = rd.ExactHeight() ? want - MaxTopLW : std::max(content.GetHeight(), want);
        }
        if (cd.Mode == TCellMode::cmHidden) continue;  // part of the merge above
        TTableRow* target = this;
        if (cd.Mode == TCellMode::cmMerged)
            while (target->FNextRow && target->FNextRow->def().GetCellDef(i).Mode == TCellMode::cmHidden)
                target = target->FNextRow;
        if (target != this && target->FRowDef && target->FRowDef->ExactHeight()) continue;
        target->FUnMergedHeight = std::max(target->FUnMergedHeight, h + MaxTopLW);
    }
    Formatted = true;
}

int TTableRow::mergedHeight(int index) const {
    int h = FHeight;
    for (const TTableRow* r = FNextRow; r && r->def().GetCellDef(index).Mode == TCellMode::cmHidden; r = r->FNextRow)
        h += r->FHeight;
    return h;
}

void TTableRow::Draw(TDrawingSurface& surface, TPoint topLeft, double scale) {
    const TRowDef& rd = def();
    int total = 0;
    for (int i = 0; i < cellCount(); ++i) total += rd.GetCellDef(i).Width;
    int x = topLeft.x + rd.GetLeft();
    if (rd.Align == TTextAlign::taCentered) x = topLeft.x + (FTableWidth - total) / 2;
    if (rd.Align == TTextAlign::taRight) x = topLeft.x + FTableWidth - total;
    TColor savedBack = surface.FColor;
    TCharStatus savedChar = surface.FCharStatus;
    for (int i = 0; i < cellCount(); ++i) {
        const TCellDef& cd = rd.GetCellDef(i);
        TRect cell{x, topLeft.y, x + cd.Width, topLeft.y + FHeight};
        x += cd.Width;
        if (cd.Mode == TCellMode::cmHidden) continue;
        if (cd.Mode == TCellMode::cmMerged) cell.bottom = topLeft.y + mergedHeight(i);
        TColor fill = cd.fill();
        if (fill != clWhite) surface.FillRect(cell, fill);
        surface.FColor = fill;

        TTextSequence& content = *FCellsContent[static_cast<size_t>(i)];
        int room = cell.height() - MaxTopLW - content.GetHeight();
        int dy = 0;
        if (cd.VertAlign == TCellVertAlign::caCenter) dy = room / 2;
        if (cd.VertAlign == TCellVertAlign::caBottom) dy = room;
        dy = std::max(0, dy);
        bool clip = rd.ExactHeight();
        if (clip) surface.SetClip(&cell);
        content.Draw(surface, {cell.left + rd.GetCellGaphL(), cell.top + MaxTopLW + dy}, scale);
        if (clip) surface.SetClip(nullptr);
        surface.FColor = savedBack;

        auto line = [&](TBorderIndex side, TPoint a, TPoint b) {
            const TBorderSide& s = sideOf(cd, rd, side);
            if (s.LineWidth <= 0) return;
            surface.Pen(s.LineWidth, s.Color, s.Style == TBorderStyle::brdr_dotted ? TLineStyle::lsDot
                                              : s.Style == TBorderStyle::brdr_dashed ? TLineStyle::lsDash
                                                                                    : TLineStyle::lsSolid);
            surface.Line(a, b);
        };
        line(biTop, {cell.left, cell.top}, {cell.right, cell.top});
        line(biBottom, {cell.left, cell.bottom}, {cell.right, cell.bottom});
        line(biLeft, {cell.left, cell.top}, {cell.left, cell.bottom});
        line(biRight, {cell.right, cell.top}, {cell.right, cell.bottom});
    }
    surface.FCharStatus = savedChar;
}

TRowDef& TTableParagraph::newRowDef() {
    FRowDefs.push_back(std::make_unique<TRowDef>());
    return *FRowDefs.back();
}

void TTableParagraph::add(std::unique_ptr<TTableRow> row) {
    if (!FRows.empty()) {
        row->FPrevRow = FRows.back().get();
        FRows.back()->FNextRow = row.get();
    }
    FRows.push_back(std::move(row));
}

void TTableParagraph::Format(TDrawingSurface& papir, int minheight) {
    for (auto& r : FRows) r->FUnMergedHeight = 0;
    for (auto& r : FRows) r->Format(papir, FormalWidth);
    FHeight = 0;
    FHeader = nullptr;
    for (size_t i = 0; i < FRows.size(); ++i) {
        TTableRow& r = *FRows[i];
        r.FHeight = r.FUnMergedHeight + (i + 1 == FRows.size() ? r.maxBottomLW() : 0);
        FHeight += r.FHeight;
        if (!FHeader && r.def().IsHeader) FHeader = &r;
    }
    if (FHeader) {
        FOnPageBreakInTable = [this](TPageFormatter& pf) { pf.PrintRepeated(*FHeader); };
    } else {
        FOnPageBreakInTable = nullptr;
    }
}

}  // namespace kavelin::rtf
