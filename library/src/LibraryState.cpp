#include "library/src/LibraryState.h"

namespace tovcore::detail {

LibraryState& State() {
    thread_local LibraryState state;
    return state;
}

}  // namespace tovcore::detail
