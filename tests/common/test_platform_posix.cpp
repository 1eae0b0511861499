// The tests' system helpers on Linux.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "test_platform.h"

namespace fs = std::filesystem;

namespace tavrel::test {

bool OnWindows() { return false; }

char NativeSeparator() { return '/'; }

std::string Native(std::string path) { return path; }

std::vector<std::string> NativePaths(std::vector<std::string> paths) { return paths; }

std::string HostPath(const std::string& linuxPath) { return linuxPath; }

std::string MakeTempFolder() {
    std::string pattern = (fs::temp_directory_path() / "tavrel-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error(std::string("mkdtemp: ") + std::strerror(errno));
    return pattern;
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    // Read-only folders must not keep their entries alive; links are not
    // followed, so nothing outside gets a mode it did not have.
    for (auto it = fs::recursive_directory_iterator(path, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow, ec);
    }
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow, ec);
    fs::remove_all(path, ec);
}

void MakeReadOnly(const std::string& path) {
    if (::chmod(path.c_str(), 0444) != 0) throw std::runtime_error("chmod " + path + ": " + std::strerror(errno));
}

void MakeWritable(const std::string& path) {
    if (::chmod(path.c_str(), 0644) != 0) throw std::runtime_error("chmod " + path + ": " + std::strerror(errno));
}

void MakeHidden(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    if (name.empty() || name.front() != '.') throw std::logic_error(path + " is not hidden on Linux: no leading dot");
}

std::string MakeSymlink(const std::string& target, const std::string& link) {
    if (::symlink(target.c_str(), link.c_str()) != 0) return std::string("symlink: ") + std::strerror(errno);
    return {};
}

bool RunningAsRoot() { return ::geteuid() == 0; }

void SetPosixMode(const std::string& path, unsigned mode) {
    if (::chmod(path.c_str(), mode) != 0) throw std::runtime_error("chmod " + path + ": " + std::strerror(errno));
}

std::string ReasonText(Reason reason) {
    switch (reason) {
        case Reason::NoSuchFile:
        case Reason::NoSuchFolder: return "No such file or directory";
        case Reason::FileExists: return "File exists";
        case Reason::AccessDenied: return "Permission denied";
        case Reason::Cancelled: return "Operation canceled";
        case Reason::WriteAFolder: return "Is a directory";
        case Reason::DiskFull: return "No space left on device";
    }
    throw std::logic_error("unknown reason");
}

}  // namespace tavrel::test
