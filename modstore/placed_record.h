// What each companion file was when an activation put it in place, kept
// beside the activation's record (store_folder.h). A deactivation tells by
// it the mod's own file from one that someone else put at its path since:
// Steam's "Verify integrity", the EA app's repair, an antivirus, a copy by
// hand.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/platform.h"

namespace tavrel {

struct PlacedFile {
    std::string path;                   // where it was put, relative to the game folder
    FileStamp stamp;                    // size, identity and write time
    std::optional<std::uint64_t> hash;  // of the bytes of a small file (scripts, splash)
    bool operator==(const PlacedFile&) const = default;
};

// The file `file`, about to be put at `path`, as it is now; nothing when it
// is no regular file.
std::optional<PlacedFile> Fingerprint(const std::string& file, const std::string& path);

// True when `file` is still what `placed` describes: the same size, and the
// same bytes where they were hashed, else the same identity or write time
// (a rename keeps both; some file systems only the time).
bool StillPlaced(const std::string& file, const PlacedFile& placed);

Status WritePlacedRecord(const std::string& file, const std::vector<PlacedFile>& placed);
// Nothing when there is no record, or it is cut short or garbled.
std::optional<std::vector<PlacedFile>> ReadPlacedRecord(const std::string& file);

}  // namespace tavrel
