// The fault suite: every case is a row of the table below, carried out for
// real (mounts, users, immutable files, killed processes, refused system
// calls) by one runner. Each case checks every message the user read, every
// file's bytes afterwards, that no byte the user did not agree to lose is
// gone, and that a rescan afterwards shows the truth. tests/README.md says
// what each group proves.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <tuple>

#include "fault_runner.h"
#include "support/platform.h"
#include "support/text.h"
#include "temp_folder.h"

namespace tavrel::test {
namespace {

using Files = std::vector<std::pair<std::string, std::string>>;
using Strings = std::vector<std::string>;

// What the user reads.
std::string ActivateQ(const std::string& e) { return "Are you sure you want to activate " + e + " MOD?"; }
std::string Overwrite(const std::string& e) {
    return "This MOD '" + e + "' (.big file) already exists in your Generals folder! Do you wish to overwrite this "
           "MOD file? (not recommended, use care when replacing .big files!)";
}
std::string Activated(const std::string& e) { return "MOD " + e + " activated..."; }
std::string ActivateError(const std::string& e, const std::string& why) {
    return "An error occurred while attempting to activate " + e + ". (" + why + ")";
}
std::string Deactivated(const std::string& e) { return "Mod " + e + " Has Been De-activated..."; }
std::string DeactivateError(const std::string& e, const std::string& why) {
    return "An error occurred while attempting to de-activate " + e + ". (" + why + ")";
}
std::string Several(const std::string& first) {
    return "More then one MOD has been found! Tavrel will de-activate all newly found MOD's. (Except the first one "
           "found which is " + first + ")";
}
std::string DeleteQ(const std::string& e) { return "Are you sure you want to delete " + e + " mod?"; }
std::string Deleted(const std::string& e) { return "MOD " + e + " deleted..."; }
std::string DeleteError(const std::string& e, const std::string& why) {
    return "An error occurred while attempting to delete " + e + " MOD (" + why + ")";
}
std::string CopyError(const std::string& why) {
    return "An error occurred while attempting to copy the new MOD to your Generals folder! Please ensure that the "
           "MOD is a valid .big file that is not in use, and that the path to your Generals folder is valid. (" +
           why + ")";
}
std::string Installed(const std::string& source, const std::string& name) {
    return "MOD (" + source + ") has been successfully installed. Tavrel has renamed the MOD to " + name +
           "\r\n\r\nWould you like to activate this MOD now?";
}
std::string NotRenamed(const std::string& path, const std::string& why) {
    return "Tavrel could not rename these startup items:\n{root}/" + path + " (" + why + ")";
}
const std::string kDeactivateAllQ = "Are you sure you want to de-activate all mods?";
const std::string kIntro =
    "Tavrel can automaticaly import a MOD (.big file) to your Generals folder. Tavrel will rename the file to a .bit "
    "file until you activate it for use. Please select the MOD (.big file) you want to import now...";
const std::string kGameRuns =
    "The game is running from this folder. Changing its files while it runs can break the game and the mod. Do you "
    "want to go on anyway?";
const std::string kMoviesChanged = "Startup Items Have Been Changed Successfully.";

const Answer Yes = Answer::Yes, No = Answer::No, Ok = Answer::Ok;

Step Immutable(std::string path) { return {Step::Immutable, std::move(path), ""}; }
// The user's download: one of the made archives (tests/archives/).
Step Download(std::string made) { return {Step::Archive, "outside/Pack" + made.substr(made.rfind('.')), made}; }
const std::string kDamaged = "the archive is damaged or incomplete";
const std::string kPassword = "the archive is protected by a password";
Step Game(std::string commandLine, std::string prefix = "") {
    return {Step::GameProcess, std::move(prefix), std::move(commandLine)};
}

const std::string kLong = "__" + std::string(249, 'n');  // with ".bit", a name of 255 bytes
const std::string kStorm = Mod(3u << 20);

std::vector<Case> Cases() {
    std::vector<Case> cases;
    const auto add = [&](Case c) { cases.push_back(std::move(c)); };

    // 1. A failed agreed overwrite keeps the active copy.
    add({.name = "AgreedOverwriteOfAnImmutableBit",
         .setup = {F("game/__A.big", "A"), F("game/__X.big", "old X"), F("game/__X.bit", "new X"),
                   Immutable("game/__X.bit")},
         .needs = kImmutable,
         .action = Case::Activate, .argument = "__X",
         .answers = {Ok, Yes, Yes, Ok, Ok},
         .messages = {Several("__A"), ActivateQ("__X"), Overwrite("__X"), Deactivated("__A"),
                      ActivateError("__X", "Operation not permitted")},
         .files = Files{{"game/__A.bit", "A"}, {"game/__X.big", "old X"}, {"game/__X.bit", "new X"}},
         .list = {"__A", "__X"}, .label = "__X"});
    add({.name = "AgreedOverwriteBesideTheSameNameInOtherCase",
         .setup = {F("game/__A.big", "A"), F("game/__X.big", "old X"), F("game/__X.bit", "new X"),
                   F("game/__x.BIG", "other x")},
         .needs = kCaseSensitive,
         .action = Case::Activate, .argument = "__X",
         .answers = {Ok, Yes, Yes, Ok, Ok, Ok},
         .messages = {Several("__A"), ActivateQ("__X"), Overwrite("__X"), Deactivated("__A"),
                      ActivateError("__X", "File exists"), Several("__X")},
         .files = Files{{"game/__A.bit", "A"}, {"game/__X.big", "old X"}, {"game/__X.bit", "new X"},
                        {"game/__x.BIG", "other x"}},
         .list = {"__A", "__X"}, .label = "__X", .rescanMessages = {Several("__X")}});
    add({.name = "AgreedOverwriteOfATargetInOtherCase",
         .setup = {F("game/__X.bit", "new X"), F("game/__x.BIG", "old x")},
         .action = Case::Activate, .argument = "__X",
         .answers = {Yes, Yes, Ok},
         .messages = {ActivateQ("__X"), Overwrite("__X"), Activated("__X")},
         .files = Files{{"game/__X.big", "new X"}},
         .agreedLoss = {"old x"},
         .list = {}, .label = "__X"});

    // 2. Links are names: no file goes because another name leads to it.
    add({.name = "ABigThatLinksToItsOwnBit",
         .setup = {F("game/__S.bit", "S"), L("game/__S.big", "__S.bit")},
         .needs = kLinks,
         .action = Case::DeactivateAll,
         .answers = {Yes, Ok},
         .messages = {kDeactivateAllQ, Deactivated("__S")},
         .files = Files{{"game/__S.bit", "S"}},
         .list = {"__S"}, .label = ""});
    add({.name = "ABitThatLinksToItsOwnBig",
         .setup = {F("game/__S.big", "S"), L("game/__S.bit", "__S.big")},
         .needs = kLinks,
         .action = Case::DeactivateAll,
         .answers = {Yes, Ok},
         .messages = {kDeactivateAllQ, Deactivated("__S")},
         .files = Files{{"game/__S.bit", "S"}},
         .list = {"__S"}, .label = ""});
    add({.name = "HardLinkedBigAndBit",
         .setup = {F("game/__S.big", "S"), {Step::HardLink, "game/__S.bit", "game/__S.big"}},
         .needs = kHardLinks,
         .action = Case::DeactivateAll,
         .answers = {Yes, Ok},
         .messages = {kDeactivateAllQ, Deactivated("__S")},
         .files = Files{{"game/__S.bit", "S"}},
         .list = {"__S"}, .label = ""});
    add({.name = "OverwriteWithALinkToTheTargetIsRefused",
         .setup = {F("game/__X.big", "X"), L("game/__X.bit", "__X.big")},
         .needs = kLinks,
         .action = Case::Activate, .argument = "__X",
         .answers = {Yes, Yes, Ok},
         .messages = {ActivateQ("__X"), Overwrite("__X"), ActivateError("__X", "File exists")},
         .list = {"__X"}, .label = "__X"});
    add({.name = "DeletingALinkedModRemovesTheLinkOnly",
         .setup = {F("outside/mods/Far.big", "far away"), L("game/__Far.bit", "../outside/mods/Far.big")},
         .needs = kLinks,
         .action = Case::Delete, .argument = "__Far",
         .answers = {Yes, Ok},
         .messages = {DeleteQ("__Far"), Deleted("__Far")},
         .files = Files{{"outside/mods/Far.big", "far away"}},
         .list = {}, .label = ""});

    // 3. A source that is not a regular file fails at once.
    add({.name = "InstallFromAPipe",
         .setup = {{Step::Fifo, "outside/Storm.big", ""}},
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok, Ok},
         .messages = {kIntro, CopyError("Operation not supported")}});
    add({.name = "InstallFromAFolder",
         .setup = {{Step::Folder, "outside/Storm.big", ""}},
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok, Ok},
         .messages = {kIntro, CopyError("the folder holds no MOD")}});
    add({.name = "InstallFromADevice",
         .setup = {L("outside/zero.big", "/dev/zero")},
         .action = Case::Install, .argument = "outside/zero.big",
         .answers = {Ok, Ok},
         .messages = {kIntro, CopyError("Operation not supported")}});

