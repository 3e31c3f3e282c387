#include "calc/rammelan/rmln.h"

#include "common/text/casing.h"

namespace mirvo::beregning {

namespace {
constexpr uint16_t kUnknownFunction = 109;
}

TRMLN::TRMLN() = default;
TRMLN::~TRMLN() = default;

uint16_t TRMLN::Input(std::u16string_view buffer) {
    if (!buffer.empty()) FInputModus = true;
    return 0;
}

uint16_t TRMLN::getResult(std::u16string_view funcID, int32_t funcParam,
                          const TResultDest& dest) {
    if (FError != 0) return FError;
    dest.clear();
    return answer(kavelin::text::upperCase(funcID), funcParam, dest);
}

uint16_t TRMLN::answer(std::u16string_view funcID, int32_t, const TResultDest& dest) {
    if (funcID == u"VERSJON" || funcID == u"VERSION") {
        dest.writeScalar(u"4.00");
        return 0;
    }
    return kUnknownFunction;
}

}  // namespace mirvo::beregning
