// The rewrite commands of quillet-bench: addcode, number, unnumber, undo. Each loads the project,
// runs the command with its commit, and prints the time of each phase and what it changed or
// refused.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace bench {

// Runs `command` when it is one of the rewrite commands (and sets `rc`); false otherwise.
bool RunRewriteCommand(const std::string& command, const std::vector<std::string>& args, int& rc);

// The usage lines of the rewrite commands.
void PrintRewriteUsage(std::ostream& out);

}  // namespace bench
