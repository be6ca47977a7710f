// Case 12: PLACEHOLDER until the case is written.
#include "cases.h"

#include "errors.h"

namespace chain {

Model model12(const Inputs &) { throw Degenerate("此计算情形尚未完成。"); }

void Cm12(CaseEnv &, double &, double &, double &, double &, double &, double &, Sides &, TriArr &, TriArr &, TriArr &, TriArr &, float &, double &)
{
    throw Degenerate("此计算情形尚未完成。");
}

} // namespace chain
