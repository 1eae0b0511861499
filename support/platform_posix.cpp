// POSIX (Linux) implementation of the platform layer.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "support/path_rules.h"
#include "support/platform.h"
#include "support/platform_detail.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr char kSep = '/';
constexpr std::size_t kKernelCopyStep = 8u << 20;  // bytes the kernel copies between progress reports
constexpr std::size_t kCopyBuffer = 1u << 20;      // bytes a plain copy reads at a time

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

// The bytes this user may still write on a volume: root may use the blocks
// kept back for it.
std::uint64_t Room(const struct statvfs& v) {
    return static_cast<std::uint64_t>(::geteuid() == 0 ? v.f_bfree : v.f_bavail) * v.f_frsize;
}

// Why writing `left` more bytes to `out` failed with `error`. A full FAT
// volume answers "Operation not permitted" through FUSE; when the volume is
// indeed full, the user reads that it is.
Status WriteFailure(int out, int error, std::uint64_t left) {
    struct statvfs v{};
    if (error == EPERM && ::fstatvfs(out, &v) == 0 && Room(v) < left) return FailureStatus(Failure::NoSpace);
    return Status::FromError(error);
}

// Copies the bytes of `in` to `out`: a reflink where the file system has
// one, else copy_file_range in steps, else plain reads and writes.
Status CopyBytes(int in, int out, std::uint64_t total, const CopyProgress& progress) {
    if (progress && !progress(0, total)) return Status::FromError(ECANCELED);
    if (::ioctl(out, FICLONE, in) == 0) {
        if (progress && !progress(total, total)) return Status::FromError(ECANCELED);
        return Status::Ok();
    }

    std::uint64_t done = 0;
    bool kernelCopy = true;
    std::vector<char> buffer;
    for (;;) {
        ssize_t n = -1;
        if (kernelCopy) {
            n = ::copy_file_range(in, nullptr, out, nullptr, kKernelCopyStep, 0);
            if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                          errno == EOPNOTSUPP || errno == EBADF)) {
                kernelCopy = false;  // both offsets stay where they were
                buffer.resize(kCopyBuffer);
                continue;
            }
        } else {
            n = ::read(in, buffer.data(), buffer.size());
            for (ssize_t off = 0; n > 0 && off < n;) {
                const ssize_t w = ::write(out, buffer.data() + off, static_cast<std::size_t>(n - off));
                if (w < 0) {
                    if (errno == EINTR) continue;
                    return WriteFailure(out, errno, total - std::min(total, done + static_cast<std::uint64_t>(off)));
                }
                off += w;
            }
        }
        if (n < 0) {
            if (errno == EINTR) continue;
            return kernelCopy ? WriteFailure(out, errno, total - std::min(total, done)) : Status::FromError(errno);
        }
        if (n == 0) break;
        done += static_cast<std::uint64_t>(n);
        if (progress && !progress(std::min(done, total), total)) return Status::FromError(ECANCELED);
    }
    return Status::Ok();
}

bool IsHiddenName(std::string_view name) { return !name.empty() && name.front() == '.'; }

