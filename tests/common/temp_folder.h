// A real temporary folder for file tests, removed with everything in it.
#pragma once

#include <string>
#include <vector>

namespace tavrel::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Creates a file (and its folders) holding `content`; returns its path.
    std::string file(const std::string& name, const std::string& content = "x") const;
    std::string folder(const std::string& name) const;

    // Names of all entries directly in `sub` (or the folder itself), sorted bytewise.
    std::vector<std::string> names(const std::string& sub = "") const;

private:
    std::string path_;
};

std::string ReadAll(const std::string& path);
void MakeReadOnly(const std::string& path);

}  // namespace tavrel::test
