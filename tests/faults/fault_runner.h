// The fault suite's cases are data: what the folders hold, how the case is
// run (as which user, on which mount, with which system calls refused), the
// action and the user's answers, and what must come out. Each case runs on
// every file system the game may lie on: the volume is a column of the
// table. One runner carries every case out in a child process of its own,
// so that mounts, users and killed processes never touch the test program,
// and reports back what the user was told and every file's bytes before and
// after.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "modstore/mod_window.h"
#include "syscall_shim.h"

namespace tavrel::test {

// One thing the set-up does, in order. Paths are relative to the case's
// root, which holds the game folder and an "outside" folder.
struct Step {
    enum Kind {
        File,          // `path` holding `text`
        Folder,        // an empty folder
        Link,          // `path` a symbolic link whose target text is `text`
        HardLink,      // `path` another name of the file `text`
        Fifo,          // a named pipe
        ReadOnly,      // the owner's write bit taken away
        Immutable,     // chattr +i (needs root; the game folder becomes a tmpfs)
        StaleCopy,     // a copy's temporary file that no copy holds
        HeldCopy,      // a copy's temporary file that a live process holds locked
        KilledCopy,    // a copy of `text` to `path`, killed with SIGKILL half-way
        KilledCopyNamed,  // the same where the file system has no O_TMPFILE
        Archive,       // `path` a copy of the made archive `text` (tests/archives/)
        KilledUnpack,  // the mod of the archive `text` unpacked to `path`, killed half-way, without O_TMPFILE
        KilledMerge,   // the mod of several archives in `text` merged into the folder `path`, killed half-way, without O_TMPFILE
        GameProcess,   // a process whose command line is `text` (`path`: its WINEPREFIX)
        Activated,     // the mod `text` of the game folder activated by Tavrel, every question answered Yes
        Gone,          // `path` removed by hand (a folder with all it holds)
        Held,          // `path` (a file or a folder) locked by a live process
    } kind;
    std::string path;
    std::string text;
};

inline Step F(std::string path, std::string text) { return {Step::File, std::move(path), std::move(text)}; }
inline Step L(std::string path, std::string target) { return {Step::Link, std::move(path), std::move(target)}; }

// What a case needs of the file system under the game folder, where not
// every one has it.
enum Need : unsigned {
    kLinks = 1,             // symbolic links
    kHardLinks = 2,         // hard links
    kCaseSensitive = 4,     // two names that differ only by letter case
    kModes = 8,             // a file's write bit
    kImmutable = 16,        // files that cannot be renamed (chattr +i)
    kTmpfile = 32,          // files without a name (O_TMPFILE)
    kAnyName = 64,          // names Windows forbids, bytes that are not UTF-8
    kOneFileSystem = 128,   // the game folder and the outside folder on one file system
    kNamesAsGiven = 256,    // names listed as they were made: the program writes down what it lists
};

// The file system the game folder lies on: the temporary folder's own, or a
// FUSE volume of a loop image that tests/faults/volumes.sh mounts once a
// run under $TAVREL_FAULT_VOLUMES/NAME (with a small one, NAME-small, for
// the cases that fill it, and NAME.skip telling why where it could not).
struct Volume {
    std::string name;             // "native", or the volume's folder
    unsigned lacks = 0;           // the Needs it cannot meet
    bool listsLowerCase = false;  // every name comes back in lower case
};
const std::vector<Volume>& Volumes();

// Why `volume` cannot hold a case that needs `needs`; empty when it can.
std::string CannotHold(const Volume& volume, unsigned needs);

struct Case {
    std::string name{};
    std::vector<Step> setup{};
    std::string game = "game";        // the game folder, relative to the root
    unsigned needs = 0;               // Needs of the file system
    // How it runs.
    bool smallVolume = false;         // the game folder on a volume of 32 MiB of its own
    int fillAtUpdate = -1;            // another program fills that volume at this update of the copy
    bool readOnlyBind = false;        // the game folder through a read-only bind mount
    bool asNobody = false;            // the action runs as the user nobody
    long fileSizeLimit = 0;           // RLIMIT_FSIZE for the action, in bytes
    ShimControl shim{};
    int cancelAtUpdate = -1;          // the copy's progress answers Cancel from this update on
    // What the user does. A scan (answered by `answers` too) comes first,
    // then `vanish` is removed behind the program's back, then the action.
    enum Action { Start, Scan, Activate, DeactivateAll, Delete, Install, DisableMovies, AddOnOn, AddOnOff } action = Scan;
    std::string argument{};           // the entry to select, the file to install, or "MOD/ADD-ON"
    std::vector<Answer> answers{};
    std::vector<std::string> vanish{};
    // What must come out.
    std::vector<std::string> messages{};        // every message, exactly; "{root}" stands for the root
    std::optional<std::vector<std::pair<std::string, std::string>>> files{};  // every file afterwards; none: as before
    // Where the action is killed (shim.killAtChange): every file afterwards,
    // as one of these (before the change, or after it); "<any>" stands for
    // bytes of any kind.
    std::vector<std::vector<std::pair<std::string, std::string>>> either{};
    std::vector<std::pair<std::vector<std::string>, std::string>> eitherView{};  // the list and label of each
    std::vector<std::string> agreedLoss{};      // file contents the user agreed to lose
    std::vector<std::string> list{};            // a rescan afterwards shows this list...
    std::string label{};                        // ...and this active mod
    std::vector<std::string> rescanMessages{};  // ...after these messages (answered OK)
    bool leftoverBefore = false;                // the set-up left a copy's temporary file
};

// What a file is, for comparing: "=bytes" for short contents, "#hash:size"
// for long ones, "->target" for a link, "<fifo>" for a pipe. A file without
// its owner's write bit has kReadOnlyMark after that.
std::string Describe(const std::string& bytes);

// A mod of `size` bytes that are not all alike, so that a copy put together
// wrongly shows. The table holds it as a short token (every case is copied
// once for each volume), made into bytes only by the case that uses it.
std::string Mod(std::size_t size);
// The bytes of a made file (tests/archives/): "expected/Escape.big" is what
// a mod must come out as, "many.zip" an archive.
std::string Made(const std::string& name);
std::string BytesOf(const std::string& text);  // a Mod's or Made's bytes, or the text itself
inline constexpr const char* kReadOnlyMark = " [read-only]";

struct Outcome {
    std::string skipped;  // why the case cannot run here
    std::vector<std::string> messages, rescanMessages, list;
    std::string label;
    std::map<std::string, std::string> before, after;  // path -> Describe
    ShimCounts counts;
    bool killed = false;  // the action died of its SIGKILL
    std::string root;
};

// Runs the case in a child process with its game folder on `volume`; a case
// that hangs is killed after `seconds` and reported as frozen.
Outcome RunCase(const Case& c, const Volume& volume, const std::string& root, unsigned seconds = 30);

}  // namespace tavrel::test
