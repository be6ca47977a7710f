#include "engine.h"

#include "stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace analysis {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRho = 180 * 3600 / kPi;       // seconds per radian
constexpr double kTolMm = 1e-7;                  // convergence: largest coordinate change
constexpr double kDivergeMm = 1e7;               // a step of 10 km is divergence
constexpr double kMaxCondition = 1e10;           // of the equilibrated normal system
constexpr double kBaardaCritical = 3.29;         // α0 = 0.001, two-sided
constexpr double kMdbFactor = 4.13;              // α0 = 0.001, power 80 %
constexpr double kBarelyChecked = 0.1;
constexpr int kMaxU = Engine::kMaxUnknowns;
constexpr int kMaxS = Engine::kMaxSys;

double wrap180(double deg)
{
    deg = std::fmod(deg, 360.0);
    if (deg > 180)
        deg -= 360;
    if (deg <= -180)
        deg += 360;
    return deg;
}

double wrap360(double deg)
{
    deg = std::fmod(deg, 360.0);
    if (deg < 0)
        deg += 360;
    return deg >= 360 ? 0 : deg;
}

Ellipse ellipseOf(double sxx, double syy, double sxy)
{
    const double mean = (sxx + syy) / 2, half = (sxx - syy) / 2;
    const double t = std::sqrt(half * half + sxy * sxy);
    Ellipse e;
    e.a = std::sqrt(std::max(0.0, mean + t));
    e.b = std::sqrt(std::max(0.0, mean - t));
    // x is north and y east, so the angle from x towards y is the azimuth.
    double az = t > 0 ? 0.5 * std::atan2(2 * sxy, sxx - syy) * 180 / kPi : 0;
    if (az < 0)
        az += 180;
    if (az >= 180)
        az -= 180;
    e.azimuth = az;
    return e;
}

// Inverts the symmetric m × m matrix a (row length kMaxS) in place by
// Gauss-Jordan elimination, the pivot the largest element left (full
// pivoting). False when a pivot vanishes.
bool invert(double *a, int m)
{
    // Work on [a | I] kept in place by the classic column swap bookkeeping.
    std::array<int, kMaxS> pivRow{}, pivCol{};
    std::array<bool, kMaxS> used{};
    for (int step = 0; step < m; ++step) {
        double best = -1;
        int br = -1, bc = -1;
        for (int r = 0; r < m; ++r) {
            if (used[static_cast<std::size_t>(r)])
                continue;
            for (int c = 0; c < m; ++c) {
                if (used[static_cast<std::size_t>(c)])
                    continue;
                const double v = std::fabs(a[r * kMaxS + c]);
                if (v > best) {
                    best = v;
                    br = r;
                    bc = c;
                }
            }
        }
        if (best < 1e-13)
            return false;
        used[static_cast<std::size_t>(bc)] = true;
        if (br != bc)
            for (int c = 0; c < m; ++c)
                std::swap(a[br * kMaxS + c], a[bc * kMaxS + c]);
        pivRow[static_cast<std::size_t>(step)] = br;
        pivCol[static_cast<std::size_t>(step)] = bc;
        const double inv = 1 / a[bc * kMaxS + bc];
        a[bc * kMaxS + bc] = 1;
        for (int c = 0; c < m; ++c)
            a[bc * kMaxS + c] *= inv;
        for (int r = 0; r < m; ++r) {
            if (r == bc)
                continue;
            const double f = a[r * kMaxS + bc];
            if (f == 0)
                continue;
            a[r * kMaxS + bc] = 0;
            for (int c = 0; c < m; ++c)
                a[r * kMaxS + c] -= f * a[bc * kMaxS + c];
        }
    }
    for (int step = m - 1; step >= 0; --step) {
        const int r = pivRow[static_cast<std::size_t>(step)], c = pivCol[static_cast<std::size_t>(step)];
        if (r != c)
            for (int k = 0; k < m; ++k)
                std::swap(a[k * kMaxS + r], a[k * kMaxS + c]);
    }
    return true;
}

