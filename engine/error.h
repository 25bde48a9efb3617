// The one error type of the engine. A routine that meets a condition it cannot go on from (a
// project that lists one file twice, a file that cannot be read) throws it; the command that
// started the walk catches it at its boundary, shows the message through the host and leaves the
// user's files as they were.
#pragma once

#include <stdexcept>
#include <string>

namespace engine {

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace engine
