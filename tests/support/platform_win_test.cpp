// The Windows platform layer where it differs from Linux: attributes, share
// modes, devices and pipes as copy sources, hard links made by Windows
// itself, the real path and the process list. Built for Windows only and run
// under Wine.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/file_system.h"
#include "support/recurse.h"
#include "support/text.h"
#include "temp_folder.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::TempFolder;
using Strings = std::vector<std::string>;

std::wstring Wide(const std::string& utf8) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

DWORD AttributesOf(const std::string& path) { return ::GetFileAttributesW(Wide(path).c_str()); }

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(::SetFileAttributesW(Wide(path).c_str(), attributes)) << path;
}

bool ReadOnly(const std::string& path) {
    const DWORD a = AttributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY) != 0;
}

// Holds a file open the way a running copy holds its temporary file: without
// sharing.
class Held {
public:
    explicit Held(const std::string& path)
        : h_(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~Held() { release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    bool holds() const { return h_ != INVALID_HANDLE_VALUE; }
    void release() {
        if (holds()) ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }
private:
    HANDLE h_;
};

// True when `folder` holds a temporary file of one of this process's copies.
bool HasOwnCopyFile(const std::string& folder) {
    const std::string prefix = ".tavrel-" + std::to_string(::GetCurrentProcessId()) + "-";
    std::vector<DirEntry> entries;
    ListEntries(folder, entries);
    return std::any_of(entries.begin(), entries.end(), [&](const DirEntry& e) {
        return e.name.starts_with(prefix) && e.name.ends_with(".part");
    });
}

TEST(WindowsErrors, AreTheSystemsTextWithoutItsLineEnd) {
    const std::string text = ErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, "Error 2");  // the system's message, not the fallback
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), ' ');
    EXPECT_NE(text, ErrorText(ERROR_PATH_NOT_FOUND));
}

TEST(WindowsAttributes, HiddenFilesAreLeftOutAndCaseIsIgnored) {
    TempFolder t;
    t.file("b.BIG", "b");
    t.file("A.big", "a");
    const std::string hidden = t.file("h.big", "h");
    SetAttributes(hidden, FILE_ATTRIBUTE_HIDDEN);
    const std::string system = t.file("s.big", "s");
    SetAttributes(system, FILE_ATTRIBUTE_SYSTEM);
    Strings names;
    ASSERT_TRUE(ListFiles(t.path(), "*.big", names).ok());
    EXPECT_EQ(names, (Strings{"A.big", "b.BIG"}));
    EXPECT_FALSE(FileExists(hidden));
    EXPECT_FALSE(FileExists(system));
    EXPECT_FALSE(IsPlainFile(hidden));
    EXPECT_TRUE(FileExists(t / "A.big"));
    EXPECT_TRUE(FileExists(t / "a.BIG"));  // the file system finds any spelling
    EXPECT_TRUE(FolderExists(t.path() + "\\"));
    EXPECT_TRUE(FolderExists(t.path() + "/"));  // Windows takes '/' as well
    EXPECT_FALSE(FolderExists(t / "A.big"));

    EXPECT_EQ(UnusedFileName(t.path(), "A", ".BIG"), "A (2).BIG");
    // The name as the folder spells it, whatever spelling led to it.
    EXPECT_EQ(ResolveFileName(t.path(), "a", ".big"), "A.big");
}

