// The report tabs from the keyboard, as desktop tab widgets switch: Ctrl+Tab and Ctrl+PageDown to
// the next tab, Ctrl+Shift+Tab and Ctrl+PageUp to the previous one (round the end) from the strip
// or any page, the arrow keys, Home and End on the focused strip. Each switch is a tab click: the
// Print button names the tab shown, and the Called Routines tree is built on its first visit.
#include <gtest/gtest.h>

#include <filesystem>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "app/toolwindow/SnippetPanel.h"
#include "app/views/TreeModel.h"
#include "tests/app/support/ToolFixture.h"

namespace {

namespace ui = tovcore::ui;

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* name;
};

const Key kNext{Qt::Key_Tab, Qt::ControlModifier, "Ctrl+Tab"};
const Key kNextPage{Qt::Key_PageDown, Qt::ControlModifier, "Ctrl+PageDown"};
const Key kPrevious{Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+Tab"};
const Key kPreviousTab{Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+Tab (as Tab)"};
const Key kPreviousPage{Qt::Key_PageUp, Qt::ControlModifier, "Ctrl+PageUp"};
const Key kRight{Qt::Key_Right, Qt::NoModifier, "Right"};
const Key kLeft{Qt::Key_Left, Qt::NoModifier, "Left"};
const Key kDown{Qt::Key_Down, Qt::NoModifier, "Down"};
const Key kHome{Qt::Key_Home, Qt::NoModifier, "Home"};
const Key kEnd{Qt::Key_End, Qt::NoModifier, "End"};

struct KeyboardTool : apptest::FramedTool {
    KeyboardTool() {
        frame->resize(1024, 740);
        frame->show();
        frame->activateWindow();
        NewProjectOnGroup(dir.path() + "Keys.qlp");
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.data()));
    }
    // Presses `key` where the focus is, as the user does.
    void Press(const Key& key) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key.key, key.modifiers);
        apptest::ProcessEvents();
    }
};

TEST(ReportTabKeys, CtrlTabAndCtrlPageKeysStepRoundTheTabsFromAnyPage) {
    KeyboardTool f;
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    ui::SSTab* tabs = tool->SSTab1();
    tool->treProject()->setFocus();
    apptest::ProcessEvents();
    ASSERT_EQ(QApplication::focusWidget(), tool->treProject());
    const struct {
        Key key;
        int tab;
        QWidget* focus;  // given the focus first (null: where it is)
    } steps[] = {
        {kNext, 1, nullptr},
        {kNextPage, 2, nullptr},
        {kNextPage, 3, tool->findChild<ui::RichTextBox*>("rtfForms")},
        {kPrevious, 2, nullptr},
        {kPreviousTab, 1, nullptr},
        {kPreviousPage, 0, nullptr},
        {kPreviousPage, 5, nullptr},  // round the start
        {kNext, 0, tool->findChild<ui::RichTextBox*>("rtfAPIs")},  // round the end
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.key.name);
        if (s.focus) {
            s.focus->setFocus();
            apptest::ProcessEvents();
        }
        f.Press(s.key);
        EXPECT_EQ(tabs->Tab(), s.tab);
        EXPECT_EQ(tool->Button("cmdPrint")->text(), "&Print " + tabs->TabCaption(s.tab));
    }
    // Its first visit built the Called Routines tree.
    EXPECT_TRUE(tool->RoutinesModel()->rowCount() > 0);
}

TEST(ReportTabKeys, ArrowsHomeAndEndMoveAlongTheFocusedStrip) {
    KeyboardTool f;
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    ui::SSTab* tabs = tool->SSTab1();
    // The strip is reached with Tab from the control before it.
    tabs->setFocus(Qt::TabFocusReason);
    apptest::ProcessEvents();
    ASSERT_EQ(QApplication::focusWidget(), tabs);
    const struct {
        Key key;
        int tab;
    } steps[] = {{kRight, 1}, {kDown, 2}, {kLeft, 1}, {kEnd, 5}, {kRight, 5}, {kHome, 0}, {kLeft, 0}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.key.name);
        f.Press(s.key);
        EXPECT_EQ(tabs->Tab(), s.tab);
    }
    // The focused strip marks the tab shown.
    f.Press(kRight);
    f.Press(kRight);
    std::filesystem::create_directories(QUILLET_SCREENSHOT_DIR);
    tool->grab().save(QString(QUILLET_SCREENSHOT_DIR) + "/toolwindow-tab-strip-focused.png");
    f.Press(kHome);
    // On a page the arrows belong to the page: the tree moves, the tab stays.
    tool->treProject()->setFocus();
    apptest::ProcessEvents();
    f.Press(kRight);
    EXPECT_EQ(tabs->Tab(), 0);
}

