// The project model: the records of files, procedures and declared names, and the one object that
// a load fills and every later command (rewrites, cross reference, reports) reads.
//
// Text fields hold the bytes of the user's files as they stand (Windows-1252 in practice); names
// listed in a project keep their listed form ("Modules\a.bas"). Folder fields (`fAppFldr`,
// `pAppFldr`, `AppFldr`) are native folders ending in "/"; the native path of a file is kept beside
// its listed name (`fPath`), found through the shared resolver.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error.h"
#include "engine/fingerprint.h"
#include "platform/text.h"

namespace engine {

using LineIndex = std::int32_t;  // index into a file's line array

// ---- line-type mask ----------------------------------------------------------------------------
// Bits of the classification of one statement (GetLineType, ClassifyLine).
namespace mask {
constexpr std::int32_t kSub = 0x1;              // "Sub " (also part of WithEvents)
constexpr std::int32_t kFunction = 0x2;         // "Function "
constexpr std::int32_t kDefinition = 0x4;       // Dim, Const, End Type, End Enum
constexpr std::int32_t kProperty = 0x8;         // "Property "
constexpr std::int32_t kDeclare = 0x10;         // part of "Declare "
constexpr std::int32_t kDim = 0x20;             // part of "Dim "
constexpr std::int32_t kConst = 0x40;           // part of "Const "
constexpr std::int32_t kPrivate = 0x100;        // "Private ", and the default scope
constexpr std::int32_t kPublic = 0x200;         // "Public " or "Global "
constexpr std::int32_t kLet = 0x400;            // " Let "
constexpr std::int32_t kGet = 0x800;            // " Get "
constexpr std::int32_t kDeclare2 = 0x1000;      // part of "Declare "
constexpr std::int32_t kEndProcedure = 0x2000;  // End Sub / End Function / End Property
constexpr std::int32_t kWithEvents = 0x4000;    // part of "WithEvents "
constexpr std::int32_t kEndType = 0x8000;       // part of "End Type"
constexpr std::int32_t kEndEnum = 0x10000;      // part of "End Enum"
constexpr std::int32_t kArrayItem = 0x20000;    // one item of a declaration is an array (parser only)

constexpr std::int32_t kHeader = kSub | kFunction | kProperty;  // "mask And 11": a procedure header
constexpr std::int32_t kDeclareBits = kDeclare | kDeclare2;     // 0x1010

// A procedure header: a header bit, and not a WithEvents declaration (whose mask holds the Sub bit).
constexpr bool IsHeader(std::int32_t m) { return (m & kHeader) != 0 && (m & kWithEvents) == 0; }
}  // namespace mask

// ---- records -----------------------------------------------------------------------------------

// The owning procedure of a module-level definition.
inline constexpr std::string_view kModuleLevel = "_None_";

// The folder of a project that receives the old versions of the files a change replaces.
inline constexpr std::string_view kBackupFolderName = "Backup/";
// The backup folder of the project or group file in `projectFolder` (native, ending in "/"): an
// entry of that folder named "Backup" without regard to case (a "backup" folder is the backup
// folder, as names on disk match elsewhere), or "Backup/" when there is none.
std::string BackupFolderIn(std::string_view projectFolder);

// One source file listed in a project (made by the loader).
struct clsFileInfo {
    std::string fFilename;      // the name as the project file lists it (may hold "..\" and "\")
    std::string fProject;       // name of the project that lists it (the text of its project node)
    std::string fAppFldr;       // native folder of that project's file, ending in "/"
    std::string fKey;           // fProject & "_" & fFilename: key of the file node and of its procedures
    bool FDataOnly = false;     // the scanner found no procedure in it
    bool fStartUpProc = false;  // the file holds the project's start-up object
    // Native path found on disk for fAppFldr & fFilename (the listed rest where nothing matched),
    // and whether the file existed when the project was loaded.
    std::string fPath;
    bool fExists = false;
    // The file's bytes as the load read them; a rewrite leaves a file that no longer matches alone
    // (the line indexes of its records would be stale).
    Fingerprint fLoaded;
    // Shared by every record of the file: its code offset (the first line after the attribute
    // header), and the folder of the opened project or group file.
    std::int32_t fOffset = 0;
    std::string fLoadFolder;
};

// One Sub, Function or Property of a source file (made by ClassifyLine, completed by the scanner).
// The body lies strictly between pFuncLineStart and pFuncLineEnd. The file's fields are the file
// record's, shared by all its records.
struct clsProcedures {
    const clsFileInfo* file = nullptr;  // the file that holds it
    std::string pName;                  // procedure name
    LineIndex pStart = 0;               // first physical line of the header
    LineIndex pEnd = 0;                 // the End line
    LineIndex pFuncLineStart = 0;       // last physical line of the header
    LineIndex pFuncLineEnd = 0;         // the End line
    bool pChecked = false;              // set for every procedure; nothing reads it
    std::int32_t pProcType = 0;         // line-type mask of the header statement
    bool pUsed = false;                 // a call was found (cross reference)
    bool pStartupProc = false;          // the procedure is Main

