// Mods read out of archives made at test time (tests/archives/): sound ones
// from Debian's tools, hostile and broken ones made byte by byte, and the
// RAR samples of libarchive's source package. The same table runs on Linux
// and on the Windows platform layer under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "game/big_archive.h"
#include "support/archive.h"
#include "temp_folder.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::Reason;
using test::ReasonText;
using test::TempFolder;
using Strings = std::vector<std::string>;

const std::string kNotAnArchive = "the file is not a .zip, .7z or .rar archive";
const std::string kDamaged = "the archive is damaged or incomplete";
const std::string kPassword = "the archive is protected by a password";

// The bytes of RAR5's test.bin as libarchive's own test makes them: the
// numbers k * k - 3 * k + 1 from k = 1, as 32-bit little-endian, none below 0.
std::string RarTestBin() {
    std::string out;
    for (int k = 1; k <= 300; ++k) {
        const std::int32_t value = std::max(0, k * k - 3 * k + 1);
        for (int b = 0; b < 4; ++b) out += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * b)) & 0xFF);
    }
    return out;
}

struct ArchiveCase {
    std::string archive;
    // Every regular file (name and size), or the listing's failure.
    std::optional<std::vector<std::pair<std::string, std::uint64_t>>> files;
    std::string listFailure;
    Strings mods;              // ListModMembers' names
    // The first mod (else the first file) unpacked: its bytes ("expected/"
    // names a file of the made archives) or the failure.
    std::string unpacked;
    std::string unpackFailure;
};

using Files = std::vector<std::pair<std::string, std::uint64_t>>;

std::vector<ArchiveCase> Cases() {
    const std::uint64_t storm = 100 << 10;
    return {
        {"stored-utf8.zip", Files{{"Stürm.big", storm}, {"readme.txt", 15}}, "", {"Stürm.big"}, "expected/Stürm.big", ""},
        {"deflate-utf8.zip", Files{{"Stürm.big", storm}, {"readme.txt", 15}}, "", {"Stürm.big"},
         "expected/Stürm.big", ""},
        // No UTF-8 flag: code page 437.
        {"cp437.zip", Files{{"Stürm.big", storm}}, "", {"Stürm.big"}, "expected/Stürm.big", ""},
        {"lzma2.7z", Files{{"Blue.big", 50 << 10}, {"Storm.big", storm}, {"notes.txt", 6}}, "",
         {"Blue.big", "Storm.big"}, "expected/Blue.big", ""},
        {"none.zip", Files{{"readme.txt", 15}}, "", {}, "Read me first.\n", ""},
        // Only base names, made safe; a link, a folder and a device are none.
        {"paths.zip", Files{{"Escape.big", 3000}}, "", {"Escape.big"}, "expected/Escape.big", ""},
        {"names.zip", std::nullopt, "", {"Win.big", "Abs.big", "Drive.big", "Colon.big", "odd_na_me_.big"}, "", ""},
        {"links.zip", Files{{"readme.txt", 12}}, "", {}, "no mod here\n", ""},
        {"many.zip", std::nullopt, "", {"Escape.big"}, "expected/Escape.big", ""},
        // What a player can act on.
        {"html.zip", std::nullopt, kNotAnArchive, {}, "", ""},
        {"truncated.zip", std::nullopt, kDamaged, {}, "", ""},
        {"badcrc.zip", Files{{"Stürm.big", storm}, {"readme.txt", 15}}, "", {"Stürm.big"}, "", kDamaged},
        {"longer.zip", Files{{"Long.big", 500}}, "", {"Long.big"}, "", kDamaged},
        {"encrypted.zip", Files{{"Stürm.big", storm}}, "", {"Stürm.big"}, "", kPassword},
        {"encrypted.7z", Files{{"Storm.big", storm}}, "", {"Storm.big"}, "", kPassword},
        {"encrypted-names.7z", std::nullopt, kPassword, {}, "", ""},
        // RAR and RAR5, from libarchive's samples.
        {"rar4.rar", Files{{"test.txt", 20}, {"test.txt", 20}}, "", {}, "test text document\r\n", ""},
        {"rar5.rar", Files{{"test.bin", 1200}}, "", {}, RarTestBin(), ""},
        {"rar-encrypted.rar", Files{{"foo.txt", 16}, {"bar.txt", 16}}, "", {}, "", kPassword},
        {"rar-encrypted-names.rar", std::nullopt, kPassword, {}, "", ""},
    };
}

class Archives : public ::testing::TestWithParam<ArchiveCase> {};

