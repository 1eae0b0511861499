// Writing what an install plan says: the mod's archive copied, unpacked or
// merged from its sources, and its companion files beside it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "modstore/install_plan.h"
#include "modstore/mod_contents.h"
#include "support/platform.h"

namespace tavrel {

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
    // Where each path of a merged archive came from (GamePathKey -> the
    // name of the archive its author had it in, empty for a loose file),
    // and the count of entries the plan's `leaveOut` took out.
    std::vector<std::pair<std::string, std::string>> origins() const;
    std::size_t leftOutEntries() const { return leftOutEntries_; }

private:
    struct Merge;
    Status planMerge(const CopyProgress& progress, std::uint64_t total, CompanionCopies* companions);

    const ModContents& mod_;
    const InstallPlan& plan_;
    std::unique_ptr<Merge> merge_;
    bool merged_ = false;  // the merge is planned
    std::uint64_t copySize_ = 0;
    std::vector<std::string> kept_;
    std::size_t leftOutEntries_ = 0;
};

}  // namespace tavrel
