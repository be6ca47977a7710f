// What both fuzz targets share: inputs are text lines (replies, or the lines
// of a data file), the custom mutators change one to three whole lines per
// call, and a violated property aborts with its description.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

extern "C" size_t LLVMFuzzerMutate(uint8_t *data, size_t size, size_t maxSize);

namespace chainfuzz {

inline std::vector<std::string> lines(const uint8_t *data, size_t size)
{
    std::vector<std::string> out;
    std::string cur;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(static_cast<char>(data[i]));
        }
    }
    if (!cur.empty())
        out.push_back(cur);
    return out;
}

// A quarter of the calls leave the bytes to libFuzzer's own mutations; the
// others apply `change(lines, i, rng)` at one to three random lines and
// write the lines back, cut to maxSize.
template <typename Change>
size_t mutateLines(uint8_t *data, size_t size, size_t maxSize, unsigned int seed, Change change)
{
    std::minstd_rand rng(seed);
    if (rng() % 4 == 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::vector<std::string> v = lines(data, size);
    if (v.empty())
        v.emplace_back();
    const int rounds = 1 + static_cast<int>(rng() % 3);
    for (int k = 0; k < rounds; ++k)
        change(v, rng() % v.size(), rng);
    std::string s;
    for (const auto &l : v)
        s += l + '\n';
    if (s.size() > maxSize)
        s.resize(maxSize);
    std::memcpy(data, s.data(), s.size());
    return s.size();
}

// Prints the violated properties and the messages that go with them, then
// aborts so that libFuzzer keeps the input.
inline void abortOnViolations(const std::vector<std::string> &violations, const char *what,
                              const std::vector<std::pair<const char *, std::string>> &messages)
{
    if (violations.empty())
        return;
    std::fprintf(stderr, "\n==== property violated (%s) ====\n", what);
    for (const auto &v : violations)
        std::fprintf(stderr, "  %s\n", v.c_str());
    for (const auto &[label, text] : messages)
        if (!text.empty())
            std::fprintf(stderr, "  %s: %s\n", label, text.c_str());
    std::abort();
}

} // namespace chainfuzz
