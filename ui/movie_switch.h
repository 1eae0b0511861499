// The start-up movie switch of the Tools window: the game skips a movie file
// whose name has "__" in front, so disabling adds those two characters and
// enabling takes them away again.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "game/game_process.h"
#include "modstore/messages.h"

namespace tavrel {

// "sizzle_review" in the file name, or "EA_LOGO" anywhere in the path (the
// path inside the game folder), letters compared without regard to case.
bool IsStartupMovie(const std::string& path);

struct MovieSwitchOutcome {
    bool changed = false;  // at least one file was renamed
    std::vector<std::pair<std::string, std::string>> failures;  // path, the platform's error text
};

// Renames every start-up movie (*.bik, plain files in plain folders) under
// the game's Data folder. Links are followed to search, but only files whose
// real place lies in the game folder are renamed, and the path they are
// judged by is that real one. A rename that fails never stops the others and
// never replaces a file.
MovieSwitchOutcome SwitchStartupMovies(const std::string& generalsFolder, bool disable);

// One run of the switch, ending with its message; asks first when the game
// runs from the folder.
void ChangeStartUpFiles(MessageHost& host, const std::string& generalsFolder, bool disable,
                        const GameRunningCheck& gameRuns = GameRunsIn);

}  // namespace tavrel
