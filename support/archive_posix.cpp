// Archive names on Linux: libarchive converts them to the thread's locale,
// which is made UTF-8 while an archive is read.
#include <archive_entry.h>
#include <locale.h>

#include "support/archive_names.h"

namespace tavrel::detail {

ArchiveNameScope::ArchiveNameScope() {
    locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (!utf8) utf8 = ::newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(nullptr));
    if (!utf8) return;  // names that are not ASCII come out with "?" in them
    utf8_ = utf8;
    previous_ = ::uselocale(utf8);
}

ArchiveNameScope::~ArchiveNameScope() {
    if (!utf8_) return;
    ::uselocale(static_cast<locale_t>(previous_));
    ::freelocale(static_cast<locale_t>(utf8_));
}

std::string EntryPath(archive_entry* entry) {
    const char* path = archive_entry_pathname_utf8(entry);
    if (!path) path = archive_entry_pathname(entry);
    return path ? path : "";
}

}  // namespace tavrel::detail
