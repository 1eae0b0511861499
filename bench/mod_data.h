// Mods for the benchmarks, made byte by byte: the game's .big archives and
// the bytes of their entries.
//
// An entry's bytes are a mix, in blocks of 64 KiB, of pseudo-random bytes
// (four blocks in ten: textures and sounds that no packer shrinks) and text
// of the game's INI files drawn from a few thousand different lines, so
// that deflate and LZMA both have real work to do. Every byte follows from
// the entry's seed and its place, so a benchmark can make an entry again to
// check what a program wrote.
//
// A .big starts with "BIGF", the archive's size (u32, little-endian), the
// number of entries and the offset of the first entry's bytes (u32,
// big-endian), then for each entry its offset and size (u32, big-endian)
// and its path ending in NUL; the entries' bytes follow.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

constexpr std::size_t kDataBlock = 64 * 1024;

inline std::uint64_t Mix(std::uint64_t x) {  // splitmix64
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Lines of the game's INI files, each one different.
inline const std::vector<std::string>& TextLines() {
    static const std::vector<std::string> lines = [] {
        static const char* const sides[] = {"America", "China", "GLA", "Boss", "Civilian", "AirForce", "Laser",
                                            "SuperWeapon", "Tank", "Infantry", "Nuke", "Stealth", "Demo", "Toxin"};
        static const char* const units[] = {"Crusader", "Paladin", "Overlord", "Gattling", "Dozer", "Ranger",
                                            "Raptor", "Comanche", "Technical", "Scorpion", "Marauder", "Humvee",
                                            "Battlemaster", "Inferno", "Avenger", "Chinook", "Rebel", "Hacker"};
        static const char* const keys[] = {"BuildCost", "BuildTime", "VisionRange", "ShroudClearingRange",
                                           "MaxHealth", "InitialHealth", "Speed", "TurnRate", "Acceleration",
                                           "Braking", "PrimaryDamage", "PrimaryDamageRadius", "AttackRange",
                                           "DelayBetweenShots", "ClipSize", "ClipReloadTime", "ExperienceValue",
                                           "ExperienceRequired", "CrushableLevel", "CommandPoints", "Scale"};
        std::vector<std::string> out;
        char line[160];
        std::uint64_t r = 1;
        for (int i = 0; i < 4096; ++i) {
            r = Mix(r);
            const char* side = sides[r % std::size(sides)];
            const char* unit = units[(r >> 8) % std::size(units)];
            const char* key = keys[(r >> 16) % std::size(keys)];
            const unsigned n = static_cast<unsigned>((r >> 24) % 5000);
            switch ((r >> 40) % 8) {
            case 0: std::snprintf(line, sizeof line, "Object %s%s_%u\r\n", side, unit, n); break;
            case 1: std::snprintf(line, sizeof line, "  Draw = W3DModelDraw ModuleTag_%02u\r\n", n % 100); break;
            case 2: std::snprintf(line, sizeof line, "    Model = %sV_%s%u\r\n", side, unit, n % 50); break;
            case 3: std::snprintf(line, sizeof line, "  End\r\n; %s %s, tuned %u\r\n", side, unit, n); break;
            case 4: std::snprintf(line, sizeof line, "  %s = %u.%u\r\n", key, n / 10, n % 10); break;
            default: std::snprintf(line, sizeof line, "  %s = %u\r\n", key, n); break;
            }
            out.emplace_back(line);
        }
        return out;
    }();
    return lines;
}

// Block `block` of the bytes of seed `seed`: kDataBlock bytes into `out`.
inline void FillBlock(std::uint64_t seed, std::uint64_t block, char* out) {
    std::uint64_t r = Mix(seed * 0x100000001B3ull ^ Mix(block));
    if (r % 10 < 4) {
        for (std::size_t i = 0; i < kDataBlock; i += 8) {
            r ^= r << 13, r ^= r >> 7, r ^= r << 17;  // xorshift64
            std::memcpy(out + i, &r, 8);
        }
        return;
    }
    const std::vector<std::string>& lines = TextLines();
    for (std::size_t at = 0; at < kDataBlock;) {
        r ^= r << 13, r ^= r >> 7, r ^= r << 17;
        const std::string& line = lines[r % lines.size()];
        const std::size_t n = std::min(line.size(), kDataBlock - at);
        std::memcpy(out + at, line.data(), n);
        at += n;
    }
}

// Hands the `size` bytes of seed `seed` to `write(const char*, std::size_t)`
// in pieces of at most one block.
template <typename Write>
void ForEachPiece(std::uint64_t seed, std::uint64_t size, Write write) {
    std::vector<char> block(kDataBlock);
    for (std::uint64_t done = 0, b = 0; done < size; ++b) {
        FillBlock(seed, b, block.data());
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kDataBlock, size - done));
        write(block.data(), n);
        done += n;
    }
}

// The game's key for a path: ASCII letters in lower case, "/" as "\".
// `path` as a player's tools may spell it: some "\\" as "/", some letters in
// upper case, chosen by `r`. The game takes it for the same path.
inline std::string Respelt(std::string path, std::uint64_t r) {
    for (char& c : path) {
        if (c == '\\' && r % 2) c = '/';
        else if (c >= 'a' && c <= 'z' && (r >> 1) % 3 == 0) c = static_cast<char>(c - 'a' + 'A');
        r = Mix(r);
    }
    return path;
}

inline std::string PathKey(std::string_view path) {
    std::string key(path);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c == '/') c = '\\';
    }
    return key;
}

