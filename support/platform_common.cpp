// The parts of the platform layer that need no system calls of their own.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "support/path_rules.h"
#include "support/platform.h"
#include "support/platform_detail.h"
#include "support/system.h"
#include "support/text.h"
#include "support/wildcard.h"

namespace tavrel {
namespace {

constexpr std::size_t kCompareChunk = 1u << 20;  // bytes read from each file at a time

std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool TakenInAnyCase(const std::vector<DirEntry>& entries, const std::string& name) {
    const std::string folded = FoldCase(name);
    return std::any_of(entries.begin(), entries.end(), [&](const DirEntry& e) { return e.folded == folded; });
}

bool EntryLess(const DirEntry& a, const DirEntry& b) { return NameLessFolded(a.folded, a.name, b.folded, b.name); }

}  // namespace

Status ListEntries(const std::string& folder, std::vector<DirEntry>& out) {
    out.clear();
    const Status status = VisitEntries(folder, [&out](const DirEntry& e) { out.push_back(e); });
    std::sort(out.begin(), out.end(), EntryLess);
    return status;
}

std::vector<std::string> MatchingFiles(const std::vector<DirEntry>& entries, std::string_view pattern) {
    std::vector<const DirEntry*> matched;
    const WildcardPattern wildcard(pattern);
    for (const DirEntry& e : entries) {
        if (e.isFile && !e.hidden && !e.system && wildcard.matchesFolded(e.folded)) matched.push_back(&e);
    }
    // Sorted here, whatever the entries' order: entries kept from a visit
    // cost a sort of the few matches instead of the whole folder.
    const auto less = [](const DirEntry* a, const DirEntry* b) { return EntryLess(*a, *b); };
    if (!std::is_sorted(matched.begin(), matched.end(), less)) std::sort(matched.begin(), matched.end(), less);
    std::vector<std::string> out;
    out.reserve(matched.size());
    for (const DirEntry* e : matched) out.push_back(e->name);
    return out;
}

Status ListFiles(const std::string& folder, std::string_view pattern, std::vector<std::string>& out) {
    std::vector<DirEntry> entries;
    const Status status = ListEntries(folder, entries);
    out = MatchingFiles(entries, pattern);
    return status;
}

std::string ResolveFileName(const std::string& folder, const std::string& stem, const std::string& ext) {
    // The spelling the folder itself shows: where the file system ignores
    // letter case, the built name may lead to a file spelled otherwise.
    const std::string exact = stem + ext;
    std::vector<DirEntry> entries;
    ListEntries(folder, entries);
    const std::string folded = FoldCase(exact);
    const std::string* stemSpelled = nullptr;
    const std::string* anyCase = nullptr;
    for (const DirEntry& e : entries) {
        if (e.isFolder || e.folded != folded) continue;
        if (e.name == exact) return e.name;
        if (!stemSpelled && e.name.compare(0, stem.size(), stem) == 0) stemSpelled = &e.name;
        if (!anyCase) anyCase = &e.name;
    }
    return stemSpelled ? *stemSpelled : anyCase ? *anyCase : exact;
}

std::string UnusedFileName(const std::string& folder, const std::string& stem, const std::string& ext) {
    std::vector<DirEntry> entries;
    ListEntries(folder, entries);
    std::string name = stem + ext;
    for (int n = 2; TakenInAnyCase(entries, name); ++n) name = stem + " (" + std::to_string(n) + ")" + ext;
    return name;
}

bool SameFile(const std::string& a, const std::string& b) {
    const auto idA = IdentifyFile(a, true);
    return idA && idA == IdentifyFile(b, true);
}

bool SameContent(const std::string& a, const std::string& b) {
    if (IsLink(a) || IsLink(b) || !IsRegularFile(a) || !IsRegularFile(b)) return false;
    if (SameFile(a, b)) return true;
    std::error_code ec;
    const auto sizeA = std::filesystem::file_size(FsPath(a), ec);
    if (ec || sizeA != std::filesystem::file_size(FsPath(b), ec) || ec) return false;
    std::ifstream fa(FsPath(a), std::ios::binary), fb(FsPath(b), std::ios::binary);
    std::vector<char> ba(kCompareChunk), bb(kCompareChunk);
    while (fa && fb) {
        fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
        fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
        if (fa.gcount() != fb.gcount() ||
            !std::equal(ba.begin(), ba.begin() + fa.gcount(), bb.begin())) {
            return false;
        }
    }
    return fa.eof() && fb.eof();
}

FolderNames::FolderNames(std::string folder) : folder_(std::move(folder)) {
    std::vector<DirEntry> entries;
    ListEntries(folder_, entries);
    for (const DirEntry& e : entries) names_.emplace(e.folded, e.name);
}

FolderNames::FolderNames(std::string folder, const std::vector<DirEntry>& entries) : folder_(std::move(folder)) {
    for (const DirEntry& e : entries) names_.emplace(e.folded, e.name);
}

std::vector<std::string> FolderNames::sameInAnyCase(const std::string& name) const {
    std::vector<std::string> out;
    const auto [first, last] = names_.equal_range(FoldCase(name));
    for (auto it = first; it != last; ++it) out.push_back(it->second);
    return out;
}

Status FolderNames::renameNoReplace(const std::string& from, const std::string& toName) {
    // A missing source is the real cause and is reported first.
    if (Status source = detail::EntryStatus(from); !source.ok()) return source;
    // The source itself may be met when only its letter case changes; any
    // other name (a hard link of it included) is taken.
    const bool here = ParentFolder(from) == folder_;
    for (const std::string& other : sameInAnyCase(toName)) {
        if (!here || other != FileGetName(from)) return FailureStatus(Failure::FileExists);
    }
    const std::string to = JoinPath(folder_, toName);
    Status renamed = detail::RenameExactNoReplace(from, to);
    // Where the volume ignores letter case (FAT and exFAT, NTFS mounted with
    // ignore_case, a case-folded folder), the system finds the source itself
    // under its new spelling and refuses. A change of letter case alone is
    // then made by a plain rename, once the folder, read again, shows no
    // other name that it could replace.
    const std::string fromName = FileGetName(from);
    if (!renamed.ok() && here && toName != fromName && FoldCase(toName) == FoldCase(fromName) &&
        renamed.text() == FailureStatus(Failure::FileExists).text()) {
        const std::vector<std::string> now = FolderNames(folder_).sameInAnyCase(toName);
        if (now.size() == 1 && now.front() == fromName) renamed = detail::RenameExactReplacing(from, to);
    }
    if (renamed.ok()) {
        if (ParentFolder(from) == folder_) forget(FileGetName(from));
        names_.emplace(FoldCase(toName), toName);
    }
    return renamed;
}

void FolderNames::add(const std::string& name) { names_.emplace(FoldCase(name), name); }

void FolderNames::forget(const std::string& name) {
    const auto [first, last] = names_.equal_range(FoldCase(name));
    for (auto it = first; it != last; ++it) {
        if (it->second == name) {
            names_.erase(it);
            return;
        }
    }
}

ReadBytes InputFile::reader() {
    return [this](char* buffer, std::size_t size, Status& failed) {
        const std::int64_t n = read(buffer, size);
        if (n < 0) failed = error();
        return n;
    };
}

ScratchFile::~ScratchFile() = default;

Status ScratchFile::Open(const std::string& folder, std::uint64_t room, std::unique_ptr<ScratchFile>& out) {
    std::unique_ptr<ScratchFile> scratch(new ScratchFile);
    // Never committed: the name is only where the pending file is made.
    if (Status opened = detail::OpenPendingFile(JoinPath(folder, ".tavrel-scratch"), room, scratch->file_); !opened.ok()) {
        return opened;
    }
    out = std::move(scratch);
    return Status::Ok();
}

Status ScratchFile::append(std::string_view bytes) {
    if (Status written = file_->write(bytes); !written.ok()) return written;
    size_ += bytes.size();
    return Status::Ok();
}

ReadBytes ScratchFile::reader(std::uint64_t offset) {
    return [this, offset](char* buffer, std::size_t size, Status& failed) mutable {
        const std::int64_t n = file_->readAt(offset, buffer, size, failed);
        if (n > 0) offset += static_cast<std::uint64_t>(n);
        return n;
    };
}

namespace detail {

Status WriteToPendingFile(const std::string& destination, std::uint64_t total, const ByteProducer& produce,
                          const CopyProgress& progress, Leftovers leftovers, std::unique_ptr<PendingFile>& out) {
    std::unique_ptr<PendingFile> file;
    if (Status opened = OpenPendingFile(destination, total, file, leftovers); !opened.ok()) return opened;
    if (progress && !progress(0, total)) return FailureStatus(Failure::Cancelled);
    std::uint64_t done = 0;
    const Status produced = produce([&](std::string_view bytes) {
        if (Status written = file->write(bytes); !written.ok()) return written;
        done += bytes.size();
        if (progress && !progress(std::min(done, total), total)) return FailureStatus(Failure::Cancelled);
        return Status::Ok();
    });
    if (!produced.ok()) return produced;
    out = std::move(file);
    return Status::Ok();
}

}  // namespace detail

Status WriteFileSafely(const std::string& destination, std::uint64_t total, const ByteProducer& produce,
                       const CopyProgress& progress, Leftovers leftovers) {
    std::unique_ptr<detail::PendingFile> file;
    if (Status written = detail::WriteToPendingFile(destination, total, produce, progress, leftovers, file);
        !written.ok()) {
        return written;
    }
    return file->commit();
}

Status CopyFileSafely(const std::string& source, const std::string& destination, const CopyProgress& progress,
                      Leftovers leftovers) {
    std::unique_ptr<detail::PendingFile> file;
    if (Status copied = detail::CopyToPendingFile(source, destination, progress, leftovers, file); !copied.ok()) {
        return copied;
    }
    return file ? file->commit() : Status::Ok();
}

WriteBatch::WriteBatch(std::size_t window) : window_(std::max<std::size_t>(window, 1)) {}

WriteBatch::~WriteBatch() = default;

Status WriteBatch::write(const std::string& destination, std::uint64_t total, const ByteProducer& produce,
                         const CopyProgress& progress, Leftovers leftovers) {
    std::unique_ptr<detail::PendingFile> file;
    const Status written = detail::WriteToPendingFile(destination, total, produce, progress, leftovers, file);
    return wait(written, std::move(file));
}

Status WriteBatch::copy(const std::string& source, const std::string& destination, const CopyProgress& progress,
                        Leftovers leftovers) {
    std::unique_ptr<detail::PendingFile> file;
    const Status copied = detail::CopyToPendingFile(source, destination, progress, leftovers, file);
    return wait(copied, std::move(file));
}

Status WriteBatch::wait(const Status& written, std::unique_ptr<detail::PendingFile> file) {
    if (!written.ok() || !file) return written;
    file->startFlush();
    waiting_.push_back(std::move(file));
    // Each waiting file holds a handle open: a full window is finished
    // before another is opened.
    return waiting_.size() >= window_ ? finish() : Status::Ok();
}

Status WriteBatch::finish() {
    // Taken out first: whatever fails, none of them waits any longer, and
    // those not named go with their temporary files.
    std::vector<std::unique_ptr<detail::PendingFile>> files = std::move(waiting_);
    waiting_.clear();
    // Every flush before the first name: a file named is one whose bytes,
    // and those of every file before it, are on disk.
    for (const auto& file : files) {
        if (Status flushed = file->flush(); !flushed.ok()) return flushed;
    }
    for (const auto& file : files) {
        if (Status named = file->name(); !named.ok()) return named;
    }
    return Status::Ok();
}

Status CheckRoomFor(const std::string& folder, std::uint64_t bytes) { return detail::CheckRoom(folder, bytes); }

namespace detail {

Status CheckRoom(const std::string& folder, std::uint64_t bytes) {
    const std::optional<std::uint64_t> free = FreeSpace(folder);
    if (free && bytes > *free) return FailureStatus(Failure::NoSpace);
    return Status::Ok();
}

}  // namespace detail

Status RenameNoReplace(const std::string& from, const std::string& to) {
    return FolderNames(ParentFolder(to)).renameNoReplace(from, FileGetName(to));
}

Status RenameReplacing(const std::string& from, const std::string& to) {
    if (Status source = detail::EntryStatus(from); !source.ok()) return source;
    // Replacing a file with a name that leads to it would leave a name and
    // no bytes.
    const auto fromId = IdentifyFile(from, true);
    if (fromId && fromId == IdentifyFile(to, false)) return FailureStatus(Failure::FileExists);
    const std::string folder = ParentFolder(to);
    const std::string toName = FileGetName(to);
    const bool sourceHere = ParentFolder(from) == folder;
    for (const std::string& other : FolderNames(folder).sameInAnyCase(toName)) {
        if (other != toName && !(sourceHere && other == FileGetName(from))) {
            return FailureStatus(Failure::FileExists);
        }
    }
    return detail::RenameExactReplacing(from, to);
}

Status ProbeFolderChanges(const std::string& folder) {
    // Numbers of their own, far above a copy's, under this process's.
    static std::atomic<unsigned> probes{0};
    const auto name = [&] {
        return JoinPath(folder, ".tavrel-" + std::to_string(CurrentProcessNumber()) + "-" +
                                    std::to_string(900000000u + ++probes) + ".part");
    };
    const std::string made = name(), renamed = name();
    if (Status created = CreateNewFile(made); !created.ok()) return created;
    const Status moved = RenameNoReplace(made, renamed);
    const Status removed = RemoveFile(moved.ok() ? renamed : made, true);
    return moved.ok() ? removed : moved;
}

bool IsWritableFolder(const std::string& path) { return ProbeFolderChanges(path).ok(); }

bool IsCopyTemporaryName(std::string_view name) {
    // ".tavrel-" digits "-" digits ".part"
    constexpr std::string_view kPrefix = ".tavrel-", kSuffix = ".part";
    if (name.size() <= kPrefix.size() + kSuffix.size() || name.substr(0, kPrefix.size()) != kPrefix ||
        name.substr(name.size() - kSuffix.size()) != kSuffix) {
        return false;
    }
    const std::string_view middle = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    const auto dash = middle.find('-');
    const auto digits = [](std::string_view s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return dash != std::string_view::npos && digits(middle.substr(0, dash)) && digits(middle.substr(dash + 1));
}

Status MakeFolders(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(FsPath(path), ec);
    return ec ? Status::FromError(ec.value()) : Status::Ok();
}

Status RemoveTree(const std::string& path) {
    if (!PathExists(path)) return Status::Ok();
    if (IsLink(path) || !IsFolder(path)) {
        const Status removed = RemoveFile(path, true);
        // A link to a folder carries the folder's mark on Windows.
        return removed.ok() || !IsLink(path) ? removed : RemoveEmptyFolder(path);
    }
    std::vector<DirEntry> entries;
    Status first = ListEntries(path, entries);
    for (const DirEntry& e : entries) {
        const Status removed = RemoveTree(JoinPath(path, e.name));
        if (first.ok() && !removed.ok()) first = removed;
    }
    const Status gone = RemoveEmptyFolder(path);
    return first.ok() ? gone : first;
}

EnvLookup SystemEnvironment() {
    return [](const std::string& name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name.c_str())) return std::string(value);
        return std::nullopt;
    };
}

}  // namespace tavrel
