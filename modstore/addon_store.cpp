// A mod's add-ons and patches, as the user installs, switches and deletes
// them (addons.h keeps and places them).
#include <algorithm>
#include <set>

#include "game/game_paths.h"
#include "modstore/install_writer.h"
#include "modstore/mod_contents.h"
#include "modstore/mod_store.h"
#include "modstore/store_folder.h"
#include "support/file_system.h"
#include "support/journal.h"
#include "support/path_rules.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr char kStagedFiles[] = "files", kReplaced[] = "replaced";

bool BaseActive(const std::string& folder, const std::string& base) {
    return IsRegularFile(JoinPath(folder, ResolveFileName(folder, base, ".big")));
}

// An archive's name as its author gave it, as the game reads it: ".gib" made ".big".
std::string AuthorName(const ModFile& archive) {
    const std::string name = FileGetName(archive.path, '\\');
    return EndsWithNoCase(name, ".gib") ? name.substr(0, name.size() - 4) + ".big" : name;
}

// The add-on's loose files, game files and companions alike, each once.
std::vector<const ModFile*> LooseFiles(const ModContents& mod) {
    std::vector<const ModFile*> files;
    std::set<std::string> seen;
    for (const auto* list : {&mod.loose, &mod.companions}) {
        for (const ModFile& f : *list) {
            if (seen.insert(FoldCase(f.path)).second) files.push_back(&f);
        }
    }
    return files;
}

// One progress for several writers, each reporting against its own total.
class Steps {
public:
    Steps(CopyProgressView& view, std::uint64_t total, bool& cancelled)
        : view_(view), total_(total), cancelled_(cancelled) {}
    CopyProgress next(std::uint64_t bytes) {
        done_ += last_;
        last_ = bytes;
        return [this](std::uint64_t done, std::uint64_t total) {
            const std::uint64_t share = total ? static_cast<std::uint64_t>(static_cast<long double>(done) / total * last_) : 0;
            cancelled_ = !view_.update(std::min(done_ + share, total_), total_);
            return !cancelled_;
        };
    }

private:
    CopyProgressView& view_;
    std::uint64_t total_, done_ = 0, last_ = 0;
    bool& cancelled_;
};

// Writes the add-on into the stage's files: its `loose` files as they are,
// its `archives` without the entries its base wins by `origins`, under
// their names in Tavrel's folder; `manifest` takes their game paths.
Status WriteAddOnFiles(const ModContents& mod, const std::vector<const ModFile*>& loose,
                       const std::vector<const ModFile*>& archives, const std::optional<Origins>& origins,
                       const std::string& stage, Steps& steps, Manifest& manifest, std::size_t& hiddenByBase) {
    const std::string files = JoinPath(stage, kStagedFiles);
    InstallPlan plan;
    plan.way = InstallPlan::Way::None;
    plan.companions = loose;
    Status done = MakeFolders(files);
    if (done.ok() && !loose.empty()) {
        InstallWriter writer(mod, plan);
        done = writer.write(stage, "", files, steps.next(plan.companionBytes()));
        manifest.paths = writer.kept();
    }
    hiddenByBase = 0;
    for (const ModFile* archive : archives) {
        if (!done.ok()) break;
        const std::string author = AuthorName(*archive);
        InstallPlan merge;
        merge.way = InstallPlan::Way::Merge;
        merge.merged = {archive};
        merge.leaveOut = [&](const std::string& path) { return origins && BaseWins(*origins, GamePathKey(path), author); };
        InstallWriter writer(mod, merge);
        const std::string placedName = AddOnArchiveName(author);
        done = writer.check();
        if (done.ok()) {
            done = writer.write(stage, JoinPath(files, AddOnStoredPath(placedName)), "", steps.next(archive->source.size));
        }
        hiddenByBase += writer.leftOutEntries();
        manifest.paths.push_back(placedName);
    }
    return done;
}