    const std::string& pFilename() const;  // file name as listed
    const std::string& pProject() const;   // project name
    const std::string& pAppFldr() const;   // folder of the opened project or group file
    std::int32_t pOffset() const;          // code offset of the file
};

// One declared name of a source file (made by AddDefinition). The file's fields are the file
// record's, shared by all its records.
struct clsDefinitions {
    const clsFileInfo* file = nullptr;  // the file that declares it
    std::string Variable;               // the name (block name & "." & name for Type and Enum members)
    std::string Defined;                // its type text, "Const", "Type", "Enum" or an Enum value
    std::string ProcName;               // owning procedure; "_None_" at module level
    LineIndex LineNo = 0;               // line index of the declaration
    bool Used = false;                  // a use of the name was found
    std::int32_t DefType = 0;           // line-type mask of the declaring statement
    std::string Line;                   // the declaration's text (API declarations only)

    const std::string& Filename() const;  // file name as listed
    std::int32_t Offset() const;          // code offset of the file
    const std::string& AppFldr() const;   // folder of the opened project or group file
    const std::string& Project() const;   // project name
};

// A record kind for one API declaration. API declarations are kept as clsDefinitions with the
// Declare bits in DefType; nothing makes one of these.
struct clsAPIs {
    std::string Line;
    std::string Filename;
    std::string LineNo;
    bool Unused = false;
    std::string ProcName;
    std::string Defined;
    std::int32_t Offset = 0;
    std::string APIName;
    std::string Project;
    std::string AppFldr;
};

// The records of a load's files stay where they are while the lists grow: procedures and
// definitions point to them.
using FileList = std::deque<clsFileInfo>;
// A file's procedures, last procedure of the file first: consumers walk it from the highest index
// down to get file order.
using ProcedureList = std::vector<clsProcedures>;
using DefinitionList = std::deque<clsDefinitions>;

// The key of a file (its tree node, its procedure list): the project's name, "_", the file's name as
// listed ("App.vbp_Modules\a.bas"). Keys are compared without regard to case.
inline std::string FileKey(std::string_view project, std::string_view listedName) {
    std::string key(project);
    key += '_';
    key += listedName;
    return key;
}

// Map from a file's fKey to its procedure list: keys compared without regard to case, entries kept
// in insertion order.
class ProcedureMap {
public:
    struct Entry {
        std::string key;
        ProcedureList procedures;
    };

    // Adds an entry; throws EngineError when the key is there already.
    ProcedureList& Add(std::string_view key, ProcedureList procedures);
    ProcedureList* Find(std::string_view key);
    const ProcedureList* Find(std::string_view key) const;
    bool Contains(std::string_view key) const { return Find(key) != nullptr; }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    void clear();

