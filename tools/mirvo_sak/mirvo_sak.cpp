// mirvo-sak: case files from the command line, for support staff and batch
// work. A file that is read is never changed unless the command writes it,
// and every write is atomic.
#include <QCoreApplication>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/mng/data_mng.h"
#include "app/mng/mirvo_dll.h"
#include "common/text/encoding.h"

namespace {

namespace fs = std::filesystem;
namespace op = mirvo::oppsett;
using kavelin::activex::TOleVariant;
using kavelin::text::fromUtf8;
using kavelin::text::toUtf8;
using mirvo::mng::TProductData;

const char kHelp[] =
    "Bruk: mirvo-sak [valg] KOMMANDO SAKSFIL [argumenter]\n"
    "\n"
    "Kommandoer:\n"
    "  ny SAKSFIL PRODUKTID          lager en ny sak med ett lån av produktet\n"
    "  sett SAKSFIL LÅNNR FELT VERDI setter et felt i lån LÅNNR (fra 1) og kjører\n"
    "                                feltets script; saken lagres\n"
    "  grunnlag SAKSFIL              skriver beregningsgrunnlaget for hvert lån\n"
    "  nokkeltall SAKSFIL [--samlet] skriver nøkkeltallene for hvert lån, eller\n"
    "                                for alle nedbetalingslån samlet\n"
    "  lagre SAKSFIL [NYFIL]         leser saken og lagrer den på nytt\n"
    "\n"
    "Valg:\n"
    "  --oppsett FIL        produktoppsettet (standard: $MIRVO_OPPSETT, ellers\n"
    "                       Configurations.xml i gjeldende mappe)\n"
    "  --standardverdier FIL brukerens standardverdier (Defaults.xml)\n"
    "  -h, --help           denne teksten\n";

class EBruk : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TValg {
    std::string oppsett;
    std::string standardverdier;
    bool samlet = false;
    std::vector<std::string> args;
};

TValg lesValg(int argc, char** argv) {
    TValg v;
    if (const char* env = std::getenv("MIRVO_OPPSETT")) v.oppsett = env;
    else v.oppsett = "Configurations.xml";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto neste = [&]() -> std::string {
            if (i + 1 >= argc) throw EBruk(a + " mangler verdi");
            return argv[++i];
        };
        if (a == "-h" || a == "--help") {
            std::cout << kHelp;
            std::exit(0);
        } else if (a == "--oppsett") v.oppsett = neste();
        else if (a == "--standardverdier") v.standardverdier = neste();
        else if (a == "--samlet") v.samlet = true;
        else if (a.size() > 1 && a[0] == '-' && a[1] == '-') throw EBruk("ukjent valg " + a);
        else v.args.push_back(a);
    }
    return v;
}

int heltall(const std::string& text, const char* hva) {
    try {
        size_t used = 0;
        int n = std::stoi(text, &used);
        if (used == text.size()) return n;
    } catch (const std::exception&) {
    }
    throw EBruk(std::string(hva) + " \"" + text + "\" er ikke et heltall");
}

void krevAntall(const TValg& v, size_t min, size_t max) {
    if (v.args.size() < min || v.args.size() > max) throw EBruk("feil antall argumenter til " + v.args[0]);
}

// The item of the field in the loan's sections, in order.
mirvo::mng::TDataItem* finnFelt(TProductData& lån, std::u16string_view id) {
    for (size_t i = 0; i < lån.count(); ++i)
        if (auto* item = lån.getItem(i).getData(id)) return item;
    return nullptr;
}

// Caption and formatted value of every element of the list.
void skrivListe(const op::TBeregnetOppsettListe& liste, mirvo::dll::TOutput& kilde) {
    for (size_t i = 0; i < liste.count(); ++i) {
        const op::TBeregnetElementOppsett& e = liste[i];
        std::u16string verdi = kilde.getOutputFmt(e.ID(), 0);
        if (!verdi.empty()) verdi = e.OutputPrefix() + verdi + (e.OutputPostfix().empty() ? u"" : u" " + e.OutputPostfix());
        std::cout << toUtf8(e.Beskrivelse()) << ": " << toUtf8(verdi) << "\n";
    }
}

// The product's "Nøkkeltall" list, or none (framework loans have none).
const op::TBeregnetOppsettListe* nøkkeltall(const op::TProduktOppsett& produkt) {
    int i = produkt.RapportOppsettListe().indexOf(u"Nøkkeltall");
    return i < 0 ? nullptr : &produkt.RapportOppsettListe()[size_t(i)];
}