double norm1(const double *a, int m)
{
    double best = 0;
    for (int c = 0; c < m; ++c) {
        double s = 0;
        for (int r = 0; r < m; ++r)
            s += std::fabs(a[r * kMaxS + c]);
        best = std::max(best, s);
    }
    return best;
}

} // namespace

Engine::Engine(const Network &net) : net_(net) {}

Status Engine::fail(std::string message)
{
    solved_ = false;
    return {false, std::move(message)};
}

double Engine::rowOf(int from, int to, bool direction, double *row) const
{
    const double dx = x_[static_cast<std::size_t>(to)] - x_[static_cast<std::size_t>(from)];
    const double dy = y_[static_cast<std::size_t>(to)] - y_[static_cast<std::size_t>(from)];
    const double s2 = dx * dx + dy * dy, s = std::sqrt(s2);
    std::fill(row, row + kMaxU, 0.0);
    double gx, gy; // derivative of the value with respect to `to` per millimetre
    double value;
    if (direction) {
        gx = -dy / s2 * kRho / 1000;
        gy = dx / s2 * kRho / 1000;
        value = wrap360(std::atan2(dy, dx) * 180 / kPi);
    } else {
        gx = dx / s;
        gy = dy / s;
        value = s;
    }
    const int ct = col_[static_cast<std::size_t>(to)], cf = col_[static_cast<std::size_t>(from)];
    if (ct >= 0) {
        row[ct] += gx;
        row[ct + 1] += gy;
    }
    if (cf >= 0) {
        row[cf] -= gx;
        row[cf + 1] -= gy;
    }
    return value;
}

void Engine::coordRow(int p, int axis, double *row) const
{
    std::fill(row, row + kMaxU, 0.0);
    const int c = col_[static_cast<std::size_t>(p)];
    if (c >= 0)
        row[c + axis] = 1;
}

double Engine::cof(const double *g, const double *h) const
{
    double s = 0;
    for (int i = 0; i < u_; ++i) {
        if (g[i] == 0)
            continue;
        double t = 0;
        for (int j = 0; j < u_; ++j)
            t += qxx(i, j) * h[j];
        s += g[i] * t;
    }
    return s;
}

