// The registry store: a persistent store of keys and values in place of the Windows registry,
// for the library's registry routines and for client programs that work with open keys.
//
// - Hives: HKEY_CURRENT_USER is kept in the per-user configuration folder
//   ($XDG_CONFIG_HOME/Tovcore/Registry/); the machine hives HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT
//   and HKEY_USERS in the folder that TOVCORE_MACHINE_REGISTRY names (an absolute path), by
//   default the same folder. One file per hive, "<hive name>.hive".
// - Key and value names compare without regard to case and are kept as first written; a key path
//   separates its keys with "\". Every value keeps its type number and its raw bytes.
// - Every change reads the hive file, changes it and writes it back atomically (temporary file,
//   flush, rename) under an exclusive lock of "<hive file>.lock", so two processes never lose each
//   other's changes. A hive file that cannot be parsed is reported (ERROR_REGISTRY_CORRUPT) and is
//   never written over.
// - Changing a machine hive needs IsAdmin, as on Windows; a hive's root holds no values and is
//   never deleted.
// - Every call answers a Windows result code (0 = success). Open-key handles belong to the thread
//   that opened them; the predefined roots are always open.
#pragma once

#include <tovcore/Export.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace tovcore::registry {

inline constexpr std::int32_t ERROR_SUCCESS = 0;
inline constexpr std::int32_t ERROR_FILE_NOT_FOUND = 2;  // no such key or value
inline constexpr std::int32_t ERROR_ACCESS_DENIED = 5;
inline constexpr std::int32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::int32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr std::int32_t ERROR_REGISTRY_CORRUPT = 1015;
inline constexpr std::int32_t ERROR_REGISTRY_IO_FAILED = 1016;
inline constexpr std::int32_t ERROR_KEY_DELETED = 1018;

// The file that holds a predefined root's hive, or "" for a value that names no hive.
TOVCORE_EXPORT std::string HiveFile(std::int32_t root);
TOVCORE_EXPORT bool IsMachineHive(std::int32_t root);

// Opens an existing key below `key` (a predefined root or an open key); an empty subKey opens
// `key` itself.
TOVCORE_EXPORT std::int32_t OpenKey(std::int32_t key, const std::string& subKey, std::int32_t& result);
// Opens the key, creating it and every missing key on the way; *created tells whether it was new.
TOVCORE_EXPORT std::int32_t CreateKey(std::int32_t key, const std::string& subKey, std::int32_t& result,
                                     bool* created = nullptr);
TOVCORE_EXPORT std::int32_t CloseKey(std::int32_t key);
// The value's type and bytes, exactly as stored.
TOVCORE_EXPORT std::int32_t QueryValue(std::int32_t key, const std::string& valueName, std::int32_t& type,
                                      std::string& data);
TOVCORE_EXPORT std::int32_t SetValue(std::int32_t key, const std::string& valueName, std::int32_t type,
                                    std::string_view data);
// Deletes a key that has no sub-keys (a key with sub-keys: ERROR_ACCESS_DENIED).
TOVCORE_EXPORT std::int32_t DeleteKey(std::int32_t key, const std::string& subKey);
TOVCORE_EXPORT std::int32_t DeleteValue(std::int32_t key, const std::string& valueName);

}  // namespace tovcore::registry
