// What the tests do differently on each system: the separator, temporary
// folders, read-only and hidden files, links, and the system's own texts for
// the failures the tests provoke. test_platform_posix.cpp and
// test_platform_win.cpp hold the two sides; CMake builds the one that fits.
//
// The separator is the tests' own, not the program's: an expectation built
// with it catches a program that joins paths with the wrong one.
#pragma once

#include <string>
#include <vector>

namespace tavrel::test {

// True when the tests run on Windows (Wine included).
bool OnWindows();

// The separator the system's paths use: '/' on Linux, '\' on Windows.
char NativeSeparator();

// `path` with every '/' made the native separator, so that an expectation
// written with '/' reads as the program builds it on this system.
std::string Native(std::string path);
std::vector<std::string> NativePaths(std::vector<std::string> paths);

// A path of the Linux machine that runs the tests as this system's program
// sees it: under Wine on drive Z:, with backslashes.
std::string HostPath(const std::string& linuxPath);

// The folder of the archives the tests install from, made at test time
// (tests/archives/make_archives.py, a fixture of ctest); empty until made.
std::string TestArchives();

// Creates a new, empty folder in the system's temporary folder and answers
// its full path (long names, native separators, no trailing separator).
std::string MakeTempFolder();

// Removes `path` with everything in it, read-only files and folders
// included. A link is removed itself; what it leads to is never entered.
void RemoveTree(const std::string& path);

// Makes a file read-only the system's way (Linux: no write bits; Windows:
// the read-only attribute), and writable again.
void MakeReadOnly(const std::string& path);
void MakeWritable(const std::string& path);

// Hides a file or folder the system's way. On Linux a leading "." in its name
// is what hides it, so there `path` must name such an entry; on Windows the
// hidden attribute is set.
void MakeHidden(const std::string& path);

// Makes `link` a symbolic link to `target` (relative to the link's folder
// unless absolute). Answers an empty text when the link stands, else why
// this system cannot make one for the tests.
std::string MakeSymlink(const std::string& target, const std::string& link);

// True when the tests run as Linux's root, who reads and writes every folder
// whatever its mode.
bool RunningAsRoot();

// Sets a POSIX mode (chmod). Windows has none: there this throws, and the
// tests that need one skip on Windows before they get here.
void SetPosixMode(const std::string& path, unsigned mode);

// The failures the tests provoke, each with the text the system gives it.
enum class Reason {
    NoSuchFile,    // a missing file
    NoSuchFolder,  // a path through a missing folder
    FileExists,    // a name that is taken
    AccessDenied,  // refused by the rights: a read-only file removed, a folder not listed
    Cancelled,     // a copy the user cancelled
    WriteAFolder,  // a file written where a folder of that name is
    DiskFull,      // a volume without room for what is written
};
std::string ReasonText(Reason reason);

}  // namespace tavrel::test
