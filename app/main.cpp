// quillet: the start-up. Makes the application object and the program's services, runs Main, and
// then the event loop while the frame is open.
#include <QApplication>
#include <QIcon>
#include <QStringList>

#include "app/core/Program.h"
#include "app/core/Settings.h"
#include "app/resources/Resources.h"
#include "app/services/QtServices.h"
#include "app/startup/AppIdentity.h"
#include "app/startup/StartUp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName("Quillet");
    application.setOrganizationName("Tovell Systems");
    quillet::InitResources();
    application.setWindowIcon(QIcon(":/quillet/quillet-256.png"));
    // The desktop entry that `cmake --install` puts in the application menu: the desktop matches
    // the program's windows to it (and its icon).
    QGuiApplication::setDesktopFileName("quillet");

    quillet::Program program;
    quillet::QtServices services(
        [&program] { return quillet::ReadIniText("Quillet", "Editor", "", program.state.IniFileName); });
    program.services = services.Bundle();

    QStringList words = QApplication::arguments();
    words.removeFirst();
    quillet::StartOptions options;
    options.commandLine = words.join(' ').toStdString();
    options.programFolder = quillet::ShippedFolder();
    const quillet::StartResult started = quillet::Main(program, quillet::QuilletAppObject(), options);
    switch (started.outcome) {
        case quillet::StartOutcome::UpdaterStarted: return 0;
        case quillet::StartOutcome::Failed: return 1;
        case quillet::StartOutcome::FrameShown: break;
    }
    return QApplication::exec();
}
