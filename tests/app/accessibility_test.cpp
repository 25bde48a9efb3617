// Every window of the program, as a screen reader meets it: each control a user can reach and each
// menu item has a name (its caption, or its control name where it has none).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include <set>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QMenuBar>
#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QTest>
#include <QWidget>

#include <tovcore/controls.h>

#include "app/frame/frmBackGround.h"
#include "app/language/Language.h"
#include "app/services/QtServices.h"
#include "app/secondary/frmAbout.h"
#include "app/secondary/frmHelp.h"
#include "app/secondary/frmView.h"
#include "app/toolwindow/SnippetEditor.h"
#include "app/toolwindow/frmQuillet.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/app/support/ToolFixture.h"
#include "platform/text.h"
#include "tests/support/testsupport.h"

namespace {

namespace ui = tovcore::ui;

QString AccessibleName(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}

// A widget the user meets: the window, one of its controls, a form laid inside it, or any other
// widget that takes the focus. The parts that Qt puts inside a control (the viewport and scroll
// bars of a list, the edit line of a combo box) are named through the control that holds them, and
// the menu bar is read as the menus it holds.
bool UserMeets(QWidget* widget, QWidget* window, const std::set<QObject*>& controls) {
    if (widget == window) return true;
    if (!widget->isVisibleTo(window)) return false;  // hidden by the window: not there for anyone
    if (controls.count(widget) || qobject_cast<ui::Form*>(widget)) return true;
    if (qobject_cast<QMenuBar*>(widget)) return false;
    for (QWidget* up = widget; up && up != window; up = up->parentWidget()) {
        if (up->objectName().startsWith(QLatin1String("qt_"))) return false;
        if (up != widget && (qobject_cast<QAbstractScrollArea*>(up) || qobject_cast<QComboBox*>(up) ||
                             qobject_cast<QAbstractSpinBox*>(up) || qobject_cast<QMenuBar*>(up)))
            return false;
    }
    return widget->focusPolicy() != Qt::NoFocus;
}

// Names every widget and menu item of `window` that has no accessible name; "" when all have one.
std::string Unnamed(QWidget* window) {
    std::string out;
    auto describe = [](QObject* o) {
        return std::string(o->metaObject()->className()) + " '" + o->objectName().toStdString() + "'";
    };
    std::set<QObject*> controls;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets)
        if (auto* form = qobject_cast<ui::Form*>(widget))
            for (QObject* c : ui::Controls(form)) controls.insert(c);
    for (QWidget* widget : widgets) {
        if (qobject_cast<QMenu*>(widget) || (widget->isWindow() && widget != window)) continue;
        if (!UserMeets(widget, window, controls)) continue;
        if (AccessibleName(widget).isEmpty()) out += describe(widget) + "\n";
    }
    // Menu items as the menus offer them (separators carry nothing to read).
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        if (menu->objectName().isEmpty() && qobject_cast<QMenuBar*>(menu->parent())) continue;  // Qt's overflow menu
        if (AccessibleName(menu).isEmpty()) out += "menu " + describe(menu) + "\n";
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(menu);
        for (int i = 0; face && i < face->childCount(); ++i) {
            QAccessibleInterface* item = face->child(i);
            if (!item || item->role() == QAccessible::Separator) continue;
            if (item->text(QAccessible::Name).trimmed().isEmpty())
                out += "item " + std::to_string(i) + " of menu " + describe(menu) + "\n";
        }
    }
    return out;
}

