// Archive names on Windows: libarchive gives them as UTF-16 without loss;
// its multibyte form is the ANSI code page, which would lose letters.
#include <archive_entry.h>

#include "support/archive_names.h"
#include "support/wide_text_win.h"

namespace tavrel::detail {

ArchiveNameScope::ArchiveNameScope() = default;
ArchiveNameScope::~ArchiveNameScope() = default;

std::string EntryPath(archive_entry* entry) {
    if (const wchar_t* path = archive_entry_pathname_w(entry)) return Utf8(path);
    const char* path = archive_entry_pathname_utf8(entry);
    return path ? path : "";
}

}  // namespace tavrel::detail
