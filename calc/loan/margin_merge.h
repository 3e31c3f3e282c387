// Merging a schedule with the same schedule computed under an interest
// margin: per column the base value, the margin value and their difference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/finans/report_output.h"

namespace mirvo::beregning {

struct TMarginFletting {
    size_t identKolonner = 2;  // leading columns that must agree and are written once
    int nokkelKolonne = -1;    // a column that must agree, written once (-1: none)
    bool formatert = false;    // numbers as the writer groups them
};

// Reads both schedule texts (rows of the writer's column separator) row by
// row. Returns 417 when rows or their identifying columns differ, else 0
// with the merged rows in `ut`. Throws EMirvo "For liten beregningsbuffer!"
// when the result would not fit in `kapasitet` characters with its
// terminator.
uint16_t flettMarginRader(std::u16string_view base, std::u16string_view klone, const TMarginFletting& valg,
                          const kavelin::finans::TReportOutput& writer, size_t kapasitet, std::u16string& ut);

}  // namespace mirvo::beregning
