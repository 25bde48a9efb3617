// Until the windows exist, quillet starts as a small console program: it sets up the library as
// the program will (settings file, logs, trace log) and prints its version and settings file path.
#include <cstdio>
#include <string>

#include <tovcore/clsTovcore.h>

#include "app/startup/AppIdentity.h"
#include "quillet_version.h"

int main() {
    tovcore::clsTovcore& tovcore = tovcore::Global();
    const std::string settingsFile = tovcore.InitializeDll(quillet::QuilletAppObject(), tovcore::Freeware);
    std::printf("%s %s\n", QUILLET_TITLE, tovcore.GetVersion().c_str());
    std::printf("Settings file: %s\n", settingsFile.c_str());
    return settingsFile.empty() ? 1 : 0;
}
