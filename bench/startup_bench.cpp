// Time from the program's start to its frame on screen, by phase:
//   quillet-startup-bench [--keep-home]
// Runs the program's start-up (Main) as quillet does, with the updater off, in a fresh temporary
// HOME (a first start: the settings file and the snippet folders are made), then once more in the
// same HOME (a later start). Uses the display Qt finds (QT_QPA_PLATFORM=offscreen without one).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include "app/core/Program.h"
#include "app/frame/frmBackGround.h"
#include "app/services/QtServices.h"
#include "app/startup/AppIdentity.h"
#include "app/startup/StartUp.h"

namespace {

// Milliseconds since the process was started by the kernel (before the dynamic loader ran).
double SinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    for (int i = 3; i < 22; ++i) rest >> field;
    unsigned long long startTicks = 0;
    rest >> startTicks;
    std::ifstream uptimeFile("/proc/uptime");
    double uptime = 0;
    uptimeFile >> uptime;
    return (uptime - static_cast<double>(startTicks) / static_cast<double>(::sysconf(_SC_CLK_TCK))) * 1000.0;
}

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// One start-up; returns the time until the frame was shown and painted.
double StartOnce(const char* label) {
    QElapsedTimer total;
    total.start();
    quillet::Program program;
    quillet::QtServices services;
    program.services = services.Bundle();
    quillet::StartOptions options;
    options.commandLine = "--noupdate";
    options.programFolder = quillet::ShippedFolder();
    QElapsedTimer phase;
    phase.start();
    const quillet::StartResult started = quillet::Main(program, quillet::QuilletAppObject(), options);
    const double main = Ms(phase);
    if (started.outcome != quillet::StartOutcome::FrameShown) {
        std::fprintf(stderr, "the frame was not shown\n");
        std::exit(1);
    }
    phase.restart();
    QWindow* window = started.frame->windowHandle();
    while (!(window && window->isExposed()) && phase.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        window = started.frame->windowHandle();
    }
    started.frame->repaint();
    const double painted = Ms(phase);
    const double all = Ms(total);
    std::printf("%-12s Main (library set-up, settings, seeding, frame built and loaded) %7.1f ms\n", label, main);
    std::printf("%-12s frame exposed and painted                                     %7.1f ms\n", label, painted);
    std::printf("%-12s start-up to frame on screen                                   %7.1f ms\n", label, all);
    delete started.frame;
    QCoreApplication::processEvents();
    return all;
}

}  // namespace

int main(int argc, char** argv) {
    const double atMain = SinceProcessStart();
    const bool keepHome = argc > 1 && std::string(argv[1]) == "--keep-home";
    char home[] = "/tmp/quillet-startup-XXXXXX";
    if (!keepHome) {
        if (!::mkdtemp(home)) return 1;
        ::setenv("HOME", home, 1);
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_CONFIG_HOME");
    }
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QElapsedTimer app;
    app.start();
    QApplication application(argc, argv);
    const double appMs = Ms(app);
    std::printf("process start to main (loading the program and its libraries)  %7.1f ms\n", atMain);
    std::printf("QApplication made (platform: %s)%*s %7.1f ms\n", qPrintable(QApplication::platformName()),
                static_cast<int>(31 - QApplication::platformName().size()), "", appMs);
    const double first = StartOnce("start");
    std::printf("process start to frame on screen                               %7.1f ms\n", atMain + appMs + first);
    // A later start in the same process reuses the library's set-up; the settings file and snippet
    // folders now exist.
    StartOnce("again");
    if (!keepHome) std::system((std::string("rm -rf '") + home + "'").c_str());
    return 0;
}
