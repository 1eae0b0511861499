// The archives players download mods in: .zip, .7z and .rar, read with
// libarchive.
//
// Nothing in an archive is trusted. Only regular files count; folders,
// links (symbolic or hard), devices and anything else are never written
// anywhere. Of a member's path only its
// base name is used: what follows the last "/" or "\", without a drive
// letter, with the characters Windows forbids in a file name made "_".
// Names that are not UTF-8 (old zips and rars without the flag that says
// so) are read as code page 437, as the DOS and Windows tools that made
// them wrote them, so they come out readable on both systems.
//
// A member is unpacked the way CopyFileSafely copies a file: straight into
// the temporary file beside the destination, which takes the destination's
// name in one step once every byte is there and checked; it must hold
// exactly the size the archive gives, and the room for it is checked before
// the first byte is written.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "support/platform.h"

namespace tavrel {

struct ArchiveMember {
    std::string name;         // the base name, safe as a file name (see above)
    std::string path;         // the whole path in the archive, as UTF-8
    std::uint64_t size = 0;   // unpacked
    std::size_t entry = 0;    // its place among all of the archive's entries
};

// True for a file name ending in ".zip", ".7z" or ".rar", in any letter case.
bool IsArchiveName(std::string_view fileName);

// The regular files in `archive`, in the archive's order. A file that is
// not an archive, a damaged or truncated one and one whose names are
// protected by a password fail with a reason a player understands.
Status ListArchiveFiles(const std::string& archive, std::vector<ArchiveMember>& out);

// Unpacks `member` (as listed above) into `destination`, with the copy's
// progress and Cancel. A member protected by a password fails at once.
Status UnpackMember(const std::string& archive, const ArchiveMember& member, const std::string& destination,
                    const CopyProgress& progress = {});

// Reads the members that `wanted` accepts, in the archive's order, in one
// pass: `use` gets each with a reader of its bytes from the start (it may
// stop early), and a failure of `use` ends the pass. A member that holds
// more or fewer bytes than listed fails as damaged.
Status ReadMembers(const std::string& archive, const std::function<bool(const ArchiveMember&)>& wanted,
                   const std::function<Status(const ArchiveMember&, const ReadBytes& read)>& use);

// The base name that a member's path gives (see above).
std::string MemberBaseName(std::string_view path);

}  // namespace tavrel
