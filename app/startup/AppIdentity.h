// Who the program is: its application object for the library, from the build constants.
#pragma once

#include <string>

#include <tovcore/AppObject.h>

namespace quillet {

// The application object: executable name, the folder of the running executable, version,
// company, title, description, copyright and comments.
tovcore::AppObject QuilletAppObject();

// The folder of the running executable, ending in "/".
std::string ExecutableFolder();

}  // namespace quillet
