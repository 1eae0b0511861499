// A mod's add-ons switched by renames, against `mv` doing the same renames:
// turning an add-on of 1 GiB (3 archives and 200 loose files) on and off
// while its mod is active, and activating and deactivating a mod with five
// add-ons on (each an archive and 50 loose files, 200 MiB).
//
//   addons_bench [folder] [runs]
//   addons_bench --make folder   (the game folders only, kept, to look into
//                                 a figure by hand: one/ with the mod active
//                                 and its add-on off, five/ with the mod
//                                 inactive and its add-ons on)
//
// Each game folder (under the scratch folder, default under the current
// directory, so on the build's disk) holds the game's archive, its own loose
// scripts and splash, and the mod "__Storm" with its add-ons kept in its
// companion folder as an install leaves them (addons.h): each add-on's
// addon.txt, its on or off mark, its manifest, its archives stored as
// "_!Name.big.off" and its loose files at their paths. Movies go to
// Data\Movies and Data\English\Movies, folders the game does not have; the
// skirmish scripts and the splash set the game's own aside.
//
// The first figures switch the add-on with ModStore::SwitchAddOn while the
// mod is active, each in a process of its own; the others activate the mod
// with ModStore::ActivateMod and deactivate it with DeactivateMod. After
// each, a shell script of `mv` does the same renames to the same places
// (the on/off mark, the game's files set aside, the folders made, each
// archive, `mv -t` of each folder's files), and back. The rounds take turns,
// and each figure is the median. Every file keeps its inode through both:
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
#include "game/game_paths.h"
#include "mod_data.h"
#include "modstore/addons.h"
#include "modstore/mod_store.h"
#include "modstore/store_folder.h"
#include "process.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMiB = 1ull << 20;
const std::string kBase = "__Storm";

void Need(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "addons_bench: %s failed\n", what.c_str());
        std::exit(1);
    }
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// An add-on as its folder keeps it: its archives by their authors' names
// and its loose files by their game paths ("/" between folders).
struct AddOnLayout {
    std::string name;
    std::vector<std::string> archives;
    std::vector<std::string> loose;
    std::uint64_t archiveBytes = 0, looseBytes = 0;  // each
    bool on = false;

    std::string folder() const { return ".tavrel/" + kBase + "/addons/" + name + "/"; }
};

// Each file of the add-ons where it is kept (relative to the game folder)
// and where it goes while they are placed.
std::vector<std::pair<std::string, std::string>> Places(const std::vector<AddOnLayout>& addOns) {
    std::vector<std::pair<std::string, std::string>> places;
    for (const AddOnLayout& a : addOns) {
        for (const std::string& author : a.archives) {
            const std::string placed = tavrel::AddOnArchiveName(author);
            places.emplace_back(a.folder() + tavrel::AddOnStoredPath(placed), placed);
        }
        for (const std::string& path : a.loose) places.emplace_back(a.folder() + path, path);
    }
    return places;
}

// `n` loose files of the add-on `name`: movies in two folders named after
// it, and with `setsAside` the skirmish scripts and the splash in place of
// two of them.
std::vector<std::string> LooseFiles(const std::string& name, int n, bool setsAside) {
    std::vector<std::string> paths;
    if (setsAside) paths = {"Data/Scripts/SkirmishScripts.scb", "Install_Final.bmp"};
    for (int i = static_cast<int>(paths.size()); i < n; ++i) {
        paths.push_back(bench::Format("%s/%s%03d.bik", i % 2 ? "Data/Movies" : "Data/English/Movies", name.c_str(), i));
    }
    return paths;
}