FileId IdOf(const struct stat& st) {
    return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// Where a copy's bytes go before they take the destination's name: a file
// without a name where the file system allows (O_TMPFILE), else a hidden
// named one. Either is locked while the copy runs, so that RemoveStaleCopies
// can tell a running copy from one that was killed.
class TemporaryFile : public detail::PendingFile {
public:
    TemporaryFile(std::string destination, std::uint64_t total)
        : destination_(std::move(destination)), folder_(ParentFolder(destination_)), total_(total) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() override {
        if (fd_ >= 0) ::close(fd_);
        if (!name_.empty()) ::unlink(name_.c_str());
    }

    Status open() {
        // The file is named at the end through /proc, which a chroot may lack.
        static const bool canName = ::access("/proc/self/fd", X_OK) == 0;
        if (canName) fd_ = ::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_EX | LOCK_NB);
            return Status::Ok();
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = NextName();
            fd_ = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) {
                name_ = std::move(name);
                ::flock(fd_, LOCK_EX | LOCK_NB);
                return Status::Ok();
            }
            if (errno != EEXIST) return Status::FromError(errno);
        }
        return Status::FromError(EEXIST);
    }

    int fd() const { return fd_; }

    Status write(std::string_view bytes) override {
        for (std::size_t off = 0; off < bytes.size();) {
            const ssize_t n = ::write(fd_, bytes.data() + off, bytes.size() - off);
            if (n < 0) {
                if (errno == EINTR) continue;
                return WriteFailure(fd_, errno, total_ - std::min(total_, written_));
            }
            off += static_cast<std::size_t>(n);
            written_ += static_cast<std::uint64_t>(n);
        }
        return Status::Ok();
    }

    std::int64_t readAt(std::uint64_t offset, char* buffer, std::size_t size, Status& failed) override {
        for (;;) {
            const ssize_t n = ::pread(fd_, buffer, size, static_cast<off_t>(offset));
            if (n >= 0) return n;
            if (errno == EINTR) continue;
            failed = Status::FromError(errno);
            return -1;
        }
    }

    void startFlush() override {
        // Only a hint: where the file system has no such call, flush() does
        // all the work.
        ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
    }

    Status flush() override { return ::fsync(fd_) == 0 ? Status::Ok() : Status::FromError(errno); }

    Status name() override {
        if (name_.empty()) {
            // Named only now, still locked, and only for the moment before
            // the rename.
            const std::string self = "/proc/self/fd/" + std::to_string(fd_);
            for (int attempt = 0; attempt < 100 && name_.empty(); ++attempt) {
                std::string name = NextName();
                if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                    name_ = std::move(name);
                } else if (errno != EEXIST) {
                    return Status::FromError(errno);
                }
            }
            if (name_.empty()) return Status::FromError(EEXIST);
        }
        if (::rename(name_.c_str(), destination_.c_str()) != 0) return Status::FromError(errno);
        name_.clear();
        if (::close(fd_) != 0) {
            fd_ = -1;
            return Status::FromError(errno);
        }
        fd_ = -1;
        return Status::Ok();
    }

private:
    std::string NextName() const {
        static unsigned counter = 0;
        return folder_ + kSep + ".tavrel-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".part";
    }

    std::string destination_, folder_;
    std::uint64_t total_, written_ = 0;
    std::string name_;  // empty while the file has no name
    int fd_ = -1;
};

Status OpenTemporary(const std::string& destination, std::uint64_t total, std::unique_ptr<TemporaryFile>& out,
                     Leftovers leftovers) {
    if (Status replaceable = CheckReplaceable(destination); !replaceable.ok()) return replaceable;
    const std::string folder = ParentFolder(destination);
    if (leftovers == Leftovers::Clear) RemoveStaleCopies(folder);
    if (Status room = detail::CheckRoom(folder, total); !room.ok()) return room;
    auto file = std::make_unique<TemporaryFile>(destination, total);
    if (Status opened = file->open(); !opened.ok()) return opened;
    out = std::move(file);
    return Status::Ok();
}

std::string ReadLink(const std::string& path) {
    std::string buffer(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) == buffer.size()) return {};  // none, or cut short
    buffer.resize(static_cast<std::size_t>(n));
    return buffer;
}

// The bytes of a small file under /proc, split at the NULs. The process may
// end while it is read, and the read then fails (ESRCH): what was read is
// all there is. (An ifstream read through istreambuf_iterator throws then,
// out of the scan that asked whether the game runs.)
std::vector<std::string> ReadNulSeparated(const std::string& path) {
    std::string bytes;
    const Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    char chunk[4096];
    while (fd.get() >= 0 && bytes.size() < (4u << 20)) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    std::vector<std::string> out;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\0', start);
        if (end == std::string::npos) end = bytes.size();
        out.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

}  // namespace

