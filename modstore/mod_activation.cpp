// Switching mods on and off by renaming them between ".bit" and ".big", and
// what an activation tells of the archives that hide some of the mod's files.
#include "modstore/mod_activation.h"

#include <unordered_set>

#include "game/big_archive.h"
#include "game/game_paths.h"
#include "modstore/mod_contents.h"
#include "modstore/mod_store.h"
#include "modstore/placement.h"
#include "modstore/store_folder.h"
#include "support/file_system.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr int kGoOnEvery = 10;
constexpr std::size_t kNamedInMessage = 5;

}  // namespace

std::vector<HidingFile> FindHidingFiles(const std::string& folder, const std::string& modFile) {
    std::vector<BigEntry> table;
    if (!ReadBigFile(JoinPath(folder, modFile), table).ok() || table.empty()) return {};
    std::unordered_set<std::string> paths;
    for (const BigEntry& entry : table) paths.insert(GamePathKey(entry.path));

    std::vector<HidingFile> hiding;
    std::vector<DirEntry> entries;
    if (!ListEntries(folder, entries).ok()) return {};
    // What archives whose names load before the mod's hold, the game takes
    // from them.
    for (const DirEntry& entry : entries) {
        // The mod's own add-ons are the mod's, as their authors meant.
        if (!entry.isFile || !IsModName(entry.name) || IsAddOnArchiveName(entry.name) ||
            !LoadsBefore(entry.name, modFile)) {
            continue;
        }
        std::vector<BigEntry> theirs;
        if (!ReadBigFile(JoinPath(folder, entry.name), theirs).ok()) continue;
        std::unordered_set<std::string> hidden;
        for (const BigEntry& e : theirs) {
            std::string key = GamePathKey(e.path);
            if (paths.count(key)) hidden.insert(std::move(key));
        }
        if (!hidden.empty()) hiding.push_back({entry.name, hidden.size()});
    }
    return hiding;
}

std::string ActivationWarning(const std::string& modEntry, const std::vector<HidingFile>& hiding,
                              const Placement& placement) {
    std::string text;
    if (!hiding.empty()) {
        text = "Some files of MOD " + modEntry +
               " are hidden: the game loads these files first and uses what they hold instead:";
        for (std::size_t i = 0; i < hiding.size() && i < kNamedInMessage; ++i) {
            const std::size_t n = hiding[i].hidden;
            text += "\r\n" + hiding[i].name + " hides " + std::to_string(n) + (n == 1 ? " file" : " files");
        }
        if (hiding.size() > kNamedInMessage) {
            text += "\r\nand " + std::to_string(hiding.size() - kNamedInMessage) + " more";
        }
    }
    const auto add = [&](const std::string& paragraph) { text += (text.empty() ? "" : "\r\n\r\n") + paragraph; };
    if (!placement.setAside.empty()) {
        add("Set aside while MOD " + modEntry + " is active, so that the game reads the MOD's own: " +
            FewNames(placement.setAside) + ".");
    }
    if (placement.rebuilt) {
        add("The list of the files MOD " + modEntry + " keeps beside it was damaged; Tavrel made it again from "
            "the files it found there.");
    }
    if (!placement.missing.empty()) {
        add("These files of MOD " + modEntry + " are lost, and the game goes without them: " +
            FewNames(placement.missing) + ". Reinstall the MOD to bring them back.");
    }
    return text;
}

bool GoOnWhileGameRuns(MessageHost& host, const std::string& gameFolder, const GameRunningCheck& gameRuns) {
    if (!gameRuns || !gameRuns(gameFolder)) return true;
    return host.message("The game is running from this folder. Changing its files while it runs can break the "
                        "game and the mod. Do you want to go on anyway?",
                        Buttons::YesNo, Icon::Exclamation) == Answer::Yes;
}

std::string ModStore::selectedEntry() const {
    const int index = w_.selectedIndex();
    const std::vector<std::string> entries = w_.listEntries();
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return {};
    return entries[static_cast<std::size_t>(index)];
}

void ModStore::finishUnfinishedWork(const std::string& folder) {
    std::vector<FinishedSwitchOff> switchedOff;
    // Only where there is something to end is the folder locked for it.
    bool changing = false;
    const auto mayChange = [&] {
        return !gameRunsIn(folder) && (changing = beginChange(folder, "finishing an earlier change"));
    };
    if (Status ended = FinishUnfinishedWork(folder, mayChange, &switchedOff); !ended.ok()) {
        w_.message("Tavrel could not finish an earlier change in the game folder. (" + ended.text() + ")", Buttons::Ok,
                   Icon::Critical);
    }
    // A mod switched off behind Tavrel's back had its files taken back; one
    // whose archive is gone for good leaves only the files kept beside it.
    for (const FinishedSwitchOff& off : switchedOff) {
        if (const std::string warning = SwitchOffWarning(off.entry, off.report); !warning.empty()) {
            w_.message(warning, Buttons::Ok, Icon::Exclamation);
        }
        if (off.archiveGone &&
            w_.message("The MOD " + off.entry + " is no longer in the game folder, but the files Tavrel kept beside "
                       "it are. Tavrel has put the game's own files back in their places. Do you want to remove "
                       "what is left of the MOD?",
                       Buttons::YesNo, Icon::Question) == Answer::Yes) {
            RemoveTree(CompanionFolder(folder, off.entry));
        }
    }
    if (changing) endChange();
    else markSettled(folder);
}