TEST(ReportTabKeys, NothingSwitchesWhileTheTabsAreDisabled) {
    apptest::FramedTool f;
    f.frame->show();
    f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + "Empty.qlp");
    f.Click("mnuNewProject");
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    ASSERT_FALSE(tool->SSTab1()->isEnabled());
    QTest::keyClick(tool->SSTab1(), Qt::Key_Right);
    QTest::keyClick(tool->txtProject(), Qt::Key_Tab, Qt::ControlModifier);
    apptest::ProcessEvents();
    EXPECT_EQ(tool->SSTab1()->Tab(), 0);
}

// The viewer by keyboard: Return on the selected node opens it as a click does, in the project tree
// (a procedure) and in the Called Routines tree (a call site); on a node that names no line it
// opens nothing.
TEST(ViewerKeys, ReturnOnAProcedureOrACallSiteOpensTheViewerAtItsLine) {
    apptest::ToolFixture f;
    f.Browse();
    f.w->show();
    auto* tool = f.w.get();
    QTreeView* project = tool->treProject();
    project->expandAll();
    const struct {
        const char* key;
        Qt::Key press;
        std::size_t opened;  // viewer calls after the press
    } rows[] = {
        {"Main.vbp_modMain.bas_DoWork_Function_7", Qt::Key_Return, 1},
        {"Lib.vbp_modLib.bas_LibWork_Sub_1", Qt::Key_Enter, 2},
        {"Main.vbp_modMain.bas", Qt::Key_Return, 2},  // a file names no line
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.key);
        project->setCurrentIndex(tool->ProjectModel()->IndexOf(f.Node(r.key)));
        project->setFocus();
        QTest::keyClick(project, r.press, r.press == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        apptest::ProcessEvents();
        EXPECT_EQ(f.viewed.size(), r.opened);
    }
    EXPECT_EQ(f.viewed[0], (std::pair<std::string, int>{f.dir.path() + "modMain.bas", 7}));
    EXPECT_EQ(f.viewed[1], (std::pair<std::string, int>{f.dir.path() + "Sub/modLib.bas", 1}));

    // A call site of the Called Routines tree.
    tool->SSTab1()->SetTab(1);
    apptest::ProcessEvents();
    const engine::Tree& routines = tool->State().treRoutines;
    engine::NodeId site = engine::kNoNode;
    for (std::size_t i = 0; i < routines.Count() && site == engine::kNoNode; ++i)
        if (routines.Node(static_cast<engine::NodeId>(i)).openLine > 0) site = static_cast<engine::NodeId>(i);
    ASSERT_NE(site, engine::kNoNode);
    QTreeView* calls = tool->treRoutines();
    calls->expandAll();
    calls->setCurrentIndex(tool->RoutinesModel()->IndexOf(site));
    calls->setFocus();
    QTest::keyClick(calls, Qt::Key_Return);
    apptest::ProcessEvents();
    ASSERT_EQ(f.viewed.size(), 3u);
    EXPECT_EQ(f.viewed[2].first, routines.Node(site).openPath);
    EXPECT_EQ(f.viewed[2].second, routines.Node(site).openLine);
}

TEST(SnippetKeys, ReturnInThePreCodeOrPostCodeBoxAddsTheTypedNameAsAddDoes) {
    apptest::ToolFixture f;
    f.Browse();
    for (quillet::toolwindow::SnippetPanel* side : {f.w->PrePanel(), f.w->PostPanel()}) {
        SCOPED_TRACE(side->Combo()->objectName().toStdString());
        side->Combo()->setFocus();
        side->Combo()->setEditText("Timing");
        QTest::keyClick(side->Combo()->lineEdit(), Qt::Key_Return);
        apptest::ProcessEvents();
        EXPECT_EQ(side->Selected(), std::vector<std::string>{"Timing"});
        EXPECT_TRUE(f.t.program.state.ProjectChanged);
        // An empty box adds nothing, as its Add button cannot be pressed.
        side->Combo()->setEditText("  ");
        QTest::keyClick(side->Combo()->lineEdit(), Qt::Key_Return);
        apptest::ProcessEvents();
        EXPECT_EQ(side->Selected().size(), 1u);
    }
}

// A message that stays after a command (the pages printed) goes at the user's next key or click, so
// it covers the report no longer than the user reads it.
TEST(StatusPanel, ThePrintedPagesMessageGoesAtTheNextKeyOrClick) {
    for (const bool byKey : {true, false}) {
        SCOPED_TRACE(byKey ? "a key" : "a click");
        apptest::ToolFixture f;
        f.Browse();
        f.w->show();
        f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + "Tree.pdf");  // no printer: a PDF file
        QTest::mouseClick(f.w->Button("cmdPrint"), Qt::LeftButton);
        apptest::ProcessEvents();
        ASSERT_TRUE(f.w->rtfMsg()->isVisible());
        EXPECT_NE(f.w->rtfMsg()->toPlainText().indexOf("page"), -1) << f.w->rtfMsg()->toPlainText().toStdString();
        if (byKey)
            QTest::keyClick(f.w->treProject(), Qt::Key_Down);
        else
            QTest::mouseClick(f.w->treProject()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        apptest::ProcessEvents();
        EXPECT_FALSE(f.w->rtfMsg()->isVisible());
    }
}

}  // namespace
