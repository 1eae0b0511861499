#include "cli/command_line.h"

#include <algorithm>
#include <map>

#include "cli/console_window.h"
#include "modstore/addons.h"
#include "modstore/folder_rights.h"
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
    {"addons", false},
    {"addon-on", false},
    {"addon-off", false},
    {"delete-addon", false},
    {"addon-of", true},
    {"patch", false},
    {"folder", true},
    {"member", true},
    {"name", true},
    {"zero-hour", false},
    {"generals", false},
    {"yes", false},
    {"window", false},
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

// "--install FILE --activate" is one command: the install, and then the
// answer Yes to the offer to activate what it installed.
bool ActivatesAfterInstall(const CommandLine& c) { return c.install && c.activate; }

// The options that only mean something with another, or not with another.
std::optional<int> CheckOptions(const CommandLine& c, std::ostream& err) {
    if (c.zeroHour && c.generals) return UsageError(err, "--zero-hour and --generals exclude each other");
    if (!c.members.empty() && !c.install) return UsageError(err, "--member goes with --install");
    if (c.name && !c.install) return UsageError(err, "--name goes with --install");
    if (c.addOnOf && !c.install) return UsageError(err, "--addon-of goes with --install");
    if (c.patch && !c.addOnOf) return UsageError(err, "--patch goes with --addon-of");
    if (c.addOnOf && c.activate) return UsageError(err, "--activate does not go with --addon-of");
    if (c.window) return UsageError(err, "--window goes with --folder and the mode only");
    return std::nullopt;
}

// How many commands the command line gives.
int Commands(const CommandLine& c) {
    return c.list + (c.activate && !ActivatesAfterInstall(c)) + c.deactivate + c.install + c.remove + c.play +
           c.addOns + c.addOnOn + c.addOnOff + c.deleteAddOn;
}

// One command at a time, so that a run never does half of what it was told.
std::optional<int> CheckOneCommand(const CommandLine& c, std::ostream& err) {
    const int commands = Commands(c);
    if (commands == 0) return UsageError(err, "no command given");
    if (commands > 1) return UsageError(err, "one command at a time");
    return std::nullopt;
}

// The count of free arguments, checked: `wanted` of them.
std::optional<int> CheckArguments(const CommandLine& c, std::size_t wanted, const char* what, std::ostream& err) {
    if (c.arguments.size() < wanted) return UsageError(err, std::string("missing ") + what);
    if (c.arguments.size() > wanted) return UsageError(err, "unexpected argument '" + c.arguments[wanted] + "'");
    return std::nullopt;
}

// The free arguments the command takes: none for --list and --deactivate,
// one FILE or more for --install, one NAME for --activate and --delete.
// Those of --play are the game's, and are not looked at.
std::optional<int> CheckCommandArguments(const CommandLine& c, std::ostream& err) {
    if (c.play) return std::nullopt;
    if (c.list || c.deactivate) return CheckArguments(c, 0, "", err);
    if (c.addOns) return CheckArguments(c, 1, "MOD after --addons", err);
    if (c.addOnOn || c.addOnOff || c.deleteAddOn) return CheckArguments(c, 2, "MOD and NAME", err);
    if (c.install) return CheckArguments(c, std::max<std::size_t>(1, c.arguments.size()), "FILE after --install", err);
    return CheckArguments(c, 1, c.activate ? "NAME after --activate" : "NAME after --delete", err);
}

// The command line itself, before anything of the folder is read: what it
// answers at once (a parser's complaint, --help, --version), or how it is
// wrong. Nothing when the command is to run.
std::optional<int> CheckCommandLine(const CommandLine& c, std::ostream& out, std::ostream& err) {
    if (!c.parseError.empty()) return UsageError(err, c.parseError);
    if (c.help) {
        out << UsageText();
        return kExitOk;
    }
    if (c.version) {
        out << VersionText();
        return kExitOk;
    }
    if (std::optional<int> status = CheckOptions(c, err)) return status;
    if (std::optional<int> status = CheckOneCommand(c, err)) return status;
    return CheckCommandArguments(c, err);
}

// The setting `key` the window keeps, when the system has any to read.
std::optional<std::string> Stored(const ConsoleSystem& system, const std::string& key) {
    return system.readSetting ? system.readSetting(key) : std::nullopt;
}

