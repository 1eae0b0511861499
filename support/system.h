// What Tavrel asks of the system besides its files: the environment, the
// user's home, Windows' registry, and starting another program. The game's
// knowledge built on these (where it is installed, how it starts) is in
// game/.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/status.h"

namespace tavrel {

using EnvLookup = std::function<std::optional<std::string>(const std::string& name)>;

// Reads the process environment.
EnvLookup SystemEnvironment();

// The user's home folder: $HOME, else the system's record of the user
// (Linux); %USERPROFILE% (Windows). Empty when neither tells.
std::string HomeFolder(const EnvLookup& env);

// A text value of the Windows registry: root ("HKLM" or "HKCU"), key and
// value name. Under HKLM both the 64-bit and the 32-bit view are read.
using RegistryLookup =
    std::function<std::optional<std::string>(const std::string& root, const std::string& key, const std::string& value)>;

// Windows' registry; elsewhere a registry that holds nothing.
RegistryLookup SystemRegistry();

// A program this user may run: a regular file, on Linux with the right to
// execute it.
bool IsRunnable(const std::string& path);

// One program to start, and how.
struct ProgramLaunch {
    std::string program;                 // its full path
    std::vector<std::string> arguments;  // after its own name
    std::string folder;                  // the working folder
    std::vector<std::pair<std::string, std::string>> environment;  // set over the inherited one
    bool operator==(const ProgramLaunch&) const = default;
};

// Starts the program without waiting for it, detached from this one. Fails
// only when it could not be started at all.
Status StartProgram(const ProgramLaunch& launch);

// The full path of this program's own file.
std::string OwnProgramPath();

// Whether the system can start a program with an administrator's rights
// once one consents (Windows); on Linux a folder's owner is changed instead.
bool CanAskForAdministrator();

// Starts the program as StartProgram does, with an administrator's rights:
// Windows asks for the consent first (the "runas" verb). `declined` is set
// when the user said no. On Linux it is never asked, and fails.
Status StartAsAdministrator(const ProgramLaunch& launch, bool& declined);

}  // namespace tavrel
