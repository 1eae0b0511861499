#include "modstore/folder_rights.h"

#include "support/file_system.h"
#include "support/system.h"

namespace tavrel {

bool FolderRights::administratorHelps() const { return refusal == Refusal::Denied && CanAskForAdministrator(); }

FolderRights CheckFolderRights(const std::string& folder) {
    FolderRights rights;
    if (!FolderExists(folder)) return rights;
    rights.refusal = RefusalOf(ProbeFolderChanges(folder));
    if (rights.refusal == Refusal::Denied) rights.owner = OwnerOf(folder);
    if (rights.refusal == Refusal::ReadOnlyVolume) rights.volume = MountPointOf(folder);
    return rights;
}

std::string RightsNotice(const FolderRights& rights) {
    switch (rights.refusal) {
        case Refusal::None: return {};
        case Refusal::ReadOnlyVolume:
            return "This game folder is on a disk that is mounted read-only" +
                   (rights.volume.empty() ? std::string() : " (" + rights.volume + ")") +
                   ", so no MOD can be switched here. Mount it for writing, then choose the folder again.";
        case Refusal::Denied: break;
    }
    if (rights.administratorHelps()) {
        return "Windows protects this game folder: Tavrel needs an administrator's consent to change its MODs. "
               "Click \"Restart Tavrel as administrator\" to give it.";
    }
    return "You may not change this game folder" +
           (rights.owner.empty() ? std::string() : ": it belongs to " + rights.owner) +
           ". Make it yours (the README says how), then choose the folder again.";
}

std::string RefusedChangeText(const FolderRights& rights) {
    if (!rights.administratorHelps()) return RightsNotice(rights);
    return "Windows protects this game folder: Tavrel needs an administrator's consent to change it.\r\n\r\n"
           "Do you want to restart Tavrel as administrator?";
}

std::string RefusedCommandText(const FolderRights& rights, const std::string& folder) {
    if (rights.administratorHelps()) {
        return "Windows protects the game folder " + folder +
               ": changing it needs an administrator's rights. Run tavrel.exe from a console opened as "
               "administrator (right-click Command Prompt, \"Run as administrator\").";
    }
    return RightsNotice(rights) + " (" + folder + ")";
}

}  // namespace tavrel