Status Engine::solve()
{
    solved_ = false;
    // Unknowns, starting values and plain checks of the data.
    u_ = 0;
    for (int p = 0; p < kPoints; ++p) {
        const Point &pt = net_.points[static_cast<std::size_t>(p)];
        if (!std::isfinite(pt.x) || !std::isfinite(pt.y))
            return fail("点 " + pointText(net_, p) + " 的座标不是有限数值，无法进行严密平差。");
        x_[static_cast<std::size_t>(p)] = pt.x;
        y_[static_cast<std::size_t>(p)] = pt.y;
        col_[static_cast<std::size_t>(p)] = pt.known ? -1 : u_;
        if (!pt.known)
            u_ += 2;
    }
    for (int p = 0; p < kPoints; ++p)
        for (int q = p + 1; q < kPoints; ++q)
            if (std::hypot(x_[static_cast<std::size_t>(q)] - x_[static_cast<std::size_t>(p)],
                           y_[static_cast<std::size_t>(q)] - y_[static_cast<std::size_t>(p)]) < 0.001)
                return fail("点 " + pointText(net_, p) + " 与点 " + pointText(net_, q) +
                            " 重合（相距不足 1 毫米），图形退化，无法进行严密平差。");
    if (net_.design && !net_.accuracy)
        return fail("预先分析须给出测距精度（sigma_a 毫米，sigma_b 百万分之一），才能估计点位精度。");
    if (net_.accuracy && (!std::isfinite(net_.accuracy->a) || !std::isfinite(net_.accuracy->b) ||
                          net_.accuracy->a < 0 || net_.accuracy->b < 0 ||
                          net_.accuracy->a + net_.accuracy->b <= 0))
        return fail("测距精度 a + b·S 须为非负数且不全为零。");
    if (net_.sigmaQ && !(*net_.sigmaQ > 0 && std::isfinite(*net_.sigmaQ)))
        return fail("定向角精度 sigma_q 须大于零（秒）。");

    // Observations and constraints.
    nObs_ = 0;
    nCon_ = 0;
    for (int i = 1; i <= kSides; ++i) {
        const Side &s = net_.sides[static_cast<std::size_t>(i)];
        if (!s.typed)
            continue;
        const SideEnds e = kSideEnds[static_cast<std::size_t>(i)];
        const double len = std::hypot(x_[static_cast<std::size_t>(e.to)] - x_[static_cast<std::size_t>(e.from)],
                                      y_[static_cast<std::size_t>(e.to)] - y_[static_cast<std::size_t>(e.from)]);
        if (net_.design)
            net_.sides[static_cast<std::size_t>(i)].observed = len;
        else if (!(std::isfinite(s.observed) && s.observed > 0))
            return fail("边 S" + std::to_string(i) + " 的观测值须为大于零的有限数。");
        Obs o;
        o.kind = 0;
        o.index = i;
        o.sigma = net_.accuracy ? net_.accuracy->a + net_.accuracy->b * net_.sides[static_cast<std::size_t>(i)].observed / 1000
                                : 1.0;
        o.weight = 1 / (o.sigma * o.sigma);
        obs_[static_cast<std::size_t>(nObs_++)] = o;
    }
    for (int k = 0; k < net_.orientationCount; ++k) {
        Orientation &o = net_.orientations[static_cast<std::size_t>(k)];
        if (!std::isfinite(o.azimuth))
            return fail("定向方向的方位角不是有限数值。");
        if (net_.design)
            o.azimuth = wrap360(std::atan2(y_[static_cast<std::size_t>(o.other)] - y_[static_cast<std::size_t>(o.known)],
                                           x_[static_cast<std::size_t>(o.other)] - x_[static_cast<std::size_t>(o.known)]) *
                                180 / kPi);
        if (net_.sigmaQ) {
            Obs ob;
            ob.kind = 1;
            ob.index = k;
            ob.sigma = *net_.sigmaQ;
            ob.weight = 1 / (ob.sigma * ob.sigma);
            obs_[static_cast<std::size_t>(nObs_++)] = ob;
        } else {
            con_[static_cast<std::size_t>(nCon_++)] = k;
        }
    }
    redundancy_ = nObs_ - u_ + nCon_;
    if (redundancy_ < 0)
        return fail("观测数少于未知数（观测 " + std::to_string(nObs_) + "，未知数 " + std::to_string(u_) +
                    "），待定点不能全部确定，无法进行严密平差。");

    // Gauss-Newton iterations on the bordered normal equations
    //   [N Cᵀ] [dx]   [Aᵀ P l]
    //   [C 0 ] [k ] = [w     ]
    // whose inverse holds the constrained cofactors of the unknowns.
    const int m = u_ + nCon_;
    std::array<double, kMaxU> row{};
    std::array<double, kMaxS> rhs{}, d{};
    bool converged = false;
    for (iterations_ = 1; iterations_ <= kMaxIterations; ++iterations_) {
        std::fill(q_.begin(), q_.end(), 0.0);
        std::fill(rhs.begin(), rhs.end(), 0.0);
        for (int k = 0; k < nObs_; ++k) {
            const Obs &o = obs_[static_cast<std::size_t>(k)];
            double l;
            if (o.kind == 0) {
                const SideEnds e = kSideEnds[static_cast<std::size_t>(o.index)];
                l = (net_.sides[static_cast<std::size_t>(o.index)].observed - rowOf(e.from, e.to, false, row.data())) * 1000;
            } else {
                const Orientation &or_ = net_.orientations[static_cast<std::size_t>(o.index)];
                l = wrap180(or_.azimuth - rowOf(or_.known, or_.other, true, row.data())) * 3600;
            }
            for (int i = 0; i < u_; ++i) {
                if (row[static_cast<std::size_t>(i)] == 0)
                    continue;
                const double pr = o.weight * row[static_cast<std::size_t>(i)];
                for (int j = 0; j < u_; ++j)
                    q_[static_cast<std::size_t>(i * kMaxS + j)] += pr * row[static_cast<std::size_t>(j)];
                rhs[static_cast<std::size_t>(i)] += pr * l;
            }
        }
        for (int c = 0; c < nCon_; ++c) {
            const Orientation &or_ = net_.orientations[static_cast<std::size_t>(con_[static_cast<std::size_t>(c)])];
            const double w = wrap180(or_.azimuth - rowOf(or_.known, or_.other, true, row.data())) * 3600;
            for (int j = 0; j < u_; ++j) {
                q_[static_cast<std::size_t>((u_ + c) * kMaxS + j)] = row[static_cast<std::size_t>(j)];
                q_[static_cast<std::size_t>(j * kMaxS + u_ + c)] = row[static_cast<std::size_t>(j)];
            }
            rhs[static_cast<std::size_t>(u_ + c)] = w;
        }
        // Equilibrate: unit diagonal for the unknowns, unit rows for the constraints.
        for (int i = 0; i < u_; ++i) {
            const double nii = q_[static_cast<std::size_t>(i * kMaxS + i)];
            if (!(nii > 0)) {
                const int p = [&] {
                    for (int pp = 0; pp < kPoints; ++pp)
                        if (col_[static_cast<std::size_t>(pp)] >= 0 && i / 2 == col_[static_cast<std::size_t>(pp)] / 2)
                            return pp;
                    return 0;
                }();
                return fail("待定点 " + pointText(net_, p) + " 没有观测边，无法确定，严密平差未进行。");
            }
            d[static_cast<std::size_t>(i)] = 1 / std::sqrt(nii);
        }
        for (int c = 0; c < nCon_; ++c) {
            double s = 0;
            for (int j = 0; j < u_; ++j) {
                const double t = q_[static_cast<std::size_t>((u_ + c) * kMaxS + j)] * d[static_cast<std::size_t>(j)];
                s += t * t;
            }
            if (!(s > 0))
                return fail("定向条件与待定点无关，严密平差未进行。");
            d[static_cast<std::size_t>(u_ + c)] = 1 / std::sqrt(s);
        }
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < m; ++j)
                q_[static_cast<std::size_t>(i * kMaxS + j)] *= d[static_cast<std::size_t>(i)] * d[static_cast<std::size_t>(j)];
        const double normM = norm1(q_.data(), m);
        if (!invert(q_.data(), m))
            return fail("法方程奇异：图形不能唯一确定全部待定点（图形退化或观测不足），严密平差未进行。");
        const double cond = normM * norm1(q_.data(), m);
        if (!(cond < kMaxCondition)) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.1e", cond);
            return fail(std::string("法方程病态（条件数约 ") + buf +
                        "）：图形接近退化（例如三角形过于扁平），严密平差的结果不可靠，未予输出。");
        }
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < m; ++j)
                q_[static_cast<std::size_t>(i * kMaxS + j)] *= d[static_cast<std::size_t>(i)] * d[static_cast<std::size_t>(j)];
        // The step, and the coordinates moved by it.
        double largest = 0;
        for (int p = 0; p < kPoints; ++p) {
            const int c = col_[static_cast<std::size_t>(p)];
            if (c < 0)
                continue;
            double dx = 0, dy = 0;
            for (int j = 0; j < m; ++j) {
                dx += q_[static_cast<std::size_t>(c * kMaxS + j)] * rhs[static_cast<std::size_t>(j)];
                dy += q_[static_cast<std::size_t>((c + 1) * kMaxS + j)] * rhs[static_cast<std::size_t>(j)];
            }
            if (!std::isfinite(dx) || !std::isfinite(dy))
                return fail("严密平差的改正数不是有限数值，图形退化，未予输出。");
            x_[static_cast<std::size_t>(p)] += dx / 1000;
            y_[static_cast<std::size_t>(p)] += dy / 1000;
            largest = std::max({largest, std::fabs(dx), std::fabs(dy)});
        }
        if (largest > kDivergeMm)
            return fail("严密平差迭代发散（座标改正数超过 10 公里），未予输出。请检查观测边长与已知数据。");
        if (largest < kTolMm) {
            converged = true;
            break;
        }
    }
    if (!converged) {
        iterations_ = kMaxIterations;
        return fail("严密平差迭代 " + std::to_string(kMaxIterations) +
                    " 次仍未收敛，未予输出。请检查观测边长是否有粗差、已知数据是否正确。");
    }

    // Residuals at the adjusted coordinates, redundancy numbers, σ̂0.
    vtpv_ = 0;
    for (int k = 0; k < nObs_; ++k) {
        const Obs &o = obs_[static_cast<std::size_t>(k)];
        double v;
        if (o.kind == 0) {
            const SideEnds e = kSideEnds[static_cast<std::size_t>(o.index)];
            const double len = rowOf(e.from, e.to, false, row.data());
            v = net_.design ? 0 : (len - net_.sides[static_cast<std::size_t>(o.index)].observed) * 1000;
        } else {
            const Orientation &or_ = net_.orientations[static_cast<std::size_t>(o.index)];
            v = wrap180(rowOf(or_.known, or_.other, true, row.data()) - or_.azimuth) * 3600;
        }
        v_[static_cast<std::size_t>(k)] = v;
        r_[static_cast<std::size_t>(k)] = 1 - o.weight * cof(row.data(), row.data());
        vtpv_ += o.weight * v * v;
    }
    hasScale_ = false;
    sigma0_.reset();
    if (net_.design) {
        scale_ = 1;
        hasScale_ = true;
    } else if (redundancy_ > 0) {
        sigma0_ = std::sqrt(vtpv_ / redundancy_);
        scale_ = *sigma0_;
        hasScale_ = true;
    } else if (net_.accuracy) {
        scale_ = 1;
        hasScale_ = true;
    }
    // The critical values of the tests, once: Pope's τ from Student's t with
    // r - 1 degrees of freedom, the χ² interval of the global test.
    tauCritical_ = 0;
    if (redundancy_ >= 2) {
        const double r = redundancy_;
        const double t = stats::studentQuantile(1 - 0.05 / 2, r - 1);
        tauCritical_ = t * std::sqrt(r) / std::sqrt(r - 1 + t * t);
    }
    chiLower_ = chiUpper_ = 0;
    if (net_.accuracy && !net_.design && redundancy_ > 0) {
        chiLower_ = stats::chiSquareQuantile(0.025, redundancy_);
        chiUpper_ = stats::chiSquareQuantile(0.975, redundancy_);
    }
    if (!std::isfinite(vtpv_) || (sigma0_ && !std::isfinite(*sigma0_)) || !std::isfinite(tauCritical_) ||
        !std::isfinite(chiLower_) || !std::isfinite(chiUpper_))
        return fail("严密平差的结果不是有限数值，未予输出。");
    solved_ = true;
    return {};
}

