// The Windows platform layer on a real (Wine) Windows file system: built
// with MinGW by scripts/windows-smoke.sh and run under Wine.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/file_system.h"
#include "support/recurse.h"
#include "support/text.h"

using namespace tavrel;

namespace {

int failures = 0;

void Check(bool ok, const char* what, int line) {
    if (!ok) {
        ++failures;
        std::printf("FAIL line %d: %s\n", line, what);
    }
}
#define CHECK(x) Check((x), #x, __LINE__)

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string& path, const std::string& text) { CHECK(WriteFileBytes(path, text).ok()); }

// True when `folder` holds a temporary file of one of this process's copies.
bool HasOwnCopyFile(const std::string& folder) {
    const std::string prefix = ".tavrel-" + std::to_string(::GetCurrentProcessId()) + "-";
    std::vector<DirEntry> entries;
    ListEntries(folder, entries);
    return std::any_of(entries.begin(), entries.end(), [&](const DirEntry& e) {
        return e.name.rfind(prefix, 0) == 0 && e.name.ends_with(".part");
    });
}

bool ReadOnly(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY) != 0;
}

// Opens a file the way a running copy holds its temporary file: without
// sharing.
HANDLE HoldExclusively(const std::string& path) {
    return ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

int main() {
    char tempBase[MAX_PATH];
    ::GetTempPathA(MAX_PATH, tempBase);
    const std::string root = FileCleanPath(std::string(tempBase) + "tavrel-smoke-" + std::to_string(::GetCurrentProcessId()));
    CHECK(MakeFolders(root + "\\game\\Data\\Movies").ok());
    const std::string game = root + "\\game";

    // Listing: letters in any case, hidden and system files left out, sorted.
    Write(game + "\\b.BIG", "b");
    Write(game + "\\A.big", "a");
    Write(game + "\\h.big", "h");
    ::SetFileAttributesA((game + "\\h.big").c_str(), FILE_ATTRIBUTE_HIDDEN);
    std::vector<std::string> names;
    CHECK(ListFiles(game, "*.big", names).ok());
    CHECK((names == std::vector<std::string>{"A.big", "b.BIG"}));
    CHECK(!FileExists(game + "\\h.big"));
    CHECK(FileExists(game + "\\A.big"));
    CHECK(FolderExists(game + "\\"));
    CHECK(FolderExists("C:"));
    CHECK(!FolderExists(game + "\\A.big"));

    // Renames never replace.
    const Status refused = RenameNoReplace(game + "\\A.big", game + "\\B.big");
    CHECK(!refused.ok() && !refused.text().empty());
    CHECK(Read(game + "\\b.BIG") == "b");
    CHECK(RenameNoReplace(game + "\\A.big", game + "\\A.bit").ok());
    CHECK(!RenameNoReplace(game + "\\missing.bit", game + "\\missing.big").ok());

    // Deleting a read-only file is refused; FileDelete clears it first.
    ::SetFileAttributesA((game + "\\A.bit").c_str(), FILE_ATTRIBUTE_READONLY);
    CHECK(!RemoveFile(game + "\\A.bit").ok());
    CHECK(FileExists(game + "\\A.bit"));
    FileDelete(game + "\\A.bit");
    CHECK(!PathExists(game + "\\A.bit"));

    // The safe copy: replaces, never truncates itself, cancels cleanly.
    const std::string source = root + "\\Storm.big";
    Write(source, std::string(3 << 20, 's'));
    Write(game + "\\__Storm.bit", "old version");
    const Status cancelled = CopyFileSafely(source, game + "\\__Storm.bit", [](std::uint64_t, std::uint64_t) { return false; });
    CHECK(!cancelled.ok());
    CHECK(Read(game + "\\__Storm.bit") == "old version");
    CHECK(CopyFileSafely(source, game + "\\__Storm.bit").ok());
    CHECK(Read(game + "\\__Storm.bit").size() == (3u << 20));
    CHECK(CopyFileSafely(game + "\\__Storm.bit", game + "\\__Storm.bit").ok());
    CHECK(Read(game + "\\__Storm.bit").size() == (3u << 20));
    CHECK(!CopyFileSafely(root + "\\missing.big", game + "\\x.bit").ok());
    CHECK(SameContent(source, game + "\\__Storm.bit"));
    // A source that is no file is refused before anything is created.
    const Status folderCopy = CopyFileSafely(game + "\\Data", game + "\\Data.bit");
    CHECK(!folderCopy.ok() && folderCopy.text() == ErrorText(ERROR_ACCESS_DENIED));
    CHECK(!PathExists(game + "\\Data.bit"));
    CHECK(!CopyFileSafely("NUL", game + "\\__Storm.bit").ok());
    // A pipe whose writer never writes: reading it would wait for ever.
    const std::string pipe = "\\\\.\\pipe\\tavrel-smoke-" + std::to_string(::GetCurrentProcessId());
    HANDLE server = ::CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0,
                                       nullptr);
    CHECK(server != INVALID_HANDLE_VALUE);
    const Status pipeCopy = CopyFileSafely(pipe, game + "\\__Storm.bit");
    CHECK(!pipeCopy.ok() && pipeCopy.text() == ErrorText(ERROR_NOT_SUPPORTED));
    ::CloseHandle(server);
    CHECK(Read(game + "\\__Storm.bit").size() == (3u << 20));
    CHECK(!HasOwnCopyFile(game));
    // A read-only destination is refused, as Windows refuses it; once
    // writable it is replaced like any other.
    ::SetFileAttributesA((game + "\\__Storm.bit").c_str(), FILE_ATTRIBUTE_READONLY);
    Write(root + "\\small.big", "small");
    const Status readOnlyCopy = CopyFileSafely(root + "\\small.big", game + "\\__Storm.bit");
    CHECK(!readOnlyCopy.ok() && readOnlyCopy.text() == ErrorText(ERROR_ACCESS_DENIED));
    CHECK(Read(game + "\\__Storm.bit").size() == (3u << 20));
    ::SetFileAttributesA((game + "\\__Storm.bit").c_str(), FILE_ATTRIBUTE_NORMAL);
    CHECK(CopyFileSafely(root + "\\small.big", game + "\\__Storm.bit").ok());
    CHECK(Read(game + "\\__Storm.bit") == "small");
    CHECK(FileExists(game + "\\__Storm.bit"));  // neither hidden like the temporary file nor read-only
    CHECK(!ReadOnly(game + "\\__Storm.bit"));
    CHECK(!HasOwnCopyFile(game));

    // Leftovers of killed copies go; a copy still running holds its file,
    // and names that are not the copy's own stay.
    const std::string stale = root + "\\stale";
    CHECK(MakeFolders(stale).ok());
    for (const char* name : {".tavrel-1-1.part", ".tavrel-2-2.part", ".tavrel-x.part", "keep.part"}) {
        Write(stale + "\\" + name, "partial");
    }
    ::SetFileAttributesA((stale + "\\.tavrel-1-1.part").c_str(), FILE_ATTRIBUTE_HIDDEN);
    HANDLE running = HoldExclusively(stale + "\\.tavrel-2-2.part");
    CHECK(running != INVALID_HANDLE_VALUE);
    RemoveStaleCopies(stale);
    CHECK(!PathExists(stale + "\\.tavrel-1-1.part"));
    CHECK(PathExists(stale + "\\.tavrel-2-2.part"));
    CHECK(PathExists(stale + "\\.tavrel-x.part"));
    CHECK(PathExists(stale + "\\keep.part"));
    ::CloseHandle(running);
    RemoveStaleCopies(stale);
    CHECK(!PathExists(stale + "\\.tavrel-2-2.part"));  // only the hold kept it
    // The same for a real copy: a sweep while it runs leaves its file alone.
    bool partDuringCopy = false;
    CHECK(CopyFileSafely(source, stale + "\\Storm.big", [&](std::uint64_t, std::uint64_t) {
        RemoveStaleCopies(stale);
        partDuringCopy = partDuringCopy || HasOwnCopyFile(stale);
        return true;
    }).ok());
    CHECK(partDuringCopy);
    CHECK(SameContent(source, stale + "\\Storm.big"));

    // Replacing: a read-only target goes in one step; when the move fails
    // the target is left as it was, read-only included. (Wine replaces a
    // read-only file even when nobody clears it; Windows refuses.)
    const std::string replacement = game + "\\new.bit", replaced = game + "\\old.big";
    Write(replacement, "new");
    Write(replaced, "old");
    ::SetFileAttributesA(replaced.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE busy = HoldExclusively(replacement);
    CHECK(busy != INVALID_HANDLE_VALUE);
    CHECK(!RenameReplacing(replacement, replaced).ok());
    ::CloseHandle(busy);
    CHECK(Read(replaced) == "old");
    CHECK(ReadOnly(replaced));
    CHECK(RenameReplacing(replacement, replaced).ok());
    CHECK(Read(replaced) == "new");
    CHECK(!PathExists(replacement));

    // Hard links are one file under two names; neither may replace the
    // other, which would leave the bytes with one name fewer at best.
    const std::string linked = game + "\\linked.big", link = game + "\\Linked2.bit";
    Write(linked, "linked");
    CHECK(::CreateHardLinkA(link.c_str(), linked.c_str(), nullptr));
    CHECK(SameFile(linked, link));
    CHECK(IdentifyFile(linked, false).has_value() && IdentifyFile(linked, false) == IdentifyFile(link, false));
    CHECK(!SameFile(linked, replaced));
    const Status ontoItself = RenameReplacing(link, linked);
    CHECK(!ontoItself.ok() && ontoItself.text() == ErrorText(ERROR_ALREADY_EXISTS));
    CHECK(!RenameReplacing(linked, link).ok());
    CHECK(Read(linked) == "linked" && Read(link) == "linked");

    // RealPath: absolute, with ".." taken out and no "\\?\" prefix.
    const auto real = RealPath(game + "\\Data\\..");
    CHECK(real.has_value() && real->size() > 3 && (*real)[1] == ':' && (*real)[2] == '\\');
    CHECK(real.has_value() && IdentifyFolder(*real) == IdentifyFolder(game));
    CHECK(!RealPath(game + "\\missing\\x.big").has_value());

    // The running programs: this very one is found by its name.
    char self[MAX_PATH];
    CHECK(::GetModuleFileNameA(nullptr, self, MAX_PATH) > 0);
    const std::string selfName = FileGetName(self);
    const auto programs = RunningProgramPaths([&](std::string_view name) { return EqualsNoCase(name, selfName); });
    CHECK(std::any_of(programs.begin(), programs.end(), [&](const std::string& p) { return SameFile(p, self); }));
    CHECK(std::all_of(programs.begin(), programs.end(),
                      [&](const std::string& p) { return EqualsNoCase(FileGetName(p), selfName); }));

    // The movie search with Windows paths.
    Write(game + "\\Data\\Movies\\EA_LOGO.BIK", "logo");
    Write(game + "\\Data\\intro.bik", "intro");
    const auto movies = FindFilesRecursive(game + "\\\\Data\\", "*.bik", 0, kAttributeDirectory);
    CHECK((movies == std::vector<std::string>{game + "\\Data\\intro.bik", game + "\\Data\\Movies\\EA_LOGO.BIK"}));

    CHECK(UnusedFileName(game, "__Storm", ".BIT") == "__Storm (2).BIT");
    CHECK(ResolveFileName(game, "__storm", ".bit") == "__storm.bit");  // the file system ignores case itself

    std::printf("%s (%d failures)\n", failures ? "FAILED" : "PASSED", failures);
    return failures ? 1 : 0;
}
