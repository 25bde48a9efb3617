// Tool project files through the frame's menus as a user works with them: New, Open, Save, Save
// As, the recent list, cancelled dialogs, the line-numbering choices, and closing the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

#include <QTest>

#include <tovcore/IniFiles.h>
#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/toolwindow/SnippetPanel.h"
#include "app/toolwindow/ToolProjectFile.h"
#include "tests/app/support/ToolFixture.h"

namespace {

using apptest::FramedTool;
using quillet::toolwindow::frmQuillet;

void Choose(frmQuillet* w, bool pre, const std::string& name) {
    quillet::toolwindow::SnippetPanel* side = pre ? w->PrePanel() : w->PostPanel();
    side->Combo()->setEditText(QString::fromStdString(name));
    QTest::mouseClick(side->AddButton(), Qt::LeftButton);
}

bool Holds(const std::string& text, const std::string& line) { return text.find(line + "\r\n") != std::string::npos; }

TEST(ToolProject, NewSaveAndOpenAgainGiveBackThePathTheSnippetsAndTheLineNumberChoices) {
    FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Billing");  // ".qlp" is added
    const std::string file = f.dir.path() + "Billing.qlp";
    {
        ASSERT_NE(f.Tool(), nullptr);
        EXPECT_EQ(f.t.program.state.ProjectFileName, file);
        EXPECT_EQ(f.frame->Caption().toStdString(), " - " + file);
        ASSERT_FALSE(f.frame->RecentProjects().empty());
        EXPECT_EQ(f.frame->RecentProjects().front(), file);
        Choose(f.Tool(), true, "Trace");
        Choose(f.Tool(), false, "Trace");
        f.Click("mnuLineNumberIncrement", 9);
        f.Click("mnuLineNumberResequence", 2);
        EXPECT_TRUE(f.t.program.state.ProjectChanged);
        f.Click("mnuSaveProject");
        EXPECT_FALSE(f.t.program.state.ProjectChanged);
        const std::string text = testsupport::ReadBytes(file);
        EXPECT_TRUE(Holds(text, "ProjectName=" + f.group)) << text;
        EXPECT_TRUE(Holds(text, "LineNumberIncrement=9")) << text;
        EXPECT_TRUE(Holds(text, "LineNumberResequence=2")) << text;
        EXPECT_TRUE(Holds(text, "CodeType1=Trace")) << text;
        EXPECT_NE(text.find("[PostCode]"), std::string::npos) << text;
    }
    FramedTool g;  // the program started again
    g.t.fakes.dialogs.openResults.push_back(file);
    g.Click("mnuOpenProject");
    frmQuillet* w = g.Tool();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->txtProject()->text().toStdString(), f.group);
    EXPECT_TRUE(w->ProjectLoaded());
    EXPECT_EQ(w->PrePanel()->Selected(), std::vector<std::string>{"Trace"});
    EXPECT_EQ(w->PostPanel()->Selected(), std::vector<std::string>{"Trace"});
    EXPECT_EQ(g.t.program.state.LineIncrement, 100);
    EXPECT_TRUE(g.frame->MenuItem("mnuLineNumberIncrement", 9)->Checked());
    EXPECT_EQ(g.t.program.state.ResequenceIndex, 2);
    EXPECT_TRUE(w->Button("cmdAddCode")->isEnabled());
    EXPECT_EQ(g.frame->Caption().toStdString(), " - " + file);
}

TEST(ToolProject, CancelledDialogsKeepTheToolProjectItsFileNameAndItsTree) {
    FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Keep.qlp");
    const std::string file = f.t.program.state.ProjectFileName;
    for (const char* item : {"mnuNewProject", "mnuOpenProject", "mnuSaveProjectAs"}) {
        SCOPED_TRACE(item);
        f.t.program.state.ProjectChanged = false;  // no question before the dialog
        f.Click(item);  // no answer queued: the dialog is cancelled
        EXPECT_EQ(f.t.program.state.ProjectFileName, file);
        ASSERT_NE(f.Tool(), nullptr);
        EXPECT_TRUE(f.Tool()->ProjectLoaded());
        EXPECT_EQ(f.Tool()->txtProject()->text().toStdString(), f.group);
    }
}

