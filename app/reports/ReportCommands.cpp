#include "app/reports/ReportCommands.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QTextEdit>

#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/forms/FormServices.h"
#include "app/reports/ReportPrinting.h"
#include "platform/fileio.h"
#include "platform/text.h"
#include "reports/output.h"
#include "reports/xref.h"

namespace quillet {

namespace {

void Message(Program& program, const std::string& text) {
    program.services.messageBox->Show(text, vbOKOnly, "", 2);
}

// The tab's default file name with ".pdf" for ".txt" ("" for the API tab).
std::string PdfName(const std::string& projectFileTitle, int tab) {
    std::string name = reports::DefaultReportFileName(projectFileTitle, tab);
    if (name.size() > 4) name.replace(name.size() - 4, 4, ".pdf");
    return name;
}

// One tab into the job: tree tabs as their header and indented lines, report tabs as rich text.
bool PrintTab(PrintJob& job, ReportTabs& tabs, int tab, const reports::ReportStamp& stamp) {
    const engine::ToolState& st = tabs.state;
    if (tab == reports::kTabProject) {
        std::vector<PrintLine> lines = TextPrintLines(reports::TreeHeader(st, tab, stamp));
        if (!st.treProject.Roots().empty()) {
            std::vector<PrintLine> tree = TreePrintLines(st.treProject, st.treProject.Roots().front());
            lines.insert(lines.end(), std::make_move_iterator(tree.begin()), std::make_move_iterator(tree.end()));
        }
        return job.PrintLines(lines);
    }
    if (tab == reports::kTabRoutines) {
        std::string text = reports::TreeHeader(st, tab, stamp);
        reports::EnumNodes(st.treRoutines, reports::RoutinesRootNode(st.treRoutines), text, 0);
        return job.PrintLines(TextPrintLines(text));
    }
    const reports::ReportBox* box = tabs.reports.Box(tab);
    return box ? job.PrintReport(*box) : true;
}

// Where a job goes, as the status line names it.
std::string Destination(const PrintTarget& target) {
    if (!target.pdfPath.empty()) return "the PDF file " + target.pdfPath;
    return "the printer " + target.printer->printerName().toStdString();
}

// Prints `tabsToPrint` into one job on `target`; one message when it fails. The status line says
// where the job goes while it prints, and where it went once it is done.
bool RunJob(ReportTabs& tabs, PrintTarget& target, const std::vector<int>& tabsToPrint) {
    Program& program = tabs.program;
    const reports::ReportStamp stamp = ReportStampNow(program);
    DisplayMessage(program, "Printing to " + Destination(target) + " ...", false, 0);
    // Paint the line now; the job itself does not serve the event loop, and no click may reach
    // the window while it runs.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    tovcore::Global().HourGlassOn();
    bool printed;
    int pages = 0;
    std::string why;
    {
        PrinterSink sink(*target.printer);
        PrintJob job(sink);
        printed = true;
        for (int tab : tabsToPrint)
            if (!PrintTab(job, tabs, tab, stamp)) {
                printed = false;
                break;
            }
        if (!job.Finish()) printed = false;
        if (!printed) why = job.Error();
        pages = job.Pages();
    }
    std::string placed;
    if (!FinishPrinter(target, printed, &placed) && printed) {
        printed = false;
        why = placed;
    }
    tovcore::Global().HourGlassOff();
    if (!printed) {
        ClearMessage(program);
        Message(program, "Unable To Print - " + why);
        return false;
    }
    const std::string count = std::to_string(pages) + (pages == 1 ? " page" : " pages");
    DisplayMessage(program,
                   (target.pdfPath.empty() ? "Sent " : "Printed ") + count + " to " + Destination(target), true, 0);
    return true;
}

}  // namespace

PrintTarget::PrintTarget() = default;
PrintTarget::PrintTarget(PrintTarget&&) noexcept = default;
PrintTarget::~PrintTarget() {
    printer.reset();
    if (!tempPath.empty()) std::remove(tempPath.c_str());
}

reports::ReportStamp ReportStampNow(Program& program) {
    const std::time_t now = std::chrono::system_clock::to_time_t(program.services.clock->Now());
    std::tm local{};
    localtime_r(&now, &local);
    return {reports::ReportDateText(local), tovcore::Global().GetVersion()};
}

bool TabHasContent(const ReportTabs& tabs, int tab) {
    if (tab == reports::kTabProject) return !tabs.state.treProject.empty();
    if (tab == reports::kTabRoutines) return !tabs.state.treRoutines.empty();
    const reports::ReportBox* box = tabs.reports.Box(tab);
    return box && !box->text.empty();
}

void cmdSave_Click(ReportTabs& tabs, int tab) {
    Program& program = tabs.program;
    const std::string text = reports::TabSaveText(tabs.state, tabs.reports, tab, ReportStampNow(program));
    FileDialogRequest request;
    request.title = "Save As";
    request.folder = tabs.state.ProjectFolder;
    request.fileName = reports::DefaultReportFileName(tabs.state.ProjectFileTitle, tab);
    request.filter = "Xref Files |*.txt";
    const std::optional<std::string> path = program.services.dialogs->SaveFile(tabs.owner, request);
    if (!path || path->empty()) return;
    std::string why;
    if (!reports::SaveReportText(*path, text, &why)) Message(program, "Unable To Save " + *path + " - " + why);
}

std::optional<PrintTarget> OpenPrinter(Program& program, QWidget* owner, const std::string& folder,
                                       const std::string& pdfName, bool dialog, std::string* why) {
    PrintTarget target;
    target.printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    target.printer->setPageOrientation(QPageLayout::Landscape);
    target.printer->setDocName(QStringLiteral("Quillet"));
    const std::string name = program.services.printing ? program.services.printing->DefaultPrinter() : "";
    if (!name.empty()) {
        target.printer->setPrinterName(QString::fromStdString(name));
        if (dialog && !program.services.printing->PrinterDialog(owner, *target.printer)) return std::nullopt;
        return target;
    }

    // No printer: a PDF file.
    FileDialogRequest request;
    request.title = "Print To PDF File";
    request.folder = folder;
    request.fileName = pdfName;
    request.filter = "PDF Files |*.pdf";
    const std::optional<std::string> path = program.services.dialogs->SaveFile(owner, request);
    if (!path || path->empty()) return std::nullopt;
    target.pdfPath = *path;
    if (platform::NameOf(target.pdfPath).find('.') == std::string::npos) target.pdfPath += ".pdf";
    std::string temp = target.pdfPath + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        if (why) *why = "The file " + target.pdfPath + " could not be written: " + std::strerror(errno) + ".";
        return std::nullopt;
    }
    // The finished file gets the permissions a new file of the user gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    target.tempPath = temp;
    target.printer->setOutputFormat(QPrinter::PdfFormat);
    target.printer->setOutputFileName(QString::fromStdString(temp));
    return target;
}

