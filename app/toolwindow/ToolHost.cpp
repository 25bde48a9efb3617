#include "app/toolwindow/ToolHost.h"

#include <chrono>

#include <QApplication>

#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "engine/commit.h"
#include "app/forms/FormServices.h"
#include "platform/text.h"

namespace quillet::toolwindow {

namespace {
std::string Shown(const std::string& bytes) { return platform::DecodeOwnText(bytes); }
}  // namespace

void ToolHost::DisplayMessage(const std::string& text, bool log, int alignment) {
    quillet::DisplayMessage(program_, Shown(text), log, alignment);
}

void ToolHost::ClearMessage() { quillet::ClearMessage(program_); }

void ToolHost::WriteLog(const std::string& text) { tovcore::Global().WriteLog(Shown(text)); }

void ToolHost::WriteErrorLog(const std::string& text) { tovcore::Global().WriteErrorLog(Shown(text)); }

int ToolHost::MyMsgBox(const std::string& text, int style, const std::string& title, int alignment) {
    // A box over a busy pointer would look as if it could not be answered.
    const bool busy = hourglass_ > 0;
    if (busy) QApplication::restoreOverrideCursor();
    const int answer = program_.services.messageBox->Show(Shown(text), style, Shown(title), alignment);
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    return answer;
}

void ToolHost::ProcessEvents() { QCoreApplication::processEvents(); }

bool ToolHost::CancelRequested() { return program_.state.CancelRequested; }

void ToolHost::SetCancelRequested(bool value) { program_.state.CancelRequested = value; }

// The machine's own steady clock, not the clock service: the long walks pace the event loop by it,
// so Cancel and repaints are served however a test sets the service's clock.
double ToolHost::Seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void ToolHost::HourGlassOn() {
    if (hourglass_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void ToolHost::HourGlassOff() {
    if (hourglass_ == 0) return;
    if (--hourglass_ == 0) QApplication::restoreOverrideCursor();
}

bool ToolHost::GetIniSection(const std::string& Section, std::string& iniStr, const std::string& IniFile) {
    return tovcore::Global().GetIniSection(Section, iniStr, IniFile);
}

void ToolHost::Beep() { QApplication::beep(); }

void ToolHost::HoldLogsOpen(bool hold) { tovcore::Global().HoldLogsOpen(hold); }

void ToolHost::FinishInterruptedChange(const std::string& projectPath, const std::string& dataFolder) {
    engine::RecoverInterruptedChange(projectPath, dataFolder, *this, Files());
}

bool ToolHost::ChangeCanBeUndone(const engine::ToolState& state) { return engine::ChangeCanBeUndone(state, Files()); }

}  // namespace quillet::toolwindow
