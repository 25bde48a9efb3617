// Every change that a rewrite, a commit, an undo or a recovery makes on disk goes through this one
// small interface, so that tests can make any single operation fail (or stop the "process" after
// it) and check that no line of the user's code is lost. The system implementation is plain POSIX;
// none of its operations follows a symbolic link where it creates or replaces something.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct FileStat {
    bool regular = false;  // a regular file (a symbolic link counts as neither)
    bool directory = false;
    bool symlink = false;    // a symbolic link (not followed)
    std::uint32_t mode = 0;  // permission bits (07777)
    std::uint64_t size = 0;
    std::uint32_t owner = 0;  // the user who owns it
};

// The user this program runs as (the owner of what it makes).
std::uint32_t CurrentUser();

class FileOps {
public:
    virtual ~FileOps() = default;

    // Whether anything (file, folder, link) stands at the path.
    virtual bool Exists(const std::string& path) = 0;
    // The entry itself (links are not followed). False when nothing is there or it cannot be read.
    virtual bool Stat(const std::string& path, FileStat& out) = 0;
    // The whole content of a regular file.
    virtual bool Read(const std::string& path, std::string& out) = 0;
    // Creates the file with permission bits `mode`, or empties an existing one, and writes `data`.
    // Not flushed: call Flush before anything relies on the content.
    virtual bool Write(const std::string& path, std::string_view data, std::uint32_t mode) = 0;
    // Flushes a file's content, or a folder's list of entries, to disk.
    virtual bool Flush(const std::string& path) = 0;
    // Flushes several files; true when every one of them is on disk. The system's files do it in
    // one step per disk; the default flushes them one by one.
    virtual bool FlushAll(const std::vector<std::string>& paths) {
        bool ok = true;
        for (const std::string& p : paths) ok = Flush(p) && ok;
        return ok;
    }
    // Gives the file `from` the second name `to` (a hard link); where the disk cannot link, copies
    // it with its permission bits and flushes the copy. Fails when `to` exists. Either way the new
    // name is on disk once its folder is flushed.
    virtual bool LinkOrCopy(const std::string& from, const std::string& to) = 0;
    // Renames in one atomic step, replacing `to` when it exists.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // Swaps the two names in one atomic step (both must exist). False, with nothing changed, where
    // the disk cannot do that; callers then rename.
    virtual bool Exchange(const std::string& a, const std::string& b) {
        (void)a, (void)b;
        return false;
    }
    // Removes a file (or an empty folder).
    virtual bool Remove(const std::string& path) = 0;
    // Makes one folder; true when it exists already as a folder.
    virtual bool MakeFolder(const std::string& path) = 0;
    // Sets the permission bits of a file or folder, whatever the umask; a symbolic link is not
    // followed (false).
    virtual bool SetMode(const std::string& path, std::uint32_t mode) = 0;
    // The names in a folder (a symbolic link is not followed). False when it cannot be read. The
    // default lists the system's folder.
    virtual bool List(const std::string& folder, std::vector<std::string>& names);
};

// The system's files.
FileOps& SystemFileOps();

// Makes `folder` and the folders on the way to it, below `base` (a folder ending in "/" that must
// exist); `folder` (with or without its final "/") must lie in `base` or be it. False when one of
// them cannot be made or is not a folder.
bool MakeFolders(FileOps& files, const std::string& base, const std::string& folder);

}  // namespace engine
