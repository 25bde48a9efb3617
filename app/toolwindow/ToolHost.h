// The engine's way out to the tool window: status lines into the status box, the run and error
// logs, message boxes through the message-box service, serving the event loop, the shared cancel
// flag, the clock, the busy pointer, the reload, and the tool window's parts of Add Code (logs
// started afresh, the tool project saved); and the engine's two other seams: our own INI files
// through the library (Settings) and the change journal's steps of a load (ChangeRecovery) on the
// system's files (Files()). Texts from the engine are bytes (the user's names in Windows-1252);
// they are decoded here for the screen and the logs.
#pragma once

#include <string>

#include "engine/fileops.h"
#include "engine/host.h"
#include "engine/loader.h"
#include "engine/settings.h"

namespace quillet {
struct Program;
}

namespace quillet::toolwindow {

// What the adapter asks of the window it serves.
class ToolHostOwner {
public:
    virtual ~ToolHostOwner() = default;
    virtual void LoadProject(bool showElapsedTime) = 0;
    virtual void RestartLogs() = 0;
    virtual void SaveToolProject() = 0;
};

class ToolHost : public engine::Host, public engine::Settings, public engine::ChangeRecovery {
public:
    ToolHost(Program& program, ToolHostOwner& owner) : program_(program), owner_(owner) {}

    void DisplayMessage(const std::string& text, bool log, int alignment) override;
    void ClearMessage() override;
    void WriteLog(const std::string& text) override;
    void WriteErrorLog(const std::string& text) override;
    int MyMsgBox(const std::string& text, int style, const std::string& title, int alignment) override;
    void ProcessEvents() override;
    bool CancelRequested() override;
    void SetCancelRequested(bool value) override;
    double Seconds() override;
    void HourGlassOn() override;
    void HourGlassOff() override;
    void LoadProject(bool showElapsedTime) override { owner_.LoadProject(showElapsedTime); }
    bool GetIniSection(const std::string& Section, std::string& iniStr, const std::string& IniFile) override;
    void RestartLogs() override { owner_.RestartLogs(); }
    void SaveToolProject() override { owner_.SaveToolProject(); }
    void Beep() override;
    void HoldLogsOpen(bool hold) override;
    void FinishInterruptedChange(const std::string& projectPath, const std::string& dataFolder) override;
    bool ChangeCanBeUndone(const engine::ToolState& state) override;
    // The files the commands change.
    engine::FileOps& Files() { return engine::SystemFileOps(); }

private:
    Program& program_;
    ToolHostOwner& owner_;
    int hourglass_ = 0;
};

}  // namespace quillet::toolwindow
