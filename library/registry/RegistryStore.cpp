// The registry store: hive files of keys and values, read and written whole under a file lock.
//
// A hive file is UTF-8 text, one line per key or value, keys before their values and sub-keys:
//     TOVCORE-REGISTRY-HIVE 1
//     K Software\Tovell
//     V <name> <type> <hex bytes>
// Names are written with "%XX" for "%", blanks, "\" (in value names only) and control characters.
#include <tovcore/registry.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <tovcore/Types.h>

#include "library/registry/RegistryStore.h"
#include "library/src/LibraryState.h"
#include "library/src/modGeneral.h"
#include "library/src/modSpecialFolders.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace tovcore::registry {
namespace {

using detail::State;

constexpr const char* kHeader = "TOVCORE-REGISTRY-HIVE 1";

struct Value {
    std::string name;
    std::int32_t type = 0;
    std::string data;
};

struct Key {
    std::string name;
    std::vector<Value> values;
    std::vector<Key> keys;

    Key* Find(std::string_view child) {
        for (Key& k : keys)
            if (platform::IEqualsUtf8(k.name, child)) return &k;
        return nullptr;
    }
    Value* FindValue(std::string_view valueName) {
        for (Value& v : values)
            if (platform::IEqualsUtf8(v.name, valueName)) return &v;
        return nullptr;
    }
};

using Path = std::vector<std::string>;

Path SplitPath(std::string_view text) {
    Path out;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t sep = text.find('\\', pos);
        if (sep == std::string_view::npos) sep = text.size();
        if (sep > pos) out.emplace_back(text.substr(pos, sep - pos));
        pos = sep + 1;
    }
    return out;
}

Key* Walk(Key& root, const Path& path) {
    Key* k = &root;
    for (const std::string& part : path) {
        k = k->Find(part);
        if (!k) return nullptr;
    }
    return k;
}

// ---- the file form ---------------------------------------------------------------------------------
std::string Escape(std::string_view text, bool inValueName) {
    return platform::PercentEscape(text, inValueName ? "\\" : "");
}

bool Unescape(std::string_view text, std::string& out) { return platform::PercentUnescape(text, out); }

std::string ToHex(std::string_view bytes) {
    static const char* hex = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += hex[c >> 4];
        out += hex[c & 15];
    }
    return out;
}

bool FromHex(std::string_view text, std::string& out) {
    if (text.size() % 2) return false;
    out.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = platform::HexDigitValue(text[i]), lo = platform::HexDigitValue(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

void WriteKey(const Key& key, const std::string& path, std::string& out) {
    for (const Key& k : key.keys) {
        const std::string p = path.empty() ? Escape(k.name, false) : path + "\\" + Escape(k.name, false);
        out += "K " + p + "\n";
        for (const Value& v : k.values)
            out += "V " + Escape(v.name, true) + " " + std::to_string(v.type) + " " + ToHex(v.data) + "\n";
        WriteKey(k, p, out);
    }
}

std::string Serialize(const Key& root) {
    std::string out = std::string(kHeader) + "\n";
    WriteKey(root, "", out);
    return out;
}

bool ParseNumber(std::string_view text, std::int32_t& v) {
    if (text.empty() || text.size() > 11) return false;
    std::string s(text);
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(s.c_str(), &end, 10);
    if (errno || *end || n < INT32_MIN || n > INT32_MAX) return false;
    v = static_cast<std::int32_t>(n);
    return true;
}

// False for anything this store did not write.
bool Parse(std::string_view text, Key& root) {
    root = Key{};
    std::size_t pos = 0;
    bool first = true;
    Key* current = nullptr;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) return false;  // every line ends in a line feed
        const std::string_view line = text.substr(pos, nl - pos);
        pos = nl + 1;
        if (first) {
            if (line != kHeader) return false;
            first = false;
            continue;
        }
        if (line.size() < 2 || line[1] != ' ') return false;
        const std::string_view rest = line.substr(2);
        if (line[0] == 'K') {
            Key* k = &root;
            bool made = false;
            for (const std::string& part : SplitPath(rest)) {
                std::string name;
                if (!Unescape(part, name) || name.empty()) return false;
                Key* child = k->Find(name);
                if (!child) {
                    k->keys.push_back(Key{name, {}, {}});
                    child = &k->keys.back();
                    made = true;
                }
                k = child;
            }
            if (!made) return false;  // a key listed twice, or an empty path
            current = k;
        } else if (line[0] == 'V') {
            if (!current) return false;  // a hive's root holds no values
            const std::size_t a = rest.find(' ');
            if (a == std::string_view::npos) return false;
            const std::size_t b = rest.find(' ', a + 1);
            if (b == std::string_view::npos) return false;
            Value v;
            if (!Unescape(rest.substr(0, a), v.name) || !ParseNumber(rest.substr(a + 1, b - a - 1), v.type) ||
                !FromHex(rest.substr(b + 1), v.data))
                return false;
            if (current->FindValue(v.name)) return false;
            current->values.push_back(std::move(v));
        } else {
            return false;
        }
    }
    return !first;
}

