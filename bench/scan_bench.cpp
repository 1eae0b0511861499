// The folder scan against what any program must do for the same work.
//
//   scan_bench [folder]
//
// One scan (ModStore::UpdateList) of a game folder of 10,000 files (1,000
// inactive mods, 3 active ones and the game's archives), against a plain
// readdir of that folder; then the reconciling scan of 1,000 and 10,000
// active mods (plus the game's 20 archives), which keeps the first mod
// active and renames every other one to ".bit", against one readdir and a
// bare loop of renames of the same files. Five runs each, medians; the
// files are put back untimed between runs. One line a figure.
//
// Then the scan of the same folder of 10,000 files when 100 of its mods
// were installed by Tavrel with three add-ons each (the active one's
// placed), against the same readdir; beside it, what reading Tavrel's
// folder costs by itself: a readdir of each companion folder and a look
// for the add-ons' records, with no work of the scan's.
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
#include "figure.h"
#include "game/game_paths.h"
#include "modstore/addons.h"
#include "modstore/mod_store.h"
#include "modstore/store_folder.h"

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

double Listing(const fs::path& folder, std::size_t& names) {
    const auto start = Clock::now();
    names = 0;
    DIR* dir = ::opendir(folder.c_str());
    while (::readdir(dir)) ++names;
    ::closedir(dir);
    return std::chrono::duration<double>(Clock::now() - start).count();
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

// 10,000 files: the game's archives, 1,000 inactive mods and 3 active ones,
// of which the scan deactivates two (after the question, answered OK).
int ScanOfAGameFolder(const fs::path& folder, int runs) {
    constexpr int kFiles = 10000, kInactive = 1000, kActive = 3;
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < kFiles - kInactive - kActive; ++i) {
        std::ofstream(folder / ("Game" + std::to_string(i) + ".big")) << "game";
    }
    for (int i = 0; i < kInactive; ++i) std::ofstream(folder / ("Mod" + std::to_string(i) + ".bit")) << "mod";
    const auto active = [&](int i, const char* ext) { return folder / ("__Active" + std::to_string(i) + ext); };
    for (int i = 0; i < kActive; ++i) std::ofstream(active(i, ".big")) << "active";
    const auto restore = [&] {
        for (int i = 1; i < kActive; ++i) ::rename(active(i, ".bit").c_str(), active(i, ".big").c_str());
    };

    bench::ScriptedWindow window;
    window.folder = folder.string();
    tavrel::ModStore store(window, [](const std::string&) { return false; });
    const double scan = MedianSeconds(runs, restore, [&] { store.UpdateList(true); });
    std::size_t names = 0;
    const double listing = MedianSeconds(runs, [] {}, [&] { Listing(folder, names); });
    const bool right = window.list.size() == std::size_t{kInactive + kActive - 1} && window.active == "__Active0";
    bench::PrintFigure("scan of 10,000 files (3 active) / listing", scan / listing,
                       bench::Format("%.4f s, readdir %.4f s (%zu entries)", scan, listing, names),
                       bench::Target::AtMost, 2.0);
    fs::remove_all(folder);
    if (!right) std::fprintf(stderr, "scan_bench: the scan listed %zu mods\n", window.list.size());
    return right ? 0 : 1;
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A game archive of one entry, as the game's format has it.
std::string BigOf(const std::string& path, const std::string& bytes) {
    std::string big = "BIGF";
    const auto be = [&](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) big.push_back(static_cast<char>(v >> shift));
    };
    const std::uint32_t first = static_cast<std::uint32_t>(16 + 8 + path.size() + 1);
    const std::uint32_t total = first + static_cast<std::uint32_t>(bytes.size());
    for (int shift = 0; shift < 32; shift += 8) big.push_back(static_cast<char>(total >> shift));
    be(1), be(first), be(first), be(static_cast<std::uint32_t>(bytes.size()));
    big += path;
    big.push_back('\0');
    return big + bytes;
}