std::string ErrorText(int code) { return std::generic_category().message(code); }

Status Status::FromError(int code) { return Status(ErrorText(code), true, code); }

Status FailureStatus(Failure failure) {
    switch (failure) {
        case Failure::FileExists: return Status::FromError(EEXIST);
        case Failure::NoSuchFile: return Status::FromError(ENOENT);
        case Failure::IsAFolder: return Status::FromError(EISDIR);
        case Failure::NoSpace: return Status::FromError(ENOSPC);
        case Failure::Cancelled: return Status::FromError(ECANCELED);
        case Failure::NotRegularFile: break;
    }
    return Status::FromError(EOPNOTSUPP);
}

namespace detail {

Status OpenPendingFile(const std::string& destination, std::uint64_t total, std::unique_ptr<PendingFile>& out,
                       Leftovers leftovers) {
    std::unique_ptr<TemporaryFile> file;
    if (Status opened = OpenTemporary(destination, total, file, leftovers); !opened.ok()) return opened;
    out = std::move(file);
    return Status::Ok();
}

std::optional<std::uint64_t> FreeSpace(const std::string& folder) {
    struct statvfs v{};
    if (::statvfs(folder.c_str(), &v) != 0) return std::nullopt;
    return Room(v);
}

Status EntryStatus(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0 ? Status::Ok() : Status::FromError(errno);
}

Status RenameExactNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return Status::Ok();
    const int err = errno;
    if (err == EINVAL || err == ENOSYS || err == EOPNOTSUPP) return RenameFallback(from, to);
    return Status::FromError(err);
}

Status RenameExactReplacing(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? Status::Ok() : Status::FromError(errno);
}

}  // namespace detail

Status VisitEntries(const std::string& folder, const std::function<void(const DirEntry&)>& visit) {
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
            // The entry itself first, since some file systems do not say
            // what it is; a link then counts as what it leads to, a
            // dangling one as itself.
            struct stat st{};
            if (::fstatat(::dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                entry.attributesRead = false;
            } else {
                entry.isLink = S_ISLNK(st.st_mode);
                if (entry.isLink && ::fstatat(::dirfd(dir), d->d_name, &st, 0) != 0) st.st_mode = S_IFLNK;
                entry.isFolder = S_ISDIR(st.st_mode);
                entry.isFile = S_ISREG(st.st_mode);
            }
        }
        visit(entry);
        errno = 0;
    }
    const int err = errno;
    ::closedir(dir);
    return err ? Status::FromError(err) : Status::Ok();
}

std::optional<FileId> IdentifyFile(const std::string& path, bool followLinks) {
    struct stat st{};
    if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return std::nullopt;
    return IdOf(st);
}

std::optional<FileStamp> StampFile(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(st.st_size), IdOf(st),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::optional<FileId> IdentifyFolder(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    return IdOf(st);
}

std::optional<std::string> RealPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return std::nullopt;
    std::string out = real;
    std::free(real);
    return out;
}

unsigned long CurrentProcessNumber() { return static_cast<unsigned long>(::getpid()); }

Status CreateNewFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return Status::FromError(errno);
    ::close(fd);
    return Status::Ok();
}

Refusal RefusalOf(const Status& failure) {
    if (failure.ok()) return Refusal::None;
    if (failure.code() == EROFS) return Refusal::ReadOnlyVolume;
    // EPERM: a folder whose sticky bit keeps others' files, or a volume
    // whose owner is fixed at mount time.
    if (failure.code() == EACCES || failure.code() == EPERM) return Refusal::Denied;
    return Refusal::None;
}

std::string OwnerOf(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return {};
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(st.st_uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name) {
        return found->pw_name;
    }
    return std::to_string(st.st_uid);
}

