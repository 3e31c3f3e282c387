// Whole loan calculations through the library's public interface: one fresh
// calculator per iteration, input, and the results a host typically reads.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "mirvo32.h"

// Plain new and delete for the whole process, the library's included (it
// has no over-aligned types), so each benchmark can report allocations per
// calculation. The
// benchmarks run on one thread: a plain load and store is enough, and keeps
// a locked instruction out of the timings.
namespace {
std::atomic<uint64_t> gAllokeringer{0};
void* alloker(std::size_t n) {
    gAllokeringer.store(gAllokeringer.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace
void* operator new(std::size_t n) { return alloker(n); }
void* operator new[](std::size_t n) { return alloker(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr uint32_t kScalar = 64;
constexpr uint32_t kReport = 200000;

const char16_t kAnnuitet[] = u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;TERMLEN=1;UTBDTO=01.02.2025";
// The annuity with its term amount given instead of solved: the same course
// without the search, so the two counts of allocations compare.
const char16_t kAnnuitetGitt[] = u"LBELOP=1000000;RNTSATS=4,5;TERMBELOP=5558;TERMLEN=1;UTBDTO=01.02.2025";
const char16_t kSerie[] = u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;TERMLEN=1;UTBDTO=01.02.2025;LNTYPE=S";
// The loan amount is solved from the instalment and the term.
const char16_t kLaanebelop[] = u"TERMBELOP=5558;RNTSATS=4,5;LOPETID=25;TERMLEN=1;UTBDTO=01.02.2025";

// The annuity with a rate change every year for ten years.
std::u16string medEndringer() {
    std::u16string s = kAnnuitet;
    for (int i = 1; i <= 10; ++i) {
        s += u";ENDRDTO=01.02." + std::u16string(1, char16_t(u'0' + (2025 + i) / 1000)) +
             std::u16string(1, char16_t(u'0' + (2025 + i) / 100 % 10)) +
             std::u16string(1, char16_t(u'0' + (2025 + i) / 10 % 10)) +
             std::u16string(1, char16_t(u'0' + (2025 + i) % 10));
        s += u";RNTSATS=" + std::u16string(1, char16_t(u'0' + (i % 2 ? 5 : 4))) + u",5";
    }
    return s;
}

// One calculation: a fresh calculator, the input, then each request.
void kjor(benchmark::State& state, const std::u16string& input,
          const std::vector<std::u16string>& ids, bool formatert, uint16_t param, uint32_t cap) {
    std::vector<char16_t> buf(cap);
    const uint64_t allokeringerFoer = gAllokeringer.load();
    for (auto _ : state) {
        void* h = MVinitialize();
        uint32_t code = MVinput_w(h, input.c_str());
        for (const auto& id : ids) {
            if (code != 0) break;
            code = formatert ? MVgetfmtresult_w(h, id.c_str(), param, buf.data(), cap)
                             : MVgetresult_w(h, id.c_str(), param, buf.data(), cap);
        }
        MVterminate(h);
        if (code != 0) {
            state.SkipWithError("the library returned an error code");
            break;
        }
        benchmark::DoNotOptimize(buf.data());
    }
    state.counters["allok"] = benchmark::Counter(double(gAllokeringer.load() - allokeringerFoer),
                                                 benchmark::Counter::kAvgIterations);
}

void BM_Annuitet(benchmark::State& state) { kjor(state, kAnnuitet, {u"EFFRNT", u"TERMBELOP"}, false, 0, kScalar); }
void BM_AnnuitetGittTerminbelop(benchmark::State& state) {
    kjor(state, kAnnuitetGitt, {u"EFFRNT", u"TERMBELOP"}, false, 0, kScalar);
}
void BM_AnnuitetPlan(benchmark::State& state) { kjor(state, kAnnuitet, {u"NBPLAN"}, true, 99, kReport); }
void BM_Serie(benchmark::State& state) { kjor(state, kSerie, {u"EFFRNT", u"TERMBELOP"}, false, 0, kScalar); }
void BM_TiEndringer(benchmark::State& state) {
    kjor(state, medEndringer(), {u"EFFRNT", u"TERMBELOP"}, false, 0, kScalar);
}
void BM_Laanebelop(benchmark::State& state) { kjor(state, kLaanebelop, {u"LBELOP"}, false, 0, kScalar); }

// On a shared machine other work only ever adds time: the least of several
// repetitions is the figure to hold against the targets.
double minst(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
#define MIRVO_BENCH(fn)                                                                              \
    BENCHMARK(fn)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ComputeStatistics("min", minst)   \
        ->ReportAggregatesOnly(true)

MIRVO_BENCH(BM_Annuitet);
MIRVO_BENCH(BM_AnnuitetGittTerminbelop);
MIRVO_BENCH(BM_AnnuitetPlan);
MIRVO_BENCH(BM_Serie);
MIRVO_BENCH(BM_TiEndringer);
MIRVO_BENCH(BM_Laanebelop);

}  // namespace
