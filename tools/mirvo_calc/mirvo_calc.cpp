// mirvo-calc: calculates a loan from the command line through the public
// interface of libmirvo32 and prints the results as UTF-8.
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/text/encoding.h"
#include "mirvo32.h"

namespace {

constexpr uint32_t kStartCapacity = 65536;
constexpr uint32_t kMaxCapacity = 1u << 26;
// A report that comes this close to the capacity may have been cut short.
constexpr uint32_t kReserve = 1000;
// The most one loan's schedule takes inside a portfolio, in characters.
constexpr uint32_t kPlanPrLaan = 65000;

const char kHelp[] =
    "Bruk: mirvo-calc [valg] INNDATA RESULTAT [RESULTAT ...]\n"
    "      mirvo-calc [valg] --laan INNDATA [--laan INNDATA ...] RESULTAT [RESULTAT ...]\n"
    "      mirvo-calc [valg] --ramme INNDATA RESULTAT [RESULTAT ...]\n"
    "      mirvo-calc --demo\n"
    "\n"
    "Beregner et nedbetalingslån, en portefølje av nedbetalingslån eller et\n"
    "rammelån med Mirvo32-biblioteket og skriver resultatene (UTF-8) på\n"
    "standard utdata.\n"
    "\n"
    "INNDATA   lånets inndata som NAVN=verdi-par skilt med \";\", for eksempel\n"
    "          \"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;UTBDTO=01.02.2025\".\n"
    "          \"-\" leser inndata fra standard inndata (bare for ett lån).\n"
    "RESULTAT  en eller flere resultatkoder, for eksempel TERMBELOP, EFFRNT,\n"
    "          TSUMRNT, INFRDTO, LOPETID eller NBPLAN (nedbetalingsplan).\n"
    "\n"
    "Valg:\n"
    "  -f, --formatert   formatert utdata (tusenskille, tekster i planer)\n"
    "  -p, --param N     funcParam for resultatene (0-65535; standard 99, som\n"
    "                    i planer betyr detaljer for alle år)\n"
    "  -l, --laan INNDATA\n"
    "                    ett lån i en portefølje; gjentas for hvert lån.\n"
    "                    Resultatene gjelder da lånene samlet: summer (LBELOP,\n"
    "                    TSUMRNT ...), samlet effektiv rente (EFFRNT), siste\n"
    "                    innfrielsesdato (INFRDTO), LOPETID, SNITTRNT1 og en\n"
    "                    sammenslått plan (NBPLAN, NBPLAN_REL ...) med egne\n"
    "                    måneds-, års- og totalsummer\n"
    "  -r, --ramme       INNDATA gjelder et rammelån (for eksempel\n"
    "                    \"ORDBEVILGNING=1000000;ORDRENTESATS=6\" med resultatet\n"
    "                    FORLOP og --param 50 for 50 % utnyttelse)\n"
    "      --demo        viser et eksempellån: nøkkeltall og starten av\n"
    "                    nedbetalingsplanen\n"
    "  -h, --help        viser denne hjelpeteksten\n"
    "\n"
    "Med flere resultatkoder skrives hver kode på en egen linje foran resultatet.\n"
    "Ved feil skrives bibliotekets feiltekst på standard feil, og programmet\n"
    "avslutter med kode 1 (2 ved feil bruk).\n";

// ---- UTF-8 <-> UTF-16 ---------------------------------------------------------

std::u16string fraUtf8(std::string_view s) { return kavelin::text::fromUtf8(s); }
std::string tilUtf8(std::u16string_view s) { return kavelin::text::toUtf8(s); }

// ---- the library --------------------------------------------------------------

std::string feiltekst(uint32_t code) {
    char16_t buf[1024] = {};
    MVgeterror_w(uint16_t(code), buf, 1024);
    std::string t = tilUtf8(buf);
    return t.empty() ? "Feil nr. " + std::to_string(code) : t;
}

// One calculator of the library seen as: results by identifier, and the text
// of a failing code.
class Kalkulator {
public:
    virtual ~Kalkulator() = default;
    virtual uint32_t resultat(const std::u16string& id, uint16_t param, bool formatert, std::u16string& ut) = 0;
    virtual std::string feil(uint32_t code) { return feiltekst(code); }
};

// One loan calculator, freed when it goes out of scope.
class Laan : public Kalkulator {
public:
    Laan() : FH(MVinitialize()) {}
    ~Laan() override { MVterminate(FH); }
    Laan(const Laan&) = delete;
    Laan& operator=(const Laan&) = delete;

    void* handle() const { return FH; }
    uint32_t input(const std::u16string& text) { return MVinput_w(FH, text.c_str()); }

