#include "ui/main_window.h"

#include <algorithm>

#include "game/game_paths.h"
#include "support/archive.h"
#include "support/path_rules.h"
#include "ui/archive_chooser.h"

namespace tavrel {

std::vector<std::string> DroppedMod(const std::vector<std::string>& paths) {
    if (paths.empty() || std::find(paths.begin(), paths.end(), std::string()) != paths.end()) return {};
    if (paths.size() == 1) {
        const std::string name = FileGetName(paths.front());
        if (IsModArchiveName(name) || IsArchiveName(name) || IsFolder(paths.front())) return paths;
        return {};
    }
    for (const std::string& path : paths) {
        if (!IsModArchiveName(FileGetName(path))) return {};
    }
    return paths;
}

MainWindow::MainWindow(MainWindowView& view, EnvLookup env)
    : view_(view), store_(*this), logic_(*this, store_, std::move(env)) {}

void MainWindow::folderBoxChanged() { logic_.txtGeneralsFolder_Change(!settingFolderBox_); }

void MainWindow::filesDropped(const std::vector<std::string>& paths) {
    if (const std::vector<std::string> mod = DroppedMod(paths); !mod.empty()) store_.InstallMod(mod);
}

void MainWindow::click(std::string_view control) {
    if (control == "lblActivate") store_.lblActivate_Click();
    else if (control == "lblDeactivate") store_.lblDeactivate_Click();
    else if (control == "lblDelete") store_.lblDelete_Click();
    else if (control == "lblInstallMod") store_.lblInstallMod_Click();
    else if (control == "lblViewHelp") logic_.lblViewHelp_Click();
    else if (control == "lblNextTip") logic_.lblNextTip_Click();
    else if (control == "lblPlay") logic_.lblPlay_Click();
    else if (control == "picGenerals") logic_.picGenerals_MouseUp(kRightButton, kShiftKey);
    else if (control == "lblAddOns") showAddOns();
    else if (control == "lblRestartAdmin") logic_.restartAsAdministrator();
}

void MainWindow::showFolderRights(const std::string& notice, bool offerRestart) {
    if (notice != notice_) view_.setTipLabel(notice.empty() ? logic_.currentTip() : notice);
    notice_ = notice;
    view_.setRestartOfferVisible(offerRestart);
}

void MainWindow::modeBoxToggledByKey() { logic_.chkZHMode_MouseUp(); }

std::string ActiveModReading(const std::string& activeMod) {
    return "Current Active Mod: " + (activeMod.empty() ? std::string("none") : activeMod);
}

std::string ListRowReading(const std::string& entry, std::size_t index, std::size_t count, bool selected) {
    return entry + ", " + std::to_string(index + 1) + " of " + std::to_string(count) + (selected ? "" : ", not selected");
}

void MainWindow::closing() {
    logic_.Form_QueryUnload();
    // The Tools window is owned by this one and goes with it, without
    // bringing back the window that is closing.
    view_.unloadToolsWindow();
    view_.unloadAddOnsWindow();
}

std::string MainWindow::folderText() const { return view_.folderBoxText(); }

void MainWindow::setFolderText(const std::string& text) {
    // Like any text box: the same text again is no change, and runs nothing.
    if (text == view_.folderBoxText()) return;
    const bool outer = settingFolderBox_;
    settingFolderBox_ = true;
    view_.setFolderBoxText(text);  // the change handling runs inside, as the program's
    settingFolderBox_ = outer;
}

void MainWindow::clearList() {
    entries_.clear();
    view_.clearListBox();
}

void MainWindow::addListEntry(const std::string& entry) {
    entries_.push_back(entry);
    view_.appendToListBox(entry);
}

std::vector<std::string> MainWindow::listEntries() const { return entries_; }

int MainWindow::selectedIndex() const {
    const int index = view_.listBoxSelection();
    return index >= 0 && static_cast<std::size_t>(index) < entries_.size() ? index : -1;
}

std::string MainWindow::activeMod() const { return activeMod_; }

void MainWindow::setActiveMod(const std::string& entry) {
    activeMod_ = entry;
    view_.setActiveModLabel(entry, ActiveModReading(entry));
}

void MainWindow::setZeroHourLabelVisible(bool visible) { view_.setZeroHourLabelVisible(visible); }

void MainWindow::showWindow() { view_.showWindow(); }

Answer MainWindow::message(const std::string& text, Buttons buttons, Icon icon) {
    return view_.showMessage(text, buttons, icon);
}

std::optional<ArchiveChoice> MainWindow::chooseModArchives(const std::vector<ArchiveMember>& archives,
                                                           const std::string& name) {
    return view_.showChooser(ChooserRows(archives), name);
}

std::unique_ptr<CopyProgressView> MainWindow::showCopyProgress(const std::string& text) {
    return view_.showCopyProgress(text);
}

std::optional<std::string> MainWindow::runFileDialog(const FileDialogRequest& request) {
    return view_.runFileDialog(request);
}

std::optional<std::string> MainWindow::runFolderBrowser(const FolderBrowserRequest& request) {
    return view_.runFolderBrowser(request);
}

void MainWindow::setCaption(const std::string& caption) { view_.setCaption(caption); }

int MainWindow::tick() const { return view_.modeBoxTicked() ? 1 : 0; }

void MainWindow::setTick(int tick) { view_.setModeBoxTicked(tick != 0); }

void MainWindow::setTipText(const std::string& text) { view_.setTipLabel(text); }

std::string MainWindow::programFolder() const { return view_.programFolder(); }

std::string MainWindow::userDataFolder() const { return view_.userDataFolder(); }

void MainWindow::openTextFile(const std::string& path) {
    view_.startTextEditor(path, [this, path](const std::string& error) {
        message("Tavrel could not open " + path + " in a text editor. (" + error + ")", Buttons::Ok, Icon::Critical);
    });
}

void MainWindow::showAddOns() {
    AddOnsWindow* addOns = view_.loadedAddOnsWindow();
    if (!addOns) addOns = &view_.loadAddOnsWindow();
    addOns->load(store_.addOnsBase());
    addOns->view().showWindow();
}

void MainWindow::showTools(const std::string& generalsFolder) {
    // One Tools window at a time: a second Shift + right click hands the
    // open one the folder as it is now.
    ToolsWindow* tools = view_.loadedToolsWindow();
    if (!tools) tools = &view_.loadToolsWindow();
    tools->GeneralsFolder = generalsFolder;
    tools->view().showWindow();
}

std::string MainWindow::readSetting(const std::string& key, const std::string& defaultValue) {
    return view_.readStoredSetting(key).value_or(defaultValue);
}

void MainWindow::saveSetting(const std::string& key, const std::string& value) {
    if (view_.storeSetting(key, value) || settingsFailureShown_) return;
    settingsFailureShown_ = true;  // once per run: the folder box saves on every keystroke
    message("Tavrel could not save its settings to " + view_.settingsLocation() + ".", Buttons::Ok,
            Icon::Exclamation);
}

}  // namespace tavrel
