#include "modstore/placement.h"

#include <algorithm>
#include <map>
#include <set>

#include "game/big_archive.h"
#include "game/game_paths.h"
#include "modstore/mod_contents.h"
#include "modstore/placed_record.h"
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

// The companion folder's manifest. One that is damaged is made again from
// the companion files the folder holds, and written back, so that the user
// is told once.
Manifest ManifestOf(const std::string& companionFolder, Placement& out) {
    bool damaged = false;
    std::optional<Manifest> manifest = ReadManifest(companionFolder, &damaged);
    if (!damaged) {
        if (!manifest) return {};
        out.missing = manifest->missing;
        return *manifest;
    }
    Manifest rebuilt;
    std::vector<std::string> folders{""};
    while (!folders.empty()) {
        const std::string relative = folders.back();
        folders.pop_back();
        std::vector<DirEntry> entries;
        ListEntries(Join(companionFolder, relative), entries);
        for (const DirEntry& e : entries) {
            const std::string path = Join(relative, e.name);
            if (relative.empty() && e.folded == kAddOnsFolderName) continue;  // the add-ons keep their own
            if (e.isFolder && !e.isLink) folders.push_back(path);
            else if (e.isFile && !e.isLink && IsCompanionPath(GamePathOf(path))) rebuilt.paths.push_back(GamePathOf(path));
        }
    }
    std::sort(rebuilt.paths.begin(), rebuilt.paths.end());
    if (WriteManifest(companionFolder, rebuilt).ok()) out.rebuilt = true;
    return rebuilt;
}

// The name a set-aside file had: `name` without ".tavrel" (or ".tavrel2"
// and on) at its end; empty when it is no set-aside's name.
std::string SetAsideOriginal(const std::string& name) {
    for (int attempt = 1; attempt <= kSetAsideAttempts; ++attempt) {
        const std::string suffix = SetAsideName("", attempt);
        if (name.size() > suffix.size() && EqualsNoCase(std::string_view(name).substr(name.size() - suffix.size()), suffix)) {
            return name.substr(0, name.size() - suffix.size());
        }
    }
    return {};
}

// The set-asides that the records other than the one in `relative` name, folded.
std::set<std::string> ClaimedByOthers(const std::string& game, const std::string& relative) {
    std::set<std::string> claimed;
    for (const ActiveRecord& active : ActiveRecords(game)) {
        if (active.folded == FoldCase(relative)) continue;
        for (const JournalStep& s : active.record.steps) {
            if (s.kind == JournalStep::Rename && !PlacesCompanion(s)) claimed.insert(FoldCase(s.to));
        }
    }
    return claimed;
}

// The set-aside files of the game folder, outside Tavrel's folder, that no
// record but the one in `relative` claims, each as the step that brings it
// back. Links are not entered.
std::vector<JournalStep> SetAsidesByName(const std::string& game, const std::string& relative, bool firstOnly = false) {
    const std::set<std::string> claimed = ClaimedByOthers(game, relative);
    std::vector<JournalStep> back;
    std::vector<std::string> folders{""};
    while (!folders.empty() && !(firstOnly && !back.empty())) {
        const std::string relative = folders.back();
        folders.pop_back();
        std::vector<DirEntry> entries;
        ListEntries(Join(game, relative), entries);
        for (const DirEntry& e : entries) {
            if (relative.empty() && e.folded == kStoreFolderName) continue;
            const std::string path = Join(relative, e.name);
            if (e.isFolder && !e.isLink) folders.push_back(path);
            const std::string original = e.isFile && !e.isFolder ? SetAsideOriginal(e.name) : std::string();
            if (!original.empty() && !claimed.contains(FoldCase(path))) {
                back.push_back({JournalStep::Rename, path, Join(relative, original)});
            }
        }
    }
    return back;
}

// True when an entry of the game folder takes `relative` in any letter case.
bool Taken(const std::string& game, const std::string& relative) {
    std::vector<DirEntry> entries;
    ListEntries(JoinPath(game, ParentFolder(relative)), entries);
    const std::string folded = FoldCase(FileGetName(relative));
    return std::any_of(entries.begin(), entries.end(), [&](const DirEntry& e) { return e.folded == folded; });
}