bool FinishPrinter(PrintTarget& target, bool printed, std::string* why) {
    if (target.tempPath.empty()) return printed;
    const std::string temp = std::move(target.tempPath);
    target.tempPath.clear();
    if (!printed) {
        std::remove(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), target.pdfPath.c_str()) != 0) {
        if (why) *why = "The file " + target.pdfPath + " could not be written: " + std::strerror(errno) + ".";
        std::remove(temp.c_str());
        return false;
    }
    platform::SyncFolder(platform::FolderOf(target.pdfPath));
    return true;
}

bool PrintReport(ReportTabs& tabs, int tab) {
    if (!TabHasContent(tabs, tab)) return false;
    ClearMessage(tabs.program);  // where an earlier job went is no longer news
    std::string why;
    std::optional<PrintTarget> target = OpenPrinter(tabs.program, tabs.owner, tabs.state.ProjectFolder,
                                                    PdfName(tabs.state.ProjectFileTitle, tab), false, &why);
    if (!target) {
        if (!why.empty()) Message(tabs.program, "Unable To Print - " + why);
        return false;
    }
    return RunJob(tabs, *target, {tab});
}

bool PrintAll(ReportTabs& tabs) {
    std::vector<int> withContent;
    for (int tab = reports::kTabProject; tab <= reports::kTabAPIs; ++tab)
        if (TabHasContent(tabs, tab)) withContent.push_back(tab);
    if (withContent.empty()) return false;
    ClearMessage(tabs.program);
    const std::string base = platform::ReplaceAll(tabs.state.ProjectFileTitle, ".", " ");
    std::string why;
    std::optional<PrintTarget> target = OpenPrinter(tabs.program, tabs.owner, tabs.state.ProjectFolder,
                                                    base.empty() ? "Reports.pdf" : base + " Reports.pdf", true, &why);
    if (!target) {
        if (!why.empty()) Message(tabs.program, "Unable To Print - " + why);
        return false;
    }
    return RunJob(tabs, *target, withContent);
}

// ---- the pop-up menu ---------------------------------------------------------------------------

ReportPopup::ReportPopup(QMenu* menu, std::vector<QTextEdit*> boxes, QObject* parent) : QObject(parent), menu_(menu) {
    for (QTextEdit* box : boxes) {
        if (!box) continue;
        boxes_.emplace_back(box);
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->viewport()->installEventFilter(this);
    }
    if (menu)
        for (QAction* action : menu->actions())
            if (action->objectName() == QLatin1String("mnurtfCopy"))
                connect(action, &QAction::triggered, this, &ReportPopup::Copy);
}

void ReportPopup::HandleReportMouseButton(QTextEdit* box, int button, const QString& activeControl,
                                          const QPoint& globalPos) {
    if (activeControl.compare(QLatin1String("SSTAB1"), Qt::CaseInsensitive) == 0) return;
    if (button != 2 || !menu_) return;
    active_ = box;
    menu_->popup(globalPos);
}

void ReportPopup::Copy() {
    if (active_) active_->copy();
}

bool ReportPopup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (const QPointer<QTextEdit>& box : boxes_) {
            if (!box || box->viewport() != watched) continue;
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const int button = mouse->button() == Qt::RightButton ? 2 : mouse->button() == Qt::LeftButton ? 1 : 0;
            const QWidget* focus = QApplication::focusWidget();
            HandleReportMouseButton(box, button, focus ? focus->objectName() : QString(), mouse->globalPosition().toPoint());
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quillet
