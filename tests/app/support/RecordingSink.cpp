#include "tests/app/support/RecordingSink.h"

namespace apptest {

RecordingSink::RecordingSink() : device_(8, 8, QImage::Format_RGB32) {
    // 1200 dots to the inch, so the fonts measure as on a printer of that resolution.
    device_.setDotsPerMeterX(qRound(1200 / 0.0254));
    device_.setDotsPerMeterY(qRound(1200 / 0.0254));
}

bool RecordingSink::NewPage() {
    if (refusePage == pages + 1) {
        error = "page refused";
        return false;
    }
    ++pages;
    return true;
}

void RecordingSink::DrawLine(QPointF at, const QString& text, const QFont&) { lines.push_back({pages, at, text}); }

void RecordingSink::DrawDocument(QTextDocument&, const QRectF& source, QPointF at) {
    parts.push_back({pages, source, at});
}

bool RecordingSink::Finish() {
    finished = true;
    return error.empty();
}

}  // namespace apptest
