// The four report boxes of the tool window (rtfModules, rtfForms, rtfClasses, rtfAPIs): read-only
// rich-text boxes without wrapping, in the reports' fixed-pitch font, filled in one piece from a
// report's text and coloured by its formatting runs (headings bold, unused names red).
#pragma once

#include <QFont>

#include "reports/definition_reports.h"

class QTextDocument;
class QTextEdit;

namespace quillet {

// Point size of the reports on screen.
inline constexpr double kReportScreenPoints = 10;
// Tab stops of the reports, in inches (the rich-text box's default of 720 twips).
inline constexpr double kReportTabInches = 0.5;

// The reports' font: "Courier New" where it is installed, else a face with the same metrics
// (Liberation Mono, Cousine), else any fixed-pitch face.
QFont ReportFont(double points);

// Makes `box` a report box: read-only, no wrapping, the report font, tab stops every half inch.
// Its text is emptied.
void InitReportBox(QTextEdit* box);

// A document that holds `report`'s text (CR LF line ends become paragraphs) with its runs applied
// in order: a run sets colour and weight of its characters; characters outside every run keep the
// document's own format. Run positions count characters (code points) of the UTF-8 text; a run
// that reaches past the text is cut at its end.
void BuildReportDocument(QTextDocument& document, const reports::ReportBox& report);

// Puts `report` into `box` in one piece, with its runs, the cursor at the start and the view at
// the top.
void FillReportBox(QTextEdit* box, const reports::ReportBox& report);

}  // namespace quillet
