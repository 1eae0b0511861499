// The command line on real folders: one table of cases, each a game folder,
// the stored settings, the arguments, and what must come out: the exit
// status, standard output, every message on standard error, and every
// file's bytes afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "cli/command_line.h"
#include "temp_folder.h"
#include "test_platform.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::TempFolder;
using Files = std::map<std::string, std::string>;

struct Case {
    const char* name = "";
    Files before = {};                        // the game folder's files
    std::vector<std::string> args = {};       // "{folder}", "{outside}" and "{archives}" stand for the folders
    Files stored = {{"zhmode", "0"}, {"path", "{folder}"}};  // the window's settings
    bool gameRuns = false;
    int status = kExitOk;
    std::string out = {};
    std::string err = {};                     // all of standard error, or a part of it when errPart
    Files after = {};                         // the files afterwards; `before` when empty; "{archives}/..." a made
                                              // file's bytes; "*" any bytes
    bool errPart = false;
};

const Files kTwoMods = {{"__Alpha.big", "alpha"}, {"__Bravo.bit", "bravo"}, {"INI.big", "game"}};
const std::string kMyModOffer =
    "MOD (My Mod.big) has been successfully installed. Tavrel has renamed the MOD to __My Mod.bit\r\n\r\n"
    "Would you like to activate this MOD now? [Yes/No] ";
const std::string kTryHelp = "\nTry 'tavrel --help' for more information.\n";
std::string Offer(const std::string& mod, const std::string& name) {
    return "MOD (" + mod + ") has been successfully installed. Tavrel has renamed the MOD to " + name +
           "\r\n\r\nWould you like to activate this MOD now? [Yes/No] ";
}

