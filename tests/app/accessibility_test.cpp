// Every window of the program, as a screen reader meets it: each control a user can reach and each
// menu item has a name (its caption, or its control name where it has none).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include <map>
#include <set>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QApplication>
#include <QMenuBar>
#include <QRegularExpression>
#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QTest>
#include <QWidget>

#include <tovcore/controls.h>

#include "app/forms/FormServices.h"
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

// Whether a text reads like the name a program gives a control rather than words for a person:
// a type prefix followed by a capital ("txtProject", "cmdBrowse", "mnuFile"), or a type word
// followed by a number ("Label3", "List1", "Picture2", "SSTab1").
bool LooksLikeControlName(const QString& text) {
    static const QRegularExpression kPrefixed(QStringLiteral(
        "^(frm|cls|mod|cmd|mnu|lbl|txt|chk|cbo|lst|tre|rtf|fra|pic|img|iml|opt|scr|mc)[A-Z0-9_]"));
    static const QRegularExpression kNumbered(QStringLiteral(
        "^(Label|List|Picture|Image|Text|Combo|Check|Command|Frame|SSTab|Tab|Tree|RichTextBox|Option)\\d+$"));
    const QString t = text.trimmed();
    return kPrefixed.match(t).hasMatch() || kNumbered.match(t).hasMatch() || t.contains(QLatin1String("qt_"));
}


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

namespace keyboard_and_reader {

// Every accessible object below `face` (itself first), whatever it shows.
void Walk(QAccessibleInterface* face, const std::function<void(QAccessibleInterface*)>& visit, int depth = 0) {
    if (!face || depth > 40) return;
    visit(face);
    for (int i = 0; i < face->childCount(); ++i) Walk(face->child(i), visit, depth + 1);
}

std::string Describe(QAccessibleInterface* face) {
    QObject* o = face->object();
    return (o ? std::string(o->metaObject()->className()) + " '" + o->objectName().toStdString() + "'" : "part") +
           " read as '" + face->text(QAccessible::Name).toStdString() + "'";
}

// What a screen reader meets wrongly in a window: a name that is a control's name in the code, or
// a control announced as a window (Qt's border role is read as a frame, a window, too).
std::string CodeNamesAndFalseWindows(QWidget* window) {
    std::string out;
    Walk(QAccessible::queryAccessibleInterface(window), [&](QAccessibleInterface* face) {
        if (LooksLikeControlName(face->text(QAccessible::Name))) out += "code name: " + Describe(face) + "\n";
        const QAccessible::Role role = face->role();
        auto* widget = qobject_cast<QWidget*>(face->object());
        if ((role == QAccessible::Window || role == QAccessible::Border) && widget && !widget->isWindow() &&
            !qobject_cast<ui::Form*>(widget))
            out += "not a window: " + Describe(face) + "\n";
    });
    return out;
}

struct ShownTool : apptest::FramedTool {
    ShownTool() {
        frame->resize(1024, 740);
        frame->show();
        frame->activateWindow();
        NewProjectOnGroup(dir.path() + "Reader.qlp");
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.data()));
    }
};

TEST(KeyboardAndReader, NoWindowReadsAControlByItsCodeNameOrAnnouncesAControlAsAWindow) {
    apptest::FramedTool bare;  // the frame alone, its logo shown
    bare.frame->show();
    apptest::ProcessEvents();
    EXPECT_EQ(CodeNamesAndFalseWindows(bare.frame.data()), "");

    ShownTool f;
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    const std::string source = f.dir.path() + "modMain.bas";
    std::unique_ptr<quillet::frmHelp> help(new quillet::frmHelp(f.t.program));
    std::unique_ptr<quillet::frmAbout> about(new quillet::frmAbout(f.t.program));
    std::unique_ptr<quillet::toolwindow::SnippetEditor> editor(
        new quillet::toolwindow::SnippetEditor(f.dir.path() + "x.PreCode", "x.PreCode", *f.t.program.services.messageBox));
    const std::pair<const char*, QWidget*> windows[] = {
        {"frame and tool window", f.frame.data()},
        {"viewer", quillet::ShowFileInViewer(f.t.program, source, 2)},
        {"help", help.get()},
        {"about", about.get()},
        {"snippet editor", editor.get()},
    };
    for (const auto& [what, window] : windows) {
        SCOPED_TRACE(what);
        ASSERT_NE(window, nullptr);
        window->show();
        apptest::ProcessEvents();
        EXPECT_EQ(CodeNamesAndFalseWindows(window), "");
    }
    // Each report page, shown in turn.
    for (int tab = 0; tab < 6; ++tab) {
        tool->SSTab1()->SetTab(tab);
        apptest::ProcessEvents();
        EXPECT_EQ(CodeNamesAndFalseWindows(f.frame.data()), "") << "tab " << tab;
    }
}

