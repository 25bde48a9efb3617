// Makes a synthetic Visual Basic 6 project of a chosen size for the benches and the tests:
// modules, forms and classes with attribute headers, module-level declarations (variables,
// constants, Types, Enums, API declarations), procedures of every kind with continued headers,
// local declarations, calls between procedures of one file and of different files in every shape the
// cross reference looks for, names that are no calls, strings and comments that hold keywords,
// bracketed Enum members, names with a type character, statements joined by ":", With blocks.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

struct GeneratorOptions {
    int files = 500;      // source files (half modules, a quarter forms, a quarter classes)
    long lines = 400000;  // lines in all, about
    std::uint32_t seed = 1;
    bool lfOnly = false;  // LF line ends instead of CR LF
    int copies = 1;       // the project's files this many times, each copy in a folder of its own
};

struct GeneratedProject {
    std::string projectPath;  // the .vbp
    long lines = 0;           // lines written to the source files
    int files = 0;
    int procedures = 0;
};

// Writes the project into `folder` (native, created when missing); returns its path and size.
GeneratedProject GenerateProject(const std::string& folder, const GeneratorOptions& options);

}  // namespace bench
