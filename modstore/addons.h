// A mod's add-ons and patches: downloads of their own (archives named with
// "!" to load before the mod's, loose game files, movies) that belong to
// one installed mod, their base, and are switched on and off by renames
// alone. Each is kept in its base's companion folder:
//
//   <game>/.tavrel/<base>/
//       origins.txt             for each path of the mod's archive, the
//                               archive its author had it in
//       addons/                 the add-ons
//           active.txt          while they are placed: what moved where,
//           placed.txt          ...and what each file put in place was
//           <name>/             one add-on
//               addon.txt       add-on or patch, and what its base hides
//               on | off        whether the player wants it on
//               companions.txt  its files, as game paths: its archives by
//                               their names in the game folder
//               Data/...        its loose files
//               _!Name.big.off  its archives, under names no *.big matches
//
// While the base is active, the add-ons that are on are placed all
// together, as one placement (placement.h) with its own record: their
// archives go to the game folder under AddOnArchiveName, where the game
// loads them before the mod's own in their authors' order; their loose
// files go to their paths, the game's own (and the mod's companions) set
// aside. Where two of them have a file at one path, the one placed is
// chosen by AddOnOrder; the rest stay in Tavrel's folder.
//
// What the game then reads is what it would read from the authors' files:
// where the base's own archive of a path loads before an add-on's, the
// add-on's entry was left out of its archive when it was installed, by the
// base's origins.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "modstore/placement.h"
#include "support/status.h"

namespace tavrel {

enum class AddOnKind { AddOn, Patch };

struct AddOn {
    std::string name;  // its folder's name
    AddOnKind kind = AddOnKind::AddOn;
    bool on = false;   // the player wants it on: placed while its base is active
    std::uint64_t size = 0;
    std::size_t hiddenByBase = 0;  // its archives' paths that the base's own win: left out when installed
};

// The add-ons folder of the mod `base`, relative to the game folder `game`,
// and the folder of its add-on `name` (found in any letter case).
std::string AddOnsRelative(const std::string& game, const std::string& base);
std::string AddOnRelative(const std::string& game, const std::string& base, const std::string& name);

// The add-ons of `base`, in the order AddOnOrder gives.
std::vector<AddOn> ListAddOns(const std::string& game, const std::string& base);
// The add-on `name` of `base`, in any letter case.
std::optional<AddOn> FindAddOn(const std::string& game, const std::string& base, const std::string& name);

// The order in which add-ons have their say where two of them have a file
// at one path: the add-ons by their names in the game's load order ("!"
// first, letters compared without regard to case), then the patch, which
// is what the add-ons were made over. The first one wins.
bool AddOnOrder(const AddOn& a, const AddOn& b);

// What is true of an add-on, written when it is installed.
Status WriteAddOnInfo(const std::string& folder, AddOnKind kind, std::size_t hiddenByBase);
// The name of its on/off mark: an empty file in its folder.
std::string AddOnMark(bool on);
// Where an add-on keeps its file of game path `path`, relative to its folder:
// its own path, an archive's with ".off" after it.
std::string AddOnStoredPath(const std::string& path);
// The name of an add-on made from `name` (its archive's, folder's, or as
// typed): blanks and leading "!" and "_" go, characters no Windows file
// name may hold become "_", an archive's extension goes. Nothing when no
// name is left.
std::optional<std::string> AddOnName(const std::string& name);

// The base's origins: for each path of its archive (GamePathKey), the name
// of the archive its author had it in; a loose file of the mod has an
// empty name, and wins over every archive.
struct Origins {
    std::vector<std::string> archives;          // the base's own archives, as their authors named them
    std::map<std::string, std::string> byPath;  // path key -> archive name ("" for a loose file)
};
Status WriteOrigins(const std::string& companionFolder, const Origins& origins);
// Removes the record, before a new version of the mod is written.
void ForgetOrigins(const std::string& companionFolder);
// Nothing when the base has no record: a mod of one archive, or one
// installed before Tavrel kept the record.
std::optional<Origins> ReadOrigins(const std::string& companionFolder);
// True when the base's file at `key` is the one the game reads over the
// same path in an add-on's archive `addOnArchive` (its author's name).
bool BaseWins(const Origins& origins, const std::string& key, const std::string& addOnArchive);

// True when the add-ons of `base` are placed in the game folder.
bool AddOnsPlaced(const std::string& game, const std::string& base);

// Where the add-ons' placement keeps its record and their files.
PlacementHome AddOnsHome(const std::string& game, const std::string& base);
// Plans placing the add-ons of `base` that are on.
Status PlanAddOns(const std::string& game, const std::string& base, Placement& out);

// What a switch of add-ons met.
struct AddOnsReport {
    SwitchOffReport off;  // what taking them back found changed by others
    Placement placed;     // what placing them did
};

// Makes the game folder show the add-ons of `base` as they are wanted:
// those placed are taken back, with `marks` (renames of on/off marks) in
// the same journal; then, when `baseActive`, those that are on are placed.
// When they cannot be placed, the marks are renamed back and what was on
// before is placed again; the failure is returned.
Status ApplyAddOns(const std::string& game, const std::string& base, const std::vector<JournalStep>& marks,
                   bool baseActive, AddOnsReport* report = nullptr);
// Takes the add-ons of `base` out of the game folder, when they are placed.
Status TakeAddOnsOff(const std::string& game, const std::string& base, SwitchOffReport* report = nullptr);

// A change of the base that takes its add-ons out and puts them back
// (activating, deactivating) marks them unsettled first, and settled when
// done, so that a change cut off in between is ended at the next start.
Status MarkAddOnsUnsettled(const std::string& game, const std::string& base);
void MarkAddOnsSettled(const std::string& game, const std::string& base);
// True when the add-ons in `addOnsFolder` (a base's, in full) are not as
// they should be: placed while the base is not active, or a change of them
// cut off. `baseActive` is asked only when they are placed. SettleAddOns
// makes them so: placed again, or taken back.
bool AddOnsUnsettled(const std::string& addOnsFolder, const std::function<bool()>& baseActive);
Status SettleAddOns(const std::string& game, const std::string& base, bool baseActive);

// The renames of marks that turn the add-on `name` of `base` on or off;
// turning a patch on turns the patch that is on off. None when it is so.
std::vector<JournalStep> MarksFor(const std::string& game, const std::string& base, const std::string& name, bool on);

// For an add-on that is on: how many of its files the game does not read
// from it, and what it reads instead: other add-ons (or the patch) by
// their names, "the MOD's own archives" for what its base wins.
struct AddOnHiding {
    std::string name;
    std::size_t hidden = 0;
    std::vector<std::string> by;
};
std::vector<AddOnHiding> AddOnConflicts(const std::string& game, const std::string& base);

}  // namespace tavrel
