#include "app/toolwindow/ToolProjectFile.h"

#include <filesystem>

#include <tovcore/IniFiles.h>
#include <tovcore/clsTovcore.h>

#include "app/toolwindow/SnippetStore.h"
#include "app/toolwindow/ToolRules.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace quillet::toolwindow {

namespace {
constexpr const char* kSection = "Quillet";
}

std::string WithToolProjectExtension(const std::string& path) {
    const std::string name = platform::NameOf(path);
    if (name.empty() || name.find('.') != std::string::npos) return path;
    return path + kToolProjectExtension;
}

ToolProjectCheck CheckToolProjectFile(const std::string& path, const std::string& settingsFile) {
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(path, ec);
    const std::string name = ec ? platform::NameOf(path) : real.filename().string();
    if (platform::IEndsWith(name, ".vbp") || platform::IEndsWith(name, ".vbg"))
        return ToolProjectCheck::VisualBasicProject;
    if (!settingsFile.empty() && std::filesystem::equivalent(path, settingsFile, ec))
        return ToolProjectCheck::NotAToolProject;
    const tovcore::IniFileState state = tovcore::CheckIniFile(path);
    if (state == tovcore::IniFileState::TooLarge || state == tovcore::IniFileState::Unreadable)
        return ToolProjectCheck::Unusable;
    if (platform::IEndsWith(name, kToolProjectExtension)) return ToolProjectCheck::ToolProject;
    std::string body;  // reading a section writes nothing
    return tovcore::Global().GetIniSection(kSection, body, path) ? ToolProjectCheck::ToolProject
                                                                 : ToolProjectCheck::NotAToolProject;
}

std::string WhyNoToolProjectGoesInto(const std::string& path, const std::string& settingsFile) {
    constexpr const char* kNot = ", not a Quillet tool project";
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        const std::string name = platform::NameOf(path);
        if (platform::IEndsWith(name, ".vbp")) return std::string("is named as a Visual Basic project") + kNot;
        if (platform::IEndsWith(name, ".vbg")) return std::string("is named as a Visual Basic project group") + kNot;
        return "";
    }
    switch (CheckToolProjectFile(path, settingsFile)) {
        case ToolProjectCheck::ToolProject: return "";
        case ToolProjectCheck::VisualBasicProject: return std::string("is a Visual Basic project file") + kNot;
        case ToolProjectCheck::NotAToolProject:
            if (!settingsFile.empty() && std::filesystem::equivalent(path, settingsFile, ec))
                return std::string("is Quillet's settings file") + kNot;
            return std::string("holds no [Quillet] section: it is some other file") + kNot;
        case ToolProjectCheck::Unusable: break;
    }
    return tovcore::IniFileStateText(tovcore::CheckIniFile(path)) + kNot;
}

std::string SuggestedToolProject(const std::string& vbProject) {
    const std::string name = platform::NameOf(vbProject);
    const std::size_t dot = name.rfind('.');
    return platform::FolderOf(vbProject) + (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) +
           kToolProjectExtension;
}

std::string ReadProjectName(const std::string& file) {
    return tovcore::Global().GetIniString(kSection, "ProjectName", "", file);
}

ToolProject ReadToolProject(const std::string& file) {
    tovcore::clsTovcore& lib = tovcore::Global();
    ToolProject p;
    p.ProjectName = ReadProjectName(file);
    p.ResequenceIndex = ValidResequenceIndex(lib.GetIniString(kSection, "LineNumberResequence", "0", file));
    p.LineIncrementIndex = ValidIncrementIndex(lib.GetIniString(kSection, "LineNumberIncrement", "0", file));
    p.PreCode = ReadSelection(file, SnippetKind::Pre);
    p.PostCode = ReadSelection(file, SnippetKind::Post);
    return p;
}

bool WriteToolProject(const std::string& file, const ToolProject& project) {
    tovcore::clsTovcore& lib = tovcore::Global();
    lib.WriteIniString(kSection, "ProjectName", project.ProjectName, file);
    lib.WriteIniString(kSection, "LineNumberResequence", std::to_string(project.ResequenceIndex), file);
    lib.WriteIniString(kSection, "LineNumberIncrement", std::to_string(project.LineIncrementIndex), file);
    WriteSelection(file, SnippetKind::Pre, project.PreCode);
    WriteSelection(file, SnippetKind::Post, project.PostCode);
    // The library drops a write it cannot make; read it back to know.
    std::string body;
    if (!lib.GetIniSection(kSection, body, file)) return false;
    const ToolProject back = ReadToolProject(file);
    return back.ProjectName == platform::Trim(project.ProjectName) && back.PreCode == project.PreCode &&
           back.PostCode == project.PostCode;
}

}  // namespace quillet::toolwindow
