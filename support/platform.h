// The platform layer: folder listings, attributes, renames that never replace
// a file, strict deletion and a copy that never leaves half a file behind.
//
// Windows names are case-insensitive, and so are the game and its players.
// On a case-sensitive file system the program therefore treats names that
// differ only by letter case as the same name:
//  - wildcard listings match without regard to case (`*.BIG` finds `x.big`);
//  - a rename refuses a target that exists in any letter case;
//  - a name the program builds (entry + ".big") is resolved with
//    ResolveFileName: the exact name when it exists, else the file whose
//    entry part has exactly those letters (extension in any case), else the
//    first file in listing order that equals it without regard to case.
//    So when two files differ only by case, the one spelled exactly like the
//    entry wins, and each of them stays reachable through its own entry.
// On Linux a name starting with "." is hidden (Wine shows it to the game as
// hidden) and a file without its owner's write bit is read-only; Windows has
// attributes for both, and for system files.
//
// Links are names. A rename moves the link itself and a delete removes the
// link, never the file it leads to; no file is deleted or replaced because
// another name leads to it. Listings show a link as what it leads to, so a
// link to a mod is listed like the mod.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/status.h"

namespace tavrel {

namespace detail {
class PendingFile;
}  // namespace detail

struct DirEntry {
    std::string name;
    std::string folded;         // the name with FoldCase applied
    bool isFolder = false;      // a folder, or a link to one
    bool isFile = false;        // a regular file, or a link to one
    bool isLink = false;        // a link (to whatever it leads to)
    bool hidden = false;
    bool system = false;
    bool attributesRead = true; // false when the entry could not be examined
};

// Every entry of a folder except "." and "..", sorted with NameLess.
Status ListEntries(const std::string& folder, std::vector<DirEntry>& out);
// The same entries one at a time, in the order the system gives them, for
// a caller that keeps a few out of many; each lives for its call only.
Status VisitEntries(const std::string& folder, const std::function<void(const DirEntry&)>& visit);

// Names (without folder) of the ordinary files in `folder` that match the
// wildcard `pattern`: regular files that are neither hidden nor system
// files. Sorted with NameLess.
Status ListFiles(const std::string& folder, std::string_view pattern,
                 std::vector<std::string>& out);
// The same, picked from a listing at hand.
std::vector<std::string> MatchingFiles(const std::vector<DirEntry>& entries, std::string_view pattern);

bool PathExists(const std::string& path);     // anything, links not followed
bool IsRegularFile(const std::string& path);  // follows links
bool IsPlainFile(const std::string& path);    // a regular file, not hidden, not system
bool IsFolder(const std::string& path);       // follows links
bool IsLink(const std::string& path);         // a symbolic link (Windows: any reparse point)

// True when both paths lead to one file, following links: the same path,
// hard links of one file, or a link that leads to the other.
bool SameFile(const std::string& a, const std::string& b);

// The path with every link resolved, "." and ".." taken out; nothing when
// some part of it does not exist.
std::optional<std::string> RealPath(const std::string& path);

// What tells two paths to one file or folder apart from two.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileId&) const = default;
    bool operator<(const FileId& o) const { return device != o.device ? device < o.device : inode < o.inode; }
};

// The identity of what `path` names: the link itself, or with `followLinks`
// what it leads to. Nothing when it does not exist.
std::optional<FileId> IdentifyFile(const std::string& path, bool followLinks);

