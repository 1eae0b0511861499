// "Delete Selected": removes the selected inactive mod's archive.
#include "modstore/mod_store.h"
#include "support/file_system.h"

namespace tavrel {

void ModStore::lblDelete_Click() {
    const std::string entry = selectedEntry();
    if (entry.empty()) {
        w_.message("Select a mod to delete!", Buttons::Ok, Icon::Critical);
        return;
    }
    if (w_.message("Are you sure you want to delete " + entry + " mod?", Buttons::YesNo, Icon::Question) !=
            Answer::Yes ||
        !goOnWhileGameRuns()) {
        return;
    }
    // Exactly the ".bit" file, as it is: a read-only or missing file is
    // refused and reported, never forced; a link goes, not what it leads to.
    const std::string folder = w_.folderText();
    const Status removed = RemoveFile(JoinPath(folder, ResolveFileName(folder, entry, ".bit")));
    if (!removed.ok()) {
        w_.message("An error occurred while attempting to delete " + entry + " MOD (" + removed.text() + ")",
                   Buttons::Ok, Icon::Critical);
    } else {
        w_.message("MOD " + entry + " deleted...", Buttons::Ok, Icon::Information);
    }
    UpdateList(false);
}

}  // namespace tavrel
