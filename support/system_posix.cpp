// The environment, the user's home and starting a program, on Linux.
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "support/platform.h"
#include "support/system.h"

extern char** environ;

namespace tavrel {
namespace {

// The inherited environment with the launch's names set over it.
std::vector<std::string> EnvironmentOf(const ProgramLaunch& launch) {
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const auto& [name, value] : launch.environment) replaced = replaced || entry.rfind(name + "=", 0) == 0;
        if (!replaced) environment.push_back(entry);
    }
    for (const auto& [name, value] : launch.environment) environment.push_back(name + "=" + value);
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (std::string& text : texts) out.push_back(text.data());
    out.push_back(nullptr);
    return out;
}

// In the child: runs the program in a grandchild, so that it is nobody's
// child here and leaves no zombie, and reports a failed exec through
// `report`, which an exec that works closes. Never returns.
[[noreturn]] void RunDetached(int report, const char* folder, char* const* argv, char* const* envp) {
    const auto fail = [&](int code) {
        [[maybe_unused]] const ssize_t n = ::write(report, &code, sizeof code);
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
    ::execve(argv[0], argv, envp);
    fail(errno);
    ::_exit(127);
}

}  // namespace

std::string HomeFolder(const EnvLookup& env) {
    if (auto home = env("HOME"); home && !home->empty()) return *home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

RegistryLookup SystemRegistry() {
    return [](const std::string&, const std::string&, const std::string&) { return std::optional<std::string>(); };
}

bool IsRunnable(const std::string& path) { return IsRegularFile(path) && ::access(path.c_str(), X_OK) == 0; }

Status StartProgram(const ProgramLaunch& launch) {
    // Everything the new process needs is made before the fork: between fork
    // and exec only calls that are safe there are made.
    std::vector<std::string> texts = {launch.program};
    texts.insert(texts.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<std::string> environment = EnvironmentOf(launch);
    const std::vector<char*> argv = Pointers(texts), envp = Pointers(environment);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return Status::FromError(errno);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        RunDetached(pipeFds[1], launch.folder.c_str(), argv.data(), envp.data());
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

std::string OwnProgramPath() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

bool CanAskForAdministrator() { return false; }

Status StartAsAdministrator(const ProgramLaunch&, bool& declined) {
    declined = false;
    return Status::FromError(ENOTSUP);
}

}  // namespace tavrel
