// quillet-bench xref: the cross reference and the definition reports of a project, timed.
#pragma once

#include <string>
#include <vector>

namespace bench {

// quillet-bench xref PROJECT [--out DIR] [--literal] [--log]
int Xref(const std::vector<std::string>& args);

}  // namespace bench
