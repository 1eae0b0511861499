// Writing an install: the mod's archive copied, unpacked or merged from
// its sources in as few passes over them as each kind allows, and its loose
// companion files beside it.
#include "modstore/install_writer.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "game/big_archive.h"
#include "game/game_paths.h"
#include "modstore/mod_merge.h"
#include "modstore/store_folder.h"
#include "support/archive.h"
#include "support/path_rules.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr std::size_t kBlock = 128u << 10;  // as the unpack's: cheap writes into the page cache

// What a merge reads: each input's table, and where its bytes are.
struct MergeSources {
    std::vector<MergeInput> inputs;
    std::vector<const ModFile*> files;  // beside each input
    // A solid archive is unpacked once, into a scratch file: where each
    // input starts there.
    std::unique_ptr<ScratchFile> scratch;
    std::vector<std::uint64_t> spooledAt;
    std::unordered_map<std::size_t, std::size_t> byEntry;  // an archive's entry -> its input

    // The input an archive's member is; nothing when it is none.
    std::optional<std::size_t> inputOf(const ArchiveMember& m) const {
        const auto it = byEntry.find(m.entry);
        return it == byEntry.end() ? std::nullopt : std::optional<std::size_t>(it->second);
    }
    MergeInput* input(const ArchiveMember& m) {
        const auto i = inputOf(m);
        return i ? &inputs[*i] : nullptr;
    }
};

// A .7z or .rar may be solid: reaching a member's table means unpacking
// every member before it, so its members are unpacked once and kept.
bool UnpackOnce(const ModContents& mod) {
    const std::string name = UserPathName(mod.archive);
    return !mod.archive.empty() && !(name.size() > 4 && EqualsNoCase(name.substr(name.size() - 4), ".zip"));
}

// Hands the bytes of `runs` (offsets into one file, in order) to `sink` from
// a reader of the file from its start.
Status StreamRuns(const ReadBytes& read, const std::vector<MergeRun>& runs, const ByteSink& sink) {
    std::vector<char> block(kBlock);
    std::uint64_t at = 0;
    Status failed = Status::Ok();
    for (const MergeRun& run : runs) {
        const std::uint64_t end = run.offset + run.size;
        while (at < end) {
            const std::int64_t n = read(block.data(), static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, end - at)),
                                        failed);
            if (n < 0) return failed;
            if (n == 0) return Status::Error(kBigTableDamaged);  // shorter than its table says
            const std::uint64_t got = static_cast<std::uint64_t>(n);
            if (at + got > run.offset) {  // bytes before the run are passed over
                const std::uint64_t skip = at < run.offset ? run.offset - at : 0;
                if (Status taken = sink({block.data() + skip, static_cast<std::size_t>(got - skip)}); !taken.ok()) {
                    return taken;
                }
            }
            at += got;
        }
    }
    return Status::Ok();
}

// The member's reason, naming it.
Status Naming(const ModFile& file, const Status& why) { return Status::Error(file.path + ": " + why.text()); }

}  // namespace

// The loose companions on their way below a folder: where each goes, with
// one progress for all of them. They are flushed to disk together, a
// window at a time (WriteBatch), and all of them are named by the end of
// saveRest.
class CompanionCopies {
public:
    CompanionCopies(const std::vector<const ModFile*>& files, std::string folder, CopyProgress progress)
        : files_(files), folder_(std::move(folder)), progress_(std::move(progress)), saved_(files.size(), false) {
        for (std::size_t i = 0; i < files_.size(); ++i) {
            byEntry_.emplace(files_[i]->source.entry, i);
            total_ += files_[i]->source.size;
        }
    }

    // The companion a member of the mod's archive is.
    std::optional<std::size_t> of(const ArchiveMember& m) const {
        const auto it = byEntry_.find(m.entry);
        return it == byEntry_.end() ? std::nullopt : std::optional<std::size_t>(it->second);
    }