    std::vector<Entry>& entries() { return entries_; }
    const std::vector<Entry>& entries() const { return entries_; }
    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::vector<Entry> entries_;
    std::map<std::string, std::size_t, platform::ILess> index_;
};

// ---- kinds of source file ------------------------------------------------------------------------

enum class FileKind { Module = 0, Form = 1, Class = 2 };
constexpr FileKind kAllKinds[] = {FileKind::Module, FileKind::Form, FileKind::Class};

// One item per kind of source file, indexed by the kind.
template <typename T>
struct PerKind {
    std::array<T, 3> items{};
    T& operator[](FileKind kind) { return items[static_cast<std::size_t>(kind)]; }
    const T& operator[](FileKind kind) const { return items[static_cast<std::size_t>(kind)]; }
};

// "Module", "Form", "Class" (the scanner's kind word).
const char* KindWord(FileKind kind);
// "module", "form", "class" (the tree's image keys).
const char* KindImage(FileKind kind);
// "Modules", "Forms", "Classes" (folder node texts, and "_Modules" ... in keys).
const char* KindFolderText(FileKind kind);

// ---- one project of a load ---------------------------------------------------------------------

// A project that the load read: the one project of a .vbp, or one member of a .vbg.
struct ProjectInfo {
    std::string name;             // project file name as listed (the project node's text)
    std::string subFolder;        // listed folder part relative to the group's folder ("" or "Sub\")
    std::string folder;           // native folder of the project file, ending in "/"
    std::string path;             // native path of the project file
    bool exists = false;          // the project file was found
    bool startupProject = false;  // named by the group's "StartupProject=" line
    // This project's start-up file as listed (the start-up form's file, or the file that holds
    // Sub Main) and its native folder; "" when the project names none.
    std::string StartupFile;
    std::string StartupFileFolder;
    // Why the project has no start-up file ("its start-up form frmX is not a form it lists"); ""
    // when it has one.
    std::string StartupNote;
};

// ---- the project model -----------------------------------------------------------------------

// The records point to their file records: a model is moved, never copied.
struct ProjectModel {
    ProjectModel() = default;
    ProjectModel(const ProjectModel&) = delete;
    ProjectModel& operator=(const ProjectModel&) = delete;
    ProjectModel(ProjectModel&&) = default;
    ProjectModel& operator=(ProjectModel&&) = default;

    // Per kind: one record per Module=, Form=, Class= line, in the order of the lines; a group's
    // lists hold the files of every member project in group order.
    PerKind<FileList> files;
    // Per kind: fKey -> procedure list; one entry per file that is not data-only (a missing file
    // has an empty list).
    PerKind<ProcedureMap> procedures;
    // Per kind: declared names, appended while the files are scanned (each file's names in reverse
    // file order).
    PerKind<DefinitionList> definitions;

    std::string BackupFolder;   // ProjectFolder & "Backup/"
    std::string StartupObject;  // value of the last "Startup=" line: "Sub Main" or the form's name & ".frm"
    // File of the start-up form, or the file that holds Sub Main, as listed; "" when unknown.
    std::string StartupFile;
    // Native folder of the project that StartupFile belongs to (its fAppFldr), ending in "/".
    std::string StartupFileFolder;

    // The projects read, in order (one for a .vbp, the members for a .vbg).
    std::vector<ProjectInfo> Projects;

    // The last load ran to its end (not cancelled, not abandoned by an error).
    bool Loaded = false;

    FileList& Files(FileKind kind) { return files[kind]; }
    const FileList& Files(FileKind kind) const { return files[kind]; }
    ProcedureMap& Procedures(FileKind kind) { return procedures[kind]; }
    const ProcedureMap& Procedures(FileKind kind) const { return procedures[kind]; }
    DefinitionList& Definitions(FileKind kind) { return definitions[kind]; }
    const DefinitionList& Definitions(FileKind kind) const { return definitions[kind]; }

    // The lists by their own names.
    FileList& ModuleFiles() { return files[FileKind::Module]; }
    FileList& FormFiles() { return files[FileKind::Form]; }
    FileList& ClassFiles() { return files[FileKind::Class]; }
    const FileList& ModuleFiles() const { return files[FileKind::Module]; }
    const FileList& FormFiles() const { return files[FileKind::Form]; }
    const FileList& ClassFiles() const { return files[FileKind::Class]; }
    ProcedureMap& ModuleProcedures() { return procedures[FileKind::Module]; }
    ProcedureMap& FormProcedures() { return procedures[FileKind::Form]; }
    ProcedureMap& ClassProcedures() { return procedures[FileKind::Class]; }
    const ProcedureMap& ModuleProcedures() const { return procedures[FileKind::Module]; }
    const ProcedureMap& FormProcedures() const { return procedures[FileKind::Form]; }
    const ProcedureMap& ClassProcedures() const { return procedures[FileKind::Class]; }
    DefinitionList& ModuleDefinitions() { return definitions[FileKind::Module]; }
    DefinitionList& FormDefinitions() { return definitions[FileKind::Form]; }
    DefinitionList& ClassDefinitions() { return definitions[FileKind::Class]; }
    const DefinitionList& ModuleDefinitions() const { return definitions[FileKind::Module]; }
    const DefinitionList& FormDefinitions() const { return definitions[FileKind::Form]; }
    const DefinitionList& ClassDefinitions() const { return definitions[FileKind::Class]; }

    // Empties everything (the start of a load).
    void Clear();
};

}  // namespace engine