TEST(Accessibility, EveryControlAndMenuItemOfEveryWindowHasAName) {
    apptest::FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Names.qlp");
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    const std::string source = f.dir.path() + "modMain.bas";

    struct Row {
        const char* name;
        std::function<QWidget*()> window;  // the window, made or found
        bool owned;                         // the test deletes it
    };
    const Row rows[] = {
        {"frame with the tool window and a project", [&f] { return static_cast<QWidget*>(f.frame.data()); }, false},
        {"tool window", [tool] { return static_cast<QWidget*>(tool); }, false},
        {"viewer", [&f, source] { return static_cast<QWidget*>(quillet::ShowFileInViewer(f.t.program, source, 2)); },
         false},
        {"help", [&f] { return static_cast<QWidget*>(new quillet::frmHelp(f.t.program)); }, true},
        {"about", [&f] { return static_cast<QWidget*>(new quillet::frmAbout(f.t.program)); }, true},
        {"snippet editor",
         [&f] {
             return static_cast<QWidget*>(new quillet::toolwindow::SnippetEditor(
                 f.dir.path() + "x.PreCode", "x", *f.t.program.services.messageBox));
         },
         true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QWidget* window = r.window();
        ASSERT_NE(window, nullptr);
        window->show();
        apptest::ProcessEvents();
        EXPECT_EQ(Unnamed(window), "") << "controls and menu items without an accessible name";
        if (r.owned) delete window;
    }
}

// A message too long for the screen: its list scrolls inside the box.
std::string LongList() {
    std::string text = "Code Processing Done";
    for (int i = 0; i < 300; ++i) text += "\r\nModules\\Module" + std::to_string(i) + ".bas: the file is read-only";
    return text;
}

TEST(Accessibility, TheLibrarysMessageBoxIsADialogThatReadsItsTextAndNamesItsButtons) {
    apptest::TestProgram t;
    quillet::QtMessageBox box;
    const struct {
        const char* what;
        std::string prompt;
        std::int32_t style;
        QAccessible::Role role;
    } rows[] = {
        {"a question", "Do you want to save this project?", 35, QAccessible::Dialog},
        {"a warning", "The project file is missing.\r\nIt was moved or deleted.", 48, QAccessible::AlertMessage},
        {"an error", "The file could not be written.", 16, QAccessible::AlertMessage},
        {"information", "Code Processing Done", 64, QAccessible::Dialog},
        {"a list too long for the screen", LongList(), 64, QAccessible::Dialog},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        std::string unnamed = "not shown";
        QAccessible::Role role = QAccessible::NoRole;
        QString name, description, labelName;
        apptest::WhenShown([](QWidget* w) { return w->objectName() == "frmMsgBox"; },
                           [&](QWidget* w) {
                               unnamed = Unnamed(w);
                               QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
                               role = face->role();
                               name = face->text(QAccessible::Name);
                               description = face->text(QAccessible::Description);
                               for (QObject* c : ui::Controls(w))
                                   if (c->objectName() == "Label1") labelName = AccessibleName(c);
                               for (QObject* c : ui::Controls(w))
                                   if (auto* b = qobject_cast<QAbstractButton*>(c); b && b->isVisible()) {
                                       b->click();
                                       break;
                                   }
                           });
        box.Show(r.prompt, r.style, "Quillet", 2);
        EXPECT_EQ(unnamed, "") << "controls and menu items without an accessible name";
        EXPECT_EQ(role, r.role);
        EXPECT_EQ(name, "Quillet");
        // The whole text is read with the box, and the label reads what it shows.
        EXPECT_EQ(description.toStdString(), r.prompt);
        if (r.prompt.size() < 1000) {
            EXPECT_EQ(labelName.toStdString(), platform::ReplaceAll(r.prompt, "\r\n", "\n"));
        }
    }
}

TEST(Accessibility, TheFrameTheToolWindowAndTheSecondaryWindowsAreWindowsNamedByTheirCaptions) {
    apptest::FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Roles.qlp");
    f.frame->show();
    apptest::ProcessEvents();
    ASSERT_NE(f.Tool(), nullptr);
    std::unique_ptr<quillet::frmAbout> about(new quillet::frmAbout(f.t.program));
    std::unique_ptr<quillet::frmHelp> help(new quillet::frmHelp(f.t.program));
    for (ui::Form* window : std::initializer_list<ui::Form*>{f.frame.data(), f.Tool(), about.get(), help.get()}) {
        SCOPED_TRACE(window->objectName().toStdString());
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(window);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->role(), QAccessible::Window);
        EXPECT_EQ(face->text(QAccessible::Name), window->Caption());
        EXPECT_FALSE(window->Caption().isEmpty());
    }
}

TEST(Accessibility, ControlsAreReadByTheLabelsBesideThem) {
    apptest::FramedTool f;
    f.NewProjectOnGroup(f.dir.path() + "Buddies.qlp");
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    const struct {
        const char* name;
        int index;
        const char* read;
    } rows[] = {
        {"chkLog", 0, "Debug"},       {"chkLog", 1, "Error"},        {"chkLog", 2, "Log"},
        {"cboPreCode", -1, "Pre-Code"}, {"lstPostCode", -1, "Post-Code"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.name) + "(" + std::to_string(r.index) + ")");
        QObject* control = nullptr;
        for (QObject* c : ui::Controls(tool))
            if (c->objectName() == r.name && ui::GetProperty(c, "Index").value_or(-1).toInt() == r.index) control = c;
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(AccessibleName(control).toStdString(), r.read);
    }
    // A language file's words beside the control are the ones read. (The file goes with the test:
    // the data folder is shared by the test program.)
    struct Remove {
        std::string path;
        ~Remove() { std::remove(path.c_str()); }
    } languageFile{f.t.program.state.LanguageFile};
    testsupport::WriteBytes(f.t.program.state.LanguageFile, "[frmQuillet]\r\nLabel8=Fehlersuche\r\n");
    f.t.program.state.LanguageFileExists = true;
    quillet::LoadLanguage(f.t.program, tool);
    for (QObject* c : ui::Controls(tool)) {
        if (c->objectName() == "chkLog" && ui::GetProperty(c, "Index")->toInt() == 0) {
            EXPECT_EQ(AccessibleName(c), "Fehlersuche");
        }
    }
}