// The mode of this run: as given, else the window's. The window's is read
// only when none is given, as the folder is.
std::optional<int> RunMode(const CommandLine& c, const ConsoleSystem& system) {
    if (c.zeroHour) return 1;
    if (c.generals) return 0;
    return ParseZhMode(Stored(system, "zhmode").value_or(""));
}

// The settings the window starts with: the mode of this run and its folder,
// given or else the one the window keeps.
std::map<std::string, std::string> RunSettings(const CommandLine& c, const ConsoleSystem& system, int mode) {
    std::map<std::string, std::string> settings{{"zhmode", std::to_string(mode)}};
    if (c.folder) settings["path"] = *c.folder;
    else if (auto path = Stored(system, "path")) settings["path"] = *path;
    return settings;
}

// The window of a run, with its store and logic. These keep references to
// the window (and the logic to the store), so the three are made together
// and never copied.
struct Run {
    Run(const CommandLine& c, const ConsoleSystem& system, std::ostream& err,
        std::map<std::string, std::string> settings)
        : window(err, std::move(settings), c.yes, ActivatesAfterInstall(c), c.members, c.name),
          store(window, system.gameRuns), logic(window, store, system.env) {}
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    ConsoleWindow window;
    ModStore store;
    MainWindowLogic logic;
    std::string folder;  // the game folder, as the start-up left it
};

// The window's start-up: the same folder it would show, what a killed copy
// left goes, and the first scan. A run without a game folder ends here.
std::optional<int> StartUp(Run& run, std::ostream& err) {
    run.logic.Form_Load();
    run.folder = run.window.folderText();
    if (!FolderExists(run.folder)) {
        run.store.UpdateList(false);  // the window's own message, where it has one
        return Fail(err, "no game folder at '" + run.folder + "'");
    }
    return std::nullopt;
}

// The commands that change the game folder, which this user may have to be
// given the right to change first.
bool ChangesFolder(const CommandLine& c) {
    return c.activate || c.deactivate || c.install || c.remove || c.addOnOn || c.addOnOff || c.deleteAddOn;
}

int List(Run& run, std::ostream& out) {
    out << run.folder << '\n' << run.window.activeMod() << '\n';
    for (const std::string& entry : run.window.listEntries()) out << entry << '\n';
    return kExitOk;
}

// Done once the game's launcher has started; the game is not waited for.
int Play(const CommandLine& c, Run& run) { return run.logic.lblPlay_Click(c.arguments) ? kExitOk : kExitFailed; }

// Done when no mod is left active, also when none was.
int Deactivate(Run& run, std::ostream& err) {
    run.store.lblDeactivate_Click();
    if (!run.window.activeMod().empty()) return Fail(err, run.window.activeMod() + " is still active");
    return kExitOk;
}

// Every --member must name an archive of the mod; without one, the names
// are printed to choose from. A mod that cannot be read is left to the
// install, which says why.
std::optional<int> CheckMembers(const CommandLine& c, const std::string& shown, std::ostream& out,
                                std::ostream& err) {
    const std::vector<std::string>& sources = c.arguments;
    if (!c.members.empty() && sources.size() == 1 && !IsArchiveName(FileGetName(sources.front())) &&
        !IsFolder(sources.front())) {
        return UsageError(err, "--member goes with an archive, a folder or several files");
    }
    if (c.members.empty()) return std::nullopt;
    ModContents mod;
    if (!GatherMod(sources, mod).ok()) return std::nullopt;
    std::vector<std::string> names;
    for (const ModFile& f : mod.archives) names.push_back(f.source.name);
    for (const std::string& member : c.members) {
        if (FindEntry(names, member) >= 0) continue;
        for (const std::string& n : names) out << n << '\n';
        return Fail(err, "no MOD named '" + member + "' in " + shown);
    }
    return std::nullopt;
}

// The entry of the installed mod `name`, active or not; empty, with the
// reason told, when there is none.
std::string FindMod(Run& run, const std::string& name, std::ostream& err) {
    std::vector<std::string> mods = run.window.listEntries();
    if (!run.window.activeMod().empty()) mods.push_back(run.window.activeMod());
    const int index = FindEntry(mods, name);
    if (index < 0) {
        Fail(err, "no mod named '" + name + "' in " + run.folder);
        return {};
    }
    return mods[static_cast<std::size_t>(index)];
}

