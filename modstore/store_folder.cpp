#include "modstore/store_folder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <unordered_set>

#include "game/game_paths.h"
#include "modstore/addons.h"
#include "modstore/placement.h"
#include "support/file_system.h"
#include "support/journal.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr char kJournalName[] = "journal.txt", kManifestName[] = "companions.txt", kLockName[] = "lock";
// Present while every change in the folder has ended whole: no journal,
// stage, pending record, unsettled add-ons or temporary file can be left.
constexpr char kSettledName[] = "settled";
constexpr char kStagePrefix[] = "stage-";
constexpr std::string_view kFirstManifestHeader = "tavrel companions 1", kManifestHeader = "tavrel companions 2";
constexpr char kMissingMark[] = "missing\t";
constexpr std::size_t kManifestLimit = 16u << 20;

std::atomic<unsigned> gStages{0};

// True when the mod `entry` is active: its ".big" as Tavrel named it, else
// in any letter case (which lists the game folder, so only then).
bool IsActive(const std::string& game, const std::string& entry) {
    return IsRegularFile(JoinPath(game, entry + ".big")) ||
           IsRegularFile(JoinPath(game, ResolveFileName(game, entry, ".big")));
}

// A manifest's text: its header, a line a path (encoded as a journal keeps
// paths), a lost one marked, and an end line. The first version had no end
// line and no marks, and is read as it always was.
std::optional<Manifest> DecodeManifest(std::string_view text) {
    const bool first = text.starts_with(std::string(kFirstManifestHeader) + "\n");
    if (!first && !text.starts_with(std::string(kManifestHeader) + "\n")) return std::nullopt;
    Manifest manifest;
    bool ended = false;
    for (std::size_t start = text.find('\n') + 1; start < text.size() && !ended;) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            if (!first) return std::nullopt;  // cut short
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!first && line == "end") {
            ended = true;
            if (start < text.size()) return std::nullopt;  // more after the end
            continue;
        }
        const bool lost = !first && line.starts_with(kMissingMark);
        if (lost) line.remove_prefix(std::string_view(kMissingMark).size());
        const auto path = DecodeJournalPath(line);
        if (path && !path->empty()) (lost ? manifest.missing : manifest.paths).push_back(GamePathOf(*path));
        else if (!first) return std::nullopt;
    }
    if (!first && !ended) return std::nullopt;
    return manifest;
}

// Which mods are active, for a look at every companion folder: IsActive,
// with the game folder read at most once (when a mod's ".big" is not found
// by its own spelling) instead of once for each such mod.
class ActiveMods {
public:
    explicit ActiveMods(const std::string& game) : game_(game) {}
    bool operator()(const std::string& entry) {
        if (IsRegularFile(JoinPath(game_, entry + ".big"))) return true;
        if (!read_) {
            VisitEntries(game_, [&](const DirEntry& e) {
                if (e.isFile && e.folded.ends_with(".big")) big_.insert(e.folded);
            });
            read_ = true;
        }
        return big_.contains(FoldCase(entry + ".big"));
    }

private:
    const std::string& game_;
    bool read_ = false;
    std::unordered_set<std::string> big_;  // folded names of the files ending in ".big"
};

// What a killed Tavrel may have left in Tavrel's folder, whose `entries`
// these are: stages that no running install holds, mods switched off behind
// Tavrel's back while their companions were placed, records written for an
// activation cut off before its journal (and the folder made for them
// alone), add-ons placed while their base is not active or whose change was
// cut off, and the temporary files of records whose writing was cut off.
struct LeftBehind {
    std::vector<std::string> stale, unplaced, pending, unsettled, leftovers;
    bool storeLeftovers = false;
    bool stages = false;  // any stage, held by a running install or not
    bool empty() const { return stale.empty() && unplaced.empty() && pending.empty() && unsettled.empty(); }
};

// What is left in Tavrel's folder, whose `entries` these are. Unless the
// folder is `settled`, each companion folder is read once to tell; a folder
// of hundreds of mods is looked into at every scan. In a settled one only
// a mod switched off by hand can have left something: its records.
LeftBehind LeftBehindIn(const std::string& game, const std::vector<DirEntry>& entries, bool settled) {
    const std::string store = StoreFolder(game);
    ActiveMods active(game);
    LeftBehind left;
    for (const DirEntry& e : entries) {
        const std::string path = JoinPath(store, e.name);
        left.storeLeftovers = left.storeLeftovers || IsCopyTemporaryName(e.name);
        if (e.name.rfind(kStagePrefix, 0) == 0 && !e.isLink) {
            const std::string lock = e.name.ends_with(kStageLockSuffix) ? path : path + kStageLockSuffix;
            left.stages = true;
            if (!HeldFile::IsHeld(lock)) left.stale.push_back(path);
            continue;
        }
        if (!e.isFolder || e.isLink) continue;
        const std::string addOns = JoinPath(path, kAddOnsFolderName);
        if (settled) {
            const bool record = PathExists(ActiveRecordFile(path));
            const bool addOnsRecord = PathExists(ActiveRecordFile(addOns));
            if ((record || addOnsRecord) && !active(e.name)) {
                if (record) left.unplaced.push_back(e.name);
                if (addOnsRecord) left.unsettled.push_back(e.name);
            }
            continue;
        }
        bool pendingRecord = false, record = false, addOnsFolder = false, temporaries = false;
        VisitEntries(path, [&](const DirEntry& in) {
            pendingRecord = pendingRecord || in.folded == kPendingRecordName;
            record = record || in.folded == kActiveRecordName;
            addOnsFolder = addOnsFolder || (in.isFolder && in.folded == kAddOnsFolderName);
            temporaries = temporaries || IsCopyTemporaryName(in.name);
        });
        if (temporaries) left.leftovers.push_back(path);
        if (pendingRecord) left.pending.push_back(path);
        if (record && !active(e.name)) left.unplaced.push_back(e.name);
        if (!addOnsFolder) continue;
        if (PathExists(JoinPath(addOns, kPendingRecordName))) left.pending.push_back(addOns);
        if (AddOnsUnsettled(addOns, [&] { return active(e.name); })) left.unsettled.push_back(e.name);
    }
    return left;
}

}  // namespace