// The same folder of 10,000 files, with its mods installed by Tavrel: 100
// of them have three add-ons each (an archive and a loose file apiece, in
// their companion folders); the active one has its add-ons on and placed.
int ScanWithAddOns(const fs::path& folder, int runs) {
    constexpr int kFiles = 10000, kMods = 100, kAddOns = 3;
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < kFiles - kMods - kAddOns; ++i) {
        std::ofstream(folder / ("Game" + std::to_string(i) + ".big")) << "game";
    }
    const char* const names[kAddOns] = {"Cameos", "HUD", "Voices"};
    for (int i = 0; i < kMods; ++i) {
        const std::string mod = ModName(i, "");
        std::ofstream(folder / (mod + ".bit")) << "mod";
        for (const char* name : names) {
            const fs::path addOn = folder / ".tavrel" / mod / "addons" / name;
            const std::string archive = tavrel::AddOnArchiveName(std::string(name) + ".big");
            const std::string movie = "Data\\Movies\\" + std::string(name) + ".bik";
            Write(addOn / tavrel::AddOnStoredPath(archive), BigOf("Data\\INI\\" + std::string(name) + ".ini", "ini"));
            Write(addOn / "Data/Movies" / (std::string(name) + ".bik"), "movie");
            tavrel::WriteManifest(addOn.string(), {{archive, movie}, {}});
            tavrel::WriteAddOnInfo(addOn.string(), tavrel::AddOnKind::AddOn, 0);
            Write(addOn / tavrel::AddOnMark(i == 0), "");
        }
    }
    {
        struct QuietWindow : bench::ScriptedWindow {
            tavrel::Answer message(const std::string&, tavrel::Buttons, tavrel::Icon) override {
                return tavrel::Answer::Ok;
            }
        } quiet;
        quiet.folder = folder.string();
        tavrel::ModStore activating(quiet, [](const std::string&) { return false; });
        activating.UpdateList(true);
        activating.ActivateMod(ModName(0, ""));
    }
    const bool placed = tavrel::AddOnsPlaced(folder.string(), ModName(0, ""));
    bench::ScriptedWindow window;
    window.folder = folder.string();
    tavrel::ModStore store(window, [](const std::string&) { return false; });

    // A scan of these takes a few milliseconds, and varies more: three
    // times the runs.
    const double scan = MedianSeconds(3 * runs, [] {}, [&] { store.UpdateList(true); });
    std::size_t entries = 0;
    const double listing = MedianSeconds(3 * runs, [] {}, [&] { Listing(folder, entries); });
    const bool right = placed && window.list.size() == std::size_t{kMods - 1} && window.active == ModName(0, "") &&
                       window.unexpected == 0;
    bench::PrintFigure("scan of 10,000 files, 100 mods with 3 add-ons / listing", scan / listing,
                       bench::Format("%.4f s, readdir %.4f s (%zu entries)", scan, listing, entries),
                       bench::Target::AtMost, 2.0);
    fs::remove_all(folder);
    if (!right) std::fprintf(stderr, "scan_bench: the scan of mods with add-ons listed %zu mods\n", window.list.size());
    return right ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::current_path() / "scan-bench.tmp";
    constexpr int kRuns = 5;
    int status = ScanOfAGameFolder(folder, kRuns);
    status |= ScanWithAddOns(folder, kRuns);
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
        const double listing = MedianSeconds(kRuns, [] {}, [&] { Listing(folder, names); });
        const double renames = MedianSeconds(kRuns, restore, [&] { RenameAll(folder, mods, ".big", ".bit"); });
        restore();
        bench::PrintFigure(bench::Format("reconciling scan of %d active / ls + mv", mods), scan / (listing + renames),
                           bench::Format("%.4f s, readdir %.4f s + renames %.4f s", scan, listing, renames));
    }
    fs::remove_all(folder);
    return status;
}
