#include "app/rtf/paragraph.h"

#include <algorithm>
#include <cstring>

#include "common/text/encoding.h"

namespace kavelin::rtf {

namespace {

int clamp16(int v) { return std::clamp(v, -32768, 32767); }

int read16(const std::string& b, size_t at) {
    if (at + 1 >= b.size()) return 0;
    return static_cast<std::int16_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}

void write16(std::string& b, size_t at, int v) {
    if (at + 1 >= b.size()) return;
    auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(clamp16(v)));
    b[at] = static_cast<char>(u & 0xFF);
    b[at + 1] = static_cast<char>(u >> 8);
}

// Byte length of the command or character starting with byte c.
size_t unitLength(unsigned char c) {
    switch (c) {
    case cmd::graphic: return 3;
    case cmd::format: return 4;
    case cmd::color: return 5;
    case cmd::tab: return 3;
    default: return 1;
    }
}

bool isFormat(unsigned char c) { return c == cmd::format || c == cmd::color; }

// The text a byte prints as, or 0 when it prints nothing.
char16_t printed(unsigned char c) {
    if (c == cmd::nbSpace) return u' ';
    if (c == cmd::nbHyphen) return u'-';
    if (c < 32) return 0;
    char ch = static_cast<char>(c);
    return kavelin::text::fromCp1252(std::string_view(&ch, 1))[0];
}

int charWidth(TDrawingSurface& s, char16_t c) { return s.TextLength(std::u16string_view(&c, 1)); }

// Ascent and descent of the current character state, with displacement.
void lineMetrics(TDrawingSurface& s, int& asc, int& desc) {
    TTextMetrics m = s.GetTextMetrics();
    int a = m.Ascent + m.Leading;
    int d = m.Descent;
    int disp = s.FCharStatus.FVerticalDisp;
    if (disp < 0) a -= disp;
    if (disp > 0) d += disp;
    asc = std::max(asc, a);
    desc = std::max(desc, d);
}

int lineHeight(int asc, int desc, int lineSpace) {
    if (lineSpace < 0) return -lineSpace;
    return std::max(asc + desc, lineSpace);
}

// Breaks a paragraph into lines for a width.
class TTextFormatter {
public:
    TTextFormatter(TAttributedText& p, TDrawingSurface& s, int width) : p(p), s(s), width(width) {}

    void Format(std::vector<std::unique_ptr<TTextSpace>>& out) {
        limit = width - p.rightIndent();
        if (limit < 1) limit = width;
        s.FCharStatus = p.FStartStatus;
        size_t i = 0;
        bool first = true;
        bool pendingPageBreak = false;
        const std::string& b = p.Buff;
        for (;;) {
            Line line = scan(i, first ? p.leftIndent() + p.FFirstLineIndent : p.leftIndent());
            if (line.pageBreakOnly) {
                pendingPageBreak = true;
                i = line.next;
                if (i < b.size()) continue;
                line.last = true;
            }
            auto l = std::make_unique<TTextLine>();
            l->par = &p;
            l->LineBgnInx = line.begin;
            l->LineEndInx = line.end;
            l->FState = line.state;
            l->TotLineLength = line.endX - line.x0;
            l->Ascent = line.asc;
            l->Descent = line.desc;
            l->BreakCount = line.spaces;
            l->SoftHyphen = line.soft;
            l->PageBreak = pendingPageBreak;
            l->FHeight = line.pageBreakOnly ? 0 : lineHeight(line.asc, line.desc, p.LineSpace);
            int room = limit - line.endX;
            int shift = 0;
            if (p.FAlign == TTextAlign::taRight) shift = room;
            if (p.FAlign == TTextAlign::taCentered) shift = room / 2;
            l->Indent = line.x0 + std::max(0, shift);
            pendingPageBreak = false;
            first = false;
            out.push_back(std::move(l));
            if (line.last) break;
            i = line.next;
        }
        static_cast<TTextLine&>(*out.back()).ersistelinje = true;
    }

private:
    struct Line {
        size_t begin = 0, end = 0, next = 0;
        int x0 = 0, endX = 0, asc = 0, desc = 0, spaces = 0;
        bool soft = false, last = false, pageBreakOnly = false;
        TCharStatus state;
    };
    struct Break {
        bool valid = false;
        size_t end = 0, next = 0;
        int endX = 0, asc = 0, desc = 0, spaces = 0;
        bool soft = false;
    };
    struct Placed {
        size_t next;
        int xAfter, asc, desc;
    };
    struct PendingTab {
        bool active = false;
        size_t at = 0;
        TTabPos stop;
        int xAtTab = 0;
    };

