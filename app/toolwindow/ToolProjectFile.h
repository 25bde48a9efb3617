// The tool project file (".qlp", our INI dialect): the Visual Basic project it works on, the
// line-numbering choices and the snippet selection.
//
//     [Quillet]
//     ProjectName=/home/me/src/Billing/Billing.vbp
//     LineNumberResequence=0          index of the scope item: 0 whole project, 1 file, 2 procedure
//     LineNumberIncrement=0           index of the increment item: 0..4 (10..50), 9 (100)
//     [PreCode]
//     CodeType1=Trace
//     [PostCode]
//     CodeType1=Trace
#pragma once

#include <string>
#include <vector>

namespace quillet::toolwindow {

struct ToolProject {
    std::string ProjectName;
    int ResequenceIndex = 0;
    int LineIncrementIndex = 0;
    std::vector<std::string> PreCode, PostCode;
};

// The extension the dialogs offer and New adds to a name that has none.
inline constexpr const char* kToolProjectExtension = ".qlp";
// `path` with ".qlp" added when its file name has no extension.
std::string WithToolProjectExtension(const std::string& path);

// What a file chosen to be opened as a tool project is, found without writing anything into it.
// A symbolic link is judged by the file it leads to, which is the file a save writes: a link named
// "x.qlp" that leads to some other file is no tool project. The program's own settings file
// (`settingsFile`, also through a link) is never one.
enum class ToolProjectCheck {
    ToolProject,         // a ".qlp" file, or any file with a [Quillet] section
    VisualBasicProject,  // a ".vbp" or ".vbg" file (whatever it holds): the user means to work on it
    NotAToolProject,     // anything else
    Unusable,            // too large or not text: the library neither reads nor writes it
};
ToolProjectCheck CheckToolProjectFile(const std::string& path, const std::string& settingsFile = "");
// Why no tool project may be written into `path`, a name chosen in a save dialog (New Project,
// Save Project As): "" when one may. Never into a Visual Basic project or group (".vbp", ".vbg",
// whether it is there or not, also through a link), the settings file, or any other existing file
// that is not known to be a tool project (CheckToolProjectFile). The text follows the path in a
// sentence: "is a Visual Basic project, not a Quillet tool project".
std::string WhyNoToolProjectGoesInto(const std::string& path, const std::string& settingsFile = "");
// The name a new tool project for a Visual Basic project is offered under: beside it, with its
// name and ".qlp" ("/src/App.vbp" gives "/src/App.qlp").
std::string SuggestedToolProject(const std::string& vbProject);

// The path of the Visual Basic project (as the library's reads do, a missing key is written back
// empty).
std::string ReadProjectName(const std::string& file);
// The two line-numbering indexes, each checked against the menus' items (anything else reads 0),
// and the snippet selection.
ToolProject ReadToolProject(const std::string& file);
// Writes every part: the project path, both indexes and the whole [PreCode] and [PostCode]
// sections. False when the file does not hold it afterwards (it could not be written).
bool WriteToolProject(const std::string& file, const ToolProject& project);

}  // namespace quillet::toolwindow
