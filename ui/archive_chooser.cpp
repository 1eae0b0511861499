#include "ui/archive_chooser.h"

#include <algorithm>
#include <cstdio>

#include "modstore/mod_store.h"
#include "support/text.h"

namespace tavrel {

std::string SizeText(std::uint64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    static const char* const kUnits[] = {"KB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 100 ? "%.1f %s" : "%.0f %s", value, kUnits[unit]);
    return text;
}

std::vector<std::string> ChooserRows(const std::vector<ArchiveMember>& members) {
    std::vector<std::string> rows;
    for (const ArchiveMember& m : members) {
        std::string row = m.name + " (" + SizeText(m.size) + ")";
        std::size_t alike = 0;
        for (const ArchiveMember& other : members) alike += EqualsNoCase(other.name, m.name) ? 1 : 0;
        if (alike > 1) row += " in " + m.path;
        rows.push_back(std::move(row));
    }
    return rows;
}

bool ChooserAccepts(const std::vector<bool>& ticked, const std::string& name) {
    return std::find(ticked.begin(), ticked.end(), true) != ticked.end() && MergedModName(name).has_value();
}

}  // namespace tavrel
