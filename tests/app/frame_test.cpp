// The frame window: its menu tree and states, the recent-project list, the colour commands, the
// line-numbering choices, the log viewers and help items, and closing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QColorDialog>
#include <QCoreApplication>
#include <QEvent>
#include <QActionGroup>
#include <QImage>
#include <QMenu>
#include <QMenuBar>

#include <tovcore/clsTovcore.h>

#include "app/core/Settings.h"
#include "app/frame/Swatch.h"
#include "app/services/QtServices.h"
#include "tests/app/support/FrameFixture.h"
#include "tests/app/support/ToolFixture.h"
#include "tests/support/testsupport.h"

namespace {

using namespace quillet;
using apptest::FrameFixture;
namespace ui = tovcore::ui;

tovcore::clsTovcore& Lib() { return tovcore::Global(); }

// ---- the menu tree ---------------------------------------------------------------------------

struct MenuRow {
    const char* parent;  // "" for the menu bar
    const char* name;
    int index;
    const char* caption;
    bool enabled;  // at start, before the tool window and with no log started (a hidden item
                   // reads as disabled)
    bool visible;
};

// Every item in menu order, with its state right after the frame has loaded.
const MenuRow kTree[] = {
    {"", "mnuFile", -1, "&File", true, true},
    {"mnuFile", "mnuNewProject", -1, "New Project", true, true},
    {"mnuFile", "mnuOpenProject", -1, "Open Project", true, true},
    {"mnuFile", "mnuSaveProject", -1, "Save Project", false, true},
    {"mnuFile", "mnuSaveProjectAs", -1, "Save Project As", false, true},
    {"mnuFile", "mnuPrintAll", -1, "&Print All", false, true},
    {"mnuFile", "mnuLineNumberIncrements", -1, "Line Number &Increment", true, true},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 0, "10", true, true},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 1, "20", true, true},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 2, "30", true, true},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 3, "40", true, true},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 4, "50", true, true},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 9, "100", true, true},
    {"mnuFile", "LineNumberResequence", -1, "&Line Number Resequence", true, true},
    {"LineNumberResequence", "mnuLineNumberResequence", 0, "Whole Project", true, true},
    {"LineNumberResequence", "mnuLineNumberResequence", 1, "Module/Form/Class", true, true},
    {"LineNumberResequence", "mnuLineNumberResequence", 2, "Sub/Function", true, true},
    {"mnuFile", "mnuAddLineNumbers", -1, "&Add Line Numbers / Renumber", false, true},
    {"mnuFile", "mnuRemoveLineNumbers", -1, "&Remove Line Numbers", false, true},
    {"mnuFile", "mnuExit", -1, "Exit", true, true},
    {"mnuFile", "mnuSep", -1, "---------- Recent Projects ------------", false, true},
    {"mnuFile", "mnuProjectList", 0, "(none)", false, true},
    {"", "mnuColors", -1, "C&olors", false, false},
    {"mnuColors", "mnuSelectFormColor", -1, "&Form Color", true, true},
    {"mnuColors", "mnuSelectDisplayColor", -1, "&Display Color", true, true},
    {"mnuColors", "mnuButtonTabColor", -1, "&Button and Tab Color", true, true},
    {"mnuColors", "mnuButtonTabTextColor", -1, "Button And Tab Text Color", true, true},
    {"", "mnuView", -1, "&View", true, true},
    {"mnuView", "mnuRefresh", -1, "&Refresh", true, true},
    {"", "mnuSettings", -1, "Se&ttings", true, true},
    {"mnuSettings", "mnuCheckForUpdates", -1, "Check For Updates", true, true},
    {"", "mnurtfpopup", -1, "rtfpopup", false, false},
    {"mnurtfpopup", "mnurtfSearch", -1, "Search", true, true},
    {"mnurtfpopup", "mnurtfCopy", -1, "Copy", true, true},
    {"", "mnuViewLogs", -1, "&Logs", true, true},
    {"mnuViewLogs", "mnuViewDebugLog", -1, "&Debug", false, true},
    {"mnuViewLogs", "mnuViewErrorLog", -1, "&Error", false, true},
    {"mnuViewLogs", "mnuViewLog", -1, "&Log", false, true},
    {"", "mnuHelp", -1, "&Help", true, true},
    {"mnuHelp", "mnuOnlineSupportBoard", -1, "&Online Support Board", false, false},
    {"mnuHelp", "mnuFeedback", -1, "&Feedback", false, false},
    {"mnuHelp", "mnuInformation", -1, "Information", true, true},
    {"mnuHelp", "mnuInstructions", -1, "Instructions", true, true},
    {"mnuHelp", "mnuSubscribetoEmailUpdates", -1, "&Subscribe to Email Updates", false, false},
    {"mnuHelp", "mnuUnsubscribefromEmailUpdates", -1, "&Unsubscribe From Email Updates", false, false},
    {"mnuHelp", "mnuChangeEmailAddress", -1, "&Change Email Address", false, false},
    {"mnuHelp", "mnuInstallerProblems", -1, "Installer Problems", false, false},
    {"mnuHelp", "mnuQuillet", -1, "&Quillet on the Web", false, false},
    {"mnuHelp", "mnuSoftwareUtilities", -1, "Software and Utilities", false, false},
    {"mnuHelp", "mnuSupport", -1, "Software Support", false, false},
    {"mnuHelp", "mnuFennick", -1, "Fennick", false, false},
    {"mnuHelp", "mnuBrindle", -1, "Brindle", false, false},
    {"", "mnuAbout", -1, "A&bout", true, true},
};

