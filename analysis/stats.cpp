#include "stats.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis::stats {
namespace {

constexpr double kEps = 1e-15;
constexpr double kTiny = 1e-300;
constexpr double kPi = 3.14159265358979323846;

// One term of a continued fraction b0 + a1/(b1 + a2/(b2 + ...)) evaluated
// by the modified Lentz method: updates C and D for the term (an, bn) and
// returns the factor the running value is multiplied by.
double lentzStep(double &c, double &d, double an, double bn)
{
    d = bn + an * d;
    if (std::fabs(d) < kTiny)
        d = kTiny;
    c = bn + an / c;
    if (std::fabs(c) < kTiny)
        c = kTiny;
    d = 1 / d;
    return d * c;
}

// Continued fraction of the incomplete beta function (modified Lentz).
double betaFraction(double a, double b, double x)
{
    const double qab = a + b, qap = a + 1, qam = a - 1;
    double c = 1, d = 1 - qab * x / qap;
    if (std::fabs(d) < kTiny)
        d = kTiny;
    d = 1 / d;
    double h = d;
    for (int m = 1; m <= 300; ++m) {
        const double m2 = 2.0 * m;
        h *= lentzStep(c, d, m * (b - m) * x / ((qam + m2) * (a + m2)), 1);
        const double del = lentzStep(c, d, -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2)), 1);
        h *= del;
        if (std::fabs(del - 1) < kEps)
            break;
    }
    return h;
}

// Series of P(a, x), good for x < a + 1.
double gammaSeries(double a, double x)
{
    double ap = a, sum = 1 / a, del = sum;
    for (int n = 0; n < 1000; ++n) {
        ap += 1;
        del *= x / ap;
        sum += del;
        if (std::fabs(del) < std::fabs(sum) * kEps)
            break;
    }
    return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// Continued fraction of Q(a, x) = 1 - P(a, x), good for x >= a + 1.
double gammaFraction(double a, double x)
{
    double b = x + 1 - a, c = 1 / kTiny, d = 1 / b, h = d;
    for (int i = 1; i < 1000; ++i) {
        b += 2;
        const double del = lentzStep(c, d, -i * (i - a), b);
        h *= del;
        if (std::fabs(del - 1) < kEps)
            break;
    }
    return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

// Root of cdf(x) = p on [lo, hi] (cdf increasing), Newton steps from x0
// with pdf as derivative, a bisection step whenever Newton leaves the
// bracket or does not shrink it fast enough.
template <class Cdf, class Pdf>
double invert(double p, double x0, double lo, double hi, Cdf cdf, Pdf pdf)
{
    double x = std::clamp(x0, lo, hi);
    for (int it = 0; it < 200; ++it) {
        const double f = cdf(x) - p;
        if (f == 0)
            return x;
        if (f < 0)
            lo = x;
        else
            hi = x;
        const double d = pdf(x);
        double next = d > 0 ? x - f / d : lo;
        if (!(next > lo && next < hi) || !std::isfinite(next))
            next = std::isfinite(hi) ? 0.5 * (lo + hi) : std::max(2 * x, x + 1);
        if (std::fabs(next - x) <= 1e-14 * std::max(1.0, std::fabs(x)))
            return next;
        x = next;
    }
    return x;
}

} // namespace

double incompleteBeta(double a, double b, double x)
{
    if (x <= 0)
        return 0;
    if (x >= 1)
        return 1;
    const double front =
        std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
    // The fraction converges quickly for x below (a + 1) / (a + b + 2); use
    // the symmetry I_x(a, b) = 1 - I_{1-x}(b, a) above it.
    if (x < (a + 1) / (a + b + 2))
        return front * betaFraction(a, b, x) / a;
    return 1 - front * betaFraction(b, a, 1 - x) / b;
}

double incompleteGamma(double a, double x)
{
    if (x <= 0)
        return 0;
    if (x < a + 1)
        return gammaSeries(a, x);
    return 1 - gammaFraction(a, x);
}

double studentCdf(double t, double dof)
{
    const double tail = 0.5 * incompleteBeta(dof / 2, 0.5, dof / (dof + t * t));
    return t >= 0 ? 1 - tail : tail;
}

double chiSquareCdf(double x, double dof) { return x <= 0 ? 0 : incompleteGamma(dof / 2, x / 2); }

double studentQuantile(double p, double dof)
{
    if (p == 0.5)
        return 0;
    if (p < 0.5)
        return -studentQuantile(1 - p, dof);
    const double lnc = std::lgamma((dof + 1) / 2) - std::lgamma(dof / 2) - 0.5 * std::log(dof * kPi);
    auto pdf = [&](double t) { return std::exp(lnc - (dof + 1) / 2 * std::log1p(t * t / dof)); };
    auto cdf = [&](double t) { return studentCdf(t, dof); };
    // Start from the normal quantile widened for few degrees of freedom.
    const double z = std::sqrt(-2 * std::log(2 * (1 - p)));
    const double x0 = z + (z * z * z + z) / (4 * dof);
    return invert(p, x0, 0, std::numeric_limits<double>::infinity(), cdf, pdf);
}

double chiSquareQuantile(double p, double dof)
{
    const double k = dof / 2;
    const double lnc = -k * std::log(2.0) - std::lgamma(k);
    auto pdf = [&](double x) { return x <= 0 ? 0 : std::exp(lnc + (k - 1) * std::log(x) - x / 2); };
    auto cdf = [&](double x) { return chiSquareCdf(x, dof); };
    // Wilson-Hilferty start, with a normal quantile from a rational
    // approximation good to a few parts in a thousand.
    const double q = p < 0.5 ? p : 1 - p;
    const double t = std::sqrt(-2 * std::log(q));
    double z = t - (2.515517 + 0.802853 * t + 0.010328 * t * t) / (1 + 1.432788 * t + 0.189269 * t * t + 0.001308 * t * t * t);
    if (p < 0.5)
        z = -z;
    const double h = 2 / (9 * dof);
    const double x0 = std::max(dof * std::pow(1 - h + z * std::sqrt(h), 3), 1e-8);
    return invert(p, x0, 0, std::numeric_limits<double>::infinity(), cdf, pdf);
}

} // namespace analysis::stats
