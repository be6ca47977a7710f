// One Compute command on a reply sequence, the way the window runs it, and
// the checks that must hold after every such run whatever the replies were:
// a definite outcome, a record a later Print can rely on, and no figure in
// a field or a report line that reads nan, inf or a negative zero. Shared
// by the fuzz target and the regression and bad-input tests.
#pragma once

#include "adjust/record.h"
#include "app/compute.h"
#include "app/fields.h"
#include "app/replies.h"
#include "report/report.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace chainfuzz {

// How a run ended: the four outcomes of Compute, or the replies gave out.
enum class End { Computed, NoCase, Degenerate, Cancelled, Exhausted };

inline const char *endName(End e)
{
    switch (e) {
    case End::Computed: return "computed";
    case End::NoCase: return "no case";
    case End::Degenerate: return "degenerate";
    case End::Cancelled: return "cancelled";
    case End::Exhausted: return "replies exhausted";
    }
    return "?";
}

struct Run {
    End end = End::Exhausted;
    std::string message;           // the outcome's message (Chinese), or the exhaustion's
    chain::Record rec;             // the record after the command
    chain::FieldTable fields;      // the window's fields after the command
    std::string reportText;        // the report of the record, as plain text
    std::vector<std::pair<std::string, std::string>> transcript; // prompts shown and their replies
    std::vector<std::string> violations;
};

// A case 1 computation that a run starts from, so that the checks can tell
// whether a failed command left the previous results alone.
inline const std::vector<std::string> &previousReplies()
{
    static const std::vector<std::string> r = {
        "3000.000", "", "5500.000", "", "3952.660", "", "5531.482", "", "0", "", "0", "", "0", "", "0", "",
        "223.544974", "", "47.3045", "", "0", "", "0", "", "城关", "", "李庄", "", "王家坡", "", "东山", "",
        "河口", "", "北岭", "", "496.034", "", "474.775", "", "677.918", "", "484.957", "", "471.982", "",
        "685.350", "", "481.941", "", "682.821", "", "487.962", "", "481.213", "", "686.201", ""};
    return r;
}

// True when `text` holds a number that shows as zero with a minus sign
// ("-0", "-0.00", "-.000"): a minus followed by digits and points that are
// all zeros, not followed by a further digit.
inline bool hasNegativeZero(const std::string &text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '-')
            continue;
        std::size_t j = i + 1;
        bool digit = false, nonZero = false;
        while (j < text.size() && ((text[j] >= '0' && text[j] <= '9') || text[j] == '.')) {
            if (text[j] >= '1' && text[j] <= '9')
                nonZero = true;
            if (text[j] != '.')
                digit = true;
            ++j;
        }
        if (digit && !nonZero)
            return true;
    }
    return false;
}

// What must never be shown: "nan", "inf" (any case) or a negative zero.
inline std::string badFigure(const std::string &text)
{
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    if (lower.find("nan") != std::string::npos)
        return "nan";
    if (lower.find("inf") != std::string::npos)
        return "inf";
    if (hasNegativeZero(text))
        return "negative zero";
    return {};
}

// True when a report item is the label of a point name: typed by the
// surveyor, it may read like anything.
inline bool isNameItem(const std::string &text, const std::vector<std::string> &names)
{
    for (const std::string &n : names)
        if (text == n + " :")
            return true;
    return false;
}

// The results a failed command must leave as they were.
inline bool sameResults(const chain::Record &a, const chain::Record &b)
{
    auto sameMatrix = [](const chain::Matrix &m, const chain::Matrix &n) {
        if (m.rows() != n.rows() || m.cols() != n.cols())
            return false;
        for (int r = 0; r < m.rows(); ++r)
            for (int c = 0; c < m.cols(); ++c)
                if (!(m(r, c) == n(r, c)))
                    return false;
        return true;
    };
    return a.w == b.w && a.k == b.k && a.X == b.X && a.Y == b.Y && sameMatrix(a.N, b.N) && sameMatrix(a.Q, b.Q) &&
           a.px == b.px && a.py == b.py && a.ms == b.ms && a.mx == b.mx && a.my == b.my && a.md == b.md &&
           a.nc == b.nc && a.np == b.np && a.nm == b.nm && a.ip == b.ip;
}

inline bool sameRecord(const chain::Record &a, const chain::Record &b)
{
    return sameResults(a, b) && a.xa == b.xa && a.ya == b.ya && a.xb == b.xb && a.yb == b.yb && a.xc == b.xc &&
           a.yc == b.yc && a.xd == b.xd && a.yd == b.yd && a.ta == b.ta && a.ta_in == b.ta_in && a.qa == b.qa &&
           a.qa_in == b.qa_in && a.tb == b.tb && a.tb_in == b.tb_in && a.qb == b.qb && a.qb_in == b.qb_in &&
           a.S == b.S && a.Sp == b.Sp && a.pn == b.pn && a.caseNo == b.caseNo && a.rad == b.rad && a.rho == b.rho;
}

