// A scripted host for engine tests: records what the engine shows, logs and asks; answers message
// boxes from a queue (OK when it is empty), never blocks; raises the cancel flag on a named event
// (a status line, a run-log line, a service of the event loop), as a user pressing Cancel would;
// runs on a clock that moves only when told to (or by a fixed step per reading). Like the tool
// window, one object serves every seam: the host, the load's recovery through the change
// journal, the settings files (none), and Files(), the files the commands are given.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "engine/commit.h"
#include "engine/fileops.h"
#include "engine/host.h"
#include "engine/loader.h"
#include "engine/settings.h"
#include "engine/state.h"

namespace enginetest {

class FakeHost : public engine::Host, public engine::ChangeRecovery, public engine::Settings {
public:
    struct Box {
        std::string text;
        int style;
        std::string title;
        int alignment;
    };

    void DisplayMessage(const std::string& text, bool log, int) override {
        status.push_back(text);
        if (log) WriteLog(text);
        if (!cancelOnStatus.empty() && text.rfind(cancelOnStatus, 0) == 0) cancel = true;
    }
    void ClearMessage() override { ++clears; }
    void WriteLog(const std::string& text) override {
        runLog.push_back(text);
        if (!cancelOnLog.empty() && text.rfind(cancelOnLog, 0) == 0) cancel = true;
    }
    void WriteErrorLog(const std::string& text) override { errorLog.push_back(text); }
    int MyMsgBox(const std::string& text, int style, const std::string& title, int alignment) override {
        boxes.push_back(Box{text, style, title, alignment});
        if (answers.empty()) return engine::msgbox::kOK;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    void ProcessEvents() override {
        ++events;
        if (cancelOnEvents) cancel = true;  // the Cancel button was clicked meanwhile
    }
    bool CancelRequested() override { return cancel; }
    void SetCancelRequested(bool value) override {
        cancel = value;
    }
    double Seconds() override {
        now += clockStep;
        return now;
    }
    void LoadProject(bool showElapsedTime) override {
        ++reloads;
        if (state) engine::LoadProject(*state, *this, *this, showElapsedTime);
    }
    void FinishInterruptedChange(const std::string& projectPath, const std::string& dataFolder) override {
        engine::RecoverInterruptedChange(projectPath, dataFolder, *this, Files());
    }
    bool ChangeCanBeUndone(const engine::ToolState& st) override { return engine::ChangeCanBeUndone(st, Files()); }
    bool GetIniSection(const std::string&, std::string&, const std::string&) override { return false; }
    engine::FileOps& Files() { return files ? *files : engine::SystemFileOps(); }
    void SaveToolProject() override { ++saves; }
    void RestartLogs() override { ++logRestarts; }
    void Beep() override { ++beeps; }

    // The text of the last message box ("" when none was shown).
    std::string LastBox() const { return boxes.empty() ? std::string() : boxes.back().text; }

    std::vector<std::string> status, runLog, errorLog;
    std::vector<Box> boxes;
    std::deque<int> answers;
    int clears = 0, events = 0, reloads = 0, saves = 0, logRestarts = 0, beeps = 0;
    bool cancel = false;
    // Raise the cancel flag when a status line, or a run-log line, that starts with this is shown:
    // the user presses Cancel on seeing it.
    std::string cancelOnStatus, cancelOnLog;
    bool cancelOnEvents = false; // raise it when the event loop is served
    double now = 0, clockStep = 0;
    engine::ToolState* state = nullptr;  // for LoadProject
    engine::FileOps* files = nullptr;    // the files rewrites work on (the system's when null)
};

}  // namespace enginetest
