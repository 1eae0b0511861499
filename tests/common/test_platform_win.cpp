// The tests' system helpers on Windows: the Win32 API directly, so that the
// helpers never lean on the platform layer they help to test.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "support/status.h"
#include "support/wide_text_win.h"
#include "test_platform.h"

namespace tavrel::test {
namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": error " + std::to_string(::GetLastError()));
}

void ChangeAttributes(const std::string& path, DWORD add, DWORD remove) {
    const std::wstring wide = Wide(path);
    const DWORD a = ::GetFileAttributesW(wide.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) Fail("GetFileAttributesW " + path);
    DWORD changed = (a | add) & ~remove;
    changed &= ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
    if (!::SetFileAttributesW(wide.c_str(), changed ? changed : FILE_ATTRIBUTE_NORMAL)) {
        Fail("SetFileAttributesW " + path);
    }
}

void RemoveTreeWide(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return;
    if (a & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(path.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
    if ((a & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::DeleteFileW(path.c_str());
        return;
    }
    // A link to a folder (or junction) goes as a name; its target stays.
    if ((a & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        WIN32_FIND_DATAW data;
        const HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name != L"." && name != L"..") RemoveTreeWide(path + L"\\" + name);
            } while (::FindNextFileW(find, &data));
            ::FindClose(find);
        }
    }
    ::RemoveDirectoryW(path.c_str());
}

}  // namespace

bool OnWindows() { return true; }

char NativeSeparator() { return '\\'; }

std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string HostPath(const std::string& linuxPath) { return "Z:" + Native(linuxPath); }

std::vector<std::string> NativePaths(std::vector<std::string> paths) {
    for (std::string& p : paths) p = Native(std::move(p));
    return paths;
}

std::string MakeTempFolder() {
    // GetTempPathW may answer short (8.3) names; the program sees long ones.
    std::wstring temp(MAX_PATH + 1, L'\0');
    DWORD n = ::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    if (n == 0 || n > temp.size()) Fail("GetTempPathW");
    temp.resize(n);
    std::wstring longName(32768, L'\0');
    n = ::GetLongPathNameW(temp.c_str(), longName.data(), static_cast<DWORD>(longName.size()));
    if (n > 0 && n < longName.size()) {
        longName.resize(n);
        temp = longName;
    }
    while (!temp.empty() && temp.back() == L'\\') temp.pop_back();

    static std::atomic<unsigned> counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::wstring folder = temp + L"\\tavrel-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(++counter);
        if (::CreateDirectoryW(folder.c_str(), nullptr)) return Utf8(folder);
        if (::GetLastError() != ERROR_ALREADY_EXISTS) Fail("CreateDirectoryW");
    }
    throw std::runtime_error("no free name for a temporary folder");
}

void RemoveTree(const std::string& path) { RemoveTreeWide(Wide(path)); }

void MakeReadOnly(const std::string& path) { ChangeAttributes(path, FILE_ATTRIBUTE_READONLY, 0); }

void MakeWritable(const std::string& path) { ChangeAttributes(path, 0, FILE_ATTRIBUTE_READONLY); }

void MakeHidden(const std::string& path) { ChangeAttributes(path, FILE_ATTRIBUTE_HIDDEN, 0); }

std::string MakeSymlink(const std::string& target, const std::string& link) {
    const std::wstring wideTarget = Wide(Native(target));
    const std::wstring wideLink = Wide(link);
    // A link to a folder must say so when it is made.
    const bool absolute = wideTarget.size() > 1 && (wideTarget[1] == L':' || wideTarget[0] == L'\\');
    const std::wstring linkFolder = wideLink.substr(0, wideLink.rfind(L'\\'));
    const DWORD targetAttributes =
        ::GetFileAttributesW((absolute ? wideTarget : linkFolder + L"\\" + wideTarget).c_str());
    DWORD flags = targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_DIRECTORY)
                      ? SYMBOLIC_LINK_FLAG_DIRECTORY
                      : 0;
    // Without administrator rights only Developer Mode allows links, and only
    // when asked with this flag, which older Windows refuses.
    constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    BOOLEAN made = ::CreateSymbolicLinkW(wideLink.c_str(), wideTarget.c_str(), flags | kUnprivileged);
    if (!made && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        made = ::CreateSymbolicLinkW(wideLink.c_str(), wideTarget.c_str(), flags);
    }
    if (!made) {
        return "CreateSymbolicLinkW failed (" + ErrorText(static_cast<int>(::GetLastError())) +
               "): links need administrator rights or Developer Mode";
    }
    // Wine answers success without making anything.
    const DWORD a = ::GetFileAttributesW(wideLink.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return "CreateSymbolicLinkW answered success but made no link (Wine does not make symbolic links)";
    }
    return {};
}

bool RunningAsRoot() { return false; }

void SetPosixMode(const std::string& path, unsigned) {
    throw std::logic_error("Windows has no POSIX modes to set on " + path);
}

std::string ReasonText(Reason reason) {
    switch (reason) {
        case Reason::NoSuchFile: return ErrorText(ERROR_FILE_NOT_FOUND);
        case Reason::NoSuchFolder: return ErrorText(ERROR_PATH_NOT_FOUND);
        case Reason::FileExists: return ErrorText(ERROR_ALREADY_EXISTS);
        case Reason::AccessDenied: return ErrorText(ERROR_ACCESS_DENIED);
        case Reason::Cancelled: return ErrorText(ERROR_CANCELLED);
        // CreateFile on a folder: the kernel's "is a directory" reaches
        // programs as access denied.
        case Reason::WriteAFolder: return ErrorText(ERROR_ACCESS_DENIED);
        case Reason::DiskFull: return ErrorText(ERROR_DISK_FULL);
    }
    throw std::logic_error("unknown reason");
}

}  // namespace tavrel::test
