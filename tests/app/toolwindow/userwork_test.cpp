// The user's work is never dropped or written where it does not belong: New Project and Save
// Project As given a file that is not a tool project, a save that fails at close, a load that is
// cancelled after an edit, a Visual Basic project named relative to its tool project, and snippet
// files as the user has them (another letter case, or none at all).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/toolwindow/SnippetEditor.h"
#include "app/toolwindow/SnippetPanel.h"
#include "platform/fileio.h"
#include "tests/app/support/ToolFixture.h"

namespace {

namespace fs = std::filesystem;
using apptest::FramedTool;
using apptest::ToolFixture;
using quillet::toolwindow::frmQuillet;
using testsupport::CrLf;

void Choose(frmQuillet* w, const std::string& name) {
    w->PrePanel()->Combo()->setEditText(QString::fromStdString(name));
    QTest::mouseClick(w->PrePanel()->AddButton(), Qt::LeftButton);
}

bool Holds(const std::string& text, const std::string& line) { return text.find(line + "\r\n") != std::string::npos; }

bool Asked(const apptest::FakeMessageBox& box, const std::string& part) {
    for (const std::string& p : box.Prompts())
        if (p.find(part) != std::string::npos) return true;
    return false;
}

// ---- New Project and Save Project As ---------------------------------------------------------

// The save dialog of New Project is given a file that is no tool project (after the dialog's own
// "replace?"): it is left as it is, the user is told why, and a .qlp name beside it is offered.
// A Visual Basic project so chosen is what the new tool project works on.
TEST(NewProject, NeverWritesIntoAFileThatIsNotAToolProjectAndOffersOneBesideIt) {
    struct Row {
        const char* name;
        std::string file;                    // relative to the fixture's folder; "*settings*": the settings file
        std::string content;                 // written first ("" keeps what is there, or nothing)
        std::string says;                    // part of the message
        std::string offered;                 // the name offered in the second dialog
        std::optional<std::string> accepted;  // the answer of the second dialog (relative)
        bool worksOnIt;                      // the new tool project names the chosen Visual Basic project
    };
    const Row rows[] = {
        {"a Visual Basic project", "Main.vbp", "", "is a Visual Basic project file", "Main.qlp", "Main.qlp", true},
        {"a project group, the offer declined", "Group.vbg", "", "is a Visual Basic project file", "Group.qlp",
         std::nullopt, false},
        {"a text file", "notes.txt", "Remember the milk\n", "holds no [Quillet] section", "notes.qlp", "notes.qlp",
         false},
        {"a new name ending in .vbp", "Fresh.vbp", "", "is named as a Visual Basic project", "Fresh.qlp", "Fresh.qlp",
         false},
        {"the settings file", "*settings*", "", "is Quillet's settings file", "", std::nullopt, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FramedTool f;
        const bool settings = r.file == "*settings*";
        const std::string file = settings ? f.t.program.state.IniFileName : f.dir.path() + r.file;
        if (!r.content.empty()) testsupport::WriteBytes(file, r.content);
        const bool there = fs::exists(file);
        const std::string before = there ? testsupport::ReadBytes(file) : "";
        f.t.fakes.dialogs.saveResults.push_back(file);
        if (r.accepted) f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + *r.accepted);
        f.Click("mnuNewProject");

        EXPECT_EQ(fs::exists(file), there);
        if (there) {
            EXPECT_TRUE(testsupport::ReadBytes(file) == before) << "the file was written";
        }
        EXPECT_TRUE(Asked(f.t.fakes.messageBox, r.says)) << f.t.fakes.messageBox.Prompts().front();
        const auto& requests = f.t.fakes.dialogs.requests;
        ASSERT_EQ(requests.size(), 2u);
        if (!r.offered.empty()) {
            EXPECT_EQ(requests[1].file.fileName, r.offered);
            EXPECT_EQ(requests[1].file.folder, platform::FolderOf(file));
        }
        if (!r.accepted) {
            EXPECT_TRUE(f.t.program.state.ProjectFileName.empty());
            continue;
        }
        const std::string qlp = f.dir.path() + *r.accepted;
        EXPECT_EQ(f.t.program.state.ProjectFileName, qlp);
        ASSERT_NE(f.Tool(), nullptr);
        if (r.worksOnIt) {
            EXPECT_EQ(f.Tool()->txtProject()->text().toStdString(), file);
            EXPECT_TRUE(f.Tool()->ProjectLoaded());
            EXPECT_TRUE(Holds(f.Read(*r.accepted), "ProjectName=" + file));
        } else {
            EXPECT_TRUE(f.Tool()->txtProject()->text().isEmpty());
        }
    }
}

TEST(SaveProjectAs, NeverWritesIntoAVisualBasicProjectAndSavesBesideItWhenTheUserAgrees) {
    for (const bool agrees : {true, false}) {
        SCOPED_TRACE(agrees ? "the offered name taken" : "the offer declined");
        FramedTool f;
        const std::string first = f.dir.path() + "First.qlp";
        f.NewProjectOnGroup(first);
        f.Click("mnuSaveProject");
        Choose(f.Tool(), "Trace");
        const std::string vbp = f.dir.path() + "Main.vbp";
        const std::string before = f.Read("Main.vbp");
        f.t.fakes.dialogs.requests.clear();
        f.t.fakes.dialogs.saveResults.push_back(vbp);
        if (agrees) f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + "Main.qlp");
        f.Click("mnuSaveProjectAs");

        EXPECT_EQ(f.Read("Main.vbp"), before);
        EXPECT_TRUE(Asked(f.t.fakes.messageBox, "is a Visual Basic project file, not a Quillet tool project"));
        ASSERT_EQ(f.t.fakes.dialogs.requests.size(), 2u);
        EXPECT_EQ(f.t.fakes.dialogs.requests[1].file.fileName, "Main.qlp");
        if (agrees) {
            EXPECT_EQ(f.t.program.state.ProjectFileName, f.dir.path() + "Main.qlp");
            EXPECT_TRUE(Holds(f.Read("Main.qlp"), "CodeType1=Trace"));
            EXPECT_FALSE(f.t.program.state.ProjectChanged);
        } else {
            // The tool project stays the one it was, its change still to be saved.
            EXPECT_EQ(f.t.program.state.ProjectFileName, first);
            EXPECT_TRUE(f.t.program.state.ProjectChanged);
            EXPECT_FALSE(fs::exists(f.dir.path() + "Main.qlp"));
        }
    }
}

