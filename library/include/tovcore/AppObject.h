// The client's application object: who the calling program is. The program fills it from its own
// build constants and hands it to InitializeDll (or InitTraceLog) once at start-up.
#pragma once

#include <cstdint>
#include <string>

namespace tovcore {

struct AppObject {
    std::string EXEName;  // executable name without extension, e.g. "Quillet"
    std::string Path;     // folder of the executable
    std::int32_t Major = 0;
    std::int32_t Minor = 0;
    std::int32_t Revision = 0;
    std::string CompanyName;
    std::string Title;
    std::string FileDescription;
    std::string LegalCopyright;
    std::string Comments;
};

}  // namespace tovcore
