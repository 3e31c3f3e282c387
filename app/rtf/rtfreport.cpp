#include "app/rtf/rtfreport.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "app/rtf/documentbuilder.h"
#include "app/rtf/rtfdocparser.h"
#include "common/text/encoding.h"
#include "common/utils/atomic_file.h"

namespace kavelin::rtf {

namespace {

[[noreturn]] void outOfBounds() { throw std::out_of_range("Index out of bounds"); }

double round3(double v) { return std::round(v * 1000.0) / 1000.0; }  // halves away from zero

std::string num(long v) {
    char b[24];
    auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

bool sameFont(const TReportFont& a, const TReportFont& b) {
    if (a.CharSet != b.CharSet || a.Name.size() != b.Name.size()) return false;
    for (size_t i = 0; i < a.Name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a.Name[i])) != std::tolower(static_cast<unsigned char>(b.Name[i])))
            return false;
    return true;
}

// Writes pieces, breaking the line before a piece once more than 80
// characters stand on it; a piece is never split.
class TRtfWriter {
public:
    std::string out;
    void operator()(std::string_view piece) {
        if (count > 80) {
            out += "\r\n";
            count = 0;
            if (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
        }
        out.append(piece);
        count += static_cast<int>(piece.size());
    }

private:
    int count = 0;
};

// Cell text: line breaks become paragraph breaks, tabs tab stops; the
// characters that RTF gives a meaning are escaped.
std::string cellText(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\r') {
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
            out += "\\par ";
        } else if (c == '\n') out += "\\par ";
        else if (c == '\t') out += "\\tab ";
        else if (c == '\\' || c == '{' || c == '}') out += '\\', out += c;
        else out += c;
    }
    return out;
}

}  // namespace

int cmToTwips(double cm) { return static_cast<int>(std::lround(cm * 1440.0 / 2.54)); }
double twipsToCm(int twips) { return round3(twips * 2.54 / 1440.0); }

// ---- styles ----------------------------------------------------------------

TReportStyles::TReportStyles() {
    defaultBrush.Color = rgb(252, 252, 252);
    docTitleFont.Size = 12, docTitleFont.Bold = true, docTitleFont.Color = clBlack;
    docTitleBrush.Color = clWhite;
    titleFont.Size = 10, titleFont.Bold = true, titleFont.Color = clWhite;
    titleBrush.Color = rgb(69, 112, 222);
    headerFont.Bold = headerFont.Italic = true;
    headerBrush.Color = rgb(169, 216, 214);
    sumFont.Bold = true;
    sumBrush.Color = rgb(234, 234, 234);
    blankBrush.Color = clWhite;
}

TReportStyles& reportStyles() {
    static TReportStyles styles;
    return styles;
}

// ---- cells and rows --------------------------------------------------------

TReportCell::TReportCell() : FFont(reportStyles().defaultFont), FBackGround(reportStyles().defaultBrush) {}

void TReportCell::setBorders(TReportBorders b) {
    if (b == FBorders) return;
    FBorders = b;
    FOverrideRowBorders = true;
}

void TReportRow::applyStyle(TReportCell& c) const {
    const TReportStyles& s = reportStyles();
    switch (FStyle) {
    case TRowStyle::rsDefault: c.FBackGround = s.defaultBrush, c.FFont = s.defaultFont; break;
    case TRowStyle::rsDocTitle:
        c.FBackGround = s.docTitleBrush, c.FFont = s.docTitleFont;
        c.setBorders(0);
        c.FOverrideRowBorders = true;
        break;
    case TRowStyle::rsTitle:
    case TRowStyle::rsNoTableRowTitle:
        c.FBackGround = s.titleBrush, c.FFont = s.titleFont;
        c.VertAlignment = TVertAlignment::vaCenter;
        break;
    case TRowStyle::rsHeader:
        c.FBackGround = s.headerBrush, c.FFont = s.headerFont;
        c.VertAlignment = TVertAlignment::vaCenter;
        break;
    case TRowStyle::rsSum: c.FBackGround = s.sumBrush, c.FFont = s.sumFont; break;
    case TRowStyle::rsBlank:
        c.FBackGround = s.blankBrush;
        c.setBorders(0);
        c.FOverrideRowBorders = true;
        break;
    }
}

