// What an install will do, decided before a byte is written: how the mod's
// archive comes to be (one file copied as it is, one member unpacked, or
// several files merged into one), which companion files are kept beside it
// and which files are left out. The window and the command line tell the
// user the plan's words.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "modstore/mod_contents.h"
#include "support/platform.h"

namespace tavrel {

struct InstallPlan {
    enum class Way {
        Copy,    // a .big on disk, as it is
        Unpack,  // the one .big of an archive, as it is
        Merge,   // several archives, or archives and loose game files, made into one
    };
    Way way = Way::Copy;
    std::string copyFrom;                 // Copy: the file
    const ModFile* lone = nullptr;        // Unpack: the member
    std::vector<const ModFile*> merged;   // Merge: the archives ticked, in the order the game loads them
    bool withLoose = false;               // Merge: the mod's loose game files go in too
    // Loose companion files (see game_paths.h), kept beside the mod in its
    // companion folder; a merge's archive adds its entries at companion
    // paths that no loose file has.
    std::vector<const ModFile*> companions;
    bool companionsFromArchive = false;
    std::string sourceName;  // how the source is named to the user
    std::string newName;     // the managed inactive name: "__" + name + ".bit"
    std::string newEntry;
    std::vector<std::string> leftOut;

    // The bytes of the loose companions.
    std::uint64_t companionBytes() const;
    // True when the mod keeps files beside its archive.
    bool hasCompanions() const { return !companions.empty() || companionsFromArchive; }
    // What the success message adds: the companions kept beside the mod
    // (`kept`, the paths in the end) and what was left out.
    std::string words(const std::vector<std::string>& kept) const;
};

class CompanionCopies;

// Writes what a plan says: the mod's archive, and its companion files with
// their manifest in a folder of their own.
class InstallWriter {
public:
    InstallWriter(const ModContents& mod, const InstallPlan& plan);
    ~InstallWriter();
    InstallWriter(const InstallWriter&) = delete;
    InstallWriter& operator=(const InstallWriter&) = delete;

    // Reads what can be read before a byte is written: the size of a file
    // to copy, and a merge's tables, which it plans and checks (those of a
    // solid archive come only as it is unpacked, while writing).
    Status check();
    // Writes the archive to `archive` and, when `companions` is not empty,
    // the companion files and their manifest below that folder, with one
    // progress for all of it. A scratch file, where one is needed, goes in
    // `folder`.
    Status write(const std::string& folder, const std::string& archive, const std::string& companions,
                 const CopyProgress& progress);
    // The companions written, as game paths.
    const std::vector<std::string>& kept() const { return kept_; }
    // The bytes the archive takes from its sources.
    std::uint64_t archiveBytes() const;

private:
    struct Merge;
    Status planMerge(const CopyProgress& progress, std::uint64_t total, CompanionCopies* companions);

    const ModContents& mod_;
    const InstallPlan& plan_;
    std::unique_ptr<Merge> merge_;
    bool merged_ = false;  // the merge is planned
    std::uint64_t copySize_ = 0;
    std::vector<std::string> kept_;
};

}  // namespace tavrel
