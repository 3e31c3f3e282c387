// The small objects that carry one answer back to the host: a result
// (code and text, readable as string, integer, real or date) and an error.
#pragma once

#include <cstdint>
#include <string>

#include "calc/com/auto_object.h"

namespace mirvo::com {

// Common part of TMirvoResult and TKavRmlnResult.
class TResultObject : public TAutoObject<IMirvoResult, IID_IMirvoResult> {
public:
    HRESULT get_errorCode(LONG* value) override;
    HRESULT get_errorMsg(BSTR* value) override;
    HRESULT get_asString(BSTR* value) override;
    HRESULT get_asInt(LONG* value) override;
    HRESULT get_asDouble(double* value) override;
    HRESULT get_asDate(DATE* value) override;

protected:
    TResultObject(int32_t erc, std::u16string result) : FErc(erc), FResult(std::move(result)) {}

    // The error text of FErc in the calculator's own table.
    virtual std::u16string errorText() const = 0;
    virtual DATE dateValue() const = 0;

    std::span<const TDispMember> members() const override;
    void invokeMember(DISPID id, VARIANT* args, VARIANT* result) override;

    int32_t FErc;
    std::u16string FResult;
};

// A loan or portfolio answer.
class TMirvoResult final : public TResultObject {
public:
    explicit TMirvoResult(int32_t erc = 0, std::u16string result = {}) : TResultObject(erc, std::move(result)) {}

protected:
    std::u16string errorText() const override;
    DATE dateValue() const override;
    std::u16string_view progId() const override { return u"Mirvo32.MirvoResult"; }
};

// A framework-loan answer; it has no date reading (asDate is always 0).
class TKavRmlnResult final : public TResultObject {
public:
    explicit TKavRmlnResult(int32_t erc = 0, std::u16string result = {}) : TResultObject(erc, std::move(result)) {}

protected:
    std::u16string errorText() const override;
    DATE dateValue() const override { return 0; }
    std::u16string_view progId() const override { return u"Mirvo32.KavRmlnResult"; }
};

// A loan's error code and text.
class TMirvoError final : public TAutoObject<IMirvoError, IID_IMirvoError> {
public:
    explicit TMirvoError(int32_t erc = 0) : FErc(erc) {}

    HRESULT get_errorCode(LONG* value) override;
    HRESULT get_errorMsg(BSTR* value) override;

protected:
    std::span<const TDispMember> members() const override;
    std::u16string_view progId() const override { return u"Mirvo32.MirvoError"; }
    void invokeMember(DISPID id, VARIANT* args, VARIANT* result) override;

private:
    int32_t FErc;
};

}  // namespace mirvo::com
