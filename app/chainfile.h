// Data files: one chain as "key = value" lines, read and written by hand or
// by the program, and turned into the replies a surveyor would type, so that
// a file, the data table and the prompts all run the same Compute command.
//
//   # comment line
//   xa = 3000.000        coordinates of A, B, C, D (a point left out is a
//   ya = 5500.000        point to be determined)
//   ta = 223.544974      angles as typed, d.mmss (ta qa at the start end,
//   qa = 47.3045         tb qb at the closing end)
//   names = 城关 李庄 王家坡 东山 河口 北岭     (or pn0 .. pn5, one a line)
//   S2 = 474.775         the sides S1 .. S11
//
// Plain C++: the replay mode reads data files without the toolkit.
#pragma once

#include "adjust/record.h"
#include "app/sink.h"
#include "analysiskeys.h"
#include "compute.h"
#include "headerkeys.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace chain {

// The values of a data file, in the order the prompts ask them.
namespace key {
enum : int { xa, ya, xb, yb, xc, yc, xd, yd, ta, qa, tb, qb, pn0, S1 = pn0 + 6, count = S1 + 11 };
inline constexpr int pn(int i) { return pn0 + i; } // i = 0..5
inline constexpr int S(int i) { return S1 + i - 1; } // i = 1..11
} // namespace key

// "xa", "pn3", "S11".
const char *keyName(int k);
// What the value is, in Chinese: "A 点纵座标 xa", "起始方位角 ta", "边长 S5".
std::string keyLabel(int k);
// The key of a name as written in a file (case does not matter), or -1.
int keyOf(std::string_view name);

bool isCoordinateKey(int k);
bool isAngleKey(int k);
bool isNameKey(int k);
bool isSideKey(int k);

struct DataSet {
    // The value as written, blanks around it removed; nothing when the file
    // leaves it out. An empty name is the same as no name.
    std::array<std::optional<std::string>, key::count> value;
    // Line of the file that gave each value; 0 when it did not come from a file.
    std::array<int, key::count> line{};

    std::optional<std::string> &operator[](int k) { return value[static_cast<std::size_t>(k)]; }
    const std::optional<std::string> &operator[](int k) const { return value[static_cast<std::size_t>(k)]; }
    bool has(int k) const { return value[static_cast<std::size_t>(k)].has_value(); }
    // The keys of the precision analysis (app/analysiskeys.h).
    AnalysisKeys analysis;
    // The report header: project, operator, instrument, date (app/headerkeys.h).
    HeaderKeys header;
    // Same values (the lines do not count).
    bool sameValues(const DataSet &o) const { return value == o.value; }
};

struct Problem {
    enum Kind { Syntax, Value, Missing, NoCase };
    Kind kind = Value;
    int key = -1;     // the key concerned, -1 for none
    int line = 0;     // line of the file, 0 for none
    std::string text; // Chinese: what is wrong and what to check
};

// A data file that cannot be used; what() names the file, the lines and the
// keys of every problem.
class DataFileError : public std::runtime_error {
public:
    DataFileError(const std::string &file, std::vector<Problem> problems);
    const std::vector<Problem> &problems() const { return problems_; }
    // The only problem is that the data fit none of the twelve cases.
    bool noCase() const;

private:
    std::vector<Problem> problems_;
};

// "第 4 行，键 xa：" and the problem's text, or the text alone.
std::string describe(const Problem &p);
// All problems as one message naming the file.
std::string describeProblems(const std::string &file, const std::vector<Problem> &problems);

// The text of one value as it would go into its prompt: empty when it would
// be accepted, else what is wrong with it. Checks numbers, d.mmss angles
// (minutes and seconds under 60), sides greater than zero.
std::string valueProblem(int k, std::string_view text);

// How the prompts use a value, given the known points of the data set.
enum class Use {
    Needed,   // asked, and the data set must give it (the sides asked)
    Optional, // asked or decisive, may be left out (coordinates, names, angles at an end with one known point)
    NotAsked, // the prompts do not ask it (S1 when A and C are known, angles at an end with two or no known points)
};
std::array<Use, key::count> uses(const DataSet &d);