TEST(ToolProject, SaveAsWritesTheWholeToolProjectIntoTheNewFile) {
    FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "First.qlp");
    Choose(f.Tool(), true, "Trace");
    f.Click("mnuSaveProject");
    const std::string first = testsupport::ReadBytes(f.dir.path() + "First.qlp");
    f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + "Second");
    f.Click("mnuSaveProjectAs");  // nothing changed since the save: written all the same
    const std::string second = f.dir.path() + "Second.qlp";
    EXPECT_EQ(f.t.program.state.ProjectFileName, second);
    const std::string text = testsupport::ReadBytes(second);
    EXPECT_TRUE(Holds(text, "ProjectName=" + f.group)) << text;
    EXPECT_TRUE(Holds(text, "CodeType1=Trace")) << text;
    EXPECT_EQ(testsupport::ReadBytes(f.dir.path() + "First.qlp"), first);
    EXPECT_EQ(f.frame->Caption().toStdString(), " - " + second);
    EXPECT_EQ(f.frame->RecentProjects().front(), second);
}

TEST(ToolProject, OpeningAFileThatIsGoneSaysSoAndMakesNothing) {
    FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Here.qlp");
    const std::string gone = f.dir.path() + "Gone.qlp";
    f.t.fakes.dialogs.openResults.push_back(gone);
    f.Click("mnuOpenProject");
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt, "Project does not exist - " + gone);
    EXPECT_FALSE(std::filesystem::exists(gone));
    EXPECT_EQ(f.t.program.state.ProjectFileName, f.dir.path() + "Here.qlp");
    EXPECT_TRUE(f.Tool()->ProjectLoaded());
}

TEST(ToolProject, ASavedSelectionHoldsNoKeyOfALongerEarlierList) {
    FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Sel.qlp");
    Choose(f.Tool(), true, "Trace");
    Choose(f.Tool(), true, "Timing");  // a new snippet: its file is made when it is edited
    f.Click("mnuSaveProject");
    const std::string file = f.dir.path() + "Sel.qlp";
    EXPECT_TRUE(Holds(testsupport::ReadBytes(file), "CodeType2=Timing"));
    auto* side = f.Tool()->PrePanel();
    side->List()->setCurrentRow(1);
    QTest::mouseClick(side->RemoveButton(), Qt::LeftButton);
    EXPECT_TRUE(f.t.program.state.ProjectChanged);  // removing changes the tool project too
    f.Click("mnuSaveProject");
    const std::string text = testsupport::ReadBytes(file);
    EXPECT_TRUE(Holds(text, "CodeType1=Trace")) << text;
    EXPECT_EQ(text.find("CodeType2"), std::string::npos) << text;
}

TEST(ToolProject, NewAsksBeforeReplacingAFileThatOnlyGainedItsExtension) {
    struct Case {
        const char* name;
        std::int32_t answer;
        bool replaced;
    };
    for (const Case c : {Case{"kept on No", quillet::kNo, false}, Case{"replaced on Yes", quillet::kYes, true}}) {
        SCOPED_TRACE(c.name);
        FramedTool f;
        const std::string existing = f.dir.path() + "Old.qlp";
        testsupport::WriteBytes(existing, "[Quillet]\r\nProjectName=/somewhere/else.vbp\r\n");
        f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + "Old");
        f.t.fakes.messageBox.answers = {c.answer};
        f.Click("mnuNewProject");
        EXPECT_NE(f.t.fakes.messageBox.shown.at(0).prompt.find("already exists"), std::string::npos);
        const std::string text = testsupport::ReadBytes(existing);
        EXPECT_EQ(text.find("/somewhere/else.vbp") == std::string::npos, c.replaced) << text;
        EXPECT_EQ(f.t.program.state.ProjectFileName == existing, c.replaced);
    }
}

