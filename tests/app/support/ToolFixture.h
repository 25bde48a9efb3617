// A small Visual Basic project group on disk and a tool window over it, for the tool window's tests.
//
//   Group.vbg          StartupProject=Main.vbp, Project=Sub\Lib.vbp
//   Main.vbp           CR LF; Sub Main start-up; modMain.bas, modTrace.bas, clsThing.cls
//   modMain.bas        CR LF: Main (calls DoWork), DoWork
//   modTrace.bas       CR LF: TraceIt (its procedures are drawn blue and keep their check state)
//   clsThing.cls       CR LF, with a class header: Property Get Name
//   Sub/Lib.vbp        LF line ends; modLib.bas
//   Sub/modLib.bas     LF line ends: LibWork
//
// Snippets "Trace" in the per-user PreCode and PostCode folders.
#pragma once

#include <memory>
#include <string>

#include "app/toolwindow/frmQuillet.h"
#include "engine/tree.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/support/testsupport.h"

namespace apptest {

// Writes the group into `folder` (ending in "/"); returns the path of Group.vbg.
std::string WriteSmallGroup(const std::string& folder);
// Writes the two "Trace" snippets into the test program's data folder.
void WriteTraceSnippets();
extern const char* const kTracePre;
extern const char* const kTracePost;

struct ToolFixture {
    TestProgram t;
    testsupport::TempDir dir;
    std::string group;  // path of Group.vbg
    std::unique_ptr<quillet::toolwindow::frmQuillet> w;
    std::vector<std::pair<std::string, int>> viewed;  // what node clicks opened

    ToolFixture();
    ~ToolFixture();
    // Browses to `path` (the group by default) through the Browse button.
    void Browse(const std::string& path = {});
    // The node with this key, its text and whether it is checked.
    engine::NodeId Node(const std::string& key) const;
    bool Checked(const std::string& key) const;
    // Chooses a snippet on one side: types the name and presses Add.
    void ChooseSnippet(bool pre, const std::string& name);
    std::string Read(const std::string& relative) const { return testsupport::ReadBytes(dir.path() + relative); }
};

}  // namespace apptest
