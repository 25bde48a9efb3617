// The program's compiled-in resources (icons, logo) live in a static library: this makes sure they
// are registered before the first use.
#pragma once

namespace quillet {
void InitResources();
}
