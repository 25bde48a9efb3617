// What one load carries from routine to routine: the window's state, the host, the pacing of the
// event loop, the classifier's state, the way usage is searched, the sources read so far (for the
// usage checks after the scan), and the time spent in each phase.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>

#include "engine/classify.h"
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

class LoadContext {
public:
    LoadContext(ToolState& state, Host& host, UsageSearch search = UsageSearch::Indexed)
        : state(state), host(host), pacer(host), search(search) {}

    ToolState& state;
    Host& host;
    Pacer pacer;
    UsageSearch search;
    ClassifierState classifier;
    LoadStats stats;
    // Fingerprint of the file that the last ScanSourceFile read (unknown when it read none).
    Fingerprint scannedFile;

    // The lines of a scanned file, by its fKey, kept for the usage checks that follow the scan.
    std::shared_ptr<const SourceText> Source(const std::string& fileKey) const;
    void KeepSource(const std::string& fileKey, std::shared_ptr<const SourceText> source);
    void DropSources() { sources_.clear(); }

private:
    std::unordered_map<std::string, std::shared_ptr<const SourceText>> sources_;  // folded key
};

}  // namespace engine
