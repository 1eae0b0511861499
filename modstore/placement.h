// Putting an active mod's companion files in place (store_folder.h keeps
// them while it is inactive), and taking them back. Meanwhile the game's own
// loose files at the paths the mod provides (its companions, and the paths
// of its archive, which a loose file would hide) are set aside by rename, to
// a name the game never reads, and renamed back when the mod is
// deactivated. Each switch is one journal with the archive's own rename.
#pragma once

#include <map>
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
    std::vector<std::string> missing;   // companions of the mod that are lost: a reinstall brings them back
    bool rebuilt = false;               // the manifest was damaged, and made again from the folder's files
};

// A file to put in place: where Tavrel keeps it (relative to the game
// folder, native separators) and its game path.
struct PlacedSource {
    std::string stored;
    std::string path;
};

// Plans putting `files` in place, after setting aside every loose file in
// the game folder at one of their paths or a path inside `archives` (full
// paths), which such a file would hide. Paths match in any letter case,
// part by part, as the game under Wine sees them; a folder that is a link
// is entered only when it leads to a place inside the game folder. Fails,
// naming the path, when a file's place cannot be taken; a file that is
// not where it is kept is named in `out.missing`.
Status PlanPlacementOf(const std::string& game, const std::vector<PlacedSource>& files,
                       const std::vector<std::string>& archives, Placement& out);

// Plans placing the mod `entry`, whose archive is the file `archive` in
// `game`: its companions (those its companion folder holds) go to their
// paths, and every loose file in the game folder at a path the mod
// provides is set aside first. Paths match in any letter case, part by
// part, as the game under Wine sees them; a folder that is a link is
// entered only when it leads to a place inside the game folder. Fails,
// naming the path, when a companion's place cannot be taken.
Status PlanPlacement(const std::string& game, const std::string& entry, const std::string& archive,
                     Placement& out);

// Puts `placement` in place in one journal, after `firstStep` when given,
// keeping the record of what moved (and what each file put in place was)
// in the folder `relative` of Tavrel's folder while it is placed. When a
// step fails, everything is as it was; a step of the placement is named in
// the failure.
Status SwitchOnAt(const std::string& game, const std::string& relative, const std::optional<JournalStep>& firstStep,
                  const Placement& placement);

// Switches the mod `entry` on in one journal: `archiveStep` (its archive's
// rename), then `placement`, keeping the record of what moved while it is
// active. When a step fails, everything is as it was; a step other than the
// archive's own is named in the failure.
Status SwitchOn(const std::string& game, const std::string& entry, const JournalStep& archiveStep,
                const Placement& placement);

// True when the mod `entry` has a record of being placed.
bool IsPlaced(const std::string& game, const std::string& entry);

// True when files of the game lie set aside in `game` (outside Tavrel's
// folder), as an activation names them, that no record of a mod other
// than `entry` claims.
bool HasSetAsideFiles(const std::string& game, const std::string& entry);

// What a switch-off found changed by others since the mod was placed.
struct SwitchOffReport {
    std::vector<std::string> gone;      // the mod's files no longer in place (game paths)
    std::vector<std::string> replaced;  // the mod's files found changed: they stay in place, as the game's
    std::vector<std::pair<std::string, std::string>> keptBeside;  // a set-aside whose place is taken: its place, its name
    bool recordLost = false;            // no record of the placement was left: set-asides found by their names
    std::vector<std::string> adopted;   // ...and files in their places, taken for the mod's and kept beside it
    bool empty() const { return gone.empty() && replaced.empty() && keptBeside.empty() && !recordLost; }
};

// Where a placement keeps its record, and where a file it placed goes back
// to when the record is lost: by `storedAt` (folded game-folder path ->
// path in Tavrel's folder), else below `relative` at its own path.
struct PlacementHome {
    std::string relative;
    std::map<std::string, std::string> storedAt;
    bool keepsManifest = true;  // `relative` holds the manifest that marks the files found lost
};

// Takes the placement recorded in `home` back in one journal, then
// `lastSteps`; the record goes. See SwitchOff.
Status SwitchOffAt(const std::string& game, const PlacementHome& home, const std::vector<JournalStep>& lastSteps,
                   SwitchOffReport* report = nullptr);

// Switches the mod `entry` off in one journal: what its record says was
// moved goes back, then `archiveStep` (its archive's rename; none when the
// archive is off already), and the record goes. A companion that is gone
// or is no longer the file put there stays where it is and is marked lost
// in the manifest; a set-aside whose place is taken stays beside it. With
// no record left, the set-aside files come back by their names. What was
// found goes into `report`.
Status SwitchOff(const std::string& game, const std::string& entry, const std::optional<JournalStep>& archiveStep,
                 SwitchOffReport* report = nullptr);

// What the user is told of `report` after switching off the mod `entry`;
// empty when there is nothing to tell.
std::string SwitchOffWarning(const std::string& entry, const SwitchOffReport& report);

}  // namespace tavrel
