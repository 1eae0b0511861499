#include "support/recurse.h"

#include <deque>
#include <set>

#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"
#include "support/wildcard.h"

namespace tavrel {
namespace {

bool Admitted(const DirEntry& e, std::uint32_t attributes) {
    return (!e.hidden || (attributes & kAttributeHidden) != 0) && (!e.system || (attributes & kAttributeSystem) != 0);
}

// The matches among one folder's entries, grouped by pattern piece.
void AppendMatches(const std::string& folder, const std::vector<DirEntry>& entries,
                   const std::vector<WildcardPattern>& pieces, std::uint32_t attributes,
                   std::vector<std::string>& out) {
    for (const WildcardPattern& piece : pieces) {
        for (const DirEntry& e : entries) {
            if (e.isFile && Admitted(e, attributes) && piece.matchesFolded(e.folded)) {
                out.push_back(JoinPath(folder, e.name));
            }
        }
    }
}

std::vector<WildcardPattern> PreparePatterns(const std::string& patterns) {
    std::vector<WildcardPattern> out;
    for (const std::string& piece : SplitPatternList(patterns)) out.emplace_back(piece.empty() ? "*" : piece);
    return out;
}

}  // namespace

std::vector<std::string> FindFiles(const std::string& folder, const std::string& patterns,
                                   std::uint32_t attributes) {
    std::vector<std::string> result;
    if (CharCount(folder) < 2) return result;
    const std::string clean = FileCleanPath(folder);
    std::vector<DirEntry> entries;
    ListEntries(clean, entries);
    AppendMatches(clean, entries, PreparePatterns(patterns), attributes & ~kAttributeDirectory, result);
    return result;
}

std::vector<std::string> FindFilesRecursive(const std::string& folder, const std::string& patterns,
                                            std::uint32_t fileAttributes, std::uint32_t folderAttributes,
                                            const std::string& within) {
    std::vector<std::string> result;
    if (CharCount(folder) < 2) return result;
    fileAttributes &= ~kAttributeDirectory;
    folderAttributes |= kAttributeDirectory;
    const std::vector<WildcardPattern> pieces = PreparePatterns(patterns);

    // Each folder with whether it was reached through a link: only those
    // (and the first) can lie outside `within`; a plain subfolder lies where
    // its parent does.
    std::deque<std::pair<std::string, bool>> queue{{FileCleanPath(folder), true}};
    std::set<FileId> searched;
    std::vector<DirEntry> entries;
    while (!queue.empty()) {
        const auto [current, viaLink] = std::move(queue.front());
        queue.pop_front();
        const auto id = IdentifyFolder(current);
        if (!id || !searched.insert(*id).second) continue;  // gone, not a folder, or met before
        if (viaLink && !within.empty() && !IsInsideFolder(within, RealPath(current).value_or(""))) continue;
        // One listing serves both the files and the subfolders of a folder.
        ListEntries(current, entries);
        AppendMatches(current, entries, pieces, fileAttributes, result);
        for (const DirEntry& e : entries) {
            if ((e.isFolder || !e.attributesRead) && Admitted(e, folderAttributes)) {
                queue.emplace_back(JoinPath(current, e.name), e.isLink || !e.attributesRead);
            }
        }
    }
    return result;
}

}  // namespace tavrel
