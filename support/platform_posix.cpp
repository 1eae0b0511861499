// POSIX (Linux) implementation of the platform layer.
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr char kSep = '/';

std::string FolderOf(const std::string& path) {
    const auto pos = path.rfind(kSep);
    if (pos == std::string::npos) return ".";
    return pos == 0 ? std::string(1, kSep) : path.substr(0, pos);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa{}, sb{};
    return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Closes a descriptor on every way out.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { if (fd_ >= 0) ::close(fd_); }
    int get() const { return fd_; }
    int release() { const int fd = fd_; fd_ = -1; return fd; }
private:
    int fd_;
};

// Moves a file when the file system refuses RENAME_NOREPLACE: a hard link
// fails by itself when the target exists; where hard links are not
// supported either, look before renaming.
Status RenameFallback(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) != 0) {
            const int err = errno;
            ::unlink(to.c_str());  // the source still holds the bytes
            return Status::FromError(err);
        }
        return Status::Ok();
    }
    const int linkErr = errno;
    if (linkErr != EPERM && linkErr != EOPNOTSUPP && linkErr != ENOSYS && linkErr != EMLINK) {
        return Status::FromError(linkErr);
    }
    struct stat st{};
    if (::lstat(to.c_str(), &st) == 0) return Status::FromError(EEXIST);
    if (errno != ENOENT) return Status::FromError(errno);
    if (::rename(from.c_str(), to.c_str()) != 0) return Status::FromError(errno);
    return Status::Ok();
}

// Copies the bytes of `in` to `out`: a reflink where the file system has
// one, else copy_file_range in steps, else plain reads and writes.
Status CopyBytes(int in, int out, std::uint64_t total, const CopyProgress& progress) {
    if (progress && !progress(0, total)) return Status::FromError(ECANCELED);
    if (::ioctl(out, FICLONE, in) == 0) {
        if (progress && !progress(total, total)) return Status::FromError(ECANCELED);
        return Status::Ok();
    }
    constexpr std::size_t kStep = 8u << 20;
    std::uint64_t done = 0;
    bool kernelCopy = true;
    std::vector<char> buffer;
    for (;;) {
        ssize_t n = -1;
        if (kernelCopy) {
            n = ::copy_file_range(in, nullptr, out, nullptr, kStep, 0);
            if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                          errno == EOPNOTSUPP || errno == EBADF)) {
                kernelCopy = false;  // both offsets stay where they were
                buffer.resize(1u << 20);
                continue;
            }
        } else {
            n = ::read(in, buffer.data(), buffer.size());
            for (ssize_t off = 0; n > 0 && off < n;) {
                const ssize_t w = ::write(out, buffer.data() + off, static_cast<std::size_t>(n - off));
                if (w < 0) {
                    if (errno == EINTR) continue;
                    return Status::FromError(errno);
                }
                off += w;
            }
        }
        if (n < 0) {
            if (errno == EINTR) continue;
            return Status::FromError(errno);
        }
        if (n == 0) break;
        done += static_cast<std::uint64_t>(n);
        if (progress && !progress(std::min(done, total), total)) return Status::FromError(ECANCELED);
    }
    return Status::Ok();
}

bool IsHiddenName(std::string_view name) { return !name.empty() && name.front() == '.'; }

}  // namespace

std::string ErrorText(int code) { return std::generic_category().message(code); }

Status Status::FromError(int code) { return Status::Error(ErrorText(code)); }

