// System calls the fault suite can make the kernel refuse, to drive the
// platform layer down the paths that other file systems take: a file system
// without RENAME_NOREPLACE, without hard links, without copy_file_range or
// reflinks, without O_TMPFILE. The shim sits in the test program itself, in
// front of the C library; each refusal counts, so that a case can prove its
// path was taken. It can also kill the process at any change of a name, so
// that a case proves what the next start makes of work cut off there.
#pragma once

namespace tavrel::test {

struct ShimControl {
    bool refuseNoReplace = false;  // renameat2(RENAME_NOREPLACE) -> EINVAL
    bool refuseLink = false;       // link() -> EPERM
    bool refuseKernelCopy = false; // FICLONE and copy_file_range -> EXDEV
    bool refuseTmpfile = false;    // open(O_TMPFILE) -> EOPNOTSUPP
    // The process kills itself with SIGKILL just before its Nth change of
    // a name (a rename, link, unlink, mkdir or rmdir) when this is N > 0.
    int killAtChange = 0;
};

struct ShimCounts {
    int noReplace = 0;
    int link = 0;
    int kernelCopy = 0;
    int tmpfile = 0;
    int changes = 0;
};

extern ShimControl gShim;
extern ShimCounts gShimCounts;

}  // namespace tavrel::test
