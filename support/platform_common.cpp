// The parts of the platform layer that need no system calls of their own.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"
#include "support/wildcard.h"

namespace tavrel {
namespace {

std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool TakenInAnyCase(const std::vector<DirEntry>& entries, const std::string& name) {
    return std::any_of(entries.begin(), entries.end(), [&](const DirEntry& e) { return EqualsNoCase(e.name, name); });
}

}  // namespace

Status ListFiles(const std::string& folder, std::string_view pattern, std::vector<std::string>& out) {
    out.clear();
    std::vector<DirEntry> entries;
    const Status status = ListEntries(folder, entries);
    const WildcardPattern wildcard(pattern);
    for (const DirEntry& e : entries) {
        if (e.isFile && !e.hidden && !e.system && wildcard.matchesFolded(e.folded)) out.push_back(e.name);
    }
    return status;
}

std::string ResolveFileName(const std::string& folder, const std::string& stem, const std::string& ext) {
    const std::string exact = stem + ext;
    if (PathExists(JoinPath(folder, exact))) return exact;
    std::vector<DirEntry> entries;
    ListEntries(folder, entries);
    const std::string* anyCase = nullptr;
    for (const DirEntry& e : entries) {
        if (e.isFolder || !EqualsNoCase(e.name, exact)) continue;
        if (e.name.compare(0, stem.size(), stem) == 0) return e.name;
        if (!anyCase) anyCase = &e.name;
    }
    return anyCase ? *anyCase : exact;
}

std::string UnusedFileName(const std::string& folder, const std::string& stem, const std::string& ext) {
    std::vector<DirEntry> entries;
    ListEntries(folder, entries);
    std::string name = stem + ext;
    for (int n = 2; TakenInAnyCase(entries, name); ++n) name = stem + " (" + std::to_string(n) + ")" + ext;
    return name;
}

bool SameContent(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(FsPath(a), FsPath(b), ec) && !ec) return true;
    if (!IsRegularFile(a) || !IsRegularFile(b)) return false;
    const auto sizeA = std::filesystem::file_size(FsPath(a), ec);
    if (ec || sizeA != std::filesystem::file_size(FsPath(b), ec) || ec) return false;
    std::ifstream fa(FsPath(a), std::ios::binary), fb(FsPath(b), std::ios::binary);
    std::vector<char> ba(1u << 20), bb(1u << 20);
    while (fa && fb) {
        fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
        fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
        if (fa.gcount() != fb.gcount() ||
            !std::equal(ba.begin(), ba.begin() + fa.gcount(), bb.begin())) {
            return false;
        }
    }
    return fa.eof() && fb.eof();
}

Status MakeFolders(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(FsPath(path), ec);
    return ec ? Status::FromError(ec.value()) : Status::Ok();
}

}  // namespace tavrel
