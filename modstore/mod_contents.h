// What a mod is made of, as its author ships it: its archives (.big, and
// .gib that the game skips until renamed), its loose game files and its
// companion files (those the game reads only from its own folder: movies,
// Install_Final.bmp), below the mod's root, which is the folder of its
// shallowest archive (game_paths.h tells them apart). Programs and
// libraries, files outside the game's own folders and every other file at
// the root (read-me files and the like) are left out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/archive.h"

namespace tavrel {

struct ModFile {
    std::string path;       // below the mod's root, "\" between folders
    ArchiveMember source;   // where it is: a member of the archive, or a file on disk (`path` its full path)
};

struct ModContents {
    std::string archive;  // the .zip, .7z or .rar that holds the files; empty for files on disk
    std::string name;     // the mod's own name: its archive's or folder's, or its first file's
    std::string shown;    // how the source is named to the user
    bool picked = false;  // files picked together, not one archive or folder
    std::vector<ModFile> archives;  // in the order the game loads them
    std::vector<ModFile> loose;       // game files, scripts included
    std::vector<ModFile> companions;  // read only from the game folder, never merged
    std::vector<std::string> leftOut;  // paths as the source has them
};

// A mod's files out of its path list: `files` hold each path below the
// source's top ("/" or "\" between folders) in `path`.
void SortModFiles(std::vector<ModFile> files, ModContents& out);

// The mod in `sources`: one .zip, .7z or .rar, one folder, or files (several
// .big and .gib). A source that cannot be read fails with its reason.
Status GatherMod(const std::vector<std::string>& sources, ModContents& out);

// "a.txt, b.exe, c.bik and 4 more": the first few of `names` and a count.
std::string FewNames(const std::vector<std::string>& names);

}  // namespace tavrel
