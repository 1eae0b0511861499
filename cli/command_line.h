// The command line: the same handlers as the window, run without one for
// launch scripts. A front-end parses its arguments with its own well-kept
// parser into a CommandLine, by the option table below; what the options
// mean, what runs, what is printed and the exit status are decided here.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/game_locations.h"
#include "game/game_process.h"
#include "ui/main_window_logic.h"

namespace tavrel {

// The exit status: the command did what it said, it did not, or the command
// line itself was wrong (as GNU programs have it); or the command would
// change a game folder this user may not change.
enum ExitStatus : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitNoRights = 3 };

// One option: its long name (without "--") and whether a value follows it.
struct CommandOption {
    std::string_view name;
    bool takesValue;
};

// Every option the program takes. "--activate", "--install" and "--delete"
// are switches whose NAME or FILEs are the free arguments, so that
// "--install FILE --activate" reads as it is meant; those of "--play" go to
// the game. "--member" may be given
// several times.
std::span<const CommandOption> CommandLineOptions();

// The command line as parsed.
struct CommandLine {
    std::string parseError;  // the parser's complaint; empty when it had none
    bool help = false, version = false;
    bool list = false, activate = false, deactivate = false, install = false, remove = false, play = false;
    bool addOns = false, addOnOn = false, addOnOff = false, deleteAddOn = false, patch = false;
    std::optional<std::string> addOnOf;  // the mod whose add-on --install installs
    bool yes = false, zeroHour = false, generals = false, window = false;
    std::optional<std::string> folder;
    std::vector<std::string> members;  // the archives of a mod to install, when not all
    std::optional<std::string> name;    // the name of a mod merged from several files
    std::vector<std::string> arguments;  // the free arguments, in order

    // Records the option `name` of CommandLineOptions() found with `value`.
    void set(std::string_view name, const std::string& value = {});
};

// What a run reads from the system. Nothing is ever stored.
struct ConsoleSystem {
    // The stored setting `key` of the window ("path", "zhmode"), or nothing.
    std::function<std::optional<std::string>(const std::string& key)> readSetting;
    EnvLookup env;
    GameRunningCheck gameRuns = GameRunsIn;
};

// --help and --version, GNU style.
std::string UsageText();
std::string VersionText();

// "--window" with nothing but "--folder" and the mode: the window, opened on
// them (how a restart with an administrator's rights passes them on).
// Nothing for any other command line.
std::optional<StartWith> WindowStartOf(const CommandLine& commandLine);

// Runs the command line: --list prints to `out`, every message goes to
// `err`. Answers an ExitStatus.
int RunCommandLine(const CommandLine& commandLine, const ConsoleSystem& system, std::ostream& out,
                   std::ostream& err);

}  // namespace tavrel
