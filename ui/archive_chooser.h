// The window in which the user ticks the archives of a mod made of several
// and names the mod: what its list shows and when OK may be pressed. Its
// layout is ChooserLayout().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/archive.h"

namespace tavrel {

// A size as Windows' Explorer shows it: "512 bytes", "1.5 KB", "12.3 MB",
// "2.1 GB" (1024 to the next unit; one decimal below 100).
std::string SizeText(std::uint64_t bytes);

// One row a member, in the archive's order: its name and size, and where
// two members have the same name, the path that tells them apart.
std::vector<std::string> ChooserRows(const std::vector<ArchiveMember>& members);

// True when OK may be pressed: at least one row ticked and a name that
// makes a file name (see ModFileStem).
bool ChooserAccepts(const std::vector<bool>& ticked, const std::string& name);

}  // namespace tavrel
