// The tool window driven as a user would: browse to a project group, tick and untick, choose
// snippets, Add Code, Cancel, Undo, line numbering; then what the window shows and what is on disk.
#include <gtest/gtest.h>

#include <filesystem>

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/toolwindow/SnippetPanel.h"
#include "app/views/TreeModel.h"
#include "tests/app/support/ToolFixture.h"

namespace {

using apptest::ToolFixture;
using testsupport::CrLf;
using testsupport::Lf;

constexpr const char* kMainProc = "Main.vbp_modMain.bas_Main_Sub_3";
constexpr const char* kDoWorkProc = "Main.vbp_modMain.bas_DoWork_Function_7";
constexpr const char* kTraceProc = "Main.vbp_modTrace.bas_TraceIt_Sub_1";
constexpr const char* kLibProc = "Lib.vbp_modLib.bas_LibWork_Sub_1";

// Clicks the node's check box in the tree view, as the user does.
void ClickCheckBox(ToolFixture& f, const char* key) {
    auto* view = f.w->treProject();
    const QModelIndex index = f.w->ProjectModel()->IndexOf(f.Node(key));
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, quillet::views::CheckIndicatorRect(view, index).center());
}

void ClickNodeText(ToolFixture& f, const char* key) {
    auto* view = f.w->treProject();
    const QModelIndex index = f.w->ProjectModel()->IndexOf(f.Node(key));
    view->scrollTo(index);
    const QRect check = quillet::views::CheckIndicatorRect(view, index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(check.right() + 40, check.center().y()));
}

TEST(ToolWindow, BrowsingAGroupShowsEveryMemberWithItsFilesAndProcedures) {
    ToolFixture f;
    f.Browse();
    auto& w = *f.w;
    EXPECT_EQ(w.txtProject()->text().toStdString(), f.group);
    EXPECT_TRUE(w.ProjectLoaded());
    EXPECT_TRUE(w.treProject()->isVisible());
    EXPECT_TRUE(w.SSTab1()->isEnabled());
    const engine::Tree& tree = w.State().treProject;
    ASSERT_NE(f.Node("Group.vbg"), engine::kNoNode);
    for (const char* key : {"Main.vbp", "Lib.vbp", "Main.vbp_modMain.bas", "Main.vbp_clsThing.cls", kMainProc,
                            kDoWorkProc, kLibProc})
        EXPECT_NE(f.Node(key), engine::kNoNode) << key;
    EXPECT_EQ(tree.Node(f.Node(kTraceProc)).foreColor, engine::kColorBlue);
    // The model shows what the engine holds, the root expanded.
    auto* model = w.ProjectModel();
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_TRUE(w.treProject()->isExpanded(model->IndexOf(f.Node("Group.vbg"))));
    // Nothing chosen yet: Add Code waits for a snippet; the load showed its elapsed time.
    EXPECT_FALSE(w.Button("cmdAddCode")->isEnabled());
    EXPECT_FALSE(w.Button("cmdCancel")->isEnabled());
    ASSERT_FALSE(f.t.fakes.messageBox.shown.empty());
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt.rfind("Reports Creation Elapsed Time - ", 0), 0u);
    EXPECT_TRUE(f.t.program.state.ProjectChanged);  // the path box changed
    EXPECT_FALSE(w.rtfMsg()->isVisible());
}

TEST(ToolWindow, ABrowseThatIsCancelledChangesNothing) {
    ToolFixture f;
    f.Browse();
    const auto shown = f.t.fakes.messageBox.shown.size();
    QTest::mouseClick(f.w->Button("cmdBrowse"), Qt::LeftButton);  // no answer queued: cancelled
    EXPECT_EQ(f.w->txtProject()->text().toStdString(), f.group);
    EXPECT_TRUE(f.w->ProjectLoaded());
    EXPECT_EQ(f.t.fakes.messageBox.shown.size(), shown);
}

