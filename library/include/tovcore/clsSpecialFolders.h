// Where things live on this machine, gathered once by GetSpecialFolders. Every folder ends in "/"
// (or is empty where the folder has no meaning on this system).
#pragma once

#include <string>

namespace tovcore {

struct clsSpecialFolders {
    std::string SystemDrive;                      // empty: no drive letters here
    std::string ApplicationDataFolderLocalReg;    // per-user data folder ($XDG_DATA_HOME)
    std::string ApplicationDataFolderLocal;       // the same & company & "/" & program & "/"
    std::string ApplicationDataFolderRoamingReg;  // per-user settings folder ($XDG_CONFIG_HOME)
    std::string ApplicationDataFolderRoaming;     // the same & company & "/" & program & "/"
    std::string ProgramFilesFolder;               // the install prefix
    std::string CommonFilesFolder;                // the install prefix's shared-data folder
    std::string UserProfileFolder;                // the home folder
    std::string WindowsFolder;                    // empty here
    std::string WindowsSystemFolder;              // empty here
    std::string UserProfileTempFolder;            // temporary files
    std::string AllUsersAppDataFolder;            // data shared by all users
    bool UsingAppData = false;                    // never set
};

}  // namespace tovcore
