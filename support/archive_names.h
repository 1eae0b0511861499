// What reading an archive's names takes on each system (archive_posix.cpp,
// archive_win.cpp): libarchive converts names to the locale's multibyte
// text on Linux, and to UTF-16 without loss on Windows.
#pragma once

#include <string>

struct archive_entry;

namespace tavrel::detail {

// While one lives, libarchive's names come out as UTF-8 on this thread,
// whatever locale the program runs in.
class ArchiveNameScope {
public:
    ArchiveNameScope();
    ~ArchiveNameScope();
    ArchiveNameScope(const ArchiveNameScope&) = delete;
    ArchiveNameScope& operator=(const ArchiveNameScope&) = delete;

private:
    void* previous_ = nullptr;
    void* utf8_ = nullptr;
};

// The entry's path as UTF-8; empty when it has none.
std::string EntryPath(archive_entry* entry);

}  // namespace tavrel::detail
