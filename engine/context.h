// What one load carries from routine to routine: the window's state, the host, the pacing of the
// event loop, the way usage is searched, and the time spent in each phase.
#pragma once

#include <cstddef>

#include "engine/host.h"
#include "engine/state.h"
#include "engine/usage.h"

namespace engine {

struct LoadStats {
    double readSeconds = 0;   // reading project, group and source files
    double scanSeconds = 0;   // classifying, records, definitions, tree nodes
    double usageSeconds = 0;  // usage checks (local, module-private, public)
    std::size_t files = 0;    // source files read
    std::size_t lines = 0;    // lines of those files
};

struct LoadContext {
    LoadContext(ToolState& state, Host& host, UsageSearch search = UsageSearch::Indexed)
        : state(state), host(host), pacer(host), search(search) {}

    ToolState& state;
    Host& host;
    Pacer pacer;
    UsageSearch search;
    LoadStats stats;
};

}  // namespace engine
