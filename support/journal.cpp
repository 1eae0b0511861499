#include "support/journal.h"

#include <map>

#include "support/file_system.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr std::string_view kHeader = "tavrel journal 1";
constexpr std::size_t kJournalLimit = 64u << 20;

constexpr struct {
    JournalStep::Kind kind;
    std::string_view word;
    bool twoPaths;
} kKinds[] = {
    {JournalStep::Rename, "rename", true},          {JournalStep::Replace, "replace", true},
    {JournalStep::MakeFolder, "folder", false},     {JournalStep::RemoveFolder, "unfolder", false},
    {JournalStep::Remove, "remove", false},
};

// A part of a path as the journal keeps it: control characters, "%" and a
// "\" inside a name (Linux allows one) as "%" and two hex digits.
void EscapePart(std::string_view part, std::string& out) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : part) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f || c == '%' || c == '\\') {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
}

}  // namespace

std::string EncodeJournalPath(std::string_view path) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t cut = path.find(kNativeSeparator);; cut = path.find(kNativeSeparator, start)) {
        if (start > 0) out += '\\';
        EscapePart(path.substr(start, cut == std::string_view::npos ? std::string_view::npos : cut - start), out);
        if (cut == std::string_view::npos) break;
        start = cut + 1;
    }
    return out;
}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::string> DecodeJournalPath(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            out += kNativeSeparator;
        } else if (text[i] == '%') {
            if (i + 2 >= text.size()) return std::nullopt;
            const int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t');; tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    return fields;
}

enum class StepState { NotDone, Done, Blocked };

// Takes and undoes the steps of one journal in one root. The names of
// each folder a step puts something in are read once and kept up to date,
// so that a thousand renames into one folder list it once.
class Runner {
public:
    explicit Runner(std::string root) : root_(std::move(root)) {}

    std::string full(const std::string& relative) const { return JoinPath(root_, relative); }

    Status take(const JournalStep& s) {
        const std::string to = full(s.to);
        switch (s.kind) {
            case JournalStep::Rename: return rename(full(s.from), to);
            case JournalStep::Replace: {
                const Status replaced = RenameReplacing(full(s.from), to);
                names_.clear();  // both folders changed behind the kept names
                return replaced;
            }
            case JournalStep::MakeFolder: {
                if (IsFolder(to)) return Status::Ok();
                FolderNames& parent = names(ParentFolder(to));
                if (!parent.sameInAnyCase(FileGetName(to)).empty()) return FailureStatus(Failure::FileExists);
                const Status made = MakeFolders(to);
                if (made.ok()) parent.add(FileGetName(to));
                return made;
            }
            case JournalStep::RemoveFolder:
                // A folder that something else was put in meanwhile stays.
                if (RemoveEmptyFolder(to).ok()) forget(to);
                return Status::Ok();
            case JournalStep::Remove: {
                const Status removed = RemoveFile(to);
                if (removed.ok()) forget(to);
                return removed;
            }
        }
        return Status::Ok();
    }

    Status undo(const JournalStep& s) {
        switch (s.kind) {
            case JournalStep::Rename:
            case JournalStep::Replace:
                if (!PathExists(full(s.to))) return Status::Ok();  // nothing there to move back
                return rename(full(s.to), full(s.from));
            case JournalStep::MakeFolder: return take({JournalStep::RemoveFolder, "", s.to});
            case JournalStep::RemoveFolder: return take({JournalStep::MakeFolder, "", s.to});
            case JournalStep::Remove: break;  // nothing brings it back; it comes last
        }
        return Status::Ok();
    }

