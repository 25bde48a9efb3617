#include "library/registry/modRegistry.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <tovcore/registry.h>

#include "library/registry/RegistryStore.h"
#include "library/src/modSpecialFolders.h"

namespace tovcore::detail {
namespace {

namespace reg = tovcore::registry;

// A predefined root with a key name that names no key would address the whole hive: refused.
bool AddressesWholeHive(std::int32_t key, const std::string& name) {
    if (reg::HiveFile(key).empty()) return false;
    return name.find_first_not_of('\\') == std::string::npos;
}

// A value as text: text as it is, a number in decimal, bytes one character each.
std::string VariantText(const Variant& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* n = std::get_if<std::int32_t>(&v)) return std::to_string(*n);
    if (const auto* b = std::get_if<std::vector<std::uint8_t>>(&v)) return std::string(b->begin(), b->end());
    return "";
}

// A value as a 32-bit number: a number, or text that reads as one (rounded, halves to even).
bool VariantNumber(const Variant& v, std::int32_t& out) {
    if (const auto* n = std::get_if<std::int32_t>(&v)) {
        out = *n;
        return true;
    }
    const auto* s = std::get_if<std::string>(&v);
    if (!s) return false;
    const char* begin = s->c_str();
    char* end = nullptr;
    const double d = std::strtod(begin, &end);
    while (end && *end == ' ') ++end;
    if (end == begin || *end != '\0' || !std::isfinite(d)) return false;
    const double r = std::nearbyint(d);
    if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max()) return false;
    out = static_cast<std::int32_t>(r);
    return true;
}

// The bytes of a stored 32-bit number, little-endian, as many as were stored (at most four).
std::int32_t LittleEndian(const std::string& data) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < data.size() && i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
    return static_cast<std::int32_t>(v);
}

// Text stored with its terminating NUL loses that one NUL; text stored without one keeps every
// byte.
std::string StoredText(const std::string& data) {
    if (!data.empty() && data.back() == '\0') return data.substr(0, data.size() - 1);
    return data;
}

}  // namespace

std::int32_t SwapEndian(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return static_cast<std::int32_t>((v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24));
}

std::string ExpandEnvStr(const std::string& text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('%', pos);
        if (open == std::string::npos) break;
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string::npos) break;
        const std::string name = text.substr(open + 1, close - open - 1);
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        out += text.substr(pos, open - pos);
        if (value) {
            out += value;
            pos = close + 1;
        } else {
            // Left as written; the closing "%" may open the next reference.
            out += text.substr(open, close - open);
            pos = close;
        }
    }
    out += text.substr(std::min(pos, text.size()));
    return out;
}

bool KeyExists(std::int32_t lPredefinedKey, const std::string& sNewKeyName) {
    if (AddressesWholeHive(lPredefinedKey, sNewKeyName)) return false;
    std::int32_t key = 0;
    if (reg::OpenKey(lPredefinedKey, sNewKeyName, key) != reg::ERROR_SUCCESS) return false;
    reg::CloseKey(key);
    return true;
}

bool CreateNewKey(std::int32_t lPredefinedKey, const std::string& sNewKeyName) {
    if (!CallerIsAdmin() || AddressesWholeHive(lPredefinedKey, sNewKeyName)) return false;
    std::int32_t key = 0;
    const bool ok = reg::CreateKey(lPredefinedKey, sNewKeyName, key) == reg::ERROR_SUCCESS;
    if (ok) reg::CloseKey(key);
    return ok;
}

bool DeleteKey(std::int32_t lPredefinedKey, const std::string& sNewKeyName) {
    if (AddressesWholeHive(lPredefinedKey, sNewKeyName)) return false;
    return reg::DeleteKey(lPredefinedKey, sNewKeyName) == reg::ERROR_SUCCESS;
}

bool DeleteValue(std::int32_t lPredefinedKey, const std::string& sNewKeyName, const std::string& sValue) {
    if (AddressesWholeHive(lPredefinedKey, sNewKeyName)) return false;
    std::int32_t key = 0;
    if (reg::OpenKey(lPredefinedKey, sNewKeyName, key) != reg::ERROR_SUCCESS) return false;
    const bool ok = reg::DeleteValue(key, sValue) == reg::ERROR_SUCCESS;
    reg::CloseKey(key);
    return ok;
}

