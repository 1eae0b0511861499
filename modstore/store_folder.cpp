#include "modstore/store_folder.h"

#include <atomic>
#include <chrono>
#include <optional>

#include "game/game_paths.h"
#include "modstore/placement.h"
#include "support/file_system.h"
#include "support/journal.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr char kJournalName[] = "journal.txt", kManifestName[] = "companions.txt";
constexpr char kStagePrefix[] = "stage-";
constexpr std::string_view kManifestHeader = "tavrel companions 1";
constexpr std::size_t kManifestLimit = 16u << 20;

std::atomic<unsigned> gStages{0};

// True when the mod `entry` is active: its ".big" as Tavrel named it, else
// in any letter case (which lists the game folder, so only then).
bool IsActive(const std::string& game, const std::string& entry) {
    return IsRegularFile(JoinPath(game, entry + ".big")) ||
           IsRegularFile(JoinPath(game, ResolveFileName(game, entry, ".big")));
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

Status WriteManifest(const std::string& companionFolder, const std::vector<std::string>& paths) {
    std::string text(kManifestHeader);
    text += '\n';
    for (const std::string& path : paths) text += EncodeJournalPath(NativeGamePath(path)) + '\n';
    return WriteFileSafely(JoinPath(companionFolder, kManifestName), text.size(),
                           [&](const ByteSink& sink) { return sink(text); });
}

std::vector<std::string> ReadManifest(const std::string& companionFolder) {
    std::string text;
    std::vector<std::string> paths;
    if (!ReadSmallFile(JoinPath(companionFolder, kManifestName), kManifestLimit, text).ok() ||
        text.compare(0, kManifestHeader.size(), kManifestHeader) != 0) {
        return paths;
    }
    for (std::size_t start = kManifestHeader.size() + 1; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (const auto path = DecodeJournalPath(std::string_view(text).substr(start, end - start)); path && !path->empty()) {
            paths.push_back(GamePathOf(*path));
        }
        start = end + 1;
    }
    return paths;
}

bool HasCompanionFolder(const std::string& game, const std::string& entry) {
    return IsFolder(CompanionFolder(game, entry));
}

Status FinishUnfinishedWork(const std::string& game, const std::function<bool()>& mayChange) {
    const std::string store = StoreFolder(game);
    if (!IsFolder(store)) return Status::Ok();
    // What is left: stages that no running install holds, and mods
    // switched off behind Tavrel's back while their companions were placed.
    // A record written for an activation that was cut off before its
    // journal, and the companion folder made for it alone.
    std::vector<std::string> stale, unplaced, pending;
    std::vector<DirEntry> entries;
    ListEntries(store, entries);
    for (const DirEntry& e : entries) {
        const std::string path = JoinPath(store, e.name);
        if (e.name.rfind(kStagePrefix, 0) == 0 && !e.isLink) {
            const std::string lock = e.name.ends_with(kStageLockSuffix) ? path : path + kStageLockSuffix;
            if (!HeldFile::IsHeld(lock)) stale.push_back(path);
            continue;
        }
        if (!e.isFolder || e.isLink) continue;
        if (PathExists(JoinPath(path, kPendingRecordName))) pending.push_back(path);
        if (PathExists(ActiveRecordFile(path)) && !IsActive(game, e.name)) {
            unplaced.push_back(e.name);
        }
    }
    // The temporary files of records whose writing was cut off.
    RemoveStaleCopies(store);
    for (const DirEntry& e : entries) {
        if (e.isFolder && !e.isLink && e.name.rfind(kStagePrefix, 0) != 0) RemoveStaleCopies(JoinPath(store, e.name));
    }
    const bool journal = PathExists(JournalFile(game));
    if (!journal && stale.empty() && unplaced.empty() && pending.empty()) return Status::Ok();
    if (mayChange && !mayChange()) return Status::Ok();

    Status first = ResumeJournal(game, JournalFile(game));
    for (const std::string& path : stale) RemoveTree(path);
    for (const std::string& folder : pending) {
        if (RemoveFile(JoinPath(folder, kPendingRecordName), true).ok()) RemoveEmptyFolder(folder);
    }
    for (const std::string& entry : unplaced) {
        if (!IsPlaced(game, entry) || IsActive(game, entry)) continue;
        if (Status undone = SwitchOff(game, entry, std::nullopt); first.ok() && !undone.ok()) first = undone;
    }
    return first;
}

std::vector<std::string> PlacedCompanionPaths(const std::string& game) {
    std::vector<std::string> placed;
    std::vector<DirEntry> entries;
    ListEntries(StoreFolder(game), entries);
    const std::string fromStore = std::string(kStoreFolderName) + kNativeSeparator;
    for (const DirEntry& e : entries) {
        Journal record;
        if (!e.isFolder || !ReadJournal(ActiveRecordFile(JoinPath(StoreFolder(game), e.name)), record).ok()) continue;
        for (const JournalStep& s : record.steps) {
            if (s.kind == JournalStep::Rename && s.from.rfind(fromStore, 0) == 0) placed.push_back(FoldCase(GamePathOf(s.to)));
        }
    }
    return placed;
}

std::string NewStageName() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::string(kStagePrefix) + std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(now).count()) +
           "-" + std::to_string(++gStages);
}

}  // namespace tavrel