int TReportRow::AddCell() {
    auto c = std::make_unique<TReportCell>();
    applyStyle(*c);
    FCells.push_back(std::move(c));
    return CellCount() - 1;
}

TReportCell& TReportRow::addAndGetCell() { return getCells(AddCell()); }

TReportCell& TReportRow::getCells(int index) {
    if (index < 0 || index >= CellCount()) outOfBounds();
    return *FCells[static_cast<size_t>(index)];
}

void TReportRow::setCellCount(int n) {
    n = std::max(n, 0);
    while (CellCount() > n) FCells.pop_back();
    while (CellCount() < n) AddCell();
}

void TReportRow::setStyle(TRowStyle s) {
    if (s == FStyle) return;
    FStyle = s;
    for (auto& c : FCells) applyStyle(*c);
}

double TReportRow::Width() const {
    double w = 0;
    for (const auto& c : FCells)
        if (c->Visible) w += c->Width;
    return w;
}

void TReportRow::Assign(const TReportRow& source) {
    FCells.clear();
    for (const auto& c : source.FCells) FCells.push_back(std::make_unique<TReportCell>(*c));
}

// ---- width estimate --------------------------------------------------------

void TFontHelper::setFontName(const std::string& n) {
    if (n != FFontName) FWidthsOk = false;
    FFontName = n;
}

void TFontHelper::setFontStyle(bool bold, bool italic) {
    if (bold != FBold || italic != FItalic) FWidthsOk = false;
    FBold = bold, FItalic = italic;
}

void TFontHelper::setCharWidths(const std::array<int, 256>& widths) {
    FCharWidths = widths;
    FWidthsOk = true;
}

void TFontHelper::ensureWidths() {
    if (FWidthsOk) return;
    FCharWidths.fill(0);
    if (QGuiApplication::instance()) {
        // A 100-pixel font: its advances are those of a 100-point font in points.
        QFont f(QString::fromStdString(kavelin::text::toUtf8(kavelin::text::fromCp1252(FFontName))));
        f.setPixelSize(100);
        f.setBold(FBold);
        f.setItalic(FItalic);
        QFontMetricsF m(f);
        for (int c = 32; c < 256; ++c) {
            std::u16string u = kavelin::text::fromCp1252(std::string(1, static_cast<char>(c)));
            FCharWidths[static_cast<size_t>(c)] = static_cast<int>(std::lround(m.horizontalAdvance(QString::fromStdU16String(u))));
        }
    } else {
        for (int c = 32; c < 256; ++c) FCharWidths[static_cast<size_t>(c)] = 50;  // no screen: an average width
    }
    FWidthsOk = true;
}

double TFontHelper::getTextWidth(const std::string& s, int fontSize) {
    ensureWidths();
    double sum = 0;
    for (unsigned char c : s) sum += FCharWidths[c];
    return round3(fontSize * sum * 2.54 / 7200.0);
}

double TFontHelper::getTextWidth(char refChar, int n, int fontSize) {
    ensureWidths();
    return round3(static_cast<double>(n) * fontSize * FCharWidths[static_cast<unsigned char>(refChar)] * 2.54 / 7200.0);
}

TFontHelper& fontHelper() {
    static TFontHelper helper;
    return helper;
}

// ---- the report ------------------------------------------------------------

TRtfReport::TRtfReport() = default;
TRtfReport::~TRtfReport() = default;

int TRtfReport::AddRow() {
    auto r = std::make_unique<TReportRow>();
    r->PageBreakBefore = FPageBreakAtNextRow;
    FPageBreakAtNextRow = false;
    FRows.push_back(std::move(r));
    return RowCount() - 1;
}

TReportRow& TRtfReport::addAndGetRow() { return getReportRows(AddRow()); }

TReportRow& TRtfReport::getReportRows(int index) {
    if (index < 0 || index >= RowCount()) outOfBounds();
    return *FRows[static_cast<size_t>(index)];
}

