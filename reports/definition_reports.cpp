#include "reports/definition_reports.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/text.h"

namespace reports {

using engine::clsDefinitions;

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr double kStatusSeconds = 0.1;  // least time between two status lines
constexpr double kYieldSeconds = 0.03;  // least time between two services of the event loop
// Initial value of the previous top-level name: no declared name begins with it.
constexpr std::string_view kNoTopLevelName = "@#@$@$#@$#@$#";
constexpr std::string_view kIncompleteLine = "*** This report is incomplete: it was stopped by Cancel. ***";

// Text from the user's files (Windows-1252) and names that may be native paths (UTF-8).
std::string FromSource(std::string_view bytes) { return platform::Cp1252ToUtf8(bytes); }
std::string FromName(std::string_view bytes) { return platform::DecodeOwnText(bytes); }

// The first `width` characters of `text`, padded with `fill` to `width`.
std::string Fit(std::string_view text, int width, char fill) {
    std::string out;
    int chars = 0;
    std::size_t i = 0;
    while (i < text.size() && chars < width) {
        std::size_t j = i + 1;
        while (j < text.size() && (static_cast<unsigned char>(text[j]) & 0xC0) == 0x80) ++j;
        out.append(text, i, j - i);
        ++chars;
        i = j;
    }
    out.append(static_cast<std::size_t>(width - chars), fill);
    return out;
}

std::string Repeat(char c, int n) { return std::string(static_cast<std::size_t>(n > 0 ? n : 0), c); }

// Round half to even, as Visual Basic's rounding does.
long RoundHalfEven(double v) { return std::lrint(v); }

// "AppFldr & Filename & " - " & Project".
std::string FileHeading(const clsDefinitions& d) {
    return FromName(d.AppFldr()) + FromSource(d.Filename()) + " - " + FromName(d.Project());
}

std::string ProductText(const ReportStamp& stamp) { return " - Quillet " + stamp.version; }

// The line number column: the shown number and five blanks, right-aligned over dots (the
// "#" format of Visual Basic shows nothing for 0). A number too wide for the column is shown whole.
std::string LineNoColumn(long shown) {
    std::string s = (shown == 0 ? std::string() : std::to_string(shown)) + "     ";
    const int len = static_cast<int>(s.size());
    return len >= LineNoColumnWidth ? s : Repeat('.', LineNoColumnWidth - len) + s;
}

void AppendHeaderRun(ReportBuilder& report) { report.RunFrom(0, kRunBlack, true); }

}  // namespace

// ---- stamp ---------------------------------------------------------------------------------------

std::string ReportDateText(const std::tm& t) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s %02d, %04d - %02d:%02d:%02d %s", kMonths[((t.tm_mon % 12) + 12) % 12], t.tm_mday,
                  t.tm_year + 1900, hour12, t.tm_min, t.tm_sec, t.tm_hour < 12 ? "am" : "pm");
    return buf;
}

ReportStamp CurrentReportStamp(std::string version) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return ReportStamp{ReportDateText(local), std::move(version)};
}

// ---- builder -------------------------------------------------------------------------------------

