// quillet-toolwindow-bench: the tool window on a project, as a user drives it, timed phase by phase
// (Qt's offscreen platform unless a display is named). Message boxes are answered at once; the
// Browse dialog answers the project.
//
//   - Browse: from the click to the tree shown and the controls enabled (the engine's load, the
//     definition reports, the tree's model and its first paint),
//   - ticking the project root off and on (every procedure), with the repaint,
//   - the first visit of the Called Routines tab, tree shown,
//   - Add Code with every procedure checked and its reload, then Undo.
// During each long command a timer measures the longest wait of the event loop (how responsive
// the window stays); with --cancel each command is first run once more and cancelled through the
// Cancel button after 150 ms, and the time from the click to the command's end is printed. The
// project is left as it was (Undo).
//
//   quillet-toolwindow-bench PROJECT [--cancel] [--shots FOLDER]
//
// The tool window sits in the frame, as in the program. With --shots the frame is pictured with
// the project loaded (tree expanded to the procedures, a snippet chosen) and on each report tab
// (under Xvfb: xvfb-run -a -s "-screen 0 1920x1080x24" quillet-toolwindow-bench ...).
//
// Its settings, logs and snippets go into a temporary folder (XDG_DATA_HOME), not the user's.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/core/ToolWindowFactory.h"
#include "app/forms/FormServices.h"
#include "app/frame/frmBackGround.h"
#include "app/services/QtServices.h"
#include "app/startup/AppIdentity.h"
#include "app/toolwindow/SnippetPanel.h"
#include "app/toolwindow/frmQuillet.h"
#include "app/views/TreeModel.h"
#include "platform/fileio.h"

namespace {

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }
void Phase(const char* name, double seconds) { std::printf("%-34s %8.3f s\n", name, seconds); }

// Message boxes answered with their first button; what they said is kept.
class AnsweringBox : public quillet::MessageBoxService {
public:
    std::int32_t Show(const std::string& prompt, std::int32_t style, const std::string&, std::int32_t) override {
        last = prompt;
        switch (style & 7) {
            case quillet::vbYesNoCancel:
            case quillet::vbYesNo: return quillet::kYes;
            case quillet::vbRetryCancel: return quillet::kRetry;
            case quillet::vbAbortRetryIgnore: return quillet::kAbort;
            default: return quillet::kOk;
        }
    }
    std::string last;
};

// The open dialog answers the project; every other dialog is cancelled.
class AnsweringDialogs : public quillet::DialogService {
public:
    std::string project;
    std::optional<std::string> OpenFile(QWidget*, const quillet::FileDialogRequest&) override { return project; }
    std::optional<std::string> SaveFile(QWidget*, const quillet::FileDialogRequest&) override { return {}; }
    std::optional<std::int32_t> ChooseColor(QWidget*, const std::string&, std::int32_t) override { return {}; }
    std::optional<std::string> ChooseFolder(QWidget*, const std::string&, const std::string&) override { return {}; }
};

// While a command runs: the longest time between two turns of the event loop, and (when asked) a
// click on Cancel once the command has run for a while.
class Watch {
public:
    explicit Watch(quillet::toolwindow::frmQuillet& w) : cancelButton_(w.Button("cmdCancel")) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Turn(); });
    }
    void Run(const char* name, const std::function<void()>& command, bool cancel = false) {
        cancel_ = cancel;
        maxGap_ = 0;
        clicked_ = false;
        start_ = last_ = Clock::now();
        timer_.start(0);
        command();
        timer_.stop();
        const double total = Since(start_);
        Phase(name, total);
        std::printf("%-34s %8.3f s\n", "   longest wait of the event loop", std::max(maxGap_, Since(last_)));
        if (clicked_) std::printf("%-34s %8.3f s\n", "   from Cancel to the end", Since(clickedAt_));
    }

private:
    void Turn() {
        const auto now = Clock::now();
        const double gap = std::chrono::duration<double>(now - last_).count();
        if (std::getenv("BENCH_GAPS") && gap > 0.08)
            std::printf("      gap %.3f s ending at %.3f s\n", gap,
                        std::chrono::duration<double>(now - start_).count());
        maxGap_ = std::max(maxGap_, gap);
        last_ = now;
        if (cancel_ && !clicked_ && cancelButton_->isEnabled() && Since(start_) > 0.15) {
            clicked_ = true;
            clickedAt_ = now;
            QTest::mouseClick(cancelButton_, Qt::LeftButton);
        }
    }
    QPushButton* cancelButton_;
    bool cancel_ = false;
    QTimer timer_;
    Clock::time_point start_, last_, clickedAt_;
    double maxGap_ = 0;
    bool clicked_ = false;
};

