// Case 11: A, C and D known, no angles: the chain starts on the known side
// A–C, runs along S(2), S(4) (T(3) not reduced), S(10) to B and S(9) to D,
// and closes on D. Four conditions (the figure, the coordinates of D); S(1)
// comes from the coordinates and is not corrected.
#include "knownside.h"

namespace chain {

namespace {
constexpr KnownSideChain kCase11{false, SecondLeg::AlongS10, ClosingAzimuth::None};
}

Model model11(const Inputs &in) { return modelFromKnownSide(in, kCase11); }

CaseResult Cm11(const Record &rec, const Computation &comp) { return adjustFromKnownSide(11, kCase11, rec, comp); }

} // namespace chain