// The game folder with the mod (active or not) and `addOns` in its companion
// folder, every byte written.
void MakeGame(const fs::path& game, bool active, const std::vector<AddOnLayout>& addOns) {
    fs::remove_all(game);
    Write(game / "INIZH.big", "game");
    Write(game / "Data/Scripts/SkirmishScripts.scb", "stock skirmish");
    Write(game / "Data/Scripts/MultiplayerScripts.scb", "stock multiplayer");
    Write(game / "Install_Final.bmp", "stock splash");
    Write(game / (kBase + (active ? ".big" : ".bit")), "not an archive of the game: nothing in it hides");
    std::uint64_t seed = 1;
    for (const AddOnLayout& a : addOns) {
        const fs::path folder = game / a.folder();
        fs::create_directories(folder);
        tavrel::Manifest manifest;
        for (const std::string& author : a.archives) {
            // Textures, in entries of 4 MiB.
            std::vector<bench::BigItem> items;
            for (std::uint64_t left = a.archiveBytes, i = 0; left > 0; ++i) {
                const std::uint64_t size = std::min<std::uint64_t>(left, 4 * kMiB);
                items.push_back({bench::Format("Art\\Textures\\%s%03u.dds", a.name.c_str(), static_cast<unsigned>(i)),
                                 size, ++seed, -1});
                left -= size;
            }
            const std::string placed = tavrel::AddOnArchiveName(author);
            bench::WriteBig(folder / tavrel::AddOnStoredPath(placed), items);
            manifest.paths.push_back(placed);
        }
        std::vector<char> block(a.looseBytes);
        for (const std::string& path : a.loose) {
            for (std::size_t k = 0; k < block.size(); k += 512) block[k] = static_cast<char>(++seed);
            fs::create_directories((folder / path).parent_path());
            std::ofstream(folder / path, std::ios::binary).write(block.data(), static_cast<std::streamsize>(block.size()));
            std::string gamePath = path;
            for (char& c : gamePath) c = c == '/' ? '\\' : c;
            manifest.paths.push_back(gamePath);
        }
        Need(tavrel::WriteManifest(folder.string(), manifest).ok(), "writing a manifest");
        Need(tavrel::WriteAddOnInfo(folder.string(), tavrel::AddOnKind::AddOn, 0).ok(), "writing addon.txt");
        Write(folder / tavrel::AddOnMark(a.on), "");
    }
}

// Every file's inode, where it is kept (`placed` false) or put in place.
std::map<std::string, ino_t> Inodes(const fs::path& game, const std::vector<AddOnLayout>& addOns, bool placed) {
    std::map<std::string, ino_t> out;
    for (const auto& [kept, place] : Places(addOns)) {
        struct stat st {};
        out[place] = ::stat((game / (placed ? place : kept)).c_str(), &st) == 0 ? st.st_ino : 0;
    }
    return out;
}

// True when every file was found (no inode 0).
bool AllFound(const std::map<std::string, ino_t>& inodes) {
    for (const auto& [path, inode] : inodes) {
        if (inode == 0) return false;
    }
    return true;
}

// Tells nothing: the messages of a switch are expected.
struct QuietWindow : bench::ScriptedWindow {
    tavrel::Answer message(const std::string&, tavrel::Buttons buttons, tavrel::Icon) override {
        return buttons == tavrel::Buttons::YesNo ? tavrel::Answer::Yes : tavrel::Answer::Ok;
    }
};

bool Child(const std::string& what, const std::string& game, const std::string& addOn) {
    QuietWindow window;
    window.folder = game;
    tavrel::ModStore store(window, [](const std::string&) { return false; });
    store.UpdateList(true);
    if (what == "on" || what == "off") return store.SwitchAddOn(kBase, addOn, what == "on");
    if (what == "activate") store.ActivateMod(kBase);
    else store.DeactivateMod(kBase);
    return window.active == (what == "activate" ? kBase : "");
}

