#include "calc/com/result_objects.h"

#include "calc/com/com_error.h"
#include "calc/com/ole_strings.h"
#include "calc/com/result_value.h"
#include "calc/errors/calc_errors.h"

namespace mirvo::com {

namespace {

// Longest error texts the result objects give.
constexpr size_t kLoanErrorChars = 1000;
constexpr size_t kFrameworkErrorChars = 5000;

std::u16string cut(std::u16string text, size_t chars) {
    if (text.size() > chars) text.resize(chars);
    return text;
}

std::u16string loanErrorMessage(int32_t erc) { return cut(beregning::loanErrorText(uint16_t(erc)), kLoanErrorChars); }

// Writes a property value, or leaves the out-parameter cleared on failure.
template <class T, class F>
HRESULT getProperty(T* out, F&& value) {
    if (!out) return E_POINTER;
    *out = T{};
    return guarded([&] { *out = value(); });
}

constexpr TDispMember kResultMembers[] = {
    {DISPID_IMIRVORESULT_ERRORCODE, u"errorCode", true, 0, {}},
    {DISPID_IMIRVORESULT_ERRORMSG, u"errorMsg", true, 0, {}},
    {DISPID_IMIRVORESULT_ASSTRING, u"asString", true, 0, {}},
    {DISPID_IMIRVORESULT_ASINT, u"asInt", true, 0, {}},
    {DISPID_IMIRVORESULT_ASDOUBLE, u"asDouble", true, 0, {}},
    {DISPID_IMIRVORESULT_ASDATE, u"asDate", true, 0, {}},
};

constexpr TDispMember kErrorMembers[] = {
    {DISPID_IMIRVOERROR_ERRORCODE, u"errorCode", true, 0, {}},
    {DISPID_IMIRVOERROR_ERRORMSG, u"errorMsg", true, 0, {}},
};

void setLong(VARIANT* v, int32_t value) {
    v->vt = VT_I4;
    v->lVal = value;
}

void setText(VARIANT* v, std::u16string_view text) {
    v->bstrVal = newString(text);
    v->vt = VT_BSTR;
}

}  // namespace

// ---- TResultObject ----------------------------------------------------------

HRESULT TResultObject::get_errorCode(LONG* value) {
    return getProperty(value, [&] { return FErc; });
}

HRESULT TResultObject::get_errorMsg(BSTR* value) {
    return getProperty(value, [&] { return newString(errorText()); });
}

HRESULT TResultObject::get_asString(BSTR* value) {
    return getProperty(value, [&] { return newString(FResult); });
}

HRESULT TResultObject::get_asInt(LONG* value) {
    return getProperty(value, [&] { return resultAsInt(FResult); });
}

HRESULT TResultObject::get_asDouble(double* value) {
    return getProperty(value, [&] { return resultAsDouble(FResult); });
}

HRESULT TResultObject::get_asDate(DATE* value) {
    return getProperty(value, [&] { return dateValue(); });
}

std::span<const TDispMember> TResultObject::members() const { return kResultMembers; }

void TResultObject::invokeMember(DISPID id, VARIANT*, VARIANT* result) {
    switch (id) {
        case DISPID_IMIRVORESULT_ERRORCODE: setLong(result, FErc); break;
        case DISPID_IMIRVORESULT_ERRORMSG: setText(result, errorText()); break;
        case DISPID_IMIRVORESULT_ASSTRING: setText(result, FResult); break;
        case DISPID_IMIRVORESULT_ASINT: setLong(result, resultAsInt(FResult)); break;
        case DISPID_IMIRVORESULT_ASDOUBLE:
            result->dblVal = resultAsDouble(FResult);
            result->vt = VT_R8;
            break;
        case DISPID_IMIRVORESULT_ASDATE:
            result->date = dateValue();
            result->vt = VT_DATE;
            break;
    }
}

std::u16string TMirvoResult::errorText() const { return loanErrorMessage(FErc); }

DATE TMirvoResult::dateValue() const { return resultAsDate(FResult); }

std::u16string TKavRmlnResult::errorText() const {
    return cut(beregning::frameworkErrorText(uint16_t(FErc)), kFrameworkErrorChars);
}

// ---- TMirvoError ------------------------------------------------------------

HRESULT TMirvoError::get_errorCode(LONG* value) {
    return getProperty(value, [&] { return FErc; });
}

HRESULT TMirvoError::get_errorMsg(BSTR* value) {
    return getProperty(value, [&] { return newString(loanErrorMessage(FErc)); });
}

std::span<const TDispMember> TMirvoError::members() const { return kErrorMembers; }

void TMirvoError::invokeMember(DISPID id, VARIANT*, VARIANT* result) {
    if (id == DISPID_IMIRVOERROR_ERRORCODE) setLong(result, FErc);
    else setText(result, loanErrorMessage(FErc));
}

}  // namespace mirvo::com