TEST(ToolWindow, TickingANodePassesItsStateDownButTheTraceModuleStaysUnchecked) {
    ToolFixture f;
    f.Browse();
    ClickCheckBox(f, "Main.vbp_modMain.bas");  // untick the file: its procedures follow
    EXPECT_FALSE(f.Checked("Main.vbp_modMain.bas"));
    EXPECT_FALSE(f.Checked(kMainProc));
    EXPECT_FALSE(f.Checked(kDoWorkProc));
    ClickCheckBox(f, "Main.vbp_modMain.bas");
    EXPECT_TRUE(f.Checked(kMainProc));
    // The trace module cannot be ticked, neither its file nor (by keyboard) its procedure.
    ClickCheckBox(f, "Main.vbp_modTrace.bas");
    EXPECT_FALSE(f.Checked("Main.vbp_modTrace.bas"));
    auto* view = f.w->treProject();
    view->setCurrentIndex(f.w->ProjectModel()->IndexOf(f.Node(kTraceProc)));
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_FALSE(f.Checked(kTraceProc));
    // The mouse does not reach the blue procedure at all: not selected, not checked.
    ClickCheckBox(f, kTraceProc);
    EXPECT_FALSE(f.Checked(kTraceProc));
    // Unticking and ticking the root reaches every procedure, except the blue ones.
    ClickCheckBox(f, "Group.vbg");
    EXPECT_FALSE(f.Checked(kLibProc));
    ClickCheckBox(f, "Group.vbg");
    EXPECT_TRUE(f.Checked(kLibProc));
    EXPECT_TRUE(f.Checked(kDoWorkProc));
    EXPECT_FALSE(f.Checked(kTraceProc));
}

// A node above procedures shows what they hold, as tri-state trees do; Add Code reaches a ticked
// procedure whatever its file's node showed, and with nothing ticked it says so and changes nothing.
TEST(ToolWindow, TickingOnlyProceduresShowsTheirFilePartlyTickedAndAddCodeReachesThem) {
    ToolFixture f;
    f.Browse();
    auto* model = f.w->ProjectModel();
    const auto shown = [&](const char* key) { return model->data(model->IndexOf(f.Node(key)), Qt::CheckStateRole).toInt(); };
    EXPECT_EQ(shown("Group.vbg"), Qt::Checked);  // as loaded: the blue trace procedure does not count
    EXPECT_EQ(shown("Main.vbp_modTrace.bas"), Qt::Unchecked);  // nothing in it can take code

    const std::string mainBefore = f.Read("modMain.bas"), libBefore = f.Read("Sub/modLib.bas"),
                      vbpBefore = f.Read("Main.vbp"), libVbpBefore = f.Read("Sub/Lib.vbp");
    f.ChooseSnippet(true, "Trace");
    ClickCheckBox(f, "Group.vbg");  // everything unticked
    EXPECT_EQ(shown("Group.vbg"), Qt::Unchecked);
    QTest::mouseClick(f.w->Button("cmdAddCode"), Qt::LeftButton);
    apptest::ProcessEvents();
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt, "No (Module/Form/Class) items checked to add code to");
    EXPECT_EQ(f.Read("modMain.bas"), mainBefore);
    EXPECT_EQ(f.Read("Main.vbp"), vbpBefore);
    EXPECT_FALSE(std::filesystem::exists(f.dir.path() + "Backup"));
    EXPECT_FALSE(f.w->Busy());

    ClickCheckBox(f, kDoWorkProc);  // one procedure of modMain, its file's node unticked
    EXPECT_FALSE(f.Checked("Main.vbp_modMain.bas"));
    EXPECT_EQ(shown("Main.vbp_modMain.bas"), Qt::PartiallyChecked);
    EXPECT_EQ(shown("Main.vbp_Modules"), Qt::PartiallyChecked);
    EXPECT_EQ(shown("Group.vbg"), Qt::PartiallyChecked);
    EXPECT_EQ(shown("Lib.vbp"), Qt::Unchecked);
    QTest::mouseClick(f.w->Button("cmdAddCode"), Qt::LeftButton);
    apptest::ProcessEvents();
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt.rfind("Code Processing Done", 0), 0u)
        << f.t.fakes.messageBox.shown.back().prompt;
    EXPECT_EQ(f.Read("modMain.bas"),
              CrLf({"Attribute VB_Name = \"modMain\"", "Option Explicit", "", "Public Sub Main()",
                    "    InitTraceLog App", "    DoWork 1", "End Sub", "",
                    "Private Function DoWork(ByVal n As Long) As Long", "    WriteTraceLog \"DoWork\", 1",
                    "    DoWork = n + 1", "", "End Function"}));  // no post code chosen: an empty line
    EXPECT_EQ(f.Read("Sub/modLib.bas"), libBefore);
    EXPECT_EQ(f.Read("Sub/Lib.vbp"), libVbpBefore);  // no file of that member changed
    EXPECT_NE(f.Read("Main.vbp").find("Reference="), std::string::npos);

    // A click on a partly ticked file ticks all its procedures (the reload ticked everything again).
    ClickCheckBox(f, "Main.vbp_modMain.bas");
    ClickCheckBox(f, kMainProc);
    EXPECT_EQ(shown("Main.vbp_modMain.bas"), Qt::PartiallyChecked);
    ClickCheckBox(f, "Main.vbp_modMain.bas");
    EXPECT_EQ(shown("Main.vbp_modMain.bas"), Qt::Checked);
    for (engine::NodeId p : f.w->State().treProject.Children(f.Node("Main.vbp_modMain.bas")))
        EXPECT_TRUE(f.w->State().treProject.Node(p).checked);
}

