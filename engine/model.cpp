#include "engine/model.h"

#include "platform/paths.h"

namespace engine {

std::string BackupFolderIn(std::string_view projectFolder) {
    const std::string folder(projectFolder);
    const std::string name(kBackupFolderName.substr(0, kBackupFolderName.size() - 1));
    const std::string found = platform::FindEntryIgnoringCase(folder, name);
    return folder + (found.empty() ? name : found) + "/";
}

ProcedureList& ProcedureMap::Add(std::string_view key, ProcedureList procedures) {
    if (index_.count(key))
        throw EngineError("This key is already associated with an element of this collection: " + std::string(key));
    index_.emplace(std::string(key), entries_.size());
    entries_.push_back(Entry{std::string(key), std::move(procedures)});
    return entries_.back().procedures;
}

ProcedureList* ProcedureMap::Find(std::string_view key) {
    const auto it = index_.find(key);
    return it == index_.end() ? nullptr : &entries_[it->second].procedures;
}

const ProcedureList* ProcedureMap::Find(std::string_view key) const {
    const auto it = index_.find(key);
    return it == index_.end() ? nullptr : &entries_[it->second].procedures;
}

void ProcedureMap::clear() {
    entries_.clear();
    index_.clear();
}

namespace {
struct KindNames {
    const char* word;    // "Module"
    const char* image;   // "module"
    const char* folder;  // "Modules"
};
constexpr KindNames kKindNames[] = {
    {"Module", "module", "Modules"}, {"Form", "form", "Forms"}, {"Class", "class", "Classes"}};
const KindNames& NamesOf(FileKind kind) { return kKindNames[static_cast<int>(kind)]; }
}  // namespace

const char* KindWord(FileKind kind) { return NamesOf(kind).word; }
const char* KindImage(FileKind kind) { return NamesOf(kind).image; }
const char* KindFolderText(FileKind kind) { return NamesOf(kind).folder; }

const std::string& clsProcedures::pFilename() const { return file->fFilename; }
const std::string& clsProcedures::pProject() const { return file->fProject; }
const std::string& clsProcedures::pAppFldr() const { return file->fLoadFolder; }
std::int32_t clsProcedures::pOffset() const { return file->fOffset; }

const std::string& clsDefinitions::Filename() const { return file->fFilename; }
std::int32_t clsDefinitions::Offset() const { return file->fOffset; }
const std::string& clsDefinitions::AppFldr() const { return file->fLoadFolder; }
const std::string& clsDefinitions::Project() const { return file->fProject; }

void ProjectModel::Clear() { *this = ProjectModel{}; }

}  // namespace engine