bool ModStore::goOnWhileGameRuns() { return GoOnWhileGameRuns(w_, FileCleanPath(w_.folderText()), gameRuns_); }

void ModStore::ActivateMod(const std::string& bigFile) {
    if (bigFile.empty()) return;
    w_.setFolderText(FileCleanPath(w_.folderText()));
    const std::string folder = w_.folderText();
    const Change change(*this, folder, "activating " + bigFile);
    if (!change) return;
    finishUnfinishedWork(folder);
    const std::string existingName = ResolveFileName(folder, bigFile, ".big");
    const std::string existing = JoinPath(folder, existingName);

    bool replace = false;
    if (FileExists(existing)) {
        if (w_.message("This MOD '" + bigFile + "' (.big file) already exists in your Generals" +
                           ZeroHourPart(w_.zhMode()) +
                           "folder! Do you wish to overwrite this MOD file? (not recommended, use care when "
                           "replacing .big files!)",
                       Buttons::YesNo, Icon::Critical) != Answer::Yes) {
            return;
        }
        replace = true;
    }

    // When the label names this very mod (a copy was installed under the
    // active mod's name), switching it off would delete the inactive copy
    // that is about to become active; its ".big" is the file being replaced,
    // and only what it put in place goes back.
    if (!EqualsNoCase(w_.activeMod(), bigFile)) {
        DeactivateMod(w_.activeMod(), false);
    } else if (IsManagedEntry(bigFile) && IsPlaced(folder, bigFile) && TakeAddOnsOff(folder, bigFile).ok()) {
        SwitchOff(folder, bigFile, std::nullopt);
    }

    const std::string sourceName = ResolveFileName(folder, bigFile, ".bit");
    const std::string source = JoinPath(folder, sourceName);
    const std::string target = JoinPath(folder, bigFile + ".big");
    // Its add-ons that are on come with it; a start after a kill on the way
    // puts them in place.
    const bool addOns = IsManagedEntry(bigFile) && !ListAddOns(folder, bigFile).empty();
    if (addOns) MarkAddOnsUnsettled(folder, bigFile);
    // What the mod provides takes the place of the game's own loose files.
    Placement placement;
    Status renamed = IsManagedEntry(bigFile) ? PlanPlacement(folder, bigFile, source, placement) : Status::Ok();
    // The agreed overwrite puts the new archive in the old one's place in one
    // step, so that a rename that fails leaves the old archive where it was.
    const bool replacing = replace && PathExists(existing);
    if (renamed.ok() && !placement.steps.empty()) {
        renamed = SwitchOn(folder, bigFile,
                           replacing ? JournalStep{JournalStep::Replace, sourceName, existingName}
                                     : JournalStep{JournalStep::Rename, sourceName, bigFile + ".big"},
                           placement);
        if (renamed.ok() && replacing && existing != target) RenameNoReplace(existing, target);
    } else if (renamed.ok() && replacing) {
        renamed = RenameReplacing(source, existing);
        if (renamed.ok() && existing != target) RenameNoReplace(existing, target);  // the entry's own letter case
    } else if (renamed.ok()) {
        renamed = RenameNoReplace(source, target);
    }
    if (renamed.ok() && addOns) applyAddOns(folder, bigFile, {}, true);
    else if (addOns) MarkAddOnsSettled(folder, bigFile);
    tellActivated(folder, bigFile, renamed, placement);
    UpdateList(false);
}

void ModStore::tellActivated(const std::string& folder, const std::string& bigFile, const Status& renamed,
                             const Placement& placement) {
    if (!renamed.ok()) {
        w_.message("An error occurred while attempting to activate " + bigFile + ". (" + renamed.text() + ")",
                   Buttons::Ok, Icon::Critical);
        offerRestartAfter(renamed);
        return;
    }
    w_.message("MOD " + bigFile + " activated...", Buttons::Ok, Icon::Information);
    // Archives that load first win over the mod's own; what was set aside
    // is told too.
    const std::vector<HidingFile> hiding = FindHidingFiles(folder, bigFile + ".big");
    const std::string warning = ActivationWarning(bigFile, hiding, placement);
    if (!warning.empty()) w_.message(warning, Buttons::Ok, hiding.empty() ? Icon::Information : Icon::Exclamation);
}