// Moves the staged add-on into its folder `target` in one journal, the
// version it replaces into the stage.
Status MoveAddOnIn(const std::string& folder, const std::string& base, const std::string& stageRelative,
                   const std::string& target) {
    Journal journal;
    for (const std::string& made : {CompanionFolderRelative(folder, base), AddOnsRelative(folder, base)}) {
        if (!IsFolder(JoinPath(folder, made))) journal.steps.push_back({JournalStep::MakeFolder, "", made});
    }
    MoveFiles(folder, target, JoinPath(stageRelative, kReplaced), journal);
    MoveFiles(folder, JoinPath(stageRelative, kStagedFiles), target, journal);
    journal.removeWhenDone = journal.removeWhenUndone = {stageRelative};
    return RunJournal(folder, JournalFile(folder), journal);
}

// The first of `archives` named as one of the base's own, as its origins
// tell; empty when none is.
std::string OwnArchiveAmong(const std::string& folder, const std::string& base,
                            const std::vector<const ModFile*>& archives) {
    const std::optional<Origins> origins = ReadOrigins(CompanionFolder(folder, base));
    for (const ModFile* archive : archives) {
        for (const std::string& own : origins ? origins->archives : std::vector<std::string>{}) {
            if (EqualsNoCase(own, AuthorName(*archive))) return AuthorName(*archive);
        }
    }
    return {};
}

// The success message of an add-on's install.
std::string InstalledText(AddOnKind kind, const std::string& name, const std::string& base, std::size_t hidden,
                          bool on) {
    std::string text = std::string(kind == AddOnKind::Patch ? "Patch " : "Add-on ") + name + " of MOD " + base +
                       " has been successfully installed.";
    if (hidden > 0) {
        text += ' ';
        text += std::to_string(hidden) + (hidden == 1 ? " file of it is" : " files of it are") +
                " left out: the MOD's own archives load before the add-on's there, as they would in the game "
                "folder.";
    }
    return text + (on ? " It is on, as the version it replaced was." : " It is off until you turn it on.");
}

}  // namespace

std::string ModStore::addOnsBase() const {
    const std::string selected = selectedEntry();
    return selected.empty() ? w_.activeMod() : selected;
}

std::string ModStore::findBase(const std::string& folder, const std::string& base) {
    std::vector<std::string> mods = w_.listEntries();
    if (!w_.activeMod().empty()) mods.push_back(w_.activeMod());
    for (const std::string& entry : mods) {
        if (EqualsNoCase(entry, base) && IsManagedEntry(entry) && FolderExists(folder)) return entry;
    }
    w_.message("There is no MOD " + base + " that Tavrel installed in this game folder. Add-ons belong to a MOD "
               "installed with Tavrel.",
               Buttons::Ok, Icon::Critical);
    return {};
}

std::optional<AddOn> ModStore::findAddOn(const std::string& base, const std::string& name, std::string& folder,
                                         std::string& entry) {
    w_.setFolderText(FileCleanPath(w_.folderText()));
    folder = w_.folderText();
    entry = findBase(folder, base);
    if (entry.empty()) return std::nullopt;
    std::optional<AddOn> addOn = FindAddOn(folder, entry, name);
    if (!addOn) w_.message("MOD " + entry + " has no add-on named " + name + ".", Buttons::Ok, Icon::Critical);
    return addOn;
}

bool ModStore::applyAddOns(const std::string& folder, const std::string& base, const std::vector<JournalStep>& marks,
                           bool baseActive) {
    AddOnsReport report;
    const Status applied = ApplyAddOns(folder, base, marks, baseActive, &report);
    if (!report.off.empty()) w_.message(SwitchOffWarning(base, report.off), Buttons::Ok, Icon::Exclamation);
    if (!applied.ok()) {
        w_.message("An error occurred while attempting to switch the add-ons of MOD " + base + ". (" + applied.text() +
                       ")",
                   Buttons::Ok, Icon::Critical);
    } else if (!report.placed.missing.empty()) {
        w_.message("These files of the add-ons of MOD " + base + " are lost, and the game goes without them: " +
                       FewNames(report.placed.missing) + ". Install the add-on again to bring them back.",
                   Buttons::Ok, Icon::Exclamation);
    }
    return applied.ok();
}