// ---- a save that fails ---------------------------------------------------------------------------

// Yes to the close question with a read-only tool project: the save fails and says what to do; the
// close is cancelled, so the user can follow the advice, and then closes.
TEST(ClosingTheProgram, ASaveThatFailsKeepsTheWindowAndTheChangeUntilSaveAsHasSavedIt) {
    struct Row {
        const char* name;
        std::function<void(FramedTool&)> close;
        bool program;
    };
    const Row rows[] = {
        {"the frame's title bar", [](FramedTool& f) { f.frame->close(); }, true},
        {"File > Exit", [](FramedTool& f) { f.Click("mnuExit"); }, true},
        {"the tool window's Exit", [](FramedTool& f) { QTest::mouseClick(f.Tool()->Button("cmdExit"), Qt::LeftButton); },
         false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FramedTool f;
        const std::string fixed = f.dir.path() + "Fixed.qlp";
        f.NewProjectOnGroup(fixed);
        f.Click("mnuSaveProject");
        const std::string saved = f.Read("Fixed.qlp");
        fs::permissions(fixed, fs::perms::owner_read);
        Choose(f.Tool(), "Trace");
        f.t.fakes.messageBox.shown.clear();
        f.t.fakes.messageBox.answers = {quillet::kYes};
        r.close(f);
        for (int i = 0; i < 3; ++i) apptest::ProcessEvents();

        const auto prompts = f.t.fakes.messageBox.Prompts();
        ASSERT_EQ(prompts.size(), 2u);
        EXPECT_EQ(prompts[0], "Do you want to save this project?");
        EXPECT_NE(prompts[1].find("could not be saved"), std::string::npos) << prompts[1];
        EXPECT_NE(prompts[1].find("Save Project As"), std::string::npos) << prompts[1];
        ASSERT_NE(f.Tool(), nullptr) << "the window went with the change";
        EXPECT_TRUE(f.frame->isVisible());
        EXPECT_TRUE(f.t.program.state.ProjectChanged);
        EXPECT_EQ(f.t.program.state.ProjectFileName, fixed);
        EXPECT_EQ(f.Tool()->PrePanel()->Selected(), std::vector<std::string>{"Trace"});
        EXPECT_EQ(f.Read("Fixed.qlp"), saved);

        // The advice: Save Project As, then the close goes through without a question.
        f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + "Copy.qlp");
        f.Click("mnuSaveProjectAs");
        EXPECT_TRUE(Holds(f.Read("Copy.qlp"), "CodeType1=Trace"));
        f.t.fakes.messageBox.shown.clear();
        QPointer<frmQuillet> tool = f.Tool();
        r.close(f);
        for (int i = 0; i < 3; ++i) apptest::ProcessEvents();
        EXPECT_TRUE(f.t.fakes.messageBox.shown.empty());
        EXPECT_TRUE(tool.isNull());
        EXPECT_EQ(f.frame->isVisible(), !r.program);
        fs::permissions(fixed, fs::perms::owner_all);
    }
}

