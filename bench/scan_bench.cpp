// The reconciling scan of a folder with many active mods, against what any
// program must do for the same work: list the folder once, and rename each
// surplus mod once.
//
//   scan_bench [folder]
//
// For 1,000 and 10,000 active mods (plus the game's 20 archives), times
// ModStore::UpdateList, which keeps the first mod active and renames every
// other one to ".bit", a plain readdir of the folder, and a bare loop of
// renames of the same files; five runs each, medians printed with their
// ratios. The files are put back untimed between runs.
#include <dirent.h>
#include <stdio.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_window.h"
#include "modstore/mod_store.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

std::string ModName(int i, const char* ext) {
    char name[32];
    std::snprintf(name, sizeof name, "__Mod%05d%s", i, ext);
    return name;
}

void RenameAll(const fs::path& folder, int mods, const char* from, const char* to) {
    for (int i = 1; i < mods; ++i) {
        ::rename((folder / ModName(i, from)).c_str(), (folder / ModName(i, to)).c_str());
    }
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <typename Reset, typename Run>
double MedianSeconds(int runs, Reset reset, Run run) {
    std::vector<double> times;
    for (int i = 0; i <= runs; ++i) {  // the first run warms the cache
        reset();
        const auto start = Clock::now();
        run();
        if (i > 0) times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    return Median(times);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::current_path() / "scan-bench.tmp";
    constexpr int kRuns = 5;
    int status = 0;
    for (const int mods : {1000, 10000}) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (int i = 0; i < 20; ++i) std::ofstream(folder / ("Game" + std::to_string(i) + ".big")) << "game";
        for (int i = 0; i < mods; ++i) std::ofstream(folder / ModName(i, ".big")) << "mod";

        const auto restore = [&] { RenameAll(folder, mods, ".bit", ".big"); };
        bench::ScriptedWindow window;
        window.folder = folder.string();
        tavrel::ModStore store(window, [](const std::string&) { return false; });
        const double scan = MedianSeconds(kRuns, restore, [&] { store.UpdateList(true); });
        if (window.list.size() != static_cast<std::size_t>(mods - 1)) status = 1;

        std::size_t names = 0;
        const double listing = MedianSeconds(kRuns, [] {}, [&] {
            names = 0;
            DIR* dir = ::opendir(folder.c_str());
            while (::readdir(dir)) ++names;
            ::closedir(dir);
        });
        const double renames = MedianSeconds(kRuns, restore, [&] { RenameAll(folder, mods, ".big", ".bit"); });
        restore();

        std::printf("%d active mods, %zu entries\n", mods, names);
        std::printf("  reconciling scan    %8.4f s\n", scan);
        std::printf("  plain listing       %8.4f s   scan / listing            %6.1f\n", listing, scan / listing);
        std::printf("  bare renames        %8.4f s   scan / (listing + renames) %5.2f\n", renames,
                    scan / (listing + renames));
    }
    fs::remove_all(folder);
    return status;
}
