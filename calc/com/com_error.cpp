#include "calc/com/com_error.h"

#include <new>

#include "common/text/encoding.h"

namespace mirvo::com {

TFailure currentFailure() {
    try {
        throw;
    } catch (const EAutomation& e) {
        return {e.hr(), e.message()};
    } catch (const std::bad_alloc&) {
        return {E_OUTOFMEMORY, u"Out of memory"};
    } catch (const std::exception& e) {
        return {E_FAIL, kavelin::text::fromUtf8(e.what())};
    } catch (...) {
        return {E_UNEXPECTED, u"Ukjent Exception-klasse. Kan ikke hente ut feilmelding"};
    }
}

}  // namespace mirvo::com