    // 4. The movie switch renames only files that lie in the game folder.
    add({.name = "MoviesBehindALinkOutOfTheGameFolder",
         .setup = {F("outside/videos/clip.bik", "clip"), F("outside/videos/EA_LOGO_trailer.bik", "trailer"),
                   L("game/Data/EA_LOGO", "../../outside/videos"),
                   F("game/Data/English/Movies/EA_LOGO.BIK", "logo")},
         .needs = kLinks,
         .action = Case::DisableMovies,
         .answers = {Ok},
         .messages = {kMoviesChanged},
         .files = Files{{"outside/videos/clip.bik", "clip"}, {"outside/videos/EA_LOGO_trailer.bik", "trailer"},
                        {"game/Data/EA_LOGO", "->../../outside/videos"},
                        {"game/Data/English/Movies/__EA_LOGO.BIK", "logo"}}});
    add({.name = "LinkLoops",
         .setup = {F("game/Data/Movies/sizzle_review.bik", "s"), L("game/Data/Movies/loop", ".."),
                   L("game/Data/up", "../.."), F("outside/sizzle_review.bik", "not the game's"),
                   L("game/__L.big", "__L.bit"), L("game/__L.bit", "__L.big")},
         .needs = kLinks,
         .action = Case::DisableMovies,
         .answers = {Ok},
         .messages = {kMoviesChanged},
         .files = Files{{"game/Data/Movies/__sizzle_review.bik", "s"}, {"game/Data/Movies/loop", "->.."},
                        {"game/Data/up", "->../.."}, {"outside/sizzle_review.bik", "not the game's"},
                        {"game/__L.big", "->__L.bit"}, {"game/__L.bit", "->__L.big"}}});

    // 5. A killed copy leaves nothing behind for long.
    add({.name = "AKilledCopyLeavesNothing",
         .setup = {F("game/__Old.bit", "old"), F("outside/Storm.big", kStorm),
                   {Step::KilledCopy, "game/__Storm.bit", "outside/Storm.big"}},
         .needs = kTmpfile,
         .action = Case::Start,
         .list = {"__Old"}, .label = ""});
    add({.name = "AKilledCopyWithoutTmpfileGoesAtTheNextStart",
         .setup = {F("game/__Old.bit", "old"), F("outside/Storm.big", kStorm),
                   {Step::KilledCopyNamed, "game/__Storm.bit", "outside/Storm.big"}},
         .action = Case::Start,
         .files = Files{{"game/__Old.bit", "old"}, {"outside/Storm.big", kStorm}},
         .list = {"__Old"}, .label = "", .leftoverBefore = true});
    add({.name = "TheCleanupRemovesOnlyStaleCopies",
         .setup = {{Step::StaleCopy, "game/.tavrel-999999-1.part", "stale"},
                   {Step::HeldCopy, "game/.tavrel-1-2.part", "running"}, F("game/keep.part", "keep"),
                   F("game/.tavrel-x.part", "x"), F("game/.tavrel-5-5.part.bak", "bak")},
         .action = Case::Start,
         .files = Files{{"game/.tavrel-1-2.part", "running"}, {"game/keep.part", "keep"},
                        {"game/.tavrel-x.part", "x"}, {"game/.tavrel-5-5.part.bak", "bak"}},
         .list = {}, .label = "", .leftoverBefore = true});
    add({.name = "TheCleanupLeavesALinkNamedLikeACopy",
         .setup = {F("outside/t", "target"), L("game/.tavrel-7-7.part", "../outside/t")},
         .needs = kLinks,
         .action = Case::Start,
         .list = {}, .label = "", .leftoverBefore = true});

    // 6. Letter case in every script; names that differ only by case.
    add({.name = "DeactivateBesideTheSameNameInTurkishCase",
         .setup = {F("game/__\u011E.big", "g big"), F("game/__\u011F.bit", "g bit")},
         .needs = kCaseSensitive,
         .action = Case::DeactivateAll,
         .answers = {Yes, Ok},
         .messages = {kDeactivateAllQ, Deactivated("__\u011E")},
         .files = Files{{"game/__\u011E.bit", "g big"}, {"game/__\u011E (2).bit", "g bit"}},
         .list = {"__\u011E (2)", "__\u011E"}, .label = ""});
    add({.name = "NamesThatDifferOnlyByCase",
         .setup = {F("game/__Mod.bit", "m1"), F("game/__MOD.bit", "m2")},
         .needs = kCaseSensitive,
         .action = Case::Activate, .argument = "__Mod",
         .answers = {Yes, Ok},
         .messages = {ActivateQ("__Mod"), Activated("__Mod")},
         .files = Files{{"game/__Mod.big", "m1"}, {"game/__MOD.bit", "m2"}},
         .list = {"__MOD"}, .label = "__Mod"});
    add({.name = "RenameTargetExists",
         .setup = {F("game/Data/Movies/EA_LOGO.BIK", "logo"), F("game/Data/Movies/__EA_LOGO.BIK", "old")},
         .action = Case::DisableMovies,
         .answers = {Ok},
         .messages = {NotRenamed("game/Data/Movies/EA_LOGO.BIK", "File exists")}});
    add({.name = "RenameTargetExistsInOtherCase",
         .setup = {F("game/Data/Movies/EA_LOGO.BIK", "logo"), F("game/Data/Movies/__ea_logo.bik", "old")},
         .action = Case::DisableMovies,
         .answers = {Ok},
         .messages = {NotRenamed("game/Data/Movies/EA_LOGO.BIK", "File exists")}});
    add({.name = "ReconcilingBesideAnInactiveCopyInOtherCase",
         .setup = {F("game/__A.big", "A"), F("game/__B.big", "B"), F("game/__b.BIT", "b")},
         .action = Case::Scan,
         .answers = {Ok},
         .messages = {Several("__A")},
         .list = {"__b"}, .label = "__A", .rescanMessages = {Several("__A")}});

