// Windows implementation of the platform layer. Paths are UTF-8 in the
// program and UTF-16 towards the system.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "support/path_rules.h"
#include "support/platform.h"
#include "support/platform_detail.h"
#include "support/text.h"
#include "support/wide_text_win.h"

namespace tavrel {
namespace {

constexpr std::size_t kCopyBuffer = 8u << 20;  // bytes read and written between progress reports

// The attributes of the entry itself: GetFileAttributesW does not follow a
// link.
DWORD Attributes(const std::string& path) { return ::GetFileAttributesW(Wide(path).c_str()); }

Status LastError() { return Status::FromError(static_cast<int>(::GetLastError())); }

// Closes a handle on every way out.
class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { if (valid()) ::CloseHandle(h_); }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }
private:
    HANDLE h_;
};

// Opens `path` to look at it rather than at its bytes: folders included
// (backup semantics), and with no right to the contents, so that no share
// mode of another process stands in the way and neither a device nor a pipe
// is read from. Without `followLinks` a link (any reparse point) is opened
// itself. `extraAccess` adds the right to change the attributes.
HANDLE OpenEntry(const std::string& path, bool followLinks, DWORD extraAccess = 0) {
    return ::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES | extraAccess,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
}

bool Identify(const std::string& path, bool followLinks, BY_HANDLE_FILE_INFORMATION& info) {
    Handle h(OpenEntry(path, followLinks));
    return h.valid() && ::GetFileInformationByHandle(h.get(), &info);
}

FileId IdOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return FileId{info.dwVolumeSerialNumber,
                  (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// Sets the attributes of what the handle was opened on; a handle opened on a
// link changes the link, never what it leads to. No attribute left means
// FILE_ATTRIBUTE_NORMAL; the times stay as they are (zero).
bool SetHandleAttributes(HANDLE h, DWORD attributes) {
    FILE_BASIC_INFO info{};
    info.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(h, FileBasicInfo, &info, sizeof info);
}

// MoveFileExW with `flags` (MOVEFILE_REPLACE_EXISTING among them) refuses a
// read-only target, so the read-only attribute of the target entry (a link
// itself, not what it leads to) is cleared first and put back when the move
// fails after all. The handle is closed before the move: a target that is
// still open cannot be replaced.
Status MoveReplacing(const std::string& from, const std::string& to, DWORD flags) {
    DWORD restore = 0;
    {
        Handle target(OpenEntry(to, false, FILE_WRITE_ATTRIBUTES));
        BY_HANDLE_FILE_INFORMATION info;
        if (target.valid() && ::GetFileInformationByHandle(target.get(), &info) &&
            (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 &&
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            SetHandleAttributes(target.get(), info.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY)) {
            restore = info.dwFileAttributes;
        }
    }
    if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), flags)) return Status::Ok();
    const Status failed = LastError();
    if (restore) {
        Handle target(OpenEntry(to, false, FILE_WRITE_ATTRIBUTES));
        if (target.valid()) SetHandleAttributes(target.get(), restore);
    }
    return failed;
}

// Looks at what a copy would read without opening it to read: a pipe may
// wait for its writer and a device (NUL, CON, COM1) never ends or gives
// nothing. On success `info` describes the file.
Status CheckCopySource(const std::string& source, BY_HANDLE_FILE_INFORMATION& info) {
    Handle h(OpenEntry(source, true));
    if (!h.valid()) return LastError();
    if (::GetFileType(h.get()) != FILE_TYPE_DISK) return FailureStatus(Failure::NotRegularFile);
    if (!::GetFileInformationByHandle(h.get(), &info)) return LastError();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FailureStatus(Failure::IsAFolder);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) return FailureStatus(Failure::NotRegularFile);
    return Status::Ok();
}

}  // namespace

std::string ErrorText(int code) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = n && buffer ? Utf8(buffer) : "Error " + std::to_string(code);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

Status Status::FromError(int code) { return Status(ErrorText(code), true, code); }