// What tells one version of a file from another without reading it: its
// size, its identity and when it was last written (in the system's own
// units: only ever compared).
struct FileStamp {
    std::uint64_t size = 0;
    FileId id;
    std::int64_t written = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file `path` leads to (following links); nothing
// when it is none.
std::optional<FileStamp> StampFile(const std::string& path);

// The identity of the folder `path` leads to (following links); nothing when
// it is not a folder.
std::optional<FileId> IdentifyFolder(const std::string& path);

// Creates a folder and the folders above it that are missing.
Status MakeFolders(const std::string& path);

// Refuses what a copy's destination may not be: a folder, or a read-only
// file (as Windows refuses to replace one). Ok for a missing path.
Status CheckReplaceable(const std::string& path);

// Removes a folder that holds nothing; a link to a folder is removed as a
// link.
Status RemoveEmptyFolder(const std::string& path);

// Removes `path` and, when it is a folder, everything in it, read-only
// files included. A link is removed as a link: what it leads to is never
// entered. Answers the first failure, after removing what it could.
Status RemoveTree(const std::string& path);

// Hides a folder or file of the program's own from the user's and the
// game's listings: on Windows the hidden attribute; on Linux a name that
// starts with "." already hides it, and nothing is done.
Status HideEntry(const std::string& path);

// Refused with the system's "disk full" text when `bytes` more would not
// fit on the volume that holds `folder`; a volume that does not tell its
// room is let try.
Status CheckRoomFor(const std::string& folder, std::uint64_t bytes);

// True when files can be created in the folder.
bool IsWritableFolder(const std::string& path);

// This process's number, as the system tells it.
unsigned long CurrentProcessNumber();

// Makes an empty file at `path`; refused when any entry (a link included)
// has the name.
Status CreateNewFile(const std::string& path);

// What a failure says of the user's rights: the system refused them, or
// the volume is mounted read-only; None for any other failure.
enum class Refusal { None, Denied, ReadOnlyVolume };
Refusal RefusalOf(const Status& failure);

// Whether this user may make, rename and delete files in `folder`, found by
// doing it: an empty file of a copy's temporary name is made, renamed to
// another such name and deleted, so that nothing else is touched and a run
// killed half-way leaves what RemoveStaleCopies takes away. Ok when all three
// went; else the first failure.
Status ProbeFolderChanges(const std::string& folder);

// The user who owns `path` (by name, else by number) and the folder where
// the volume that holds it is mounted: Linux only, empty where the system
// does not tell.
std::string OwnerOf(const std::string& path);
std::string MountPointOf(const std::string& path);

// The name of the file in `folder` that stands for `stem` + `ext` (see above);
// `stem` + `ext` itself when no such file exists.
std::string ResolveFileName(const std::string& folder, const std::string& stem,
                            const std::string& ext);

// A name for `stem` + `ext` in `folder` that no entry takes in any letter
// case: `stem` + `ext` itself when free, else `stem` + " (2)" + `ext`, " (3)"...
std::string UnusedFileName(const std::string& folder, const std::string& stem,
                           const std::string& ext);

// True when both paths are regular files, not links, that hold the same
// bytes: a link is never taken for the bytes it leads to.
bool SameContent(const std::string& a, const std::string& b);

// The names of one folder, folded, from one listing, for many renames in a
// row: renames through it look up the other letter cases there instead of
// listing the folder again, and keep it up to date.
class FolderNames {
public:
    explicit FolderNames(std::string folder);  // lists the folder
    FolderNames(std::string folder, const std::vector<DirEntry>& entries);