// The renames of placing `addOns` (or, with `on` false, of taking them
// back) by mv, as one shell script run in the game folder; `first` comes
// before the placing and after the taking back.
std::string MvScript(const std::vector<AddOnLayout>& addOns, bool on, const std::string& first) {
    std::vector<std::string> steps;
    const auto add = [&](const std::string& step) { steps.push_back(step); };
    const char* const kFolders[] = {"Data/Movies", "Data/English/Movies"};
    if (on) {
        if (!first.empty()) add(first);
        add("mv -n Install_Final.bmp Install_Final.bmp.tavrel");
        add("mv -n Data/Scripts/SkirmishScripts.scb Data/Scripts/SkirmishScripts.scb.tavrel");
        add("mkdir Data/Movies Data/English Data/English/Movies");
    }
    for (const AddOnLayout& a : addOns) {
        const std::string kept = "'" + a.folder() + "'";
        for (const std::string& author : a.archives) {
            const std::string placed = tavrel::AddOnArchiveName(author);
            const std::string stored = "'" + a.folder() + tavrel::AddOnStoredPath(placed) + "'";
            add(on ? "mv -n " + stored + " '" + placed + "'" : "mv -n '" + placed + "' " + stored);
        }
        for (const char* folder : kFolders) {
            add(on ? bench::Format("mv -n -t %s %s%s/*", folder, kept.c_str(), folder)
                   : bench::Format("mv -n -t %s%s %s/%s*", kept.c_str(), folder, folder, a.name.c_str()));
        }
        for (const std::string& path : a.loose) {
            if (path.ends_with(".bik")) continue;
            const std::string to = path.find('/') == std::string::npos ? "." : fs::path(path).parent_path().string() + "/";
            add(on ? "mv -n " + kept + path + " " + to
                   : "mv -n " + path + " " + kept + (to == "." ? "" : to));
        }
    }
    if (!on) {
        add("rmdir Data/Movies Data/English/Movies Data/English");
        add("mv -n Data/Scripts/SkirmishScripts.scb.tavrel Data/Scripts/SkirmishScripts.scb");
        add("mv -n Install_Final.bmp.tavrel Install_Final.bmp");
        if (!first.empty()) add(first);
    }
    std::string script;
    for (const std::string& step : steps) script += (script.empty() ? "" : " && ") + step;
    return script;
}

struct Times {
    std::vector<double> on, off, mvOn, mvOff;
};

// Rounds of `ours("on")`, `ours("off")` and the same by mv in turn, each
// round's files checked: in place after the first, back after the second.
template <typename Ours, typename Mv, typename Placed, typename Back>
Times Rounds(int runs, const char* on, const char* off, Ours ours, Mv mv, Placed placed, Back back) {
    Times t;
    for (int i = 0; i < runs; ++i) {
        const bool oursFirst = i % 2 == 0;  // each goes first in turn
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == oursFirst) {
                t.on.push_back(ours(on).seconds);
                placed(on);
                t.off.push_back(ours(off).seconds);
            } else {
                t.mvOn.push_back(mv(true).seconds);
                placed("mv in");
                t.mvOff.push_back(mv(false).seconds);
            }
            back(turn == 0 ? "the first turn" : "the second turn");
        }
    }
    return t;
}