Status FailureStatus(Failure failure) {
    switch (failure) {
        case Failure::FileExists: return Status::FromError(ERROR_ALREADY_EXISTS);
        case Failure::NoSuchFile: return Status::FromError(ERROR_FILE_NOT_FOUND);
        // ERROR_ACCESS_DENIED is what Windows itself answers when a file
        // operation meets a folder (CreateFile, DeleteFile, CopyFile: the
        // kernel's STATUS_FILE_IS_A_DIRECTORY becomes it), so the user reads
        // the same text whichever way a folder got in. ERROR_DIRECTORY
        // ("The directory name is invalid") is the opposite case, a file
        // where a folder was expected.
        // Not taken for a refusal of the user's rights (RefusalOf).
        case Failure::IsAFolder: return Status::Error(ErrorText(ERROR_ACCESS_DENIED));
        case Failure::NoSpace: return Status::FromError(ERROR_DISK_FULL);
        case Failure::Cancelled: return Status::FromError(ERROR_CANCELLED);
        case Failure::NotRegularFile: break;
    }
    return Status::FromError(ERROR_NOT_SUPPORTED);
}

namespace detail {

namespace {

// The temporary file is held without sharing while the copy runs: no other
// process can open or delete it, which is how RemoveStaleCopies tells a
// running copy from a killed one. It stays hidden until it takes the
// destination's name.
class HiddenCopy : public PendingFile {
public:
    HiddenCopy(std::string destination, std::string temp, HANDLE h)
        : destination_(std::move(destination)), temp_(std::move(temp)), h_(h) {}
    ~HiddenCopy() override {
        if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
        if (!temp_.empty()) ::DeleteFileW(Wide(temp_).c_str());
    }

    Status write(std::string_view bytes) override {
        for (std::size_t done = 0; done < bytes.size();) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
            if (!::WriteFile(h_, bytes.data() + done, chunk, &written, nullptr)) return LastError();
            done += written;
        }
        return Status::Ok();
    }

    std::int64_t readAt(std::uint64_t offset, char* buffer, std::size_t size, Status& failed) override {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!::ReadFile(h_, buffer, chunk, &read, &at) && ::GetLastError() != ERROR_HANDLE_EOF) {
            failed = LastError();
            return -1;
        }
        // A write after a positioned read goes on from where the read ended.
        LARGE_INTEGER end{};
        ::SetFilePointerEx(h_, end, nullptr, FILE_END);
        return read;
    }

    Status flush() override { return ::FlushFileBuffers(h_) ? Status::Ok() : LastError(); }

    Status name() override {
        // The rename keeps the file's attributes: the copy must not arrive
        // hidden.
        if (!SetHandleAttributes(h_, FILE_ATTRIBUTE_NORMAL)) return LastError();
        ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        const Status moved = MoveReplacing(temp_, destination_, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (moved.ok()) temp_.clear();
        return moved;
    }

private:
    std::string destination_, temp_;
    HANDLE h_;
};

}  // namespace

Status OpenPendingFile(const std::string& destination, std::uint64_t total, std::unique_ptr<PendingFile>& out,
                       Leftovers leftovers) {
    if (Status replaceable = CheckReplaceable(destination); !replaceable.ok()) return replaceable;
    const std::string folder = ParentFolder(destination);
    if (leftovers == Leftovers::Clear) RemoveStaleCopies(folder);
    if (Status room = CheckRoom(folder, total); !room.ok()) return room;
    static std::atomic<unsigned> counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = folder + "\\.tavrel-" + std::to_string(::GetCurrentProcessId()) + "-" +
                           std::to_string(++counter) + ".part";
        const HANDLE h = ::CreateFileW(Wide(temp).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            out = std::make_unique<HiddenCopy>(destination, std::move(temp), h);
            return Status::Ok();
        }
        const DWORD err = ::GetLastError();
        // Another process's file by that name is none of ours to delete.
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) return Status::FromError(static_cast<int>(err));
    }
    return FailureStatus(Failure::FileExists);
}

std::optional<std::uint64_t> FreeSpace(const std::string& folder) {
    ULARGE_INTEGER available;  // this user's share: quotas count
    if (!::GetDiskFreeSpaceExW(Wide(folder).c_str(), &available, nullptr, nullptr)) return std::nullopt;
    return available.QuadPart;
}

