// Starting the game on Linux: through Steam, or with Wine in the prefix
// that holds it.
#include "game/game_launch.h"
#include "support/path_rules.h"
#include "support/platform.h"

namespace tavrel {
namespace {

// The Wine prefix that holds `folder`: the one around its drive_c, else one
// whose drive links lead to a folder above it.
std::optional<std::string> PrefixHolding(const std::string& folder, const GameSearch& search) {
    const auto real = RealPath(folder);
    if (!real) return std::nullopt;
    for (std::string at = *real; !at.empty() && at != "/"; at = ParentFolder(at)) {
        if (FileGetName(at) == "drive_c" && IsRegularFile(ParentFolder(at) + "/system.reg")) return ParentFolder(at);
    }
    for (const std::string& prefix : WinePrefixes(search)) {
        std::vector<DirEntry> drives;
        ListEntries(prefix + "/dosdevices", drives);
        for (const DirEntry& drive : drives) {
            if (drive.name.size() != 2 || drive.name[1] != ':') continue;
            const auto target = RealPath(prefix + "/dosdevices/" + drive.name);
            if (target && (*target == "/" || IsInsideFolder(*target, *real, '/'))) return prefix;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FindOnPath(const std::string& name, const EnvLookup& env) {
    const std::string path = env("PATH").value_or("/usr/local/bin:/usr/bin:/bin");
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        const std::string folder = path.substr(start, end - start);
        start = end + 1;
        if (folder.empty()) continue;
        const std::string candidate = folder + "/" + name;
        if (IsRunnable(candidate)) return candidate;
    }
    return std::nullopt;
}

LaunchPlan PlanLaunchHere(const std::string& clean, const std::string& program, bool zeroHour,
                          const std::vector<std::string>& arguments, const GameSearch& search) {
    if (const auto copy = SteamCopyOf(clean, zeroHour, search)) {
        const std::string& root = copy->steam.root;
        std::vector<std::string> args = {"-applaunch", copy->appId};
        args.insert(args.end(), arguments.begin(), arguments.end());
        const auto through = [&](const std::string& name, std::vector<std::string> before) -> LaunchPlan {
            const auto found = FindOnPath(name, search.env);
            if (!found) {
                return {std::nullopt, "The program " + name + " is not installed. The game in " + clean +
                                          " is Steam's, and Tavrel starts it through " + name + "."};
            }
            before.insert(before.end(), args.begin(), args.end());
            return {ProgramLaunch{*found, before, clean, {}}, {}};
        };
        switch (copy->steam.kind) {
            case SteamInstall::Kind::Flatpak: return through("flatpak", {"run", "com.valvesoftware.Steam"});
            case SteamInstall::Kind::Snap: return through("snap", {"run", "steam"});
            case SteamInstall::Kind::Native: break;
        }
        const std::string steam = root.empty() ? std::string() : root + "/steam.sh";
        if (steam.empty() || !IsRunnable(steam)) {
            return {std::nullopt, "Steam is not installed (no steam.sh was found). The game in " + clean +
                                      " is Steam's, and Tavrel starts it through Steam."};
        }
        return {ProgramLaunch{steam, args, clean, {}}, {}};
    }
    const auto wine = FindOnPath("wine", search.env);
    if (!wine) {
        return {std::nullopt, "Wine is not installed (no program wine was found), and the game needs it to run. "
                                  "Please install Wine, then try again."};
    }
    ProgramLaunch launch{*wine, {program}, clean, {}};
    launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
    if (const auto prefix = PrefixHolding(clean, search)) launch.environment.emplace_back("WINEPREFIX", *prefix);
    return {launch, {}};
}

}  // namespace tavrel