TEST(ToolWindow, AClickOnAProcedureOpensItsFileAtItsLineAndOneOnTheCheckBoxOnlyChecks) {
    ToolFixture f;
    f.Browse();
    ClickNodeText(f, kLibProc);  // a member in a sub-folder
    ASSERT_EQ(f.viewed.size(), 1u);
    EXPECT_EQ(f.viewed[0].first, f.dir.path() + "Sub/modLib.bas");
    EXPECT_EQ(f.viewed[0].second, 1);
    ClickNodeText(f, kDoWorkProc);
    ASSERT_EQ(f.viewed.size(), 2u);
    EXPECT_EQ(f.viewed[1].first, f.dir.path() + "modMain.bas");
    EXPECT_EQ(f.viewed[1].second, 7);
    ClickCheckBox(f, kDoWorkProc);
    EXPECT_EQ(f.viewed.size(), 2u);
    EXPECT_FALSE(f.Checked(kDoWorkProc));
    ClickNodeText(f, "Main.vbp_modMain.bas");  // a file node names no line
    EXPECT_EQ(f.viewed.size(), 2u);
}

TEST(ToolWindow, AddCodeRewritesTheCheckedProceduresAndUndoBringsEveryFileBack) {
    ToolFixture f;
    f.Browse();
    const std::string mainBefore = f.Read("modMain.bas"), libBefore = f.Read("Sub/modLib.bas"),
                      traceBefore = f.Read("modTrace.bas"), vbpBefore = f.Read("Main.vbp");
    f.ChooseSnippet(true, "Trace");
    f.ChooseSnippet(false, "Trace");
    ClickCheckBox(f, kDoWorkProc);  // left alone
    ASSERT_TRUE(f.w->Button("cmdAddCode")->isEnabled());
    QTest::mouseClick(f.w->Button("cmdAddCode"), Qt::LeftButton);
    apptest::ProcessEvents();

    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt.rfind("Code Processing Done", 0), 0u)
        << f.t.fakes.messageBox.shown.back().prompt;
    EXPECT_EQ(f.Read("modMain.bas"),
              CrLf({"Attribute VB_Name = \"modMain\"", "Option Explicit", "", "Public Sub Main()",
                    "    InitTraceLog App", "    WriteTraceLog \"Main\", 1", "    DoWork 1",
                    "    WriteTraceLog \"Main\", 2", "End Sub", "", "Private Function DoWork(ByVal n As Long) As Long",
                    "    DoWork = n + 1", "End Function"}));
    // The LF member keeps its line ends.
    EXPECT_EQ(f.Read("Sub/modLib.bas"),
              Lf({"Attribute VB_Name = \"modLib\"", "Public Sub LibWork()", "    WriteTraceLog \"LibWork\", 1",
                  "    Debug.Print \"lib\"", "    WriteTraceLog \"LibWork\", 2", "End Sub"}));
    EXPECT_EQ(f.Read("modTrace.bas"), traceBefore);
    EXPECT_NE(f.Read("Main.vbp").find("Reference=*\\G{51F6A938-EA06-44FF-8AEA-74A2A4BF8543}"), std::string::npos);
    EXPECT_EQ(f.Read("Backup/modMain.bas"), mainBefore);
    // The window shows the new state and offers the undo.
    EXPECT_TRUE(f.w->ProjectLoaded());
    EXPECT_TRUE(f.w->Button("cmdUndoLastChange")->isEnabled());
    EXPECT_FALSE(f.w->Busy());

    QTest::mouseClick(f.w->Button("cmdUndoLastChange"), Qt::LeftButton);
    apptest::ProcessEvents();
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt.rfind("Last Changes Undone", 0), 0u);
    EXPECT_EQ(f.Read("modMain.bas"), mainBefore);
    EXPECT_EQ(f.Read("Sub/modLib.bas"), libBefore);
    EXPECT_EQ(f.Read("Main.vbp"), vbpBefore);
    EXPECT_FALSE(f.w->Button("cmdUndoLastChange")->isEnabled());
}