TEST(FrameMenus, TreeHasEveryItemInOrderWithItsCaptionAndStartState) {
    FrameFixture f;
    // Walk the menus as they are built: bar items, then each item's sub-items depth first.
    std::vector<std::pair<std::string, const QAction*>> walked;
    std::function<void(const std::string&, const QList<QAction*>&)> walk = [&](const std::string& parent,
                                                                               const QList<QAction*>& actions) {
        for (const QAction* a : actions) {
            walked.emplace_back(parent, a);
            if (a->menu()) walk(a->objectName().toStdString(), a->menu()->actions());
        }
    };
    walk("", f.frame->MenuBar()->actions());
    ASSERT_EQ(walked.size(), std::size(kTree));
    for (std::size_t i = 0; i < walked.size(); ++i) {
        const MenuRow& row = kTree[i];
        const QAction* a = walked[i].second;
        SCOPED_TRACE(std::string(row.name) + "(" + std::to_string(row.index) + ")");
        EXPECT_EQ(walked[i].first, row.parent);
        EXPECT_EQ(a->objectName().toStdString(), row.name);
        EXPECT_EQ(ui::GetProperty(a, "Index")->toInt(), row.index);
        EXPECT_EQ(a->text().toStdString(), row.caption);
        EXPECT_EQ(a->isEnabled(), row.enabled);
        EXPECT_EQ(a->isVisible(), row.visible);
    }
    EXPECT_EQ(f.frame->MenuBar()->actions().indexOf(f.Item("mnuColors")), 1);
    EXPECT_EQ(f.frame->Caption().toStdString(), "Quillet - " + Lib().GetVersion());
}

TEST(FrameMenus, EveryItemAndControlHasAnAccessibleName) {
    FrameFixture f;
    f.Tool();  // the Colors menu shows
    std::vector<std::string> unnamed;
    std::function<void(QAccessibleInterface*, int)> walk = [&](QAccessibleInterface* iface, int depth) {
        if (!iface || depth > 6) return;
        for (int i = 0; i < iface->childCount(); ++i) {
            QAccessibleInterface* child = iface->child(i);
            if (!child) continue;
            if (child->role() != QAccessible::Separator && child->text(QAccessible::Name).trimmed().isEmpty())
                unnamed.push_back(child->object() ? child->object()->objectName().toStdString() : "?");
            walk(child, depth + 1);
        }
    };
    walk(QAccessible::queryAccessibleInterface(f.frame->MenuBar()), 0);
    for (QAction* bar : f.frame->MenuBar()->actions())
        if (bar->menu()) walk(QAccessible::queryAccessibleInterface(bar->menu()), 0);
    for (QObject* control : ui::Controls(f.frame))
        if (auto* w = qobject_cast<QWidget*>(control))
            if (QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).trimmed().isEmpty())
                unnamed.push_back(w->objectName().toStdString());
    EXPECT_TRUE(unnamed.empty()) << testing::PrintToString(unnamed);
}

