// Activating and deactivating a mod with 1,000 companion files (512 MiB of
// movies, and its skirmish scripts) against `mv` doing the same renames.
//
//   companions_bench [folder] [runs]
//
// The game folder (under the scratch folder, default under the current
// directory, so on the build's disk) holds the game's own loose scripts and
// splash and the mod "__Storm": its archive and its companion folder as an
// install leaves them, 500 movies in Data\Movies and 500 in
// Data\English\Movies, its scripts and its splash. Each round activates it
// with ModStore::ActivateMod and deactivates it with DeactivateMod, each in
// a process of its own, and then does the same renames with a shell script
// of `mv` (the archive, the game's two files set aside, the folders made,
// `mv -t` of each folder's companions), and back. The rounds take turns, and
// the figure is the median. Every companion keeps its inode through both:
// renames only, no byte copied.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench_window.h"
#include "figure.h"
#include "modstore/mod_store.h"
#include "process.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMovies = 1000;
constexpr std::uint64_t kMovieBytes = (512ull << 20) / kMovies;

void Need(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "companions_bench: %s failed\n", what);
        std::exit(1);
    }
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The companions of the mod, as game paths with "/".
std::vector<std::string> Companions() {
    std::vector<std::string> paths;
    char name[64];
    for (int i = 0; i < kMovies; ++i) {
        std::snprintf(name, sizeof name, "%s/storm%04d.bik", i % 2 ? "Data/Movies" : "Data/English/Movies", i);
        paths.push_back(name);
    }
    paths.push_back("Data/Scripts/SkirmishScripts.scb");
    paths.push_back("Install_Final.bmp");
    return paths;
}

void MakeGame(const fs::path& game) {
    fs::remove_all(game);
    Write(game / "INIZH.big", "game");
    Write(game / "Data/Scripts/SkirmishScripts.scb", "stock skirmish");
    Write(game / "Data/Scripts/MultiplayerScripts.scb", "stock multiplayer");
    Write(game / "Install_Final.bmp", "stock splash");
    Write(game / "__Storm.bit", "not an archive of the game: nothing in it hides");
    const fs::path kept = game / ".tavrel" / "__Storm";
    std::string manifest = "tavrel companions 1\n";
    std::vector<char> block(kMovieBytes);
    int n = 0;
    for (const std::string& path : Companions()) {
        std::string game = path;
        for (char& c : game) c = c == '/' ? '\\' : c;
        manifest += game + "\n";
        for (std::size_t k = 0; k < block.size(); k += 512) block[k] = static_cast<char>(++n);
        fs::create_directories((kept / path).parent_path());
        std::ofstream(kept / path, std::ios::binary).write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    Write(kept / "companions.txt", manifest);
}

// Every companion's inode, where it is now.
std::map<std::string, ino_t> Inodes(const fs::path& base) {
    std::map<std::string, ino_t> out;
    for (const std::string& path : Companions()) {
        struct stat st {};
        out[path] = ::stat((base / path).c_str(), &st) == 0 ? st.st_ino : 0;
    }
    return out;
}

// Tells nothing: the activation's messages are expected.
struct QuietWindow : bench::ScriptedWindow {
    tavrel::Answer message(const std::string&, tavrel::Buttons buttons, tavrel::Icon) override {
        return buttons == tavrel::Buttons::YesNo ? tavrel::Answer::Yes : tavrel::Answer::Ok;
    }
};

bool Child(const std::string& what, const std::string& game) {
    QuietWindow window;
    window.folder = game;
    tavrel::ModStore store(window, [](const std::string&) { return false; });
    store.UpdateList(true);
    if (what == "activate") store.ActivateMod("__Storm");
    else store.DeactivateMod("__Storm");
    return true;
}

// The same renames by mv, as one shell script run in the game folder.
std::string MvScript(bool on) {
    const std::string kept = ".tavrel/__Storm/";
    if (on) {
        return "mv -n __Storm.bit __Storm.big && mv -n Install_Final.bmp Install_Final.bmp.tavrel && "
               "mv -n Data/Scripts/SkirmishScripts.scb Data/Scripts/SkirmishScripts.scb.tavrel && "
               "mkdir Data/Movies Data/English Data/English/Movies && "
               "mv -n -t Data/Movies " + kept + "Data/Movies/* && mv -n -t Data/English/Movies " + kept +
               "Data/English/Movies/* && mv -n " + kept + "Data/Scripts/SkirmishScripts.scb Data/Scripts/ && mv -n " +
               kept + "Install_Final.bmp .";
    }
    return "mv -n -t " + kept + "Data/Movies Data/Movies/* && mv -n -t " + kept + "Data/English/Movies "
           "Data/English/Movies/* && mv -n Data/Scripts/SkirmishScripts.scb " + kept + "Data/Scripts/ && mv -n "
           "Install_Final.bmp " + kept + " && rmdir Data/Movies Data/English/Movies Data/English && "
           "mv -n Data/Scripts/SkirmishScripts.scb.tavrel Data/Scripts/SkirmishScripts.scb && "
           "mv -n Install_Final.bmp.tavrel Install_Final.bmp && mv -n __Storm.big __Storm.bit";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--child") return bench::ChildDone(Child(argv[2], argv[3]));
    const fs::path scratch = fs::absolute(argc > 1 ? fs::path(argv[1]) : fs::current_path() / "companions-bench.tmp");
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    const std::string self = bench::SelfPath();
    const fs::path game = scratch / "game";
    MakeGame(game);
    const auto atRest = Inodes(game / ".tavrel" / "__Storm");
    Need(atRest.size() == kMovies + 2, "making the mod");
    const auto ours = [&](const char* what) {
        bench::Settle();
        const bench::Outcome o = bench::Spawn({self, "--child", what, game.string()});
        Need(o.ok, what);
        return o;
    };
    const auto mv = [&](bool on) {
        bench::Settle();
        const bench::Outcome o = bench::Spawn({"sh", "-c", "cd \"$0\" && " + MvScript(on), game.string()}, "/dev/null");
        Need(o.ok, on ? "mv in" : "mv out");
        return o;
    };

    std::vector<double> on, off, mvOn, mvOff;
    for (int i = 0; i < runs; ++i) {
        const bool oursFirst = i % 2 == 0;  // each goes first in turn
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == oursFirst) {
                on.push_back(ours("activate").seconds);
                Need(Inodes(game) == atRest, "activating by renames alone");
                Need(fs::exists(game / "__Storm.big") && fs::exists(game / "Install_Final.bmp.tavrel"), "the activation");
                off.push_back(ours("deactivate").seconds);
            } else {
                mvOn.push_back(mv(true).seconds);
                Need(Inodes(game) == atRest, "mv in");
                mvOff.push_back(mv(false).seconds);
            }
            Need(Inodes(game / ".tavrel" / "__Storm") == atRest && fs::exists(game / "__Storm.bit") &&
                     !fs::exists(game / "Data/Movies"),
                 "the deactivation");
        }
    }
    const double a = bench::Median(on), b = bench::Median(mvOn), c = bench::Median(off), d = bench::Median(mvOff);
    bench::PrintFigure("activate, 1,000 companions / mv", a / b,
                       bench::Format("%.1f ms, mv %.1f ms (512 MiB, renames only)", a * 1e3, b * 1e3),
                       bench::Target::AtMost, 1.5);
    bench::PrintFigure("deactivate, 1,000 companions / mv", c / d,
                       bench::Format("%.1f ms, mv %.1f ms (512 MiB, renames only)", c * 1e3, d * 1e3),
                       bench::Target::AtMost, 1.5);
    fs::remove_all(scratch);
    return 0;
}
