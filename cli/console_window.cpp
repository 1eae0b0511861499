#include "cli/console_window.h"

#include "support/text.h"

namespace tavrel {

int FindEntry(const std::vector<std::string>& entries, const std::string& name) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == name) return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (EqualsNoCase(entries[i], name)) return static_cast<int>(i);
    }
    return -1;
}

std::vector<std::string> MemberNames(const std::vector<ArchiveMember>& members) {
    std::vector<std::string> names;
    for (const ArchiveMember& m : members) names.push_back(m.name);
    return names;
}
namespace {

const char* AnswerName(Answer answer) {
    switch (answer) {
        case Answer::Ok: return "OK";
        case Answer::Cancel: return "Cancel";
        case Answer::Yes: return "Yes";
        case Answer::No: return "No";
    }
    return "";
}

// A copy's progress on a terminal: its text, once; it never cancels.
class ConsoleProgress : public CopyProgressView {
public:
    bool update(std::uint64_t, std::uint64_t) override { return true; }
};

}  // namespace

Answer ConsoleWindow::ask(const std::string& text, Buttons buttons, Answer answer) {
    out_ << text;
    if (buttons != Buttons::Ok) {
        out_ << " [";
        const char* between = "";
        for (const Answer choice : ButtonAnswers(buttons)) {
            out_ << between << AnswerName(choice);
            between = "/";
        }
        out_ << "] " << AnswerName(answer);
    }
    out_ << '\n' << std::flush;
    return answer;
}

Answer ConsoleWindow::message(const std::string& text, Buttons buttons, Icon) {
    // The first button says yes (OK, Yes); Escape's answer is the one that
    // leaves everything as it is (Cancel, No).
    return ask(text, buttons, answerYes_ ? ButtonAnswers(buttons).front() : EscapeAnswer(buttons));
}

Answer ConsoleWindow::offerActivation(const std::string& text) {
    // Whether to activate what was installed is what --activate says, not --yes.
    return ask(text, Buttons::YesNo, activateInstalled_ ? Answer::Yes : Answer::No);
}

std::optional<ArchiveChoice> ConsoleWindow::chooseModArchives(const std::vector<ArchiveMember>& archives,
                                                              const std::string& name) {
    ArchiveChoice choice{{}, name_.value_or(name), !members_.empty()};
    const std::vector<std::string> names = MemberNames(archives);
    for (const std::string& member : members_) {
        const int at = FindEntry(names, member);
        if (at < 0) return std::nullopt;
        choice.ticked.push_back(static_cast<std::size_t>(at));
    }
    if (members_.empty()) {
        for (std::size_t i = 0; i < archives.size(); ++i) choice.ticked.push_back(i);
    }
    return choice;
}

std::unique_ptr<CopyProgressView> ConsoleWindow::showCopyProgress(const std::string& text) {
    out_ << text << '\n' << std::flush;
    return std::make_unique<ConsoleProgress>();
}

std::string ConsoleWindow::readSetting(const std::string& key, const std::string& defaultValue) {
    const auto it = settings_.find(key);
    return it == settings_.end() ? defaultValue : it->second;
}

}  // namespace tavrel
