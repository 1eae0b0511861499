#include "app/main_window_logic.h"

#include <charconv>
#include <optional>

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

    w_.setFolderText(w_.readSetting("path", DefaultGameFolder(mode != 0, env_)));
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

}  // namespace tavrel