void TRtfReport::setRowCount(int n) {
    n = std::max(n, 0);
    while (RowCount() > n) FRows.pop_back();
    while (RowCount() < n) FRows.push_back(std::make_unique<TReportRow>());
}

std::string TRtfReport::RtfText() {
    std::vector<TReportFont> fonts;
    std::vector<TColor> colors;
    auto fontIndex = [&](const TReportFont& f) {
        for (size_t i = 0; i < fonts.size(); ++i)
            if (sameFont(fonts[i], f)) return static_cast<int>(i);
        return -1;
    };
    auto colorIndex = [&](TColor c) {
        auto it = std::find(colors.begin(), colors.end(), c);
        return it == colors.end() ? -1 : static_cast<int>(it - colors.begin()) + 1;
    };
    for (auto& row : FRows)
        for (auto& c : row->FCells) {
            if (fontIndex(c->FFont) < 0) fonts.push_back(c->FFont);
            for (TColor col : {c->FFont.Color, c->FBackGround.Color})
                if (colorIndex(col) < 0) colors.push_back(col);
        }

    TRtfWriter w;
    w("{\\rtf1\\ansi\\ansicpg1252\\deff0");
    w("{\\fonttbl");
    for (size_t i = 0; i < fonts.size(); ++i)
        w("{\\f" + num(static_cast<long>(i)) + "\\fnil\\fcharset" + num(fonts[i].CharSet) + " " + fonts[i].Name + ";}");
    w("}");
    w("{\\colortbl;");
    for (TColor c : colors) w("\\red" + num(redOf(c)) + "\\green" + num(greenOf(c)) + "\\blue" + num(blueOf(c)) + ";");
    w("}");
    w("\\paperw" + num(cmToTwips(PaperWidth)) + "\\paperh" + num(cmToTwips(PaperHeight)) + "\\margl" +
      num(cmToTwips(LeftMargin)) + "\\margr" + num(cmToTwips(RightMargin)) + "\\margt" + num(cmToTwips(TopMargin)) +
      "\\margb" + num(cmToTwips(BtmMargin)) + "\\deftab708");
    if (PaperWidth > PaperHeight) w("\\landscape");
    if (PageNumberEnabled) w("\\pard{\\footer{\\pard\\par\\qc Side \\chpgn}}");
    w("\\pard");
    for (size_t r = 0; r < FRows.size(); ++r) {
        TReportRow& row = *FRows[r];
        if (row.PageBreakBefore) w("\\page ");
        if (row.newTable && r > 0) w("\\pard\\par");
        if (row.FCells.empty()) continue;
        if (row.Borders) {
            size_t n = row.FCells.size();
            for (size_t i = 0; i < n; ++i) {
                TReportCell& c = *row.FCells[i];
                if (c.FOverrideRowBorders) continue;
                TReportBorders b = row.Borders;
                if (n > 1 && i == 0) b &= ~brdRight;
                else if (n > 1 && i == n - 1) b &= ~brdLeft;
                else if (n > 1) b &= ~(brdLeft | brdRight);
                c.FBorders = b;
            }
        }
        w("{\\trowd");
        if (row.Height != 0) w("\\trrh" + num(-cmToTwips(row.Height)));
        w("\\trgaph70\\trleft-70");
        if (row.FStyle == TRowStyle::rsHeader) w("\\trhdr ");
        double right = 0;
        for (auto& cp : row.FCells) {
            TReportCell& c = *cp;
            if (!c.Visible) continue;
            if (c.FBorders & brdTop) w("\\clbrdrt\\brdrs\\brdrw10");
            if (c.FBorders & brdLeft) w("\\clbrdrl\\brdrs\\brdrw10");
            if (c.FBorders & brdBtm) w("\\clbrdrb\\brdrs\\brdrw10");
            if (c.FBorders & brdRight) w("\\clbrdrr\\brdrs\\brdrw10");
            w(c.VertAlignment == TVertAlignment::vaTop      ? "\\clvertalt"
              : c.VertAlignment == TVertAlignment::vaCenter ? "\\clvertalc"
                                                            : "\\clvertalb");
            if (c.FBackGround.Color != clWhite) w("\\clcbpat" + num(colorIndex(c.FBackGround.Color)));
            right += c.Width;
            w("\\cellx" + num(cmToTwips(right)));
        }
        for (auto& cp : row.FCells) {
            TReportCell& c = *cp;
            if (!c.Visible) continue;
            w("\\intbl");
            w(c.Alignment == TAlignment::taLeftJustify ? "\\ql" : c.Alignment == TAlignment::taRightJustify ? "\\qr" : "\\qc");
            w("\\f" + num(fontIndex(c.FFont)) + "\\fs" + num(c.FFont.Size * 2) + "\\cf" + num(colorIndex(c.FFont.Color)));
            if (c.FFont.Italic) w("\\i");
            if (c.FFont.Bold) w("\\b");
            if (c.FFont.Underline) w("\\ul");
            w(" ");
            w(cellText(c.Text));
            w("\\cell");
        }
        w("\\row}");
        w("\\ql");
    }
    w("\\par ");
    w("}");
    return std::move(w.out);
}

