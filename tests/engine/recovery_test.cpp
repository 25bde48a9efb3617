// The change journal comes from the project folder, as everything else there does: a crafted one
// must never make a load or an undo touch a file the project does not list, or put a backup
// anywhere but in the project's own backup folder. An interrupted change is completed or rolled
// back only when the user says so, and the message says exactly what was done.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>

#include "engine/addcode.h"
#include "engine/commit.h"
#include "engine/journal.h"
#include "platform/paths.h"
#include "tests/engine/rewrite_fixture.h"

using namespace engine;
using enginetest::FaultyFiles;
using enginetest::kModA;
using enginetest::kModB;
using enginetest::kVictim;
using enginetest::ProjectFolder;
using enginetest::Session;
using testsupport::CrLf;

namespace {


// App/App.vbp lists modA.bas and Lib\modB.bas; victim.txt lies beside the project folder, outside
// it. One Add Code on modA has been committed. The journal is read and written with this user's
// proof (Own), as the program's own journal would be: these tests are about what the checks on its
// entries hold back even then.
struct Committed {
    ProjectFolder f;
    std::string app, backup;

    Committed() {
        f.Write("App/App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; Lib\\modB.bas",
                                     "Startup=\"(None)\""}));
        f.Write("App/modA.bas", kModA);
        f.Write("App/Lib/modB.bas", kModB);
        f.Write("victim.txt", kVictim);
        f.Snippet("PreCode", "P", "    ' traced");
        app = f.path("App/");
        backup = app + "Backup/";
        Session s(f, "App/App.vbp");
        EXPECT_TRUE(s.loaded);
        s.st.SelectedPreCode = {"P"};
        s.Check("App.vbp_Lib\\modB.bas", false);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        EXPECT_TRUE(s.st.UndoAvailable);
    }
    ChangeJournal Journal() const {
        RecordProofs proofs(SystemFileOps(), f.DataFolder());
        std::optional<ChangeJournal> j = ReadJournal(SystemFileOps(), proofs, backup);
        EXPECT_TRUE(j);
        return j ? *j : ChangeJournal{};
    }
    void Write(const ChangeJournal& j) const {
        RecordProofs proofs(SystemFileOps(), f.DataFolder());
        ASSERT_TRUE(WriteJournal(SystemFileOps(), proofs, j));
    }
};

// An entry that, acted on, would put `source` (holding `sourceBytes`) in the place of `target`
// (holding `targetBytes`): as the backup that undo restores, once the commit is done; while it is
// committing, as the backup that a temporary name inside the backup folder is renamed to, and with
// a pending copy that would take the place of `target`.
JournalEntry Hostile(ChangeJournal::State state, const std::string& backupFolder, const std::string& target,
                     const std::string& targetBytes, const std::string& source, const std::string& sourceBytes) {
    JournalEntry e;
    e.path = target;
    e.pendingPath = target + ".qlt";
    e.backupPath = source;
    e.backupTemp = backupFolder + "t.qlt";
    e.name = "modA.bas";  // a harmless name: messages must name the real path
    e.replace = true;
    if (state == ChangeJournal::State::Committing) {
        e.before = FingerprintOf(targetBytes);
        e.after = FingerprintOf("evil");
        testsupport::WriteBytes(e.backupTemp, targetBytes);
        testsupport::WriteBytes(e.pendingPath, "evil");
    } else {
        e.before = FingerprintOf(sourceBytes);
        e.after = FingerprintOf(targetBytes);
        e.done = true;
    }
    return e;
}

const char* StateName(ChangeJournal::State s) {
    return s == ChangeJournal::State::Committing ? "committing" : s == ChangeJournal::State::Committed ? "committed" : "undoing";
}

