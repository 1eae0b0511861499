// Whole processes for the benchmarks: a program run to its end, timed from
// the spawn until it is reaped, with its peak resident memory.
//
// A figure that Tavrel's code makes runs in a child: the benchmark starts
// its own program again ("--child ..."), which does the one piece of work
// and then writes its peak memory (VmHWM, which starts afresh at exec) on
// its standard output. The references (bsdtar, cp, sync) are timed the same
// way from spawn to exit; their peak is what wait4 reports, which also
// counts the benchmark's own few MiB at the moment of the spawn.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

struct Outcome {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time of the process and what it waited for
    long peakKiB = 0;   // ru_maxrss of the process (see above)
    bool ok = false;    // exited with 0
    std::string output; // its standard output, when captured
};

// Runs `argv` (looked up in PATH) to its end. Its standard output goes to
// `stdoutPath` when given, else it is captured into Outcome::output.
inline Outcome Spawn(const std::vector<std::string>& argv, const std::string& stdoutPath = {}) {
    Outcome result;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeFds[2] = {-1, -1};
    if (!stdoutPath.empty()) {
        posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    } else {
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) std::abort();
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    }
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeFds[1] >= 0) ::close(pipeFds[1]);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s\n", args[0]);
        if (pipeFds[0] >= 0) ::close(pipeFds[0]);
        return result;
    }
    if (pipeFds[0] >= 0) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
            if (n > 0) result.output.append(buffer, static_cast<std::size_t>(n));
            else if (errno != EINTR) break;
        }
        ::close(pipeFds[0]);
    }
    int status = 0;
    struct rusage usage {};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.peakKiB = usage.ru_maxrss;
    result.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!result.ok) std::fprintf(stderr, "%s failed (status %d)\n", args[0], status);
    return result;
}

// Writes every dirty page of the system out, untimed, before a timed
// process: a process that writes a GiB must not pay for what the one before
// it wrote (or deleted), nor for the sources just made, as the kernel
// flushes those while it runs.
inline void Settle() { ::sync(); }

// This process's peak resident memory so far, in KiB (VmHWM).
inline long PeakKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// The path of the running program, to start it again as a child.
inline std::string SelfPath() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) std::abort();
    return std::string(path, static_cast<std::size_t>(n));
}

// A child started with "--child ..." ends with this: its peak on standard
// output, the exit status from `ok`.
inline int ChildDone(bool ok) {
    std::printf("%ld\n", PeakKiB());
    std::fflush(stdout);
    return ok ? 0 : 1;
}

// The child's own peak as it wrote it (see ChildDone).
inline long ChildPeakKiB(const Outcome& outcome) { return std::strtol(outcome.output.c_str(), nullptr, 10); }

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}


// One figure of ours against a reference, each timed in a process of its own.
struct Figure {
    double ours = 0, reference = 0;
    double oursCpu = 0, referenceCpu = 0;  // medians of the processor time
    long peakKiB = 0, referencePeakKiB = 0;
};

// Rounds of `ours` and `reference`, `untimed` of them first (ours(true) is
// the first round of all, for a check).
template <typename Ours, typename Reference>
Figure Rounds(int untimed, int runs, Ours ours, Reference reference) {
    std::vector<double> a, b, ca, cb;
    Figure f;
    for (int i = 0; i < untimed + runs; ++i) {
        // Each goes first in turn, so that neither always follows the other's writes.
        Outcome o, r;
        if (i % 2) r = reference(), o = ours(i == 0);
        else o = ours(i == 0), r = reference();
        if (i >= untimed) {
            a.push_back(o.seconds), b.push_back(r.seconds);
            ca.push_back(o.cpuSeconds), cb.push_back(r.cpuSeconds);
        }
        f.peakKiB = std::max(f.peakKiB, ChildPeakKiB(o));
        f.referencePeakKiB = std::max(f.referencePeakKiB, r.peakKiB);
    }
    f.ours = Median(a);
    f.reference = Median(b);
    f.oursCpu = Median(ca);
    f.referenceCpu = Median(cb);
    return f;
}

}  // namespace bench