double Engine::obsCofactor(int k) const
{
    // q_vv of observation k in units of the unit weight: 1/p - a Q aᵀ.
    const Obs &o = obs_[static_cast<std::size_t>(k)];
    return std::max(0.0, r_[static_cast<std::size_t>(k)] / o.weight);
}

double Engine::tCritical() const { return tauCritical_; }

PointResult Engine::point(int label) const
{
    PointResult p;
    p.label = label;
    const Point &in = net_.points[static_cast<std::size_t>(label)];
    p.known = in.known;
    p.x = x_[static_cast<std::size_t>(label)];
    p.y = y_[static_cast<std::size_t>(label)];
    if (!in.known && !net_.design) {
        p.hasClassic = true;
        p.dxClassic = (p.x - in.x) * 1000;
        p.dyClassic = (p.y - in.y) * 1000;
    }
    const int c = col_[static_cast<std::size_t>(label)];
    p.hasSigma = hasScale_;
    if (c >= 0 && hasScale_) {
        const double s2 = scale_ * scale_;
        const double sxx = s2 * qxx(c, c), syy = s2 * qxx(c + 1, c + 1), sxy = s2 * qxx(c, c + 1);
        p.sx = std::sqrt(std::max(0.0, sxx));
        p.sy = std::sqrt(std::max(0.0, syy));
        p.sxy = sxy;
        p.sp = std::sqrt(std::max(0.0, sxx + syy));
        p.ellipse = ellipseOf(sxx, syy, sxy);
    }
    return p;
}

