#include "app/core/WindowStack.h"

#include <QTimer>

namespace quillet {

void WindowStack::Leave() {
    if (depth_ > 0) --depth_;
    if (depth_ > 0 || posted_) return;
    // Not from here: the code that held the last scope is still returning.
    posted_ = true;
    QTimer::singleShot(0, this, [this] {
        posted_ = false;
        if (depth_ == 0) emit Unwound();
    });
}

CountedServices::CountedServices(WindowStack& stack) : stack_(stack) {}

CountedServices& CountedServices::operator=(const Services& installed) {
    installed_ = installed;
    messageBox = installed.messageBox ? &box_ : nullptr;
    dialogs = installed.dialogs ? &dialogs_ : nullptr;
    printing = installed.printing ? &printing_ : nullptr;
    launcher = installed.launcher;
    clock = installed.clock;
    screen = installed.screen;
    return *this;
}

std::int32_t CountedServices::Box::Show(const std::string& prompt, std::int32_t style, const std::string& title,
                                        std::int32_t align) {
    const WindowStack::Scope shown(owner_.stack_);
    return owner_.installed_.messageBox->Show(prompt, style, title, align);
}

std::optional<std::string> CountedServices::Dialogs::OpenFile(QWidget* owner, const FileDialogRequest& request) {
    const WindowStack::Scope shown(owner_.stack_);
    return owner_.installed_.dialogs->OpenFile(owner, request);
}

std::optional<std::string> CountedServices::Dialogs::SaveFile(QWidget* owner, const FileDialogRequest& request) {
    const WindowStack::Scope shown(owner_.stack_);
    return owner_.installed_.dialogs->SaveFile(owner, request);
}

std::optional<std::int32_t> CountedServices::Dialogs::ChooseColor(QWidget* owner, const std::string& title,
                                                                   std::int32_t current) {
    const WindowStack::Scope shown(owner_.stack_);
    return owner_.installed_.dialogs->ChooseColor(owner, title, current);
}

std::optional<std::string> CountedServices::Dialogs::ChooseFolder(QWidget* owner, const std::string& title,
                                                                  const std::string& startFolder) {
    const WindowStack::Scope shown(owner_.stack_);
    return owner_.installed_.dialogs->ChooseFolder(owner, title, startFolder);
}

std::string CountedServices::Printing::DefaultPrinter() { return owner_.installed_.printing->DefaultPrinter(); }

bool CountedServices::Printing::PrinterDialog(QWidget* owner, QPrinter& printer) {
    const WindowStack::Scope shown(owner_.stack_);
    return owner_.installed_.printing->PrinterDialog(owner, printer);
}

}  // namespace quillet