    // A result, asked again with a larger buffer while it may have been cut.
    uint32_t resultat(const std::u16string& id, uint16_t param, bool formatert, std::u16string& ut) override {
        for (uint32_t cap = kStartCapacity;; cap *= 2) {
            std::u16string buf(cap, u'\0');
            uint32_t code = formatert ? MVgetfmtresult_w(FH, id.c_str(), param, buf.data(), cap)
                                      : MVgetresult_w(FH, id.c_str(), param, buf.data(), cap);
            if (code != 0) return code;
            ut.assign(buf.c_str());
            if (ut.size() + kReserve < cap || cap >= kMaxCapacity) return 0;
        }
    }

private:
    void* FH;
};

// A portfolio over loans that outlive it.
class Portefolje : public Kalkulator {
public:
    explicit Portefolje(const std::vector<std::unique_ptr<Laan>>& laan)
        : FH(PFinitialize()), FAntall(uint32_t(laan.size())) {
        for (const auto& l : laan) PFadd(FH, l->handle());
    }
    ~Portefolje() override { PFterminate(FH); }
    Portefolje(const Portefolje&) = delete;
    Portefolje& operator=(const Portefolje&) = delete;

    // A merged schedule that does not fit fails for good, so the buffer is
    // made room for every loan's whole schedule at once.
    uint32_t resultat(const std::u16string& id, uint16_t param, bool formatert, std::u16string& ut) override {
        const uint32_t cap = kPlanPrLaan * (FAntall + 1) + kStartCapacity;
        std::u16string buf(cap, u'\0');
        uint32_t code = formatert ? PFgetfmtresult_w(FH, id.c_str(), param, buf.data(), cap)
                                  : PFgetresult_w(FH, id.c_str(), param, buf.data(), cap);
        if (code == 0) ut.assign(buf.c_str());
        return code;
    }
    std::string feil(uint32_t code) override {
        char16_t buf[1024] = {};
        PFgeterror_w(FH, buf, 1024);
        std::string t = tilUtf8(buf);
        return t.empty() ? feiltekst(code) : t;
    }

private:
    void* FH;
    uint32_t FAntall;
};

// A framework loan.
class Rammelaan : public Kalkulator {
public:
    Rammelaan() : FH(RLinitialize()) {}
    ~Rammelaan() override { RLterminate(FH); }
    Rammelaan(const Rammelaan&) = delete;
    Rammelaan& operator=(const Rammelaan&) = delete;

