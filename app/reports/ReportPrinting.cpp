#include "app/reports/ReportPrinting.h"

#include <algorithm>
#include <cmath>

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>

#include "app/reports/ReportBoxes.h"
#include "platform/text.h"

namespace quillet {

// ---- the printer -------------------------------------------------------------------------------

PrinterSink::PrinterSink(QPrinter& printer) : printer_(printer) {
    printer_.setPageOrientation(QPageLayout::Landscape);
    printer_.setFullPage(true);
}

PrinterSink::~PrinterSink() {
    if (open_) painter_->end();
}

QPaintDevice* PrinterSink::Device() { return &printer_; }

double PrinterSink::Dpi() const { return printer_.resolution(); }

QSizeF PrinterSink::Paper() const { return printer_.paperRect(QPrinter::DevicePixel).size(); }

bool PrinterSink::NewPage() {
    if (!open_) {
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(&printer_)) {
            error_ = printer_.outputFormat() == QPrinter::PdfFormat
                         ? "The file " + printer_.outputFileName().toStdString() + " could not be written."
                         : "The printer " + printer_.printerName().toStdString() + " could not be opened.";
            painter_.reset();
            return false;
        }
        open_ = true;
        return true;
    }
    if (!printer_.newPage()) {
        error_ = "The printer could not start a new page.";
        return false;
    }
    return true;
}

void PrinterSink::DrawLine(QPointF at, const QString& text, const QFont& font) {
    painter_->setFont(font);
    painter_->setPen(Qt::black);
    painter_->drawText(at + QPointF(0, QFontMetricsF(font, &printer_).ascent()), text);
}

void PrinterSink::DrawDocument(QTextDocument& document, const QRectF& source, QPointF at) {
    painter_->save();
    painter_->translate(at - source.topLeft());
    painter_->setClipRect(source);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = source;
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(painter_.get(), context);
    painter_->restore();
}

bool PrinterSink::Finish() {
    if (!open_) return error_.empty();
    open_ = false;
    const bool ended = painter_->end();
    painter_.reset();
    if (!ended || printer_.printerState() == QPrinter::Error) {
        if (error_.empty()) error_ = "The printer reported an error; the report may be incomplete.";
        return false;
    }
    return true;
}

// ---- fonts and lines ---------------------------------------------------------------------------

QFont PrintFont(PrintSink& sink) {
    const double width = sink.Paper().width() - 2 * kRichTextMarginTwips * sink.Dpi() / 1440.0;
    const QFont probe = ReportFont(100);
    const double perPoint =
        QFontMetricsF(probe, sink.Device()).horizontalAdvance(QString(kReportColumns, u'M')) / 100.0;
    double points = 10;
    if (perPoint > 0) points = std::clamp(std::floor(2 * width / perPoint) / 2, 4.0, 10.0);
    return ReportFont(points);
}

std::vector<PrintLine> TreePrintLines(const engine::Tree& tree, engine::NodeId start) {
    std::vector<PrintLine> lines;
    if (start == engine::kNoNode || start >= static_cast<engine::NodeId>(tree.Count())) return lines;
    // The start node's siblings from the start node on, then each one's subtree (an explicit stack,
    // so a deep tree cannot exhaust the call stack).
    const engine::NodeId parent = tree.Node(start).parent;
    const std::vector<engine::NodeId>& siblings = parent == engine::kNoNode ? tree.Roots() : tree.Children(parent);
    auto from = std::find(siblings.begin(), siblings.end(), start);
    if (from == siblings.end()) return lines;
    std::vector<std::pair<engine::NodeId, int>> stack;
    for (auto it = siblings.rbegin(); it != std::make_reverse_iterator(from); ++it) stack.emplace_back(*it, 0);
    while (!stack.empty()) {
        const auto [node, depth] = stack.back();
        stack.pop_back();
        lines.push_back({depth, QString::fromStdString(platform::DecodeOwnText(tree.Node(node).text))});
        const std::vector<engine::NodeId>& children = tree.Children(node);
        for (auto it = children.rbegin(); it != children.rend(); ++it) stack.emplace_back(*it, depth + 1);
    }
    return lines;
}

