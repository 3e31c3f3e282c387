#include "common/utils/error.h"

#include "common/text/encoding.h"

namespace kavelin::utils {

EKavelin::EKavelin(std::u16string message)
    : std::runtime_error(text::toUtf8(message)), FMessage(std::move(message)) {}

EDatoUtenforOmraade::EDatoUtenforOmraade()
    : EKavelin(u"Datoen ligger utenfor gyldig datoområde!") {}

}  // namespace kavelin::utils
