// The recursive search against `find -iname` on the same generated tree.
//
//   search_bench [folder]
//
// Builds a tree of 100,000 files in 5,000 folders (50 folders of 100
// subfolders, 20 files each, a quarter of them movies in either letter
// case), then times FindFilesRecursive(tree, "*.bik") and
// `find TREE -iname '*.bik'` five times each and prints the medians and
// their ratio. Both run on a warm cache after one untimed pass.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "figure.h"
#include "support/recurse.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

template <typename Run>
double MedianSeconds(int runs, Run run) {
    run();  // warm the cache
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        run();
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path tree = argc > 1 ? fs::path(argv[1]) : fs::current_path() / "search-bench.tmp";
    constexpr int kTop = 50, kSub = 100, kFiles = 20, kRuns = 5;

    fs::remove_all(tree);
    std::size_t movies = 0;
    for (int a = 0; a < kTop; ++a) {
        for (int b = 0; b < kSub; ++b) {
            const fs::path folder = tree / ("Area" + std::to_string(a)) / ("Sub" + std::to_string(b));
            fs::create_directories(folder);
            for (int f = 0; f < kFiles; ++f) {
                const char* ext = f % 8 == 0 ? ".BIK" : f % 4 == 0 ? ".bik" : ".big";
                movies += f % 4 == 0;
                std::ofstream(folder / ("file" + std::to_string(f) + ext));
            }
        }
    }

    std::size_t found = 0;
    const double search = MedianSeconds(kRuns, [&] {
        found = tavrel::FindFilesRecursive(tree.string(), "*.bik", 0, tavrel::kAttributeDirectory).size();
    });
    const std::string command = "find '" + tree.string() + "' -iname '*.bik' > /dev/null";
    const double find = MedianSeconds(kRuns, [&] {
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "find failed\n");
    });

    bench::PrintFigure("movie search / find -iname", search / find,
                       bench::Format("%.3f s, find %.3f s (%zu of %zu movies in %d files)", search, find, found, movies,
                                     kTop * kSub * kFiles),
                       bench::Target::AtMost, 1.0);
    fs::remove_all(tree);
    return found == movies ? 0 : 1;
}
