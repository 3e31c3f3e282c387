// The automation classes of the server and their class factories.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "mirvo32_com.h"

namespace mirvo::com {

struct TComClass {
    const CLSID& clsid;
    std::u16string_view name;         // class name; the program id is "Mirvo32." + name
    std::u16string_view helpText;     // may be empty
    const IID& iid;                   // the interface it implements
    // A new object with one reference; null for a class that is only
    // created by other objects (it then has no factory).
    IUnknown* (*create)();
};

// Every class of the type library.
std::span<const TComClass> comClasses();

std::u16string progIdOf(const TComClass& c);

// The class factory of a creatable class, or null. Factories live as long
// as the library; their references count for DllCanUnloadNow.
IClassFactory* factoryOf(const CLSID& clsid);

}  // namespace mirvo::com
