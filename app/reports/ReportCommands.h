// The report commands of the tool window, for the tab that is showing: Save (the tab's text into a
// text file the user names), Print (onto the default printer, or into a PDF file when no printer
// is installed) and Print All (every tab with content in one job); and the pop-up menu of the
// module, form and class boxes.
//
// Neither Save nor Print is cancellable: a cancel flag left over from an earlier command never
// shortens what is written or printed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QObject>
#include <QPointer>

#include "engine/state.h"
#include "reports/definition_reports.h"

class QMenu;
class QPrinter;
class QTextEdit;
class QWidget;

namespace quillet {

struct Program;

// What the commands work on: the tool window's state (trees, project path), the report texts the
// boxes show, and the window that owns the dialogs.
struct ReportTabs {
    Program& program;
    engine::ToolState& state;
    reports::DefinitionReports& reports;
    QWidget* owner = nullptr;
};

// The date and version of report headers, from the program's clock and the library's version.
reports::ReportStamp ReportStampNow(Program& program);

// Whether a tab has something to save or print: a tree with nodes (tabs 0, 1), a report with text
// (tabs 2 to 5).
bool TabHasContent(const ReportTabs& tabs, int tab);

// Save: the save dialog ("Xref Files |*.txt") opens in the project folder with the tab's default
// name; the tab's text is written to the chosen file (the old file stays whole when writing
// fails, and a message says why). A cancelled dialog ends the command silently.
void cmdSave_Click(ReportTabs& tabs, int tab);

// Print one tab, landscape. Returns false when nothing was printed (cancelled, or a printer error,
// which shows one message). While it prints the status line says where the job goes; afterwards it
// says how many pages went where (the PDF file's path), and stays until the next command.
bool PrintReport(ReportTabs& tabs, int tab);

// Print All: the printer dialog (or, with no printer, the PDF file name), then every tab with
// content in tab order, each from a new page, as one job.
bool PrintAll(ReportTabs& tabs);

// The printer of one job: the default printer (after the printer dialog when `dialog` is set), or
// with none installed a PDF file that the user names in a save dialog opened in `folder` on
// `pdfName`. Nothing when the user cancelled (or the PDF file cannot be started; `why` says so).
// A PDF is written to a temporary file beside the chosen one; FinishPrinter puts it in place once
// the job succeeded and removes it otherwise, so a failed job never spoils an existing file.
struct PrintTarget {
    std::unique_ptr<QPrinter> printer;
    std::string pdfPath;   // the PDF file the user chose ("" for a printer)
    std::string tempPath;  // where the job writes it until then
    PrintTarget();
    PrintTarget(PrintTarget&&) noexcept;
    ~PrintTarget();
};
std::optional<PrintTarget> OpenPrinter(Program& program, QWidget* owner, const std::string& folder,
                                       const std::string& pdfName, bool dialog, std::string* why);
bool FinishPrinter(PrintTarget& target, bool printed, std::string* why);

// The pop-up menu of the report boxes (the frame's "rtfpopup": Search and Copy). A right button
// released over one of the boxes pops the menu up, unless the tab strip ("SSTab1") is the active
// control; Copy copies that box's selection; Search does nothing.
class ReportPopup : public QObject {
    Q_OBJECT

public:
    ReportPopup(QMenu* menu, std::vector<QTextEdit*> boxes, QObject* parent = nullptr);
    // The mouse-up of a box: button 1 left, 2 right; `activeControl` is the name of the control
    // that has the focus.
    void HandleReportMouseButton(QTextEdit* box, int button, const QString& activeControl, const QPoint& globalPos);
    // The box the menu was last popped up for.
    QTextEdit* ActiveBox() const { return active_; }
    void Copy();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QMenu> menu_;
    std::vector<QPointer<QTextEdit>> boxes_;
    QPointer<QTextEdit> active_;
};

}  // namespace quillet
