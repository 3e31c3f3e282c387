// Tables: row and cell definitions, rows of cell sequences and the table
// paragraph that lays them out one below the other.
#pragma once

#include <memory>
#include <vector>

#include "app/rtf/document.h"
#include "app/rtf/formatdefs.h"

namespace kavelin::rtf {

enum class TCellMode { cmNormal, cmMerged, cmHidden };
enum class TCellVertAlign { caTop, caCenter, caBottom };
enum class TTextDirection { txd_horizontal, txd_BottomTop, txd_TopBottom };
enum class TBrushStyle { bsSolid, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBorderDef {
public:
    TBorderDefRec FBorders;
    void setToDefault() { FBorders = {}; }
    bool equals(const TBorderDef& o) const { return FBorders.equals(o.FBorders); }
};

class TCellDef : public TBorderDef {
public:
    int Width = 0;
    int Shading = 0;               // hundredths of a percent
    TColor fillcolor = clBlack;    // pattern colour
    TColor backgrColor = clWhite;
    TBrushStyle BrushStyle = TBrushStyle::bsSolid;
    TCellMode Mode = TCellMode::cmNormal;
    TCellVertAlign VertAlign = TCellVertAlign::caTop;
    TTextDirection TextDirection = TTextDirection::txd_horizontal;

    void setToDefault() { *this = TCellDef{}; }
    // Background mixed with the pattern colour by the shading fraction.
    TColor fill() const;
};

class TRowDef : public TBorderDef {
public:
    int WantHeight = 0;  // positive: at least; negative: exactly
    std::vector<TCellDef> FCellDefs;
    int Left = 0;
    TTextAlign Align = TTextAlign::taLeft;
    int CellGaph = 0;
    int CellPaddL = 0;
    int TblIndent = 0;
    int TblIndentType = 0;
    bool Keep = false;
    bool IsHeader = false;

    void addCellDef(const TCellDef& def) { FCellDefs.push_back(def); }
    // The definition of a cell; a default one beyond the defined cells.
    const TCellDef& GetCellDef(int index) const;
    int GetCellGaphL() const { return CellGaph > CellPaddL ? CellGaph : CellPaddL; }
    int GetCellGaphR() const { return CellGaph; }
    bool ExactHeight() const { return WantHeight < 0; }
    int GetLeft() const { return Left + TblIndent; }
};

class TTableRow : public TPrintable {
public:
    TTableRow();
    int FUnMergedHeight = 0;
    bool Formatted = false;
    int MaxTopLW = 0;
    bool FKeepWithNext = false;
    TTextSequence* FWrkContent = nullptr;  // the cell being filled while reading
    std::vector<std::unique_ptr<TTextSequence>> FCellsContent;
    const TRowDef* FRowDef = nullptr;
    TTableRow* FNextRow = nullptr;
    TTableRow* FPrevRow = nullptr;
    int FHeight = 0;
    int FTableWidth = 0;

    void addDef(const TRowDef* def) { FRowDef = def; }
    void AddText(std::unique_ptr<TPageElement> paragraph);
    void endCell();
    void Format(TDrawingSurface& surface, int width);

    int GetHeight() const override { return FHeight; }
    int GetWidth() const override { return FTableWidth; }
    void Draw(TDrawingSurface& surface, TPoint topLeft, double scale = 1.0) override;

    const TRowDef& def() const;
    int cellCount() const { return static_cast<int>(FCellsContent.size()); }
    int maxBottomLW() const;

private:
    // Height of the merge that starts at cell index in this row.
    int mergedHeight(int index) const;
};

class TTableParagraph : public TFormatable {
public:
    std::vector<std::unique_ptr<TRowDef>> FRowDefs;
    TTableRow* FHeader = nullptr;
    std::vector<std::unique_ptr<TTableRow>> FRows;
    bool FKeep = false;
    bool FKeepWithNext = false;
    TPosFrame FPosFrame;  // frame position of the table's paragraphs

    TRowDef& newRowDef();
    void add(std::unique_ptr<TTableRow> row);

    TPrintable* Item(int index) override { return FRows[static_cast<size_t>(index)].get(); }
    int ItemCount() const override { return static_cast<int>(FRows.size()); }
    bool GetKeep() const override { return FKeep; }
    bool GetKeepWithNext() const override { return FKeepWithNext; }
    void SetKeep(bool on) override { FKeep = on; }
    void SetKeepWithNext(bool on) override { FKeepWithNext = on; }
    void Format(TDrawingSurface& papir, int minheight) override;
};

}  // namespace kavelin::rtf
