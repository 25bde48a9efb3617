// Add Code: the selected pre-code and post-code snippets, their placeholders filled, go into every
// ticked procedure of the project's modules, forms and classes, whether or not the file's own node
// is ticked (a file node shows its procedures' state; the pre text goes right after the header
// and the Attribute lines that belong to it, the post text right before the End line); the trace
// start-up call goes into the start-up file, the library's reference line into the project file;
// everything is committed through the change set (commit.h), the project is reloaded through the
// host, and the outcome is shown.
//
// Snippet files: "PreCode/" & name & ".PreCode" and "PostCode/" & name & ".PostCode" in the
// per-user data folder, the extension (and the name) in any letter case, as files brought from
// Windows or written by hand have them (SnippetFilePath); bytes as they stand, several snippets of
// one kind joined in list order with nothing between them. Their line breaks take the form of the
// file they go into.
#pragma once

#include <string>
#include <string_view>

#include "engine/commit.h"
#include "engine/host.h"
#include "engine/model.h"
#include "engine/settings.h"
#include "engine/state.h"

namespace engine {

// The library's type-library identifier: a project holds the reference when any Reference= line
// names it, whatever the path of the library.
inline constexpr const char* kTovcoreLibId = "{51F6A938-EA06-44FF-8AEA-74A2A4BF8543}";
// The reference line: the identifier, its version 5.0, locale 0, the library file in the Windows
// system folder ("{sys}") and its description.
inline const std::string kDllReferenceTemplate =
    std::string("Reference=*\\G") + kTovcoreLibId + "#5.0#0#{sys}Tovcore.dll#Tv General Routines";
// The user's project is compiled on Windows; this is where the library is installed there unless
// the settings say otherwise.
inline constexpr const char* kDefaultWindowsSystemFolder = "C:\\Windows\\System32\\";
inline constexpr const char* kTraceInitCallLine = "    InitTraceLog App";

// The reference line with "{sys}" (any case) replaced by the Windows system folder.
std::string DllReferenceLineFor(std::string_view windowsSystemFolder);

// A snippet name is a file name: not empty, no "/" or "\", no "..".
bool IsSnippetName(std::string_view name);

// The Add Code command. Reads the selected snippets (state.SelectedPreCode, SelectedPostCode from
// state.ApplicationDataFolderLocal), the check states of state.treProject and state.model; sets
// RunMode 0 and UndoAvailable. Refuses to run, changing nothing, on a model that is not completely
// loaded or when no procedure is ticked. The window wraps it with its control states.
void cmdAddCode_Click(ToolState& state, Host& host, FileOps& files, RewriteStats* stats = nullptr);

// One file: its pending copy with the pre text after the header of each checked procedure and the
// post text before its End line (kind placeholders already filled; "~Procedure~" and "~Sub~" are
// filled here). Nothing is written for a file missing at the load, without procedures, changed since
// the load (reported), or when the run is cancelled meanwhile.
void AddCodeToFile(ChangeSet& changes, const clsFileInfo& file, const ProcedureList& Procedures,
                   const std::string& PreText, const std::string& PostText);

// The file of the snippet `name` in `folder` (ending in "/"): the file named name & extension
// exactly, else one whose name equals it without regard to letter case (one with the name itself
// as given first, then the first in byte order); the exact name when there is none (a new
// snippet's file).
std::string SnippetFilePath(FileOps& files, const std::string& folder, const std::string& name,
                            std::string_view extension);

// The joined text of the selected pre-code (post-code) snippets. False with `why` set (naming the
// snippet and its file) for a name that is not a file name, or a snippet whose file is missing or
// cannot be read: nothing is made or written then.
bool GetPreCodeText(const ToolState& state, FileOps& files, std::string& text, std::string& why);
bool GetPostCodeText(const ToolState& state, FileOps& files, std::string& text, std::string& why);

// Old snippets kept in an INI-dialect file: the body of the section Name & " PreCode" (or
// " PostCode"), blanks at its end trimmed; "" when there is none.
std::string GetIniPreCode(Settings& settings, const std::string& Name, const std::string& IniFile);
std::string GetIniPostCode(Settings& settings, const std::string& Name, const std::string& IniFile);

// The start-up call after the first "Private Sub Form_Initialize()" or "Public Sub Main()" line
// (and the Attribute lines that follow it) of the start-up file: of the start-up project for a
// group. Builds on that file's pending copy only when this run wrote it.
void AddTraceInitCall(ChangeSet& changes);

// The reference line after the last "Type=Exe" line of a project file (after its first line when
// it has none), unless a Reference= line names the library already. `project` is the project it
// belongs to (the node text), for the change set.
void AddDllReference(ChangeSet& changes, const std::string& ProjectFile, const std::string& name,
                     const std::string& project);

}  // namespace engine
