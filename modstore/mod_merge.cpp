#include "modstore/mod_merge.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>


namespace tavrel {
MergePlan PlanMerge(const std::vector<MergeInput>& inputs) {
    // The winner of each path: loose files first (the first of a path), then
    // archives in load order, each read from its last entry back.
    std::unordered_map<std::string, std::pair<std::size_t, std::size_t>> winners;
    std::size_t entryCount = 0;
    for (const MergeInput& input : inputs) entryCount += input.table.size();
    winners.reserve(entryCount);
    std::vector<std::size_t> order(inputs.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (inputs[a].loose != inputs[b].loose) return inputs[a].loose;
        return !inputs[a].loose && LoadsBefore(inputs[a].path, inputs[b].path);
    });
    for (const std::size_t i : order) {
        const std::vector<BigEntry>& table = inputs[i].table;
        for (std::size_t e = table.size(); e-- > 0;) {
            winners.try_emplace(GamePathKey(table[e].path), i, inputs[i].loose ? 0 : e);
        }
    }

    // Each input's winning entries, by offset: overlapping ones make one run.
    std::vector<std::vector<std::size_t>> won(inputs.size());
    for (const auto& [key, at] : winners) won[at.first].push_back(at.second);
    MergePlan plan;
    plan.entries.reserve(winners.size());
    plan.origins.reserve(winners.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::vector<BigEntry>& table = inputs[i].table;
        std::vector<std::size_t>& mine = won[i];
        std::sort(mine.begin(), mine.end(), [&](std::size_t a, std::size_t b) {
            return table[a].offset != table[b].offset ? table[a].offset < table[b].offset : a < b;
        });
        std::uint64_t runStart = 0, runEnd = 0, runOut = 0;
        bool open = false;
        const auto closeRun = [&]() {
            plan.runs.push_back({i, runStart, runEnd - runStart});
            plan.dataSize += runEnd - runStart;
        };
        for (const std::size_t e : mine) {
            const BigEntry& entry = table[e];
            std::string path = entry.path;
            std::replace(path.begin(), path.end(), '/', '\\');
            if (entry.size == 0) {  // no bytes: any place will do
                plan.entries.push_back({std::move(path), 0, 0});
                plan.origins.push_back(i);
                continue;
            }
            if (!open || entry.offset >= runEnd) {
                if (open) closeRun();
                runOut = plan.dataSize;
                runStart = runEnd = entry.offset;
                open = true;
            }
            runEnd = std::max(runEnd, entry.offset + entry.size);
            plan.entries.push_back({std::move(path), runOut + (entry.offset - runStart), entry.size});
            plan.origins.push_back(i);
        }
        if (open) closeRun();
    }
    return plan;
}

}  // namespace tavrel
