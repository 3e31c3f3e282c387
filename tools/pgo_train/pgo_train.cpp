// Runs typical loans through the calculation library's public interface. The
// build runs it on an instrumented copy of the library, and the library it
// ships is optimised by the profile this leaves: the branches and calls the
// everyday calculations take are laid out as the straight path. The loans
// and requests are what an adviser's day is made of, weighted so: mostly
// monthly annuities with key figures, then payment plans, serial loans,
// changes of terms, solved amounts and the less common options.
#include <cstdio>
#include <vector>

#include "mirvo32.h"

namespace {

struct Laan {
    const char16_t* input;
    int ganger;  // how often it runs, against the others
};

const Laan kLaan[] = {
    {u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;TERMLEN=1;UTBDTO=01.02.2025", 40},
    {u"LBELOP=3200000;RNTSATS=5,24;LOPETID=30;TERMLEN=1;UTBDTO=15.03.2025;ETBLGBYR=2500;PROVISJON=50", 30},
    {u"LBELOP=450000;RNTSATS=6,1;LOPETID=10;TERMLEN=1;UTBDTO=20.06.2025;FORFDTO=20.08.2025", 20},
    {u"LBELOP=2500000;RNTSATS=4,95;LOPETID=25;TERMLEN=1;UTBDTO=31.01.2025;RNTDAGPRAAR=365", 15},
    {u"LBELOP=1800000;RNTSATS=5,2;LOPETID=20;TERMLEN=3;UTBDTO=10.04.2025;DEPOTGEBYR=750", 10},
    {u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;TERMLEN=1;UTBDTO=01.02.2025;LNTYPE=S", 20},
    {u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;UTBDTO=01.02.2025;LNTYPE=S;PROVISJON=45;ETBLGBYR=2500", 10},
    {u"TERMBELOP=5558;RNTSATS=4,5;LOPETID=25;TERMLEN=1;UTBDTO=01.02.2025", 15},
    {u"LBELOP=800000;RNTSATS=3,9;LOPETID=20;UTBDTO=15.03.2025;AVDRFRIHETY=2;ENDRDTO=15.03.2030;RNTSATS=5,2", 10},
    {u"LBELOP=2000000;RNTSATS=4;LOPETID=30;UTBDTO=01.02.2025;RNTSATS2=5;RNTTRINN2=1000000;OBSDATO=01.01.2027", 6},
    {u"LBELOP=500000;RNTSATS=6;LOPETID=10;UTBDTO=31.01.2025;DRIFTSSYS=DN;ENDRDTO=01.06.2026;XORDINB=50000", 6},
    {u"LBELOP=750000;RNTSATS=3,9;LOPETID=15;UTBDTO=10.03.2025;RNTBROEK=360/360", 6},
    {u"LBELOP=300000;LOPETID=3;RNTSATS=3;UTBDTO=15.01.2025;LNTYPE=S;TERMPRAAR=4", 4},
    {u"LBELOP=1200000;RNTSATS=4,2;LOPETID=25;TERMLEN=1;UTBDTO=01.09.2025;OVERHOPP=7;SLUTTSALDO=100000", 4},
};

// Ten rate changes, one a year, on the annuity above.
const char16_t kEndringer[] =
    u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;TERMLEN=1;UTBDTO=01.02.2025;"
    u"ENDRDTO=01.02.2026;RNTSATS=5,5;ENDRDTO=01.02.2027;RNTSATS=4,5;ENDRDTO=01.02.2028;RNTSATS=5,5;"
    u"ENDRDTO=01.02.2029;RNTSATS=4,5;ENDRDTO=01.02.2030;RNTSATS=5,5;ENDRDTO=01.02.2031;RNTSATS=4,5;"
    u"ENDRDTO=01.02.2032;RNTSATS=5,5;ENDRDTO=01.02.2033;RNTSATS=4,5;ENDRDTO=01.02.2034;RNTSATS=5,5;"
    u"ENDRDTO=01.02.2035;RNTSATS=4,5";

const char16_t* const kNokkeltall[] = {u"EFFRNT", u"TERMBELOP", u"INFRDTO", u"LBELOP", u"SUMINT",
                                       u"SUMFEE", u"TOTANTTERM", u"INNBET1", u"NETTOLBELOP"};

// One case: a fresh calculator, the input, key figures, now and then a plan.
int kjor(const char16_t* input, int nr, std::vector<char16_t>& buf) {
    void* h = MVinitialize();
    int feil = MVinput_w(h, input) != 0;
    const uint32_t cap = uint32_t(buf.size());
    // Most cases read two or three figures; some read them all.
    const int antall = nr % 4 == 0 ? int(std::size(kNokkeltall)) : 2 + nr % 2;
    for (int i = 0; i < antall && !feil; ++i) feil = MVgetresult_w(h, kNokkeltall[i], 0, buf.data(), 64) != 0;
    if (!feil && nr % 5 == 0) feil = MVgetfmtresult_w(h, u"NBPLAN", 99, buf.data(), cap) != 0;
    if (!feil && nr % 11 == 0) feil = MVgetresult_w(h, u"NBPLAN", 99, buf.data(), cap) != 0;
    MVterminate(h);
    return feil;
}

}  // namespace

int main() {
    std::vector<char16_t> buf(400000);
    int feil = 0;
    for (int runde = 0; runde < 4; ++runde) {
        for (const Laan& l : kLaan)
            for (int i = 0; i < l.ganger; ++i) feil += kjor(l.input, i, buf);
        for (int i = 0; i < 5; ++i) feil += kjor(kEndringer, i, buf);
    }
    // A case that fails only teaches the profile the error path.
    if (feil) std::fprintf(stderr, "pgo-train: %d cases gave an error code\n", feil);
    return 0;
}
