// The reader of the game's archive tables on tables made byte by byte, and
// the writer read back by it.
#include <gtest/gtest.h>

#include "game/big_archive.h"
#include "temp_folder.h"

namespace tavrel {
namespace {

std::string BigEndian(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

// "BIGF", a size the reader ignores, `count`, then the table bytes given.
std::string Header(std::uint32_t count, const std::string& table) {
    return "BIGF" + std::string(4, '\0') + BigEndian(count) + BigEndian(16) + table;
}

std::string Entry(std::uint32_t offset, std::uint32_t size, const std::string& path) {
    return BigEndian(offset) + BigEndian(size) + path + '\0';
}

Status ReadTable(const std::string& bytes, std::vector<BigEntry>& out) {
    test::TempFolder t;
    return ReadBigFile(t.file("x.big", bytes), out);
}

TEST(BigArchive, TheReaderChecksEveryBound) {
    const std::string path259(259, 'p');
    const struct {
        const char* what;
        std::string bytes;
        const char* why;  // nothing: read
    } rows[] = {
        {"two entries", Header(2, Entry(40, 2, "a") + Entry(42, 0, "Data\\b.ini")) + "xy", nullptr},
        {"a path of 259 bytes", Header(1, Entry(0, 4, path259)), nullptr},
        {"not BIGF", "BIG4" + Header(0, "").substr(4), kNotBigArchive},
        {"shorter than a header", "BIGF", kNotBigArchive},
        {"a count beyond the file", Header(1000, Entry(0, 1, "a")), kBigTableDamaged},
        {"an entry past the end", Header(1, Entry(20, 100, "a")), kBigTableDamaged},
        {"an offset past the end", Header(1, Entry(1000, 0, "a")), kBigTableDamaged},
        {"a path without its end", Header(1, Entry(0, 1, "a")).substr(0, 16 + 8 + 1), kBigTableDamaged},
        {"a path of 260 bytes", Header(1, Entry(0, 4, path259 + "q")), kBigTableDamaged},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<BigEntry> table;
        const Status read = ReadTable(row.bytes, table);
        if (!row.why) {
            EXPECT_TRUE(read.ok()) << read.text();
            EXPECT_FALSE(table.empty());
        } else {
            EXPECT_EQ(read.text(), row.why);
            EXPECT_TRUE(table.empty());
        }
    }
    std::vector<BigEntry> table;
    ASSERT_TRUE(ReadTable(rows[0].bytes, table).ok());
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[1].path, "Data\\b.ini");
    EXPECT_EQ(table[0].offset, 40u);
    EXPECT_EQ(table[0].size, 2u);
}

TEST(BigArchive, TheWriterMakesWhatTheReaderReadsAndRefusesWhatTheGameCannot) {
    test::TempFolder t;
    const std::vector<BigWriteEntry> entries{{"Data\\a.ini", 0, 3}, {"b", 1, 2}};
    const std::string target = t / "__Mod.bit";
    ASSERT_TRUE(WriteBigFile(target, entries, 3, [](const ByteSink& sink) { return sink("abc"); }).ok());
    std::vector<BigEntry> table;
    ASSERT_TRUE(ReadBigFile(target, table).ok());
    const std::string bytes = test::ReadAll(target);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(bytes.substr(table[0].offset, table[0].size), "abc");
    EXPECT_EQ(bytes.substr(table[1].offset, table[1].size), "bc");
    EXPECT_EQ(bytes.size(), BigTableSize(entries) + 3);

    // Data shorter than promised, a path the game's buffer cannot take and
    // bytes at 2 GiB leave nothing behind.
    EXPECT_FALSE(WriteBigFile(t / "short.bit", entries, 3, [](const ByteSink& sink) { return sink("ab"); }).ok());
    EXPECT_EQ(WriteBigFile(t / "long.bit", {{std::string(260, 'p'), 0, 0}}, 0, {}).ok(), false);
    EXPECT_EQ(CheckBigArchive({{"a", 0, 1}}, kBigSizeLimit - 25).text(), kBigTooLarge);
    EXPECT_TRUE(CheckBigArchive({{"a", 0, 1}}, kBigSizeLimit - 26).ok());  // the last byte just below 2 GiB
    EXPECT_EQ(t.names(), std::vector<std::string>{"__Mod.bit"});
}

}  // namespace
}  // namespace tavrel
