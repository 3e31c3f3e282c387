#include "common/finans/effrente.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "common/finans/rente360.h"
#include "common/text/numtext.h"
#include "common/utils/dates.h"
#include "common/utils/error.h"

namespace kavelin::finans {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr size_t kLineRoom = 80;

// x^n for n >= 0 by repeated squaring.
double ipow(double x, int64_t n) {
    double r = 1;
    while (n > 0) {
        if (n & 1) r *= x;
        x *= x;
        n >>= 1;
    }
    return r;
}

}  // namespace

// --- TEffRenteList ------------------------------------------------------

TEffRenteList::TEffRenteList(TEffRente* owner, int capacity)
    : FOwner(owner), FMaxantinnbeffr(std::max(capacity, 0)) {
    FInb.reserve(size_t(FMaxantinnbeffr));
}

TEffRenteList::TEffRenteList(TEffRente* owner, const TEffRenteList& source) : TEffRenteList(source) {
    FOwner = owner;
}

void TEffRenteList::add(Datorec d, double innbet) {
    if (std::fabs(innbet) <= 1e-12) return;
    if (FNuminb == 0) {
        FFdato = d;
        FDivisor = std::fabs(innbet);
    }
    if (FNuminb >= FMaxantinnbeffr) {
        FEffrerror = true;
    } else {
        const int32_t pd = Dager360(d, FFdato);
        if (pd < 0) {
            FEffrerror = true;
            throw utils::EKavelin(u"Feil datorekkefølge på innmating av beløpsstrømmen til TEffRente.inserec-metoden");
        }
        FInb.push_back({d, innbet, pd, 0});
        ++FNuminb;
    }
    FFdato = d;
}

int32_t TEffRenteList::getTotaltTidsrom() const {
    return FNuminb == 0 ? 0 : Dager360(FFdato, FInb.front().dato);
}

// --- TEffRente ----------------------------------------------------------

void TEffRente::BgnEffRntCalc(int capacity) {
    FErArr = std::make_unique<TEffRenteList>(this, capacity);
    FErBeregna = false;
}

void TEffRente::inserec(TWordDate rdato, double belop) { inserec(RDato2Dato(rdato), belop); }

void TEffRente::inserec(Datorec dato, double belop) {
    if (!FErArr) throw std::logic_error("TEffRente::inserec before BgnEffRntCalc");
    FErArr->add(dato, belop);
    FErBeregna = false;
}

double TEffRente::dailyFactor() {
    if (FErBeregna) return FFactor;
    FErBeregna = true;
    FFactor = kNaN;
    if (!FErArr || FErArr->FNuminb == 0 || FErArr->FDivisor == 0) return FFactor;

    std::vector<TEffRenteItem>& inb = FErArr->FInb;
    for (auto& f : inb) f.ri = -f.innbet / FErArr->FDivisor;

    // Newton's method on the daily discount factor x:
    // S(x) = sum ri * x^-D, S'(x) = sum ri * x^-D * (-D) / x.
    double x = FErArr->FXTryFirst;
    for (int iter = 0; iter < kMaxIterations; ++iter) {
        double s = 0, ds = 0;
        int64_t days = 0;
        // x^-D is carried from flow to flow: one small power per gap.
        const double xinv = 1 / x;
        double diskont = 1;
        int32_t sistePd = -1;
        double sisteFaktor = 1;
        for (const auto& f : inb) {
            days += f.pd;
            if (f.pd != sistePd) {
                sistePd = f.pd;
                sisteFaktor = ipow(xinv, f.pd);
            }
            diskont *= sisteFaktor;
            const double v = f.ri * diskont;
            s += v;
            ds += v * double(-days) / x;
        }
        if (!std::isfinite(s) || !std::isfinite(ds) || std::fabs(ds) <= 1e-12) return FFactor;
        const double step = s / ds;
        x -= step;
        if (!std::isfinite(x) || x <= 0) return FFactor;
        if (std::fabs(step) < 1e-7) {
            if (x < 1.1) FFactor = x;
            return FFactor;
        }
    }
    return FFactor;  // no convergence within the cap: undefined
}

bool TEffRente::beregnEffRente(double& rate) {
    rate = beregnEffRente(rate, 360) ? rate : kNaN;
    FUtregnetEffRnt = rate;
    return !std::isnan(rate);
}

bool TEffRente::beregnEffRente(double& rate, int dagerPrAar) {
    const double x = dailyFactor();
    rate = std::isnan(x) ? kNaN : (ipow(x, dagerPrAar) - 1) * 100;
    if (!std::isfinite(rate)) rate = kNaN;
    return !std::isnan(rate);
}

void TEffRente::LagEffrenteKontrollRapport(char16_t* buf, size_t bufChars, int& error) {
    error = 0;
    if (buf == nullptr || bufChars == 0) {
        error = kErrBufferTooSmall;
        return;
    }
    double rate = 0;
    beregnEffRente(rate);

    size_t pos = 0;
    double sum = 0;
    int64_t days = 0;
    const int n = FErArr ? FErArr->FNuminb : 0;
    for (int i = 0; i < n; ++i) {
        const TEffRenteItem& f = FErArr->FInb[size_t(i)];
        days += f.pd;
        const double a = -std::nearbyint(f.ri * FErArr->FDivisor * 100) / 100;
        const double p = a / std::pow(1 + rate / 100, double(days) / 360);
        sum += p;
        const std::u16string line = utils::datostr(f.dato, u"DD.MM.YYYY") + u';' + text::intText(days) + u';' +
                                    text::fixedText(a, 2) + u';' + text::fixedText(p, 2) + u';' +
                                    text::fixedText(sum, 2) + u'\n';
        const size_t room = bufChars - 1 - pos;
        if (room < kLineRoom || line.size() > room) {
            error = kErrBufferTooSmall;
            break;
        }
        std::copy(line.begin(), line.end(), buf + pos);
        pos += line.size();
    }
    buf[pos] = 0;
}

}  // namespace kavelin::finans