std::string MountPointOf(const std::string& path) {
    // The longest mount point above it in the system's table of this
    // process's mounts, which knows bind mounts too (they keep the device
    // of what they show). Its spaces and the like come escaped: "\040".
    std::error_code ec;
    const std::string at = std::filesystem::canonical(path, ec).string();
    std::ifstream table("/proc/self/mountinfo");
    if (ec || !table) return {};
    std::string line, found;
    while (std::getline(table, line)) {
        std::size_t start = 0;
        for (int field = 0; field < 4 && start != std::string::npos; ++field) start = line.find(' ', start + 1);
        if (start == std::string::npos) continue;
        const std::size_t end = line.find(' ', start + 1);
        const std::string escaped = line.substr(start + 1, end == std::string::npos ? end : end - start - 1);
        std::string point;
        for (std::size_t i = 0; i < escaped.size(); ++i) {
            if (escaped[i] == '\\' && i + 3 < escaped.size()) {
                point += static_cast<char>(std::stoi(escaped.substr(i + 1, 3), nullptr, 8));
                i += 3;
            } else {
                point += escaped[i];
            }
        }
        const bool above = at == point || point == "/" || at.starts_with(point + "/");
        if (above && point.size() >= found.size()) found = point;
    }
    return found;
}

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

bool IsLink(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

Status RemoveFile(const std::string& path, bool evenIfReadOnly) {
    // Removing a name needs no right to the file itself; the read-only
    // refusal is Windows' rule, kept for the same behaviour everywhere. So
    // the file's mode is never changed, which would change it for every
    // other name of the file too.
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0) return Status::FromError(errno);
    if (S_ISDIR(st.st_mode)) return Status::FromError(EISDIR);
    if (!evenIfReadOnly && S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0) return Status::FromError(EACCES);
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

InputFile::~InputFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

Status InputFile::open(const std::string& path) {
    // The kind of file is checked before it is opened: opening a pipe or a
    // device to read may wait for ever.
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return error_ = Status::FromError(errno);
    if (S_ISDIR(st.st_mode)) return error_ = FailureStatus(Failure::IsAFolder);
    if (!S_ISREG(st.st_mode)) return error_ = FailureStatus(Failure::NotRegularFile);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return error_ = Status::FromError(errno);
    handle_ = fd;
    if (::fstat(fd, &st) != 0) return error_ = Status::FromError(errno);
    if (!S_ISREG(st.st_mode)) return error_ = FailureStatus(Failure::NotRegularFile);  // swapped meanwhile
    size_ = static_cast<std::uint64_t>(st.st_size);
    id_ = IdOf(st);
    return error_ = Status::Ok();
}

std::int64_t InputFile::read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        error_ = Status::FromError(errno);
        return -1;
    }
}

std::int64_t InputFile::seek(std::int64_t offset, int whence) {
    const off_t at = ::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whence);
    if (at < 0) error_ = Status::FromError(errno);
    return at;
}

namespace detail {

Status CopyToPendingFile(const std::string& source, const std::string& destination, const CopyProgress& progress,
                         Leftovers leftovers, std::unique_ptr<PendingFile>& out) {
    InputFile in;
    if (Status opened = in.open(source); !opened.ok()) return opened;
    if (IdentifyFile(destination, true) == in.id()) return Status::Ok();  // already there
    std::unique_ptr<TemporaryFile> temp;
    if (Status opened = OpenTemporary(destination, in.size(), temp, leftovers); !opened.ok()) return opened;
    if (Status copied = CopyBytes(static_cast<int>(in.native()), temp->fd(), in.size(), progress); !copied.ok()) {
        return copied;
    }
    out = std::move(temp);
    return Status::Ok();
}

}  // namespace detail

Status CheckReplaceable(const std::string& path) {
    struct stat dst{};
    if (::stat(path.c_str(), &dst) == 0) {
        if (S_ISDIR(dst.st_mode)) return FailureStatus(Failure::IsAFolder);
        // A read-only file is not replaced, as on Windows.
        if (S_ISREG(dst.st_mode) && (dst.st_mode & S_IWUSR) == 0) return Status::FromError(EACCES);
    }
    return Status::Ok();
}

