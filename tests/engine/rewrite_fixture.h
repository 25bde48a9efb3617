// Helpers for the tests of the rewrites, the commit and undo: a small project written into a
// temporary folder, a loaded session over a fake host, snippet files, and a file-operations layer
// that fails any one operation or "crashes" after it.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/fileops.h"
#include "engine/loader.h"
#include "engine/state.h"
#include "tests/engine/fake_host.h"
#include "tests/support/testsupport.h"

namespace enginetest {

// Two one-procedure modules, and the text of a file outside the project that no change may touch.
inline const std::string kModA =
    testsupport::CrLf({"Attribute VB_Name = \"modA\"", "Public Sub One()", "    x = 1", "End Sub"});
inline const std::string kModB =
    testsupport::CrLf({"Attribute VB_Name = \"modB\"", "Public Sub Two()", "    y = 2", "End Sub"});
inline const std::string kVictim = "export PATH=/usr/bin\n";

// A project folder with files written by relative path ("Sub/modB.bas").
struct ProjectFolder {
    testsupport::TempDir dir;
    std::string path(const std::string& rel) const { return dir.path() + rel; }
    void Write(const std::string& rel, const std::string& bytes) const { testsupport::WriteBytes(dir.file(rel), bytes); }
    std::string Read(const std::string& rel) const { return testsupport::ReadBytes(path(rel)); }
    bool Exists(const std::string& rel) const { return testsupport::PathExists(path(rel)); }
    // A snippet file in the per-user data folder of the session ("PreCode", "Trace" -> data/PreCode/Trace.PreCode).
    void Snippet(const std::string& kind, const std::string& name, const std::string& bytes) const {
        Write("data/" + kind + "/" + name + "." + kind, bytes);
    }
    std::string DataFolder() const { return dir.path() + "data/"; }

    // Every file below the folder whose name ends in `suffix`, relative.
    std::vector<std::string> FilesEndingIn(const std::string& suffix) const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path())) {
            const std::string p = e.path().string();
            if (e.is_regular_file() && p.size() >= suffix.size() && p.compare(p.size() - suffix.size(), suffix.size(), suffix) == 0)
                out.push_back(p.substr(dir.path().size()));
        }
        return out;
    }
    // Some file in "Backup" holds exactly `bytes`.
    bool BackupHolds(const std::string& bytes) const {
        const std::string backup = dir.path() + "Backup";
        if (!std::filesystem::is_directory(backup)) return false;
        for (const auto& e : std::filesystem::recursive_directory_iterator(backup))
            if (e.is_regular_file() && testsupport::ReadBytes(e.path().string()) == bytes) return true;
        return false;
    }
};

// A loaded project: the fake host reloads through engine::LoadProject unless `reload` is off.
struct Session {
    FakeHost host;
    engine::ToolState st;
    bool loaded = false;
    // `answers`: the answers to the message boxes of the load (a question about an interrupted change).
    // `dataFolder`: the per-user data folder (another user's, for one); the folder's "data/" when empty.
    // `files`: the files the load and the commands work on (the system's when null).
    Session(const ProjectFolder& folder, const std::string& projectFile, bool reload = true,
            std::deque<int> answers = {}, const std::string& dataFolder = "", engine::FileOps* files = nullptr) {
        st.txtProject = folder.path(projectFile);
        st.ApplicationDataFolderLocal = dataFolder.empty() ? folder.DataFolder() : dataFolder;
        host.state = &st;
        host.files = files;
        host.answers = std::move(answers);
        loaded = engine::LoadProject(st, host, host, false);
        if (!reload) host.state = nullptr;
    }
    // Ticks or unticks a node and everything below it, as a click on its check box does.
    void Check(const std::string& key, bool checked) {
        const engine::NodeId id = st.treProject.Find(key);
        ASSERT_NE(id, engine::kNoNode) << key;
        std::vector<engine::NodeId> pending{id};
        while (!pending.empty()) {
            const engine::NodeId n = pending.back();
            pending.pop_back();
            st.treProject.Node(n).checked = checked;
            for (engine::NodeId c : st.treProject.Children(n)) pending.push_back(c);
        }
    }
    // Only this node's own check box, as the keyboard or code may leave it.
    void CheckOnly(const std::string& key, bool checked) {
        const engine::NodeId id = st.treProject.Find(key);
        ASSERT_NE(id, engine::kNoNode) << key;
        st.treProject.Node(id).checked = checked;
    }
};

