// The application's objects over the calculation library's wide exports: an
// installment loan, a framework loan and a portfolio of installment loans.
// Each object owns exactly one library object and frees it when destroyed;
// the portfolio owns its loans and frees its library portfolio first.
//
// A failed request raises EBeregning with the library's code and text. The
// failure is kept: later requests of the same object raise it again until
// new input (a loan) or a new loan (a portfolio) starts afresh.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/mng/calc_error.h"
#include "app/mng/result_buffer.h"

namespace mirvo::dll {

class TPortefolje;

// A source of result texts by result identifier and 16-bit parameter.
class TOutput {
public:
    virtual ~TOutput() = default;
    // Formatted result (grouped numbers, report texts).
    virtual std::u16string getOutputFmt(std::u16string_view id, uint16_t param) = 0;
    // Raw result.
    virtual std::u16string getOutput(std::u16string_view id, uint16_t param) = 0;
};

// The library functions one kind of calculator is reached through.
struct TLaanExports {
    void* (*initialize)();
    void (*terminate)(void* handle);
    uint32_t (*input)(void* handle, const char16_t* text);
    uint32_t (*getFmtResult)(void* handle, const char16_t* id, uint16_t param, char16_t* dest,
                             uint32_t buffLen);
    uint32_t (*getResult)(void* handle, const char16_t* id, uint16_t param, char16_t* dest,
                          uint32_t buffLen);
    void (*getError)(uint16_t code, char16_t* dest, uint32_t capacity);
};

// One library calculator.
class TLaan : public TOutput {
public:
    ~TLaan() override;
    TLaan(const TLaan&) = delete;
    TLaan& operator=(const TLaan&) = delete;

    // Gives the loan its input text. Input given before any result was read
    // is applied on top of the earlier input; after a result request a new
    // library object starts from this text alone.
    void setInput(std::u16string_view text);
    // The input applied to the current library object.
    const std::u16string& input() const { return FInput; }

    std::u16string getOutputFmt(std::u16string_view id, uint16_t param) override;
    std::u16string getOutput(std::u16string_view id, uint16_t param) override;

    // The library's code for the loan (0 = none). With input pending, the
    // calculation is run first by asking for "EFFRNT".
    uint16_t error();
    // "OK" when error() is 0, else the library's text for the code.
    std::u16string errorMsg();

protected:
    // startCapacity: characters of the first read of every result.
    TLaan(const TLaanExports& exports, uint32_t startCapacity);

    // Whether a result is wanted at all; a refused one is an empty text.
    virtual bool acceptOutput(std::u16string_view id) const { return true; }
    // Lets a loan kind revise a result text before it is returned.
    virtual void adjustOutput(std::u16string_view id, std::u16string& text) {}
    // A new library object was created.
    virtual void objectCreated() {}

private:
    friend class TPortefolje;

    void* libraryObject();  // created empty when no input was given yet
    std::u16string request(std::u16string_view id, uint16_t param, bool formatted);
    std::u16string errorText(uint16_t code) const;

    const TLaanExports& FExports;
    uint32_t FStartCapacity;
    void* FHandle = nullptr;
    std::u16string FInput;
    bool FInvalid = false;
    uint16_t FError = 0;
    TPortefolje* FPortefolje = nullptr;  // the portfolio holding the loan, if any
};

// An installment loan (MV exports).
class TNedbetLaan : public TLaan {
public:
    explicit TNedbetLaan(uint32_t startCapacity = kBuffLen);

protected:
    // "SNITTRNT1" only for a stepped rate ("RNTSATS2" in the input).
    bool acceptOutput(std::u16string_view id) const override;
    // Hides "TERMBELOP3", "INNBET2" and "LOPETID" when they only repeat the input.
    void adjustOutput(std::u16string_view id, std::u16string& text) override;
    void objectCreated() override { FTermBel.clear(); }

private:
    std::u16string FTermBel;  // the last "TERMBELOP3" text
};

// A framework loan (RL exports).
class TRammelaan : public TLaan {
public:
    explicit TRammelaan(uint32_t startCapacity = kBuffLen);
};

// Several installment loans taken together (PF exports).
class TPortefolje : public TOutput {
public:
    // A portfolio with itemCount new installment loans.
    explicit TPortefolje(int itemCount = 0, uint32_t startCapacity = kBuffLen);
    ~TPortefolje() override;
    TPortefolje(const TPortefolje&) = delete;
    TPortefolje& operator=(const TPortefolje&) = delete;

    // Appends a new installment loan, owned by the portfolio, for input.
    TNedbetLaan& add();
    int count() const { return int(FItems.size()); }
    // Raises std::out_of_range outside 0..count-1.
    TNedbetLaan& getItem(int inx);

    std::u16string getOutputFmt(std::u16string_view id, uint16_t param) override;
    std::u16string getOutput(std::u16string_view id, uint16_t param) override;

    // Whether the last request failed; after a change of the loans "EFFRNT"
    // is asked for first.
    bool anyErrors();

private:
    friend class TLaan;

    // Drops the library portfolio so that the next request builds a new one
    // from the loans as they are now.
    void loansChanged();
    // A library portfolio holding every loan's library object, in order.
    void buildLibraryPortfolio();
    std::u16string request(std::u16string_view id, uint16_t param, bool formatted);

    uint32_t FStartCapacity;
    void* FHandle = nullptr;
    bool FInvalid = false;
    std::vector<std::unique_ptr<TNedbetLaan>> FItems;
    std::optional<EBeregning> FError;  // the last request's failure
};

// The loan library's version as text, "3.0" for 300.
std::u16string libraryVersionText();

}  // namespace mirvo::dll
