// Effective yearly interest rate of a stream of dated cash flows: the rate
// at which the flows' present value is zero, days counted 30/360.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/finans/datorec.h"
#include "common/finans/rntdato.h"

namespace kavelin::finans {

struct TEffRenteItem {
    Datorec dato;
    double innbet = 0;  // signed; paid out and paid in have opposite signs
    int32_t pd = 0;     // 30/360 days since the previous flow
    double ri = 0;      // -innbet / divisor, set when solving
};

class TEffRente;

// The flows of one calculation, in date order, up to a fixed capacity.
class TEffRenteList {
public:
    TEffRenteList(TEffRente* owner, int capacity);
    TEffRenteList(TEffRente* owner, const TEffRenteList& source);

    // Adds a flow: amounts of at most 1e-12 are ignored; a full list loses
    // the flow and sets effrerror; a date before the previous flow's sets
    // effrerror and throws EKavelin.
    void add(Datorec d, double innbet);

    int32_t getTotaltTidsrom() const;  // 30/360 days from the first to the last flow

    int numinb() const { return FNuminb; }
    int maxantinnbeffr() const { return FMaxantinnbeffr; }
    bool effrerror() const { return FEffrerror; }
    double divisor() const { return FDivisor; }
    Datorec fdato() const { return FFdato; }
    double xTryFirst() const { return FXTryFirst; }
    const TEffRenteItem& item(int i) const { return FInb.at(size_t(i)); }
    TEffRente* owner() const { return FOwner; }

private:
    friend class TEffRente;

    TEffRente* FOwner;
    int FMaxantinnbeffr;
    bool FEffrerror = false;
    Datorec FFdato;
    double FDivisor = 0;
    double FXTryFirst = 1.00013553741817;  // daily factor of 5 % a year
    int FNuminb = 0;
    std::vector<TEffRenteItem> FInb;
};

class TEffRente : public TRntDato {
public:
    static constexpr int kErrBufferTooSmall = 1000;
    static constexpr int kMaxIterations = 200;

    // A fresh, empty flow list with room for `capacity` flows.
    void BgnEffRntCalc(int capacity);
    void EndEffRntCalc() {}

    // Adds a flow (see TEffRenteList::add); without BgnEffRntCalc first this
    // throws std::logic_error. A new flow invalidates a rate already worked out.
    void inserec(TWordDate rdato, double belop);
    void inserec(Datorec dato, double belop);

    // Rate in percent on a 360-day year; false (rate NaN) when undefined: no
    // flows, zero derivative, no convergence, a daily factor of 1.1 or more,
    // or an arithmetic fault. Worked out once per set of flows.
    bool beregnEffRente(double& rate);
    // The same daily factor on a year of dagerPrAar days: (x^n - 1) * 100.
    bool beregnEffRente(double& rate, int dagerPrAar);

    // Control listing of the discounted flows into buf (size in characters,
    // terminating zero included): one line "DD.MM.YYYY;days;amount;present
    // value;running total" per flow. Error 1000 when a line would leave
    // fewer than 80 characters of room; the listing stops there.
    void LagEffrenteKontrollRapport(char16_t* buf, size_t bufChars, int& error);

    const TEffRenteList* erArr() const { return FErArr.get(); }
    bool erBeregna() const { return FErBeregna; }
    double utregnetEffRnt() const { return FUtregnetEffRnt; }

private:
    double dailyFactor();  // NaN when undefined

    std::unique_ptr<TEffRenteList> FErArr;
    bool FErBeregna = false;
    double FUtregnetEffRnt = 0;
    double FFactor = 0;
};

}  // namespace kavelin::finans
