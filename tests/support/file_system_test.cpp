// The file helpers and the platform layer on real temporary folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "support/file_system.h"
#include "support/platform.h"
#include "temp_folder.h"

namespace tavrel {
namespace {

using test::MakeReadOnly;
using test::Native;
using test::ReadAll;
using test::Reason;
using test::ReasonText;
using test::TempFolder;

TEST(FileExists, OnlyVisibleRegularFiles) {
    TempFolder t;
    EXPECT_TRUE(FileExists(t.file("mod.big")));
    EXPECT_FALSE(FileExists(t.folder("Data")));
    const std::string hidden = t.file(".hidden.big");
    test::MakeHidden(hidden);
    EXPECT_FALSE(FileExists(hidden));
    EXPECT_FALSE(FileExists(t / "missing.big"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(t / "*.big"));
}

TEST(FolderExists, AnswersDirectly) {
    TempFolder t;
    EXPECT_TRUE(FolderExists(t.path()));
    EXPECT_TRUE(FolderExists(t.path() + Native("/")));
    EXPECT_TRUE(FolderExists(t.path() + Native("//")));
    EXPECT_FALSE(FolderExists(t.file("mod.big")));
    EXPECT_FALSE(FolderExists(t / "missing"));
    EXPECT_FALSE(FolderExists(Native("/")));  // one character is never a folder
    EXPECT_FALSE(FolderExists(""));
    EXPECT_TRUE(FolderExists(test::OnWindows() ? "C:" : "/tmp"));  // short, and a folder
}

TEST(FileDelete, DeletesReadOnlyAndIgnoresMissing) {
    TempFolder t;
    const std::string file = t.file("__Old.bit");
    MakeReadOnly(file);
    FileDelete(file);
    EXPECT_FALSE(FileExists(file));
    FileDelete(t / "never-there.bit");  // no error reaches the caller
    EXPECT_TRUE(t.names().empty());
}

TEST(FileWriteText, WritesExactBytesAndReportsThePlatformText) {
    TempFolder t;
    const std::string text = "line one\r\nline two\r\n\xE9";
    FileWriteText(text, t / "readme.txt");
    EXPECT_EQ(ReadAll(t / "readme.txt"), text);
    FileWriteText("short", t / "readme.txt");
    EXPECT_EQ(ReadAll(t / "readme.txt"), "short");
    try {
        FileWriteText("x", t / "no-folder/readme.txt");
        FAIL() << "writing into a missing folder succeeded";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(e.what(), ReasonText(Reason::NoSuchFolder));
    }
}

TEST(FileCopyChecked, ReplacesTheDestinationAndFailsCleanly) {
    TempFolder t;
    const std::string source = t.file("src/mod.big", "new bytes");
    const std::string dest = t.file("game/__mod.bit", "old");
    EXPECT_TRUE(FileCopyChecked(source, dest));
    EXPECT_EQ(ReadAll(dest), "new bytes");
    EXPECT_EQ(ReadAll(source), "new bytes");

    EXPECT_FALSE(FileCopyChecked(t / "src/missing.big", dest));
    EXPECT_EQ(ReadAll(dest), "new bytes");
    EXPECT_FALSE(FileCopyChecked(source, t / "no-folder/__mod.bit"));
    EXPECT_EQ(t.names("game"), std::vector<std::string>{"__mod.bit"});  // no temporary file left
}

TEST(CopyFileSafely, KeepsTheOldCopyUntilTheNewOneIsComplete) {
    TempFolder t;
    const std::string big(3 * (8u << 20) + 123, 'm');  // several steps of the copy
    const std::string source = t.file("mod.big", big);
    const std::string dest = t.file("game/__mod.bit", "the old inactive copy");
    int calls = 0;
    const Status cancelled = CopyFileSafely(source, dest, [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_LE(done, total);
        EXPECT_EQ(total, big.size());
        return ++calls < 2;  // cancel after the first step
    });
    EXPECT_FALSE(cancelled.ok());
    EXPECT_EQ(cancelled.text(), ReasonText(Reason::Cancelled));
    EXPECT_EQ(ReadAll(dest), "the old inactive copy");
    EXPECT_EQ(t.names("game"), std::vector<std::string>{"__mod.bit"});

    std::uint64_t last = 0;
    ASSERT_TRUE(CopyFileSafely(source, dest, [&](std::uint64_t done, std::uint64_t) {
        last = done;
        return true;
    }).ok());
    EXPECT_EQ(last, big.size());
    EXPECT_EQ(ReadAll(dest), big);
}

TEST(CopyFileSafely, AFileThatCannotFitIsRefusedBeforeAByteIsWritten) {
    TempFolder t;
    const std::string dest = t.file("game/__mod.bit", "the old inactive copy");
    // A sparse source bigger than the room on the volume: it takes none.
    const std::string source = t / "huge.big";
    std::error_code error;
    const auto room = std::filesystem::space(t.path(), error);
    ASSERT_FALSE(error) << error.message();
    {
        std::ofstream out(source, std::ios::binary);
        out.seekp(static_cast<std::streamoff>(room.free + (1ull << 30)));
        out.put('\0');
        if (!out) GTEST_SKIP() << "no sparse file bigger than the free space here";
    }

    bool began = false;
    const Status copied = CopyFileSafely(source, dest, [&](std::uint64_t, std::uint64_t) {
        began = true;
        return false;
    });
    EXPECT_FALSE(began);
    EXPECT_EQ(copied.text(), ReasonText(Reason::DiskFull));
    EXPECT_EQ(ReadAll(dest), "the old inactive copy");
    EXPECT_EQ(t.names("game"), std::vector<std::string>{"__mod.bit"});
}

TEST(CopyFileSafely, OntoItselfLeavesTheFileWhole) {
    TempFolder t;
    const std::string file = t.file("game/__mod.bit", "precious");
    EXPECT_TRUE(CopyFileSafely(file, file).ok());
    EXPECT_TRUE(CopyFileSafely(t.path() + Native("/game//__mod.bit"), file).ok());
    EXPECT_EQ(ReadAll(file), "precious");
    EXPECT_FALSE(CopyFileSafely(t.folder("dir"), t / "game/x.bit").ok());
}

// A batch of safe writes: more files than its window, then a batch cut off
// half-way and dropped. Whatever has a name holds all its bytes, and what
// waited when the batch was dropped leaves nothing behind.
TEST(WriteBatch, NamesOnlyWholeFilesAndKeepsAtMostAWindowWaiting) {
    TempFolder t;
    const std::string folder = t.folder("Data/Movies");
    const auto bytes = [](int i) { return std::string((1u << 17) + static_cast<unsigned>(i), static_cast<char>('a' + i)); };
    const auto movie = [&](int i) { return folder + Native("/m") + std::to_string(i) + ".bik"; };
    const auto write = [&](WriteBatch& batch, int i) {
        const std::string b = bytes(i);
        return batch.write(movie(i), b.size(), [&](const ByteSink& sink) {
            // In pieces, as a copy hands them on.
            for (std::size_t at = 0; at < b.size(); at += 4096) {
                if (Status taken = sink(std::string_view(b).substr(at, 4096)); !taken.ok()) return taken;
            }
            return Status::Ok();
        });
    };
    // The files named so far, each checked whole; a temporary file that
    // waits under a name of its own (Windows, or no O_TMPFILE) is left out.
    const auto named = [&] {
        std::vector<std::string> names;
        for (const std::string& name : t.names("Data/Movies")) {
            if (IsCopyTemporaryName(name)) continue;
            const int i = std::stoi(name.substr(1));
            EXPECT_EQ(ReadAll(movie(i)), bytes(i)) << name;
            names.push_back(name);
        }
        return names;
    };

    constexpr int kWindow = 4, kFiles = 11;
    {
        WriteBatch batch(kWindow);
        for (int i = 0; i < kFiles; ++i) {
            ASSERT_TRUE(write(batch, i).ok());
            // Each waiting file holds a file open: never a window of them.
            EXPECT_LT(static_cast<std::size_t>(i + 1) - named().size(), static_cast<std::size_t>(kWindow)) << i;
        }
        ASSERT_TRUE(batch.finish().ok());
        EXPECT_EQ(named().size(), static_cast<std::size_t>(kFiles));
        EXPECT_EQ(t.names("Data/Movies").size(), static_cast<std::size_t>(kFiles));  // no temporary file left
    }

    RemoveTree(folder);
    MakeFolders(folder);
    {
        WriteBatch batch(kWindow);
        for (int i = 0; i < kWindow + 1; ++i) ASSERT_TRUE(write(batch, i).ok());
        // The next file fails half-way: the disk is full, or the user cancels.
        const Status failed = batch.write(movie(9), 1u << 16, [&](const ByteSink& sink) {
            const Status taken = sink(std::string(1u << 15, 'z'));
            return taken.ok() ? FailureStatus(Failure::Cancelled) : taken;
        });
        EXPECT_EQ(failed.text(), ReasonText(Reason::Cancelled));
    }  // dropped, with file 4 waiting, whole but never flushed
    std::vector<std::string> kept = named();
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<std::string>{"m0.bik", "m1.bik", "m2.bik", "m3.bik"}));
    EXPECT_EQ(t.names("Data/Movies"), kept);  // nothing else, under any name
}

TEST(ListFiles, MatchesWithoutRegardToCaseAndSorts) {
    TempFolder t;
    t.file("b.BIG");
    t.file("A.big");
    t.file("c.bit");
    test::MakeHidden(t.file(".hidden.big"));
    t.folder("folder.big");
    std::vector<std::string> names;
    ASSERT_TRUE(ListFiles(t.path(), "*.big", names).ok());
    EXPECT_EQ(names, (std::vector<std::string>{"A.big", "b.BIG"}));
    ASSERT_TRUE(ListFiles(t.path(), "*.BIT", names).ok());
    EXPECT_EQ(names, std::vector<std::string>{"c.bit"});
    const Status missing = ListFiles(t / "missing", "*.big", names);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.text(), ReasonText(Reason::NoSuchFolder));
    EXPECT_TRUE(names.empty());
}

