// Scans one source file written into a temporary folder, as the loader would: a project tree with
// the file's node, a load context over a fake host.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/context.h"
#include "engine/scanner.h"
#include "engine/state.h"
#include "tests/engine/fake_host.h"
#include "tests/support/testsupport.h"

namespace enginetest {

struct ScannedFile {
    testsupport::TempDir dir;
    FakeHost host;
    engine::ToolState state;
    std::unique_ptr<engine::LoadContext> ctx;
    engine::ProcedureList procs;
    engine::DefinitionList defs;
    bool dataOnly = false;
    std::string key;

    // Writes `bytes` as the file listed as `fileName` ("\\" stands for a folder) and scans it;
    // `setup` prepares the host first.
    ScannedFile(const std::string& fileName, const std::string& bytes,
                engine::UsageSearch search = engine::UsageSearch::Indexed,
                const std::function<void(FakeHost&)>& setup = {}) {
        std::string native = fileName;
        for (char& c : native)
            if (c == '\\') c = '/';
        testsupport::WriteBytes(dir.file(native), bytes);
        if (setup) setup(host);
        state.ProjectFolder = dir.path();
        key = "P.vbp_" + fileName;
        state.treProject.Add(engine::kNoNode, key, fileName, "module");
        ctx = std::make_unique<engine::LoadContext>(state, host, search);
        engine::ScanSourceFile(*ctx, key, dir.path(), fileName, procs, "Module", defs, "P.vbp", dataOnly);
    }

    const engine::clsDefinitions* Def(const std::string& variable) const {
        for (const auto& d : defs)
            if (d.Variable == variable) return &d;
        return nullptr;
    }
    const engine::clsProcedures* Proc(const std::string& name) const {
        for (const auto& p : procs)
            if (p.pName == name) return &p;
        return nullptr;
    }
};

}  // namespace enginetest
