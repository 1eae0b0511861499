#include "modstore/mod_contents.h"

#include <algorithm>

#include "game/big_archive.h"
#include "game/game_paths.h"
#include "support/path_rules.h"
#include "support/recurse.h"
#include "support/text.h"

namespace tavrel {
namespace {

constexpr std::size_t kNamedInMessage = 4;

std::size_t Depth(const std::string& path) { return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')); }

// A mod without archives has its root where one of the game's own top
// folders is.
std::string RootWithoutArchives(const std::vector<ModFile>& files) {
    std::string best;
    std::size_t bestDepth = std::string::npos;
    for (const ModFile& f : files) {
        std::size_t start = 0, depth = 0;
        for (std::size_t cut = f.path.find('\\'); cut != std::string::npos; cut = f.path.find('\\', start)) {
            if (IsGameFolderName(std::string_view(f.path).substr(start, cut - start))) {
                if (depth < bestDepth) {
                    bestDepth = depth;
                    best = f.path.substr(0, start);
                }
                break;
            }
            start = cut + 1;
            ++depth;
        }
    }
    return best;  // with its trailing "\", or "" for the top
}

// A file on disk as a mod's file: its path, name and size. Opening it
// refuses, without waiting, what is not a regular file.
Status OnDisk(const std::string& path, ArchiveMember& out) {
    out.path = path;
    out.name = UserPathName(path);
    InputFile probe;
    if (Status opened = probe.open(path); !opened.ok()) return Status::Error(out.name + ": " + opened.text());
    out.size = probe.size();
    return Status::Ok();
}

}  // namespace

void SortModFiles(std::vector<ModFile> files, ModContents& out) {
    for (ModFile& f : files) f.path = CleanGamePath(f.path);
    std::erase_if(files, [](const ModFile& f) { return f.path.empty(); });

    // The root: the folder of the shallowest archive.
    std::string root;
    const ModFile* shallowest = nullptr;
    for (const ModFile& f : files) {
        if (!IsModArchiveName(FileGetName(f.path, '\\'))) continue;
        if (!shallowest || Depth(f.path) < Depth(shallowest->path) ||
            (Depth(f.path) == Depth(shallowest->path) && LoadsBefore(f.path, shallowest->path))) {
            shallowest = &f;
        }
    }
    if (shallowest) {
        const std::size_t cut = shallowest->path.find_last_of('\\');
        root = cut == std::string::npos ? std::string() : shallowest->path.substr(0, cut + 1);
    } else {
        root = RootWithoutArchives(files);
    }

    for (ModFile& f : files) {
        const bool below = f.path.size() > root.size() && EqualsNoCase(f.path.substr(0, root.size()), root);
        if (!below) {
            out.leftOut.push_back(f.path);
            continue;
        }
        std::string shown = f.path;
        f.path.erase(0, root.size());
        if (IsModArchiveName(FileGetName(f.path, '\\'))) {
            out.archives.push_back(std::move(f));
            continue;
        }
        switch (ClassifyModFile(f.path)) {
            case LooseKind::GameFile:
            case LooseKind::Both: out.loose.push_back(std::move(f)); break;
            case LooseKind::Companion: out.companions.push_back(std::move(f)); break;
            case LooseKind::LeftOut: out.leftOut.push_back(shown); break;
        }
    }
    std::sort(out.leftOut.begin(), out.leftOut.end(), [](const std::string& a, const std::string& b) { return NameLess(a, b); });
    // An archive that the game skips (.gib) counts as the .big it becomes.
    const auto loadName = [](const std::string& path) { return FileChangeExt(path, ".big", '\\'); };
    std::stable_sort(out.archives.begin(), out.archives.end(), [&](const ModFile& a, const ModFile& b) {
        return LoadsBefore(loadName(a.path), loadName(b.path));
    });
}

Status GatherMod(const std::vector<std::string>& sources, ModContents& out) {
    out = ModContents{};
    if (sources.empty()) return FailureStatus(Failure::NoSuchFile);
    const std::string& first = sources.front();
    std::vector<ModFile> files;
    if (sources.size() == 1 && IsArchiveName(FileGetName(first))) {
        std::vector<ArchiveMember> members;
        if (Status listed = ListArchiveFiles(first, members); !listed.ok()) return listed;
        out.archive = first;
        out.name = FileChangeExt(UserPathName(first), "");
        for (ArchiveMember& m : members) files.push_back({m.path, std::move(m)});
    } else if (sources.size() == 1 && IsFolder(first)) {
        const std::string top = FileCleanPath(first);
        out.name = UserPathName(top);
        const auto real = RealPath(top);
        // Links are followed only while they stay inside the mod's folder.
        for (const std::string& path : FindFilesRecursive(top, "", 0, 0, real.value_or(top))) {
            ModFile f{path.substr(std::min(path.size(), top.size() + 1)), {}};
            if (Status found = OnDisk(path, f.source); !found.ok()) return found;
            files.push_back(std::move(f));
        }
    } else {
        out.name = FileChangeExt(UserPathName(first), "");
        out.picked = true;
        for (const std::string& path : sources) {
            ModFile f;
            if (!IsModArchiveName(UserPathName(path))) return Status::Error(UserPathName(path) + ": " + kNotBigArchive);
            if (Status found = OnDisk(path, f.source); !found.ok()) return found;
            f.path = f.source.name;
            files.push_back(std::move(f));
        }
    }
    out.shown = sources.size() == 1 ? UserPathName(FileCleanPath(first)) : out.name;
    SortModFiles(std::move(files), out);
    return Status::Ok();
}

std::string FewNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamedInMessage; ++i) text += (i ? ", " : "") + names[i];
    if (names.size() > kNamedInMessage) text += " and " + std::to_string(names.size() - kNamedInMessage) + " more";
    return text;
}

}  // namespace tavrel
