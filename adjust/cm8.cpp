// Case 8: PLACEHOLDER until the case is written.
#include "cases.h"

#include "errors.h"

namespace chain {

Model model8(const Inputs &) { throw Degenerate("此计算情形尚未完成。"); }

void Cm8(CaseEnv &, double &, double &, double &, double &, double &, double &, double &, double &, float &, Sides &, TriArr &, TriArr &, TriArr &, TriArr &, float &, double &)
{
    throw Degenerate("此计算情形尚未完成。");
}

} // namespace chain
