// quillet-window-bench: the report windows on a project, timed phase by phase, on Qt's offscreen
// platform unless a display is named:
//   - filling the four report boxes from the report texts and runs (and the first paint of the
//     module box),
//   - the source viewer on a file of many lines (one is written from the project's first module
//     when none is given),
//   - printing the module report into a PDF file.
//
//   quillet-window-bench PROJECT [--view FILE] [--view-lines N] [--pdf FILE] [--shots DIR]
//
// --shots writes pictures of the screen with the module report box, the viewer and the about
// window (run it under a display, Xvfb for instance, to see real windows).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QPrinter>
#include <QTextEdit>

#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/reports/ReportBoxes.h"
#include "app/reports/ReportPrinting.h"
#include "app/secondary/frmAbout.h"
#include "app/secondary/frmView.h"
#include "app/services/QtServices.h"
#include "app/startup/AppIdentity.h"
#include "bench/bench_host.h"
#include "engine/loader.h"
#include "platform/fileio.h"
#include "reports/definition_reports.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void Phase(const char* name, double seconds) { std::printf("%-26s %8.3f s\n", name, seconds); }

// A source file of `lines` code lines under an attribute header, from the lines of `model`.
std::string WriteViewFile(const engine::ToolState& state, const std::string& folder, long lines) {
    std::string text = "Attribute VB_Name = \"BenchView\"\r\n";
    const auto& files = state.model.ModuleFiles();
    std::string body;
    if (!files.empty()) platform::ReadFileBytes(files.front().fPath, body);
    std::vector<std::string> code;  // the module's lines after its header
    for (const std::string& line : platform::SplitLines(body).lines)
        if (!code.empty() || line.rfind("Attribute", 0) != 0) code.push_back(line);
    for (long i = 0; i < lines; ++i) {
        text += code.empty() ? "x = " + std::to_string(i) : code[static_cast<std::size_t>(i) % code.size()];
        text += "\r\n";
    }
    const std::string path = folder + "BenchView.bas";
    platform::WriteFileAtomic(path, text);
    return path;
}

// The screen with `window` shown, as the display shows it.
void Shot(QWidget* window, const std::string& path) {
    window->show();
    window->raise();
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap picture = screen ? screen->grabWindow(0) : window->grab();
    if (!picture.save(QString::fromStdString(path))) std::cerr << "could not write " << path << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: quillet-window-bench PROJECT [--view FILE] [--view-lines N] [--pdf FILE]\n";
        return 2;
    }
    std::string project = argv[1], view, pdf, shots;
    long viewLines = 20000;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--view")) view = argv[i + 1];
        else if (!std::strcmp(argv[i], "--view-lines")) viewLines = std::atol(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--pdf")) pdf = argv[i + 1];
        else if (!std::strcmp(argv[i], "--shots")) shots = argv[i + 1];
    }
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    tovcore::Global().InitializeDll(quillet::QuilletAppObject(), tovcore::Freeware);

    engine::ToolState state;
    bench::BenchHost host;
    state.txtProject = project;
    auto start = Clock::now();
    if (!engine::LoadProject(state, host, host, false)) {
        std::cerr << "the project did not load\n";
        return 1;
    }
    Phase("load", Since(start));
    reports::DefinitionReports boxes;
    start = Clock::now();
    reports::CreateDefinitionReports(state.model, boxes, host,
                                     reports::CurrentReportStamp(tovcore::Global().GetVersion()));
    Phase("report texts", Since(start));

    // The four boxes, as the tool window fills them after a load.
    QTextEdit modules, forms, classes, apis;
    QTextEdit* widgets[] = {&modules, &forms, &classes, &apis};
    const reports::ReportBox* texts[] = {&boxes.rtfModules, &boxes.rtfForms, &boxes.rtfClasses, &boxes.rtfAPIs};
    for (QTextEdit* w : widgets) {
        quillet::InitReportBox(w);
        w->resize(1200, 700);
    }
    start = Clock::now();
    for (int i = 0; i < 4; ++i) quillet::FillReportBox(widgets[i], *texts[i]);
    Phase("fill four report boxes", Since(start));
    start = Clock::now();
    modules.show();
    QApplication::processEvents();
    Phase("show the module box", Since(start));
    std::printf("%-26s %zu %zu %zu %zu characters\n", "report sizes", boxes.rtfModules.text.size(),
                boxes.rtfForms.text.size(), boxes.rtfClasses.text.size(), boxes.rtfAPIs.text.size());
    if (!shots.empty()) Shot(&modules, shots + "/module-report-window.png");
    modules.hide();

    // The viewer.
    quillet::QtServices services;
    quillet::Program program;
    program.services = services.Bundle();
    if (view.empty()) view = WriteViewFile(state, platform::FolderOf(project), viewLines);
    start = Clock::now();
    quillet::frmView* viewer = quillet::ShowFileInViewer(program, view, static_cast<std::int32_t>(viewLines * 9 / 10));
    QApplication::processEvents();
    Phase("viewer", Since(start));
    if (viewer) std::printf("%-26s %d lines\n", "viewer text", viewer->rtfView()->document()->blockCount());
    if (viewer && !shots.empty()) Shot(viewer, shots + "/viewer-window.png");
    delete viewer;

    // The module report into a PDF file.
    if (pdf.empty()) pdf = platform::FolderOf(project) + "BenchModules.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    start = Clock::now();
    int pages = 0;
    {
        quillet::PrinterSink sink(printer);
        quillet::PrintJob job(sink);
        if (!job.PrintReport(boxes.rtfModules) || !job.Finish()) std::cerr << job.Error() << "\n";
        pages = job.Pages();
    }
    Phase("print modules to PDF", Since(start));
    if (!shots.empty()) Shot(quillet::ShowAbout(program), shots + "/about-window.png");
    std::printf("%-26s %d pages, %s\n", "PDF", pages, pdf.c_str());
    return 0;
}