int kjør(const TValg& v) {
    if (v.args.empty()) throw EBruk("mangler kommando");
    const std::string& kommando = v.args[0];
    if (v.args.size() < 2) throw EBruk("mangler saksfil");
    const fs::path fil = fs::u8path(v.args[1]);

    const std::u16string oppsettFil = fromUtf8(v.oppsett);
    if (!fs::exists(fs::u8path(v.oppsett))) throw mirvo::mng::EData(u"Finner ikke produktoppsettet \"" + oppsettFil + u"\"");
    op::TProduktOppsettListe oppsett([oppsettFil](bool) { return oppsettFil; });
    int scriptfeil = 0;
    mirvo::mng::TDataMng mng(oppsett, v.standardverdier.empty() ? fs::path() : fs::u8path(v.standardverdier),
                             fil.parent_path(), [&](const std::u16string& tittel, const std::u16string& tekst) {
                                 ++scriptfeil;
                                 std::cerr << toUtf8(tittel) << ": " << toUtf8(tekst) << "\n";
                             });
    mirvo::mng::TPortfolioData& sak = mng.current();

    if (kommando == "ny") {
        krevAntall(v, 3, 3);
        if (fs::exists(fil)) throw EBruk("filen finnes fra før: " + v.args[1]);
        sak.add(heltall(v.args[2], "produktID"));
        sak.save(fil);
        return 0;
    }
    sak.load(fil);
    if (kommando == "sett") {
        krevAntall(v, 5, 5);
        const int nr = heltall(v.args[2], "lånenummer");
        if (nr < 1 || size_t(nr) > sak.count())
            throw EBruk("saken har ikke lån nr. " + v.args[2] + " (1 til " + std::to_string(sak.count()) + ")");
        TProductData& lån = sak.getItem(size_t(nr - 1));
        const std::u16string id = fromUtf8(v.args[3]);
        mirvo::mng::TDataItem* item = finnFelt(lån, id);
        if (!item) throw EBruk("lån nr. " + v.args[2] + " har ikke feltet " + v.args[3]);
        if (item->setValue(TOleVariant::fromText(fromUtf8(v.args[4])))) lån.notifyEditChange(item);
        sak.save();
    } else if (kommando == "grunnlag") {
        krevAntall(v, 2, 2);
        for (size_t i = 0; i < sak.count(); ++i) std::cout << toUtf8(sak.getItem(i).GetcalcDataStr()) << "\n";
    } else if (kommando == "nokkeltall") {
        krevAntall(v, 2, 2);
        if (v.samlet) {
            mirvo::dll::TPortefolje portefølje;
            for (size_t i = 0; i < sak.count(); ++i)
                if (sak.getItem(i).productGroup() == op::TProduktGruppe::pgNedbetlån)
                    portefølje.add().setInput(sak.getItem(i).GetcalcDataStr());
            if (portefølje.count() == 0) throw mirvo::mng::EData(u"Saken har ingen nedbetalingslån");
            const op::TBeregnetOppsettListe* liste = nøkkeltall(oppsett.common());
            if (!liste) throw mirvo::mng::EData(u"Produktoppsettet har ingen samlede nøkkeltall");
            skrivListe(*liste, portefølje);
        } else {
            for (size_t i = 0; i < sak.count(); ++i) {
                TProductData& lån = sak.getItem(i);
                std::cout << (i ? "\n" : "") << "Lån " << i + 1 << ": " << toUtf8(lån.description()) << "\n";
                std::unique_ptr<mirvo::dll::TLaan> beregning;
                if (lån.productGroup() == op::TProduktGruppe::pgRammelån)
                    beregning = std::make_unique<mirvo::dll::TRammelaan>();
                else
                    beregning = std::make_unique<mirvo::dll::TNedbetLaan>();
                beregning->setInput(lån.GetcalcDataStr());
                if (beregning->error() != 0) throw mirvo::mng::EData(beregning->errorMsg());
                if (const op::TBeregnetOppsettListe* liste = nøkkeltall(lån.cfg())) skrivListe(*liste, *beregning);
                else std::cout << "(produktet har ingen nøkkeltall-liste)\n";
            }
        }
    } else if (kommando == "lagre") {
        krevAntall(v, 2, 3);
        sak.save(v.args.size() == 3 ? fs::u8path(v.args[2]) : fs::path());
    } else {
        throw EBruk("ukjent kommando " + kommando);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // the script engine needs one
    try {
        return kjør(lesValg(argc, argv));
    } catch (const EBruk& e) {
        std::cerr << "mirvo-sak: " << e.what() << "\n\n" << kHelp;
        return 2;
    } catch (const kavelin::utils::EKavelin& e) {
        std::cerr << "mirvo-sak: " << toUtf8(e.message()) << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "mirvo-sak: " << e.what() << "\n";
        return 1;
    }
}
