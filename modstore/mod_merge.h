// A mod made of several archives and loose game files becomes one archive
// that the game reads exactly as it would have read the mod's own files:
//  1. a loose file beats every archive;
//  2. archives count in the order of their paths (relative to the mod's
//     root) compared without regard to case, where the blank comes first,
//     then "!", digits, "_" and letters; the first one that holds a path wins;
//  3. inside one archive the last entry of a path wins;
//  4. paths are compared as the game compares them: without regard to
//     ASCII case, split on "\" and "/", empty parts skipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/big_archive.h"
#include "game/game_paths.h"

namespace tavrel {

// What goes into a merge, in the order its bytes can be read.
struct MergeInput {
    std::string path;  // relative to the mod's root: sets the order of archives
    bool loose = false;  // a loose file: its one entry is the whole file
    std::vector<BigEntry> table;  // an archive's table; a loose file's one entry
};

// A run of bytes of one input, written once; every entry inside it points there.
struct MergeRun {
    std::size_t input = 0;
    std::uint64_t offset = 0;  // in the input
    std::uint64_t size = 0;
};

struct MergePlan {
    std::vector<BigWriteEntry> entries;  // one for each path, in the order of their bytes
    std::vector<std::size_t> origins;    // each entry's input: where the game would have read it
    std::vector<MergeRun> runs;          // in the order of the inputs, then of their offsets
    std::uint64_t dataSize = 0;          // the runs one after the other
};

// Which entry wins each path, and where its bytes go: runs of an input's
// bytes that winning entries share or overlap are written once.
MergePlan PlanMerge(const std::vector<MergeInput>& inputs);

}  // namespace tavrel
