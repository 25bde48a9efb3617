// Printing the report tabs: the trees as indented lines, the rich-text reports page by page, all
// landscape, onto a PrintSink (the printer, a PDF file, or a test's recorder).
//
// Measures are twips (1440 to the inch) where the layout is decided and device units where it is
// drawn. Pages never carry anything but the report: no page numbers, no headers of our own.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include "engine/tree.h"
#include "reports/definition_reports.h"

class QPaintDevice;
class QPainter;
class QPrinter;
class QTextDocument;

namespace quillet {

// Margins of a printed rich-text report, all four sides (one inch).
inline constexpr int kRichTextMarginTwips = 1440;
// Margins of a printed tree (the printer's usual unprintable edge).
inline constexpr int kTreeMarginTwips = 360;
// Indent of each tree level.
inline constexpr int kTreeIndentTwips = 500;
// Columns of a report line that must fit one printed line.
inline constexpr int kReportColumns = 130;

// Where printed pages go. Device units are the sink's own; Dpi() says how many make an inch.
class PrintSink {
public:
    virtual ~PrintSink() = default;
    // The device that fonts and text layout are measured on.
    virtual QPaintDevice* Device() = 0;
    virtual double Dpi() const = 0;
    // The whole sheet, landscape, in device units.
    virtual QSizeF Paper() const = 0;
    // Opens the job and its first page, or starts the next page. False when the printer refused
    // (Error() says why); nothing more may be drawn then.
    virtual bool NewPage() = 0;
    // One line of text, its left edge at `at.x()` and its top at `at.y()`.
    virtual void DrawLine(QPointF at, const QString& text, const QFont& font) = 0;
    // The part `source` of a laid-out document (document units), drawn with its top left at `at`.
    virtual void DrawDocument(QTextDocument& document, const QRectF& source, QPointF at) = 0;
    // Ends the job. False when the printer reported an error.
    virtual bool Finish() = 0;
    virtual std::string Error() const = 0;
};

// Draws on a QPrinter (a printer or a PDF file) set to landscape, with the whole sheet as the
// page (margins are ours).
class PrinterSink : public PrintSink {
public:
    explicit PrinterSink(QPrinter& printer);
    ~PrinterSink() override;
    QPaintDevice* Device() override;
    double Dpi() const override;
    QSizeF Paper() const override;
    bool NewPage() override;
    void DrawLine(QPointF at, const QString& text, const QFont& font) override;
    void DrawDocument(QTextDocument& document, const QRectF& source, QPointF at) override;
    bool Finish() override;
    std::string Error() const override { return error_; }

private:
    QPrinter& printer_;
    std::unique_ptr<QPainter> painter_;
    bool open_ = false;
    std::string error_;
};

// The font of printed reports on `sink`: the report font at the largest size (in half points, at
// most 10) at which a line of kReportColumns characters fits between the rich-text margins.
QFont PrintFont(PrintSink& sink);

// A report as a document laid out for `sink` in `font`: tab stops every half inch, lines that are
// too long wrap. Its page size is not set yet.
std::unique_ptr<QTextDocument> PrintDocument(const reports::ReportBox& report, PrintSink& sink, const QFont& font);

// One printed line of a tree or a tree text: its depth (indent level) and text.
struct PrintLine {
    int depth = 0;
    QString text;
    bool operator==(const PrintLine&) const = default;
};

// The lines of the project tree as PrintTree walks it: `start`, each following sibling, and
// everything below each of them, parents before children, one line per node (texts decoded).
std::vector<PrintLine> TreePrintLines(const engine::Tree& tree, engine::NodeId start);
// A text split at its CR LF (or LF) line ends; the leading TABs of a line become its depth.
std::vector<PrintLine> TextPrintLines(std::string_view utf8);

// A print job on one sink: every part starts on a new page. Each call returns false once the
// printer has failed (the job is then over; Error() says why).
class PrintJob {
public:
    explicit PrintJob(PrintSink& sink);
    // Lines, one under the other from the top margin, indented kTreeIndentTwips per depth level,
    // a new page when the next line would cross the bottom margin.
    bool PrintLines(const std::vector<PrintLine>& lines);
    // A rich-text report between one-inch margins, page by page (lines wrap at the margin).
    bool PrintReport(const reports::ReportBox& report);
    // Ends the job (a job that printed nothing has nothing to end).
    bool Finish();
    int Pages() const { return pages_; }
    std::string Error() const { return error_.empty() ? sink_.Error() : error_; }

private:
    double Twips(int twips) const;
    bool NewPage();
    bool Fail(std::string why);
    PrintSink& sink_;
    QFont font_;
    int pages_ = 0;
    bool failed_ = false;
    std::string error_;
};

}  // namespace quillet