void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: quillet-toolwindow-bench PROJECT [--cancel] [--shots FOLDER]\n";
        return 2;
    }
    const std::string project = argv[1];
    bool cancel = false;
    std::string shots;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--cancel")) cancel = true;
        else if (!std::strcmp(argv[i], "--shots") && i + 1 < argc) shots = argv[++i];
    }
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // Settings, logs and snippets of the run go into a folder of their own, not the user's.
    QTemporaryDir home;
    ::setenv("XDG_DATA_HOME", home.path().toLocal8Bit().constData(), 1);

    quillet::QtServices qt;
    AnsweringBox box;
    AnsweringDialogs dialogs;
    dialogs.project = project;
    quillet::Program program;
    quillet::Services services = qt.Bundle();
    services.messageBox = &box;
    services.dialogs = &dialogs;
    program.services = services;
    quillet::ProgramState& s = program.state;
    s.IniFileName = tovcore::Global().InitializeDll(quillet::QuilletAppObject(), tovcore::Freeware);
    s.objSpecialFolders = tovcore::Global().GetSpecialFolders();
    // The logs off, as a user who times the tool would have them.
    for (const char* key : {"Debug", "Error", "Log"})
        tovcore::Global().WriteIniString("Quillet", key, "False", s.IniFileName);
    const std::string data = s.objSpecialFolders.ApplicationDataFolderLocal;
    platform::WriteFileAtomic(data + "PreCode/BenchTrace.PreCode", "    WriteTraceLog \"~Procedure~\", ~ProcStart~");

    program.makeToolWindow = quillet::DefaultToolWindowFactory();
    auto* frame = new quillet::frmBackGround(program);
    frame->Load();
    frame->resize(1280, 900);
    auto& w = *dynamic_cast<quillet::toolwindow::frmQuillet*>(frame->ToolWindow());
    Settle();
    const auto picture = [&](const std::string& name) {
        if (shots.empty()) return;
        Settle();
        const QString path = QString::fromStdString(shots + "/" + name);
        if (!frame->grab().save(path)) std::cerr << "cannot write " << path.toStdString() << "\n";
    };
    Watch watch(w);

    const auto browse = [&] {
        QTest::mouseClick(w.Button("cmdBrowse"), Qt::LeftButton);
        w.repaint();
    };
    if (cancel) watch.Run("Browse, cancelled", browse, true);
    watch.Run("Browse to tree shown", browse);
    if (!w.ProjectLoaded()) {
        std::cerr << "the project is not loaded: " << box.last << "\n";
        return 1;
    }
    std::printf("%-34s %zu nodes\n", "   project tree", w.State().treProject.Count());

    auto* model = w.ProjectModel();
    const QModelIndex root = model->index(0, 0);
    for (const auto& [name, state] :
         {std::pair{"untick the project root", Qt::Unchecked}, std::pair{"tick the project root", Qt::Checked}}) {
        const auto start = Clock::now();
        model->setData(root, state, Qt::CheckStateRole);
        w.treProject()->repaint();
        Phase(name, Since(start));
    }

    const auto visit = [&] {
        w.SSTab1()->SetTab(0);
        w.SSTab1()->SetTab(1);
        w.repaint();
    };
    if (cancel) watch.Run("Called Routines, cancelled", visit, true);
    watch.Run("first visit of Called Routines", visit);
    std::printf("%-34s %zu nodes\n", "   Called Routines tree", w.State().treRoutines.Count());
    w.SSTab1()->SetTab(0);
    Settle();

    w.PrePanel()->Combo()->setEditText("BenchTrace");
    QTest::mouseClick(w.PrePanel()->AddButton(), Qt::LeftButton);
    if (!shots.empty()) {
        quillet::SkinForm(program, &w);
        w.treProject()->expandToDepth(3);
        picture("frame-toolwindow.png");
        static const char* kTabs[] = {
            "", "called-routines", "module-definitions", "form-definitions", "class-definitions", "apis"};
        for (int tab = 1; tab < 6; ++tab) {
            w.SSTab1()->SetTab(tab);
            if (tab == 1) w.treRoutines()->expandToDepth(1);
            picture(std::string("frame-tab-") + kTabs[tab] + ".png");
        }
        w.SSTab1()->SetTab(0);
    }
    const auto addCode = [&] {
        QTest::mouseClick(w.Button("cmdAddCode"), Qt::LeftButton);
        w.repaint();
    };
    if (cancel) {
        watch.Run("Add Code, cancelled", addCode, true);
        std::printf("%-34s %s\n", "   outcome", box.last.substr(0, box.last.find('\n')).c_str());
    }
    watch.Run("Add Code with reload", addCode);
    std::printf("%-34s %s\n", "   outcome", box.last.substr(0, box.last.find('\n')).c_str());
    if (w.Button("cmdUndoLastChange")->isEnabled()) {
        const auto start = Clock::now();
        QTest::mouseClick(w.Button("cmdUndoLastChange"), Qt::LeftButton);
        Phase("Undo with reload", Since(start));
        std::printf("%-34s %s\n", "   outcome", box.last.substr(0, box.last.find('\n')).c_str());
    }
    program.state.ProjectChanged = false;
    delete frame;
    return 0;
}