    // Where a step stands, told from the tree alone.
    StepState state(const JournalStep& s) {
        const std::string to = full(s.to);
        switch (s.kind) {
            case JournalStep::Rename: {
                const std::string from = full(s.from);
                const bool source = PathExists(from), target = PathExists(to);
                if (source && target && FoldCase(from) != FoldCase(to)) {
                    // A rename by a hard link that was killed before it took
                    // the old name away: both names lead to the one file.
                    const auto id = IdentifyFile(from, false);
                    if (id && id == IdentifyFile(to, false) && RemoveFile(from, true).ok()) return StepState::Done;
                    return StepState::Blocked;
                }
                return source ? StepState::NotDone : StepState::Done;  // neither: nothing left to move
            }
            case JournalStep::Replace: return PathExists(full(s.from)) ? StepState::NotDone : StepState::Done;
            case JournalStep::MakeFolder: return IsFolder(to) ? StepState::Done : StepState::NotDone;
            case JournalStep::RemoveFolder:
            case JournalStep::Remove: return PathExists(to) ? StepState::NotDone : StepState::Done;
        }
        return StepState::Done;
    }

    // Undoes steps[0, end) in reverse, those that are done: each once the
    // steps after it are undone, so that a name taken again is free.
    Status undoUpTo(const std::vector<JournalStep>& steps, std::size_t end) {
        names_.clear();
        for (std::size_t i = end; i-- > 0;) {
            if (state(steps[i]) != StepState::Done) continue;
            if (Status undone = undo(steps[i]); !undone.ok()) return undone;
        }
        return Status::Ok();
    }

    void removeAll(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) RemoveTree(full(path));
    }

private:
    FolderNames& names(const std::string& folder) {
        auto it = names_.find(folder);
        if (it == names_.end()) it = names_.emplace(folder, FolderNames(folder)).first;
        return it->second;
    }

    void forget(const std::string& path) {
        const auto it = names_.find(ParentFolder(path));
        if (it != names_.end()) it->second.forget(FileGetName(path));
    }

    Status rename(const std::string& from, const std::string& to) {
        const Status renamed = names(ParentFolder(to)).renameNoReplace(from, FileGetName(to));
        if (renamed.ok() && ParentFolder(from) != ParentFolder(to)) forget(from);
        return renamed;
    }

    std::string root_;
    std::map<std::string, FolderNames> names_;
};

// Every step taken: the removals, then the journal.
void Finish(Runner& runner, const std::string& journalPath, const Journal& journal) {
    runner.removeAll(journal.removeWhenDone);
    RemoveFile(journalPath, true);
}

// Every step undone: what was made for it goes, and the journal.
void Abandon(Runner& runner, const std::string& journalPath, const Journal& journal) {
    runner.removeAll(journal.removeWhenUndone);
    RemoveFile(journalPath, true);
}

}  // namespace

std::string EncodeJournal(const Journal& journal) {
    std::string text(kHeader);
    text += '\n';
    for (const JournalStep& s : journal.steps) {
        for (const auto& k : kKinds) {
            if (k.kind != s.kind) continue;
            text += k.word;
            if (k.twoPaths) text += '\t' + EncodeJournalPath(s.from);
            text += '\t' + EncodeJournalPath(s.to) + '\n';
        }
    }
    for (const std::string& path : journal.removeWhenDone) text += "done-remove\t" + EncodeJournalPath(path) + '\n';
    for (const std::string& path : journal.removeWhenUndone) text += "undone-remove\t" + EncodeJournalPath(path) + '\n';
    return text + "end\n";
}

std::optional<Journal> DecodeJournal(std::string_view text) {
    Journal journal;
    bool header = false, ended = false;
    std::size_t start = 0;
    while (start < text.size() && !ended) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) return std::nullopt;  // cut short
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!header) {
            if (line != kHeader) return std::nullopt;
            header = true;
            continue;
        }
        if (line == "end") {
            ended = true;
            continue;
        }
        const std::vector<std::string_view> f = Fields(line);
        std::vector<std::string> paths;
        for (std::size_t i = 1; i < f.size(); ++i) {
            std::optional<std::string> path = DecodeJournalPath(f[i]);
            if (!path || path->empty()) return std::nullopt;
            paths.push_back(std::move(*path));
        }
        bool known = false;
        for (const auto& k : kKinds) {
            if (f[0] != k.word) continue;
            if (paths.size() != (k.twoPaths ? 2u : 1u)) return std::nullopt;
            journal.steps.push_back({k.kind, k.twoPaths ? paths[0] : std::string(), paths.back()});
            known = true;
        }
        if (known) continue;
        if (paths.size() != 1) return std::nullopt;
        if (f[0] == "done-remove") journal.removeWhenDone.push_back(paths[0]);
        else if (f[0] == "undone-remove") journal.removeWhenUndone.push_back(paths[0]);
        else return std::nullopt;
    }
    if (!ended || start != text.size()) return std::nullopt;
    return journal;
}