    // Saves companion `i` from a reader of its bytes.
    Status save(std::size_t i, const ReadBytes& read) {
        const ModFile& f = *files_[i];
        const std::string destination = made(i);
        if (destination.empty()) return Naming(f, made_);
        std::vector<char> block(kBlock);
        const Status written = batch_.write(destination, f.source.size, [&](const ByteSink& sink) {
            Status failed = Status::Ok();
            for (;;) {
                const std::int64_t n = read(block.data(), block.size(), failed);
                if (n < 0) return failed;
                if (n == 0) return Status::Ok();
                if (Status taken = sink({block.data(), static_cast<std::size_t>(n)}); !taken.ok()) return taken;
            }
        }, part(), Leftovers::NoneHere);
        return finish(i, written);
    }

    // Saves those not saved on the way, in one pass over the mod's archive
    // or copied from disk, and names every one.
    Status saveRest(const ModContents& mod) {
        if (!mod.archive.empty()) {
            const Status read = ReadMembers(
                mod.archive, [&](const ArchiveMember& m) { const auto i = of(m); return i && !saved_[*i]; },
                [&](const ArchiveMember& m, const ReadBytes& read) { return save(*of(m), read); });
            return read.ok() ? batch_.finish() : read;
        }
        for (std::size_t i = 0; i < files_.size(); ++i) {
            if (saved_[i]) continue;
            const std::string destination = made(i);
            if (destination.empty()) return Naming(*files_[i], made_);
            const Status copy = batch_.copy(files_[i]->source.path, destination, part(), Leftovers::NoneHere);
            if (Status copied = finish(i, copy); !copied.ok()) {
                return copied;
            }
        }
        return batch_.finish();
    }

private:
    // The destination of companion `i`, its folders made; empty when they
    // could not be (made_ says why).
    std::string made(std::size_t i) {
        const std::string destination = JoinPath(folder_, NativeGamePath(files_[i]->path));
        made_ = MakeFolders(ParentFolder(destination));
        return made_.ok() ? destination : std::string();
    }

    CopyProgress part() {
        return [this](std::uint64_t d, std::uint64_t) { return !progress_ || progress_(done_ + d, total_); };
    }

    Status finish(std::size_t i, const Status& written) {
        if (!written.ok()) return Naming(*files_[i], written);
        saved_[i] = true;
        done_ += files_[i]->source.size;
        return Status::Ok();
    }

    const std::vector<const ModFile*>& files_;
    std::string folder_;
    CopyProgress progress_;
    std::vector<bool> saved_;
    std::unordered_map<std::size_t, std::size_t> byEntry_;
    std::uint64_t total_ = 0, done_ = 0;
    Status made_ = Status::Ok();
    WriteBatch batch_;
};

namespace {

// One progress for the whole of an install: each part reports against a
// total of its own, and weighs its share of the whole.
class WholeProgress {
public:
    WholeProgress(CopyProgress report, std::uint64_t total) : report_(std::move(report)), total_(total) {}

    CopyProgress part(std::uint64_t weight) {
        const std::size_t i = parts_.size();
        parts_.push_back(0);
        return [this, i, weight](std::uint64_t done, std::uint64_t total) {
            const long double share = total ? static_cast<long double>(std::min(done, total)) / total : 0;
            const auto now = static_cast<std::uint64_t>(share * weight);
            if (now > parts_[i]) {
                sum_ += now - parts_[i];
                parts_[i] = now;
            }
            return !report_ || report_(std::min(sum_, total_), total_);
        };
    }

private:
    CopyProgress report_;
    std::uint64_t total_, sum_ = 0;
    std::vector<std::uint64_t> parts_;
};

// The archive's entries at companion paths that none of `paths` has (the
// last entry of a path wins), saved below `folder`; their paths are added.
Status SaveCompanionEntries(const std::string& archive, const std::string& folder, std::vector<std::string>& paths) {
    std::vector<BigEntry> table;
    if (Status read = ReadBigFile(archive, table); !read.ok()) return read;
    std::unordered_set<std::string> taken;
    for (const std::string& path : paths) taken.insert(FoldCase(path));
    InputFile in;
    if (Status opened = in.open(archive); !opened.ok()) return opened;
    WriteBatch batch;
    for (auto e = table.rbegin(); e != table.rend(); ++e) {
        const std::string path = CleanGamePath(e->path);
        if (path.empty() || !IsCompanionPath(path) || !taken.insert(FoldCase(path)).second) continue;
        const std::string destination = JoinPath(folder, NativeGamePath(path));
        if (Status made = MakeFolders(ParentFolder(destination)); !made.ok()) return Status::Error(path + ": " + made.text());
        if (in.seek(static_cast<std::int64_t>(e->offset), SEEK_SET) < 0) return in.error();
        const Status written = batch.write(destination, e->size, [&](const ByteSink& sink) {
            std::vector<char> block(kBlock);
            for (std::uint64_t left = e->size; left > 0;) {
                const std::int64_t n = in.read(block.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlock)));
                if (n < 0) return in.error();
                if (n == 0) return Status::Error(kBigTableDamaged);
                if (Status taken = sink({block.data(), static_cast<std::size_t>(n)}); !taken.ok()) return taken;
                left -= static_cast<std::uint64_t>(n);
            }
            return Status::Ok();
        }, {}, Leftovers::NoneHere);
        if (!written.ok()) return Status::Error(path + ": " + written.text());
        paths.push_back(path);
    }
    return batch.finish();
}