Status ListEntries(const std::string& folder, std::vector<DirEntry>& out) {
    out.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return Status::FromError(errno);
    errno = 0;
    while (const dirent* d = ::readdir(dir)) {
        const std::string_view name = d->d_name;
        if (name == "." || name == "..") continue;
        DirEntry entry;
        entry.name = name;
        entry.folded = FoldCase(name);
        entry.hidden = IsHiddenName(name);
        if (d->d_type == DT_REG || d->d_type == DT_DIR) {  // no stat needed
            entry.isFile = d->d_type == DT_REG;
            entry.isFolder = d->d_type == DT_DIR;
        } else {
            // A link counts as what it leads to; a dangling one as itself.
            struct stat st{};
            entry.isLink = d->d_type == DT_LNK;
            if (::fstatat(::dirfd(dir), d->d_name, &st, 0) == 0 ||
                ::fstatat(::dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                entry.isFolder = S_ISDIR(st.st_mode);
                entry.isFile = S_ISREG(st.st_mode);
                entry.isLink = entry.isLink || S_ISLNK(st.st_mode);
            } else {
                entry.attributesRead = false;
            }
        }
        out.push_back(std::move(entry));
        errno = 0;
    }
    const int err = errno;
    ::closedir(dir);
    std::sort(out.begin(), out.end(), [](const DirEntry& a, const DirEntry& b) {
        return NameLessFolded(a.folded, a.name, b.folded, b.name);
    });
    return err ? Status::FromError(err) : Status::Ok();
}

std::optional<FolderId> IdentifyFolder(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    return FolderId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool IsWritableFolder(const std::string& path) { return ::access(path.c_str(), W_OK | X_OK) == 0; }

bool PathExists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsPlainFile(const std::string& path) {
    return IsRegularFile(path) && !IsHiddenName(FileGetName(path, kSep));
}

bool IsRegularFile(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFolder(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void ClearReadOnly(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) {
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
    }
}

Status RenameNoReplace(const std::string& from, const std::string& to) {
    struct stat st{};
    if (::lstat(from.c_str(), &st) != 0) return Status::FromError(errno);  // a missing source comes first
    // The target must not exist in any letter case; the source itself may
    // match when only its case changes.
    const std::string toFolder = FolderOf(to);
    const std::string toName = FileGetName(to, kSep);
    std::vector<DirEntry> entries;
    ListEntries(toFolder, entries);
    for (const DirEntry& e : entries) {
        if (EqualsNoCase(e.name, toName) && !SameFile(toFolder + kSep + e.name, from)) {
            return Status::FromError(EEXIST);
        }
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return Status::Ok();
    }
    const int err = errno;
    if (err == EINVAL || err == ENOSYS || err == EOPNOTSUPP) return RenameFallback(from, to);
    return Status::FromError(err);
}

Status RemoveFile(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) {
        if (::lstat(path.c_str(), &st) != 0) return Status::FromError(errno);
    } else if (S_ISDIR(st.st_mode)) {
        return Status::FromError(EISDIR);
    } else if ((st.st_mode & S_IWUSR) == 0) {
        return Status::FromError(EACCES);
    }
    if (::unlink(path.c_str()) != 0) return Status::FromError(errno);
    return Status::Ok();
}

Status WriteFileBytes(const std::string& path, std::string_view bytes) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) return Status::FromError(errno);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Status::FromError(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd.release()) != 0) return Status::FromError(errno);
    return Status::Ok();
}

Status CopyFileSafely(const std::string& source, const std::string& destination,
                      const CopyProgress& progress) {
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) return Status::FromError(errno);
    struct stat src{};
    if (::fstat(in.get(), &src) != 0) return Status::FromError(errno);
    if (S_ISDIR(src.st_mode)) return Status::FromError(EISDIR);
    if (!S_ISREG(src.st_mode)) return Status::FromError(EINVAL);
    struct stat dst{};
    if (::stat(destination.c_str(), &dst) == 0) {
        if (dst.st_dev == src.st_dev && dst.st_ino == src.st_ino) return Status::Ok();  // already there
        if (S_ISDIR(dst.st_mode)) return Status::FromError(EISDIR);
    }

    const std::string folder = FolderOf(destination);
    static unsigned counter = 0;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + kSep + ".tavrel-" + std::to_string(::getpid()) + "-" +
               std::to_string(++counter) + ".part";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return Status::FromError(errno);
    }
    if (fd < 0) return Status::FromError(EEXIST);
    Fd out(fd);

    Status status = CopyBytes(in.get(), out.get(), static_cast<std::uint64_t>(src.st_size), progress);
    if (status.ok() && ::fsync(out.get()) != 0) status = Status::FromError(errno);
    if (status.ok() && ::close(out.release()) != 0) status = Status::FromError(errno);
    if (status.ok() && ::rename(temp.c_str(), destination.c_str()) != 0) status = Status::FromError(errno);
    if (!status.ok()) ::unlink(temp.c_str());
    return status;
}

}  // namespace tavrel