// One entry of an archive to make: its path and the bytes of `seed`, or the
// bytes of an earlier entry (`shares`, its place in the list) of which it
// takes the first `size`.
struct BigItem {
    std::string path;
    std::uint64_t size = 0;
    std::uint64_t seed = 0;
    long shares = -1;
};

// An entry as a table holds it.
struct BigRecord {
    std::string path;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

inline void PutBE(std::string& out, std::uint32_t v) {
    const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
    out.append(b, 4);
}

inline std::uint32_t GetBE(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

inline void WriteAll(int fd, const char* data, std::size_t size, const std::filesystem::path& file) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) {
            std::perror(file.c_str());
            std::exit(2);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

// Writes the archive of `items` to `file` and returns its table. A `hollow`
// archive has its table and no bytes behind it (the file is sparse), for
// benchmarks that read tables only. The archive's size in bytes is
// returned through `fileSize` when asked.
inline std::vector<BigRecord> WriteBig(const std::filesystem::path& file, const std::vector<BigItem>& items,
                                       bool hollow = false, std::uint64_t* fileSize = nullptr) {
    std::uint64_t tableEnd = 16;
    for (const BigItem& item : items) tableEnd += 8 + item.path.size() + 1;
    std::vector<BigRecord> records;
    std::uint64_t end = tableEnd;
    for (const BigItem& item : items) {
        if (item.shares >= 0) {
            records.push_back({item.path, records[static_cast<std::size_t>(item.shares)].offset, item.size});
        } else {
            records.push_back({item.path, end, item.size});
            end += item.size;
        }
    }
    if (end >= (std::uint64_t{1} << 31)) {
        std::fprintf(stderr, "%s: an archive of the game stays below 2 GiB\n", file.c_str());
        std::exit(2);
    }
    std::string head = "BIGF";
    const std::uint32_t total = static_cast<std::uint32_t>(end);
    const char le[4] = {static_cast<char>(total), static_cast<char>(total >> 8), static_cast<char>(total >> 16),
                        static_cast<char>(total >> 24)};
    head.append(le, 4);
    PutBE(head, static_cast<std::uint32_t>(items.size()));
    PutBE(head, static_cast<std::uint32_t>(tableEnd));
    for (const BigRecord& r : records) {
        PutBE(head, static_cast<std::uint32_t>(r.offset));
        PutBE(head, static_cast<std::uint32_t>(r.size));
        head.append(r.path);
        head.push_back('\0');
    }
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror(file.c_str());
        std::exit(2);
    }
    WriteAll(fd, head.data(), head.size(), file);
    if (hollow) {
        if (::ftruncate(fd, static_cast<off_t>(end)) != 0) std::perror(file.c_str());
    } else {
        std::vector<char> out;
        out.reserve(1 << 20);
        const auto flush = [&] {
            WriteAll(fd, out.data(), out.size(), file);
            out.clear();
        };
        for (const BigItem& item : items) {
            if (item.shares >= 0) continue;
            ForEachPiece(item.seed, item.size, [&](const char* data, std::size_t n) {
                out.insert(out.end(), data, data + n);
                if (out.size() >= (1 << 20)) flush();
            });
        }
        flush();
    }
    ::close(fd);
    if (fileSize) *fileSize = end;
    return records;
}

// The table of the archive `file`, read back without trusting it: false
// when it is no archive or its table does not fit in it.
inline bool ReadBig(const std::filesystem::path& file, std::vector<BigRecord>& out) {
    out.clear();
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return false;
    std::vector<unsigned char> head(16);
    bool ok = std::fread(head.data(), 1, 16, f) == 16 && std::memcmp(head.data(), "BIGF", 4) == 0;
    std::error_code error;
    const std::uint64_t fileSize = std::filesystem::file_size(file, error);
    const std::uint32_t count = ok ? GetBE(&head[8]) : 0;
    const std::uint32_t first = ok ? GetBE(&head[12]) : 0;
    if (ok && (first < 16 || first > fileSize)) ok = false;
    if (ok) {
        head.resize(first);
        ok = std::fread(head.data() + 16, 1, first - 16, f) == first - 16;
    }
    std::size_t at = 16;
    for (std::uint32_t i = 0; ok && i < count; ++i) {
        if (at + 8 > head.size()) {
            ok = false;
            break;
        }
        BigRecord r;
        r.offset = GetBE(&head[at]);
        r.size = GetBE(&head[at + 4]);
        at += 8;
        const auto* nul = static_cast<const unsigned char*>(std::memchr(&head[at], 0, head.size() - at));
        if (!nul || r.offset + r.size > fileSize) {
            ok = false;
            break;
        }
        r.path.assign(reinterpret_cast<const char*>(&head[at]), static_cast<std::size_t>(nul - &head[at]));
        at = static_cast<std::size_t>(nul - head.data()) + 1;
        out.push_back(std::move(r));
    }
    std::fclose(f);
    return ok;
}

// True when `size` bytes at `offset` of the open file `f` are the bytes of `seed`.
inline bool HoldsBytes(FILE* f, std::uint64_t offset, std::uint64_t size, std::uint64_t seed) {
    if (::fseeko(f, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    std::vector<char> got(kDataBlock);
    bool same = true;
    ForEachPiece(seed, size, [&](const char* data, std::size_t n) {
        if (same) same = std::fread(got.data(), 1, n, f) == n && std::memcmp(got.data(), data, n) == 0;
    });
    return same;
}

}  // namespace bench
