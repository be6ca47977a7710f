// Case 7: PLACEHOLDER until the case is written.
#include "cases.h"

#include "errors.h"

namespace chain {

Model model7(const Inputs &) { throw Degenerate("此计算情形尚未完成。"); }

void Cm7(CaseEnv &, double &, double &, double &, double &, double &, double &, double &, double &, Sides &, TriArr &, TriArr &, TriArr &, TriArr &, float &, float &, float &, double &)
{
    throw Degenerate("此计算情形尚未完成。");
}

} // namespace chain
