// One change of the game folder at a time: every change is made under the
// folder's lock (store_folder.h), which the outermost change of a store
// takes and those within it share.
#include <chrono>
#include <thread>

#include "modstore/mod_store.h"
#include "modstore/store_folder.h"
#include "support/path_rules.h"
#include "support/system.h"

namespace tavrel {
namespace {

constexpr int kTries = 20;  // a moment: as long as a few renames take another Tavrel
constexpr auto kPause = std::chrono::milliseconds(100);

}  // namespace

bool LockForChange(MessageHost& host, const std::string& game, const std::string& what,
                   std::unique_ptr<FolderLock>& out, int asks) {
    for (int asked = 0;; ++asked) {
        bool held = false;
        std::string holder;
        for (int i = 0; i < kTries; ++i) {
            if (i > 0) std::this_thread::sleep_for(kPause);
            // A folder that cannot hold the lock is changed without it: the
            // change meets the same trouble, and says so in its own words.
            if (LockGameFolder(game, what, out, held, holder).ok() || !held) return true;
        }
        if (holder.empty()) holder = "changing it";
        if (asks > 0 && asked == asks) {
            // Nobody to ask (a launch script's "--yes"): waiting on stops
            // at last, for the script to end rather than hang.
            host.message("Another Tavrel has been " + holder + " in this game folder for too long. Nothing was changed; "
                         "try again once it is done.",
                         Buttons::Ok, Icon::Exclamation);
            return false;
        }
        if (host.message("Another Tavrel is " + holder + " in this game folder, and Tavrel makes one change there at "
                         "a time. Do you want to try again?",
                         Buttons::YesNo, Icon::Exclamation) != Answer::Yes) {
            return false;
        }
    }
}

bool ModStore::beginChange(const std::string& folder, const std::string& what) {
    if (changes_ > 0) {
        ++changes_;
        return true;
    }
    if (!mayChangeFolder(folder)) return false;
    // The command line answers every question itself: it waits a minute.
    constexpr int kAsksWithoutAUser = 30;
    if (!LockForChange(w_, folder, what, lock_, w_.stopsAtFailure() ? kAsksWithoutAUser : 0)) return false;
    changes_ = 1;
    changing_ = folder;
    MarkUnsettled(folder);
    return true;
}

void ModStore::endChange() {
    if (changes_ > 0 && --changes_ == 0) {
        MarkSettledIfSo(changing_);
        UnlockGameFolder(lock_);
    }
}

void ModStore::checkRights(const std::string& folder, bool again) {
    if (again || folder != rightsFolder_) {
        rights_ = CheckFolderRights(folder);
        rightsFolder_ = folder;
    }
    w_.showFolderRights(RightsNotice(rights_), rights_.administratorHelps());
}

bool ModStore::mayChangeFolder(const std::string& folder) {
    checkRights(folder, false);
    if (rights_.mayChange()) return true;
    if (!rights_.administratorHelps()) {
        w_.message(RefusedChangeText(rights_), Buttons::Ok, Icon::Exclamation);
    } else if (w_.message(RefusedChangeText(rights_), Buttons::YesNo, Icon::Exclamation) == Answer::Yes) {
        w_.restartAsAdministrator();
    }
    return false;
}

void ModStore::offerRestartAfter(const Status& failure) {
    if (RefusalOf(failure) != Refusal::Denied || !CanAskForAdministrator()) return;
    // Windows says "Access is denied" of a read-only file and of a file in
    // the way too: the restart is offered only when the folder itself
    // refuses this user now.
    checkRights(FileCleanPath(w_.folderText()), true);
    if (!rights_.administratorHelps()) return;
    if (w_.message("Windows refused Tavrel the change: it protects this game folder, and Tavrel needs an "
                   "administrator's consent to change it. Do you want to restart Tavrel as administrator?",
                   Buttons::YesNo, Icon::Question) == Answer::Yes) {
        w_.restartAsAdministrator();
    }
}

void ModStore::markSettled(const std::string& folder) {
    if (changes_ > 0 || IsSettled(folder) || !IsFolder(StoreFolder(folder))) return;
    // Only while no other Tavrel changes the folder: one try, no question.
    std::unique_ptr<FolderLock> lock;
    bool held = false;
    std::string holder;
    if (!LockGameFolder(folder, "reading its records", lock, held, holder).ok()) return;
    MarkSettledIfSo(folder);
    UnlockGameFolder(lock);
}

}  // namespace tavrel