// Every problem of a data set: its values, incomplete points, angles the
// prompts would not ask, missing sides and, when all that is right, a data
// set that fits none of the twelve cases.
std::vector<Problem> checkDataSet(const DataSet &d);

// checkDataSet together with the keys of the precision analysis, as a data
// file is checked: a pre-analysis without its approximate end points and
// without sides.
std::vector<Problem> checkWholeDataSet(const DataSet &d);

// When the known points and angles fit none of the twelve cases, what is
// wrong and which cases those points allow; empty when they fit one.
std::string caseProblem(const DataSet &d);

// The case the known points and angles of a data set select (0: none).
// Meaningful when the values themselves are right.
std::int16_t caseOf(const DataSet &d);

// The replies a surveyor would type for the data set: each value followed
// by an empty confirmation, "0", "0" for a point to be determined, "0" for
// an angle that is asked and not given; values the prompts skip are left
// out. The data set must pass checkDataSet.
std::vector<std::string> repliesFor(const DataSet &d);

// Compute from a data set: Command1_Click with a scripted prompter over
// repliesFor. A data set with problems throws DataFileError (naming
// `source`) before anything reaches `rec` or `out`.
ComputeResult computeFromData(const DataSet &d, Record &rec, TextSink &out, const std::string &source);

// Parses the bytes of a data file. Problems of form (lines, keys, encoding)
// go into `problems`; the values are not checked here.
DataSet parseDataFile(std::string_view bytes, std::vector<Problem> &problems);

// Reads and checks a data file ("-" for standard input). Throws
// DataFileError naming the file when it cannot be read or used.
DataSet readDataFile(const std::string &path);

// The values of the last computation in the record: coordinates of the
// points that were not 0, 0, the angles as typed (d.mmss) where not zero,
// the names, the sides that were asked. Numbers are written with the
// fewest digits that read back as the same value.
DataSet dataOf(const Record &rec);
// Whether the record holds a computation whose values can be saved.
bool hasComputation(const Record &rec);

// The text of a data file.
std::string formatDataFile(const DataSet &d);

// formatDataFile, written through writeFileAtomically (app/atomicfile.h);
// throws WriteError.
void writeDataFile(const std::string &path, const DataSet &d);

// The index of `name` in `names`, letter case ignored; -1 when it is none of them.
int keyIndexOf(std::string_view name, std::span<const char *const> names);

// A key's second line: records a located problem (its text starts with
// `where`, which names the key) and returns true when the key was already
// given (`seen` holds the line of its first occurrence, 0 for none);
// otherwise records `line` in `seen`.
bool repeatedKey(int &seen, const std::string &where, int line, std::vector<Problem> &problems, int key = -1);

// The keys of the precision analysis (app/analysiskeys.cpp). readAnalysisKey
// takes a line whose key is one of them (false for any other key) and
// records its value or a located problem; checkAnalysisKeys checks how they
// go together.
bool readAnalysisKey(std::string_view name, std::string_view value, int line, DataSet &d, std::vector<Problem> &problems);
std::vector<Problem> checkAnalysisKeys(const DataSet &d);
// design = yes [end points to be determined]: the letters, or nothing when
// the value does not ask for a pre-analysis; designWanted also takes "no".
std::optional<std::string> designNewPoints(std::string_view value);
bool designWanted(std::string_view value);
// A pre-analysis data set: the end points to be determined (their
// coordinates are approximations), or nothing for an ordinary data set.
std::optional<std::string> designOf(const DataSet &d);
// The data set as the case selection sees it: in a pre-analysis the
// approximate coordinates of points to be determined are left out.
DataSet designView(const DataSet &d);

// Shortest text that reads back as exactly `v`, never with an exponent.
std::string shortestText(double v);

// What case n (1..12) needs, from the case selection itself:
// "已知 A、B；给 ta、qa，不给 tb、qb".
std::string caseNeeds(int caseNo);

} // namespace chain
