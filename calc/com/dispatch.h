// Late binding over a table of members: name lookup without regard to case,
// argument counting and coercion, and failures reported in EXCEPINFO.
#pragma once

#include <functional>
#include <span>
#include <string_view>

#include "mirvo32_com.h"

namespace mirvo::com {

struct TDispMember {
    DISPID id;
    std::u16string_view name;
    bool property;          // a read-only property; otherwise a method
    uint8_t paramCount;     // no optional parameters
    VARTYPE params[2];      // declared types; VT_VARIANT takes any value
    USHORT coerceFlags = 0; // VariantChangeType flags for the arguments
};

// Answers GetIDsOfNames: the first name is a member, further names would be
// its parameters, which are not offered (named arguments are not supported).
HRESULT dispIdsOfNames(std::span<const TDispMember> members, REFIID riid, LPOLESTR* names, UINT count,
                       DISPID* ids);

// Runs a member with its arguments coerced to the declared types, in
// declared order. The call throws on failure.
using TDispCall = std::function<void(DISPID id, VARIANT* args, VARIANT* result)>;

// Answers Invoke: DISP_E_UNKNOWNINTERFACE, DISP_E_MEMBERNOTFOUND,
// DISP_E_NONAMEDARGS, DISP_E_BADPARAMCOUNT, DISP_E_TYPEMISMATCH (with the
// failing argument's position in argErr) or DISP_E_EXCEPTION with `source`
// and the failure's message in excep.
HRESULT dispInvoke(std::span<const TDispMember> members, std::u16string_view source, DISPID id, REFIID riid,
                   WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep, UINT* argErr,
                   const TDispCall& call);

}  // namespace mirvo::com
