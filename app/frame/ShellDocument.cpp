#include "app/frame/ShellDocument.h"

#include <filesystem>

#include "app/core/Program.h"

namespace quillet {

bool ShellDocument(Program& program, const std::string& document, bool webPage) {
    Services& services = program.services;
    if (!webPage) {
        std::error_code ec;
        if (!std::filesystem::exists(document, ec)) {
            services.messageBox->Show(document + " File not found", vbOKOnly, "", 2);
            return false;
        }
    }
    const bool taken = webPage ? services.launcher->OpenUrl(document) : services.launcher->OpenDocument(document);
    if (!taken) services.messageBox->Show("No application is associated with this file type.", vbOKOnly, "", 2);
    return taken;
}

}  // namespace quillet
