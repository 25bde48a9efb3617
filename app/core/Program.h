// The program's shared state: the values that every window and the start-up share for the life of
// the process (the settings file path, the special folders, the language, the colour scheme, the
// current tool project and its change flag, the cancel flag, the log paths), the services, the
// list of loaded windows, what of the windows' work is on the stack, and the two window seams (the
// frame and the tool window).
//
// One Program is made by the start-up routine (or by a test) and handed to every window by
// reference; nothing here is a global variable, so a test builds as many as it likes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <tovcore/clsSpecialFolders.h>

#include "app/core/WindowStack.h"
#include "app/forms/Forms.h"
#include "app/services/Services.h"

namespace quillet {

class IFrame;
class IToolWindow;
struct Program;

// The colour scheme (Windows colour values &H00BBGGRR) with the defaults of a first start.
struct ColorScheme {
    std::int32_t FormColor = 32896;
    std::int32_t DisplayColor = 8454143;
    std::int32_t ButtonTabColor = 32896;
    std::int32_t ButtonTabTextColor = 0;
};

// Makes the tool window inside the frame; null when this build has none.
using ToolWindowFactory = std::function<IToolWindow*(Program& program)>;

struct ProgramState {
    // Set once by the start-up.
    std::string IniFileName;                    // the settings file, passed to every settings call
    tovcore::clsSpecialFolders objSpecialFolders;
    std::string ProgramFolder;                  // the program's own folder, ending in "/"
    std::string LanguagesFolder;                // per-user "Languages/" folder
    std::string LanguageFile;                   // the language file in use (may not exist)
    bool LanguageFileExists = false;            // whether it existed at start-up
    bool LanguageBusy = false;                  // a language file is being applied to a window

    bool CheckForUpdates = true;
    ColorScheme colors;
    std::string LastProjectFolder;              // folder of the last tool project dialog

    // The tool project.
    std::string ProjectFileName;                // the tool window's tool project file, "" for none (and once it closes)
    bool ProjectChanged = false;                // it differs from its file
    bool ProjectOpen = false;                   // a tool project was opened in this run

    // The line-numbering choices of the frame's menus (index of the checked item, and the
    // increment that the increment index stands for).
    int LineIncrementIndex = 0;
    int LineIncrement = 10;
    int ResequenceIndex = 0;

    // Long operations.
    bool CancelRequested = false;
    bool PrintEnabled = false;

    // The logs as last started by the library ("" while a log is off).
    std::string LogFile;
    std::string DebugLogFile;
    std::string ErrorLogFile;

    std::string EditedSnippetName;
};

struct Program {
    ProgramState state;
    WindowStack stack;                   // the windows' commands, boxes and dialogs in progress
    CountedServices services{stack};     // installed by assignment; boxes and dialogs are counted
    Forms forms;
    IFrame* frame = nullptr;             // set by the frame while it exists
    ToolWindowFactory makeToolWindow;    // set by the start-up; empty: no tool window in this build
};

}  // namespace quillet
