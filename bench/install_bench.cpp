// Installing a large mod against `cp` of the same file on the same disk.
//
//   install_bench [MiB] [folder]
//
// Creates a mod archive of the given size (default 1024 MiB) in a scratch
// folder (default: under the current directory, so on the build's disk),
// installs it five times through "Install A Mod" with a scripted window and
// copies it five times with cp, and prints the median throughputs and their
// ratio. The install flushes the copy to disk before it takes the mod's
// name, so the figure is against "cp" followed by "sync FILE", both on disk;
// plain cp's own figure is printed beside it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_window.h"
#include "figure.h"
#include "modstore/mod_store.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename Run>
double MedianSeconds(int runs, const fs::path& target, Run run) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        fs::remove(target);
        const auto start = Clock::now();
        run();
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        if (fs::file_size(target) == 0) std::fprintf(stderr, "copy failed\n");
    }
    return Median(times);
}

}  // namespace

int main(int argc, char** argv) {
    const std::uintmax_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
    const fs::path scratch = argc > 2 ? fs::path(argv[2]) : fs::current_path() / "install-bench.tmp";
    constexpr int kRuns = 5;

    fs::remove_all(scratch);
    fs::create_directories(scratch / "game");
    const fs::path source = scratch / "Storm.big";
    {
        std::ofstream out(source, std::ios::binary);
        std::vector<char> block(1 << 20);
        for (std::uintmax_t i = 0; i < mib; ++i) {
            for (std::size_t k = 0; k < block.size(); k += 4096) block[k] = static_cast<char>(i + k);
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
    }

    bench::ScriptedWindow window;
    window.folder = (scratch / "game").string();
    window.source = source.string();
    tavrel::ModStore store(window);
    const fs::path installed = scratch / "game" / "__Storm.bit";
    const double install = MedianSeconds(kRuns, installed, [&] { store.lblInstallMod_Click(); });

    const fs::path copied = scratch / "game" / "copy.big";
    const std::string cp = "cp '" + source.string() + "' '" + copied.string() + "'";
    const double plain = MedianSeconds(kRuns, copied, [&] {
        if (std::system(cp.c_str()) != 0) std::fprintf(stderr, "cp failed\n");
    });

    const std::string cpSync = cp + " && sync '" + copied.string() + "'";
    const double flushed = MedianSeconds(kRuns, copied, [&] {
        if (std::system(cpSync.c_str()) != 0) std::fprintf(stderr, "cp failed\n");
    });

    const double size = static_cast<double>(mib);
    bench::PrintFigure(bench::Format("install of %ju MiB / cp + sync (throughput)", mib), flushed / install,
                       bench::Format("%.0f MiB/s, cp + sync %.0f MiB/s, cp alone %.0f MiB/s", size / install,
                                     size / flushed, size / plain),
                       bench::Target::AtLeast, 0.9);
    fs::remove_all(scratch);
    return 0;
}