SideResult Engine::side(int index) const
{
    SideResult s;
    s.index = index;
    const SideEnds e = kSideEnds[static_cast<std::size_t>(index)];
    std::array<double, kMaxU> row{};
    s.adjusted = rowOf(e.from, e.to, false, row.data());
    const Side &in = net_.sides[static_cast<std::size_t>(index)];
    s.typed = in.typed;
    s.observed = in.typed ? in.observed : s.adjusted;
    s.hasSigma = hasScale_;
    if (hasScale_) {
        s.sigma = scale_ * std::sqrt(std::max(0.0, cof(row.data(), row.data())));
        s.relative = s.sigma > 1e-9 ? s.adjusted * 1000 / s.sigma : 0;
    }
    int k = -1;
    for (int i = 0; i < nObs_; ++i)
        if (obs_[static_cast<std::size_t>(i)].kind == 0 && obs_[static_cast<std::size_t>(i)].index == index)
            k = i;
    if (k < 0)
        return s;
    const Obs &o = obs_[static_cast<std::size_t>(k)];
    s.residual = v_[static_cast<std::size_t>(k)];
    s.redundancy = r_[static_cast<std::size_t>(k)];
    s.barelyChecked = s.redundancy < kBarelyChecked;
    const bool apriori = net_.accuracy.has_value();
    double sigmaI = 0;
    bool hasSigmaI = false;
    if (apriori) {
        sigmaI = o.sigma;
        hasSigmaI = true;
    } else if (sigma0_) {
        sigmaI = *sigma0_;
        hasSigmaI = true;
    }
    s.aprioriSigma = sigmaI;
    if (hasSigmaI && s.redundancy > 1e-8) {
        s.hasMdb = true;
        s.mdb = kMdbFactor * sigmaI / std::sqrt(s.redundancy);
    }
    const double qvv = obsCofactor(k);
    if (net_.design || s.redundancy <= 1e-8 || qvv <= 0)
        return s;
    if (apriori) {
        s.hasTest = true;
        s.statistic = s.residual / std::sqrt(qvv);
        s.critical = kBaardaCritical;
    } else if (redundancy_ >= 2 && sigma0_ && *sigma0_ > 0) {
        s.hasTest = true;
        s.statistic = s.residual / (*sigma0_ * std::sqrt(qvv));
        s.critical = tCritical();
    }
    s.flagged = s.hasTest && std::fabs(s.statistic) > s.critical;
    return s;
}