Status ReadJournal(const std::string& path, Journal& out) {
    std::string text;
    if (Status read = ReadSmallFile(path, kJournalLimit, text); !read.ok()) return read;
    std::optional<Journal> journal = DecodeJournal(text);
    if (!journal) return Status::Error(FileGetName(path) + ": the record of an earlier change is damaged");
    out = std::move(*journal);
    return Status::Ok();
}

Status WriteJournal(const std::string& path, const Journal& journal) {
    const std::string text = EncodeJournal(journal);
    return WriteFileSafely(path, text.size(), [&](const ByteSink& sink) { return sink(text); });
}

Status RunJournal(const std::string& root, const std::string& journalPath, const Journal& journal,
                  std::size_t* failedStep) {
    if (Status earlier = ResumeJournal(root, journalPath); !earlier.ok()) return earlier;
    if (Status written = WriteJournal(journalPath, journal); !written.ok()) return written;
    Runner runner(root);
    for (std::size_t i = 0; i < journal.steps.size(); ++i) {
        const Status taken = runner.take(journal.steps[i]);
        if (taken.ok()) continue;
        if (failedStep) *failedStep = i;
        // Left in place when the undo fails too, for the next start to end.
        if (runner.undoUpTo(journal.steps, i).ok()) Abandon(runner, journalPath, journal);
        return taken;
    }
    Finish(runner, journalPath, journal);
    return Status::Ok();
}

Status ResumeJournal(const std::string& root, const std::string& journalPath) {
    if (!PathExists(journalPath)) return Status::Ok();
    Journal journal;
    if (Status read = ReadJournal(journalPath, journal); !read.ok()) return read;
    Runner runner(root);
    // Steps are taken in order, and a later step may take a name an earlier
    // one gave up: the last step that shows itself done tells how far the
    // journal came.
    std::size_t from = 0;
    for (std::size_t i = journal.steps.size(); i-- > 0;) {
        if (runner.state(journal.steps[i]) == StepState::Done) {
            from = i + 1;
            break;
        }
    }
    for (std::size_t i = from; i < journal.steps.size(); ++i) {
        const StepState state = runner.state(journal.steps[i]);
        if (state == StepState::Done) continue;
        const Status taken = state == StepState::Blocked ? FailureStatus(Failure::FileExists)
                                                         : runner.take(journal.steps[i]);
        if (taken.ok()) continue;
        if (Status undone = runner.undoUpTo(journal.steps, i); !undone.ok()) return undone;
        Abandon(runner, journalPath, journal);
        return Status::Ok();
    }
    Finish(runner, journalPath, journal);
    return Status::Ok();
}

std::vector<JournalStep> Reversed(const std::vector<JournalStep>& steps) {
    std::vector<JournalStep> back;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        switch (it->kind) {
            case JournalStep::Rename:
            case JournalStep::Replace: back.push_back({JournalStep::Rename, it->to, it->from}); break;
            case JournalStep::MakeFolder: back.push_back({JournalStep::RemoveFolder, "", it->to}); break;
            case JournalStep::RemoveFolder: back.push_back({JournalStep::MakeFolder, "", it->to}); break;
            case JournalStep::Remove: break;  // gone for good
        }
    }
    return back;
}

}  // namespace tavrel
