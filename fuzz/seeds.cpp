// Writes seed replies files for the fuzz target into a directory: for each
// of the twelve cases the replies of the test chain, error-free and with a
// few millimetres of noise, in two positions of the figure.
#include "support/chains.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
        return 1;
    }
    const std::string dir = argv[1];
    int written = 0;
    for (int n = 1; n <= 12; ++n) {
        const testchain::Chain chains[2] = {testchain::sampleChain(),
                                            testchain::rotated(testchain::sampleChain(), 137.0, {-1200.0, 800.0})};
        for (int c = 0; c < 2; ++c) {
            const testchain::Chain &ch = chains[c];
            const auto exact = testchain::sidesOf(ch);
            const auto data = testchain::caseData(n, ch);
            for (int noise = 0; noise < 2; ++noise) {
                const auto sides = noise ? testchain::noisy(exact, 5, static_cast<unsigned>(n * 7 + c)) : exact;
                const std::string path =
                    dir + "/case" + std::to_string(n) + "-" + std::to_string(c) + std::to_string(noise) + ".replies";
                std::FILE *f = std::fopen(path.c_str(), "wb");
                if (!f) {
                    std::perror(path.c_str());
                    return 1;
                }
                for (const auto &line : testchain::replies(data, ch, sides))
                    std::fprintf(f, "%s\n", line.c_str());
                std::fclose(f);
                ++written;
            }
        }
    }
    std::printf("%d seed files in %s\n", written, dir.c_str());
    return 0;
}
