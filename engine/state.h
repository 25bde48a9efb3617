// The tool window's per-load state as a plain object that the window owns and the engine's
// commands read and write: the project path and folders, the project model, the project tree and
// the cross reference's tree with the arrays of their nodes, and the rewrite settings. Nothing here
// knows of widgets; the window shows the trees and copies its controls' values in and out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/model.h"
#include "engine/tree.h"

namespace engine {

struct ToolState {
    // ---- the project path box and what a load derives from it (native paths, "/") ----------
    std::string txtProject;        // text of the path box: the .vbp or .vbg to load
    std::string ProjectPath;       // txtProject at the last load
    std::string ProjectFolder;     // ProjectPath up to and including its last "/" ("" when none)
    std::string ProjectFileTitle;  // ProjectPath after its last "/"
    // Listed folder part of the project read last (a group member's "Sub\"; "" for a single
    // project). The folder of every project read is in model.Projects.
    std::string ProjectSubFolder;

    // ---- the project model and the two trees --------------------------------------------------
    ProjectModel model;
    Tree treProject;   // "App Functions": projects, kinds, files, procedures with check boxes
    Tree treRoutines;  // "Called Routines": built by the cross reference

    // Nodes of treProject: element 0 the root; elements 1..N the member projects of a group.
    std::vector<NodeId> ProjectNodes;
    // Per kind: the "Modules", "Forms", "Classes" nodes of each project, indexed like ProjectNodes
    // (element 0 for a single project, 1..N for a group).
    PerKind<std::vector<NodeId>> folderNodes;
    std::vector<NodeId> FileNodes;  // file nodes of all projects, in creation order

    // ---- flags of the window ----------------------------------------------------------------
    bool LoadBusy = false;         // a LoadProject is running (a second one is turned away)
    bool ProjectChanged = false;   // the tool project differs from its file
    bool UndoAvailable = false;    // a committed change can be undone
    bool RoutinesMatched = false;  // treRoutines is built (cleared by every load)

    // ---- rewrite settings (line numbering, Add Code, commit) -----------------------------------
    std::int16_t RunMode = 0;          // 0 add code (tree-checked files), 1 line numbers, 2 removal
    std::int16_t LineIncrement = 10;   // 10, 20, 30, 40, 50 or 100
    std::int16_t ResequenceIndex = 0;  // 0 whole project, 1 per file, 2 per procedure
    std::vector<std::string> SelectedPreCode, SelectedPostCode;  // snippet names, list order
    // The library's Reference= line written into the user's project file; Add Code uses
    // DllReferenceLineFor(kDefaultWindowsSystemFolder) while it is empty.
    std::string DllReferenceLine;
    // The per-user data folder (native, ending in "/") that holds the snippet folders "PreCode/"
    // and "PostCode/".
    std::string ApplicationDataFolderLocal;
    std::string AppTitle = "Quillet";  // title of the closing message box of Add Code

    std::vector<NodeId>& FolderNodes(FileKind kind) { return folderNodes[kind]; }
    // By their own names.
    std::vector<NodeId>& ModuleFolderNodes() { return folderNodes[FileKind::Module]; }
    std::vector<NodeId>& FormFolderNodes() { return folderNodes[FileKind::Form]; }
    std::vector<NodeId>& ClassFolderNodes() { return folderNodes[FileKind::Class]; }
};

}  // namespace engine
