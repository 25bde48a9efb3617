// Our own INI-dialect files (settings, old snippet sections) as the engine reads them: through the
// library's INI engine, which the tool window reaches and the engine does not link.
#pragma once

#include <string>

namespace engine {

class Settings {
public:
    virtual ~Settings() = default;

    // A section of an INI-dialect file, as the library's GetIniSection reads it: the body, its lines
    // joined by CR LF, goes into `iniStr` (left as it is when the body is empty); false when there is
    // no such section.
    virtual bool GetIniSection(const std::string& Section, std::string& iniStr, const std::string& IniFile) = 0;
};

}  // namespace engine
