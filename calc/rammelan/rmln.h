// The framework-loan (credit line) calculator.
//
// Input arrives as buffers of NAME=value pairs; results are asked for by
// identifier for a utilisation of the limit in percent. The inputs are
// checked, and missing ones given their defaults, once: at the first result
// request that finds no error. The first error is kept in FError for the
// life of the object and answers every later request.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calc/rammelan/rmln_data.h"
#include "calc/rammelan/rmln_simuler.h"
#include "calc/shared/result_dest.h"
#include "common/finans/report_output.h"
#include "common/finans/rntdato.h"

namespace mirvo::beregning {

// Result codes of the framework-loan calculator.
namespace rmlnkode {
constexpr uint16_t kOk = 0;
constexpr uint16_t kUkjentFelt = 100;
constexpr uint16_t kIngenBevilgning = 101;
constexpr uint16_t kTrappetypeKombinasjon = 103;
constexpr uint16_t kTrapperenteForLav = 104;
constexpr uint16_t kTrappegrenseMangler = 105;
constexpr uint16_t kTrapperenteMangler = 106;
constexpr uint16_t kUgyldigFormat = 107;
constexpr uint16_t kUgyldigUtnGrad = 108;
constexpr uint16_t kUkjentFunksjon = 109;
}  // namespace rmlnkode

class TRMLN : public kavelin::finans::TRntDato {
public:
    TRMLN();
    ~TRMLN() override;
    TRMLN(const TRMLN&) = delete;
    TRMLN& operator=(const TRMLN&) = delete;

    // Applies the pairs of a buffer until one fails; that pair's code, else 0.
    uint16_t Input(std::u16string_view buffer);
    // Writes the result for funcID into dest (raw, or grouped while
    // FFmtOutput); returns FError after the request. Report results may
    // throw (a destination too small for a report); the caller turns that
    // into a generated code.
    uint16_t getResult(std::u16string_view funcID, int32_t funcParam, const TResultDest& dest);

    void initReportMode(kavelin::finans::TReportFmtMode mode) { FWriter.Setmode(mode); }

    uint16_t error() const { return FError; }
    void setError(uint16_t code) {
        if (FError == 0) FError = code;
    }

    const TRmlnData& data() const { return FData; }
    const kavelin::finans::TReportOutput& writer() const { return FWriter; }

    bool FFmtOutput = false;

protected:
    // Result requests once the inputs have passed the check.
    virtual uint16_t answer(std::u16string_view funcID, int32_t funcParam, const TResultDest& dest);

    uint16_t FError = 0;
    bool FInputModus = true;
    kavelin::finans::TReportOutput FWriter;
    TRmlnData FData;

private:
    uint16_t inputPair(std::u16string_view pair);
    uint16_t applyKeyword(std::u16string_view name, std::u16string_view value);
    // Defaults, the limit and the stair settings; 0 or the first error.
    uint16_t sjekk();
    void settStandardverdier();
    uint16_t tolkTrappegrense();

    TRmlnVerdier simuler(int32_t u) const { return simulerRammelaan(FData, u, *this); }
    std::vector<std::u16string> kolonner(const TRmlnVerdier& v, int32_t u, bool adskiltGebyr) const;
    std::u16string belop(double v, int desimaler) const;
};

}  // namespace mirvo::beregning