Status RemoveEmptyFolder(const std::string& path) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        return ::unlink(path.c_str()) == 0 ? Status::Ok() : Status::FromError(errno);
    }
    return ::rmdir(path.c_str()) == 0 ? Status::Ok() : Status::FromError(errno);
}

Status HideEntry(const std::string&) { return Status::Ok(); }

HeldFile::~HeldFile() { ::close(static_cast<int>(handle_)); }

Status HeldFile::Hold(const std::string& path, std::unique_ptr<HeldFile>& out) {
    Fd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    if (fd.get() < 0) return Status::FromError(errno);
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return Status::FromError(errno);
    out.reset(new HeldFile(fd.release()));
    return Status::Ok();
}

bool HeldFile::IsHeld(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    return fd.get() >= 0 && ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

FolderLock::~FolderLock() {
    // Still holding the lock: whoever opened the folder meanwhile finds it
    // gone once it has the lock, and makes it again.
    ::unlink(note_.c_str());
    ::rmdir(folder_.c_str());
    ::close(static_cast<int>(handle_));
}

Status FolderLock::Take(const std::string& folder, const std::string& noteName, const std::string& what,
                        std::unique_ptr<FolderLock>& out, bool& held, std::string& holder) {
    held = false;
    const std::string note = folder + kSep + noteName;
    for (int attempt = 0; attempt < 100; ++attempt) {
        Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (fd.get() < 0 && errno == ENOENT && (::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST)) continue;
        if (fd.get() < 0) return Status::FromError(errno);
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK) return Status::FromError(errno);
            held = true;
            std::string text;
            if (InputFile in; in.open(note).ok()) {
                text.resize(512);
                text.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, in.read(text.data(), text.size()))));
            }
            holder = text;
            return Status::FromError(EWOULDBLOCK);
        }
        struct stat opened{}, named{};
        if (::fstat(fd.get(), &opened) != 0) return Status::FromError(errno);
        if (::lstat(folder.c_str(), &named) != 0 || IdOf(named) != IdOf(opened)) continue;  // removed meanwhile
        if (Status noted = WriteFileBytes(note, what); !noted.ok()) return noted;
        out.reset(new FolderLock(fd.release(), folder, note));
        return Status::Ok();
    }
    return Status::FromError(EWOULDBLOCK);
}

void RemoveStaleCopies(const std::string& folder) {
    std::vector<DirEntry> entries;
    ListEntries(folder, entries);
    for (const DirEntry& e : entries) {
        if (!IsCopyTemporaryName(e.name)) continue;
        const std::string path = folder + kSep + e.name;
        // A running copy holds the lock; only a file nobody holds goes, and
        // only the very file that was examined.
        Fd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat opened{}, named{};
        if (fd.get() < 0 || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
        if (::lstat(path.c_str(), &named) == 0 && IdOf(named) == IdOf(opened)) ::unlink(path.c_str());
    }
}

std::vector<RunningProcess> RunningProcesses(const std::function<bool(std::string_view name)>& wanted) {
    std::vector<RunningProcess> out;
    DIR* proc = ::opendir("/proc");
    if (!proc) return out;
    while (const dirent* d = ::readdir(proc)) {
        const std::string_view pid = d->d_name;
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        const std::string base = "/proc/" + std::string(pid);
        // The name comes first: reading a command line waits on the
        // process's memory, so only the wanted ones' are read.
        std::string comm;
        std::getline(std::ifstream(base + "/comm"), comm);
        if (!wanted(comm)) continue;
        out.push_back({ReadLink(base + "/exe"), ReadNulSeparated(base + "/cmdline"), ReadLink(base + "/cwd"),
                       ReadNulSeparated(base + "/environ")});
    }
    ::closedir(proc);
    return out;
}

}  // namespace tavrel