void ModStore::DeactivateMod(const std::string& activeMod, bool doUpdate) {
    if (activeMod.empty()) return;
    w_.setFolderText(FileCleanPath(w_.folderText()));
    const std::string folder = w_.folderText();
    const Change change(*this, folder, "deactivating " + activeMod);
    if (!change) return;
    finishUnfinishedWork(folder);
    const std::string sourceName = ResolveFileName(folder, activeMod, ".big");
    const std::string source = JoinPath(folder, sourceName);
    const std::string stale = JoinPath(folder, ResolveFileName(folder, activeMod, ".bit"));
    // With no record of it left, what the active mod set aside comes back
    // by name.
    const bool placed = IsManagedEntry(activeMod) &&
                        (IsPlaced(folder, activeMod) || (IsRegularFile(source) && HasSetAsideFiles(folder, activeMod)));

    // An inactive copy of the same name gives way to the active one, but no
    // bytes are ever lost to it:
    //  - two names of one file (a link, or hard links): only a name goes,
    //    and when the ".big" is a link to the ".bit", removing that link is
    //    the whole deactivation;
    //  - a copy with the very same bytes is deleted;
    //  - anything else (a newer version installed while this one was
    //    active, a link elsewhere) is kept under a free name.
    // When the inactive copy cannot give way, that is the reason reported.
    Status renamed = Status::Ok();
    bool done = false;
    if (FileExists(stale) && IsRegularFile(source)) {
        if (SameFile(source, stale) && IsLink(source)) {
            renamed = RemoveFile(source);
            done = true;
        } else if (SameFile(source, stale) || SameContent(source, stale)) {
            renamed = RemoveFile(stale, true);
        } else {
            renamed = RenameNoReplace(stale, JoinPath(folder, UnusedFileName(folder, activeMod, ".bit")));
        }
        done = done || !renamed.ok();
    }
    // Its add-ons go first: they may have set the mod's own files aside. A
    // start after a kill on the way ends what was begun.
    const bool addOns = IsManagedEntry(activeMod) && renamed.ok() && AddOnsPlaced(folder, activeMod);
    if (addOns && (renamed = MarkAddOnsUnsettled(folder, activeMod)).ok()) renamed = TakeAddOnsOff(folder, activeMod);
    done = done || !renamed.ok();
    // What the mod put in place goes back first, in one journal with the
    // archive's rename.
    const JournalStep archiveStep{JournalStep::Rename, sourceName, activeMod + ".bit"};
    SwitchOffReport report;
    if (placed && renamed.ok()) {
        renamed = SwitchOff(folder, activeMod, done ? std::nullopt : std::optional(archiveStep), &report);
    } else if (!done) {
        renamed = RenameNoReplace(source, JoinPath(folder, activeMod + ".bit"));
    }
    if (addOns && renamed.ok()) MarkAddOnsSettled(folder, activeMod);
    if (!renamed.ok()) {
        w_.message("An error occurred while attempting to de-activate " + activeMod + ". (" + renamed.text() + ")",
                   Buttons::Ok, Icon::Critical);
        offerRestartAfter(renamed);
    } else {
        w_.message("Mod " + activeMod + " Has Been De-activated...", Buttons::Ok, Icon::Information);
        if (!report.empty()) w_.message(SwitchOffWarning(activeMod, report), Buttons::Ok, Icon::Exclamation);
    }
    if (doUpdate) UpdateList(false);
}

void ModStore::lblActivate_Click() {
    const std::string entry = selectedEntry();
    if (entry.empty()) {
        w_.message("Please select a MOD from the list to activate!", Buttons::Ok, Icon::Critical);
        return;
    }
    if (w_.message("Are you sure you want to activate " + entry + " MOD?", Buttons::YesNo, Icon::Question) ==
            Answer::Yes &&
        goOnWhileGameRuns()) {
        ActivateMod(entry);
    }
}

void ModStore::lblDeactivate_Click() {
    if (w_.activeMod().empty()) return;
    if (w_.message("Are you sure you want to de-activate all mods?", Buttons::YesNo, Icon::Question) !=
            Answer::Yes ||
        !goOnWhileGameRuns()) {
        return;
    }
    // Each pass's scan puts the next active mod, or the one whose rename
    // failed, into the label; the go-on question is the way out of a
    // deactivation that keeps failing, where a user is there to answer it.
    const Change change(*this, FileCleanPath(w_.folderText()), "deactivating all MODs");
    if (!change) return;
    int passes = 0;
    while (!w_.activeMod().empty()) {
        const std::string before = w_.activeMod();
        DeactivateMod(before, true);
        if (w_.stopsAtFailure() && EqualsNoCase(w_.activeMod(), before)) return;
        if (++passes % kGoOnEvery == 0) {
            if (w_.message("Alot of MOD's have been deactivated. This could be because error's have happened or you "
                           "have alot of MODS! Click Yes if you are sure you want to continue deactivating all "
                           "mods....",
                           Buttons::YesNo, Icon::Critical) != Answer::Yes) {
                return;
            }
            passes = 0;
        }
    }
}

}  // namespace tavrel
