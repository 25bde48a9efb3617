// Scripted fakes of the services: nothing blocks, every call is recorded, and answers come from
// queues that a test fills before the user's steps.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/services/Services.h"

namespace apptest {

class FakeMessageBox : public quillet::MessageBoxService {
public:
    struct Shown {
        std::string prompt;
        std::int32_t style = 0;
        std::string title;
        std::int32_t align = 0;
    };
    // Answers given in turn; when none is left, the box answers with the first button of its style
    // (OK, Abort, Yes or Retry). quillet::kAnswerNone stands for a box dismissed without an answer.
    std::deque<std::int32_t> answers;
    std::vector<Shown> shown;
    // Runs while a box shows, before it answers: what the user, a timer or the accessibility
    // interface does meanwhile (a real box runs an event loop of its own).
    std::function<void(const Shown&)> whileShown;

    std::int32_t Show(const std::string& prompt, std::int32_t style, const std::string& title,
                      std::int32_t align) override;
    // Prompts of every box shown, in order.
    std::vector<std::string> Prompts() const;
};

class FakeDialogs : public quillet::DialogService {
public:
    enum class Kind { Open, Save, Color, Folder };
    struct Request {
        Kind kind;
        quillet::FileDialogRequest file;  // open and save
        std::string title;                // colour and folder
        std::int32_t color = 0;
    };
    // Results given in turn; an empty queue (or nothing in it) is a cancelled dialog.
    std::deque<std::optional<std::string>> openResults, saveResults, folderResults;
    std::deque<std::optional<std::int32_t>> colorResults;
    std::vector<Request> requests;
    // Runs while a dialog shows, before it answers (see FakeMessageBox::whileShown).
    std::function<void(const Request&)> whileShown;

    std::optional<std::string> OpenFile(QWidget* owner, const quillet::FileDialogRequest& request) override;
    std::optional<std::string> SaveFile(QWidget* owner, const quillet::FileDialogRequest& request) override;
    std::optional<std::int32_t> ChooseColor(QWidget* owner, const std::string& title, std::int32_t current) override;
    std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                            const std::string& startFolder) override;
};

class FakeLauncher : public quillet::LauncherService {
public:
    enum class Kind { Program, Url, Document, Editor };
    struct Call {
        Kind kind;
        std::string target;  // program, address or path
        std::vector<std::string> arguments;
    };
    bool succeed = true;  // what every call answers
    std::vector<Call> calls;

    bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) override;
    bool OpenUrl(const std::string& url) override;
    bool OpenDocument(const std::string& path) override;
    bool OpenInEditor(const std::string& path) override;
};

class FakeClock : public quillet::ClockService {
public:
    std::chrono::system_clock::time_point now{std::chrono::seconds(1700000000)};
    std::chrono::steady_clock::time_point ticks{};
    std::chrono::system_clock::time_point Now() override { return now; }
    std::chrono::steady_clock::time_point Ticks() override { return ticks; }
};

class FakeScreen : public quillet::ScreenService {
public:
    int width = 1920 * 15;
    int height = 1080 * 15;
    bool changed = false;  // answered once, then cleared
    int WidthTwips() override { return width; }
    int HeightTwips() override { return height; }
    bool ResolutionChanged() override {
        const bool c = changed;
        changed = false;
        return c;
    }
};

class FakePrinting : public quillet::PrintService {
public:
    std::string printer;             // the default printer's name; "" for none installed
    std::deque<bool> dialogAnswers;  // the printer dialog's answers in turn; none left: cancelled
    int dialogs = 0;                 // printer dialogs shown
    std::string DefaultPrinter() override { return printer; }
    bool PrinterDialog(QWidget*, QPrinter&) override {
        ++dialogs;
        if (dialogAnswers.empty()) return false;
        const bool answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        return answer;
    }
};

// All six, with their bundle.
struct FakeServices {
    FakeMessageBox messageBox;
    FakeDialogs dialogs;
    FakeLauncher launcher;
    FakeClock clock;
    FakeScreen screen;
    FakePrinting printing;
    quillet::Services Bundle() { return {&messageBox, &dialogs, &launcher, &clock, &screen, &printing}; }
};

}  // namespace apptest