std::vector<PrintLine> TextPrintLines(std::string_view utf8) {
    std::vector<PrintLine> lines;
    std::size_t start = 0;
    while (start < utf8.size()) {
        std::size_t end = utf8.find('\n', start);
        if (end == std::string_view::npos) end = utf8.size();
        std::string_view line = utf8.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        PrintLine out;
        while (!line.empty() && line.front() == '\t') {
            ++out.depth;
            line.remove_prefix(1);
        }
        out.text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
        lines.push_back(std::move(out));
        start = end + 1;
    }
    return lines;
}

namespace {

double ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

}  // namespace

std::unique_ptr<QTextDocument> PrintDocument(const reports::ReportBox& report, PrintSink& sink, const QFont& font) {
    auto document = std::make_unique<QTextDocument>();
    document->documentLayout()->setPaintDevice(sink.Device());
    document->setDefaultFont(font);
    QTextOption option = document->defaultTextOption();
    // Text layout scales tab stops from the screen's resolution to the device's, as it does
    // fonts: the distance is given in screen units.
    option.setTabStopDistance(kReportTabInches * ScreenDpi());
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document->setDefaultTextOption(option);
    document->setDocumentMargin(0);
    BuildReportDocument(*document, report);
    return document;
}

// ---- the job -----------------------------------------------------------------------------------

PrintJob::PrintJob(PrintSink& sink) : sink_(sink), font_(PrintFont(sink)) {}

double PrintJob::Twips(int twips) const { return twips * sink_.Dpi() / 1440.0; }

bool PrintJob::Fail(std::string why) {
    failed_ = true;
    if (error_.empty()) error_ = std::move(why);
    return false;
}

bool PrintJob::NewPage() {
    if (failed_) return false;
    if (!sink_.NewPage()) return Fail(sink_.Error());
    ++pages_;
    return true;
}

bool PrintJob::PrintLines(const std::vector<PrintLine>& lines) {
    if (failed_) return false;
    if (lines.empty()) return true;
    const double margin = Twips(kTreeMarginTwips);
    const double bottom = sink_.Paper().height() - margin;
    const double lineHeight = QFontMetricsF(font_, sink_.Device()).lineSpacing();
    if (bottom - margin <= 0 || lineHeight <= 0) return Fail("The paper is too small for the report's margins.");
    double y = 0;
    int onPage = 0;
    for (const PrintLine& line : lines) {
        // A new page for the first line, and whenever the line would cross the bottom margin; a
        // page holds at least one line, so every page makes progress.
        if (onPage == 0 || y + lineHeight > bottom) {
            if (!NewPage()) return false;
            y = margin;
            onPage = 0;
        }
        sink_.DrawLine(QPointF(margin + Twips(kTreeIndentTwips) * line.depth, y), line.text, font_);
        y += lineHeight;
        ++onPage;
    }
    return true;
}

bool PrintJob::PrintReport(const reports::ReportBox& report) {
    if (failed_) return false;
    if (report.text.empty()) return true;
    const double margin = Twips(kRichTextMarginTwips);
    const QSizeF page(sink_.Paper().width() - 2 * margin, sink_.Paper().height() - 2 * margin);
    if (page.width() <= 0 || page.height() <= 0) return Fail("The paper is too small for the report's margins.");
    const std::unique_ptr<QTextDocument> printed = PrintDocument(report, sink_, font_);
    QTextDocument& document = *printed;
    document.setPageSize(page);
    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (!NewPage()) return false;
        sink_.DrawDocument(document, QRectF(QPointF(0, i * page.height()), page), QPointF(margin, margin));
    }
    return true;
}

bool PrintJob::Finish() {
    if (failed_) {
        sink_.Finish();
        return false;
    }
    return sink_.Finish();
}

}  // namespace quillet
