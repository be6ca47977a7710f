#include "sink.h"

namespace chain {

std::string indexed(std::string_view array, int i)
{
    std::string s(array);
    s += '(';
    s += std::to_string(i);
    s += ')';
    return s;
}

} // namespace chain