const Case kCases[] = {
    // --list
    {.name = "ListPrintsFolderActiveAndInactive",
     .before = {{"__Alpha.big", "a"}, {"__Bravo.bit", "b"}, {"__Charlie.bit", "c"}, {"INI.big", "g"}},
     .args = {"--list"},
     .out = "{folder}\n__Alpha\n__Bravo\n__Charlie\n"},
    {.name = "ListWithoutActiveModPrintsAnEmptyLineAndNeedsNoStoredSettings",
     .before = {{"__Bravo.bit", "b"}},
     .args = {"--folder", "{folder}", "--generals", "--list"},
     .stored = {},
     .out = "{folder}\n\n__Bravo\n"},
    {.name = "SeveralActiveModsAreLeftWithoutYes",
     .before = {{"__Alpha.big", "a"}, {"__Bravo.big", "b"}},
     .args = {"--list"},
     .out = "{folder}\n__Alpha\n",
     .err = "More then one MOD has been found! Tavrel will de-activate all newly found MOD's. (Except the first "
            "one found which is __Alpha) [OK/Cancel] Cancel\n"},
    {.name = "SeveralActiveModsAreReconciledWithYes",
     .before = {{"__Alpha.big", "a"}, {"__Bravo.big", "b"}},
     .args = {"--list", "--yes"},
     .out = "{folder}\n__Alpha\n__Bravo\n",
     .err = "More then one MOD has been found! Tavrel will de-activate all newly found MOD's. (Except the first "
            "one found which is __Alpha) [OK/Cancel] OK\n",
     .after = {{"__Alpha.big", "a"}, {"__Bravo.bit", "b"}}},
    {.name = "AMissingFolderFailsWithTheWindowsMessageInZeroHourMode",
     .before = {},
     .args = {"--list", "--zero-hour", "--folder", "{folder}/missing"},
     .status = kExitFailed,
     .err = "The folder path you specified for the Generals Zero Hour folder does not appear valid! Please ensure "
            "that you have entered (or browsed for) the correct Generals folder path. Tavrel cannot continue.\n"
            "tavrel: no game folder at '{folder}/missing'\n"},

    // --activate
    {.name = "ActivateWithoutYesChangesNothing",
     .before = kTwoMods,
     .args = {"--activate", "__Bravo"},
     .status = kExitFailed,
     .err = "Are you sure you want to activate __Bravo MOD? [Yes/No] No\ntavrel: __Bravo was not activated\n"},
    {.name = "ActivateWithYesSwitchesTheActiveMod",
     .before = kTwoMods,
     .args = {"--yes", "--activate", "__bravo"},
     .err = "Are you sure you want to activate __Bravo MOD? [Yes/No] Yes\nMod __Alpha Has Been De-activated...\n"
            "MOD __Bravo activated...\n",
     .after = {{"__Alpha.bit", "alpha"}, {"__Bravo.big", "bravo"}, {"INI.big", "game"}}},
    {.name = "ActivateTheActiveModIsDone", .before = kTwoMods, .args = {"--activate", "__ALPHA"}},
    {.name = "ActivateAnUnknownModFails",
     .before = kTwoMods,
     .args = {"--activate", "Nope", "--yes"},
     .status = kExitFailed,
     .err = "tavrel: no inactive mod named 'Nope' in {folder}\n"},
    {.name = "ActivateWhileTheGameRunsAsksAgain",
     .before = kTwoMods,
     .args = {"--activate", "__Bravo", "--yes"},
     .gameRuns = true,
     .err = "Are you sure you want to activate __Bravo MOD? [Yes/No] Yes\nThe game is running from this folder. "
            "Changing its files while it runs can break the game and the mod. Do you want to go on anyway? "
            "[Yes/No] Yes\n",
     .after = {{"__Alpha.bit", "alpha"}, {"__Bravo.big", "bravo"}, {"INI.big", "game"}},
     .errPart = true},

    // --deactivate
    {.name = "DeactivateWithYes",
     .before = kTwoMods,
     .args = {"--deactivate", "--yes"},
     .err = "Are you sure you want to de-activate all mods? [Yes/No] Yes\nMod __Alpha Has Been De-activated...\n",
     .after = {{"__Alpha.bit", "alpha"}, {"__Bravo.bit", "bravo"}, {"INI.big", "game"}}},
    {.name = "DeactivateWithoutYesFails",
     .before = kTwoMods,
     .args = {"--deactivate"},
     .status = kExitFailed,
     .err = "Are you sure you want to de-activate all mods? [Yes/No] No\ntavrel: __Alpha is still active\n"},
    {.name = "DeactivateWithNothingActiveIsDone", .before = {{"__Bravo.bit", "b"}}, .args = {"--deactivate"}},
    // A deactivation that fails stops a launch script after the one try:
    // the window's question whether to go on would come back without end.
    {.name = "ADeactivationThatFailsEndsTheRun",
     .before = {{"__Alpha.big", "alpha"}, {"__Alpha.bit/kept", "kept"}},
     .args = {"--deactivate", "--yes"},
     .status = kExitFailed,
     .err = ")\ntavrel: __Alpha is still active\n",
     .after = {{"__Alpha.big", "alpha"}, {"__Alpha.bit", "<folder>"}},
     .errPart = true},

    // --install
    {.name = "InstallCopiesAndDeclinesTheOffer",
     .before = kTwoMods,
     .args = {"--install", "{outside}/My Mod.big"},
     .err = "Installing My Mod.big...\n" + kMyModOffer + "No\n",
     .after = {{"__Alpha.big", "alpha"}, {"__Bravo.bit", "bravo"}, {"INI.big", "game"}, {"__My Mod.bit", "mine"}}},
    {.name = "InstallWithYesStillActivatesOnlyWhenAsked",
     .before = {},
     .args = {"--yes", "--install", "{outside}/My Mod.big"},
     .err = "Installing My Mod.big...\n" + kMyModOffer + "No\n",
     .after = {{"__My Mod.bit", "mine"}}},
    {.name = "InstallAndActivate",
     .before = kTwoMods,
     .args = {"--install", "{outside}/My Mod.big", "--activate"},
     .err = "Installing My Mod.big...\n" + kMyModOffer + "Yes\nMod __Alpha Has Been De-activated...\n"
            "MOD __My Mod activated...\n",
     .after = {{"__Alpha.bit", "alpha"}, {"__Bravo.bit", "bravo"}, {"INI.big", "game"}, {"__My Mod.big", "mine"}}},
    {.name = "InstallAndActivateUnderTheActiveModsNameKeepsTheOldOneActive",
     .before = {{"__My Mod.big", "old"}},
     .args = {"--install", "{outside}/My Mod.big", "--activate"},
     .status = kExitFailed,
     .err = "This MOD is currently active.\ntavrel: could not install and activate {outside}/My Mod.big\n",
     .after = {{"__My Mod.big", "old"}, {"__My Mod.bit", "mine"}},
     .errPart = true},
    // --install out of an archive (tests/archives/)
    {.name = "InstallTheOneModOfAnArchive",
     .before = {},
     .args = {"--install", "{archives}/stored-utf8.zip"},
     .err = "Installing Stürm.big...\n" + Offer("Stürm.big", "__Stürm.bit") + "No\n",
     .after = {{"__Stürm.bit", "{archives}/expected/Stürm.big"}}},
    // A mod of several archives becomes one, named after its download or
    // as told ("*": the merged bytes, whose contents the store's tests check).
    {.name = "SeveralArchivesWithoutMemberAreOneMod",
     .before = kTwoMods,
     .args = {"--install", "{archives}/Reds 1.0.zip", "--yes"},
     .err = "Tavrel has renamed the MOD to __Reds 1.0.bit",
     .after = {{"__Alpha.big", "alpha"}, {"__Bravo.bit", "bravo"}, {"INI.big", "game"}, {"__Reds 1.0.bit", "*"},
               {".tavrel", "<folder>"}},
     .errPart = true},
    {.name = "TheMembersNamedUnderTheNameGiven",
     .args = {"--install", "{archives}/Reds 1.0.7z", "--member", "!reds_art.BIG", "--member", "Reds_Fix.big",
              "--name", "Reds Art"},
     .err = "Tavrel has renamed the MOD to __Reds Art.bit",
     .after = {{"__Reds Art.bit", "*"}, {".tavrel", "<folder>"}},
     .errPart = true},
    {.name = "OneMemberNamedOfAFolderGoesInAsItIs",
     .args = {"--install", "{archives}/Reds 1.0", "--member", "Reds_Fix.big"},
     .err = "Installing Reds_Fix.big...\n" + Offer("Reds_Fix.big", "__Reds_Fix.bit") + "No\n",
     .after = {{"__Reds_Fix.bit", "{archives}/Reds 1.0/Patch/Reds_Fix.big"}}},
    {.name = "SeveralFilesAsOneMod",
     .args = {"--install", "{archives}/Reds 1.0/!Reds_Art.big", "{archives}/Reds 1.0/Patch/Reds_Fix.big"},
     .err = "Tavrel has renamed the MOD to __!Reds_Art.bit",
     .after = {{"__!Reds_Art.bit", "*"}, {".tavrel", "<folder>"}},
     .errPart = true},
    // Files picked together are named by the first and how many more; with
    // nothing the game reads only from its folder, the mod leaves no
    // companion folder in Tavrel's.
    {.name = "SeveralFilesWithoutCompanionsUnderAName",
     .args = {"--install", "{outside}/Pair B.big", "{outside}/Pair A.big", "--name", "Pair"},
     .err = "Installing Pair A.big and 1 more...\n" + Offer("Pair A.big and 1 more", "__Pair.bit") + "No\n",
     .after = {{"__Pair.bit", "*"}, {".tavrel", "<folder>"}}},  // where its paths came from, for its add-ons
    // Add-ons: installed beside their mod, listed, switched; each fails as
    // the other commands do.
    {.name = "AnAddOnInstalledBesideItsModStartsOff",
     .before = kTwoMods,
     .args = {"--install", "{archives}/Reds 1.0/Patch/Reds_Fix.big", "--addon-of", "__bravo", "--name", "Fix"},
     .err = "Add-on Fix of MOD __Bravo has been successfully installed. It is off until you turn it on.\n",
     .after = {{"__Alpha.big", "alpha"}, {"__Bravo.bit", "bravo"}, {"INI.big", "game"}, {".tavrel", "<folder>"}},
     .errPart = true},
    {.name = "TheAddOnsOfAModWithNone", .before = kTwoMods, .args = {"--addons", "__Alpha"}},
    {.name = "AnAddOnThatIsNotThere",
     .before = kTwoMods,
     .args = {"--addon-on", "__Bravo", "HUD"},
     .status = kExitFailed,
     .err = "MOD __Bravo has no add-on named HUD.\ntavrel: the add-on HUD was not switched\n"},
    {.name = "TheAddOnsOfNoMod",
     .before = kTwoMods,
     .args = {"--addons", "__Nope"},
     .status = kExitFailed,
     .err = "tavrel: no mod named '__Nope' in {folder}\n"},
    {.name = "AWindowAndACommand", .args = {"--window", "--list"}, .status = kExitUsage,
     .err = "tavrel: --window goes with --folder and the mode only" + kTryHelp},
    {.name = "APatchOfNothing", .args = {"--install", "x.big", "--patch"}, .status = kExitUsage,
     .err = "tavrel: --patch goes with --addon-of" + kTryHelp},
    {.name = "InstallAndActivateTheMemberNamed",
     .before = kTwoMods,
     .args = {"--install", "{archives}/lzma2.7z", "--member", "STORM.big", "--activate"},
     .err = "Installing Storm.big...\n" + Offer("Storm.big", "__Storm.bit") + "Yes\nMod __Alpha Has Been "
            "De-activated...\nMOD __Storm activated...\n",
     .after = {{"__Alpha.bit", "alpha"}, {"__Bravo.bit", "bravo"}, {"INI.big", "game"},
               {"__Storm.big", "{archives}/expected/Stürm.big"}}},
    {.name = "AMemberThatIsNotThere",
     .before = kTwoMods,
     .args = {"--install", "{archives}/lzma2.7z", "--member", "Nope.big"},
     .status = kExitFailed,
     .out = "Blue.big\nStorm.big\n",
     .err = "tavrel: no MOD named 'Nope.big' in {archives}/lzma2.7z\n"},
    {.name = "AMemberOfABigFile", .before = kTwoMods, .args = {"--install", "{outside}/My Mod.big", "--member", "x"},
     .status = kExitUsage, .err = "tavrel: --member goes with an archive, a folder or several files" + kTryHelp},
    {.name = "AMemberWithoutInstall", .before = kTwoMods, .args = {"--list", "--member", "x"},
     .status = kExitUsage, .err = "tavrel: --member goes with --install" + kTryHelp},
    {.name = "InstallAMissingFileFails",
     .before = kTwoMods,
     .args = {"--install", "{outside}/Missing.big"},
     .status = kExitFailed,
     .err = "An error occurred while attempting to copy the new MOD to your Generals folder!",
     .errPart = true},

    // --play: a game that runs, or a folder without its program, starts nothing
    {.name = "PlayWhileTheGameRunsStartsNothing",
     .before = {{"generals.exe", "g"}, {"INI.big", "g"}},
     .args = {"--play"},
     .gameRuns = true,
     .status = kExitFailed,
     .err = "Generals is already running.",
     .errPart = true},
    {.name = "PlayNeedsTheGamesProgram",
     .before = kTwoMods,
     .args = {"--play", "-quickstart"},
     .status = kExitFailed,
     .err = "There is no generals.exe or Game.dat in {folder}",
     .errPart = true},
    // --delete
    {.name = "DeleteWithYes",
     .before = kTwoMods,
     .args = {"--delete", "__Bravo", "--yes"},
     .err = "Are you sure you want to delete __Bravo mod? [Yes/No] Yes\nMOD __Bravo deleted...\n",
     .after = {{"__Alpha.big", "alpha"}, {"INI.big", "game"}}},
    {.name = "DeleteWithoutYesFails",
     .before = kTwoMods,
     .args = {"--delete", "__Bravo"},
     .status = kExitFailed,
     .err = "Are you sure you want to delete __Bravo mod? [Yes/No] No\ntavrel: __Bravo was not deleted\n"},
    {.name = "DeleteTheActiveModFails",
     .before = kTwoMods,
     .args = {"--delete", "__Alpha", "--yes"},
     .status = kExitFailed,
     .err = "tavrel: __Alpha is the active mod: deactivate it first\n"},

    // The command line itself
    {.name = "NoCommand", .before = kTwoMods, .args = {"--yes"}, .status = kExitUsage,
     .err = "tavrel: no command given" + kTryHelp},
    {.name = "TwoCommands", .before = kTwoMods, .args = {"--list", "--deactivate"}, .status = kExitUsage,
     .err = "tavrel: one command at a time" + kTryHelp},
    {.name = "ActivateWithoutName", .before = kTwoMods, .args = {"--activate"}, .status = kExitUsage,
     .err = "tavrel: missing NAME after --activate" + kTryHelp},
    {.name = "ExtraArgument", .before = kTwoMods, .args = {"--list", "__Bravo"}, .status = kExitUsage,
     .err = "tavrel: unexpected argument '__Bravo'" + kTryHelp},
    {.name = "BothModes", .before = kTwoMods, .args = {"--list", "--generals", "--zero-hour"},
     .status = kExitUsage, .err = "tavrel: --zero-hour and --generals exclude each other" + kTryHelp},
    {.name = "NoModeStoredOrGiven", .before = kTwoMods, .args = {"--list"}, .stored = {{"path", "{folder}"}},
     .status = kExitUsage,
     .err = "tavrel: Generals or Zero Hour? No mode is stored yet: give --generals or --zero-hour" + kTryHelp},
    {.name = "Version", .before = kTwoMods, .args = {"--list", "--version"}, .out = "tavrel 1.1.1\n"},
};

