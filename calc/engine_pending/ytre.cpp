// Placeholder until the outer core lands: keeps the library linkable.
#include "calc/kjerne/ytre.h"

namespace mirvo::beregning {
TYtterKjerne::TYtterKjerne() = default;
}  // namespace mirvo::beregning
