// File helpers that never show a message. All but FileWriteText swallow
// failures and answer false (or nothing); FileWriteText throws
// std::runtime_error carrying the platform's error text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "support/path_rules.h"
#include "support/platform.h"

namespace tavrel {

// Deletes one file even when it is read-only; failures are ignored.
void FileDelete(const std::string& path);

// True only for an existing regular file that is not hidden.
bool FileExists(const std::string& path);

// Creates or replaces a file with exactly the bytes of `text`.
void FileWriteText(const std::string& text, const std::string& path);

// Copies a file over an existing destination without ever leaving a partial
// destination behind; true on success.
bool FileCopyChecked(const std::string& source, const std::string& destination,
                     const CopyProgress& progress = {});

// The bytes of a small regular file, at most `limit` of them: a file that
// is larger, or no regular file (a pipe is never waited on), is refused.
Status ReadSmallFile(const std::string& path, std::size_t limit, std::string& out);

// A hash of a small regular file's bytes (64-bit FNV-1a), to tell later
// whether they are still the same: nothing when the file is larger than
// `limit` or cannot be read.
std::optional<std::uint64_t> HashSmallFile(const std::string& path, std::size_t limit);

// True when `path`, trailing separators ignored, names an existing folder;
// false for texts shorter than two characters.
bool FolderExists(const std::string& path);

}  // namespace tavrel
