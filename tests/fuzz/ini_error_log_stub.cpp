// The INI engine says a write it could not make in the library's error log. The fuzz build has the
// engine without the rest of the library (no window system, so no logs): the line goes nowhere.
#include <string>

namespace tovcore::detail {
void WriteErrorLog(const std::string&) {}
}  // namespace tovcore::detail
