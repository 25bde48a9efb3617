// The source-file scanner: one module, form or class file into its procedure list, its entries in
// the definitions list of its kind, and one node per procedure under the file's node in the
// project tree.
#pragma once

#include <cstdint>
#include <string>

#include "engine/context.h"
#include "engine/model.h"

namespace engine {

// Scans the file `fileName` (as listed) of folder `folder` (native, ending in "/"), walking from its
// last line up to its code offset. `procs` receives the file's procedures, last procedure first;
// every record describes one procedure from its header to its End line (a record opened at an End
// line whose header never came is dropped). `dataOnly` comes back true when no procedure was found
// (also for a missing file). Procedure nodes go under the node `fileNodeKey` of ctx.state.treProject.
// Local definitions are checked for use as each header is met. Stops at once when the host's
// cancel flag is set.
void ScanSourceFile(LoadContext& ctx, const std::string& fileNodeKey, const std::string& folder,
                    const std::string& fileName, ProcedureList& procs, const std::string& kindWord,
                    DefinitionList& defs, const std::string& projectName, bool& dataOnly);

// Completes the record of a procedure whose header `statement` starts at line `line`: its name, its
// first header line, file, offset, project, folder; labels the definitions appended since index
// `firstDefinition` with its name; marks Main as the start-up procedure (and its file as the
// project's start-up file).
void SetProcedureInfo(LoadContext& ctx, clsProcedures& p, DefinitionList& defs, const std::string& fileName,
                      const std::string& statement, LineIndex line, std::int32_t offset,
                      const std::string& projectFolder, const std::string& projectName, std::int32_t lineType,
                      std::size_t firstDefinition, const std::string& fileFolder);

// Adds the node of record `record` under the file node: key file key & "_" & name & "_" & kind word
// & "_" & line, text name (40 columns), kind word (15), " - Line ", shown line number (5, right).
NodeId AddProcedureNode(LoadContext& ctx, const std::string& fileNodeKey, const std::string& fileName,
                        const ProcedureList& procs, std::int32_t record, LineIndex line, const std::string& filePath);

// The text of a procedure node.
std::string ProcedureNodeText(const std::string& name, const std::string& kindWord, std::int32_t shownLine);

// The file-name part of a listed name ("Common\modTrace.bas" -> "modTrace.bas").
std::string ListedFileName(std::string_view listed);

}  // namespace engine
