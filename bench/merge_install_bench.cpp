// Installing a mod made of several archives, which Tavrel merges into one,
// against unpacking or copying the same files.
//
//   merge_install_bench [MiB] [folder] [runs]
//   merge_install_bench --make MiB folder   (the sources only, with and
//                                            without movies, kept, to look
//                                            into a figure by hand)
//
// The mod (default 1024 MiB) is three .big archives made byte by byte: a
// large one of models and INI files, one of textures, and a patch whose name
// loads first ("!StormPatch.big") and that replaces many of the other two's
// files, spelt in other letter case and with "/" for "\"; a few paths come
// twice in one archive. It is installed with ModStore::InstallMod, every
// archive ticked, from
//   - a deflated .zip (bsdtar), against `bsdtar -xf ZIP -C DIR` and `sync`
//     of the three files;
//   - a solid .7z (7-Zip, LZMA2 with a 16 MiB dictionary, 7-Zip's default),
//     against `bsdtar -xf 7Z -C DIR` and `sync`;
//   - its folder, against `cp -r` and `sync`;
// each install in a process of its own, timed whole and with its peak
// memory. The first install from each source is checked: one entry a path,
// each holding the bytes of the file that the game would load. The merged
// archive's size is held against the sources' and its own table. `runs`
// rounds (default 3; four more from the .zip and the folder, which take a
// second or two and vary more) that take turns with the reference, medians
// of the time and of the processor time; the sources have just been
// written, so no round is spent warming the cache. Then the same from each
// source once more with the mod's 1,000 movies (512 MiB) beside its
// archives, which the install keeps as companion files (every movie
// checked), against the same references. The scratch folder (default
// under the current directory, so on the build's disk) is removed at the
// end.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench_window.h"
#include "figure.h"
#include "mod_data.h"
#include "modstore/mod_store.h"
#include "process.h"

namespace fs = std::filesystem;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr long kMemoryBudgetKiB = 64 * 1024;
constexpr std::size_t kArchives = 3;

// The child's work: install `source` into `game` with every archive ticked.
bool ChildInstall(const std::string& game, const std::string& source) {
    bench::ScriptedWindow window;
    window.folder = game;
    tavrel::ModStore store(window);
    const bool installed = store.InstallMod(std::vector<std::string>{source});
    if (!installed) std::fprintf(stderr, "installing %s failed\n", source.c_str());
    if (window.archivesOffered != kArchives) {
        std::fprintf(stderr, "%s: %zu archives offered, %zu in it\n", source.c_str(), window.archivesOffered, kArchives);
    }
    return installed && window.unexpected == 0 && window.archivesOffered == kArchives;
}

void Need(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "merge_install_bench: %s failed\n", what);
        std::exit(1);
    }
}

struct Archive {
    std::string name;
    std::vector<bench::BigItem> items;
};

// The three archives of a mod of about `bytes` bytes, in the order the game
// loads them: the patch first.
std::vector<Archive> MakeMod(std::uint64_t bytes) {
    std::vector<Archive> mod = {{"!StormPatch.big", {}}, {"Storm.big", {}}, {"StormArt.big", {}}};
    std::uint64_t r = 11;
    const auto add = [&](Archive& a, const std::string& path, std::uint64_t mean) {
        r = bench::Mix(r);
        a.items.push_back({path, mean / 2 + r % mean + 1, r, -1});
    };
    const std::uint64_t unit = bytes / 1024;  // about a thousand files, of about a MiB in a 1 GiB mod
    char path[96];
    for (unsigned i = 0; i < 400; ++i) {
        std::snprintf(path, sizeof path, i % 4 ? "Art\\W3D\\avstorm%03u.w3d" : "Data\\INI\\Object\\storm%03u.ini", i);
        add(mod[1], path, unit * 5 / 4);
    }
    for (unsigned i = 0; i < 400; i += 80) add(mod[1], mod[1].items[i].path, unit);  // the last one counts
    for (unsigned i = 0; i < 300; ++i) {
        std::snprintf(path, sizeof path, "Art\\Textures\\avstorm%03u.dds", i);
        add(mod[2], path, unit * 13 / 10);
    }
    for (unsigned i = 0; i < 200; ++i) {
        if (i < 150) {  // what the patch replaces, in its own spelling
            const Archive& from = mod[1 + i % 2];
            std::snprintf(path, sizeof path, "%s", bench::Respelt(from.items[(i * 7) % 300].path, i).c_str());
        } else {
            std::snprintf(path, sizeof path, "Data\\INI\\Patch\\storm%03u.ini", i);
        }
        add(mod[0], path, unit / 2);
    }
    return mod;
}