// Neither is a change dropped for another tool project (Open Project, a recent one, New Project).
TEST(ToolProject, AChangeThatCannotBeSavedIsNotDroppedForAnotherToolProject) {
    struct Row {
        const char* name;
        std::function<void(FramedTool&, const std::string& other)> open;
    };
    const Row rows[] = {
        {"Open Project",
         [](FramedTool& f, const std::string& other) {
             f.t.fakes.dialogs.openResults.push_back(other);
             f.Click("mnuOpenProject");
         }},
        {"a recent project", [](FramedTool& f, const std::string&) { f.Click("mnuProjectList", 1); }},
        {"New Project, Yes to saving first",
         [](FramedTool& f, const std::string& other) {
             f.t.fakes.messageBox.answers = {quillet::kYes};
             f.t.fakes.dialogs.saveResults.push_back(other);
             f.Click("mnuNewProject");
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FramedTool f;
        const std::string other = f.dir.path() + "Other.qlp";
        testsupport::WriteBytes(other, CrLf({"[Quillet]", "ProjectName=" + f.group}));
        const std::string fixed = f.dir.path() + "Fixed.qlp";
        f.t.fakes.dialogs.openResults.push_back(other);
        f.Click("mnuOpenProject");  // Other.qlp is on the recent list, below Fixed.qlp
        f.NewProjectOnGroup(fixed);
        f.Click("mnuSaveProject");
        fs::permissions(fixed, fs::perms::owner_read);
        Choose(f.Tool(), "Trace");
        const std::string otherBefore = testsupport::ReadBytes(other);
        r.open(f, other);
        EXPECT_EQ(f.t.program.state.ProjectFileName, fixed);
        EXPECT_TRUE(f.t.program.state.ProjectChanged);
        ASSERT_NE(f.Tool(), nullptr);
        EXPECT_EQ(f.Tool()->PrePanel()->Selected(), std::vector<std::string>{"Trace"});
        EXPECT_EQ(testsupport::ReadBytes(other), otherBefore);
        fs::permissions(fixed, fs::perms::owner_all);
    }
}

// ---- a load that is cancelled -------------------------------------------------------------------

std::string WriteLargeProject(const std::string& folder) {
    std::string vbp = "Type=Exe\r\n";
    for (int i = 0; i < 60; ++i) {
        const std::string name = "mod" + std::to_string(i);
        vbp += "Module=" + name + "; " + name + ".bas\r\n";
        std::string text = "Attribute VB_Name = \"" + name + "\"\r\n";
        for (int p = 0; p < 40; ++p) {
            text += "Public Sub P" + std::to_string(i) + "_" + std::to_string(p) + "()\r\n";
            for (int l = 0; l < 20; ++l) text += "    x = x + " + std::to_string(l) + "\r\n";
            text += "End Sub\r\n";
        }
        testsupport::WriteBytes(folder + name + ".bas", text);
    }
    testsupport::WriteBytes(folder + "Large.vbp", vbp);
    return folder + "Large.vbp";
}

// A snippet added, another project browsed and its load cancelled: the change is still there, so
// Exit asks about it.
TEST(ToolProject, ACancelledLoadKeepsTheChangesNotYetSaved) {
    FramedTool f;
    testsupport::TempDir largeDir;
    const std::string large = WriteLargeProject(largeDir.path());
    const std::string qlp = f.dir.path() + "Kept.qlp";
    f.NewProjectOnGroup(qlp);
    f.Click("mnuSaveProject");
    Choose(f.Tool(), "Trace");
    ASSERT_TRUE(f.t.program.state.ProjectChanged);
    QTimer timer;
    bool pressed = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* cancel = f.Tool() ? f.Tool()->Button("cmdCancel") : nullptr;
        if (!pressed && cancel && cancel->isEnabled() && f.Tool()->State().LoadBusy) {
            pressed = true;
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
    });
    timer.start(0);
    f.t.fakes.dialogs.openResults.push_back(large);
    QTest::mouseClick(f.Tool()->Button("cmdBrowse"), Qt::LeftButton);
    timer.stop();
    ASSERT_TRUE(pressed);
    EXPECT_TRUE(Asked(f.t.fakes.messageBox, "Project Load Canceled"));
    EXPECT_TRUE(f.t.program.state.ProjectChanged);

    f.t.fakes.messageBox.shown.clear();
    f.t.fakes.messageBox.answers = {quillet::kYes};
    f.Click("mnuExit");
    apptest::ProcessEvents();
    ASSERT_FALSE(f.t.fakes.messageBox.shown.empty()) << "nothing was asked";
    EXPECT_EQ(f.t.fakes.messageBox.Prompts().front(), "Do you want to save this project?");
    EXPECT_TRUE(Holds(f.Read("Kept.qlp"), "CodeType1=Trace"));
}

// ---- a Visual Basic project named relative to its tool project -------------------------------------

void WriteCalc(const std::string& folder) {
    testsupport::WriteBytes(folder + "Calc/Calc.vbp", CrLf({"Type=Exe", "Module=modCalc; modCalc.bas", "Name=\"Calc\""}));
    testsupport::WriteBytes(folder + "Calc/modCalc.bas",
                            CrLf({"Attribute VB_Name = \"modCalc\"", "Public Sub Add()", "End Sub"}));
}

// The path is written back as the user gave it, through a save, a switch to another tool project
// and an open from the recent list; the window shows where it leads. A copy of the folder then
// works on its own project.
TEST(ToolProject, ARelativeProjectNameStaysAsGivenThroughOpenSwitchAndSave) {
    for (const std::string listed : {"Calc/Calc.vbp", "calc\\CALC.VBP"}) {
        SCOPED_TRACE(listed);
        FramedTool f;
        const std::string work = f.dir.path() + "work/";
        WriteCalc(work);
        const std::string calc = work + "Calc.qlp";
        testsupport::WriteBytes(calc, CrLf({"[Quillet]", "ProjectName=" + listed}));
        const std::string other = f.dir.path() + "Other.qlp";
        testsupport::WriteBytes(other, CrLf({"[Quillet]", "ProjectName=" + f.group}));

        f.t.fakes.dialogs.openResults.push_back(calc);
        f.Click("mnuOpenProject");
        ASSERT_NE(f.Tool(), nullptr);
        EXPECT_EQ(f.Tool()->txtProject()->text().toStdString(), work + "Calc/Calc.vbp");
        EXPECT_TRUE(f.Tool()->ProjectLoaded());
        Choose(f.Tool(), "Trace");
        f.Click("mnuSaveProject");
        EXPECT_TRUE(Holds(testsupport::ReadBytes(calc), "ProjectName=" + listed)) << testsupport::ReadBytes(calc);
        EXPECT_TRUE(Holds(testsupport::ReadBytes(calc), "CodeType1=Trace"));

        // A switch to another tool project saves this one first; it still names the project so.
        f.t.fakes.dialogs.openResults.push_back(other);
        f.Click("mnuOpenProject");
        EXPECT_EQ(f.t.program.state.ProjectFileName, other);
        ASSERT_EQ(f.frame->RecentProjects().size(), 2u);
        f.Click("mnuProjectList", 1);  // back to Calc.qlp
        EXPECT_EQ(f.t.program.state.ProjectFileName, calc);
        EXPECT_EQ(f.Tool()->txtProject()->text().toStdString(), work + "Calc/Calc.vbp");
        f.t.fakes.dialogs.openResults.push_back(other);
        f.Click("mnuOpenProject");
        EXPECT_TRUE(Holds(testsupport::ReadBytes(calc), "ProjectName=" + listed)) << testsupport::ReadBytes(calc);

        // A copy of the folder opens its own project, not the original's.
        const std::string moved = f.dir.path() + "moved/";
        fs::copy(work, moved, fs::copy_options::recursive);
        f.t.fakes.dialogs.openResults.push_back(moved + "Calc.qlp");
        f.Click("mnuOpenProject");
        EXPECT_EQ(f.Tool()->txtProject()->text().toStdString(), moved + "Calc/Calc.vbp");
        EXPECT_EQ(f.Tool()->State().ProjectPath, moved + "Calc/Calc.vbp");

        // A project the user browses to is what the file then names.
        f.t.fakes.dialogs.openResults.push_back(f.group);
        QTest::mouseClick(f.Tool()->Button("cmdBrowse"), Qt::LeftButton);
        f.Click("mnuSaveProject");
        EXPECT_TRUE(Holds(testsupport::ReadBytes(moved + "Calc.qlp"), "ProjectName=" + f.group));
        f.t.program.state.ProjectChanged = false;
    }
}

// ---- snippets as the user has them ---------------------------------------------------------------

void TickProcedure(ToolFixture& f, const char* key) {
    const engine::NodeId node = f.Node(key);
    ASSERT_NE(node, engine::kNoNode) << key;
    f.w->State().treProject.Node(node).checked = true;
    f.w->treProject_NodeCheck(node);
}

constexpr const char* kMainProc = "Main.vbp_modMain.bas_Main_Sub_3";

// A snippet file brought from Windows or written by hand, its extension in another letter case:
// Edit opens that file and saves into it, Add Code reads it; no empty twin is ever made.
TEST(SnippetChoice, ASnippetWhoseExtensionHasAnotherCaseIsReadAndEditedAsThatFile) {
    const std::string mine = apptest::DataFolder() + "PreCode/Mine.precode";
    struct Remove {
        std::string path;
        ~Remove() { fs::remove(path); }
    } removeAfterwards{mine};
    ToolFixture f([&](apptest::TestProgram&) { testsupport::WriteBytes(mine, "    ' mine ~Procedure~"); });
    f.Browse();
    auto* side = f.w->PrePanel();
    EXPECT_NE(std::find(side->Available().begin(), side->Available().end(), "Mine"), side->Available().end());
    f.ChooseSnippet(true, "Mine");
    QTest::mouseClick(side->EditButton(), Qt::LeftButton);
    ASSERT_NE(side->OpenEditor(), nullptr);
    EXPECT_EQ(side->OpenEditor()->Path(), mine);
    EXPECT_EQ(side->OpenEditor()->windowTitle(), "Mine.precode - Snippet Editor");
    EXPECT_EQ(side->OpenEditor()->Editor()->toPlainText(), "    ' mine ~Procedure~");
    side->OpenEditor()->Editor()->setPlainText("    ' edited ~Procedure~");
    ASSERT_TRUE(side->OpenEditor()->Save());
    side->OpenEditor()->close();
    apptest::ProcessEvents();
    EXPECT_EQ(testsupport::ReadBytes(mine), "    ' edited ~Procedure~");

    TickProcedure(f, kMainProc);
    QTest::mouseClick(f.w->Button("cmdAddCode"), Qt::LeftButton);
    apptest::ProcessEvents();
    EXPECT_EQ(f.t.fakes.messageBox.Prompts().back().rfind("Code Processing Done", 0), 0u)
        << f.t.fakes.messageBox.Prompts().back();
    EXPECT_NE(f.Read("modMain.bas").find("Public Sub Main()\r\n    InitTraceLog App\r\n    ' edited Main\r\n"),
              std::string::npos)
        << f.Read("modMain.bas");
    EXPECT_FALSE(fs::exists(apptest::DataFolder() + "PreCode/Mine.PreCode"));
}

// A chosen snippet without a file (a new name never edited, or a file removed since) is never taken
// as nothing: Add Code stops with its name, and nothing is written or made.
TEST(SnippetChoice, AChosenSnippetWithoutAFileStopsAddCodeWithItsName) {
    ToolFixture f;
    f.Browse();
    const std::string before = f.Read("modMain.bas"), vbp = f.Read("Main.vbp");
    f.ChooseSnippet(true, "Trace");
    f.ChooseSnippet(false, "Ghost");
    TickProcedure(f, kMainProc);
    QTest::mouseClick(f.w->Button("cmdAddCode"), Qt::LeftButton);
    apptest::ProcessEvents();
    const std::string said = f.t.fakes.messageBox.Prompts().back();
    EXPECT_NE(said.find("\"Ghost\" has no file"), std::string::npos) << said;
    EXPECT_NE(said.find("no code was added"), std::string::npos) << said;
    EXPECT_EQ(f.Read("modMain.bas"), before);
    EXPECT_EQ(f.Read("Main.vbp"), vbp);
    EXPECT_FALSE(fs::exists(f.dir.path() + "Backup"));
    EXPECT_FALSE(fs::exists(apptest::DataFolder() + "PostCode/Ghost.PostCode"));
    EXPECT_FALSE(f.w->Button("cmdUndoLastChange")->isEnabled());
}

}  // namespace
