// Definitions here take the place of the C library's for the whole test
// program; each passes on to the real one unless told to refuse.
#include "syscall_shim.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/types.h>

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>

namespace tavrel::test {
ShimControl gShim;
ShimCounts gShimCounts;
}  // namespace tavrel::test

namespace {

using tavrel::test::gShim;
using tavrel::test::gShimCounts;

template <typename Fn>
Fn Real(const char* name) {
    return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

int Refuse(int& counter, int err) {
    ++counter;
    errno = err;
    return -1;
}

// Counts a change of a name, and dies before the one asked for.
void Changing() {
    if (gShim.killAtChange > 0 && ++gShimCounts.changes >= gShim.killAtChange) ::raise(SIGKILL);
}

int OpenWith(const char* name, const char* path, int flags, va_list args) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) mode = va_arg(args, mode_t);
    if (gShim.refuseTmpfile && (flags & O_TMPFILE) == O_TMPFILE) return Refuse(gShimCounts.tmpfile, EOPNOTSUPP);
    static const auto realOpen = Real<int (*)(const char*, int, ...)>(name);
    return realOpen(path, flags, mode);
}

}  // namespace

extern "C" {

int renameat2(int oldDir, const char* oldPath, int newDir, const char* newPath, unsigned int flags) {
    Changing();
    if (gShim.refuseNoReplace && (flags & RENAME_NOREPLACE) != 0) return Refuse(gShimCounts.noReplace, EINVAL);
    static const auto real = Real<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    return real(oldDir, oldPath, newDir, newPath, flags);
}

int link(const char* from, const char* to) {
    Changing();
    if (gShim.refuseLink) return Refuse(gShimCounts.link, EPERM);
    static const auto real = Real<int (*)(const char*, const char*)>("link");
    return real(from, to);
}

int rename(const char* from, const char* to) {
    Changing();
    static const auto real = Real<int (*)(const char*, const char*)>("rename");
    return real(from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    Changing();
    static const auto real = Real<int (*)(int, const char*, int, const char*, int)>("linkat");
    return real(fromDir, from, toDir, to, flags);
}

int unlink(const char* path) {
    Changing();
    static const auto real = Real<int (*)(const char*)>("unlink");
    return real(path);
}

int unlinkat(int dir, const char* path, int flags) {
    Changing();
    static const auto real = Real<int (*)(int, const char*, int)>("unlinkat");
    return real(dir, path, flags);
}

int mkdir(const char* path, mode_t mode) {
    Changing();
    static const auto real = Real<int (*)(const char*, mode_t)>("mkdir");
    return real(path, mode);
}

int rmdir(const char* path) {
    Changing();
    static const auto real = Real<int (*)(const char*)>("rmdir");
    return real(path);
}

ssize_t copy_file_range(int in, off64_t* inOffset, int out, off64_t* outOffset, size_t length, unsigned int flags) {
    if (gShim.refuseKernelCopy) return Refuse(gShimCounts.kernelCopy, EXDEV);
    static const auto real = Real<ssize_t (*)(int, off64_t*, int, off64_t*, size_t, unsigned int)>("copy_file_range");
    return real(in, inOffset, out, outOffset, length, flags);
}

int ioctl(int fd, unsigned long request, ...) {
    va_list args;
    va_start(args, request);
    void* argument = va_arg(args, void*);
    va_end(args);
    if (gShim.refuseKernelCopy && request == FICLONE) return Refuse(gShimCounts.kernelCopy, EXDEV);
    static const auto real = Real<int (*)(int, unsigned long, ...)>("ioctl");
    return real(fd, request, argument);
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = OpenWith("open", path, flags, args);
    va_end(args);
    return fd;
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = OpenWith("open64", path, flags, args);
    va_end(args);
    return fd;
}

}  // extern "C"
