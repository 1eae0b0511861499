// Starting the game on Linux: through Steam, or with Wine in the prefix
// that holds it.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "support/game_launch.h"
#include "support/path_rules.h"
#include "support/platform.h"

extern char** environ;

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

// A program this user may run: a regular file with the right to execute it.
bool IsRunnable(const std::string& path) { return IsRegularFile(path) && ::access(path.c_str(), X_OK) == 0; }

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
            return {GameLaunch{*found, before, clean, {}}, {}};
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
        return {GameLaunch{steam, args, clean, {}}, {}};
    }
    const auto wine = FindOnPath("wine", search.env);
    if (!wine) {
        return {std::nullopt, "Wine is not installed (no program wine was found), and the game needs it to run. "
                                  "Please install Wine, then try again."};
    }
    GameLaunch launch{*wine, {program}, clean, {}};
    launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
    if (const auto prefix = PrefixHolding(clean, search)) launch.environment.emplace_back("WINEPREFIX", *prefix);
    return {launch, {}};
}

Status StartProgram(const GameLaunch& launch) {
    // Everything the new process needs is made before the fork: between fork
    // and exec only calls that are safe there are made.
    std::vector<std::string> texts = {launch.program};
    texts.insert(texts.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const auto& [name, value] : launch.environment) replaced = replaced || entry.rfind(name + "=", 0) == 0;
        if (!replaced) environment.push_back(entry);
    }
    for (const auto& [name, value] : launch.environment) environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const char* folder = launch.folder.c_str();

    // The grandchild runs the program, so that it is nobody's child here and
    // leaves no zombie; it reports a failed exec through the pipe, which an
    // exec that works closes.
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return Status::FromError(errno);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        const auto fail = [&](int code) {
            [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &code, sizeof code);
            ::_exit(127);
        };
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0) fail(errno);
        if (grandchild > 0) ::_exit(0);
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        if (const int null = ::open("/dev/null", O_RDONLY); null >= 0 && null != 0) {
            ::dup2(null, 0);
            ::close(null);
        }
        if (::chdir(folder) != 0) fail(errno);
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        ::execve(argv[0], argv.data(), envp.data());
        fail(errno);
    }
    const int forkError = errno;
    ::close(pipeFds[1]);
    if (child < 0) {
        ::close(pipeFds[0]);
        return Status::FromError(forkError);
    }
    int code = 0;
    ssize_t got = 0;
    do got = ::read(pipeFds[0], &code, sizeof code);
    while (got < 0 && errno == EINTR);
    ::close(pipeFds[0]);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (got == static_cast<ssize_t>(sizeof code)) return Status::FromError(code);
    return Status::Ok();
}

}  // namespace tavrel
