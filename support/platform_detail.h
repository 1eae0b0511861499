// What the shared part of the platform layer needs from each system: plain
// renames that know nothing of letter case.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "support/platform.h"
#include "support/status.h"

namespace tavrel::detail {

// The path's own entry (a link is not followed): ok when it exists, else the
// system's reason.
Status EntryStatus(const std::string& path);

// Renames without ever replacing an existing entry of exactly that name.
Status RenameExactNoReplace(const std::string& from, const std::string& to);

// Renames over an existing entry in one step (read-only included).
Status RenameExactReplacing(const std::string& from, const std::string& to);

// Where the bytes of a safe copy wait for the destination's name: the
// system's own kind of temporary file beside it (see CopyFileSafely),
// removed unless committed.
class PendingFile {
public:
    virtual ~PendingFile() = default;
    virtual Status write(std::string_view bytes) = 0;
    // Reads back bytes written: how many, -1 on a failure (`failed` says why).
    virtual std::int64_t readAt(std::uint64_t offset, char* buffer, std::size_t size, Status& failed) = 0;
    // Has the system start writing the bytes to disk, without waiting for
    // them (nothing where it has no such call), so that a later flush finds
    // them written or on their way.
    virtual void startFlush() {}
    // Waits until the bytes are on disk.
    virtual Status flush() = 0;
    // Puts the flushed file in the destination's place in one step.
    virtual Status name() = 0;
    // Flushes the bytes to disk, then names the file.
    Status commit() {
        const Status flushed = flush();
        return flushed.ok() ? name() : flushed;
    }
};

// Refuses a destination that is a folder or a read-only file (as Windows
// does), clears the folder of stale copies (unless told there are none), makes sure that `total` bytes
// fit and opens the pending file.
Status OpenPendingFile(const std::string& destination, std::uint64_t total, std::unique_ptr<PendingFile>& out,
                       Leftovers leftovers = Leftovers::Clear);

// WriteFileSafely up to its commit: the bytes are in the pending file `out`.
Status WriteToPendingFile(const std::string& destination, std::uint64_t total, const ByteProducer& produce,
                          const CopyProgress& progress, Leftovers leftovers, std::unique_ptr<PendingFile>& out);
// CopyFileSafely up to its commit; `out` stays empty when `source` is the
// destination itself, which is then left as it is.
Status CopyToPendingFile(const std::string& source, const std::string& destination, const CopyProgress& progress,
                         Leftovers leftovers, std::unique_ptr<PendingFile>& out);

// The bytes this user may still write on the volume that holds `folder`;
// nothing when the system does not tell.
std::optional<std::uint64_t> FreeSpace(const std::string& folder);

// Refused with the system's "disk full" text when `bytes` more would not fit
// on the volume that holds `folder`, so that a copy that cannot end never
// starts. A volume that does not tell its room is let try.
Status CheckRoom(const std::string& folder, std::uint64_t bytes);

}  // namespace tavrel::detail
