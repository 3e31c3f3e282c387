// Framework-loan calculator: the check of the inputs and the result requests.
#include "calc/rammelan/rmln.h"

#include <optional>
#include <string>
#include <vector>

#include "calc/rammelan/rmln_verdi.h"
#include "common/text/casing.h"

namespace mirvo::beregning {

namespace {

using V = std::u16string_view;

using namespace rmlnkode;

constexpr int kRenteDesimaler = 3;

// A missing period takes the other's value; neither given takes `standard`.
void settPerioder(TRmlnPerioder& p, TRmlnPerioder standard) {
    if (!p.angitt()) p = standard;
    else if (p.per == 0) p.per = p.kap;
    else if (p.kap == 0) p.kap = p.per;
}

}  // namespace

TRMLN::TRMLN() : FWriter(this) { FWriter.Setmode(kavelin::finans::TReportFmtMode::rmClassic); }
TRMLN::~TRMLN() = default;

// ---- check ------------------------------------------------------------------

void TRMLN::settStandardverdier() {
    if (FData.utnGrad[0] == 0) {
        // Degrees the caller gave are kept; the rest get 10 % ... 120 %.
        for (int n = 0; n < TRmlnData::kAntUtnGrader; ++n)
            if (FData.utnGrad[n] == 0) FData.utnGrad[n] = 10 * (n + 1);
    }

    TRmlnTranche* t = FData.tranche;
    if (t[1].rentesats == 0) t[1].rentesats = t[0].rentesats;
    if (t[2].rentesats == 0) t[2].rentesats = t[1].rentesats;
    if (FData.overtrekk.rentesats == 0) FData.overtrekk.rentesats = t[2].rentesats;

    settPerioder(t[0].provisjonPerioder, {3, 3});
    const TRmlnPerioder ord = t[0].provisjonPerioder;
    settPerioder(t[1].provisjonPerioder, ord);
    settPerioder(t[2].provisjonPerioder, ord);
    settPerioder(FData.overtrekk.provisjonPerioder, ord);
    settPerioder(FData.utnyttProvisjonPerioder, ord);
    settPerioder(FData.kontoholdsgebyrPerioder, {1, 1});
    if (FData.renteKapitalisering == 0) FData.renteKapitalisering = 3;
    if (FData.avtalePer == 0) FData.avtalePer = 12;
}

uint16_t TRMLN::tolkTrappegrense() {
    if (FData.trappegrense.empty()) return kOk;
    std::u16string tekst;
    for (char16_t c : FData.trappegrense)
        if (c != u'%') tekst += c;
    double verdi = 0;
    if (tekst.empty() || !rmlnverdi::tall(tekst, verdi)) return kUgyldigFormat;
    if (FData.trappegrense.back() == u'%' || verdi < 100) FData.trappegrenseSats = verdi;
    else FData.trappegrenseBelop = verdi;
    return kOk;
}

uint16_t TRMLN::sjekk() {
    settStandardverdier();
    if (FData.ramme() == 0) return kIngenBevilgning;
    if (uint16_t code = tolkTrappegrense()) return code;

    const bool grenseSatt = FData.trappegrenseBelop != 0 || FData.trappegrenseSats != 0;
    if (FData.trapperenteType == 1) {
        if (FData.trappegrenseType == 0 || FData.trappegrenseType == 2) return kTrappetypeKombinasjon;
        if (grenseSatt && FData.tranche[0].rentesats > FData.trapperenteSats) return kTrapperenteForLav;
    }
    if (!grenseSatt && FData.trapperenteSats > 0) return kTrappegrenseMangler;
    if (grenseSatt && FData.trapperenteSats == 0) return kTrapperenteMangler;
    return kOk;
}

// ---- results ----------------------------------------------------------------

uint16_t TRMLN::getResult(std::u16string_view funcID, int32_t funcParam, const TResultDest& dest) {
    FWriter.initDestBuffer(dest.buffer, dest.buffLen);
    if (FInputModus) {
        setError(sjekk());
        if (FError == 0) FInputModus = false;
    }
    if (FError != 0) return FError;
    setError(answer(funcID, funcParam, dest));
    return FError;
}

std::u16string TRMLN::belop(double v, int desimaler) const {
    return FFmtOutput ? FWriter.valAsFmtStr(desimaler, v) : FWriter.valAsStr(desimaler, v);
}

std::vector<std::u16string> TRMLN::kolonner(const TRmlnVerdier& v, int32_t u, bool adskiltGebyr) const {
    std::vector<std::u16string> cols = {belop(u, 0), belop(v.utnyttet, 0)};
    if (adskiltGebyr) {
        cols.push_back(belop(v.etableringOgDepot, 0));
        cols.push_back(belop(v.kontoholdsgebyr, 0));
    } else {
        cols.push_back(belop(v.etableringOgDepot + v.kontoholdsgebyr, 0));
    }
    cols.push_back(belop(v.provisjon, 0));
    cols.push_back(belop(v.renter, 0));
    cols.push_back(belop(v.utnyttProvisjon, 0));
    cols.push_back(belop(v.effRenteMedKost, kRenteDesimaler));
    cols.push_back(belop(v.effRente, kRenteDesimaler));
    return cols;
}

uint16_t TRMLN::answer(std::u16string_view funcID, int32_t funcParam, const TResultDest& dest) {
    auto skalar = [&](double v) { dest.writeScalar(belop(v, kRenteDesimaler)); };
    // Whole names are compared ignoring case.
    const std::u16string id = kavelin::text::upperCase(funcID);

    if (id == u"FORLOP" || id == u"FORLOP2") {
        // One row is one value: written whole or not at all.
        const bool adskiltGebyr = id == u"FORLOP2";
        dest.writeScalar(FWriter.makelineOfColumns(kolonner(simuler(funcParam), funcParam, adskiltGebyr)));
        return kOk;
    }
    if (id == u"FORLOPA") {
        FWriter.bgnArrayOutput();
        for (int32_t u : FData.utnGrad) {
            if (u <= 0) continue;
            // The columns are already texts of the writer's mode; only joined here.
            const std::vector<std::u16string> cols = kolonner(simuler(u), u, false);
            std::u16string rad;
            for (size_t i = 0; i < cols.size(); ++i) {
                if (i) rad += FWriter.colSep();
                rad += cols[i];
            }
            FWriter.addRow(rad);
        }
        FWriter.endArrayOutput();
        return kOk;
    }
    if (id == u"EFFRNT") {
        skalar(simuler(funcParam).effRente);
        return kOk;
    }
    if (id == u"EFFRNTETB") {
        skalar(simuler(funcParam).effRenteMedKost);
        return kOk;
    }
    // With a degree number: the digits of the identifier; prefixes are
    // compared as written.
    const bool medKost = funcID.starts_with(u"EFFRNTETB");
    if (medKost || funcID.starts_with(u"EFFRNT")) {
        std::optional<int32_t> n = rmlnverdi::sifre(funcID);
        const bool gyldig = n && *n < TRmlnData::kAntUtnGrader;
        TRmlnVerdier v = simuler(FData.utnGrad[gyldig ? *n : 0]);
        skalar(medKost ? v.effRenteMedKost : v.effRente);
        return gyldig ? kOk : kUgyldigUtnGrad;
    }
    if (id == u"RNT12MDRORD") {
        skalar(simuler(funcParam).renterOrd);
        return kOk;
    }
    if (id == u"RNT12MDRTILL") {
        skalar(simuler(funcParam).renterTill);
        return kOk;
    }
    if (id == u"BEVILGNINGNY") {
        skalar(FData.ramme());
        return kOk;
    }
    if (id == u"VERSJON") {
        dest.writeScalar(FWriter.checkQuoted(u"4.00"));
        return kOk;
    }
    return kUkjentFunksjon;
}

}  // namespace mirvo::beregning
