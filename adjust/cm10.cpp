// Case 10: A, C and D known: the chain starts on the known side A–C, runs
// along S(2), S(4), S(10) to B and S(9) to D, and closes on D with the
// closing azimuth and orientation angle, which are held fixed. Five
// conditions (the figure, the azimuth at D, the coordinates of D); S(1) comes
// from the coordinates and is not corrected.
#include "knownside.h"

namespace chain {

namespace {
constexpr KnownSideChain kCase10{true, SecondLeg::AlongS10, ClosingAzimuth::Held};
}

Model model10(const Inputs &in) { return modelFromKnownSide(in, kCase10); }

CaseResult Cm10(const Record &rec, const Computation &comp) { return adjustFromKnownSide(10, kCase10, rec, comp); }

} // namespace chain
