// "Delete Selected": removes the selected inactive mod's archive.
#include "modstore/mod_store.h"
#include "modstore/store_folder.h"
#include "support/file_system.h"
#include "support/journal.h"

namespace tavrel {

void ModStore::lblDelete_Click() {
    const std::string entry = selectedEntry();
    if (entry.empty()) {
        w_.message("Select a mod to delete!", Buttons::Ok, Icon::Critical);
        return;
    }
    // Its add-ons go with it.
    const std::size_t addOns = IsManagedEntry(entry) ? ListAddOns(w_.folderText(), entry).size() : 0;
    const std::string with = addOns == 0 ? ""
                             : addOns == 1 ? " Its add-on goes with it."
                                           : " Its " + std::to_string(addOns) + " add-ons go with it.";
    if (w_.message("Are you sure you want to delete " + entry + " mod?" + with, Buttons::YesNo, Icon::Question) !=
            Answer::Yes ||
        !goOnWhileGameRuns()) {
        return;
    }
    // Exactly the ".bit" file, as it is: a read-only or missing file is
    // refused and reported, never forced; a link goes, not what it leads to.
    const std::string folder = w_.folderText();
    const Change change(*this, folder, "deleting " + entry);
    if (!change) return;
    finishUnfinishedWork(folder);
    const std::string name = ResolveFileName(folder, entry, ".bit");
    // The mod's companion folder goes with it, in one journal, unless an
    // active copy of the same name owns it.
    const bool companions = IsManagedEntry(entry) && HasCompanionFolder(folder, entry) &&
                            !IsRegularFile(JoinPath(folder, ResolveFileName(folder, entry, ".big")));
    Status removed = Status::Ok();
    if (companions) {
        Journal journal;
        journal.steps.push_back({JournalStep::Remove, "", name});
        journal.removeWhenDone.push_back(CompanionFolderRelative(folder, entry));
        removed = RunJournal(folder, JournalFile(folder), journal);
    } else {
        removed = RemoveFile(JoinPath(folder, name));
    }
    if (!removed.ok()) {
        w_.message("An error occurred while attempting to delete " + entry + " MOD (" + removed.text() + ")",
                   Buttons::Ok, Icon::Critical);
        offerRestartAfter(removed);
    } else {
        w_.message("MOD " + entry + " deleted...", Buttons::Ok, Icon::Information);
    }
    UpdateList(false);
}

}  // namespace tavrel