// Wraps the system's files: counts every operation; can make operation number `target` fail
// (return false and do nothing), or stop the world after it (every later operation fails and does
// nothing, as if the process had died there; what was written and not yet flushed loses its second
// half, as a power cut would leave it).
class FaultyFiles : public engine::FileOps {
public:
    enum class Mode { None, Fail, CrashAfter };
    Mode mode = Mode::None;
    long target = 0;
    long count = 0;
    bool crashed = false;
    std::vector<std::string> log;  // "Write /path", in order
    // Called with the operation's number just before it runs (another program at work meanwhile).
    std::function<void(long)> beforeOp;

    void Arm(Mode m, long n) {
        mode = m;
        target = n;
        count = 0;
        crashed = false;
        log.clear();
        unflushed_.clear();
    }

    bool Exists(const std::string& p) override { return Op("Exists", p, [&] { return real().Exists(p); }); }
    bool Stat(const std::string& p, engine::FileStat& out) override {
        return Op("Stat", p, [&] { return real().Stat(p, out); });
    }
    bool Read(const std::string& p, std::string& out) override { return Op("Read", p, [&] { return real().Read(p, out); }); }
    bool Write(const std::string& p, std::string_view data, std::uint32_t mode) override {
        return Op("Write", p, [&] {
            const bool ok = real().Write(p, data, mode);
            if (ok) unflushed_.insert(p);
            return ok;
        });
    }
    bool Flush(const std::string& p) override {
        return Op("Flush", p, [&] {
            const bool ok = real().Flush(p);
            if (ok) unflushed_.erase(p);
            return ok;
        });
    }
    bool LinkOrCopy(const std::string& from, const std::string& to) override {
        return Op("LinkOrCopy", to, [&] { return real().LinkOrCopy(from, to); });
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return Op("Rename", to, [&] {
            const bool ok = real().Rename(from, to);
            if (ok && unflushed_.erase(from)) unflushed_.insert(to);
            return ok;
        });
    }
    bool Exchange(const std::string& a, const std::string& b) override {
        return Op("Exchange", b, [&] {
            const bool ok = real().Exchange(a, b);
            if (ok) {
                const bool ua = unflushed_.erase(a) > 0, ub = unflushed_.erase(b) > 0;
                if (ua) unflushed_.insert(b);
                if (ub) unflushed_.insert(a);
            }
            return ok;
        });
    }
    bool Remove(const std::string& p) override { return Op("Remove", p, [&] { return real().Remove(p); }); }
    bool MakeFolder(const std::string& p) override { return Op("MakeFolder", p, [&] { return real().MakeFolder(p); }); }
    bool SetMode(const std::string& p, std::uint32_t m) override {
        return Op("SetMode", p, [&] { return real().SetMode(p, m); });
    }

private:
    static engine::FileOps& real() { return engine::SystemFileOps(); }

    template <class F>
    bool Op(const char* name, const std::string& path, F f) {
        ++count;
        log.push_back(std::string(name) + " " + path);
        if (beforeOp) beforeOp(count);
        if (crashed) return false;
        if (mode == Mode::Fail && count == target) return false;
        const bool ok = f();
        if (mode == Mode::CrashAfter && count == target) Crash();
        return ok;
    }

    void Crash() {
        crashed = true;
        for (const std::string& p : unflushed_) {
            std::string bytes;
            if (!real().Read(p, bytes)) continue;
            bytes.resize(bytes.size() / 2);
            real().Write(p, bytes, 0644);
        }
        unflushed_.clear();
    }

    std::set<std::string> unflushed_;
};

}  // namespace enginetest
