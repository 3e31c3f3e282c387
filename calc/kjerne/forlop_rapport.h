// Payment schedules: turns the rows of a full course into the text lines of
// a schedule written through the result writer, in several layouts.
//
// Every layout is a row receiver handed to the course (Utlaanrapport). All
// layouts share one filter, which decides which rows become lines and keeps
// the totals and observation snapshots of the run as a side effect, and one
// set of row-kind letters (Norwegian or English, from the run mode).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "calc/kjerne/simuler.h"
#include "calc/loan/run_mode.h"
#include "common/finans/report_output.h"

namespace mirvo::beregning {

class TForlopRapport;

// One schedule layout: the shared filter, then the layout's own columns.
class TForlopMottaker final : public TRadMottaker {
public:
    using Skriver = void (TForlopRapport::*)(int radtype, TWordDate dato, const utrectype& r,
                                             const saldoar& s);
    TForlopMottaker(TForlopRapport& rapport, Skriver skriv);
    void rad(int radtype, TWordDate dato, const utrectype& r, const saldoar& s) override;

private:
    TForlopRapport& FRapport;
    Skriver FSkriv;
};

class TForlopRapport : public TSimuler {
public:
    TForlopRapport();
    TForlopRapport(const TForlopRapport&) = delete;
    TForlopRapport& operator=(const TForlopRapport&) = delete;

    kavelin::finans::TReportOutput writer;
    TRunMode mode = TRunMode::norsk();
    bool formatertOutput = false;  // numbers and kinds for reading by people

    // ---- output
    void startOutput(char16_t* buffer, ptrdiff_t size);
    void endOutput();
    void initReportMode(kavelin::finans::TReportFmtMode m) { writer.Setmode(m); }
    // 2 when interest or term amounts are rounded below whole units, else 0.
    int getOutputDecimalCount() const;
    const std::u16string& getOutputDateFmt() const { return writer.dateFmt(); }
    kavelin::finans::TPeriodFmtOption getPeriodFmtOption(bool formatted) const;

    // ---- the shared parts of every layout
    // Whether the row becomes a line; adjusts the row's shown amounts and
    // keeps the run's totals (150) and observation snapshots (190, 191).
    bool filtrer(int radtype, utrectype& r);
    // The part of the filter that keeps figures: totals (150) and
    // observation snapshots (190, 191).
    void merkTall(int radtype, const utrectype& r);
    // The kind letter of a passed row; 0 when the row gives no line.
    char16_t radKode(int radtype, const utrectype& r) const;
    // The text of a Norwegian kind letter; throws EMirvo "Ukjent rapportkode".
    static std::u16string_view kodeTekst(char16_t kode);

    // ---- layouts (row receivers)
    TForlopMottaker utrpndll{*this, &TForlopRapport::skrivUtrpndll};
    TForlopMottaker utrpNDLL2{*this, &TForlopRapport::skrivUtrpndll};
    TForlopMottaker v30Forlop{*this, &TForlopRapport::skrivV30Forlop};
    TForlopMottaker v30ForlopNV{*this, &TForlopRapport::skrivV30ForlopNV};
    TForlopMottaker v30Aarsum{*this, &TForlopRapport::skrivV30Aarsum};
    TForlopMottaker v30Snittrente{*this, &TForlopRapport::skrivV30Snittrente};
    TForlopMottaker enhetslanrapp{*this, &TForlopRapport::skrivEnhetslan};
    TForlopMottaker RelAarsRapport{*this, &TForlopRapport::skrivRelAar};
    TForlopMottaker utrpNoBuffer{*this, &TForlopRapport::skrivIngenting};

private:
    // Column writers by the number rules of schedules.
    void kode(char16_t k);
    void dato(TWordDate d);
    void belop(double v);
    void gebyr(double v);
    void sats(double v);
    void heltall(int64_t v);
    void avdrag(double v);  // empty on separately capitalised loans

    void skrivUtrpndll(int radtype, TWordDate d, const utrectype& r, const saldoar& s);
    void skrivV30Forlop(int radtype, TWordDate d, const utrectype& r, const saldoar& s);
    void skrivV30ForlopNV(int radtype, TWordDate d, const utrectype& r, const saldoar& s);
    void skrivV30Aarsum(int radtype, TWordDate d, const utrectype& r, const saldoar& s);
    void skrivV30Snittrente(int radtype, TWordDate d, const utrectype& r, const saldoar& s);
    void skrivEnhetslan(int radtype, TWordDate d, const utrectype& r, const saldoar& s);
    void skrivRelAar(int radtype, TWordDate d, const utrectype& r, const saldoar& s);
    void skrivIngenting(int, TWordDate, const utrectype&, const saldoar&) {}
    friend class TForlopMottaker;
};

}  // namespace mirvo::beregning
