// What of the windows' own work is on the call stack: their commands, and the message boxes and
// dialogs those show (each runs an event loop of its own, in which the user, a timer or the
// accessibility interface may ask for a close). No window is unloaded while anything is: the frame
// and the tool window put a close asked for meanwhile off, and carry it out once everything has
// returned to the event loop (Unwound), so a window never goes from under its own code.
//
//     void frmQuillet::cmdBrowse_Click() {
//         const WindowStack::Scope onStack(program_.stack);
//         ...                                   // dialogs, boxes, a load
//     }
//
// Every box and dialog that goes through Program::services is counted by itself (CountedServices).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QObject>

#include "app/services/Services.h"

namespace quillet {

class WindowStack : public QObject {
    Q_OBJECT

public:
    WindowStack() = default;

    // A command, box or dialog of a window while it runs (they nest).
    class Scope {
    public:
        explicit Scope(WindowStack& stack) : stack_(stack) { ++stack_.depth_; }
        ~Scope() { stack_.Leave(); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        WindowStack& stack_;
    };

    // Something of a window is on the stack.
    bool Active() const { return depth_ > 0; }

signals:
    // Everything has returned: emitted from the event loop once the last scope has ended (and only
    // if none has begun since).
    void Unwound();

private:
    void Leave();

    int depth_ = 0;
    bool posted_ = false;
};

// The services as the windows reach them: those the program (or a test) installs, with every
// message box, file, colour, folder and printer dialog counted on the window stack while it shows.
// Install them by assignment of a whole bundle (`program.services = bundle`; a pointer set on its
// own is used as it is, uncounted); the launcher, the clock and the screen are passed on as they
// are.
class CountedServices : public Services {
public:
    explicit CountedServices(WindowStack& stack);
    CountedServices(const CountedServices&) = delete;
    CountedServices& operator=(const CountedServices&) = delete;
    CountedServices& operator=(const Services& installed);

    // The services as installed.
    const Services& Installed() const { return installed_; }

private:
    class Box : public MessageBoxService {
    public:
        explicit Box(CountedServices& owner) : owner_(owner) {}
        std::int32_t Show(const std::string& prompt, std::int32_t style, const std::string& title,
                          std::int32_t align) override;

    private:
        CountedServices& owner_;
    };
    class Dialogs : public DialogService {
    public:
        explicit Dialogs(CountedServices& owner) : owner_(owner) {}
        std::optional<std::string> OpenFile(QWidget* owner, const FileDialogRequest& request) override;
        std::optional<std::string> SaveFile(QWidget* owner, const FileDialogRequest& request) override;
        std::optional<std::int32_t> ChooseColor(QWidget* owner, const std::string& title,
                                                std::int32_t current) override;
        std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                                const std::string& startFolder) override;

    private:
        CountedServices& owner_;
    };
    class Printing : public PrintService {
    public:
        explicit Printing(CountedServices& owner) : owner_(owner) {}
        std::string DefaultPrinter() override;
        bool PrinterDialog(QWidget* owner, QPrinter& printer) override;

    private:
        CountedServices& owner_;
    };

    WindowStack& stack_;
    Services installed_;
    Box box_{*this};
    Dialogs dialogs_{*this};
    Printing printing_{*this};
};

}  // namespace quillet