// The inputs of a merge: the mod's loose files (each one entry) and the
// archives to merge, in the order their bytes can be read: an archive's own.
void ListInputs(const ModContents& mod, const std::vector<const ModFile*>& archives, MergeSources& out) {
    std::vector<std::pair<const ModFile*, bool>> files;  // each file, and whether it is loose
    for (const ModFile& f : mod.loose) files.emplace_back(&f, true);
    for (const ModFile* f : archives) files.emplace_back(f, false);
    if (!mod.archive.empty()) {
        std::stable_sort(files.begin(), files.end(),
                         [](const auto& a, const auto& b) { return a.first->source.entry < b.first->source.entry; });
    }
    for (const auto& [f, loose] : files) {
        // An archive that the game skips (.gib) counts as the .big it becomes.
        if (loose) out.inputs.push_back({f->path, true, {{f->path, 0, f->source.size}}});
        else out.inputs.push_back({FileChangeExt(f->path, ".big", '\\'), false, {}});
        out.files.push_back(f);
    }
    for (std::size_t i = 0; i < out.files.size(); ++i) out.byEntry.emplace(out.files[i]->source.entry, i);
}

// Out of a solid archive: one pass unpacks every member to merge into the
// scratch file, reading each table on the way, and saves the `companions`
// it meets. The unpacking reports `progress` against `total`.
Status SpoolMembers(const ModContents& mod, MergeSources& out, const CopyProgress& progress, std::uint64_t total,
                    CompanionCopies* companions) {
    out.spooledAt.assign(out.inputs.size(), 0);
    std::vector<char> block(kBlock);
    const auto companion = [&](const ArchiveMember& m) { return companions ? companions->of(m) : std::nullopt; };
    return ReadMembers(
        mod.archive, [&](const ArchiveMember& m) { return out.input(m) != nullptr || companion(m).has_value(); },
        [&](const ArchiveMember& m, const ReadBytes& bytes) {
            MergeInput* in = out.input(m);
            if (const auto c = companion(m); c && !in) return companions->save(*c, bytes);
            const auto i = static_cast<std::size_t>(in - out.inputs.data());
            out.spooledAt[i] = out.scratch->size();
            const ReadBytes kept = [&](char* buffer, std::size_t size, Status& why) -> std::int64_t {
                const std::int64_t n = bytes(buffer, size, why);
                if (n <= 0) return n;
                why = out.scratch->append({buffer, static_cast<std::size_t>(n)});
                if (!why.ok()) return -1;
                if (progress && !progress(out.scratch->size(), total)) {
                    why = FailureStatus(Failure::Cancelled);
                    return -1;
                }
                return n;
            };
            Status read = in->loose ? Status::Ok() : ReadBigTable(kept, m.size, in->table);
            for (std::int64_t n = 1; read.ok() && n > 0;) n = kept(block.data(), block.size(), read);
            return read.ok() ? read : Naming(*out.files[i], read);
        });
}