// Every hostile entry in every journal state: the files outside the project and the listed module in
// the backup folder keep their content, and the message names the refused file.
TEST(UntrustedJournal, EntriesOutsideTheProjectAreRefusedInEveryState) {
    struct Row {
        const char* name;
        // The hostile entry, given the project; `shown` receives the file the message must name.
        std::function<JournalEntry(const Committed&, ChangeJournal::State, std::string& shown)> entry;
    } rows[] = {
        {"a file outside the project",
         [](const Committed& c, ChangeJournal::State st, std::string& shown) {
             c.f.Write("App/Backup/evil", "evil");
             shown = c.f.path("victim.txt");
             return Hostile(st, c.backup, shown, kVictim, c.backup + "evil", "evil");
         }},
        {"a relative path to a file outside the project",
         [](const Committed& c, ChangeJournal::State st, std::string& shown) {
             c.f.Write("App/Backup/evil", "evil");
             char* cwd = ::getcwd(nullptr, 0);
             std::string up;
             for (const char* p = cwd; *p; ++p)
                 if (*p == '/') up += "../";
             std::free(cwd);
             shown = up + c.f.path("victim.txt").substr(1);
             return Hostile(st, c.backup, shown, kVictim, c.backup + "evil", "evil");
         }},
        {"a path that leaves the project through ..",
         [](const Committed& c, ChangeJournal::State st, std::string& shown) {
             c.f.Write("App/Backup/evil", "evil");
             shown = c.app + "../victim.txt";
             return Hostile(st, c.backup, shown, kVictim, c.backup + "evil", "evil");
         }},
        {"a backup outside the backup folder",
         [](const Committed& c, ChangeJournal::State st, std::string& shown) {
             shown = c.app + "modA.bas";
             return Hostile(st, c.backup, shown, c.f.Read("App/modA.bas"), c.backup + "../../victim.txt", kVictim);
         }},
        {"a backup behind a symbolic link in the backup folder",
         [](const Committed& c, ChangeJournal::State st, std::string& shown) {
             EXPECT_EQ(::symlink(c.f.path("").c_str(), (c.backup + "link").c_str()), 0);
             shown = c.app + "modA.bas";
             return Hostile(st, c.backup, shown, c.f.Read("App/modA.bas"), c.backup + "link/victim.txt", kVictim);
         }},
        {"a backup that is a listed file",
         [](const Committed& c, ChangeJournal::State st, std::string& shown) {
             shown = c.app + "modA.bas";
             return Hostile(st, c.backup, shown, c.f.Read("App/modA.bas"), c.app + "Lib/modB.bas", kModB);
         }},
    };
    for (const Row& row : rows)
        for (ChangeJournal::State state :
             {ChangeJournal::State::Committing, ChangeJournal::State::Committed, ChangeJournal::State::Undoing}) {
            SCOPED_TRACE(std::string(row.name) + ", " + StateName(state));
            Committed c;
            ChangeJournal j = c.Journal();
            std::string shown;
            j.entries.push_back(row.entry(c, state, shown));
            j.state = state;
            c.Write(j);

            Session s(c.f, "App/App.vbp", true, {msgbox::kYes});
            if (state == ChangeJournal::State::Committed) {
                ASSERT_TRUE(s.st.UndoAvailable);
                UndoLastChange(s.st, s.host, s.host.Files());
                EXPECT_EQ(c.f.Read("App/modA.bas"), kModA);  // the entry of the project's own file is undone
            } else {
                ASSERT_GE(s.host.boxes.size(), 2u);
                EXPECT_NE(s.host.boxes[0].text.find("does not list; they are left alone"), std::string::npos)
                    << s.host.boxes[0].text;
            }
            const std::string said = s.host.LastBox();
            EXPECT_NE(said.find(ShownName(shown) + ": "), std::string::npos) << said;
            EXPECT_NE(said.find("; left alone"), std::string::npos) << said;
            EXPECT_EQ(c.f.Read("victim.txt"), kVictim);
            EXPECT_EQ(c.f.Read("App/Lib/modB.bas"), kModB);
        }
}

// A backup folder that is a symbolic link is not followed: the journal behind it is not read.
TEST(UntrustedJournal, BackupFolderThatIsASymbolicLinkIsNotRead) {
    Committed c;
    ChangeJournal j = c.Journal();
    j.state = ChangeJournal::State::Committing;
    c.Write(j);
    ASSERT_EQ(::rename(c.backup.substr(0, c.backup.size() - 1).c_str(), c.f.path("elsewhere").c_str()), 0);
    ASSERT_EQ(::symlink(c.f.path("elsewhere").c_str(), c.f.path("App/Backup").c_str()), 0);
    const std::string now = c.f.Read("App/modA.bas");
    Session s(c.f, "App/App.vbp", true, {msgbox::kNo});
    EXPECT_TRUE(s.host.boxes.empty());
    EXPECT_FALSE(s.st.UndoAvailable);
    EXPECT_EQ(c.f.Read("App/modA.bas"), now);
}

// ---- interrupted changes: the user decides ---------------------------------------------------------