// ---- files and locks -------------------------------------------------------------------------------
const char* HiveName(std::int32_t root) {
    switch (root) {
        case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
        case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
        case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
        case HKEY_USERS: return "HKEY_USERS";
        default: return nullptr;
    }
}

std::string UserFolder() { return detail::GetSpecialFolders().ApplicationDataFolderRoamingReg + "Tovcore/Registry/"; }

std::string MachineFolder() {
    const char* moved = std::getenv("TOVCORE_MACHINE_REGISTRY");
    if (moved && moved[0] == '/') return detail::FixPath(moved);
    return UserFolder();
}

class FileLock {
public:
    explicit FileLock(const std::string& hiveFile) {
        fd_ = ::open((hiveFile + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0) return;
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_UN);
            ::close(fd_);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Reads a hive: a missing file is an empty hive.
std::int32_t Load(const std::string& file, Key& root) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) return ERROR_REGISTRY_IO_FAILED;
        root = Key{};
        return ERROR_SUCCESS;
    }
    std::string bytes;
    if (!S_ISREG(st.st_mode) || !platform::ReadFileBytes(file, bytes)) return ERROR_REGISTRY_IO_FAILED;
    return Parse(bytes, root) ? ERROR_SUCCESS : ERROR_REGISTRY_CORRUPT;
}

// ---- open keys -------------------------------------------------------------------------------------
struct OpenKeyEntry {
    std::int32_t root;
    Path path;
};

struct OpenKeys {
    std::map<std::int32_t, OpenKeyEntry> byHandle;
    std::int32_t next = 0x1000;
};

OpenKeys& Handles() {
    std::shared_ptr<void>& store = State().registry.store;
    if (!store) store = std::make_shared<OpenKeys>();
    return *static_cast<OpenKeys*>(store.get());
}

std::int32_t NewHandle(std::int32_t root, Path path) {
    OpenKeys& h = Handles();
    while (h.byHandle.count(h.next) || h.next <= 0) h.next = h.next <= 0 ? 0x1000 : h.next + 4;
    const std::int32_t handle = h.next;
    h.next += 4;
    h.byHandle.emplace(handle, OpenKeyEntry{root, std::move(path)});
    return handle;
}

// The hive and the full key path that `key` & `subKey` name.
std::int32_t Resolve(std::int32_t key, std::string_view subKey, std::int32_t& root, Path& path) {
    if (HiveName(key)) {
        root = key;
        path.clear();
    } else {
        const OpenKeys& h = Handles();
        const auto it = h.byHandle.find(key);
        if (it == h.byHandle.end()) return ERROR_INVALID_HANDLE;
        root = it->second.root;
        path = it->second.path;
    }
    for (std::string& part : SplitPath(subKey)) path.push_back(std::move(part));
    return ERROR_SUCCESS;
}

std::int32_t ReadHive(std::int32_t root, Key& hive) { return Load(HiveFile(root), hive); }

// Runs `change` on the hive under the lock and writes the hive back when it reports a change.
template <class Change>
std::int32_t ModifyHive(std::int32_t root, Change change) {
    if (IsMachineHive(root) && !detail::CallerIsAdmin()) return ERROR_ACCESS_DENIED;
    const std::string file = HiveFile(root);
    detail::CreateFolders(platform::FolderOf(file));
    FileLock lock(file);
    if (!lock.Held()) return ERROR_REGISTRY_IO_FAILED;
    Key hive;
    if (const std::int32_t loaded = Load(file, hive); loaded != ERROR_SUCCESS) return loaded;
    bool changed = false;
    const std::int32_t result = change(hive, changed);
    if (result != ERROR_SUCCESS || !changed) return result;
    return platform::WriteFileAtomic(file, Serialize(hive)) ? ERROR_SUCCESS : ERROR_REGISTRY_IO_FAILED;
}

}  // namespace

std::string HiveFile(std::int32_t root) {
    const char* name = HiveName(root);
    if (!name) return "";
    return (IsMachineHive(root) ? MachineFolder() : UserFolder()) + name + ".hive";
}

bool IsMachineHive(std::int32_t root) {
    return root == HKEY_LOCAL_MACHINE || root == HKEY_CLASSES_ROOT || root == HKEY_USERS;
}

std::int32_t OpenKey(std::int32_t key, const std::string& subKey, std::int32_t& result) {
    result = 0;
    std::int32_t root = 0;
    Path path;
    if (const std::int32_t r = Resolve(key, subKey, root, path); r != ERROR_SUCCESS) return r;
    if (path.empty()) {
        result = root;
        return ERROR_SUCCESS;
    }
    Key hive;
    if (const std::int32_t r = ReadHive(root, hive); r != ERROR_SUCCESS) return r;
    // The handle keeps the names as stored.
    Path stored;
    for (Key* at = &hive; const std::string& part : path) {
        at = at->Find(part);
        if (!at) return ERROR_FILE_NOT_FOUND;
        stored.push_back(at->name);
    }
    result = NewHandle(root, std::move(stored));
    return ERROR_SUCCESS;
}

