// The library's identity as a component library, and creation of its public classes by class id
// or by programmatic name ("Tovcore.clsFileAccess"). A thin stand-in for the component system of
// Windows: identities are kept as text, objects are handed out as shared pointers.
#pragma once

#include <tovcore/Export.h>

#include <any>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tovcore {

// Type library.
inline constexpr std::string_view kTypeLibraryName = "Tovcore";
inline constexpr std::string_view LIBID_Tovcore = "{51F6A938-EA06-44FF-8AEA-74A2A4BF8543}";
inline constexpr int kTypeLibraryMajor = 5;
inline constexpr int kTypeLibraryMinor = 0;
inline constexpr unsigned kTypeLibraryLocale = 0x409;
inline constexpr std::string_view kTypeLibraryHelpString = "Tv General Routines";

// Class ids and the ids of their default interfaces.
inline constexpr std::string_view CLSID_clsTovcore = "{0C3A2849-B440-4842-A2F7-015C4E288A50}";
inline constexpr std::string_view IID__clsTovcore = "{9B5E1CB9-71C5-4A25-A058-83EC7346F389}";
inline constexpr std::string_view CLSID_clsFileAccess = "{53C71688-7868-4F10-B600-8F803D7D39B7}";
inline constexpr std::string_view IID__clsFileAccess = "{398C86A5-814D-4D4D-B54A-A3A3FD48D48D}";
inline constexpr std::string_view CLSID_clsSpecialFolders = "{C3EEA376-91AF-48AC-83E7-C3AAA36D2596}";
inline constexpr std::string_view IID__clsSpecialFolders = "{81E601A0-C116-4E81-8332-BA0DDF545BE9}";
inline constexpr std::string_view CLSID_clsVersionInfo = "{F5DC8E5C-4014-433E-AC0F-0DE68E49891C}";
inline constexpr std::string_view IID__clsVersionInfo = "{8E9C5702-471F-434A-AD41-CB970FE37B20}";
inline constexpr std::string_view CLSID_clsTvResizeForm = "{B8ADD2A4-DF1B-4042-8002-8571D2CB8143}";
inline constexpr std::string_view IID__clsTvResizeForm = "{4D056AA2-43D6-4572-AF42-F929E9E169A2}";

enum class Instancing { GlobalMultiUse, MultiUse };

struct ClassInfo {
    std::string_view name;           // "clsTovcore"
    std::string_view progId;         // "Tovcore.clsTovcore"
    std::string_view clsid;
    std::string_view interfaceName;  // "_clsTovcore"
    std::string_view iid;
    Instancing instancing;
};

// The class table, in the type library's order.
TOVCORE_EXPORT const std::vector<ClassInfo>& ClassTable();

// Lookups; ids and names compare without regard to letter case. Null when unknown.
TOVCORE_EXPORT const ClassInfo* FindClassByCLSID(std::string_view clsid);
TOVCORE_EXPORT const ClassInfo* FindClassByProgID(std::string_view progId);

// A new object of the class named by its class id or its programmatic name, as a
// std::shared_ptr<class> inside the std::any; empty when the name is unknown or the class has no
// factory yet.
TOVCORE_EXPORT std::any CreateObject(std::string_view clsidOrProgId);

// The same, typed: null when the name is unknown or names another class.
template <class T>
std::shared_ptr<T> CreateObjectAs(std::string_view clsidOrProgId) {
    std::any object = CreateObject(clsidOrProgId);
    if (auto* p = std::any_cast<std::shared_ptr<T>>(&object)) return *p;
    return nullptr;
}

// Lets the part of the library that defines a class install its factory (the window routines do
// this for clsTvResizeForm). Returns false when the class id is not in the table.
TOVCORE_EXPORT bool RegisterClassFactory(std::string_view clsid, std::function<std::any()> factory);

}  // namespace tovcore
