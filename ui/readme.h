// The program's readme: carried inside the program and written out as
// "readme.txt" beside it the first time it is wanted.
#pragma once

#include <string>

namespace tavrel {

// The readme's text, with the platform's line ends.
std::string ReadmeText();

struct ReadmeFile {
    std::string path;
    std::string error;  // the platform's text when it could not be written
};

// "readme.txt" in the program's folder, written from ReadmeText when missing
// and never replaced. Where the program's folder cannot be written (a
// system-wide install), the per-user `userFolder` holds it instead.
ReadmeFile EnsureReadme(const std::string& programFolder, const std::string& userFolder);

}  // namespace tavrel