OrientationResult Engine::orientation(int k) const
{
    OrientationResult r;
    r.o = net_.orientations[static_cast<std::size_t>(k)];
    r.held = !net_.sigmaQ.has_value();
    std::array<double, kMaxU> row{};
    r.adjusted = rowOf(r.o.known, r.o.other, true, row.data());
    for (int i = 0; i < nObs_; ++i) {
        const Obs &o = obs_[static_cast<std::size_t>(i)];
        if (o.kind != 1 || o.index != k)
            continue;
        r.residual = v_[static_cast<std::size_t>(i)];
        r.redundancy = r_[static_cast<std::size_t>(i)];
        const double qvv = obsCofactor(i);
        if (net_.design || r.redundancy <= 1e-8 || qvv <= 0)
            break;
        if (net_.accuracy) {
            r.hasTest = true;
            r.statistic = r.residual / std::sqrt(qvv);
            r.critical = kBaardaCritical;
        } else if (redundancy_ >= 2 && sigma0_ && *sigma0_ > 0) {
            r.hasTest = true;
            r.statistic = r.residual / (*sigma0_ * std::sqrt(qvv));
            r.critical = tCritical();
        }
        r.flagged = r.hasTest && std::fabs(r.statistic) > r.critical;
    }
    return r;
}

PairResult Engine::pair(int from, int to) const
{
    PairResult p;
    p.from = from;
    p.to = to;
    std::array<double, kMaxU> dr{}, ar{}, gx{}, gy{}, t{};
    p.distance = rowOf(from, to, false, dr.data());
    p.azimuth = rowOf(from, to, true, ar.data());
    p.hasSigma = hasScale_;
    if (!hasScale_)
        return p;
    p.sDistance = scale_ * std::sqrt(std::max(0.0, cof(dr.data(), dr.data())));
    p.sAzimuth = scale_ * std::sqrt(std::max(0.0, cof(ar.data(), ar.data())));
    coordRow(to, 0, gx.data());
    coordRow(from, 0, t.data());
    for (int i = 0; i < kMaxU; ++i)
        gx[static_cast<std::size_t>(i)] -= t[static_cast<std::size_t>(i)];
    coordRow(to, 1, gy.data());
    coordRow(from, 1, t.data());
    for (int i = 0; i < kMaxU; ++i)
        gy[static_cast<std::size_t>(i)] -= t[static_cast<std::size_t>(i)];
    const double s2 = scale_ * scale_;
    p.relative = ellipseOf(s2 * cof(gx.data(), gx.data()), s2 * cof(gy.data(), gy.data()), s2 * cof(gx.data(), gy.data()));
    return p;
}