Status ModStore::writeAddOn(const std::string& folder, const std::string& base, const ModContents& mod,
                            const std::vector<const ModFile*>& archives, AddOnKind kind, const std::string& name,
                            std::size_t& hiddenByBase, bool& cancelled) {
    const std::vector<const ModFile*> loose = LooseFiles(mod);
    std::uint64_t total = 0;
    for (const auto* list : {&loose, &archives}) {
        for (const ModFile* f : *list) total += f->source.size;
    }
    if (Status store = MakeStoreFolder(folder); !store.ok()) return store;
    if (Status room = CheckRoomFor(folder, total); !room.ok()) return room;
    const std::string stageRelative = JoinPath(kStoreFolderName, NewStageName());
    const std::string stage = JoinPath(folder, stageRelative), lockFile = stage + kStageLockSuffix;
    std::unique_ptr<HeldFile> lock;
    if (Status held = HeldFile::Hold(lockFile, lock); !held.ok()) return held;
    const std::string files = JoinPath(stage, kStagedFiles);
    const auto view = w_.showCopyProgress("Installing " + mod.shown + "...");
    Steps steps(*view, total, cancelled);
    Manifest manifest;
    Status done = WriteAddOnFiles(mod, loose, archives, ReadOrigins(CompanionFolder(folder, base)), stage, steps,
                                  manifest, hiddenByBase);
    const std::string target = AddOnRelative(folder, base, name);
    const bool replacing = IsFolder(JoinPath(folder, target));
    // A new version keeps the old one's on or off.
    const bool on = replacing && PathExists(JoinPath(JoinPath(folder, target), AddOnMark(true)));
    if (done.ok()) done = WriteManifest(files, manifest);
    if (done.ok()) done = WriteAddOnInfo(files, kind, hiddenByBase);
    if (done.ok()) done = WriteFileBytes(JoinPath(files, AddOnMark(on)), "");
    // The add-ons come out while the old version goes; a start after a kill
    // on the way puts them back.
    if (done.ok() && replacing && AddOnsPlaced(folder, base)) {
        done = MarkAddOnsUnsettled(folder, base);
        if (done.ok()) done = TakeAddOnsOff(folder, base);
    }
    if (done.ok()) done = MoveAddOnIn(folder, base, stageRelative, target);
    if (!done.ok() && !PathExists(JournalFile(folder))) RemoveTree(stage);
    lock.reset();
    RemoveFile(lockFile, true);
    return done;
}

bool ModStore::InstallAddOn(const std::string& base, const std::vector<std::string>& sources, AddOnKind kind,
                            const std::optional<std::string>& name, std::string* installedName) {
    if (!w_.folderText().empty()) w_.setFolderText(FileCleanPath(w_.folderText()));
    const std::string folder = w_.folderText();
    const std::string entry = findBase(folder, base);
    if (entry.empty() || !goOnWhileGameRuns()) return false;
    const auto failed = [&](const Status& why) {
        w_.message("An error occurred while attempting to install the add-on of MOD " + entry + ". (" + why.text() + ")",
                   Buttons::Ok, Icon::Critical);
        offerRestartAfter(why);
        return false;
    };
    ModContents mod;
    if (sources.empty()) return failed(FailureStatus(Failure::NoSuchFile));
    if (Status gathered = GatherMod(sources, mod); !gathered.ok()) return failed(gathered);
    if (!HoldsGameFiles(mod)) return failed(Status::Error("it holds no file the game reads"));
    // Which archives, and its name: as for a mod.
    std::vector<const ModFile*> archives;
    std::string given = name.value_or(mod.name);
    if (AsksForArchives(mod)) {
        std::vector<ArchiveMember> offered;
        for (const ModFile& f : mod.archives) offered.push_back({f.source.name, f.path, f.source.size, 0});
        const std::optional<ArchiveChoice> choice = w_.chooseModArchives(offered, given);
        if (!choice) return false;
        for (const std::size_t i : choice->ticked) archives.push_back(&mod.archives[i]);
        if (!name) given = choice->name;
    } else {
        for (const ModFile& f : mod.archives) archives.push_back(&f);
    }
    const std::optional<std::string> addOnName = AddOnName(given);
    if (!addOnName) return failed(Status::Error("the add-on has no name"));
    // An archive of the base's own name would replace it in the authors'
    // layout, which one merged archive cannot serve.
    if (const std::string own = OwnArchiveAmong(folder, entry, archives); !own.empty()) {
        w_.message("The add-on's archive " + own + " has the name of an archive of MOD " + entry +
                       " itself, and would replace it. Tavrel keeps the MOD as one archive and cannot do that: "
                       "install the add-on together with the MOD's files as a new version of the MOD.",
                   Buttons::Ok, Icon::Critical);
        return false;
    }
    const Change change(*this, folder, "installing " + mod.shown);
    if (!change) return false;
    finishUnfinishedWork(folder);
    std::size_t hidden = 0;
    bool cancelled = false;
    const Status written = writeAddOn(folder, entry, mod, archives, kind, *addOnName, hidden, cancelled);
    if (cancelled) return false;
    if (!written.ok()) return failed(written);
    // A new version of an add-on took them all out of the game folder.
    const std::optional<AddOn> installed = FindAddOn(folder, entry, *addOnName);
    const std::vector<AddOn> all = ListAddOns(folder, entry);
    if (BaseActive(folder, entry) && std::any_of(all.begin(), all.end(), [](const AddOn& a) { return a.on; }) &&
        !AddOnsPlaced(folder, entry) && !applyAddOns(folder, entry, {}, true)) {
        return false;
    }
    if (installedName) *installedName = *addOnName;
    w_.message(InstalledText(kind, *addOnName, entry, hidden, installed && installed->on), Buttons::Ok,
               Icon::Information);
    return true;
}