// The steps of a switch-off that still hold. A companion going back must
// still be the file put there; a set-aside coming back must still be there,
// and find its place free, or made free by a companion that goes back.
std::vector<JournalStep> CheckedSteps(const std::string& game, const std::vector<JournalStep>& back,
                                      const std::optional<std::vector<PlacedFile>>& placed, SwitchOffReport& report) {
    std::map<std::string, const PlacedFile*> byPath;
    if (placed) {
        for (const PlacedFile& f : *placed) byPath.emplace(FoldCase(f.path), &f);
    }
    const std::string store = std::string(kStoreFolderName) + kNativeSeparator;
    std::set<std::string> freed;
    std::vector<JournalStep> kept;
    for (const JournalStep& s : back) {
        if (s.kind == JournalStep::Rename && s.to.starts_with(store)) {
            const std::string file = JoinPath(game, s.from);
            const auto known = byPath.find(FoldCase(s.from));
            if (!PathExists(file)) {
                report.gone.push_back(GamePathOf(s.from));
                continue;
            }
            if (!IsRegularFile(file) || IsLink(file) || (known != byPath.end() && !StillPlaced(file, *known->second))) {
                report.replaced.push_back(GamePathOf(s.from));
                continue;
            }
            freed.insert(FoldCase(s.from));
        } else if (s.kind == JournalStep::Rename) {
            if (!PathExists(JoinPath(game, s.from))) continue;  // nothing left to bring back
            if (!freed.contains(FoldCase(s.to)) && Taken(game, s.to)) {
                report.keptBeside.emplace_back(GamePathOf(s.to), GamePathOf(s.from));
                continue;
            }
        }
        kept.push_back(s);
    }
    return kept;
}

// The steps that move the file `path` of the game folder to `to` in
// Tavrel's folder, the folders on the way made.
void MoveIntoStore(const std::string& to, const std::string& path, std::set<std::string>& made,
                   std::vector<JournalStep>& back) {
    std::vector<std::string> folders;
    for (std::string at = ParentFolder(to); at != "." && !at.empty() && at != kStoreFolderName; at = ParentFolder(at)) {
        folders.push_back(at);
    }
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        if (made.insert(FoldCase(*it)).second) back.push_back({JournalStep::MakeFolder, "", *it});
    }
    back.push_back({JournalStep::Rename, path, to});
}

// The name of the entry that takes `relative` in any letter case; empty
// when it is no plain file.
std::string FileTaking(const std::string& game, const std::string& relative) {
    const std::string parent = relative.find(kNativeSeparator) == std::string::npos ? "" : ParentFolder(relative);
    std::vector<DirEntry> entries;
    ListEntries(Join(game, parent), entries);
    const std::string folded = FoldCase(FileGetName(relative));
    for (const DirEntry& e : entries) {
        if (e.folded == folded && e.isFile && !e.isLink) return Join(parent, e.name);
    }
    return {};
}

// Without a record: the files the placed record names go back to where
// `home` keeps them, and the set-asides come back by their names. With no
// placed record either, a file in a set-aside's place with other bytes is
// the mod's, as far as anyone can tell: it is kept beside the mod.
std::vector<JournalStep> StepsByName(const std::string& game, const PlacementHome& home,
                                     const std::optional<std::vector<PlacedFile>>& placed, SwitchOffReport& report) {
    std::vector<JournalStep> back;
    std::set<std::string> made;
    const auto storedAt = [&](const std::string& path) {
        const auto known = home.storedAt.find(FoldCase(path));
        return known != home.storedAt.end() ? known->second : JoinPath(home.relative, path);
    };
    if (placed) {
        for (const PlacedFile& f : *placed) MoveIntoStore(storedAt(f.path), f.path, made, back);
    }
    for (JournalStep& s : SetAsidesByName(game, home.relative)) {
        const std::string taking = placed ? std::string() : FileTaking(game, s.to);
        if (!taking.empty() && !SameContent(JoinPath(game, taking), JoinPath(game, s.from))) {
            MoveIntoStore(storedAt(taking), taking, made, back);
            report.adopted.push_back(GamePathOf(taking));
        }
        back.push_back(std::move(s));
    }
    return back;
}