// Out of an archive that is not solid: one pass over it, as each table is
// at the start of its member.
Status ReadMemberTables(const ModContents& mod, MergeSources& out) {
    return ReadMembers(
        mod.archive, [&](const ArchiveMember& m) { MergeInput* in = out.input(m); return in && !in->loose; },
        [&](const ArchiveMember& m, const ReadBytes& bytes) {
            MergeInput* in = out.input(m);
            const ModFile& file = *out.files[static_cast<std::size_t>(in - out.inputs.data())];
            const Status table = ReadBigTable(bytes, m.size, in->table);
            return table.ok() ? table : Naming(file, table);
        });
}

// Out of files on disk: each archive's table.
Status ReadFileTables(MergeSources& out) {
    for (std::size_t i = 0; i < out.inputs.size(); ++i) {
        if (out.inputs[i].loose) continue;
        if (Status table = ReadBigFile(out.files[i]->source.path, out.inputs[i].table); !table.ok()) {
            return Naming(*out.files[i], table);
        }
    }
    return Status::Ok();
}

// Reads the table of every archive to merge, from whatever source the mod
// came in. Unpacking into a scratch file reports `progress` against `total`,
// and saves the `companions` it meets.
Status ReadTables(const ModContents& mod, const std::vector<const ModFile*>& archives, MergeSources& out,
                  const CopyProgress& progress, std::uint64_t total, CompanionCopies* companions) {
    ListInputs(mod, archives, out);
    if (out.scratch) return SpoolMembers(mod, out, progress, total, companions);
    if (!mod.archive.empty()) return ReadMemberTables(mod, out);
    return ReadFileTables(out);
}

// Hands the planned bytes to `sink`, input by input, in the order the
// source can be read.
Status StreamPlan(const ModContents& mod, const MergeSources& sources, const MergePlan& plan, const ByteSink& sink) {
    std::vector<std::vector<MergeRun>> runs(sources.inputs.size());
    for (const MergeRun& run : plan.runs) runs[run.input].push_back(run);
    if (sources.scratch) {
        for (std::size_t i = 0; i < sources.inputs.size(); ++i) {
            if (runs[i].empty()) continue;
            if (Status streamed = StreamRuns(sources.scratch->reader(sources.spooledAt[i]), runs[i], sink);
                !streamed.ok()) {
                return Naming(*sources.files[i], streamed);
            }
        }
        return Status::Ok();
    }
    // The plan's inputs come in the archive's order: one pass reads them all.
    if (!mod.archive.empty()) {
        // Members whose bytes lose everywhere are passed over.
        const auto wanted = [&](const ArchiveMember& m) {
            const auto i = sources.inputOf(m);
            return i && !runs[*i].empty();
        };
        return ReadMembers(
            mod.archive, wanted,
            [&](const ArchiveMember& m, const ReadBytes& read) {
                const std::size_t i = *sources.inputOf(m);
                const Status streamed = StreamRuns(read, runs[i], sink);
                return streamed.ok() ? streamed : Naming(*sources.files[i], streamed);
            });
    }
    for (std::size_t i = 0; i < sources.inputs.size(); ++i) {
        if (runs[i].empty()) continue;
        InputFile file;
        if (Status opened = file.open(sources.files[i]->source.path); !opened.ok()) {
            return Naming(*sources.files[i], opened);
        }
        if (Status streamed = StreamRuns(file.reader(), runs[i], sink); !streamed.ok()) {
            return Naming(*sources.files[i], streamed);
        }
    }
    return Status::Ok();
}

}  // namespace

struct InstallWriter::Merge {
    MergeSources sources;
    MergePlan plan;
};

InstallWriter::InstallWriter(const ModContents& mod, const InstallPlan& plan)
    : mod_(mod), plan_(plan), merge_(std::make_unique<Merge>()) {}

InstallWriter::~InstallWriter() = default;

std::uint64_t InstallWriter::archiveBytes() const {
    switch (plan_.way) {
        case InstallPlan::Way::Copy:
        case InstallPlan::Way::Unpack: return plan_.lone ? plan_.lone->source.size : copySize_;
        case InstallPlan::Way::None: return 0;
        case InstallPlan::Way::Merge: break;
    }
    std::uint64_t bytes = 0;
    for (const ModFile* f : plan_.merged) bytes += f->source.size;
    if (plan_.withLoose) {
        for (const ModFile& f : mod_.loose) bytes += f.source.size;
    }
    return bytes;
}

