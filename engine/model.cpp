#include "engine/model.h"

namespace engine {

ProcedureList& ProcedureMap::Add(std::string_view key, ProcedureList procedures) {
    if (index_.count(key)) throw EngineError("This key is already associated with an element of this collection: " +
                                             std::string(key));
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
constexpr KindNames kKindNames[] = {{"Module", "module", "Modules"}, {"Form", "form", "Forms"}, {"Class", "class", "Classes"}};
const KindNames& NamesOf(FileKind kind) { return kKindNames[static_cast<int>(kind)]; }
}  // namespace

const char* KindWord(FileKind kind) { return NamesOf(kind).word; }
const char* KindImage(FileKind kind) { return NamesOf(kind).image; }
const char* KindFolderText(FileKind kind) { return NamesOf(kind).folder; }

FileList& ProjectModel::Files(FileKind kind) {
    return kind == FileKind::Module ? ModuleFiles : kind == FileKind::Form ? FormFiles : ClassFiles;
}
const FileList& ProjectModel::Files(FileKind kind) const {
    return kind == FileKind::Module ? ModuleFiles : kind == FileKind::Form ? FormFiles : ClassFiles;
}
ProcedureMap& ProjectModel::Procedures(FileKind kind) {
    return kind == FileKind::Module ? ModuleProcedures : kind == FileKind::Form ? FormProcedures : ClassProcedures;
}
const ProcedureMap& ProjectModel::Procedures(FileKind kind) const {
    return kind == FileKind::Module ? ModuleProcedures : kind == FileKind::Form ? FormProcedures : ClassProcedures;
}
DefinitionList& ProjectModel::Definitions(FileKind kind) {
    return kind == FileKind::Module ? ModuleDefinitions : kind == FileKind::Form ? FormDefinitions : ClassDefinitions;
}
const DefinitionList& ProjectModel::Definitions(FileKind kind) const {
    return kind == FileKind::Module ? ModuleDefinitions : kind == FileKind::Form ? FormDefinitions : ClassDefinitions;
}

void ProjectModel::Clear() {
    *this = ProjectModel{};
}

}  // namespace engine
