// "Install A Mod" on real folders with a scripted window.
#include <deque>
#include <filesystem>

#include "store_fixture.h"

namespace tavrel {
namespace {

using test::Native;
using test::ReadAll;
using test::Reason;
using test::ReasonText;
using test::Strings;
using test::TempFolder;

const std::string kIntro =
    "Tavrel can automaticaly import a MOD (.big file) to your Generals folder. Tavrel will rename the file to a "
    ".bit file until you activate it for use. Please select the MOD (.big file) you want to import now...";
// The copy error, with the platform's reason in parentheses.
std::string CopyError(const std::string& reason) {
    return "An error occurred while attempting to copy the new MOD to your Generals folder! Please ensure that the "
           "MOD is a valid .big file that is not in use, and that the path to your Generals folder is valid. (" +
           reason + ")";
}

TEST(InstalledModName, TakesExactlyTwoUnderscoresAndBit) {
    for (const std::string name : {"Storm.big", "_Storm.big", "__Storm.big", "____Storm.big"}) {
        EXPECT_EQ(InstalledModName(name), "__Storm.bit") << name;
    }
    EXPECT_EQ(InstalledModName("Blue.Storm.v2.big"), "__Blue.Storm.v2.bit");
    EXPECT_EQ(InstalledModName("Storm"), "__Storm.bit");
    EXPECT_EQ(InstalledModName("___"), "__.bit");
}

class Install : public test::StoreTest {
protected:
    TempFolder downloads;
};

TEST_F(Install, CancelInTheIntroductionChangesNothing) {
    w.answers = {Answer::Cancel};
    store.lblInstallMod_Click();
    EXPECT_EQ(w.texts(), Strings{kIntro});
    EXPECT_EQ(w.shown[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(w.shown[0].icon, Icon::Information);
    EXPECT_TRUE(w.fileRequests.empty());
}

TEST_F(Install, CancelInTheDialogOnlyCleansTheFolderText) {
    w.folder = t.path() + Native("//");
    w.answers = {Answer::Ok};
    w.fileChoices = {std::nullopt};
    markList();
    store.lblInstallMod_Click();
    EXPECT_EQ(w.folder, t.path());
    ASSERT_EQ(w.fileRequests.size(), 1u);
    const FileDialogRequest& r = w.fileRequests[0];
    EXPECT_EQ(r.title, "Select Generals MOD....");
    EXPECT_EQ(r.defaultExt, "big");
    EXPECT_EQ(r.initialDir, t.path());
    // Mods as they come and as they are downloaded in the first filter, so
    // that none has to be switched; the .big-only filter is still there.
    ASSERT_EQ(r.filters.size(), 2u);
    EXPECT_EQ(r.filters[0].pattern, "*.big;*.zip;*.7z;*.rar");
    EXPECT_EQ(r.filters[1].description, "Generals MOD Files (*.big)");
    EXPECT_EQ(r.filters[1].pattern, "*.big");
    EXPECT_TRUE(t.names().empty());
    EXPECT_EQ(w.shown.size(), 1u);
}

TEST_F(Install, WithoutAGameFolderTheDialogOpensOnTheCurrentDirectory) {
    w.folder = t / "missing";
    w.answers = {Answer::Ok};
    w.fileChoices = {std::nullopt};
    store.lblInstallMod_Click();
    EXPECT_EQ(w.fileRequests[0].initialDir, std::filesystem::current_path().string());
}

TEST_F(Install, CopiesUnderTheManagedNameAndOffersActivation) {
    const std::string source = downloads.file("_Shock Wave.v2.big", "mod bytes");
    w.answers = {Answer::Ok, Answer::No};
    w.fileChoices = {source};
    store.lblInstallMod_Click();
    EXPECT_EQ(ReadAll(t / "__Shock Wave.v2.bit"), "mod bytes");
    EXPECT_EQ(ReadAll(source), "mod bytes");
    EXPECT_EQ(w.list, Strings{"__Shock Wave.v2"});
    ASSERT_EQ(w.shown.size(), 2u);
    EXPECT_EQ(w.shown[1].text,
              "MOD (_Shock Wave.v2.big) has been successfully installed. Tavrel has renamed the MOD to "
              "__Shock Wave.v2.bit\r\n\r\nWould you like to activate this MOD now?");
    EXPECT_EQ(w.shown[1].buttons, Buttons::YesNo);
    EXPECT_EQ(w.shown[1].icon, Icon::Information);
    EXPECT_EQ(w.progress.texts, Strings{"Installing _Shock Wave.v2.big..."});
    ASSERT_FALSE(w.progress.updates.empty());
    EXPECT_EQ(w.progress.updates.back(), (std::pair<std::uint64_t, std::uint64_t>{9, 9}));
}

TEST_F(Install, YesActivatesTheNewMod) {
    t.file("__Old.big", "old");
    w.answers = {Answer::Ok, Answer::Yes, Answer::Ok, Answer::Ok};
    w.fileChoices = {downloads.file("New.big", "new")};
    store.lblInstallMod_Click();
    EXPECT_EQ(w.texts()[2], "Mod __Old Has Been De-activated...");
    EXPECT_EQ(w.texts()[3], "MOD __New activated...");
    EXPECT_EQ(t.names(), (Strings{"__New.big", "__Old.bit"}));
}

TEST_F(Install, ReplacesAnInactiveCopyOfTheSameName) {
    t.file("__Storm.BIT", "version 1");
    w.answers = {Answer::Ok, Answer::No};
    w.fileChoices = {downloads.file("Storm.big", "version 2")};
    store.lblInstallMod_Click();
    expectOnlyFile("__Storm.BIT", "version 2");
    EXPECT_EQ(w.shown.size(), 2u);
}

TEST_F(Install, UnderTheActiveModsNameLandsBesideIt) {
    t.file("__Storm.big", "active version");
    w.zh = 1;
    w.answers = {Answer::Ok, Answer::Ok};
    w.fileChoices = {downloads.file("Storm.big", "new version")};
    store.lblInstallMod_Click();
    EXPECT_NE(w.shown[0].text.find("to your Generals Zero Hour folder."), std::string::npos);
    EXPECT_EQ(w.shown[1].text,
              "MOD (__Storm) has been successfully installed. Tavrel has renamed the MOD to __Storm.bit\r\n\r\n"
              "This MOD is currently active.");
    EXPECT_EQ(w.shown[1].buttons, Buttons::Ok);
    EXPECT_EQ(ReadAll(t / "__Storm.big"), "active version");
    EXPECT_EQ(ReadAll(t / "__Storm.bit"), "new version");
}

TEST_F(Install, AFailedCopyIsReportedWithoutARescan) {
    w.answers = {Answer::Ok, Answer::Ok};
    w.fileChoices = {downloads / "typed-but-missing.big"};
    markList();
    store.lblInstallMod_Click();
    EXPECT_EQ(w.texts(), (Strings{kIntro, CopyError(ReasonText(Reason::NoSuchFile))}));
    EXPECT_EQ(w.shown[1].icon, Icon::Critical);
    EXPECT_FALSE(scannedSinceMark());
    EXPECT_TRUE(t.names().empty());

    w.zh = 1;
    w.folder = t / "missing";
    w.answers = {Answer::Ok, Answer::Ok};
    w.fileChoices = {downloads.file("Storm.big")};
    store.lblInstallMod_Click();
    EXPECT_NE(w.texts().back().find("the path to your Generals Zero Hour folder is valid. (" +
                                    ReasonText(Reason::NoSuchFolder) + ")"),
              std::string::npos)
        << w.texts().back();
    EXPECT_FALSE(scannedSinceMark());
}

TEST_F(Install, AnEmptyFolderTextNeverCopiesToTheRoot) {
    w.folder = "";
    w.answers = {Answer::Ok, Answer::Ok};
    w.fileChoices = {downloads.file("Storm.big")};
    store.lblInstallMod_Click();
    EXPECT_EQ(w.texts().back(), CopyError(ReasonText(Reason::NoSuchFile)));
    EXPECT_FALSE(std::filesystem::exists(Native("/__Storm.bit")));
}

TEST_F(Install, OntoItselfKeepsTheArchiveWhole) {
    const std::string own = t.file("__Storm.bit", "precious");
    w.answers = {Answer::Ok, Answer::No};
    w.fileChoices = {own};
    store.lblInstallMod_Click();
    EXPECT_EQ(ReadAll(own), "precious");
    EXPECT_EQ(t.names(), Strings{"__Storm.bit"});
}

TEST_F(Install, ACancelledCopyLeavesTheFolderAsItWas) {
    t.file("__Storm.bit", "version 1");
    w.progress.cancelAt = 1;
    w.answers = {Answer::Ok};
    w.fileChoices = {downloads.file("Storm.big", std::string(1 << 20, 'x'))};
    store.lblInstallMod_Click();
    EXPECT_EQ(w.shown.size(), 1u);  // the user's own choice: no error message
    EXPECT_EQ(t.names(), Strings{"__Storm.bit"});
    EXPECT_EQ(ReadAll(t / "__Storm.bit"), "version 1");
}

// Installs out of archives made at test time (tests/archives/): the mod is a
// .big member under its own name; several ask the user which (one of them
// ticked alone is installed as it is).
struct FromArchive {
    std::string archive;                                   // one of the made archives
    std::string pickedAs;                                  // the name the user's copy has
    std::deque<std::optional<ArchiveChoice>> picks{};      // the checklist's answers
    Strings chooserShowed{};                               // what it offered
    std::string told{};                                    // the message after the introduction
    std::vector<std::pair<std::string, std::string>> files{};  // the game folder: name, made archives' expected/ file
};

class InstallFromArchive : public Install, public ::testing::WithParamInterface<FromArchive> {};

std::string Installed(const std::string& member, const std::string& name) {
    return "MOD (" + member + ") has been successfully installed. Tavrel has renamed the MOD to " + name +
           "\r\n\r\nWould you like to activate this MOD now?";
}

TEST_P(InstallFromArchive, PicksTheModOutOfIt) {
    const FromArchive& c = GetParam();
    const std::string made = test::TestArchives();
    if (made.empty()) GTEST_SKIP() << "no test archives: ctest makes them";
    // Picked under a name of its own: the letter case of the extension does not matter.
    const std::string bytes = ReadAll(made + Native("/" + c.archive));
    const std::string source = downloads.file(c.pickedAs, bytes);
    w.answers = {Answer::Ok, c.told.starts_with("MOD (") ? Answer::No : Answer::Ok};
    w.fileChoices = {source};
    w.archiveChoices = c.picks;
    store.lblInstallMod_Click();
    if (c.told.empty()) {
        EXPECT_EQ(w.texts(), Strings{kIntro});
        w.answers.clear();
    } else {
        EXPECT_EQ(w.texts(), (Strings{kIntro, c.told}));
    }
    EXPECT_EQ(w.archivesShown, c.chooserShowed.empty() ? std::vector<Strings>{} : std::vector<Strings>{c.chooserShowed});
    Strings names;
    for (const auto& [name, content] : c.files) {
        names.push_back(name);
        EXPECT_EQ(ReadAll(t / name), ReadAll(made + Native("/expected/" + content))) << name;
    }
    EXPECT_EQ(t.names(), names);
    EXPECT_EQ(ReadAll(source), bytes);  // the archive is left as it was
}

INSTANTIATE_TEST_SUITE_P(Made, InstallFromArchive, ::testing::Values(
    FromArchive{"stored-utf8.zip", "Stürm 2.0.ZIP", {}, {}, Installed("Stürm.big", "__Stürm.bit"),
                {{"__Stürm.bit", "Stürm.big"}}},
    FromArchive{"lzma2.7z", "Pack.7z", {ArchiveChoice{{1}, "Pack"}}, {"Blue.big", "Storm.big"},
                Installed("Storm.big", "__Storm.bit"),
                {{"__Storm.bit", "Stürm.big"}}},
    FromArchive{"lzma2.7z", "Pack.7z", {std::nullopt}, {"Blue.big", "Storm.big"}},
    FromArchive{"none.zip", "Pack.zip", {}, {}, CopyError("the archive holds no MOD")},
    FromArchive{"screens.zip", "Pack.zip", {}, {}, CopyError("the archive holds no MOD")},
    FromArchive{"html.zip", "Pack.zip", {}, {}, CopyError("the file is not a .zip, .7z or .rar archive")},
    FromArchive{"encrypted.7z", "Pack.7z", {}, {}, CopyError("the archive is protected by a password")}),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

}  // namespace
}  // namespace tavrel
