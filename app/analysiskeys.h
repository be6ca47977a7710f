// The data-file keys of the precision analysis: the instrument accuracy
// (sigma_a mm, sigma_b ppm), the accuracy of the orientation angles
// (sigma_q seconds), the grade, and the pre-analysis (design = yes, with the
// approximate coordinates xe ye xf yf of the inner points). Plain values;
// the reading and checking lives beside the other keys of a data file.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace chain {

struct AnalysisKeys {
    enum : int { sigma_a, sigma_b, sigma_q, grade, design, xe, ye, xf, yf, count };
    std::array<std::optional<std::string>, count> value;
    std::array<int, count> line{};
    bool has(int k) const { return value[static_cast<std::size_t>(k)].has_value(); }
};

// "sigma_a" .. "yf".
const char *analysisKeyName(int k);
// The key of a name (case does not matter), or -1.
int analysisKeyOf(std::string_view name);

} // namespace chain