// Three modules; Add Code cut short (the process "dies") right after the first file took its new
// content.
struct Interrupted {
    ProjectFolder f;
    std::map<std::string, std::string> before, after;

    Interrupted() {
        f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; modB.bas", "Module=modC; modC.bas",
                                 "Startup=\"(None)\""}));
        for (const char* m : {"modA", "modB", "modC"})
            before[std::string(m) + ".bas"] =
                CrLf({std::string("Attribute VB_Name = \"") + m + "\"", "Public Sub Run()", "    x = 1", "End Sub"});
        for (const auto& [name, bytes] : before) f.Write(name, bytes);
        f.Snippet("PreCode", "P", "    ' traced");

        // A clean run counts the operations and gives the new contents.
        long renameOfModA = 0;
        {
            ProjectFolder clean;
            clean.Write("App.vbp", f.Read("App.vbp"));
            for (const auto& [name, bytes] : before) clean.Write(name, bytes);
            clean.Snippet("PreCode", "P", "    ' traced");
            FaultyFiles counter;
            Session s(clean, "App.vbp", false);
            s.host.files = &counter;
            s.st.SelectedPreCode = {"P"};
            cmdAddCode_Click(s.st, s.host, s.host.Files());
            for (std::size_t i = 0; i < counter.log.size(); ++i)
                if (counter.log[i] == "Exchange " + clean.path("modA.bas")) renameOfModA = static_cast<long>(i) + 1;
            for (const auto& [name, bytes] : before) after[name] = clean.Read(name);
        }
        EXPECT_GT(renameOfModA, 0);
        FaultyFiles crash;
        Session s(f, "App.vbp", false);
        s.host.files = &crash;
        s.st.SelectedPreCode = {"P"};
        crash.Arm(FaultyFiles::Mode::CrashAfter, renameOfModA);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
    }
    std::map<std::string, std::string> Now() const {
        std::map<std::string, std::string> now;
        for (const auto& [name, bytes] : before) now[name] = f.Read(name);
        return now;
    }
};

TEST(InterruptedChange, CompletedRolledBackOrLeftAsTheUserSays) {
    struct Case {
        const char* name;
        int answer;
        std::function<void(Interrupted&)> before;  // done to the files before the next load
        std::string message;                         // "" for no closing message
        const char* modA;                            // "old" or "new" afterwards (modB, modC likewise)
        const char* modB;
        bool undoAvailable;
    } cases[] = {
        {"Yes completes it", msgbox::kYes, {},
         "The interrupted change to App.vbp has now been completed:\r\nmodA.bas: had its new content already\r\n"
         "modB.bas: took its new content\r\nmodC.bas: took its new content\r\nApp.vbp: took its new content",
         "new", "new", true},
        {"No rolls it back", msgbox::kNo, {},
         "The interrupted change to App.vbp has now been rolled back:\r\nmodA.bas: got its old content back\r\n"
         "modB.bas: had not been changed yet; it keeps its old content\r\n"
         "modC.bas: had not been changed yet; it keeps its old content\r\n"
         "App.vbp: had not been changed yet; it keeps its old content",
         "old", "old", false},
        {"Cancel leaves the files as they are", msgbox::kCancel, {}, "", "new", "old", false},
        // Half a change (a module instrumented, the project file without its reference) is no
        // completion: where one file cannot take its new content, the whole change is rolled back.
        {"a file that cannot be completed rolls the whole change back", msgbox::kYes,
         [](Interrupted& i) { ASSERT_EQ(::unlink(i.f.path("modB.bas.qlt").c_str()), 0); },
         "The interrupted change to App.vbp could not be completed (modB.bas: its new content is missing), so it was "
         "rolled back:\r\nmodA.bas: got its old content back\r\nmodB.bas: had not been changed yet; it keeps its old "
         "content\r\nmodC.bas: had not been changed yet; it keeps its old content\r\nApp.vbp: had not been changed "
         "yet; it keeps its old content",
         "old", "old", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Interrupted i;
        ASSERT_EQ(i.f.Read("modA.bas"), i.after.at("modA.bas"));
        ASSERT_EQ(i.f.Read("modB.bas"), i.before.at("modB.bas"));
        if (c.before) c.before(i);
        Session s(i.f, "App.vbp", true, {c.answer});
        ASSERT_FALSE(s.host.boxes.empty());
        EXPECT_NE(s.host.boxes[0].text.find("The last change to App.vbp was interrupted before it was complete. It "
                                            "concerns:\r\n    modA.bas\r\n    modB.bas\r\n    modC.bas\r\n    App.vbp\r\n"),
                  std::string::npos)
            << s.host.boxes[0].text;
        EXPECT_EQ(s.host.boxes[0].style, msgbox::kYesNoCancel | msgbox::kQuestion);
        EXPECT_EQ(s.host.boxes.size(), c.message.empty() ? 1u : 2u);
        if (!c.message.empty()) {
            EXPECT_EQ(s.host.LastBox(), c.message);
        }
        const auto& wantA = std::string(c.modA) == "new" ? i.after : i.before;
        const auto& wantB = std::string(c.modB) == "new" ? i.after : i.before;
        EXPECT_EQ(i.f.Read("modA.bas"), wantA.at("modA.bas"));
        EXPECT_EQ(i.f.Read("modB.bas"), wantB.at("modB.bas"));
        EXPECT_EQ(s.st.UndoAvailable, c.undoAvailable);
        if (c.answer != msgbox::kCancel) {
            // What this program wrote and did not use is gone.
            EXPECT_EQ(i.f.FilesEndingIn(".qlt"), std::vector<std::string>{});
        } else {
            // Left as it is: asked again next time, and no new change may replace its journal.
            s.st.SelectedPreCode = {"P"};
            cmdAddCode_Click(s.st, s.host, s.host.Files());
            EXPECT_NE(s.host.LastBox().find("the last change to App.vbp was interrupted and is neither completed nor "
                                            "rolled back"),
                      std::string::npos)
                << s.host.LastBox();
            EXPECT_EQ(i.f.Read("modB.bas"), i.before.at("modB.bas"));
            Session again(i.f, "App.vbp", true, {msgbox::kYes});
            EXPECT_EQ(i.Now(), i.after);
        }
    }
}

}  // namespace

