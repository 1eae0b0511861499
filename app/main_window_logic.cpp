#include "app/main_window_logic.h"

#include <charconv>
#include <optional>

#include "support/file_system.h"
#include "support/text.h"
#include "tavrel_version.h"

namespace tavrel {
namespace {

// The stored mode: nothing for an empty or unreadable value (the first-run
// question comes back), 0 or 1 otherwise; any other number counts as Zero Hour.
std::optional<int> ParseZhMode(const std::string& text) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value != 0 ? 1 : 0;
}

bool EndsWithNoCase(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

std::string WindowCaption() {
    return "Tavrel - Generals Mod Manager v" + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

void MainWindowLogic::Form_Load() {
    w_.setCaption(WindowCaption());

    int mode = 0;
    if (const auto stored = ParseZhMode(w_.readSetting("zhmode", ""))) {
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

    // Under Wine or Proton the game is often somewhere else than the default;
    // a stored folder always wins over both.
    std::string defaultFolder = DefaultGameFolder(mode != 0, env_);
    if (!FolderExists(defaultFolder)) {
        if (auto found = FindInstalledGame(mode != 0, env_)) defaultFolder = *found;
    }
    w_.setFolderText(w_.readSetting("path", defaultFolder));
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
    } else {
        return;  // not an install folder of the other game: the folder stays
    }
    const std::string candidate = JoinPath(FileGetFolder(folder), sibling);
    if (FolderExists(candidate)) {
        w_.setFolderText(candidate);
        return;
    }
    const std::string zh = ZeroHourPart(zeroHour ? 1 : 0);
    w_.message("Please select your Generals" + zh + "folder now.", Buttons::Ok, Icon::Exclamation);
    const std::string chosen = BrowseForFolder(w_, "Select Your Generals" + zh + "folder...",
                                               FolderExists(folder) ? folder : ProgramFilesFolder(env_), 0);
    if (!chosen.empty()) w_.setFolderText(chosen);
}

}  // namespace tavrel