bool ModStore::SwitchAddOn(const std::string& base, const std::string& name, bool on) {
    std::string folder, entry;
    const std::optional<AddOn> addOn = findAddOn(base, name, folder, entry);
    if (!addOn) return false;
    if (addOn->on == on) return true;
    const bool active = BaseActive(folder, entry);
    if (active && !goOnWhileGameRuns()) return false;
    const Change change(*this, folder, (on ? "turning on " : "turning off ") + addOn->name);
    if (!change) return false;
    finishUnfinishedWork(folder);
    return applyAddOns(folder, entry, MarksFor(folder, entry, addOn->name, on), active);
}

bool ModStore::DeleteAddOn(const std::string& base, const std::string& name) {
    std::string folder, entry;
    const std::optional<AddOn> addOn = findAddOn(base, name, folder, entry);
    if (!addOn) return false;
    if (w_.message("Are you sure you want to delete the add-on " + addOn->name + " of MOD " + entry + "?",
                   Buttons::YesNo, Icon::Question) != Answer::Yes ||
        !goOnWhileGameRuns()) {
        return false;
    }
    const Change change(*this, folder, "deleting " + addOn->name);
    if (!change) return false;
    finishUnfinishedWork(folder);
    // Out of the game folder first; then its files go, in one journal.
    if (addOn->on && !applyAddOns(folder, entry, MarksFor(folder, entry, addOn->name, false), BaseActive(folder, entry))) {
        return false;
    }
    Journal journal;
    journal.removeWhenDone.push_back(AddOnRelative(folder, entry, addOn->name));
    if (Status removed = RunJournal(folder, JournalFile(folder), journal); !removed.ok()) {
        w_.message("An error occurred while attempting to delete the add-on " + addOn->name + ". (" + removed.text() +
                       ")",
                   Buttons::Ok, Icon::Critical);
        return false;
    }
    w_.message("Add-on " + addOn->name + " of MOD " + entry + " deleted...", Buttons::Ok, Icon::Information);
    return true;
}

void ModStore::keepOrigins(const std::string& folder, const InstallPlan& plan, const InstallWriter& writer) {
    // A mod of one archive keeps none: nothing in the game folder tells its
    // add-ons then where its paths came from, and they win where they have
    // one (as they do over a mod installed before the record was kept).
    if (plan.way != InstallPlan::Way::Merge) return;
    Origins origins;
    for (const ModFile* f : plan.merged) origins.archives.push_back(AuthorName(*f));
    for (auto& [key, from] : writer.origins()) origins.byPath.emplace(std::move(key), std::move(from));
    // Without it the add-ons win over the mod where they have a path: less
    // than right, and no reason to fail the install.
    if (MakeStoreFolder(folder).ok()) WriteOrigins(CompanionFolder(folder, plan.newEntry), origins);
}

}  // namespace tavrel
