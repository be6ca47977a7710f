#include "pipeline.h"

#include "cases.h"
#include "errors.h"
#include "geometry.h"
#include "numfmt.h"

#include <cmath>

namespace chain {
namespace {

const char *kSingular = "法方程系数矩阵奇异（约化后的对角元为零或无定义），无法求解。"
                        "图形的几何条件不足或已知数据相互矛盾，请检查已知点座标、方位角和边长。";

void requirePivot(double d)
{
    if (d == 0 || !std::isfinite(d))
        throw Degenerate(kSingular);
}

} // namespace

void redimension(Record &rec, int nc, int np, int nm, int yMax)
{
    rec.nc = static_cast<std::int16_t>(nc);
    rec.np = static_cast<std::int16_t>(np);
    rec.nm = static_cast<std::int16_t>(nm);
    rec.k.assign(static_cast<std::size_t>(nc) + 1, 0.0);
    rec.w.assign(static_cast<std::size_t>(nc) + 1, 0.0f);
    rec.X.assign(static_cast<std::size_t>(np) + 1, 0.0);
    rec.Y.assign(static_cast<std::size_t>(yMax) + 1, 0.0);
    rec.N.redim(nm + 1, nm + 1);
    rec.Q.redim(nm + 1, nm + 1);
}

namespace {

// The symmetric Gauss scheme on rows and columns 1..n of M with the constant
// term in column n+1: each row reduced by the rows above it, upper triangle
// only, no pivoting; then back substitution into x(1..n), which solves
// M·x + b = 0. M is left reduced.
void reduceAndSolve(Matrix &M, int n, double *x)
{
    for (int k = 2; k <= n; ++k) {
        for (int j = k; j <= n + 1; ++j) {
            double t = M(k, j);
            for (int m = 1; m <= k - 1; ++m) {
                requirePivot(M(m, m));
                t = t - M(m, k) * M(m, j) / M(m, m);
            }
            M(k, j) = t;
        }
    }
    for (int k = n; k >= 1; --k) {
        double t = M(k, n + 1);
        for (int j = k + 1; j <= n; ++j)
            t = t + M(k, j) * x[j];
        requirePivot(M(k, k));
        x[k] = -t / M(k, k);
    }
}

} // namespace

double Cghil(Matrix &N, const Matrix &Q, std::int16_t ip, std::int16_t n)
{
    double x[16] = {};
    reduceAndSolve(N, n, x);
    double r = 0;
    for (int i = 1; i <= n; ++i)
        r = r + x[i] * Q(i, ip);
    return r;
}

void normalEquations(Record &rec, const Matrix &A, Columns cols)
{
    // Each element once: the sum for (j, i) is that of (i, j) term by term
    // (the same products, added in the same order).
    const int last = rec.nc + 2;
    for (int i = 1; i <= last; ++i) {
        for (int j = i; j <= last; ++j) {
            double t = 0;
            for (int l = cols.first; l <= cols.last; ++l)
                if (l != cols.skip)
                    t = t + A(j, l) * A(i, l);
            rec.N(i, j) = t;
            rec.N(j, i) = t;
            rec.Q(i, j) = t;
            rec.Q(j, i) = t;
        }
    }
}

void weightReciprocals(Record &rec)
{
    const int nc = rec.nc;
    rec.ip = static_cast<std::int16_t>(nc + 1);
    rec.px = Cghil(rec.N, rec.Q, rec.ip, rec.nc) + rec.Q(nc + 1, nc + 1);
    for (int i = 1; i <= nc; ++i) {
        for (int j = 1; j <= nc; ++j)
            rec.N(i, j) = rec.Q(i, j);
        rec.N(i, nc + 1) = rec.N(i, nc + 2);
    }
    rec.ip = static_cast<std::int16_t>(nc + 2);
    rec.py = Cghil(rec.N, rec.Q, rec.ip, rec.nc) + rec.Q(nc + 2, nc + 2);
}

void correlates(Record &rec)
{
    const int n = rec.nc;
    for (int i = 1; i <= n; ++i)
        rec.Q(i, n + 1) = rec.w[static_cast<std::size_t>(i)];
    reduceAndSolve(rec.Q, n, rec.k.data());
}

double corrections(Record &rec, const Matrix &A, Columns cols, Corrections &V)
{
    V.fill(0.0);
    double vv = 0;
    for (int j = 1; j <= 11; ++j) {
        const auto u = static_cast<std::size_t>(j);
        if (!cols.has(j)) {
            rec.Sp[u] = rec.S[u];
            continue;
        }
        double v = 0;
        for (int i = 1; i <= rec.nc; ++i)
            v = v + rec.k[static_cast<std::size_t>(i)] * A(i, j);
        V[u] = v;
        vv = vv + (1000 * v) * (1000 * v);
        rec.Sp[u] = rec.S[u] + v;
    }
    return vv;
}

double solveConditions(Record &rec, const Matrix &A, int caseNo, Columns corrected, Corrections &V)
{
    normalEquations(rec, A, normalColumns(caseNo));
    weightReciprocals(rec);
    correlates(rec);
    return corrections(rec, A, corrected, V);
}

double orientationCorrection(const Record &rec, const Matrix &A, int c)
{
    double t = 0;
    for (int i = 1; i <= rec.nc; ++i)
        t = t + rec.k[static_cast<std::size_t>(i)] * A(i, c);
    return t;
}

void anglesFromAdjustedSides(const Record &rec, TriArr &alpha, TriArr &beta, TriArr &gamma)
{
    formTriangles(rec.Sp, rec.rad, alpha, beta, gamma, nullptr, true);
}

void showPrecision(CaseEnv &env, double vv, int divisor, int pxDecimals)
{
    Record &r = env.rec;
    auto pxText = [&](double p) { return pxDecimals == 4 ? fixed(p, 4) : general(roundTo(p, 6)); };
    if (!(r.px >= 0) || !(r.py >= 0) || !std::isfinite(r.px) || !std::isfinite(r.py))
        throw Degenerate(kSingular);
    r.ms = static_cast<float>(std::sqrt(vv / divisor));
    env.out.setText("Text16", fixed(r.ms, 2) + "毫米");
    env.out.setText("Text17", pxText(r.px));
    r.mx = static_cast<float>(static_cast<double>(r.ms) * std::sqrt(r.px));
    env.out.setText("Text19", fixed(r.mx, 2) + "毫米");
    env.out.setText("Text18", pxText(r.py));
    r.my = static_cast<float>(static_cast<double>(r.ms) * std::sqrt(r.py));
    env.out.setText("Text20", fixed(r.my, 2) + "毫米");
    r.md = static_cast<float>(std::sqrt(static_cast<double>(r.mx) * r.mx + static_cast<double>(r.my) * r.my));
    env.out.setText("Text21", fixed(r.md, 2) + "毫米");
}

void requireFiniteResults(const Record &rec)
{
    auto bad = [](double v) { return !std::isfinite(v); };
    bool broken = bad(rec.px) || bad(rec.py) || bad(rec.ms) || bad(rec.mx) || bad(rec.my) || bad(rec.md);
    for (double v : rec.k) broken = broken || bad(v);
    for (float v : rec.w) broken = broken || bad(v);
    for (double v : rec.X) broken = broken || bad(v);
    for (double v : rec.Y) broken = broken || bad(v);
    for (double v : rec.Sp) broken = broken || bad(v);
    if (broken)
        throw Degenerate("计算结果超出数值范围（溢出或无定义）。请检查输入的坐标和边长是否合理。");
}

} // namespace chain
