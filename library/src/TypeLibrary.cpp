#include <tovcore/TypeLibrary.h>

#include <map>
#include <mutex>

#include <tovcore/clsFileAccess.h>
#include <tovcore/clsSpecialFolders.h>
#include <tovcore/clsTovcore.h>
#include <tovcore/clsVersionInfo.h>

#include "platform/text.h"

namespace tovcore {
namespace {

using Factory = std::function<std::any()>;

// Factories by class id. The four classes of this folder are known from the start; the window
// routines add clsTvResizeForm when the library is loaded.
struct Factories {
    std::mutex mutex;
    std::map<std::string, Factory, platform::ILess> byClsid;
};

Factories& TheFactories() {
    static Factories* f = [] {
        auto* made = new Factories;
        made->byClsid.emplace(std::string(CLSID_clsTovcore), [] { return std::any(std::make_shared<clsTovcore>()); });
        made->byClsid.emplace(std::string(CLSID_clsFileAccess),
                              [] { return std::any(std::make_shared<clsFileAccess>()); });
        made->byClsid.emplace(std::string(CLSID_clsSpecialFolders),
                              [] { return std::any(std::make_shared<clsSpecialFolders>()); });
        made->byClsid.emplace(std::string(CLSID_clsVersionInfo),
                              [] { return std::any(std::make_shared<clsVersionInfo>()); });
        return made;
    }();
    return *f;
}

}  // namespace

const std::vector<ClassInfo>& ClassTable() {
    static const std::vector<ClassInfo> table = {
        {"clsTovcore", "Tovcore.clsTovcore", CLSID_clsTovcore, "_clsTovcore", IID__clsTovcore,
         Instancing::GlobalMultiUse},
        {"clsFileAccess", "Tovcore.clsFileAccess", CLSID_clsFileAccess, "_clsFileAccess", IID__clsFileAccess,
         Instancing::MultiUse},
        {"clsSpecialFolders", "Tovcore.clsSpecialFolders", CLSID_clsSpecialFolders, "_clsSpecialFolders",
         IID__clsSpecialFolders, Instancing::MultiUse},
        {"clsVersionInfo", "Tovcore.clsVersionInfo", CLSID_clsVersionInfo, "_clsVersionInfo", IID__clsVersionInfo,
         Instancing::MultiUse},
        {"clsTvResizeForm", "Tovcore.clsTvResizeForm", CLSID_clsTvResizeForm, "_clsTvResizeForm",
         IID__clsTvResizeForm, Instancing::MultiUse},
    };
    return table;
}

const ClassInfo* FindClassByCLSID(std::string_view clsid) {
    for (const auto& c : ClassTable())
        if (platform::IEquals(c.clsid, clsid)) return &c;
    return nullptr;
}

const ClassInfo* FindClassByProgID(std::string_view progId) {
    for (const auto& c : ClassTable())
        if (platform::IEquals(c.progId, progId)) return &c;
    return nullptr;
}

std::any CreateObject(std::string_view clsidOrProgId) {
    const ClassInfo* cls = FindClassByCLSID(clsidOrProgId);
    if (!cls) cls = FindClassByProgID(clsidOrProgId);
    if (!cls) return {};
    Factory factory;
    {
        Factories& f = TheFactories();
        std::lock_guard lock(f.mutex);
        auto it = f.byClsid.find(cls->clsid);
        if (it == f.byClsid.end()) return {};
        factory = it->second;
    }
    return factory();
}

bool RegisterClassFactory(std::string_view clsid, std::function<std::any()> factory) {
    const ClassInfo* cls = FindClassByCLSID(clsid);
    if (!cls || !factory) return false;
    Factories& f = TheFactories();
    std::lock_guard lock(f.mutex);
    f.byClsid[std::string(cls->clsid)] = std::move(factory);
    return true;
}

}  // namespace tovcore
