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
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/status.h"

namespace tavrel {

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

// Names (without folder) of the ordinary files in `folder` that match the
// wildcard `pattern`: regular files that are neither hidden nor system
// files. Sorted with NameLess.
Status ListFiles(const std::string& folder, std::string_view pattern,
                 std::vector<std::string>& out);

bool PathExists(const std::string& path);     // anything, links not followed
bool IsRegularFile(const std::string& path);  // follows links
bool IsPlainFile(const std::string& path);    // a regular file, not hidden, not system
bool IsFolder(const std::string& path);       // follows links

// What tells two paths to one folder apart from two folders.
struct FolderId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FolderId&) const = default;
    bool operator<(const FolderId& o) const { return device != o.device ? device < o.device : inode < o.inode; }
};

// The identity of the folder `path` leads to (following links); nothing when
// it is not a folder.
std::optional<FolderId> IdentifyFolder(const std::string& path);

// Creates a folder and the folders above it that are missing.
Status MakeFolders(const std::string& path);

// True when files can be created in the folder.
bool IsWritableFolder(const std::string& path);

// The name of the file in `folder` that stands for `stem` + `ext` (see above);
// `stem` + `ext` itself when no such file exists.
std::string ResolveFileName(const std::string& folder, const std::string& stem,
                            const std::string& ext);

// A name for `stem` + `ext` in `folder` that no entry takes in any letter
// case: `stem` + `ext` itself when free, else `stem` + " (2)" + `ext`, " (3)"...
std::string UnusedFileName(const std::string& folder, const std::string& stem,
                           const std::string& ext);

// True when both paths hold the same bytes (or are the same file).
bool SameContent(const std::string& a, const std::string& b);

// Renames a file; fails with the platform's "file exists" text when the
// target exists in any letter case, and never replaces anything.
Status RenameNoReplace(const std::string& from, const std::string& to);

// Deletes one file as it is: a read-only file is refused, like on Windows.
Status RemoveFile(const std::string& path);

// Makes a file deletable and writable (clears read-only and the other
// attributes); best effort.
void ClearReadOnly(const std::string& path);

// Creates or truncates `path` and writes exactly `bytes` into it.
Status WriteFileBytes(const std::string& path, std::string_view bytes);

// Called between chunks of a copy with the bytes done and the total;
// answering false cancels the copy.
using CopyProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Copies `source` to `destination`, replacing it, such that `destination` is
// either left as it was or holds the complete copy: the bytes go into a
// hidden temporary file beside the destination, flushed to disk, which is
// then renamed over it in one step. A failed or cancelled copy removes the
// temporary file. Copying a file onto itself succeeds without touching it.
Status CopyFileSafely(const std::string& source, const std::string& destination,
                      const CopyProgress& progress = {});

}  // namespace tavrel
