// Scans one source file written into a temporary folder, as the loader would: its file record, a
// project tree with the file's node, a fake host.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/scanner.h"
#include "engine/state.h"
#include "tests/engine/fake_host.h"
#include "tests/support/testsupport.h"

namespace enginetest {

struct ScannedFile {
    testsupport::TempDir dir;
    FakeHost host;
    engine::ToolState state;
    engine::clsFileInfo file;
    engine::ScanResult result;
    engine::ProcedureList& procs = result.procedures;
    engine::DefinitionList& defs = result.definitions;
    bool dataOnly = false;
    std::string key;

    // Writes `bytes` as the file listed as `fileName` ("\\" stands for a folder), scans it, and adds
    // its procedure nodes under a file node as the loader does; `setup` prepares the host first.
    ScannedFile(const std::string& fileName, const std::string& bytes, const std::function<void(FakeHost&)>& setup = {}) {
        std::string native = fileName;
        for (char& c : native)
            if (c == '\\') c = '/';
        testsupport::WriteBytes(dir.file(native), bytes);
        if (setup) setup(host);
        state.ProjectFolder = dir.path();
        key = engine::FileKey("P.vbp", fileName);
        file.fFilename = fileName;
        file.fProject = "P.vbp";
        file.fKey = key;
        file.fAppFldr = dir.path();
        file.fLoadFolder = dir.path();
        file.fPath = dir.file(native);
        const engine::NodeId node = state.treProject.Add(engine::kNoNode, key, fileName, "module");
        std::optional<engine::SourceText> source = engine::ReadSource(file.fPath, fileName);
        file.fOffset = source->codeStart();
        engine::Pacer pacer(host);
        result = engine::ScanSourceFile(*source, file, pacer, [&] { return host.CancelRequested(); });
        for (const engine::clsProcedures& p : result.procedures) engine::AddProcedureNode(state.treProject, node, p, file.fPath);
        dataOnly = result.dataOnly;
    }
    ScannedFile(const ScannedFile&) = delete;

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
