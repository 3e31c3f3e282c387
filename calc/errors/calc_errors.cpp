#include "calc/errors/calc_errors.h"

#include <charconv>
#include <new>
#include <utility>

#include "common/text/encoding.h"

namespace mirvo::beregning {
namespace {

constexpr uint16_t kLoanFirst = 10001;
constexpr uint16_t kLoanLast = 20000;
constexpr uint16_t kFrameworkFirst = 1001;

std::u16string number(unsigned n) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, n);
    return kavelin::text::fromUtf8(std::string_view(buf, size_t(r.ptr - buf)));
}

struct CodeText {
    uint16_t code;
    const char16_t* text;
};

// Texts of the loan and portfolio calculators.
constexpr CodeText kLoanTexts[] = {
    {1, u"Siste innbetaling blir negativ"},
    {2, u"Lånet løper for lenge! For lavt terminbeløp"},
    {4, u"Forløpet gir negativ saldo"},
    {23, u"Feil i terminlengde"},
    {25, u"For stort beløp"},
    {100, u"Lånebeløp er ikke angitt"},
    {102, u"Rentesatsen er for stor"},
    {103, u"Terminlengde er ikke angitt"},
    {104, u"Kapitaliseringsperiode ikke angitt"},
    {110, u"Lånet løper for lenge"},
    {111, u"Løpetid kan ikke være kortere enn tidsrommet mellom utbetaling og forfallsdato"},
    {112, u"Avdragsfri periode er for lang"},
    {113, u"2 av de 3 parametrene lånebeløp, løpetid og terminbeløp må være angitt"},
    {115, u"Gebyrer kan ikke være større enn lånebeløp"},
    {116, u"Forfallsdato kan ikke være tidligere enn utbetalingsdato"},
    {117, u"Feil lånetype"},
    {118, u"Lånetype mangler"},
    {119, u"Utbetalingsdato mangler"},
    {200, u"Ukjent felt"},
    {201, u"Feil inputdata"},
    {202, u"\"=\" mangler"},
    {203, u"Ukjent funksjon"},
    {220, u"Forfallsdato mangler"},
    {221, u"For lang avdragsfri periode"},
    {222, u"Lånebeløp kan ikke beregnes for dette driftssystemet"},
    {223, u"Utløpsdato for rentegaranti må være senere enn utbetalingsdato"},
    {225, u"Utløpsdato for rentegaranti er ikke angitt"},
    {226, u"Provisjonsats for rentegaranti er ikke angitt"},
    {227, u"Trapperentelån kan i denne versjonen av Mirvo ikke beregnes med forskuddsrente"},
    {228, u"Trapperentelån kan i denne versjonen av Mirvo ikke beregnes med separat rentekapitalisering"},
    {229, u"Første avdragsforfall må angis slik at det treffer et ordinært terminforfall"},
    {301, u"Ugyldig utbetalingsdato"},
    {311, u"Ugyldig forfallsdato"},
    {312, u"Ugyldig dato for avdragsforfall"},
    {313, u"Ugyldig rentegarantidato"},
    {314, u"Ugyldig observasjonsdato"},
    {321, u"Ugyldig endringsdato"},
    {330, u"Denne versjon av Mirvo kan ikke beregne endringer av forutsetninger for lån med forskuddsrente og kapitalisering utenom terminforfall"},
    {331, u"Ugyldig innfrielsesdato"},
    {332, u"Kun 2 av de 3 parametrene lånebeløp, løpetid og terminbeløp kan være angitt"},
    {333, u"Denne lånetypen kan ikke beregnes vha angitt terminbeløp eller angitt avdrag"},
    {334, u"Denne versjon av Mirvo kan ikke beregne annuitetslån med forskuddsrente og kapitalisering utenom terminforfall"},
    {336, u"Kan ikke beregne med endringer på nedbetalingslån som rammelån"},
    {337, u"Det er lagt inn endring etter innfrielse på lånet"},
    {338, u"Kan ikke angi både antall år nedbetalingsstruktur og sluttsaldo"},
    {339, u"Terminlengde og kapitaliseringsperiode må angis slik at termindato alltid treffer en kapitalisering"},
    {340, u"Mirvo støtter ikke beregning med endringer når antall år nedbetalingsstruktur er angitt"},
    {341, u"Ved angitt ant. år nedbet.struktur må man angi løpetid eller innfrielsesdato isteden for terminbeløp"},
    {342, u"Kan ikke beregne lån med kombinasjonen forskuddsrente og rentefri periode."},
    {343, u"Kan ikke beregne lån med kombinasjonen forskuddsrente og terminkorresjon for første termin"},
    {400, u"Grensebeløp/dellån for trapperente trinn 2 mangler"},
    {401, u"Grensebeløp/dellån for trapperente trinn 3 mangler"},
    {402, u"Grensebeløp for trapperente trinn 2 er for høyt"},
    {403, u"Grensebeløp for trapperente trinn 3 er for høyt"},
    {404, u"Grensebeløp for trinn 2 må være mindre enn grensebeløp for trinn 3"},
    {405, u"Rentesats for trapperente trinn 2 er for lav"},
    {406, u"Rentesats for trapperente trinn 3 er for lav"},
    {407, u"Lånebeløp del 2 mangler"},
    {408, u"Lånebeløp del 3 mangler"},
    {410, u"Sluttsaldo dekkes ikke for denne kombinasjonen av input"},
    {411, u"Kan ikke beregne lånebeløp for obligasjonslån. Må oppgi lånebeløp sammen med terminbeløp eller løpetid"},
    {412, u"Underkurs kan ikke oppgis over 100"},
    {413, u"Etableringsgebyr som prosent av lånebeløp er ikke angitt med sannsynlig riktig verdi"},
    {414, u"Endringsdato må fylles ut"},
    {415, u"Kan ikke beregne sammenhengen mellom løpetid og terminbeløp når det er angitt endringer"},
    {417, u"Feil! Kan ikke sammenstille rentemarginforløp med opprinnelig forløp grunnet avvikende forløpsutvikling!"},
    {500, u"Funksjon støtter ikke json-output"},
};

