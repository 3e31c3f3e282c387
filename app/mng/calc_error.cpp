#include "app/mng/calc_error.h"

#include "common/text/numtext.h"

namespace mirvo::dll {

EBeregning::EBeregning(uint16_t code, std::u16string message)
    : EKavelin(std::move(message)), FCode(code) {}

std::u16string fallbackErrorText(uint16_t code) {
    return u"Feil nr. " + kavelin::text::intText(code) + u"!";
}

}  // namespace mirvo::dll
