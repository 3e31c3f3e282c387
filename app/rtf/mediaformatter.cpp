#include "app/rtf/mediaformatter.h"

#include <cmath>
#include <ctime>

#include "app/rtf/fieldformat.h"
#include "common/text/encoding.h"

namespace kavelin::rtf {

namespace {

double localNow() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return 25569.0 + (static_cast<double>(t) + static_cast<double>(tm.tm_gmtoff)) / 86400.0;
}

int tenthsMmToTwips(int v) { return static_cast<int>(std::lround(v * 1440.0 / 254.0)); }

TCharStatus arial(int height, bool italic, TColor color) {
    TCharStatus c;
    c.FName = u"Arial";
    c.FHeight = height;
    c.FColor = color;
    if (italic) c.FAttributes |= attr::italic;
    return c;
}

}  // namespace

TMediaFormatter::TMediaFormatter(TDrawingSurface& media, const TPrintOptions* options)
    : TPageFormatter(media), OverrideOptions(options), Now(localNow) {}

void TMediaFormatter::BeginPage() {
    if (OverrideOptions) Media.FSkala = OverrideOptions->FScale;
    TPageFormatter::BeginPage();
    if (!drawing()) return;
    if (OverrideOptions && !OverrideOptions->FWaterMark.empty()) waterMark();
    if (OnPagePrePaint) OnPagePrePaint(Media, Page);
}

void TMediaFormatter::EndPage() {
    if (drawing()) {
        if (OverrideOptions) cornerMarks();
        if (OnPagePostPaint) OnPagePostPaint(Media, Page);
        if (OverrideOptions && OverrideOptions->FTimeStamp) timeStamp();
    }
    TPageFormatter::EndPage();
}

void TMediaFormatter::waterMark() {
    TCharStatus saved = Media.FCharStatus;
    Media.FCharStatus = arial(1600, true, rgb(222, 222, 222));
    int w = Page.width(), h = Page.height();
    const TPoint at[] = {{w / 10, h / 8}, {2 * w / 3, 0}, {w / 3, h / 2}, {3 * w / 4, 3 * h / 4}, {w / 5, 8 * h / 9}};
    for (TPoint p : at) Media.TextOutRotated(Page.left + p.x, Page.top + p.y, u"Forslag", 55);
    Media.FCharStatus = saved;
}

void TMediaFormatter::cornerMarks() {
    const TRect& m = OverrideOptions->FPosMarks;
    if (m.width() <= 0 || m.height() <= 0) return;
    Media.Pen(15, clBlack, TLineStyle::lsSolid);
    int l = Page.left + tenthsMmToTwips(m.left), t = Page.top + tenthsMmToTwips(m.top);
    int r = Page.left + tenthsMmToTwips(m.right), b = Page.top + tenthsMmToTwips(m.bottom);
    for (TPoint c : {TPoint{l, t}, TPoint{r, t}, TPoint{l, b}, TPoint{r, b}}) {
        Media.Line({c.x - 50, c.y}, {c.x + 50, c.y});
        Media.Line({c.x, c.y - 50}, {c.x, c.y + 50});
    }
}

void TMediaFormatter::timeStamp() {
    TCharStatus saved = Media.FCharStatus;
    Media.FCharStatus = arial(150, false, rgb(63, 63, 63));
    std::string stamp = fieldfmt::formatDateTime(Now(), "dd.mm.yyyy hh:nn:ss");
    Media.TextOutRotated(Page.left + Page.width() / 20, Page.top + Page.height() / 2, kavelin::text::fromCp1252(stamp), 90);
    Media.FCharStatus = saved;
}

}  // namespace kavelin::rtf
