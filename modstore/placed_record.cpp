#include "modstore/placed_record.h"

#include <charconv>
#include <string_view>

#include "support/file_system.h"
#include "support/journal.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr std::string_view kHeader = "tavrel placed 1";
constexpr std::size_t kHashLimit = 16u << 20;   // scripts and splash screens are far smaller; movies are larger
constexpr std::size_t kRecordLimit = 16u << 20;

template <typename Number>
bool Parse(std::string_view text, Number& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

// One line: size, device, inode, write time, the hash or "-", then the path.
std::optional<PlacedFile> DecodeLine(std::string_view line) {
    std::string_view fields[5];
    for (std::string_view& field : fields) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) return std::nullopt;
        field = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    PlacedFile f;
    if (!Parse(fields[0], f.stamp.size) || !Parse(fields[1], f.stamp.id.device) ||
        !Parse(fields[2], f.stamp.id.inode) || !Parse(fields[3], f.stamp.written)) {
        return std::nullopt;
    }
    if (fields[4] != "-") {
        std::uint64_t hash = 0;
        if (!Parse(fields[4], hash)) return std::nullopt;
        f.hash = hash;
    }
    const auto path = DecodeJournalPath(line);
    if (!path || path->empty()) return std::nullopt;
    f.path = *path;
    return f;
}

}  // namespace

std::optional<PlacedFile> Fingerprint(const std::string& file, const std::string& path) {
    const auto stamp = StampFile(file);
    if (!stamp) return std::nullopt;
    PlacedFile placed{path, *stamp, std::nullopt};
    // A movie is told by its size and stamp: movies are most of what a mod
    // keeps beside it, and hashing them read every byte of them at every
    // switch, which is otherwise renames alone.
    if (stamp->size <= kHashLimit && !EndsWithNoCase(path, ".bik")) placed.hash = HashSmallFile(file, kHashLimit);
    return placed;
}

bool StillPlaced(const std::string& file, const PlacedFile& placed) {
    const auto now = StampFile(file);
    if (!now || now->size != placed.stamp.size) return false;
    if (placed.hash) return HashSmallFile(file, kHashLimit) == placed.hash;
    return now->id == placed.stamp.id || now->written == placed.stamp.written;
}

Status WritePlacedRecord(const std::string& file, const std::vector<PlacedFile>& placed) {
    std::string text(kHeader);
    text += '\n';
    for (const PlacedFile& f : placed) {
        text += std::to_string(f.stamp.size) + '\t' + std::to_string(f.stamp.id.device) + '\t' +
                std::to_string(f.stamp.id.inode) + '\t' + std::to_string(f.stamp.written) + '\t' +
                (f.hash ? std::to_string(*f.hash) : std::string("-")) + '\t' + EncodeJournalPath(f.path) + '\n';
    }
    text += "end\n";
    return WriteFileSafely(file, text.size(), [&](const ByteSink& sink) { return sink(text); });
}

std::optional<std::vector<PlacedFile>> ReadPlacedRecord(const std::string& file) {
    std::string text;
    if (!ReadSmallFile(file, kRecordLimit, text).ok() || !text.starts_with(std::string(kHeader) + "\n") ||
        !text.ends_with("\nend\n")) {
        return std::nullopt;
    }
    std::vector<PlacedFile> placed;
    const std::size_t last = text.size() - 4;  // where "end\n" starts
    for (std::size_t start = kHeader.size() + 1; start < last;) {
        const std::size_t end = text.find('\n', start);
        const auto f = DecodeLine(std::string_view(text).substr(start, end - start));
        if (!f) return std::nullopt;
        placed.push_back(*f);
        start = end + 1;
    }
    return placed;
}

}  // namespace tavrel