    const std::string& folder() const { return folder_; }
    // The existing names that equal `name` without regard to case.
    std::vector<std::string> sameInAnyCase(const std::string& name) const;
    // Renames the file `from` (a full path) to `toName` in this folder, as
    // RenameNoReplace does.
    Status renameNoReplace(const std::string& from, const std::string& toName);
    // Keeps the names up to date after a change made otherwise: a name
    // that went, one that came.
    void forget(const std::string& name);
    void add(const std::string& name);

private:
    std::string folder_;
    std::unordered_multimap<std::string, std::string> names_;  // folded, name
};

// Renames a file; fails with the platform's "file exists" text when the
// target exists in any letter case, and never replaces anything.
Status RenameNoReplace(const std::string& from, const std::string& to);

// Renames `from` onto the existing `to` in one step: afterwards `to` is
// either still the old file or already the new one, never missing. A
// read-only `to` is replaced too. Refused with the "file exists" text when
// `from` and `to` lead to one file (the replaced file would be the only copy
// of the bytes), or when a third name equals `to` without regard to case.
Status RenameReplacing(const std::string& from, const std::string& to);

// Deletes one file as it is: a read-only file is refused, like on Windows,
// unless `evenIfReadOnly`; a link is removed as a link. Never changes what
// another name of the file, or a link, leads to.
Status RemoveFile(const std::string& path, bool evenIfReadOnly = false);

// Creates or truncates `path` and writes exactly `bytes` into it.
Status WriteFileBytes(const std::string& path, std::string_view bytes);

// Called between chunks of a copy with the bytes done and the total;
// answering false cancels the copy.
using CopyProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Reads the next bytes of a file from its start into `buffer`: how many (up
// to `size`), 0 at the end, -1 when reading failed (`failed` says why).
using ReadBytes = std::function<std::int64_t(char* buffer, std::size_t size, Status& failed)>;

// A regular file open to read, for a reader that moves about in it (an
// archive keeps its index at the end). Opening refuses at once, without
// waiting on it, what is not a regular file: a folder, a pipe, a device.
class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    Status open(const std::string& path);
    // The bytes read into `buffer`: 0 at the end, -1 on a failure (error()).
    std::int64_t read(char* buffer, std::size_t size);
    // Moves to `offset` from the start, the current place or the end
    // (SEEK_SET, SEEK_CUR, SEEK_END); the new place, -1 on a failure.
    std::int64_t seek(std::int64_t offset, int whence);
    std::uint64_t size() const { return size_; }
    FileId id() const { return id_; }
    const Status& error() const { return error_; }
    std::intptr_t native() const { return handle_; }  // the descriptor, or the Windows handle
    // Its bytes from where it stands on, for a reader that takes them in turn.
    ReadBytes reader();

private:
    std::intptr_t handle_ = -1;
    std::uint64_t size_ = 0;
    FileId id_;
    Status error_ = Status::Ok();
};

// Whether a safe write first clears the destination's folder of the
// temporary files of copies that no longer run; a folder just made for the
// write holds none, and a thousand writes into it need not list it each time.
enum class Leftovers { Clear, NoneHere };

// What a producer hands its bytes to, in order; a failure (the disk is full,
// the user cancelled) ends the producing.
using ByteSink = std::function<Status(std::string_view bytes)>;
using ByteProducer = std::function<Status(const ByteSink& sink)>;

// Puts the `total` bytes that `produce` hands to its sink into `destination`,
// with every promise of CopyFileSafely: nothing is written under any name
// but the temporary file's until the bytes are complete, a failure or
// Cancel (from `progress`, after each chunk) leaves the destination as it
// was, and bytes that would not fit are refused before the first one.
Status WriteFileSafely(const std::string& destination, std::uint64_t total, const ByteProducer& produce,
                       const CopyProgress& progress = {}, Leftovers leftovers = Leftovers::Clear);

// Room in `folder` for bytes needed only for a while (a mod unpacked on its
// way into another file): the same kind of temporary file as a copy's,
// which no other name ever takes and which goes with this object. Bytes are
// added at the end and read back from anywhere. Opening checks that
// `room` bytes fit on the volume.
class ScratchFile {
public:
    ~ScratchFile();
    static Status Open(const std::string& folder, std::uint64_t room, std::unique_ptr<ScratchFile>& out);
    Status append(std::string_view bytes);
    std::uint64_t size() const { return size_; }
    // Its bytes from `offset` on, read in turn.
    ReadBytes reader(std::uint64_t offset);

private:
    ScratchFile() = default;
    std::unique_ptr<detail::PendingFile> file_;
    std::uint64_t size_ = 0;
};

// Copies `source` to `destination`, replacing it (but not a read-only one,
// as on Windows), such that `destination` is either left as it was or holds
// the complete copy: the bytes go into a temporary file beside the
// destination, flushed to disk, which is then renamed over it in one step.
// A failed or cancelled copy removes the temporary file. Copying a file onto
// itself succeeds without touching it. A source that is not a regular file
// (a folder, a pipe, a device, a socket) is refused at once, without
// waiting on it.
//
// The temporary file is ".tavrel-<process>-<n>.part", held so that other
// processes can tell a running copy from a killed one: on Linux it is
// locked, and where the file system allows it has no name at all until the
// copy is complete, so that a killed copy leaves nothing behind; on Windows
// it is hidden and held open without sharing. RemoveStaleCopies removes
// those that no running copy holds; every copy first does so in its
// destination folder.
Status CopyFileSafely(const std::string& source, const std::string& destination,
                      const CopyProgress& progress = {}, Leftovers leftovers = Leftovers::Clear);

// Safe writes and copies of many files whose waits for the disk are taken
// together: each file's bytes go into its temporary file at once and the
// system starts writing them out, and the files are flushed and named a
// window at a time (when the window is full, and at finish()), every flush
// of a window before its first name. Each file keeps the promises of
// WriteFileSafely and CopyFileSafely: nothing takes a destination's name
// before its bytes are on disk, and a file whose write failed or was
// cancelled, or that still waits when the batch is dropped, leaves its
// destination as it was. A thousand small files wait for the disk about
// once a window instead of a thousand times.
class WriteBatch {
public:
    // Each waiting file holds a file handle open: far fewer than a process
    // may have.
    static constexpr std::size_t kWindow = 64;
    explicit WriteBatch(std::size_t window = kWindow);
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    // As WriteFileSafely and CopyFileSafely, the destination named at the
    // latest by finish(). A failure here may be that of finishing the
    // window the file filled.
    Status write(const std::string& destination, std::uint64_t total, const ByteProducer& produce,
                 const CopyProgress& progress = {}, Leftovers leftovers = Leftovers::Clear);
    Status copy(const std::string& source, const std::string& destination, const CopyProgress& progress = {},
                Leftovers leftovers = Leftovers::Clear);
    // Flushes every waiting file, then names each in the order written.
    // On the first failure the files not yet named are dropped, their
    // destinations as they were.
    Status finish();
    // The files written and not yet named.
    std::size_t waiting() const { return waiting_.size(); }

private:
    Status wait(const Status& written, std::unique_ptr<detail::PendingFile> file);

