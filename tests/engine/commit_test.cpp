#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <functional>
#include <unistd.h>

#include "engine/addcode.h"
#include "engine/commit.h"
#include "engine/journal.h"
#include "engine/linenumbers.h"
#include "tests/engine/rewrite_fixture.h"

using namespace engine;
using enginetest::FaultyFiles;
using enginetest::ProjectFolder;
using enginetest::Session;
using testsupport::CrLf;

namespace {

// A project of a start-up form, a module and a module in a sub-folder, in one line-end form.
struct Sample {
    std::string eol = "\r\n";
    bool finalEol = true;
    std::string pasted = "";  // line end of modA's second procedure, when it differs (pasted code)

    std::string Text(std::initializer_list<std::string_view> lines, const std::string& end = "") const {
        std::string s;
        std::size_t i = 0;
        for (auto l : lines) {
            s += l;
            if (++i < lines.size() || finalEol) s += end.empty() ? eol : end;
        }
        return s;
    }
    std::map<std::string, std::string> Files() const {
        return {
            {"App.vbp", Text({"Type=Exe", "Form=frmMain.frm", "Module=modA; modA.bas", "Module=modB; Sub\\modB.bas",
                              "Startup=\"frmMain\""})},
            {"frmMain.frm", Text({"VERSION 5.00", "Begin VB.Form frmMain", "End", "Attribute VB_Name = \"frmMain\"",
                                  "Private Sub Form_Initialize()", "    x = 0", "End Sub"})},
            {"modA.bas", Text({"Attribute VB_Name = \"modA\"", "Public Function GetName() As String", "    Dim s As String",
                               "    GetName = \"x\"", "End Function", ""}) +
                             Text({"Sub Two()", "    If a Then _", "        b = 1", "End Sub"}, pasted)},
            {"Sub/modB.bas", Text({"Attribute VB_Name = \"modB\"", "Public Sub Run()", "    Call GetName", "End Sub"})},
        };
    }
    void Write(const ProjectFolder& f) const {
        for (const auto& [rel, bytes] : Files()) f.Write(rel, bytes);
        f.Snippet("PreCode", "Trace", "    WriteTraceLog \"~Procedure~\", ~ProcStart~");
        f.Snippet("PostCode", "Trace", "    WriteTraceLog \"~Procedure~\", ~ProcEnd~");
    }
};

void Select(Session& s) {
    s.st.SelectedPreCode = {"Trace"};
    s.st.SelectedPostCode = {"Trace"};
}

std::map<std::string, std::string> Contents(const ProjectFolder& f, const std::map<std::string, std::string>& like) {
    std::map<std::string, std::string> now;
    for (const auto& [rel, bytes] : like) now[rel] = f.Exists(rel) ? f.Read(rel) : std::string("<missing>");
    return now;
}

TEST(Commit, BackupNames) {
    struct Case {
        const char* folder;
        const char* path;
        const char* name;
    } cases[] = {
        {"/p/", "/p/a.bas", "a.bas"},
        {"/p/", "/p/Sub/b.bas", "Sub/b.bas"},           // a listed sub-folder is mirrored
        {"/p/./", "/p/Sub/../c.bas", "c.bas"},
        {"/p/q/", "/p/x.bas", "%2E.%5Cx.bas"},          // outside: one escaped name inside Backup
        {"/p/", "/Common/x.bas", "%2E.%5CCommon%5Cx.bas"},
        {"/p/", "/p/100%.bas", "100%.bas"},
    };
    for (const Case& c : cases) EXPECT_EQ(BackupName(c.folder, c.path), c.name) << c.path;
}

TEST(Commit, FileOutsideTheProjectFolderIsBackedUpInsideBackup) {
    ProjectFolder f;
    f.Snippet("PreCode", "Trace", "' trace");
    f.Write("App/App.vbp", "Type=Exe\r\nModule=modC; ..\\Common\\modC.bas\r\nStartup=\"(None)\"\r\n");
    const std::string old = Sample().Files().at("Sub/modB.bas");
    f.Write("Common/modC.bas", old);
    Session s(f, "App/App.vbp");
    s.st.SelectedPreCode = {"Trace"};
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Code Processing Done\r\nApp.vbp: no start-up call was added: it has no start-up object");
    EXPECT_NE(f.Read("Common/modC.bas"), old);
    EXPECT_EQ(f.Read("App/Backup/%2E.%5CCommon%5CmodC.bas"), old);
    EXPECT_EQ(f.FilesEndingIn("modC.bas"), (std::vector<std::string>{"App/Backup/%2E.%5CCommon%5CmodC.bas", "Common/modC.bas"}));
}

TEST(Commit, JournalTextRoundTripsAndDamageIsRefused) {
    ChangeJournal j;
    j.project = "/p/App.vbp";
    j.backupFolder = "/p/Backup/";
    j.state = ChangeJournal::State::Committed;
    JournalEntry e;
    e.path = "/p/a\tb%.bas";
    e.pendingPath = e.path + ".qlt";
    e.backupPath = "/p/Backup/a\tb%.bas";
    e.backupTemp = e.backupPath + ".qlt";
    e.name = "a\tb%.bas";
    e.before = FingerprintOf("old");
    e.after = FingerprintOf("new");
    e.done = true;
    j.entries.push_back(e);
    const std::string text = JournalText(j);
    const std::optional<ChangeJournal> back = ParseJournal(text);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->entries.size(), 1u);
    EXPECT_EQ(back->entries[0].path, e.path);
    EXPECT_EQ(back->entries[0].after, e.after);
    EXPECT_TRUE(back->entries[0].done);
    EXPECT_FALSE(ParseJournal(text.substr(0, text.size() - 5)));  // cut short
    std::string edited = text;
    edited[edited.find("done")] = 'D';
    EXPECT_FALSE(ParseJournal(edited));
}

