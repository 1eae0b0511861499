// A window for the benchmarks: a list, a label, a quiet progress view, and
// the answer that goes on to every question (OK; No to Yes/No questions).
// Messages with only OK are reported and counted, since the benchmarks
// expect none. A mod of several archives is installed whole: every archive
// offered is ticked and the name offered is kept.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "modstore/mod_window.h"

namespace bench {

class ScriptedWindow : public tavrel::ModWindow {
public:
    std::string folder, source;
    std::vector<std::string> list;
    std::string active;
    int unexpected = 0;                 // messages with only OK
    std::size_t archivesOffered = 0;    // rows of the last chooseModArchives

    std::string folderText() const override { return folder; }
    void setFolderText(const std::string& text) override { folder = text; }
    void clearList() override { list.clear(); }
    void addListEntry(const std::string& entry) override { list.push_back(entry); }
    std::vector<std::string> listEntries() const override { return list; }
    int selectedIndex() const override { return -1; }
    std::string activeMod() const override { return active; }
    void setActiveMod(const std::string& entry) override { active = entry; }
    int zhMode() const override { return 0; }
    void setZeroHourLabelVisible(bool) override {}
    void showWindow() override {}
    tavrel::Answer message(const std::string& text, tavrel::Buttons buttons, tavrel::Icon) override {
        if (buttons == tavrel::Buttons::Ok) {
            std::fprintf(stderr, "unexpected: %s\n", text.c_str());
            ++unexpected;
        }
        return buttons == tavrel::Buttons::YesNo ? tavrel::Answer::No : tavrel::Answer::Ok;
    }
    std::unique_ptr<tavrel::CopyProgressView> showCopyProgress(const std::string&) override {
        struct Quiet : tavrel::CopyProgressView {
            bool update(std::uint64_t, std::uint64_t) override { return true; }
        };
        return std::make_unique<Quiet>();
    }
    std::optional<tavrel::ArchiveChoice> chooseModArchives(const std::vector<tavrel::ArchiveMember>& archives,
                                                           const std::string& name) override {
        archivesOffered = archives.size();
        tavrel::ArchiveChoice choice;
        for (std::size_t i = 0; i < archives.size(); ++i) choice.ticked.push_back(i);
        choice.name = name;
        return choice;
    }
    std::optional<std::string> runFileDialog(const tavrel::FileDialogRequest&) override { return source; }
    std::optional<std::string> runFolderBrowser(const tavrel::FolderBrowserRequest&) override { return std::nullopt; }
};

}  // namespace bench
