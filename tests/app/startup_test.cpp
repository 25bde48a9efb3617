// The start-up: the command line, the update switch and the updater, the first settings file,
// the snippet seeding, the language name.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

#include <tovcore/IniFiles.h>
#include <tovcore/clsTovcore.h>

#include "app/core/Settings.h"
#include "app/frame/frmBackGround.h"
#include "app/language/Language.h"
#include "app/startup/AppIdentity.h"
#include "app/startup/StartUp.h"
#include "platform/fileio.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/app/support/FakeToolWindow.h"
#include "tests/support/testsupport.h"

namespace {

using namespace quillet;
namespace fs = std::filesystem;

tovcore::clsTovcore& Lib() { return tovcore::Global(); }

TEST(CommandLine, NoUpdateIsAnyPieceBetweenSlashesInAnyCase) {
    struct Row {
        const char* line;
        bool noUpdate;
    };
    const Row rows[] = {
        {"", false},
        {"/noupdate", true},
        {"/NoUpdate", true},
        {"noupdate", true},
        {"/noupdate /x", true},  // the piece's trailing blank does not hide it
        {"/x /noupdate", true},
        {"--noupdate", true},
        {"  --NOUPDATE  ", true},
        {"/nonupdate", false},
        {"/home/me/noupdate.qlp", false},
        {"/no update", false},
    };
    for (const Row& r : rows) EXPECT_EQ(NoUpdateRequested(r.line), r.noUpdate) << '"' << r.line << '"';
}

TEST(Updater, ArgumentCarriesTheEditionAndATwoDigitRevision) {
    tovcore::AppObject app;
    app.EXEName = "Quillet";
    app.Major = 2;
    app.Minor = 0;
    tovcore::clsSpecialFolders folders;
    folders.CommonFilesFolder = "/usr/share/";
    folders.ApplicationDataFolderLocal = "/home/u/.local/share/Tovell Systems/Quillet/";
    app.Revision = 5;
    EXPECT_EQ(UpdaterArgument(app, "Release", "/opt/q", folders),
              "Quillet,Release,2.0.05,/opt/q/,/usr/share/Tovell Systems/,/home/u/.local/share/Tovell Systems/Quillet/");
    app.Revision = 123;
    EXPECT_EQ(UpdaterArgument(app, "Release", "/opt/q/", folders).substr(0, 24), "Quillet,Release,2.0.123,");
    EXPECT_EQ(UpdaterProgram(folders), "/usr/share/Tovell Systems/Kestrup");
}

// ---- the start-up table ---------------------------------------------------------------------

enum class Updater { Present, Absent, NotExecutable, Relative, FailsToStart };

struct StartRow {
    const char* name;
    const char* commandLine;
    const char* checkForUpdates;  // nullptr: the key is missing
    Updater updater;
    bool updaterStarted;
};

void PrintTo(const StartRow& r, std::ostream* os) { *os << r.name; }

class StartUpTable : public ::testing::TestWithParam<StartRow> {};

TEST_P(StartUpTable, StartsTheUpdaterOnlyWhenAllowedAndReadyElseShowsTheFrame) {
    const StartRow& r = GetParam();
    apptest::TestProgram t;
    const std::string& ini = t.program.state.IniFileName;
    if (r.checkForUpdates) Lib().WriteIniString("Quillet", "CheckForUpdates", r.checkForUpdates, ini);
    t.program.makeToolWindow = apptest::FakeToolWindowFactory();
    testsupport::TempDir dir;
    StartOptions options;
    options.commandLine = r.commandLine;
    options.programFolder = t.program.state.ProgramFolder;
    options.updater = dir.path() + "Kestrup";
    switch (r.updater) {
        case Updater::Present:
        case Updater::FailsToStart:
            testsupport::WriteBytes(options.updater, "#!/bin/sh\n");
            ::chmod(options.updater.c_str(), 0755);
            break;
        case Updater::NotExecutable:
            testsupport::WriteBytes(options.updater, "#!/bin/sh\n");
            ::chmod(options.updater.c_str(), 0644);
            break;
        case Updater::Relative: options.updater = "Kestrup"; break;
        case Updater::Absent: break;
    }
    t.fakes.launcher.succeed = r.updater != Updater::FailsToStart;

    const StartResult result = Main(t.program, QuilletAppObject(), options);

    const bool tried = r.updaterStarted || r.updater == Updater::FailsToStart;
    if (tried && !t.fakes.launcher.calls.empty()) {
        const auto& call = t.fakes.launcher.calls[0];
        EXPECT_EQ(call.kind, apptest::FakeLauncher::Kind::Program);
        EXPECT_EQ(call.target, options.updater);
        ASSERT_EQ(call.arguments.size(), 1u);
        EXPECT_EQ(call.arguments[0].rfind("Quillet,Release,", 0), 0u) << call.arguments[0];
    }
    if (r.updaterStarted) {
        EXPECT_EQ(result.outcome, StartOutcome::UpdaterStarted);
        EXPECT_EQ(result.frame, nullptr);
        EXPECT_EQ(t.fakes.launcher.calls.size(), 1u);
    } else {
        EXPECT_EQ(result.outcome, StartOutcome::FrameShown);
        ASSERT_NE(result.frame, nullptr);
        EXPECT_TRUE(result.frame->isVisible());
        EXPECT_EQ(t.fakes.launcher.calls.size(), tried ? 1u : 0u);
        delete result.frame;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StartUpTable,
    ::testing::Values(StartRow{"KeyMissingUpdaterReady", "", nullptr, Updater::Present, true},
                      StartRow{"OnUpdaterReady", "", "True", Updater::Present, true},
                      StartRow{"OnNoUpdate", "/noupdate", "True", Updater::Present, false},
                      StartRow{"OnNoUpdateThenAnotherSwitch", "/noupdate /x", "True", Updater::Present, false},
                      StartRow{"OnDoubleDashNoUpdate", "--noupdate", "True", Updater::Present, false},
                      StartRow{"Off", "", "False", Updater::Present, false},
                      StartRow{"HandEditedValueIsTheDefault", "", "perhaps", Updater::Present, true},
                      StartRow{"OnUpdaterAbsent", "", "True", Updater::Absent, false},
                      StartRow{"OnUpdaterNotExecutable", "", "True", Updater::NotExecutable, false},
                      StartRow{"OnUpdaterPathRelative", "", "True", Updater::Relative, false},
                      StartRow{"OnUpdaterFailsToStart", "", "True", Updater::FailsToStart, false},
                      StartRow{"OffUpdaterAbsent", "", "False", Updater::Absent, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartUp, AnUpdaterThatCannotRunLeavesOneRunLogLine) {
    apptest::TestProgram t;
    t.program.makeToolWindow = apptest::FakeToolWindowFactory();
    StartOptions options;
    options.programFolder = t.program.state.ProgramFolder;
    options.updater = "/nowhere/Kestrup";
    const StartResult result = Main(t.program, QuilletAppObject(), options);
    ASSERT_EQ(result.outcome, StartOutcome::FrameShown);
    const std::string log = testsupport::ReadBytes(t.program.state.LogFile);
    EXPECT_NE(log.find("Updater not started: /nowhere/Kestrup is not installed"), std::string::npos) << log;
    delete result.frame;
}

// Main with fake services and no tool window, as the command line "--noupdate" starts it.
StartResult StartWithFakes(Program& program, apptest::FakeServices& fakes, const tovcore::AppObject& app) {
    program.services = fakes.Bundle();
    program.makeToolWindow = apptest::FakeToolWindowFactory();
    StartOptions options;
    options.commandLine = "--noupdate";
    return Main(program, app, options);
}

TEST(StartUp, ThatCannotSetUpItsDataFolderSaysWhyAndShowsNoFrame) {
    if (apptest::LibraryInitialised()) GTEST_SKIP() << "needs a process whose library is not set up yet";
    apptest::App();
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.file("plain-file"), "x");
    ::setenv("XDG_DATA_HOME", (dir.path() + "plain-file/data").c_str(), 1);
    apptest::FakeServices fakes;
    Program program;
    const StartResult result = StartWithFakes(program, fakes, QuilletAppObject());
    EXPECT_EQ(result.outcome, StartOutcome::Failed);
    EXPECT_EQ(result.frame, nullptr);
    ASSERT_EQ(fakes.messageBox.shown.size(), 1u);
    EXPECT_NE(fakes.messageBox.shown[0].prompt.find("plain-file/data"), std::string::npos)
        << fakes.messageBox.shown[0].prompt;
}

TEST(StartUp, ThatFindsItsSettingsFileReadOnlySaysSoAndWhatToDo) {
    if (apptest::LibraryInitialised()) GTEST_SKIP() << "needs a process whose library is not set up yet";
    apptest::App();
    testsupport::TempDir dir;
    ::setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
    const tovcore::AppObject app = QuilletAppObject();
    const std::string settings = dir.path() + app.CompanyName + "/" + app.EXEName + "/" + app.EXEName + ".ini";
    const std::string kept = "[Quillet]\r\nLanguage=Deutsch\r\n";
    testsupport::WriteBytes(settings, kept);
    fs::permissions(settings, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    apptest::FakeServices fakes;
    Program program;
    const StartResult result = StartWithFakes(program, fakes, app);
    EXPECT_EQ(result.outcome, StartOutcome::Failed);
    EXPECT_EQ(result.frame, nullptr);
    ASSERT_EQ(fakes.messageBox.shown.size(), 1u);
    const std::string& prompt = fakes.messageBox.shown[0].prompt;
    EXPECT_NE(prompt.find("settings file " + settings + " is read-only"), std::string::npos) << prompt;
    EXPECT_NE(prompt.find("chmod u+w"), std::string::npos) << prompt;
    EXPECT_EQ(prompt.find("settings folder"), std::string::npos) << prompt;
    EXPECT_EQ(testsupport::ReadBytes(settings), kept);
    fs::permissions(settings, fs::perms::owner_all);
}

// Every write of the settings makes a new file beside the old one: a writable settings file in a
// folder where no file may be made would drop each of them. The start-up says so once, as for a
// read-only file, and leaves the file as it is.
TEST(StartUp, ThatFindsItsSettingsFolderReadOnlySaysSoOnceAndWhatToDo) {
    if (apptest::LibraryInitialised()) GTEST_SKIP() << "needs a process whose library is not set up yet";
    apptest::App();
    testsupport::TempDir dir;
    ::setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
    const tovcore::AppObject app = QuilletAppObject();
    const std::string folder = dir.path() + app.CompanyName + "/" + app.EXEName + "/";
    const std::string settings = folder + app.EXEName + ".ini";
    const std::string kept = "[Quillet]\r\nLanguage=Deutsch\r\n";
    testsupport::WriteBytes(settings, kept);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(tovcore::CheckIniFile(settings), tovcore::IniFileState::FolderReadOnly);
    apptest::FakeServices fakes;
    Program program;
    const StartResult result = StartWithFakes(program, fakes, app);
    EXPECT_EQ(result.outcome, StartOutcome::Failed);
    ASSERT_EQ(fakes.messageBox.shown.size(), 1u);
    const std::string& prompt = fakes.messageBox.shown[0].prompt;
    EXPECT_NE(prompt.find("settings folder " + folder + " may not be written"), std::string::npos) << prompt;
    EXPECT_NE(prompt.find("chmod u+w \"" + folder + "\""), std::string::npos) << prompt;
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(testsupport::ReadBytes(settings), kept);
}

TEST(StartUp, ASettingsSetUpThatFailedNamesWhatIsWrong) {
    testsupport::TempDir dir;
    struct Row {
        const char* name;
        std::function<void(const std::string& file)> make;
        const char* says;
    };
    const Row rows[] = {
        {"a read-only file",
         [](const std::string& f) {
             testsupport::WriteBytes(f, "[Quillet]\r\n");
             fs::permissions(f, fs::perms::owner_read);
         },
         "is read-only"},
        {"a folder in its place", [](const std::string& f) { testsupport::MakeFolders(f); }, "is not a file"},
        {"a writable file in a folder where no file may be made",
         [](const std::string& f) {
             testsupport::WriteBytes(f, "[Quillet]\r\n");
             fs::permissions(platform::FolderOf(f), fs::perms::owner_read | fs::perms::owner_exec);
         },
         "settings folder"},
        {"no folder", [](const std::string&) {}, "settings folder"},
    };
    int n = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string folder = dir.path() + std::to_string(n++) + "/";
        if (std::string(r.name) != "no folder") testsupport::MakeFolders(folder);
        r.make(folder + "Quillet.ini");
        const std::string why = SettingsSetUpFailure(folder, "Quillet.ini");
        EXPECT_NE(why.find(r.says), std::string::npos) << why;
        EXPECT_NE(why.find(folder), std::string::npos) << why;
    }
    fs::permissions(dir.path() + "0/Quillet.ini", fs::perms::owner_all);
    fs::permissions(dir.path() + "2/", fs::perms::owner_all);
}

// A Linux user's settings: kept in a dotfiles folder, linked into place, written with LF.
TEST(StartUp, ReadsSettingsAndLanguageFilesWrittenWithLinuxLineEndsAndKeepsALinkedSettingsFile) {
    apptest::TestProgram t;
    testsupport::TempDir dotfiles;
    const std::string ini = dotfiles.path() + "Quillet.ini";
    testsupport::WriteBytes(
        ini, "[Quillet]\nLanguage=Deutsch\nCheckForUpdates=False\nLastProjectFolder=/home/jos\xC3\xA9/vb\n");
    fs::remove(t.program.state.IniFileName);
    fs::create_symlink(ini, t.program.state.IniFileName);
    testsupport::WriteBytes(t.program.state.LanguagesFolder + "Deutsch.ist", "[frmBackGround]\nmnuFile=&Datei\n");
    t.program.makeToolWindow = apptest::FakeToolWindowFactory();
    StartOptions options;
    options.programFolder = t.program.state.ProgramFolder;
    options.updater = "/nowhere/Kestrup";
    const StartResult result = Main(t.program, QuilletAppObject(), options);
    ASSERT_EQ(result.outcome, StartOutcome::FrameShown);
    EXPECT_FALSE(t.program.state.CheckForUpdates);
    EXPECT_EQ(t.program.state.LanguageFile, t.program.state.LanguagesFolder + "Deutsch.ist");
    EXPECT_TRUE(t.program.state.LanguageFileExists);
    EXPECT_EQ(result.frame->MenuItem("mnuFile")->text(), "&Datei");
    EXPECT_EQ(t.program.state.LastProjectFolder, "/home/jos\xC3\xA9/vb");
    result.frame->SaveIniInformation(true, true);
    delete result.frame;
    EXPECT_TRUE(fs::is_symlink(t.program.state.IniFileName)) << "the link was replaced";
    const std::string text = testsupport::ReadBytes(ini);
    EXPECT_NE(text.find("[BScreen]"), std::string::npos) << "nothing was written through the link";
    EXPECT_EQ(text.find("[Quillet]"), text.rfind("[Quillet]")) << text;
    EXPECT_NE(text.find("\nLanguage=Deutsch\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nCheckForUpdates=False\n"), std::string::npos) << text;
}

TEST(StartUp, OwnFilesPastTheSizeLimitAreSaidOnceAndLeftAsTheyAre) {
    apptest::TestProgram t;
    const std::string& ini = t.program.state.IniFileName;
    const std::string big =
        "[Quillet]\r\nLanguage=Deutsch\r\n; " + std::string(tovcore::kIniFileSizeLimit, 'x') + "\r\n";
    testsupport::WriteBytes(ini, big);
    const std::string language = t.program.state.LanguagesFolder + "Default.ist";
    testsupport::WriteBytes(
        language, "[frmBackGround]\r\nfrmBackGround=Gro\xC3\x9F\r\n" + std::string(tovcore::kIniFileSizeLimit, ';'));
    t.program.makeToolWindow = apptest::FakeToolWindowFactory();
    StartOptions options;
    options.commandLine = "/noupdate";
    options.programFolder = t.program.state.ProgramFolder;
    const StartResult result = Main(t.program, QuilletAppObject(), options);
    ASSERT_EQ(result.outcome, StartOutcome::FrameShown);
    const std::vector<std::string> prompts = t.fakes.messageBox.Prompts();
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_NE(prompts[0].find("settings file " + ini + " is larger than 4 MB"), std::string::npos) << prompts[0];
    EXPECT_NE(prompts[1].find("language file " + language + " is larger than 4 MB"), std::string::npos) << prompts[1];
    EXPECT_EQ(t.program.state.LanguageFile, language);  // "Default": the big file was not read
    EXPECT_FALSE(t.program.state.LanguageFileExists);
    EXPECT_NE(result.frame->Caption().toStdString(), "Gro\xC3\x9F");
    result.frame->SaveIniInformation(true, true);
    delete result.frame;
    EXPECT_TRUE(testsupport::ReadBytes(ini) == big) << "the settings file was changed";
}

// ---- the first settings file -----------------------------------------------------------------

TEST(StartUp, FirstStartWritesTheSettingsFileWithEveryKeyItAsksFor) {
    apptest::TestProgram t;
    t.program.makeToolWindow = apptest::FakeToolWindowFactory();
    StartOptions options;
    options.commandLine = "/noupdate";
    options.programFolder = t.program.state.ProgramFolder;
    const StartResult result = Main(t.program, QuilletAppObject(), options);
    ASSERT_EQ(result.outcome, StartOutcome::FrameShown);
    const std::string& ini = t.program.state.IniFileName;
    const std::string home = t.program.state.objSpecialFolders.UserProfileFolder;
    struct Key {
        const char* section;
        const char* key;
        std::string value;
    };
    const Key keys[] = {
        {"Quillet", "Language", "Default"},
        {"Quillet", "CheckForUpdates", "True"},
        {"Quillet", "FormColor", "32896"},
        {"Quillet", "DisplayColor", "8454143"},
        {"Quillet", "ButtonTabColor", "32896"},
        {"Quillet", "ButtonTabTextColor", "0"},
        {"Quillet", "LastProjectFolder", home},
        {"Errors", "ErrorNo", "0"},
        {"Projects", "RecentProjectMax", "10"},
        {"BScreen", "WindowState", "0"},
        {"Diagnostic", "ApplicationInstallFolder", t.program.state.ProgramFolder},
        {"Diagnostic", "ApplicationDataFolderLocal", t.program.state.objSpecialFolders.ApplicationDataFolderLocal},
        {"Diagnostic", "UserProfileFolder", home},
        {"Diagnostic", "UsingAppData", "False"},
    };
    for (const Key& k : keys)
        EXPECT_EQ(Lib().GetIniString(k.section, k.key, "?", ini), k.value) << k.section << "/" << k.key;
    EXPECT_EQ(t.program.state.LanguageFile, t.program.state.LanguagesFolder + "Default.ist");
    EXPECT_FALSE(t.program.state.LanguageFileExists);
    EXPECT_NE(t.program.state.LogFile, "");
    delete result.frame;
}

TEST(StartUp, TheLastProjectFolderSurvivesARestart) {
    apptest::TestProgram t;
    const std::string& ini = t.program.state.IniFileName;
    Lib().WriteIniString("Quillet", "LastProjectFolder", "/work/projects", ini);
    t.program.makeToolWindow = apptest::FakeToolWindowFactory();
    StartOptions options;
    options.commandLine = "/noupdate";
    options.programFolder = t.program.state.ProgramFolder;
    const StartResult result = Main(t.program, QuilletAppObject(), options);
    EXPECT_EQ(t.program.state.LastProjectFolder, "/work/projects");
    EXPECT_EQ(Lib().GetIniString("Quillet", "LastProjectFolder", "", ini), "/work/projects");
    result.frame->SaveIniInformation(true, true);
    EXPECT_EQ(Lib().GetIniString("Quillet", "LastProjectFolder", "", ini), "/work/projects");
    delete result.frame;
}

// ---- snippet seeding -----------------------------------------------------------------------

TEST(Seeding, CopiesTheShippedSnippetsOnceAndNeverOverwritesTheUsers) {
    testsupport::TempDir install, data;
    testsupport::WriteBytes(install.file("PreCode/Trace.PreCode"), "    WriteTraceLog \"~Procedure~\", 1\r\n");
    testsupport::WriteBytes(install.file("PreCode/Loud.PRECODE"), "' loud\r\n");
    testsupport::WriteBytes(install.file("PreCode/readme.txt"), "not a snippet");
    testsupport::WriteBytes(install.file("PostCode/Trace.PostCode"), "    WriteTraceLog \"~Procedure~\", 2\r\n");

    SeedSnippets(install.path(), data.path());
    EXPECT_EQ(testsupport::ReadBytes(data.path() + "PreCode/Trace.PreCode"), "    WriteTraceLog \"~Procedure~\", 1\r\n");
    EXPECT_TRUE(testsupport::PathExists(data.path() + "PreCode/Loud.PRECODE"));
    EXPECT_FALSE(testsupport::PathExists(data.path() + "PreCode/readme.txt"));
    EXPECT_TRUE(testsupport::PathExists(data.path() + "PostCode/Trace.PostCode"));

    // The user edits a snippet and removes another; a new shipped snippet appears. A restart keeps
    // the edit and does not refill a folder that still holds a snippet.
    testsupport::WriteBytes(data.path() + "PreCode/Trace.PreCode", "' mine\r\n");
    fs::remove(data.path() + "PreCode/Loud.PRECODE");
    testsupport::WriteBytes(install.file("PreCode/New.PreCode"), "' new\r\n");
    SeedSnippets(install.path(), data.path());
    EXPECT_EQ(testsupport::ReadBytes(data.path() + "PreCode/Trace.PreCode"), "' mine\r\n");
    EXPECT_FALSE(testsupport::PathExists(data.path() + "PreCode/Loud.PRECODE"));
    EXPECT_FALSE(testsupport::PathExists(data.path() + "PreCode/New.PreCode"));

    // A folder emptied of snippets is refilled, without writing through a link that stands at a
    // snippet's name and points outside.
    fs::remove(data.path() + "PreCode/Trace.PreCode");
    fs::create_symlink(data.path() + "outside.txt", data.path() + "PreCode/New.PreCode");
    SeedSnippets(install.path(), data.path());
    EXPECT_EQ(testsupport::ReadBytes(data.path() + "PreCode/Trace.PreCode"), "    WriteTraceLog \"~Procedure~\", 1\r\n");
    EXPECT_TRUE(fs::is_symlink(data.path() + "PreCode/New.PreCode"));
    EXPECT_FALSE(testsupport::PathExists(data.path() + "outside.txt"));
}

TEST(Seeding, MissingShippedFoldersStillMakeTheUsersFolders) {
    testsupport::TempDir install, data;
    SeedSnippets(install.path(), data.path());
    EXPECT_TRUE(fs::is_directory(data.path() + "PreCode"));
    EXPECT_TRUE(fs::is_directory(data.path() + "PostCode"));
}

TEST(Seeding, TheShippedSnippetsReachTheUserAtStartUp) {
    apptest::TestProgram t;
    t.program.makeToolWindow = apptest::FakeToolWindowFactory();
    StartOptions options;
    options.commandLine = "/noupdate";
    options.programFolder = QUILLET_SHIPPED_DIR;
    const StartResult result = Main(t.program, QuilletAppObject(), options);
    const std::string data = t.program.state.objSpecialFolders.ApplicationDataFolderLocal;
    std::size_t pre = 0, post = 0;
    for (const auto& e : fs::directory_iterator(data + "PreCode")) pre += e.path().extension() == ".PreCode";
    for (const auto& e : fs::directory_iterator(data + "PostCode")) post += e.path().extension() == ".PostCode";
    EXPECT_GE(pre, 1u);
    EXPECT_GE(post, 1u);
    delete result.frame;
}

// ---- language name -----------------------------------------------------------------------------

TEST(LanguageName, ThatCouldLeaveTheFolderIsRefused) {
    struct Row {
        const char* name;
        const char* file;
    };
    const Row rows[] = {
        {"Deutsch", "/L/Deutsch.ist"},     {"Default", "/L/Default.ist"},   {"../../etc/passwd", "/L/Default.ist"},
        {"sub/Deutsch", "/L/Default.ist"}, {"..\\x", "/L/Default.ist"},     {"..", "/L/Default.ist"},
        {"", "/L/Default.ist"},            {"   ", "/L/Default.ist"},      {"a\nb", "/L/Default.ist"},
        {"Español", "/L/Español.ist"},
    };
    for (const Row& r : rows) EXPECT_EQ(LanguageFilePath("/L/", r.name), r.file) << r.name;
}

TEST(LanguageName, AHostileSettingIsRefusedAtStartUp) {
    apptest::TestProgram t;
    Lib().WriteIniString("Quillet", "Language", "../../../tmp/evil", t.program.state.IniFileName);
    t.program.makeToolWindow = apptest::FakeToolWindowFactory();
    StartOptions options;
    options.commandLine = "/noupdate";
    options.programFolder = t.program.state.ProgramFolder;
    const StartResult result = Main(t.program, QuilletAppObject(), options);
    EXPECT_EQ(t.program.state.LanguageFile, t.program.state.LanguagesFolder + "Default.ist");
    delete result.frame;
}

}  // namespace
