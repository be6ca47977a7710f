// Case 2: PLACEHOLDER until the case is written.
#include "cases.h"

#include "errors.h"

namespace chain {

Model model2(const Inputs &) { throw Degenerate("此计算情形尚未完成。"); }

void Cm2(CaseEnv &, double &, double &, double &, double &, double &, double &, double &, double &, Sides &, TriArr &, TriArr &, TriArr &, TriArr &, float &, double &, float &, float &)
{
    throw Degenerate("此计算情形尚未完成。");
}

} // namespace chain