// The files of a project whose backup folder cannot take backups stay as they are, and the message
// says why.
TEST(Commit, BackupFolderThatCannotBeUsedChangesNothing) {
    // A disk that makes no new folder (read-only, or not ours to write).
    class NoNewFolders : public FaultyFiles {
    public:
        bool MakeFolder(const std::string&) override { return false; }
    };
    struct Case {
        const char* name;
        std::function<void(const ProjectFolder&)> setup;
        std::string why;
    } cases[] = {
        {"a file in the way", [](const ProjectFolder& f) { f.Write("Backup", "a file where the folder should be"); },
         "cannot be made: a file of that name is in the way"},
        {"a symbolic link",
         [](const ProjectFolder& f) {
             testsupport::MakeFolders(f.path("elsewhere"));
             ASSERT_EQ(::symlink(f.path("elsewhere").c_str(), f.path("Backup").c_str()), 0);
         },
         "is a symbolic link, which is not followed"},
        {"a read-only project folder", {}, "cannot be made: the project folder is read-only or may not be written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        Sample sample;
        sample.Write(f);
        if (c.setup) c.setup(f);
        NoNewFolders noNewFolders;
        Session s(f, "App.vbp");
        if (!c.setup) s.host.files = &noNewFolders;
        Select(s);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        EXPECT_EQ(s.host.LastBox(), "Nothing was changed:\r\nBackup: the backup folder " + f.path("Backup/") + " " + c.why +
                                        "; nothing was changed");
        EXPECT_EQ(Contents(f, sample.Files()), sample.Files());
        EXPECT_FALSE(s.st.UndoAvailable);
        EXPECT_FALSE(f.Exists("elsewhere/Quillet.journal"));
    }
}

// Without a proof of its journal kept in the per-user data folder a change could not be undone or
// recovered safely: it is not made, and the message says where the proof could not be kept and why.
TEST(Commit, NoProofOfTheJournalNoChange) {
    // A data folder that takes no new file (full, or read-only).
    class NoWritesBelow : public FaultyFiles {
    public:
        std::string folder;
        bool Write(const std::string& p, std::string_view d, std::uint32_t m) override {
            return p.rfind(folder, 0) == 0 ? false : FaultyFiles::Write(p, d, m);
        }
    };
    struct Case {
        const char* name;
        std::function<void(const ProjectFolder&)> setup;
        std::function<std::string(const ProjectFolder&)> why;
    } cases[] = {
        {"a file where the folder of the proofs goes",
         [](const ProjectFolder& f) { f.Write("data/Changes", "a file in the way"); },
         [](const ProjectFolder& f) {
             const std::string c = f.DataFolder() + "Changes";
             return "Quillet cannot keep the proof of its change journal safely: " + c +
                    " is not a folder; move it out of the way (for example: mv " + c + " " + c +
                    ".old) and Quillet makes a new one (the changes recorded in the old one can then no longer be "
                    "undone)";
         }},
        {"a folder where the proof goes",
         [](const ProjectFolder& f) {
             testsupport::MakeFolders(f.path("data/Changes/" + HexOf(Sha256(f.path("Backup/"))).substr(0, 32) + ".proof"));
         },
         [](const ProjectFolder& f) {
             const std::string p = f.DataFolder() + "Changes/" + HexOf(Sha256(f.path("Backup/"))).substr(0, 32) + ".proof";
             return "Quillet cannot keep the proof of its change journal safely: " + p +
                    " is not a regular file; move it out of the way (for example: mv " + p + " " + p +
                    ".old) and Quillet makes a new one (the changes recorded in the old one can then no longer be "
                    "undone)";
         }},
        {"a data folder that takes no file", {},
         [](const ProjectFolder& f) {
             return "the proof of the change journal cannot be kept in the per-user data folder " + f.DataFolder();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        Sample sample;
        sample.Write(f);
        if (c.setup) c.setup(f);
        NoWritesBelow noWrites;
        noWrites.folder = f.DataFolder();
        Session s(f, "App.vbp");
        if (!c.setup) s.host.files = &noWrites;
        Select(s);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        EXPECT_EQ(s.host.LastBox(), "Nothing was changed:\r\nBackup: " + c.why(f) + "; nothing was changed");
        EXPECT_EQ(Contents(f, sample.Files()), sample.Files());
        EXPECT_FALSE(f.Exists("Backup"));
        EXPECT_FALSE(s.st.UndoAvailable);
    }
}

TEST(Commit, UndoRestoresExactlyTheLastCommitAndLeavesEditedFilesAlone) {
    ProjectFolder f;
    Sample sample;
    sample.Write(f);
    const auto original = sample.Files();
    Session s(f, "App.vbp");
    Select(s);
    s.Check("App.vbp_Sub\\modB.bas", false);
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    ASSERT_TRUE(s.st.UndoAvailable);
    f.Write("Backup/stale.bas", "a backup of an older commit");
    const std::string edited = f.Read("frmMain.frm") + "' edited since\r\n";
    f.Write("frmMain.frm", edited);

    UndoLastChange(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Last Changes Undone\r\nfrmMain.frm: has changed since the last change; left as it is");
    EXPECT_EQ(s.host.beeps, 1);
    EXPECT_EQ(f.Read("modA.bas"), original.at("modA.bas"));
    EXPECT_EQ(f.Read("App.vbp"), original.at("App.vbp"));
    EXPECT_EQ(f.Read("Sub/modB.bas"), original.at("Sub/modB.bas"));
    EXPECT_EQ(f.Read("frmMain.frm"), edited);
    EXPECT_FALSE(f.Exists("Backup/modA.bas"));  // moved back
    EXPECT_TRUE(f.Exists("Backup/frmMain.frm"));
    EXPECT_FALSE(s.st.UndoAvailable);

    UndoLastChange(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "There is no change to undo");
    EXPECT_EQ(f.Read("Backup/stale.bas"), "a backup of an older commit");
}

TEST(Commit, UndoNeedsTheJournalOfTheLoadedProject) {
    ProjectFolder f;
    Sample sample;
    sample.Write(f);
    f.Write("Other.vbp", sample.Files().at("App.vbp"));
    // Backups without a journal (an older program, a cancelled run) are not undoable.
    f.Write("Backup/modA.bas", "stale");
    {
        Session s(f, "App.vbp");
        EXPECT_FALSE(s.st.UndoAvailable);
        Select(s);
        s.host.cancelOnStatus = "Processing Module - ";  // at the first file
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        s.host.cancelOnStatus.clear();
        EXPECT_EQ(s.host.LastBox(), "Code Processing Canceled");
        EXPECT_FALSE(s.st.UndoAvailable);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        EXPECT_TRUE(s.st.UndoAvailable);
    }
    // The journal lasts from one session to the next, for its own project only.
    EXPECT_TRUE(Session(f, "App.vbp").st.UndoAvailable);
    Session other(f, "Other.vbp");
    EXPECT_FALSE(other.st.UndoAvailable);
    UndoLastChange(other.st, other.host, other.host.Files());
    EXPECT_EQ(other.host.LastBox(), "There is no change to undo");
    EXPECT_NE(f.Read("modA.bas"), sample.Files().at("modA.bas"));
}

// Add Code then Undo, numbering then Undo, numbering then removal: the original bytes come back,
// for CR LF and LF files, with and without a final line end.
TEST(Commit, RoundTripsGiveBackTheOriginalBytes) {
    enum Kind { AddThenUndo, NumberThenUndo, NumberThenRemove };
    struct Form {
        const char* name;
        const char* eol;
        const char* pasted;
    } forms[] = {
        {"CR LF", "\r\n", ""},
        {"LF", "\n", ""},
        {"CR", "\r", ""},
        {"CR LF with a procedure pasted with LF", "\r\n", "\n"},
        {"LF with a procedure pasted with CR LF", "\n", "\r\n"},
    };
    for (const Form& form : forms)
        for (bool finalEol : {true, false})
            for (Kind kind : {AddThenUndo, NumberThenUndo, NumberThenRemove}) {
                SCOPED_TRACE(std::string(form.name) + (finalEol ? " final" : " none") + " " + std::to_string(kind));
                ProjectFolder f;
                Sample sample{form.eol, finalEol, form.pasted};
                sample.Write(f);
                Session s(f, "App.vbp");
                ASSERT_TRUE(s.loaded);
                if (kind == AddThenUndo) {
                    Select(s);
                    cmdAddCode_Click(s.st, s.host, s.host.Files());
                    ASSERT_EQ(s.host.LastBox(), "Code Processing Done");
                } else {
                    s.st.LineIncrement = 10;
                    rtnAddLineNumbers(s.st, s.host, s.host.Files());
                    ASSERT_EQ(s.host.LastBox(), "Line Numbers Added / Renumbered");
                }
                EXPECT_NE(f.Read("modA.bas"), sample.Files().at("modA.bas"));
                // Both procedures of modA were found and rewritten, whatever their line ends.
                const std::string rewritten = f.Read("modA.bas");
                if (kind == AddThenUndo) {
                    EXPECT_NE(rewritten.find("WriteTraceLog \"Two\", 2"), std::string::npos);
                } else {
                    const std::size_t two = rewritten.find("Sub Two()");
                    ASSERT_NE(two, std::string::npos);
                    const std::size_t next = rewritten.find_first_not_of("\r\n", two + 9);
                    EXPECT_EQ(rewritten.substr(next, 12), "000020     I");
                }
                if (kind == NumberThenRemove) {
                    rtnRemoveLineNumbers(s.st, s.host, s.host.Files());
                    EXPECT_EQ(s.host.LastBox(), "Line Numbers Removed");
                } else {
                    UndoLastChange(s.st, s.host, s.host.Files());
                    EXPECT_EQ(s.host.LastBox(), "Last Changes Undone");
                }
                EXPECT_EQ(Contents(f, sample.Files()), sample.Files());
                EXPECT_EQ(f.FilesEndingIn(".qlt"), std::vector<std::string>{});
            }
}

// ---- faults ------------------------------------------------------------------------------------

// Snippet files are ours, not the user's: their reads are left out of the faults.
class ProjectFaults : public FaultyFiles {
public:
    std::string skip;  // a folder whose operations are passed straight through
    bool Stat(const std::string& p, FileStat& out) override {
        return Skipped(p) ? SystemFileOps().Stat(p, out) : FaultyFiles::Stat(p, out);
    }
    bool Read(const std::string& p, std::string& out) override {
        return Skipped(p) ? SystemFileOps().Read(p, out) : FaultyFiles::Read(p, out);
    }
    bool Write(const std::string& p, std::string_view d, std::uint32_t m) override {
        return Skipped(p) ? SystemFileOps().Write(p, d, m) : FaultyFiles::Write(p, d, m);
    }

private:
    bool Skipped(const std::string& p) const { return !skip.empty() && p.compare(0, skip.size(), skip) == 0; }
};

// Every source exists and holds its old or its new content in full, and its old content is in
// the source or in the backup folder.
void ExpectSafe(const ProjectFolder& f, const std::map<std::string, std::string>& before,
                const std::map<std::string, std::string>& after, const std::string& where) {
    for (const auto& [rel, old] : before) {
        SCOPED_TRACE(where + " " + rel);
        ASSERT_TRUE(f.Exists(rel));
        const std::string now = f.Read(rel);
        EXPECT_TRUE(now == old || now == after.at(rel));
        EXPECT_TRUE(now == old || f.BackupHolds(old));
    }
}

// Calls check(mode, n, where) with each operation n failing, then with a crash after each.
template <class Check>
void ForEachFault(long operations, Check check) {
    for (FaultyFiles::Mode mode : {FaultyFiles::Mode::Fail, FaultyFiles::Mode::CrashAfter})
        for (long n = 1; n <= operations; ++n)
            check(mode, n, std::string(mode == FaultyFiles::Mode::Fail ? "fail " : "crash after ") + std::to_string(n));
}

// The contents that a run without faults gives.
template <class Run>
std::map<std::string, std::string> CleanRun(const Sample& sample, Run run, long& operations) {
    ProjectFolder f;
    sample.Write(f);
    ProjectFaults counter;
    counter.skip = f.DataFolder();
    Session s(f, "App.vbp", false);
    s.host.files = &counter;
    run(s);
    operations = counter.count;
    return Contents(f, sample.Files());
}

// Each fault, followed by the next load with each answer to its question about the interrupted
// change: completing it (Yes) and then undoing it, or rolling it back (No), gives back every old file.
template <class Run>
void InjectFaults(const Sample& sample, Run run, const std::string& okText) {
    long operations = 0;
    const auto before = sample.Files();
    const auto after = CleanRun(sample, run, operations);
    ASSERT_GT(operations, 20);
    ASSERT_NE(after, before);
    ForEachFault(operations, [&](FaultyFiles::Mode mode, long n, const std::string& where) {
        bool asked = true;
        for (const int answer : {msgbox::kYes, msgbox::kNo}) {
            if (!asked) break;  // no interrupted change to roll back: the second run would be the first
            const std::string at = where + (answer == msgbox::kYes ? ", completed" : ", rolled back");
            ProjectFolder f;
            sample.Write(f);
            ProjectFaults faults;
            faults.skip = f.DataFolder();
            std::string reported;
            {
                Session s(f, "App.vbp", false);
                s.host.files = &faults;
                faults.Arm(mode, n);
                run(s);
                reported = s.host.LastBox();
            }
            const std::string failedOp = n <= static_cast<long>(faults.log.size()) ? faults.log[n - 1] : "";
            ExpectSafe(f, before, after, at + " (" + failedOp + ")");
            // A failure is never reported as success.
            if (mode == FaultyFiles::Mode::Fail && Contents(f, before) != after) {
                EXPECT_NE(reported, okText) << at << " (" << failedOp << ")";
            }

            Session next(f, "App.vbp", true, {answer});
            asked = !next.host.boxes.empty() && (next.host.boxes.front().style & msgbox::kYesNoCancel) == msgbox::kYesNoCancel;
            ExpectSafe(f, before, after, at + " after the next load");
            if (next.st.UndoAvailable) UndoLastChange(next.st, next.host, next.host.Files());
            EXPECT_EQ(Contents(f, before), before) << at << " (" << failedOp << ")";
            // No pending copy of the run is left behind, whatever became of it.
            EXPECT_EQ(f.FilesEndingIn(".qlt"), std::vector<std::string>{}) << at << " (" << failedOp << ")";
        }
    });
}

TEST(CommitFaults, EveryOperationOfAddCodeFailingOrCrashing) {
    InjectFaults(Sample{}, [](Session& s) {
        Select(s);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
    }, "Code Processing Done");
}

TEST(CommitFaults, EveryOperationOfLineNumberingFailingOrCrashing) {
    // Numbered per file, so that a file left out does not move the numbers of the others.
    InjectFaults(Sample{"\n", false}, [](Session& s) {
        s.st.LineIncrement = 10;
        s.st.ResequenceIndex = 1;
        rtnAddLineNumbers(s.st, s.host, s.host.Files());
    }, "Line Numbers Added / Renumbered");
}

TEST(CommitFaults, EveryOperationOfUndoFailingOrCrashing) {
    Sample sample;
    const auto original = sample.Files();
    long operations = 0;
    std::map<std::string, std::string> committed;
    {
        ProjectFolder f;
        sample.Write(f);
        Session s(f, "App.vbp");
        Select(s);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        committed = Contents(f, original);
        FaultyFiles counter;
        s.host.files = &counter;
        s.host.state = nullptr;
        UndoLastChange(s.st, s.host, s.host.Files());
        operations = counter.count;
        ASSERT_EQ(Contents(f, original), original);
    }
    ForEachFault(operations, [&](FaultyFiles::Mode mode, long n, const std::string& where) {
        ProjectFolder f;
        sample.Write(f);
        std::string reported;
        {
            Session s(f, "App.vbp", false);
            Select(s);
            cmdAddCode_Click(s.st, s.host, s.host.Files());
            ASSERT_EQ(Contents(f, original), committed);
            FaultyFiles faults;
            s.host.files = &faults;
            faults.Arm(mode, n);
            UndoLastChange(s.st, s.host, s.host.Files());
            reported = s.host.LastBox();
        }
        // Here the committed content is the "old" one and the original the "new" one, and
        // both must be safe: the original in the file or in the backup folder.
        ExpectSafe(f, original, committed, where);
        if (mode == FaultyFiles::Mode::Fail && Contents(f, original) != original) {
            EXPECT_NE(reported, "Last Changes Undone") << where;
        }
        Session next(f, "App.vbp", true, {msgbox::kYes});
        ExpectSafe(f, original, committed, where + " after the next load");
        if (next.st.UndoAvailable) UndoLastChange(next.st, next.host, next.host.Files());
        for (const auto& [rel, bytes] : original) {
            const std::string now = f.Read(rel);
            EXPECT_TRUE(now == bytes || (now == committed.at(rel) && f.BackupHolds(bytes))) << where << " " << rel;
        }
    });
}

}  // namespace

namespace {

// Every file and folder below `folder` (relative names; folders end in "/"), with the files' bytes.
std::map<std::string, std::string> Tree(const std::string& folder) {
    std::map<std::string, std::string> out;
    if (!std::filesystem::is_directory(folder)) return out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string rel = e.path().string().substr(folder.size());
        if (e.is_directory()) out[rel + "/"] = "";
        else out[rel] = testsupport::ReadBytes(e.path().string());
    }
    return out;
}

// Real projects ship a Backup folder that already holds files (old copies of forms, the project
// file, notes). No commit overwrites, moves or removes any of them, whatever the letter case of the
// folder and of their names; its backups take free names; and undo takes back exactly what the
// commit put there (its backups, the copy of the project or group file, the folders it made), so
// the folder is as it was before.
TEST(Commit, FilesAlreadyInTheBackupFolderAreNeverLost) {
    const std::map<std::string, std::string> shipped = {
        {"modA.bas", "an old copy of modA, kept by hand"},
        {"FRMMAIN.FRM", "an old form, in capitals"},
        {"Sub/modB.bas", "an old modB"},
        {"App.vbp", "an old project file"},
        {"All.vbg", "an old group file"},
        {"modA.bas.qlt", "notes"},
        {"modA (2).bas", "a copy with a number"},
    };
    enum Command { AddCode, Number };
    struct Case {
        const char* name;
        const char* project;
        const char* folder;  // the backup folder's name on disk; "" for none before the commit
        bool shippedFiles;
        Command command;
    } cases[] = {
        {"no backup folder", "App.vbp", "", false, AddCode},
        {"a backup folder with files", "App.vbp", "Backup", true, AddCode},
        {"a lower-case backup folder with files", "App.vbp", "backup", true, AddCode},
        {"numbering into a backup folder with files", "App.vbp", "Backup", true, Number},
        {"a group without a backup folder", "All.vbg", "", false, AddCode},
        {"a group with a backup folder with files", "All.vbg", "Backup", true, AddCode},
        {"numbering a group", "All.vbg", "backup", true, Number},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        Sample sample;
        sample.Write(f);
        f.Write("All.vbg", CrLf({"VBGROUP 5.0", "StartupProject=App.vbp"}));
        if (*c.folder) testsupport::MakeFolders(f.path(c.folder));
        if (c.shippedFiles)
            for (const auto& [name, bytes] : shipped) f.Write(std::string(c.folder) + "/" + name, bytes);
        const std::string backup = f.path(*c.folder ? c.folder : "Backup") + "/";
        const auto before = Tree(backup);
        const auto sources = Contents(f, sample.Files());

        Session s(f, c.project);
        ASSERT_TRUE(s.loaded);
        if (c.command == AddCode) {
            Select(s);
            cmdAddCode_Click(s.st, s.host, s.host.Files());
            ASSERT_EQ(s.host.LastBox().substr(0, 20), "Code Processing Done");
        } else {
            rtnAddLineNumbers(s.st, s.host, s.host.Files());
            ASSERT_EQ(s.host.LastBox(), "Line Numbers Added / Renumbered");
        }
        EXPECT_NE(Contents(f, sample.Files()), sources);
        // Nothing of what was there changed, and no second backup folder was made.
        const auto committed = Tree(backup);
        for (const auto& [name, bytes] : before) {
            ASSERT_TRUE(committed.count(name)) << name;
            EXPECT_EQ(committed.at(name), bytes) << name;
        }
        if (std::string(c.folder) == "backup") {
            EXPECT_FALSE(f.Exists("Backup"));
        }
        // Each replaced file's old content is in a backup of its own.
        for (const auto& [rel, old] : sources) {
            if (f.Read(rel) == old) continue;
            EXPECT_TRUE(std::any_of(committed.begin(), committed.end(), [&](const auto& e) {
                return !before.count(e.first) && e.second == old;
            })) << rel;
        }
        // The opened file is kept in the backup folder too, beside the old copy of the same name.
        const std::string kept = platform::NameOf(s.st.ProjectPath);
        EXPECT_TRUE(std::any_of(committed.begin(), committed.end(), [&](const auto& e) {
            return !before.count(e.first) && e.first.rfind(kept.substr(0, kept.size() - 4), 0) == 0 &&
                   e.second == (kept == "All.vbg" ? f.Read("All.vbg") : sources.at("App.vbp"));
        })) << kept;

        UndoLastChange(s.st, s.host, s.host.Files());
        EXPECT_EQ(s.host.LastBox(), "Last Changes Undone");
        EXPECT_EQ(Contents(f, sample.Files()), sources);
        EXPECT_EQ(Tree(backup), before);
        EXPECT_EQ(f.Exists(*c.folder ? c.folder : "Backup"), *c.folder != 0);
    }
}

// A pending copy that a cancelled run could not remove is still known as ours by its marker: the
// next run of the session removes it and rewrites the file, rather than taking it for someone else's.
TEST(Commit, APendingCopyACancelledRunLeftIsTakenBackByTheNextRun) {
    class KeepOne : public FaultyFiles {
    public:
        std::string keep;
        bool Remove(const std::string& p) override { return p == keep ? false : FaultyFiles::Remove(p); }
    };
    ProjectFolder f;
    Sample sample;
    sample.Write(f);
    KeepOne files;
    files.keep = f.path("modA.bas.qlt");
    Session s(f, "App.vbp", false);
    s.host.files = &files;
    Select(s);
    s.host.cancelOnStatus = "Processing Form - ";  // after modA's pending copy was written
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    s.host.cancelOnStatus.clear();
    ASSERT_EQ(s.host.LastBox(), "Code Processing Canceled");
    ASSERT_TRUE(f.Exists("modA.bas.qlt"));
    files.keep.clear();
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Code Processing Done");
    EXPECT_NE(f.Read("modA.bas"), sample.Files().at("modA.bas"));
    EXPECT_EQ(f.FilesEndingIn(".qlt"), std::vector<std::string>{});
}

// What a run leaves alone is said as it is, and a run that changed nothing says so first.
TEST(Commit, WhatIsLeftAloneIsSaidAsItIs) {
    struct Case {
        const char* name;
        std::function<void(const ProjectFolder&)> afterLoad;
        std::string first;  // the first line
        std::string line;   // a line that must follow
    } cases[] = {
        {"a symbolic link",
         [](const ProjectFolder& f) {
             f.Write("elsewhere/modA.bas", f.Read("modA.bas"));
             ASSERT_EQ(::unlink(f.path("modA.bas").c_str()), 0);
             ASSERT_EQ(::symlink(f.path("elsewhere/modA.bas").c_str(), f.path("modA.bas").c_str()), 0);
         },
         "Code Processing Done", "modA.bas: is a symbolic link; left as it is"},
        {"a FIFO",
         [](const ProjectFolder& f) {
             ASSERT_EQ(::unlink(f.path("modA.bas").c_str()), 0);
             ASSERT_EQ(::mkfifo(f.path("modA.bas").c_str(), 0644), 0);
         },
         "Code Processing Done", "modA.bas: is a FIFO; left as it is"},
        {"a read-only working copy",
         [](const ProjectFolder& f) {
             for (const char* n : {"App.vbp", "frmMain.frm", "modA.bas", "Sub/modB.bas"})
                 ASSERT_EQ(::chmod(f.path(n).c_str(), 0444), 0);
         },
         "Nothing was changed:", "modA.bas: is read-only; left as it is"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        Sample().Write(f);
        Session s(f, "App.vbp");
        ASSERT_TRUE(s.loaded);
        c.afterLoad(f);
        Select(s);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        const std::string said = s.host.LastBox();
        EXPECT_EQ(said.substr(0, said.find("\r\n")), c.first) << said;
        EXPECT_NE(said.find("\r\n" + c.line), std::string::npos) << said;
    }
}

// The journal names the project by its absolute path, so undo works however the path was typed.
TEST(Commit, UndoWorksHoweverThePathIsTyped) {
    ProjectFolder f;
    Sample sample;
    sample.Write(f);
    char* cwd = ::getcwd(nullptr, 0);
    const std::string here = cwd;
    std::free(cwd);
    ASSERT_EQ(::chdir(f.path("Sub").c_str()), 0);
    {
        Session s(f, "App.vbp");
        s.st.txtProject = "../Sub/.././App.vbp";
        ASSERT_TRUE(engine::LoadProject(s.st, s.host, s.host, false));
        EXPECT_EQ(s.st.ProjectPath, f.path("App.vbp"));
        Select(s);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        EXPECT_TRUE(s.st.UndoAvailable);
    }
    ASSERT_EQ(::chdir(here.c_str()), 0);
    Session other(f, "App.vbp");
    other.st.txtProject = f.path("") + "/./App.vbp";
    ASSERT_TRUE(engine::LoadProject(other.st, other.host, other.host, false));
    ASSERT_TRUE(other.st.UndoAvailable);
    UndoLastChange(other.st, other.host, other.host.Files());
    EXPECT_EQ(other.host.LastBox(), "Last Changes Undone");
    EXPECT_EQ(Contents(f, sample.Files()), sample.Files());
}

}  // namespace

namespace {

// Another program saves modA.bas while the commit replaces it, in place (writing into the file it
// has open) or by renaming a new file over it: its version stays in the file, or the closing message
// says where it is. Never is it silently lost.
TEST(CommitWindow, ASaveByAnotherProgramIsKeptOrReported) {
    enum Moment { BeforeTheCheck, BetweenTheCheckAndTheSwap, JustAfterTheSwap, AfterTheOldVersionIsDropped };
    enum How { InPlace, ByRename };
    const std::string kept = "was saved by another program during the change; it keeps that version and was not rewritten";
    struct Case {
        const char* name;
        Moment moment;
        How how;
        bool fileHoldsTheSave;  // else the file holds the rewrite and the save is in the backup
        std::string message;    // the line about modA.bas
    } cases[] = {
        {"in place before the check", BeforeTheCheck, InPlace, true, kept},
        {"by rename before the check", BeforeTheCheck, ByRename, true, kept},
        {"in place between the check and the swap", BetweenTheCheckAndTheSwap, InPlace, true, kept},
        {"by rename between the check and the swap", BetweenTheCheckAndTheSwap, ByRename, true, kept},
        {"into the old file just after the swap", JustAfterTheSwap, InPlace, true, kept},
        {"by rename just after the swap", JustAfterTheSwap, ByRename, true,
         "was saved by another program just after it was rewritten; it holds that version"},
        {"into the old file after it was dropped", AfterTheOldVersionIsDropped, InPlace, false,
         "was saved by another program while it was being replaced; that version is in "},
    };
    Sample sample;
    const auto run = [](Session& s) {
        Select(s);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
    };
    // Where the operations on modA.bas fall.
    long exchange = 0, drop = 0;
    {
        ProjectFolder f;
        sample.Write(f);
        FaultyFiles counter;
        Session s(f, "App.vbp", false);
        s.host.files = &counter;
        run(s);
        for (std::size_t i = 0; i < counter.log.size(); ++i) {
            if (counter.log[i] == "Exchange " + f.path("modA.bas")) exchange = static_cast<long>(i) + 1;
            if (exchange && !drop && counter.log[i] == "Remove " + f.path("modA.bas.qlt")) drop = static_cast<long>(i) + 1;
        }
        ASSERT_GT(exchange, 2);
        ASSERT_EQ(counter.log[exchange - 3], "Stat " + f.path("modA.bas"));  // the check just before
        ASSERT_GT(drop, exchange);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        sample.Write(f);
        const std::string file = f.path("modA.bas");
        const long at = c.moment == BeforeTheCheck ? exchange - 2
                        : c.moment == BetweenTheCheckAndTheSwap ? exchange
                        : c.moment == JustAfterTheSwap ? exchange + 1
                                                        : drop + 1;
        // In place: into the file that program has open, which is the old one once it is swapped.
        const std::string target = c.how == ByRename || c.moment < JustAfterTheSwap ? file
                                   : c.moment == JustAfterTheSwap ? file + ".qlt"
                                                                  : f.path("Backup/modA.bas");
        FaultyFiles files;
        files.beforeOp = [&](long n) {
            if (n != at) return;
            if (c.how == InPlace) {
                const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC);
                ASSERT_GE(fd, 0) << target;
                ASSERT_EQ(::write(fd, "saved", 5), 5);
                ::close(fd);
            } else {
                testsupport::WriteBytes(file + ".saving", "saved");
                ASSERT_EQ(::rename((file + ".saving").c_str(), file.c_str()), 0);
            }
        };
        Session s(f, "App.vbp", false);
        s.host.files = &files;
        run(s);
        const std::string said = s.host.LastBox();
        EXPECT_NE(said.find("modA.bas: " + c.message), std::string::npos) << said;
        if (c.fileHoldsTheSave) {
            EXPECT_EQ(f.Read("modA.bas"), "saved");
        } else {
            EXPECT_NE(f.Read("modA.bas").find("WriteTraceLog"), std::string::npos);
            EXPECT_EQ(f.Read("Backup/modA.bas"), "saved");
        }
        // The other files took their rewrite; no pending copy is left.
        EXPECT_NE(f.Read("Sub/modB.bas"), sample.Files().at("Sub/modB.bas"));
        EXPECT_EQ(f.FilesEndingIn(".qlt"), std::vector<std::string>{});
    }
}

}  // namespace

namespace {

// ---- a failed undo stays undoable -------------------------------------------------------------

// Undo that cannot give one file its old version (the file is read-only, or its folder may not be
// written) takes back the rest, keeps that file in the journal, and says which file it is, where
// its old version is and that Undo can be run again; once the file can be written, a second Undo
// restores it byte for byte and takes back what the change put in the backup folder.
TEST(Undo, AnUndoThatFailsOnOneFileCanBeRunAgain) {
    // A folder that takes no new name for modA.bas, as a folder that may not be written.
    class Blocked : public FaultyFiles {
    public:
        std::string target;
        bool Rename(const std::string& from, const std::string& to) override {
            return !target.empty() && to == target ? false : FaultyFiles::Rename(from, to);
        }
        bool LinkOrCopy(const std::string& from, const std::string& to) override {
            return !target.empty() && to == target + ".qlt" ? false : FaultyFiles::LinkOrCopy(from, to);
        }
    };
    struct Case {
        const char* name;
        std::function<void(const ProjectFolder&, Blocked&)> block, unblock;
        std::string why;
    } cases[] = {
        {"a read-only file",
         [](const ProjectFolder& f, Blocked&) { ASSERT_EQ(::chmod(f.path("modA.bas").c_str(), 0444), 0); },
         [](const ProjectFolder& f, Blocked&) { ASSERT_EQ(::chmod(f.path("modA.bas").c_str(), 0644), 0); },
         "is read-only (make it writable first)"},
        {"a folder that may not be written",
         [](const ProjectFolder& f, Blocked& b) { b.target = f.path("modA.bas"); },
         [](const ProjectFolder&, Blocked& b) { b.target.clear(); }, "could not be given its old version back now"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        Sample sample;
        sample.Write(f);
        const auto original = sample.Files();
        Blocked files;
        Session s(f, "App.vbp", true, {}, "", &files);
        Select(s);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        const auto committed = Contents(f, original);
        ASSERT_NE(committed.at("modA.bas"), original.at("modA.bas"));

        c.block(f, files);
        UndoLastChange(s.st, s.host, s.host.Files());
        EXPECT_EQ(s.host.LastBox(), "Last Changes Undone\r\nmodA.bas: " + c.why +
                                        ", so it keeps its new content; its old version is kept in Backup/modA.bas, "
                                        "and Undo can be run again to restore it");
        EXPECT_EQ(f.Read("modA.bas"), committed.at("modA.bas"));
        for (const char* other : {"App.vbp", "frmMain.frm", "Sub/modB.bas"}) EXPECT_EQ(f.Read(other), original.at(other));
        EXPECT_EQ(f.Read("Backup/modA.bas"), original.at("modA.bas"));
        EXPECT_TRUE(s.st.UndoAvailable);

        // Later, in the next session too.
        c.unblock(f, files);
        Session next(f, "App.vbp", true, {}, "", &files);
        EXPECT_TRUE(next.host.boxes.empty()) << next.host.LastBox();
        ASSERT_TRUE(next.st.UndoAvailable);
        UndoLastChange(next.st, next.host, next.host.Files());
        EXPECT_EQ(next.host.LastBox(), "Last Changes Undone");
        EXPECT_EQ(Contents(f, original), original);
        EXPECT_FALSE(f.Exists("Backup"));
        EXPECT_FALSE(next.st.UndoAvailable);
        UndoLastChange(next.st, next.host, next.host.Files());
        EXPECT_EQ(next.host.LastBox(), "There is no change to undo");
    }
}

// ---- one generation of backups --------------------------------------------------------------

// The names in the backup folder, with the files' bytes (the journal left out).
std::map<std::string, std::string> BackupFiles(const ProjectFolder& f) {
    std::map<std::string, std::string> out;
    const std::string backup = f.path("Backup/");
    if (!std::filesystem::is_directory(backup)) return out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(backup))
        if (e.is_regular_file() && e.path().filename() != "Quillet.journal")
            out[e.path().string().substr(backup.size())] = testsupport::ReadBytes(e.path().string());
    return out;
}

// Three rewrites in a row (and a fourth after an undo) into a backup folder that already holds the
// user's own files: each run's backups replace those of the run before (one generation, whatever
// the ticks of each run), so the folder does not grow; the user's files are never overwritten,
// moved or removed, and a name they take still gets a free one; undo gives back the state before
// the last run, byte for byte.
TEST(Backup, ThreeRewritesInARowKeepOneGenerationAndTheUsersFiles) {
    const std::map<std::string, std::string> users = {
        {"modA.bas", "the user's own copy of modA"}, {"Sub/modB.bas", "the user's modB"}, {"notes.txt", "notes"}};
    enum Command { AddAll, AddModA, AddModB, Number };
    struct Case {
        const char* name;
        std::vector<Command> runs;  // three runs, then one after the undo
    } cases[] = {
        {"Add Code three times", {AddAll, AddAll, AddAll, AddAll}},
        {"numbering three times", {Number, Number, Number, Number}},
        {"Add Code on other files each time", {AddModA, AddModB, AddModA, AddModB}},
        {"Add Code, numbering, Add Code", {AddAll, Number, AddModB, Number}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        Sample sample;
        sample.Write(f);
        for (const auto& [name, bytes] : users) f.Write("Backup/" + name, bytes);
        Session s(f, "App.vbp");
        int increment = 0;
        std::map<std::string, std::string> beforeLast, namesAfter[4];
        for (std::size_t r = 0; r < c.runs.size(); ++r) {
            SCOPED_TRACE("run " + std::to_string(r + 1));
            if (r == 3) {
                UndoLastChange(s.st, s.host, s.host.Files());
                EXPECT_EQ(s.host.LastBox(), "Last Changes Undone");
                EXPECT_EQ(Contents(f, sample.Files()), beforeLast);
            }
            const auto before = Contents(f, sample.Files());
            if (c.runs[r] == Number) {
                s.st.LineIncrement = static_cast<std::int16_t>(increment += 10);
                rtnAddLineNumbers(s.st, s.host, s.host.Files());
                EXPECT_EQ(s.host.LastBox(), "Line Numbers Added / Renumbered");
            } else {
                Select(s);
                if (c.runs[r] != AddAll)
                    s.Check(c.runs[r] == AddModA ? "App.vbp_Sub\\modB.bas" : "App.vbp_modA.bas", false);
                cmdAddCode_Click(s.st, s.host, s.host.Files());
                EXPECT_EQ(s.host.LastBox(), "Code Processing Done");
            }
            const auto after = Contents(f, sample.Files());
            const auto backup = BackupFiles(f);
            for (const auto& [name, bytes] : users) EXPECT_EQ(backup.count(name) ? backup.at(name) : "<gone>", bytes) << name;
            // Each file this run changed has its content of just before the run in a backup.
            for (const auto& [rel, old] : before) {
                if (after.at(rel) != old) {
                    EXPECT_TRUE(f.BackupHolds(old)) << rel;
                }
            }
            EXPECT_LE(backup.size(), users.size() + sample.Files().size());
            for (const auto& [name, bytes] : backup) EXPECT_EQ(name.find("(3)"), std::string::npos) << name;
            namesAfter[r] = backup;
            if (r == 2) beforeLast = before;
        }
        // From the second run on, no new name: the backups of the run before were replaced.
        const auto names = [](const std::map<std::string, std::string>& m) {
            std::set<std::string> out;
            for (const auto& [name, bytes] : m) out.insert(name);
            return out;
        };
        EXPECT_EQ(names(namesAfter[2]), names(namesAfter[1]));
        for (const std::string& n : names(namesAfter[3])) EXPECT_TRUE(names(namesAfter[2]).count(n)) << n;
        // The user's names were taken: ours got free ones, the same in every run.
        EXPECT_TRUE(namesAfter[2].count("modA (2).bas"));
        EXPECT_TRUE(namesAfter[2].count("Sub/modB (2).bas"));
    }
}

// ---- limits and true messages ---------------------------------------------------------------

// A rewrite whose result the loader would refuse (larger than it reads) is refused before anything
// is written, naming the file and the limit; the other files are rewritten.
TEST(Limits, ARewriteLargerThanTheLoaderReadsIsRefused) {
    ProjectFolder f;
    std::vector<std::string> lines = {"Attribute VB_Name = \"modA\""};
    for (int i = 0; i < 70; ++i) {
        lines.push_back("Public Sub P" + std::to_string(i) + "()");
        lines.push_back("End Sub");
    }
    std::string modA;
    for (const std::string& l : lines) modA += l + "\r\n";
    f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; modB.bas", "Startup=\"(None)\""}));
    f.Write("modA.bas", modA);
    const std::string modB = CrLf({"Attribute VB_Name = \"modB\"", "Public Sub Q()", "End Sub"});
    f.Write("modB.bas", modB);
    f.Snippet("PreCode", "Big", std::string(1 << 20, '\''));  // a 1 MB comment
    Session s(f, "App.vbp");
    s.st.SelectedPreCode = {"Big"};
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    EXPECT_NE(s.host.LastBox().find("\r\nmodA.bas: its rewritten version would be larger than 64 MB, the largest file "
                                    "Quillet reads, so the project could not be loaded again; left as it is"),
              std::string::npos)
        << s.host.LastBox().substr(0, 400);
    EXPECT_EQ(f.Read("modA.bas"), modA);
    EXPECT_FALSE(f.Exists("modA.bas.qlt"));
    EXPECT_NE(f.Read("modB.bas"), modB);
    Session again(f, "App.vbp");
    EXPECT_TRUE(again.loaded);
}

// Names the system cannot hold: a rewritten copy whose name would be too long is refused with a
// message that says so; a backup name that would be too long (a file far outside the project
// folder) is shortened, and undo brings the file back.
TEST(Limits, NamesLongerThanTheSystemAllows) {
    ProjectFolder f;
    const std::string longName = std::string(251, 'm') + ".bas";  // 255 bytes: the longest there is
    std::string deep = "Common/";
    for (int i = 0; i < 5; ++i) deep += std::string(60, char('a' + i)) + "/";
    const std::string module = CrLf({"Attribute VB_Name = \"m\"", "Public Sub One()", "End Sub"});
    f.Write("P/App.vbp", CrLf({"Type=Exe", "Module=m; " + longName, "Module=c; ..\\" + deep + "modC.bas",
                               "Startup=\"(None)\""}));
    f.Write("P/" + longName, module);
    f.Write(deep + "modC.bas", module);
    f.Snippet("PreCode", "P", "    ' traced");
    Session s(f, "P/App.vbp");
    ASSERT_TRUE(s.loaded);
    s.st.SelectedPreCode = {"P"};
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    const std::string said = s.host.LastBox();
    EXPECT_EQ(said.rfind("Code Processing Done\r\n", 0), 0u) << said;
    EXPECT_NE(said.find(longName + ": the name of its rewritten copy, " + longName +
                        ".qlt, would be longer than the system allows (255 bytes for one name, 4095 for a whole "
                        "path); left as it is"),
              std::string::npos)
        << said;
    EXPECT_EQ(f.Read("P/" + longName), module);
    EXPECT_NE(f.Read(deep + "modC.bas"), module);
    bool shortened = false;
    for (const auto& e : std::filesystem::directory_iterator(f.path("P/Backup")))
        if (testsupport::ReadBytes(e.path().string()) == module)
            shortened = e.path().filename().string().size() <= 255 - 16 &&
                        e.path().filename().string().find("modC") == std::string::npos;
    EXPECT_TRUE(shortened);
    UndoLastChange(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Last Changes Undone");
    EXPECT_EQ(f.Read(deep + "modC.bas"), module);
}

// The same file listed twice, once through a linked folder: it is rewritten once, and the message
// says so rather than call its pending copy one that Quillet did not write.
TEST(Limits, AFileListedUnderTwoNamesIsRewrittenOnce) {
    ProjectFolder f;
    f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modA2; Lib\\modA.bas", "Startup=\"(None)\""}));
    const std::string modA = CrLf({"Attribute VB_Name = \"modA\"", "Public Sub One()", "End Sub"});
    f.Write("modA.bas", modA);
    ASSERT_EQ(::symlink(".", f.path("Lib").c_str()), 0);
    f.Snippet("PreCode", "P", "    ' traced");
    Session s(f, "App.vbp");
    ASSERT_TRUE(s.loaded);
    s.st.SelectedPreCode = {"P"};
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    const std::string said = s.host.LastBox();
    EXPECT_NE(said.find("\r\nLib\\modA.bas: is the same file as modA.bas, which the project also lists; it was "
                        "rewritten once, as modA.bas, and left as it is under this name"),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find("did not write"), std::string::npos) << said;
    const std::string now = f.Read("modA.bas");
    EXPECT_NE(now.find("' traced"), std::string::npos);
    EXPECT_EQ(now.find("' traced"), now.rfind("' traced"));
    UndoLastChange(s.st, s.host, s.host.Files());
    EXPECT_EQ(f.Read("modA.bas"), modA);
}

}  // namespace