namespace {

// A run cut short before its commit leaves pending copies beside the files: the next load removes
// the ones the run wrote, as its marker names them, and no other; they are never committed.
TEST(InterruptedChange, PendingCopiesOfARunCutShortAreRemoved) {
    ProjectFolder f;
    f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; modB.bas", "Startup=\"(None)\""}));
    f.Write("modA.bas", kModA);
    f.Write("modB.bas", kModB);
    f.Write("modB.bas.qlt", "a pending copy from before");
    f.Write("other.bas.qlt", "not of a listed file");
    f.Snippet("PreCode", "P", "    ' traced");
    {
        FaultyFiles crash;
        Session s(f, "App.vbp", false);
        s.host.files = &crash;
        s.st.SelectedPreCode = {"P"};
        s.Check("App.vbp_modB.bas", false);
        // The process dies right after modA's pending copy reached the disk.
        crash.beforeOp = [&](long n) {
            if (crash.log.back() != "Flush " + f.path("modA.bas.qlt")) return;
            crash.mode = FaultyFiles::Mode::CrashAfter;
            crash.target = n;
        };
        cmdAddCode_Click(s.st, s.host, s.host.Files());
    }
    ASSERT_TRUE(f.Exists("modA.bas.qlt"));
    ASSERT_TRUE(f.Exists("Backup/Quillet.pending"));
    Session next(f, "App.vbp");
    EXPECT_TRUE(next.host.boxes.empty());  // nothing was committed: nothing to ask
    EXPECT_FALSE(f.Exists("modA.bas.qlt"));
    EXPECT_EQ(f.Read("modB.bas.qlt"), "a pending copy from before");
    EXPECT_EQ(f.Read("other.bas.qlt"), "not of a listed file");
    EXPECT_FALSE(f.Exists("Backup/Quillet.pending"));
    EXPECT_EQ(f.Read("modA.bas"), kModA);
    EXPECT_FALSE(next.st.UndoAvailable);
}

}  // namespace

namespace {

// ---- records that this program did not write for this user ------------------------------------

const std::string kForeignNote = "Quillet did not write it for you";

// A project from someone else: App/App.vbp lists modA.bas and a "Helpers" module that lies outside
// the project folder (relative, absolute, or behind a folder that is a symbolic link), and ships a
// Backup/Quillet.journal in our own format whose one entry would put Backup/Helpers.bas in that
// file's place. Every check on the entry itself passes (the file is listed, its backups lie in the
// backup folder): only the missing proof stands in the way.
struct Forged {
    ProjectFolder f;
    std::string app, backup, target;
    JournalEntry entry;

