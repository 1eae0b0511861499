// "Install A Mod": a picked .big, or the .big in a picked archive, becomes an
// inactive mod in the game folder.
#include "modstore/mod_store.h"
#include "support/archive.h"
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
    // Mods as they come (.big) and as they are downloaded, in one filter.
    const std::string source = ShowOpenFile(w_,
                                            "Generals MODs and Archives (*.big;*.zip;*.7z;*.rar)|"
                                            "*.big;*.zip;*.7z;*.rar|Generals MOD Files (*.big)|*.big",
                                            "", "Select Generals MOD....", "big", startFolder);
    if (source.empty()) return;
    InstallMod(source);
}

bool ModStore::InstallMod(const std::string& source) {
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
    if (folder.empty()) return copyError(FailureStatus(Failure::NoSuchFile));

    // From an archive, the mod is one of its .big members, under its own
    // name: the user picks one when there are several.
    std::optional<ArchiveMember> member;
    if (IsArchiveName(FileGetName(source))) {
        std::vector<ArchiveMember> members;
        if (Status listed = ListModMembers(source, members); !listed.ok()) return copyError(listed);
        if (members.empty()) return copyError(Status::Error(kArchiveHoldsNoMod));
        std::size_t chosen = 0;
        if (members.size() > 1) {
            const std::optional<std::size_t> picked = w_.chooseArchiveMember(FileGetName(source), members);
            if (!picked || *picked >= members.size()) return false;  // the user's own choice: nothing changes
            chosen = *picked;
        }
        member = members[chosen];
    }

    const std::string sourceName = member ? member->name : FileGetName(source);
    const std::string newName = InstalledModName(sourceName);
    const std::string newEntry = FileChangeExt(newName, "");

    // An existing copy in other letter case is the one replaced, so that the
    // folder never holds two names the game sees as one.
    const std::string target = JoinPath(folder, ResolveFileName(folder, newEntry, ".bit"));
    bool cancelled = false;
    Status copied = Status::Ok();
    {
        const auto progress = w_.showCopyProgress("Installing " + sourceName + "...");
        const CopyProgress report = [&](std::uint64_t done, std::uint64_t total) {
            cancelled = !progress->update(done, total);
            return !cancelled;
        };
        copied = member ? UnpackMember(source, *member, target, report) : CopyFileSafely(source, target, report);
    }  // the progress window closes before any message
    if (cancelled) return false;  // the user's own choice; the folder is as it was
    if (!copied.ok()) return copyError(copied);

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
