// Speed of the engine: each case procedure on its own, the Compute command
// from the replies to the window texts, and the report model and its text.
// The data are the test chain of sides of 300 to 700 m with a few
// millimetres of noise on every side, so that every case adjusts something.
#include "adjust/adjust.h"
#include "app/compute.h"
#include "app/fields.h"
#include "app/number.h"
#include "app/replies.h"
#include "report/report.h"
#include "support/chains.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The machine is shared: besides mean and median, the fastest of the
// repetitions (--benchmark_repetitions=N) is the figure least disturbed by
// other work.
double fastest(const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); }

struct NullSink : chain::TextSink {
    std::size_t bytes = 0;
    void setText(std::string_view, std::string_view text) override { bytes += text.size(); }
};

const testchain::Chain &benchChain()
{
    static const testchain::Chain c = testchain::sampleChain();
    return c;
}

std::array<double, 12> benchSides() { return testchain::noisy(testchain::sidesOf(benchChain()), 5, 11); }

std::vector<std::string> benchReplies(int caseNo)
{
    return testchain::replies(testchain::caseData(caseNo, benchChain()), benchChain(), benchSides());
}

// An angle as the Compute command stores it from its d.mmss text.
double typedAngle(double degrees, float *sign)
{
    const auto a = chain::parseAngle(testchain::dms(degrees));
    if (!a)
        throw std::logic_error("bad angle");
    if (sign) {
        *sign = static_cast<float>(a->sign);
        return a->magnitude * *sign;
    }
    return a->sign < 0 ? -a->magnitude : a->magnitude;
}

// The record and the per-computation values as the Compute command hands
// them to the case procedure of case n.
struct Prepared {
    chain::Record rec;
    chain::Computation comp;
};

Prepared prepare(int n)
{
    const auto &c = benchChain();
    const auto d = testchain::caseData(n, c);
    Prepared p;
    chain::Record &r = p.rec;
    r.rad = 3.1415926535 / 180;
    r.rho = 206265;
    r.pn.assign(d.names.begin(), d.names.end());
    const auto sides = benchSides();
    r.S.assign(sides.begin(), sides.end());
    r.Sp.assign(12, 0.0);
    if (d.knownA) r.xa = c.A.x, r.ya = c.A.y;
    if (d.knownB) r.xb = c.B.x, r.yb = c.B.y;
    if (d.knownC) r.xc = c.C.x, r.yc = c.C.y;
    if (d.knownD) r.xd = c.D.x, r.yd = c.D.y;
    if (d.startAngles) {
        r.ta = typedAngle(d.ta, nullptr);
        r.qa = typedAngle(d.qa, &p.comp.sga);
    }
    if (d.closingAngles) {
        r.tb = typedAngle(d.tb, nullptr);
        r.qb = typedAngle(d.qb, &p.comp.sgb);
    }
    if (d.knownA && d.knownC)
        r.S[1] = std::hypot(r.xc - r.xa, r.yc - r.ya);
    if (d.knownB && d.knownD)
        r.S[9] = std::hypot(r.xd - r.xb, r.yd - r.yb);
    p.comp.side = chain::sideOfChain(r);
    chain::formTriangles(r.S, r.rad, p.comp.alpha, p.comp.beta, p.comp.gamma, &p.comp.h, false);
    r.caseNo = chain::selectCase(r, p.comp);
    if (r.caseNo != n)
        throw std::logic_error("the prepared data select case " + std::to_string(r.caseNo));
    // Run once so that the result arrays have their sizes, as in a window
    // that has computed before.
    Prepared once = p;
    NullSink sink;
    chain::dispatch(static_cast<std::int16_t>(n), once.rec, once.comp, sink);
    p.rec.w = once.rec.w;
    p.rec.k = once.rec.k;
    p.rec.X = once.rec.X;
    p.rec.Y = once.rec.Y;
    p.rec.N = once.rec.N;
    p.rec.Q = once.rec.Q;
    return p;
}

// The case procedure alone on a fresh copy of its prepared arguments (the
// copy reuses the storage of the last iteration, as a record that has
// computed before does). The texts go to a sink that only counts them.
void BM_CaseProcedure(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const Prepared p = prepare(n);
    Prepared work = p;
    NullSink sink;
    for (auto _ : state) {
        work.rec = p.rec;
        work.comp = p.comp;
        chain::dispatch(static_cast<std::int16_t>(n), work.rec, work.comp, sink);
        benchmark::DoNotOptimize(work.rec.md);
    }
    state.SetLabel("case " + std::to_string(n));
}
BENCHMARK(BM_CaseProcedure)->ComputeStatistics("min", fastest)->DenseRange(1, 12);

// The copy of the arguments alone, to subtract from the above.
void BM_CaseArgumentsCopy(benchmark::State &state)
{
    const Prepared p = prepare(1);
    Prepared work = p;
    for (auto _ : state) {
        work.rec = p.rec;
        work.comp = p.comp;
        benchmark::DoNotOptimize(work.rec.S.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CaseArgumentsCopy)->ComputeStatistics("min", fastest);

// The Compute command from the replies to the window texts: every prompt
// and confirmation answered, echoes and results into the window's fields.
void BM_Compute(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<std::string> replies = benchReplies(n);
    chain::Record rec;
    chain::FieldTable fields;
    for (auto _ : state) {
        chain::ScriptedPrompter prompter(replies);
        const chain::ComputeResult r = chain::Command1_Click(rec, prompter, fields);
        if (r.outcome != chain::Outcome::Computed)
            state.SkipWithError(r.message.c_str());
        benchmark::DoNotOptimize(rec.md);
    }
    state.SetLabel("case " + std::to_string(n));
}
BENCHMARK(BM_Compute)->ComputeStatistics("min", fastest)->DenseRange(1, 12);

// The replay mode's whole job without the process: split the file's bytes,
// compute, and write the fields as --fields prints them.
void BM_ReplayFields(benchmark::State &state)
{
    std::string bytes;
    for (const auto &l : benchReplies(1))
        bytes += l + "\n";
    for (auto _ : state) {
        chain::Record rec;
        chain::FieldTable fields;
        chain::ScriptedPrompter prompter(chain::splitReplies(bytes));
        chain::Command1_Click(rec, prompter, fields);
        std::string out = fields.dump();
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ReplayFields)->ComputeStatistics("min", fastest);

chain::Record computed(int n)
{
    chain::Record rec;
    chain::FieldTable fields;
    chain::ScriptedPrompter prompter(benchReplies(n));
    if (chain::Command1_Click(rec, prompter, fields).outcome != chain::Outcome::Computed)
        throw std::logic_error("case " + std::to_string(n) + " did not compute");
    return rec;
}

void BM_ReportModel(benchmark::State &state)
{
    const chain::Record rec = computed(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const chain::report::Model m = chain::report::build(rec);
        benchmark::DoNotOptimize(m.lines.data());
    }
}
BENCHMARK(BM_ReportModel)->ComputeStatistics("min", fastest)->Arg(1)->Arg(7);

void BM_ReportText(benchmark::State &state)
{
    const chain::Record rec = computed(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::string t = chain::report::renderText(chain::report::build(rec));
        benchmark::DoNotOptimize(t.data());
    }
}
BENCHMARK(BM_ReportText)->ComputeStatistics("min", fastest)->Arg(1)->Arg(7);

} // namespace

BENCHMARK_MAIN();