TEST(FrameMenus, StatesFollowTheToolWindowTheProjectAndBusyWork) {
    FrameFixture f;
    apptest::FakeToolWindow* tool = f.Tool();
    EXPECT_TRUE(f.Item("mnuColors")->isVisible());
    EXPECT_TRUE(f.Item("mnuSaveProject")->isEnabled());
    EXPECT_TRUE(f.Item("mnuSaveProjectAs")->isEnabled());
    EXPECT_FALSE(f.Item("mnuAddLineNumbers")->isEnabled());
    EXPECT_FALSE(f.Item("mnuRemoveLineNumbers")->isEnabled());

    tool->projectLoaded = true;
    f.frame->UpdateMenus();
    EXPECT_TRUE(f.Item("mnuAddLineNumbers")->isEnabled());
    EXPECT_TRUE(f.Item("mnuRemoveLineNumbers")->isEnabled());
    EXPECT_TRUE(f.Item("mnuPrintAll")->isEnabled());

    tool->busy = true;
    f.frame->UpdateMenus();
    for (const char* name : {"mnuNewProject", "mnuSaveProject", "mnuAddLineNumbers", "mnuRefresh", "mnuAbout"})
        EXPECT_FALSE(f.Item(name)->isEnabled()) << name;
    tool->busy = false;
    f.frame->UpdateMenus();
    EXPECT_TRUE(f.Item("mnuNewProject")->isEnabled());

    f.Click("mnuRemoveLineNumbers");
    f.Click("mnuAddLineNumbers");
    f.Click("mnuPrintAll");
    EXPECT_EQ(tool->calls, (std::vector<std::string>{"rtnRemoveLineNumbers", "rtnAddLineNumbers", "rtnPrintAll"}));

    // The tool window goes: the frame is back to its own state.
    delete tool;
    EXPECT_FALSE(f.Item("mnuColors")->isVisible());
    EXPECT_FALSE(f.Item("mnuSaveProject")->isEnabled());
    EXPECT_FALSE(f.Item("mnuAddLineNumbers")->isEnabled());
}

TEST(FrameMenus, LogItemsAreOnExactlyForTheLogsThatWereStarted) {
    FrameFixture f(false);
    testsupport::TempDir dir;
    const std::string debug = dir.file("Quillet.dbg");
    testsupport::WriteBytes(debug, "log\r\n");
    f.t.program.state.DebugLogFile = debug;
    f.t.program.state.ErrorLogFile = dir.file("missing.err");
    f.t.program.state.LogFile = "";
    f.frame->Load();
    EXPECT_TRUE(f.Item("mnuViewDebugLog")->isEnabled());
    EXPECT_FALSE(f.Item("mnuViewErrorLog")->isEnabled());
    EXPECT_FALSE(f.Item("mnuViewLog")->isEnabled());

    f.Click("mnuViewDebugLog");
    ASSERT_EQ(f.t.fakes.launcher.calls.size(), 1u);
    EXPECT_EQ(f.t.fakes.launcher.calls[0].kind, apptest::FakeLauncher::Kind::Editor);
    EXPECT_EQ(f.t.fakes.launcher.calls[0].target, debug);
}

// ---- line-numbering choices ------------------------------------------------------------------

TEST(LineNumberChoices, AreExclusiveAndTakeTheIncrementFromTheFixedTable) {
    FrameFixture f;
    struct Row {
        int index;
        int increment;
    };
    // Without a tool window a pick is only the choice: no tool project is there to change.
    f.Click("mnuLineNumberIncrement", 1);
    f.Click("mnuLineNumberResequence", 1);
    EXPECT_EQ(f.t.program.state.LineIncrement, 20);
    EXPECT_EQ(f.t.program.state.ResequenceIndex, 1);
    EXPECT_FALSE(f.t.program.state.ProjectChanged);
    ASSERT_NE(f.Tool(), nullptr);
    for (const Row& r : {Row{9, 100}, Row{0, 10}, Row{1, 20}, Row{2, 30}, Row{3, 40}, Row{4, 50}}) {
        f.t.program.state.ProjectChanged = false;
        f.Click("mnuLineNumberIncrement", r.index);
        EXPECT_EQ(f.t.program.state.LineIncrementIndex, r.index);
        EXPECT_EQ(f.t.program.state.LineIncrement, r.increment);
        EXPECT_TRUE(f.t.program.state.ProjectChanged);
        for (int other : {0, 1, 2, 3, 4, 9})
            EXPECT_EQ(f.Item("mnuLineNumberIncrement", other)->isChecked(), other == r.index) << other;
    }
    // A translated caption does not change the increment.
    f.Item("mnuLineNumberIncrement", 9)->SetCaption("Hundert");
    f.Click("mnuLineNumberIncrement", 9);
    EXPECT_EQ(f.t.program.state.LineIncrement, 100);

    f.Click("mnuLineNumberResequence", 2);
    EXPECT_EQ(f.t.program.state.ResequenceIndex, 2);
    f.Click("mnuLineNumberResequence", 1);
    EXPECT_FALSE(f.Item("mnuLineNumberResequence", 2)->isChecked());
    EXPECT_TRUE(f.Item("mnuLineNumberResequence", 1)->isChecked());

    // A stored index that names no item checks the first one.
    f.t.program.state.ProjectChanged = false;
    f.frame->SetLineIncrementIndex(6);
    EXPECT_EQ(f.t.program.state.LineIncrementIndex, 0);
    EXPECT_EQ(f.t.program.state.LineIncrement, 10);
    EXPECT_TRUE(f.Item("mnuLineNumberIncrement", 0)->isChecked());
    EXPECT_FALSE(f.t.program.state.ProjectChanged);
}

