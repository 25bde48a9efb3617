// Special folders, system information and privileges.
#pragma once

#include <cstdint>
#include <string>

#include <tovcore/clsSpecialFolders.h>

namespace tovcore::detail {

struct OSInfoRecord {
    std::int32_t PlatformId = 0;
    std::string OSName;
    std::string Version;  // "major.minor"
    std::string ServicePack;
    std::string Build;
};

clsSpecialFolders GetSpecialFolders();
std::string GetOSVersion();
void GetOSInfo(OSInfoRecord& info);
bool IsAdmin();
void CreateFolders(const std::string& PathName);
std::string StripTerminator(const std::string& Buffer);

// The home folder: $HOME when it is absolute, else the user database's entry, never relative.
std::string HomeFolder();

}  // namespace tovcore::detail