std::string StoreFolder(const std::string& game) { return JoinPath(game, kStoreFolderName); }
std::string JournalFile(const std::string& game) { return JoinPath(StoreFolder(game), kJournalName); }

Status MakeStoreFolder(const std::string& game) {
    const std::string store = StoreFolder(game);
    if (IsFolder(store)) return Status::Ok();
    if (Status made = MakeFolders(store); !made.ok()) return made;
    return HideEntry(store);
}

std::string CompanionFolderName(const std::string& game, const std::string& entry) {
    std::vector<DirEntry> entries;
    ListEntries(StoreFolder(game), entries);
    const std::string folded = FoldCase(entry);
    const DirEntry* found = nullptr;
    for (const DirEntry& e : entries) {
        if (e.isFolder && !e.isLink && e.folded == folded && (!found || e.name == entry)) found = &e;
    }
    return found ? found->name : entry;
}

std::string CompanionFolderRelative(const std::string& game, const std::string& entry) {
    return JoinPath(kStoreFolderName, CompanionFolderName(game, entry));
}

std::string CompanionFolder(const std::string& game, const std::string& entry) {
    return JoinPath(game, CompanionFolderRelative(game, entry));
}

std::string ActiveRecordFile(const std::string& companionFolder) {
    return JoinPath(companionFolder, kActiveRecordName);
}

Status WriteManifest(const std::string& companionFolder, const Manifest& manifest) {
    std::string text(kManifestHeader);
    text += '\n';
    for (const std::string& path : manifest.paths) text += EncodeJournalPath(NativeGamePath(path)) + '\n';
    for (const std::string& path : manifest.missing) text += kMissingMark + EncodeJournalPath(NativeGamePath(path)) + '\n';
    text += "end\n";
    return WriteFileSafely(JoinPath(companionFolder, kManifestName), text.size(),
                           [&](const ByteSink& sink) { return sink(text); });
}

std::optional<Manifest> ReadManifest(const std::string& companionFolder, bool* damaged) {
    if (damaged) *damaged = false;
    const std::string file = JoinPath(companionFolder, kManifestName);
    if (!PathExists(file)) return std::nullopt;
    std::string text;
    std::optional<Manifest> manifest;
    if (ReadSmallFile(file, kManifestLimit, text).ok()) manifest = DecodeManifest(text);
    if (!manifest && damaged) *damaged = true;
    return manifest;
}

bool HasCompanionFolder(const std::string& game, const std::string& entry) {
    return IsFolder(CompanionFolder(game, entry));
}

bool KeepsCompanionFiles(const std::string& game, const std::string& entry) {
    const std::string folder = CompanionFolder(game, entry);
    return PathExists(JoinPath(folder, kManifestName)) || PathExists(ActiveRecordFile(folder));
}

Status FinishUnfinishedWork(const std::string& game, const std::function<bool()>& mayChange,
                            std::vector<FinishedSwitchOff>* switchedOff) {
    const std::string store = StoreFolder(game);
    if (!IsFolder(store)) return Status::Ok();
    std::vector<DirEntry> entries;
    ListEntries(store, entries);
    const LeftBehind left = LeftBehindIn(game, entries, IsSettled(game));
    // The note of a lock whose holder was killed (Windows removes it by itself).
    if (PathExists(JoinPath(store, kLockName))) {
        std::unique_ptr<FolderLock> stale;
        bool held = false;
        std::string holder;
        if (FolderLock::Take(store, kLockName, "", stale, held, holder).ok()) stale.reset();
    }
    // The temporary files of records whose writing was cut off.
    if (left.storeLeftovers) RemoveStaleCopies(store);
    for (const std::string& folder : left.leftovers) RemoveStaleCopies(folder);
    const bool journal = PathExists(JournalFile(game));
    if (!journal && left.empty()) return Status::Ok();
    if (mayChange && !mayChange()) return Status::Ok();

    Status first = ResumeJournal(game, JournalFile(game));
    for (const std::string& path : left.stale) RemoveTree(path);
    for (const std::string& folder : left.pending) {
        if (!RemoveFile(JoinPath(folder, kPendingRecordName), true).ok()) continue;
        if (!PathExists(ActiveRecordFile(folder))) RemoveFile(JoinPath(folder, kPlacedRecordName), true);
        RemoveEmptyFolder(folder);
    }
    // The add-ons go first: their placement may have set the mod's own
    // companions aside.
    for (const std::string& entry : left.unsettled) {
        if (Status settled = SettleAddOns(game, entry, IsActive(game, entry)); !settled.ok() && first.ok()) {
            first = settled;
        }
    }
    for (const std::string& entry : left.unplaced) {
        if (!IsPlaced(game, entry) || IsActive(game, entry)) continue;
        FinishedSwitchOff off{entry, {}, false};
        if (Status undone = SwitchOff(game, entry, std::nullopt, &off.report); !undone.ok()) {
            if (first.ok()) first = undone;
            continue;
        }
        off.archiveGone = !IsRegularFile(JoinPath(game, ResolveFileName(game, entry, ".bit")));
        if (switchedOff) switchedOff->push_back(std::move(off));
    }
    return first;
}

