// libFuzzer target for the text and path rules (case folding, wildcard
// matching, pattern lists, dialog filters and the path helpers with either
// separator) and for the reader of mods in archives. Besides crashes and
// sanitizer reports it checks the rules' own promises, so that a wrong
// answer stops the run too.
//
// For the rules, the input is split at its first NUL into two texts; for
// the archive reader and the reader of the game's archive tables, the whole
// input is an archive.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/big_archive.h"
#include "modstore/common_dialogs.h"
#include "support/archive.h"
#include "support/path_rules.h"
#include "support/text.h"
#include "support/wildcard.h"

namespace {

void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A folder of this run's own that holds the archive and the one file an
// unpack may make.
const std::string& Sandbox() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrel-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        std::filesystem::create_directory(pattern + "/game");
        return pattern;
    }();
    return folder;
}

// Whatever the archive holds, a mod's name is a safe base name, an unpack
// writes nothing but its destination, and what it writes is the size given.
void CheckArchive(const std::string& input) {
    using namespace tavrel;
    namespace fs = std::filesystem;
    const std::string archive = Sandbox() + "/download.zip";
    const std::string destination = Sandbox() + "/game/__Mod.bit";
    std::ofstream(archive, std::ios::binary | std::ios::trunc) << input;
    std::vector<ArchiveMember> files;
    const Status listed = ListArchiveFiles(archive, files);
    Require(listed.ok() || files.empty(), "a failed listing lists nothing");
    int unpacked = 0;
    for (const ArchiveMember& member : files) {
        Require(!member.name.empty() && member.name.find_first_of("/\\<>:\"|?*") == std::string::npos,
                "a member's name is a safe base name");
        if (member.size > (1u << 20) || ++unpacked > 4) continue;  // a bomb would only take time
        const Status done = UnpackMember(archive, member, destination);
        std::size_t found = 0;
        for (const auto& entry : fs::recursive_directory_iterator(Sandbox())) {
            const std::string path = entry.path().string();
            Require(path == archive || path == Sandbox() + "/game" || (done.ok() && path == destination),
                    "an unpack writes its destination only");
            found += path == destination ? 1 : 0;
        }
        Require(found == (done.ok() ? 1u : 0u), "a done unpack leaves its destination");
        if (done.ok()) Require(fs::file_size(destination) == member.size, "an unpack writes the size given");
        fs::remove(destination);
    }
}

// Whatever a game archive's table says, what the reader accepts lies inside
// the file, with every path within the game's buffer.
void CheckBigTable(const std::string& input) {
    using namespace tavrel;
    std::size_t at = 0;
    const ReadBytes read = [&](char* buffer, std::size_t size, Status&) -> std::int64_t {
        const std::size_t n = std::min(size, input.size() - at);
        std::memcpy(buffer, input.data() + at, n);
        at += n;
        return static_cast<std::int64_t>(n);
    };
    std::vector<BigEntry> table;
    const Status read_ = ReadBigTable(read, input.size(), table);
    Require(read_.ok() || table.empty(), "a refused table lists nothing");
    for (const BigEntry& e : table) {
        Require(e.offset <= input.size() && e.size <= input.size() - e.offset, "an entry lies inside its file");
        Require(e.path.size() <= kBigPathLimit && e.path.find('\0') == std::string::npos, "a path fits the game's buffer");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const auto nul = input.find('\0');
    const std::string a = input.substr(0, nul);
    const std::string b = nul == std::string::npos ? std::string() : input.substr(nul + 1);

    // Case folding: one character to one, the same a second time, and a
    // text always equals its folded form.
    const std::string folded = FoldCase(a);
    Require(FoldCase(folded) == folded, "folding twice changes nothing");
    Require(CharCount(folded) == CharCount(a), "folding keeps the number of characters");
    Require(EqualsNoCase(a, folded), "a text equals its folded form");
    Require(ByteOffsetOfChar(a, CharCount(a)) == a.size(), "the last character ends the text");
    Require(a == b || NameLess(a, b) != NameLess(b, a), "the name order is strict and total");

    // Wildcards.
    Require(WildcardMatch("*", b), "\"*\" matches every name");
    Require(WildcardMatch(a, b) == WildcardMatch(folded, b), "letter case in a pattern never matters");
    // "**" means what "*" means, and takes the general way where a single
    // star between plain text takes the short one ("*.*" alone is special).
    std::string doubled;
    for (const char c : a) doubled += c == '*' ? std::string("**") : std::string(1, c);
    Require(a == "*.*" || WildcardMatch(a, b) == WildcardMatch(doubled, b), "the short way matches as the general one");
    if (a.find_first_of("*?") == std::string::npos) {
        Require(WildcardMatch(a, a) && WildcardMatch(a, folded), "a plain name matches itself in any case");
    }
    for (const std::string& piece : SplitPatternList(a)) {
        Require(piece.empty() || (piece.front() != ' ' && piece.back() != ' '), "pieces are trimmed");
    }
    for (const FileFilter& f : SplitFilter(a)) {
        Require(f.description.find('|') == std::string::npos && f.pattern.find('|') == std::string::npos,
                "a filter's fields hold no separator");
    }

    // Paths, with the Windows and the Linux separator.
    for (const char sep : {'\\', '/'}) {
        const std::string name = FileGetName(a, sep);
        Require(name.find(sep) == std::string::npos, "a file name holds no separator");
        Require(EndsWith(a, name), "a file name ends its path");
        const std::string clean = FileCleanPath(a, sep);
        Require(clean.size() <= a.size(), "cleaning never lengthens a path");
        Require(CharCount(clean) <= 2 || clean.back() != sep, "a clean path has no trailing separator");
        Require(clean.empty() || IsInsideFolder(clean, JoinPath(clean, name, sep), sep), "a joined path lies inside");
        Require(EndsWith(FileChangeExt(a, ".bit", sep), ".bit"), "a changed extension is the new one");
        Require(FileGetFolder(a, sep).size() <= a.size(), "a folder is part of its path");
    }

    CheckArchive(input);
    CheckBigTable(input);
    return 0;
}
