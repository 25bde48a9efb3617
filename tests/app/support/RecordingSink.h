// A print sink that records what would be printed: pages, lines with their places, and the parts
// of documents drawn; a sheet of 11 x 8.5 inches at 1200 units to the inch. It can be told to
// refuse a page.
#pragma once

#include <string>
#include <vector>

#include <QImage>

#include "app/reports/ReportPrinting.h"

namespace apptest {

class RecordingSink : public quillet::PrintSink {
public:
    struct Line {
        int page;
        QPointF at;
        QString text;
    };
    struct DocumentPart {
        int page;
        QRectF source;
        QPointF at;
    };

    RecordingSink();
    QPaintDevice* Device() override { return &device_; }
    double Dpi() const override { return 1200; }
    QSizeF Paper() const override { return paper; }
    bool NewPage() override;
    void DrawLine(QPointF at, const QString& text, const QFont& font) override;
    void DrawDocument(QTextDocument& document, const QRectF& source, QPointF at) override;
    bool Finish() override;
    std::string Error() const override { return error; }

    QSizeF paper{11 * 1200, 8.5 * 1200};
    int refusePage = 0;  // the page (1-based) that cannot be started; 0: none
    int pages = 0;
    bool finished = false;
    std::string error;
    std::vector<Line> lines;
    std::vector<DocumentPart> parts;

private:
    QImage device_;
};

}  // namespace apptest
