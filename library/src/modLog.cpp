// Run, debug and error logs: each switched on by a key of the client's settings file (read with
// the default "True"), started afresh with a header by its initialiser, one line per entry:
// date and time, " - ", message. The trace log records procedure entries and exits of a traced
// program, indented by nesting depth. Nothing here throws: a log that cannot be started is off
// for the session, a line that cannot be written is dropped.
#include "library/src/modLog.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "library/src/LibraryState.h"
#include "library/src/modGeneral.h"
#include "library/src/modIni.h"
#include "library/src/modInit.h"
#include "library/src/modScreen.h"
#include "library/src/modSpecialFolders.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace tovcore::detail {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool WriteAllTo(const std::string& path, std::string_view text, bool append) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0666);
    if (fd < 0) return false;
    bool ok = platform::WriteAll(fd, text);
    if (::close(fd) != 0) ok = false;
    return ok;
}

bool SwitchOn(const std::string& key) {
    const ClientState& c = State().client;
    return platform::IEqualsUtf8(GetIniString(c.exeName, key, "True", c.settingsFile), "True");
}

void FlushChannel(LogChannel& log, bool close);

std::string InitChannel(LogChannel& log, const char* key, const char* extension, const std::string& name) {
    LibraryState& s = State();
    const ClientState& c = s.client;
    FlushChannel(log, true);
    log.on = false;
    // Before the set-up there is no settings file and no log folder: nothing can be started.
    if (!c.hasClient || c.settingsFile.empty()) return "";
    if (!SwitchOn(key)) return "";
    const std::string folder = c.folders.ApplicationDataFolderLocal + "Log/";
    CreateFolders(folder);
    std::string path;
    if (name.empty())
        path = folder + c.exeName + extension;
    else if (name[0] == '/')
        path = name;  // a full path (the tool window hands back the paths it received)
    else
        path = folder + name;
    const std::string header = c.app.CompanyName + " - " + c.app.Title + " - " + GetVersion() + " - " + NowText();
    if (!WriteAllTo(path, header + std::string(kCrLf) + std::string(kCrLf) + std::string(kCrLf), false)) return "";
    log.on = true;
    log.path = path;
    return path;
}

// Writes what a held log has gathered and, with `close`, lets the file go.
void FlushChannel(LogChannel& log, bool close) {
    if (log.fd >= 0 && !log.pending.empty()) platform::WriteAll(log.fd, log.pending);
    log.pending.clear();
    if (close && log.fd >= 0) {
        ::close(log.fd);
        log.fd = -1;
    }
}

// Most lines go into the buffer; it is written whenever it holds this much.
constexpr std::size_t kHeldBuffer = 256 * 1024;

// `gather`: while a command holds the logs open, the lines are gathered and written in large
// pieces (the run log, which takes a line per file and more); otherwise each line is written to the
// open file as it comes, so a crash in the middle of the command loses none of them (the error and
// debug logs: their lines are few, and they are what tells what went wrong).
void WriteChannel(LogChannel& log, const std::string& Msg, bool gather) {
    if (!log.on) return;
    const std::string line = NowText() + " - " + Msg + std::string(kCrLf);
    if (State().logs.held > 0) {
        // A command holds the log open: one open file; the command serves the message loop itself.
        if (log.fd < 0) log.fd = ::open(log.path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_APPEND, 0666);
        if (log.fd < 0) return;
        log.pending += line;
        if (!gather || log.pending.size() >= kHeldBuffer) FlushChannel(log, false);
        return;
    }
    WriteAllTo(log.path, line, true);
    DoEvents();
}

}  // namespace

std::string InitLog(const std::string& LogFile) { return InitChannel(State().logs.run, "Log", ".log", LogFile); }
std::string InitDebugLog(const std::string& DebugFile) {
    return InitChannel(State().logs.debug, "Debug", ".dbg", DebugFile);
}
std::string InitErrorLog(const std::string& ErrorFile) {
    return InitChannel(State().logs.error, "Error", ".err", ErrorFile);
}

void HoldLogsOpen(bool hold) {
    LogState& logs = State().logs;
    logs.held = std::max(0, logs.held + (hold ? 1 : -1));
    if (logs.held > 0) return;
    for (LogChannel* log : {&logs.run, &logs.debug, &logs.error}) FlushChannel(*log, true);
}

void WriteLog(const std::string& Msg) { WriteChannel(State().logs.run, Msg, true); }
void WriteDebugLog(const std::string& Msg) { WriteChannel(State().logs.debug, Msg, false); }
void WriteErrorLog(const std::string& Msg) { WriteChannel(State().logs.error, Msg, false); }
// The application-error log has no switch that could be turned on: the message is not written.
void WriteAppErrorLog(const std::string& /*Msg*/) {}

void InitTraceLog(const AppObject& ApplInf) {
    LibraryState& s = State();
    const std::string settings = InitializeDll(ApplInf, s.client.versionType);
    TraceState& t = s.trace;
    t.on = false;
    if (settings.empty()) return;
    if (!SwitchOn("Trace")) return;
    t.open.clear();
    t.level = 1;
    t.path = s.client.folders.ApplicationDataFolderLocal + "Quillet Log/" + ApplInf.EXEName + "_Trace.log";
    CreateFolders(s.client.folders.ApplicationDataFolderLocal + "Quillet Log/");
    const std::string header = ApplInf.CompanyName + " - " + ApplInf.Title + " - Version " +
                               std::to_string(ApplInf.Major) + "." + std::to_string(ApplInf.Minor) + "." +
                               std::to_string(ApplInf.Revision) + " - Trace  - " + NowText();
    if (!WriteAllTo(t.path, header + std::string(kCrLf) + std::string(kCrLf) + std::string(kCrLf), false)) return;
    t.on = true;
    t.ready = true;
}

// Start pushes the procedure with the current level and deepens it; End pops the most recent
// Start of that name (and every Start above it, which never saw its End) and writes at that
// Start's level, so recursion indents correctly. An End without a Start writes at the current
// level and leaves it.
void WriteTraceLog(const std::string& RtnName, std::int16_t MsgType) {
    LibraryState& s = State();
    TraceState& t = s.trace;
    if (!t.on) return;
    if (!t.ready) {
        InitTraceLog(s.client.app);
        if (!t.on) return;
    }
    std::string text, prefix;
    bool started = false;
    if (MsgType == 1) {
        t.open.push_back(TraceEntry{RtnName, t.level});
        text = "Start " + RtnName;
        prefix = kCrLf;
        started = true;
    } else if (MsgType == 2) {
        for (std::size_t i = t.open.size(); i-- > 0;) {
            if (!platform::IEqualsUtf8(t.open[i].Name, RtnName)) continue;
            t.level = t.open[i].Level;
            t.open.resize(i);
            break;
        }
        text = "End " + RtnName;
    }
    const std::string line = prefix + std::string(static_cast<std::size_t>(std::max(t.level, 0)), '\t') + text;
    WriteAllTo(t.path, line + std::string(kCrLf), true);
    if (started) ++t.level;
}

}  // namespace tovcore::detail