    uint32_t input(const std::u16string& text) { return RLinput_w(FH, text.c_str()); }
    uint32_t resultat(const std::u16string& id, uint16_t param, bool formatert, std::u16string& ut) override {
        for (uint32_t cap = kStartCapacity;; cap *= 2) {
            std::u16string buf(cap, u'\0');
            uint32_t code = formatert ? RLgetfmtresult_w(FH, id.c_str(), param, buf.data(), cap)
                                      : RLgetresult_w(FH, id.c_str(), param, buf.data(), cap);
            if (code != 0) return code;
            ut.assign(buf.c_str());
            if (ut.size() + kReserve < cap || cap >= kMaxCapacity) return 0;
        }
    }
    std::string feil(uint32_t code) override {
        char16_t buf[1024] = {};
        RLgeterror_w(uint16_t(code), buf, 1024);
        std::string t = tilUtf8(buf);
        return t.empty() ? "Feil nr. " + std::to_string(code) : t;
    }

private:
    void* FH;
};

void skriv(const std::u16string& tekst) {
    std::string t = tilUtf8(tekst);
    std::cout << t;
    if (t.empty() || t.back() != '\n') std::cout << '\n';
}

int demo() {
    const std::u16string inndata = u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;UTBDTO=01.02.2025";
    Laan laan;
    std::cout << "Eksempellån: " << tilUtf8(inndata) << "\n\n";
    if (uint32_t code = laan.input(inndata)) {
        std::cerr << feiltekst(code) << '\n';
        return 1;
    }
    const std::pair<const char16_t*, const char*> tall[] = {
        {u"TERMBELOP", "Terminbeløp"},   {u"EFFRNT", "Effektiv rente"},
        {u"TSUMRNT", "Sum renter"},      {u"TSUMINNB", "Sum innbetalt"},
        {u"INFRDTO", "Innfrielsesdato"}, {u"LOPETID", "Løpetid"},
    };
    for (const auto& [id, navn] : tall) {
        std::u16string v;
        if (uint32_t code = laan.resultat(id, 0, true, v)) {
            std::cerr << feiltekst(code) << '\n';
            return 1;
        }
        std::cout << navn << ": " << tilUtf8(v) << '\n';
    }
    std::u16string plan;
    if (uint32_t code = laan.resultat(u"NBPLAN", 99, true, plan)) {
        std::cerr << feiltekst(code) << '\n';
        return 1;
    }
    std::cout << "\nNedbetalingsplan (de første linjene):\n"
              << "Type;Dato;Innbetalt;Renter;Avdrag;Gebyr;Saldo\n";
    size_t pos = 0;
    for (int linje = 0; linje < 12 && pos < plan.size(); ++linje) {
        size_t end = plan.find(u'\n', pos);
        if (end == std::u16string::npos) end = plan.size();
        std::cout << tilUtf8(std::u16string_view(plan).substr(pos, end - pos)) << '\n';
        pos = end + 1;
    }
    return 0;
}

int feilBruk(const std::string& melding) {
    std::cerr << "mirvo-calc: " << melding << "\nSe mirvo-calc --help.\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool formatert = false;
    bool ramme = false;
    unsigned long param = 99;
    std::vector<std::string> pos;
    std::vector<std::string> laanInndata;
    bool flereValg = true;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (flereValg && a == "--") {
            flereValg = false;
        } else if (flereValg && (a == "-h" || a == "--help")) {
            std::cout << kHelp;
            return 0;
        } else if (flereValg && a == "--demo") {
            return demo();
        } else if (flereValg && (a == "-f" || a == "--formatert")) {
            formatert = true;
        } else if (flereValg && (a == "-r" || a == "--ramme")) {
            ramme = true;
        } else if (flereValg && (a == "-l" || a == "--laan")) {
            if (++i >= argc) return feilBruk("mangler inndata til " + a);
            laanInndata.push_back(argv[i]);
        } else if (flereValg && (a == "-p" || a == "--param")) {
            if (++i >= argc) return feilBruk("mangler verdi til " + a);
            std::string v = argv[i];
            if (v.empty() || v.size() > 5 || v.find_first_not_of("0123456789") != std::string::npos)
                return feilBruk("ugyldig funcParam: " + v);
            param = std::stoul(v);
            if (param > 65535) return feilBruk("ugyldig funcParam: " + v);
        } else if (flereValg && a.size() > 1 && a[0] == '-' && a != "-") {
            return feilBruk("ukjent valg " + a);
        } else {
            pos.push_back(a);
        }
    }
    if (ramme && !laanInndata.empty()) return feilBruk("--ramme og --laan kan ikke brukes sammen");

    // The results asked for follow the inputs: all positional arguments in
    // a portfolio, all but the first otherwise.
    const bool portefolje = !laanInndata.empty();
    if (portefolje ? pos.empty() : pos.size() < 2) return feilBruk("mangler inndata eller resultatkode");
    std::vector<std::string> koder(pos.begin() + (portefolje ? 0 : 1), pos.end());

    auto lesInndata = [](std::string inndata) {
        if (inndata == "-") {
            inndata.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
            while (!inndata.empty() && (inndata.back() == '\n' || inndata.back() == '\r')) inndata.pop_back();
        }
        return fraUtf8(inndata);
    };

    // The loans are declared before the portfolio so that they outlive it.
    std::vector<std::unique_ptr<Laan>> laan;
    std::unique_ptr<Kalkulator> kalkulator;
    if (portefolje) {
        for (size_t n = 0; n < laanInndata.size(); ++n) {
            if (laanInndata[n] == "-") return feilBruk("\"-\" kan ikke brukes med --laan");
            laan.push_back(std::make_unique<Laan>());
            if (uint32_t code = laan.back()->input(fraUtf8(laanInndata[n]))) {
                std::cerr << "lån " << n + 1 << ": " << feiltekst(code) << '\n';
                return 1;
            }
        }
        kalkulator = std::make_unique<Portefolje>(laan);
    } else if (ramme) {
        auto rl = std::make_unique<Rammelaan>();
        if (uint32_t code = rl->input(lesInndata(pos[0]))) {
            std::cerr << rl->feil(code) << '\n';
            return 1;
        }
        kalkulator = std::move(rl);
    } else {
        auto l = std::make_unique<Laan>();
        if (uint32_t code = l->input(lesInndata(pos[0]))) {
            std::cerr << feiltekst(code) << '\n';
            return 1;
        }
        kalkulator = std::move(l);
    }

    const bool flere = koder.size() > 1;
    for (const std::string& kode : koder) {
        std::u16string ut;
        if (uint32_t code = kalkulator->resultat(fraUtf8(kode), uint16_t(param), formatert, ut)) {
            std::cerr << kode << ": " << kalkulator->feil(code) << '\n';
            return 1;
        }
        if (flere) std::cout << kode << ":\n";
        skriv(ut);
    }
    return 0;
}
