// What an install will do, decided before a byte is written: how the mod's
// archive comes to be (one file copied as it is, one member unpacked, or
// several files merged into one), which companion files are kept beside it
// and which files are left out. The window and the command line tell the
// user the plan's words; install_writer.h writes it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "modstore/mod_contents.h"
#include "support/status.h"

namespace tavrel {

struct InstallPlan {
    enum class Way {
        Copy,    // a .big on disk, as it is
        Unpack,  // the one .big of an archive, as it is
        Merge,   // several archives, or archives and loose game files, made into one
        None,    // no archive: the companions alone (an add-on's loose files)
    };
    Way way = Way::Copy;
    std::string copyFrom;                 // Copy: the file
    const ModFile* lone = nullptr;        // Unpack: the member
    std::vector<const ModFile*> merged;   // Merge: the archives ticked, in the order the game loads them
    bool withLoose = false;               // Merge: the mod's loose game files go in too
    // Merge: an archive's entries at the paths this answers true for are
    // left out (an add-on's that its base wins).
    std::function<bool(const std::string& path)> leaveOut;
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

struct ArchiveChoice;

// The managed inactive name for an archive named `sourceName`.
std::string InstalledModName(const std::string& sourceName);
// The managed inactive name of a mod merged from several files and named
// `name` (typed, or its archive's or folder's own name): blanks around it
// and leading underscores go, characters no Windows file name may hold
// become "_", then "__" + name + ".bit". Nothing when no name is left.
std::optional<std::string> MergedModName(const std::string& name);

// The plan for one file that is no archive of archives: copied as it is,
// under its managed name.
InstallPlan PlanCopy(const std::string& file);

// True when `mod` holds what the game reads: an archive, or a file below
// one of the game's own folders.
bool HoldsGameFiles(const ModContents& mod);

// True when the user ticks which archives to install: a mod of several, or
// of one and loose game files.
bool AsksForArchives(const ModContents& mod);

// The plan for `mod` as the user chose it (`choice`; none when not asked:
// every archive, under the mod's own name). One archive alone goes in as
// it is; anything more is merged into one under the name given. False when
// no plan can be made: nothing ticked (`failed` stays Ok) or no name left.
bool PlanChoice(const ModContents& mod, const ArchiveChoice* choice, InstallPlan& plan, Status& failed);

}  // namespace tavrel
