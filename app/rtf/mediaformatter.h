// A page formatter for print jobs: the print options' scale per page, a
// watermark under the content, corner marks and a time stamp over it.
#pragma once

#include <functional>

#include "app/rtf/pageformatter.h"
#include "app/rtf/printoptions.h"

namespace kavelin::rtf {

class TMediaFormatter : public TPageFormatter {
public:
    TMediaFormatter(TDrawingSurface& media, const TPrintOptions* overrideOptions);

    const TPrintOptions* OverrideOptions;
    // The clock for time stamps: days since 30 December 1899.
    std::function<double()> Now;
    std::function<void(TDrawingSurface&, const TRect&)> OnPagePrePaint, OnPagePostPaint;

protected:
    void BeginPage() override;
    void EndPage() override;

private:
    void waterMark();
    void cornerMarks();
    void timeStamp();
};

}  // namespace kavelin::rtf