bool IsSettled(const std::string& game) { return PathExists(JoinPath(StoreFolder(game), kSettledName)); }

void MarkUnsettled(const std::string& game) {
    const std::string mark = JoinPath(StoreFolder(game), kSettledName);
    if (PathExists(mark)) RemoveFile(mark, true);
}

void MarkSettledIfSo(const std::string& game) {
    const std::string store = StoreFolder(game);
    std::vector<DirEntry> entries;
    if (!ListEntries(store, entries).ok()) return;
    // A folder that holds only the lock goes with it, and needs no mark.
    if (std::all_of(entries.begin(), entries.end(),
                    [](const DirEntry& e) { return e.folded == kLockName || e.folded == kSettledName; })) {
        return;
    }
    const LeftBehind left = LeftBehindIn(game, entries, false);
    // What a kill leaves in a settled folder, a mod switched off by hand, is
    // found there too.
    if (left.stages || left.storeLeftovers || !left.leftovers.empty() || !left.pending.empty() ||
        !left.unsettled.empty() || PathExists(JournalFile(game))) {
        return;
    }
    WriteFileBytes(JoinPath(store, kSettledName), "");
}

Status LockGameFolder(const std::string& game, const std::string& what, std::unique_ptr<FolderLock>& out, bool& held,
                      std::string& holder) {
    held = false;
    if (!IsFolder(game)) return FailureStatus(Failure::NoSuchFile);  // never made for a lock
    return FolderLock::Take(StoreFolder(game), kLockName, what, out, held, holder);
}

void UnlockGameFolder(std::unique_ptr<FolderLock>& lock) { lock.reset(); }

std::vector<ActiveRecord> ActiveRecords(const std::string& game) {
    std::vector<ActiveRecord> records;
    std::vector<DirEntry> entries;
    ListEntries(StoreFolder(game), entries);
    for (const DirEntry& e : entries) {
        if (!e.isFolder || e.isLink) continue;
        const std::string relative = JoinPath(kStoreFolderName, e.name);
        for (const std::string& folder : {relative, JoinPath(relative, kAddOnsFolderName)}) {
            Journal record;
            if (ReadJournal(ActiveRecordFile(JoinPath(game, folder)), record).ok()) {
                records.push_back({FoldCase(folder), std::move(record)});
            }
        }
    }
    return records;
}

bool PlacesCompanion(const JournalStep& step) {
    return step.kind == JournalStep::Rename && step.from.starts_with(std::string(kStoreFolderName) + kNativeSeparator);
}

std::vector<std::string> PlacedCompanionPaths(const std::string& game) {
    std::vector<std::string> placed;
    for (const ActiveRecord& active : ActiveRecords(game)) {
        for (const JournalStep& s : active.record.steps) {
            if (PlacesCompanion(s)) placed.push_back(FoldCase(GamePathOf(s.to)));
        }
    }
    return placed;
}

void MoveFiles(const std::string& folder, const std::string& from, const std::string& to, Journal& journal,
               bool removeEmptied, std::string_view keep) {
    std::vector<DirEntry> entries;
    if (!ListEntries(JoinPath(folder, from), entries).ok() || entries.empty()) return;
    if (!IsFolder(JoinPath(folder, to))) journal.steps.push_back({JournalStep::MakeFolder, "", to});
    bool kept = false;
    for (const DirEntry& e : entries) {
        if (!keep.empty() && e.folded == keep) {
            kept = true;
        } else if (e.isFolder && !e.isLink) {
            MoveFiles(folder, JoinPath(from, e.name), JoinPath(to, e.name), journal, removeEmptied);
        } else {
            journal.steps.push_back({JournalStep::Rename, JoinPath(from, e.name), JoinPath(to, e.name)});
        }
    }
    if (removeEmptied && !kept) journal.steps.push_back({JournalStep::RemoveFolder, "", from});
}

std::string NewStageName() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::string(kStagePrefix) + std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(now).count()) +
           "-" + std::to_string(++gStages);
}

}  // namespace tavrel
