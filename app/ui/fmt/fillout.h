// Fill-out masks for periods: pairs of a filler ("__") and a unit text, such
// as "__ år  __ mnd" or "__aar __mnd __dgr".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavelin::fmt {

struct FillOutPair {
    std::u16string filler;  // one or more "_"
    std::u16string unit;    // the fixed text after it
};

// The pairs of a fill-out mask; raises EFmtError when the mask is not made of
// such pairs.
std::vector<FillOutPair> splitFillOutMask(std::u16string_view mask);

// The text rewritten into the mask: each unit's number followed by the unit
// text. In the editing form a unit without a number shows "_".
std::u16string makeFillOutStr(std::u16string_view text, std::u16string_view mask, bool editing);

}  // namespace kavelin::fmt