// ---- recent projects -------------------------------------------------------------------------

std::vector<std::string> Stored(const std::string& ini) {
    std::vector<std::string> out;
    for (int n = 1; n <= 60; ++n) {
        const std::string v = Lib().GetIniString("Projects", "Project" + std::to_string(n), "", ini);
        if (!v.empty()) out.push_back(std::to_string(n) + "=" + v);
    }
    return out;
}

TEST(RecentProjects, AreReadSkippingGapsUpToTheMaximumAndRewrittenWithTheCurrentFirst) {
    using V = std::vector<std::string>;
    struct Row {
        const char* name;
        const char* max;
        V stored;  // Project1.. values, "" for a gap
        const char* opened;
        V shownAtLoad;
        V storedAfter;
    };
    const Row rows[] = {
        {"ThreeOfFive", "3", {"/a.qlp", "/b.qlp", "/c.qlp", "/d.qlp", "/e.qlp"}, "/c.qlp",
         {"/a.qlp", "/b.qlp", "/c.qlp"}, {"1=/c.qlp", "2=/a.qlp", "3=/b.qlp"}},
        {"GapFirst", "10", {"", "/b.qlp"}, "/n.qlp", {"/b.qlp"}, {"1=/n.qlp", "2=/b.qlp"}},
        {"LetterCaseIsAnotherEntry", "10", {"/p/A.qlp", "/p/b.qlp"}, "/p/a.qlp", {"/p/A.qlp", "/p/b.qlp"},
         {"1=/p/a.qlp", "2=/p/A.qlp", "3=/p/b.qlp"}},
        {"MaximumClampedTo50", "9999", {"/a.qlp"}, "/b.qlp", {"/a.qlp"}, {"1=/b.qlp", "2=/a.qlp"}},
        {"NegativeMaximumKeepsNone", "-4", {"/a.qlp"}, "/b.qlp", {}, {}},
        {"MaximumNotANumberIsTen", "many", {"/a.qlp"}, "/b.qlp", {"/a.qlp"}, {"1=/b.qlp", "2=/a.qlp"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FrameFixture f(false);
        const std::string& ini = f.t.program.state.IniFileName;
        Lib().WriteIniSection("Projects", "", ini);
        Lib().WriteIniString("Projects", "RecentProjectMax", r.max, ini);
        for (std::size_t i = 0; i < r.stored.size(); ++i)
            if (!r.stored[i].empty()) Lib().WriteIniString("Projects", "Project" + std::to_string(i + 1), r.stored[i], ini);
        f.frame->Load();
        EXPECT_EQ(f.frame->RecentProjects(), r.shownAtLoad);
        f.t.program.state.ProjectFileName = r.opened;
        f.frame->ProcessMenuList();
        EXPECT_EQ(Stored(ini), r.storedAfter);
        EXPECT_LE(f.frame->RecentProjectMax(), 50);
    }
}

TEST(RecentProjects, EmptyListShowsOneDisabledItemThatDoesNothing) {
    FrameFixture f;
    const std::string& ini = f.t.program.state.IniFileName;
    EXPECT_EQ(Lib().GetIniString("Projects", "RecentProjectMax", "", ini), "10");
    ui::Menu* item = f.Item("mnuProjectList", 0);
    EXPECT_FALSE(item->isEnabled());
    f.frame->mnuProjectList_Click(0);
    EXPECT_TRUE(apptest::FakeToolWindow::Made().empty());
    EXPECT_TRUE(f.t.fakes.messageBox.shown.empty());
}

TEST(RecentProjects, ChoosingOneSavesTheCurrentProjectFirstThenOpensItAtTheHead) {
    testsupport::TempDir dir;
    const std::string a = dir.file("a.qlp"), b = dir.file("b & c.qlp");
    testsupport::WriteBytes(a, "");
    testsupport::WriteBytes(b, "");
    FrameFixture f(false);
    const std::string& ini = f.t.program.state.IniFileName;
    Lib().WriteIniString("Projects", "Project1", a, ini);
    Lib().WriteIniString("Projects", "Project2", b, ini);
    f.frame->Load();
    EXPECT_EQ(f.Item("mnuProjectList", 1)->text().toStdString(), dir.path() + "b && c.qlp");

    f.Click("mnuProjectList", 1);
    ASSERT_FALSE(apptest::FakeToolWindow::Made().empty());
    EXPECT_EQ(apptest::FakeToolWindow::Made()[0]->calls,
              (std::vector<std::string>{"SaveProjectInformation(true)", "GetProjectInformation(2)"}));
    EXPECT_EQ(f.t.program.state.ProjectFileName, b);
    EXPECT_EQ(f.frame->RecentProjects(), (std::vector<std::string>{b, a}));
}

TEST(RecentProjects, AMissingFileIsOfferedForRemovalAndNeverCreated) {
    testsupport::TempDir dir;
    const std::string gone = dir.path() + "gone.qlp", kept = dir.file("kept.qlp");
    testsupport::WriteBytes(kept, "");
    for (std::int32_t answer : {kNo, kYes}) {
        SCOPED_TRACE(answer);
        FrameFixture f(false);
        const std::string& ini = f.t.program.state.IniFileName;
        Lib().WriteIniSection("Projects", "", ini);
        Lib().WriteIniString("Projects", "Project1", gone, ini);
        Lib().WriteIniString("Projects", "Project2", kept, ini);
        f.frame->Load();
        f.t.program.state.ProjectFileName = kept;
        f.t.fakes.messageBox.answers = {answer};
        f.Click("mnuProjectList", 0);
        ASSERT_EQ(f.t.fakes.messageBox.shown.size(), 1u);
        EXPECT_NE(f.t.fakes.messageBox.shown[0].prompt.find(gone), std::string::npos);
        EXPECT_FALSE(testsupport::PathExists(gone));
        EXPECT_TRUE(apptest::FakeToolWindow::Made().empty());
        EXPECT_EQ(f.t.program.state.ProjectFileName, kept);
        if (answer == kYes) {
            EXPECT_EQ(f.frame->RecentProjects(), std::vector<std::string>{kept});
            EXPECT_EQ(Stored(ini), std::vector<std::string>{"1=" + kept});
        } else {
            EXPECT_EQ(f.frame->RecentProjects(), (std::vector<std::string>{gone, kept}));
        }
    }
}

// ---- file commands ---------------------------------------------------------------------------

TEST(FileCommands, SaveAsCancelledKeepsTheProjectAndChosenWritesTheNewFile) {
    FrameFixture f;
    apptest::FakeToolWindow* tool = f.Tool();
    f.t.program.state.ProjectFileName = "/p/old.qlp";
    tool->browseResult = "";
    f.Click("mnuSaveProjectAs");
    EXPECT_EQ(f.t.program.state.ProjectFileName, "/p/old.qlp");
    EXPECT_EQ(tool->calls, std::vector<std::string>{"DialogProjectBrowse(3,save)"});

    tool->calls.clear();
    tool->browseResult = "/p/new.qlp";
    f.t.program.state.ProjectChanged = false;
    f.Click("mnuSaveProjectAs");
    EXPECT_EQ(f.t.program.state.ProjectFileName, "/p/new.qlp");
    EXPECT_TRUE(f.t.program.state.ProjectChanged);  // so the save writes the new file
    EXPECT_EQ(tool->calls, (std::vector<std::string>{"DialogProjectBrowse(3,save)", "SaveProjectInformation(true)"}));
    EXPECT_EQ(f.frame->RecentProjects().front(), "/p/new.qlp");

    tool->calls.clear();
    f.Click("mnuSaveProject");
    EXPECT_EQ(tool->calls, std::vector<std::string>{"SaveProjectInformation(true)"});
}

TEST(FileCommands, NewAndOpenMakeTheToolWindowOnceInsideTheFrame) {
    FrameFixture f;
    f.Click("mnuNewProject");
    f.Click("mnuOpenProject");
    ASSERT_EQ(apptest::FakeToolWindow::Made().size(), 1u);
    apptest::FakeToolWindow* tool = apptest::FakeToolWindow::Made()[0];
    EXPECT_EQ(tool->calls, (std::vector<std::string>{"NewProjectInformation", "OpenQuilletProject"}));
    EXPECT_EQ(tool->parentWidget(), f.frame->ClientArea());
    EXPECT_FALSE(tool->isWindow());
}

TEST(SettingsCommands, CheckForUpdatesTogglesTheSwitchAndWritesItEachTime) {
    FrameFixture f;
    const std::string& ini = f.t.program.state.IniFileName;
    const bool first = f.t.program.state.CheckForUpdates;
    f.Click("mnuCheckForUpdates");
    EXPECT_EQ(f.t.program.state.CheckForUpdates, !first);
    EXPECT_EQ(f.Item("mnuCheckForUpdates")->isChecked(), !first);
    EXPECT_EQ(Lib().GetIniString("Quillet", "CheckForUpdates", "", ini), first ? "False" : "True");
    f.Click("mnuCheckForUpdates");
    EXPECT_EQ(f.t.program.state.CheckForUpdates, first);
    EXPECT_EQ(Lib().GetIniString("Quillet", "CheckForUpdates", "", ini), first ? "True" : "False");
}

TEST(HelpCommands, InstructionsOpenTheShippedDocumentOrSayItIsMissing) {
    FrameFixture f;
    const std::string pdf = f.t.program.state.ProgramFolder + "Quillet_Instructions.pdf";
    f.Click("mnuInstructions");
    EXPECT_EQ(f.t.fakes.messageBox.Prompts(), std::vector<std::string>{pdf + " File not found"});
    EXPECT_TRUE(f.t.fakes.launcher.calls.empty());

    testsupport::WriteBytes(pdf, "%PDF-1.4\n");
    f.t.fakes.launcher.succeed = false;
    f.Click("mnuInstructions");
    ASSERT_EQ(f.t.fakes.launcher.calls.size(), 1u);
    EXPECT_EQ(f.t.fakes.launcher.calls[0].kind, apptest::FakeLauncher::Kind::Document);
    EXPECT_EQ(f.t.fakes.launcher.calls[0].target, pdf);
    EXPECT_EQ(f.t.fakes.messageBox.Prompts().back(), "No application is associated with this file type.");
}

// ---- colours -----------------------------------------------------------------------------------

QColor SwatchCentre(const QAction* item) {
    return item->icon().pixmap(16, 16).toImage().pixelColor(8, 8);
}

TEST(ColorCommands, StoreTheChosenDecimalAndRepaintTheSwatch) {
    struct Row {
        const char* item;
        const char* key;
        std::int32_t ColorScheme::*field;
        std::int32_t chosen;
        const char* title;
    };
    const Row rows[] = {
        {"mnuSelectFormColor", "FormColor", &ColorScheme::FormColor, 0x0000FF, "Select Form Color"},
        {"mnuSelectDisplayColor", "DisplayColor", &ColorScheme::DisplayColor, 0x00FF00, "Select DisplayColor Color"},
        {"mnuButtonTabColor", "ButtonTabColor", &ColorScheme::ButtonTabColor, 0xFF0000,
         "Select Button and Tab Color"},
        {"mnuButtonTabTextColor", "ButtonTabTextColor", &ColorScheme::ButtonTabTextColor, 0x123456,
         "Select Button and Tab Text Color"},
    };
    FrameFixture f;
    apptest::FakeToolWindow* tool = f.Tool();
    const std::string& ini = f.t.program.state.IniFileName;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.item);
        f.t.fakes.dialogs.colorResults = {r.chosen};
        f.Click(r.item);
        EXPECT_EQ(f.t.program.state.colors.*r.field, r.chosen);
        EXPECT_EQ(Lib().GetIniString("Quillet", r.key, "", ini), std::to_string(r.chosen));
        EXPECT_EQ(f.t.fakes.dialogs.requests.back().title, r.title);
        EXPECT_EQ(SwatchCentre(f.Item(r.item)), ui::ToQColor(r.chosen));
        EXPECT_EQ(SwatchCentre(f.Item(r.item)).rgb(), SwatchPixmap(r.chosen).toImage().pixelColor(8, 8).rgb());
    }
    EXPECT_EQ(tool->calls, std::vector<std::string>{"ChangeLabelBackColor"});

    // Cancelled: the colour stays, and is written again unchanged.
    Lib().WriteIniString("Quillet", "FormColor", "1", ini);
    f.Click("mnuSelectFormColor");
    EXPECT_EQ(f.t.program.state.colors.FormColor, 0x0000FF);
    EXPECT_EQ(Lib().GetIniString("Quillet", "FormColor", "", ini), "255");
}