std::optional<double> Engine::functionSigma(const std::array<double, 2 * kPoints> &g) const
{
    if (!hasScale_)
        return std::nullopt;
    std::array<double, kMaxU> row{};
    for (int p = 0; p < kPoints; ++p) {
        const int c = col_[static_cast<std::size_t>(p)];
        if (c < 0)
            continue;
        row[static_cast<std::size_t>(c)] = g[static_cast<std::size_t>(2 * p)];
        row[static_cast<std::size_t>(c + 1)] = g[static_cast<std::size_t>(2 * p + 1)];
    }
    return scale_ * std::sqrt(std::max(0.0, cof(row.data(), row.data())));
}

std::vector<TriangleAngles> Engine::triangles() const
{
    std::vector<TriangleAngles> out;
    out.reserve(kTriangles.size());
    for (const auto &tri : kTriangles) {
        TriangleAngles t;
        t.corners = tri;
        for (int i = 0; i < 3; ++i) {
            const auto p = static_cast<std::size_t>(tri[static_cast<std::size_t>(i)]);
            const auto q = static_cast<std::size_t>(tri[static_cast<std::size_t>((i + 1) % 3)]);
            const auto r = static_cast<std::size_t>(tri[static_cast<std::size_t>((i + 2) % 3)]);
            const double ux = x_[q] - x_[p], uy = y_[q] - y_[p], wx = x_[r] - x_[p], wy = y_[r] - y_[p];
            t.angles[static_cast<std::size_t>(i)] = std::fabs(std::atan2(ux * wy - uy * wx, ux * wx + uy * wy)) * 180 / kPi;
        }
        out.push_back(t);
    }
    return out;
}

Summary Engine::summary() const
{
    Summary s;
    s.observations = nObs_;
    s.unknowns = u_;
    s.constraints = nCon_;
    s.redundancy = redundancy_;
    s.iterations = iterations_;
    s.vtpv = net_.design ? 0 : vtpv_;
    s.sigma0 = sigma0_;
    s.scale = scale_;
    s.hasScale = hasScale_;
    if (net_.accuracy && !net_.design && redundancy_ > 0) {
        GlobalTest g;
        g.statistic = vtpv_;
        g.lower = chiLower_;
        g.upper = chiUpper_;
        g.passed = g.statistic >= g.lower && g.statistic <= g.upper;
        s.globalTest = g;
    }
    if (!net_.design) {
        if (net_.accuracy && redundancy_ > 0) {
            s.test = TestKind::Baarda;
            s.critical = kBaardaCritical;
        } else if (!net_.accuracy && redundancy_ >= 2) {
            s.test = TestKind::Pope;
            s.critical = tCritical();
        }
    }
    // The weakest point and side follow from the cofactors alone, so that
    // they are named even without a scale.
    double worst = -1;
    for (int p = 0; p < kPoints; ++p) {
        const int c = col_[static_cast<std::size_t>(p)];
        if (c < 0)
            continue;
        const double q = qxx(c, c) + qxx(c + 1, c + 1);
        if (q > worst) {
            worst = q;
            s.weakestPoint = p;
        }
    }
    worst = -1;
    std::array<double, kMaxU> row{};
    for (int i = 1; i <= kSides; ++i) {
        if (!net_.sides[static_cast<std::size_t>(i)].typed)
            continue;
        const SideEnds e = kSideEnds[static_cast<std::size_t>(i)];
        const double len = rowOf(e.from, e.to, false, row.data());
        const double rel = std::sqrt(std::max(0.0, cof(row.data(), row.data()))) / len;
        if (rel > worst) {
            worst = rel;
            s.weakestSide = i;
        }
    }
    return s;
}

