#include "grade.h"

namespace analysis {

const GradeLimits *gradeLimits(Grade g)
{
    for (const GradeLimits &s : kGrades)
        if (s.grade == g)
            return &s;
    return nullptr;
}

std::optional<Grade> gradeFromName(const std::string &name)
{
    for (const GradeLimits &s : kGrades)
        if (name == s.name)
            return s.grade;
    return std::nullopt;
}

int labelOf(const std::string &text)
{
    for (int i = 0; i < kPoints; ++i)
        if (text == kLabelText[static_cast<std::size_t>(i)])
            return i;
    return -1;
}

} // namespace analysis
