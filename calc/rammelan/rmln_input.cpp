// Framework-loan input: splitting buffers into pairs and applying each keyword.
#include <string>
#include <vector>

#include "calc/rammelan/rmln.h"
#include "calc/rammelan/rmln_verdi.h"
#include "calc/shared/input_pairs.h"
#include "common/text/casing.h"

namespace mirvo::beregning {

namespace {

using V = std::u16string_view;

using namespace rmlnkode;

bool isBlank(V s) {
    for (char16_t c : s)
        if (c > u' ') return false;
    return true;
}

enum class Kind { Heltall, Tall, Periode, Grensetype, AvtalePer, Trappegrense, DatoFormat };

// The field a keyword selects: where its value goes and how it is read.
struct Felt {
    std::u16string navn;
    Kind kind;
    int32_t* heltall = nullptr;
    double* tall = nullptr;
};

std::vector<Felt> feltene(TRmlnData& d) {
    std::vector<Felt> f;
    auto heltall = [&](std::u16string navn, int32_t& x) { f.push_back({std::move(navn), Kind::Heltall, &x}); };
    auto tall = [&](std::u16string navn, double& x) { f.push_back({std::move(navn), Kind::Tall, nullptr, &x}); };
    auto periode = [&](std::u16string navn, int32_t& x) { f.push_back({std::move(navn), Kind::Periode, &x}); };

    // The tranches: "ORD…", "TILL…" and "TILL…2".
    const V prefiks[] = {u"ORD", u"TILL", u"TILL"};
    const V suffiks[] = {u"", u"", u"2"};
    for (int i = 0; i < TRmlnData::kAntTrancher; ++i) {
        TRmlnTranche& t = d.tranche[i];
        auto navn = [&](V midt) { return std::u16string(prefiks[i]) + std::u16string(midt) + std::u16string(suffiks[i]); };
        heltall(navn(u"BEVILGNING"), t.bevilgning);
        tall(navn(u"RENTESATS"), t.rentesats);
        tall(navn(u"PROVISJON"), t.provisjon);
        heltall(navn(u"PROVISJONMIN"), t.provisjonMin);
        periode(navn(u"PROVISJONPER"), t.provisjonPerioder.per);
        periode(navn(u"PROVISJONKAP"), t.provisjonPerioder.kap);
    }
    periode(u"PROVKAPITALISERING", d.tranche[0].provisjonPerioder.kap);

    tall(u"OVERTRRENTE", d.overtrekk.rentesats);
    tall(u"OVERTRPROVISJON", d.overtrekk.provisjon);
    heltall(u"OVERTRPROVISJONMIN", d.overtrekk.provisjonMin);
    periode(u"OVERTRPROVISJONPER", d.overtrekk.provisjonPerioder.per);
    periode(u"OVERTRPROVISJONKAP", d.overtrekk.provisjonPerioder.kap);

    tall(u"TRAPPEGRENSEBELOP", d.trappegrenseBelop);
    tall(u"TRAPPEGRENSESATS", d.trappegrenseSats);
    f.push_back({u"TRAPPEGRENSE", Kind::Trappegrense});
    tall(u"TRAPPERENTESATS", d.trapperenteSats);
    tall(u"TRAPPERENTE", d.trapperenteSats);
    f.push_back({u"TRAPPEGRENSETYPE", Kind::Grensetype, &d.trappegrenseType});
    heltall(u"TRAPPERENTETYPE", d.trapperenteType);

    tall(u"UTNYTTPROVISJON", d.utnyttProvisjon);
    periode(u"UTNYTTPROVISJONPER", d.utnyttProvisjonPerioder.per);
    periode(u"UTNYTTPROVISJONKAP", d.utnyttProvisjonPerioder.kap);
    heltall(u"UTNYTTPROVISJONSTART", d.utnyttProvisjonStart);
    heltall(u"STARTBEREGN", d.utnyttProvisjonStart);
    heltall(u"UTNYTTPROVISJONEFF", d.utnyttProvisjonEff);
    heltall(u"EFFBEREGN", d.utnyttProvisjonEff);

    heltall(u"KONTOHOLDSGEBYR", d.kontoholdsgebyr);
    periode(u"KONTOHOLDSGEBYRPER", d.kontoholdsgebyrPerioder.per);
    periode(u"KONTOHOLDSGEBYRKAP", d.kontoholdsgebyrPerioder.kap);
    heltall(u"ETABLERINGSOMK", d.etableringsomk);
    heltall(u"DEPOTOMK", d.depotomk);
    periode(u"RENTEKAPITALISERING", d.renteKapitalisering);
    f.push_back({u"AVTALEPER", Kind::AvtalePer, &d.avtalePer});
    f.push_back({u"DATEFMT", Kind::DatoFormat});
    return f;
}

// "UTNGRAD"n / "UTNYTTELSESGRAD"n: the digits after the stem, or none.
bool erUtnGrad(V navn, V& sifre) {
    for (V stamme : {V(u"UTNGRAD"), V(u"UTNYTTELSESGRAD")}) {
        if (navn.substr(0, stamme.size()) != stamme) continue;
        sifre = navn.substr(stamme.size());
        for (char16_t c : sifre)
            if (c < u'0' || c > u'9') return false;
        return true;
    }
    return false;
}

}  // namespace

// ---- buffers and pairs ------------------------------------------------------

uint16_t TRMLN::Input(std::u16string_view buffer) {
    uint16_t code = forEachInputPair(buffer, [this](V pair) { return inputPair(kavelin::text::upperCase(pair)); });
    setError(code);
    return code;
}

uint16_t TRMLN::inputPair(std::u16string_view text) {
    TInputPair pair = splitInputPair(text);
    // Blanks between separators (a buffer ending in "; ") hold no pair.
    if (!pair.hasEquals && isBlank(pair.name)) return kOk;
    return applyKeyword(pair.name, pair.value);
}

uint16_t TRMLN::applyKeyword(std::u16string_view name, std::u16string_view value) {
    V sifre;
    if (erUtnGrad(name, sifre)) {
        uint16_t code = kOk;
        int32_t n = 0;
        if (!sifre.empty()) {
            auto tall = rmlnverdi::sifre(sifre);
            if (!tall || *tall >= TRmlnData::kAntUtnGrader) code = kUkjentFelt;
            else n = *tall;
        }
        if (!rmlnverdi::heltall(value, FData.utnGrad[n]) && code == kOk) code = kUgyldigFormat;
        return code;
    }

    for (const Felt& f : feltene(FData)) {
        if (f.navn != name) continue;
        switch (f.kind) {
            case Kind::Heltall: return rmlnverdi::heltall(value, *f.heltall) ? kOk : kUgyldigFormat;
            case Kind::Tall: return rmlnverdi::tall(value, *f.tall) ? kOk : kUgyldigFormat;
            case Kind::Periode: return rmlnverdi::periode(value, *f.heltall) ? kOk : kUgyldigFormat;
            case Kind::AvtalePer: return rmlnverdi::avtalePeriode(value, *f.heltall) ? kOk : kUgyldigFormat;
            case Kind::Grensetype: {
                // Only the four bases exist.
                bool ok = rmlnverdi::heltall(value, *f.heltall) && *f.heltall >= 0 && *f.heltall <= 3;
                if (!ok) *f.heltall = 0;
                return ok ? kOk : kUgyldigFormat;
            }
            case Kind::Trappegrense:
                FData.trappegrense = value;
                return rmlnverdi::trappegrense(value) ? kOk : kUgyldigFormat;
            case Kind::DatoFormat:
                FWriter.SetdateFmt(value);
                return kOk;
        }
    }
    return kUkjentFelt;
}

}  // namespace mirvo::beregning