TEST(ToolWindow, AddCodeIsRefusedWithAMessageWhenNoSnippetIsChosen) {
    ToolFixture f;
    f.Browse();
    const std::string before = f.Read("modMain.bas");
    EXPECT_FALSE(f.w->Button("cmdAddCode")->isEnabled());
    f.w->cmdAddCode_Click();  // the command refuses too
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt, "No Pre or Post Code Selected");
    EXPECT_EQ(f.Read("modMain.bas"), before);
    EXPECT_FALSE(std::filesystem::exists(f.dir.path() + "Backup"));
}

// A project big enough that Add Code serves the event loop several times.
std::string WriteBigProject(const std::string& folder, int files, int procs) {
    std::string vbp = "Type=Exe\r\n";
    for (int i = 0; i < files; ++i) {
        const std::string name = "mod" + std::to_string(i);
        vbp += "Module=" + name + "; " + name + ".bas\r\n";
        std::string text = "Attribute VB_Name = \"" + name + "\"\r\n";
        for (int p = 0; p < procs; ++p) {
            const std::string proc = "P" + std::to_string(i) + "_" + std::to_string(p);
            text += "Public Sub " + proc + "()\r\n";
            for (int l = 0; l < 20; ++l) text += "    x = x + " + std::to_string(l) + "\r\n";
            text += "End Sub\r\n";
        }
        testsupport::WriteBytes(folder + name + ".bas", text);
    }
    testsupport::WriteBytes(folder + "Big.vbp", vbp);
    return folder + "Big.vbp";
}

TEST(ToolWindow, CancelDuringAddCodeCommitsNothing) {
    ToolFixture f;
    const std::string big = WriteBigProject(f.dir.path() + "big/", 80, 60);
    f.Browse(big);
    ASSERT_TRUE(f.w->ProjectLoaded());
    const std::string first = f.Read("big/mod0.bas"), last = f.Read("big/mod79.bas"), vbp = f.Read("big/Big.vbp");
    f.ChooseSnippet(true, "Trace");
    // The user presses Cancel as soon as it can be pressed.
    QTimer timer;
    int clicks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* cancel = f.w->Button("cmdCancel");
        if (clicks == 0 && cancel->isEnabled()) {
            ++clicks;
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
    });
    timer.start(0);
    QTest::mouseClick(f.w->Button("cmdAddCode"), Qt::LeftButton);
    timer.stop();
    ASSERT_EQ(clicks, 1);
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt.rfind("Code Processing Canceled", 0), 0u)
        << f.t.fakes.messageBox.shown.back().prompt;
    EXPECT_EQ(f.Read("big/mod0.bas"), first);
    EXPECT_EQ(f.Read("big/mod79.bas"), last);
    EXPECT_EQ(f.Read("big/Big.vbp"), vbp);
    EXPECT_FALSE(std::filesystem::exists(f.dir.path() + "big/Backup/mod0.bas"));
    EXPECT_FALSE(f.t.program.state.CancelRequested);
    EXPECT_FALSE(f.w->Busy());
    EXPECT_TRUE(f.w->ProjectLoaded());
}

// A project whose definition reports take a while: many module-level declarations.
std::string WriteProjectWithManyDefinitions(const std::string& folder, int files, int definitions) {
    std::string vbp = "Type=Exe\r\n";
    for (int i = 0; i < files; ++i) {
        const std::string name = "mod" + std::to_string(i);
        vbp += "Module=" + name + "; " + name + ".bas\r\n";
        std::string text = "Attribute VB_Name = \"" + name + "\"\r\n";
        for (int d = 0; d < definitions; ++d) text += "Private v" + std::to_string(d) + " As Long\r\n";
        text += "Public Sub Work" + std::to_string(i) + "()\r\n    v1 = 2\r\nEnd Sub\r\n";
        testsupport::WriteBytes(folder + name + ".bas", text);
    }
    testsupport::WriteBytes(folder + "Defs.vbp", vbp);
    return folder + "Defs.vbp";
}

