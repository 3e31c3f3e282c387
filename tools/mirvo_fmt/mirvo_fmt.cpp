// mirvo-fmt: shows how an input field's mask displays a value, with the
// application's own format code.
#include <cctype>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui/fmt/fmterror.h"
#include "app/ui/fmt/masktext.h"
#include "app/ui/fmt/numtext.h"
#include "app/ui/fmt/textfmt.h"
#include "common/text/encoding.h"

namespace {

using kavelin::fmt::TTextFmt;
using kavelin::fmt::TTextFmtKind;
using kavelin::text::fromUtf8;
using kavelin::text::toUtf8;

const char kHelp[] =
    "Bruk: mirvo-fmt [valg] MASKE VERDI\n"
    "\n"
    "Skriver visningsteksten til VERDI under MASKE (UTF-8), slik et\n"
    "inndatafelt i Mirvo viser den.\n"
    "\n"
    "MASKE  for eksempel \"T0\" (heltall med tusenskille), \"N2-\" (to desimaler,\n"
    "       begge fortegn), \"T2;100;%\" (andel vist i prosent), \"##.##\"\n"
    "       (tegnmaske), \"{0123456789}######\" (maske med tillatte tegn),\n"
    "       \"DD.MM.YYYY\" (dato) eller \"__ år  __ mnd\" (periode).\n"
    "VERDI  verditeksten, for eksempel \"1234567\" eller \"0,05\".\n"
    "\n"
    "Valg:\n"
    "  -u, --uformater  gjør motsatt: leser en vist tekst tilbake til verditekst\n"
    "  -h, --help       viser denne hjelpeteksten\n"
    "\n"
    "Ved ugyldig maske eller verdi skrives en feilmelding på standard feil, og\n"
    "programmet avslutter med kode 1 (2 ved feil bruk).\n";

int wrongUse(const std::string& message) {
    std::cerr << "mirvo-fmt: " << message << "\nSe mirvo-fmt --help.\n";
    return 2;
}

int failure(const std::string& message) {
    std::cerr << "mirvo-fmt: " << message << '\n';
    return 1;
}

// An argument as UTF-16; no value when it is not valid UTF-8.
bool readArgument(const std::string& arg, std::u16string& out) {
    out = fromUtf8(arg);
    return toUtf8(out) == arg;
}

// The first character of a value that a character mask can neither place
// nor find among its literals; 0 when there is none.
char16_t strayCharacter(const TTextFmt& fmt, std::u16string_view value) {
    kavelin::fmt::MaskParts parts = kavelin::fmt::splitMask(fmt.mask());
    for (char16_t c : value)
        if (!kavelin::fmt::filterKeepsInValue(parts, c) && parts.mask.find(c) == std::u16string::npos)
            return c;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool unformat = false;
    bool moreOptions = true;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (moreOptions && a == "--") {
            moreOptions = false;
        } else if (moreOptions && (a == "-h" || a == "--help")) {
            std::cout << kHelp;
            return 0;
        } else if (moreOptions && (a == "-u" || a == "--uformater")) {
            unformat = true;
        } else if (moreOptions && a.size() > 1 && a[0] == '-' && !std::isdigit(static_cast<unsigned char>(a[1]))) {
            return wrongUse("ukjent valg " + a);
        } else {
            args.push_back(a);
        }
    }
    if (args.size() != 2) return wrongUse("ventet to argumenter: MASKE og VERDI");

    std::u16string mask, value;
    if (!readArgument(args[0], mask)) return failure("masken er ikke gyldig UTF-8");
    if (!readArgument(args[1], value)) return failure("verdien er ikke gyldig UTF-8");

    TTextFmt fmt;
    try {
        fmt.setMask(mask);
    } catch (const kavelin::fmt::EFmtError& e) {
        return failure("ugyldig maske \"" + args[0] + "\": " + e.what());
    }

    std::u16string result;
    if (unformat) {
        result = fmt.getUnmaskedStr(value);
        if (fmt.isNumber() && !result.empty() && !kavelin::fmt::tryReadNumber(result))
            return failure("\"" + args[1] + "\" er ikke et tall");
    } else {
        // The formats read a bad number as 0; here that is an error.
        if (fmt.isNumber() && !value.empty() && !kavelin::fmt::tryReadNumber(value))
            return failure("\"" + args[1] + "\" er ikke et tall");
        if (fmt.kind() == TTextFmtKind::fkMasked || fmt.kind() == TTextFmtKind::fkDatetime) {
            if (char16_t c = strayCharacter(fmt, value))
                return failure("tegnet \"" + toUtf8(std::u16string(1, c)) + "\" passer ikke i masken \"" +
                               args[0] + "\"");
        }
        result = fmt.getMaskedStr(value);
    }
    std::cout << toUtf8(result) << '\n';
    return 0;
}