// The result fields every case procedure writes.
inline const std::vector<std::string> &resultFields()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n = {"Text22", "Text23", "Text13", "Text14", "Text15", "Text16",
                                      "Text17", "Text18", "Text19", "Text20", "Text21"};
        for (int i = 0; i <= 5; ++i) {
            n.push_back(chain::indexed("Text9", i));
            n.push_back(chain::indexed("Text10", i));
        }
        return n;
    }();
    return names;
}

struct Start {
    chain::Record rec;
    chain::FieldTable fields;
};

// The record and window after the computation of previousReplies().
inline const Start &previous()
{
    static const Start s = [] {
        Start st;
        chain::ScriptedPrompter p(previousReplies());
        const chain::ComputeResult r = chain::Command1_Click(st.rec, p, st.fields);
        if (r.outcome != chain::Outcome::Computed)
            throw std::logic_error("the starting computation did not compute: " + r.message);
        return st;
    }();
    return s;
}

// Runs Compute on `replies` from the state `from` (a finished computation,
// or an empty window), then builds the report, and checks everything.
inline Run run(const std::vector<std::string> &replies, const Start &from)
{
    Run out;
    out.rec = from.rec;
    out.fields = from.fields;
    auto violate = [&](std::string what) { out.violations.push_back(std::move(what)); };

    chain::ScriptedPrompter prompter(replies);
    try {
        const chain::ComputeResult r = chain::Command1_Click(out.rec, prompter, out.fields);
        out.message = r.message;
        switch (r.outcome) {
        case chain::Outcome::Computed: out.end = End::Computed; break;
        case chain::Outcome::NoCase: out.end = End::NoCase; break;
        case chain::Outcome::Degenerate: out.end = End::Degenerate; break;
        case chain::Outcome::Cancelled: out.end = End::Cancelled; break;
        default: violate("an outcome outside the four: " + std::to_string(static_cast<int>(r.outcome)));
        }
    } catch (const chain::RepliesExhausted &e) {
        out.end = End::Exhausted;
        out.message = e.what();
    } catch (const std::exception &e) {
        violate(std::string("Compute ended in an exception: ") + e.what());
        out.transcript = prompter.transcript();
        return out;
    }
    out.transcript = prompter.transcript();

    const chain::Record &rec = out.rec;
    switch (out.end) {
    case End::Computed:
        // The one message a computation may carry: the weak-figure warning.
        if (!out.message.empty() && out.message.rfind("计算完成，但", 0) != 0)
            violate("computed with a message: " + out.message);
        if (rec.caseNo < 1 || rec.caseNo > 12)
            violate("computed with case number " + std::to_string(rec.caseNo));
        for (const std::string &f : resultFields())
            if (out.fields.text(f).empty())
                violate("computed but " + f + " is empty");
        break;
    case End::NoCase:
    case End::Degenerate:
        if (out.message.empty())
            violate(std::string(endName(out.end)) + " without a message");
        if (rec.caseNo != 0)
            violate(std::string(endName(out.end)) + " with case number " + std::to_string(rec.caseNo));
        if (!sameResults(rec, from.rec))
            violate(std::string(endName(out.end)) + " changed the results of the previous computation");
        for (const std::string &f : resultFields())
            if (out.fields.text(f) != from.fields.text(f))
                violate(std::string(endName(out.end)) + " changed the result field " + f);
        break;
    case End::Cancelled:
    case End::Exhausted:
        if (!sameRecord(rec, from.rec))
            violate(std::string(endName(out.end)) + " changed the record");
        if (out.end == End::Exhausted && out.message.empty())
            violate("replies exhausted without a message");
        break;
    }

    // The window: every field but the point names.
    for (const std::string &f : chain::controlNames()) {
        const std::string &t = out.fields.text(f);
        if (f.rfind("Text8(", 0) == 0) {
            if (!t.empty() && t.rfind("   ", 0) != 0)
                violate(f + " is not a name echo: " + t);
            continue;
        }
        const std::string bad = badFigure(t);
        if (!bad.empty())
            violate(f + " shows " + bad + ": " + t);
    }

    // The report, item by item.
    try {
        const chain::report::Model m = chain::report::build(rec);
        for (const chain::report::Line &l : m.lines)
            for (const chain::report::Item &it : l.items) {
                if (isNameItem(it.text, rec.pn))
                    continue;
                const std::string bad = badFigure(it.text);
                if (!bad.empty())
                    violate("report item shows " + bad + ": " + it.text);
            }
        out.reportText = chain::report::renderText(m);
    } catch (const std::exception &e) {
        violate(std::string("the report ended in an exception: ") + e.what());
    }
    return out;
}

inline Run run(const std::vector<std::string> &replies) { return run(replies, previous()); }

// The bytes of a replies file, split and sanitised as the replay mode does.
inline Run runBytes(const std::string &bytes) { return run(chain::splitReplies(bytes)); }

} // namespace chainfuzz
