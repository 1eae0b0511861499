// The mod store: a mod is one archive in the game folder. "__name.big" is
// the active mod (at most one), "name.bit" an inactive one; the game's own
// ".big" archives (no "__" prefix) are never touched. The entry name of a
// mod is its file name up to the last ".", which is what the list and the
// active-mod label show.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "game/game_process.h"
#include "modstore/addons.h"
#include "modstore/folder_rights.h"
#include "modstore/install_plan.h"
#include "modstore/mod_window.h"

namespace tavrel {

class InstallWriter;
struct Placement;

// How a scan treats trailing separators in the folder box.
enum class FolderTrim {
    WriteBack,  // remove them from the box as well
    KeepTyped,  // scan without them but leave the box as the user is typing it
};

// True for the entry of a mod that Tavrel manages: "__" in front.
inline bool IsManagedEntry(const std::string& entry) { return entry.rfind("__", 0) == 0; }

// When the game of `gameFolder` runs, asks whether to go on anyway. True to
// go on: the game does not run, or the user said Yes.
bool GoOnWhileGameRuns(MessageHost& host, const std::string& gameFolder, const GameRunningCheck& gameRuns);

// Takes the game folder's lock for a change (`what`, "activating __Blue"),
// waiting a moment for another Tavrel that holds it, then asking the user
// whether to try again. False when the user would rather not; true, with
// no lock, when the folder cannot hold one (the change then meets the same
// trouble and says so). With `asks` above 0, after that many answers of
// Yes it says it gives up and returns false.
bool LockForChange(MessageHost& host, const std::string& game, const std::string& what,
                   std::unique_ptr<FolderLock>& out, int asks = 0);

class ModStore {
public:
    // `gameRuns` tells whether the game runs from a folder; every change of
    // mod files asks first when it does.
    explicit ModStore(ModWindow& window, GameRunningCheck gameRuns = GameRunsIn)
        : w_(window), gameRuns_(std::move(gameRuns)) {}

    // Rebuilds the list and the label from the folder and leaves at most one
    // mod active. `silentCall` only suppresses the invalid-folder message.
    void UpdateList(bool silentCall = false, FolderTrim trim = FolderTrim::WriteBack);

    // True when the list holds `modName`, letters compared without regard to case.
    bool ModExist(const std::string& modName) const;

    // Makes the inactive mod `bigFile` (an entry name) the active one, after
    // switching off the mod the active-mod label names; ends with a scan.
    void ActivateMod(const std::string& bigFile);
    // Renames the active mod's ".big" to ".bit"; scans afterwards when `doUpdate`.
    void DeactivateMod(const std::string& activeMod, bool doUpdate = true);

    // "Activate Selected", "Deactivate All" and "Delete Selected".
    void lblActivate_Click();
    void lblDeactivate_Click();
    void lblDelete_Click();

    // "Install A Mod": copies a picked .big, or unpacks the .big in a picked
    // .zip, .7z or .rar, into the game folder as an inactive mod under the
    // managed name and offers to activate it.
    void lblInstallMod_Click();
    // The same install with the files already chosen (a drop, the command
    // line): the archives ticked out of several and the mod's name, the
    // managed name, the copy or merge with its progress, then the offer to
    // activate. True when the mod's copy is in the folder.
    // `sources` are one .big (installed as it is), one .zip, .7z or .rar,
    // one folder, or several .big and .gib files; a mod of several archives
    // or with loose game files is merged into one archive.
    // `installedEntry`, when given, takes the new mod's entry name.
    bool InstallMod(const std::vector<std::string>& sources, std::string* installedEntry = nullptr);
    bool InstallMod(const std::string& source) { return InstallMod(std::vector<std::string>{source}); }

    // The add-ons of the mod `base` (addons.h): an entry of the list or the
    // active mod. Each tells the user what it did or why it could not, and
    // answers true when done.
    //  - InstallAddOn installs `sources` (as InstallMod takes them) as an
    //    add-on or a patch of `base`, named `name` when given, else as the
    //    user names it where archives are ticked, else after its source;
    //    it starts off. `installedName` takes its name.
    //  - SwitchAddOn turns it on or off: at once when `base` is active,
    //    else when it is activated.
    //  - DeleteAddOn removes its files.
    bool InstallAddOn(const std::string& base, const std::vector<std::string>& sources, AddOnKind kind,
                      const std::optional<std::string>& name = std::nullopt, std::string* installedName = nullptr);
    bool SwitchAddOn(const std::string& base, const std::string& name, bool on);
    bool DeleteAddOn(const std::string& base, const std::string& name);
    // The mod whose add-ons the window shows: the one selected in the list,
    // else the active one; empty when there is neither.
    std::string addOnsBase() const;

    // What this user may do in the game folder the last scan loaded.
    const FolderRights& folderRights() const { return rights_; }