TEST(ToolProject, NewOffersToSaveTheChangedToolProjectFirst) {
    FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Changed.qlp");
    Choose(f.Tool(), true, "Trace");
    f.t.fakes.messageBox.answers = {quillet::kCancel};
    const auto requests = f.t.fakes.dialogs.requests.size();
    f.Click("mnuNewProject");
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt, "Do you want to save this project?");
    EXPECT_EQ(f.t.fakes.dialogs.requests.size(), requests);  // Cancel: no dialog, nothing changed
    EXPECT_TRUE(f.t.program.state.ProjectChanged);
    f.t.fakes.messageBox.answers = {quillet::kYes};
    f.Click("mnuNewProject");  // saved, then the dialog (cancelled)
    EXPECT_TRUE(Holds(testsupport::ReadBytes(f.dir.path() + "Changed.qlp"), "CodeType1=Trace"));
    EXPECT_EQ(f.t.program.state.ProjectFileName, f.dir.path() + "Changed.qlp");
}

TEST(ToolProject, StoredLineNumberIndexesAreCheckedAgainstTheMenusItems) {
    struct Case {
        const char* increment;
        const char* resequence;
        int incrementIndex, resequenceIndex;
    };
    const Case cases[] = {{"9", "2", 9, 2}, {"4", "1", 4, 1}, {"7", "3", 0, 0}, {"-1", "-2", 0, 0},
                          {"abc", "x1", 0, 0}, {" 3 ", "", 3, 0}};
    testsupport::TempDir dir;
    apptest::InitLibrary();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.increment);
        const std::string file = dir.path() + "p.qlp";
        testsupport::WriteBytes(file, std::string("[Quillet]\r\nLineNumberResequence=") + c.resequence +
                                          "\r\nLineNumberIncrement=" + c.increment + "\r\n");
        const quillet::toolwindow::ToolProject p = quillet::toolwindow::ReadToolProject(file);
        EXPECT_EQ(p.LineIncrementIndex, c.incrementIndex);
        EXPECT_EQ(p.ResequenceIndex, c.resequenceIndex);
    }
}

TEST(ToolProject, LineNumberingFromTheFramesMenuNumbersTheFilesOnDisk) {
    FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Num.qlp");
    f.Click("mnuLineNumberIncrement", 0);
    f.Click("mnuLineNumberResequence", 0);
    ASSERT_TRUE(f.frame->MenuItem("mnuAddLineNumbers")->isEnabled());
    f.Click("mnuAddLineNumbers");
    EXPECT_NE(f.Read("modMain.bas").find("000010     DoWork 1\r\n"), std::string::npos);
    EXPECT_NE(f.Read("modMain.bas").find("000020     DoWork = n + 1\r\n"), std::string::npos);
    // "Whole Project": the member in the sub-folder goes on counting after the first project's files.
    const std::string lib = f.Read("Sub/modLib.bas");
    const std::size_t at = lib.find(" Debug.Print \"lib\"\n");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(lib.substr(at - 11, 7), "\n000030") << lib;
    f.Click("mnuRemoveLineNumbers");
    EXPECT_EQ(f.Read("modMain.bas").find("000010"), std::string::npos);
}

// ---- closing --------------------------------------------------------------------------------

