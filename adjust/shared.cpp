// Pieces of the condition equations that several cases write the same way.
#include "cases.h"

#include "catalogue.h"

namespace chain {
namespace detail {

void figureRow1(Matrix &A, int row, const Inputs &in, bool withS1)
{
    const auto &al = in.alpha, &ga = in.gamma, &h = in.h;
    const double rho = in.rho, rad = in.rad;
    if (withS1)
        A(row, 1) = rho * (cosd(ga[3], rad) / h[3] - cosd(al[1], rad) / h[1]);
    A(row, 2) = rho / h[1];
    A(row, 3) = -rho * (cosd(ga[1], rad) / h[1] + cosd(al[2], rad) / h[2]);
    A(row, 4) = rho / h[2];
    A(row, 5) = rho * (cosd(al[3], rad) / h[3] - cosd(ga[2], rad) / h[2]);
    A(row, 6) = -rho / h[3];
}

void figureRow2(Matrix &A, int row, const Inputs &in, bool withS9)
{
    const auto &al = in.alpha, &ga = in.gamma, &h = in.h;
    const double rho = in.rho, rad = in.rad;
    A(row, 4) = rho * (cosd(ga[6], rad) / h[6] - cosd(al[4], rad) / h[4]);
    A(row, 7) = rho / h[4];
    A(row, 8) = -rho * (cosd(ga[4], rad) / h[4] + cosd(al[5], rad) / h[5]);
    if (withS9)
        A(row, 9) = rho / h[5];
    A(row, 10) = rho * (cosd(al[6], rad) / h[6] - cosd(ga[5], rad) / h[5]);
    A(row, 11) = -rho / h[6];
}

double figureMisclosure1(const Inputs &in) { return 3600 * (in.beta[1] + in.beta[2] - in.beta[3]); }
double figureMisclosure2(const Inputs &in) { return 3600 * (in.beta[4] + in.beta[5] - in.beta[6]); }

Inputs inputsFrom(const Sides &S, const TriArr &alpha, const TriArr &gamma, const TriArr &beta, const TriArr &h,
                  float rho, double rad)
{
    Inputs in;
    for (std::size_t i = 0; i < in.S.size() && i < S.size(); ++i)
        in.S[i] = S[i];
    in.alpha = alpha;
    in.gamma = gamma;
    in.beta = beta;
    in.h = h;
    in.rho = rho;
    in.rad = rad;
    return in;
}

Inputs inputsOf(const Record &rec, const Computation &comp, const Sides &S)
{
    Inputs in = inputsFrom(S, comp.alpha, comp.gamma, comp.beta, comp.h, rec.rho, rec.rad);
    in.xa = rec.xa, in.ya = rec.ya, in.xb = rec.xb, in.yb = rec.yb;
    in.xc = rec.xc, in.yc = rec.yc, in.xd = rec.xd, in.yd = rec.yd;
    in.ta = rec.ta, in.qa = rec.qa, in.tb = rec.tb, in.qb = rec.qb;
    in.sga = comp.sga, in.sgb = comp.sgb;
    return in;
}

void storeMisclosures(CaseResult &r, const Model &m)
{
    for (int i = 1; i <= m.nc; ++i)
        r.w[static_cast<std::size_t>(i)] = static_cast<float>(m.w[static_cast<std::size_t>(i)]);
    for (std::size_t i = 0; i <= 5; ++i) {
        r.X[i] = m.X[i];
        r.Y[i] = m.Y[i];
    }
}

} // namespace detail

Model modelOf(int caseNo, const Inputs &in) { return caseRow(caseNo).model(in); }

} // namespace chain