// Texts of the framework-loan calculator.
constexpr CodeText kFrameworkTexts[] = {
    {100, u"Ukjent inputfelt!"},
    {101, u"Bevilgning er ikke angitt!"},
    {103, u"Kan ikke kombinere TRAPPGRENSETYPE=0 eller TRAPPGRENSETYPE=2 og TRAPPERENTETYPE=1!"},
    {104, u"Trapperentesats kan ikke være mindre enn rentesats for ordinær bevilgning!"},
    {105, u"Trappegrense må være angitt når trapperentesats er satt!"},
    {106, u"Trapperentesats må være angitt når trappegrense er satt!"},
    {107, u"Ugyldig format på inputfelt!"},
    {108, u"Ugyldig angivelse av utnyttingsgrad!"},
    {109, u"Ukjent funksjon!"},
};

template <size_t N>
const char16_t* lookup(const CodeText (&table)[N], uint16_t code) {
    for (const auto& row : table)
        if (row.code == code) return row.text;
    return nullptr;
}

std::u16string withBang(std::u16string text) {
    if (!text.empty() && text.back() != u'!') text += u'!';
    return text;
}

}  // namespace

std::u16string failureMessage(std::exception_ptr failure) {
    try {
        if (failure) std::rethrow_exception(failure);
    } catch (const EAbort&) {
        return u"Avbrudd";
    } catch (const std::bad_alloc&) {
        return u"Ikke nok minne";
    } catch (const std::exception& e) {
        return kavelin::text::fromUtf8(e.what());
    } catch (...) {
    }
    return u"Ukjent Exception-klasse. Kan ikke hente ut feilmelding";
}

GeneratedErrors::GeneratedErrors(Wrap wrap)
    : FWrap(wrap), FCounter(wrap == Wrap::Loan ? kLoanFirst - 1 : kFrameworkFirst - 1) {}

uint16_t GeneratedErrors::add(std::u16string message) {
    uint16_t code;
    if (FWrap == Wrap::Loan) {
        code = uint16_t(++FCounter);
        if (FCounter > kLoanLast) {
            // The code past the limit is handed out once; the next one is
            // the first again. Its message is kept so the caller can read it.
            FMessages.clear();
            FCounter = kLoanFirst - 1;
        }
    } else {
        if (FCounter >= 65535) {
            FCounter = kFrameworkFirst - 1;
            code = uint16_t(FCounter);
        } else {
            code = uint16_t(++FCounter);
        }
    }
    FMessages[code] = std::move(message);
    return code;
}

std::u16string GeneratedErrors::message(uint16_t code) const {
    auto it = FMessages.find(code);
    return it == FMessages.end() ? std::u16string() : it->second;
}

GeneratedErrors& loanGeneratedErrors() {
    static GeneratedErrors list(GeneratedErrors::Wrap::Loan);
    return list;
}

GeneratedErrors& frameworkGeneratedErrors() {
    static GeneratedErrors list(GeneratedErrors::Wrap::Framework);
    return list;
}

uint16_t loanFailureCode(std::exception_ptr failure) {
    try {
        if (failure) std::rethrow_exception(failure);
    } catch (const ECalcError& e) {
        return e.code();
    } catch (...) {
    }
    return loanGeneratedErrors().add(failureMessage(failure));
}

uint16_t frameworkFailureCode(std::exception_ptr failure) {
    try {
        if (failure) std::rethrow_exception(failure);
    } catch (const ECalcError& e) {
        return e.code();
    } catch (...) {
    }
    return frameworkGeneratedErrors().add(failureMessage(failure));
}

std::u16string loanErrorText(uint16_t code) {
    if (code == 0) return {};
    if (code >= kLoanFirst - 1) return withBang(loanGeneratedErrors().message(code));
    if (const char16_t* t = lookup(kLoanTexts, code)) return withBang(t);
    return u"Feil nr. " + number(code) + u"!";
}

std::u16string frameworkErrorText(uint16_t code) {
    if (const char16_t* t = lookup(kFrameworkTexts, code)) return t;
    return u"Tovik32.DLL Exception!" + frameworkGeneratedErrors().message(code);
}

}  // namespace mirvo::beregning
