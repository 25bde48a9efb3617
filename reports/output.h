// Reports as text: the tree header, the text form of a tree, the default file names of the six
// report tabs, the text each tab saves and the saving itself.
//
// Tabs: 0 "App Functions" (treProject), 1 "Called Routines" (treRoutines), 2 module, 3 form,
// 4 class and 5 API definitions (the report boxes).
#pragma once

#include <string>
#include <string_view>

#include "engine/host.h"
#include "engine/state.h"
#include "engine/tree.h"
#include "reports/definition_reports.h"

namespace reports {

inline constexpr int kTabProject = 0, kTabRoutines = 1, kTabModules = 2, kTabForms = 3, kTabClasses = 4, kTabAPIs = 5;

// " Project Functions.txt", " Called Routines.txt", " Module Definitions.txt", " Form Definitions.txt",
// " Class Definitions.txt"; "" for the API tab (the user names that file) and any other number.
std::string_view ReportFileEnding(int tab);
// The project file's name with every "." made a blank, and the tab's ending ("My.App.vbp", tab 1:
// "My App vbp Called Routines.txt"); "" for the API tab.
std::string DefaultReportFileName(std::string_view projectFileTitle, int tab);

// Date and version, the first project node's text and " Project Functions" (tab 0) or
// " Project Called Routines" (tab 1), each line followed by an empty one.
std::string TreeHeader(const engine::ToolState& state, int tab, const ReportStamp& stamp);

// Appends the text form of the subtree below `node`: one line per node, indented with one TAB per
// level (the children of `node` at `level`), an empty line before the first child of every node and
// after every group of children. Node texts are decoded for the screen (UTF-8). With a host, the
// walk serves its event loop and stops where it is when the cancel flag is set; without one it
// always runs to its end.
void EnumNodes(const engine::Tree& tree, engine::NodeId node, std::string& text, int level,
               engine::Host* host = nullptr);

// The text that saving tab `tab` writes: the tree header and the tree's text form (tabs 0, 1),
// or the report's plain text (tabs 2 to 5). A cancel flag left over from an earlier command does
// not shorten it.
std::string TabSaveText(const engine::ToolState& state, const DefinitionReports& reports, int tab,
                        const ReportStamp& stamp);

// Writes `text` and a CR LF to `path` through a temporary file renamed over it: a failed save
// leaves the old file as it was. False (with a reason in *why) on failure.
bool SaveReportText(const std::string& path, std::string_view text, std::string* why = nullptr);

}  // namespace reports
