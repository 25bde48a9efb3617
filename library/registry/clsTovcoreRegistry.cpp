// The registry members of clsTovcore: each forwards to the registry routine of the same name.
#include <tovcore/clsTovcore.h>

#include "library/registry/modRegistry.h"

namespace tovcore {

Variant clsTovcore::RegQueryStringValue(std::int32_t hKey, std::string strValueName) {
    return detail::RegQueryStringValue(hKey, strValueName);
}
std::string clsTovcore::GetString(std::int32_t hKey, const std::string& strPath, const std::string& strValue) {
    return detail::GetString(hKey, strPath, strValue);
}
bool clsTovcore::CreateNewKey(std::int32_t lPredefinedKey, const std::string& sNewKeyName) {
    return detail::CreateNewKey(lPredefinedKey, sNewKeyName);
}
void clsTovcore::SetKeyValue(std::int32_t lPredefinedKey, const std::string& sKeyName, const std::string& sValueName,
                             const Variant& vValueSetting, std::int32_t lValueType) {
    detail::SetKeyValue(lPredefinedKey, sKeyName, sValueName, vValueSetting, lValueType);
}
std::int32_t clsTovcore::SetValueEx(std::int32_t hKey, const std::string& sValueName, std::int32_t lType,
                                    const Variant& vValue) {
    return detail::SetValueEx(hKey, sValueName, lType, vValue);
}
bool clsTovcore::KeyExists(std::int32_t lPredefinedKey, const std::string& sNewKeyName) {
    return detail::KeyExists(lPredefinedKey, sNewKeyName);
}
Variant clsTovcore::GetValue(std::int32_t lPredefinedKey, const std::string& sKeyLoc, const Variant& sKeyName,
                             const Variant& sDefault) {
    return detail::GetValue(lPredefinedKey, sKeyLoc, sKeyName, sDefault);
}
bool clsTovcore::DeleteKey(std::int32_t lPredefinedKey, const std::string& sNewKeyName) {
    return detail::DeleteKey(lPredefinedKey, sNewKeyName);
}
bool clsTovcore::DeleteValue(std::int32_t lPredefinedKey, const std::string& sNewKeyName, const std::string& sValue) {
    return detail::DeleteValue(lPredefinedKey, sNewKeyName, sValue);
}
void clsTovcore::GetRegistryInfo(WindowsRegistryInfo& wri) { detail::GetRegistryInfo(wri); }

}  // namespace tovcore