TEST(ClosingTheProgram, AsksAboutAChangedToolProjectAndDoesWhatTheAnswerSays) {
    struct Case {
        const char* name;
        bool change;
        std::int32_t answer;
        bool asked, closes, saved;
    };
    const Case cases[] = {
        {"unchanged: no question", false, quillet::kYes, false, true, false},
        {"Yes saves and closes", true, quillet::kYes, true, true, true},
        {"No closes without saving", true, quillet::kNo, true, true, false},
        {"Cancel keeps the program", true, quillet::kCancel, true, false, false},
        {"a dismissed box keeps the program", true, quillet::kAnswerNone, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FramedTool f;
        f.NewProjectOnGroup(f.dir.path() + "Close.qlp");
        f.Click("mnuSaveProject");
        const std::string before = testsupport::ReadBytes(f.dir.path() + "Close.qlp");
        if (c.change) Choose(f.Tool(), true, "Trace");
        f.t.fakes.messageBox.shown.clear();
        f.t.fakes.messageBox.answers = {c.answer};
        const bool closed = f.frame->Unload();
        apptest::ProcessEvents();
        const bool asked = !f.t.fakes.messageBox.shown.empty() &&
                           f.t.fakes.messageBox.shown[0].prompt == "Do you want to save this project?";
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(closed, c.closes);
        EXPECT_EQ(f.frame.isNull() || !f.frame->isVisible(), c.closes);
        const std::string after = testsupport::ReadBytes(f.dir.path() + "Close.qlp");
        EXPECT_EQ(Holds(after, "CodeType1=Trace"), c.saved) << after;
        if (!c.saved) {
            EXPECT_EQ(after, before);
        }
        if (!c.closes) {
            EXPECT_NE(f.Tool(), nullptr);
        }
    }
}

TEST(ClosingTheProgram, YesWithoutAToolProjectFileAsksForOneAndItsCancelKeepsTheWindow) {
    FramedTool f;
    f.Click("mnuNewProject");  // the tool window comes; its dialog is cancelled
    ASSERT_NE(f.Tool(), nullptr);
    EXPECT_TRUE(f.t.program.state.ProjectFileName.empty());
    f.t.fakes.dialogs.openResults.push_back(f.group);
    QTest::mouseClick(f.Tool()->Button("cmdBrowse"), Qt::LeftButton);
    f.t.fakes.messageBox.answers = {quillet::kYes};
    EXPECT_FALSE(f.frame->Unload());  // the save dialog is cancelled
    EXPECT_NE(f.Tool(), nullptr);
    f.t.fakes.messageBox.answers = {quillet::kYes};
    f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + "Named");
    EXPECT_TRUE(f.frame->Unload());
    apptest::ProcessEvents();
    EXPECT_TRUE(Holds(testsupport::ReadBytes(f.dir.path() + "Named.qlp"), "ProjectName=" + f.group));
}

}  // namespace

namespace {

TEST(ToolProject, ARecentProjectIsOpenedAfterTheCurrentOneIsSaved) {
    FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "One.qlp");
    f.Click("mnuSaveProject");
    f.NewProjectOnGroup(f.dir.path() + "Two.qlp");
    Choose(f.Tool(), true, "Trace");  // an unsaved change of Two
    ASSERT_GE(f.frame->RecentProjects().size(), 2u);
    EXPECT_EQ(f.frame->RecentProjects()[0], f.dir.path() + "Two.qlp");
    EXPECT_EQ(f.frame->RecentProjects()[1], f.dir.path() + "One.qlp");
    f.Click("mnuProjectList", 1);
    EXPECT_EQ(f.t.program.state.ProjectFileName, f.dir.path() + "One.qlp");
    EXPECT_TRUE(Holds(testsupport::ReadBytes(f.dir.path() + "Two.qlp"), "CodeType1=Trace"));
    EXPECT_TRUE(f.Tool()->PrePanel()->Selected().empty());  // One's own selection
    EXPECT_TRUE(f.Tool()->ProjectLoaded());
    EXPECT_EQ(f.frame->RecentProjects()[0], f.dir.path() + "One.qlp");
}