std::string Expand(std::string text, const std::string& folder, const std::string& outside) {
    const std::string archives = test::TestArchives();
    const std::pair<std::string, std::string> marks[] = {
        {"{folder}/", folder + test::NativeSeparator()}, {"{outside}/", outside + test::NativeSeparator()},
        {"{archives}/", archives + test::NativeSeparator()}, {"{folder}", folder}, {"{outside}", outside}};
    for (const auto& [mark, path] : marks) {
        for (std::size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, mark.size(), path);
    }
    return text;
}

// The arguments as a front-end's parser hands them over: each option of the
// table by its name, a value after the options that take one, anything else
// a free argument.
CommandLine Parse(const std::vector<std::string>& args) {
    CommandLine c;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool option = false;
        for (const CommandOption& known : CommandLineOptions()) {
            if (args[i] != "--" + std::string(known.name)) continue;
            option = true;
            c.set(known.name, known.takesValue ? args.at(++i) : std::string());
        }
        if (!option) c.arguments.push_back(args[i]);
    }
    return c;
}

TEST(CommandLine, Cases) {
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        const bool withArchives = std::any_of(k.args.begin(), k.args.end(), [](const std::string& arg) {
            return arg.starts_with("{archives}");
        });
        if (withArchives && test::TestArchives().empty()) {
            ADD_FAILURE() << "no test archives: ctest makes them";
            continue;
        }
        TempFolder game, outside;
        for (const auto& [name, bytes] : k.before) game.file(name, bytes);
        outside.file("My Mod.big", "mine");
        outside.file("Pair A.big", test::BigBytes({{"Data\\INI\\A.ini", "a"}}));
        outside.file("Pair B.big", test::BigBytes({{"Maps\\B.map", "b"}}));
        const auto expand = [&](const std::string& text) { return Expand(text, game.path(), outside.path()); };

        std::vector<std::string> args;
        for (const std::string& arg : k.args) args.push_back(expand(arg));
        Files stored;
        for (const auto& [key, value] : k.stored) stored[key] = expand(value);
        ConsoleSystem system{
            [&](const std::string& key) {
                const auto it = stored.find(key);
                return it == stored.end() ? std::nullopt : std::optional<std::string>(it->second);
            },
            [](const std::string&) { return std::optional<std::string>(); },
            [&](const std::string& folder) { return k.gameRuns && folder == game.path(); }};
        std::ostringstream out, err;

        EXPECT_EQ(RunCommandLine(Parse(args), system, out, err), k.status);
        EXPECT_EQ(out.str(), expand(k.out));
        if (k.errPart) EXPECT_NE(err.str().find(expand(k.err)), std::string::npos) << err.str();
        else EXPECT_EQ(err.str(), expand(k.err));

        Files after, expected = k.after.empty() ? k.before : k.after;
        // A folder (Tavrel's own, which holds a mod's companions) is named
        // only: the store's tests check what is in it.
        for (const std::string& name : game.names()) {
            after[name] = std::filesystem::is_directory(game / name) ? "<folder>" : ReadAll(game / name);
        }
        for (auto& [name, bytes] : expected) {
            if (bytes.starts_with("{archives}/")) bytes = ReadAll(test::Native(expand(bytes)));
            if (bytes == "*" && after.count(name)) bytes = after[name];
        }
        EXPECT_EQ(after, expected);
    }
}