TEST(KeyboardAndReader, ControlsWithNothingToReadAreNamedForWhatTheyAreAndTheTwoSnippetSidesApart) {
    ShownTool f;
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    auto named = [tool](const char* name) -> QString {
        QObject* found = nullptr;
        for (QObject* c : ui::Controls(tool))
            if (c->objectName() == name) found = c;
        return found ? AccessibleName(found) : QString("(no control)");
    };
    const struct {
        const char* control;
        const char* read;
    } rows[] = {
        {"txtProject", "VBP/VBG Projects"},
        {"cmdBrowse", "Browse"},
        {"rtfMsg", "Status"},
        {"SSTab1", "Report tabs"},
        {"treProject", "App Functions"},
        {"treRoutines", "Called Routines"},
        {"rtfModules", "Module Definitions"},
        {"rtfAPIs", "API's"},
        {"Label3", "Replaceable\nCode\nParameters"},
        {"cmdAddPreCodecbo", "Add Pre-Code"},
        {"cmdEditPreCode", "Edit Pre-Code"},
        {"cmdRemovePreCode", "Remove Pre-Code"},
        {"cmdAddPostCodecbo", "Add Post-Code"},
        {"cmdEditPostCode", "Edit Post-Code"},
        {"cmdRemovePostCode", "Remove Post-Code"},
    };
    for (const auto& r : rows) EXPECT_EQ(named(r.control).toStdString(), r.read) << r.control;
    // The placeholder list reads as the placeholders it shows.
    const QString placeholders = named("lblReplaceNames");
    for (const char* p : {"~Module~", "~Form~", "~Class~", "~Procedure~", "~Sub~", "~ProcStart~", "~ProcEnd~"})
        EXPECT_TRUE(placeholders.contains(p)) << placeholders.toStdString();
    // The captions stay as they are.
    EXPECT_EQ(tool->Button("cmdAddPreCodecbo")->text(), "Add");
    EXPECT_EQ(tool->Button("cmdRemovePostCode")->text(), "Remove");
    // The upper panel is a pane, not a window.
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(tool->findChild<QWidget*>("Picture2"));
    EXPECT_EQ(panel->role(), QAccessible::Pane);

    // A language file's words are the ones read, for captions and for what a control is.
    struct Remove {
        std::string path;
        ~Remove() { std::remove(path.c_str()); }
    } languageFile{f.t.program.state.LanguageFile};
    testsupport::WriteBytes(f.t.program.state.LanguageFile,
                            "[frmQuillet]\r\nLabel1=Vorher\r\nLabel5=Vorher\r\ncmdAddPreCodecbo=Neu\r\n"
                            "fraProjects=Projekte\r\nrtfMsg.AccessibleName=Meldung\r\nSSTab1_0=Funktionen\r\n");
    f.t.program.state.LanguageFileExists = true;
    quillet::LoadLanguage(f.t.program, tool);
    f.t.program.state.LanguageFileExists = false;
    EXPECT_EQ(named("cmdAddPreCodecbo").toStdString(), "Neu Vorher");
    EXPECT_EQ(named("cmdEditPreCode").toStdString(), "Edit Vorher");
    EXPECT_EQ(named("txtProject").toStdString(), "Projekte");
    EXPECT_EQ(named("rtfMsg").toStdString(), "Meldung");
    EXPECT_EQ(named("treProject").toStdString(), "Funktionen");
}

// The control of the window that the focus is in (a combo box for its edit line).
QWidget* FocusedControl(QWidget* window) {
    QWidget* focus = QApplication::focusWidget();
    const std::vector<QObject*> controls = ui::Controls(window);
    for (QWidget* up = focus; up; up = up->parentWidget())
        if (std::find(controls.begin(), controls.end(), up) != controls.end()) return up;
    return focus;
}

