#include "cli/command_line.h"

#include <algorithm>
#include <map>

#include "cli/console_window.h"
#include "modstore/mod_contents.h"
#include "modstore/mod_store.h"
#include "support/archive.h"
#include "support/file_system.h"
#include "support/text.h"
#include "tavrel_version.h"
#include "ui/main_window_logic.h"

namespace tavrel {
namespace {

constexpr CommandOption kOptions[] = {
    {"list", false},
    {"activate", false},
    {"deactivate", false},
    {"install", false},
    {"delete", false},
    {"play", false},
    {"folder", true},
    {"member", true},
    {"name", true},
    {"zero-hour", false},
    {"generals", false},
    {"yes", false},
    {"help", false},
    {"version", false},
};

int Fail(std::ostream& err, const std::string& reason) {
    err << "tavrel: " << reason << '\n';
    return kExitFailed;
}

int UsageError(std::ostream& err, const std::string& reason) {
    err << "tavrel: " << reason << "\nTry 'tavrel --help' for more information.\n";
    return kExitUsage;
}

bool Listed(const std::vector<std::string>& entries, const std::string& entry) {
    for (const std::string& listed : entries) {
        if (listed == entry) return true;
    }
    return false;
}

// The command's free argument, checked: `wanted` of them.
std::optional<std::string> CheckArguments(const CommandLine& c, std::size_t wanted, const char* what,
                                          std::ostream& err, int& status) {
    if (c.arguments.size() < wanted) {
        status = UsageError(err, std::string("missing ") + what);
        return std::nullopt;
    }
    if (c.arguments.size() > wanted) {
        status = UsageError(err, "unexpected argument '" + c.arguments[wanted] + "'");
        return std::nullopt;
    }
    return wanted == 0 ? std::string() : c.arguments.front();
}

}  // namespace

std::span<const CommandOption> CommandLineOptions() { return kOptions; }

void CommandLine::set(std::string_view name, const std::string& value) {
    if (name == "list") list = true;
    else if (name == "activate") activate = true;
    else if (name == "deactivate") deactivate = true;
    else if (name == "install") install = true;
    else if (name == "delete") remove = true;
    else if (name == "play") play = true;
    else if (name == "folder") folder = value;
    else if (name == "member") members.push_back(value);
    else if (name == "name") this->name = value;
    else if (name == "zero-hour") zeroHour = true;
    else if (name == "generals") generals = true;
    else if (name == "yes") yes = true;
    else if (name == "help") help = true;
    else if (name == "version") version = true;
}

std::string VersionText() {
    return "tavrel " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision) + "\n";
}

std::string UsageText() {
    return "Usage: tavrel [OPTION]... COMMAND\n"
           "Switch the mods of Command and Conquer Generals and Zero Hour without the window.\n"
           "Without arguments, tavrel opens its window.\n"
           "\n"
           "Commands:\n"
           "      --list                print the game folder, the active mod (an empty line\n"
           "                              when none is) and the inactive mods, one a line\n"
           "      --activate NAME       activate the inactive mod NAME\n"
           "      --deactivate          deactivate the active mod\n"
           "      --install FILE...     install a mod: a .big file, a .zip, .7z or .rar\n"
           "                              archive, a folder, or several .big files; a mod\n"
           "                              of several archives or with loose game files\n"
           "                              becomes one archive, named after its archive\n"
           "                              or folder\n"
           "      --install FILE... --activate\n"
           "                            install, then activate the mod\n"
           "      --install FILE... --member NAME [--member NAME]...\n"
           "                            install only the archives named; one of them\n"
           "                              alone is installed as it is\n"
           "      --install FILE... --name NAME\n"
           "                            name the mod made of several files NAME\n"
           "      --delete NAME         delete the inactive mod NAME\n"
           "      --play [-- ARG...]    start the game of the mode in the folder, with the\n"
           "                              ARGs after --; returns once its launcher has\n"
           "                              started, without waiting for the game\n"
           "\n"
           "Options:\n"
           "      --folder PATH         the game folder for this run\n"
           "      --zero-hour           Zero Hour mode for this run\n"
           "      --generals            Generals mode for this run\n"
           "      --yes                 answer every question with Yes or OK; without it a\n"
           "                              question takes the answer that leaves the folder\n"
           "                              as it is\n"
           "      --help                display this help and exit\n"
           "      --version             output version information and exit\n"
           "\n"
           "The folder and the mode are those the window keeps; a run stores nothing.\n"
           "Messages and questions, with the answer taken, go to standard error.\n"
           "\n"
           "Exit status:\n"
           " 0  if the command did what it said (a mod already active, or none active\n"
           "    to deactivate, counts),\n"
           " 1  if it did not: an error, or a question answered so that nothing changed,\n"
           " 2  if the command line was wrong.\n";
}

