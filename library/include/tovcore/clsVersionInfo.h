// Version-resource fields of a file: the caller sets the three names, GetDisplayVerInfo the rest.
#pragma once

#include <string>

namespace tovcore {

struct clsVersionInfo {
    std::string Filename;
    std::string Directory;
    std::string FullFileName;
    std::string StrucVer;
    std::string FileVer;
    std::string ProdVer;
    std::string FileFlags;
    std::string FileOS;
    std::string FileType;
    std::string FileSubType;
};

}  // namespace tovcore
