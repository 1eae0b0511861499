#include "modstore/placement.h"

#include <map>
#include <set>

#include "game/big_archive.h"
#include "game/game_paths.h"
#include "modstore/store_folder.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr int kSetAsideAttempts = 100;

// The parts of a game path or an archive's path, "\" or "/" between them.
std::vector<std::string> Parts(std::string_view path) {
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path) {
        if (c != '\\' && c != '/') {
            part += c;
            continue;
        }
        if (!part.empty()) parts.push_back(std::move(part));
        part.clear();
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}

// The paths a mod provides, part by part in folded form; a node is a path
// that the mod has a file at, or a folder on the way to one.
struct PathNode {
    std::map<std::string, PathNode> children;  // by folded name
    bool file = false;
};

void Insert(PathNode& root, const std::vector<std::string>& parts) {
    PathNode* node = &root;
    for (const std::string& part : parts) node = &node->children[FoldCase(part)];
    node->file = true;
}

// The game folder as Tavrel walks it: each folder listed once, and where a
// link may lead.
class GameTree {
public:
    explicit GameTree(std::string game) : game_(std::move(game)), real_(RealPath(game_)) {}

    const std::vector<DirEntry>& entries(const std::string& relative) {
        auto it = listed_.find(relative);
        if (it == listed_.end()) {
            std::vector<DirEntry> entries;
            ListEntries(full(relative), entries);
            it = listed_.emplace(relative, std::move(entries)).first;
        }
        return it->second;
    }

    // A folder of the game folder to enter: a link only when it leads to a
    // place inside it.
    bool enters(const std::string& relative, const DirEntry& e) const {
        if (!e.isFolder) return false;
        if (!e.isLink) return true;
        const auto real = RealPath(full(relative.empty() ? e.name : JoinPath(relative, e.name)));
        return real && real_ && IsInsideFolder(*real_, *real);
    }

    std::string full(const std::string& relative) const { return relative.empty() ? game_ : JoinPath(game_, relative); }

private:
    std::string game_;
    std::optional<std::string> real_;
    std::map<std::string, std::vector<DirEntry>> listed_;
};

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : JoinPath(folder, name);
}

// Plans the set-aside of every file in the game folder that lies at a path
// of `node`, below the folder `relative`.
void SetAside(GameTree& tree, const PathNode& node, const std::string& relative, Placement& out,
              std::map<std::string, std::set<std::string>>& taken) {
    const std::vector<DirEntry> here = tree.entries(relative);  // a copy: the walk lists further folders
    for (const DirEntry& e : here) {
        const auto child = node.children.find(e.folded);
        if (child == node.children.end()) continue;
        if (relative.empty() && e.folded == kStoreFolderName) continue;
        const std::string path = Join(relative, e.name);
        if (e.isFolder) {
            if (!child->second.children.empty() && tree.enters(relative, e)) SetAside(tree, child->second, path, out, taken);
            continue;
        }
        if (!child->second.file) continue;
        std::set<std::string>& names = taken[relative];
        if (names.empty()) {
            for (const DirEntry& other : here) names.insert(other.folded);
        }
        for (int attempt = 1; attempt <= kSetAsideAttempts; ++attempt) {
            const std::string aside = SetAsideName(e.name, attempt);
            if (!names.insert(FoldCase(aside)).second) continue;
            out.steps.push_back({JournalStep::Rename, path, Join(relative, aside)});
            out.setAside.push_back(GamePathOf(path));
            break;
        }
    }
}

// Where the companion at `parts` goes: the existing folders on its way in
// whatever letter case they have, the missing ones made (once) as the mod
// spells them. Fails when a file, or a link out of the game folder, stands
// in the way.
Status PlaceOf(GameTree& tree, const std::vector<std::string>& parts, std::set<std::string>& made,
               Placement& out, std::string& target) {
    std::string relative;
    bool missing = false;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::string folded = FoldCase(parts[i]);
        const DirEntry* found = nullptr;
        if (!missing) {
            for (const DirEntry& e : tree.entries(relative)) {
                if (e.folded == folded && !(relative.empty() && folded == kStoreFolderName)) found = &e;
                if (found && found->name == parts[i]) break;
            }
        }
        if (found && !found->isFolder) return FailureStatus(Failure::FileExists);
        if (found && !tree.enters(relative, *found)) return Status::Error("the folder leads out of the game folder");
        relative = Join(relative, found ? found->name : parts[i]);
        if (!found) {
            missing = true;
            if (made.insert(FoldCase(relative)).second) out.steps.push_back({JournalStep::MakeFolder, "", relative});
        }
    }
    if (!missing) {
        for (const DirEntry& e : tree.entries(relative)) {
            if (e.folded == FoldCase(parts.back()) && e.isFolder) return FailureStatus(Failure::IsAFolder);
        }
    }
    target = Join(relative, parts.back());
    return Status::Ok();
}

