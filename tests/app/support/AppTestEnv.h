// The environment of the program's tests. The test program's main() has already pointed HOME and
// the XDG folders into a temporary folder of this run; here the QApplication is made once per
// test program and the library is set up against those folders, as the start-up does.
//
// Build a window with fakes:
//     apptest::TestProgram t;                    // library set up, fake services, state filled
//     t.fakes.messageBox.answers = {quillet::kNo};
//     quillet::frmBackGround frame(t.program);   // any window takes the Program
#pragma once

#include <functional>
#include <string>

#include <QApplication>

#include "app/core/Program.h"
#include "tests/app/support/FakeServices.h"

namespace apptest {

// The test program's application object (made on first use, offscreen).
QApplication& App();

// Sets the library up once for this test program (the Quillet application object) and returns
// the settings file path.
const std::string& InitLibrary();

// Whether InitLibrary has run in this test program (the library's set-up is once per process).
bool LibraryInitialised();

// The per-user data folder of this test program, ending in "/".
std::string DataFolder();

// A Program with fake services whose state holds what the start-up sets: the settings file (removed,
// so each test starts as a first start, with the library's logs started afresh), the special
// folders, the language paths (no language file: the Languages folder is emptied), the program
// folder (a temporary "install" folder of this test program).
class TestProgram {
public:
    TestProgram();
    ~TestProgram();
    TestProgram(const TestProgram&) = delete;
    TestProgram& operator=(const TestProgram&) = delete;

    FakeServices fakes;
    quillet::Program program;
};

// Lets queued events (deferred deletes and single-shot timers included) run.
void ProcessEvents();

// Runs `act` on the first visible top-level window for which `match` holds, once one is shown (the
// call under test waits in its modal loop meanwhile). Whatever happens, every modal window is
// hidden after a few seconds, so no test hangs on a real dialog.
void WhenShown(const std::function<bool(QWidget*)>& match, const std::function<void(QWidget*)>& act);

}  // namespace apptest