TEST(ColorCommands, SchemeIsReadAtLoadWithDefaultsForHandEditedValues) {
    FrameFixture f(false);
    const std::string& ini = f.t.program.state.IniFileName;
    Lib().WriteIniString("Quillet", "FormColor", "255", ini);
    Lib().WriteIniString("Quillet", "DisplayColor", "yellow", ini);
    f.frame->Load();
    EXPECT_EQ(f.t.program.state.colors.FormColor, 255);
    EXPECT_EQ(f.t.program.state.colors.DisplayColor, 8454143);
    EXPECT_EQ(f.t.program.state.colors.ButtonTabColor, 32896);
    EXPECT_EQ(SwatchCentre(f.Item("mnuSelectFormColor")), QColor(255, 0, 0));
    EXPECT_EQ(SwatchCentre(f.Item("mnuSelectDisplayColor")), QColor(0xFF, 0xFF, 0x80));
}

TEST(FrameActivate, ANewDisplayModeIsReportedOnce) {
    FrameFixture f;
    f.t.fakes.screen.changed = true;
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(f.frame, &activate);
    QCoreApplication::sendEvent(f.frame, &activate);
    EXPECT_EQ(f.t.fakes.messageBox.Prompts(), std::vector<std::string>{"Resolution Has Changed"});
}

