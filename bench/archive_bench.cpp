// Mods out of archives against bsdtar, which reads them with the same
// libarchive.
//
//   archive_bench [MiB] [folder] [runs]
//
// Makes a mod (a .big of the given size, default 1024 MiB, beside a readme)
// and packs it at bench time into a stored .zip, a deflated .zip (bsdtar)
// and a .7z (7-Zip, LZMA2 with a 16 MiB dictionary, 7-Zip's default). Each
// unpack lists the archive's mods and unpacks the one (ListModMembers,
// UnpackMember) in a process of its own, timed whole and with its peak
// memory; the reference is `bsdtar -xOf ARCHIVE MEMBER > FILE` followed by
// `sync FILE`, since the unpack flushes its file before it names it. Then
// ListArchiveFiles of an archive of 10,000 files (.zip and .7z) against
// `bsdtar -tf`, each in a process of its own. `runs` rounds (default 3;
// four more for the .zip archives, which take a second or two and vary
// more) that take turns with the reference, medians of the time and of the
// processor time; the first unpack of each archive is checked byte for
// byte. The archives have just been written, so no round is spent warming
// the cache, except for the listings: one untimed round, then 11. The
// scratch folder (default under the current directory, so on the build's
// disk) is removed at the end.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "figure.h"
#include "game/big_archive.h"
#include "mod_data.h"
#include "process.h"
#include "support/archive.h"

namespace fs = std::filesystem;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr long kMemoryBudgetKiB = 64 * 1024;
constexpr int kListed = 10000;

// The child's work: list the archive's mods, unpack the one at `memberPath`.
bool ChildUnpack(const std::string& archive, const std::string& memberPath, const std::string& destination) {
    std::vector<tavrel::ArchiveMember> mods;
    if (tavrel::Status listed = tavrel::ListModMembers(archive, mods); !listed.ok()) {
        std::fprintf(stderr, "listing %s: %s\n", archive.c_str(), listed.text().c_str());
        return false;
    }
    for (const tavrel::ArchiveMember& member : mods) {
        if (member.path != memberPath) continue;
        const tavrel::Status unpacked = tavrel::UnpackMember(archive, member, destination);
        if (!unpacked.ok()) std::fprintf(stderr, "unpacking %s: %s\n", archive.c_str(), unpacked.text().c_str());
        return unpacked.ok();
    }
    std::fprintf(stderr, "%s: no mod %s among %zu\n", archive.c_str(), memberPath.c_str(), mods.size());
    return false;
}

bool ChildList(const std::string& archive, std::size_t expected) {
    std::vector<tavrel::ArchiveMember> files;
    const tavrel::Status listed = tavrel::ListArchiveFiles(archive, files);
    if (!listed.ok()) std::fprintf(stderr, "listing %s: %s\n", archive.c_str(), listed.text().c_str());
    if (listed.ok() && files.size() != expected) {
        std::fprintf(stderr, "%s: %zu files listed, %zu in it\n", archive.c_str(), files.size(), expected);
    }
    return listed.ok() && files.size() == expected;
}

bool SameFiles(const fs::path& a, const fs::path& b) {
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    std::vector<char> ba(1 << 20), bb(1 << 20);
    while (fa && fb) {
        fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
        fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
        if (fa.gcount() != fb.gcount() || std::memcmp(ba.data(), bb.data(), static_cast<std::size_t>(fa.gcount())))
            return false;
    }
    return !fa && !fb;
}

void Need(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "archive_bench: %s failed\n", what);
        std::exit(1);
    }
}

