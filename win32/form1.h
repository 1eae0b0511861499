// The main window: the game folder, the Zero Hour switch, the mod list, the
// active mod, the label-buttons, the tip line and the banner.
#pragma once

#include <memory>
#include <string>

#include "game/game_locations.h"
#include "ui/main_window.h"
#include "win32/form_window.h"

namespace tavrel {

class Form2;
class Form3;
class SettingsStore;

class Form1 : public FormWindow, public MainWindowView {
public:
    // Makes the window, hidden; hwnd() is null when the system made none.
    Form1(HINSTANCE instance, SettingsStore& settings, EnvLookup env);
    ~Form1() override;

    // Runs once after construction, before the window is first shown.
    void Form_Load(const StartWith& start = {});
    // The first show, as the program was asked to start (SW_ value).
    void show(int showCommand);

    // The window as its handlers see it.
    MainWindow& window() { return window_; }

    // MainWindowView
    void showWindow() override;
    bool isMinimised() const override;
    void bringToFront() override;
    std::optional<std::string> runFileDialog(const FileDialogRequest& request) override;
    std::vector<std::string> runOpenFiles(const FileDialogRequest& request) override;
    std::optional<std::string> runFolderBrowser(const FolderBrowserRequest& request) override;
    std::string folderBoxText() const override;
    void setFolderBoxText(const std::string& text) override;
    void clearListBox() override;
    void appendToListBox(const std::string& text) override;
    int listBoxSelection() const override;
    void setActiveModLabel(const std::string& text, const std::string& spoken) override;
    void setZeroHourLabelVisible(bool visible) override;
    void setTipLabel(const std::string& text) override;
    void setRestartOfferVisible(bool visible) override;
    void closeMainWindow() override;
    void setCaption(const std::string& text) override;
    bool modeBoxTicked() const override;
    void setModeBoxTicked(bool ticked) override;
    Answer showMessage(const std::string& text, Buttons buttons, Icon icon) override;
    std::optional<ArchiveChoice> showChooser(const std::vector<std::string>& rows, const std::string& name) override;
    std::unique_ptr<CopyProgressView> showCopyProgress(const std::string& text) override;
    std::string programFolder() const override;
    std::string userDataFolder() const override;
    void startTextEditor(const std::string& path, std::function<void(const std::string& error)> onFailure) override;
    std::optional<std::string> readStoredSetting(const std::string& key) override;
    bool storeSetting(const std::string& key, const std::string& value) override;
    std::string settingsLocation() const override;
    ToolsWindow* loadedToolsWindow() override;
    ToolsWindow& loadToolsWindow() override;
    void unloadToolsWindow() override;
    AddOnsWindow* loadedAddOnsWindow() override;
    AddOnsWindow& loadAddOnsWindow() override;
    void unloadAddOnsWindow() override;

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void clicked(const std::string& control) override;
    std::string accessibleName(const Control& control) override;

private:
    void connectControls();

    SettingsStore& settings_;
    MainWindow window_;
    std::string activeModSpoken_ = ActiveModReading("");  // what a screen reader says of the active mod

    // The controls the window reads, writes or listens to.
    HWND lblZeroHour_ = nullptr;
    HWND chkZHMode_ = nullptr;
    HWND txtGeneralsFolder_ = nullptr;
    HWND cmdBrowse_ = nullptr;
    HWND lstMods_ = nullptr;
    HWND lblActiveMod_ = nullptr;
    HWND lblTipText_ = nullptr;
    HWND lblRestartAdmin_ = nullptr;
    std::unique_ptr<Form2> tools_;  // the Tools window while it is loaded
    std::unique_ptr<Form3> addOns_;  // the Add-ons window while it is loaded
};

}  // namespace tavrel
