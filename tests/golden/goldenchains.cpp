// Writes reply files of generated chains for the output comparison of the
// classic calculator: every case on turned and moved copies of the sample
// chain, with side noise from nothing to far beyond what a single linear
// pass adjusts (exit status 3), and a few sequences that end early (status
// 5), reject a value or cancel (status 4). Usage: goldenchains DIR; writes
// DIR/cCC_vVV.replies and prints how many it wrote.
#include "support/chains.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace testchain;

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: goldenchains DIR\n");
        return 1;
    }
    const std::string dir = argv[1];
    std::filesystem::create_directories(dir);
    const double turns[] = {0, 23.5, 91, 137.25, 181, 226, 270, 305.75, 359.9};
    const double noise[] = {0, 0.4, 3, 10, 60, 900};
    int written = 0;
    for (int n = 1; n <= 12; ++n) {
        int v = 0;
        for (std::size_t t = 0; t < std::size(turns); ++t) {
            for (std::size_t k = 0; k < 3; ++k) {
                const double mm = noise[(t + 2 * k + static_cast<std::size_t>(n)) % std::size(noise)];
                const Pt shift{-2000.0 + 1733.0 * static_cast<double>(t) + 11.0 * n,
                               4000.0 * static_cast<double>(k) - 3500.0};
                const Chain c = rotated(sampleChain(), turns[t] + 0.37 * n, shift);
                const CaseData d = caseData(n, c);
                std::vector<std::string> r =
                    replies(d, c, noisy(sidesOf(c), mm, static_cast<unsigned>(100 * n + 10 * t + k)));
                // Variations of the dialogue: a rejected first value retyped,
                // the sequence cut short, a Cancel.
                const int kind = (n + static_cast<int>(t) + static_cast<int>(k)) % 13;
                if (kind == 1) {
                    r.insert(r.begin() + 1, "0"); // reject, then the re-ask takes the value
                    r.insert(r.begin() + 2, r[0]);
                } else if (kind == 2 && r.size() > 10) {
                    r.resize(r.size() - 7);
                } else if (kind == 3 && r.size() > 20) {
                    r.resize(r.size() - 16);
                    r.push_back("<cancel>");
                }
                char name[64];
                std::snprintf(name, sizeof name, "/c%02d_v%02d.replies", n, v++);
                std::ofstream f(dir + name, std::ios::binary);
                for (const auto &line : r)
                    f << line << '\n';
                if (!f)
                    return 1;
                ++written;
            }
        }
    }
    std::printf("%d\n", written);
    return 0;
}