int RunCommandLine(const CommandLine& c, const ConsoleSystem& system, std::ostream& out, std::ostream& err) {
    if (!c.parseError.empty()) return UsageError(err, c.parseError);
    if (c.help) {
        out << UsageText();
        return kExitOk;
    }
    if (c.version) {
        out << VersionText();
        return kExitOk;
    }
    if (c.zeroHour && c.generals) return UsageError(err, "--zero-hour and --generals exclude each other");
    if (!c.members.empty() && !c.install) return UsageError(err, "--member goes with --install");
    if (c.name && !c.install) return UsageError(err, "--name goes with --install");

    // One command; "--install FILE --activate" counts as one.
    const bool activateAfterInstall = c.install && c.activate;
    const int commands =
        c.list + (c.activate && !activateAfterInstall) + c.deactivate + c.install + c.remove + c.play;
    if (commands == 0) return UsageError(err, "no command given");
    if (commands > 1) return UsageError(err, "one command at a time");

    int status = kExitOk;
    std::optional<std::string> argument;
    if (c.play) argument = std::string();  // the arguments are the game's
    else if (c.list || c.deactivate) argument = CheckArguments(c, 0, "", err, status);
    else if (c.install) argument = CheckArguments(c, std::max<std::size_t>(1, c.arguments.size()), "FILE after --install", err, status);
    else argument = CheckArguments(c, 1, c.activate ? "NAME after --activate" : "NAME after --delete", err, status);
    if (!argument) return status;

    auto stored = [&](const std::string& key) {
        return system.readSetting ? system.readSetting(key) : std::nullopt;
    };
    std::optional<int> mode = c.zeroHour ? 1 : c.generals ? 0 : std::optional<int>();
    if (!mode) mode = ParseZhMode(stored("zhmode").value_or(""));
    if (!mode) return UsageError(err, "Generals or Zero Hour? No mode is stored yet: give --generals or --zero-hour");

    // The window's start-up, with the mode and folder of this run: the same
    // folder it would show, what a killed copy left goes, and the first scan.
    std::map<std::string, std::string> settings{{"zhmode", std::to_string(*mode)}};
    if (c.folder) settings["path"] = *c.folder;
    else if (auto path = stored("path")) settings["path"] = *path;
    ConsoleWindow window(err, std::move(settings), c.yes, activateAfterInstall, c.members, c.name);
    ModStore store(window, system.gameRuns);
    MainWindowLogic logic(window, store, system.env);
    logic.Form_Load();

    const std::string folder = window.folderText();
    if (!FolderExists(folder)) {
        store.UpdateList(false);  // the window's own message, where it has one
        return Fail(err, "no game folder at '" + folder + "'");
    }

    if (c.list) {
        out << folder << '\n' << window.activeMod() << '\n';
        for (const std::string& entry : window.listEntries()) out << entry << '\n';
        return kExitOk;
    }

    if (c.play) return logic.lblPlay_Click(c.arguments) ? kExitOk : kExitFailed;

    if (c.deactivate) {
        store.lblDeactivate_Click();
        if (!window.activeMod().empty()) return Fail(err, window.activeMod() + " is still active");
        return kExitOk;
    }

    if (c.install) {
        const std::vector<std::string>& sources = c.arguments;
        const std::string shown = sources.size() == 1 ? sources.front() : FileGetName(sources.front()) + " and the others";
        // Every --member must name an archive of the mod; without one, the
        // names are printed to choose from.
        if (!c.members.empty() && sources.size() == 1 && !IsArchiveName(FileGetName(sources.front())) &&
            !IsFolder(sources.front())) {
            return UsageError(err, "--member goes with an archive, a folder or several files");
        }
        if (!c.members.empty()) {
            ModContents mod;
            if (GatherMod(sources, mod).ok()) {
                std::vector<std::string> names;
                for (const ModFile& f : mod.archives) names.push_back(f.source.name);
                for (const std::string& member : c.members) {
                    if (FindEntry(names, member) >= 0) continue;
                    for (const std::string& n : names) out << n << '\n';
                    return Fail(err, "no MOD named '" + member + "' in " + shown);
                }
            }
        }
        // The install says whether its copy landed; nothing is read back,
        // which for a mod of gigabytes would take as long again.
        std::string entry;
        if (!store.InstallMod(sources, &entry)) return Fail(err, "could not install " + shown);
        // Activated, the new copy has left the list; a copy that stays in it
        // beside an active mod of its name has not replaced that one.
        if (activateAfterInstall &&
            (!EqualsNoCase(window.activeMod(), entry) || FindEntry(window.listEntries(), entry) >= 0)) {
            return Fail(err, "could not install and activate " + shown);
        }
        return kExitOk;
    }

    const std::string& name = *argument;
    const bool isActive = !window.activeMod().empty() && EqualsNoCase(window.activeMod(), name);
    if (c.activate && isActive) return kExitOk;  // already as asked
    const int index = FindEntry(window.listEntries(), name);
    if (index < 0) {
        if (isActive) return Fail(err, name + " is the active mod: deactivate it first");
        return Fail(err, "no inactive mod named '" + name + "' in " + folder);
    }
    const std::string entry = window.listEntries()[static_cast<std::size_t>(index)];
    window.select(index);
    if (c.activate) {
        store.lblActivate_Click();
        if (!EqualsNoCase(window.activeMod(), entry)) return Fail(err, entry + " was not activated");
    } else {
        store.lblDelete_Click();
        if (Listed(window.listEntries(), entry)) return Fail(err, entry + " was not deleted");
    }
    return kExitOk;
}

}  // namespace tavrel
