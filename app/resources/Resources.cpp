#include "app/resources/Resources.h"

#include <QtGlobal>

static void InitQuilletResourceFile() { Q_INIT_RESOURCE(quillet); }

namespace quillet {

void InitResources() {
    static const bool done = [] {
        InitQuilletResourceFile();
        return true;
    }();
    (void)done;
}

}  // namespace quillet