// Cancel while the files are read leaves nothing loaded; Cancel while the reports are made leaves
// the project loaded with every report it stopped marked incomplete. Either way the window says
// that the load was cancelled, in the status line and in a box, not with the elapsed time.
TEST(ToolWindow, ALoadCancelledSaysSoAndMarksTheReportsItDidNotFinish) {
    const struct {
        const char* cancelAt;  // the status line at which the user presses Cancel
        bool loaded;
    } rows[] = {{"Scanning ", false}, {"Processing Definition Report", true}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.cancelAt);
        ToolFixture f;
        const std::string project = WriteProjectWithManyDefinitions(f.dir.path() + "defs/", 20, 6000);
        QTimer timer;
        int clicks = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* cancel = f.w->Button("cmdCancel");
            if (clicks == 0 && cancel->isEnabled() && f.w->rtfMsg()->toPlainText().startsWith(r.cancelAt)) {
                ++clicks;
                QTest::mouseClick(cancel, Qt::LeftButton);
            }
        });
        timer.start(0);
        f.Browse(project);
        timer.stop();
        ASSERT_EQ(clicks, 1);
        const std::string box = f.t.fakes.messageBox.shown.back().prompt;
        EXPECT_EQ(box.rfind("Project Load Canceled - ", 0), 0u) << box;
        EXPECT_NE(box.find(r.loaded ? "The project is loaded" : "The project is not loaded"), std::string::npos) << box;
        for (const auto& shown : f.t.fakes.messageBox.shown)
            EXPECT_EQ(shown.prompt.find("Elapsed Time"), std::string::npos) << shown.prompt;
        EXPECT_TRUE(f.w->rtfMsg()->isVisible());
        EXPECT_TRUE(f.w->rtfMsg()->toPlainText().startsWith("Project Load Canceled - "));
        EXPECT_EQ(f.w->ProjectLoaded(), r.loaded);
        EXPECT_EQ(f.w->SSTab1()->isEnabled(), r.loaded);
        EXPECT_FALSE(f.w->Busy());
        if (!r.loaded) continue;
        // The API report comes last: Cancel stopped it before it began.
        const QString incomplete = "*** This report is incomplete: it was stopped by Cancel. ***";
        const QString apis = f.w->ReportBox(5)->toPlainText();
        EXPECT_TRUE(apis.trimmed().endsWith(incomplete)) << apis.toStdString();
        EXPECT_TRUE(f.w->ReportBox(4)->toPlainText().trimmed().endsWith(incomplete));
        // The project itself is complete: Add Code may run on it.
        EXPECT_TRUE(f.w->State().model.Loaded);
    }
}

// With no printer the report goes into a PDF file: the status line says so while it prints and
// says where the file went, with its pages, once it is done; a job that fails says nothing there.
TEST(ToolWindow, PrintingToAPdfFileSaysWhereItWent) {
    ToolFixture f;
    f.Browse();
    f.w->SSTab1()->SetTab(2);  // Module Definitions
    std::vector<QString> lines;
    QObject::connect(f.w->rtfMsg(), &QTextEdit::textChanged, [&] { lines.push_back(f.w->rtfMsg()->toPlainText()); });
    const std::string pdf = f.dir.path() + "modules.pdf";
    f.t.fakes.dialogs.saveResults = {pdf};
    const auto boxes = f.t.fakes.messageBox.shown.size();
    QTest::mouseClick(f.w->Button("cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(testsupport::ReadBytes(pdf).rfind("%PDF", 0), 0u);
    EXPECT_EQ(f.t.fakes.messageBox.shown.size(), boxes);  // no box to answer
    const QString where = QString::fromStdString("the PDF file " + pdf);
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), "Printing to " + where + " ...") != lines.end());
    EXPECT_TRUE(f.w->rtfMsg()->isVisible());
    EXPECT_EQ(f.w->rtfMsg()->toPlainText(), "Printed 1 page to " + where);
    EXPECT_TRUE(f.w->Button("cmdPrint")->isEnabled());

    // A file that cannot be written: one message, and the status line does not claim it went.
    f.t.fakes.dialogs.saveResults = {f.dir.path() + "no/such/folder/x.pdf"};
    QTest::mouseClick(f.w->Button("cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt.rfind("Unable To Print - ", 0), 0u);
    EXPECT_FALSE(f.w->rtfMsg()->isVisible());
}

TEST(ToolWindow, LineNumbersGoIntoEveryProcedureAndUndoTakesThemOut) {
    ToolFixture f;
    f.Browse();
    const std::string before = f.Read("modMain.bas");
    f.t.program.state.LineIncrementIndex = 1;
    f.t.program.state.LineIncrement = 20;
    f.t.program.state.ResequenceIndex = 2;
    f.w->rtnAddLineNumbers();
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt.rfind("Line Numbers Added / Renumbered", 0), 0u);
    EXPECT_EQ(f.Read("modMain.bas"),
              CrLf({"Attribute VB_Name = \"modMain\"", "Option Explicit", "", "Public Sub Main()",
                    "000020     DoWork 1", "End Sub", "", "Private Function DoWork(ByVal n As Long) As Long",
                    "000020     DoWork = n + 1", "End Function"}));
    EXPECT_TRUE(f.w->Button("cmdUndoLastChange")->isEnabled());
    QTest::mouseClick(f.w->Button("cmdUndoLastChange"), Qt::LeftButton);
    EXPECT_EQ(f.Read("modMain.bas"), before);
}