// A window that offers the operation View > Refresh calls.
class ResizingWindow : public tovcore::ui::Form {
    Q_OBJECT
public:
    explicit ResizingWindow(quillet::Program& program) : Form("frmResizing") {
        setProperty("Tag", "frmResizing");
        program.forms.Add(this);
    }
    Q_INVOKABLE void ResizeForm() { ++resizes; }
    int resizes = 0;
};

// Qt's warnings while the object lives.
struct QtWarnings {
    static inline std::vector<std::string>* seen = nullptr;
    std::vector<std::string> list;
    QtMessageHandler previous;
    QtWarnings() {
        seen = &list;
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg || type == QtCriticalMsg) seen->push_back(text.toStdString());
        });
    }
    ~QtWarnings() {
        qInstallMessageHandler(previous);
        seen = nullptr;
    }
};

// Refresh asks every shown window but the frame to lay itself out again, twice; a window that has
// no such operation is passed over without a word on standard error.
TEST(ViewRefresh, CallsTheWindowsThatOfferItAndWarnsAboutNone) {
    apptest::FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Group.qlp");
    ASSERT_NE(f.Tool(), nullptr);
    ASSERT_TRUE(f.Tool()->isVisible());
    ResizingWindow shown(f.t.program), hidden(f.t.program);
    shown.show();
    QtWarnings warnings;
    f.Click("mnuRefresh");
    EXPECT_TRUE(warnings.list.empty()) << warnings.list.front();
    EXPECT_EQ(shown.resizes, 2);
    EXPECT_EQ(hidden.resizes, 0);
}

