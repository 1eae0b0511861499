// "Install A Mod": a picked .big, or the .big in a picked archive, becomes an
// inactive mod in the game folder; a mod of several archives and loose game
// files becomes one archive. What goes where is decided first, as a plan
// (install_plan.h); install_writer.cpp writes it. A mod with companion
// files is gathered in a stage of Tavrel's folder, then moved into place
// with the copy it replaces by one journal.
#include "modstore/mod_store.h"

#include <functional>
#include <memory>
#include <unordered_set>

#include "modstore/companions.h"
#include "modstore/install_plan.h"
#include "modstore/mod_contents.h"
#include "support/archive.h"
#include "support/file_system.h"
#include "support/journal.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr char kStagedFiles[] = "files", kReplacedArchive[] = "replaced.bit", kReplacedCompanions[] = "replaced";

// Adds the steps that move every file below `from` to its place below `to`
// (both relative to `folder`), making the folders on the way, and removing
// those left empty when `removeEmptied`. Folders are never renamed
// themselves: some file systems (FAT through fusefat) lose what a renamed
// folder holds.
void MoveFiles(const std::string& folder, const std::string& from, const std::string& to, Journal& journal,
               bool removeEmptied = false) {
    std::vector<DirEntry> entries;
    if (!ListEntries(JoinPath(folder, from), entries).ok() || entries.empty()) return;
    if (!IsFolder(JoinPath(folder, to))) journal.steps.push_back({JournalStep::MakeFolder, "", to});
    for (const DirEntry& e : entries) {
        if (e.isFolder && !e.isLink) {
            MoveFiles(folder, JoinPath(from, e.name), JoinPath(to, e.name), journal, removeEmptied);
        } else {
            journal.steps.push_back({JournalStep::Rename, JoinPath(from, e.name), JoinPath(to, e.name)});
        }
    }
    if (removeEmptied) journal.steps.push_back({JournalStep::RemoveFolder, "", from});
}

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
        MoveFiles(folder, oldCompanions, JoinPath(stageRelative, kReplacedCompanions), journal, !companions);
        if (companions) MoveFiles(folder, JoinPath(stageRelative, kStagedFiles), companionFolder, journal);
        journal.removeWhenDone = journal.removeWhenUndone = {stageRelative};
        done = RunJournal(folder, JournalFile(folder), journal);
    }
    // A journal left in place still needs the stage, for the next start.
    if (!done.ok() && !PathExists(JournalFile(folder))) RemoveTree(stage);
    lock.reset();
    RemoveFile(lockFile, true);
    return done;
}

// Companions that name one path in other letter case are one file to the
// game: the first of them is kept.
std::vector<const ModFile*> OnePerPath(const std::vector<ModFile>& files) {
    std::vector<const ModFile*> kept;
    std::unordered_set<std::string> seen;
    for (const ModFile& f : files) {
        if (seen.insert(FoldCase(f.path)).second) kept.push_back(&f);
    }
    return kept;
}

}  // namespace

// The managed name of an archive: every leading underscore gives way to
// exactly two, and the extension becomes ".bit".
std::string InstalledModName(const std::string& sourceName) {
    const std::size_t firstKept = sourceName.find_first_not_of('_');
    const std::string rest = firstKept == std::string::npos ? std::string() : sourceName.substr(firstKept);
    return FileChangeExt("__" + rest, ".bit");
}

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

std::optional<std::string> MergedModName(const std::string& name) {
    const std::size_t from = name.find_first_not_of(" \t_");
    if (from == std::string::npos) return std::nullopt;
    std::string stem = WithAllowedNameChars(name.substr(from));
    while (!stem.empty() && (stem.back() == '.' || stem.back() == ' ' || stem.back() == '\t')) {
        stem.pop_back();  // Windows drops them from a file name
    }
    if (stem.empty()) return std::nullopt;
    return "__" + stem + ".bit";
}

