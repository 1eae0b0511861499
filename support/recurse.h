// Collecting the files that match a list of wildcard patterns, in one folder
// or in a whole tree. Failures are swallowed: what could be found is returned.
//
// Links to folders are followed, as the game under Wine follows them, but
// every folder is searched at most once, however many links or bind mounts
// lead to it: the first path met in breadth-first order is the one searched.
// So the search ends on every tree, also one with a link back up to its top.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavrel {

// Attribute flags of the game's platform, as the masks below take them.
inline constexpr std::uint32_t kAttributeHidden = 2;
inline constexpr std::uint32_t kAttributeSystem = 4;
inline constexpr std::uint32_t kAttributeDirectory = 16;

// Full paths of the plain files in `folder` that match `patterns`: pieces
// separated by ";", else ",", else "|" (only the first kind found splits),
// each trimmed of spaces; an empty piece or list matches every file. Hidden
// files only when `attributes` holds kAttributeHidden. Grouped by piece; a
// file matching two pieces is reported twice.
std::vector<std::string> FindFiles(const std::string& folder, const std::string& patterns,
                                   std::uint32_t attributes);

// The same for `folder` and every folder below it, breadth first: a
// folder's matches before those of its subfolders. Hidden folders are
// entered only when `folderAttributes` holds kAttributeHidden. With
// `within` (a path with its links resolved), a folder whose real place lies
// outside it is not searched: a link to "/" does not make the search walk
// the whole disk.
std::vector<std::string> FindFilesRecursive(const std::string& folder, const std::string& patterns,
                                            std::uint32_t fileAttributes, std::uint32_t folderAttributes,
                                            const std::string& within = "");

}  // namespace tavrel
