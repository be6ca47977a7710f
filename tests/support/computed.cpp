#include "computed.h"

#include "app/replies.h"

namespace testchain {

Run compute(const std::vector<std::string> &replies)
{
    Run r;
    chain::ScriptedPrompter p(replies);
    r.result = chain::Command1_Click(r.rec, p, r.fields);
    return r;
}

} // namespace testchain
