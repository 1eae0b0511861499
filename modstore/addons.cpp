#include "modstore/addons.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <unordered_map>

#include "game/big_archive.h"
#include "game/game_paths.h"
#include "modstore/store_folder.h"
#include "support/file_system.h"
#include "support/journal.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr char kInfoName[] = "addon.txt", kOriginsName[] = "origins.txt", kStoredSuffix[] = ".off";
// Beside the add-ons while they are being placed: a placing cut off is
// done again at the next start.
constexpr char kPlacingName[] = "placing";
constexpr std::string_view kInfoHeader = "tavrel addon 1", kOriginsHeader = "tavrel origins 1";
constexpr std::size_t kRecordLimit = 64u << 20;

// The lines of a record with `header` and an "end" line; nothing when it
// is not whole.
std::optional<std::vector<std::string_view>> RecordLines(std::string_view text, std::string_view header) {
    if (!text.starts_with(std::string(header) + "\n") || !text.ends_with("\nend\n")) return std::nullopt;
    std::vector<std::string_view> lines;
    text = text.substr(header.size() + 1, text.size() - header.size() - 1 - 4);  // each line with its "\n"
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

Status WriteRecord(const std::string& file, std::string_view header, const std::vector<std::string>& lines) {
    std::string text(header);
    text += '\n';
    for (const std::string& line : lines) text += line + '\n';
    text += "end\n";
    return WriteFileSafely(file, text.size(), [&](const ByteSink& sink) { return sink(text); });
}

std::optional<std::vector<std::string_view>> ReadRecord(const std::string& file, std::string_view header,
                                                        std::string& text) {
    if (!ReadSmallFile(file, kRecordLimit, text).ok()) return std::nullopt;
    return RecordLines(text, header);
}

AddOn ReadAddOn(const std::string& game, const std::string& folder, const std::string& name) {
    AddOn addOn{name, AddOnKind::AddOn, PathExists(JoinPath(folder, AddOnMark(true))), 0, 0};
    std::string text;
    if (const auto lines = ReadRecord(JoinPath(folder, kInfoName), kInfoHeader, text)) {
        for (std::string_view line : *lines) {
            if (line == "kind patch") addOn.kind = AddOnKind::Patch;
            if (line.starts_with("hidden-by-base ")) {
                addOn.hiddenByBase = std::strtoul(std::string(line.substr(15)).c_str(), nullptr, 10);
            }
        }
    }
    const std::optional<Manifest> manifest = ReadManifest(folder);
    for (const std::string& path : manifest ? manifest->paths : std::vector<std::string>{}) {
        // Kept in Tavrel's folder, or placed in the game folder.
        auto stamp = StampFile(JoinPath(folder, NativeGamePath(AddOnStoredPath(path))));
        if (!stamp && addOn.on) stamp = StampFile(JoinPath(game, NativeGamePath(path)));
        if (stamp) addOn.size += stamp->size;
    }
    return addOn;
}

// The files of the add-ons of `base` that are on, in AddOnOrder, each with
// the add-on it belongs to.
struct OnFile {
    PlacedSource source;
    const AddOn* addOn;
};
std::vector<OnFile> OnFiles(const std::string& game, const std::string& base, const std::vector<AddOn>& addOns) {
    std::vector<OnFile> files;
    const std::string home = AddOnsRelative(game, base);
    for (const AddOn& addOn : addOns) {
        if (!addOn.on) continue;
        const std::string folder = JoinPath(home, addOn.name);
        const std::optional<Manifest> manifest = ReadManifest(JoinPath(game, folder));
        for (const std::string& path : manifest ? manifest->paths : std::vector<std::string>{}) {
            files.push_back({{JoinPath(folder, NativeGamePath(AddOnStoredPath(path))), path}, &addOn});
        }
    }
    return files;
}

// Which add-on the game reads each path of `files` from: a loose file
// first, by the add-ons' order; else the archive that loads first. Each
// archive's paths beside it.
struct WhoIsRead {
    std::unordered_map<std::string, const AddOn*> loose, archived;
    std::unordered_map<std::string, std::string> archivedIn;
    std::vector<std::pair<const OnFile*, std::vector<std::string>>> tables;
    const AddOn* winner(const std::string& key) const {
        const auto l = loose.find(key);
        return l != loose.end() ? l->second : archived.at(key);
    }
};

WhoIsRead WhoIsReadAt(const std::string& game, const std::vector<OnFile>& files) {
    WhoIsRead read;
    for (const OnFile& f : files) {
        if (!IsAddOnArchiveName(f.source.path)) {
            read.loose.emplace(GamePathKey(f.source.path), f.addOn);
            continue;
        }
        // Kept in Tavrel's folder, or placed in the game folder.
        std::vector<BigEntry> table;
        if (!ReadBigFile(JoinPath(game, f.source.stored), table).ok()) ReadBigFile(JoinPath(game, f.source.path), table);
        std::vector<std::string> keys;
        for (const BigEntry& e : table) {
            keys.push_back(GamePathKey(e.path));
            const auto in = read.archivedIn.find(keys.back());
            if (in == read.archivedIn.end() || LoadsBefore(f.source.path, in->second)) {
                read.archivedIn[keys.back()] = f.source.path;
                read.archived[keys.back()] = f.addOn;
            }
        }
        read.tables.emplace_back(&f, std::move(keys));
    }
    return read;
}

// The one wanted patch: turning `name` on leaves no other on.
bool IsOtherPatchOn(const AddOn& a, const std::string& name) {
    return a.kind == AddOnKind::Patch && a.on && !EqualsNoCase(a.name, name);
}

JournalStep MarkStep(const std::string& game, const std::string& base, const std::string& name, bool on) {
    const std::string folder = AddOnRelative(game, base, name);
    // A folder without either mark is off; the mark is made then.
    return {JournalStep::Rename, JoinPath(folder, AddOnMark(!on)), JoinPath(folder, AddOnMark(on))};
}

}  // namespace