    Forged(const std::function<std::string(const ProjectFolder&)>& listedIn,
           const std::function<void(const ProjectFolder&)>& setup, ChangeJournal::State state) {
        const std::string listed = listedIn(f);
        f.Write("victim.txt", kVictim);
        f.Write("App/modA.bas", kModA);
        f.Write("App/App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=Helpers; " + listed,
                                     "Startup=\"(None)\""}));
        f.Write("App/Backup/Helpers.bas", "evil");
        if (setup) setup(f);
        app = f.path("App/");
        backup = app + "Backup/";
        target = platform::ResolveListedPath(app, listed).path;
        entry = Hostile(state, backup, target, kVictim, backup + "Helpers.bas", "evil");
        ChangeJournal j;
        j.project = app + "App.vbp";
        j.backupFolder = backup;
        j.state = state;
        j.entries = {entry};
        testsupport::WriteBytes(backup + "Quillet.journal", JournalText(j));
    }
};

TEST(ForeignRecords, AForgedJournalRenamesNothingOffersNoUndoAndIsNamedOnce) {
    struct Target {
        const char* name;
        std::function<std::string(const ProjectFolder&)> listed;
        std::function<void(const ProjectFolder&)> setup;
    };
    const Target targets[] = {
        {"a relative name", [](const ProjectFolder&) { return std::string("..\\victim.txt"); }, {}},
        {"an absolute name", [](const ProjectFolder& f) { return f.path("victim.txt"); }, {}},
        {"a folder that is a symbolic link", [](const ProjectFolder&) { return std::string("Lib\\victim.txt"); },
         [](const ProjectFolder& f) { ASSERT_EQ(::symlink(f.path("").c_str(), f.path("App/Lib").c_str()), 0); }},
    };
    for (const Target& t : targets)
        for (ChangeJournal::State state :
             {ChangeJournal::State::Committing, ChangeJournal::State::Committed, ChangeJournal::State::Undoing})
            for (int answer : {msgbox::kYes, msgbox::kNo}) {
                SCOPED_TRACE(std::string(t.name) + ", " + StateName(state) + (answer == msgbox::kYes ? ", Yes" : ", No"));
                Forged g(t.listed, t.setup, state);
                // The second wall alone would let the entry through.
                ASSERT_EQ(JournalEntryProblem(SystemFileOps(), ListedPaths(g.app + "App.vbp"), g.backup, g.entry), "");
                const std::string journal = g.f.Read("App/Backup/Quillet.journal");

                Session s(g.f, "App/App.vbp", true, {answer, answer});
                ASSERT_FALSE(s.host.boxes.empty());
                EXPECT_NE(s.host.boxes[0].text.find("Backup/Quillet.journal: " + kForeignNote), std::string::npos)
                    << s.host.boxes[0].text;
                for (const auto& box : s.host.boxes) EXPECT_EQ(box.style & msgbox::kYesNo, 0) << box.text;  // nothing asked
                EXPECT_FALSE(s.st.UndoAvailable);
                UndoLastChange(s.st, s.host, s.host.Files());
                EXPECT_EQ(s.host.LastBox(), "There is no change to undo");

                EXPECT_EQ(g.f.Read("victim.txt"), kVictim);
                EXPECT_EQ(g.f.Read("App/Backup/Helpers.bas"), "evil");
                EXPECT_EQ(g.f.Read("App/Backup/Quillet.journal"), journal);
                if (state == ChangeJournal::State::Committing) {
                    EXPECT_EQ(testsupport::ReadBytes(g.entry.pendingPath), "evil");
                    EXPECT_TRUE(testsupport::PathExists(g.entry.backupTemp));
                }
                // Told once: the next load says nothing of it.
                Session again(g.f, "App/App.vbp", true, {answer});
                EXPECT_TRUE(again.host.boxes.empty()) << again.host.LastBox();
                EXPECT_EQ(g.f.Read("victim.txt"), kVictim);
            }
}

