// Where the program and its per-user files live, and the text editor.
#pragma once

#include <optional>
#include <string>

namespace tavrel {

// The folder that holds the running .exe (a drive's root keeps its "\").
std::string ProgramFolder();

// "TVL" in the user's local application data folder (%LOCALAPPDATA%).
std::string UserDataFolder();

// Starts Notepad on `path` without waiting for it. The system's reason
// when it could not be started, else nothing.
std::optional<std::string> StartNotepad(const std::string& path);

}  // namespace tavrel
