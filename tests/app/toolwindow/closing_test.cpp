// Closing the program, or the tool window, while something of the tool window is on the stack: one
// of its message boxes or file dialogs shows (each runs an event loop of its own, in which the
// title bar, File > Exit, the window's Exit and the accessibility interface still reach the
// windows), or a load runs. The close waits until they have returned, then asks about the tool
// project and unloads; no window ever goes from under its own code (the sanitizer build of these
// tests finds any that does).
#include <gtest/gtest.h>

#include <functional>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "app/core/Program.h"
#include "app/toolwindow/SnippetPanel.h"
#include "tests/app/support/ToolFixture.h"

namespace {

using apptest::FramedTool;
using quillet::toolwindow::frmQuillet;

// Presses a control, or the item `item` of a menu, through the accessibility interface, as a screen
// reader's user does.
void PressThroughAccessibility(QObject* object, const QString& item = {}) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    ASSERT_NE(face, nullptr);
    if (!item.isEmpty()) {
        QAccessibleInterface* found = nullptr;
        for (int i = 0; i < face->childCount() && !found; ++i)
            if (QAccessibleInterface* child = face->child(i); child && child->text(QAccessible::Name) == item)
                found = child;
        ASSERT_NE(found, nullptr) << item.toStdString();
        face = found;
    }
    ASSERT_NE(face->actionInterface(), nullptr);
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// The ways a user closes: the program (the frame's title bar, File > Exit, File > Exit through the
// accessibility interface) or the tool window alone (its Exit through the accessibility interface).
struct Closer {
    const char* name;
    std::function<void(FramedTool&)> close;
    bool program;  // the whole program closes (else the tool window alone)
};

const std::vector<Closer>& Closers() {
    static const std::vector<Closer> closers = {
        {"the title bar", [](FramedTool& f) { f.frame->close(); }, true},
        {"File > Exit", [](FramedTool& f) { f.frame->MenuItem("mnuExit")->trigger(); }, true},
        {"File > Exit through the accessibility interface",
         [](FramedTool& f) { PressThroughAccessibility(f.frame->MenuItem("mnuFile")->SubMenu(), "Exit"); }, true},
        {"the tool window's Exit through the accessibility interface",
         [](FramedTool& f) { PressThroughAccessibility(f.Tool()->Button("cmdExit")); }, false},
    };
    return closers;
}

// What the box's or dialog's own event loop does while it shows: whatever is queued runs, timers
// too (a button pressed through the accessibility interface clicks a moment later).
void RunTheModalLoop() {
    QTest::qWait(150);
    apptest::ProcessEvents();
}

std::string WriteLargeProject(const std::string& folder, int files, int procs) {
    std::string vbp = "Type=Exe\r\n";
    for (int i = 0; i < files; ++i) {
        const std::string name = "mod" + std::to_string(i);
        vbp += "Module=" + name + "; " + name + ".bas\r\n";
        std::string text = "Attribute VB_Name = \"" + name + "\"\r\nPrivate Total As Long\r\n";
        for (int p = 0; p < procs; ++p) {
            text += "Public Sub P" + std::to_string(i) + "_" + std::to_string(p) + "()\r\n";
            for (int l = 0; l < 20; ++l) text += "    Total = Total + " + std::to_string(l) + "\r\n";
            text += "End Sub\r\n";
        }
        testsupport::WriteBytes(folder + name + ".bas", text);
    }
    testsupport::WriteBytes(folder + "Large.vbp", vbp);
    return folder + "Large.vbp";
}

// After the close: the windows that were to go are gone (the tool window deleted), the others stay.
void ExpectClosed(FramedTool& f, const QPointer<frmQuillet>& tool, bool program) {
    for (int i = 0; i < 5; ++i) apptest::ProcessEvents();
    EXPECT_TRUE(tool.isNull()) << "the tool window is still there";
    ASSERT_FALSE(f.frame.isNull());
    EXPECT_EQ(f.frame->isVisible(), !program);
    EXPECT_FALSE(f.frame->ClosePending());
}

// The elapsed-time box at the end of a load shows; the user (or a timer inside the box's event
// loop) closes meanwhile. The box is answered, the load returns, then the close asks about the
// changed tool project and unloads.
TEST(ClosingWhileABoxShows, TheCloseWaitsForTheBoxOfALoadThenAsksAndUnloads) {
    for (const Closer& c : Closers()) {
        SCOPED_TRACE(c.name);
        FramedTool f;
        const std::string qlp = f.dir.path() + "Box.qlp";
        f.NewProjectOnGroup(qlp);
        f.Click("mnuSaveProject");
        f.Tool()->PrePanel()->Combo()->setEditText("Trace");
        QTest::mouseClick(f.Tool()->PrePanel()->AddButton(), Qt::LeftButton);
        QPointer<frmQuillet> tool = f.Tool();

        f.t.fakes.messageBox.shown.clear();
        bool closedInside = false, aliveInside = false;
        f.t.fakes.messageBox.whileShown = [&](const apptest::FakeMessageBox::Shown& box) {
            if (closedInside || box.prompt.rfind("Reports Creation Elapsed Time", 0) != 0) return;
            closedInside = true;
            c.close(f);
            RunTheModalLoop();
            aliveInside = !tool.isNull() && f.frame->isVisible();
        };
        f.t.fakes.dialogs.openResults.push_back(f.group);
        QTest::mouseClick(tool->Button("cmdBrowse"), Qt::LeftButton);
        ASSERT_TRUE(closedInside);
        EXPECT_TRUE(aliveInside) << "a window went while its box showed";
        ASSERT_FALSE(tool.isNull());
        ExpectClosed(f, tool, c.program);
        const auto prompts = f.t.fakes.messageBox.Prompts();
        ASSERT_EQ(prompts.size(), 2u);
        EXPECT_EQ(prompts[1], "Do you want to save this project?");
        EXPECT_NE(f.Read("Box.qlp").find("CodeType1=Trace\r\n"), std::string::npos);  // Yes saved it
    }
}

// Open Project's file dialog shows; the user closes meanwhile. The dialog returns (a file chosen,
// or cancelled), the command ends, then the program closes.
TEST(ClosingWhileADialogShows, TheCloseWaitsForOpenProjectsFileDialog) {
    for (const Closer& c : Closers())
        for (const bool chosen : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (chosen ? ", a file chosen" : ", the dialog cancelled"));
            FramedTool f;
            f.NewProjectOnGroup(f.dir.path() + "First.qlp");
            f.Click("mnuSaveProject");
            const std::string second = f.dir.path() + "Second.qlp";
            testsupport::WriteBytes(second, testsupport::CrLf({"[Quillet]", "ProjectName=" + f.group}));
            QPointer<frmQuillet> tool = f.Tool();
            f.t.fakes.messageBox.shown.clear();

            bool closedInside = false, aliveInside = false;
            f.t.fakes.dialogs.whileShown = [&](const apptest::FakeDialogs::Request& r) {
                if (closedInside || r.file.title != "Open Project") return;
                closedInside = true;
                c.close(f);
                RunTheModalLoop();
                aliveInside = !tool.isNull() && f.frame->isVisible();
            };
            if (chosen) f.t.fakes.dialogs.openResults.push_back(second);
            f.Click("mnuOpenProject");
            ASSERT_TRUE(closedInside);
            EXPECT_TRUE(aliveInside) << "a window went while its dialog showed";
            ExpectClosed(f, tool, c.program);
            // Nothing was changed, so nothing was asked.
            EXPECT_TRUE(f.t.fakes.messageBox.Prompts().empty()) << f.t.fakes.messageBox.Prompts().front();
        }
}

