// Whether this user may change a game folder, found when the folder is
// loaded, and the words that tell a player who may not what to do: on
// Windows, restart Tavrel with an administrator's consent (a game under
// Program Files); on Linux, change the folder's owner or mount its volume
// read-write. A folder anyone may change never hears of it.
#pragma once

#include <string>

#include "support/platform.h"

namespace tavrel {

struct FolderRights {
    Refusal refusal = Refusal::None;
    std::string owner;   // who owns the folder, where the system tells (Linux)
    std::string volume;  // where its read-only volume is mounted (Linux)
    bool mayChange() const { return refusal == Refusal::None; }
    // Whether a restart with an administrator's rights would help.
    bool administratorHelps() const;
};

// Tries a change in `folder` (ProbeFolderChanges, which leaves nothing) and
// tells what stopped it. A folder that is missing, or a failure that is no
// refusal of rights, counts as one that may be changed: the change itself
// then says what is wrong.
FolderRights CheckFolderRights(const std::string& folder);

// What the window says of a folder that may not be changed, in a few lines;
// empty when it may.
std::string RightsNotice(const FolderRights& rights);

// The notice for a change the user asked for: what it says, and the
// question that offers the restart where one would help.
std::string RefusedChangeText(const FolderRights& rights);

// What the command line says: the notice, and how to run it instead.
std::string RefusedCommandText(const FolderRights& rights, const std::string& folder);

// The answer to a restart the user declined at Windows' question.
inline constexpr char kRestartDeclined[] =
    "Windows did not get an administrator's consent, so Tavrel goes on as it was: it shows the MODs of this "
    "folder, but cannot change them.";

}  // namespace tavrel