    // Resolves a right or centred tab against the text that followed it up to x.
    int resolveTab(PendingTab& t, int x) {
        if (!t.active) return 0;
        t.active = false;
        int text = x - t.xAtTab;
        int w = t.stop.align == TTextAlign::taRight ? t.stop.pos - t.xAtTab - text
                                                     : t.stop.pos - t.xAtTab - text / 2;
        w = std::max(0, w);
        write16(p.Buff, t.at + 1, w);
        return w;
    }

    // Re-applies the format commands in [from, to) to the surface.
    void advanceState(size_t from, size_t to) {
        const std::string& b = p.Buff;
        for (size_t i = from; i < to && i < b.size();) {
            auto c = static_cast<unsigned char>(b[i]);
            if (isFormat(c)) i += p.applyCommand(i, s.FCharStatus);
            else i += unitLength(c);
        }
    }

    Line scan(size_t begin, int x0) {
        const std::string& b = p.Buff;
        Line line;
        line.begin = begin;
        line.x0 = x0;
        line.state = s.FCharStatus;
        TCharStatus startState = s.FCharStatus;
        int x = x0, asc = 0, desc = 0, spaces = 0;
        bool inSpaces = false, content = false;
        Break brk;
        PendingTab tab;
        std::vector<Placed> word;  // characters since the last break opportunity

        auto finish = [&](size_t end, size_t next, int endX, int a, int d, int sp, bool soft) {
            if (tab.active && tab.at < end) endX += resolveTab(tab, endX);
            line.end = end;
            line.next = next;
            line.endX = endX;
            line.spaces = sp;
            line.soft = soft;
            if (a == 0 && d == 0) lineMetrics(s, a, d);
            line.asc = a;
            line.desc = d;
            // The next line starts in the state at its first byte.
            s.FCharStatus = startState;
            advanceState(begin, next);
            return line;
        };
        auto finishAtBreak = [&]() { return finish(brk.end, brk.next, brk.endX, brk.asc, brk.desc, brk.spaces, brk.soft); };

        size_t i = begin;
        for (;;) {
            if (i >= b.size()) {
                line.last = true;
                if (inSpaces) return finish(i, i, brk.endX, asc, desc, brk.spaces, false);
                return finish(i, i, x, asc, desc, spaces, false);
            }
            auto c = static_cast<unsigned char>(b[i]);
            if (isFormat(c)) {
                i += p.applyCommand(i, s.FCharStatus);
                continue;
            }
            switch (c) {
            case cmd::lineBreak:
                if (inSpaces) return finish(i + 1, i + 1, brk.endX, asc, desc, brk.spaces, false);
                return finish(i + 1, i + 1, x, asc, desc, spaces, false);
            case cmd::pageBreak:
                if (!content) {
                    line.pageBreakOnly = true;
                    line.next = i + 1;
                    line.end = i + 1;
                    line.endX = x0;
                    s.FCharStatus = startState;
                    advanceState(begin, i + 1);
                    return line;
                }
                if (inSpaces) brk.next = i;
                else brk = {true, i, i, x, asc, desc, spaces, false};
                return finishAtBreak();
            case cmd::tab: {
                Break before{content && i > begin, i, i, x, asc, desc, spaces, false};
                if (inSpaces) before = brk, before.next = i;
                x += resolveTab(tab, x);
                TTabPos stop = p.FTabs.next(x);
                if (stop.align == TTextAlign::taRight || stop.align == TTextAlign::taCentered) {
                    tab = {true, i, stop, x};
                    write16(p.Buff, i + 1, 0);
                } else {
                    write16(p.Buff, i + 1, stop.pos - x);
                    x = stop.pos;
                }
                if (x > limit && before.valid) {
                    tab.active = false;
                    brk = before;
                    return finishAtBreak();
                }
                lineMetrics(s, asc, desc);
                i += 3;
                content = true;
                inSpaces = false;
                brk = {true, i, i, x, asc, desc, spaces, false};
                word.clear();
                continue;
            }
            case cmd::optHyphen: {
                int hw = charWidth(s, u'-');
                brk = {true, i, i + 1, x + hw, asc, desc, spaces, true};
                inSpaces = false;
                word.clear();
                ++i;
                continue;
            }
            case ' ': {
                if (!inSpaces) brk = {true, i, i, x, asc, desc, spaces, false};
                inSpaces = true;
                x += charWidth(s, u' ');
                lineMetrics(s, asc, desc);
                ++spaces;
                ++i;
                brk.end = i;
                brk.next = i;
                content = true;
                word.clear();
                continue;
            }
            default: break;
            }

            // A character or an inline graphic.
            int w = 0, a = asc, d = desc;
            size_t len = unitLength(c);
            if (c == cmd::graphic) {
                size_t gi = static_cast<std::uint16_t>(read16(b, i + 1));
                if (gi < p.FGraphicList.size()) {
                    TSize sz = p.FGraphicList[gi]->Measure(s);
                    w = sz.cx;
                    a = std::max(a, sz.cy);
                    lineMetrics(s, a, d);
                }
            } else if (char16_t ch = printed(c)) {
                w = charWidth(s, ch);
                lineMetrics(s, a, d);
            } else {
                i += len;  // a stray control byte prints nothing
                continue;
            }
            if (content && x + w > limit) {
                if (brk.valid) return finishAtBreak();
                if (!word.empty()) {
                    // A word wider than the line: keep the longest prefix that fits with "-".
                    int hw = charWidth(s, u'-');
                    size_t k = 0;
                    for (size_t j = 1; j < word.size(); ++j)
                        if (word[j].xAfter + hw <= limit) k = j;
                    const Placed& pl = word[k];
                    return finish(pl.next, pl.next, pl.xAfter + hw, pl.asc, pl.desc, 0, true);
                }
            }
            x += w;
            asc = a;
            desc = d;
            content = true;
            inSpaces = false;
            i += len;
            word.push_back({i, x, asc, desc});
            if (c == '-') {
                brk = {true, i, i, x, asc, desc, spaces, false};
                word.clear();
            }
        }
    }

