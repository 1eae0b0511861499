// Tavrel's own folder in the game folder, where it keeps what it needs
// beside the mods: each mod's companion files (the files of it that the game
// reads only from its own folder, game_paths.h) while the mod is inactive,
// the record of what an activation moved, the journal of the change under
// way and the stages of installs on their way in.
//
//   <game>/.tavrel/               Tavrel's folder (hidden on Windows too)
//       journal.txt               the change under way (support/journal.h)
//       lock                      what the Tavrel that changes the folder does
//       stage-<time>-<n>/         an install on its way in, and its .lock
//       <entry>/                  one mod's companion folder
//           companions.txt        the manifest: its companion paths
//           active.txt            while it is active: what was moved where
//           placed.txt            ...and what each file put in place was
//           Data/Scripts/...      its companion files, while it is inactive
//           origins.txt, addons/  where its files came from, its add-ons (addons.h)
//
// No name in it matches *.big, by its long name or its 8.3 short one: the
// game loads every such file below its folder. Every change goes through the
// journal, so that after a kill at any step the next start leaves the mod
// either fully active or fully inactive (FinishUnfinishedWork).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "modstore/placement.h"
#include "support/journal.h"
#include "support/platform.h"
#include "support/status.h"

namespace tavrel {

inline constexpr char kStoreFolderName[] = ".tavrel";
// The folder of a mod's add-ons in its companion folder (addons.h).
inline constexpr char kAddOnsFolderName[] = "addons";

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
// True when the mod `entry` has a companion folder, and when it keeps
// companion files in it or has a record of being placed.
bool HasCompanionFolder(const std::string& game, const std::string& entry);
bool KeepsCompanionFiles(const std::string& game, const std::string& entry);

// The manifest of a companion folder: game paths ("\" between folders).
struct Manifest {
    std::vector<std::string> paths;    // the companion files it keeps
    std::vector<std::string> missing;  // files of the mod lost while it was active: a reinstall brings them back
    bool operator==(const Manifest&) const = default;
};
Status WriteManifest(const std::string& companionFolder, const Manifest& manifest);
// Nothing when the folder has no manifest, or one that is cut short or
// garbled (`damaged` then says so).
std::optional<Manifest> ReadManifest(const std::string& companionFolder, bool* damaged = nullptr);

// The names in a companion folder of the record of what an activation
// moved, kept while the mod is active, and of the record on its way in,
// written before the activation's journal runs.
inline constexpr char kActiveRecordName[] = "active.txt";
inline constexpr char kPendingRecordName[] = "active.new";
// Beside the record: what each companion was when it was put in place, to
// tell it later from a file that others put there.
inline constexpr char kPlacedRecordName[] = "placed.txt";
std::string ActiveRecordFile(const std::string& companionFolder);

// A mod whose placement was taken back while finishing: switched off behind
// Tavrel's back (its archive renamed by hand), or gone for good.
struct FinishedSwitchOff {
    std::string entry;
    SwitchOffReport report;
    bool archiveGone = false;  // no archive of the mod is left, active or not
};

// Ends what a killed Tavrel left in `game`: the journal of a change under
// way is finished or undone, stages that no running install holds are
// removed, and a mod switched off behind Tavrel's back has its placement
// taken back (each one in `switchedOff`). Where there is something to end,
// `mayChange` (when given) is asked first, and nothing is done when it
// answers false. Ok when there was nothing to end or all of it ended.
Status FinishUnfinishedWork(const std::string& game, const std::function<bool()>& mayChange = {},
                            std::vector<FinishedSwitchOff>* switchedOff = nullptr);

// Whether every change in `game` ended whole, so that a scan need not look
// into each companion folder for what a kill left. A change takes the mark
// away before it writes anything (MarkUnsettled) and puts it back at its end
// when nothing is left behind (MarkSettledIfSo, which looks everywhere), so
// that a kill at any step leaves the folder unsettled.
bool IsSettled(const std::string& game);
void MarkUnsettled(const std::string& game);
void MarkSettledIfSo(const std::string& game);

// The records of the placements in the game folder, the mods' and their
// add-ons': each one's folder relative to the game folder (folded) and the
// steps it took:
// a rename out of Tavrel's folder put a companion in place, any other
// rename set a file of the game aside.
struct ActiveRecord {
    std::string folded;
    Journal record;
};
std::vector<ActiveRecord> ActiveRecords(const std::string& game);
// True for a step of a record that put a companion in place.
bool PlacesCompanion(const JournalStep& step);

// The paths (game paths, folded) that the active mods' companions now take,
// from their records.
std::vector<std::string> PlacedCompanionPaths(const std::string& game);

// The lock of the game folder `game`, in Tavrel's folder: every change of
// the folder is made under it, so that one Tavrel at a time changes it (two
// windows, a window and a launch script). `what` tells another Tavrel what
// the holder does ("activating __Blue"). When another process holds it,
// fails with `held` set and `holder` its words.
Status LockGameFolder(const std::string& game, const std::string& what, std::unique_ptr<FolderLock>& out, bool& held,
                      std::string& holder);
// Lets go of it; Tavrel's folder goes too when nothing else is in it.
void UnlockGameFolder(std::unique_ptr<FolderLock>& lock);

// Adds the steps that move every file below `from` to its place below `to`
// (both relative to `folder`), making the folders on the way, and removing
// those left empty when `removeEmptied`; the entry `keep` (folded) of
// `from` stays, and so does `from` then. Folders are never renamed
// themselves: some file systems (FAT through fusefat) lose what a renamed
// folder holds.
void MoveFiles(const std::string& folder, const std::string& from, const std::string& to, Journal& journal,
               bool removeEmptied = false, std::string_view keep = {});

// The name of a new stage: a folder in Tavrel's folder where an install
// gathers its files, held by the file of that name and ".lock" while the
// install runs.
std::string NewStageName();
inline constexpr char kStageLockSuffix[] = ".lock";

}  // namespace tavrel