// The tool window's own Browse dialog and the frame's colour dialog are on the stack alike.
TEST(ClosingWhileADialogShows, TheCloseWaitsForTheBrowseAndTheColourDialogs) {
    struct Opener {
        const char* name;
        std::function<void(FramedTool&)> open;
    };
    const Opener openers[] = {
        {"the Browse dialog", [](FramedTool& f) { QTest::mouseClick(f.Tool()->Button("cmdBrowse"), Qt::LeftButton); }},
        {"the colour dialog", [](FramedTool& f) { f.Click("mnuSelectDisplayColor"); }},
    };
    for (const Opener& o : openers)
        for (const Closer& c : Closers()) {
            SCOPED_TRACE(std::string(o.name) + ", " + c.name);
            FramedTool f;
            f.NewProjectOnGroup(f.dir.path() + "Dialogs.qlp");
            f.Click("mnuSaveProject");
            QPointer<frmQuillet> tool = f.Tool();
            bool closedInside = false, aliveInside = false;
            f.t.fakes.dialogs.whileShown = [&](const apptest::FakeDialogs::Request&) {
                if (closedInside) return;
                closedInside = true;
                c.close(f);
                RunTheModalLoop();
                aliveInside = !tool.isNull() && f.frame->isVisible();
            };
            o.open(f);
            ASSERT_TRUE(closedInside);
            EXPECT_TRUE(aliveInside);
            ExpectClosed(f, tool, c.program);
        }
}

