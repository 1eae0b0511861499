// Putting an active mod's companion files in place (store_folder.h keeps
// them while it is inactive), and taking them back. Meanwhile the game's own
// loose files at the paths the mod provides (its companions, and the paths
// of its archive, which a loose file would hide) are set aside by rename, to
// a name the game never reads, and renamed back when the mod is
// deactivated. Each switch is one journal with the archive's own rename.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/journal.h"
#include "support/status.h"

namespace tavrel {

// What activating a mod changes besides its archive's name.
struct Placement {
    std::vector<JournalStep> steps;     // set-asides, folders made, companions moved in, in that order
    std::vector<std::string> setAside;  // the game's own files set aside, as found ("\" between folders)
    std::vector<std::string> placed;    // the companions put in place
};

// Plans placing the mod `entry`, whose archive is the file `archive` in
// `game`: its companions (those its companion folder holds) go to their
// paths, and every loose file in the game folder at a path the mod
// provides is set aside first. Paths match in any letter case, part by
// part, as the game under Wine sees them; a folder that is a link is
// entered only when it leads to a place inside the game folder. Fails,
// naming the path, when a companion's place cannot be taken.
Status PlanPlacement(const std::string& game, const std::string& entry, const std::string& archive,
                     Placement& out);

// Switches the mod `entry` on in one journal: `archiveStep` (its archive's
// rename), then `placement`, keeping the record of what moved while it is
// active. When a step fails, everything is as it was; a step other than the
// archive's own is named in the failure.
Status SwitchOn(const std::string& game, const std::string& entry, const JournalStep& archiveStep,
                const Placement& placement);

// True when the mod `entry` has a record of being placed.
bool IsPlaced(const std::string& game, const std::string& entry);

// Switches the placed mod `entry` off in one journal: what its record says
// was moved goes back, then `archiveStep` (its archive's rename; none when
// the archive is off already), and the record goes.
Status SwitchOff(const std::string& game, const std::string& entry, const std::optional<JournalStep>& archiveStep);

}  // namespace tavrel
