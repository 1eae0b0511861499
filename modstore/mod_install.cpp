// "Install A Mod": a picked archive becomes an inactive mod in the game folder.
#include "modstore/mod_store.h"
#include "support/file_system.h"

namespace tavrel {

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
    const std::string source =
        ShowOpenFile(w_, "Generals MOD Files (*.big)|*.big", "", "Select Generals MOD....", "big", startFolder);
    if (source.empty()) return;
    InstallMod(source);
}

bool ModStore::InstallMod(const std::string& source) {
    if (!w_.folderText().empty()) w_.setFolderText(FileCleanPath(w_.folderText()));
    if (!goOnWhileGameRuns()) return false;

    const std::string zh = ZeroHourPart(w_.zhMode());
    const std::string sourceName = FileGetName(source);
    const std::string newName = InstalledModName(sourceName);
    const std::string newEntry = FileChangeExt(newName, "");
    const std::string folder = w_.folderText();

    // An existing copy in other letter case is the one replaced, so that the
    // folder never holds two names the game sees as one. An empty folder
    // text names no game folder: nothing is copied to the file system root.
    Status copied = FailureStatus(Failure::NoSuchFile);
    bool cancelled = false;
    if (!folder.empty()) {
        const std::string target = JoinPath(folder, ResolveFileName(folder, newEntry, ".bit"));
        const auto progress = w_.showCopyProgress("Installing " + sourceName + "...");
        copied = CopyFileSafely(source, target, [&](std::uint64_t done, std::uint64_t total) {
            cancelled = !progress->update(done, total);
            return !cancelled;
        });
    }
    if (cancelled) return false;  // the user's own choice; the folder is as it was
    if (!copied.ok()) {
        w_.message("An error occurred while attempting to copy the new MOD to your Generals folder! Please ensure "
                   "that the MOD is a valid .big file that is not in use, and that the path to your Generals" + zh +
                       "folder is valid. (" + copied.text() + ")",
                   Buttons::Ok, Icon::Critical);
        return false;
    }

    UpdateList(false);
    if (newEntry != w_.activeMod()) {
        if (w_.offerActivation("MOD (" + sourceName + ") has been successfully installed. Tavrel has renamed the "
                               "MOD to " + newName + "\r\n\r\nWould you like to activate this MOD now?") ==
            Answer::Yes) {
            ActivateMod(newEntry);
        }
    } else {
        w_.message("MOD (" + newEntry + ") has been successfully installed. Tavrel has renamed the MOD to " + newName +
                       "\r\n\r\nThis MOD is currently active.",
                   Buttons::Ok, Icon::Information);
    }
    return true;
}

}  // namespace tavrel
