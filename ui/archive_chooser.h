// The window in which the user picks one mod out of an archive that holds
// several: what its list shows. Its layout is ChooserLayout().
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

}  // namespace tavrel
