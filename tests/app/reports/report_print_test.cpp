// Printing the report tabs: tree lines and their pages on a recording sink, rich-text reports page
// by page, and whole jobs into PDF files.
#include <gtest/gtest.h>

#include <regex>

#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "app/reports/ReportPrinting.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/app/support/RecordingSink.h"
#include "tests/support/testsupport.h"

namespace {

using namespace quillet;
using apptest::RecordingSink;
using engine::kNoNode;
using engine::NodeId;

double Twips(int twips) { return twips * 1200.0 / 1440.0; }

TEST(TreePrintLines, ParentsBeforeChildrenEachLevelOneDeeper) {
    engine::Tree t;
    const NodeId root = t.Add(kNoNode, "r", "Root");
    t.SetSorted(root, true);
    t.Add(root, "c", "Cherry");
    const NodeId b = t.Add(root, "b", "Banana");
    t.Add(root, "a", "Apple");
    t.Add(b, "b1", "One");
    t.Add(t.Find("b1"), "b1x", "Deep");
    t.Add(kNoNode, "r2", "Second root");
    const std::vector<PrintLine> expected = {{0, "Root"}, {1, "Apple"},  {1, "Banana"},     {2, "One"},
                                             {3, "Deep"}, {1, "Cherry"}, {0, "Second root"}};
    EXPECT_EQ(TreePrintLines(t, root), expected);
    // From a node in the middle: it, its following siblings and what lies below them.
    const std::vector<PrintLine> fromBanana = {{0, "Banana"}, {1, "One"}, {2, "Deep"}, {0, "Cherry"}};
    EXPECT_EQ(TreePrintLines(t, b), fromBanana);
    EXPECT_TRUE(TreePrintLines(t, kNoNode).empty());
    EXPECT_TRUE(TreePrintLines(engine::Tree{}, 0).empty());
}

TEST(TextPrintLines, LeadingTabsAreTheDepth) {
    const std::vector<PrintLine> expected = {{0, "head"}, {0, ""}, {1, "one"}, {2, "two\tthree"}, {0, "lf"}};
    EXPECT_EQ(TextPrintLines("head\r\n\r\n\tone\r\n\t\ttwo\tthree\r\nlf\n"), expected);
    EXPECT_TRUE(TextPrintLines("").empty());
}

TEST(PrintLines, PagesHoldWhatFitsBetweenTheMarginsIndentedPerLevel) {
    apptest::App();
    RecordingSink sink;
    PrintJob job(sink);
    std::vector<PrintLine> lines;
    for (int i = 0; i < 250; ++i) lines.push_back({i % 4, QString("line %1").arg(i)});
    ASSERT_TRUE(job.PrintLines(lines));
    ASSERT_TRUE(job.Finish());
    ASSERT_EQ(sink.lines.size(), lines.size());

    const double margin = Twips(kTreeMarginTwips);
    const double bottom = sink.paper.height() - margin;
    int perPage = 0;
    for (const auto& l : sink.lines) perPage += l.page == 1;
    ASSERT_GT(perPage, 10);
    EXPECT_EQ(sink.pages, (250 + perPage - 1) / perPage);
    EXPECT_EQ(job.Pages(), sink.pages);
    double lineHeight = sink.lines[1].at.y() - sink.lines[0].at.y();
    for (std::size_t i = 0; i < sink.lines.size(); ++i) {
        const auto& l = sink.lines[i];
        EXPECT_EQ(l.text, lines[i].text);
        EXPECT_DOUBLE_EQ(l.at.x(), margin + Twips(kTreeIndentTwips) * lines[i].depth) << i;
        EXPECT_LE(l.at.y() + lineHeight, bottom + 0.001) << i;
        if (i > 0 && l.page != sink.lines[i - 1].page) {
            EXPECT_EQ(l.page, sink.lines[i - 1].page + 1);
            EXPECT_DOUBLE_EQ(l.at.y(), margin) << "a new page starts at the top margin";
            // The line did not fit on the page before.
            EXPECT_GT(sink.lines[i - 1].at.y() + 2 * lineHeight, bottom);
        }
    }
    EXPECT_TRUE(sink.parts.empty());
}

TEST(PrintLines, ARefusedPageEndsTheJobWithTheReason) {
    apptest::App();
    RecordingSink sink;
    sink.refusePage = 2;
    PrintJob job(sink);
    std::vector<PrintLine> lines(500, PrintLine{0, "x"});
    EXPECT_FALSE(job.PrintLines(lines));
    const std::size_t drawn = sink.lines.size();
    EXPECT_GT(drawn, 0u);
    EXPECT_LT(drawn, lines.size());
    EXPECT_FALSE(job.PrintReport(reports::ReportBox{"more", {}}));
    EXPECT_FALSE(job.PrintLines(lines));
    EXPECT_EQ(sink.lines.size(), drawn);
    EXPECT_FALSE(job.Finish());
    EXPECT_EQ(job.Error(), "page refused");
}

TEST(PrintLines, ALineTallerThanThePageStillMakesProgress) {
    apptest::App();
    RecordingSink sink;
    sink.paper = QSizeF(11 * 1200, 2 * Twips(kTreeMarginTwips) + 10);  // room for less than one line
    PrintJob job(sink);
    ASSERT_TRUE(job.PrintLines({{0, "a"}, {0, "b"}, {0, "c"}}));
    EXPECT_EQ(sink.pages, 3);
}

// A report of `rows` rows of 130 characters.
reports::ReportBox LongReport(int rows) {
    reports::ReportBox box;
    for (int i = 0; i < rows; ++i) {
        std::string row = "row " + std::to_string(i) + " ";
        row.resize(130, '.');
        box.text += row + "\r\n";
    }
    box.runs.push_back({0, 10, 0, true});
    return box;
}

TEST(PrintReport, PagesOfTheDocumentBetweenOneInchMarginsAndNothingElse) {
    apptest::App();
    RecordingSink sink;
    PrintJob job(sink);
    ASSERT_TRUE(job.PrintReport(LongReport(300)));
    ASSERT_TRUE(job.Finish());
    ASSERT_GT(sink.pages, 3);
    ASSERT_EQ(static_cast<int>(sink.parts.size()), sink.pages);
    EXPECT_TRUE(sink.lines.empty()) << "no page numbers or other lines of our own";
    const double margin = Twips(kRichTextMarginTwips);
    const QSizeF page(sink.paper.width() - 2 * margin, sink.paper.height() - 2 * margin);
    for (std::size_t i = 0; i < sink.parts.size(); ++i) {
        EXPECT_EQ(sink.parts[i].page, static_cast<int>(i) + 1);
        EXPECT_EQ(sink.parts[i].at, QPointF(margin, margin));
        EXPECT_EQ(sink.parts[i].source, QRectF(QPointF(0, page.height() * i), page));
    }
    // 130 columns fit one line of the page.
    const QFont font = PrintFont(sink);
    EXPECT_LE(QFontMetricsF(font, sink.Device()).horizontalAdvance(QString(kReportColumns, u'M')), page.width());
    EXPECT_GE(font.pointSizeF(), 6.0);
}

TEST(PrintReport, TabStopsAreHalfAnInchOnThePaper) {
    apptest::App();
    RecordingSink sink;
    const std::unique_ptr<QTextDocument> document =
        PrintDocument(reports::ReportBox{"\tone\r\n\t\ttwo\r\n", {}}, sink, PrintFont(sink));
    document->setPageSize(QSizeF(9 * 1200, 6 * 1200));
    document->pageCount();  // lays it out
    const QTextBlock first = document->firstBlock();
    EXPECT_NEAR(first.layout()->lineAt(0).cursorToX(1), 0.5 * 1200, 12);
    EXPECT_NEAR(first.next().layout()->lineAt(0).cursorToX(2), 1.0 * 1200, 12);
}

TEST(PrintReport, AnEmptyReportPrintsNoPage) {
    apptest::App();
    RecordingSink sink;
    PrintJob job(sink);
    EXPECT_TRUE(job.PrintReport(reports::ReportBox{}));
    EXPECT_EQ(sink.pages, 0);
}

// Pages and the first page's size (points) of a PDF file written by Qt.
struct PdfFacts {
    int pages = 0;
    double width = 0, height = 0;
};
PdfFacts ReadPdf(const std::string& path) {
    const std::string pdf = testsupport::ReadBytes(path);
    PdfFacts facts;
    const std::regex page(R"(/Type\s*/Page[^s])");
    facts.pages = static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
    std::smatch box;
    const std::regex media(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+)\s*\])");
    if (std::regex_search(pdf, box, media)) {
        facts.width = std::stod(box[1]);
        facts.height = std::stod(box[2]);
    }
    return facts;
}

