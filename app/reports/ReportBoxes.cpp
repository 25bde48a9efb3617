#include "app/reports/ReportBoxes.h"

#include <algorithm>
#include <vector>

#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <tovcore/controls.h>

namespace quillet {

QFont ReportFont(double points) {
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"),
                      QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::Monospace, QFont::PreferMatch);
    font.setFixedPitch(true);
    font.setPointSizeF(points);
    return font;
}

void InitReportBox(QTextEdit* box) {
    box->clear();
    box->setReadOnly(true);
    box->setLineWrapMode(QTextEdit::NoWrap);
    box->setAcceptRichText(false);
    box->setUndoRedoEnabled(false);
    const QFont font = ReportFont(kReportScreenPoints);
    box->setFont(font);
    box->document()->setDefaultFont(font);
    box->setTabStopDistance(kReportTabInches * box->logicalDpiX());
}

void BuildReportDocument(QTextDocument& document, const reports::ReportBox& report) {
    document.clear();
    document.setUndoRedoEnabled(false);
    const QString text = QString::fromUtf8(report.text.data(), static_cast<qsizetype>(report.text.size()));

    // Code point of each UTF-16 unit (a surrogate pair is one code point).
    std::vector<std::int32_t> codePointOf(static_cast<std::size_t>(text.size()), 0);
    std::int32_t codePoints = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        codePointOf[static_cast<std::size_t>(i)] = text.at(i).isLowSurrogate() && codePoints > 0 ? codePoints - 1 : codePoints++;
    // The run that decides each code point's format: the last one over it.
    std::vector<std::int32_t> owner(static_cast<std::size_t>(codePoints), -1);
    for (std::size_t r = 0; r < report.runs.size(); ++r) {
        const reports::ReportFormatRun& run = report.runs[r];
        const std::int64_t from = std::max<std::int64_t>(run.Start, 0);
        const std::int64_t to = std::min<std::int64_t>(static_cast<std::int64_t>(run.Start) + run.Length, codePoints);
        for (std::int64_t c = from; c < to; ++c) owner[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(r);
    }

    std::vector<QTextCharFormat> formats(report.runs.size());
    for (std::size_t r = 0; r < report.runs.size(); ++r) {
        formats[r].setForeground(tovcore::ui::ToQColor(report.runs[r].Color));
        formats[r].setFontWeight(report.runs[r].Bold ? QFont::Bold : QFont::Normal);
    }
    const QTextCharFormat plain;

    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    QString piece;
    std::int32_t current = -2;
    auto flush = [&] {
        if (piece.isEmpty()) return;
        cursor.insertText(piece, current >= 0 ? formats[static_cast<std::size_t>(current)] : plain);
        piece.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // CR LF is one paragraph end; the CR goes (so that a run boundary between the two cannot
        // make an empty paragraph).
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') continue;
        const std::int32_t run = owner[static_cast<std::size_t>(codePointOf[static_cast<std::size_t>(i)])];
        if (run != current) {
            flush();
            current = run;
        }
        piece += c;
    }
    flush();
    cursor.endEditBlock();
}

void FillReportBox(QTextEdit* box, const reports::ReportBox& report) {
    auto* document = new QTextDocument(box);
    document->setDefaultFont(box->document()->defaultFont());
    document->setDefaultTextOption(box->document()->defaultTextOption());
    BuildReportDocument(*document, report);
    // The box's first document belongs to the box's text control, which deletes it; a document
    // made here belongs to the box and goes when the next one replaces it.
    QTextDocument* old = box->document();
    const bool ours = old && old->parent() == box;
    box->setDocument(document);
    if (ours) delete old;
    box->setTabStopDistance(kReportTabInches * box->logicalDpiX());
    QTextCursor start(document);
    box->setTextCursor(start);
    box->horizontalScrollBar()->setValue(0);
    box->verticalScrollBar()->setValue(0);
}

}  // namespace quillet
