// What an activation tells beside its own message: the archives that the
// game loads before the mod and that hide some of its files.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "modstore/placement.h"

namespace tavrel {

// Archives the game loads before the mod `modFile` (an active ".big" in
// `folder`) that hold some of the mod's paths: how many each one hides.
// Only tables are read.
struct HidingFile {
    std::string name;
    std::size_t hidden = 0;
};
std::vector<HidingFile> FindHidingFiles(const std::string& folder, const std::string& modFile);
// The warning after the mod `modEntry` is activated: the archives that hide
// some of its files, which Tavrel cannot set aside, and the game's own
// loose files it set aside, and the files of the mod that are lost (all in
// `placement`); empty when there is nothing to tell.
std::string ActivationWarning(const std::string& modEntry, const std::vector<HidingFile>& hiding,
                              const Placement& placement);

}  // namespace tavrel
