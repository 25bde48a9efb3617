// The module, form, class and API definition reports: fixed-width text with bold headings and red
// rows for unused declarations, built as one text and a list of formatting runs. The report box of
// the tool window receives the text in one piece and applies the runs in order.
//
// Report texts are UTF-8 with CR LF line ends (the names from the user's files decoded from
// Windows-1252); run positions and the column widths count characters (code points).
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "engine/host.h"
#include "engine/model.h"

namespace reports {

// ---- layout ------------------------------------------------------------------------------------

inline constexpr int kReportLineWidth = 130;
// Int(130 x 0.6 + 0.5), Int(130 x 0.3 + 0.5), Int(130 x 0.1 + 0.5).
inline constexpr int NameColumnWidth = 78;
inline constexpr int DefinitionColumnWidth = 39;
inline constexpr int LineNoColumnWidth = 13;
inline constexpr int kApiRuleWidth = 85;
inline constexpr int kApiPieceLength = 200;  // a Declare line is shown in pieces of this many characters

inline constexpr std::int32_t kRunBlack = 0;
inline constexpr std::int32_t kRunRed = 255;

// One formatting run: characters Start .. Start + Length - 1 of the report text.
struct ReportFormatRun {
    std::int32_t Start = 0;
    std::int32_t Length = 0;
    std::int32_t Color = kRunBlack;  // RGB value: 0 black, 255 red
    bool Bold = false;
    bool operator==(const ReportFormatRun&) const = default;
};

// What a report box shows.
struct ReportBox {
    std::string text;
    std::vector<ReportFormatRun> runs;
    void Clear() {
        text.clear();
        runs.clear();
    }
};

// The four report boxes of the tool window.
struct DefinitionReports {
    ReportBox rtfModules, rtfForms, rtfClasses, rtfAPIs;
    // The box of a report tab (2 modules ... 5 APIs); nullptr for the tree tabs.
    ReportBox* Box(int tab);
    const ReportBox* Box(int tab) const;
};

// The date and version that report headers carry.
struct ReportStamp {
    std::string dateTime;  // "mmm dd, yyyy - hh:mm:ss am/pm"
    std::string version;   // the library's version text
};
// "Dec 09, 2024 - 03:07:45 pm".
std::string ReportDateText(const std::tm& t);
ReportStamp CurrentReportStamp(std::string version);

// ---- building ------------------------------------------------------------------------------------

// A report as it is built: the text, its length in characters, its runs; the pacing of status lines
// and of the event loop.
class ReportBuilder {
public:
    explicit ReportBuilder(engine::Host& host) : host_(host) {}

    void Append(std::string_view utf8);
    // A run over the characters appended since `start`.
    void RunFrom(std::int32_t start, std::int32_t color, bool bold);
    std::int32_t Length() const { return length_; }

    // Status line (and one run-log line) on a time budget; the run-log line always.
    void Status(const std::string& text);
    void Yield();
    engine::Host& host() { return host_; }

    // Ends a report that Cancel stopped with a line saying so.
    void MarkIncomplete();
    void MoveTo(ReportBox& box);

private:
    engine::Host& host_;
    std::string text_;
    std::vector<ReportFormatRun> runs_;
    std::int32_t length_ = 0;
    double lastStatus_ = -1, lastYield_ = -1;
};

// Appends one list's part of a definition report (records from the last to the first): file and
// procedure headings, one row per declaration, red rows for unused ones. A record without a type
// gets "Variant" as its Defined. False when Cancel stopped it.
bool FormatDefinitionReport(engine::DefinitionList& list, ReportBuilder& report);
// Appends one list's Declare statements to the API report. False when Cancel stopped it.
bool FormatAPIDefinitions(const engine::DefinitionList& list, ReportBuilder& report);

// The definition report of one list: the header, the column headings and the rows. An empty list
// gives the header alone. With the cancel flag set before it starts the box is emptied; a report
// that Cancel stops ends with a line saying it is incomplete. True when the report is complete.
bool CreateDefinitionReport(engine::DefinitionList& list, ReportBox& box, engine::Host& host, const ReportStamp& stamp);
bool CreateModuleReport(engine::ProjectModel& model, ReportBox& box, engine::Host& host, const ReportStamp& stamp);
bool CreateFormReport(engine::ProjectModel& model, ReportBox& box, engine::Host& host, const ReportStamp& stamp);
bool CreateClassReport(engine::ProjectModel& model, ReportBox& box, engine::Host& host, const ReportStamp& stamp);
// Every Declare statement of the three lists.
bool CreateAPIReport(engine::ProjectModel& model, ReportBox& box, engine::Host& host, const ReportStamp& stamp);

// The four reports, after a load. With the cancel flag set before they start all four boxes are
// emptied (the load itself was cancelled). When Cancel stops one, it and every later one are marked
// incomplete (a report not begun holds its header and that line). True when all four are complete.
bool CreateDefinitionReports(engine::ProjectModel& model, DefinitionReports& boxes, engine::Host& host,
                             const ReportStamp& stamp);

// The number of characters (code points) of UTF-8 text.
std::int32_t CharCount(std::string_view utf8);

}  // namespace reports
