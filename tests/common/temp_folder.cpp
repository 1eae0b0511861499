#include "temp_folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tavrel::test {

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "tavrel-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Read-only files and folders must not keep the folder alive.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow, ec);
    }
    fs::remove_all(path_, ec);
}

std::string TempFolder::file(const std::string& name, const std::string& content) const {
    const fs::path p = fs::path(path_) / name;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
}

std::string TempFolder::folder(const std::string& name) const {
    const fs::path p = fs::path(path_) / name;
    fs::create_directories(p);
    return p.string();
}

std::vector<std::string> TempFolder::names(const std::string& sub) const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(sub.empty() ? fs::path(path_) : fs::path(path_) / sub)) {
        out.push_back(e.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void MakeReadOnly(const std::string& path) { ::chmod(path.c_str(), 0444); }

}  // namespace tavrel::test
