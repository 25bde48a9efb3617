// The source-file scanner: one module, form or class file into its procedure records and its
// declared names, and the procedure nodes of the project tree.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/host.h"
#include "engine/model.h"
#include "engine/source.h"
#include "engine/tree.h"

namespace engine {

// What one scan found.
struct ScanResult {
    // The file's procedures, last procedure first; each record runs from its header to its End
    // line (a record opened at an End line whose header never came is dropped).
    ProcedureList procedures;
    // Its declared names, as the upward walk meets them (the last declaration first), each
    // labelled with its procedure or kModuleLevel.
    DefinitionList definitions;
    bool dataOnly = true;    // no procedure was found
    bool holdsMain = false;  // a procedure is named Main: the file holds the start-up procedure
    bool complete = false;   // the walk reached the file's code offset (it was not cancelled)
};

// Scans `source`, the lines of `file`, walking from its last line up to its code offset; the
// records point to `file`. `pacer` is ticked on every line; the walk stops at once when
// `cancelled` answers true.
ScanResult ScanSourceFile(const SourceText& source, const clsFileInfo& file, Pacer& pacer,
                          const std::function<bool()>& cancelled);

// The key of a procedure's node: fKey & "_" & name & "_" & kind word & "_" & first header line.
std::string ProcedureNodeKey(const clsProcedures& p);

// Adds the node of procedure `p` under the file's node `fileNode`: text name (40 columns), kind
// word (15), " - Line ", shown line number (5, right); checked unless it is an API declaration; blue
// and unchecked in the trace module; a click opens `filePath` at its header.
NodeId AddProcedureNode(Tree& tree, NodeId fileNode, const clsProcedures& p, const std::string& filePath);

// The text of a procedure node.
std::string ProcedureNodeText(const std::string& name, const std::string& kindWord, std::int32_t shownLine);

// The file-name part of a listed name ("Common\modTrace.bas" -> "modTrace.bas").
std::string ListedFileName(std::string_view listed);

// The image of a procedure node: the nodes whose ticks Add Code reads.
inline constexpr const char* kProcedureImage = "routine";

// The module of the library's trace routines: its procedures are never instrumented.
inline constexpr std::string_view kTraceModuleName = "modTrace.bas";

}  // namespace engine
