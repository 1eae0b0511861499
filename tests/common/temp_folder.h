// A real temporary folder for file tests, removed with everything in it.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "test_platform.h"

namespace tavrel::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // The folder's path joined with `name` by the native separator; a '/' in
    // `name` becomes one too.
    std::string operator/(const std::string& name) const { return path_ + NativeSeparator() + Native(name); }

    // Creates a file (and its folders) holding `content`; returns its path.
    std::string file(const std::string& name, const std::string& content = "x") const;
    std::string folder(const std::string& name) const;

    // Names of all entries directly in `sub` (or the folder itself), sorted bytewise.
    std::vector<std::string> names(const std::string& sub = "") const;
    // Every file below the folder (links not followed) with its bytes, by
    // its path with "/" between folders.
    std::map<std::string, std::string> files() const;

private:
    std::string path_;
};

// A file's bytes; empty when it cannot be read.
std::string ReadAll(const std::string& path);

// A BIG archive of `entries` (path, bytes), written here from the format
// itself rather than by the program's own writer.
std::string BigBytes(const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace tavrel::test
