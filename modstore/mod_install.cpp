// "Install A Mod": a picked .big, or the .big in a picked archive, becomes an
// inactive mod in the game folder; a mod of several archives and loose game
// files becomes one archive, read in one pass over its source.
#include "modstore/mod_store.h"

#include <unordered_map>

#include "modstore/mod_contents.h"
#include "modstore/mod_merge.h"
#include "support/archive.h"
#include "support/file_system.h"
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

// Reads the table of every archive to merge; a loose file is one entry.
// Unpacking into a scratch file reports `progress` against `total`.
Status ReadTables(const ModContents& mod, const std::vector<const ModFile*>& archives, MergeSources& out,
                  const CopyProgress& progress, std::uint64_t total) {
    std::vector<std::pair<const ModFile*, bool>> files;  // each file, and whether it is loose
    for (const ModFile& f : mod.loose) files.emplace_back(&f, true);
    for (const ModFile* f : archives) files.emplace_back(f, false);
    // The inputs come in the order their bytes can be read: an archive's own.
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
    const auto input = [&](const ArchiveMember& m) -> MergeInput* {
        const auto i = out.inputOf(m);
        return i ? &out.inputs[*i] : nullptr;
    };
    if (out.scratch) {
        // One pass unpacks every member to merge into the scratch file,
        // reading each table on the way.
        out.spooledAt.assign(out.inputs.size(), 0);
        std::vector<char> block(kBlock);
        return ReadMembers(
            mod.archive, [&](const ArchiveMember& m) { return input(m) != nullptr; },
            [&](const ArchiveMember& m, const ReadBytes& bytes) {
                MergeInput* in = input(m);
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
    if (!mod.archive.empty()) {
        // One pass over the archive: each table is at the start of its member.
        return ReadMembers(
            mod.archive, [&](const ArchiveMember& m) { MergeInput* in = input(m); return in && !in->loose; },
            [&](const ArchiveMember& m, const ReadBytes& bytes) {
                MergeInput* in = input(m);
                const ModFile& file = *out.files[static_cast<std::size_t>(in - out.inputs.data())];
                const Status table = ReadBigTable(bytes, m.size, in->table);
                return table.ok() ? table : Naming(file, table);
            });
    }
    for (std::size_t i = 0; i < out.inputs.size(); ++i) {
        if (out.inputs[i].loose) continue;
        if (Status table = ReadBigFile(out.files[i]->source.path, out.inputs[i].table); !table.ok()) {
            return Naming(*out.files[i], table);
        }
    }
    return Status::Ok();
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

// The managed name of an archive: every leading underscore gives way to
// exactly two, and the extension becomes ".bit".
std::string InstalledModName(const std::string& sourceName) {
    const std::size_t firstKept = sourceName.find_first_not_of('_');
    const std::string rest = firstKept == std::string::npos ? std::string() : sourceName.substr(firstKept);
    return FileChangeExt("__" + rest, ".bit");
}

void ModStore::lblInstallMod_Click() {
    const std::string zh = ZeroHourPart(w_.zhMode());
    if (w_.message("Tavrel can automaticaly import a MOD (.big file) to your Generals" + zh +
                       "folder. Tavrel will rename the file to a .bit file until you activate it for use. Please "
                       "select the MOD (.big file) you want to import now...",
                   Buttons::OkCancel, Icon::Information) != Answer::Ok) {
        return;
    }

    std::string startFolder;
    if (!w_.folderText().empty()) {
        w_.setFolderText(FileCleanPath(w_.folderText()));
        if (FolderExists(w_.folderText())) startFolder = w_.folderText();
    }
    // Mods as they come (.big), several picked together, or as downloaded.
    const std::vector<std::string> sources = ShowOpenFiles(w_,
                                                           "Generals MODs and Archives (*.big;*.zip;*.7z;*.rar)|"
                                                           "*.big;*.zip;*.7z;*.rar|Generals MOD Files (*.big)|*.big",
                                                           "Select Generals MOD....", "big", startFolder);
    if (sources.empty()) return;
    InstallMod(sources);
}

std::optional<std::string> MergedModName(const std::string& name) {
    const std::size_t from = name.find_first_not_of(" \t_");
    if (from == std::string::npos) return std::nullopt;
    std::string stem = WithAllowedNameChars(name.substr(from));
    while (!stem.empty() && (stem.back() == '.' || stem.back() == ' ' || stem.back() == '\t')) {
        stem.pop_back();  // Windows drops them from a file name
    }
    if (stem.empty()) return std::nullopt;
    return "__" + stem + ".bit";
}

bool ModStore::InstallMod(const std::vector<std::string>& sources, std::string* installedEntry) {
    if (!w_.folderText().empty()) w_.setFolderText(FileCleanPath(w_.folderText()));
    if (!goOnWhileGameRuns()) return false;

    const std::string zh = ZeroHourPart(w_.zhMode());
    const std::string folder = w_.folderText();
    const auto copyError = [&](const Status& why) {
        w_.message("An error occurred while attempting to copy the new MOD to your Generals folder! Please ensure "
                   "that the MOD is a valid .big file that is not in use, and that the path to your Generals" + zh +
                       "folder is valid. (" + why.text() + ")",
                   Buttons::Ok, Icon::Critical);
        return false;
    };
    // An empty folder text names no game folder: nothing is copied to the
    // file system root.
    if (folder.empty() || sources.empty()) return copyError(FailureStatus(Failure::NoSuchFile));

    // One file that is no archive of archives is installed as it is.
    ModContents mod;
    const ModFile* lone = nullptr;
    std::vector<const ModFile*> chosen;
    std::string mergedName;
    const std::string& first = sources.front();
    const bool asItIs = sources.size() == 1 && !IsArchiveName(FileGetName(first)) && !IsFolder(first);
    if (!asItIs) {
        if (Status gathered = GatherMod(sources, mod); !gathered.ok()) return copyError(gathered);
        if (mod.archives.empty() && mod.loose.empty()) {
            return copyError(Status::Error(mod.archive.empty() ? "the folder holds no .big file" : kArchiveHoldsNoMod));
        }
        for (const ModFile& f : mod.archives) chosen.push_back(&f);
        std::string name = mod.name;
        bool alone = mod.loose.empty();
        if (mod.archives.size() > 1 || (mod.archives.size() == 1 && !mod.loose.empty())) {
            std::vector<ArchiveMember> offered;
            for (const ModFile& f : mod.archives) offered.push_back({f.source.name, f.path, f.source.size, 0});
            const std::optional<ArchiveChoice> choice = w_.chooseModArchives(offered, mod.name);
            if (!choice) return false;  // the user's own choice: nothing changes
            chosen.clear();
            for (const std::size_t i : choice->ticked) {
                if (i < mod.archives.size()) chosen.push_back(&mod.archives[i]);
            }
            if (chosen.empty()) return false;
            name = choice->name;
            alone = alone || choice->withoutLooseFiles;
        }
        // One archive alone goes in as it is, under its own name.
        if (chosen.size() == 1 && alone) {
            lone = chosen.front();
        } else {
            const std::optional<std::string> managed = MergedModName(name);
            if (!managed) return copyError(Status::Error("the MOD has no name"));
            mergedName = *managed;
        }
    }

    const std::string sourceName = asItIs ? UserPathName(first) : lone ? lone->source.name : mod.shown;
    const std::string newName = mergedName.empty() ? InstalledModName(sourceName) : mergedName;
    const std::string newEntry = FileChangeExt(newName, "");

    // The tables of a merge are read, and the merge checked, before a byte is
    // written; out of a solid archive they come while it is unpacked, once.
    MergeSources merge;
    MergePlan plan;
    const auto planMerge = [&](const CopyProgress& report, std::uint64_t total) {
        if (Status read = ReadTables(mod, chosen, merge, report, total); !read.ok()) return read;
        plan = PlanMerge(merge.inputs);
        return CheckBigArchive(plan.entries, plan.dataSize);
    };
    const bool merging = !mergedName.empty(), unpackOnce = merging && UnpackOnce(mod);
    if (merging && !unpackOnce) {
        if (Status planned = planMerge({}, 0); !planned.ok()) return copyError(planned);
    }

    // An existing copy in other letter case is the one replaced, so that the
    // folder never holds two names the game sees as one.
    const std::string target = JoinPath(folder, ResolveFileName(folder, newEntry, ".bit"));
    bool cancelled = false;
    Status copied = Status::Ok();
    {
        const auto progress = w_.showCopyProgress("Installing " + sourceName + "...");
        const CopyProgress report = [&](std::uint64_t done, std::uint64_t total) {
            cancelled = !progress->update(done, total);
            return !cancelled;
        };
        if (asItIs) copied = CopyFileSafely(first, target, report);
        else if (lone && !mod.archive.empty()) copied = UnpackMember(mod.archive, lone->source, target, report);
        else if (lone) copied = CopyFileSafely(lone->source.path, target, report);
        else {
            // Unpacked once, the mod takes its bytes twice: the scratch file,
            // then the merged archive; each is half of the way.
            std::uint64_t unpacked = 0;
            for (const ModFile* f : chosen) unpacked += f->source.size;
            for (const ModFile& f : mod.loose) unpacked += f.source.size;
            CopyProgress writing = report;
            if (unpackOnce) {
                copied = ScratchFile::Open(folder, 2 * unpacked + BigTableSize({}), merge.scratch);
                if (copied.ok()) {
                    copied = planMerge([&](std::uint64_t done, std::uint64_t) { return report(done / 2, unpacked); },
                                       unpacked);
                }
                writing = [&](std::uint64_t done, std::uint64_t total) {
                    const double part = total ? static_cast<double>(done) / static_cast<double>(total) : 0;
                    return report(unpacked / 2 + static_cast<std::uint64_t>(part * static_cast<double>(unpacked / 2)),
                                  unpacked);
                };
            }
            if (copied.ok()) {
                copied = WriteBigFile(target, plan.entries, plan.dataSize, [&](const ByteSink& sink) {
                    return StreamPlan(mod, merge, plan, sink);
                }, writing);
            }
        }
    }  // the progress window closes before any message
    if (cancelled) return false;  // the user's own choice; the folder is as it was
    if (!copied.ok()) return copyError(copied);
    if (installedEntry) *installedEntry = newEntry;

    std::string leftOut;
    if (!mergedName.empty() && !mod.leftOut.empty()) {
        leftOut = "\r\n\r\nLeft out, as the game reads them only from its own folder: " + FewNames(mod.leftOut) + ".";
    }
    UpdateList(false);
    if (newEntry != w_.activeMod()) {
        if (w_.offerActivation("MOD (" + sourceName + ") has been successfully installed. Tavrel has renamed the "
                               "MOD to " + newName + leftOut + "\r\n\r\nWould you like to activate this MOD now?") ==
            Answer::Yes) {
            ActivateMod(newEntry);
        }
    } else {
        w_.message("MOD (" + newEntry + ") has been successfully installed. Tavrel has renamed the MOD to " + newName +
                       leftOut + "\r\n\r\nThis MOD is currently active.",
                   Buttons::Ok, Icon::Information);
    }
    return true;
}

}  // namespace tavrel
