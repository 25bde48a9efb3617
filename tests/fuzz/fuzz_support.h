// What the fuzz targets share: a scratch folder for the files a target writes, a host that shows
// nothing, and a check that stops the run (as a crash libFuzzer records) when an invariant breaks.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/commit.h"
#include "engine/host.h"
#include "engine/loader.h"

namespace fuzz {

// Stops the run with `what` when `holds` is false.
inline void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// A folder of its own for this process, on a memory disk where there is one (the targets write and
// flush files on every input); ends in "/".
std::string ScratchFolder();

// Writes `bytes` to `path` (folders on the way made), or stops the run.
void WriteFile(const std::string& path, std::string_view bytes);

// Removes everything below `folder` (the folder stays).
void EmptyFolder(const std::string& folder);

// Shows nothing, answers OK (so an interrupted change is left as it is), is never cancelled.
class FuzzHost : public engine::QuietHost, public engine::ChangeRecovery {
public:
    void FinishInterruptedChange(const std::string& projectPath, const std::string& dataFolder) override {
        engine::RecoverInterruptedChange(projectPath, dataFolder, *this, engine::SystemFileOps());
    }
    bool ChangeCanBeUndone(const engine::ToolState& state) override {
        return engine::ChangeCanBeUndone(state, engine::SystemFileOps());
    }
};

}  // namespace fuzz
