// Payment schedules: turns the rows of a full course into the text lines of
// a schedule written through the result writer, in several layouts.
#pragma once

#include <cstdint>

#include "calc/kjerne/simuler.h"
#include "calc/loan/run_mode.h"
#include "common/finans/report_output.h"

namespace mirvo::beregning {

class TForlopRapport : public TSimuler {
public:
    TForlopRapport();

    kavelin::finans::TReportOutput writer;
    TRunMode mode = TRunMode::norsk();
    bool formatertOutput = false;
};

}  // namespace mirvo::beregning