    TAttributedText& p;
    TDrawingSurface& s;
    int width;
    int limit = 0;
};

}  // namespace

TAttributedText::TAttributedText() = default;
TAttributedText::TAttributedText(const TCharStatus& start) : FStartStatus(start) {}

void TAttributedText::TextOut(std::string_view bytes) {
    for (char ch : bytes) {
        // Bytes below 32 are commands; text never carries them.
        if (static_cast<unsigned char>(ch) >= 32) Buff.push_back(ch);
    }
}

void TAttributedText::putFormat(unsigned char type, int value) {
    Buff.push_back(static_cast<char>(cmd::format));
    Buff.push_back(static_cast<char>(type));
    Buff.append(2, '\0');
    write16(Buff, Buff.size() - 2, value);
}

void TAttributedText::ChangeFontName(const std::u16string& name, std::uint8_t charset) {
    putFormat(cmd::fmtFont, static_cast<std::int16_t>(registerFont(name, charset)));
}
void TAttributedText::ChangeFontHeight(int twips) { putFormat(cmd::fmtHeight, std::clamp(twips, 1, 32767)); }
void TAttributedText::ChangeVerticalDisplacement(int twips) { putFormat(cmd::fmtDisplacement, twips); }
void TAttributedText::ChangeExpansion(int twips) { putFormat(cmd::fmtExpansion, twips); }
void TAttributedText::SetAttribute(TCharAttributes bit, bool on) {
    putFormat(cmd::fmtAttrib, on ? int(bit) : -int(bit));
}
void TAttributedText::SetAttributes(TCharAttributes set) {
    putFormat(cmd::fmtAttribSet, static_cast<std::int16_t>(set));
}

void TAttributedText::ChangeFontColor(TColor c) {
    Buff.push_back(static_cast<char>(cmd::color));
    for (int k = 0; k < 4; ++k) Buff.push_back(static_cast<char>((c >> (8 * k)) & 0xFF));
}

void TAttributedText::Tabulator() {
    Buff.push_back(static_cast<char>(cmd::tab));
    Buff.append(2, '\0');
}
void TAttributedText::LineBreak() { Buff.push_back(static_cast<char>(cmd::lineBreak)); }
void TAttributedText::PageBreak() { Buff.push_back(static_cast<char>(cmd::pageBreak)); }
void TAttributedText::NonBreakingSpace() { Buff.push_back(static_cast<char>(cmd::nbSpace)); }
void TAttributedText::NonBreakingHyphen() { Buff.push_back(static_cast<char>(cmd::nbHyphen)); }
void TAttributedText::OptionalHyphen() { Buff.push_back(static_cast<char>(cmd::optHyphen)); }

