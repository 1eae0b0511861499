// The start-up movie switch of the Tools window: the game skips a movie file
// whose name has "__" in front, so disabling adds those two characters and
// enabling takes them away again.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/messages.h"

namespace tavrel {

// "sizzle_review" in the file name, or "EA_LOGO" anywhere in the path,
// letters compared without regard to case.
bool IsStartupMovie(const std::string& path);

struct MovieSwitchOutcome {
    bool changed = false;  // at least one file was renamed
    std::vector<std::pair<std::string, std::string>> failures;  // path, the platform's error text
};

// Renames every start-up movie (*.bik, plain files in plain folders) under
// the game's Data folder. A rename that fails never stops the others and
// never replaces a file.
MovieSwitchOutcome SwitchStartupMovies(const std::string& generalsFolder, bool disable);

// One run of the switch, ending with its message.
void ChangeStartUpFiles(MessageHost& host, const std::string& generalsFolder, bool disable);

}  // namespace tavrel
