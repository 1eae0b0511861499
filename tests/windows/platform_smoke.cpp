// The Windows platform layer on a real (Wine) Windows file system: built
// with MinGW by scripts/windows-smoke.sh and run under Wine.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/file_system.h"
#include "support/recurse.h"

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
    std::vector<DirEntry> entries;
    ListEntries(game, entries);
    for (const DirEntry& e : entries) CHECK(e.name.find(".part") == std::string::npos);

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
