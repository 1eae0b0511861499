// Start-up of a Windows program to its first idle moment, and its peak
// memory, against a reference program, in one run:
//
//   startup_bench PROGRAM REFERENCE [RUNS]
//
// Starts the two programs in turn RUNS times (default 9, after one untimed
// start each), takes the time from CreateProcess until WaitForInputIdle returns (the
// program waits for input with none pending: its window is up and its
// start-up work done) and the peak working set at that moment, ends it,
// and prints the medians, the median of the start-up ratios of each turn,
// and the ratio of the peak memories.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Start {
    double seconds = 0;
    double peakMiB = 0;
};

bool Measure(const std::wstring& program, Start& out) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, begin, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&begin);
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        std::fprintf(stderr, "startup_bench: cannot start %ls (error %lu)\n", program.c_str(), ::GetLastError());
        return false;
    }
    const DWORD idle = ::WaitForInputIdle(process.hProcess, 60000);
    ::QueryPerformanceCounter(&end);
    // Wine reads the figures from the system, which may not have them at
    // the very first moment.
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    bool counted = false;
    DWORD countError = 0;
    for (int attempt = 0; attempt < 20 && !(counted && memory.PeakWorkingSetSize > 0); ++attempt) {
        if (attempt > 0) ::Sleep(10);
        counted = ::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory) != FALSE;
        countError = ::GetLastError();
    }
    ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    if (idle != 0) {
        std::fprintf(stderr, "startup_bench: %ls never became idle\n", program.c_str());
        return false;
    }
    if (!counted || memory.PeakWorkingSetSize == 0) {
        std::fprintf(stderr, "startup_bench: no memory figures for %ls (%d, %zu, error %lu)\n", program.c_str(), counted,
                     static_cast<std::size_t>(memory.PeakWorkingSetSize), countError);
        return false;
    }
    out.seconds = static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
    out.peakMiB = static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Starts the two programs in turn, so that whatever else the machine does
// weighs on both alike.
bool Series(const std::wstring& program, const std::wstring& reference, int runs, Start& median, Start& refMedian,
            double& timeRatio) {
    Start start, refStart;
    // Warms the prefix's caches.
    if (!Measure(program, start) || !Measure(reference, refStart)) return false;
    std::vector<double> times, peaks, refTimes, refPeaks, ratios;
    for (int i = 0; i < runs; ++i) {
        if (!Measure(program, start) || !Measure(reference, refStart)) return false;
        times.push_back(start.seconds);
        peaks.push_back(start.peakMiB);
        refTimes.push_back(refStart.seconds);
        refPeaks.push_back(refStart.peakMiB);
        ratios.push_back(start.seconds / refStart.seconds);
    }
    median = {Median(times), Median(peaks)};
    refMedian = {Median(refTimes), Median(refPeaks)};
    timeRatio = Median(ratios);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench PROGRAM REFERENCE [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 9;
    Start start, reference;
    double timeRatio = 0;
    if (!Series(argv[1], argv[2], runs, start, reference, timeRatio)) return 1;
    std::printf("start-up to first idle   %.3f s, reference %.3f s, ratio %.2f\n", start.seconds, reference.seconds,
                timeRatio);
    std::printf("peak working set         %.1f MiB, reference %.1f MiB, ratio %.2f\n", start.peakMiB,
                reference.peakMiB, start.peakMiB / reference.peakMiB);
    return 0;
}
