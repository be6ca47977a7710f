#include "presenter.h"

#include "adjust/catalogue.h"
#include "adjust/numfmt.h"

#include <string>

namespace chain {
namespace {

std::string angle(const MisclosureFormat &f, float w) { return f.anglePrefix + fixed(w, 2) + f.angleUnit; }

std::string azimuth(const MisclosureFormat &f, float w)
{
    const std::string v = f.azimuthRound > 0 ? picture(roundTo(w, f.azimuthRound), 2) : fixed(w, 2);
    return f.azimuthPrefix + v + f.azimuthUnit;
}

// A coordinate misclosure held in metres, in millimetres: the product is
// formed in single precision, as the misclosures are held.
std::string millimetres(const MisclosureFormat &f, float w)
{
    const float mm = w * 1000.0f;
    return f.mmPrefix + (f.mmGeneral ? general(roundTo(mm, 2)) : fixed(mm, 2)) + f.mmUnit;
}

} // namespace

void present(const CaseResult &r, TextSink &out)
{
    const CaseRow &row = caseRow(r.caseNo);
    const MisclosureFormat &f = row.misclosures;

    // The misclosures: the two figure conditions, then the azimuth condition
    // when the case has one, then the ordinate and abscissa conditions.
    const std::size_t first = row.azimuthCondition ? 4 : 3; // the first coordinate misclosure
    out.setText("Text22", angle(f, r.w[1]));
    out.setText("Text23", angle(f, r.w[2]));
    out.setText("Text13", row.azimuthCondition ? azimuth(f, r.w[3]) : std::string(f.noAzimuth));
    out.setText("Text14", millimetres(f, r.w[first]));
    out.setText("Text15", millimetres(f, r.w[first + 1]));
    out.setText("Text24", r.title);

    // The adjusted route: its start point as given (not rounded first), the
    // others rounded to millimetres.
    out.setText("Text9(0)", picture(r.X[0], 3));
    out.setText("Text10(0)", picture(r.Y[0], 3));
    for (int i = 1; i <= 5; ++i) {
        const auto u = static_cast<std::size_t>(i);
        out.setText(indexed("Text9", i), fixed(r.X[u], 3));
        out.setText(indexed("Text10", i), fixed(r.Y[u], 3));
    }

    // The precision; px and py in the case's format.
    auto weight = [&](double p) { return row.pxDecimals == 4 ? fixed(p, 4) : general(roundTo(p, 6)); };
    out.setText("Text16", fixed(r.ms, 2) + "毫米");
    out.setText("Text17", weight(r.px));
    out.setText("Text19", fixed(r.mx, 2) + "毫米");
    out.setText("Text18", weight(r.py));
    out.setText("Text20", fixed(r.my, 2) + "毫米");
    out.setText("Text21", fixed(r.md, 2) + "毫米");
}

} // namespace chain
