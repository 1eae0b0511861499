// What the shared part of the platform layer needs from each system: plain
// renames that know nothing of letter case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "support/status.h"

namespace tavrel::detail {

// The path's own entry (a link is not followed): ok when it exists, else the
// system's reason.
Status EntryStatus(const std::string& path);

// Renames without ever replacing an existing entry of exactly that name.
Status RenameExactNoReplace(const std::string& from, const std::string& to);

// Renames over an existing entry in one step (read-only included).
Status RenameExactReplacing(const std::string& from, const std::string& to);

// The bytes this user may still write on the volume that holds `folder`;
// nothing when the system does not tell.
std::optional<std::uint64_t> FreeSpace(const std::string& folder);

// Refused with the system's "disk full" text when `bytes` more would not fit
// on the volume that holds `folder`, so that a copy that cannot end never
// starts. A volume that does not tell its room is let try.
Status CheckRoom(const std::string& folder, std::uint64_t bytes);

}  // namespace tavrel::detail
