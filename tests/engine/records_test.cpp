// Our records of a change (the journal and the marker in the project's backup folder, the proofs in
// the per-user data folder) are this user's alone: "Changes/" and what is in it can be written by
// no one else, whatever the umask, and a proof is trusted only while that holds. They stay ours
// wherever the project folder goes: a moved or renamed folder keeps its recovery and its undo, and
// a copy touches nothing outside itself.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

#include "engine/addcode.h"
#include "engine/commit.h"
#include "engine/journal.h"
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


std::uint32_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// App/App.vbp with two modules, and a snippet.
void WriteProject(const ProjectFolder& f, const std::string& folder = "App/") {
    f.Write(folder + "App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; modB.bas", "Startup=\"(None)\""}));
    f.Write(folder + "modA.bas", kModA);
    f.Write(folder + "modB.bas", kModB);
    f.Snippet("PreCode", "P", "    ' traced");
}

void AddCode(Session& s) {
    s.st.SelectedPreCode = {"P"};
    cmdAddCode_Click(s.st, s.host, s.host.Files());
}

// ---- the records are the user's alone -------------------------------------------------------

TEST(PrivateRecords, ChangesFolderKeyAndProofsAreTheUsersAloneWhateverTheUmask) {
    struct Case {
        const char* name;
        mode_t umask;
        std::function<void(const ProjectFolder&)> before;  // an earlier build's records, for one
    } cases[] = {
        {"umask 000", 000, {}},
        {"umask 002", 002, {}},
        {"umask 022", 022, {}},
        {"a folder and key an earlier build left readable by all", 022,
         [](const ProjectFolder& f) {
             testsupport::WriteBytes(f.DataFolder() + "Changes/key", std::string(64, 'a'));
             ASSERT_EQ(::chmod((f.DataFolder() + "Changes").c_str(), 0755), 0);
             ASSERT_EQ(::chmod((f.DataFolder() + "Changes/key").c_str(), 0644), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        WriteProject(f);
        if (c.before) c.before(f);
        const mode_t was = ::umask(c.umask);
        {
            Session s(f, "App/App.vbp");
            AddCode(s);
            EXPECT_EQ(s.host.LastBox().substr(0, 20), "Code Processing Done");
        }
        ::umask(was);
        const std::string changes = f.DataFolder() + "Changes";
        EXPECT_EQ(ModeOf(changes), 0700u);
        int proofs = 0;
        for (const auto& e : std::filesystem::directory_iterator(changes)) {
            SCOPED_TRACE(e.path().string());
            EXPECT_EQ(ModeOf(e.path().string()), 0600u);
            proofs += e.path().extension() == ".proof";
        }
        EXPECT_TRUE(testsupport::PathExists(changes + "/key"));
        EXPECT_GE(proofs, 1);
        // Still our own record: undo takes the change back.
        Session next(f, "App/App.vbp");
        EXPECT_TRUE(next.host.boxes.empty()) << next.host.LastBox();
        ASSERT_TRUE(next.st.UndoAvailable);
        UndoLastChange(next.st, next.host, next.host.Files());
        EXPECT_EQ(next.host.LastBox(), "Last Changes Undone");
        EXPECT_EQ(f.Read("App/modA.bas"), kModA);
    }
}

// Files as the system has them, except that the entries named in `owners` belong to another user
// and those in `modes` have other permission bits: what another local user could have done.
class OtherUsers : public FaultyFiles {
public:
    std::map<std::string, std::uint32_t> owners, modes;
    bool Stat(const std::string& p, FileStat& out) override {
        const bool ok = FaultyFiles::Stat(p, out);
        if (ok && owners.count(p)) out.owner = owners.at(p);
        if (ok && modes.count(p)) out.mode = modes.at(p);
        return ok;
    }
};

// Changes/, the key or a proof that another user owns or may write, or a Changes/ that is a link:
// no journal or marker is trusted (no undo, no recovery question, no pending copy removed), the
// user is told once why and what to set, no new change is made, and the files stay as they are.
// Once it is set right, the change recorded before is the user's own again.
TEST(PrivateRecords, ProofsThatAnotherUserCouldHaveWrittenAreNotTrusted) {
    const std::uint32_t other = CurrentUser() + 1;
    struct Case {
        const char* name;
        // Done to the records after the change; `files` may fake what the system would show.
        std::function<void(const ProjectFolder&, OtherUsers&)> tamper;
        std::function<void(const ProjectFolder&, OtherUsers&)> setRight;
        std::function<std::string(const std::string& changes)> why;
    } cases[] = {
        {"Changes/ of another user",
         [&](const ProjectFolder& f, OtherUsers& o) { o.owners[f.DataFolder() + "Changes"] = other; },
         [](const ProjectFolder&, OtherUsers& o) { o.owners.clear(); },
         [](const std::string& c) { return c + " belongs to another user; move it out of the way (for example: mv " + c + " " + c + ".old)"; }},
        {"a key of another user",
         [&](const ProjectFolder& f, OtherUsers& o) { o.owners[f.DataFolder() + "Changes/key"] = other; },
         [](const ProjectFolder&, OtherUsers& o) { o.owners.clear(); },
         [](const std::string& c) { return c + "/key belongs to another user"; }},
        {"a proof of another user",
         [&](const ProjectFolder& f, OtherUsers& o) {
             for (const auto& e : std::filesystem::directory_iterator(f.DataFolder() + "Changes"))
                 if (e.path().extension() == ".proof") o.owners[e.path().string()] = other;
         },
         [](const ProjectFolder&, OtherUsers& o) { o.owners.clear(); },
         [](const std::string& c) { return c + "/"; }},
        {"Changes/ that the group may write",
         [](const ProjectFolder& f, OtherUsers&) { ASSERT_EQ(::chmod((f.DataFolder() + "Changes").c_str(), 0770), 0); },
         [](const ProjectFolder& f, OtherUsers&) { ASSERT_EQ(::chmod((f.DataFolder() + "Changes").c_str(), 0700), 0); },
         [](const std::string& c) {
             return c + " can be written by other users (its permissions are 0770); let only yourself write it: chmod 700 " + c;
         }},
        {"Changes/ that anyone may write",
         [](const ProjectFolder& f, OtherUsers&) { ASSERT_EQ(::chmod((f.DataFolder() + "Changes").c_str(), 0777), 0); },
         [](const ProjectFolder& f, OtherUsers&) { ASSERT_EQ(::chmod((f.DataFolder() + "Changes").c_str(), 0700), 0); },
         [](const std::string& c) { return c + " can be written by other users (its permissions are 0777)"; }},
        {"a key that others may write",
         [](const ProjectFolder& f, OtherUsers&) { ASSERT_EQ(::chmod((f.DataFolder() + "Changes/key").c_str(), 0666), 0); },
         [](const ProjectFolder& f, OtherUsers&) { ASSERT_EQ(::chmod((f.DataFolder() + "Changes/key").c_str(), 0600), 0); },
         [](const std::string& c) { return c + "/key can be written by other users (its permissions are 0666); let only yourself write it: chmod 600 " + c + "/key"; }},
        {"a key that others may write, as another user's program would show it",
         [&](const ProjectFolder& f, OtherUsers& o) { o.modes[f.DataFolder() + "Changes/key"] = 0620; },
         [](const ProjectFolder&, OtherUsers& o) { o.modes.clear(); },
         [](const std::string& c) { return c + "/key can be written by other users (its permissions are 0620)"; }},
        {"Changes/ that is a symbolic link",
         [](const ProjectFolder& f, OtherUsers&) {
             const std::string c = f.DataFolder() + "Changes";
             ASSERT_EQ(::rename(c.c_str(), f.path("elsewhere").c_str()), 0);
             ASSERT_EQ(::symlink(f.path("elsewhere").c_str(), c.c_str()), 0);
         },
         [](const ProjectFolder& f, OtherUsers&) {
             const std::string c = f.DataFolder() + "Changes";
             ASSERT_EQ(::unlink(c.c_str()), 0);
             ASSERT_EQ(::rename(f.path("elsewhere").c_str(), c.c_str()), 0);
         },
         [](const std::string& c) { return c + " is a symbolic link; move it out of the way"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        WriteProject(f);
        f.Write("App/modB.bas.qlt", "the user's notes");
        std::string changed;
        {
            Session s(f, "App/App.vbp");
            s.Check("App.vbp_modB.bas", false);
            AddCode(s);
            ASSERT_TRUE(s.st.UndoAvailable);
            changed = f.Read("App/modA.bas");
        }
        OtherUsers files;
        c.tamper(f, files);
        const std::string changes = f.DataFolder() + "Changes";
        {
            Session s(f, "App/App.vbp", true, {}, "", &files);
            ASSERT_TRUE(s.loaded);
            ASSERT_EQ(s.host.boxes.size(), 1u);
            const std::string said = s.host.boxes[0].text;
            EXPECT_EQ(said.rfind("Quillet trusts none of its records of changes for now: ", 0), 0u) << said;
            EXPECT_NE(said.find(c.why(changes)), std::string::npos) << said;
            EXPECT_NE(said.find("Undo and the recovery of an interrupted change are not offered, and no change is made"),
                      std::string::npos)
                << said;
            EXPECT_FALSE(s.st.UndoAvailable);
            UndoLastChange(s.st, s.host, s.host.Files());
            EXPECT_EQ(s.host.LastBox(), "There is no change to undo");
            AddCode(s);
            EXPECT_EQ(s.host.LastBox().rfind("Nothing was changed:\r\nBackup: Quillet cannot keep the proof of its "
                                             "change journal safely: " + c.why(changes), 0),
                      0u)
                << s.host.LastBox();
            EXPECT_EQ(f.Read("App/modA.bas"), changed);
            EXPECT_EQ(f.Read("App/modB.bas"), kModB);
            EXPECT_EQ(f.Read("App/modB.bas.qlt"), "the user's notes");
            // Told once.
            const std::size_t shown = s.host.boxes.size();
            ASSERT_TRUE(engine::LoadProject(s.st, s.host, s.host, false));
            EXPECT_EQ(s.host.boxes.size(), shown) << s.host.LastBox();
        }
        c.setRight(f, files);
        Session s(f, "App/App.vbp", true, {}, "", &files);
        ASSERT_TRUE(s.loaded);
        EXPECT_TRUE(s.host.boxes.empty()) << s.host.LastBox();
        ASSERT_TRUE(s.st.UndoAvailable);
        UndoLastChange(s.st, s.host, s.host.Files());
        EXPECT_EQ(s.host.LastBox(), "Last Changes Undone");
        EXPECT_EQ(f.Read("App/modA.bas"), kModA);
    }
}

// What another local user did when "Changes/" could be written by the group: replaced the key with
// one of theirs and kept a proof, under it, of a journal that puts a file of the project over the
// victim's own. The next load trusts none of it, and nothing outside the project is touched.
TEST(PrivateRecords, AForgedKeyAndProofInAFolderOthersMayWriteChangeNothing) {
    ProjectFolder f;
    WriteProject(f);
    f.Write("victim.txt", kVictim);
    f.Write("App/App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=Helpers; ..\\victim.txt", "Startup=\"(None)\""}));
    { Session s(f, "App/App.vbp"); }  // the user's own key, made at the first use
    {
        Session s(f, "App/App.vbp");
        AddCode(s);
        ASSERT_TRUE(s.st.UndoAvailable);
    }
    // The other user's work, done while the folder is open to the group.
    const std::string changes = f.DataFolder() + "Changes";
    testsupport::WriteBytes(changes + "/key", std::string(64, 'b'));
    f.Write("App/Backup/evil", "evil");
    JournalEntry e;
    e.path = f.path("victim.txt");
    e.pendingPath = e.path + ".qlt";
    e.backupPath = f.path("App/Backup/evil");
    e.backupTemp = e.backupPath + ".qlt";
    e.name = "modA.bas";
    e.before = FingerprintOf("evil");
    e.after = FingerprintOf(kVictim);
    e.done = true;
    ChangeJournal j;
    j.project = f.path("App/App.vbp");
    j.backupFolder = f.path("App/Backup/");
    j.state = ChangeJournal::State::Committed;
    j.entries = {e};
    {
        RecordProofs theirs(SystemFileOps(), f.DataFolder());
        ASSERT_TRUE(WriteJournal(SystemFileOps(), theirs, j));
    }
    ASSERT_EQ(::chmod(changes.c_str(), 0770), 0);

    Session s(f, "App/App.vbp", true, {msgbox::kYes});
    ASSERT_FALSE(s.host.boxes.empty());
    EXPECT_NE(s.host.boxes[0].text.find("can be written by other users"), std::string::npos) << s.host.boxes[0].text;
    EXPECT_FALSE(s.st.UndoAvailable);
    UndoLastChange(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "There is no change to undo");
    EXPECT_EQ(f.Read("victim.txt"), kVictim);
    EXPECT_EQ(f.Read("App/Backup/evil"), "evil");
}

// ---- a moved, renamed or copied project folder ----------------------------------------------

// Add Code on three modules of App/ (and the project file's reference line), cut short after every
// step from the journal on; then the folder is moved and renamed ("Moved/App 2"). At the next load
// there, Yes completes the whole change, No rolls it back and takes back what it put in the backup
// folder, Cancel leaves everything and asks again; Undo works afterwards. Never half a change, no
// record called foreign, no pending copy left.
TEST(MovedProject, ACrashAtEveryStepOfTheCommitThenAMoveIsCompletedOrRolledBackWhole) {
    const auto write = [](const ProjectFolder& f) {
        f.Write("App/App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; modB.bas", "Module=modC; modC.bas",
                                     "Startup=\"(None)\""}));
        for (const char* m : {"modA", "modB", "modC"})
            f.Write(std::string("App/") + m + ".bas",
                    CrLf({std::string("Attribute VB_Name = \"") + m + "\"", "Public Sub Run()", "    x = 1", "End Sub"}));
        f.Snippet("PreCode", "P", "    ' traced");
    };
    const std::vector<std::string> names = {"App.vbp", "modA.bas", "modB.bas", "modC.bas"};
    const auto contents = [&](const ProjectFolder& f, const std::string& folder) {
        std::map<std::string, std::string> now;
        for (const std::string& n : names) now[n] = f.Read(folder + n);
        return now;
    };
    std::map<std::string, std::string> before, after;
    long journalWrite = 0, operations = 0;
    {
        ProjectFolder clean;
        write(clean);
        before = contents(clean, "App/");
        FaultyFiles counter;
        Session s(clean, "App/App.vbp", false);
        s.host.files = &counter;
        AddCode(s);
        after = contents(clean, "App/");
        operations = counter.count;
        for (std::size_t i = 0; i < counter.log.size() && !journalWrite; ++i)
            if (counter.log[i] == "Write " + clean.path("App/Backup/Quillet.journal.tmp")) journalWrite = static_cast<long>(i) + 1;
    }
    ASSERT_GT(journalWrite, 0);
    const auto isQuestion = [](const enginetest::FakeHost::Box& b) {
        return (b.style & msgbox::kYesNoCancel) == msgbox::kYesNoCancel;
    };
    const std::string moved = "Moved/App 2/";
    int askedCount = 0;
    for (long n = journalWrite; n <= operations; ++n)
        for (int answer : {msgbox::kYes, msgbox::kNo, msgbox::kCancel}) {
            SCOPED_TRACE("crash after " + std::to_string(n) +
                         (answer == msgbox::kYes ? ", Yes" : answer == msgbox::kNo ? ", No" : ", Cancel"));
            ProjectFolder f;
            write(f);
            {
                FaultyFiles crash;
                Session s(f, "App/App.vbp", false);
                s.host.files = &crash;
                crash.Arm(FaultyFiles::Mode::CrashAfter, n);
                AddCode(s);
            }
            testsupport::MakeFolders(f.path("Moved"));
            ASSERT_EQ(::rename(f.path("App").c_str(), f.path("Moved/App 2").c_str()), 0);
            const auto atCrash = contents(f, moved);
            Session next(f, moved + "App.vbp", true, {answer});
            for (const auto& box : next.host.boxes) EXPECT_EQ(box.text.find("did not write"), std::string::npos) << box.text;
            const bool asked = !next.host.boxes.empty() && isQuestion(next.host.boxes.front());
            if (!asked) {
                EXPECT_TRUE(contents(f, moved) == before || contents(f, moved) == after);
                EXPECT_EQ(f.FilesEndingIn(".qlt"), std::vector<std::string>{});
                if (contents(f, moved) == after) {
                    ASSERT_TRUE(next.st.UndoAvailable);
                    UndoLastChange(next.st, next.host, next.host.Files());
                    EXPECT_EQ(contents(f, moved), before);
                }
                continue;
            }
            ++askedCount;
            if (answer == msgbox::kYes) {
                EXPECT_EQ(contents(f, moved), after);
                EXPECT_TRUE(next.st.UndoAvailable);
                UndoLastChange(next.st, next.host, next.host.Files());
                EXPECT_EQ(next.host.LastBox(), "Last Changes Undone");
                EXPECT_EQ(contents(f, moved), before);
            } else if (answer == msgbox::kNo) {
                EXPECT_EQ(contents(f, moved), before);
                EXPECT_FALSE(next.st.UndoAvailable);
                EXPECT_FALSE(f.Exists(moved + "Backup"));
            } else {
                EXPECT_EQ(contents(f, moved), atCrash);
                Session again(f, moved + "App.vbp", true, {msgbox::kYes});
                ASSERT_FALSE(again.host.boxes.empty());
                EXPECT_TRUE(isQuestion(again.host.boxes.front()));
                EXPECT_EQ(contents(f, moved), after);
            }
            if (answer != msgbox::kCancel) {
                EXPECT_EQ(f.FilesEndingIn(".qlt"), std::vector<std::string>{});
            }
            // And the next Add Code works as it would have before the move.
            Session later(f, moved + "App.vbp");
            AddCode(later);
            EXPECT_EQ(later.host.LastBox().substr(0, 20), "Code Processing Done") << later.host.LastBox();
        }
    EXPECT_GT(askedCount, 0);
}

// A pending copy that a run cut short left is removed at the next load, also after a move, and the
// next Add Code then instruments each module once.
TEST(MovedProject, PendingCopiesOfARunCutShortAreRemovedAfterAMove) {
    ProjectFolder f;
    WriteProject(f);
    {
        FaultyFiles crash;
        Session s(f, "App/App.vbp", false);
        s.host.files = &crash;
        crash.beforeOp = [&](long n) {
            if (crash.log.back() != "Flush " + f.path("App/modA.bas.qlt")) return;
            crash.mode = FaultyFiles::Mode::CrashAfter;
            crash.target = n;
        };
        AddCode(s);
    }
    ASSERT_TRUE(f.Exists("App/modA.bas.qlt"));
    ASSERT_EQ(::rename(f.path("App").c_str(), f.path("Renamed").c_str()), 0);
    Session s(f, "Renamed/App.vbp");
    EXPECT_TRUE(s.host.boxes.empty()) << s.host.LastBox();
    EXPECT_FALSE(f.Exists("Renamed/modA.bas.qlt"));
    AddCode(s);
    EXPECT_EQ(s.host.LastBox().substr(0, 20), "Code Processing Done") << s.host.LastBox();
    const std::string a = f.Read("Renamed/modA.bas");
    EXPECT_EQ(a.find("' traced"), a.rfind("' traced"));
}

// A copy of the folder (the original left in place) keeps the journal's trust, but it touches only
// the files inside the copy that hold what the journal recorded: a listed file outside the project
// folder, or one reached through a linked folder that leads out of the copy, is left alone. The
// original is still undone in full; a journal this user's program never wrote stays foreign.
TEST(MovedProject, ACopyTouchesOnlyItsOwnFiles) {
    ProjectFolder f;
    f.Write("App/App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; Lib\\modB.bas",
                                 "Module=modC; ..\\Common\\modC.bas", "Startup=\"(None)\""}));
    f.Write("App/modA.bas", kModA);
    f.Write("App/Lib/modB.bas", kModB);
    const std::string kModC = CrLf({"Attribute VB_Name = \"modC\"", "Public Sub Three()", "End Sub"});
    f.Write("Common/modC.bas", kModC);
    f.Snippet("PreCode", "P", "    ' traced");
    {
        Session s(f, "App/App.vbp");
        AddCode(s);
        ASSERT_TRUE(s.st.UndoAvailable);
    }
    const std::string changedA = f.Read("App/modA.bas"), changedB = f.Read("App/Lib/modB.bas"),
                      changedC = f.Read("Common/modC.bas");
    std::filesystem::copy(f.path("App"), f.path("Copy"), std::filesystem::copy_options::recursive);
    // In the copy, Lib is a link back into the original.
    std::filesystem::remove_all(f.path("Copy/Lib"));
    ASSERT_EQ(::symlink(f.path("App/Lib").c_str(), f.path("Copy/Lib").c_str()), 0);
    {
        Session copy(f, "Copy/App.vbp");
        EXPECT_TRUE(copy.host.boxes.empty()) << copy.host.LastBox();
        ASSERT_TRUE(copy.st.UndoAvailable);
        UndoLastChange(copy.st, copy.host, copy.host.Files());
        const std::string said = copy.host.LastBox();
        EXPECT_EQ(said.rfind("Last Changes Undone", 0), 0u) << said;
        EXPECT_NE(said.find(ShownName(f.path("Common/modC.bas")) +
                            ": lies outside the project folder, which was moved or copied since the change; left alone"),
                  std::string::npos)
            << said;
        EXPECT_NE(said.find("Lib/modB.bas: lies outside the project folder"), std::string::npos) << said;
        EXPECT_EQ(f.Read("Copy/modA.bas"), kModA);
    }
    EXPECT_EQ(f.Read("App/modA.bas"), changedA);
    EXPECT_EQ(f.Read("App/Lib/modB.bas"), changedB);
    EXPECT_EQ(f.Read("Common/modC.bas"), changedC);
    // Another user's program never wrote it: foreign in the copy too.
    std::filesystem::copy(f.path("App"), f.path("Copy2"), std::filesystem::copy_options::recursive);
    {
        Session other(f, "Copy2/App.vbp", true, {}, f.path("other-user/"));
        EXPECT_FALSE(other.st.UndoAvailable);
        ASSERT_FALSE(other.host.boxes.empty());
        EXPECT_NE(other.host.boxes[0].text.find("Quillet did not write it for you"), std::string::npos);
    }
    Session original(f, "App/App.vbp");
    ASSERT_TRUE(original.st.UndoAvailable);
    UndoLastChange(original.st, original.host, original.host.Files());
    EXPECT_EQ(original.host.LastBox(), "Last Changes Undone");
    EXPECT_EQ(f.Read("App/modA.bas"), kModA);
    EXPECT_EQ(f.Read("App/Lib/modB.bas"), kModB);
    EXPECT_EQ(f.Read("Common/modC.bas"), kModC);
}