std::optional<GradeResult> Engine::grade() const
{
    const GradeLimits *limits = gradeLimits(net_.grade);
    if (!limits)
        return std::nullopt;
    GradeResult g;
    g.limits = limits;
    const Summary s = summary();
    // The measured sides: a priori σ_i / S_i, or σ̂0 / S_i.
    std::optional<double> worstT;
    for (int i = 1; i <= kSides; ++i) {
        const Side &sd = net_.sides[static_cast<std::size_t>(i)];
        if (!sd.typed)
            continue;
        double sigma;
        if (net_.accuracy)
            sigma = net_.accuracy->a + net_.accuracy->b * sd.observed / 1000;
        else if (sigma0_ && *sigma0_ > 0)
            sigma = *sigma0_;
        else
            continue;
        const double T = sd.observed * 1000 / sigma;
        if (!worstT || T < *worstT)
            worstT = T;
    }
    if (worstT)
        g.checks.push_back({"测边相对中误差 1/T（T 不小于限值）", *worstT, limits->sideRelative, *worstT >= limits->sideRelative});
    if (hasScale_ && s.weakestSide > 0) {
        const SideResult w = side(s.weakestSide);
        if (w.relative > 0)
            g.checks.push_back({"最弱边 S" + std::to_string(s.weakestSide) + " 边长相对中误差 1/T（T 不小于限值）",
                                w.relative, limits->weakestRelative, w.relative >= limits->weakestRelative});
    }
    if (hasScale_ && s.weakestPoint >= 0) {
        const PointResult p = point(s.weakestPoint);
        g.checks.push_back({"最弱点 " + pointText(net_, s.weakestPoint) + " 点位中误差（毫米，不大于限值）", p.sp,
                            kWeakestPointLimitMm, p.sp <= kWeakestPointLimitMm});
    }
    double smallest = 180;
    int below = 0;
    for (const TriangleAngles &t : triangles())
        for (double a : t.angles) {
            smallest = std::min(smallest, a);
            if (a < kTriangleAngleMin)
                ++below;
        }
    const bool anglesOk = below == 0 || (below == 1 && smallest >= kTriangleAngleSingle);
    g.checks.push_back({"三角形最小内角（度，不小于 30，个别角不小于 25）", smallest,
                        below <= 1 ? kTriangleAngleSingle : kTriangleAngleMin, anglesOk});
    return g;
}

Analysis Engine::analyse() const
{
    Analysis a;
    a.summary = summary();
    for (int p = 0; p < kPoints; ++p)
        if (!net_.points[static_cast<std::size_t>(p)].known)
            a.points.push_back(point(p));
    for (int i = 1; i <= kSides; ++i)
        if (net_.sides[static_cast<std::size_t>(i)].typed) {
            a.sides.push_back(side(i));
            const SideEnds e = kSideEnds[static_cast<std::size_t>(i)];
            a.sidePairs.push_back(pair(e.from, e.to));
        }
    for (int k = 0; k < net_.orientationCount; ++k)
        a.orientations.push_back(orientation(k));
    a.triangles = triangles();
    a.grade = grade();
    return a;
}

std::string pointText(const Network &n, int p)
{
    const std::string &name = n.points[static_cast<std::size_t>(p)].name;
    std::string s = kLabelText[static_cast<std::size_t>(p)];
    if (!name.empty())
        s += "（" + name + "）";
    return s;
}

} // namespace analysis