// The companions found gone or replaced are marked lost in the manifest,
// and those kept beside the mod without a record are added.
void UpdateManifest(const std::string& companionFolder, const SwitchOffReport& report) {
    if (report.gone.empty() && report.replaced.empty() && report.adopted.empty()) return;
    Manifest manifest = ReadManifest(companionFolder).value_or(Manifest{});
    manifest.paths.insert(manifest.paths.end(), report.adopted.begin(), report.adopted.end());
    std::set<std::string> lost;
    for (const auto* list : {&report.gone, &report.replaced}) {
        for (const std::string& path : *list) lost.insert(FoldCase(path));
    }
    std::erase_if(manifest.paths, [&](const std::string& path) {
        if (!lost.contains(FoldCase(path))) return false;
        manifest.missing.push_back(path);
        return true;
    });
    WriteManifest(companionFolder, manifest);
}

}  // namespace

Status PlanPlacementOf(const std::string& game, const std::vector<PlacedSource>& files,
                       const std::vector<std::string>& archives, Placement& out) {
    std::vector<std::pair<std::vector<std::string>, const PlacedSource*>> placing;
    PathNode provided;
    std::set<std::string> seen;
    for (const PlacedSource& file : files) {
        std::vector<std::string> parts = Parts(file.path);
        if (parts.empty() || FoldCase(parts.front()) == kStoreFolderName || !seen.insert(FoldCase(file.path)).second) {
            continue;
        }
        if (!IsRegularFile(JoinPath(game, file.stored))) {
            out.missing.push_back(file.path);
            continue;
        }
        Insert(provided, parts);
        placing.emplace_back(std::move(parts), &file);
    }
    // The archives' paths, which a loose file would hide.
    for (const std::string& archive : archives) {
        std::vector<BigEntry> table;
        if (!ReadBigFile(archive, table).ok()) continue;
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
    for (const auto& [parts, file] : placing) {
        std::string target, shown;
        for (const std::string& part : parts) shown += (shown.empty() ? "" : "\\") + part;
        if (Status place = PlaceOf(tree, parts, made, out, target); !place.ok()) {
            return Status::Error(shown + ": " + place.text());
        }
        moves.push_back({JournalStep::Rename, file->stored, target});
        out.placed.push_back(shown);
    }
    out.steps.insert(out.steps.end(), moves.begin(), moves.end());
    return Status::Ok();
}

Status PlanPlacement(const std::string& game, const std::string& entry, const std::string& archive,
                     Placement& out) {
    out = Placement{};
    // The companions the folder holds, by the manifest.
    const std::string folderRelative = CompanionFolderRelative(game, entry);
    const Manifest manifest = ManifestOf(JoinPath(game, folderRelative), out);
    std::vector<PlacedSource> files;
    for (const std::string& path : manifest.paths) {
        files.push_back({JoinPath(folderRelative, NativeGamePath(path)), path});
    }
    return PlanPlacementOf(game, files, {archive}, out);
}

bool IsPlaced(const std::string& game, const std::string& entry) {
    return PathExists(ActiveRecordFile(CompanionFolder(game, entry)));
}

Status SwitchOnAt(const std::string& game, const std::string& relative, const std::optional<JournalStep>& firstStep,
                  const Placement& placement) {
    if (Status store = MakeStoreFolder(game); !store.ok()) return store;
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
    // What each file put in place is now, to tell it later from a file put
    // in its place by others; a rename keeps it as it is.
    std::vector<PlacedFile> placed;
    for (const JournalStep& s : placement.steps) {
        if (s.kind != JournalStep::Rename || !s.from.starts_with(relative + kNativeSeparator)) continue;
        if (auto f = Fingerprint(JoinPath(game, s.from), s.to)) placed.push_back(std::move(*f));
    }
    const std::string placedRecord = JoinPath(relative, kPlacedRecordName);
    if (Status written = WritePlacedRecord(JoinPath(game, placedRecord), placed); !written.ok()) {
        RemoveFile(JoinPath(game, pending), true);
        if (madeFolder) RemoveTree(folder);
        return written;
    }
    Journal journal{{}, {}, {madeFolder ? relative : pending}};
    if (firstStep) journal.steps.push_back(*firstStep);
    if (!madeFolder) journal.removeWhenUndone.push_back(placedRecord);
    const std::size_t first = journal.steps.size();
    journal.steps.insert(journal.steps.end(), placement.steps.begin(), placement.steps.end());
    journal.steps.push_back({JournalStep::Rename, pending, record});
    return RunNaming(game, journal, first, journal.steps.size() - 1);
}

Status SwitchOn(const std::string& game, const std::string& entry, const JournalStep& archiveStep,
                const Placement& placement) {
    return SwitchOnAt(game, CompanionFolderRelative(game, entry), archiveStep, placement);
}

bool HasSetAsideFiles(const std::string& game, const std::string& entry) {
    return !SetAsidesByName(game, CompanionFolderRelative(game, entry), true).empty();
}

Status SwitchOffAt(const std::string& game, const PlacementHome& home, const std::vector<JournalStep>& lastSteps,
                   SwitchOffReport* report) {
    const std::string& relative = home.relative;
    const std::string record = JoinPath(relative, kActiveRecordName);
    const std::string placedRecord = JoinPath(relative, kPlacedRecordName);
    const auto placed = ReadPlacedRecord(JoinPath(game, placedRecord));
    SwitchOffReport found;
    Journal saved;
    std::vector<JournalStep> back;
    if (ReadJournal(JoinPath(game, record), saved).ok()) {
        back = Reversed(saved.steps);
    } else {
        found.recordLost = true;
        back = StepsByName(game, home, placed, found);
    }
    Journal journal{CheckedSteps(game, back, placed, found), {}, {}};
    const std::size_t moves = journal.steps.size();
    journal.steps.insert(journal.steps.end(), lastSteps.begin(), lastSteps.end());
    for (const std::string& file : {record, placedRecord}) {
        if (PathExists(JoinPath(game, file))) journal.steps.push_back({JournalStep::Remove, "", file});
    }
    if (!journal.steps.empty() && !IsFolder(StoreFolder(game))) {
        if (Status store = MakeStoreFolder(game); !store.ok()) return store;  // where the journal is kept
    }
    const Status ran = RunNaming(game, journal, 0, moves);
    if (ran.ok() && home.keepsManifest) UpdateManifest(JoinPath(game, relative), found);
    if (report) *report = std::move(found);
    return ran;
}

Status SwitchOff(const std::string& game, const std::string& entry, const std::optional<JournalStep>& archiveStep,
                 SwitchOffReport* report) {
    std::vector<JournalStep> last;
    if (archiveStep) last.push_back(*archiveStep);
    return SwitchOffAt(game, {CompanionFolderRelative(game, entry), {}, true}, last, report);
}

std::string SwitchOffWarning(const std::string& entry, const SwitchOffReport& report) {
    std::string text;
    const auto add = [&](const std::string& paragraph) { text += (text.empty() ? "" : "\r\n\r\n") + paragraph; };
    if (report.recordLost) {
        add("Tavrel's record of what MOD " + entry + " put in place was missing or damaged, so the game's own "
            "files it had set aside were found by their names.");
    }
    if (!report.adopted.empty()) {
        add("The files in their places were taken for the MOD's own, and are kept beside it: " +
            FewNames(report.adopted) + ".");
    }
    if (!report.gone.empty()) {
        add("These files of MOD " + entry + " were gone from the game folder: " + FewNames(report.gone) + ".");
    }
    if (!report.replaced.empty()) {
        add("These files of MOD " + entry + " had been replaced (by Steam's \"Verify integrity\", a repair or a "
            "copy by hand), and stay in place as the game's: " + FewNames(report.replaced) + ".");
    }
    if (!report.gone.empty() || !report.replaced.empty()) add("Reinstall the MOD to bring its own files back.");
    if (!report.keptBeside.empty()) {
        std::vector<std::string> kept;
        for (const auto& [place, name] : report.keptBeside) kept.push_back(name);
        add("The game's own files had been put back in their places, so the copies Tavrel set aside stay beside "
            "them under the names they have now: " + FewNames(kept) + ".");
    }
    return text;
}

}  // namespace tavrel