TEST(ClosingTheProgram, ExitClosesTheToolWindowAndLeavesTheFrame) {
    FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Exit.qlp");
    f.Click("mnuSaveProject");
    QTest::mouseClick(f.Tool()->Button("cmdExit"), Qt::LeftButton);
    apptest::ProcessEvents();
    EXPECT_EQ(f.Tool(), nullptr);
    ASSERT_FALSE(f.frame.isNull());
    EXPECT_FALSE(f.frame->MenuItem("mnuSaveProject")->isEnabled());
    EXPECT_FALSE(f.frame->MenuItem("mnuAddLineNumbers")->isEnabled());
}

}  // namespace

namespace {

TEST(ToolProject, AVisualBasicProjectNamedRelativeToTheToolProjectIsFoundBesideIt) {
    FramedTool f;  // the group lies in f.dir, its member Lib.vbp in Sub/
    struct Row {
        const char* name;
        std::string listed;
        std::string found;  // the path the window loads
    };
    const Row rows[] = {
        {"beside it", "Group.vbg", f.group},
        {"in a sub-folder, Windows form, another letter case", "sub\\LIB.VBP", f.dir.path() + "Sub/Lib.vbp"},
        {"through a dotted path", "./Sub/../Group.vbg", f.group},
        {"absolute", f.group, f.group},
    };
    int n = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        // The tool project lies in a folder of its own; the project is named from there.
        const std::string file = f.dir.path() + "tools" + std::to_string(n++) + "/Project.qlp";
        const std::string listed = r.listed == f.group ? r.listed : "../" + r.listed;
        testsupport::WriteBytes(file, testsupport::CrLf({"[Quillet]", "ProjectName=" + listed}));
        f.t.fakes.dialogs.openResults.push_back(file);
        f.Click("mnuOpenProject");
        ASSERT_NE(f.Tool(), nullptr);
        EXPECT_EQ(f.Tool()->txtProject()->text().toStdString(), r.found);
        EXPECT_TRUE(f.Tool()->ProjectLoaded());
        f.t.program.state.ProjectChanged = false;
    }
}

}  // namespace

// ---- files that are not tool projects, and tool projects that must keep what they hold --------------