TEST(KeyboardAndReader, TabOnEveryReportTabVisitsOnlyWhatTheWindowShowsInReadingOrder) {
    ShownTool f;
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    const char* pages[] = {"treProject", "treRoutines", "rtfModules", "rtfForms", "rtfClasses", "rtfAPIs"};
    const QRect window(f.frame->mapToGlobal(QPoint(0, 0)), f.frame->size());
    for (int tab = 0; tab < 6; ++tab) {
        SCOPED_TRACE(pages[tab]);
        tool->SSTab1()->SetTab(tab);
        tool->txtProject()->setFocus(Qt::TabFocusReason);
        apptest::ProcessEvents();
        std::vector<std::string> visited;
        for (int step = 0; step < 60; ++step) {
            QWidget* control = FocusedControl(tool);
            ASSERT_NE(control, nullptr);
            if (step > 0 && control == tool->txtProject()) break;
            visited.push_back(control->objectName().toStdString());
            // What has the focus is there to see, and a screen reader finds it showing.
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
            EXPECT_FALSE(face->state().invisible) << visited.back();
            EXPECT_FALSE(face->state().offscreen) << visited.back();
            EXPECT_TRUE(window.contains(face->rect().center())) << visited.back();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            apptest::ProcessEvents();
        }
        // Down the window: the project path, the log switches, each snippet side, the tab strip
        // and its page, the buttons (those enabled).
        std::vector<std::string> expected = {"txtProject", "cmdBrowse", "chkLog", "chkLog", "chkLog",
                                             "cboPreCode", "lstPreCode", "cboPostCode", "lstPostCode",
                                             "SSTab1", pages[tab]};
        for (const char* button : {"cmdAddCode", "cmdUndoLastChange", "cmdPrint", "cmdSave", "cmdCancel", "cmdExit"})
            if (tool->Button(button)->isEnabled()) expected.push_back(button);
        EXPECT_EQ(visited, expected);
    }
}

// A keyboard user finds the focus in the window: on the path box of a new tool window, on the page
// shown once a project has loaded (the load was started from a menu or a dialog, not a control).
TEST(KeyboardAndReader, TheFocusIsInTheToolWindowWhenItShowsAndAfterALoad) {
    apptest::FramedTool f;
    f.frame->show();
    f.frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.frame.data()));
    f.t.fakes.dialogs.saveResults.push_back(f.dir.path() + "Focus.qlp");
    f.Click("mnuNewProject");
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), tool->txtProject());
    // A load begun from a menu: the focus the window gave the path box, which the user has not
    // worked in, goes to the tree.
    tool->txtProject()->SetText(QString::fromStdString(f.group));
    tool->LoadProject(false);
    apptest::ProcessEvents();
    EXPECT_EQ(QApplication::focusWidget(), tool->treProject());
    // Where the user works, the focus comes back after a reload.
    QTest::mouseClick(tool->txtProject(), Qt::LeftButton);
    tool->LoadProject(false);
    apptest::ProcessEvents();
    EXPECT_EQ(QApplication::focusWidget(), tool->txtProject());
}

// Every top-level menu's access key and every one of the tool window's, with what owns it.
std::multimap<QChar, std::string> AccessKeys(quillet::frmBackGround* frame, QWidget* tool) {
    std::multimap<QChar, std::string> keys;
    for (QAction* item : frame->MenuBar()->actions())
        if (const QChar k = quillet::AccessKeyOf(item->text()); !k.isNull()) keys.emplace(k, item->objectName().toStdString());
    for (QAbstractButton* b : tool->findChildren<QAbstractButton*>())
        if (const QChar k = quillet::AccessKeyOf(b->text()); !k.isNull()) keys.emplace(k, b->objectName().toStdString());
    return keys;
}

std::string Repeats(const std::multimap<QChar, std::string>& keys) {
    std::string out;
    for (auto it = keys.begin(); it != keys.end(); it = keys.upper_bound(it->first))
        if (keys.count(it->first) > 1) {
            out += std::string("Alt+") + QString(it->first).toStdString() + ":";
            for (auto [a, b] = keys.equal_range(it->first); a != b; ++a) out += " " + a->second;
            out += "\n";
        }
    return out;
}

