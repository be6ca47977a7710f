#include "lsq.h"

#include "adjust/geometry.h"

#include <cmath>

namespace testchain {

// The least-squares adjustment formed independently of the engine's
// condition matrix: the condition rows are
// numerical derivatives of the case's misclosures (sides in metres, the
// signed orientation angles in seconds, the rotation of the unoriented
// routes held), the weight functions those of the weakest point. The
// normal equations are solved by Gauss elimination with partial pivoting.
std::vector<double> solve(std::vector<std::vector<double>> M, std::vector<double> b)
{
    const std::size_t n = b.size();
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t p = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(M[r][c]) > std::fabs(M[p][c]))
                p = r;
        std::swap(M[c], M[p]);
        std::swap(b[c], b[p]);
        for (std::size_t r = c + 1; r < n; ++r) {
            const double f = M[r][c] / M[c][c];
            for (std::size_t j = c; j < n; ++j)
                M[r][j] -= f * M[c][j];
            b[r] -= f * b[c];
        }
    }
    std::vector<double> x(n);
    for (std::size_t i = n; i-- > 0;) {
        double t = b[i];
        for (std::size_t j = i + 1; j < n; ++j)
            t -= M[i][j] * x[j];
        x[i] = t / M[i][i];
    }
    return x;
}

Solution leastSquares(int n, const chain::Inputs &in)
{
    const chain::Model m0 = chain::modelOf(n, in);
    const int nc = m0.nc;
    // D[i][c]: row i = 1..nc conditions, nc+1, nc+2 the weakest point's x, y.
    std::vector<std::array<double, 13>> D(static_cast<std::size_t>(nc) + 3);
    const chain::Columns cols = chain::caseRow(n).normalColumns;
    for (int c = 0; c <= 12; ++c) {
        if (!cols.has(c))
            continue;
        chain::Inputs p = in, q = in;
        double h = 1e-4;
        if (c == 0 || c == 12) {
            h = 1;
            (c == 0 ? p.qa : p.qb) += h / 3600;
            (c == 0 ? q.qa : q.qb) -= h / 3600;
        } else {
            p.S[std::size_t(c)] += h;
            q.S[std::size_t(c)] -= h;
            for (chain::Inputs *x : {&p, &q}) {
                std::vector<double> s(x->S.begin(), x->S.end());
                chain::formTriangles(s, x->rad, x->alpha, x->beta, x->gamma, &x->h, false);
            }
        }
        p.holdRotation = q.holdRotation = true;
        p.rotation = q.rotation = m0.rotation;
        const chain::Model mp = chain::modelOf(n, p), mq = chain::modelOf(n, q);
        const auto e = std::size_t(m0.weakest);
        for (int i = 1; i <= nc; ++i)
            D[std::size_t(i)][std::size_t(c)] = (mp.w[std::size_t(i)] - mq.w[std::size_t(i)]) / (2 * h);
        D[std::size_t(nc) + 1][std::size_t(c)] = (mp.X[e] - mq.X[e]) / (2 * h);
        D[std::size_t(nc) + 2][std::size_t(c)] = (mp.Y[e] - mq.Y[e]) / (2 * h);
    }
    auto dot = [](const std::array<double, 13> &a, const std::array<double, 13> &b) {
        double t = 0;
        for (std::size_t c = 0; c < 13; ++c)
            t += a[c] * b[c];
        return t;
    };
    const auto size = static_cast<std::size_t>(nc);
    std::vector<std::vector<double>> N(size, std::vector<double>(size));
    std::vector<double> w(size);
    for (int i = 0; i < nc; ++i) {
        for (int j = 0; j < nc; ++j)
            N[std::size_t(i)][std::size_t(j)] = dot(D[std::size_t(i) + 1], D[std::size_t(j) + 1]);
        w[std::size_t(i)] = -double(float(m0.w[std::size_t(i) + 1])); // the record keeps singles
    }
    Solution s;
    s.nc = nc;
    const std::vector<double> k = solve(N, w);
    s.k.assign(1, 0.0);
    s.k.insert(s.k.end(), k.begin(), k.end());
    for (std::size_t c = 0; c < 13; ++c)
        for (int i = 1; i <= nc; ++i)
            s.v[c] += s.k[std::size_t(i)] * D[std::size_t(i)][c];
    for (int f = 1; f <= 2; ++f) {
        const auto &F = D[std::size_t(nc + f)];
        std::vector<double> af(size);
        for (int i = 0; i < nc; ++i)
            af[std::size_t(i)] = dot(D[std::size_t(i) + 1], F);
        const std::vector<double> x = solve(N, af);
        double q = dot(F, F);
        for (int i = 0; i < nc; ++i)
            q -= af[std::size_t(i)] * x[std::size_t(i)];
        (f == 1 ? s.px : s.py) = q;
    }
    return s;
}

} // namespace testchain

namespace testchain {

CaseCall caseCall(int caseNo, const chain::Inputs &in)
{
    CaseCall c;
    chain::Record &r = c.rec;
    r.xa = in.xa, r.ya = in.ya, r.xb = in.xb, r.yb = in.yb, r.xc = in.xc, r.yc = in.yc, r.xd = in.xd, r.yd = in.yd;
    r.ta = in.ta, r.qa = in.qa, r.tb = in.tb, r.qb = in.qb;
    r.qaObserved = in.qa, r.qbObserved = in.qb;
    r.S.assign(in.S.begin(), in.S.end());
    r.Sp.assign(12, 0.0);
    r.rad = in.rad;
    r.rho = in.rho;
    r.caseNo = static_cast<std::int16_t>(caseNo);
    c.comp.alpha = in.alpha, c.comp.beta = in.beta, c.comp.gamma = in.gamma, c.comp.h = in.h;
    c.comp.sga = in.sga, c.comp.sgb = in.sgb;
    return c;
}

} // namespace testchain