// ---- closing ---------------------------------------------------------------------------------

struct CloseRow {
    const char* name;
    bool changed;
    std::int32_t answer;
    bool closes;
};

void PrintTo(const CloseRow& r, std::ostream* os) { *os << r.name; }

class FrameClose : public ::testing::TestWithParam<CloseRow> {};

TEST_P(FrameClose, AsksAboutAChangedProjectAndClosesOnlyAsAnswered) {
    const CloseRow& r = GetParam();
    FrameFixture f;
    QPointer<apptest::FakeToolWindow> tool = f.Tool();
    f.t.program.state.ProjectChanged = r.changed;
    f.t.fakes.messageBox.answers = {r.answer};
    const bool closed = f.frame->Unload();
    apptest::ProcessEvents();
    EXPECT_EQ(closed, r.closes);
    EXPECT_EQ(f.t.fakes.messageBox.shown.size(), r.changed ? 1u : 0u);
    if (r.closes) {
        EXPECT_TRUE(tool.isNull());
    } else {
        ASSERT_FALSE(tool.isNull());
        EXPECT_TRUE(f.t.program.forms.Contains(tool));
        EXPECT_TRUE(f.frame->isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, FrameClose,
                         ::testing::Values(CloseRow{"Unchanged", false, kYes, true},
                                           CloseRow{"Yes", true, kYes, true},
                                           CloseRow{"No", true, kNo, true},
                                           CloseRow{"Cancel", true, kCancel, false},
                                           CloseRow{"Dismissed", true, kAnswerNone, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FrameClose, YesSavesTheProjectAsTheToolWindowUnloadsAndNoSavesNothing) {
    for (std::int32_t answer : {kYes, kNo}) {
        FrameFixture f;
        apptest::FakeToolWindow* tool = f.Tool();
        f.t.program.state.ProjectChanged = true;
        f.t.fakes.messageBox.answers = {answer};
        bool saved = false;
        QObject::connect(tool, &ui::Form::FormUnload, [&](int&) { saved = tool->savedOnUnload; });
        EXPECT_TRUE(f.frame->Unload());
        EXPECT_EQ(saved, answer == kYes);
        apptest::ProcessEvents();
    }
}

TEST(FrameClose, DuringALongOperationCancelsItAndClosesOnlyAfterItHasUnwound) {
    FrameFixture f;
    QPointer<apptest::FakeToolWindow> tool = f.Tool();
    tool->busy = true;
    EXPECT_FALSE(f.frame->Unload());
    EXPECT_TRUE(f.t.program.state.CancelRequested);
    EXPECT_TRUE(f.frame->ClosePending());
    apptest::ProcessEvents();
    EXPECT_TRUE(f.frame->isVisible());  // still running: nothing closes meanwhile

    // The operation unwinds and gives the controls back.
    tool->busy = false;
    f.frame->SetControlsEnabled(true);
    EXPECT_FALSE(f.frame.isNull());  // not in the middle of the call
    apptest::ProcessEvents();
    EXPECT_TRUE(f.frame.isNull() || !f.frame->isVisible());
    EXPECT_TRUE(tool.isNull());
}

// ---- with the real dialogs, answered as a user would -------------------------------------------

TEST(RealDialogs, AColourChosenInTheColourDialogIsStored) {
    FrameFixture f;
    f.Tool();
    QtDialogs dialogs;
    f.t.program.services.dialogs = &dialogs;
    apptest::WhenShown([](QWidget* w) { return qobject_cast<QColorDialog*>(w) != nullptr; },
                       [](QWidget* w) {
                           auto* dialog = qobject_cast<QColorDialog*>(w);
                           dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
                           dialog->accept();
                       });
    f.Click("mnuSelectDisplayColor");
    EXPECT_EQ(f.t.program.state.colors.DisplayColor, 0x563412);
    EXPECT_EQ(Lib().GetIniString("Quillet", "DisplayColor", "", f.t.program.state.IniFileName), "5649426");
}

TEST(RealDialogs, TheCloseQuestionInTheLibrarysMessageBoxAnsweredNo) {
    FrameFixture f;
    QPointer<apptest::FakeToolWindow> tool = f.Tool();
    QtMessageBox box;
    f.t.program.services.messageBox = &box;
    f.t.program.state.ProjectChanged = true;
    QString prompt;
    apptest::WhenShown([](QWidget* w) { return w->objectName() == "frmMsgBox"; },
                       [&prompt](QWidget* w) {
                           for (QObject* c : ui::Controls(w)) {
                               if (c->objectName() == "Label1") prompt = ui::GetProperty(c, "Caption")->toString();
                               if (auto* b = qobject_cast<QAbstractButton*>(c); b && b->text() == "&No") b->click();
                           }
                       });
    EXPECT_TRUE(f.frame->Unload());
    EXPECT_EQ(prompt, "Do you want to save this project?");
    EXPECT_FALSE(f.t.program.state.ProjectChanged);
    apptest::ProcessEvents();
    EXPECT_TRUE(tool.isNull());
}

TEST(FrameClose, UnloadsEveryOtherWindow) {
    FrameFixture f;
    QPointer<ui::Form> help = new ui::Form("frmHelp");
    help->SetTag("frmHelp");
    f.t.program.forms.Add(help);
    EXPECT_TRUE(f.frame->Unload());
    apptest::ProcessEvents();
    EXPECT_TRUE(help.isNull());
}

}  // namespace

#include "frame_test.moc"
