// The one way the engine fails: a figure or a system of equations that
// cannot be computed. The message is Chinese and meant for the surveyor.
#pragma once

#include <stdexcept>
#include <string>

namespace chain {

class Degenerate : public std::runtime_error {
public:
    explicit Degenerate(const std::string &message) : std::runtime_error(message) {}
};

} // namespace chain