bool ModStore::planInstall(const std::vector<std::string>& sources, ModContents& mod, InstallPlan& plan,
                           Status& failed) {
    failed = Status::Ok();
    const std::string& first = sources.front();
    // One file that is no archive of archives is installed as it is.
    if (sources.size() == 1 && !IsArchiveName(FileGetName(first)) && !IsFolder(first)) {
        plan.way = InstallPlan::Way::Copy;
        plan.copyFrom = first;
        plan.sourceName = UserPathName(first);
        plan.newName = InstalledModName(plan.sourceName);
        plan.newEntry = FileChangeExt(plan.newName, "");
        return true;
    }
    if (failed = GatherMod(sources, mod); !failed.ok()) return false;
    // A mod is an archive or a file the game reads below its own folders.
    const bool gameFiles = !mod.archives.empty() || !mod.loose.empty() ||
                           std::any_of(mod.companions.begin(), mod.companions.end(),
                                       [](const ModFile& f) { return f.path.find('\\') != std::string::npos; });
    if (!gameFiles) {
        failed = Status::Error(mod.archive.empty() ? "the folder holds no MOD" : "the archive holds no MOD");
        return false;
    }
    std::vector<const ModFile*> chosen;
    for (const ModFile& f : mod.archives) chosen.push_back(&f);
    std::string name = mod.name;
    bool alone = mod.loose.empty(), withoutLoose = false;
    if (mod.archives.size() > 1 || (mod.archives.size() == 1 && !mod.loose.empty())) {
        std::vector<ArchiveMember> offered;
        for (const ModFile& f : mod.archives) offered.push_back({f.source.name, f.path, f.source.size, 0});
        const std::optional<ArchiveChoice> choice = w_.chooseModArchives(offered, mod.name);
        if (!choice) return false;  // the user's own choice: nothing changes
        chosen.clear();
        for (const std::size_t i : choice->ticked) {
            if (i < mod.archives.size()) chosen.push_back(&mod.archives[i]);
        }
        if (chosen.empty()) return false;
        name = choice->name;
        withoutLoose = choice->withoutLooseFiles;
        alone = alone || withoutLoose;
    }
    // The archives ticked alone are installed without anything else.
    if (!(alone && withoutLoose)) plan.companions = OnePerPath(mod.companions);
    // One archive alone goes in as it is, under its own name.
    if (chosen.size() == 1 && alone) {
        plan.lone = chosen.front();
        plan.way = mod.archive.empty() ? InstallPlan::Way::Copy : InstallPlan::Way::Unpack;
        plan.sourceName = plan.lone->source.name;
        plan.newName = InstalledModName(plan.sourceName);
    } else {
        const std::optional<std::string> managed = MergedModName(name);
        if (!managed) {
            failed = Status::Error("the MOD has no name");
            return false;
        }
        plan.way = InstallPlan::Way::Merge;
        plan.merged = chosen;
        plan.withLoose = true;
        plan.companionsFromArchive = true;
        plan.sourceName = mod.shown;
        plan.newName = *managed;
    }
    plan.newEntry = FileChangeExt(plan.newName, "");
    // What was left out is told where the mod is more than one archive.
    if (plan.way == InstallPlan::Way::Merge || plan.hasCompanions()) plan.leftOut = mod.leftOut;
    return true;
}

bool ModStore::makeWayFor(const std::string& folder, const InstallPlan& plan) {
    const std::string active = ResolveFileName(folder, plan.newEntry, ".big");
    if (!IsRegularFile(JoinPath(folder, active))) return true;
    const std::string entry = StripLastExtension(active);
    if (!plan.hasCompanions() && !HasCompanionFolder(folder, entry)) return true;
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

bool ModStore::InstallMod(const std::vector<std::string>& sources, std::string* installedEntry) {
    if (!w_.folderText().empty()) w_.setFolderText(FileCleanPath(w_.folderText()));
    if (!goOnWhileGameRuns()) return false;

    const std::string zh = ZeroHourPart(w_.zhMode());
    const std::string folder = w_.folderText();
    const auto copyError = [&](const Status& why) {
        w_.message("An error occurred while attempting to copy the new MOD to your Generals folder! Please ensure "
                   "that the MOD is a valid .big file that is not in use, and that the path to your Generals" + zh +
                       "folder is valid. (" + why.text() + ")",
                   Buttons::Ok, Icon::Critical);
        return false;
    };
    // An empty folder text names no game folder: nothing is copied to the
    // file system root.
    if (folder.empty() || sources.empty()) return copyError(FailureStatus(Failure::NoSuchFile));

    ModContents mod;
    InstallPlan plan;
    Status planned = Status::Ok();
    if (!planInstall(sources, mod, plan, planned)) return planned.ok() ? false : copyError(planned);
    InstallWriter writer(mod, plan);
    if (Status checked = writer.check(); !checked.ok()) return copyError(checked);
    finishUnfinishedWork(folder);
    if (!makeWayFor(folder, plan)) return false;

    // An existing copy in other letter case is the one replaced, so that the
    // folder never holds two names the game sees as one.
    const std::string targetName = ResolveFileName(folder, plan.newEntry, ".bit");
    const std::string target = JoinPath(folder, targetName);
    const bool staged = plan.hasCompanions() || HasCompanionFolder(folder, plan.newEntry);
    bool cancelled = false;
    Status copied = Status::Ok();
    {
        const auto progress = w_.showCopyProgress("Installing " + plan.sourceName + "...");
        const CopyProgress report = [&](std::uint64_t done, std::uint64_t total) {
            cancelled = !progress->update(done, total);
            return !cancelled;
        };
        if (!staged) {
            copied = writer.write(folder, target, "", report);
        } else if (copied = CheckReplaceable(target); copied.ok()) {
            copied = CheckRoomFor(folder, writer.archiveBytes() + plan.companionBytes());
            if (copied.ok()) {
                copied = InstallStaged(folder, targetName, plan.newEntry, plan.hasCompanions(),
                                       [&](const std::string& archive, const std::string& companions) {
                                           return writer.write(folder, archive, companions, report);
                                       });
            }
        }
    }  // the progress window closes before any message
    if (cancelled) return false;  // the user's own choice; the folder is as it was
    if (!copied.ok()) return copyError(copied);
    if (installedEntry) *installedEntry = plan.newEntry;

    const std::string words = plan.words(writer.kept());
    UpdateList(false);
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
    return true;
}

}  // namespace tavrel