// Checks the merged archive: one entry for each path, with the bytes of the
// one the game would load.
bool CheckMerged(const fs::path& merged, const std::vector<Archive>& mod) {
    std::map<std::string, const bench::BigItem*> wins;
    for (auto a = mod.rbegin(); a != mod.rend(); ++a) {  // earlier archives replace later ones
        std::map<std::string, const bench::BigItem*> own;
        for (const bench::BigItem& item : a->items) own[bench::PathKey(item.path)] = &item;  // the last one counts
        for (const auto& [key, item] : own) wins[key] = item;
    }
    std::vector<bench::BigRecord> table;
    if (!bench::ReadBig(merged, table)) {
        std::fprintf(stderr, "%s: not an archive of the game\n", merged.c_str());
        return false;
    }
    if (table.size() != wins.size()) {
        std::fprintf(stderr, "%s: %zu entries for %zu paths\n", merged.c_str(), table.size(), wins.size());
        return false;
    }
    FILE* f = std::fopen(merged.c_str(), "rb");
    bool ok = f != nullptr;
    for (const bench::BigRecord& r : table) {
        const auto win = wins.find(bench::PathKey(r.path));
        if (!ok) break;
        if (win == wins.end() || win->second->size != r.size || !bench::HoldsBytes(f, r.offset, r.size, win->second->seed)) {
            std::fprintf(stderr, "%s: %s is not the file the game loads\n", merged.c_str(), r.path.c_str());
            ok = false;
        }
        if (win != wins.end()) wins.erase(win);  // a path twice would be found missing here
    }
    if (f) std::fclose(f);
    return ok;
}

// The one archive the install added to `game`.
fs::path Installed(const fs::path& game) {
    fs::path found;
    int n = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(game)) {
        if (e.is_regular_file()) found = e.path(), ++n;
    }
    Need(n == 1, "finding the one installed mod");
    return found;
}

// The mod's movies, which the game reads only from its folder: loose files
// the install keeps beside the archive.
constexpr int kMovies = 1000;
constexpr std::uint64_t kMovieBytes = (512ull << 20) / kMovies;
std::string Movie(int i) { return bench::Format("Data/Movies/storm%04d.bik", i); }

void WriteMovies(const fs::path& root) {
    fs::create_directories(root / "Data/Movies");
    for (int i = 0; i < kMovies; ++i) {
        std::ofstream out(root / Movie(i), std::ios::binary);
        bench::ForEachPiece(1000 + static_cast<std::uint64_t>(i), kMovieBytes, [&](const char* data, std::size_t n) {
            out.write(data, static_cast<std::streamsize>(n));
        });
    }
}