namespace {

using quillet::toolwindow::ToolProjectCheck;

TEST(OpenProject, NeverWritesIntoAFileThatIsNotAToolProject) {
    struct Row {
        const char* name;
        std::string file;                   // relative to the fixture's folder
        std::string content;                // "" keeps what the fixture wrote
        std::optional<std::string> saveAs;  // the answer of the New Project dialog, if one comes
        bool opened;
        std::string says;  // part of the message shown ("" for none)
    };
    const std::string big =
        "[Quillet]\r\nProjectName=x.vbp\r\n;" + std::string(tovcore::kIniFileSizeLimit, ' ') + "\r\n";
    const Row rows[] = {
        {"a .vbp, a tool project named for it", "Main.vbp", "", "Main.qlp", true, ""},
        {"a .vbg whose tool project dialog is cancelled", "Group.vbg", "", std::nullopt, false, ""},
        {"a .VBP that an earlier version wrote a [Quillet] section into", "Old.VBP",
         "Type=Exe\r\nModule=modMain; modMain.bas\r\n[Quillet]\r\nProjectName=\r\n", "Old.qlp", true, ""},
        {"a text file", "notes.txt", "Remember the milk\n", std::nullopt, false, "is not a Quillet tool project"},
        {"a .qlp past the size limit", "Huge.qlp", big, std::nullopt, false, "is larger than 4 MB"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FramedTool f;
        const std::string file = f.dir.path() + r.file;
        if (!r.content.empty()) testsupport::WriteBytes(file, r.content);
        const std::string before = testsupport::ReadBytes(file);
        f.t.fakes.dialogs.openResults.push_back(file);
        if (r.saveAs) f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + *r.saveAs);
        f.Click("mnuOpenProject");
        EXPECT_TRUE(testsupport::ReadBytes(file) == before) << "the file was written";
        const auto prompts = f.t.fakes.messageBox.Prompts();
        if (!r.says.empty()) {
            ASSERT_FALSE(prompts.empty());
            EXPECT_NE(prompts.back().find(r.says), std::string::npos) << prompts.back();
        }
        if (!r.opened) {
            EXPECT_TRUE(f.t.program.state.ProjectFileName.empty());
            EXPECT_TRUE(f.frame->RecentProjects().empty());
            continue;
        }
        // The save dialog offered the new tool project beside the Visual Basic project, under its name.
        const auto& request = f.t.fakes.dialogs.requests.back();
        EXPECT_EQ(request.kind, apptest::FakeDialogs::Kind::Save);
        EXPECT_EQ(request.file.folder + request.file.fileName, f.dir.path() + *r.saveAs);
        const std::string qlp = f.dir.path() + *r.saveAs;
        EXPECT_EQ(f.t.program.state.ProjectFileName, qlp);
        ASSERT_NE(f.Tool(), nullptr);
        EXPECT_EQ(f.Tool()->txtProject()->text().toStdString(), file);
        EXPECT_TRUE(Holds(testsupport::ReadBytes(qlp), "ProjectName=" + file));
        EXPECT_FALSE(f.t.program.state.ProjectChanged);
        EXPECT_EQ(f.frame->RecentProjects().front(), qlp);
    }
}

TEST(OpenProject, KnowsAToolProjectByItsExtensionOrItsSection) {
    testsupport::TempDir dir;
    apptest::InitLibrary();
    struct Row {
        const char* file;
        const char* content;
        ToolProjectCheck check;
    };
    const Row rows[] = {
        {"a.qlp", "", ToolProjectCheck::ToolProject},
        {"b.QLP", "anything\n", ToolProjectCheck::ToolProject},
        {"c.ini", "x=1\n[quillet]\nProjectName=/p/App.vbp\n", ToolProjectCheck::ToolProject},
        {"d.ini", "[Other]\nQuillet=1\n", ToolProjectCheck::NotAToolProject},
        {"e.vbg", "VBGROUP 5.0\r\n[Quillet]\r\n", ToolProjectCheck::VisualBasicProject},
        {"f.qlp", "\xFF\xFE[\0Q\0", ToolProjectCheck::Unusable},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        const std::string path = dir.path() + r.file;
        const std::string content(r.content,
                                  std::string_view(r.content).size() + (r.check == ToolProjectCheck::Unusable ? 3 : 0));
        testsupport::WriteBytes(path, content);
        EXPECT_EQ(quillet::toolwindow::CheckToolProjectFile(path), r.check);
        EXPECT_EQ(testsupport::ReadBytes(path), content);
    }
    // A link is what it leads to: a ".qlp" link into someone's shell start-up file is no tool
    // project, nor is the program's own settings file, however it is reached.
    const std::string settings = dir.path() + "Quillet.ini";
    testsupport::WriteBytes(settings, "[Quillet]\r\nLanguage=Default\r\n");
    testsupport::WriteBytes(dir.path() + "profile", "export PATH=$PATH:/opt/bin\n");
    std::filesystem::create_symlink("profile", dir.path() + "Evil.qlp");
    std::filesystem::create_symlink("Quillet.ini", dir.path() + "Settings.qlp");
    std::filesystem::create_symlink("a.qlp", dir.path() + "Good.link");
    EXPECT_EQ(quillet::toolwindow::CheckToolProjectFile(dir.path() + "Evil.qlp", settings),
              ToolProjectCheck::NotAToolProject);
    EXPECT_EQ(quillet::toolwindow::CheckToolProjectFile(dir.path() + "Settings.qlp", settings),
              ToolProjectCheck::NotAToolProject);
    EXPECT_EQ(quillet::toolwindow::CheckToolProjectFile(settings, settings), ToolProjectCheck::NotAToolProject);
    EXPECT_EQ(quillet::toolwindow::CheckToolProjectFile(dir.path() + "Good.link", settings),
              ToolProjectCheck::ToolProject);
    EXPECT_EQ(quillet::toolwindow::SuggestedToolProject("/src/Billing.v2.vbp"), "/src/Billing.v2.qlp");
}

TEST(ToolProject, ARecentEntryThatIsAVisualBasicProjectIsNeverWrittenInto) {
    FramedTool f;
    const std::string vbp = f.dir.path() + "Main.vbp";
    const std::string before = testsupport::ReadBytes(vbp);
    f.t.program.state.ProjectFileName = vbp;  // how an earlier version left the recent list
    f.frame->ProcessMenuList();
    f.t.program.state.ProjectFileName.clear();
    f.Click("mnuProjectList", 0);  // its save dialog is cancelled
    EXPECT_EQ(testsupport::ReadBytes(vbp), before);
    EXPECT_TRUE(f.t.program.state.ProjectFileName.empty());
    f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + "Main.qlp");
    f.Click("mnuProjectList", 0);
    EXPECT_EQ(testsupport::ReadBytes(vbp), before);
    EXPECT_EQ(f.t.program.state.ProjectFileName, f.dir.path() + "Main.qlp");
    EXPECT_TRUE(f.Tool()->ProjectLoaded());
}