TEST(ToolWindow, LineNumbersAndAddCodeWaitForACompletelyLoadedProject) {
    ToolFixture f;
    f.Browse(f.dir.path() + "Missing.vbp");
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt, "Project does not exist - " + f.dir.path() + "Missing.vbp");
    EXPECT_FALSE(f.w->ProjectLoaded());
    const auto boxes = f.t.fakes.messageBox.shown.size();
    f.w->rtnAddLineNumbers();
    f.w->cmdAddCode_Click();
    EXPECT_EQ(f.t.fakes.messageBox.shown.size(), boxes);
    EXPECT_FALSE(f.w->SSTab1()->isEnabled());
}

TEST(ToolWindow, CalledRoutinesAreBuiltOnTheFirstVisitOfTheirTabAndAgainAfterACancel) {
    ToolFixture f;
    f.Browse();
    auto& w = *f.w;
    EXPECT_FALSE(w.State().RoutinesMatched);
    // A cancel flag left standing cancels the build at once; the visit clears it.
    f.t.program.state.CancelRequested = true;
    w.SSTab1()->SetTab(1);
    EXPECT_FALSE(w.State().RoutinesMatched);
    EXPECT_FALSE(f.t.program.state.CancelRequested);
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt.rfind("Called Routines Canceled - ", 0), 0u);
    w.SSTab1()->SetTab(0);
    w.SSTab1()->SetTab(1);
    EXPECT_TRUE(w.State().RoutinesMatched);
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt.rfind("Called Routines Elaspsed Time - ", 0), 0u);
    EXPECT_GT(w.RoutinesModel()->rowCount(), 0);
    EXPECT_TRUE(w.Button("cmdSave")->isEnabled());
    EXPECT_EQ(w.Button("cmdPrint")->text(), "&Print Called Routines");
    // A later visit does not build again.
    const auto shown = f.t.fakes.messageBox.shown.size();
    w.SSTab1()->SetTab(2);
    w.SSTab1()->SetTab(1);
    EXPECT_EQ(f.t.fakes.messageBox.shown.size(), shown);
}

TEST(ToolWindow, EveryControlHasAnAccessibleName) {
    ToolFixture f;
    for (QObject* c : tovcore::ui::Controls(f.w.get())) {
        auto* widget = qobject_cast<QWidget*>(c);
        if (!widget) continue;
        const auto caption = tovcore::ui::GetProperty(c, "Caption");
        const bool named = !widget->accessibleName().isEmpty() || (caption && !caption->toString().isEmpty());
        EXPECT_TRUE(named) << c->objectName().toStdString();
    }
}

}  // namespace

