// The folder scan behind the mod list and the active-mod label.
#include <optional>
#include <unordered_set>
#include <vector>

#include "modstore/mod_store.h"
#include "modstore/placement.h"
#include "modstore/store_folder.h"
#include "support/file_system.h"
#include "support/text.h"
#include "support/wildcard.h"

namespace tavrel {
namespace {

// The game's own archives have no "__" in front.
constexpr char kInactivePattern[] = "*.bit", kActivePattern[] = "__*.big";

std::string InvalidFolderMessage(int zhMode) {
    return "The folder path you specified for the Generals" + ZeroHourPart(zhMode) +
           "folder does not appear valid! Please ensure that you have entered (or browsed for) the "
           "correct Generals folder path. Tavrel cannot continue.";
}

std::string SeveralModsMessage(const std::string& firstActive) {
    return "More then one MOD has been found! Tavrel will de-activate all newly found MOD's. "
           "(Except the first one found which is " + firstActive + ")";
}

}  // namespace

std::optional<std::string> ModStore::trimFolderText(FolderTrim trim) {
    std::string folder = w_.folderText();
    if (CharCount(folder) <= 3) return std::nullopt;
    if (folder.back() != kNativeSeparator) return folder;
    while (!folder.empty() && folder.back() == kNativeSeparator) folder.pop_back();
    if (trim == FolderTrim::WriteBack) {
        trimming_ = true;
        try {
            w_.setFolderText(folder);
        } catch (...) {
            trimming_ = false;
            throw;
        }
        trimming_ = false;
    }
    return folder;
}

std::vector<DirEntry> ModStore::listModFiles(const std::string& folder) {
    // One reading of the folder serves the whole scan: the inactive mods,
    // the active ones, and every rename's look-up of the other letter cases,
    // so that a folder of thousands of files is read once, not once a
    // rename. Of the game's own archives nothing is kept.
    const WildcardPattern inactivePattern(kInactivePattern), activePattern(kActivePattern);
    std::vector<DirEntry> entries;
    const Status read = VisitEntries(folder, [&](const DirEntry& e) {
        if (inactivePattern.matchesFolded(e.folded) || activePattern.matchesFolded(e.folded)) entries.push_back(e);
    });
    if (!read.ok()) w_.message(read.text(), Buttons::Ok, Icon::Critical);
    return entries;
}

void ModStore::reconcileActive(const std::string& folder, const std::vector<DirEntry>& entries,
                               std::unordered_set<std::string>& listed) {
    // Made at the first rename. Every rename here is to ".bit", so only the
    // names ending so (in any letter case, whatever they are) can stand in
    // one's way: the kept entries hold them all.
    std::optional<FolderNames> names;
    // A mod whose companions are in place goes off with them, in one journal,
    // whose renames the names kept here then have to be read again after.
    const bool store = IsFolder(StoreFolder(folder));
    bool namesRead = false;
    const auto renameToInactive = [&](const std::string& name, const std::string& entry) {
        if (store && IsManagedEntry(entry) && IsPlaced(folder, entry)) {
            names.reset();
            namesRead = true;
            return SwitchOff(folder, entry, JournalStep{JournalStep::Rename, name, entry + ".bit"}).ok();
        }
        if (!names && namesRead) names.emplace(folder);
        else if (!names) names.emplace(folder, entries);
        return names->renameNoReplace(JoinPath(folder, name), entry + ".bit").ok();
    };
    int activeCount = 0;
    std::optional<Change> change;
    for (const std::string& name : MatchingFiles(entries, kActivePattern)) {
        ++activeCount;
        if (activeCount == 2) {
            w_.showWindow();
            if (w_.message(SeveralModsMessage(w_.activeMod()), Buttons::OkCancel, Icon::Critical) ==
                    Answer::Cancel ||
                !GoOnWhileGameRuns(w_, folder, gameRuns_) || !change.emplace(*this, folder, "reconciling active MODs")) {
                return;
            }
        }
        const std::string entry = StripLastExtension(name);
        if (activeCount == 1) {
            w_.setActiveMod(entry);
        } else if (!listed.contains(FoldCase(entry))) {
            // Never replaces anything: an inactive file of that name in any
            // letter case keeps this one active.
            if (renameToInactive(name, entry)) {
                w_.addListEntry(entry);
                listed.insert(FoldCase(entry));
            }
        }
    }
}

void ModStore::UpdateList(bool silentCall, FolderTrim trim) {
    // Writing the trimmed folder back runs the box's change handling, which
    // asks for a scan of its own; this scan is about to do that work.
    if (trimming_) return;

    w_.setZeroHourLabelVisible(w_.zhMode() != 0);
    w_.setActiveMod("");
    w_.clearList();
    const std::optional<std::string> folder = trimFolderText(trim);
    if (!folder) return;
    if (!FolderExists(*folder)) {
        w_.showFolderRights("", false);
        if (!silentCall) w_.message(InvalidFolderMessage(w_.zhMode()), Buttons::Ok, Icon::Critical);
        return;
    }
    // A folder the user picks again is tried again: its owner may have
    // been changed meanwhile.
    checkRights(*folder, !silentCall);
    finishUnfinishedWork(*folder);

    const std::vector<DirEntry> entries = listModFiles(*folder);
    std::unordered_set<std::string> listed;  // folded entry names, as ModExist compares them
    for (const std::string& name : MatchingFiles(entries, kInactivePattern)) {
        const std::string entry = StripLastExtension(name);
        w_.addListEntry(entry);
        listed.insert(FoldCase(entry));
    }
    reconcileActive(*folder, entries, listed);
}

bool ModStore::ModExist(const std::string& modName) const {
    for (const std::string& entry : w_.listEntries()) {
        if (EqualsNoCase(entry, modName)) return true;
    }
    return false;
}

}  // namespace tavrel
