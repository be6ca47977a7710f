// One data file through the program, the way `chainadj --data` and the
// window's 打开数据文件并计算 take it, and the checks that must hold
// whatever the bytes: every problem named with its line and key in a
// message of bounded length, no control or direction character reaching a
// point name, a file that passes computed as its replies would be (the
// checks of harness.h), and a computed chain saved as a data file reading
// back to the same values and the same window. Shared by the fuzz target
// and the regression tests.
#pragma once

#include "app/chainfile.h"
#include "app/number.h"
#include "harness.h"

#include <string>
#include <vector>

namespace chainfuzz {

struct FileRun {
    std::vector<chain::Problem> problems; // of form and of values, as readDataFile finds them
    std::string message;                  // what the surveyor would read about them
    bool computed = false;                // passed the checks and went through Compute
    Run run;                              // that computation
    std::vector<std::string> violations;
};

inline FileRun runDataFile(const std::string &bytes)
{
    FileRun f;
    auto violate = [&](std::string what) { f.violations.push_back(std::move(what)); };

    std::vector<chain::Problem> problems;
    const chain::DataSet d = chain::parseDataFile(bytes, problems);
    const bool formRight = problems.empty();
    for (chain::Problem &p : chain::checkDataSet(d))
        if (formRight || p.kind != chain::Problem::NoCase)
            problems.push_back(std::move(p));
    f.problems = problems;
    if (!problems.empty()) {
        f.message = chain::describeProblems("fuzz.chain", problems);
        for (const chain::Problem &p : problems) {
            if (p.text.empty())
                violate("a problem without a text");
            // A quoted value is cut to a few dozen characters: a problem's
            // text stays within a few lines however long the line was.
            if (p.text.size() > 1200)
                violate("a problem text of " + std::to_string(p.text.size()) + " bytes");
            if (p.line < 0 || p.key < -1 || p.key >= chain::key::count)
                violate("a problem with line " + std::to_string(p.line) + " and key " + std::to_string(p.key));
        }
        if (f.message.size() > 30000)
            violate("a message of " + std::to_string(f.message.size()) + " bytes");
        return f;
    }

    // Values that passed are values the prompts take.
    for (int k = chain::key::pn0; k < chain::key::pn0 + 6; ++k)
        if (d.has(k) && !chain::nameProblem(*d[k]).empty())
            violate("a point name the prompts would refuse passed the file's checks");

    f.computed = true;
    f.run = run(chain::repliesFor(d));
    for (const std::string &v : f.run.violations)
        violate(v);
    if (f.run.end == End::Cancelled || f.run.end == End::Exhausted)
        violate(std::string("a checked data file ended ") + endName(f.run.end) + ": " + f.run.message);
    if (f.run.end == End::NoCase)
        violate("a checked data file fit no case: " + f.run.message);
    for (int i = 0; i < 6; ++i) {
        const std::string &name = f.run.fields.text(chain::indexed("Text8", i));
        if (!name.empty() && !chain::nameProblem(name).empty())
            violate("a point name with a control character reached the window");
    }

    // Saving a computed chain and opening the file again gives the same
    // values and the same window.
    if (f.run.end == End::Computed) {
        const chain::DataSet saved = chain::dataOf(f.run.rec);
        std::vector<chain::Problem> again;
        const chain::DataSet back = chain::parseDataFile(chain::formatDataFile(saved), again);
        for (chain::Problem &p : chain::checkDataSet(back))
            again.push_back(std::move(p));
        if (!again.empty())
            violate("the saved file does not read back: " + chain::describeProblems("saved.chain", again));
        else if (!back.sameValues(saved))
            violate("the saved file reads back to other values");
        else {
            const Run reopened = run(chain::repliesFor(back));
            if (reopened.end != End::Computed || reopened.fields.dump() != f.run.fields.dump())
                violate("the saved file computes differently");
        }
    }
    return f;
}

} // namespace chainfuzz