// A mod of `bytes` bytes: entries of 16 KiB to 2 MiB, textures, models,
// sounds and INI files.
std::vector<bench::BigItem> ModItems(std::uint64_t bytes, std::uint64_t seed) {
    static const char* const kinds[] = {"Art\\Textures\\%s%05u.dds", "Art\\W3D\\%s%05u.w3d",
                                        "Data\\Audio\\Sounds\\%s%05u.wav", "Data\\INI\\Object\\%s%05u.ini"};
    static const char* const names[] = {"avcrusader", "nvbattle", "uigla", "exhuman", "cbtree"};
    std::vector<bench::BigItem> items;
    std::uint64_t r = seed;
    // The table counts too; leave room for it.
    for (std::uint64_t total = 0; total + 64 * 1024 < bytes;) {
        r = bench::Mix(r);
        char path[96];
        std::snprintf(path, sizeof path, kinds[r % 4], names[(r >> 4) % 5], static_cast<unsigned>(items.size()));
        const std::uint64_t size = std::min<std::uint64_t>(16 * 1024 + (r >> 20) % (2 << 20), bytes - total - 64 * 1024);
        items.push_back({path, size, r, -1});
        total += size + 8 + std::strlen(path) + 1;
    }
    return items;
}


}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--child") {
        const std::string what = argv[2];
        if (what == "unpack" && argc == 6) return bench::ChildDone(ChildUnpack(argv[3], argv[4], argv[5]));
        if (what == "list" && argc == 5) return bench::ChildDone(ChildList(argv[3], std::strtoul(argv[4], nullptr, 10)));
        return 2;
    }
    const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
    const fs::path scratch = fs::absolute(argc > 2 ? fs::path(argv[2]) : fs::current_path() / "archive-bench.tmp");
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    if (mib == 0 || mib >= 2047 || runs < 1) {
        std::fprintf(stderr, "usage: archive_bench [MiB below 2047] [folder] [runs]\n");
        return 2;
    }
    const std::string self = bench::SelfPath();

    fs::remove_all(scratch);
    fs::create_directories(scratch / "src" / "Storm");
    fs::create_directories(scratch / "out");
    const fs::path big = scratch / "src" / "Storm" / "Storm.big";
    std::uint64_t bigSize = 0;
    bench::WriteBig(big, ModItems(mib << 20, 7), false, &bigSize);
    std::ofstream(scratch / "src" / "Storm" / "Readme.txt") << "Storm, a mod of the game.\r\nPut Storm.big in the game folder.\r\n";

    struct Packed {
        const char* figure;
        fs::path archive;
        std::vector<std::string> make;
        int rounds;  // the quick ones vary more between rounds: four more of them
    };
    const std::string src = (scratch / "src").string();
    const std::vector<Packed> archives = {
        {"stored .zip", scratch / "stored.zip",
         {"bsdtar", "--format", "zip", "--options", "zip:compression=store", "-cf", (scratch / "stored.zip").string(),
          "-C", src, "Storm"},
         runs + 4},
        {"deflate .zip", scratch / "deflated.zip",
         {"bsdtar", "--format", "zip", "-cf", (scratch / "deflated.zip").string(), "-C", src, "Storm"},
         runs + 4},
        {"LZMA2 .7z", scratch / "lzma2.7z",
         {"7zz", "a", "-t7z", "-m0=lzma2", "-mx=1", "-md=16m", "-bd", "-bso0", "-bsp0",
          (scratch / "lzma2.7z").string(), src + "/Storm"},
         runs},
    };
    const fs::path ours = scratch / "out" / "Storm.big";
    const fs::path theirs = scratch / "out" / "bsdtar.big";
    for (const Packed& packed : archives) {
        Need(bench::Spawn(packed.make, "/dev/null").ok, packed.make[0].c_str());
        const bench::Figure f = bench::Rounds(
            0, packed.rounds,
            [&](bool check) {
                fs::remove(ours);
                bench::Settle();
                const bench::Outcome o =
                    bench::Spawn({self, "--child", "unpack", packed.archive.string(), "Storm/Storm.big", ours.string()});
                Need(o.ok, "unpacking");
                if (check) Need(SameFiles(ours, big), "unpacking the mod's bytes");
                fs::remove(ours);
                return o;
            },
            [&] {
                fs::remove(theirs);
                bench::Settle();
                bench::Outcome o =
                    bench::Spawn({"bsdtar", "-xOf", packed.archive.string(), "Storm/Storm.big"}, theirs.string());
                const bench::Outcome synced = bench::Spawn({"sync", theirs.string()}, "/dev/null");
                Need(o.ok && synced.ok && fs::file_size(theirs) == bigSize, "bsdtar -xO");
                o.seconds += synced.seconds;
                o.cpuSeconds += synced.cpuSeconds;
                fs::remove(theirs);
                return o;
            });
        const double size = static_cast<double>(bigSize) / kMiB;
        bench::PrintFigure(bench::Format("unpack from %s / bsdtar -xO", packed.figure),
                           f.reference / f.ours,
                           bench::Format("%.0f MiB: %.0f MiB/s, bsdtar -xO + sync %.0f MiB/s (archive %.0f MiB;"
                                         " CPU %.2f s, %.2f s)",
                                         size, size / f.ours, size / f.reference,
                                         static_cast<double>(fs::file_size(packed.archive)) / kMiB, f.oursCpu,
                                         f.referenceCpu),
                           bench::Target::AtLeast, 0.9);
        bench::PrintFigure(bench::Format("peak memory, unpack from %s / 64 MiB", packed.figure),
                           static_cast<double>(f.peakKiB) / kMemoryBudgetKiB,
                           bench::Format("%.1f MiB, bsdtar %.1f MiB", f.peakKiB / 1024.0, f.referencePeakKiB / 1024.0),
                           bench::Target::AtMost, 1.0);
        fs::remove(packed.archive);
    }
    fs::remove_all(scratch / "src");

    // 10,000 files in 100 folders: INI files and small textures.
    const fs::path tree = scratch / "list";
    for (int i = 0; i < kListed; ++i) {
        const fs::path folder = tree / "Mod" / "Data" / ("Folder" + std::to_string(i % 100));
        if (i < 100) fs::create_directories(folder);
        std::ofstream out(folder / ("File" + std::to_string(i) + (i % 3 ? ".ini" : ".dds")), std::ios::binary);
        bench::ForEachPiece(static_cast<std::uint64_t>(i), 200 + bench::Mix(i) % 1800,
                            [&](const char* data, std::size_t n) { out.write(data, static_cast<std::streamsize>(n)); });
    }
    const std::vector<Packed> lists = {
        {".zip", scratch / "list.zip",
         {"bsdtar", "--format", "zip", "-cf", (scratch / "list.zip").string(), "-C", tree.string(), "Mod"},
         11},
        {".7z", scratch / "list.7z",
         {"7zz", "a", "-t7z", "-mx=1", "-bd", "-bso0", "-bsp0", (scratch / "list.7z").string(), (tree / "Mod").string()},
         11},
    };
    for (const Packed& packed : lists) {
        Need(bench::Spawn(packed.make, "/dev/null").ok, packed.make[0].c_str());
        const bench::Figure f = bench::Rounds(
            1, std::max(packed.rounds, runs),
            [&](bool) {
                const bench::Outcome o = bench::Spawn(
                    {self, "--child", "list", packed.archive.string(), std::to_string(kListed)});
                Need(o.ok, "listing");
                return o;
            },
            [&] {
                const bench::Outcome o = bench::Spawn({"bsdtar", "-tf", packed.archive.string()}, "/dev/null");
                Need(o.ok, "bsdtar -tf");
                return o;
            });
        bench::PrintFigure(bench::Format("listing of 10,000 files, %s / bsdtar -tf", packed.figure),
                           f.ours / f.reference,
                           bench::Format("%.4f s, bsdtar -tf %.4f s", f.ours, f.reference), bench::Target::AtMost,
                           1.5);
    }
    fs::remove_all(scratch);
    return 0;
}
