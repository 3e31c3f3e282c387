// The report builder: a report is a list of table rows of cells with
// text, width (centimetres), alignment, font, background and borders in a
// fixed set of row styles, written as RTF in a small fixed dialect.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/rtf/geometry.h"

namespace kavelin::rtf {

class TPrintOptions;

enum class TRowStyle { rsDefault, rsDocTitle, rsTitle, rsHeader, rsSum, rsBlank, rsNoTableRowTitle };
enum TReportBorder : std::uint8_t { brdTop = 1, brdLeft = 2, brdRight = 4, brdBtm = 8 };
using TReportBorders = std::uint8_t;  // a set of TReportBorder bits
enum class TVertAlignment { vaTop, vaCenter, vaBottom };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

constexpr TColor clWindowText = clBlack;  // the default text colour

struct TReportFont {
    std::string Name = "Arial";  // Windows-1252
    int Size = 8;                // points
    bool Bold = false, Italic = false, Underline = false;
    TColor Color = clWindowText;
    int CharSet = 1;  // the default character set
    bool operator==(const TReportFont&) const = default;
};

enum class TReportFill { fsSolid, fsClear };
struct TReportBrush {
    TColor Color = clWhite;
    TReportFill Style = TReportFill::fsSolid;
    bool operator==(const TReportBrush&) const = default;
};

// The shared fonts and brushes of the row styles (one set per process).
struct TReportStyles {
    TReportFont defaultFont, docTitleFont, titleFont, headerFont, sumFont;
    TReportBrush defaultBrush, docTitleBrush, titleBrush, headerBrush, sumBrush, blankBrush;
    // The builder's own start values.
    TReportStyles();
};
TReportStyles& reportStyles();

class TReportCell {
public:
    TReportCell();

    double Width = 0;  // centimetres
    TAlignment Alignment = TAlignment::taLeftJustify;
    TVertAlignment VertAlignment = TVertAlignment::vaTop;
    std::string Text;  // Windows-1252; may hold line breaks and tabs
    bool Visible = true;

    const TReportFont& Font() const { return FFont; }
    void setFont(const TReportFont& f) { FFont = f; }
    TReportFont& font() { return FFont; }
    const TReportBrush& BackGround() const { return FBackGround; }
    void setBackGround(const TReportBrush& b) { FBackGround = b; }
    TReportBorders Borders() const { return FBorders; }
    // A change makes the cell keep its own borders from then on.
    void setBorders(TReportBorders b);
    bool OverrideRowBorders() const { return FOverrideRowBorders; }
    void Assign(const TReportCell& source) { *this = source; }

private:
    friend class TReportRow;
    friend class TRtfReport;
    TReportFont FFont;
    TReportBrush FBackGround;
    TReportBorders FBorders = 0;
    bool FOverrideRowBorders = false;
};

class TReportRow {
public:
    bool newTable = false;
    TReportBorders Borders = 0;
    double Height = 0;  // centimetres; 0 automatic
    bool PageBreakBefore = false;

    int AddCell();
    TReportCell& addAndGetCell();
    TReportCell& getCells(int index);
    int CellCount() const { return static_cast<int>(FCells.size()); }
    void setCellCount(int n);
    TRowStyle Style() const { return FStyle; }
    void setStyle(TRowStyle s);
    // The sum of the visible cells' widths.
    double Width() const;
    void Assign(const TReportRow& source);

private:
    friend class TRtfReport;
    void applyStyle(TReportCell& c) const;
    std::vector<std::unique_ptr<TReportCell>> FCells;
    TRowStyle FStyle = TRowStyle::rsDefault;
};

// Estimates text widths from one character-width table per font.
class TFontHelper {
public:
    std::string FontName() const { return FFontName; }
    void setFontName(const std::string& n);
    void setFontStyle(bool bold, bool italic);
    // Advance widths of characters 0..255 at size 100; replaces the measurement.
    void setCharWidths(const std::array<int, 256>& widths);
    double getTextWidth(const std::string& s, int fontSize);
    double getTextWidth(char refChar, int textCharCount, int fontSize);

private:
    void ensureWidths();
    bool FWidthsOk = false;
    std::string FFontName = "Arial";
    bool FBold = false, FItalic = false;
    std::array<int, 256> FCharWidths{};
};
TFontHelper& fontHelper();

class TRtfReport {
public:
    TRtfReport();
    ~TRtfReport();

    double LeftMargin = 2.499, RightMargin = 2.499, TopMargin = 2.499, BtmMargin = 2.499;
    double PaperWidth = 21.001, PaperHeight = 29.7;
    bool PageNumberEnabled = false;

    int AddRow();
    TReportRow& addAndGetRow();
    void addPageBreak() { FPageBreakAtNextRow = true; }
    TReportRow& getReportRows(int index);
    int RowCount() const { return static_cast<int>(FRows.size()); }
    void setRowCount(int n);

    // The report as RTF. The rows' borders are handed to their cells.
    std::string RtfText();
    // dest gets the RTF; on failure it is left empty and the failure passed on.
    void SaveToStream(std::string& dest);
    void SaveToFile(const std::filesystem::path& fileName);
    // Through the PDF printer device; the file appears whole or not at all.
    void SaveToPDF(const std::filesystem::path& fileName);
    // Writes "report.rtf" in the temporary folder and prints it with the
    // report's print options; the file is removed afterwards, also when
    // printing fails.
    void Print();

    // Created empty on first use.
    TPrintOptions& PrintOptions();
    // Copies the options; null frees them.
    void setPrintOptions(const TPrintOptions* options);

    // Places source to the right of this report, after a 0.7 cm gap.
    void Merge(const TRtfReport& source);
    // Gives every column the width of its widest text.
    void AutoSize();

private:
    std::vector<std::unique_ptr<TReportRow>> FRows;
    bool FPageBreakAtNextRow = false;
    std::unique_ptr<TPrintOptions> FPrintOptions;
};

int cmToTwips(double cm);
double twipsToCm(int twips);

}  // namespace kavelin::rtf
