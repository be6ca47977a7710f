// Case 12: A, C and B known, no angles: the chain starts on the known side
// A–C, runs along S(2), S(4) (T(3) not reduced), S(8) to D and S(9) to B, and
// closes on B. Four conditions (the figure, the coordinates of B); S(1) comes
// from the coordinates and is not corrected.
#include "knownside.h"

namespace chain {

namespace {
constexpr KnownSideChain kCase12{false, SecondLeg::AlongS8, ClosingAzimuth::None};
}

Model model12(const Inputs &in) { return modelFromKnownSide(in, kCase12); }

CaseResult Cm12(const Record &rec, const Computation &comp) { return adjustFromKnownSide(12, kCase12, rec, comp); }

} // namespace chain