// An interrupted change in a copy of the folder: Yes completes it inside the copy only (a listed
// file outside the folder keeps what it holds, and the question says why it is left alone); the
// original still asks, and No rolls it back there.
TEST(MovedProject, RecoveryInACopyTouchesOnlyItsOwnFiles) {
    ProjectFolder f;
    f.Write("App/App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; modB.bas",
                                 "Module=modC; ..\\Common\\modC.bas", "Startup=\"(None)\""}));
    f.Write("App/modA.bas", kModA);
    f.Write("App/modB.bas", kModB);
    const std::string kModC = CrLf({"Attribute VB_Name = \"modC\"", "Public Sub Three()", "End Sub"});
    f.Write("Common/modC.bas", kModC);
    f.Snippet("PreCode", "P", "    ' traced");
    {
        FaultyFiles crash;
        Session s(f, "App/App.vbp", false);
        s.host.files = &crash;
        crash.beforeOp = [&](long n) {
            if (crash.log.back() != "Exchange " + f.path("App/modA.bas")) return;
            crash.mode = FaultyFiles::Mode::CrashAfter;
            crash.target = n;
        };
        AddCode(s);
    }
    const std::string newA = f.Read("App/modA.bas");
    ASSERT_NE(newA, kModA);
    ASSERT_EQ(f.Read("App/modB.bas"), kModB);
    std::filesystem::copy(f.path("App"), f.path("Copy"), std::filesystem::copy_options::recursive);
    {
        Session copy(f, "Copy/App.vbp", true, {msgbox::kYes});
        ASSERT_GE(copy.host.boxes.size(), 2u);
        EXPECT_NE(copy.host.boxes[0].text.find("or that lie outside its folder, which was moved or copied since the "
                                               "change; they are left alone"),
                  std::string::npos)
            << copy.host.boxes[0].text;
        EXPECT_EQ(copy.host.boxes[0].text.find("modC"), std::string::npos) << copy.host.boxes[0].text;
        EXPECT_EQ(copy.host.LastBox().rfind("The interrupted change to App.vbp has now been completed:", 0), 0u)
            << copy.host.LastBox();
        EXPECT_EQ(f.Read("Copy/modA.bas"), newA);
        EXPECT_NE(f.Read("Copy/modB.bas"), kModB);
        EXPECT_EQ(f.Read("Common/modC.bas"), kModC);
        EXPECT_EQ(f.Read("App/modB.bas"), kModB);
        EXPECT_TRUE(copy.st.UndoAvailable);
    }
    Session original(f, "App/App.vbp", true, {msgbox::kNo});
    ASSERT_FALSE(original.host.boxes.empty());
    EXPECT_EQ(original.host.LastBox().rfind("The interrupted change to App.vbp has now been rolled back:", 0), 0u)
        << original.host.LastBox();
    EXPECT_EQ(f.Read("App/modA.bas"), kModA);
    EXPECT_EQ(f.Read("App/modB.bas"), kModB);
    EXPECT_EQ(f.Read("Common/modC.bas"), kModC);
    EXPECT_EQ(f.FilesEndingIn(".qlt"), std::vector<std::string>{});
}

}  // namespace