TEST(WindowsAttributes, ReadOnlyFilesAreRefusedUnlessTheDeleteIsMeant) {
    TempFolder t;
    const std::string file = t.file("__A.bit");
    SetAttributes(file, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RemoveFile(file).text(), ErrorText(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(ReadOnly(file));
    FileDelete(file);
    EXPECT_FALSE(PathExists(file));
}

TEST(WindowsRename, NeverReplacesAndReportsAMissingSource) {
    TempFolder t;
    t.file("A.big", "a");
    t.file("b.BIG", "b");
    const Status refused = RenameNoReplace(t / "A.big", t / "B.big");
    EXPECT_EQ(refused.text(), ErrorText(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(ReadAll(t / "b.BIG"), "b");
    EXPECT_TRUE(RenameNoReplace(t / "A.big", t / "A.bit").ok());
    EXPECT_EQ(ReadAll(t / "A.bit"), "a");
    EXPECT_EQ(RenameNoReplace(t / "missing.bit", t / "missing.big").text(), ErrorText(ERROR_FILE_NOT_FOUND));
}

// A read-only target is replaced in one step; when the move fails, the
// target is left as it was, its read-only attribute included. (Wine replaces
// a read-only file even when nobody clears it; Windows refuses.)
TEST(WindowsRename, ReplacingARefusedReadOnlyTargetKeepsItReadOnly) {
    TempFolder t;
    const std::string replacement = t.file("new.bit", "new"), replaced = t.file("old.big", "old");
    SetAttributes(replaced, FILE_ATTRIBUTE_READONLY);
    {
        Held busy(replacement);
        ASSERT_TRUE(busy.holds());
        EXPECT_FALSE(RenameReplacing(replacement, replaced).ok());
    }
    EXPECT_EQ(ReadAll(replaced), "old");
    EXPECT_TRUE(ReadOnly(replaced));
    EXPECT_TRUE(RenameReplacing(replacement, replaced).ok());
    EXPECT_EQ(ReadAll(replaced), "new");
    EXPECT_FALSE(PathExists(replacement));
}

// Hard links are one file under two names; neither may replace the other,
// which would leave the bytes with one name fewer at best.
TEST(WindowsRename, HardLinksNeverReplaceEachOther) {
    TempFolder t;
    const std::string linked = t.file("linked.big", "linked"), link = t / "Linked2.bit";
    ASSERT_TRUE(::CreateHardLinkW(Wide(link).c_str(), Wide(linked).c_str(), nullptr));
    const std::string other = t.file("other.big", "linked");
    EXPECT_TRUE(SameFile(linked, link));
    ASSERT_TRUE(IdentifyFile(linked, false).has_value());
    EXPECT_EQ(IdentifyFile(linked, false), IdentifyFile(link, false));
    EXPECT_FALSE(SameFile(linked, other));
    EXPECT_EQ(RenameReplacing(link, linked).text(), ErrorText(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(RenameReplacing(linked, link).ok());
    EXPECT_EQ(ReadAll(linked), "linked");
    EXPECT_EQ(ReadAll(link), "linked");
}

TEST(WindowsCopy, ReplacesNeverTruncatesItselfAndCancelsCleanly) {
    TempFolder t;
    const std::string source = t.file("Storm.big", std::string(3 << 20, 's'));
    const std::string dest = t.file("game/__Storm.bit", "old version");
    const Status cancelled = CopyFileSafely(source, dest, [](std::uint64_t, std::uint64_t) { return false; });
    EXPECT_EQ(cancelled.text(), ErrorText(ERROR_CANCELLED));
    EXPECT_EQ(ReadAll(dest), "old version");
    EXPECT_EQ(t.names("game"), Strings{"__Storm.bit"});

    ASSERT_TRUE(CopyFileSafely(source, dest).ok());
    EXPECT_EQ(ReadAll(dest).size(), 3u << 20);
    EXPECT_TRUE(SameContent(source, dest));
    EXPECT_TRUE(CopyFileSafely(dest, dest).ok());
    EXPECT_EQ(ReadAll(dest).size(), 3u << 20);
    EXPECT_EQ(CopyFileSafely(t / "missing.big", t / "game/x.bit").text(), ErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(HasOwnCopyFile(t / "game"));
}

// What a copy would wait on for ever, or read without end, is refused before
// anything is created.
TEST(WindowsCopy, RefusesSourcesThatAreNoFiles) {
    TempFolder t;
    const std::string dest = t.file("game/__Storm.bit", "kept");
    EXPECT_EQ(CopyFileSafely(t.folder("game/Data"), t / "game/Data.bit").text(), ErrorText(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(PathExists(t / "game/Data.bit"));
    EXPECT_FALSE(CopyFileSafely("NUL", dest).ok());

    // A pipe whose writer never writes.
    const std::string pipe = "\\\\.\\pipe\\tavrel-test-" + std::to_string(::GetCurrentProcessId());
    const HANDLE server = ::CreateNamedPipeW(Wide(pipe).c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                             0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    const Status pipeCopy = CopyFileSafely(pipe, dest);
    ::CloseHandle(server);
    EXPECT_EQ(pipeCopy.text(), ErrorText(ERROR_NOT_SUPPORTED));

    EXPECT_EQ(ReadAll(dest), "kept");
    EXPECT_FALSE(HasOwnCopyFile(t / "game"));
}

// A read-only destination is refused, as Windows refuses it; once writable it
// is replaced like any other, and the copy arrives neither hidden like the
// temporary file nor read-only.
TEST(WindowsCopy, ReadOnlyDestinationsAreRefused) {
    TempFolder t;
    const std::string dest = t.file("game/__Storm.bit", "old");
    SetAttributes(dest, FILE_ATTRIBUTE_READONLY);
    const std::string source = t.file("small.big", "small");
    EXPECT_EQ(CopyFileSafely(source, dest).text(), ErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadAll(dest), "old");
    SetAttributes(dest, FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(CopyFileSafely(source, dest).ok());
    EXPECT_EQ(ReadAll(dest), "small");
    EXPECT_TRUE(FileExists(dest));
    EXPECT_EQ(AttributesOf(dest) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY), 0u);
    EXPECT_FALSE(HasOwnCopyFile(t / "game"));
}

// Leftovers of killed copies go; a copy still running holds its file without
// sharing, and names that are not a copy's own stay.
TEST(WindowsCopy, OnlyStaleCopiesAreRemoved) {
    TempFolder t;
    for (const char* name : {".tavrel-1-1.part", ".tavrel-2-2.part", ".tavrel-x.part", "keep.part"}) {
        t.file(name, "partial");
    }
    SetAttributes(t / ".tavrel-1-1.part", FILE_ATTRIBUTE_HIDDEN);
    Held running(t / ".tavrel-2-2.part");
    ASSERT_TRUE(running.holds());
    RemoveStaleCopies(t.path());
    EXPECT_EQ(t.names(), (Strings{".tavrel-2-2.part", ".tavrel-x.part", "keep.part"}));
    running.release();
    RemoveStaleCopies(t.path());
    EXPECT_EQ(t.names(), (Strings{".tavrel-x.part", "keep.part"}));  // only the hold kept it

    // The same for a real copy: a sweep while it runs leaves its file alone.
    const std::string source = t.file("src/Storm.big", std::string(3 << 20, 's'));
    bool partDuringCopy = false;
    ASSERT_TRUE(CopyFileSafely(source, t / "Storm.big", [&](std::uint64_t, std::uint64_t) {
        RemoveStaleCopies(t.path());
        partDuringCopy = partDuringCopy || HasOwnCopyFile(t.path());
        return true;
    }).ok());
    EXPECT_TRUE(partDuringCopy);
    EXPECT_TRUE(SameContent(source, t / "Storm.big"));
    EXPECT_FALSE(HasOwnCopyFile(t.path()));
}

TEST(WindowsPaths, RealPathIsAbsoluteWithoutTheLongPathPrefix) {
    TempFolder t;
    t.folder("game/Data");
    const auto real = RealPath(t / "game/Data/..");
    ASSERT_TRUE(real.has_value());
    ASSERT_GT(real->size(), 3u);
    EXPECT_EQ((*real)[1], ':');
    EXPECT_EQ((*real)[2], '\\');
    EXPECT_EQ(real->find("\\\\?\\"), std::string::npos);
    EXPECT_EQ(IdentifyFolder(*real), IdentifyFolder(t / "game"));
    EXPECT_FALSE(RealPath(t / "missing/x.big").has_value());
}

TEST(WindowsPaths, TheMovieSearchCleansWindowsPaths) {
    TempFolder t;
    t.file("Data/Movies/EA_LOGO.BIK", "logo");
    t.file("Data/intro.bik", "intro");
    EXPECT_EQ(FindFilesRecursive(t.path() + "\\\\Data\\", "*.bik", 0, kAttributeDirectory),
              (Strings{t / "Data/intro.bik", t / "Data/Movies/EA_LOGO.BIK"}));
}

TEST(WindowsProcesses, ThisProgramIsFoundByItsName) {
    wchar_t self[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    char utf8[4 * MAX_PATH];
    ASSERT_GT(::WideCharToMultiByte(CP_UTF8, 0, self, -1, utf8, sizeof utf8, nullptr, nullptr), 0);
    const std::string selfPath = utf8, selfName = FileGetName(selfPath);
    Strings programs;
    for (const RunningProcess& p : RunningProcesses([&](std::string_view name) { return EqualsNoCase(name, selfName); })) {
        programs.push_back(p.program);
    }
    EXPECT_TRUE(std::any_of(programs.begin(), programs.end(), [&](const std::string& p) { return SameFile(p, selfPath); }))
        << selfPath;
    for (const std::string& p : programs) EXPECT_TRUE(EqualsNoCase(FileGetName(p), selfName)) << p;
    EXPECT_TRUE(RunningProcesses([](std::string_view) { return false; }).empty());
}

}  // namespace
}  // namespace tavrel
