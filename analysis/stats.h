// Distribution functions and their quantiles for the statistical tests of
// the analysis: the regularized incomplete beta and gamma functions, the
// Student t and chi-square distributions, and their inverses by safeguarded
// Newton iteration. Plain C++, no library beyond the standard one.
#pragma once

namespace analysis::stats {

// Regularized incomplete beta I_x(a, b), a, b > 0, x in [0, 1].
double incompleteBeta(double a, double b, double x);
// Regularized lower incomplete gamma P(a, x), a > 0, x >= 0.
double incompleteGamma(double a, double x);

// Cumulative distribution functions.
double studentCdf(double t, double dof);
double chiSquareCdf(double x, double dof);

// Quantiles: the value below which the probability is p, 0 < p < 1, dof > 0.
double studentQuantile(double p, double dof);
double chiSquareQuantile(double p, double dof);

} // namespace analysis::stats