void TRtfReport::SaveToStream(std::string& dest) {
    dest.clear();
    try {
        dest = RtfText();
    } catch (...) {
        dest.clear();
        throw;
    }
}

void TRtfReport::SaveToFile(const std::filesystem::path& fileName) { kavelin::utils::writeFileAtomic(fileName, RtfText()); }

void TRtfReport::SaveToPDF(const std::filesystem::path& fileName) { TRtfToPDF::makeFile(RtfText(), fileName); }

void TRtfReport::Print() {
    std::filesystem::path file = std::filesystem::temp_directory_path() / "report.rtf";
    kavelin::utils::writeFileAtomic(file, RtfText());
    struct Remove {
        const std::filesystem::path& f;
        ~Remove() {
            std::error_code ignored;
            std::filesystem::remove(f, ignored);
        }
    } remove{file};
    TRtfDocumentBuilder builder;
    builder.setOverrideOptions(FPrintOptions.get());
    builder.PrintRTFFile(file);
}

TPrintOptions& TRtfReport::PrintOptions() {
    if (!FPrintOptions) FPrintOptions = std::make_unique<TPrintOptions>();
    return *FPrintOptions;
}

void TRtfReport::setPrintOptions(const TPrintOptions* options) {
    if (!options) FPrintOptions.reset();
    else PrintOptions().Assign(*options);
}

void TRtfReport::Merge(const TRtfReport& source) {
    setRowCount(std::max(RowCount(), source.RowCount()));
    double widest = 0;
    for (auto& r : FRows) widest = std::max(widest, r->Width());
    for (auto& r : FRows) {
        double gap = widest - r->Width() + 0.7;
        TReportCell& spacer = r->addAndGetCell();
        spacer.FBackGround.Style = TReportFill::fsClear;
        spacer.setBorders(0);
        spacer.Width = gap;
    }
    for (int i = 0; i < source.RowCount(); ++i)
        for (const auto& c : source.FRows[static_cast<size_t>(i)]->FCells)
            FRows[static_cast<size_t>(i)]->FCells.push_back(std::make_unique<TReportCell>(*c));
}

void TRtfReport::AutoSize() {
    constexpr size_t MaxColumns = 101;
    std::array<double, MaxColumns> widths{};
    for (auto& r : FRows)
        for (size_t i = 0; i < r->FCells.size() && i < MaxColumns; ++i) {
            const TReportCell& c = *r->FCells[i];
            size_t start = 0;
            const std::string& t = c.Text;
            while (start <= t.size()) {
                size_t end = t.find_first_of("\r\n", start);
                if (end == std::string::npos) end = t.size();
                widths[i] = std::max(widths[i], fontHelper().getTextWidth(t.substr(start, end - start) + " ", c.FFont.Size));
                if (end < t.size() && t[end] == '\r' && end + 1 < t.size() && t[end + 1] == '\n') ++end;
                start = end + 1;
            }
        }
    for (auto& r : FRows)
        for (size_t i = 0; i < r->FCells.size() && i < MaxColumns; ++i) r->FCells[i]->Width = widths[i];
}

}  // namespace kavelin::rtf
