// Placeholder until the inner core lands: keeps the library linkable.
#include "calc/kjerne/indre.h"

namespace mirvo::beregning {
TInnerKjerne::TInnerKjerne() = default;
uint16_t TInnerKjerne::nullsendtrp(TWordDate, int) { return 0; }
}  // namespace mirvo::beregning
