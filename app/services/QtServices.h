// The Qt implementations of the services: the library's message box, Qt's file, colour and folder
// dialogs, QProcess and QDesktopServices, the system clock and the primary screen.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/services/Services.h"

namespace quillet {

class QtMessageBox : public MessageBoxService {
public:
    std::int32_t Show(const std::string& prompt, std::int32_t style, const std::string& title,
                      std::int32_t align) override;
};

class QtDialogs : public DialogService {
public:
    std::optional<std::string> OpenFile(QWidget* owner, const FileDialogRequest& request) override;
    std::optional<std::string> SaveFile(QWidget* owner, const FileDialogRequest& request) override;
    std::optional<std::int32_t> ChooseColor(QWidget* owner, const std::string& title, std::int32_t current) override;
    std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                            const std::string& startFolder) override;
};

class QtLauncher : public LauncherService {
public:
    // `editorSetting` gives the editor command the settings name ("" for none); it is asked at
    // each OpenInEditor, so a changed setting applies at once.
    explicit QtLauncher(std::function<std::string()> editorSetting = {}) : editorSetting_(std::move(editorSetting)) {}
    bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) override;
    bool OpenUrl(const std::string& url) override;
    bool OpenDocument(const std::string& path) override;
    bool OpenInEditor(const std::string& path) override;

private:
    std::function<std::string()> editorSetting_;
};

class QtClock : public ClockService {
public:
    std::chrono::system_clock::time_point Now() override { return std::chrono::system_clock::now(); }
    std::chrono::steady_clock::time_point Ticks() override { return std::chrono::steady_clock::now(); }
};

class QtScreen : public ScreenService {
public:
    int WidthTwips() override;
    int HeightTwips() override;
    bool ResolutionChanged() override;
};

class QtPrinting : public PrintService {
public:
    std::string DefaultPrinter() override;
    bool PrinterDialog(QWidget* owner, QPrinter& printer) override;
};

// An editor command line ("code --wait", "gedit") split into the program and its arguments, with
// the file appended; an empty program when the command is blank. Words are split at blanks;
// double quotes group a word that holds blanks.
std::vector<std::string> EditorCommand(const std::string& command, const std::string& file);

// The program's services, owned together.
class QtServices {
public:
    explicit QtServices(std::function<std::string()> editorSetting = {});
    Services& Bundle() { return bundle_; }

private:
    QtMessageBox messageBox_;
    QtDialogs dialogs_;
    QtLauncher launcher_;
    QtClock clock_;
    QtScreen screen_;
    QtPrinting printing_;
    Services bundle_;
};

}  // namespace quillet
