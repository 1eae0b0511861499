#include "ui/main_window_logic.h"

#include <charconv>
#include <optional>

#include "ui/readme.h"
#include "support/file_system.h"
#include "game/game_launch.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"
#include "tavrel_version.h"

namespace tavrel {
namespace {

bool EndsWithNoCase(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

std::optional<int> ParseZhMode(const std::string& text) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value != 0 ? 1 : 0;
}

std::string TipText(int tipNumber, int zhMode) {
    const std::string zh = ZeroHourPart(zhMode);
    switch (tipNumber) {
        case 1: return "Make sure Generals" + zh + "Game is closed completely before activating or deactivating a mod!";
        case 2: return "To switch to a new mod, exit Generals, start this program, and activate the MOD you wish to play.";
        case 3: return "After activating a MOD, close this program and start Generals" + zh + "to play the new MOD.";
        case 4: return "Tavrel works by renaming all files that start with __ and end with .big to .bit, and vice versa...";
        case 5:
            return "To make Tavrel capable of managing a new MOD (single .big file), add it to the Generals" + zh +
                   "folder and add 2 underscores __ to the beginning of the file name.";
        case 6:
            return "You can also optionally have Tavrel auto install a mod for you. Click on 'Install A Mod' and select "
                   "the MOD you want to install. Tavrel will install it in your Generals folder.";
        case 7: return "Tavrel is written and looked after by the Tavrel team.";
        case 8: return "News and new versions of Tavrel are announced on the Tavrel project's home page.";
        case 9: return "Questions, ideas and bug reports are welcome by e-mail to the Tavrel team.";
        case 10: return "Tavrel has a easter egg! Can you find it?  :)";
        default: return kTipWarning;
    }
}

std::string WindowCaption() {
    return "Tavrel - Generals Mod Manager v" + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

ProgramLaunch AdministratorLaunch(const std::string& program, const std::string& folder, int zhMode,
                                  const EnvLookup& env) {
    ProgramLaunch launch{program, {"--window", "--folder", folder, zhMode != 0 ? "--zero-hour" : "--generals"}, {}, {}};
    if (const auto standIn = env("TAVREL_ADMIN_STAND_IN"); standIn && !standIn->empty()) {
        launch.arguments.insert(launch.arguments.begin(), program);
        launch.program = *standIn;
    }
    return launch;
}

void MainWindowLogic::Form_Load(const StartWith& start) {
    w_.setCaption(WindowCaption());

    int mode = 0;
    if (start.mode) {
        mode = *start.mode;
    } else if (const auto stored = ParseZhMode(w_.readSetting("zhmode", ""))) {
        mode = *stored;
    } else {
        if (w_.message("Do you have Generals ZERO HOUR expansion pack (ZH Mod) installed?",
                       Buttons::YesNo, Icon::Question) == Answer::Yes) {
            mode = 1;
        }
        w_.saveSetting("zhmode", std::to_string(mode));
    }
    w_.setZhMode(mode);
    w_.setTick(mode);

    // A stored folder always wins. Without one: the default folder when the
    // game is in it, or else the game where players have it. The default
    // may exist and still be the wrong folder: the EA app's parent of both
    // games has the Zero Hour default's name. The search reads every Wine
    // prefix's registry, so it runs only then; when it finds nothing, the
    // default stays, for the player to correct.
    const std::string unset(1, '\0');  // no stored setting holds a NUL
    std::string folder = start.folder ? *start.folder : w_.readSetting("path", unset);
    if (folder == unset) {
        folder = DefaultGameFolder(mode != 0, env_);
        if (!HoldsGame(folder, mode != 0)) {
            if (auto found = FindInstalledGame(mode != 0, {env_})) folder = *found;
        }
    }
    w_.setFolderText(folder);
    // What a copy killed in an earlier run left behind goes before the scan.
    if (FolderExists(w_.folderText())) RemoveStaleCopies(FileCleanPath(w_.folderText()));
    store_.UpdateList(true);
}

void MainWindowLogic::Form_QueryUnload() {
    w_.saveSetting("path", w_.folderText());
    w_.saveSetting("zhmode", std::to_string(w_.zhMode()));
}

void MainWindowLogic::txtGeneralsFolder_Change(bool typedByUser) {
    const std::string text = w_.folderText();
    if (CharCount(text) <= 3) return;
    w_.saveSetting("path", text);
    store_.UpdateList(true, typedByUser ? FolderTrim::KeepTyped : FolderTrim::WriteBack);
}

void MainWindowLogic::cmdBrowse_Click() {
    const std::string chosen =
        BrowseForFolder(w_, "Select Your Generals" + ZeroHourPart(w_.zhMode()) + "Folder...",
                        ProgramFilesFolder(env_) + kNativeSeparator, 0);
    if (chosen.empty()) return;
    w_.setFolderText(chosen);
    store_.UpdateList(false);
    w_.saveSetting("path", w_.folderText());  // as the scan may have trimmed it
}

void MainWindowLogic::chkZHMode_MouseUp() {
    const int tick = w_.tick();
    const int mode = w_.zhMode() != 0 ? 1 : 0;
    if (tick != mode) {
        const bool on = mode == 0;
        if (w_.message(std::string("Are you sure you want to switch to Generals ") + (on ? "ZERO HOUR" : "only") +
                           " mode? (Only do this if you have *" + (on ? "" : "un") +
                           "installed* the ZERO HOUR expansion pack!)",
                       Buttons::YesNo, Icon::Question) != Answer::Yes) {
            w_.setTick(mode);
        } else {
            w_.setZhMode(tick);
            moveToSiblingFolder(on);
            store_.UpdateList(false);
        }
    }
    w_.setZeroHourLabelVisible(w_.zhMode() != 0);
    w_.saveSetting("zhmode", std::to_string(w_.zhMode()));
}

void MainWindowLogic::moveToSiblingFolder(bool zeroHour) {
    static constexpr std::string_view kGenerals = " GENERALS";
    static constexpr std::string_view kZeroHour = " ZERO HOUR";
    const std::string folder = w_.folderText();
    const std::string name = FileGetName(folder);
    std::string sibling;
    if (zeroHour && EndsWithNoCase(name, kGenerals)) {
        sibling = name + " Zero Hour";
    } else if (!zeroHour && EndsWithNoCase(name, kZeroHour)) {
        sibling = name.substr(0, name.size() - kZeroHour.size());
    }
    if (!sibling.empty()) {
        const std::string candidate = JoinPath(FileGetFolder(folder), sibling);
        if (FolderExists(candidate)) {
            w_.setFolderText(candidate);
            return;
        }
    }
    // The other game where it was found (Steam names its two folders apart).
    if (const auto found = FindInstalledGame(zeroHour, {env_}); found && !SameFile(*found, folder)) {
        w_.setFolderText(*found);
        return;
    }
    if (sibling.empty()) return;  // not an install folder of the other game: the folder stays
    const std::string zh = ZeroHourPart(zeroHour ? 1 : 0);
    w_.message("Please select your Generals" + zh + "folder now.", Buttons::Ok, Icon::Exclamation);
    const std::string chosen = BrowseForFolder(w_, "Select Your Generals" + zh + "folder...",
                                               FolderExists(folder) ? folder : ProgramFilesFolder(env_), 0);
    if (!chosen.empty()) w_.setFolderText(chosen);
}

void MainWindowLogic::lblNextTip_Click() {
    ++tipNumber_;
    if (tipNumber_ < 1 || tipNumber_ > kTipCount) tipNumber_ = 0;
    w_.setTipText(TipText(tipNumber_, w_.zhMode()));
}

bool MainWindowLogic::restartAsAdministrator() {
    const std::string folder = FileCleanPath(w_.folderText());
    bool declined = false;
    const Status started = StartAsAdministrator(AdministratorLaunch(OwnProgramPath(), folder, w_.zhMode(), env_),
                                                declined);
    if (started.ok()) {
        w_.closeWindow();
        return true;
    }
    if (declined) w_.message(kRestartDeclined, Buttons::Ok, Icon::Information);
    else w_.message("Tavrel could not restart as administrator. (" + started.text() + ")", Buttons::Ok, Icon::Critical);
    return false;
}

void MainWindowLogic::lblViewHelp_Click() {
    const ReadmeFile readme = EnsureReadme(w_.programFolder(), w_.userDataFolder());
    if (!readme.error.empty()) {
        w_.message("Tavrel could not write its readme file " + readme.path + ". (" + readme.error + ")", Buttons::Ok,
                   Icon::Critical);
        return;
    }
    w_.openTextFile(readme.path);
}

bool MainWindowLogic::lblPlay_Click(const std::vector<std::string>& arguments) {
    const std::string folder = FileCleanPath(w_.folderText());
    if (store_.gameRunsIn(folder)) {
        w_.message("Generals" + ZeroHourPart(w_.zhMode()) + "is already running.", Buttons::Ok, Icon::Exclamation);
        return false;
    }
    const LaunchPlan plan = PlanGameLaunch(folder, w_.zhMode() != 0, arguments, {env_});
    if (!plan.launch) {
        w_.message(plan.missing, Buttons::Ok, Icon::Exclamation);
        return false;
    }
    if (const Status started = StartProgram(*plan.launch); !started.ok()) {
        w_.message("Tavrel could not start " + plan.launch->program + ". (" + started.text() + ")", Buttons::Ok,
                   Icon::Critical);
        return false;
    }
    return true;
}

void MainWindowLogic::picGenerals_MouseUp(int button, int shift) {
    if (button == kRightButton && shift == kShiftKey) w_.showTools(w_.folderText());
}

}  // namespace tavrel