namespace {

TEST(LogSwitches, WriteTheirKeyAndStartOrStopTheLogAtOnceAndTheFramesItemFollows) {
    apptest::FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Logs.qlp");
    auto* w = f.Tool();
    ASSERT_NE(w, nullptr);
    const std::string ini = f.t.program.state.IniFileName;
    struct Case {
        int index;
        const char* key;
        const char* item;
        std::string quillet::ProgramState::*path;
    };
    for (const Case c : {Case{0, "Debug", "mnuViewDebugLog", &quillet::ProgramState::DebugLogFile},
                         Case{1, "Error", "mnuViewErrorLog", &quillet::ProgramState::ErrorLogFile},
                         Case{2, "Log", "mnuViewLog", &quillet::ProgramState::LogFile}}) {
        SCOPED_TRACE(c.key);
        auto* box = w->chkLog(c.index);
        if (box->Value() == 0) QTest::mouseClick(box, Qt::LeftButton);
        ASSERT_EQ(box->Value(), 1);
        const std::string path = f.t.program.state.*c.path;
        ASSERT_FALSE(path.empty());
        EXPECT_TRUE(std::filesystem::exists(path));
        EXPECT_EQ(tovcore::Global().GetIniString("Quillet", c.key, "", ini), "True");
        EXPECT_TRUE(f.frame->MenuItem(c.item)->isEnabled());
        QTest::mouseClick(box, Qt::LeftButton);  // off
        EXPECT_EQ(tovcore::Global().GetIniString("Quillet", c.key, "", ini), "False");
        EXPECT_TRUE((f.t.program.state.*c.path).empty());
        EXPECT_FALSE(f.frame->MenuItem(c.item)->isEnabled());
        QTest::mouseClick(box, Qt::LeftButton);  // on again: a fresh log
        EXPECT_EQ(f.t.program.state.*c.path, path);
        EXPECT_TRUE(f.frame->MenuItem(c.item)->isEnabled());
    }
}

TEST(ClosingTheProgram, ACloseDuringAddCodeCancelsItAndIsCarriedOutOnceItHasUnwound) {
    apptest::FramedTool f;
    testsupport::TempDir bigDir;
    const std::string big = WriteBigProject(bigDir.path(), 80, 60);
    f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + "Busy.qlp");
    f.Click("mnuNewProject");
    f.t.fakes.dialogs.openResults.push_back(big);
    QTest::mouseClick(f.Tool()->Button("cmdBrowse"), Qt::LeftButton);
    const std::string first = testsupport::ReadBytes(bigDir.path() + "mod0.bas");
    f.Tool()->PrePanel()->Combo()->setEditText("Trace");
    QTest::mouseClick(f.Tool()->PrePanel()->AddButton(), Qt::LeftButton);
    f.t.fakes.messageBox.answers = {quillet::kOk, quillet::kNo};  // the outcome, then the close question
    QTimer timer;
    bool asked = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!asked && f.Tool() && f.Tool()->Busy()) {
            asked = true;
            f.frame->close();  // the window's close box
        }
    });
    timer.start(0);
    QTest::mouseClick(f.Tool()->Button("cmdAddCode"), Qt::LeftButton);
    timer.stop();
    ASSERT_TRUE(asked);
    for (int i = 0; i < 5 && f.frame; ++i) apptest::ProcessEvents();
    EXPECT_TRUE(f.frame.isNull() || !f.frame->isVisible());
    const auto prompts = f.t.fakes.messageBox.Prompts();
    ASSERT_GE(prompts.size(), 2u);
    EXPECT_NE(std::find_if(prompts.begin(), prompts.end(),
                           [](const std::string& p) { return p.rfind("Code Processing Canceled", 0) == 0; }),
              prompts.end());
    EXPECT_EQ(testsupport::ReadBytes(bigDir.path() + "mod0.bas"), first);
}

// The program is closed while a Visual Basic project loads, with a change of the tool project not
// yet saved: the load stops, and then the close asks about the tool project as it would after it.
TEST(ClosingTheProgram, ACloseDuringALoadStopsItThenAsksAboutTheChangedToolProject) {
    struct Row {
        const char* name;
        std::int32_t answer;
        bool closes, saved;
    };
    const Row rows[] = {
        {"Yes saves and closes", quillet::kYes, true, true},
        {"No closes and saves nothing", quillet::kNo, true, false},
        {"Cancel keeps the program open", quillet::kCancel, false, false},
    };
    for (const bool whileReading : {false, true})
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(r.name) +
                         (whileReading ? ", closed while the files are read" : ", closed as it starts"));
            apptest::FramedTool f;
            testsupport::TempDir bigDir;
            const std::string big = WriteBigProject(bigDir.path(), 80, 60);
            const std::string qlp = f.dir.path() + "Loading.qlp";
            f.NewProjectOnGroup(qlp);
            f.Click("mnuSaveProject");
            const std::string before = testsupport::ReadBytes(qlp);
            f.Tool()->PrePanel()->Combo()->setEditText("Trace");
            QTest::mouseClick(f.Tool()->PrePanel()->AddButton(), Qt::LeftButton);
            ASSERT_TRUE(f.t.program.state.ProjectChanged);

            f.t.fakes.messageBox.shown.clear();
            f.t.fakes.messageBox.answers = {r.answer};
            QTimer timer;
            bool closed = false;
            QObject::connect(&timer, &QTimer::timeout, [&] {
                if (!closed && f.Tool() && f.Tool()->Busy() && (!whileReading || f.Tool()->State().LoadBusy)) {
                    closed = true;
                    f.frame->close();  // the window's close box, while the project loads
                }
            });
            timer.start(0);
            f.t.fakes.dialogs.openResults.push_back(big);
            QTest::mouseClick(f.Tool()->Button("cmdBrowse"), Qt::LeftButton);
            timer.stop();
            ASSERT_TRUE(closed);
            for (int i = 0; i < 5 && f.frame; ++i) apptest::ProcessEvents();

            const auto prompts = f.t.fakes.messageBox.Prompts();
            ASSERT_FALSE(prompts.empty()) << "the close asked nothing";
            EXPECT_EQ(prompts.front(), "Do you want to save this project?");
            EXPECT_EQ(f.frame.isNull() || !f.frame->isVisible(), r.closes);
            const std::string after = testsupport::ReadBytes(qlp);
            if (r.saved) {
                EXPECT_NE(after.find("CodeType1=Trace\r\n"), std::string::npos) << after;
                EXPECT_NE(after.find("ProjectName=" + big + "\r\n"), std::string::npos) << after;
            } else {
                EXPECT_EQ(after, before);
            }
            if (!r.closes) {
                ASSERT_NE(f.Tool(), nullptr);
                EXPECT_FALSE(f.Tool()->Busy());
                EXPECT_TRUE(f.t.program.state.ProjectChanged);
                EXPECT_FALSE(f.frame->ClosePending());
                EXPECT_FALSE(f.t.program.state.CancelRequested);
            }
        }
}

}  // namespace

