// "Install A Mod": a picked .big, or the .big in a picked archive, becomes an
// inactive mod in the game folder; a mod of several archives and loose game
// files becomes one archive. What goes where is decided first, as a plan
// (install_plan.h); install_writer.cpp writes it. A mod with companion
// files is gathered in a stage of Tavrel's folder, then moved into place
// with the copy it replaces by one journal.
#include "modstore/mod_store.h"

#include <functional>
#include <memory>

#include "modstore/install_writer.h"
#include "modstore/mod_contents.h"
#include "modstore/store_folder.h"
#include "support/archive.h"
#include "support/file_system.h"
#include "support/journal.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr char kStagedFiles[] = "files", kReplacedArchive[] = "replaced.bit", kReplacedCompanions[] = "replaced";

// Writes a mod into a stage of Tavrel's folder with `write` (its archive,
// and its companions where `companions`), then moves it in by one journal:
// the copy of the same name and its companion files go to the stage, the
// new ones take their places, and the stage goes. After a kill at any step
// the folder holds the old copy or the new one, each whole.
Status InstallStaged(const std::string& folder, const std::string& targetName, const std::string& entry,
                     bool companions, const std::function<Status(const std::string&, const std::string&)>& write) {
    if (Status store = MakeStoreFolder(folder); !store.ok()) return store;
    const std::string stageRelative = JoinPath(kStoreFolderName, NewStageName());
    const std::string stage = JoinPath(folder, stageRelative), lockFile = stage + kStageLockSuffix;
    std::unique_ptr<HeldFile> lock;
    if (Status held = HeldFile::Hold(lockFile, lock); !held.ok()) return held;
    const std::string files = JoinPath(stage, kStagedFiles);
    Status done = MakeFolders(companions ? files : stage);
    if (done.ok()) done = write(JoinPath(stage, targetName), companions ? files : std::string());
    // A mod that turned out to keep nothing beside it has no companion folder.
    std::vector<DirEntry> kept;
    const bool keeps = companions && ListEntries(files, kept).ok() && !kept.empty();
    if (done.ok()) {
        Journal journal;
        const std::string oldCompanions = CompanionFolderRelative(folder, entry);
        if (PathExists(JoinPath(folder, targetName))) {
            journal.steps.push_back({JournalStep::Rename, targetName, JoinPath(stageRelative, kReplacedArchive)});
        }
        journal.steps.push_back({JournalStep::Rename, JoinPath(stageRelative, targetName), targetName});
        const std::string companionFolder = IsFolder(JoinPath(folder, oldCompanions)) ? oldCompanions
                                                                                    : JoinPath(kStoreFolderName, entry);
        // A mod without companions leaves no companion folder behind.
        // The mod's add-ons stay, and so does its folder then.
        MoveFiles(folder, oldCompanions, JoinPath(stageRelative, kReplacedCompanions), journal, !keeps,
                  kAddOnsFolderName);
        if (keeps) MoveFiles(folder, JoinPath(stageRelative, kStagedFiles), companionFolder, journal);
        journal.removeWhenDone = journal.removeWhenUndone = {stageRelative};
        done = RunJournal(folder, JournalFile(folder), journal);
    }
    // A journal left in place still needs the stage, for the next start.
    if (!done.ok() && !PathExists(JournalFile(folder))) RemoveTree(stage);
    lock.reset();
    RemoveFile(lockFile, true);
    return done;
}

}  // namespace

void ModStore::lblInstallMod_Click() {
    const std::string zh = ZeroHourPart(w_.zhMode());
    if (w_.message("Tavrel can automaticaly import a MOD (.big file) to your Generals" + zh +
                       "folder. Tavrel will rename the file to a .bit file until you activate it for use. Please "
                       "select the MOD (.big file) you want to import now...",
                   Buttons::OkCancel, Icon::Information) != Answer::Ok) {
        return;
    }

    std::string startFolder;
    if (!w_.folderText().empty()) {
        w_.setFolderText(FileCleanPath(w_.folderText()));
        if (FolderExists(w_.folderText())) startFolder = w_.folderText();
    }
    // Mods as they come (.big), several picked together, or as downloaded.
    const std::vector<std::string> sources = ShowOpenFiles(w_,
                                                           "Generals MODs and Archives (*.big;*.zip;*.7z;*.rar)|"
                                                           "*.big;*.zip;*.7z;*.rar|Generals MOD Files (*.big)|*.big",
                                                           "Select Generals MOD....", "big", startFolder);
    if (sources.empty()) return;
    InstallMod(sources);
}

bool ModStore::planInstall(const std::vector<std::string>& sources, ModContents& mod, InstallPlan& plan,
                           Status& failed) {
    failed = Status::Ok();
    const std::string& first = sources.front();
    // One file that is no archive of archives is installed as it is.
    if (sources.size() == 1 && !IsArchiveName(FileGetName(first)) && !IsFolder(first)) {
        plan = PlanCopy(first);
        return true;
    }
    if (failed = GatherMod(sources, mod); !failed.ok()) return false;
    if (!HoldsGameFiles(mod)) {
        failed = Status::Error(mod.archive.empty() ? "the folder holds no MOD" : "the archive holds no MOD");
        return false;
    }
    if (!AsksForArchives(mod)) return PlanChoice(mod, nullptr, plan, failed);
    std::vector<ArchiveMember> offered;
    for (const ModFile& f : mod.archives) offered.push_back({f.source.name, f.path, f.source.size, 0});
    const std::optional<ArchiveChoice> choice = w_.chooseModArchives(offered, mod.name);
    // Cancelled: the user's own choice, and nothing changes.
    return choice && PlanChoice(mod, &*choice, plan, failed);
}

