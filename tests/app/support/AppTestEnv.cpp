#include "tests/app/support/AppTestEnv.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <tovcore/clsTovcore.h>

#include "app/startup/AppIdentity.h"
#include "tests/support/testsupport.h"

namespace apptest {

QApplication& App() {
    // QUILLET_TEST_PLATFORM=xcb (under xvfb-run) shows the windows on a real display instead of
    // Qt's offscreen platform, for screenshots of real windows.
    static char name[] = "quillet-tests";
    static char platformSwitch[] = "-platform";
    static std::string platform = std::getenv("QUILLET_TEST_PLATFORM") ? std::getenv("QUILLET_TEST_PLATFORM") : "";
    static char* argv[] = {name, platformSwitch, platform.data(), nullptr};
    static int argc = platform.empty() ? 1 : 3;
    static QApplication* app = [] {
        if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return existing;
        return new QApplication(argc, argv);
    }();
    return *app;
}

namespace {
bool g_initialised = false;
}  // namespace

bool LibraryInitialised() { return g_initialised; }

const std::string& InitLibrary() {
    App();
    g_initialised = true;
    static const std::string ini = tovcore::Global().InitializeDll(quillet::QuilletAppObject(), tovcore::Freeware);
    return ini;
}

std::string DataFolder() {
    InitLibrary();
    return tovcore::Global().GetSpecialFolders().ApplicationDataFolderLocal;
}

TestProgram::TestProgram() {
    quillet::ProgramState& s = program.state;
    s.IniFileName = InitLibrary();
    // Every program starts as a first start does, also when one test program runs many tests in
    // one process, in any order: no settings file, no language file, and the three logs started
    // afresh where the set-up starts them (an earlier test may have switched one off or started it
    // under another name; the library keeps that for the life of the process).
    std::filesystem::remove(s.IniFileName);
    s.objSpecialFolders = tovcore::Global().GetSpecialFolders();
    std::error_code ignored;
    std::filesystem::remove_all(s.objSpecialFolders.ApplicationDataFolderLocal + "Languages", ignored);
    tovcore::Global().InitLog("");
    tovcore::Global().InitDebugLog("");
    tovcore::Global().InitErrorLog("");
    s.ProgramFolder = testsupport::RunRoot() + "install/";
    std::filesystem::create_directories(s.ProgramFolder);
    s.LanguagesFolder = s.objSpecialFolders.ApplicationDataFolderLocal + "Languages/";
    s.LanguageFile = s.LanguagesFolder + "Default.ist";
    s.LanguageFileExists = false;
    program.services = fakes.Bundle();
}

TestProgram::~TestProgram() { ProcessEvents(); }

void ProcessEvents() {
    App();
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void WhenShown(const std::function<bool(QWidget*)>& match, const std::function<void(QWidget*)>& act) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, match, act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || !match(w)) continue;
            timer->stop();
            timer->deleteLater();
            act(w);
            return;
        }
        if (++*ticks > 500) {
            timer->stop();
            timer->deleteLater();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->isModal()) w->hide();
        }
    });
    timer->start();
}

}  // namespace apptest