std::string AddOnsRelative(const std::string& game, const std::string& base) {
    return JoinPath(CompanionFolderRelative(game, base), kAddOnsFolderName);
}

std::string AddOnRelative(const std::string& game, const std::string& base, const std::string& name) {
    const std::string home = AddOnsRelative(game, base);
    std::vector<DirEntry> entries;
    ListEntries(JoinPath(game, home), entries);
    for (const DirEntry& e : entries) {
        if (e.isFolder && !e.isLink && EqualsNoCase(e.name, name)) return JoinPath(home, e.name);
    }
    return JoinPath(home, name);
}

bool AddOnOrder(const AddOn& a, const AddOn& b) {
    if (a.kind != b.kind) return a.kind == AddOnKind::AddOn;
    return LoadsBefore(a.name, b.name) || (!LoadsBefore(b.name, a.name) && a.name < b.name);
}

std::vector<AddOn> ListAddOns(const std::string& game, const std::string& base) {
    const std::string home = JoinPath(game, AddOnsRelative(game, base));
    std::vector<DirEntry> entries;
    ListEntries(home, entries);
    std::vector<AddOn> addOns;
    for (const DirEntry& e : entries) {
        if (e.isFolder && !e.isLink && !IsCopyTemporaryName(e.name)) addOns.push_back(ReadAddOn(game, JoinPath(home, e.name), e.name));
    }
    std::sort(addOns.begin(), addOns.end(), AddOnOrder);
    return addOns;
}

std::optional<AddOn> FindAddOn(const std::string& game, const std::string& base, const std::string& name) {
    for (AddOn& addOn : ListAddOns(game, base)) {
        if (EqualsNoCase(addOn.name, name)) return std::move(addOn);
    }
    return std::nullopt;
}

Status WriteAddOnInfo(const std::string& folder, AddOnKind kind, std::size_t hiddenByBase) {
    return WriteRecord(JoinPath(folder, kInfoName), kInfoHeader,
                       {kind == AddOnKind::Patch ? "kind patch" : "kind add-on",
                        "hidden-by-base " + std::to_string(hiddenByBase)});
}

std::string AddOnMark(bool on) { return on ? "on" : "off"; }

std::string AddOnStoredPath(const std::string& path) {
    return IsModArchiveName(FileGetName(path, '\\')) ? path + kStoredSuffix : path;
}