std::int32_t CharCount(std::string_view utf8) {
    std::int32_t n = 0;
    for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

ReportBox* DefinitionReports::Box(int tab) {
    switch (tab) {
        case 2: return &rtfModules;
        case 3: return &rtfForms;
        case 4: return &rtfClasses;
        case 5: return &rtfAPIs;
        default: return nullptr;
    }
}

const ReportBox* DefinitionReports::Box(int tab) const { return const_cast<DefinitionReports*>(this)->Box(tab); }

void ReportBuilder::Append(std::string_view utf8) {
    text_ += utf8;
    length_ += CharCount(utf8);
}

void ReportBuilder::RunFrom(std::int32_t start, std::int32_t color, bool bold) {
    runs_.push_back(ReportFormatRun{start, length_ - start, color, bold});
}

void ReportBuilder::Status(const std::string& text) {
    host_.WriteLog(text);
    const double now = host_.Seconds();
    if (lastStatus_ >= 0 && now - lastStatus_ < kStatusSeconds) return;
    lastStatus_ = now;
    host_.DisplayMessage(text, false, engine::align::kLeft);
}

void ReportBuilder::Yield() {
    const double now = host_.Seconds();
    if (lastYield_ < 0) lastYield_ = now;
    if (now - lastYield_ < kYieldSeconds) return;
    host_.ProcessEvents();
    lastYield_ = host_.Seconds();
}

void ReportBuilder::MarkIncomplete() {
    const std::int32_t start = length_;
    Append(kCrLf);
    Append(kIncompleteLine);
    Append(kCrLf);
    RunFrom(start, kRunRed, true);
}

void ReportBuilder::MoveTo(ReportBox& box) {
    box.text = std::move(text_);
    box.runs = std::move(runs_);
    text_.clear();
    runs_.clear();
    length_ = 0;
}

// ---- definition reports ------------------------------------------------------------------------

bool FormatDefinitionReport(engine::DefinitionList& list, ReportBuilder& report) {
    engine::Host& host = report.host();
    if (host.CancelRequested()) return false;
    std::string previousFile, previousProc;
    std::string previousTop(kNoTopLevelName);
    const std::string rule = Repeat('_', kReportLineWidth);

    for (std::size_t n = list.size(); n-- > 0;) {
        clsDefinitions& d = list[n];
        const std::string procText = d.ProcName == engine::kModuleLevel ? std::string() : d.ProcName;
        report.Status("Processing Definition Report for " + procText);
        if (host.CancelRequested()) return false;
        if (d.Variable.empty()) continue;

        if (d.Filename() != previousFile) {
            report.Status("Formatting Definition Report for " + d.Filename());
            const std::string heading = FileHeading(d);
            const int len = CharCount(heading);
            // Centred where it fits; a heading as long as the line or longer starts at its start.
            const long column = RoundHalfEven((kReportLineWidth - len) / 2.0);
            const int lead = column >= 1 ? static_cast<int>(column) - 1 : 0;
            const std::string line = Repeat(' ', lead) + heading + Repeat(' ', kReportLineWidth - lead - len);
            const std::int32_t start = report.Length();
            report.Append(kCrLf);
            report.Append(rule);
            report.Append("\r\n\r\n");
            report.Append(line);
            report.Append(kCrLf);
            report.Append(rule);
            report.Append("\r\n\r\n");
            report.RunFrom(start, kRunBlack, true);
            previousFile = d.Filename();
        }

        // A file heading alone does not force a procedure heading.
        if (d.ProcName != previousProc) {
            const std::int32_t start = report.Length();
            report.Append("\r\n\t");
            report.Append(FromSource(procText));
            report.Append("\r\n\r\n");
            report.RunFrom(start, kRunBlack, true);
            previousProc = d.ProcName;
        }

        const std::int32_t rowStart = report.Length();
        std::string name;
        if (d.Variable.size() > previousTop.size() && d.Variable[previousTop.size()] == '.' &&
            platform::IStartsWith(d.Variable, previousTop)) {
            name = "  " + d.Variable.substr(previousTop.size() + 1);  // a member of a Type or Enum
        } else {
            name = d.Variable;
            previousTop = d.Variable;
        }
        if (d.Defined.empty()) d.Defined = "Variant";
        const long shown = static_cast<long>(d.LineNo) - d.Offset() + 1;
        std::string row = Fit(FromSource(name) + "   ", NameColumnWidth, '.');
        row += Fit(FromSource(d.Defined), DefinitionColumnWidth, '.');
        row += LineNoColumn(shown);
        row += kCrLf;
        report.Append(row);
        if (!d.Used) report.RunFrom(rowStart, kRunRed, false);
        report.Yield();
    }
    return true;
}

namespace {

// The date line, the rule and the column headings of a definition report, bold.
void AppendDefinitionHeader(ReportBuilder& report, const ReportStamp& stamp) {
    const std::string rule = Repeat('=', kReportLineWidth) + std::string(kCrLf);
    report.Append("\t\t" + stamp.dateTime + ProductText(stamp) + "\r\n\r\n" + rule);
    std::string headings = Repeat(' ', 8) + "Name";
    headings = Fit(headings, NameColumnWidth, ' ') + Fit("Definition", DefinitionColumnWidth, ' ') +
               Fit(Repeat(' ', LineNoColumnWidth - 7 - 1) + "Line No", LineNoColumnWidth, ' ');
    report.Append(headings + std::string(kCrLf) + rule);
    AppendHeaderRun(report);
}

void AppendAPIHeader(ReportBuilder& report, const ReportStamp& stamp) {
    const std::string rule = Repeat('=', kApiRuleWidth) + std::string(kCrLf);
    report.Append(stamp.dateTime + ProductText(stamp) + "\r\n\r\n" + rule + "\tLine No \t\tDefinition\r\n" + rule);
    AppendHeaderRun(report);
}

// A report that Cancel stopped before it began: its header and the line that says so.
void StoppedReport(ReportBox& box, engine::Host& host, const ReportStamp& stamp,
                   void (*header)(ReportBuilder&, const ReportStamp&)) {
    ReportBuilder report(host);
    header(report, stamp);
    report.MarkIncomplete();
    report.MoveTo(box);
}

}  // namespace

bool CreateDefinitionReport(engine::DefinitionList& list, ReportBox& box, engine::Host& host,
                            const ReportStamp& stamp) {
    box.Clear();
    if (host.CancelRequested()) return false;
    ReportBuilder report(host);
    AppendDefinitionHeader(report, stamp);
    const bool complete = FormatDefinitionReport(list, report);
    if (!complete) report.MarkIncomplete();
    report.MoveTo(box);
    return complete;
}

bool CreateModuleReport(engine::ProjectModel& model, ReportBox& box, engine::Host& host, const ReportStamp& stamp) {
    return CreateDefinitionReport(model.ModuleDefinitions(), box, host, stamp);
}
bool CreateFormReport(engine::ProjectModel& model, ReportBox& box, engine::Host& host, const ReportStamp& stamp) {
    return CreateDefinitionReport(model.FormDefinitions(), box, host, stamp);
}
bool CreateClassReport(engine::ProjectModel& model, ReportBox& box, engine::Host& host, const ReportStamp& stamp) {
    return CreateDefinitionReport(model.ClassDefinitions(), box, host, stamp);
}

// ---- API report ------------------------------------------------------------------------------------

bool FormatAPIDefinitions(const engine::DefinitionList& list, ReportBuilder& report) {
    engine::Host& host = report.host();
    if (host.CancelRequested()) return false;
    std::string previousFile;
    for (std::size_t n = list.size(); n-- > 0;) {
        if (host.CancelRequested()) return false;
        const clsDefinitions& d = list[n];
        if (d.Line.empty() || !(d.DefType & engine::mask::kDeclare)) continue;

        if (d.Filename() != previousFile) {
            const std::string heading = FileHeading(d);
            const std::string rule = Repeat('_', CharCount(heading));
            const std::int32_t start = report.Length();
            report.Append(std::string(kCrLf) + rule + "\r\n\r\n" + heading + std::string(kCrLf) + rule + "\r\n\r\n");
            report.RunFrom(start, kRunBlack, true);
            previousFile = d.Filename();
        }

        const std::int32_t rowStart = report.Length();
        std::string row = "\t" + Fit(std::to_string(d.LineNo), 10, '.');
        for (std::size_t at = 0; at < d.Line.size(); at += kApiPieceLength) {
            if (at > 0) row += "\t" + Repeat(' ', 10);
            row += FromSource(std::string_view(d.Line).substr(at, kApiPieceLength));
            row += kCrLf;
        }
        report.Append(row);
        report.RunFrom(rowStart, d.Used ? kRunBlack : kRunRed, false);
        report.Yield();
    }
    return true;
}

bool CreateAPIReport(engine::ProjectModel& model, ReportBox& box, engine::Host& host, const ReportStamp& stamp) {
    box.Clear();
    if (host.CancelRequested()) return false;
    ReportBuilder report(host);
    AppendAPIHeader(report, stamp);
    bool complete = true;
    for (engine::FileKind kind : engine::kAllKinds)
        if (complete) complete = FormatAPIDefinitions(model.Definitions(kind), report);
    if (!complete) report.MarkIncomplete();
    report.MoveTo(box);
    return complete;
}

bool CreateDefinitionReports(engine::ProjectModel& model, DefinitionReports& boxes, engine::Host& host,
                             const ReportStamp& stamp) {
    if (host.CancelRequested()) {
        for (int tab = 2; tab <= 5; ++tab) boxes.Box(tab)->Clear();
        return false;
    }
    const engine::HeldLogs held(host);
    host.HourGlassOn();
    using Create = bool (*)(engine::ProjectModel&, ReportBox&, engine::Host&, const ReportStamp&);
    const struct {
        Create create;
        ReportBox& box;
        void (*header)(ReportBuilder&, const ReportStamp&);
    } reports[] = {{CreateModuleReport, boxes.rtfModules, AppendDefinitionHeader},
                   {CreateFormReport, boxes.rtfForms, AppendDefinitionHeader},
                   {CreateClassReport, boxes.rtfClasses, AppendDefinitionHeader},
                   {CreateAPIReport, boxes.rtfAPIs, AppendAPIHeader}};
    // Once Cancel stops one report, every later one says that it was not made.
    bool complete = true;
    for (const auto& r : reports) {
        if (complete && !host.CancelRequested()) {
            complete = r.create(model, r.box, host, stamp);
        } else {
            complete = false;
            StoppedReport(r.box, host, stamp, r.header);
        }
    }
    host.HourGlassOff();
    return complete;
}

}  // namespace reports