// Open a tool project, close the tool window, pick a line-number choice, then open another tool
// project by one of three ways: the first tool project keeps every byte, and opens as it was saved.
TEST(ToolProject, KeepsItsProjectPathWhenTheToolWindowIsClosedAndAnotherOneIsOpened) {
    struct Row {
        const char* name;
        std::function<void(FramedTool& f, const std::string& other)> open;
    };
    const Row rows[] = {
        {"Open Project",
         [](FramedTool& f, const std::string& other) {
             f.t.fakes.dialogs.openResults.push_back(other);
             f.Click("mnuOpenProject");
         }},
        {"New Project answered Yes",
         [](FramedTool& f, const std::string& other) {
             f.t.fakes.messageBox.answers = {quillet::kYes};
             f.t.fakes.dialogs.saveResults.push_back(other);
             f.t.fakes.messageBox.answers.push_back(quillet::kYes);  // replace the file
             f.Click("mnuNewProject");
         }},
        {"a recent project",
         [](FramedTool& f, const std::string& other) {
             const auto& list = f.frame->RecentProjects();
             const auto at = std::find(list.begin(), list.end(), other);
             ASSERT_NE(at, list.end());
             f.Click("mnuProjectList", static_cast<int>(at - list.begin()));
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FramedTool f;
        const std::string other = f.dir.path() + "Other.qlp";
        f.NewProjectOnGroup(other);
        f.Click("mnuSaveProject");
        const std::string one = f.dir.path() + "One.qlp";
        f.NewProjectOnGroup(one);
        Choose(f.Tool(), true, "Trace");
        f.Click("mnuLineNumberIncrement", 2);
        f.Click("mnuSaveProject");
        const std::string saved = testsupport::ReadBytes(one);
        ASSERT_TRUE(Holds(saved, "ProjectName=" + f.group)) << saved;

        QTest::mouseClick(f.Tool()->Button("cmdExit"), Qt::LeftButton);
        apptest::ProcessEvents();
        ASSERT_EQ(f.Tool(), nullptr);
        f.Click("mnuLineNumberIncrement", 1);  // 20, with no tool window
        EXPECT_EQ(f.t.program.state.LineIncrement, 20);
        EXPECT_FALSE(f.t.program.state.ProjectChanged);
        f.t.fakes.messageBox.shown.clear();
        r.open(f, other);
        EXPECT_EQ(testsupport::ReadBytes(one), saved) << "the closed tool project was written";
        for (const std::string& p : f.t.fakes.messageBox.Prompts()) EXPECT_NE(p, "Do you want to save this project?");

        // Opened again, it brings back what was saved.
        f.t.program.state.ProjectChanged = false;
        f.t.fakes.dialogs.openResults.push_back(one);
        f.Click("mnuOpenProject");
        ASSERT_NE(f.Tool(), nullptr);
        EXPECT_EQ(f.Tool()->txtProject()->text().toStdString(), f.group);
        EXPECT_TRUE(f.Tool()->ProjectLoaded());
        EXPECT_EQ(f.Tool()->PrePanel()->Selected(), std::vector<std::string>{"Trace"});
        EXPECT_EQ(f.t.program.state.LineIncrement, 30);
    }
}

TEST(ToolProject, AToolProjectThatNamesNoVisualBasicProjectSaysSoWhenOpened) {
    FramedTool f;
    const std::string file = f.dir.path() + "Empty.qlp";
    testsupport::WriteBytes(file, "[Quillet]\nLineNumberIncrement=1\n");
    f.t.fakes.dialogs.openResults.push_back(file);
    f.Click("mnuOpenProject");
    ASSERT_FALSE(f.t.fakes.messageBox.shown.empty());
    EXPECT_NE(f.t.fakes.messageBox.Prompts().front().find("names no Visual Basic project"), std::string::npos);
    EXPECT_EQ(f.t.program.state.LineIncrement, 20);  // an LF file reads as written
}

TEST(ToolProject, AReadOnlyToolProjectIsNotReplacedAndTheSaveSaysWhy) {
    FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Fixed.qlp");
    f.Click("mnuSaveProject");
    const std::string file = f.dir.path() + "Fixed.qlp";
    const std::string saved = testsupport::ReadBytes(file);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    Choose(f.Tool(), true, "Trace");
    f.Click("mnuSaveProject");
    EXPECT_EQ(testsupport::ReadBytes(file), saved);
    EXPECT_TRUE(f.t.program.state.ProjectChanged);
    const std::string said = f.t.fakes.messageBox.Prompts().back();
    EXPECT_NE(said.find("could not be saved"), std::string::npos) << said;
    EXPECT_NE(said.find("is read-only"), std::string::npos) << said;
    // Nor does New Project replace it.
    f.t.fakes.messageBox.answers = {quillet::kNo};
    f.t.fakes.dialogs.saveResults.push_back(file);
    f.Click("mnuNewProject");
    EXPECT_EQ(testsupport::ReadBytes(file), saved);
    EXPECT_NE(f.t.fakes.messageBox.Prompts().back().find("cannot be made: the file is read-only"), std::string::npos);
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
}

TEST(ToolProject, ALinkedToolProjectIsSavedThroughItsLink) {
    FramedTool f;
    const std::string real = f.dir.path() + "shared/Real.qlp";
    testsupport::WriteBytes(real, "[Quillet]\nProjectName=" + f.group + "\n");
    const std::string link = f.dir.path() + "Linked.qlp";
    std::filesystem::create_symlink("shared/Real.qlp", link);
    f.t.fakes.dialogs.openResults.push_back(link);
    f.Click("mnuOpenProject");
    ASSERT_TRUE(f.Tool()->ProjectLoaded());
    Choose(f.Tool(), true, "Trace");
    f.Click("mnuSaveProject");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    const std::string text = testsupport::ReadBytes(real);
    EXPECT_EQ(text.find("[Quillet]"), text.rfind("[Quillet]")) << "a second section was added: " << text;
    EXPECT_TRUE(Holds(testsupport::ReadBytes(real), "CodeType1=Trace")) << testsupport::ReadBytes(real);
    // The line the save did not change keeps its own ending.
    EXPECT_NE(testsupport::ReadBytes(real).find("ProjectName=" + f.group + "\n"), std::string::npos);

    // New Project onto the link starts the file it leads to afresh; the link stays.
    f.t.fakes.messageBox.answers = {quillet::kNo};  // do not save the changes first
    f.t.fakes.dialogs.saveResults.push_back(link);
    f.Click("mnuNewProject");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(testsupport::ReadBytes(real).find("ProjectName=" + f.group), std::string::npos);
    EXPECT_EQ(f.t.program.state.ProjectFileName, link);
}

}  // namespace