Status InstallWriter::planMerge(const CopyProgress& progress, std::uint64_t total, CompanionCopies* companions) {
    if (Status read = ReadTables(mod_, plan_.merged, merge_->sources, progress, total, companions); !read.ok()) {
        return read;
    }
    if (plan_.leaveOut) {
        for (MergeInput& input : merge_->sources.inputs) {
            if (input.loose) continue;
            leftOutEntries_ += std::erase_if(input.table, [&](const BigEntry& e) { return plan_.leaveOut(e.path); });
        }
    }
    merge_->plan = PlanMerge(merge_->sources.inputs);
    return CheckBigArchive(merge_->plan.entries, merge_->plan.dataSize);
}

std::vector<std::pair<std::string, std::string>> InstallWriter::origins() const {
    std::vector<std::pair<std::string, std::string>> origins;
    const MergePlan& plan = merge_->plan;
    for (std::size_t i = 0; i < plan.entries.size() && i < plan.origins.size(); ++i) {
        const MergeInput& input = merge_->sources.inputs[plan.origins[i]];
        origins.emplace_back(GamePathKey(plan.entries[i].path), input.loose ? std::string() : FileGetName(input.path, '\\'));
    }
    return origins;
}

Status InstallWriter::check() {
    if (plan_.way == InstallPlan::Way::Copy && plan_.lone == nullptr) {
        InputFile in;
        if (Status opened = in.open(plan_.copyFrom); !opened.ok()) return opened;
        copySize_ = in.size();
    }
    // The tables of a merge are read, and the merge checked, before a byte
    // is written; out of a solid archive they come while it is unpacked.
    if (plan_.way != InstallPlan::Way::Merge || UnpackOnce(mod_)) return Status::Ok();
    merged_ = true;
    return planMerge({}, 0, nullptr);
}

Status InstallWriter::write(const std::string& folder, const std::string& archive, const std::string& companions,
                            const CopyProgress& progress) {
    const std::uint64_t archivePart = archiveBytes();
    const std::uint64_t companionPart = companions.empty() ? 0 : plan_.companionBytes();
    WholeProgress whole(progress, archivePart + companionPart);
    std::optional<CompanionCopies> copies;
    if (!companions.empty()) copies.emplace(plan_.companions, companions, whole.part(companionPart));

    Status written = Status::Ok();
    switch (plan_.way) {
        case InstallPlan::Way::Copy:
            written = CopyFileSafely(plan_.lone ? plan_.lone->source.path : plan_.copyFrom, archive,
                                     whole.part(archivePart));
            break;
        case InstallPlan::Way::Unpack:
            written = UnpackMember(mod_.archive, plan_.lone->source, archive, whole.part(archivePart));
            break;
        case InstallPlan::Way::None: break;
        case InstallPlan::Way::Merge: {
            // Unpacked once, the mod takes its bytes twice: the scratch file,
            // then the merged archive; each is half of the way.
            CopyProgress writing = whole.part(archivePart);
            if (!merged_) {
                written = ScratchFile::Open(folder, 2 * archivePart + BigTableSize({}), merge_->sources.scratch);
                const CopyProgress unpacking = whole.part(archivePart / 2);
                if (written.ok()) written = planMerge(unpacking, archivePart, copies ? &*copies : nullptr);
                writing = whole.part(archivePart - archivePart / 2);
            }
            if (written.ok()) {
                written = WriteBigFile(archive, merge_->plan.entries, merge_->plan.dataSize, [&](const ByteSink& sink) {
                    return StreamPlan(mod_, merge_->sources, merge_->plan, sink);
                }, writing);
            }
            break;
        }
    }
    if (!written.ok() || !copies) return written;
    if (Status saved = copies->saveRest(mod_); !saved.ok()) return saved;
    kept_.clear();
    for (const ModFile* f : plan_.companions) kept_.push_back(f->path);
    if (plan_.companionsFromArchive) {
        if (Status saved = SaveCompanionEntries(archive, companions, kept_); !saved.ok()) return saved;
    }
    // A mod that keeps nothing beside it needs no manifest, nor a folder.
    return kept_.empty() ? Status::Ok() : WriteManifest(companions, Manifest{kept_, {}});
}

}  // namespace tavrel
