#include "pipeline.h"

#include "cases.h"
#include "catalogue.h"
#include "errors.h"
#include "geometry.h"

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

CaseResult startResult(int caseNo, const Record &rec)
{
    const CaseRow &row = caseRow(caseNo);
    CaseResult r;
    r.caseNo = caseNo;
    r.title = row.title;
    r.rad = rec.rad;
    r.weakest = row.weakest;
    r.normalColumns = row.normalColumns;
    r.nc = static_cast<std::int16_t>(row.conditions);
    r.np = 5;
    r.nm = static_cast<std::int16_t>(row.nm);
    r.ip = rec.ip;
    r.k.assign(static_cast<std::size_t>(r.nc) + 1, 0.0);
    r.w.assign(static_cast<std::size_t>(r.nc) + 1, 0.0f);
    r.X.assign(static_cast<std::size_t>(r.np) + 1, 0.0);
    r.Y.assign(static_cast<std::size_t>(row.yMax) + 1, 0.0);
    r.N.redim(r.nm + 1, r.nm + 1);
    r.Q.redim(r.nm + 1, r.nm + 1);
    r.S = rec.S;
    r.Sp = rec.Sp;
    r.qa = rec.qa;
    r.qb = rec.qb;
    return r;
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

void normalEquations(CaseResult &rec, const Matrix &A, Columns cols)
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
    rec.normal = rec.N;
}

void weightReciprocals(CaseResult &rec)
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

void correlates(CaseResult &rec)
{
    const int n = rec.nc;
    for (int i = 1; i <= n; ++i)
        rec.Q(i, n + 1) = rec.w[static_cast<std::size_t>(i)];
    reduceAndSolve(rec.Q, n, rec.k.data());
}

double corrections(CaseResult &rec, const Matrix &A, Columns cols, Corrections &V)
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

double solveConditions(CaseResult &r, const Matrix &A)
{
    const CaseRow &row = caseRow(r.caseNo);
    r.A = A;
    normalEquations(r, A, row.normalColumns);
    weightReciprocals(r);
    correlates(r);
    r.vv = corrections(r, A, row.corrected, r.V);
    return r.vv;
}

double orientationCorrection(const CaseResult &rec, const Matrix &A, int c)
{
    double t = 0;
    for (int i = 1; i <= rec.nc; ++i)
        t = t + rec.k[static_cast<std::size_t>(i)] * A(i, c);
    return t;
}

void anglesFromAdjustedSides(const CaseResult &rec, TriArr &alpha, TriArr &beta, TriArr &gamma)
{
    formTriangles(rec.Sp, rec.rad, alpha, beta, gamma, nullptr, true);
}

void precision(CaseResult &r, double vv)
{
    if (!(r.px >= 0) || !(r.py >= 0) || !std::isfinite(r.px) || !std::isfinite(r.py))
        throw Degenerate(kSingular);
    r.ms = static_cast<float>(std::sqrt(vv / caseRow(r.caseNo).msDivisor));
    r.mx = static_cast<float>(static_cast<double>(r.ms) * std::sqrt(r.px));
    r.my = static_cast<float>(static_cast<double>(r.ms) * std::sqrt(r.py));
    r.md = static_cast<float>(std::sqrt(static_cast<double>(r.mx) * r.mx + static_cast<double>(r.my) * r.my));
}

double weightReciprocal(const CaseResult &r, const std::array<double, 13> &f)
{
    const int n = r.nc;
    if (n < 1 || r.normal.rows() < n + 2)
        throw Degenerate(kSingular);
    // [af] into the constant column of a copy of [aa]; the solution x of
    // [aa]·x + [af] = 0 gives [af]ᵀ[aa]⁻¹[af] = −[af]·x.
    Matrix M = r.normal;
    double ff = 0;
    for (int l = 0; l <= 12; ++l)
        if (r.normalColumns.has(l))
            ff += f[static_cast<std::size_t>(l)] * f[static_cast<std::size_t>(l)];
    std::vector<double> af(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 1; i <= n; ++i) {
        double t = 0;
        for (int l = 0; l <= 12; ++l)
            if (r.normalColumns.has(l))
                t += r.A(i, l) * f[static_cast<std::size_t>(l)];
        af[static_cast<std::size_t>(i)] = t;
        M(i, n + 1) = t;
    }
    std::vector<double> x(static_cast<std::size_t>(n) + 1, 0.0);
    reduceAndSolve(M, n, x.data());
    double q = ff;
    for (int i = 1; i <= n; ++i)
        q += af[static_cast<std::size_t>(i)] * x[static_cast<std::size_t>(i)];
    return q;
}

void keep(Record &rec, const CaseResult &r)
{
    rec.caseNo = static_cast<std::int16_t>(r.caseNo);
    rec.nc = r.nc;
    rec.np = r.np;
    rec.nm = r.nm;
    rec.ip = r.ip;
    rec.w = r.w;
    rec.k = r.k;
    rec.X = r.X;
    rec.Y = r.Y;
    rec.N = r.N;
    rec.Q = r.Q;
    rec.S = r.S;
    rec.Sp = r.Sp;
    rec.qa = r.qa;
    rec.qb = r.qb;
    rec.px = r.px;
    rec.py = r.py;
    rec.ms = r.ms;
    rec.mx = r.mx;
    rec.my = r.my;
    rec.md = r.md;
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
