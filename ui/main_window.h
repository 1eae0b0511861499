// The main window, free of any toolkit: it keeps what the window knows (the
// list's and the label's names exactly as found on disk, whether the
// program or the user changed the folder box, whether a settings failure
// was reported) and decides what the window does, on top of the widgets a
// front-end shows through MainWindowView. The handlers reach it as their
// MainWindowPort.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/game_locations.h"
#include "ui/main_window_logic.h"
#include "ui/main_window_port.h"
#include "ui/addons_window.h"
#include "ui/tools_window.h"

namespace tavrel {

// The main window's widgets and the system services of a front-end. Nothing
// here decides anything: each call shows, reads or starts one thing.
class MainWindowView : public WindowView, public DialogHost {
public:
    // The folder box. Setting its text raises the toolkit's change event at
    // once, which the front-end passes to MainWindow::folderBoxChanged;
    // MainWindow sets only a text that differs from the box's.
    virtual std::string folderBoxText() const = 0;
    virtual void setFolderBoxText(const std::string& text) = 0;

    // The list box and the labels show texts (a name that is not valid
    // UTF-8 is shown as well as the toolkit can).
    virtual void clearListBox() = 0;
    virtual void appendToListBox(const std::string& text) = 0;
    virtual int listBoxSelection() const = 0;  // -1 when nothing is selected
    // The label shows `text`; a screen reader says `spoken`.
    virtual void setActiveModLabel(const std::string& text, const std::string& spoken) = 0;
    virtual void setZeroHourLabelVisible(bool visible) = 0;
    virtual void setTipLabel(const std::string& text) = 0;
    // "Restart Tavrel as administrator" under the tip line, shown or not.
    virtual void setRestartOfferVisible(bool visible) = 0;
    // Closes the window as the user does: closing() runs.
    virtual void closeMainWindow() = 0;
    virtual void setCaption(const std::string& text) = 0;
    virtual bool modeBoxTicked() const = 0;
    virtual void setModeBoxTicked(bool ticked) = 0;

    // A modal message box titled "Tavrel", owned by the window.
    virtual Answer showMessage(const std::string& text, Buttons buttons, Icon icon) = 0;
    // The modal window of ChooserLayout(): `rows` in its checklist, every
    // one ticked, and `name` in its name box. OK (or Enter) is enabled while
    // ChooserAccepts() holds; it answers the rows ticked and the name as
    // typed. Cancel, Escape or closing answer nothing.
    virtual std::optional<ArchiveChoice> showChooser(const std::vector<std::string>& rows,
                                                     const std::string& name) = 0;
    virtual std::unique_ptr<CopyProgressView> showCopyProgress(const std::string& text) = 0;

    virtual std::string programFolder() const = 0;
    virtual std::string userDataFolder() const = 0;
    // Starts the system's text editor on `path` without waiting; a start
    // that fails calls `onFailure` with the system's reason, maybe later.
    virtual void startTextEditor(const std::string& path, std::function<void(const std::string& error)> onFailure) = 0;

    // The per-user settings store: application "TVL", section "Settings".
    virtual std::optional<std::string> readStoredSetting(const std::string& key) = 0;
    virtual bool storeSetting(const std::string& key, const std::string& value) = 0;  // false on failure
    virtual std::string settingsLocation() const = 0;

    // The Tools window while it is loaded, or nothing.
    virtual ToolsWindow* loadedToolsWindow() = 0;
    // Loads the Tools window, owned by this one.
    virtual ToolsWindow& loadToolsWindow() = 0;
    // Unloads it without the effects of a close by the user.
    virtual void unloadToolsWindow() = 0;
    // The same for the Add-ons window.
    virtual AddOnsWindow* loadedAddOnsWindow() = 0;
    virtual AddOnsWindow& loadAddOnsWindow() = 0;
    virtual void unloadAddOnsWindow() = 0;
};

// What a screen reader says of the active-mod line: "Current Active Mod:
// __Storm", or "Current Active Mod: none".
std::string ActiveModReading(const std::string& activeMod);

// What a screen reader says of a row of the list: the mod, where it stands,
// and whether Enter would act on it: "__Storm, 2 of 5", "__Storm, 2 of 5,
// not selected" (`index` from 0).
std::string ListRowReading(const std::string& entry, std::size_t index, std::size_t count, bool selected);

// What a drop of `paths` on the main window installs as one mod: one file
// named ".big", ".gib", ".zip", ".7z" or ".rar" in any letter case, one
// folder (an unpacked mod), or several ".big" and ".gib" files together. Nothing for
// anything else, which the drop cursor refuses.
std::vector<std::string> DroppedMod(const std::vector<std::string>& paths);

class MainWindow : public MainWindowPort {
public:
    MainWindow(MainWindowView& view, EnvLookup env);

    ModStore& store() { return store_; }
    MainWindowLogic& logic() { return logic_; }

    // Events of the front-end.
    void folderBoxChanged();  // any change of the folder box's text
    void closing();           // the user closes the window: saves, then the Tools window goes
    // Files dropped on the window ("" for one that is not a local file): a
    // mod (see DroppedMod) is installed as if chosen in "Install A Mod".
    void filesDropped(const std::vector<std::string>& paths);
    // A click on the control named `control` (of Form1Layout()), by the
    // mouse, a key of KeyTable() or a screen reader's action: what its
    // handler does. The banner's is the Shift and right click that opens
    // the Tools window; "lblAddOns" opens the Add-ons window for the mod
    // selected, else the active one. A control without a handler does nothing.
    void click(std::string_view control);
    // The Zero Hour box's tick was changed from the keyboard: the same
    // handler as a mouse click's, with the same question.
    void modeBoxToggledByKey();

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
    std::optional<ArchiveChoice> chooseModArchives(const std::vector<ArchiveMember>& archives,
                                                   const std::string& name) override;
    std::unique_ptr<CopyProgressView> showCopyProgress(const std::string& text) override;
    std::optional<std::string> runFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> runFolderBrowser(const FolderBrowserRequest& request) override;
    std::vector<std::string> runOpenFiles(const FileDialogRequest& request) override {
        return view_.runOpenFiles(request);
    }
    void setCaption(const std::string& caption) override;
    int tick() const override;
    void setTick(int tick) override;
    void setTipText(const std::string& text) override;
    void closeWindow() override { view_.closeMainWindow(); }
    // The tip line holds the notice while this user may not change the
    // folder; the tip comes back once the folder may be changed.
    void showFolderRights(const std::string& notice, bool offerRestart) override;
    bool restartAsAdministrator() override { return logic_.restartAsAdministrator(); }
    std::string programFolder() const override;
    std::string userDataFolder() const override;
    void openTextFile(const std::string& path) override;
    void showTools(const std::string& generalsFolder) override;
    // Loads the Add-ons window unless it is open, and shows it for the mod
    // selected, else the active one.
    void showAddOns();
    std::string readSetting(const std::string& key, const std::string& defaultValue) override;
    void saveSetting(const std::string& key, const std::string& value) override;

private:
    MainWindowView& view_;
    int zhMode_ = 0;
    std::vector<std::string> entries_;  // exactly as found on disk, whatever the list box shows
    std::string activeMod_;             // the same for the label
    bool settingFolderBox_ = false;     // the program is writing the folder box
    bool settingsFailureShown_ = false;
    std::string notice_;  // what the tip line says of the folder's rights, while it does
    ModStore store_;
    MainWindowLogic logic_;
};

}  // namespace tavrel
