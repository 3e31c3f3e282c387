#include "app/rtf/pageformatter.h"

#include <algorithm>
#include <charconv>

namespace kavelin::rtf {

namespace {

std::u16string decimal(int n) {
    char buf[16];
    auto res = std::to_chars(buf, buf + sizeof buf, n);
    return std::u16string(buf, res.ptr);
}

}  // namespace

void TSpalteProfil::Merge(const TRect& r) {
    if (r.right > r.left && r.bottom > r.top) rects.push_back(r);
}

int TSpalteProfil::FindRoom(int y, int h, int left, int right) const {
    // Move below every obstacle that meets the band; repeat until none does.
    bool moved = true;
    while (moved) {
        moved = false;
        for (const TRect& r : rects) {
            bool acrossColumn = r.left < right && r.right > left;
            bool meets = r.top < y + std::max(h, 1) && r.bottom > y;
            if (acrossColumn && meets) {
                y = r.bottom;
                moved = true;
            }
        }
    }
    return y;
}

TPageFormatter::TPageFormatter(TDrawingSurface& media) : Media(media) {}
TPageFormatter::~TPageFormatter() = default;

int TPageFormatter::textTop() const { return Page.top + std::max(PageMargins.top, headerMarg); }
int TPageFormatter::textBottom() const { return Page.bottom - std::max(PageMargins.bottom, footerMarg); }

int TPageFormatter::columnWidth() const {
    int cols = std::max(1, fColumns);
    return std::max(1, (textRight() - textLeft() - (cols - 1) * ColumnSpace) / cols);
}

int TPageFormatter::columnLeft() const { return textLeft() + CurrColumn * (columnWidth() + ColumnSpace); }

void TPageFormatter::FillTextGraphic(TTextGraphic& g) {
    if (dynamic_cast<TPageNumber*>(&g)) g.s = OnPageNumber ? OnPageNumber(FPageNumber) : decimal(FPageNumber);
    else if (dynamic_cast<TNumPages*>(&g)) g.s = decimal(FNumPages);
    else if (dynamic_cast<TSectionNumber*>(&g)) g.s = decimal(FSectionNumber);
}

int TPageFormatter::PrintDocument(TDocument& doc) {
    FSavedOwner = Media.FOwner;
    Media.FOwner = this;
    int countFromDryRun = 0;
    if (CountPagesFirst) {
        FDrawing = false;
        run(doc);
        countFromDryRun = FNumPages;
    }
    FDrawing = true;
    FNumPages = countFromDryRun;
    run(doc);
    Media.FOwner = FSavedOwner;
    return std::max(CurrPosY, MaxRelY);
}

void TPageFormatter::run(TDocument& doc) {
    FDoc = &doc;
    Media.FCharStatus.SetTextDefaults();
    Media.FColor = clWhite;
    FPageNumber = 0;
    FPhysicalPages = 0;
    FSectionNumber = 1;
    pageOpen = false;
    pageHasContent = false;
    KeepNQ.clear();
    PosObjectQ.clear();
    ColumnProfil.Clear();
    MaxRelY = 0;
    CurrPosY = 0;
    auto& sections = doc.sectionList();
    for (size_t i = 0; i < sections.size(); ++i) {
        FSectionNumber = static_cast<int>(i) + 1;
        PrintSection(*sections[i], i == 0);
    }
    FlushKeepQ();
    if (pageOpen) EndPage();
}

void TPageFormatter::PrintSection(TTextSection& section, bool first) {
    int kind = first ? 5 : section.Break;
    if (kind >= 1 && kind <= 4) {
        FlushKeepQ();
        if (pageOpen) EndPage();
    }
    TSize paper = section.papersize.cx > 0 && section.papersize.cy > 0 ? section.papersize : FDoc->papersize;
    if (kind != 0) {
        Page = {0, 0, paper.cx, paper.cy};
        PageMargins = section.marg;
        if ((kind == 4 && FPhysicalPages % 2 == 1) || (kind == 3 && FPhysicalPages % 2 == 0 && FPhysicalPages > 0)) {
            BeginPage();
            EndPage();
        }
        FIsFirstPageInSection = true;
    }

    header = footer = nullptr;
    headerMarg = footerMarg = 0;
    HeaderY = section.HeaderY;
    FooterY = section.FooterY;
    int textWidth = std::max(1, textRight() - textLeft());
    if (ShowHeaderFooter) {
        header = section.headerBoth() ? section.headerBoth() : section.headerRight();
        footer = section.footer();
        if (header) {
            header->SetWidth(textWidth);
            header->Format(Media, 0);
            headerMarg = HeaderY + header->GetHeight();
        }
        if (footer) {
            footer->SetWidth(textWidth);
            footer->Format(Media, 0);
            footerMarg = FooterY + footer->GetHeight();
        }
    }
    if (section.PgnRestart) FPageNumber = section.PgnStarts - 1;
    if (kind != 0 || !pageOpen) BeginPage();

    fColumns = std::max(1, section.NumCols);
    ColumnSpace = section.colspace;
    CurrColumn = 0;
    columnTop = CurrPosY;
    columnHasContent = false;

    for (int i = 0; i < section.IList.ItemCount(); ++i) PrintElement(*section.IList.At(i));
    FlushKeepQ();
}

void TPageFormatter::BeginPage() {
    ++FPageNumber;
    ++FPhysicalPages;
    FNumPages = std::max(FNumPages, FPageNumber);
    pageOpen = true;
    pageHasContent = false;
    columnHasContent = false;
    UnprintableY = 0;
    ColumnProfil.Clear();
    PosObjectQ.clear();
    if (FDrawing) Media.BeginPage({Page.width(), Page.height()});
    if (header) drawAt(*header, {textLeft(), Page.top + HeaderY});
    CurrColumn = 0;
    CurrPosY = textTop();
    columnTop = CurrPosY;
}

void TPageFormatter::EndPage() {
    for (poqnode& n : PosObjectQ) drawAt(*n.g, {n.RefRect.left, n.RefRect.top});
    PosObjectQ.clear();
    if (footer && pageHasContent) drawAt(*footer, {textLeft(), Page.bottom - FooterY - footer->GetHeight()});
    if (FDrawing) Media.EndPage();
    pageOpen = false;
    FIsFirstPageInSection = false;
}

void TPageFormatter::NewPage() {
    if (pageOpen) EndPage();
    BeginPage();
}

void TPageFormatter::ensurePage() {
    if (!pageOpen) BeginPage();
}

void TPageFormatter::NextColumn() {
    if (CurrColumn + 1 < fColumns) {
        ++CurrColumn;
        CurrPosY = columnTop;
    } else {
        NewPage();
    }
    columnHasContent = false;
}

bool TPageFormatter::RoomCheck(int height) {
    ensurePage();
    bool moved = false;
    for (int guard = 0; guard < 4; ++guard) {
        int free = ColumnProfil.FindRoom(CurrPosY, height, columnLeft(), columnLeft() + columnWidth());
        bool pushed = free != CurrPosY;
        CurrPosY = free;
        UnprintableY = textBottom();
        if (CurrPosY + height > textBottom() && (columnHasContent || pushed)) {
            NextColumn();
            moved = true;
            continue;
        }
        break;
    }
    return moved;
}

void TPageFormatter::drawAt(TImage& image, TPoint p) {
    if (FDrawing) image.Draw(Media, p);
}

void TPageFormatter::PrintItem(TPrintable& item) {
    drawAt(item, {columnLeft(), CurrPosY});
    CurrPosY += item.GetHeight();
    if (item.GetHeight() > 0) {
        columnHasContent = true;
        pageHasContent = true;
    }
}

void TPageFormatter::PrintRepeated(TPrintable& item) { PrintItem(item); }

void TPageFormatter::FlushKeepQ() {
    if (KeepNQ.empty()) return;
    std::vector<KeepEntry> queue;
    queue.swap(KeepNQ);
    int total = 0;
    for (const KeepEntry& k : queue) total += k.item->GetHeight();
    RoomCheck(total);
    for (const KeepEntry& k : queue) {
        if (RoomCheck(k.item->GetHeight()) && k.owner->FOnPageBreakInTable && k.item != k.owner->Item(0))
            k.owner->FOnPageBreakInTable(*this);
        PrintItem(*k.item);
    }
}

void TPageFormatter::PrintElement(TPageElement& e) {
    if (auto* rel = dynamic_cast<TPageRelative*>(&e)) {
        PrintRelative(*rel);
        return;
    }
    if (auto* f = dynamic_cast<TFormatable*>(&e)) {
        f->SetWidth(columnWidth());
        f->Format(Media, 0);
        PrintFormatable(*f);
    }
}

void TPageFormatter::PrintFormatable(TFormatable& f) {
    int n = f.ItemCount();
    if (f.GetPageBreakBefore()) {
        FlushKeepQ();
        if (pageHasContent) NewPage();
    } else if (f.GetKeep()) {
        RoomCheck(f.GetHeight());
    }
    if (f.GetKeepWithNext()) {
        for (int i = 0; i < n; ++i) KeepNQ.push_back({&f, f.Item(i)});
        return;
    }
    // Lines (or rows), leaving out the bands of space.
    std::vector<int> lines;
    for (int i = 0; i < n; ++i)
        if (!f.Item(i)->IsVerticalSpace()) lines.push_back(i);
    if (f.GetWidowCtrl() || !KeepNQ.empty()) {
        int h = 0;
        for (const KeepEntry& k : KeepNQ) h += k.item->GetHeight();
        for (size_t j = 0; j < lines.size() && j < 2; ++j) h += f.Item(lines[j])->GetHeight();
        RoomCheck(h);
    }
    FlushKeepQ();
    int lastButOne = f.GetWidowCtrl() && lines.size() >= 3 ? lines[lines.size() - 2] : -1;
    for (int i = 0; i < n; ++i) {
        TPrintable& item = *f.Item(i);
        if (item.PageBreak) NewPage();
        if (i == lastButOne) RoomCheck(item.GetHeight() + f.Item(lines.back())->GetHeight());
        if (RoomCheck(item.GetHeight()) && i > 0 && f.FOnPageBreakInTable) f.FOnPageBreakInTable(*this);
        PrintItem(item);
    }
}

void TPageFormatter::PrintRelative(TPageRelative& r) {
    ensurePage();
    r.FormatFor(Media, columnWidth());
    TRect ref;
    switch (r.VertRef) {
    case TVertReference::vaPara: ref.top = CurrPosY, ref.bottom = textBottom(); break;
    case TVertReference::vaMargin: ref.top = textTop(), ref.bottom = textBottom(); break;
    case TVertReference::vaPage: ref.top = Page.top, ref.bottom = Page.bottom; break;
    }
    switch (r.HorRef) {
    case THorReference::haColumn: ref.left = columnLeft(), ref.right = columnLeft() + columnWidth(); break;
    case THorReference::haMargin: ref.left = textLeft(), ref.right = textRight(); break;
    case THorReference::haPage: ref.left = Page.left, ref.right = Page.right; break;
    }
    int w = r.GetWidth(), h = r.GetHeight();
    TPoint pos = r.GetRelPos();
    int x, y;
    switch (pos.x) {
    case poscode::xCenter: x = ref.left + (ref.width() - w) / 2; break;
    case poscode::xRight:
    case poscode::xOutside: x = ref.right - w; break;
    case poscode::xInside: x = ref.left; break;
    default: x = ref.left + pos.x;
    }
    switch (pos.y) {
    case poscode::yCenter: y = ref.top + (ref.height() - h) / 2; break;
    case poscode::yBottom: y = ref.bottom - h; break;
    case poscode::yInline: y = ref.top; break;
    default: y = ref.top + pos.y;
    }
    TRect placed{x, y, x + w, y + h};
    PosObjectQ.push_back({placed, &r});
    if (r.TekstBryt) ColumnProfil.Merge({x, y - r.AvstOver, x + w, y + h + r.AvstUnder});
    MaxRelY = std::max(MaxRelY, placed.bottom);
    pageHasContent = true;
}

}  // namespace kavelin::rtf
