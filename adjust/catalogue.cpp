#include "catalogue.h"

#include "cases.h"
#include "errors.h"

namespace chain {
namespace {

constexpr Need G = Need::Given, O = Need::Absent, X = Need::Any;
constexpr Sign Pos = Sign::Positive, Neg = Sign::Negative, Zero = Sign::None, Any = Sign::Any;

// The misclosure texts: the cases with an orientation or none (1 to 6), the
// azimuth condition of cases 2 and 6, case 7, and the chains from a known
// side (8 to 12).
constexpr MisclosureFormat kOriented{"", "秒", "", 0, "秒", "没有方位角条件 ", "", "毫米", false};
constexpr MisclosureFormat kUnoriented{"", "秒", "", 0, "秒", "没有方位角条件", "", "毫米", false};
constexpr MisclosureFormat kUnorientedGeneral{"", "秒", "", 0, "秒", "没有方位角条件", "", "毫米", true};
constexpr MisclosureFormat kAzimuth2{"", "秒", "       ", 3, "秒", "", "", "毫米", false};
constexpr MisclosureFormat kAzimuth6{"", "秒", "      ", 2, "秒", "", "", "毫米", false};
constexpr MisclosureFormat kFromA{"", " 秒", " ", 0, "秒", "", "", " 毫米", false};
constexpr MisclosureFormat kFromSide{" ", " 秒", " ", 0, " 秒", "没有方位角条件", " ", " 毫米", false};

constexpr const char *kTitleOriented = "有定向的纵横座标条件但没有方位角条件";
constexpr const char *kTitleAzimuth = "有纵横座标条件及方位角条件";
constexpr const char *kTitleUnoriented = "只有纵横座标条件的无定向平差";
constexpr const char *kTitleSideAzimuth = "由已知边起算含方位角及纵横座标条件";
constexpr const char *kTitleSides = "由已知边起闭含方位角及纵横座标条件";
constexpr const char *kTitleSideCoordinates = "由已知边起算的纵横座标条件平差";

constexpr ReportLine kSubOriented{31, "( 有定向的纵横座标条件但无方位角条件 )"};
constexpr ReportLine kSubAzimuth{35, "( 有纵横座标条件及方位角条件 )"};
constexpr ReportLine kSubUnoriented{34, "( 只有纵横座标条件的无定向平差 )"};
constexpr ReportLine kSubSide{31, "( 由固定边起算有方位角及纵横座标条件 )"};
constexpr ReportLine kSubSides{31, "( 由固定边起闭有方位角及纵横座标条件 )"};
constexpr ReportLine kSubSideCoordinates{30, "( 由固定边起算有纵横座标条件及方位角条件 )"};

// Columns of the normal equations and of the corrections.
constexpr Columns kSidesOnly{1, 11}, kStartAndSides{0, 11}, kAllColumns{0, 12};
constexpr Columns kFromC{2, 11}, kFromCClosing{2, 12}, kBetweenKnownSides{2, 11, 9};

// clang-format off
const CaseRow kRows[12] = {
    // case  A  B  C  D  start closing tbOnly product side  route     legs                weakest
    //   nc az  normal          corrected  nm yMax  start closing qbUncorr held
    {1,  G, G, O, O, G, O, false, Zero, Any, "ACEFDB", {0, 1, 2, 4, 8, 9}, 2,
         4, false, kStartAndSides, kSidesOnly, 6, 6, true, false, false, false,
         kTitleOriented, kSubOriented, "有定向的纵横座标条件，没有方位角条件",
         4, 6, kOriented, Cm1, model1},
    {2,  G, G, O, O, G, G, false, Pos, Any, "ACEFDB", {0, 1, 2, 4, 8, 9}, 2,
         5, true, kAllColumns, kSidesOnly, 7, 5, true, true, false, false,
         kTitleAzimuth, kSubAzimuth, "纵横座标条件及方位角条件",
         5, 4, kAzimuth2, Cm2, model2},
    {3,  G, G, O, O, O, O, false, Zero, Pos, "ACEFDB", {0, 1, 2, 4, 8, 9}, 2,
         4, false, kSidesOnly, kSidesOnly, 6, 5, false, false, false, false,
         kTitleUnoriented, kSubUnoriented, "只有纵横座标条件的无定向平差",
         4, 6, kUnoriented, Cm3, model3},
    {4,  G, O, O, G, O, O, false, Zero, Neg, "ACEFBD", {0, 1, 2, 4, 10, 9}, 3,
         4, false, kSidesOnly, kSidesOnly, 6, 5, false, false, false, false,
         kTitleUnoriented, kSubUnoriented, "只有纵横座标条件的无定向平差（已知点位于异侧）",
         4, 6, kUnoriented, Cm4, model4},
    {5,  O, G, G, O, O, O, false, Zero, Neg, "CAFEDB", {0, 1, 5, 4, 7, 9}, 3,
         4, false, kSidesOnly, kSidesOnly, 7, 5, false, false, false, false,
         kTitleUnoriented, kSubUnoriented, "只有纵横座标条件的无定向平差，由 C 起算",
         4, 6, kUnorientedGeneral, Cm5, model5},
    {6,  O, G, G, O, G, G, false, Neg, Any, "CAFEDB", {0, 1, 5, 4, 7, 9}, 3,
         5, true, kAllColumns, kSidesOnly, 7, 5, true, true, false, false,
         kTitleAzimuth, kSubAzimuth, "纵横座标条件及方位角条件，由 C 起算",
         5, 4, kAzimuth6, Cm6, model6},
    {7,  G, O, O, G, G, G, true, Neg, Any, "ACEFBD", {0, 1, 2, 4, 10, 9}, 2,
         5, true, kAllColumns, kSidesOnly, 7, 5, true, true, true, false,
         kTitleSideAzimuth, kSubAzimuth, "由 A 起算、闭合于 D，含方位角及纵横座标条件",
         5, 4, kFromA, Cm7, model7},
    {8,  G, G, G, O, O, G, false, Any, Any, "ACEFDB", {0, 1, 2, 4, 8, 9}, 3,
         5, true, kFromCClosing, kFromC, 7, 5, false, true, true, false,
         kTitleSideAzimuth, kSubSide, "由已知边 A–C 起算，闭合于 B，含方位角及纵横座标条件",
         5, 4, kFromSide, Cm8, model8},
    {9,  G, G, G, G, O, O, false, Any, Any, "ACEFDB", {0, 1, 3, 4, 8, 9}, 3,
         5, true, kBetweenKnownSides, kBetweenKnownSides, 7, 5, false, false, false, false,
         kTitleSides, kSubSides, "由已知边 A–C 起算、闭合于已知边 D–B，含方位角及纵横座标条件",
         5, 4, kFromSide, Cm9, model9},
    {10, G, O, G, G, O, G, false, Any, Any, "ACEFBD", {0, 1, 2, 4, 10, 9}, 3,
         5, true, kFromC, kFromC, 7, 5, false, true, false, true,
         kTitleSideAzimuth, kSubSide, "由已知边 A–C 起算，闭合于 D，含方位角及纵横座标条件",
         5, 4, kFromSide, Cm10, model10},
    {11, G, O, G, G, O, O, false, Any, Any, "ACEFBD", {0, 1, 2, 4, 10, 9}, 3,
         4, false, kFromC, kFromC, 7, 5, false, false, false, false,
         kTitleSideCoordinates, kSubSideCoordinates, "由已知边 A–C 起算，闭合于 D，纵横座标条件",
         4, 4, kFromSide, Cm11, model11},
    {12, G, G, G, O, O, O, false, Any, Any, "ACEFDB", {0, 1, 2, 4, 8, 9}, 3,
         4, false, kFromC, kFromC, 7, 5, false, false, false, false,
         kTitleSideCoordinates, kSubSideCoordinates, "由已知边 A–C 起算，闭合于 B，纵横座标条件",
         4, 4, kFromSide, Cm12, model12},
};
// clang-format on

int labelOf(char letter)
{
    switch (letter) {
    case 'A': return kA;
    case 'C': return kC;
    case 'E': return kE;
    case 'F': return kF;
    case 'D': return kD;
    default: return kB;
    }
}

} // namespace

bool isCase(int caseNo) { return caseNo >= 1 && caseNo <= 12; }

const CaseRow &caseRow(int caseNo)
{
    if (!isCase(caseNo))
        throw Degenerate("没有这种计算情形。");
    return kRows[caseNo - 1];
}

int routeLabel(int caseNo, int i)
{
    if (!isCase(caseNo) || i < 0 || i > 5)
        return -1;
    return labelOf(kRows[caseNo - 1].route[i]);
}

int routeIndex(int caseNo, int label)
{
    for (int i = 0; i <= 5; ++i)
        if (routeLabel(caseNo, i) == label)
            return i;
    return -1;
}

} // namespace chain
