// The entries the server writes into a registration store: the standard
// registration of an in-process automation server (class, program id, type
// library and interface keys).
#pragma once

#include <string>
#include <string_view>

#include "calc/com/registration_store.h"
#include "mirvo32_com.h"

namespace mirvo::com {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::u16string guidText(const GUID& g);

// Adds the entries for the library at libraryPath.
void writeRegistration(TRegistrationStore& store, std::u16string_view libraryPath);
// Removes the same entries; other entries of the store stay.
void removeRegistration(TRegistrationStore& store);

}  // namespace mirvo::com