void TAttributedText::AddGraphic(std::unique_ptr<TInlineGraphic> graphic) {
    if (!graphic || FGraphicList.size() >= 0xFFFF) return;
    Buff.push_back(static_cast<char>(cmd::graphic));
    Buff.append(2, '\0');
    write16(Buff, Buff.size() - 2, static_cast<std::int16_t>(FGraphicList.size()));
    FGraphicList.push_back(std::move(graphic));
}

size_t TAttributedText::applyCommand(size_t i, TCharStatus& st) const {
    auto c = static_cast<unsigned char>(Buff[i]);
    if (c == cmd::color) {
        if (i + 4 < Buff.size()) {
            TColor col = 0;
            for (int k = 0; k < 4; ++k) col |= TColor(static_cast<unsigned char>(Buff[i + 1 + k])) << (8 * k);
            st.FColor = col;
        }
        return 5;
    }
    if (c != cmd::format || i + 3 >= Buff.size()) return unitLength(c);
    int v = read16(Buff, i + 2);
    switch (static_cast<unsigned char>(Buff[i + 1])) {
    case cmd::fmtFont: {
        TRegisteredFont f = registeredFont(static_cast<std::uint16_t>(v));
        st.FName = f.name;
        st.FCharset = f.charset;
        break;
    }
    case cmd::fmtHeight: st.FHeight = v; break;
    case cmd::fmtAttrib:
        if (v > 0) st.FAttributes |= static_cast<TCharAttributes>(v);
        else st.FAttributes &= static_cast<TCharAttributes>(~(-v));
        break;
    case cmd::fmtAttribSet: st.FAttributes = static_cast<TCharAttributes>(v); break;
    case cmd::fmtExpansion: st.FExpand = v; break;
    case cmd::fmtDisplacement: st.FVerticalDisp = v; break;
    default: break;
    }
    return 4;
}

std::vector<TTextLine*> TAttributedText::lines() const {
    std::vector<TTextLine*> out;
    for (const auto& item : FComLst)
        if (!item->IsVerticalSpace()) out.push_back(static_cast<TTextLine*>(item.get()));
    return out;
}

void TAttributedText::Format(TDrawingSurface& papir, int minheight) {
    FComLst.clear();
    int width = FormalWidth;
    FTextWidth = width - leftIndent() - rightIndent();

    auto band = [&](int height, TVerticalSpace::Kind kind, unsigned rmask) {
        auto v = std::make_unique<TVerticalSpace>();
        v->par = this;
        v->FHeight = height;
        v->kind = kind;
        v->rmask = rmask;
        return v;
    };
    const TBorderSide& top = Borders.side(biTop);
    const TBorderSide& bottom = Borders.side(biBottom);
    unsigned sides = (Borders.side(biLeft).LineWidth > 0 ? 1u : 0u) | (Borders.side(biRight).LineWidth > 0 ? 2u : 0u);

    std::vector<std::unique_ptr<TTextSpace>> items;
    if (BorderFirst && top.LineWidth + top.Space > 0)
        items.push_back(band(top.LineWidth + top.Space, TVerticalSpace::TopBorder, sides));
    if (FSpaceBefore != 0) items.push_back(band(FSpaceBefore, TVerticalSpace::Space, BorderFirst ? 0u : sides));

    TCharStatus saved = papir.FCharStatus;
    TTextFormatter(*this, papir, width).Format(items);
    papir.FCharStatus = saved;

    int total = 0;
    for (const auto& it : items) total += it->GetHeight();
    int tail = (BorderLast ? bottom.LineWidth + bottom.Space : 0) + FSpaceAfter;
    if (total + tail < minheight) items.push_back(band(minheight - total - tail, TVerticalSpace::Space, sides));
    if (BorderLast && bottom.LineWidth + bottom.Space > 0)
        items.push_back(band(bottom.LineWidth + bottom.Space, TVerticalSpace::BottomBorder, sides));
    if (FSpaceAfter != 0) items.push_back(band(FSpaceAfter, TVerticalSpace::Space, 0));

    FComLst = std::move(items);
    FHeight = 0;
    for (const auto& it : FComLst) FHeight += it->GetHeight();
}