    // Whether the game runs from a folder, as this store asks it.
    bool gameRunsIn(const std::string& folder) const { return gameRuns_ && gameRuns_(folder); }

private:
    // The game folder's lock while a change runs: the outermost change
    // takes it, those within share it. Held while a Change lives; false
    // (and nothing changes) when the user gave up waiting for another Tavrel.
    bool beginChange(const std::string& folder, const std::string& what);
    void endChange();
    // Finds out (once for each folder, again when `again`) whether this user
    // may change `folder`, and has the window show it.
    void checkRights(const std::string& folder, bool again);
    // False, with the user told (and offered a restart where it helps), when
    // this user may not change `folder`.
    bool mayChangeFolder(const std::string& folder);
    // After a failure the system refused for want of rights: the restart
    // with an administrator's rights, offered where it would help.
    void offerRestartAfter(const Status& failure);
    // Marks `folder` settled when no change runs and none left anything.
    void markSettled(const std::string& folder);
    class Change {
    public:
        Change(ModStore& store, const std::string& folder, const std::string& what)
            : store_(store), held_(store.beginChange(folder, what)) {}
        ~Change() {
            if (held_) store_.endChange();
        }
        Change(const Change&) = delete;
        Change& operator=(const Change&) = delete;
        explicit operator bool() const { return held_; }

    private:
        ModStore& store_;
        bool held_;
    };

    std::string selectedEntry() const;  // empty when nothing is selected
    // The scan's steps: the folder box's text without separators at its end
    // (nothing when it names no folder), the mods' files in the folder, and
    // the active mods beyond the first made inactive, as the user agrees.
    std::optional<std::string> trimFolderText(FolderTrim trim);
    std::vector<DirEntry> listModFiles(const std::string& folder);
    void reconcileActive(const std::string& folder, const std::vector<DirEntry>& entries,
                         std::unordered_set<std::string>& listed);
    // Decides what an install of `sources` does, asking the user which
    // archives where a mod has several; false when the user cancelled or
    // the sources hold no mod (`failed` says why).
    bool planInstall(const std::vector<std::string>& sources, ModContents& mod, InstallPlan& plan, Status& failed);
    // A new version of the active mod that keeps files beside it needs the
    // active one switched off first: true when nothing is in the way.
    bool makeWayFor(const std::string& folder, const InstallPlan& plan);
    // What an activation tells: its failure, or that it is done and what
    // hides some of the mod's files.
    void tellActivated(const std::string& folder, const std::string& bigFile, const Status& renamed,
                       const Placement& placement);
    // The install's error, with the reason; false.
    bool installFailed(const Status& why);
    // Writes the planned mod into the folder, with its progress, which
    // closes before this returns; `cancelled` when the user said so.
    Status writeInstall(const std::string& folder, InstallWriter& writer, const InstallPlan& plan, bool& cancelled);
    // The success message, and the offer to activate the mod.
    void tellInstalled(const InstallPlan& plan, const std::string& words);
    // The entry of the installed mod `base` as the folder has it; empty,
    // with the user told, when there is no such mod Tavrel installed.
    std::string findBase(const std::string& folder, const std::string& base);
    // The add-on `name` of `base` in the folder the window names (`folder`,
    // and the base's `entry`); nothing, and the user told, when there is none.
    std::optional<AddOn> findAddOn(const std::string& base, const std::string& name, std::string& folder,
                                   std::string& entry);
    // Puts the add-ons of `base` in the game folder as they are wanted, with
    // the renames of `marks`, and tells what went wrong; true when all went.
    bool applyAddOns(const std::string& folder, const std::string& base, const std::vector<JournalStep>& marks,
                     bool baseActive);
    // Writes the add-on planned into a stage and moves it in; its name in `name`.
    Status writeAddOn(const std::string& folder, const std::string& base, const ModContents& mod,
                      const std::vector<const ModFile*>& archives, AddOnKind kind, const std::string& name,
                      std::size_t& hiddenByBase, bool& cancelled);
    // Where the new mod's paths came from, kept beside it for its add-ons.
    void keepOrigins(const std::string& folder, const InstallPlan& plan, const InstallWriter& writer);
    // False when the game runs from the folder and the user would rather not go on.
    bool goOnWhileGameRuns();
    // Ends what a killed Tavrel left in the folder, unless the game runs
    // from it; tells the user when it cannot.
    void finishUnfinishedWork(const std::string& folder);

    ModWindow& w_;
    GameRunningCheck gameRuns_;
    bool trimming_ = false;  // the scan is writing the trimmed folder back
    std::unique_ptr<FolderLock> lock_;  // the game folder's, while a change runs
    int changes_ = 0;  // changes running, one within another
    std::string changing_;  // the game folder of the outermost change
    std::string rightsFolder_;  // the folder whose rights rights_ tells
    FolderRights rights_;
};

}  // namespace tavrel
