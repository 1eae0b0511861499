// Windows implementation of the platform layer. Paths are UTF-8 in the
// program and UTF-16 towards the system.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <vector>

#include "support/platform.h"
#include "support/text.h"

namespace tavrel {
namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Utf8(const wchar_t* wide) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    out.pop_back();  // the terminating NUL
    return out;
}

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

bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    Handle h(::CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return h.valid() && ::GetFileInformationByHandle(h.get(), &info);
}

std::string FolderOf(const std::string& path) {
    const auto pos = path.find_last_of("\\/");
    return pos == std::string::npos ? "." : path.substr(0, pos);
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

Status Status::FromError(int code) { return Status::Error(ErrorText(code)); }

Status ListEntries(const std::string& folder, std::vector<DirEntry>& out) {
    out.clear();
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
        out.push_back(std::move(entry));
    } while (::FindNextFileW(find.get(), &data));
    const DWORD err = ::GetLastError();
    std::sort(out.begin(), out.end(), [](const DirEntry& a, const DirEntry& b) {
        return NameLessFolded(a.folded, a.name, b.folded, b.name);
    });
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

std::optional<FolderId> IdentifyFolder(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!Identify(path, info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::nullopt;
    return FolderId{info.dwVolumeSerialNumber,
                    (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool IsWritableFolder(const std::string& path) {
    const std::string probe = path + "\\.tavrel-probe-" + std::to_string(::GetCurrentProcessId()) + ".tmp";
    Handle h(::CreateFileW(Wide(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return h.valid();
}

Status RenameNoReplace(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any existing
    // target; the file system itself ignores letter case.
    if (!::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0)) return LastError();
    return Status::Ok();
}

Status RemoveFile(const std::string& path) {
    if (!::DeleteFileW(Wide(path).c_str())) return LastError();
    return Status::Ok();
}

void ClearReadOnly(const std::string& path) { ::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL); }

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

Status CopyFileSafely(const std::string& source, const std::string& destination, const CopyProgress& progress) {
    BY_HANDLE_FILE_INFORMATION src, dst;
    if (!Identify(source, src)) return LastError();
    if (src.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Status::FromError(ERROR_DIRECTORY);
    if (Identify(destination, dst) && dst.dwVolumeSerialNumber == src.dwVolumeSerialNumber &&
        dst.nFileIndexHigh == src.nFileIndexHigh && dst.nFileIndexLow == src.nFileIndexLow) {
        return Status::Ok();  // already there
    }

    Handle in(::CreateFileW(Wide(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!in.valid() || !::GetFileSizeEx(in.get(), &size)) return LastError();
    const auto total = static_cast<std::uint64_t>(size.QuadPart);

    static unsigned counter = 0;
    const std::string temp = FolderOf(destination) + "\\.tavrel-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(++counter) + ".part";
    const std::wstring wideTemp = Wide(temp);
    Status status = Status::Ok();
    {
        Handle out(::CreateFileW(wideTemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
        if (!out.valid()) return LastError();
        // Our own steps rather than CopyFileEx: the progress and Cancel work
        // the same everywhere, Wine included.
        std::vector<char> buffer(8u << 20);
        std::uint64_t done = 0;
        if (progress && !progress(0, total)) status = Status::FromError(ERROR_CANCELLED);
        while (status.ok()) {
            DWORD got = 0;
            if (!::ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
                status = LastError();
                break;
            }
            if (got == 0) break;
            for (DWORD off = 0; off < got && status.ok();) {
                DWORD written = 0;
                if (!::WriteFile(out.get(), buffer.data() + off, got - off, &written, nullptr)) status = LastError();
                off += written;
            }
            done += got;
            if (status.ok() && progress && !progress(std::min(done, total), total)) {
                status = Status::FromError(ERROR_CANCELLED);
            }
        }
        if (status.ok() && !::FlushFileBuffers(out.get())) status = LastError();
    }
    if (status.ok() && !::MoveFileExW(wideTemp.c_str(), Wide(destination).c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        status = LastError();
    }
    if (!status.ok()) ::DeleteFileW(wideTemp.c_str());
    return status;
}

}  // namespace tavrel
