// Start-up of a Qt program to its first idle moment, and its peak memory,
// against a reference program, in one run:
//
//   startup_bench PROBE PROGRAM REFERENCE [RUNS [WHAT REFERENCE-NAME TARGET]]
//
// Starts each program RUNS times (default 9, after one untimed start each),
// the two in turn, with the idle probe (PROBE, a library preloaded into
// both) that reports the first moment its event loop waits with a window on
// screen; takes the time from the start of the process until that report
// and the peak resident memory the probe read then, and prints the medians
// and their ratios. WHAT and REFERENCE-NAME name the two in the report
// (default: the program against a "bare Qt window"), TARGET is the
// start-up's (default 1.15); with names given, memory is reported without
// a target. Needs a display (bench/run starts one with tests/with_x.sh).
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "figure.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Start {
    double seconds = 0;
    double peakMiB = 0;
};

bool Measure(const std::string& probe, const std::string& program, Start& out) {
    int fds[2];
    if (::pipe(fds) != 0) return false;
    std::vector<std::string> env{"LD_PRELOAD=" + probe, "TAVREL_IDLE_FD=" + std::to_string(fds[1])};
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("LD_PRELOAD=", 0) != 0 && entry.rfind("TAVREL_IDLE_FD=", 0) != 0) env.push_back(entry);
    }
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string name = program;
    char* argv[] = {name.data(), nullptr};

    const auto begin = Clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
        std::fprintf(stderr, "startup_bench: cannot start %s\n", program.c_str());
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    ::close(fds[1]);
    pollfd wait{fds[0], POLLIN, 0};
    char line[32] = {};
    ssize_t got = 0;
    if (::poll(&wait, 1, 60000) == 1) got = ::read(fds[0], line, sizeof line - 1);
    const auto end = Clock::now();
    ::close(fds[0]);
    if (got <= 0) ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "startup_bench: %s never became idle with a window\n", program.c_str());
        return false;
    }
    out.seconds = std::chrono::duration<double>(end - begin).count();
    out.peakMiB = std::strtod(line, nullptr) / 1024.0;
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench PROBE PROGRAM REFERENCE [RUNS [WHAT REFERENCE-NAME TARGET]]\n");
        return 2;
    }
    const std::string probe = argv[1], program = argv[2], reference = argv[3];
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 9;
    const bool named = argc > 7;
    const std::string startup = named ? std::string(argv[5]) + " start-up" : "start-up to first idle";
    const std::string memory = named ? std::string(argv[5]) + " peak memory" : "peak memory at first idle";
    const std::string name = named ? argv[6] : "bare Qt window";
    const double target = named ? std::strtod(argv[7], nullptr) : 1.15;
    Start start;
    if (!Measure(probe, program, start) || !Measure(probe, reference, start)) return 1;  // warm the caches
    std::vector<double> times, peaks, refTimes, refPeaks;
    for (int i = 0; i < runs; ++i) {
        if (!Measure(probe, program, start)) return 1;
        times.push_back(start.seconds);
        peaks.push_back(start.peakMiB);
        if (!Measure(probe, reference, start)) return 1;
        refTimes.push_back(start.seconds);
        refPeaks.push_back(start.peakMiB);
    }
    const double time = Median(times), refTime = Median(refTimes), peak = Median(peaks), refPeak = Median(refPeaks);
    bench::PrintFigure(startup + " / " + name, time / refTime,
                       bench::Format("%.3f s, %s %.3f s (median of %d)", time, name.c_str(), refTime, runs),
                       bench::Target::AtMost, target);
    bench::PrintFigure(memory + " / " + name, peak / refPeak,
                       bench::Format("%.1f MiB, %s %.1f MiB", peak, name.c_str(), refPeak),
                       named ? bench::Target::None : bench::Target::AtMost, 1.15);
    return 0;
}
