// Reading mods out of .zip, .7z and .rar archives with libarchive.
#include "support/archive.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "support/archive_names.h"
#include "support/path_rules.h"
#include "support/text.h"

namespace tavrel {
namespace {

// Bytes read from the file, and unpacked, at a time: small enough that each
// write stays cheap for the page cache (1 MiB blocks took twice the system
// time of 128 KiB ones for the same unpack).
constexpr std::size_t kBlock = 128u << 10;

// Why an archive cannot be read, in Tavrel's own words.
constexpr const char* kNotAnArchive = "the file is not a .zip, .7z or .rar archive";
constexpr const char* kDamaged = "the archive is damaged or incomplete";
constexpr const char* kPassword = "the archive is protected by a password";

// An archive of one of the four formats read through InputFile: a pipe or a
// device is refused before libarchive sees it, and a failure to read the
// file is told as the system tells it.
class Reader {
public:
    Reader() : a_(archive_read_new()), buffer_(kBlock) {}
    ~Reader() { archive_read_free(a_); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    Status open(const std::string& path) {
        if (Status opened = file_.open(path); !opened.ok()) return opened;
        archive_read_support_format_zip(a_);
        archive_read_support_format_7zip(a_);
        archive_read_support_format_rar(a_);
        archive_read_support_format_rar5(a_);
        // Names without the UTF-8 flag are code page 437. No passphrase is
        // ever given: an encrypted member fails at once, it never waits.
        archive_read_set_options(a_, "zip:hdrcharset=CP437,rar:hdrcharset=CP437");
        archive_read_set_callback_data(a_, this);
        archive_read_set_read_callback(a_, &Reader::Read);
        archive_read_set_seek_callback(a_, &Reader::Seek);
        archive_read_set_skip_callback(a_, &Reader::Skip);
        if (archive_read_open1(a_) != ARCHIVE_OK) return file_.error().ok() ? Status::Error(kNotAnArchive) : file_.error();
        return Status::Ok();
    }

    archive* get() const { return a_; }

    // The next entry; nothing at the end, or with `failed` set.
    archive_entry* next(Status& failed) {
        archive_entry* entry = nullptr;
        const int r = archive_read_next_header(a_, &entry);
        if (r == ARCHIVE_EOF) return nullptr;
        // A warning is a name that could not be converted; the entry is there.
        if (r < ARCHIVE_WARN) {
            failed = failure(nullptr);
            return nullptr;
        }
        return entry;
    }

    // Why reading failed: the system's reason when the file could not be
    // read, else what a player can act on.
    Status failure(archive_entry* entry) const {
        if (!file_.error().ok()) return file_.error();
        if (archive_errno(a_) == ENOMEM) return Status::FromError(ENOMEM);
        const char* text = archive_error_string(a_);
        const bool locked = (entry && archive_entry_is_encrypted(entry)) ||
                            (!entry && archive_read_has_encrypted_entries(a_) > 0) ||
                            (text && (std::strstr(text, "ncrypt") || std::strstr(text, "assphrase")));
        return Status::Error(locked ? kPassword : kDamaged);
    }

private:
    static la_ssize_t Read(archive* a, void* self, const void** data) {
        auto* r = static_cast<Reader*>(self);
        const std::int64_t n = r->file_.read(r->buffer_.data(), r->buffer_.size());
        if (n < 0) {
            archive_set_error(a, EIO, "%s", r->file_.error().text().c_str());
            return ARCHIVE_FATAL;
        }
        *data = r->buffer_.data();
        return static_cast<la_ssize_t>(n);
    }

    static la_int64_t Seek(archive* a, void* self, la_int64_t offset, int whence) {
        auto* r = static_cast<Reader*>(self);
        const std::int64_t at = r->file_.seek(offset, whence);
        if (at < 0) archive_set_error(a, EIO, "%s", r->file_.error().text().c_str());
        return at < 0 ? ARCHIVE_FATAL : at;
    }

    static la_int64_t Skip(archive* a, void* self, la_int64_t request) {
        return Seek(a, self, request, SEEK_CUR) < 0 ? ARCHIVE_FATAL : request;
    }

    detail::ArchiveNameScope names_;  // before the archive: its names are made in this scope
    archive* a_;
    InputFile file_;
    std::vector<char> buffer_;
};

// The entry as a file that may be unpacked: a regular file with a name and
// a known size.
std::optional<ArchiveMember> AsFile(archive_entry* entry, std::size_t index) {
    if (archive_entry_filetype(entry) != AE_IFREG || archive_entry_hardlink(entry) ||
        archive_entry_symlink(entry) || !archive_entry_size_is_set(entry) || archive_entry_size(entry) < 0) {
        return std::nullopt;
    }
    ArchiveMember member;
    member.path = detail::EntryPath(entry);
    member.name = MemberBaseName(member.path);
    if (member.name.empty()) return std::nullopt;
    member.size = static_cast<std::uint64_t>(archive_entry_size(entry));
    member.entry = index;
    return member;
}

}  // namespace

bool IsArchiveName(std::string_view fileName) {
    return EndsWithNoCase(fileName, ".zip") || EndsWithNoCase(fileName, ".7z") || EndsWithNoCase(fileName, ".rar");
}

std::string MemberBaseName(std::string_view path) {
    const std::size_t cut = path.find_last_of("/\\");
    std::string name(cut == std::string_view::npos ? path : path.substr(cut + 1));
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (name.size() >= 2 && letter(name[0]) && name[1] == ':') name.erase(0, 2);  // "C:Mod.big"
    return WithAllowedNameChars(std::move(name));
}

Status ListArchiveFiles(const std::string& path, std::vector<ArchiveMember>& out) {
    out.clear();
    Reader reader;
    if (Status opened = reader.open(path); !opened.ok()) return opened;
    Status failed = Status::Ok();
    for (std::size_t index = 0;; ++index) {
        archive_entry* entry = reader.next(failed);
        if (!entry) break;
        if (auto member = AsFile(entry, index)) out.push_back(std::move(*member));
    }
    if (!failed.ok()) out.clear();
    return failed;
}

Status ReadMembers(const std::string& path, const std::function<bool(const ArchiveMember&)>& wanted,
                   const std::function<Status(const ArchiveMember&, const ReadBytes& read)>& use) {
    Reader reader;
    if (Status opened = reader.open(path); !opened.ok()) return opened;
    Status failed = Status::Ok();
    for (std::size_t index = 0;; ++index) {
        archive_entry* entry = reader.next(failed);
        if (!entry) return failed;
        const std::optional<ArchiveMember> member = AsFile(entry, index);
        if (!member || !wanted(*member)) continue;
        std::uint64_t done = 0;
        const ReadBytes read = [&](char* buffer, std::size_t size, Status& why) -> std::int64_t {
            const la_ssize_t n = archive_read_data(reader.get(), buffer, size);
            if (n < 0) {
                why = reader.failure(entry);
                return -1;
            }
            done += static_cast<std::uint64_t>(n);
            // A member must hold exactly the bytes it was listed with.
            if (done > member->size || (n == 0 && done != member->size)) {
                why = Status::Error(kDamaged);
                return -1;
            }
            return n;
        };
        if (Status used = use(*member, read); !used.ok()) return used;
    }
}

Status UnpackMember(const std::string& path, const ArchiveMember& member, const std::string& destination,
                    const CopyProgress& progress) {
    Reader reader;
    if (Status opened = reader.open(path); !opened.ok()) return opened;
    Status failed = Status::Ok();
    archive_entry* entry = nullptr;
    for (std::size_t index = 0; index <= member.entry; ++index) {
        entry = reader.next(failed);
        if (!entry) return failed.ok() ? Status::Error(kDamaged) : failed;  // the archive changed meanwhile
    }
    const std::optional<ArchiveMember> found = AsFile(entry, member.entry);
    if (!found || found->path != member.path || found->size != member.size) return Status::Error(kDamaged);

    return WriteFileSafely(destination, member.size, [&](const ByteSink& sink) {
        std::uint64_t done = 0;
        for (;;) {
            // The unpacked bytes where libarchive holds them: a stored
            // member's are the file's own, with no copy between.
            const void* bytes = nullptr;
            std::size_t n = 0;
            la_int64_t at = 0;
            const int r = archive_read_data_block(reader.get(), &bytes, &n, &at);
            if (r == ARCHIVE_EOF) break;
            // A warning here is a checksum that does not match.
            if (r != ARCHIVE_OK) return reader.failure(entry);
            // A hole (a sparse member) or bytes past the size given: no mod.
            if (at < 0 || static_cast<std::uint64_t>(at) != done || n > member.size - done) return Status::Error(kDamaged);
            done += n;
            if (Status taken = sink({static_cast<const char*>(bytes), n}); !taken.ok()) return taken;
        }
        return done == member.size ? Status::Ok() : Status::Error(kDamaged);
    }, progress);
}

}  // namespace tavrel
