// Until the windows exist, quillet starts as a small console program that prints its version.
#include <cstdio>

#include "quillet_version.h"

int main() {
    std::printf("%s Version %d.%d  Build %d\n", QUILLET_TITLE, QUILLET_VERSION_MAJOR, QUILLET_VERSION_MINOR,
                QUILLET_VERSION_REVISION);
    return 0;
}
