// The folder scan behind the mod list and the active-mod label.
#include <unordered_set>
#include <vector>

#include "modstore/mod_store.h"
#include "support/file_system.h"
#include "support/text.h"

namespace tavrel {
namespace {

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

void ModStore::UpdateList(bool silentCall, FolderTrim trim) {
    // Writing the trimmed folder back runs the box's change handling, which
    // asks for a scan of its own; this scan is about to do that work.
    if (trimming_) return;

    w_.setZeroHourLabelVisible(w_.zhMode() != 0);
    w_.setActiveMod("");
    w_.clearList();

    std::string folder = w_.folderText();
    if (CharCount(folder) <= 3) return;
    if (folder.back() == kNativeSeparator) {
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
    }

    if (!FolderExists(folder)) {
        if (!silentCall) w_.message(InvalidFolderMessage(w_.zhMode()), Buttons::Ok, Icon::Critical);
        return;
    }

    // One listing serves the whole scan: the inactive mods, the active ones,
    // and every rename's look-up of the other letter cases, so that a folder
    // of thousands of mods is listed once, not once a rename.
    std::vector<DirEntry> entries;
    if (const Status listed = ListEntries(folder, entries); !listed.ok()) {
        w_.message(listed.text(), Buttons::Ok, Icon::Critical);
    }
    std::unordered_set<std::string> listed;  // folded entry names, as ModExist compares them
    const auto addEntry = [&](const std::string& entry) {
        w_.addListEntry(entry);
        listed.insert(FoldCase(entry));
    };
    for (const std::string& name : MatchingFiles(entries, "*.bit")) addEntry(StripLastExtension(name));

    FolderNames names(folder, entries);
    int activeCount = 0;
    for (const std::string& name : MatchingFiles(entries, "*.big")) {
        if (name.compare(0, 2, "__") != 0) continue;  // one of the game's own archives
        ++activeCount;
        if (activeCount == 2) {
            w_.showWindow();
            if (w_.message(SeveralModsMessage(w_.activeMod()), Buttons::OkCancel, Icon::Critical) ==
                    Answer::Cancel ||
                !GoOnWhileGameRuns(w_, folder, gameRuns_)) {
                return;
            }
        }
        const std::string entry = StripLastExtension(name);
        if (activeCount == 1) {
            w_.setActiveMod(entry);
        } else if (!listed.contains(FoldCase(entry))) {
            // Never replaces anything: an inactive file of that name in any
            // letter case keeps this one active.
            if (names.renameNoReplace(JoinPath(folder, name), entry + ".bit").ok()) addEntry(entry);
        }
    }
}

bool ModStore::ModExist(const std::string& modName) const {
    for (const std::string& entry : w_.listEntries()) {
        if (EqualsNoCase(entry, modName)) return true;
    }
    return false;
}

}  // namespace tavrel
