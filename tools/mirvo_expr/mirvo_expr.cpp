// mirvo-expr: evaluates an arithmetic expression as the pocket calculator
// does, and prints its value with a decimal comma.
#include <iostream>
#include <string>

#include "app/ui/calculator/expression.h"
#include "app/ui/fmt/numtext.h"
#include "common/text/encoding.h"

namespace {

const char kHelp[] =
    "Bruk: mirvo-expr UTTRYKK\n"
    "\n"
    "Regner ut UTTRYKK og skriver verdien med desimalkomma, for eksempel\n"
    "  mirvo-expr \"2(3+4)\"        gir 14\n"
    "  mirvo-expr \"1,5+1\"         gir 2,5\n"
    "  mirvo-expr \"MAX(3;9;4)\"    gir 9\n"
    "\n"
    "Regnearter: + - * x / ^, parenteser, sammenligninger (= <> < <= > >=),\n"
    "& og |, og funksjonene IF, MIN, MAX, MINMAX og POW (argumenter skilles\n"
    "med \";\"). Flere argumenter settes sammen med mellomrom.\n"
    "\n"
    "Ved feil i uttrykket skrives en feilmelding på standard feil, og\n"
    "programmet avslutter med kode 1 (2 ved feil bruk).\n";

}  // namespace

int main(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i == 1 && (a == "-h" || a == "--help")) {
            std::cout << kHelp;
            return 0;
        }
        if (!text.empty()) text += ' ';
        text += a;
    }
    if (text.empty()) {
        std::cerr << "mirvo-expr: uttrykk mangler\nSe mirvo-expr --help.\n";
        return 2;
    }
    std::u16string expr = kavelin::text::fromUtf8(text);
    if (kavelin::text::toUtf8(expr) != text) {
        std::cerr << "mirvo-expr: uttrykket er ikke gyldig UTF-8\n";
        return 2;
    }
    try {
        kavelin::expressionscript::TExpression e;
        e.setExpression(expr);
        double v = e.GetValue();
        std::cout << kavelin::text::toUtf8(kavelin::fmt::writeNumberTrimmed(v, 10, false)) << '\n';
        return 0;
    } catch (const kavelin::expressionscript::EExpressionError& err) {
        std::cerr << "mirvo-expr: " << kavelin::text::toUtf8(err.message()) << '\n';
        return 1;
    }
}