Status EntryStatus(const std::string& path) {
    return Attributes(path) != INVALID_FILE_ATTRIBUTES ? Status::Ok() : LastError();
}

Status RenameExactNoReplace(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any existing target.
    if (!::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0)) return LastError();
    return Status::Ok();
}

Status RenameExactReplacing(const std::string& from, const std::string& to) {
    return MoveReplacing(from, to, MOVEFILE_REPLACE_EXISTING);
}

}  // namespace detail

Status VisitEntries(const std::string& folder, const std::function<void(const DirEntry&)>& visit) {
    WIN32_FIND_DATAW data;
    Handle find(::FindFirstFileExW(Wide(folder + "\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find.valid()) {
        const DWORD err = ::GetLastError();
        return err == ERROR_FILE_NOT_FOUND ? Status::Ok() : Status::FromError(static_cast<int>(err));
    }
    do {
        const std::string name = Utf8(data.cFileName);
        if (name == "." || name == "..") continue;
        DirEntry entry;
        entry.name = name;
        entry.folded = FoldCase(name);
        const DWORD a = data.dwFileAttributes;
        entry.isFolder = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.isFile = !entry.isFolder && (a & FILE_ATTRIBUTE_DEVICE) == 0;
        entry.isLink = (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.hidden = (a & FILE_ATTRIBUTE_HIDDEN) != 0;
        entry.system = (a & FILE_ATTRIBUTE_SYSTEM) != 0;
        visit(entry);
    } while (::FindNextFileW(find.get(), &data));
    const DWORD err = ::GetLastError();
    return err == ERROR_NO_MORE_FILES ? Status::Ok() : Status::FromError(static_cast<int>(err));
}

bool PathExists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsRegularFile(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool IsPlainFile(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES &&
           (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool IsFolder(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsLink(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::optional<std::string> RealPath(const std::string& path) {
    Handle h(OpenEntry(path, true));
    if (!h.valid()) return std::nullopt;
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFinalPathNameByHandleW(h.get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return std::nullopt;
        const bool fits = n < buffer.size();  // else n is the size needed, NUL included
        buffer.resize(n);
        if (fits) break;
    }
    // The answer comes as "\\?\C:\..." or "\\?\UNC\server\share\...".
    constexpr std::wstring_view kUnc = L"\\\\?\\UNC\\", kLong = L"\\\\?\\";
    if (buffer.starts_with(kUnc)) buffer.replace(0, kUnc.size(), L"\\\\");
    else if (buffer.starts_with(kLong)) buffer.erase(0, kLong.size());
    return Utf8(buffer.c_str());
}

std::optional<FileId> IdentifyFile(const std::string& path, bool followLinks) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!Identify(path, followLinks, info)) return std::nullopt;
    return IdOf(info);
}

std::optional<FileStamp> StampFile(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!Identify(path, true, info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
    const auto high = [](DWORD h, DWORD l) { return (static_cast<std::uint64_t>(h) << 32) | l; };
    return FileStamp{high(info.nFileSizeHigh, info.nFileSizeLow), IdOf(info),
                     static_cast<std::int64_t>(high(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime))};
}

std::optional<FileId> IdentifyFolder(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!Identify(path, true, info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::nullopt;
    return IdOf(info);
}

unsigned long CurrentProcessNumber() { return ::GetCurrentProcessId(); }

Status CreateNewFile(const std::string& path) {
    Handle h(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return h.valid() ? Status::Ok() : LastError();
}

Refusal RefusalOf(const Status& failure) {
    if (failure.ok()) return Refusal::None;
    if (failure.code() == ERROR_WRITE_PROTECT) return Refusal::ReadOnlyVolume;
    if (failure.code() == ERROR_ACCESS_DENIED) return Refusal::Denied;
    return Refusal::None;
}

std::string OwnerOf(const std::string&) { return {}; }
std::string MountPointOf(const std::string&) { return {}; }

Status RemoveFile(const std::string& path, bool evenIfReadOnly) {
    const DWORD a = Attributes(path);
    if (a == INVALID_FILE_ATTRIBUTES) return LastError();
    // A folder, or a link to one (a junction or folder symlink carries the
    // folder attribute itself), is not a file.
    if (a & FILE_ATTRIBUTE_DIRECTORY) return FailureStatus(Failure::IsAFolder);
    if (evenIfReadOnly && (a & FILE_ATTRIBUTE_READONLY) != 0 && (a & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        // The read-only attribute belongs to the file, not to this name: it
        // is taken away only for the delete, and put back when that fails.
        Handle entry(OpenEntry(path, false, FILE_WRITE_ATTRIBUTES));
        if (!entry.valid() || !SetHandleAttributes(entry.get(), a & ~FILE_ATTRIBUTE_READONLY)) return LastError();
        if (::DeleteFileW(Wide(path).c_str())) return Status::Ok();
        const Status failed = LastError();
        SetHandleAttributes(entry.get(), a);
        return failed;
    }
    // DeleteFileW removes a file link itself and refuses a read-only file.
    if (!::DeleteFileW(Wide(path).c_str())) return LastError();
    return Status::Ok();
}

Status WriteFileBytes(const std::string& path, std::string_view bytes) {
    Handle h(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr));
    if (!h.valid()) return LastError();
    for (std::size_t done = 0; done < bytes.size();) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        if (!::WriteFile(h.get(), bytes.data() + done, chunk, &written, nullptr)) return LastError();
        done += written;
    }
    return Status::Ok();
}

InputFile::~InputFile() {
    if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

Status InputFile::open(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info;
    if (Status kind = CheckCopySource(path, info); !kind.ok()) return error_ = kind;
    const HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return error_ = LastError();
    handle_ = reinterpret_cast<std::intptr_t>(h);
    if (::GetFileType(h) != FILE_TYPE_DISK) return error_ = FailureStatus(Failure::NotRegularFile);  // swapped
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(h, &size) || !::GetFileInformationByHandle(h, &info)) return error_ = LastError();
    size_ = static_cast<std::uint64_t>(size.QuadPart);
    id_ = IdOf(info);
    return error_ = Status::Ok();
}

std::int64_t InputFile::read(char* buffer, std::size_t size) {
    DWORD got = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, chunk, &got, nullptr)) {
        error_ = LastError();
        return -1;
    }
    return got;
}

std::int64_t InputFile::seek(std::int64_t offset, int whence) {
    LARGE_INTEGER move, at;
    move.QuadPart = offset;
    const DWORD method = whence == SEEK_SET ? FILE_BEGIN : whence == SEEK_CUR ? FILE_CURRENT : FILE_END;
    if (!::SetFilePointerEx(reinterpret_cast<HANDLE>(handle_), move, &at, method)) {
        error_ = LastError();
        return -1;
    }
    return at.QuadPart;
}

namespace detail {

Status CopyToPendingFile(const std::string& source, const std::string& destination, const CopyProgress& progress,
                         Leftovers leftovers, std::unique_ptr<PendingFile>& out) {
    InputFile in;
    if (Status opened = in.open(source); !opened.ok()) return opened;
    if (IdentifyFile(destination, true) == in.id()) return Status::Ok();  // already there
    // Our own steps rather than CopyFileEx: the progress and Cancel work the
    // same everywhere, Wine included.
    return WriteToPendingFile(destination, in.size(), [&](const ByteSink& sink) {
        std::vector<char> buffer(kCopyBuffer);
        for (;;) {
            const std::int64_t got = in.read(buffer.data(), buffer.size());
            if (got < 0) return in.error();
            if (got == 0) return Status::Ok();
            if (Status taken = sink({buffer.data(), static_cast<std::size_t>(got)}); !taken.ok()) return taken;
        }
    }, progress, leftovers, out);
}

}  // namespace detail

Status CheckReplaceable(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION dst;
    if (Identify(path, true, dst)) {
        if (dst.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FailureStatus(Failure::IsAFolder);
        // A read-only file is not replaced (Wine's MoveFileEx would do it).
        if (dst.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return Status::FromError(ERROR_ACCESS_DENIED);
    }
    return Status::Ok();
}

Status RemoveEmptyFolder(const std::string& path) {
    // RemoveDirectoryW takes a junction or folder link itself, never what it
    // leads to.
    return ::RemoveDirectoryW(Wide(path).c_str()) ? Status::Ok() : LastError();
}

Status HideEntry(const std::string& path) {
    const DWORD a = Attributes(path);
    if (a == INVALID_FILE_ATTRIBUTES) return LastError();
    return ::SetFileAttributesW(Wide(path).c_str(), a | FILE_ATTRIBUTE_HIDDEN) ? Status::Ok() : LastError();
}

HeldFile::~HeldFile() { ::CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

Status HeldFile::Hold(const std::string& path, std::unique_ptr<HeldFile>& out) {
    // Shared with nobody: while it is held, no other process opens it.
    const HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    out.reset(new HeldFile(reinterpret_cast<std::intptr_t>(h)));
    return Status::Ok();
}

bool HeldFile::IsHeld(const std::string& path) {
    Handle h(::CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return !h.valid() && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

FolderLock::~FolderLock() {
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));  // the note goes as it closes
    ::RemoveDirectoryW(Wide(folder_).c_str());          // only when nothing is left in it
}

Status FolderLock::Take(const std::string& folder, const std::string& noteName, const std::string& what,
                        std::unique_ptr<FolderLock>& out, bool& held, std::string& holder) {
    held = false;
    const std::wstring note = Wide(folder + "\\" + noteName);
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Shared for reading only, so that another process can read what the
        // holder does but not take the lock; gone with the last handle, also
        // when the process is killed.
        const HANDLE h = ::CreateFileW(note.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_PATH_NOT_FOUND) {
            if (::CreateDirectoryW(Wide(folder).c_str(), nullptr)) HideEntry(folder);
            continue;
        }
        if (h == INVALID_HANDLE_VALUE) {
            const Status failed = LastError();
            if (::GetLastError() != ERROR_SHARING_VIOLATION) return failed;
            held = true;
            Handle reader(::CreateFileW(note.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
            char text[512];
            DWORD n = 0;
            if (reader.valid() && ::ReadFile(reader.get(), text, sizeof text, &n, nullptr)) holder.assign(text, n);
            return failed;
        }
        DWORD written = 0;
        ::SetEndOfFile(h);
        if (!::WriteFile(h, what.data(), static_cast<DWORD>(what.size()), &written, nullptr)) {
            const Status failed = LastError();
            ::CloseHandle(h);
            return failed;
        }
        out.reset(new FolderLock(reinterpret_cast<std::intptr_t>(h), folder, noteName));
        return Status::Ok();
    }
    return FailureStatus(Failure::FileExists);
}

void RemoveStaleCopies(const std::string& folder) {
    std::vector<DirEntry> entries;
    ListEntries(folder, entries);
    for (const DirEntry& e : entries) {
        if (!IsCopyTemporaryName(e.name) || e.isFolder || e.isLink) continue;
        // Opened without sharing and with the right to delete: a running copy
        // holds its file without sharing, so the open fails and the file
        // stays. The delete goes through this very handle, so it takes only
        // the entry examined here, never a link or folder put in its place.
        Handle h(::CreateFileW(Wide(folder + "\\" + e.name).c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        BY_HANDLE_FILE_INFORMATION info;
        if (!h.valid() || ::GetFileType(h.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(h.get(), &info) ||
            (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
            continue;
        }
        FILE_DISPOSITION_INFO dispose{};
        dispose.DeleteFile = TRUE;
        ::SetFileInformationByHandle(h.get(), FileDispositionInfo, &dispose, sizeof dispose);
    }
}

std::vector<RunningProcess> RunningProcesses(const std::function<bool(std::string_view name)>& wanted) {
    std::vector<RunningProcess> out;
    Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) return out;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        if (!wanted(Utf8(entry.szExeFile))) continue;
        // Other users' and protected processes cannot be opened; they are
        // left out.
        Handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (!process.valid()) continue;
        std::wstring path(32768, L'\0');
        DWORD size = static_cast<DWORD>(path.size());
        if (!::QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) continue;
        path.resize(size);
        out.push_back({Utf8(path.c_str()), {}, {}, {}});
    }
    return out;
}

}  // namespace tavrel