void TAttributedText::drawBand(TDrawingSurface& surface, const TTextSpace& item, TPoint topLeft, unsigned sides) {
    int left = topLeft.x + leftIndent();
    int right = topLeft.x + FormalWidth - rightIndent();
    int top = topLeft.y, bottom = topLeft.y + item.GetHeight();
    if (color != clWhite) surface.FillRect({left, top, right, bottom}, color);
    auto vline = [&](const TBorderSide& s, int x) {
        surface.Pen(s.LineWidth, s.Color, TLineStyle::lsSolid);
        surface.Line({x, top}, {x, bottom});
    };
    if (sides & 1) vline(Borders.side(biLeft), left - Borders.side(biLeft).Space);
    if (sides & 2) vline(Borders.side(biRight), right + Borders.side(biRight).Space);
}

void TVerticalSpace::Draw(TDrawingSurface& surface, TPoint topLeft, double) {
    if (!par) return;
    par->drawBand(surface, *this, topLeft, rmask);
    auto hline = [&](const TBorderSide& s, int y) {
        surface.Pen(s.LineWidth, s.Color, TLineStyle::lsSolid);
        surface.Line({topLeft.x + par->leftIndent(), y}, {topLeft.x + par->FormalWidth - par->rightIndent(), y});
    };
    if (kind == TopBorder) hline(par->Borders.side(biTop), topLeft.y + par->Borders.side(biTop).LineWidth / 2);
    if (kind == BottomBorder)
        hline(par->Borders.side(biBottom), topLeft.y + FHeight - par->Borders.side(biBottom).LineWidth / 2);
}

void TTextLine::Draw(TDrawingSurface& surface, TPoint topLeft, double) {
    if (par) par->drawLine(surface, *this, topLeft);
}

void TAttributedText::drawLine(TDrawingSurface& surface, const TTextLine& line, TPoint topLeft) {
    if (line.GetHeight() > 0) {
        unsigned sides = (Borders.side(biLeft).LineWidth > 0 ? 1u : 0u) | (Borders.side(biRight).LineWidth > 0 ? 2u : 0u);
        drawBand(surface, line, topLeft, sides);
    }
    TColor savedBack = surface.FColor;
    if (color != clWhite) surface.FColor = color;
    surface.FCharStatus = line.FState;
    int baseline = topLeft.y + line.Ascent;
    int x = topLeft.x + line.Indent;

    // Justification shares the missing width over the line's inner spaces.
    int extra = 0, spacesLeft = 0;
    if (FAlign == TTextAlign::taJustify && !line.ersistelinje && line.BreakCount > 0) {
        int lineStart = line.Indent;
        int limit = FormalWidth - rightIndent();
        extra = std::max(0, limit - lineStart - line.TotLineLength);
        spacesLeft = line.BreakCount;
    }

    std::u16string run;
    int runX = x;
    auto flush = [&]() {
        if (!run.empty()) surface.TextOut(runX, baseline, run);
        run.clear();
        runX = x;
    };
    for (size_t i = line.LineBgnInx; i < line.LineEndInx && i < Buff.size();) {
        auto c = static_cast<unsigned char>(Buff[i]);
        if (isFormat(c)) {
            flush();
            i += applyCommand(i, surface.FCharStatus);
            continue;
        }
        if (c == cmd::tab) {
            flush();
            x += read16(Buff, i + 1);
            runX = x;
            i += 3;
            continue;
        }
        if (c == cmd::graphic) {
            flush();
            size_t gi = static_cast<std::uint16_t>(read16(Buff, i + 1));
            if (gi < FGraphicList.size()) {
                TInlineGraphic& g = *FGraphicList[gi];
                int w = g.Measure(surface).cx;
                g.DrawAt(surface, x, baseline);
                x += w;
            }
            runX = x;
            i += 3;
            continue;
        }
        if (c == ' ') {
            flush();
            x += charWidth(surface, u' ');
            if (spacesLeft > 0) {
                int share = extra / spacesLeft;
                extra -= share;
                --spacesLeft;
                x += share;
            }
            runX = x;
            ++i;
            continue;
        }
        if (char16_t ch = printed(c)) {
            if (run.empty()) runX = x;
            run += ch;
            x += charWidth(surface, ch);
        }
        ++i;
    }
    flush();
    if (line.SoftHyphen) surface.TextOut(x, baseline, u"-");
    surface.FColor = savedBack;
}

}  // namespace kavelin::rtf
