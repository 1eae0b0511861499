// The main window: the game folder, the Zero Hour switch, the mod list, the
// active mod, the label-buttons, the tip line and the banner.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "ui/main_window_logic.h"
#include "ui/main_window_port.h"
#include "modstore/mod_store.h"
#include "support/game_locations.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavrel {

class ClickLabel;
class Form2;
class MouseUpCheckBox;
class PictureBox;
class SettingsStore;

class Form1 : public QWidget, public MainWindowPort {
    Q_OBJECT
public:
    Form1(SettingsStore& settings, EnvLookup env, QWidget* parent = nullptr);
    ~Form1() override;

    // Runs once after construction, before the window is first shown.
    void Form_Load();

    ModStore& store() { return store_; }

    // MainWindowPort
    std::string folderText() const override;
    void setFolderText(const std::string& text) override;
    void clearList() override;
    void addListEntry(const std::string& entry) override;
    std::vector<std::string> listEntries() const override;
    int selectedIndex() const override;
    std::string activeMod() const override;
    void setActiveMod(const std::string& entry) override;
    int zhMode() const override { return zhMode_; }
    void setZhMode(int mode) override { zhMode_ = mode; }
    void setZeroHourLabelVisible(bool visible) override;
    void showWindow() override;
    Answer message(const std::string& text, Buttons buttons, Icon icon) override;
    std::unique_ptr<CopyProgressView> showCopyProgress(const std::string& text) override;
    std::optional<std::string> runFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> runFolderBrowser(const FolderBrowserRequest& request) override;
    void setCaption(const std::string& caption) override;
    int tick() const override;
    void setTick(int tick) override;
    void setTipText(const std::string& text) override;
    std::string programFolder() const override;
    std::string userDataFolder() const override;
    void openTextFile(const std::string& path) override;
    void showTools(const std::string& generalsFolder) override;
    std::string readSetting(const std::string& key, const std::string& defaultValue) override;
    void saveSetting(const std::string& key, const std::string& value) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void onFolderTextChanged();

    SettingsStore& settings_;
    int zhMode_ = 0;
    ModStore store_;
    MainWindowLogic logic_;
    bool folderSetByProgram_ = false;
    bool settingsFailureShown_ = false;
    std::string activeMod_;  // exactly as found on disk, whatever the display shows

    PictureBox* picGenerals_ = nullptr;
    QLabel* lblZeroHour_ = nullptr;
    QLabel* label8_ = nullptr;
    std::array<QLabel*, 3> lblFormLabel_{};
    MouseUpCheckBox* chkZHMode_ = nullptr;
    QLineEdit* txtGeneralsFolder_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
    QListWidget* lstMods_ = nullptr;
    std::array<QLabel*, 5> imgGeneralIcon_{};
    ClickLabel* lblActivate_ = nullptr;
    ClickLabel* lblDeactivate_ = nullptr;
    ClickLabel* lblDelete_ = nullptr;
    ClickLabel* lblInstallMod_ = nullptr;
    ClickLabel* lblViewHelp_ = nullptr;
    QLabel* lblActiveMod_ = nullptr;
    QLabel* lblTipText_ = nullptr;
    ClickLabel* lblNextTip_ = nullptr;
    QPointer<Form2> tools_;  // the Tools window while it is open
};

}  // namespace tavrel