// One line an add-on: on or off, add-on or patch, its name, and how many
// of its files the game reads from elsewhere.
int ListAddOnsOf(const CommandLine& c, Run& run, std::ostream& out, std::ostream& err) {
    const std::string base = FindMod(run, c.arguments.front(), err);
    if (base.empty()) return kExitFailed;
    const std::vector<AddOnHiding> hiding = AddOnConflicts(run.folder, base);
    for (const AddOn& addOn : ListAddOns(run.folder, base)) {
        std::size_t hidden = addOn.hiddenByBase;
        for (const AddOnHiding& h : hiding) {
            if (h.name == addOn.name) hidden = h.hidden;
        }
        out << (addOn.on ? "on" : "off") << '\t' << (addOn.kind == AddOnKind::Patch ? "patch" : "add-on") << '\t'
            << addOn.name << '\t' << hidden << '\n';
    }
    return kExitOk;
}

// --addon-on, --addon-off and --delete-addon MOD NAME: each is done when
// the add-on is so afterwards (placed, when on and its mod is active).
int ChangeAddOn(const CommandLine& c, Run& run, std::ostream& err) {
    const std::string base = FindMod(run, c.arguments[0], err);
    if (base.empty()) return kExitFailed;
    const std::string& name = c.arguments[1];
    if (c.deleteAddOn) {
        if (!run.store.DeleteAddOn(base, name) || FindAddOn(run.folder, base, name)) {
            return Fail(err, "the add-on " + name + " was not deleted");
        }
        return kExitOk;
    }
    const bool on = c.addOnOn;
    const bool active = EqualsNoCase(run.window.activeMod(), base);
    if (!run.store.SwitchAddOn(base, name, on)) return Fail(err, "the add-on " + name + " was not switched");
    const std::optional<AddOn> addOn = FindAddOn(run.folder, base, name);
    if (!addOn || addOn->on != on || (on && active && !AddOnsPlaced(run.folder, base))) {
        return Fail(err, "the add-on " + name + " was not switched");
    }
    return kExitOk;
}

int InstallAddOn(const CommandLine& c, Run& run, std::ostream& err) {
    const std::string base = FindMod(run, *c.addOnOf, err);
    if (base.empty()) return kExitFailed;
    if (!run.store.InstallAddOn(base, c.arguments, c.patch ? AddOnKind::Patch : AddOnKind::AddOn, c.name)) {
        return Fail(err, "could not install the add-on of " + base);
    }
    return kExitOk;
}

int Install(const CommandLine& c, Run& run, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& sources = c.arguments;
    const std::string shown =
        sources.size() == 1 ? sources.front() : FileGetName(sources.front()) + " and the others";
    if (std::optional<int> status = CheckMembers(c, shown, out, err)) return *status;
    if (c.addOnOf) return InstallAddOn(c, run, err);
    // The install says whether its copy landed; nothing is read back,
    // which for a mod of gigabytes would take as long again.
    std::string entry;
    if (!run.store.InstallMod(sources, &entry)) return Fail(err, "could not install " + shown);
    // Activated, the new copy has left the list; a copy that stays in it
    // beside an active mod of its name has not replaced that one.
    if (ActivatesAfterInstall(c) &&
        (!EqualsNoCase(run.window.activeMod(), entry) || FindEntry(run.window.listEntries(), entry) >= 0)) {
        return Fail(err, "could not install and activate " + shown);
    }
    return kExitOk;
}