std::optional<std::string> AddOnName(const std::string& name) {
    std::string stem = name;
    for (const char* ext : {".big", ".gib"}) {
        if (EndsWithNoCase(stem, ext)) stem.resize(stem.size() - 4);
    }
    const std::size_t from = stem.find_first_not_of(" \t!_");
    if (from == std::string::npos) return std::nullopt;
    stem = WithAllowedNameChars(stem.substr(from));
    while (!stem.empty() && (stem.back() == '.' || stem.back() == ' ' || stem.back() == '\t')) stem.pop_back();
    if (stem.empty()) return std::nullopt;
    return stem;
}

Status WriteOrigins(const std::string& companionFolder, const Origins& origins) {
    std::vector<std::string> lines;
    std::unordered_map<std::string, std::size_t> index;
    for (const std::string& name : origins.archives) {
        index.emplace(name, lines.size());
        lines.push_back("archive\t" + EncodeJournalPath(name));
    }
    for (const auto& [key, name] : origins.byPath) {
        const auto at = index.find(name);
        lines.push_back((at == index.end() ? std::string("-") : std::to_string(at->second)) + "\t" +
                        EncodeJournalPath(key));
    }
    if (Status made = MakeFolders(companionFolder); !made.ok()) return made;
    return WriteRecord(JoinPath(companionFolder, kOriginsName), kOriginsHeader, lines);
}

void ForgetOrigins(const std::string& companionFolder) {
    const std::string file = JoinPath(companionFolder, kOriginsName);
    if (PathExists(file)) RemoveFile(file, true);
}

std::optional<Origins> ReadOrigins(const std::string& companionFolder) {
    std::string text;
    const auto lines = ReadRecord(JoinPath(companionFolder, kOriginsName), kOriginsHeader, text);
    if (!lines) return std::nullopt;
    Origins origins;
    for (std::string_view line : *lines) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) return std::nullopt;
        const auto value = DecodeJournalPath(line.substr(tab + 1));
        if (!value) return std::nullopt;
        const std::string_view head = line.substr(0, tab);
        if (head == "archive") {
            origins.archives.push_back(*value);
            continue;
        }
        const std::size_t at = head == "-" ? origins.archives.size() : std::strtoul(std::string(head).c_str(), nullptr, 10);
        origins.byPath[*value] = at < origins.archives.size() ? origins.archives[at] : std::string();
    }
    return origins;
}

bool BaseWins(const Origins& origins, const std::string& key, const std::string& addOnArchive) {
    const auto it = origins.byPath.find(key);
    return it != origins.byPath.end() && (it->second.empty() || LoadsBefore(it->second, addOnArchive));
}

bool AddOnsPlaced(const std::string& game, const std::string& base) {
    return PathExists(ActiveRecordFile(JoinPath(game, AddOnsRelative(game, base))));
}

PlacementHome AddOnsHome(const std::string& game, const std::string& base) {
    PlacementHome home{AddOnsRelative(game, base), {}, false};
    const std::vector<AddOn> addOns = ListAddOns(game, base);
    for (const OnFile& f : OnFiles(game, base, addOns)) {
        home.storedAt.emplace(FoldCase(NativeGamePath(f.source.path)), f.source.stored);
    }
    return home;
}

Status PlanAddOns(const std::string& game, const std::string& base, Placement& out) {
    out = Placement{};
    const std::vector<AddOn> addOns = ListAddOns(game, base);
    std::vector<PlacedSource> files;
    std::vector<std::string> archives;
    for (OnFile& f : OnFiles(game, base, addOns)) {
        if (IsAddOnArchiveName(f.source.path)) archives.push_back(JoinPath(game, f.source.stored));
        files.push_back(std::move(f.source));
    }
    return PlanPlacementOf(game, files, archives, out);
}

Status TakeAddOnsOff(const std::string& game, const std::string& base, SwitchOffReport* report) {
    if (!AddOnsPlaced(game, base)) return Status::Ok();
    return SwitchOffAt(game, AddOnsHome(game, base), {}, report);
}

Status MarkAddOnsUnsettled(const std::string& game, const std::string& base) {
    const std::string home = JoinPath(game, AddOnsRelative(game, base));
    return IsFolder(home) ? WriteFileBytes(JoinPath(home, kPlacingName), "") : Status::Ok();
}

