// Inside the registry store and routines.
#pragma once

namespace tovcore::detail {

// Whether the caller may write values and change the machine hives: the thread's own answer when
// one is set (tests set it), else IsAdmin.
bool CallerIsAdmin();

}  // namespace tovcore::detail