namespace {

// Captioned controls and tabs of the tool window that are drawn narrower or lower than their text
// needs, and buttons of the bottom strip that cover one another; "" when there is none.
std::string CutOrCovered(quillet::toolwindow::frmQuillet* w) {
    std::string out;
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (!c->isVisibleTo(w) || c->objectName().isEmpty()) continue;
        if (!qobject_cast<QAbstractButton*>(c) && !qobject_cast<QLabel*>(c)) continue;
        const QSize need = c->minimumSizeHint();
        if (c->width() < need.width() || c->height() < need.height())
            out += c->objectName().toStdString() + " is cut\n";
    }
    QFont bold = w->SSTab1()->font();
    bold.setBold(true);
    for (int i = 0; i < w->SSTab1()->Tabs(); ++i) {
        QString caption = w->SSTab1()->TabCaption(i);
        caption.remove('&');
        if (QFontMetrics(bold).horizontalAdvance(caption) > w->SSTab1()->TabRect(i).width() - 10)
            out += "tab " + caption.toStdString() + " is cut\n";
    }
    const auto buttons = w->findChild<QWidget*>("fraButton")->findChildren<QAbstractButton*>();
    for (QAbstractButton* a : buttons)
        for (QAbstractButton* b : buttons)
            if (a < b && a->isVisibleTo(w) && b->isVisibleTo(w) && a->geometry().intersects(b->geometry()))
                out += a->objectName().toStdString() + " covers " + b->objectName().toStdString() + "\n";
    return out;
}

TEST(ToolWindowLayout, TheFrameKeepsEveryCaptionWholeHoweverSmallItIsMade) {
    apptest::FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Small.qlp");
    auto* w = f.Tool();
    ASSERT_NE(w, nullptr);
    struct Row {
        const char* name;
        QSize size;
        int tab;  // the Print button names the tab's caption
    };
    const Row rows[] = {
        {"roomy", {1280, 900}, 0},
        {"the first start's place", {640, 480}, 0},
        {"tiny", {200, 120}, 0},
        {"tiny, on the longest tab caption", {200, 120}, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        w->SSTab1()->SetTab(r.tab);
        apptest::ProcessEvents();
        f.frame->resize(r.size);
        apptest::ProcessEvents();
        EXPECT_EQ(CutOrCovered(w), "");
        EXPECT_EQ(w->size(), f.frame->ClientArea()->size());
    }
}

}  // namespace

namespace {

TEST(ToolWindowLayout, CaptionsLongerThanTheScreenAreCutAndEveryButtonStaysInTheWindow) {
    apptest::FramedTool f;
    // A language file whose captions are far longer than any designed one.
    const std::string file = f.t.program.state.LanguagesFolder + "Long.ist";
    testsupport::WriteBytes(file, testsupport::CrLf({"[frmQuillet]", "SSTab1_1=Called " + std::string(400, 'X'),
                                                     "cmdAddCode=&Add " + std::string(300, 'Y')}));
    f.t.program.state.LanguageFile = file;
    f.t.program.state.LanguageFileExists = true;
    f.NewProjectOnGroup(f.dir.path() + "Long.qlp");
    auto* w = f.Tool();
    ASSERT_NE(w, nullptr);
    const QRect screen = f.frame->screen()->availableGeometry();
    for (QSize size : {QSize(200, 120), screen.size()}) {
        f.frame->resize(size);
        apptest::ProcessEvents();
        EXPECT_LE(f.frame->width(), screen.width());
        std::string outside;
        for (QWidget* c : w->findChild<QWidget*>("fraButton")->findChildren<QAbstractButton*>())
            if (c->isVisibleTo(w) && !w->rect().contains(QRect(c->mapTo(w, QPoint(0, 0)), c->size())))
                outside += c->objectName().toStdString() + " ";
        EXPECT_EQ(outside, "") << "buttons outside the window";
    }
}

}  // namespace