TEST(RenameNoReplace, NeverReplacesAFileInAnyLetterCase) {
    TempFolder t;
    const std::string from = t.file("__Mod.big", "active");
    t.file("__MOD.BIT", "inactive");
    const Status refused = RenameNoReplace(from, t / "__Mod.bit");
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.text(), ReasonText(Reason::FileExists));
    EXPECT_EQ(ReadAll(from), "active");
    EXPECT_EQ(ReadAll(t / "__MOD.BIT"), "inactive");

    t.file("exact.bit", "target");
    EXPECT_FALSE(RenameNoReplace(from, t / "exact.bit").ok());
    EXPECT_EQ(ReadAll(t / "exact.bit"), "target");

    EXPECT_TRUE(RenameNoReplace(from, t / "__mod.big").ok());  // only its own case changes
    EXPECT_EQ(ReadAll(t / "__mod.big"), "active");
    EXPECT_FALSE(RenameNoReplace(t / "missing.bit", t / "missing.big").ok());
}

TEST(RemoveFile, RefusesReadOnlyAndMissingFilesWithThePlatformText) {
    TempFolder t;
    const std::string file = t.file("__Mod.bit");
    MakeReadOnly(file);
    const Status refused = RemoveFile(file);
    EXPECT_EQ(refused.text(), ReasonText(Reason::AccessDenied));
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(RemoveFile(t / "gone.bit").text(), ReasonText(Reason::NoSuchFile));
    test::MakeWritable(file);
    EXPECT_TRUE(RemoveFile(file).ok());
    EXPECT_FALSE(FileExists(file));
}

TEST(ResolveFileName, FindsABuiltNameWhateverItsCase) {
    if (test::OnWindows()) {
        GTEST_SKIP() << "Windows' file system ignores letter case itself: names that differ only by case "
                        "are one file there, and the built name reaches it as it is";
    }
    TempFolder t;
    EXPECT_EQ(ResolveFileName(t.path(), "__Mod", ".big"), "__Mod.big");  // nothing there: the built name
    t.file("__mod.BIG");
    EXPECT_EQ(ResolveFileName(t.path(), "__Mod", ".big"), "__mod.BIG");
    t.file("__Mod.Big");
    // The file spelled like the entry wins; each stays reachable by its own entry.
    EXPECT_EQ(ResolveFileName(t.path(), "__Mod", ".big"), "__Mod.Big");
    EXPECT_EQ(ResolveFileName(t.path(), "__mod", ".big"), "__mod.BIG");
    t.file("__Mod.big");
    EXPECT_EQ(ResolveFileName(t.path(), "__Mod", ".big"), "__Mod.big");
}

}  // namespace
}  // namespace tavrel