void MarkAddOnsSettled(const std::string& game, const std::string& base) {
    const std::string mark = JoinPath(game, JoinPath(AddOnsRelative(game, base), kPlacingName));
    if (PathExists(mark)) RemoveFile(mark, true);
}

bool AddOnsUnsettled(const std::string& addOnsFolder, const std::function<bool()>& baseActive) {
    return PathExists(JoinPath(addOnsFolder, kPlacingName)) ||
           (PathExists(ActiveRecordFile(addOnsFolder)) && !baseActive());
}

Status SettleAddOns(const std::string& game, const std::string& base, bool baseActive) {
    if (baseActive) return ApplyAddOns(game, base, {}, true);
    const Status off = TakeAddOnsOff(game, base);
    if (off.ok()) MarkAddOnsSettled(game, base);
    return off;
}

Status ApplyAddOns(const std::string& game, const std::string& base, const std::vector<JournalStep>& marks,
                   bool baseActive, AddOnsReport* report) {
    AddOnsReport found;
    Status done = baseActive ? MarkAddOnsUnsettled(game, base) : Status::Ok();
    if (!done.ok()) return done;
    if (AddOnsPlaced(game, base)) done = SwitchOffAt(game, AddOnsHome(game, base), marks, &found.off);
    else if (!marks.empty()) done = RunJournal(game, JournalFile(game), Journal{marks, {}, {}});
    if (done.ok() && baseActive) {
        done = PlanAddOns(game, base, found.placed);
        if (done.ok() && !found.placed.steps.empty()) {
            done = SwitchOnAt(game, AddOnsRelative(game, base), std::nullopt, found.placed);
        }
        // What cannot be placed is turned off again, and what was on
        // before comes back.
        if (!done.ok() && !marks.empty() &&
            RunJournal(game, JournalFile(game), Journal{Reversed(marks), {}, {}}).ok()) {
            Placement before;
            if (PlanAddOns(game, base, before).ok() && !before.steps.empty()) {
                SwitchOnAt(game, AddOnsRelative(game, base), std::nullopt, before);
            }
        }
    }
    if (baseActive) MarkAddOnsSettled(game, base);
    if (report) *report = std::move(found);
    return done;
}

std::vector<JournalStep> MarksFor(const std::string& game, const std::string& base, const std::string& name, bool on) {
    std::vector<JournalStep> marks;
    const std::optional<AddOn> addOn = FindAddOn(game, base, name);
    if (!addOn || addOn->on == on) return marks;
    if (on && addOn->kind == AddOnKind::Patch) {
        for (const AddOn& other : ListAddOns(game, base)) {
            if (IsOtherPatchOn(other, name)) marks.push_back(MarkStep(game, base, other.name, false));
        }
    }
    marks.push_back(MarkStep(game, base, addOn->name, on));
    return marks;
}

std::vector<AddOnHiding> AddOnConflicts(const std::string& game, const std::string& base) {
    const std::vector<AddOn> addOns = ListAddOns(game, base);
    const std::vector<OnFile> files = OnFiles(game, base, addOns);
    const WhoIsRead read = WhoIsReadAt(game, files);
    std::map<const AddOn*, std::set<std::string>> by, hidden;
    const auto count = [&](const AddOn* addOn, const std::string& key) {
        if (const AddOn* w = read.winner(key); w != addOn) {
            hidden[addOn].insert(key);
            by[addOn].insert(w->name);
        }
    };
    for (const OnFile& f : files) {
        if (!IsAddOnArchiveName(f.source.path)) count(f.addOn, GamePathKey(f.source.path));
    }
    for (const auto& [f, keys] : read.tables) {
        for (const std::string& key : keys) count(f->addOn, key);  // another archive of its own counts as its own
    }
    std::vector<AddOnHiding> out;
    for (const AddOn& addOn : addOns) {
        if (!addOn.on) continue;
        AddOnHiding h{addOn.name, hidden[&addOn].size() + addOn.hiddenByBase, {by[&addOn].begin(), by[&addOn].end()}};
        if (addOn.hiddenByBase > 0) h.by.push_back("the MOD's own archives");
        out.push_back(std::move(h));
    }
    return out;
}

}  // namespace tavrel