    std::size_t window_;
    std::vector<std::unique_ptr<detail::PendingFile>> waiting_;
};

// A file that a running process holds, so that another process can tell a
// piece of work still under way from one left by a process that was killed:
// on Linux a lock on it, on Windows a handle that shares nothing. Released
// when destroyed; the file itself stays.
class HeldFile {
public:
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    ~HeldFile();
    // Creates `path` when missing and holds it; refused when another
    // process holds it.
    static Status Hold(const std::string& path, std::unique_ptr<HeldFile>& out);
    // True when a running process holds the file `path`.
    static bool IsHeld(const std::string& path);

private:
    explicit HeldFile(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_;
};

// The lock of a folder of the program's own, which one process at a time
// holds, with a note in it (the file `noteName`) that says what the holder
// does. Held while the process lives: a lock left by a process that no
// longer runs is free to take. The folder is made (hidden) when missing,
// and when the lock is let go the note goes, and the folder too when
// nothing else is in it. On Linux the folder itself is locked, so that no
// file is ever removed while a process has it open; on Windows the note is
// held open, shared for reading only, and goes when it closes.
class FolderLock {
public:
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();
    // When another process holds the lock, fails with `held` set and
    // `holder` what its note says.
    static Status Take(const std::string& folder, const std::string& noteName, const std::string& what,
                       std::unique_ptr<FolderLock>& out, bool& held, std::string& holder);

private:
    FolderLock(std::intptr_t handle, std::string folder, std::string note)
        : handle_(handle), folder_(std::move(folder)), note_(std::move(note)) {}
    std::intptr_t handle_;
    std::string folder_, note_;
};

// Removes the temporary files of copies that no longer run (a copy killed,
// or a power loss) from `folder`. Nothing else is ever removed.
void RemoveStaleCopies(const std::string& folder);

// True when `name` is one of the copy's temporary file names.
bool IsCopyTemporaryName(std::string_view name);

// A running process, as far as it could be read: its program, and on Linux
// its command line, working folder and environment ("NAME=value").
struct RunningProcess {
    std::string program;
    std::vector<std::string> commandLine;
    std::string workingFolder;
    std::vector<std::string> environment;
};

// The processes that run now whose name `wanted` accepts (on Linux the name
// the kernel keeps, which Wine sets to the Windows program's), from one pass
// over the process list. What cannot be read (other users' processes) is
// left out.
std::vector<RunningProcess> RunningProcesses(const std::function<bool(std::string_view name)>& wanted);

}  // namespace tavrel
