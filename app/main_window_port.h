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

    // Settings of application "TVL", section "Settings".
    virtual std::string readSetting(const std::string& key, const std::string& defaultValue) = 0;
    virtual void saveSetting(const std::string& key, const std::string& value) = 0;
};

}  // namespace tavrel
