// The loan object (class Mirvo) and the portfolio object (class
// MirvoPortfolio): thin automation shells over TCalcLoan and TPortfolio.
// Each keeps the first non-zero code of its calls in FErc and reports it in
// every result object it hands out.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "calc/com/auto_object.h"
#include "calc/com/result_objects.h"
#include "calc/loan/calc_loan.h"
#include "calc/portfolio/portfolio.h"

namespace mirvo::com {

// Room for a result text, terminator included.
inline constexpr uint32_t kResultBufferChars = 65001;
// How setInput turns a value into text (Booleans as "True"/"False").
inline constexpr USHORT kInputTextFlags = VARIANT_ALPHABOOL;

// The value of setInput as text; throws EAutomation(DISP_E_TYPEMISMATCH)
// when the value has no text form.
std::u16string inputText(const VARIANT& value);

// The members of IMirvo, shared by the loan and the framework-loan object.
std::span<const TDispMember> imirvoMembers();

class TMirvo final : public TAutoObject<IMirvo, IID_IMirvo> {
public:
    TMirvo();
    ~TMirvo() override;

    HRESULT setInput(BSTR field, VARIANT value) override;
    HRESULT getResult(BSTR func, LONG param, IMirvoResult** value) override;
    HRESULT getError(IMirvoError** value) override;

    beregning::TCalcLoan& loan() { return *FLoan; }
    int32_t erc() const { return FErc; }

protected:
    std::span<const TDispMember> members() const override;
    std::u16string_view progId() const override { return u"Mirvo32.Mirvo"; }
    void invokeMember(DISPID id, VARIANT* args, VARIANT* result) override;

private:
    void input(std::u16string_view field, std::u16string_view text);
    // A new result object (one reference for the caller).
    TMirvoResult* result(std::u16string_view func, int32_t param);
    TMirvoError* error();

    int32_t FErc = 0;
    std::unique_ptr<beregning::TCalcLoan> FLoan;
};

class TMirvoPortfolio final : public TAutoObject<IMirvoPortfolio, IID_IMirvoPortfolio> {
public:
    TMirvoPortfolio();
    ~TMirvoPortfolio() override;

    HRESULT add(IMirvo** item) override;
    HRESULT getResult(BSTR func, LONG param, IMirvoResult** value) override;

    int32_t erc() const { return FErc; }

protected:
    std::span<const TDispMember> members() const override;
    std::u16string_view progId() const override { return u"Mirvo32.MirvoPortfolio"; }
    void invokeMember(DISPID id, VARIANT* args, VARIANT* result) override;

private:
    // A new loan object in the portfolio (one reference for the caller).
    TMirvo* addLoan();
    TMirvoResult* result(std::u16string_view func, int32_t param);

    int32_t FErc = 0;
    // The loan objects stay alive as long as the portfolio; declared first
    // so that they outlive the calculator that refers to their loans.
    std::vector<TComPtr<TMirvo>> FItems;
    std::unique_ptr<beregning::TPortfolio> FPortfolio;
};

}  // namespace mirvo::com