// Runs a journal in the game folder; a failed step in [first, end) is named
// in the failure by the path it took in the game folder.
Status RunNaming(const std::string& game, const Journal& journal, std::size_t first, std::size_t end) {
    std::size_t failed = 0;
    const Status ran = RunJournal(game, JournalFile(game), journal, &failed);
    if (ran.ok() || failed < first || failed >= end) return ran;
    // The path in the game folder that the step is about.
    const JournalStep& s = journal.steps[failed];
    const bool intoStore = s.to.rfind(kStoreFolderName, 0) == 0;
    return Status::Error(GamePathOf(intoStore ? s.from : s.to) + ": " + ran.text());
}

}  // namespace

Status PlanPlacement(const std::string& game, const std::string& entry, const std::string& archive,
                     Placement& out) {
    out = Placement{};
    // The companions the folder holds, by the manifest.
    const std::string folderRelative = CompanionFolderRelative(game, entry);
    std::vector<std::vector<std::string>> companions;
    PathNode provided;
    std::set<std::string> seen;
    for (const std::string& path : ReadManifest(JoinPath(game, folderRelative))) {
        std::vector<std::string> parts = Parts(path);
        if (parts.empty() || FoldCase(parts.front()) == kStoreFolderName || !seen.insert(FoldCase(path)).second) continue;
        if (!IsRegularFile(JoinPath(JoinPath(game, folderRelative), NativeGamePath(path)))) continue;
        Insert(provided, parts);
        companions.push_back(std::move(parts));
    }
    // The archive's paths, which a loose file would hide.
    std::vector<BigEntry> table;
    if (ReadBigFile(archive, table).ok()) {
        for (const BigEntry& e : table) {
            std::vector<std::string> parts = Parts(e.path);
            if (!parts.empty() && FoldCase(parts.front()) != kStoreFolderName) Insert(provided, parts);
        }
    }
    if (provided.children.empty()) return Status::Ok();

    GameTree tree(game);
    std::map<std::string, std::set<std::string>> taken;
    SetAside(tree, provided, "", out, taken);
    std::set<std::string> made;
    std::vector<JournalStep> moves;
    for (const std::vector<std::string>& parts : companions) {
        std::string target, shown;
        for (const std::string& part : parts) shown += (shown.empty() ? "" : "\\") + part;
        if (Status place = PlaceOf(tree, parts, made, out, target); !place.ok()) {
            return Status::Error(shown + ": " + place.text());
        }
        moves.push_back({JournalStep::Rename, JoinPath(folderRelative, NativeGamePath(shown)), target});
        out.placed.push_back(shown);
    }
    out.steps.insert(out.steps.end(), moves.begin(), moves.end());
    return Status::Ok();
}

bool IsPlaced(const std::string& game, const std::string& entry) {
    return PathExists(ActiveRecordFile(CompanionFolder(game, entry)));
}

Status SwitchOn(const std::string& game, const std::string& entry, const JournalStep& archiveStep,
                const Placement& placement) {
    if (Status store = MakeStoreFolder(game); !store.ok()) return store;
    const std::string relative = CompanionFolderRelative(game, entry);
    const std::string folder = JoinPath(game, relative);
    const bool madeFolder = !IsFolder(folder);
    if (madeFolder) {
        if (Status made = MakeFolders(folder); !made.ok()) return made;
    }
    // The record is written first and takes its name with the last step.
    const std::string record = JoinPath(relative, kActiveRecordName), pending = JoinPath(relative, kPendingRecordName);
    if (Status written = WriteJournal(JoinPath(game, pending), Journal{placement.steps, {}, {}}); !written.ok()) {
        if (madeFolder) RemoveTree(folder);
        return written;
    }
    Journal journal{{archiveStep}, {}, {madeFolder ? relative : pending}};
    journal.steps.insert(journal.steps.end(), placement.steps.begin(), placement.steps.end());
    journal.steps.push_back({JournalStep::Rename, pending, record});
    return RunNaming(game, journal, 1, journal.steps.size() - 1);
}

Status SwitchOff(const std::string& game, const std::string& entry, const std::optional<JournalStep>& archiveStep) {
    const std::string relative = CompanionFolderRelative(game, entry);
    Journal record;
    if (Status read = ReadJournal(JoinPath(game, JoinPath(relative, kActiveRecordName)), record); !read.ok()) return read;
    Journal journal{Reversed(record.steps), {}, {}};
    const std::size_t placed = journal.steps.size();
    if (archiveStep) journal.steps.push_back(*archiveStep);
    journal.steps.push_back({JournalStep::Remove, "", JoinPath(relative, kActiveRecordName)});
    return RunNaming(game, journal, 0, placed);
}

}  // namespace tavrel
