// Accuracy grades of a trilateration network and their tolerances, from the
// national standard for engineering surveys, GB 50026 (工程测量规范), the
// table of the main technical requirements of triangulation networks. The
// numbers are kept in this one table so that a user can check them.
#pragma once

#include "network.h"

#include <array>
#include <optional>
#include <string>

namespace analysis {

struct GradeLimits {
    Grade grade;
    const char *name;       // as in the standard and in the data files
    double meanSideKm;      // mean side length of the grade
    double sideRelative;    // measured side: relative error at most 1 / sideRelative
    double weakestRelative; // weakest side: relative error at most 1 / weakestRelative
};

inline constexpr const char *kGradeStandard = "GB 50026《工程测量规范》三角形网测量主要技术要求";

inline constexpr std::array<GradeLimits, 5> kGrades = {{
    {Grade::Second, "二等", 9.0, 250000, 120000},
    {Grade::Third, "三等", 4.5, 150000, 70000},
    {Grade::Fourth, "四等", 2.0, 100000, 40000},
    {Grade::First1, "一级", 1.0, 40000, 20000},
    {Grade::Second2, "二级", 0.5, 20000, 10000},
}};

// Further limits checked with every grade.
inline constexpr double kWeakestPointLimitMm = 50;  // σP of the weakest point
inline constexpr double kTriangleAngleMin = 30;     // degrees, every angle
inline constexpr double kTriangleAngleSingle = 25;  // degrees, allowed for a single angle

const GradeLimits *gradeLimits(Grade g);
// The grade from its Chinese name, or nothing.
std::optional<Grade> gradeFromName(const std::string &name);

} // namespace analysis