TEST(KeyboardAndReader, EachAltLetterBelongsToOneMenuOrButtonAndActsAtTheFirstPress) {
    ShownTool f;
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(Repeats(AccessKeys(f.frame.data(), tool)), "");
    // Alt+B is About; Alt+S, the Save button, asks at once for the file to save the tab in.
    QTest::keyClick(f.frame.data(), Qt::Key_B, Qt::AltModifier);
    apptest::ProcessEvents();
    EXPECT_TRUE(quillet::IsFormLoaded(f.t.program, "frmAbout"));
    for (ui::Form* w : f.t.program.forms.List())
        if (w->Tag() == "frmAbout") f.t.program.forms.Unload(w);
    apptest::ProcessEvents();
    f.frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.frame.data()));
    tool->treProject()->setFocus();
    const std::size_t before = f.t.fakes.dialogs.requests.size();
    QTest::keyClick(tool->treProject(), Qt::Key_S, Qt::AltModifier);
    QTest::qWait(300);  // a button pressed by its key shows itself pressed a moment first
    apptest::ProcessEvents();
    EXPECT_EQ(f.t.fakes.dialogs.requests.size(), before + 1) << "the save dialog at the first Alt+S";
    EXPECT_FALSE(f.frame->MenuItem("mnuSettings")->menu()->isVisible());
}

// The help text says which letter does what, as the window has them.
TEST(KeyboardAndReader, TheHelpTextNamesTheAccessKeyOfEveryMenuAndButton) {
    ShownTool f;
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    const std::string help = testsupport::ReadBytes(std::string(QUILLET_SHIPPED_DIR) + "Instructions.html");
    std::vector<std::pair<QString, QString>> keyed;  // caption, as the help text names it
    for (QAction* item : f.frame->MenuBar()->actions())
        if (item->isVisible()) keyed.emplace_back(item->text(), item->text());
    for (const char* name : {"cmdAddCode", "cmdSave", "cmdCancel", "cmdExit"})
        keyed.emplace_back(tool->Button(name)->text(), tool->Button(name)->text());
    keyed.emplace_back("&Print", "&Print");  // its caption names the tab shown
    for (const auto& [caption, words] : keyed) {
        const QChar key = quillet::AccessKeyOf(caption);
        ASSERT_FALSE(key.isNull()) << caption.toStdString();
        QString plain = words;
        plain.remove('&');
        const std::string said = "<b>Alt+" + QString(key).toStdString() + "</b> " + plain.toStdString();
        EXPECT_NE(help.find(said), std::string::npos) << said;
    }
}

TEST(KeyboardAndReader, AMenuWhoseLanguageFileLetterMeetsAButtonsTakesAnotherOfItsLetters) {
    struct Remove {
        std::string path;
        ~Remove() { std::remove(path.c_str()); }
    };
    apptest::FramedTool f;
    const Remove languageFile{f.t.program.state.LanguageFile};
    testsupport::WriteBytes(languageFile.path,
                            "[frmBackGround]\r\nmnuView=&Ansicht\r\nmnuHelp=&Eile\r\n[frmQuillet]\r\ncmdExit=&Ende\r\n");
    f.t.program.state.LanguageFileExists = true;
    quillet::LoadLanguage(f.t.program, f.frame.data());
    f.NewProjectOnGroup(f.dir.path() + "Letters.qlp");
    f.t.program.state.LanguageFileExists = false;
    auto* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->Button("cmdExit")->text(), "&Ende");
    EXPECT_EQ(Repeats(AccessKeys(f.frame.data(), tool)), "");
    EXPECT_EQ(f.frame->MenuItem("mnuView")->text(), "A&nsicht");  // Alt+A is Add Code
    EXPECT_EQ(f.frame->MenuItem("mnuHelp")->text(), "E&ile");     // Alt+E is Ende
}

TEST(KeyboardAndReader, AccessKeysMoveToAFreeLetterOfTheirCaption) {
    const struct {
        const char* caption;
        const char* taken;
        const char* moved;
    } rows[] = {
        {"&About", "A", "A&bout"},
        {"&Settings", "SE", "Se&ttings"},
        {"&Colors", "", "&Colors"},       // free: kept
        {"View", "V", "View"},            // no key: kept
        {"&Ab", "AB", "Ab"},              // no letter left: no key
        {"Fish && &Chips", "C", "&Fish && Chips"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(quillet::MoveAccessKey(r.caption, r.taken).toStdString(), r.moved) << r.caption;
    EXPECT_EQ(quillet::AccessKeyOf("Fish && &chips"), QChar('C'));
    EXPECT_TRUE(quillet::AccessKeyOf("A && B").isNull());
}

}  // namespace keyboard_and_reader

}  // namespace
