// Declared names: parsing Dim, Const, Declare and module-level variable statements and the members
// of Type and Enum blocks into clsDefinitions records, and labelling each with its owning
// procedure. Whether a name is used is found by usage.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/model.h"
#include "platform/fileio.h"

namespace engine {

// The records of a Type or Enum block whose End line is `endLine`: its members, last member
// first, each with its own line index, then the block itself ("Type" or "Enum") at the header's
// line. The scope (Private or Public) is the header's.
void GetTypeEnumDefinitions(DefinitionList& defs, const clsFileInfo& file, LineIndex endLine, platform::LineView lines,
                            std::int32_t lineType);

// The records of one declaration statement (items separated by ", " outside parentheses and
// strings; a name without a type is not recorded; a Const needs " = " after its name). An API
// declaration gives one record with the statement in Line. `lineType` may gain and lose the
// array bit while the items are handled.
void GetDefinitions(DefinitionList& defs, const clsFileInfo& file, LineIndex line, std::string_view statement,
                    std::int32_t& lineType, std::string_view qualifier);

// Appends one record. `parts` holds the name and the type text (unused for an API declaration).
void AddDefinition(DefinitionList& defs, const clsFileInfo& file, const std::vector<std::string>& parts, LineIndex line,
                   std::int32_t lineType, std::string_view statement, std::string_view qualifier);

// Labels the records without an owning procedure, walking from the last record down to the first
// that has one (and not below `from`).
void SetDefinitionProcName(DefinitionList& defs, std::string_view procName, std::size_t from = 0);

}  // namespace engine
