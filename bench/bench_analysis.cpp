// Speed of the precision analysis: the whole analysis of one chain (the
// network from the computed record, the iterated adjustment, every point
// and side, the relative precision of every side, the tests and the grade
// checks), as the window and the --analysis and --json outputs run it.
#include "analysis/engine.h"
#include "app/analysisinput.h"
#include "support/chains.h"
#include "support/computed.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

double fastest(const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); }

chain::Record computed(int n)
{
    const testchain::Chain c = testchain::sampleChain();
    return testchain::compute(testchain::replies(testchain::caseData(n, c), c, testchain::noisy(testchain::sidesOf(c), 5, 11))).rec;
}

// Argument: case number; second argument 1 with an a priori accuracy
// (Baarda's test, global test), 0 without (Pope's test).
void BM_WholeAnalysis(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const chain::Record rec = computed(n);
    chain::AnalysisOptions opt;
    if (state.range(1)) {
        opt.sigmaA = 2;
        opt.sigmaB = 2;
    }
    opt.grade = analysis::Grade::Fourth;
    for (auto _ : state) {
        analysis::Engine e(chain::networkFromRecord(rec, n, opt));
        if (!e.solve().ok)
            state.SkipWithError("analysis failed");
        const analysis::Analysis a = e.analyse();
        benchmark::DoNotOptimize(a.points.data());
    }
}
BENCHMARK(BM_WholeAnalysis)->ComputeStatistics("min", fastest)->Args({1, 1})->Args({1, 0})->Args({3, 1})->Args({9, 1});

// One query of the solved engine: the relative precision of a pair.
void BM_PairQuery(benchmark::State &state)
{
    const chain::Record rec = computed(1);
    analysis::Engine e(chain::networkFromRecord(rec, 1, {}));
    if (!e.solve().ok)
        state.SkipWithError("analysis failed");
    for (auto _ : state) {
        const analysis::PairResult p = e.pair(analysis::C, analysis::D);
        benchmark::DoNotOptimize(p.sDistance);
    }
}
BENCHMARK(BM_PairQuery)->ComputeStatistics("min", fastest);

} // namespace

BENCHMARK_MAIN();
