// A scripted main window: answers message boxes from a queue and records
// what it was shown, so that the mod store runs against real folders.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/game_locations.h"
#include "support/text.h"
#include "test_platform.h"
#include "ui/main_window_port.h"

namespace tavrel::test {

// An environment holding exactly `vars`. Its names ignore letter case on
// Windows, as the system's own do there.
inline EnvLookup FakeEnv(std::map<std::string, std::string> vars) {
    return [vars = std::move(vars)](const std::string& name) -> std::optional<std::string> {
        for (const auto& [key, value] : vars) {
            if (key == name || (OnWindows() && EqualsNoCase(key, name))) return value;
        }
        return std::nullopt;
    };
}

struct Shown {
    std::string text;
    Buttons buttons;
    Icon icon;
};

// Records a copy's progress; answers Cancel from `cancelAt` updates on, and
// tells `onUpdate` the number of each update (from 1).
struct ProgressLog {
    std::vector<std::string> texts;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> updates;
    int cancelAt = -1;
    std::function<void(int)> onUpdate;
};

class FakeProgress : public CopyProgressView {
public:
    explicit FakeProgress(ProgressLog& log) : log_(log) {}
    bool update(std::uint64_t done, std::uint64_t total) override {
        log_.updates.emplace_back(done, total);
        const int number = static_cast<int>(log_.updates.size());
        if (log_.onUpdate) log_.onUpdate(number);
        return log_.cancelAt < 0 || number < log_.cancelAt;
    }
private:
    ProgressLog& log_;
};

class FakeWindow : public MainWindowPort {
public:
    // The box's change handling; wired to the real handler by the tests.
    std::function<void(bool typedByUser)> onFolderChange;

    std::string folder;
    std::vector<std::string> list;
    int selected = -1;
    std::string active;
    int zh = 0;
    bool zeroHourLabel = false;
    bool shownOnScreen = false;
    int tickValue = 0;
    std::string caption;
    std::map<std::string, std::string> settings;
    std::vector<std::pair<std::string, std::string>> saves;
    std::deque<Answer> answers;
    std::vector<Shown> shown;
    // Dialog answers: a path, or nothing for Cancel.
    std::deque<std::optional<std::string>> fileChoices, folderChoices;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<FolderBrowserRequest> folderRequests;
    ProgressLog progress;
    std::string tipText;
    std::string rightsNotice;  // what the window says of the folder's rights
    bool restartOffered = false;
    int closed = 0;
    std::string programDir, userDir;
    std::vector<std::string> opened, toolsOpenedWith;

    // Types a text into the folder box, as the user would.
    void type(const std::string& text) {
        if (text == folder) return;
        folder = text;
        if (onFolderChange) onFolderChange(true);
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Shown& s : shown) out.push_back(s.text);
        return out;
    }

    std::string folderText() const override { return folder; }
    void setFolderText(const std::string& text) override {
        if (text == folder) return;  // like a text box: no change, no handling
        folder = text;
        if (onFolderChange) onFolderChange(false);
    }
    void clearList() override { list.clear(); selected = -1; }
    void addListEntry(const std::string& entry) override { list.push_back(entry); }
    std::vector<std::string> listEntries() const override { return list; }
    int selectedIndex() const override { return selected; }
    std::string activeMod() const override { return active; }
    void setActiveMod(const std::string& entry) override { active = entry; }
    int zhMode() const override { return zh; }
    void setZhMode(int mode) override { zh = mode; }
    void setZeroHourLabelVisible(bool visible) override { zeroHourLabel = visible; }
    void showWindow() override { shownOnScreen = true; }
    Answer message(const std::string& text, Buttons buttons, Icon icon) override {
        shown.push_back({text, buttons, icon});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected message: " << text;
            return buttons == Buttons::YesNo ? Answer::No : buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::unique_ptr<CopyProgressView> showCopyProgress(const std::string& text) override {
        progress.texts.push_back(text);
        return std::make_unique<FakeProgress>(progress);
    }
    // The user's answers in the archive checklist, in turn (nothing:
    // Cancel); the names and the name it showed each time.
    std::deque<std::optional<ArchiveChoice>> archiveChoices;
    std::vector<std::vector<std::string>> archivesShown;
    std::vector<std::string> namesShown;
    std::optional<ArchiveChoice> chooseModArchives(const std::vector<ArchiveMember>& archives,
                                                   const std::string& name) override {
        std::vector<std::string> names;
        for (const ArchiveMember& m : archives) names.push_back(m.name);
        archivesShown.push_back(names);
        namesShown.push_back(name);
        if (archiveChoices.empty()) {
            ADD_FAILURE() << "unexpected archive chooser";
            return std::nullopt;
        }
        auto choice = archiveChoices.front();
        archiveChoices.pop_front();
        return choice;
    }
    // Several files picked together, in turn.
    std::deque<std::vector<std::string>> filesPicked;
    std::vector<std::string> runOpenFiles(const FileDialogRequest& request) override {
        if (filesPicked.empty()) return DialogHost::runOpenFiles(request);
        auto picked = filesPicked.front();
        filesPicked.pop_front();
        return picked;
    }
    std::optional<std::string> runFileDialog(const FileDialogRequest& request) override {
        return nextChoice(fileRequests, fileChoices, request, request.title);
    }
    std::optional<std::string> runFolderBrowser(const FolderBrowserRequest& request) override {
        return nextChoice(folderRequests, folderChoices, request, request.title);
    }
    void setTipText(const std::string& text) override { tipText = text; }
    void closeWindow() override { ++closed; }
    void showFolderRights(const std::string& notice, bool offer) override {
        rightsNotice = notice;
        restartOffered = offer;
    }
    std::string programFolder() const override { return programDir; }
    std::string userDataFolder() const override { return userDir; }
    void openTextFile(const std::string& path) override { opened.push_back(path); }
    void showTools(const std::string& generalsFolder) override { toolsOpenedWith.push_back(generalsFolder); }
    void setCaption(const std::string& text) override { caption = text; }
    int tick() const override { return tickValue; }
    void setTick(int value) override { tickValue = value; }
    std::string readSetting(const std::string& key, const std::string& defaultValue) override {
        const auto it = settings.find(key);
        return it == settings.end() ? defaultValue : it->second;
    }
    void saveSetting(const std::string& key, const std::string& value) override {
        settings[key] = value;
        saves.emplace_back(key, value);
    }

private:
    template <typename Request>
    static std::optional<std::string> nextChoice(std::vector<Request>& requests,
                                                 std::deque<std::optional<std::string>>& choices,
                                                 const Request& request, const std::string& title) {
        requests.push_back(request);
        if (choices.empty()) {
            ADD_FAILURE() << "unexpected dialog: " << title;
            return std::nullopt;
        }
        auto choice = choices.front();
        choices.pop_front();
        return choice;
    }
};

}  // namespace tavrel::test
