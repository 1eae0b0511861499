// Changes to a folder tree that belong together: renames that never replace
// a file, folders made and removed, and a few removals. The whole list (the
// journal) is written down before the first change, so that a process
// killed half-way leaves a record that the next one finishes, or undoes
// where a step can no longer be taken. Afterwards the tree is either as it
// was before the first step or as it is after the last, never in between.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/status.h"

namespace tavrel {

struct JournalStep {
    enum Kind {
        Rename,        // `from` becomes `to`, which no entry may take in any letter case
        Replace,       // `from` takes the place of the existing `to` in one step; what `to` held goes
        MakeFolder,    // the folder `to`, missing until now, in a folder that exists
        RemoveFolder,  // the folder `to`, when it holds nothing
        Remove,        // the file `to`, for good: such steps come after every step that can be undone
    };
    Kind kind = Rename;
    std::string from;  // relative to the root, with the native separator
    std::string to;
    bool operator==(const JournalStep&) const = default;
};

struct Journal {
    std::vector<JournalStep> steps;
    std::vector<std::string> removeWhenDone;    // removed, with all they hold, once every step is taken
    std::vector<std::string> removeWhenUndone;  // removed once every step taken is undone
    bool operator==(const Journal&) const = default;
};

// The text of a journal, and back. Paths are kept with "\" between their
// parts on every system, and every byte a name may hold comes back as it
// was. Nothing for a text that is not a whole journal.
std::string EncodeJournal(const Journal& journal);
std::optional<Journal> DecodeJournal(std::string_view text);

// One path (native separators) as a journal's text keeps it, and back:
// for other records of paths, such as a list of files.
std::string EncodeJournalPath(std::string_view path);
std::optional<std::string> DecodeJournalPath(std::string_view text);

// Reads a journal, or a record kept from one.
Status ReadJournal(const std::string& path, Journal& out);

// Writes `journal` to `journalPath` (whole or not at all), takes its steps
// in `root` in order, then removes what is to go and the journal itself.
// When a step fails, the steps taken are undone in reverse and that step's
// failure is answered (its place in `failedStep`): the tree is as it was.
Status RunJournal(const std::string& root, const std::string& journalPath, const Journal& journal,
                  std::size_t* failedStep = nullptr);

// Writes a journal's text to `path` (whole or not at all): a journal, or a
// record of steps to take back later.
Status WriteJournal(const std::string& path, const Journal& journal);

// Ends the journal that a killed process left at `journalPath`: the steps
// not yet taken are taken, or, when one of them cannot be, those taken are
// undone. Ok when there is none, or once it is ended either way; a failure
// only when it could be neither finished nor undone, and then it stays.
Status ResumeJournal(const std::string& root, const std::string& journalPath);

// The steps that take `steps` back, last first: each rename the other way,
// each folder made removed (when empty).
std::vector<JournalStep> Reversed(const std::vector<JournalStep>& steps);

}  // namespace tavrel
