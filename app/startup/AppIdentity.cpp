#include "app/startup/AppIdentity.h"

#include <unistd.h>

#include "quillet_version.h"

namespace quillet {

std::string ExecutableFolder() {
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "";
    const std::string path(exe, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

tovcore::AppObject QuilletAppObject() {
    tovcore::AppObject app;
    app.EXEName = QUILLET_EXE_NAME;
    app.Path = ExecutableFolder();
    app.Major = QUILLET_VERSION_MAJOR;
    app.Minor = QUILLET_VERSION_MINOR;
    app.Revision = QUILLET_VERSION_REVISION;
    app.CompanyName = QUILLET_COMPANY;
    app.Title = QUILLET_TITLE;
    app.FileDescription = "VB code converter.";
    app.LegalCopyright = "Copyright (C)";  // the about window adds " by " and the company
    app.Comments = "Adds trace code and line numbers to Visual Basic 6 projects and reports on their code.";
    return app;
}

}  // namespace quillet
