#include "ui/movie_switch.h"

#include <algorithm>
#include <unordered_set>

#include "game/game_paths.h"
#include "modstore/store_folder.h"
#include "modstore/mod_store.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/recurse.h"
#include "support/text.h"

namespace tavrel {

bool IsStartupMovie(const std::string& path) {
    return ContainsNoCase(FileGetName(path), "sizzle_review") || ContainsNoCase(path, "EA_LOGO");
}

MovieSwitchOutcome SwitchStartupMovies(const std::string& generalsFolder, bool disable) {
    MovieSwitchOutcome outcome;
    const auto root = RealPath(generalsFolder);
    if (!root) return outcome;
    // The active mod's own movies are the mod's, not the game's: they stay
    // as they are, so that its deactivation finds each where it put it.
    const std::vector<std::string> placedPaths = PlacedCompanionPaths(generalsFolder);
    const std::unordered_set<std::string> placed(placedPaths.begin(), placedPaths.end());
    // The whole list is taken before the first rename: no file is met twice.
    const std::vector<std::string> movies =
        FindFilesRecursive(JoinPath(generalsFolder, "Data"), "*.bik", 0, kAttributeDirectory, *root);
    for (const std::string& found : movies) {
        // A link under Data may lead anywhere; files outside the game folder
        // are not the game's, whatever the link is called.
        const auto folder = RealPath(FileGetFolder(found));
        if (!folder || !IsInsideFolder(*root, *folder)) continue;
        const std::string name = FileGetName(found);
        const std::string path = JoinPath(*folder, name);
        if (!IsStartupMovie(path.substr(root->size()))) continue;
        if (placed.count(FoldCase(GamePathOf(path.substr(std::min(path.size(), root->size() + 1)))))) continue;
        const bool disabled = name.compare(0, 2, "__") == 0;
        if (disable == disabled) continue;  // already as asked
        const Status renamed = RenameNoReplace(path, JoinPath(*folder, disable ? "__" + name : name.substr(2)));
        if (renamed.ok()) outcome.changed = true;
        else outcome.failures.emplace_back(path, renamed.text());
    }
    return outcome;
}

void ChangeStartUpFiles(MessageHost& host, const std::string& generalsFolder, bool disable,
                        const GameRunningCheck& gameRuns) {
    if (const FolderRights rights = CheckFolderRights(generalsFolder); !rights.mayChange()) {
        host.message(RightsNotice(rights), Buttons::Ok, Icon::Exclamation);
        return;
    }
    if (!GoOnWhileGameRuns(host, generalsFolder, gameRuns)) return;
    std::unique_ptr<FolderLock> lock;
    if (!LockForChange(host, generalsFolder, "switching the start-up movies", lock)) return;
    MarkUnsettled(generalsFolder);
    FinishUnfinishedWork(generalsFolder);  // a change left half-way ends first
    const MovieSwitchOutcome outcome = SwitchStartupMovies(generalsFolder, disable);
    MarkSettledIfSo(generalsFolder);
    UnlockGameFolder(lock);
    if (!outcome.failures.empty()) {
        std::string text = "Tavrel could not rename these startup items:";
        for (const auto& [path, error] : outcome.failures) text += "\n" + path + " (" + error + ")";
        host.message(text, Buttons::Ok, Icon::Critical);
        if (!outcome.changed) return;  // there was something to change; it failed
    }
    host.message(outcome.changed ? "Startup Items Have Been Changed Successfully." : "Nothing Found To Change.",
                 Buttons::Ok, Icon::Information);
}

}  // namespace tavrel
