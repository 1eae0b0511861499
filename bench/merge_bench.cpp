// The tables of a merge, and the search for files that hide a mod's.
//
//   merge_bench [folder] [runs]
//
// PlanMerge on 100,000 entries in 20 archives whose paths overlap (a pool
// of paths many archives share, letter case and "/" varying, a few paths
// twice in one archive, some entries sharing bytes), against one second:
// how long a player may wait for the tables before the copy starts.
// FindHidingFiles and PlanPlacement on a game folder of 30 archives of
// 2,000 to 5,000 entries (their tables real, their bytes holes in sparse
// files), ten of which load before the active mod and hold some of its
// paths, and 50 loose files, 20 of them at the mod's paths, which are set
// aside, against 100 ms: both run at every activation. Each result is
// checked against what the rules give; medians of `runs` (default 5 and 11)
// after an untimed one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "figure.h"
#include "mod_data.h"
#include "modstore/placement.h"
#include "modstore/mod_activation.h"
#include "modstore/mod_merge.h"
#include "process.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

template <typename Run>
double MedianSeconds(int runs, Run run) {
    std::vector<double> times;
    for (int i = 0; i <= runs; ++i) {
        const auto start = Clock::now();
        run();
        if (i > 0) times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    return bench::Median(times);
}

// ---- PlanMerge -------------------------------------------------------------

// 20 archives whose names load in the order of this list: the blank, "!",
// the digits, "_", then letters without regard to case.
constexpr char kFirst[] = " !0123456789_aBcDeFg";
constexpr int kInputs = 20, kPerInput = 5000, kPool = 40000;

std::string PoolPath(unsigned i) {
    static const char* const kinds[] = {"Art\\Textures\\t%05u.dds", "Art\\W3D\\m%05u.w3d", "Data\\INI\\Object\\o%05u.ini",
                                        "Data\\Audio\\Sounds\\s%05u.wav"};
    char path[64];
    std::snprintf(path, sizeof path, kinds[i % 4], i);
    return path;
}

bool PlanMergeFigure(int runs) {
    std::vector<tavrel::MergeInput> inputs(kInputs);
    std::vector<int> rank(kInputs);  // each input's place in the load order
    std::uint64_t r = 3;
    for (int i = 0; i < kInputs; ++i) {
        // The inputs come in another order than they load: the order of bytes in a .zip.
        const int loads = (i * 7) % kInputs;
        rank[i] = loads;
        tavrel::MergeInput& in = inputs[i];
        in.path = std::string("Mod\\") + kFirst[loads] + "Data.big";
        std::uint64_t offset = 16 + 64 * kPerInput;
        for (int k = 0; k < kPerInput; ++k) {
            r = bench::Mix(r);
            std::string path;
            if (k % 10 < 6) path = bench::Respelt(PoolPath(static_cast<unsigned>(r % kPool)), r >> 32);
            else path = PoolPath(static_cast<unsigned>(kPool + i * kPerInput + k));
            const std::uint64_t size = 100 + (r >> 16) % 30000;
            if (k % 50 == 49) {  // the same bytes as the entry before, under another path or the same
                const tavrel::BigEntry& before = in.table.back();
                in.table.push_back({k % 100 == 99 ? before.path : path, before.offset, before.size / 2});
                continue;
            }
            in.table.push_back({path, offset, size});
            offset += size;
        }
    }
    // What the rules give: the first archive to load that holds a path, the
    // last of its entries there.
    std::map<std::string, std::pair<int, std::size_t>> wins;  // key: input, entry
    for (int i = 0; i < kInputs; ++i) {
        for (std::size_t k = 0; k < inputs[i].table.size(); ++k) {
            auto [at, added] = wins.try_emplace(bench::PathKey(inputs[i].table[k].path), i, k);
            if (!added && (rank[i] < rank[at->second.first] || (i == at->second.first))) at->second = {i, k};
        }
    }
    std::uint64_t dataSize = 0;  // the winning bytes of each input, each byte once
    for (int i = 0; i < kInputs; ++i) {
        std::vector<std::pair<std::uint64_t, std::uint64_t>> spans;
        for (const auto& [key, win] : wins) {
            if (win.first != i) continue;
            const tavrel::BigEntry& e = inputs[i].table[win.second];
            spans.emplace_back(e.offset, e.offset + e.size);
        }
        std::sort(spans.begin(), spans.end());
        std::uint64_t reach = 0;
        for (const auto& [from, to] : spans) {
            if (to > reach) dataSize += to - std::max(from, reach), reach = to;
        }
    }

    tavrel::MergePlan plan;
    const double seconds = MedianSeconds(runs, [&] { plan = tavrel::PlanMerge(inputs); });

    std::size_t wrong = 0;
    std::uint64_t runBytes = 0;
    for (const tavrel::MergeRun& run : plan.runs) runBytes += run.size;
    std::set<std::string> seen;
    for (const tavrel::BigWriteEntry& e : plan.entries) {
        const std::string key = bench::PathKey(e.path);
        const auto win = wins.find(key);
        if (win == wins.end() || !seen.insert(key).second ||
            inputs[win->second.first].table[win->second.second].size != e.size || e.offset + e.size > plan.dataSize) {
            ++wrong;
        }
    }
    const bool ok = plan.entries.size() == wins.size() && wrong == 0 && plan.dataSize == dataSize && runBytes == dataSize;
    if (!ok) {
        std::fprintf(stderr, "PlanMerge: %zu entries for %zu paths, %zu wrong, %ju bytes in runs of %ju, %ju expected\n",
                     plan.entries.size(), wins.size(), wrong, static_cast<std::uintmax_t>(runBytes),
                     static_cast<std::uintmax_t>(plan.dataSize), static_cast<std::uintmax_t>(dataSize));
    }
    bench::PrintFigure("PlanMerge of 100,000 entries in 20 / 1 s", seconds / 1.0,
                       bench::Format("%.3f s, %zu paths, %zu runs%s", seconds, wins.size(), plan.runs.size(),
                                     ok ? "" : ", WRONG RESULT"),
                       ok ? bench::Target::AtMost : bench::Target::None, 1.0);  // a wrong result meets nothing
    return ok;
}

// ---- FindHidingFiles ---------------------------------------------------------

std::string ModPath(unsigned i) {
    char path[64];
    std::snprintf(path, sizeof path, i % 3 ? "Art\\Textures\\zhmod%05u.dds" : "Data\\INI\\Object\\zhmod%05u.ini", i);
    return path;
}

bool HidingFigure(const fs::path& folder, int runs) {
    constexpr unsigned kModEntries = 4000;
    // Ten archives load before "__Mod.big" (the blank, "!", digits, "_0"),
    // twenty after it, as the game's own do.
    static const char* const before[] = {" Space.big", "!!Patch.big", "!Shaders.big", "00Maps.big", "0Audio.big",
                                         "1Patch.big", "2Rotr.big",  "99Fix.big",    "_0Mix.big",  "_1Mix.big"};
    static const char* const after[] = {"INI.big",     "Textures.big",  "W3D.big",      "Audio.big",     "English.big",
                                        "Maps.big",    "Music.big",     "Patch.big",    "Shaders.big",   "Speech.big",
                                        "Terrain.big", "Window.big",    "gensec.big",   "AudioEnglish.big", "INIZH.big",
                                        "TexturesZH.big", "W3DZH.big",  "MapsZH.big",   "WindowZH.big",  "SpeechEnglish.big"};
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::uint64_t r = 5;
    const auto item = [&](const std::string& path) {
        r = bench::Mix(r);
        return bench::BigItem{path, 512 + r % (256 * 1024), r, -1};
    };
    std::vector<bench::BigItem> mod;
    for (unsigned i = 0; i < kModEntries; ++i) mod.push_back(item(ModPath(i)));
    bench::WriteBig(folder / "__Mod.big", mod, true);
    bench::WriteBig(folder / "Old.bit", mod, true);  // an inactive mod: the game skips it

    std::map<std::string, std::size_t> expected;  // name: paths hidden
    unsigned next = 0;                              // the mod's paths are given out in turn
    for (int a = 0; a < 30; ++a) {
        const bool hides = a < 10;
        const std::string name = hides ? before[a] : after[a - 10];
        std::vector<bench::BigItem> items;
        const unsigned entries = 2000 + static_cast<unsigned>(bench::Mix(a) % 3001);
        const unsigned shared = hides ? 20u * static_cast<unsigned>(a + 1) : 100u;
        for (unsigned k = 0; k < shared; ++k) {
            // Archives that load before the mod share paths with no other
            // one; those after it take any.
            const unsigned p = hides ? next++ : static_cast<unsigned>(bench::Mix(a * 1000 + k) % kModEntries);
            items.push_back(item(bench::Respelt(ModPath(p), r)));
        }
        for (unsigned k = shared; k < entries; ++k) {
            char path[64];
            std::snprintf(path, sizeof path, k % 2 ? "Art\\Textures\\%s%05u.dds" : "Data\\INI\\Object\\%.3s%05u.ini",
                          name.c_str() + (name[0] == ' ' || name[0] == '!' ? 1 : 0), k);
            items.push_back(item(path));
        }
        bench::WriteBig(folder / name, items, true);
        if (hides) expected[name] = shared;
    }
    // Loose files in the game's folders: 20 of the mod's paths, 30 others.
    for (unsigned k = 0; k < 50; ++k) {
        std::string path = k < 20 ? ModPath(next + k) : "Data\\INI\\Object\\loose" + std::to_string(k) + ".ini";
        std::replace(path.begin(), path.end(), '\\', '/');
        fs::create_directories((folder / path).parent_path());
        std::ofstream(folder / path) << "Object Loose\r\nEnd\r\n";
        if (k < 20) expected[bench::PathKey(path)] = 1;
    }

    // What an activation looks for: the archives that hide the mod's
    // files, and the loose files it sets aside.
    std::vector<tavrel::HidingFile> found;
    tavrel::Placement placement;
    const double seconds = MedianSeconds(runs, [&] {
        found = tavrel::FindHidingFiles(folder.string(), "__Mod.big");
        tavrel::PlanPlacement(folder.string(), "__Mod", (folder / "__Mod.big").string(), placement);
    });

    std::map<std::string, std::size_t> got;
    for (const tavrel::HidingFile& h : found) got[h.name] = h.hidden;
    for (const std::string& path : placement.setAside) got[bench::PathKey(path)] = 1;
    found.resize(found.size() + placement.setAside.size());
    std::size_t hidden = 0;
    for (const auto& [name, n] : expected) hidden += n;
    const bool ok = got == expected;
    if (!ok) {
        std::fprintf(stderr, "FindHidingFiles: %zu files found, %zu expected\n", got.size(), expected.size());
        for (const auto& [name, n] : got) {
            const auto e = expected.find(name);
            if (e == expected.end() || e->second != n) std::fprintf(stderr, "  found %s hiding %zu\n", name.c_str(), n);
        }
        for (const auto& [name, n] : expected) {
            const auto g = got.find(name);
            if (g == got.end() || g->second != n) std::fprintf(stderr, "  expected %s hiding %zu\n", name.c_str(), n);
        }
    }
    bench::PrintFigure("hiding files and set-asides, 30 archives / 100 ms", seconds / 0.1,
                       bench::Format("%.4f s, %zu files hiding %zu of %u paths%s", seconds, found.size(), hidden,
                                     kModEntries, ok ? "" : ", WRONG RESULT"),
                       ok ? bench::Target::AtMost : bench::Target::None, 1.0);
    fs::remove_all(folder);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path scratch = fs::absolute(argc > 1 ? fs::path(argv[1]) : fs::current_path() / "merge-bench.tmp");
    const int runs = argc > 2 ? std::atoi(argv[2]) : 0;
    const bool planned = PlanMergeFigure(runs > 0 ? runs : 5);
    const bool searched = HidingFigure(scratch, runs > 0 ? runs : 11);
    return planned && searched ? 0 : 1;
}