// --activate NAME and --delete NAME: both pick an inactive mod of the list
// as a click would, then click; each is done when the list shows it so.
int ActivateOrDelete(const CommandLine& c, Run& run, std::ostream& err) {
    const std::string& name = c.arguments.front();
    const bool isActive = !run.window.activeMod().empty() && EqualsNoCase(run.window.activeMod(), name);
    if (c.activate && isActive) return kExitOk;  // already as asked
    const int index = FindEntry(run.window.listEntries(), name);
    if (index < 0) {
        if (isActive) return Fail(err, name + " is the active mod: deactivate it first");
        return Fail(err, "no inactive mod named '" + name + "' in " + run.folder);
    }
    const std::string entry = run.window.listEntries()[static_cast<std::size_t>(index)];
    run.window.select(index);
    if (c.activate) {
        run.store.lblActivate_Click();
        if (!EqualsNoCase(run.window.activeMod(), entry)) return Fail(err, entry + " was not activated");
    } else {
        run.store.lblDelete_Click();
        if (Listed(run.window.listEntries(), entry)) return Fail(err, entry + " was not deleted");
    }
    return kExitOk;
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
    else if (name == "addons") addOns = true;
    else if (name == "addon-on") addOnOn = true;
    else if (name == "addon-off") addOnOff = true;
    else if (name == "delete-addon") deleteAddOn = true;
    else if (name == "addon-of") addOnOf = value;
    else if (name == "patch") patch = true;
    else if (name == "folder") folder = value;
    else if (name == "member") members.push_back(value);
    else if (name == "name") this->name = value;
    else if (name == "zero-hour") zeroHour = true;
    else if (name == "generals") generals = true;
    else if (name == "yes") yes = true;
    else if (name == "window") window = true;
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
           "      --addons MOD          print the add-ons of MOD, one a line: on or off,\n"
           "                              add-on or patch, the name, and how many of its\n"
           "                              files the game reads from elsewhere, tab between\n"
           "      --install FILE... --addon-of MOD [--patch] [--name NAME]\n"
           "                            install an add-on (or a patch) of MOD; it starts\n"
           "                              off\n"
           "      --addon-on MOD NAME   turn the add-on NAME of MOD on (a patch turns the\n"
           "                              other patch off); at once when MOD is active\n"
           "      --addon-off MOD NAME  turn it off\n"
           "      --delete-addon MOD NAME\n"
           "                            delete the add-on NAME of MOD\n"
           "      --play [-- ARG...]    start the game of the mode in the folder, with the\n"
           "                              ARGs after --; returns once its launcher has\n"
           "                              started, without waiting for the game\n"
           "\n"
           "Options:\n"
           "      --folder PATH         the game folder for this run\n"
           "      --zero-hour           Zero Hour mode for this run\n"
           "      --generals            Generals mode for this run\n"
           "      --window              open the window on the --folder and mode given,\n"
           "                              instead of a command\n"
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
           " 2  if the command line was wrong,\n"
           " 3  if the command would change a game folder this user may not change\n"
           "    (on Windows, a game under Program Files: run it from a console opened\n"
           "    as administrator).\n";
}

std::optional<StartWith> WindowStartOf(const CommandLine& c) {
    if (!c.window || !c.parseError.empty() || c.help || c.version || c.yes || !c.arguments.empty() ||
        (c.zeroHour && c.generals) || !c.members.empty() || c.name || c.addOnOf || c.patch || Commands(c) > 0) {
        return std::nullopt;
    }
    StartWith start;
    start.folder = c.folder;
    if (c.zeroHour || c.generals) start.mode = c.zeroHour ? 1 : 0;
    return start;
}

int RunCommandLine(const CommandLine& c, const ConsoleSystem& system, std::ostream& out, std::ostream& err) {
    if (std::optional<int> status = CheckCommandLine(c, out, err)) return *status;
    const std::optional<int> mode = RunMode(c, system);
    if (!mode) return UsageError(err, "Generals or Zero Hour? No mode is stored yet: give --generals or --zero-hour");

    Run run(c, system, err, RunSettings(c, system, *mode));
    if (std::optional<int> status = StartUp(run, err)) return *status;
    if (ChangesFolder(c) && !run.store.folderRights().mayChange()) {
        err << "tavrel: " << RefusedCommandText(run.store.folderRights(), run.folder) << '\n';
        return kExitNoRights;
    }
    if (c.list) return List(run, out);
    if (c.play) return Play(c, run);
    if (c.deactivate) return Deactivate(run, err);
    if (c.install) return Install(c, run, out, err);
    if (c.addOns) return ListAddOnsOf(c, run, out, err);
    if (c.addOnOn || c.addOnOff || c.deleteAddOn) return ChangeAddOn(c, run, err);
    return ActivateOrDelete(c, run, err);
}

}  // namespace tavrel
