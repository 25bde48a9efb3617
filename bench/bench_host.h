// The host of the bench commands: no windows, no event loop. Message boxes are printed (on
// standard error by default; the rewrite commands print them on standard output, since they say
// what a command changed or refused), error-log lines go to standard error, and a reload after a
// rewrite goes through the engine's loader when the host is given the tool state. The load's
// recovery and every command work on the system's files.
#pragma once

#include <iostream>
#include <string>

#include "engine/commit.h"
#include "engine/fileops.h"
#include "engine/host.h"
#include "engine/loader.h"
#include "engine/state.h"
#include "platform/text.h"

namespace bench {

class BenchHost : public engine::QuietHost, public engine::ChangeRecovery {
public:
    BenchHost() = default;
    // Message boxes as "message     <text>" lines on standard output; reloads into `state`.
    explicit BenchHost(engine::ToolState& state) : state_(&state), messagesOnStdout_(true) {}

    int MyMsgBox(const std::string& text, int, const std::string&, int) override {
        std::string shown = platform::DecodeOwnText(text);
        if (!messagesOnStdout_) {
            std::cerr << shown << "\n";
            return engine::msgbox::kOK;
        }
        for (std::size_t p = 0; (p = shown.find("\r\n", p)) != std::string::npos; p += 2) shown.replace(p, 2, "\n  ");
        std::cout << "message     " << shown << "\n";
        return engine::msgbox::kOK;
    }
    void WriteErrorLog(const std::string& text) override { std::cerr << platform::DecodeOwnText(text) << "\n"; }
    void LoadProject(bool showElapsedTime) override {
        if (state_) engine::LoadProject(*state_, *this, *this, showElapsedTime);
    }
    void FinishInterruptedChange(const std::string& projectPath, const std::string& dataFolder) override {
        engine::RecoverInterruptedChange(projectPath, dataFolder, *this, Files());
    }
    bool ChangeCanBeUndone(const engine::ToolState& st) override { return engine::ChangeCanBeUndone(st, Files()); }
    engine::FileOps& Files() { return engine::SystemFileOps(); }

private:
    engine::ToolState* state_ = nullptr;
    bool messagesOnStdout_ = false;
};

}  // namespace bench