bool CheckMovies(const fs::path& kept) {
    for (int i = 0; i < kMovies; ++i) {
        FILE* f = std::fopen((kept / Movie(i)).c_str(), "rb");
        const bool same = f && fs::file_size(kept / Movie(i)) == kMovieBytes &&
                          bench::HoldsBytes(f, 0, kMovieBytes, 1000 + static_cast<std::uint64_t>(i));
        if (f) std::fclose(f);
        if (!same) {
            std::fprintf(stderr, "%s: not the mod's movie\n", (kept / Movie(i)).c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--child") {
        if (std::string(argv[2]) == "install" && argc == 5) return bench::ChildDone(ChildInstall(argv[3], argv[4]));
        return 2;
    }
    const bool makeOnly = argc == 4 && std::string(argv[1]) == "--make";
    if (makeOnly) ++argv, --argc;
    const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
    const fs::path scratch =
        fs::absolute(argc > 2 ? fs::path(argv[2]) : fs::current_path() / "merge-install-bench.tmp");
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    if (mib < 8 || mib > 1536 || runs < 1) {
        std::fprintf(stderr, "usage: merge_install_bench [MiB, 8 to 1536] [folder] [runs]\n");
        return 2;
    }
    const std::string self = bench::SelfPath();

    fs::remove_all(scratch);
    const fs::path folder = scratch / "src" / "Storm";
    fs::create_directories(folder);
    const std::vector<Archive> mod = MakeMod(mib << 20);
    std::uint64_t sources = 0;
    std::vector<std::string> names;
    for (const Archive& a : mod) {
        std::uint64_t size = 0;
        bench::WriteBig(folder / a.name, a.items, false, &size);
        sources += size;
        names.push_back(a.name);
    }
    const std::string zip = (scratch / "Storm.zip").string(), sevenZip = (scratch / "Storm.7z").string();
    Need(bench::Spawn({"bsdtar", "--format", "zip", "-cf", zip, "-C", (scratch / "src").string(), "Storm"}, "/dev/null").ok,
         "bsdtar making the .zip");
    Need(bench::Spawn({"7zz", "a", "-t7z", "-m0=lzma2", "-mx=1", "-md=16m", "-ms=on", "-bd", "-bso0", "-bsp0", sevenZip,
                       folder.string()},
                      "/dev/null")
             .ok,
         "7zz making the .7z");
    // The same mod with its movies, which are kept beside its archive.
    const std::string zipWith = (scratch / "Storm movies.zip").string(),
                      sevenZipWith = (scratch / "Storm movies.7z").string();
    const auto makeWithMovies = [&] {
        WriteMovies(folder);
        Need(bench::Spawn({"bsdtar", "--format", "zip", "-cf", zipWith, "-C", (scratch / "src").string(), "Storm"},
                          "/dev/null")
                 .ok,
             "bsdtar making the .zip with movies");
        Need(bench::Spawn({"7zz", "a", "-t7z", "-m0=lzma2", "-mx=1", "-md=16m", "-ms=on", "-bd", "-bso0", "-bsp0",
                           sevenZipWith, folder.string()},
                          "/dev/null")
                 .ok,
             "7zz making the .7z with movies");
    };
    if (makeOnly) {
        makeWithMovies();
        return 0;
    }

    struct Source {
        const char* figure;
        std::string path;
        const char* reference;  // in the figure's name; its sync is in the numbers
        double target;
        int rounds;  // the quick ones vary more between rounds: four more of them
    };
    const fs::path game = scratch / "game", copied = scratch / "copied";
    std::uint64_t mergedSize = 0, mergedTable = 0;
    // Each source against its reference; with `movies`, the mod has its
    // companion movies beside its archives.
    const auto measure = [&](const std::string& zip, const std::string& sevenZip, bool movies) {
        const std::vector<Source> kinds = {
            {".zip", zip, "bsdtar -x", 0.9, runs + 4},
            {"solid .7z", sevenZip, "bsdtar -x", 0.8, runs},
            {"folder", folder.string(), "cp -r", 0.9, runs + 4},
        };
        const std::uint64_t bytes = sources + (movies ? kMovies * kMovieBytes : 0);
        const double size = static_cast<double>(bytes) / kMiB;
        for (const Source& kind : kinds) {
            const auto install = [&](bool first) {
                fs::remove_all(game);
                fs::create_directories(game);
                bench::Settle();
                const bench::Outcome o = bench::Spawn({self, "--child", "install", game.string(), kind.path});
                Need(o.ok, "installing");
                if (first) {
                    const fs::path merged = Installed(game);
                    Need(CheckMerged(merged, mod), "checking the merged archive");
                    if (mergedSize == 0) {
                        std::vector<bench::BigRecord> table;
                        bench::ReadBig(merged, table);
                        mergedSize = fs::file_size(merged);
                        mergedTable = 16;
                        for (const bench::BigRecord& r : table) mergedTable += 8 + r.path.size() + 1;
                    }
                    Need(fs::file_size(merged) == mergedSize, "the same merged archive from every source");
                    if (movies) Need(CheckMovies(game / ".tavrel" / merged.stem()), "checking the companions");
                }
                fs::remove_all(game);
                return o;
            };
            const auto reference = [&] {
                fs::remove_all(copied);
                fs::create_directories(copied);
                bench::Settle();
                bench::Outcome r = kind.path == folder.string()
                                       ? bench::Spawn({"cp", "-r", kind.path, copied.string()}, "/dev/null")
                                       : bench::Spawn({"bsdtar", "-xf", kind.path, "-C", copied.string()}, "/dev/null");
                std::vector<std::string> sync = {"sync"};
                for (const std::string& n : names) sync.push_back((copied / "Storm" / n).string());
                for (int i = 0; movies && i < kMovies; ++i) sync.push_back((copied / "Storm" / Movie(i)).string());
                const bench::Outcome synced = bench::Spawn(sync, "/dev/null");
                Need(r.ok && synced.ok, kind.reference);
                r.seconds += synced.seconds;
                r.cpuSeconds += synced.cpuSeconds;
                fs::remove_all(copied);
                return r;
            };
            const std::string what = std::string(movies ? "+ 1,000 companions " : "") + "from " + kind.figure;
            const bench::Figure f = bench::Rounds(0, kind.rounds, install, reference);
            bench::PrintFigure(bench::Format("merged install %s / %s", what.c_str(), kind.reference),
                               f.reference / f.ours,
                               bench::Format("%.0f MiB: %.0f MiB/s, %s + sync %.0f MiB/s (source %.0f MiB; CPU %.2f s,"
                                             " %.2f s)",
                                             size, size / f.ours, kind.reference, size / f.reference,
                                             static_cast<double>(kind.path == folder.string() ? bytes
                                                                                              : fs::file_size(kind.path)) /
                                                 kMiB,
                                             f.oursCpu, f.referenceCpu),
                               bench::Target::AtLeast, kind.target);
            bench::PrintFigure(bench::Format("peak memory, merge %s / 64 MiB", what.c_str()),
                               static_cast<double>(f.peakKiB) / kMemoryBudgetKiB,
                               bench::Format("%.1f MiB, %s %.1f MiB", f.peakKiB / 1024.0, kind.reference,
                                             f.referencePeakKiB / 1024.0),
                               bench::Target::AtMost, 1.0);
        }
    };
    measure(zip, sevenZip, false);
    makeWithMovies();
    measure(zipWith, sevenZipWith, true);
    bench::PrintFigure("merged archive / sources + its table",
                       static_cast<double>(mergedSize) / static_cast<double>(sources + mergedTable),
                       bench::Format("%.1f MiB, sources %.1f MiB + table %.1f KiB", mergedSize / kMiB, sources / kMiB,
                                     mergedTable / 1024.0),
                       bench::Target::AtMost, 1.0);
    fs::remove_all(scratch);
    return 0;
}