void Print(const Times& t, const char* on, const char* off, std::uint64_t mib) {
    const double a = bench::Median(t.on), b = bench::Median(t.mvOn), c = bench::Median(t.off),
                 d = bench::Median(t.mvOff);
    const std::string size = bench::Format("%llu MiB, renames only", static_cast<unsigned long long>(mib));
    bench::PrintFigure(on, a / b, bench::Format("%.1f ms, mv %.1f ms (%s)", a * 1e3, b * 1e3, size.c_str()),
                       bench::Target::AtMost, 1.5);
    bench::PrintFigure(off, c / d, bench::Format("%.1f ms, mv %.1f ms (%s)", c * 1e3, d * 1e3, size.c_str()),
                       bench::Target::AtMost, 1.5);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--child") return bench::ChildDone(Child(argv[2], argv[3], argv[4]));
    const bool makeOnly = argc == 3 && std::string(argv[1]) == "--make";
    if (makeOnly) ++argv, --argc;
    const fs::path scratch = fs::absolute(argc > 1 ? fs::path(argv[1]) : fs::current_path() / "addons-bench.tmp");
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    const std::string self = bench::SelfPath();
    const auto spawn = [&](const fs::path& game, const std::string& what, const std::string& addOn) {
        bench::Settle();
        const bench::Outcome o = bench::Spawn({self, "--child", what, game.string(), addOn});
        Need(o.ok, what);
        return o;
    };
    const auto shell = [&](const fs::path& game, const std::string& script, const char* what) {
        bench::Settle();
        const bench::Outcome o = bench::Spawn({"sh", "-c", "cd \"$0\" && " + script, game.string()}, "/dev/null");
        Need(o.ok, what);
        return o;
    };

    // One add-on of 1 GiB, three archives of 256 MiB and 200 files, off.
    AddOnLayout hud{"StormHUD", {"HUD.big", "HUDArt.big", "HUDMaps.big"}, LooseFiles("StormHUD", 200, true),
                    256 * kMiB, 0, false};
    hud.looseBytes = (1024 - 3 * 256) * kMiB / hud.loose.size();
    const std::vector<AddOnLayout> one = {hud};
    // Five add-ons on, each an archive of 100 MiB and 50 files of 2 MiB.
    std::vector<AddOnLayout> five;
    for (const char* name : {"AirForce", "Cameos", "Maps", "Navy", "Voices"}) {
        five.push_back({name, {std::string("!") + name + ".big"}, LooseFiles(name, 50, five.empty()), 100 * kMiB,
                        100 * kMiB / 50, true});
    }
    if (makeOnly) {
        MakeGame(scratch / "one", true, one);
        MakeGame(scratch / "five", false, five);
        return 0;
    }

    // The add-on turned on and off while its mod is active.
    {
        const fs::path game = scratch / "one";
        const std::vector<AddOnLayout>& addOns = one;
        MakeGame(game, true, addOns);
        const auto atRest = Inodes(game, addOns, false);
        Need(atRest.size() == 203 && AllFound(atRest), "making the add-on");
        const std::string mark = "mv -n '" + hud.folder() + "off' '" + hud.folder() + "on'";
        const std::string unmark = "mv -n '" + hud.folder() + "on' '" + hud.folder() + "off'";
        const Times t = Rounds(
            runs, "on", "off", [&](const char* what) { return spawn(game, what, hud.name); },
            [&](bool on) {
                return shell(game, on ? MvScript(addOns, true, mark) : MvScript(addOns, false, unmark),
                             on ? "mv in" : "mv out");
            },
            [&](const std::string& what) {
                Need(Inodes(game, addOns, true) == atRest && fs::exists(game / "Install_Final.bmp.tavrel") &&
                         fs::exists(game / hud.folder() / "on"),
                     "placing the add-on by renames alone (" + what + ")");
            },
            [&](const std::string& what) {
                Need(Inodes(game, addOns, false) == atRest && !fs::exists(game / "Data/Movies") &&
                         fs::exists(game / "Install_Final.bmp") && fs::exists(game / hud.folder() / "off"),
                     "taking the add-on back (" + what + ")");
            });
        Print(t, "add-on on, 3 archives + 200 files / mv", "add-on off, 3 archives + 200 files / mv", 1024);
    }

    // A mod with five add-ons on, activated and deactivated.
    {
        const fs::path game = scratch / "five";
        const std::vector<AddOnLayout>& addOns = five;
        MakeGame(game, false, addOns);
        const auto atRest = Inodes(game, addOns, false);
        Need(atRest.size() == 5 * 51 && AllFound(atRest), "making the add-ons");
        const Times t = Rounds(
            runs, "activate", "deactivate", [&](const char* what) { return spawn(game, what, ""); },
            [&](bool on) {
                return shell(game, MvScript(addOns, on, on ? "mv -n __Storm.bit __Storm.big" : "mv -n __Storm.big __Storm.bit"),
                             on ? "mv in" : "mv out");
            },
            [&](const std::string& what) {
                Need(Inodes(game, addOns, true) == atRest && fs::exists(game / "__Storm.big") &&
                         fs::exists(game / "Install_Final.bmp.tavrel"),
                     "activating by renames alone (" + what + ")");
            },
            [&](const std::string& what) {
                Need(Inodes(game, addOns, false) == atRest && fs::exists(game / "__Storm.bit") &&
                         !fs::exists(game / "Data/Movies") && fs::exists(game / "Install_Final.bmp"),
                     "the deactivation (" + what + ")");
            });
        Print(t, "activate, 5 add-ons on / mv", "deactivate, 5 add-ons on / mv", 1000);
    }
    fs::remove_all(scratch);
    return 0;
}
