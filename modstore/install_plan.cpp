// Deciding what an install does, before a byte is written.
#include "modstore/install_plan.h"

#include <algorithm>
#include <unordered_set>

#include "modstore/mod_window.h"
#include "support/path_rules.h"
#include "support/text.h"

namespace tavrel {
namespace {

// Companions that name one path in other letter case are one file to the
// game: the first of them is kept.
std::vector<const ModFile*> OnePerPath(const std::vector<ModFile>& files) {
    std::vector<const ModFile*> kept;
    std::unordered_set<std::string> seen;
    for (const ModFile& f : files) {
        if (seen.insert(FoldCase(f.path)).second) kept.push_back(&f);
    }
    return kept;
}

// How a merge's source is named to the user: files picked together by the
// first of them and how many more, anything else as it came.
std::string MergedSourceName(const ModContents& mod, const std::vector<const ModFile*>& chosen) {
    if (!mod.picked || chosen.empty()) return mod.shown;
    if (chosen.size() == 1) return chosen.front()->source.name;
    return chosen.front()->source.name + " and " + std::to_string(chosen.size() - 1) + " more";
}

}  // namespace

// The managed name of an archive: every leading underscore gives way to
// exactly two, and the extension becomes ".bit".
std::string InstalledModName(const std::string& sourceName) {
    const std::size_t firstKept = sourceName.find_first_not_of('_');
    const std::string rest = firstKept == std::string::npos ? std::string() : sourceName.substr(firstKept);
    return FileChangeExt("__" + rest, ".bit");
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

InstallPlan PlanCopy(const std::string& file) {
    InstallPlan plan;
    plan.way = InstallPlan::Way::Copy;
    plan.copyFrom = file;
    plan.sourceName = UserPathName(file);
    plan.newName = InstalledModName(plan.sourceName);
    plan.newEntry = FileChangeExt(plan.newName, "");
    return plan;
}

bool HoldsGameFiles(const ModContents& mod) {
    return !mod.archives.empty() || !mod.loose.empty() ||
           std::any_of(mod.companions.begin(), mod.companions.end(),
                       [](const ModFile& f) { return f.path.find('\\') != std::string::npos; });
}

bool AsksForArchives(const ModContents& mod) {
    return mod.archives.size() > 1 || (mod.archives.size() == 1 && !mod.loose.empty());
}

bool PlanChoice(const ModContents& mod, const ArchiveChoice* choice, InstallPlan& plan, Status& failed) {
    failed = Status::Ok();
    std::vector<const ModFile*> chosen;
    const auto ticked = [&](std::size_t i) {
        return !choice || std::find(choice->ticked.begin(), choice->ticked.end(), i) != choice->ticked.end();
    };
    for (std::size_t i = 0; i < mod.archives.size(); ++i) {
        if (ticked(i)) chosen.push_back(&mod.archives[i]);
    }
    if (choice && chosen.empty()) return false;
    // The archives ticked alone are installed without anything else.
    const bool withoutLoose = choice && choice->withoutLooseFiles;
    const bool alone = mod.loose.empty() || withoutLoose;
    if (!withoutLoose) plan.companions = OnePerPath(mod.companions);
    // One archive alone goes in as it is, under its own name.
    if (chosen.size() == 1 && alone) {
        plan.lone = chosen.front();
        plan.way = mod.archive.empty() ? InstallPlan::Way::Copy : InstallPlan::Way::Unpack;
        plan.sourceName = plan.lone->source.name;
        plan.newName = InstalledModName(plan.sourceName);
    } else {
        const std::optional<std::string> managed = MergedModName(choice ? choice->name : mod.name);
        if (!managed) {
            failed = Status::Error("the MOD has no name");
            return false;
        }
        plan.way = InstallPlan::Way::Merge;
        plan.merged = chosen;
        plan.withLoose = true;
        plan.companionsFromArchive = true;
        plan.sourceName = MergedSourceName(mod, chosen);
        plan.newName = *managed;
    }
    plan.newEntry = FileChangeExt(plan.newName, "");
    // What was left out is told where the mod is more than one archive.
    if (plan.way == InstallPlan::Way::Merge || plan.hasCompanions()) plan.leftOut = mod.leftOut;
    return true;
}

std::uint64_t InstallPlan::companionBytes() const {
    std::uint64_t bytes = 0;
    for (const ModFile* f : companions) bytes += f->source.size;
    return bytes;
}

std::string InstallPlan::words(const std::vector<std::string>& kept) const {
    std::string text;
    if (!kept.empty()) text += "\r\n\r\nKept beside the MOD, put in place while it is active: " + FewNames(kept) + ".";
    if (!leftOut.empty()) text += "\r\n\r\nLeft out, as the game does not read them: " + FewNames(leftOut) + ".";
    return text;
}

}  // namespace tavrel
