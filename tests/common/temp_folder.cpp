#include "temp_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tavrel::test {

std::string TestArchives() {
    const std::string folder = HostPath(TAVREL_TEST_ARCHIVES);
    std::error_code ec;
    return fs::is_directory(fs::path(std::u8string(folder.begin(), folder.end())), ec) ? folder : std::string();
}

namespace {

// Paths are UTF-8 on every system, as in the program.
fs::path FsPath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8(const fs::path& p) {
    const std::u8string text = p.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

TempFolder::TempFolder() : path_(MakeTempFolder()) {}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::string TempFolder::file(const std::string& name, const std::string& content) const {
    const std::string path = *this / name;
    fs::create_directories(FsPath(path).parent_path());
    std::ofstream out(FsPath(path), std::ios::binary);
    out << content;
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
    return path;
}

std::string TempFolder::folder(const std::string& name) const {
    const std::string path = *this / name;
    fs::create_directories(FsPath(path));
    return path;
}

std::vector<std::string> TempFolder::names(const std::string& sub) const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(FsPath(sub.empty() ? path_ : *this / sub))) {
        out.push_back(Utf8(e.path().filename()));
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::map<std::string, std::string> TempFolder::files() const {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(FsPath(path_))) {
        if (!e.is_regular_file() || e.is_symlink()) continue;
        std::string path = Utf8(e.path()).substr(path_.size() + 1);
        if (fs::path::preferred_separator == '\\') std::replace(path.begin(), path.end(), '\\', '/');
        out[path] = ReadAll(Utf8(e.path()));
    }
    return out;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string BigBytes(const std::vector<std::pair<std::string, std::string>>& entries) {
    const auto be = [](std::uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    };
    std::uint32_t first = 16;
    for (const auto& [path, data] : entries) first += static_cast<std::uint32_t>(9 + path.size());
    std::string table, data;
    for (const auto& [path, bytes] : entries) {
        table += be(first + static_cast<std::uint32_t>(data.size())) + be(static_cast<std::uint32_t>(bytes.size())) +
                 path + '\0';
        data += bytes;
    }
    std::string le = be(first + static_cast<std::uint32_t>(data.size()));
    std::reverse(le.begin(), le.end());
    return "BIGF" + le + be(static_cast<std::uint32_t>(entries.size())) + be(first) + table + data;
}

}  // namespace tavrel::test