bool ModStore::makeWayFor(const std::string& folder, const InstallPlan& plan) {
    const std::string active = ResolveFileName(folder, plan.newEntry, ".big");
    if (!IsRegularFile(JoinPath(folder, active))) return true;
    const std::string entry = StripLastExtension(active);
    if (!plan.hasCompanions() && !KeepsCompanionFiles(folder, entry)) return true;
    // Its companion folder is in use while it is active.
    if (w_.message("The MOD " + entry + " is active. Tavrel must de-activate it before it installs this version, so "
                   "that the files it keeps beside the MOD can be replaced. De-activate it and install the new "
                   "version?",
                   Buttons::YesNo, Icon::Question) != Answer::Yes) {
        return false;
    }
    DeactivateMod(entry, false);
    return !IsRegularFile(JoinPath(folder, ResolveFileName(folder, plan.newEntry, ".big")));
}

bool ModStore::installFailed(const Status& why) {
    w_.message("An error occurred while attempting to copy the new MOD to your Generals folder! Please ensure "
               "that the MOD is a valid .big file that is not in use, and that the path to your Generals" +
                   ZeroHourPart(w_.zhMode()) + "folder is valid. (" + why.text() + ")",
               Buttons::Ok, Icon::Critical);
    offerRestartAfter(why);
    return false;
}

Status ModStore::writeInstall(const std::string& folder, InstallWriter& writer, const InstallPlan& plan,
                              bool& cancelled) {
    // An existing copy in other letter case is the one replaced, so that the
    // folder never holds two names the game sees as one.
    const std::string targetName = ResolveFileName(folder, plan.newEntry, ".bit");
    const std::string target = JoinPath(folder, targetName);
    const auto progress = w_.showCopyProgress("Installing " + plan.sourceName + "...");
    const CopyProgress report = [&](std::uint64_t done, std::uint64_t total) {
        cancelled = !progress->update(done, total);
        return !cancelled;
    };
    if (!plan.hasCompanions() && !KeepsCompanionFiles(folder, plan.newEntry)) {
        return writer.write(folder, target, "", report);
    }
    if (Status replaceable = CheckReplaceable(target); !replaceable.ok()) return replaceable;
    if (Status room = CheckRoomFor(folder, writer.archiveBytes() + plan.companionBytes()); !room.ok()) return room;
    return InstallStaged(folder, targetName, plan.newEntry, plan.hasCompanions(),
                         [&](const std::string& archive, const std::string& companions) {
                             return writer.write(folder, archive, companions, report);
                         });
}

void ModStore::tellInstalled(const InstallPlan& plan, const std::string& words) {
    if (plan.newEntry != w_.activeMod()) {
        if (w_.offerActivation("MOD (" + plan.sourceName + ") has been successfully installed. Tavrel has renamed "
                               "the MOD to " + plan.newName + words +
                               "\r\n\r\nWould you like to activate this MOD now?") == Answer::Yes) {
            ActivateMod(plan.newEntry);
        }
    } else {
        w_.message("MOD (" + plan.newEntry + ") has been successfully installed. Tavrel has renamed the MOD to " +
                       plan.newName + words + "\r\n\r\nThis MOD is currently active.",
                   Buttons::Ok, Icon::Information);
    }
}

bool ModStore::InstallMod(const std::vector<std::string>& sources, std::string* installedEntry) {
    if (!w_.folderText().empty()) w_.setFolderText(FileCleanPath(w_.folderText()));
    if (!goOnWhileGameRuns()) return false;
    const std::string folder = w_.folderText();
    // An empty folder text names no game folder: nothing is copied to the
    // file system root.
    if (folder.empty() || sources.empty()) return installFailed(FailureStatus(Failure::NoSuchFile));

    ModContents mod;
    InstallPlan plan;
    Status planned = Status::Ok();
    if (!planInstall(sources, mod, plan, planned)) return planned.ok() ? false : installFailed(planned);
    InstallWriter writer(mod, plan);
    if (Status checked = writer.check(); !checked.ok()) return installFailed(checked);
    const Change change(*this, folder, "installing " + plan.sourceName);
    if (!change) return false;
    finishUnfinishedWork(folder);
    if (!makeWayFor(folder, plan)) return false;

    bool cancelled = false;
    // The record of where the mod's paths came from goes before the mod it
    // tells of: one left without a mod tells nothing wrong.
    ForgetOrigins(CompanionFolder(folder, plan.newEntry));
    const Status copied = writeInstall(folder, writer, plan, cancelled);  // its progress closes before any message
    if (cancelled) return false;  // the user's own choice; the folder is as it was
    if (!copied.ok()) return installFailed(copied);
    keepOrigins(folder, plan, writer);
    if (installedEntry) *installedEntry = plan.newEntry;
    const std::string words = plan.words(writer.kept());
    UpdateList(false);
    tellInstalled(plan, words);
    return true;
}

}  // namespace tavrel
