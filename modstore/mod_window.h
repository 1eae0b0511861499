// What the mod store needs from the main window, and nothing more: the game
// folder box, the mod list, the active-mod label, the Zero Hour flag, modal
// message boxes, the file and folder pickers and a copy's progress. The Qt
// window implements it; tests script a fake.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/archive.h"
#include "modstore/common_dialogs.h"
#include "modstore/messages.h"

namespace tavrel {

// The archives ticked (places in the list offered) and the name given.
struct ArchiveChoice {
    std::vector<std::size_t> ticked;
    std::string name;
    // The archives ticked alone, without the mod's loose files: one of them
    // is then installed as it is.
    bool withoutLooseFiles = false;
};

// Shows how far a long copy has come; closes when destroyed.
class CopyProgressView {
public:
    virtual ~CopyProgressView() = default;
    // False once the user has asked to cancel.
    virtual bool update(std::uint64_t done, std::uint64_t total) = 0;
};

class ModWindow : public DialogHost, public MessageHost {
public:

    // The game folder box. Setting a different text runs the box's change
    // handling at once, before setFolderText returns.
    virtual std::string folderText() const = 0;
    virtual void setFolderText(const std::string& text) = 0;

    // The list of inactive mods, in the order they were added.
    virtual void clearList() = 0;
    virtual void addListEntry(const std::string& entry) = 0;
    virtual std::vector<std::string> listEntries() const = 0;
    virtual int selectedIndex() const = 0;  // -1 when nothing is selected

    // The active-mod label: an entry name, or empty text.
    virtual std::string activeMod() const = 0;
    virtual void setActiveMod(const std::string& entry) = 0;

    // The Zero Hour flag (0 Generals, anything else Zero Hour) and its banner label.
    virtual int zhMode() const = 0;
    virtual void setZeroHourLabelVisible(bool visible) = 0;

    // Makes the window visible (a scan may ask questions during start-up).
    virtual void showWindow() = 0;

    // Progress of a copy that may take a while; the window stays painted
    // and offers Cancel.
    virtual std::unique_ptr<CopyProgressView> showCopyProgress(const std::string& text) = 0;

    // A mod made of several archives, or of an archive and loose files (out
    // of one archive, a folder, or picked together): the user ticks the
    // archives to install, each shown with its name and size and all ticked
    // at first, and names the mod in a box that holds `name` at first.
    // Nothing when the user cancels.
    virtual std::optional<ArchiveChoice> chooseModArchives(const std::vector<ArchiveMember>& archives,
                                                           const std::string& name) = 0;

    // What this user may do in the game folder, told at each scan: the
    // window shows `notice` (nothing when empty) and offers a restart with
    // an administrator's rights when `offerRestart`.
    virtual void showFolderRights(const std::string& notice, bool offerRestart) {
        (void)notice;
        (void)offerRestart;
    }
    // Starts Tavrel again with an administrator's rights on the same folder
    // and mode, and closes this one once the other has started; tells the
    // user when it did not. False where there is no such thing.
    virtual bool restartAsAdministrator() { return false; }

    // True for a window without a user to answer the questions of a
    // failure that repeats: "Deactivate All" stops at its first failure.
    virtual bool stopsAtFailure() const { return false; }

    // The offer to activate a mod just installed: a Yes/No question like any
    // other in a window; a front-end without a user answers it from what it
    // was told to do.
    virtual Answer offerActivation(const std::string& text) {
        return message(text, Buttons::YesNo, Icon::Information);
    }
};

// " Zero Hour " in Zero Hour mode, " " otherwise: the words that stand
// between "Generals" and what follows in many messages.
inline std::string ZeroHourPart(int zhMode) { return zhMode != 0 ? " Zero Hour " : " "; }

}  // namespace tavrel