// A forged marker names listed files (one outside the project): their ".qlt" files, the user's own,
// are not deleted by a load, and the marker is named once.
TEST(ForeignRecords, AForgedMarkerDeletesNothing) {
    ProjectFolder f;
    f.Write("victim.txt", kVictim);
    f.Write("victim.txt.qlt", "the user's own notes");
    f.Write("App/modA.bas", kModA);
    f.Write("App/modA.bas.qlt", "notes beside modA");
    f.Write("App/App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=Helpers; ..\\victim.txt"}));
    PendingMarker m;
    m.project = f.path("App/App.vbp");
    m.files = {{f.path("App/modA.bas"), {}}, {f.path("victim.txt"), {}}};
    f.Write("App/Backup/Quillet.pending", PendingMarkerText(m));
    {
        Session s(f, "App/App.vbp");
        ASSERT_EQ(s.host.boxes.size(), 1u);
        EXPECT_NE(s.host.LastBox().find("Backup/Quillet.pending: " + kForeignNote), std::string::npos) << s.host.LastBox();
        EXPECT_NE(s.host.LastBox().find("no pending copy was deleted because of it"), std::string::npos);
    }
    EXPECT_EQ(f.Read("victim.txt.qlt"), "the user's own notes");
    EXPECT_EQ(f.Read("App/modA.bas.qlt"), "notes beside modA");
    EXPECT_TRUE(f.Exists("App/Backup/Quillet.pending"));
    Session again(f, "App/App.vbp");
    EXPECT_TRUE(again.host.boxes.empty());
    EXPECT_EQ(f.Read("victim.txt.qlt"), "the user's own notes");
}

// The journal of a change that another user made (their proof lies in their own data folder, and
// copying their proof file does not help: it is keyed with their key) is foreign to this user;
// the user who made the change can still undo it.
TEST(ForeignRecords, AJournalOfAnotherUserIsForeign) {
    ProjectFolder f;
    f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Startup=\"(None)\""}));
    f.Write("modA.bas", kModA);
    f.Snippet("PreCode", "P", "    ' traced");
    std::string changed;
    {
        Session a(f, "App.vbp");
        a.st.SelectedPreCode = {"P"};
        cmdAddCode_Click(a.st, a.host, a.host.Files());
        ASSERT_TRUE(a.st.UndoAvailable);
        changed = f.Read("modA.bas");
    }
    const std::string other = f.path("other-user/");
    for (bool copiedProof : {false, true}) {
        SCOPED_TRACE(copiedProof ? "with the other user's proof copied" : "without a proof");
        if (copiedProof)
            for (const auto& e : std::filesystem::directory_iterator(f.DataFolder() + "Changes"))
                if (e.path().extension() == ".proof")
                    testsupport::WriteBytes(other + "Changes/" + e.path().filename().string(),
                                            testsupport::ReadBytes(e.path().string()));
        Session b(f, "App.vbp", true, {msgbox::kYes}, other);
        EXPECT_FALSE(b.st.UndoAvailable);
        UndoLastChange(b.st, b.host, b.host.Files());
        EXPECT_EQ(b.host.LastBox(), "There is no change to undo");
        EXPECT_EQ(f.Read("modA.bas"), changed);
    }
    Session a(f, "App.vbp");
    EXPECT_TRUE(a.host.boxes.empty());
    ASSERT_TRUE(a.st.UndoAvailable);
    UndoLastChange(a.st, a.host, a.host.Files());
    EXPECT_EQ(a.host.LastBox(), "Last Changes Undone");
    EXPECT_EQ(f.Read("modA.bas"), kModA);
}

// What a kill leaves of a journal or marker write, its temporary file, is removed at the next load;
// a file of that name that is not ours (another text, a listed module) stays.
TEST(ForeignRecords, StaleTemporaryFilesOfOurRecordsAreRemoved) {
    struct Case {
        const char* name;
        const char* file;
        std::string bytes;
        bool removed;
    } cases[] = {
        {"a journal write cut short", "Quillet.journal.tmp", "Quillet change journal 1\nproject\t/x", true},
        {"an empty marker write", "Quillet.pending.tmp", "", true},
        {"a marker write cut short", "Quillet.pending.tmp", "Quillet pending", true},
        {"someone else's file", "Quillet.journal.tmp", "my own notes", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas"}));
        f.Write("modA.bas", kModA);
        f.Write(std::string("Backup/") + c.file, c.bytes);
        Session s(f, "App.vbp");
        EXPECT_TRUE(s.loaded);
        EXPECT_EQ(f.Exists(std::string("Backup/") + c.file), !c.removed);
    }
}

}  // namespace