    add({.name = "RenameBesideAHardLinkInOtherCase",
         .setup = {F("game/Data/Movies/EA_LOGO.bik", "logo"),
                   {Step::HardLink, "game/Data/Movies/__ea_logo.BIK", "game/Data/Movies/EA_LOGO.bik"}},
         .needs = kHardLinks,
         .action = Case::DisableMovies,
         .answers = {Ok},
         .messages = {NotRenamed("game/Data/Movies/EA_LOGO.bik", "File exists")}});

    // The fallbacks, forced: no RENAME_NOREPLACE, no hard links, no kernel
    // copy, no O_TMPFILE.
    add({.name = "NoReplaceRefused",
         .setup = {F("game/__A.big", "A"), F("game/__B.bit", "B")},
         .shim = {.refuseNoReplace = true},
         .action = Case::Activate, .argument = "__B",
         .answers = {Yes, Ok, Ok},
         .messages = {ActivateQ("__B"), Deactivated("__A"), Activated("__B")},
         .files = Files{{"game/__A.bit", "A"}, {"game/__B.big", "B"}},
         .list = {"__A"}, .label = "__B"});
    add({.name = "NoReplaceAndHardLinksRefused",
         .setup = {F("game/__A.big", "A"), F("game/__B.bit", "B")},
         .shim = {.refuseNoReplace = true, .refuseLink = true},
         .action = Case::Activate, .argument = "__B",
         .answers = {Yes, Ok, Ok},
         .messages = {ActivateQ("__B"), Deactivated("__A"), Activated("__B")},
         .files = Files{{"game/__A.bit", "A"}, {"game/__B.big", "B"}},
         .list = {"__A"}, .label = "__B"});
    add({.name = "CopyWithoutKernelCopy",
         .setup = {F("outside/Storm.big", kStorm)},
         .shim = {.refuseKernelCopy = true},
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok, No},
         .messages = {kIntro, Installed("Storm.big", "__Storm.bit")},
         .files = Files{{"outside/Storm.big", kStorm}, {"game/__Storm.bit", kStorm}},
         .list = {"__Storm"}, .label = ""});
    add({.name = "CopyWithoutTmpfile",
         .setup = {F("outside/Storm.big", kStorm), F("game/__Storm.bit", "version 1")},
         .shim = {.refuseTmpfile = true},
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok, No},
         .messages = {kIntro, Installed("Storm.big", "__Storm.bit")},
         .files = Files{{"outside/Storm.big", kStorm}, {"game/__Storm.bit", kStorm}},
         .agreedLoss = {"version 1"},
         .list = {"__Storm"}, .label = ""});

    // 8. Copies that fail, or are cancelled, leave the folder as it was and
    // say why.
    add({.name = "NoSpaceForTheMod",
         .setup = {F("game/__Storm.bit", "version 1"), F("outside/Storm.big", Mod(40u << 20))},
         .smallVolume = true,
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok, Ok},
         .messages = {kIntro, CopyError("No space left on device")},
         .list = {"__Storm"}, .label = ""});
    add({.name = "NoSpaceLeftDuringAnInstall",
         .setup = {F("game/__Storm.bit", "version 1"), F("outside/Storm.big", Mod(12u << 20))},
         .smallVolume = true, .fillAtUpdate = 2,
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok, Ok},
         .messages = {kIntro, CopyError("No space left on device")},
         .list = {"__Storm"}, .label = ""});
    add({.name = "WriteFailureDuringAnInstall",
         .setup = {F("game/__Storm.bit", "version 1"), F("outside/Storm.big", Mod(1u << 20))},
         .fileSizeLimit = 64 << 10,
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok, Ok},
         .messages = {kIntro, CopyError("File too large")},
         .list = {"__Storm"}, .label = ""});
    add({.name = "CancelDuringTheCopy",
         .setup = {F("game/__Storm.bit", "version 1"), F("outside/Storm.big", Mod(20u << 20))},
         .cancelAtUpdate = 2,
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok},
         .messages = {kIntro},
         .list = {"__Storm"}, .label = ""});

    add({.name = "InstallOverAReadOnlyInactiveMod",
         .setup = {F("game/__Storm.bit", "version 1"), {Step::ReadOnly, "game/__Storm.bit", ""},
                   F("outside/Storm.big", "version 2")},
         .needs = kModes,
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok, Ok},
         .messages = {kIntro, CopyError("Permission denied")},
         .list = {"__Storm"}, .label = ""});
    add({.name = "AnInactiveCopyThatCannotGiveWayIsReported",
         .setup = {F("game/__Foo.big", "new"), F("game/__Foo.bit", "old"), Immutable("game/__Foo.bit"),
                   F("game/__B.bit", "B")},
         .needs = kImmutable,
         .action = Case::Activate, .argument = "__B",
         .answers = {Yes, Ok, Ok, Ok},
         .messages = {ActivateQ("__B"), DeactivateError("__Foo", "Operation not permitted"), Activated("__B"),
                      Several("__B")},
         .files = Files{{"game/__Foo.big", "new"}, {"game/__Foo.bit", "old"}, {"game/__B.big", "B"}},
         .list = {"__Foo"}, .label = "__B", .rescanMessages = {Several("__B")}});
    add({.name = "DeleteAStaleCopyBesideAReadOnlyHardLinkOutside",
         .setup = {F("outside/keep.big", "same"), {Step::ReadOnly, "outside/keep.big", ""},
                   {Step::HardLink, "game/__Foo.bit", "outside/keep.big"}, F("game/__Foo.big", "same")},
         .needs = kOneFileSystem | kHardLinks | kModes,
         .action = Case::DeactivateAll,
         .answers = {Yes, Ok},
         .messages = {kDeactivateAllQ, Deactivated("__Foo")},
         .files = Files{{"outside/keep.big", std::string("same") + kReadOnlyMark}, {"game/__Foo.bit", "same"}},
         .list = {"__Foo"}, .label = ""});

    // A folder the user may not change: as nobody, and through a read-only
    // bind mount. Each change says so before it tries anything, and leaves
    // the folder as it was; so does the look that finds it out.
    const std::string notYours = "You may not change this game folder: it belongs to root. Make it yours (the "
                                 "README says how), then choose the folder again.";
    const std::string readOnly = "This game folder is on a disk that is mounted read-only ({root}/game), so no MOD "
                                 "can be switched here. Mount it for writing, then choose the folder again.";
    add({.name = "ReadOnlyForNobodyActivate",
         .setup = {F("game/__A.big", "A"), F("game/__B.bit", "B")},
         .asNobody = true,
         .action = Case::Activate, .argument = "__B",
         .answers = {Yes, Ok},
         .messages = {ActivateQ("__B"), notYours},
         .list = {"__B"}, .label = "__A"});
    add({.name = "ReadOnlyForNobodyInstall",
         .setup = {F("outside/Storm.big", "storm")},
         .asNobody = true,
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok, Ok},
         .messages = {kIntro, notYours}});
    add({.name = "ReadOnlyForNobodyDelete",
         .setup = {F("game/__B.bit", "B")},
         .asNobody = true,
         .action = Case::Delete, .argument = "__B",
         .answers = {Yes, Ok},
         .messages = {DeleteQ("__B"), notYours},
         .list = {"__B"}, .label = ""});
    add({.name = "ReadOnlyBindMountDeactivateAll",
         .setup = {F("game/__A.big", "A")},
         .readOnlyBind = true,
         .action = Case::DeactivateAll,
         .answers = {Yes, Ok},
         .messages = {kDeactivateAllQ, readOnly},
         .list = {}, .label = "__A"});
    add({.name = "ReadOnlyBindMountInstall",
         .setup = {F("outside/Storm.big", "storm")},
         .readOnlyBind = true,
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok, Ok},
         .messages = {kIntro, readOnly}});
    add({.name = "ReadOnlyBindMountMovies",
         .setup = {F("game/Data/Movies/sizzle_review.bik", "s")},
         .readOnlyBind = true,
         .action = Case::DisableMovies,
         .answers = {Ok},
         .messages = {readOnly}});

    // Hostile names.
    add({.name = "HostileNames",
         .setup = {F("game/-rf.bit", "dash"), F("game/a*b?.bit", "wild"), F("game/semi;colon [x].bit", "semi"),
                   F("game/\xff\xfe.bit", "bytes"), F("game/" + kLong + ".bit", "long"),
                   F("game/__ spaced .big", "spaced")},
         .needs = kAnyName,
         .action = Case::Activate, .argument = kLong,
         .answers = {Yes, Ok, Ok},
         .messages = {ActivateQ(kLong), Deactivated("__ spaced "), Activated(kLong)},
         .files = Files{{"game/-rf.bit", "dash"}, {"game/a*b?.bit", "wild"}, {"game/semi;colon [x].bit", "semi"},
                        {"game/\xff\xfe.bit", "bytes"}, {"game/" + kLong + ".big", "long"},
                        {"game/__ spaced .bit", "spaced"}},
         .list = {"-rf", "__ spaced ", "a*b?", "semi;colon [x]", "\xff\xfe"}, .label = kLong});
    add({.name = "InstallAnArchiveNamedLikeAnOption",
         .setup = {F("outside/--help.big", "help")},
         .action = Case::Install, .argument = "outside/--help.big",
         .answers = {Ok, No},
         .messages = {kIntro, Installed("--help.big", "__--help.bit")},
         .files = Files{{"outside/--help.big", "help"}, {"game/__--help.bit", "help"}},
         .list = {"__--help"}, .label = ""});

    // Archives as players download them: nothing in them is trusted, and a
    // bad one changes nothing and says why.
    const auto archive = [&](std::string name, std::string made, std::string why) {
        add({.name = std::move(name),
             .setup = {F("game/__Old.bit", "old"), Download(made)},
             .action = Case::Install, .argument = "outside/Pack" + made.substr(made.rfind('.')),
             .answers = {Ok, Ok},
             .messages = {kIntro, CopyError(why)},
             .list = {"__Old"}, .label = ""});
    };
    archive("ADamagedArchive", "truncated.zip", kDamaged);
    archive("AnArchiveWithABadChecksum", "badcrc.zip", kDamaged);
    archive("AModLongerThanItsArchiveSays", "longer.zip", kDamaged);
    archive("AWebPageNamedLikeAnArchive", "html.zip", "the file is not a .zip, .7z or .rar archive");
    archive("AModProtectedByAPassword", "encrypted.zip", kPassword);
    archive("AnArchiveWithProtectedNames", "encrypted-names.7z", kPassword);
    archive("ALinkADeviceAndAFolderNamedLikeMods", "links.zip", "the archive holds no MOD");
    // A mod of several archives: one that is no archive of the game, or
    // whose table points past its end, stops the merge before a byte.
    archive("AMemberThatIsNoArchiveOfTheGame", "notbig.zip", "!A.big: it is not an archive of the game (.big)");
    archive("AMemberWhoseTableLies", "lying.zip", "!A.big: its table of contents is damaged");
    add({.name = "AModBiggerThanTheRoomLeft",
         .setup = {F("game/__Huge.bit", "version 1"), Download("huge.zip")},
         .smallVolume = true,
         .action = Case::Install, .argument = "outside/Pack.zip",
         .answers = {Ok, Ok},
         .messages = {kIntro, CopyError("No space left on device")},
         .list = {"__Huge"}, .label = ""});
    add({.name = "TheDiskFillsWhileAModIsUnpacked",
         .setup = {F("game/__Big.bit", "version 1"), Download("big12.zip")},
         .smallVolume = true, .fillAtUpdate = 2,
         .action = Case::Install, .argument = "outside/Pack.zip",
         .answers = {Ok, Ok},
         .messages = {kIntro, CopyError("No space left on device")},
         .list = {"__Big"}, .label = ""});
    add({.name = "CancelWhileAModIsUnpacked",
         .setup = {F("game/__Big.bit", "version 1"), Download("big12.zip")},
         .cancelAtUpdate = 2,
         .action = Case::Install, .argument = "outside/Pack.zip",
         .answers = {Ok},
         .messages = {kIntro},
         .list = {"__Big"}, .label = ""});
    add({.name = "AKilledUnpackGoesAtTheNextStart",
         .setup = {F("game/__Old.bit", "old"), Download("big12.zip"),
                   {Step::KilledUnpack, "game/__Big.bit", "outside/Pack.zip"}},
         .action = Case::Start,
         .files = Files{{"game/__Old.bit", "old"}, {"outside/Pack.zip", Made("big12.zip")}},
         .list = {"__Old"}, .label = "", .leftoverBefore = true});
    // A merge out of a solid archive unpacks it into a scratch file first:
    // killed, that goes too.
    add({.name = "AKilledMergeGoesAtTheNextStart",
         .setup = {F("game/__Old.bit", "old"), Download("Reds 1.0.7z"), {Step::KilledMerge, "game", "outside/Pack.7z"}},
         .action = Case::Start,
         .files = Files{{"game/__Old.bit", "old"}, {"outside/Pack.7z", Made("Reds 1.0.7z")}},
         .list = {"__Old"}, .label = "", .leftoverBefore = true});
    add({.name = "OneModAmongTenThousandEntries",
         .setup = {Download("many.zip")},
         .action = Case::Install, .argument = "outside/Pack.zip",
         .answers = {Ok, No},
         .messages = {kIntro, Installed("Escape.big", "__Escape.bit")},
         .files = Files{{"outside/Pack.zip", Made("many.zip")}, {"game/__Escape.bit", Made("expected/Escape.big")}},
         .list = {"__Escape"}, .label = ""});
    add({.name = "AModWhosePathLeadsOutOfTheFolder",
         .setup = {Download("paths.zip")},
         .action = Case::Install, .argument = "outside/Pack.zip",
         .answers = {Ok, No},
         .messages = {kIntro, Installed("Escape.big", "__Escape.bit")},
         .files = Files{{"outside/Pack.zip", Made("paths.zip")}, {"game/__Escape.bit", Made("expected/Escape.big")}},
         .list = {"__Escape"}, .label = ""});

    // Files that vanish between the scan and the action.
    add({.name = "ActivateAfterTheBitVanished",
         .setup = {F("game/__A.big", "A"), F("game/__B.bit", "B")},
         .action = Case::Activate, .argument = "__B",
         .answers = {Yes, Ok, Ok},
         .vanish = {"game/__B.bit"},
         .messages = {ActivateQ("__B"), Deactivated("__A"), ActivateError("__B", "No such file or directory")},
         .files = Files{{"game/__A.bit", "A"}},
         .list = {"__A"}, .label = ""});
    add({.name = "DeleteAfterTheFileVanished",
         .setup = {F("game/__B.bit", "B")},
         .action = Case::Delete, .argument = "__B",
         .answers = {Yes, Ok},
         .vanish = {"game/__B.bit"},
         .messages = {DeleteQ("__B"), DeleteError("__B", "No such file or directory")},
         .files = Files{},
         .list = {}, .label = ""});
    add({.name = "DeactivateAfterTheBigVanished",
         .setup = {F("game/__A.big", "A")},
         .action = Case::DeactivateAll,
         .answers = {Yes, Ok},
         .vanish = {"game/__A.big"},
         .messages = {kDeactivateAllQ, DeactivateError("__A", "No such file or directory")},
         .files = Files{},
         .list = {}, .label = ""});
    add({.name = "AnInactiveCopyOfTheSameSizeIsKept",
         .setup = {F("game/__A.big", "1234"), F("game/__A.bit", "abcd")},
         .action = Case::DeactivateAll,
         .answers = {Yes, Ok},
         .messages = {kDeactivateAllQ, Deactivated("__A")},
         .files = Files{{"game/__A.bit", "1234"}, {"game/__A (2).bit", "abcd"}},
         .list = {"__A (2)", "__A"}, .label = ""});

    // 9. The game runs: natively, under Wine, or from another folder.
    add({.name = "GameRunsActivateNo",
         .setup = {F("game/__A.big", "A"), F("game/__B.bit", "B"), Game("{root}/game/generals.exe")},
         .action = Case::Activate, .argument = "__B",
         .answers = {Yes, No},
         .messages = {ActivateQ("__B"), kGameRuns},
         .list = {"__B"}, .label = "__A"});
    add({.name = "GameRunsUnderWineDeactivateYes",
         .setup = {F("pfx/drive_c/Games/Generals/__A.big", "A"), L("pfx/dosdevices/c:", "../drive_c"),
                   Game("C:\\Games\\GENERALS\\Generals.EXE", "pfx")},
         .game = "pfx/drive_c/Games/Generals",
         .action = Case::DeactivateAll,
         .answers = {Yes, Yes, Ok},
         .messages = {kDeactivateAllQ, kGameRuns, Deactivated("__A")},
         .files = Files{{"pfx/drive_c/Games/Generals/__A.bit", "A"}, {"pfx/dosdevices/c:", "->../drive_c"}},
         .list = {"__A"}, .label = ""});
    add({.name = "GameRunsFromAnotherFolder",
         .setup = {F("game/__B.bit", "B"), Game("{root}/outside/game.dat")},
         .action = Case::Delete, .argument = "__B",
         .answers = {Yes, Ok},
         .messages = {DeleteQ("__B"), Deleted("__B")},
         .files = Files{},
         .agreedLoss = {"B"},
         .list = {}, .label = ""});
    add({.name = "GameRunsInstallNo",
         .setup = {F("outside/Storm.big", "storm"), Game("{root}/game/game.dat")},
         .action = Case::Install, .argument = "outside/Storm.big",
         .answers = {Ok, No},
         .messages = {kIntro, kGameRuns}});
    add({.name = "GameRunsScanAsksBeforeReconciling",
         .setup = {F("game/__A.big", "A"), F("game/__B.big", "B"), Game("{root}/game/generals.exe")},
         .action = Case::Scan,
         .answers = {Ok, No},
         .messages = {Several("__A"), kGameRuns},
         .list = {}, .label = "__A", .rescanMessages = {Several("__A"), kGameRuns}});
    add({.name = "GameRunsMoviesNo",
         .setup = {F("game/Data/Movies/sizzle_review.bik", "s"), Game("{root}/game/generals.exe")},
         .action = Case::DisableMovies,
         .answers = {No},
         .messages = {kGameRuns}});

    // 12. A mod with companion files: cut off at any change of a name, the
    // next start leaves it fully inactive or fully active, and every file
    // of the game and of the mod with its bytes.
    const std::string kManifest = "tavrel companions 1\nData\\Movies\\Blue.bik\nInstall_Final.bmp\n";
    const std::string kBlue = Made("expected/Blue.big");
    const std::vector<Step> blueOff = {
        F("game/__Blue.bit", kBlue), F("game/.tavrel/__Blue/companions.txt", kManifest),
        F("game/.tavrel/__Blue/Data/Movies/Blue.bik", "blue movie"), F("game/.tavrel/__Blue/Install_Final.bmp", "blue splash"),
        F("game/Install_Final.bmp", "stock splash"), F("game/Data/Scripts/SkirmishScripts.scb", "stock scripts")};
    const Files off = {{"game/__Blue.bit", kBlue}, {"game/.tavrel/__Blue/companions.txt", kManifest},
                       {"game/.tavrel/__Blue/Data/Movies/Blue.bik", "blue movie"},
                       {"game/.tavrel/__Blue/Install_Final.bmp", "blue splash"},
                       {"game/Install_Final.bmp", "stock splash"}, {"game/Data/Scripts/SkirmishScripts.scb", "stock scripts"}};
    const Files on = {{"game/__Blue.big", kBlue}, {"game/.tavrel/__Blue/companions.txt", kManifest},
                      {"game/.tavrel/__Blue/active.txt", "<any>"}, {"game/.tavrel/__Blue/placed.txt", "<any>"},
                      {"game/Data/Movies/Blue.bik", "blue movie"},
                      {"game/Install_Final.bmp", "blue splash"}, {"game/Install_Final.bmp.tavrel", "stock splash"},
                      {"game/Data/Scripts/SkirmishScripts.scb", "stock scripts"}};
    const Files gone = {{"game/Install_Final.bmp", "stock splash"}, {"game/Data/Scripts/SkirmishScripts.scb", "stock scripts"}};
    std::vector<Step> blueOn = blueOff;
    blueOn.push_back({Step::Activated, "", "__Blue"});
    // Each action first loads the folder, whose look at the user's rights
    // renames and deletes a file of its own: two changes more.
    const auto killed = [&](const std::string& name, const Case& base, int changes) {
        for (int n = 1; n <= changes + 2; ++n) {
            Case c = base;
            c.name = name + "KilledAtChange" + std::to_string(n);
            c.shim.killAtChange = n;
            add(std::move(c));
        }
    };
    killed("ActivateWithCompanions",
           {.setup = blueOff, .action = Case::Activate, .argument = "__Blue", .answers = {Yes, Ok, Ok},
            .either = {off, on}, .eitherView = {{{"__Blue"}, ""}, {{}, "__Blue"}}},
           19);
    killed("DeactivateWithCompanions",
           {.setup = blueOn, .action = Case::DeactivateAll, .answers = {Yes, Ok},
            .either = {on, off}, .eitherView = {{{}, "__Blue"}, {{"__Blue"}, ""}}},
           16);
    killed("DeleteWithCompanions",
           {.setup = blueOff, .action = Case::Delete, .argument = "__Blue", .answers = {Yes, Ok},
            .either = {off, gone}, .eitherView = {{{"__Blue"}, ""}, {{}, ""}},
            .agreedLoss = {kBlue, kManifest, "blue movie", "blue splash"}},
           12);
    Files downloaded = off;
    downloaded.emplace_back("outside/Pack.zip", Made("movies.zip"));
    std::vector<Step> replacing = blueOff;
    replacing.push_back(Download("movies.zip"));
    replacing[0] = F("game/__Blue.bit", "old blue");
    downloaded[0] = {"game/__Blue.bit", "old blue"};
    Files installed = {{"game/__Blue.bit", kBlue}, {"game/.tavrel/__Blue/companions.txt", "<any>"},
                       {"game/.tavrel/__Blue/Data/Movies/Blue.bik", "blue movie"},
                       {"game/.tavrel/__Blue/Install_Final.bmp", "blue splash"},
                       {"game/Install_Final.bmp", "stock splash"},
                       {"game/Data/Scripts/SkirmishScripts.scb", "stock scripts"},
                       {"outside/Pack.zip", Made("movies.zip")}};
    killed("InstallOverAModWithCompanions",
           {.setup = replacing, .action = Case::Install, .argument = "outside/Pack.zip", .answers = {Ok, No},
            .either = {downloaded, installed}, .eitherView = {{{"__Blue"}, ""}, {{"__Blue"}, ""}},
            .agreedLoss = {"old blue", kManifest}},
           40);

    // An add-on of the mod, switched by renames: its archive, a loose game
    // file, and a splash over the mod's own. Cut off at any change, the
    // next start leaves it fully on or fully off.
    const std::string hud = "game/.tavrel/__Blue/addons/HUD/";
    const auto withHud = [&](std::vector<Step> steps, bool on) {
        for (const auto& [path, bytes] : std::vector<std::pair<std::string, std::string>>{
                 {"addon.txt", "tavrel addon 1\nkind add-on\nhidden-by-base 0\nend\n"},
                 {on ? "on" : "off", ""},
                 {"companions.txt", "tavrel companions 2\n_!HUD.big\nData\\INI\\HUD.ini\nInstall_Final.bmp\nend\n"},
                 {"_!HUD.big.off", "hud archive"}, {"Data/INI/HUD.ini", "hud ini"}, {"Install_Final.bmp", "hud splash"}}) {
            steps.insert(steps.begin() + 1, F(hud + path, bytes));
        }
        return steps;
    };
    const auto hudFiles = [&](Files files, bool on, bool placed) {
        const Files info = {{hud + "addon.txt", "tavrel addon 1\nkind add-on\nhidden-by-base 0\nend\n"},
                            {hud + (on ? "on" : "off"), ""},
                            {hud + "companions.txt", "<any>"}};
        files.insert(files.end(), info.begin(), info.end());
        if (!placed) {
            files.insert(files.end(), {{hud + "_!HUD.big.off", "hud archive"}, {hud + "Data/INI/HUD.ini", "hud ini"},
                                       {hud + "Install_Final.bmp", "hud splash"}});
            return files;
        }
        // The mod's splash, set aside in its turn.
        std::erase_if(files, [](const auto& f) { return f.first == "game/Install_Final.bmp"; });
        files.insert(files.end(), {{"game/_!HUD.big", "hud archive"}, {"game/Data/INI/HUD.ini", "hud ini"},
                                   {"game/Install_Final.bmp", "hud splash"},
                                   {"game/Install_Final.bmp.tavrel2", "blue splash"},
                                   {"game/.tavrel/__Blue/addons/active.txt", "<any>"},
                                   {"game/.tavrel/__Blue/addons/placed.txt", "<any>"}});
        return files;
    };
    killed("AddOnOn",
           {.setup = withHud(blueOn, false), .action = Case::AddOnOn, .argument = "__Blue/HUD",
            .either = {hudFiles(on, false, false), hudFiles(on, true, true)},
            .eitherView = {{{}, "__Blue"}, {{}, "__Blue"}}},
           14);
    std::vector<Step> hudOn = withHud(blueOff, true);
    hudOn.push_back({Step::Activated, "", "__Blue"});
    killed("AddOnOff",
           {.setup = hudOn, .action = Case::AddOnOff, .argument = "__Blue/HUD",
            .either = {hudFiles(on, true, true), hudFiles(on, false, false)},
            .eitherView = {{{}, "__Blue"}, {{}, "__Blue"}}},
           14);
    killed("DeactivateWithAnAddOn",
           {.setup = hudOn, .action = Case::DeactivateAll, .answers = {Yes, Ok},
            .either = {hudFiles(on, true, true), hudFiles(off, true, false)},
            .eitherView = {{{}, "__Blue"}, {{"__Blue"}, ""}}},
           24);
    killed("ActivateWithAnAddOn",
           {.setup = withHud(blueOff, true), .action = Case::Activate, .argument = "__Blue", .answers = {Yes, Ok, Ok},
            .either = {hudFiles(off, true, false), hudFiles(on, true, true)},
            .eitherView = {{{"__Blue"}, ""}, {{}, "__Blue"}}},
           28);

    // 13. Others change the folder while a mod with companions is active: a
    // cleaner deletes a movie, Steam's "Verify integrity" puts the game's
    // files back, a player deletes Tavrel's folder or the mod's archive.
    // Nothing still there is lost, nothing is taken for what it is not, and
    // the user is told what to do.
    const auto onThen = [&](std::vector<Step> changes) {
        std::vector<Step> steps = blueOn;
        steps.insert(steps.end(), changes.begin(), changes.end());
        return steps;
    };
    const auto removed = [](std::string path) { return Step{Step::Gone, std::move(path), ""}; };
    const std::string kReinstall = "\r\n\r\nReinstall the MOD to bring its own files back.";
    const std::string kMovieGone = "These files of MOD __Blue were gone from the game folder: Data\\Movies\\Blue.bik." + kReinstall;
    const std::string kLostMovie = "tavrel companions 2\nInstall_Final.bmp\nmissing\tData\\Movies\\Blue.bik\nend\n";
    const Files movieLost = {{"game/__Blue.bit", kBlue}, {"game/.tavrel/__Blue/companions.txt", kLostMovie},
                             {"game/.tavrel/__Blue/Install_Final.bmp", "blue splash"},
                             {"game/Install_Final.bmp", "stock splash"},
                             {"game/Data/Scripts/SkirmishScripts.scb", "stock scripts"}};
    add({.name = "APlacedMovieDeletedByHand",
         .setup = onThen({removed("game/Data/Movies/Blue.bik")}),
         .action = Case::DeactivateAll, .answers = {Yes, Ok, Ok},
         .messages = {kDeactivateAllQ, Deactivated("__Blue"), kMovieGone},
         .files = movieLost, .list = {"__Blue"}, .label = ""});
    Files redOn = movieLost;
    redOn.emplace_back("game/__Red.big", "red");
    add({.name = "AnotherModAfterAPlacedMovieWasDeleted",
         .setup = onThen({F("game/__Red.bit", "red"), removed("game/Data/Movies/Blue.bik")}),
         .action = Case::Activate, .argument = "__Red", .answers = {Yes, Ok, Ok, Ok},
         .messages = {ActivateQ("__Red"), Deactivated("__Blue"), kMovieGone, Activated("__Red")},
         .files = redOn, .list = {"__Blue"}, .label = "__Red"});
    add({.name = "AModWithALostMovieSaysSoWhenActivated",
         .setup = {F("game/__Blue.bit", kBlue), F("game/.tavrel/__Blue/companions.txt", kLostMovie),
                   F("game/.tavrel/__Blue/Install_Final.bmp", "blue splash"), F("game/Install_Final.bmp", "stock splash")},
         .action = Case::Activate, .argument = "__Blue", .answers = {Yes, Ok, Ok},
         .messages = {ActivateQ("__Blue"), Activated("__Blue"),
                      "Set aside while MOD __Blue is active, so that the game reads the MOD's own: Install_Final.bmp."
                      "\r\n\r\nThese files of MOD __Blue are lost, and the game goes without them: "
                      "Data\\Movies\\Blue.bik. Reinstall the MOD to bring them back."},
         .files = Files{{"game/__Blue.big", kBlue}, {"game/.tavrel/__Blue/companions.txt", kLostMovie},
                        {"game/.tavrel/__Blue/active.txt", "<any>"}, {"game/.tavrel/__Blue/placed.txt", "<any>"},
                        {"game/Install_Final.bmp", "blue splash"}, {"game/Install_Final.bmp.tavrel", "stock splash"}},
         .list = {}, .label = "__Blue"});
    // Steam's verify writes the game's splash over the mod's, in place and
    // of the same size: only the bytes tell.
    add({.name = "SteamRestoredTheSplashAModPutInPlace",
         .setup = onThen({F("game/Install_Final.bmp", "pink splash")}),
         .action = Case::DeactivateAll, .answers = {Yes, Ok, Ok},
         .messages = {kDeactivateAllQ, Deactivated("__Blue"),
                      "These files of MOD __Blue had been replaced (by Steam's \"Verify integrity\", a repair or a "
                      "copy by hand), and stay in place as the game's: Install_Final.bmp." + kReinstall +
                      "\r\n\r\nThe game's own files had been put back in their places, so the copies Tavrel set "
                      "aside stay beside them under the names they have now: Install_Final.bmp.tavrel."},
         .files = Files{{"game/__Blue.bit", kBlue},
                        {"game/.tavrel/__Blue/companions.txt",
                         "tavrel companions 2\nData\\Movies\\Blue.bik\nmissing\tInstall_Final.bmp\nend\n"},
                        {"game/.tavrel/__Blue/Data/Movies/Blue.bik", "blue movie"},
                        {"game/Install_Final.bmp", "pink splash"}, {"game/Install_Final.bmp.tavrel", "stock splash"},
                        {"game/Data/Scripts/SkirmishScripts.scb", "stock scripts"}},
         .list = {"__Blue"}, .label = ""});
    // The mod's archive holds the game's AI scripts, so the loose ones are
    // set aside; a player copies them back by hand.
    add({.name = "AGameFileSetAsideRestoredByHand",
         .setup = {F("game/__Art.bit", Made("Reds 1.0/!Reds_Art.big")),
                   F("game/Data/Scripts/SkirmishScripts.scb", "stock scripts"), {Step::Activated, "", "__Art"},
                   F("game/Data/Scripts/SkirmishScripts.scb", "stock scripts")},
         .needs = kNamesAsGiven,
         .action = Case::DeactivateAll, .answers = {Yes, Ok, Ok},
         .messages = {kDeactivateAllQ, Deactivated("__Art"),
                      "The game's own files had been put back in their places, so the copies Tavrel set aside stay "
                      "beside them under the names they have now: Data\\Scripts\\SkirmishScripts.scb.tavrel."},
         .files = Files{{"game/__Art.bit", Made("Reds 1.0/!Reds_Art.big")},
                        {"game/Data/Scripts/SkirmishScripts.scb", "stock scripts"},
                        {"game/Data/Scripts/SkirmishScripts.scb.tavrel", "stock scripts"}},
         .list = {"__Art"}, .label = ""});
    const std::string kRecordLost = "Tavrel's record of what MOD __Blue put in place was missing or damaged, so the "
                                    "game's own files it had set aside were found by their names.";
    add({.name = "TavrelsFolderDeletedByHand",
         .setup = onThen({removed("game/.tavrel")}),
         .needs = kNamesAsGiven,
         .action = Case::DeactivateAll, .answers = {Yes, Ok, Ok},
         .messages = {kDeactivateAllQ, Deactivated("__Blue"),
                      kRecordLost + "\r\n\r\nThe files in their places were taken for the MOD's own, and are kept "
                                    "beside it: Install_Final.bmp."},
         .files = Files{{"game/__Blue.bit", kBlue},
                        {"game/.tavrel/__Blue/companions.txt", "tavrel companions 2\nInstall_Final.bmp\nend\n"},
                        {"game/.tavrel/__Blue/Install_Final.bmp", "blue splash"},
                        {"game/Install_Final.bmp", "stock splash"}, {"game/Data/Movies/Blue.bik", "blue movie"},
                        {"game/Data/Scripts/SkirmishScripts.scb", "stock scripts"}},
         .list = {"__Blue"}, .label = ""});
    add({.name = "ARecordCutShort",
         .setup = onThen({F("game/.tavrel/__Blue/active.txt", "tavrel journal 1\nrename\t")}),
         .action = Case::DeactivateAll, .answers = {Yes, Ok, Ok},
         .messages = {kDeactivateAllQ, Deactivated("__Blue"), kRecordLost},
         .files = off, .list = {"__Blue"}, .label = ""});
    std::vector<Step> cutShort = blueOff;
    cutShort[1] = F("game/.tavrel/__Blue/companions.txt", "tavrel companions 2\nData\\Movies\\Blue.bik\nInst");
    Files rebuilt = on;
    rebuilt[1] = {"game/.tavrel/__Blue/companions.txt", "tavrel companions 2\nData\\Movies\\Blue.bik\nInstall_Final.bmp\nend\n"};
    add({.name = "AManifestCutShort",
         .setup = cutShort,
         .needs = kNamesAsGiven,
         .action = Case::Activate, .argument = "__Blue", .answers = {Yes, Ok, Ok},
         .messages = {ActivateQ("__Blue"), Activated("__Blue"),
                      "Set aside while MOD __Blue is active, so that the game reads the MOD's own: Install_Final.bmp."
                      "\r\n\r\nThe list of the files MOD __Blue keeps beside it was damaged; Tavrel made it again "
                      "from the files it found there."},
         .files = rebuilt, .list = {}, .label = "__Blue"});
    add({.name = "TheArchiveOfAPlacedModDeletedByHand",
         .setup = onThen({removed("game/__Blue.big")}),
         .action = Case::Scan, .answers = {Yes},
         .messages = {"The MOD __Blue is no longer in the game folder, but the files Tavrel kept beside it are. "
                      "Tavrel has put the game's own files back in their places. Do you want to remove what is "
                      "left of the MOD?"},
         .files = gone, .agreedLoss = {"blue movie", "blue splash"}, .list = {}, .label = ""});

    // Another Tavrel changes the folder: the second waits a moment, then
    // says what the first does and offers to try again.
    add({.name = "AnotherTavrelHoldsTheFolder",
         .setup = {F("game/__A.big", "A"), F("game/__B.bit", "B"), F("game/.tavrel/lock", "installing Storm.big"),
                   {Step::Held, "game/.tavrel", ""}},
         .action = Case::Activate, .argument = "__B", .answers = {Yes, No},
         .messages = {ActivateQ("__B"), "Another Tavrel is installing Storm.big in this game folder, and Tavrel makes one "
                                        "change there at a time. Do you want to try again?"},
         .list = {"__B"}, .label = "__A"});

    // 14. The movie switch and a mod's movies, whichever comes first.
    const std::string kSizzle = "tavrel companions 1\nData\\Movies\\sizzle_review.bik\n";
    const std::vector<Step> sizzle = {F("game/__S.bit", "S"), F("game/.tavrel/__S/companions.txt", kSizzle),
                                      F("game/.tavrel/__S/Data/Movies/sizzle_review.bik", "mod sizzle")};
    std::vector<Step> switchedFirst = sizzle;
    switchedFirst.push_back(F("game/Data/Movies/__sizzle_review.bik", "stock sizzle"));
    add({.name = "AModsMovieAfterTheMovieSwitch",
         .setup = switchedFirst,
         .action = Case::Activate, .argument = "__S",
         .answers = {Yes, Ok},
         .messages = {ActivateQ("__S"), Activated("__S")},
         .files = Files{{"game/__S.big", "S"}, {"game/.tavrel/__S/companions.txt", kSizzle},
                        {"game/.tavrel/__S/active.txt", "<any>"}, {"game/.tavrel/__S/placed.txt", "<any>"},
                        {"game/Data/Movies/sizzle_review.bik", "mod sizzle"},
                        {"game/Data/Movies/__sizzle_review.bik", "stock sizzle"}},
         .list = {}, .label = "__S"});
    std::vector<Step> modFirst = sizzle;
    modFirst.push_back(F("game/Data/Movies/sizzle_review.bik", "stock sizzle"));
    modFirst.push_back({Step::Activated, "", "__S"});
    add({.name = "TheMovieSwitchPassesAModsMovieBy",
         .setup = modFirst,
         .action = Case::DisableMovies,
         .answers = {Ok},
         .messages = {"Nothing Found To Change."},
         .list = {}, .label = "__S"});
    return cases;
}

