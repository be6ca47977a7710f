// Writes seeds for the fuzz targets: into DIR the replies files, into
// DATADIR (when given) the same chains as data files. For each of the
// twelve cases the test chain, error-free and with a few millimetres of
// noise, in two positions of the figure.
#include "app/chainfile.h"
#include "app/fields.h"
#include "app/replies.h"
#include "support/chains.h"

#include <cstdio>
#include <string>

namespace {

bool write(const std::string &path, const std::string &bytes)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds DIR [DATADIR]\n");
        return 1;
    }
    const std::string dir = argv[1];
    const std::string dataDir = argc == 3 ? argv[2] : "";
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
                const std::string name = "case" + std::to_string(n) + "-" + std::to_string(c) + std::to_string(noise);
                const std::vector<std::string> replies = testchain::replies(data, ch, sides);
                std::string text;
                for (const auto &line : replies)
                    text += line + "\n";
                if (!write(dir + "/" + name + ".replies", text))
                    return 1;
                ++written;
                if (dataDir.empty())
                    continue;
                chain::Record rec;
                chain::FieldTable fields;
                chain::ScriptedPrompter p(replies);
                chain::Command1_Click(rec, p, fields);
                if (!write(dataDir + "/" + name + ".chain", chain::formatDataFile(chain::dataOf(rec))))
                    return 1;
                ++written;
            }
        }
    }
    std::printf("%d seed files\n", written);
    return 0;
}
