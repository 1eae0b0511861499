// What the main window's toolkit-free handlers need from the window: the mod
// store's view of it plus the caption, the mode check box, the Zero Hour
// field and the per-user settings store.
#pragma once

#include <string>

#include "modstore/mod_window.h"

namespace tavrel {

class MainWindowPort : public ModWindow {
public:
    virtual void setCaption(const std::string& caption) = 0;

    virtual void setZhMode(int mode) = 0;
    virtual int tick() const = 0;  // the mode check box: 0 or 1
    virtual void setTick(int tick) = 0;

    virtual void setTipText(const std::string& text) = 0;
    // Closes the window as the user does (the settings are saved).
    virtual void closeWindow() = 0;

    // Where the program lives, and the per-user folder for its own files.
    virtual std::string programFolder() const = 0;
    virtual std::string userDataFolder() const = 0;
    // Opens a text file in the platform's text editor without waiting; the
    // window reports a start that fails.
    virtual void openTextFile(const std::string& path) = 0;
    // Loads the Tools window unless it is open, hands it the folder text and
    // shows it modeless, owned by this window.
    virtual void showTools(const std::string& generalsFolder) = 0;

    // Settings of application "TVL", section "Settings".
    virtual std::string readSetting(const std::string& key, const std::string& defaultValue) = 0;
    virtual void saveSetting(const std::string& key, const std::string& value) = 0;
};

}  // namespace tavrel
