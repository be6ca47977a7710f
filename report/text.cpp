// PLACEHOLDER: the text renderer is being written.
#include "report/report.h"
namespace chain::report {
std::string renderText(const Model &) { return {}; }
}
