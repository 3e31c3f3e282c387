// Paragraph and cell format records: borders, tab stops, alignment.
#pragma once

#include <array>
#include <cstdint>

#include "app/rtf/geometry.h"

namespace kavelin::rtf {

enum class TTextAlign { taLeft, taRight, taJustify, taCentered };

enum class TBorderStyle {
    brdr_solid, brdr_hairline, brdr_shadowed, brdr_double, brdr_dashed, brdr_dotted, brdr_dashdot, brdr_dashdotdot
};

struct TBorderSide {
    TBorderStyle Style = TBorderStyle::brdr_solid;
    int LineWidth = 0;
    TColor Color = clBlack;
    int Space = 0;
    bool operator==(const TBorderSide&) const = default;
};

enum TBorderIndex { biTop, biBottom, biLeft, biRight, biHor, biVert, biBox };

struct TIndent {
    int left = 0;
    int right = 0;
    bool operator==(const TIndent&) const = default;
};

struct TBorderDefRec {
    std::array<TBorderSide, 7> FSides{};
    TIndent FIndent;

    // Applies a change to the side(s) an index stands for: biHor means top and
    // bottom, biVert left and right, biBox all four outer sides.
    template <class F>
    void modify(TBorderIndex index, F change) {
        change(FSides[index]);
        if (index == biHor || index == biBox) {
            change(FSides[biTop]);
            change(FSides[biBottom]);
        }
        if (index == biVert || index == biBox) {
            change(FSides[biLeft]);
            change(FSides[biRight]);
        }
    }
    const TBorderSide& side(TBorderIndex i) const { return FSides[i]; }
    // All-zero sides mean no border.
    bool hasBorder() const {
        for (const auto& s : FSides)
            if (s.LineWidth != 0) return true;
        return false;
    }
    bool equals(const TBorderDefRec& o) const { return FSides == o.FSides; }
    bool operator==(const TBorderDefRec&) const = default;
};

enum class TTabLeader { tlNone, tlDot, tlHyph, tlUnderline, tlTh, tlEq };

struct TTabPos {
    int pos = 0;
    TTextAlign align = TTextAlign::taLeft;
    TTabLeader leader = TTabLeader::tlNone;
    bool operator==(const TTabPos&) const = default;
};

struct TTabs {
    static constexpr int MaxTabs = 33;
    std::array<TTabPos, MaxTabs> pos{};
    int TabCount = 0;
    int FDefaultTab = 720;

    // Adds a stop; stops beyond the capacity are dropped.
    void add(const TTabPos& t) {
        if (TabCount < MaxTabs) pos[TabCount++] = t;
    }
    void clear() { TabCount = 0; }
    // The first stop beyond x; with none left, the next multiple of the
    // default distance (1500 when that is not positive).
    TTabPos next(int x) const {
        for (int i = 0; i < TabCount; ++i)
            if (pos[i].pos > x) return pos[i];
        int step = FDefaultTab > 0 ? FDefaultTab : 1500;
        int p = x < 0 ? 0 : (x / step + 1) * step;
        return {p, TTextAlign::taLeft, TTabLeader::tlNone};
    }
    bool operator==(const TTabs&) const = default;
};

}  // namespace kavelin::rtf
