#include "support/game_locations.h"

#include <cstdlib>

#include "support/path_rules.h"
#include "support/platform.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace tavrel {
namespace {

#ifndef _WIN32
std::string HomeFolder(const EnvLookup& env) {
    if (auto home = env("HOME"); home && !home->empty()) return *home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}
#endif

}  // namespace

EnvLookup SystemEnvironment() {
    return [](const std::string& name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name.c_str())) return std::string(value);
        return std::nullopt;
    };
}

std::string ProgramFilesFolder(const EnvLookup& env) {
#ifdef _WIN32
    return env("programfiles").value_or("");
#else
    if (auto value = env("PROGRAMFILES")) return *value;
    std::string prefix = env("WINEPREFIX").value_or("");
    if (prefix.empty()) prefix = JoinPath(HomeFolder(env), ".wine");
    const std::string driveC = JoinPath(prefix, "drive_c");
    const std::string x86 = JoinPath(driveC, "Program Files (x86)");
    return IsFolder(x86) ? x86 : JoinPath(driveC, "Program Files");
#endif
}

std::string DefaultGameFolder(bool zeroHour, const EnvLookup& env) {
    const std::string game = zeroHour ? "Command and Conquer Generals Zero Hour"
                                      : "Command and Conquer Generals";
    return JoinPath(JoinPath(ProgramFilesFolder(env), "EA Games"), game);
}

}  // namespace tavrel
