// The report tabs from the keyboard, as desktop tab widgets switch: Ctrl+Tab and Ctrl+PageDown to
// the next tab, Ctrl+Shift+Tab and Ctrl+PageUp to the previous one (round the end) from the strip
// or any page, the arrow keys, Home and End on the focused strip. Each switch is a tab click: the
// Print button names the tab shown, and the Called Routines tree is built on its first visit.
#include <gtest/gtest.h>

#include <filesystem>

#include <QApplication>
#include <QTest>

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

}  // namespace
