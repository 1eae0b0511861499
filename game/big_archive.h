// The game's own archives (.big): read their tables, write new ones.
//
// An archive starts with "BIGF", the archive's size (u32, little-endian),
// the number of entries and the offset of the first entry's bytes (both
// u32, big-endian). Each entry of the table that follows is an offset and a
// size (u32, big-endian) and a path ending in NUL. The game reads a path
// into a buffer of 260 bytes without a bound, and offsets as signed 32-bit
// numbers; an archive whose magic is not "BIGF" it skips.
//
// Nothing in a table is trusted: the reader checks every number against the
// size of the file, every path for its end and its length.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/archive.h"
#include "support/platform.h"

namespace tavrel {

// The longest path the game reads without overrunning its buffer.
inline constexpr std::size_t kBigPathLimit = 259;
// Every byte of an archive must lie below 2 GiB.
inline constexpr std::uint64_t kBigSizeLimit = std::uint64_t{1} << 31;

struct BigEntry {
    std::string path;  // as stored: "\" or "/" between folders, any letter case
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// Reads the table of an archive of `fileSize` bytes whose bytes `read`
// hands out from the start; reads no further than the table's end. A file
// that is no BIG archive, or whose table does not fit in it, fails with
// Tavrel's own reason.
Status ReadBigTable(const ReadBytes& read, std::uint64_t fileSize, std::vector<BigEntry>& out);
// The same for an archive on disk.
Status ReadBigFile(const std::string& path, std::vector<BigEntry>& out);

// One entry of an archive to write: its bytes lie at `offset` among the
// data that follows the table (entries may share bytes).
struct BigWriteEntry {
    std::string path;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// The size of the header and table of an archive of `entries`.
std::uint64_t BigTableSize(const std::vector<BigWriteEntry>& entries);

// Why an archive of `entries` and `dataSize` bytes of data cannot be
// written for the game: a path too long, or bytes at 2 GiB or beyond.
Status CheckBigArchive(const std::vector<BigWriteEntry>& entries, std::uint64_t dataSize);

// Writes an archive of `entries` to `destination` the way WriteFileSafely
// writes any file (its room check, progress, Cancel and clean-up): the
// header and table, then the `dataSize` bytes that `data` hands its sink.
// Checked with CheckBigArchive before anything is written; data that turns
// out longer or shorter than `dataSize` fails and leaves nothing behind.
Status WriteBigFile(const std::string& destination, const std::vector<BigWriteEntry>& entries,
                    std::uint64_t dataSize, const ByteProducer& data, const CopyProgress& progress = {});

// The game's archives among the files of a .zip, .7z or .rar: those whose
// base name ends in ".big".
Status ListModMembers(const std::string& archive, std::vector<ArchiveMember>& out);

// Tavrel's reasons, for the install's error.
inline constexpr const char* kNotBigArchive = "it is not an archive of the game (.big)";
inline constexpr const char* kBigTableDamaged = "its table of contents is damaged";
inline constexpr const char* kBigTooLarge = "the game reads no archive larger than 2 GB";

}  // namespace tavrel