// What the restart as administrator runs is read back as the window's
// start on the same folder and mode, and as nothing else.
TEST(CommandLine, TheRestartOpensTheWindowOnItsFolderAndMode) {
    const auto none = [](const std::string&) { return std::optional<std::string>(); };
    const ProgramLaunch launch = AdministratorLaunch("C:\\Tavrel\\tavrel.exe", "C:\\Program Files\\EA Games\\ZH", 1, none);
    EXPECT_EQ(launch.program, "C:\\Tavrel\\tavrel.exe");
    const std::optional<StartWith> start = WindowStartOf(Parse(launch.arguments));
    ASSERT_TRUE(start);
    EXPECT_EQ(start->folder, "C:\\Program Files\\EA Games\\ZH");
    EXPECT_EQ(start->mode, 1);
    EXPECT_EQ(WindowStartOf(Parse(AdministratorLaunch("t", "G", 0, none).arguments))->mode, 0);
    // A stand-in is given the program first.
    const ProgramLaunch standIn = AdministratorLaunch("t", "G", 0, [](const std::string& name) {
        return name == "TAVREL_ADMIN_STAND_IN" ? std::optional<std::string>("s") : std::nullopt;
    });
    EXPECT_EQ(standIn.program, "s");
    EXPECT_EQ(standIn.arguments.front(), "t");
    for (const std::vector<std::string>& other :
         {std::vector<std::string>{"--folder", "G"}, {"--window", "--activate", "__A"}, {"--window", "--yes"}}) {
        EXPECT_FALSE(WindowStartOf(Parse(other))) << other.back();
    }
}

TEST(CommandLine, HelpFollowsGnuConventions) {
    std::ostringstream out, err;
    CommandLine c;
    c.set("help");
    c.set("bogus-is-ignored");
    EXPECT_EQ(RunCommandLine(c, {}, out, err), kExitOk);
    EXPECT_EQ(out.str().rfind("Usage: tavrel [OPTION]... COMMAND\n", 0), 0u);
    for (const CommandOption& option : CommandLineOptions()) {
        EXPECT_NE(out.str().find("--" + std::string(option.name) + (option.takesValue ? " " : "")), std::string::npos)
            << option.name << " is not described";
    }
    EXPECT_EQ(err.str(), "");

    c = {};
    c.parseError = "unknown option 'frobnicate'";
    EXPECT_EQ(RunCommandLine(c, {}, out, err), kExitUsage);
    EXPECT_EQ(err.str(), "tavrel: unknown option 'frobnicate'" + kTryHelp);
}

}  // namespace
}  // namespace tavrel
