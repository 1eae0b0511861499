// Start-up, close and the folder box of the main window, free of any toolkit
// so that they run the same against the Qt window and a scripted one.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/main_window_port.h"
#include "modstore/mod_store.h"
#include "game/game_locations.h"
#include "support/system.h"

namespace tavrel {

// The stored mode: nothing for an empty or unreadable value (the first-run
// question comes back), 0 or 1 otherwise; any other number counts as Zero Hour.
std::optional<int> ParseZhMode(const std::string& text);

// "Tavrel - Generals Mod Manager v1.1.1"
std::string WindowCaption();

// The warning the tip line opens with and every cycle ends with.
inline constexpr const char* kTipWarning =
    "Warning! Dont do something dumb, like run generals while activating a mod...";

// Mouse buttons and the keys held with them, as the mouse handlers take
// them: one button, and the sum of the keys.
enum MouseButtonCode : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum ShiftKeyCode : int { kShiftKey = 1, kCtrlKey = 2, kAltKey = 4, kOtherKey = 8 };

// The tip line's texts after the warning, shown one a click, then the
// warning again.
inline constexpr int kTipCount = 10;

// The tip shown after `tipNumber` clicks (1 to kTipCount); the warning otherwise.
std::string TipText(int tipNumber, int zhMode);

// The folder and mode a start was given (a restart with an administrator's
// rights passes on the ones it had): they win over the stored ones.
struct StartWith {
    std::optional<std::string> folder;
    std::optional<int> mode;
};

// What the restart with an administrator's rights runs: this program (or
// the stand-in a test names in TAVREL_ADMIN_STAND_IN, given the program
// first) with the window's folder and mode.
ProgramLaunch AdministratorLaunch(const std::string& program, const std::string& folder, int zhMode,
                                  const EnvLookup& env);

class MainWindowLogic {
public:
    MainWindowLogic(MainWindowPort& window, ModStore& store, EnvLookup env)
        : w_(window), store_(store), env_(std::move(env)) {}

    // Caption, Zero Hour flag (asking once), folder, first scan.
    void Form_Load(const StartWith& start = {});
    // Saves "path" and "zhmode"; never cancels the close.
    void Form_QueryUnload();
    // Saves "path" and rescans silently when the text is longer than 3
    // characters. `typedByUser` is true for a change typed into the box.
    void txtGeneralsFolder_Change(bool typedByUser);
    // "Browse...": picks the game folder, rescans and saves it.
    void cmdBrowse_Click();
    // A mouse button was released over the mode check box (a left click has
    // flipped the tick by then): confirms a switch of mode and moves the
    // folder to the other game's install folder when that lies beside it,
    // else to the other game's folder where it was found.
    void chkZHMode_MouseUp();
    // "Next Tip": the next of the tip line's texts (the warning and kTipCount tips).
    void lblNextTip_Click();
    // The tip line's text as the clicks on "Next Tip" left it.
    std::string currentTip() const { return TipText(tipNumber_, w_.zhMode()); }
    // "Restart Tavrel as administrator": starts this program again through
    // Windows' consent, with the folder and mode, and closes this window
    // once it has started; says what a refusal means. True when it started.
    bool restartAsAdministrator();
    // "View ReadMe File": writes the readme when missing, then opens it.
    void lblViewHelp_Click();
    // "Play": starts the game of the current mode in the current folder with
    // `arguments`, unless it runs already; a message says what stops it.
    // True when its launcher has started.
    bool lblPlay_Click(const std::vector<std::string>& arguments = {});
    // A mouse button was released over the banner (MouseButtonCode, and the
    // sum of the ShiftKeyCodes held). Shift + right opens Tools.
    void picGenerals_MouseUp(int button, int shift);

private:
    void moveToSiblingFolder(bool zeroHour);

    MainWindowPort& w_;
    ModStore& store_;
    EnvLookup env_;
    int tipNumber_ = 0;
};

}  // namespace tavrel
