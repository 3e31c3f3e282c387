// mirvo-rtf2pdf: converts an RTF document to a PDF file (or prints it) with
// the application's document engine, without a display.
#include <QGuiApplication>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/rtf/documentbuilder.h"
#include "app/rtf/rtfparser.h"
#include "common/text/encoding.h"

namespace {

namespace fs = std::filesystem;
using kavelin::rtf::TMergeValueMap;
using kavelin::text::fromUtf8;
using kavelin::text::toUtf8;

const char kHelp[] =
    "Bruk: mirvo-rtf2pdf [valg] INNDATA.rtf UTDATA.pdf\n"
    "      mirvo-rtf2pdf [valg] --skriver NAVN INNDATA.rtf\n"
    "\n"
    "Leser et RTF-dokument med Mirvos dokumentmotor (felt, tabeller, sidetall,\n"
    "tegninger) og skriver det som PDF-fil, eller sender det til en skriver.\n"
    "PDF-filen skrives helt eller ikke i det hele tatt; mappen lages ved behov.\n"
    "Programmet trenger ingen skjerm.\n"
    "\n"
    "Valg:\n"
    "  -f, --flett FIL     fletter felt (MERGEFIELD) med verdier fra FIL: én\n"
    "                      verdi per linje som navn=verdi (UTF-8; mellomrom rundt\n"
    "                      navn og verdi fjernes); tomme linjer og linjer som\n"
    "                      begynner med # hoppes over\n"
    "  -s, --skriver NAVN  skriver dokumentet ut på skriveren NAVN i stedet for\n"
    "                      å lage en PDF-fil\n"
    "  -h, --help          viser denne hjelpeteksten\n"
    "\n"
    "Ved feil skrives en melding på standard feil, og programmet avslutter med\n"
    "kode 1 (2 ved feil bruk).\n";

int wrongUse(const std::string& message) {
    std::cerr << "mirvo-rtf2pdf: " << message << "\nSe mirvo-rtf2pdf --help.\n";
    return 2;
}

int failure(const std::string& message) {
    std::cerr << "mirvo-rtf2pdf: " << message << '\n';
    return 1;
}

std::string quoted(const fs::path& p) { return "«" + p.string() + "»"; }

// Failures with the message the user sees.
struct EToolError {
    std::string message;
};

// A file that must exist and be readable.
void checkReadable(const fs::path& p) {
    std::error_code ec;
    if (!fs::exists(p, ec)) throw EToolError{"Finner ikke filen " + quoted(p) + "."};
    std::ifstream in(p, std::ios::binary);
    if (fs::is_directory(p, ec) || !in) throw EToolError{"Kan ikke lese filen " + quoted(p) + "."};
}

std::string trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// Reads name=value lines into the merge data.
void readMergeFile(const fs::path& p, TMergeValueMap& data) {
    checkReadable(p);
    std::ifstream in(p, std::ios::binary);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            throw EToolError{"Linje " + std::to_string(number) + " i flettefilen " + quoted(p) +
                             " mangler «=» (navn=verdi)."};
        std::string name = trimmed(line.substr(first, eq - first));
        if (name.empty())
            throw EToolError{"Linje " + std::to_string(number) + " i flettefilen " + quoted(p) + " mangler navn."};
        std::string text = trimmed(line.substr(eq + 1));
        std::u16string value = fromUtf8(text);
        if (toUtf8(value) != text)
            throw EToolError{"Linje " + std::to_string(number) + " i flettefilen " + quoted(p) + " er ikke UTF-8."};
        data.SetValue(fromUtf8(name), value);
    }
    if (in.bad()) throw EToolError{"Kan ikke lese filen " + quoted(p) + "."};
}

// Fonts and painters need a GUI application; without a display it runs offscreen.
void useOffscreenWithoutDisplay() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<fs::path> mergeFile;
    std::optional<std::string> printer;
    std::vector<std::string> args;
    bool moreOptions = true;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        if (moreOptions && a == "--") {
            moreOptions = false;
        } else if (moreOptions && (a == "-h" || a == "--help" || a == "--hjelp")) {
            std::cout << kHelp;
            return 0;
        } else if (moreOptions && (a == "-f" || a == "--flett")) {
            auto v = value();
            if (!v) return wrongUse(a + " mangler filnavn.");
            mergeFile = fs::path(*v);
        } else if (moreOptions && (a == "-s" || a == "--skriver")) {
            auto v = value();
            if (!v || v->empty()) return wrongUse(a + " mangler skrivernavn.");
            printer = *v;
        } else if (moreOptions && a.size() > 1 && a[0] == '-') {
            return wrongUse("Ukjent valg " + a + ".");
        } else {
            args.push_back(a);
        }
    }
    size_t wanted = printer ? 1 : 2;
    if (args.size() != wanted)
        return wrongUse(printer ? "Oppgi én RTF-fil når dokumentet skal til en skriver."
                                : "Oppgi en RTF-fil og en PDF-fil.");

    useOffscreenWithoutDisplay();
    QGuiApplication app(argc, argv);

    fs::path input(args[0]);
    try {
        TMergeValueMap data;
        if (mergeFile) readMergeFile(*mergeFile, data);
        checkReadable(input);
        TMergeValueMap* merge = mergeFile ? &data : nullptr;
        if (printer) {
            kavelin::rtf::TRtfDocumentBuilder builder;
            builder.OverrideOptions().SetPrinterName(fromUtf8(*printer));
            builder.PrintRTFFile(input, merge);
        } else {
            fs::path output(args[1]);
            try {
                kavelin::rtf::TRtfToPDF::makeFileFrom(input, output, merge);
            } catch (const kavelin::rtf::ERtfError& e) {
                throw EToolError{"Filen " + quoted(input) + " er ikke et gyldig RTF-dokument (" + e.what() + ")."};
            } catch (const kavelin::rtf::EPrinterNotFound&) {
                throw;
            } catch (const std::exception& e) {
                throw EToolError{"Kan ikke skrive PDF-filen " + quoted(output) + ": " + e.what()};
            }
        }
    } catch (const EToolError& e) {
        return failure(e.message);
    } catch (const kavelin::rtf::EPrinterNotFound&) {
        return failure("Finner ikke skriveren «" + printer.value_or("") + "».");
    } catch (const kavelin::rtf::ERtfError& e) {
        return failure("Filen " + quoted(input) + " er ikke et gyldig RTF-dokument (" + e.what() + ").");
    } catch (const std::exception& e) {
        return failure(std::string("Utskriften feilet: ") + e.what());
    }
    return 0;
}
