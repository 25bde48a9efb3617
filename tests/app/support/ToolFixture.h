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

#include <functional>
#include <memory>
#include <string>

#include <QPointer>

#include "app/frame/frmBackGround.h"
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

    // `before` runs once the program's settings file is fresh, before the window is made.
    explicit ToolFixture(const std::function<void(TestProgram&)>& before = {});
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

// The program as it runs: the frame, loaded, making the real tool window on New, Open or a recent
// project; a project group and the two "Trace" snippets on disk.
struct FramedTool {
    TestProgram t;
    testsupport::TempDir dir;
    std::string group;
    QPointer<quillet::frmBackGround> frame;

    FramedTool();
    ~FramedTool();
    // The loaded tool window, or null.
    quillet::toolwindow::frmQuillet* Tool() const;
    // Chooses a frame menu item as the user does.
    void Click(const char* name, int index = -1);
    // New Project with the save dialog answering `path`, then Browse to the group.
    void NewProjectOnGroup(const std::string& path);
    std::string Read(const std::string& relative) const { return testsupport::ReadBytes(dir.path() + relative); }
};

}  // namespace apptest