using Row = std::tuple<Case, Volume>;
class Faults : public ::testing::TestWithParam<Row> {};

}  // namespace

// Cases are named by their name alone in test output.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
void PrintTo(const Volume& v, std::ostream* os) { *os << v.name; }

namespace {

std::string WithRoot(std::string text, const std::string& root) {
    for (auto at = text.find("{root}"); at != std::string::npos; at = text.find("{root}", at + root.size())) {
        text.replace(at, 6, root);
    }
    return text;
}

// What a killed copy leaves: its temporary file, or an install's stage in
// Tavrel's folder.
bool IsLeftover(const std::string& path) {
    return IsCopyTemporaryName(path.substr(path.rfind('/') + 1)) || path.find("/.tavrel/stage-") != std::string::npos;
}

// Tavrel's own records in its folder: a change under way, what a mod put
// in place, what it keeps beside it, who changes the folder, whether every
// change ended. They hold no byte of the game or of a mod.
bool IsRecord(const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    return path.find("/.tavrel/") != std::string::npos &&
           (name == "journal.txt" || name == "active.txt" || name == "active.new" || name == "placed.txt" ||
            name == "companions.txt" || name == "lock" || name == "settled");
}

TEST_P(Faults, LoseNothingAndTellTheTruth) {
    const auto& [c, volume] = GetParam();
    TempFolder root;
    ::chmod(root.path().c_str(), 0755);  // for the cases run as nobody
    const Outcome o = RunCase(c, volume, root.path());
    if (!o.skipped.empty()) GTEST_SKIP() << o.skipped;

    // A volume that gives every name back in lower case is held to the names
    // without regard to case; the bytes stay exact.
    const auto names = [&](std::string text) { return volume.listsLowerCase ? FoldCase(text) : text; };
    const auto allNames = [&](Strings texts) {
        for (std::string& t : texts) t = names(t);
        return texts;
    };
    const auto pathsOf = [&](const std::map<std::string, std::string>& files) {
        std::map<std::string, std::string> out;
        // Whether every change ended is no file a row has to name.
        for (const auto& [path, what] : files) {
            if (!path.ends_with("/.tavrel/settled")) out[names(path)] = what;
        }
        return out;
    };

    Strings told;
    for (const std::string& m : c.messages) told.push_back(WithRoot(m, root.path()));
    EXPECT_EQ(allNames(o.messages), allNames(told)) << "what the user was told";

    const auto described = [&](const Files& files) {
        std::map<std::string, std::string> expected;
        for (const auto& [path, bytes] : files) {
            const std::string mark = kReadOnlyMark;
            const bool readOnly = bytes.size() >= mark.size() && bytes.ends_with(mark);
            const std::string content = readOnly ? bytes.substr(0, bytes.size() - mark.size()) : bytes;
            if (content == "<any>") {
                const auto after = pathsOf(o.after);
                const auto found = after.find(names(path));
                expected[path] = found == after.end() ? "<missing>" : found->second;
                continue;
            }
            expected[path] = content.starts_with("->") || content == "<fifo>" ? content : Describe(BytesOf(content));
            if (readOnly) expected[path] += mark;
        }
        return pathsOf(expected);
    };
    std::vector<std::string> list = c.list;
    std::string label = c.label;
    if (!c.either.empty()) {
        // Cut off anywhere, the work is either not done or done, whole.
        const auto whole = std::find_if(c.either.begin(), c.either.end(),
                                        [&](const Files& files) { return described(files) == pathsOf(o.after); });
        EXPECT_NE(whole, c.either.end()) << "the files afterwards: " << ::testing::PrintToString(o.after)
                                         << "\nnot one of: " << ::testing::PrintToString(described(c.either.back()));
        if (whole != c.either.end()) std::tie(list, label) = c.eitherView[static_cast<std::size_t>(whole - c.either.begin())];
    } else {
        EXPECT_EQ(pathsOf(o.after), c.files ? described(*c.files) : pathsOf(o.before)) << "the files afterwards";
    }

    // Whatever the expectation says: every file's bytes are still somewhere,
    // unless the user agreed to lose them or the case took the file away.
    const auto bytesOf = [](std::string what) {
        if (what.ends_with(kReadOnlyMark)) what.resize(what.size() - std::string(kReadOnlyMark).size());
        return what;
    };
    for (const auto& [path, what] : o.before) {
        const bool bytes = what[0] == '=' || what[0] == '#';
        const bool vanished = std::any_of(c.vanish.begin(), c.vanish.end(),
                                          [&](const std::string& v) { return names(v) == names(path); });
        if (!bytes || vanished || IsLeftover(path) || IsRecord(path)) continue;
        const bool kept = std::any_of(o.after.begin(), o.after.end(),
                                      [&](const auto& a) { return bytesOf(a.second) == bytesOf(what); });
        const bool agreed = std::any_of(c.agreedLoss.begin(), c.agreedLoss.end(),
                                        [&](const std::string& loss) { return Describe(BytesOf(loss)) == bytesOf(what); });
        EXPECT_TRUE(kept || agreed) << path << " lost its bytes";
    }
    EXPECT_EQ(std::any_of(o.before.begin(), o.before.end(), [](const auto& b) { return IsLeftover(b.first); }),
              c.leftoverBefore)
        << "a copy's temporary file before the action";

    EXPECT_EQ(allNames(o.rescanMessages), allNames(c.rescanMessages)) << "a rescan afterwards";
    EXPECT_EQ(allNames(o.list), allNames(list)) << "the list after a rescan";
    EXPECT_EQ(names(o.label), names(label)) << "the active mod after a rescan";

    // A refusal that never happened would prove nothing.
    EXPECT_EQ(o.counts.noReplace > 0, c.shim.refuseNoReplace);
    EXPECT_EQ(o.counts.link > 0, c.shim.refuseLink);
    EXPECT_EQ(o.counts.kernelCopy > 0, c.shim.refuseKernelCopy);
    EXPECT_EQ(o.counts.tmpfile > 0, c.shim.refuseTmpfile);
}

// Each case on the native file system, then on each volume ("Volumes/",
// left out of the sanitizer build): NameOnNtfs3g and so on.
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    const auto& [c, volume] = info.param;
    if (volume.name == "native") return c.name;
    std::string suffix;
    bool upper = true;
    for (const char ch : volume.name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) {
            upper = true;
            continue;
        }
        suffix += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch;
        upper = false;
    }
    return c.name + "On" + suffix;
}

INSTANTIATE_TEST_SUITE_P(Native, Faults, ::testing::Combine(::testing::ValuesIn(Cases()),
                                                            ::testing::Values(Volumes().front())),
                         RowName);
INSTANTIATE_TEST_SUITE_P(Volumes, Faults, ::testing::Combine(::testing::ValuesIn(Cases()),
                                                             ::testing::ValuesIn(Volumes().begin() + 1,
                                                                                 Volumes().end())),
                         RowName);

}  // namespace
}  // namespace tavrel::test
