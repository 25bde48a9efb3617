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
#include <QWidget>

#include <tovcore/controls.h>

#include "app/frame/frmBackGround.h"
#include "app/services/QtServices.h"
#include "app/secondary/frmAbout.h"
#include "app/secondary/frmHelp.h"
#include "app/secondary/frmView.h"
#include "app/toolwindow/SnippetEditor.h"
#include "app/toolwindow/frmQuillet.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/app/support/ToolFixture.h"
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
    if (widget == window || controls.count(widget) || qobject_cast<ui::Form*>(widget)) return true;
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

TEST(Accessibility, TheLibrarysMessageBoxNamesItsTextAndButtons) {
    apptest::TestProgram t;
    quillet::QtMessageBox box;
    std::string unnamed = "not shown";
    apptest::WhenShown([](QWidget* w) { return w->objectName() == "frmMsgBox"; },
                       [&unnamed](QWidget* w) {
                           unnamed = Unnamed(w);
                           for (QObject* c : ui::Controls(w))
                               if (auto* b = qobject_cast<QAbstractButton*>(c); b && b->text() == "&No") b->click();
                       });
    box.Show("Do you want to save this project?", 35, "Quillet", 2);
    EXPECT_EQ(unnamed, "") << "controls and menu items without an accessible name";
}

}  // namespace
