// The services a window reaches for everything that waits on the user or leaves the program:
// message boxes, the file, colour and folder dialogs, starting programs and opening documents,
// the clock and the screen. Each is a small interface; the program uses the Qt implementations
// (QtServices.h), tests use scripted fakes that never block. A window receives them in one
// Services bundle (through the Program it is made with) and never calls a dialog directly.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QPrinter;
class QWidget;

namespace quillet {

// Answers of a message box: the button pressed. 0 means the box was dismissed without an answer
// (a scripted fake may answer so; callers treat it as Cancel).
enum MsgAnswer : std::int32_t { kAnswerNone = 0, kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7 };

// Message-box styles: the button set in the low bits, an icon added.
enum MsgStyle : std::int32_t {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4, vbRetryCancel = 5,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
};

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Shows the library's message box (prompt, style, title, alignment 0 left / 2 centred) and
    // returns the answer.
    virtual std::int32_t Show(const std::string& prompt, std::int32_t style = vbOKOnly, const std::string& title = "",
                              std::int32_t align = 2) = 0;
};

// One file dialog. `filter` is written as the program's filters are: "Projects |*.qlp" or
// "VB Project |*.vbp;*.vbg" (description, "|", patterns; several pairs joined by "|").
struct FileDialogRequest {
    std::string title;
    std::string folder;    // initial folder ("" = the dialog's own choice)
    std::string fileName;  // initial file name
    std::string filter;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> OpenFile(QWidget* owner, const FileDialogRequest& request) = 0;
    // A save dialog: asks before an existing file is chosen; the chosen path or nothing.
    virtual std::optional<std::string> SaveFile(QWidget* owner, const FileDialogRequest& request) = 0;
    // A colour dialog opened on `current` (a Windows colour value &H00BBGGRR); the chosen colour
    // or nothing when cancelled.
    virtual std::optional<std::int32_t> ChooseColor(QWidget* owner, const std::string& title,
                                                    std::int32_t current) = 0;
    // A folder dialog; the chosen folder (ending in "/") or nothing.
    virtual std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                                    const std::string& startFolder) = 0;
};

class LauncherService {
public:
    virtual ~LauncherService() = default;
    // Starts a program as a separate process with its own argument list (no shell), without
    // waiting. False when it could not be started.
    virtual bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) = 0;
    // Opens a web page with the desktop's browser.
    virtual bool OpenUrl(const std::string& url) = 0;
    // Opens a document (a PDF, a folder, ...) with the desktop's program for its kind.
    virtual bool OpenDocument(const std::string& path) = 0;
    // Opens a text file in the user's editor: the one the settings name, else $VISUAL or $EDITOR,
    // else the desktop's program for text files.
    virtual bool OpenInEditor(const std::string& path) = 0;
};

class ClockService {
public:
    virtual ~ClockService() = default;
    virtual std::chrono::system_clock::time_point Now() = 0;
    // A monotonic clock for elapsed times.
    virtual std::chrono::steady_clock::time_point Ticks() = 0;
};

class ScreenService {
public:
    virtual ~ScreenService() = default;
    // Size of the primary screen's available area, in twips (15 to a pixel).
    virtual int WidthTwips() = 0;
    virtual int HeightTwips() = 0;
    // Whether the display mode changed since the last call.
    virtual bool ResolutionChanged() = 0;
};

// The printer. Print jobs go to the system's default printer; with no printer installed the
// program writes a PDF file instead (the file name comes from DialogService::SaveFile).
class PrintService {
public:
    virtual ~PrintService() = default;
    // The name of the system's default printer, "" when none is installed.
    virtual std::string DefaultPrinter() = 0;
    // The printer dialog for `printer` (already set to the default printer); false when cancelled.
    virtual bool PrinterDialog(QWidget* owner, QPrinter& printer) = 0;
};

// The bundle a window is given. The objects belong to whoever made the bundle (QtServices in the
// program, FakeServices in tests) and outlive every window.
struct Services {
    MessageBoxService* messageBox = nullptr;
    DialogService* dialogs = nullptr;
    LauncherService* launcher = nullptr;
    ClockService* clock = nullptr;
    ScreenService* screen = nullptr;
    PrintService* printing = nullptr;
};

// "Projects |*.qlp|All |*.*" as Qt writes filters: "Projects (*.qlp);;All (*.*)".
std::string QtFilter(const std::string& filter);

}  // namespace quillet