TEST(PrintReport, ALongReportIntoAPdfFileFillsAsManyLandscapePagesAsItNeeds) {
    apptest::App();
    testsupport::TempDir dir;
    const reports::ReportBox report = LongReport(400);
    RecordingSink recorder;
    {
        PrintJob job(recorder);
        ASSERT_TRUE(job.PrintReport(report));
    }

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setOutputFileName(QString::fromStdString(dir.path() + "report.pdf"));
    {
        PrinterSink sink(printer);
        PrintJob job(sink);
        ASSERT_TRUE(job.PrintReport(report));
        ASSERT_TRUE(job.Finish());
        EXPECT_GT(job.Pages(), 5);
        const PdfFacts pdf = ReadPdf(dir.path() + "report.pdf");
        EXPECT_EQ(pdf.pages, job.Pages());
        EXPECT_EQ(pdf.pages, recorder.pages) << "the recorder's sheet is Letter too";
        EXPECT_DOUBLE_EQ(pdf.width, 792);
        EXPECT_DOUBLE_EQ(pdf.height, 612);
    }
}

TEST(PrinterSink, AFileThatCannotBeWrittenFailsAtTheFirstPage) {
    apptest::App();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/nonexistent-folder/x/report.pdf");
    PrinterSink sink(printer);
    PrintJob job(sink);
    EXPECT_FALSE(job.PrintLines({{0, "a"}}));
    EXPECT_FALSE(job.Finish());
    EXPECT_NE(job.Error().find("/nonexistent-folder/x/report.pdf"), std::string::npos) << job.Error();
}

}  // namespace