namespace {

// Add Code on three modules (and the project file's reference line) cut short after every step from
// the journal on: while the backups are made, while the files are replaced, while the journal is
// completed. At the next load Yes completes the whole change (a backup the crash left unmade is
// made then), No rolls the whole change back and takes back what it put in the backup folder, and
// Cancel leaves everything as it is and asks again. Never half a change.
TEST(InterruptedChange, ACrashAtEveryStepOfTheCommitIsCompletedOrRolledBackWhole) {
    const auto write = [](const ProjectFolder& f) {
        f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; modB.bas", "Module=modC; modC.bas",
                                 "Startup=\"(None)\""}));
        for (const char* m : {"modA", "modB", "modC"})
            f.Write(std::string(m) + ".bas",
                    CrLf({std::string("Attribute VB_Name = \"") + m + "\"", "Public Sub Run()", "    x = 1", "End Sub"}));
        f.Snippet("PreCode", "P", "    ' traced");
    };
    const std::vector<std::string> names = {"App.vbp", "modA.bas", "modB.bas", "modC.bas"};
    const auto contents = [&](const ProjectFolder& f) {
        std::map<std::string, std::string> now;
        for (const std::string& n : names) now[n] = f.Read(n);
        return now;
    };
    const auto run = [](Session& s) {
        s.st.SelectedPreCode = {"P"};
        cmdAddCode_Click(s.st, s.host, s.host.Files());
    };
    std::map<std::string, std::string> before, after;
    long journalWrite = 0, operations = 0;
    {
        ProjectFolder clean;
        write(clean);
        before = contents(clean);
        FaultyFiles counter;
        Session s(clean, "App.vbp", false);
        s.host.files = &counter;
        run(s);
        after = contents(clean);
        operations = counter.count;
        for (std::size_t i = 0; i < counter.log.size() && !journalWrite; ++i)
            if (counter.log[i] == "Write " + clean.path("Backup/Quillet.journal.tmp")) journalWrite = static_cast<long>(i) + 1;
    }
    ASSERT_GT(journalWrite, 0);
    ASSERT_NE(before, after);
    const auto isQuestion = [](const enginetest::FakeHost::Box& b) { return (b.style & msgbox::kYesNoCancel) == msgbox::kYesNoCancel; };
    for (long n = journalWrite; n <= operations; ++n)
        for (int answer : {msgbox::kYes, msgbox::kNo, msgbox::kCancel}) {
            const std::string at = "crash after " + std::to_string(n) +
                                   (answer == msgbox::kYes ? ", Yes" : answer == msgbox::kNo ? ", No" : ", Cancel");
            SCOPED_TRACE(at);
            ProjectFolder f;
            write(f);
            {
                FaultyFiles crash;
                Session s(f, "App.vbp", false);
                s.host.files = &crash;
                crash.Arm(FaultyFiles::Mode::CrashAfter, n);
                run(s);
            }
            const auto atCrash = contents(f);
            Session next(f, "App.vbp", true, {answer});
            const bool asked = !next.host.boxes.empty() && isQuestion(next.host.boxes.front());
            if (!asked) {
                // The crash came before the journal was in place (nothing had changed) or after the
                // commit was complete: nothing to decide.
                EXPECT_TRUE(contents(f) == before || contents(f) == after);
                EXPECT_EQ(f.FilesEndingIn(".qlt"), std::vector<std::string>{});
                continue;
            }
            if (answer == msgbox::kYes) {
                EXPECT_EQ(contents(f), after);
                for (const auto& [name, old] : before) EXPECT_TRUE(f.BackupHolds(old)) << name;
                EXPECT_TRUE(next.st.UndoAvailable);
                UndoLastChange(next.st, next.host, next.host.Files());
                EXPECT_EQ(contents(f), before);
            } else if (answer == msgbox::kNo) {
                EXPECT_EQ(contents(f), before);
                EXPECT_FALSE(next.st.UndoAvailable);
                EXPECT_FALSE(f.Exists("Backup")) << "what the change put in the backup folder stays";
            } else {
                EXPECT_EQ(contents(f), atCrash);
                Session again(f, "App.vbp", true, {msgbox::kYes});
                ASSERT_FALSE(again.host.boxes.empty());
                EXPECT_TRUE(isQuestion(again.host.boxes.front()));
                EXPECT_EQ(contents(f), after);
            }
            if (answer != msgbox::kCancel) {
                EXPECT_EQ(f.FilesEndingIn(".qlt"), std::vector<std::string>{});
            }
        }
}

}  // namespace
