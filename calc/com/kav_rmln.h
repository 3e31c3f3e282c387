// The framework-loan object (class KavRmln): the loan interface IMirvo over
// a TRMLN. It keeps the first non-zero code of its calls in FErc.
#pragma once

#include <cstdint>
#include <memory>

#include "calc/com/auto_object.h"
#include "calc/com/result_objects.h"
#include "calc/rammelan/rmln.h"

namespace mirvo::com {

class TKavRmln final : public TAutoObject<IMirvo, IID_IMirvo> {
public:
    TKavRmln();
    ~TKavRmln() override;

    HRESULT setInput(BSTR field, VARIANT value) override;
    HRESULT getResult(BSTR func, LONG param, IMirvoResult** value) override;
    // Succeeds without an object: the framework loan has no error object.
    HRESULT getError(IMirvoError** value) override;

    int32_t erc() const { return FErc; }

protected:
    std::span<const TDispMember> members() const override;
    std::u16string_view progId() const override { return u"Mirvo32.KavRmln"; }
    void invokeMember(DISPID id, VARIANT* args, VARIANT* result) override;

private:
    void input(std::u16string_view field, std::u16string_view text);
    TKavRmlnResult* result(std::u16string_view func, int32_t param);

    int32_t FErc = 0;
    std::unique_ptr<beregning::TRMLN> FLoan;
};

}  // namespace mirvo::com
