// The library's registry routines for client programs, on the registry store.
#pragma once

#include <cstdint>
#include <string>

#include <tovcore/Types.h>

namespace tovcore::detail {

bool KeyExists(std::int32_t lPredefinedKey, const std::string& sNewKeyName);
bool CreateNewKey(std::int32_t lPredefinedKey, const std::string& sNewKeyName);
bool DeleteKey(std::int32_t lPredefinedKey, const std::string& sNewKeyName);
bool DeleteValue(std::int32_t lPredefinedKey, const std::string& sNewKeyName, const std::string& sValue);
void SetKeyValue(std::int32_t lPredefinedKey, const std::string& sKeyName, const std::string& sValueName,
                 const Variant& vValueSetting, std::int32_t lValueType);
std::int32_t SetValueEx(std::int32_t hKey, const std::string& sValueName, std::int32_t lType, const Variant& vValue);
Variant GetValue(std::int32_t lPredefinedKey, const std::string& sKeyLoc, const Variant& sKeyName,
                 const Variant& sDefault);
Variant RegQueryStringValue(std::int32_t hKey, const std::string& strValueName);
std::string GetString(std::int32_t hKey, const std::string& strPath, const std::string& strValue);
void GetRegistryInfo(WindowsRegistryInfo& wri);

// Reverses the four bytes of a 32-bit value.
std::int32_t SwapEndian(std::int32_t value);
// Replaces every %NAME% whose variable is set by the variable's value.
std::string ExpandEnvStr(const std::string& text);

}  // namespace tovcore::detail