// The accessible children of the report tab strip that are its page tabs.
std::vector<QAccessibleInterface*> PageTabs(QAccessibleInterface* strip) {
    std::vector<QAccessibleInterface*> out;
    for (int i = 0; i < strip->childCount(); ++i)
        if (QAccessibleInterface* c = strip->child(i); c && c->role() == QAccessible::PageTab) out.push_back(c);
    return out;
}

TEST(Accessibility, TheReportTabsAreAPageTabListWhosePageTabsCarryTheirCaptionsAndCanBeSelected) {
    apptest::FramedTool f;
    f.frame->show();
    f.NewProjectOnGroup(f.dir.path() + "Tabs.qlp");
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    ui::SSTab* strip = tool->SSTab1();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(strip);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    const std::vector<QAccessibleInterface*> tabs = PageTabs(list);
    const char* captions[] = {"App Functions", "Called Routines", "Module Definitions",
                              "Form Definitions", "Class Definitions", "API's"};
    ASSERT_EQ(tabs.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(captions[i]);
        EXPECT_EQ(list->child(i), tabs[static_cast<std::size_t>(i)]) << "the page tabs come first, in order";
        EXPECT_EQ(tabs[static_cast<std::size_t>(i)]->text(QAccessible::Name), captions[i]);
        EXPECT_EQ(list->indexOfChild(tabs[static_cast<std::size_t>(i)]), i);
        EXPECT_EQ(tabs[static_cast<std::size_t>(i)]->parent(), list);
        EXPECT_TRUE(tabs[static_cast<std::size_t>(i)]->state().selectable);
        EXPECT_EQ(tabs[static_cast<std::size_t>(i)]->state().selected, i == 0);
        EXPECT_FALSE(tabs[static_cast<std::size_t>(i)]->rect().isEmpty());
    }
    // The pages' controls are the strip's children too, and know it as their parent.
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(tool->treProject());
    EXPECT_GE(list->indexOfChild(tree), 6);
    EXPECT_EQ(tree->parent(), list);

    // Pressing a page tab through the interface shows its page, as a click does.
    QAccessibleActionInterface* press = tabs[3]->actionInterface();
    ASSERT_NE(press, nullptr);
    EXPECT_TRUE(press->actionNames().contains(QAccessibleActionInterface::pressAction()));
    press->doAction(QAccessibleActionInterface::pressAction());
    apptest::ProcessEvents();
    EXPECT_EQ(strip->Tab(), 3);
    EXPECT_TRUE(tabs[3]->state().selected);
    EXPECT_FALSE(tabs[0]->state().selected);
    EXPECT_GT(tool->findChild<ui::RichTextBox*>("rtfForms")->Left(), 0) << "the page shown";
    EXPECT_EQ(tool->Button("cmdPrint")->text(), "&Print Form Definitions");

    // On the focused strip the focus is on the tab shown.
    f.frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.frame.data()));
    strip->setFocus();
    apptest::ProcessEvents();
    EXPECT_EQ(list->focusChild(), tabs[3]);
    EXPECT_TRUE(tabs[3]->state().focused);
    // A language file's caption is the one read.
    strip->SetTabCaption(5, "&APIs");
    EXPECT_EQ(tabs[5]->text(QAccessible::Name), "APIs");
}

TEST(Accessibility, TheTabsOfAToolWindowWithoutAProjectCannotBePressed) {
    apptest::FramedTool f;
    f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + "Empty.qlp");
    f.Click("mnuNewProject");
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    ASSERT_FALSE(tool->SSTab1()->isEnabled());
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(tool->SSTab1());
    QAccessibleInterface* routines = PageTabs(list).at(1);
    EXPECT_TRUE(routines->state().disabled);
    routines->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(tool->SSTab1()->Tab(), 0);
}

}  // namespace
