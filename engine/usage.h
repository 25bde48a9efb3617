// Finding uses of declared names.
//
// A definition is used when its name stands as a word (letter case ignored) in the code of a
// statement within its scope, other than where a declaration declares a name: a local anywhere in
// its procedure (header to End), a module-level private name anywhere in its file, a public name
// anywhere in the files of the load (every project of a group). Code means the lexer's tokens:
// strings and comments are no uses, ":" separates statements, a continued statement is one
// statement. The initialisers of other declarations, array bounds, default values, the types after
// "As", ReDim and With statements are uses. A member of a Type is used where ".Member" appears; a
// member of an Enum where its name appears, bare or after a "."; a name after a "." counts for
// every other definition too (a member of a class or an object of that name may be meant). Inside
// a procedure that declares a local or a parameter of the same name, the bare uses of the name
// belong to it.
//
// The check reads every statement of every file once and looks each word up in one flat table of
// the wanted names (keys folded once); the reference search walks the statements of each
// definition's scope on its own, for the tests and the bench to compare.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/model.h"
#include "engine/source.h"
#include "platform/fileio.h"

namespace engine {

// How the usage checks search: through the table of wanted names (one walk over all statements),
// or definition by definition (the reference, slow).
enum class UsageSearch { Indexed, Literal };

// One use of a name: the name as written (a type character and brackets taken off), whether a "."
// or "!" stands before it, and its physical line. With `parameter` it is no use but a parameter that
// a procedure's header declares (its uses in that procedure belong to it); it is reported after
// the uses of the header, so that a default value still names what lies outside.
struct NameUse {
    std::string_view name;
    bool member = false;
    bool parameter = false;
    LineIndex line = 0;
};

// Reads the statements of a file's lines, from `first` on, and reports every use of a name in
// them. Line numbers and labels at the start of a line, declared names (variables, constants,
// parameters, procedures, API declarations, events, Type and Enum blocks and their members) are not
// uses; the parameters of a Sub, Function or Property are reported as such. Keywords are reported as
// any word is; definitions are never named like them.
class UseReader {
public:
    using Sink = void (*)(void* context, const NameUse& use);

    template <typename F>
    static void Read(platform::LineView lines, LineIndex first, F&& f) {
        UseReader reader(&f, [](void* c, const NameUse& u) { (*static_cast<F*>(c))(u); });
        reader.ReadLines(lines, first);
    }
    // The names that one line of code uses, in order; a use after "." or "!" as ".Name".
    static std::vector<std::string> NamesUsedIn(std::string_view code);

private:
    UseReader(void* context, Sink sink) : context_(context), sink_(sink) {}
    void ReadLines(platform::LineView lines, LineIndex first);

    void* context_;
    Sink sink_;
};

// The usage check of a load, file by file: right after a file is scanned, its locals and its private
// module-level names are checked against its statements, and the words it uses are noted (each
// once); after the last file the public names are looked up in those words. No file has to be kept.
class UsageCheck {
public:
    explicit UsageCheck(UsageSearch search);
    ~UsageCheck();

    // One file, just scanned: `definitions` are its own (their Used flags are set here).
    void File(const clsFileInfo& file, const ProcedureList* procedures, DefinitionList& definitions,
              std::shared_ptr<const SourceText> source);
    // After the last file: the public names of `model`. Stops when `cancelled` answers true.
    void Finish(ProjectModel& model, const std::function<bool()>& cancelled);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// One file for the reference search: its record, procedures and source.
struct UsageFile {
    const clsFileInfo* file = nullptr;
    const ProcedureList* procedures = nullptr;
    std::shared_ptr<const SourceText> source;
};

// The reference search: every definition of the model on its own, over the statements of its
// scope in `files`. Stops between definitions when `cancelled` answers true.
void CheckDefinitionUsage(ProjectModel& model, const std::vector<UsageFile>& files,
                          const std::function<bool()>& cancelled);

// The name that a use of definition `d` shows: the declared name without a type character or
// brackets; for an array the name before its bounds; for a member of a Type or Enum the member's
// name; for an API declaration the declared procedure's name. Empty when the declared text is no
// single name (it can then not be used).
std::string DefinitionSearchName(const clsDefinitions& d);

// The name declared by a Declare statement: the word after "Sub" or "Function".
std::string DeclaredApiName(std::string_view declareStatement);

}  // namespace engine