TEST_P(Archives, ListAndUnpack) {
    const ArchiveCase& c = GetParam();
    const std::string folder = test::TestArchives();
    if (folder.empty()) GTEST_SKIP() << "no test archives: ctest makes them (tests/archives/make_archives.py)";
    if (c.archive.ends_with(".rar") && std::filesystem::exists(test::Native(folder + "/rar-missing"))) {
        GTEST_SKIP() << ReadAll(folder + test::Native("/rar-missing"));
    }
    const std::string archive = folder + test::Native("/" + c.archive);

    std::vector<ArchiveMember> files, mods;
    const Status listed = ListArchiveFiles(archive, files);
    EXPECT_EQ(listed.ok() ? "" : listed.text(), c.listFailure);
    if (c.files) {
        Files got;
        for (const ArchiveMember& f : files) got.emplace_back(f.name, f.size);
        EXPECT_EQ(got, *c.files);
    }
    EXPECT_EQ(ListModMembers(archive, mods).ok(), c.listFailure.empty());
    Strings names;
    for (const ArchiveMember& m : mods) names.push_back(m.name);
    EXPECT_EQ(names, c.mods);

    if (c.unpacked.empty() && c.unpackFailure.empty()) return;
    const ArchiveMember& member = mods.empty() ? files.at(0) : mods.front();
    TempFolder t;
    std::uint64_t last = 0;
    const Status unpacked = UnpackMember(archive, member, t / "__Mod.bit", [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_EQ(total, member.size);
        EXPECT_GE(done, last);
        last = done;
        return true;
    });
    if (!c.unpackFailure.empty()) {
        EXPECT_EQ(unpacked.text(), c.unpackFailure);
        EXPECT_TRUE(t.names().empty()) << "a failed unpack left a file";
        return;
    }
    ASSERT_TRUE(unpacked.ok()) << unpacked.text();
    const std::string expected = c.unpacked.starts_with("expected/") ? ReadAll(folder + test::Native("/" + c.unpacked))
                                                                   : c.unpacked;
    EXPECT_EQ(ReadAll(t / "__Mod.bit"), expected);
    EXPECT_EQ(last, member.size);
    EXPECT_EQ(t.names(), Strings{"__Mod.bit"});
}

INSTANTIATE_TEST_SUITE_P(Made, Archives, ::testing::ValuesIn(Cases()), [](const auto& info) {
    std::string name;
    for (const char ch : info.param.archive) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

TEST(ArchiveNames, OnlyTheBaseNameMadeSafe) {
    EXPECT_EQ(MemberBaseName("Storm 1.2/Data/Storm.big"), "Storm.big");
    EXPECT_EQ(MemberBaseName("..\\..\\Windows\\Evil.big"), "Evil.big");
    EXPECT_EQ(MemberBaseName("C:Evil.big"), "Evil.big");
    EXPECT_EQ(MemberBaseName("/etc/"), "");
    EXPECT_EQ(MemberBaseName("a<b>c:d\"e|f?g*h\x01.big"), "a_b_c_d_e_f_g_h_.big");
    EXPECT_EQ(MemberBaseName("Stürm.big"), "Stürm.big");
    for (const char* name : {"x.zip", "X.ZIP", "x.7z", "x.7Z", "x.rar", "x.Rar"}) EXPECT_TRUE(IsArchiveName(name));
    for (const char* name : {"x.big", "x.zip.big", "zip", "x.tar", "x.7zip"}) EXPECT_FALSE(IsArchiveName(name));
}

TEST(ArchiveUnpack, CancelLeavesNothingAndAMissingArchiveSaysSo) {
    const std::string folder = test::TestArchives();
    if (folder.empty()) GTEST_SKIP() << "no test archives: ctest makes them";
    const std::string archive = folder + test::Native("/big12.zip");
    std::vector<ArchiveMember> mods;
    ASSERT_TRUE(ListModMembers(archive, mods).ok());
    ASSERT_EQ(mods.size(), 1u);
    TempFolder t;
    const std::string old = t.file("__Big.bit", "the old copy");
    int updates = 0;
    const Status cancelled = UnpackMember(archive, mods[0], old, [&](std::uint64_t, std::uint64_t) {
        return ++updates < 3;
    });
    EXPECT_EQ(cancelled.text(), ReasonText(Reason::Cancelled));
    EXPECT_EQ(t.names(), Strings{"__Big.bit"});
    EXPECT_EQ(ReadAll(old), "the old copy");

    std::vector<ArchiveMember> none;
    EXPECT_EQ(ListModMembers(t / "missing.zip", none).text(), ReasonText(Reason::NoSuchFile));
    EXPECT_FALSE(ListModMembers(t.folder("folder.zip"), none).ok());
}

}  // namespace
}  // namespace tavrel
