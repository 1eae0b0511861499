// A mod's companion files are the files of it that the game reads only
// from its own folder: movies, Install_Final.bmp, the AI scripts
// (game_paths.h). Tavrel keeps them beside the mod's archive, in a hidden
// folder of the game folder that the game never reads, and moves them into
// place by rename while the mod is active. Meanwhile the game's own loose
// files at the paths the mod provides (its companions, and the paths of its
// archive, which a loose file would hide) are set aside by rename, to a
// name the game never reads, and renamed back when the mod is deactivated.
//
//   <game>/.tavrel/               Tavrel's folder (hidden on Windows too)
//       journal.txt               the change under way (support/journal.h)
//       stage-<process>-<n>/      an install on its way in, and its .lock
//       <entry>/                  one mod's companion folder
//           companions.txt        the manifest: its companion paths
//           active.txt            while it is active: what was moved where
//           Data/Scripts/...      its companion files, while it is inactive
//
// No name in it matches *.big, by its long name or its 8.3 short one: the
// game loads every such file below its folder. Every change goes through the
// journal, so that after a kill at any step the next start leaves the mod
// either fully active or fully inactive.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/journal.h"
#include "support/status.h"

namespace tavrel {

inline constexpr char kStoreFolderName[] = ".tavrel";

// Tavrel's folder in the game folder `game`, and the journal in it.
std::string StoreFolder(const std::string& game);
std::string JournalFile(const std::string& game);
// Makes Tavrel's folder, hidden, when it is missing.
Status MakeStoreFolder(const std::string& game);

// The name of the companion folder of the mod `entry` inside Tavrel's
// folder: the existing one in any letter case, else `entry` itself.
std::string CompanionFolderName(const std::string& game, const std::string& entry);
// Its path relative to the game folder, and in full.
std::string CompanionFolderRelative(const std::string& game, const std::string& entry);
std::string CompanionFolder(const std::string& game, const std::string& entry);

// The manifest of a companion folder: game paths ("\" between folders).
Status WriteManifest(const std::string& companionFolder, const std::vector<std::string>& paths);
std::vector<std::string> ReadManifest(const std::string& companionFolder);
// The record of what an activation moved, kept while the mod is active.
std::string ActiveRecordFile(const std::string& companionFolder);

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

// True when the mod `entry` has companion files or a record of being placed.
bool HasCompanionFolder(const std::string& game, const std::string& entry);

// Ends what a killed Tavrel left in `game`: the journal of a change under
// way is finished or undone, stages that no running install holds are
// removed, and a mod switched off behind Tavrel's back has its placement
// taken back. Where there is something to end, `mayChange` (when given) is
// asked first, and nothing is done when it answers false. Ok when there
// was nothing to end or all of it ended.
Status FinishUnfinishedWork(const std::string& game, const std::function<bool()>& mayChange = {});

// The paths (game paths, folded) that the active mods' companions now take,
// from their records.
std::vector<std::string> PlacedCompanionPaths(const std::string& game);

// The name of a new stage: a folder in Tavrel's folder where an install
// gathers its files, held by the file of that name and ".lock" while the
// install runs.
std::string NewStageName();
inline constexpr char kStageLockSuffix[] = ".lock";

}  // namespace tavrel
