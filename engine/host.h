// The engine's way out to the user: what a long command shows, logs, asks or waits for (the status
// panel, the run and error logs, the message box, serving the event loop, the shared cancel flag,
// the clock), and the tool window's own steps that a command ends with (the reload, saving the tool
// project, restarting the logs). The tool window implements Host; tests use a scripted fake; the
// bench a quiet host. The two other seams of a command are the files it changes (FileOps,
// fileops.h) and our own settings files (Settings, settings.h); one adapter may implement all three.
//
// Texts are bytes as the engine holds them: our own messages with the user's names in them
// (Windows-1252 in practice) and native paths (UTF-8). The host decodes them with
// platform::DecodeOwnText for the screen and for its UTF-8 logs.
#pragma once

#include <cstdint>
#include <string>

namespace engine {

// Message box styles and answers, with the values Visual Basic gives them.
namespace msgbox {
constexpr int kOKOnly = 0;
constexpr int kOKCancel = 1;
constexpr int kYesNoCancel = 3;
constexpr int kYesNo = 4;
constexpr int kQuestion = 32;
constexpr int kInformation = 64;
constexpr int kOK = 1, kCancel = 2, kYes = 6, kNo = 7;
}  // namespace msgbox

// Text alignment of the status panel and the message box.
namespace align {
constexpr int kLeft = 0;
constexpr int kCenter = 2;
}  // namespace align

class Host {
public:
    virtual ~Host() = default;

    // Status panel: shows `text` (alignment align::kLeft or align::kCenter); with `log` set the
    // text also goes to the run log.
    virtual void DisplayMessage(const std::string& text, bool log, int alignment) = 0;
    // Empties and hides the status panel.
    virtual void ClearMessage() = 0;

    // One line each in the run log and the error log (when the user switched the log on).
    virtual void WriteLog(const std::string& text) = 0;
    virtual void WriteErrorLog(const std::string& text) = 0;

    // The program's message box. Returns the answer (msgbox::kOK ...). A fake must never block.
    virtual int MyMsgBox(const std::string& text, int style, const std::string& title, int alignment) = 0;

    // Serves the event loop once, so repaints and the Cancel button are handled. The engine calls
    // it through a Pacer, at most every few tens of milliseconds.
    virtual void ProcessEvents() = 0;

    // The shared cancel flag: set by the Cancel button, polled by every long walk, cleared by the
    // command that owns the walk.
    virtual bool CancelRequested() = 0;
    virtual void SetCancelRequested(bool value) = 0;

    // A monotonic clock in seconds (elapsed times, the pacing of ProcessEvents).
    virtual double Seconds() = 0;

    // The busy pointer while a command runs.
    virtual void HourGlassOn() {}
    virtual void HourGlassOff() {}

    // A long command holds the logs open while it runs (the run log's lines are written in large
    // pieces, each error line as it comes, so a crash loses none of them); calls nest. The
    // engine's commands do it through HeldLogs.
    virtual void HoldLogsOpen(bool hold) { (void)hold; }

    // Reload of the loaded project after a rewrite or an undo: the tool window runs its whole
    // LoadProject (controls, reports); tests and the bench call engine::LoadProject.
    virtual void LoadProject(bool showElapsedTime) { (void)showElapsedTime; }

    // The tool window's parts of Add Code and undo: start the run, debug and error logs afresh,
    // save the tool project, sound the bell.
    virtual void RestartLogs() {}
    virtual void SaveToolProject() {}
    virtual void Beep() {}
};

// Holds the host's logs open for the life of a command.
class HeldLogs {
public:
    explicit HeldLogs(Host& host) : host_(host) { host_.HoldLogsOpen(true); }
    ~HeldLogs() { host_.HoldLogsOpen(false); }
    HeldLogs(const HeldLogs&) = delete;
    HeldLogs& operator=(const HeldLogs&) = delete;

private:
    Host& host_;
};

// A host that shows nothing, logs nothing, answers OK and is never cancelled (the bench).
class QuietHost : public Host {
public:
    void DisplayMessage(const std::string&, bool, int) override {}
    void ClearMessage() override {}
    void WriteLog(const std::string&) override {}
    void WriteErrorLog(const std::string&) override {}
    int MyMsgBox(const std::string&, int, const std::string&, int) override { return msgbox::kOK; }
    void ProcessEvents() override {}
    bool CancelRequested() override { return cancel_; }
    void SetCancelRequested(bool value) override { cancel_ = value; }
    double Seconds() override;

private:
    bool cancel_ = false;
};

// Rations Host::ProcessEvents to a time budget: Tick() may be called as often as a walk likes
// (every line); it reads the clock only every `stride` ticks and serves the event loop when
// `budgetSeconds` have passed since the last time. The first Point() serves it at once, so that a
// Cancel pressed while a command starts is seen however quick the command is.
class Pacer {
public:
    explicit Pacer(Host& host, double budgetSeconds = 0.03, unsigned stride = 256);
    void Tick();
    // Serves the event loop now when the budget has passed (between files, after a record).
    void Point();

private:
    Host& host_;
    double budget_;
    unsigned stride_;
    unsigned count_ = 0;
    double last_;
};

}  // namespace engine
