// Until the windows exist, quillet starts as a small console program: it sets up the library as
// the program will (settings file, logs, trace log) and prints its version and settings file path.
#include <cstdio>
#include <string>
#include <unistd.h>

#include <tovcore/clsTovcore.h>

#include "quillet_version.h"

namespace {

// The program's application object, from its build constants.
tovcore::AppObject QuilletAppObject() {
    tovcore::AppObject app;
    app.EXEName = QUILLET_EXE_NAME;
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) {
        const std::string path(exe, static_cast<std::size_t>(n));
        app.Path = path.substr(0, path.rfind('/') + 1);
    }
    app.Major = QUILLET_VERSION_MAJOR;
    app.Minor = QUILLET_VERSION_MINOR;
    app.Revision = QUILLET_VERSION_REVISION;
    app.CompanyName = QUILLET_COMPANY;
    app.Title = QUILLET_TITLE;
    app.FileDescription = "VB code converter.";
    return app;
}

}  // namespace

int main() {
    tovcore::clsTovcore& tovcore = tovcore::Global();
    const std::string settingsFile = tovcore.InitializeDll(QuilletAppObject(), tovcore::Freeware);
    std::printf("%s %s\n", QUILLET_TITLE, tovcore.GetVersion().c_str());
    std::printf("Settings file: %s\n", settingsFile.c_str());
    return settingsFile.empty() ? 1 : 0;
}