std::int32_t SetValueEx(std::int32_t hKey, const std::string& sValueName, std::int32_t lType, const Variant& vValue) {
    if (!CallerIsAdmin()) return reg::ERROR_ACCESS_DENIED;
    std::string data;
    switch (lType) {
        case REG_SZ:
            data = VariantText(vValue) + '\0';
            break;
        case REG_BINARY:
            // Bytes are written as they are; anything else as its text with a terminating NUL.
            if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&vValue))
                data.assign(bytes->begin(), bytes->end());
            else
                data = VariantText(vValue) + '\0';
            break;
        case REG_DWORD: {
            std::int32_t n = 0;
            if (!VariantNumber(vValue, n)) return reg::ERROR_INVALID_PARAMETER;
            const auto u = static_cast<std::uint32_t>(n);
            for (int i = 0; i < 4; ++i) data += static_cast<char>((u >> (8 * i)) & 0xFF);
            break;
        }
        default:
            return reg::ERROR_INVALID_PARAMETER;  // a type this routine does not write
    }
    return reg::SetValue(hKey, sValueName, lType, data);
}

void SetKeyValue(std::int32_t lPredefinedKey, const std::string& sKeyName, const std::string& sValueName,
                 const Variant& vValueSetting, std::int32_t lValueType) {
    if (!CallerIsAdmin() || AddressesWholeHive(lPredefinedKey, sKeyName)) return;
    std::int32_t key = 0;
    if (reg::OpenKey(lPredefinedKey, sKeyName, key) != reg::ERROR_SUCCESS) return;
    SetValueEx(key, sValueName, lValueType, vValueSetting);
    reg::CloseKey(key);
}

Variant GetValue(std::int32_t lPredefinedKey, const std::string& sKeyLoc, const Variant& sKeyName,
                 const Variant& sDefault) {
    if (AddressesWholeHive(lPredefinedKey, sKeyLoc)) return sDefault;
    std::int32_t key = 0;
    if (reg::OpenKey(lPredefinedKey, sKeyLoc, key) != reg::ERROR_SUCCESS) return sDefault;
    std::int32_t type = 0;
    std::string data;
    const std::int32_t r = reg::QueryValue(key, VariantText(sKeyName), type, data);
    reg::CloseKey(key);
    if (r != reg::ERROR_SUCCESS) return sDefault;
    switch (type) {
        case REG_SZ:
        case REG_MULTI_SZ: return StoredText(data);
        case REG_EXPAND_SZ: return ExpandEnvStr(StoredText(data));
        case REG_DWORD: return LittleEndian(data);
        case REG_DWORD_BIG_ENDIAN: return SwapEndian(LittleEndian(data));
        default: return data;
    }
}

Variant RegQueryStringValue(std::int32_t hKey, const std::string& strValueName) {
    std::int32_t type = 0;
    std::string data;
    if (reg::QueryValue(hKey, strValueName, type, data) != reg::ERROR_SUCCESS) return {};
    if (type == REG_SZ) return data.substr(0, data.find('\0'));
    if (type == REG_BINARY) return std::vector<std::uint8_t>(data.begin(), data.end());
    return {};
}

std::string GetString(std::int32_t hKey, const std::string& strPath, const std::string& strValue) {
    if (AddressesWholeHive(hKey, strPath)) return "";
    std::int32_t key = 0;
    if (reg::OpenKey(hKey, strPath, key) != reg::ERROR_SUCCESS) return "";
    const std::string text = VariantText(RegQueryStringValue(key, strValue));
    reg::CloseKey(key);
    return text;
}

void GetRegistryInfo(WindowsRegistryInfo& wri) {
    OSInfoRecord info;
    GetOSInfo(info);
    const char* key = info.PlatformId == 1   ? "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"
                      : info.PlatformId == 2 ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
                                             : nullptr;
    if (!key || !KeyExists(HKEY_LOCAL_MACHINE, key)) return;
    const Variant none = std::string();
    wri.RegOwner = VariantText(GetValue(HKEY_LOCAL_MACHINE, key, std::string("RegisteredOwner"), none));
    wri.RegCompany = VariantText(GetValue(HKEY_LOCAL_MACHINE, key, std::string("RegisteredOrganization"), none));
    wri.Product = VariantText(GetValue(HKEY_LOCAL_MACHINE, key, std::string("ProductName"), none));
    wri.ProductId = VariantText(GetValue(HKEY_LOCAL_MACHINE, key, std::string("ProductId"), none));
}

}  // namespace tovcore::detail
