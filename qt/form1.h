// The main window: the game folder, the Zero Hour switch, the mod list, the
// active mod, the label-buttons, the tip line and the banner.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "game/game_locations.h"
#include "ui/main_window.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavrel {

class ClickLabel;
class Form2;
class Form3;
class MouseUpCheckBox;
class PictureBox;
class SettingsStore;

class Form1 : public QWidget, public MainWindowView {
    Q_OBJECT
public:
    Form1(SettingsStore& settings, EnvLookup env, QWidget* parent = nullptr);
    ~Form1() override;

    // Runs once after construction, before the window is first shown.
    void Form_Load(const StartWith& start = {});

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
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildLayout();
    void readRows();

    SettingsStore& settings_;
    MainWindow window_;

    // The controls the window reads, writes or listens to.
    PictureBox* picGenerals_ = nullptr;
    QLabel* lblZeroHour_ = nullptr;
    MouseUpCheckBox* chkZHMode_ = nullptr;
    QLineEdit* txtGeneralsFolder_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
    QListWidget* lstMods_ = nullptr;
    ClickLabel* lblActivate_ = nullptr;
    ClickLabel* lblDeactivate_ = nullptr;
    ClickLabel* lblDelete_ = nullptr;
    ClickLabel* lblInstallMod_ = nullptr;
    ClickLabel* lblViewHelp_ = nullptr;
    QLabel* lblActiveMod_ = nullptr;
    QLabel* lblTipText_ = nullptr;
    ClickLabel* lblNextTip_ = nullptr;
    ClickLabel* lblRestartAdmin_ = nullptr;
    QPointer<Form2> tools_;  // the Tools window while it is loaded
    QPointer<Form3> addOns_;  // the Add-ons window while it is loaded
};

}  // namespace tavrel
