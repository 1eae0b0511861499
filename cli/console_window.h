// The main window's port on a terminal: the folder, the list and the label
// are plain values, every message is written to a stream, and a question
// takes the answer that leaves the folder as it is, unless told to say Yes.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "ui/main_window_port.h"

namespace tavrel {

// The entry `name` stands for among `entries` (list entries, or mods in an
// archive): the one spelled exactly so, else the first equal to it without
// regard to case; -1 when none is.
int FindEntry(const std::vector<std::string>& entries, const std::string& name);
// The names of an archive's mods, in its order.
std::vector<std::string> MemberNames(const std::vector<ArchiveMember>& members);

class ConsoleWindow : public MainWindowPort {
public:
    // `settings` are what readSetting answers; saveSetting stores nothing.
    // `members`: the archives to install of a mod made of several (all
    // when empty); `name`: the name of such a mod (its own when none).
    ConsoleWindow(std::ostream& messages, std::map<std::string, std::string> settings, bool answerYes,
                  bool activateInstalled, std::vector<std::string> members = {},
                  std::optional<std::string> name = std::nullopt)
        : out_(messages), settings_(std::move(settings)), answerYes_(answerYes),
          activateInstalled_(activateInstalled), members_(std::move(members)), name_(std::move(name)) {}

    // Selects the list entry at `index` (-1 for none), as a click would.
    void select(int index) { selected_ = index; }

    std::string folderText() const override { return folder_; }
    void setFolderText(const std::string& text) override { folder_ = text; }
    void clearList() override { list_.clear(); selected_ = -1; }
    void addListEntry(const std::string& entry) override { list_.push_back(entry); }
    std::vector<std::string> listEntries() const override { return list_; }
    int selectedIndex() const override { return selected_; }
    std::string activeMod() const override { return active_; }
    void setActiveMod(const std::string& entry) override { active_ = entry; }
    int zhMode() const override { return zhMode_; }
    void setZhMode(int mode) override { zhMode_ = mode; }
    void setZeroHourLabelVisible(bool) override {}
    void showWindow() override {}
    Answer message(const std::string& text, Buttons buttons, Icon icon) override;
    Answer offerActivation(const std::string& text) override;
    // A launch script waits for no answer to a failure that repeats.
    bool stopsAtFailure() const override { return true; }
    // The archives named as told (each spelled so, or else in any letter
    // case), alone; every one when none was named. Nothing when a name
    // matches none.
    std::optional<ArchiveChoice> chooseModArchives(const std::vector<ArchiveMember>& archives,
                                                   const std::string& name) override;
    std::unique_ptr<CopyProgressView> showCopyProgress(const std::string& text) override;
    // No dialog on a terminal: each is cancelled.
    std::optional<std::string> runFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> runFolderBrowser(const FolderBrowserRequest&) override { return std::nullopt; }
    void setCaption(const std::string&) override {}
    int tick() const override { return zhMode_ != 0 ? 1 : 0; }
    void setTick(int) override {}
    void setTipText(const std::string&) override {}
    void closeWindow() override {}
    std::string programFolder() const override { return {}; }
    std::string userDataFolder() const override { return {}; }
    void openTextFile(const std::string&) override {}
    void showTools(const std::string&) override {}
    std::string readSetting(const std::string& key, const std::string& defaultValue) override;
    void saveSetting(const std::string&, const std::string&) override {}

private:
    Answer ask(const std::string& text, Buttons buttons, Answer answer);

    std::ostream& out_;
    std::map<std::string, std::string> settings_;
    bool answerYes_;
    bool activateInstalled_;
    std::vector<std::string> members_;
    std::optional<std::string> name_;
    std::string folder_;
    std::vector<std::string> list_;
    int selected_ = -1;
    std::string active_;
    int zhMode_ = 0;
};

}  // namespace tavrel
