// Case 8: A, C and B known: the chain starts on the known side A–C, runs
// along S(2), S(4), S(8) to D and S(9) to B, and closes on B with the
// closing azimuth and orientation angle. Five conditions (the figure, the
// azimuth at B, the coordinates of B); S(1) comes from the coordinates and is
// not corrected; the azimuth condition takes the column of the signed qb.
#include "knownside.h"

namespace chain {

namespace {
constexpr KnownSideChain kCase8{true, SecondLeg::AlongS8, ClosingAzimuth::Corrected};
}

Model model8(const Inputs &in) { return modelFromKnownSide(in, kCase8); }

CaseResult Cm8(const Record &rec, const Computation &comp) { return adjustFromKnownSide(8, kCase8, rec, comp); }

} // namespace chain
