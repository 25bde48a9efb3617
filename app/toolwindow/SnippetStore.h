// The snippet store: the per-user folders "PreCode/" and "PostCode/" that hold one file per
// snippet, the snippet selection kept in a tool project ([PreCode] and [PostCode], keys CodeType1,
// CodeType2, ...), and the move of snippets that older versions kept inside INI files into snippet
// files. Plain functions over files; the snippet panel of the tool window uses them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/host.h"
#include "engine/settings.h"

namespace quillet::toolwindow {

enum class SnippetKind { Pre = 0, Post = 1 };

// What differs between the two sides.
struct SnippetSide {
    const char* folder;        // "PreCode/" below the per-user data folder
    const char* extension;     // ".PreCode"
    const char* section;       // "PreCode": the selection's section, and the end of a legacy section's name
    const char* logText;       // "Retrieving Pre-Code Names"
    const char* duplicateText; // " already exists in PreCode"
};
const SnippetSide& Side(SnippetKind kind);

// A name the store accepts: a file name of its own (not empty, no "/" or "\", no "..", no control
// character, none of < > : " | ? *), without blanks around it.
bool IsAcceptableSnippetName(std::string_view name);

// The folder of one side: dataFolder ("/" at its end) & "PreCode/".
std::string SnippetFolder(const std::string& dataFolder, SnippetKind kind);
// The file of the snippet `name`: the one it is listed from, whatever the letter case of its
// extension ("PreCode/Mine.precode"), else dataFolder & "PreCode/" & name & ".PreCode", where a new
// one is made. Add Code reads the same file (engine::SnippetFilePath).
std::string SnippetPath(const std::string& dataFolder, SnippetKind kind, const std::string& name);

// The snippets in the side's folder (its files ending in the extension, any letter case), names
// without the extension, sorted without regard to letter case, each once. Names the store does not
// accept are left out.
std::vector<std::string> AvailableSnippets(const std::string& dataFolder, SnippetKind kind);

// The selection of a tool project: [PreCode] CodeType1, CodeType2, ... up to the first empty value.
// Names are trimmed; names the store does not accept and repeats (any letter case) are skipped.
// A file without the section gives an empty list and is not changed.
std::vector<std::string> ReadSelection(const std::string& iniFile, SnippetKind kind);
// Replaces the whole section by the names in order, so no key of a longer earlier list survives.
void WriteSelection(const std::string& iniFile, SnippetKind kind, const std::vector<std::string>& names);

// Moves snippets that an INI-dialect file keeps as sections "[<name> PreCode]" into snippet files.
// The names come from the file's [PreCode] list. A snippet whose file does not exist yet gets the
// section's text (as Windows-1252 bytes, exactly as kept: no line end added) and the section is
// emptied; a file that exists is never overwritten (its section is emptied when it holds the same
// text, else left alone). With `settingsFile` the [PreCode] list itself is an old store: it is
// emptied once every name on it is dealt with. Failures go to the host's error log. Returns the
// number of files written.
int MoveLegacySnippets(engine::Host& host, engine::Settings& settings, const std::string& iniFile, const std::string& dataFolder,
                       SnippetKind kind, bool settingsFile);

}  // namespace quillet::toolwindow