std::int32_t CreateKey(std::int32_t key, const std::string& subKey, std::int32_t& result, bool* created) {
    result = 0;
    if (created) *created = false;
    std::int32_t root = 0;
    Path path;
    if (const std::int32_t r = Resolve(key, subKey, root, path); r != ERROR_SUCCESS) return r;
    if (path.empty()) {
        result = root;
        return ERROR_SUCCESS;
    }
    Path stored;
    bool made = false;
    const std::int32_t r = ModifyHive(root, [&](Key& hive, bool& changed) {
        Key* k = &hive;
        for (const std::string& part : path) {
            Key* child = k->Find(part);
            if (!child) {
                k->keys.push_back(Key{part, {}, {}});
                child = &k->keys.back();
                made = changed = true;
            }
            stored.push_back(child->name);
            k = child;
        }
        return ERROR_SUCCESS;
    });
    if (r != ERROR_SUCCESS) return r;
    if (created) *created = made;
    result = NewHandle(root, std::move(stored));
    return ERROR_SUCCESS;
}

std::int32_t CloseKey(std::int32_t key) {
    if (HiveName(key)) return ERROR_SUCCESS;
    return Handles().byHandle.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

std::int32_t QueryValue(std::int32_t key, const std::string& valueName, std::int32_t& type, std::string& data) {
    type = 0;
    data.clear();
    std::int32_t root = 0;
    Path path;
    if (const std::int32_t r = Resolve(key, "", root, path); r != ERROR_SUCCESS) return r;
    Key hive;
    if (const std::int32_t r = ReadHive(root, hive); r != ERROR_SUCCESS) return r;
    Key* k = Walk(hive, path);
    if (!k) return path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    const Value* v = k->FindValue(valueName);
    if (!v) return ERROR_FILE_NOT_FOUND;
    type = v->type;
    data = v->data;
    return ERROR_SUCCESS;
}

std::int32_t SetValue(std::int32_t key, const std::string& valueName, std::int32_t type, std::string_view data) {
    std::int32_t root = 0;
    Path path;
    if (const std::int32_t r = Resolve(key, "", root, path); r != ERROR_SUCCESS) return r;
    if (path.empty()) return ERROR_ACCESS_DENIED;
    return ModifyHive(root, [&](Key& hive, bool& changed) {
        Key* k = Walk(hive, path);
        if (!k) return ERROR_KEY_DELETED;
        if (Value* v = k->FindValue(valueName)) {
            changed = v->type != type || v->data != data;
            v->type = type;
            v->data = std::string(data);
        } else {
            k->values.push_back(Value{valueName, type, std::string(data)});
            changed = true;
        }
        return ERROR_SUCCESS;
    });
}

std::int32_t DeleteKey(std::int32_t key, const std::string& subKey) {
    std::int32_t root = 0;
    Path path;
    if (const std::int32_t r = Resolve(key, subKey, root, path); r != ERROR_SUCCESS) return r;
    if (path.empty()) return ERROR_ACCESS_DENIED;
    const std::string last = path.back();
    path.pop_back();
    return ModifyHive(root, [&](Key& hive, bool& changed) {
        Key* parent = Walk(hive, path);
        Key* k = parent ? parent->Find(last) : nullptr;
        if (!k) return ERROR_FILE_NOT_FOUND;
        if (!k->keys.empty()) return ERROR_ACCESS_DENIED;
        parent->keys.erase(parent->keys.begin() + (k - parent->keys.data()));
        changed = true;
        return ERROR_SUCCESS;
    });
}

std::int32_t DeleteValue(std::int32_t key, const std::string& valueName) {
    std::int32_t root = 0;
    Path path;
    if (const std::int32_t r = Resolve(key, "", root, path); r != ERROR_SUCCESS) return r;
    if (path.empty()) return ERROR_FILE_NOT_FOUND;
    return ModifyHive(root, [&](Key& hive, bool& changed) {
        Key* k = Walk(hive, path);
        if (!k) return ERROR_KEY_DELETED;
        Value* v = k->FindValue(valueName);
        if (!v) return ERROR_FILE_NOT_FOUND;
        k->values.erase(k->values.begin() + (v - k->values.data()));
        changed = true;
        return ERROR_SUCCESS;
    });
}

}  // namespace tovcore::registry

namespace tovcore::detail {

bool CallerIsAdmin() {
    const std::function<bool()>& own = State().registry.isAdmin;
    return own ? own() : IsAdmin();
}

}  // namespace tovcore::detail