// The program is closed in each phase of a load of a large project, with a change of the tool
// project not saved: the load stops (or its box is answered), then the close asks once and the
// windows unload.
TEST(ClosingDuringALoad, EveryPhaseEndsInTheQuestionAndACleanUnload) {
    struct Phase {
        const char* name;
        std::function<bool(frmQuillet*)> now;  // polled while the load runs
        bool box;                               // the phase is the elapsed-time box
    };
    const Phase phases[] = {
        {"as it starts", [](frmQuillet* w) { return w->Busy(); }, false},
        {"while the files are read", [](frmQuillet* w) { return w->Busy() && w->State().LoadBusy; }, false},
        {"while the reports are made",
         [](frmQuillet* w) {
             return w->Busy() && w->rtfMsg()->toPlainText().startsWith("Processing Definition Report for");
         },
         false},
        {"while its elapsed-time box shows", {}, true},
    };
    testsupport::TempDir largeDir;
    const std::string large = WriteLargeProject(largeDir.path(), 60, 40);
    for (const Phase& p : phases) {
        SCOPED_TRACE(p.name);
        FramedTool f;
        const std::string qlp = f.dir.path() + "Phases.qlp";
        f.NewProjectOnGroup(qlp);
        f.Click("mnuSaveProject");
        f.Tool()->PrePanel()->Combo()->setEditText("Trace");
        QTest::mouseClick(f.Tool()->PrePanel()->AddButton(), Qt::LeftButton);
        QPointer<frmQuillet> tool = f.Tool();
        f.t.fakes.messageBox.shown.clear();

        bool closed = false;
        QTimer timer;
        if (p.now) {
            QObject::connect(&timer, &QTimer::timeout, [&] {
                if (!closed && !tool.isNull() && p.now(tool)) {
                    closed = true;
                    f.frame->close();
                }
            });
            timer.start(0);
        } else {
            f.t.fakes.messageBox.whileShown = [&](const apptest::FakeMessageBox::Shown& box) {
                if (closed || box.prompt.rfind("Reports Creation Elapsed Time", 0) != 0) return;
                closed = true;
                f.frame->close();
                RunTheModalLoop();
            };
        }
        f.t.fakes.dialogs.openResults.push_back(large);
        QTest::mouseClick(tool->Button("cmdBrowse"), Qt::LeftButton);
        timer.stop();
        ASSERT_TRUE(closed);
        ExpectClosed(f, tool, true);
        const auto prompts = f.t.fakes.messageBox.Prompts();
        ASSERT_FALSE(prompts.empty());
        EXPECT_EQ(prompts.back(), "Do you want to save this project?");
        EXPECT_EQ(prompts.size(), p.box ? 2u : 1u) << prompts.front();
        const std::string saved = f.Read("Phases.qlp");
        EXPECT_NE(saved.find("CodeType1=Trace\r\n"), std::string::npos) << saved;
        EXPECT_NE(saved.find("ProjectName=" + large + "\r\n"), std::string::npos) << saved;
    }
}

}  // namespace
