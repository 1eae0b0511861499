// What the shared part of the platform layer needs from each system: plain
// renames that know nothing of letter case.
#pragma once

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

}  // namespace tavrel::detail
