// The command line of tavrel.exe: arguments split by the shell's
// CommandLineToArgvW, options parsed by the C runtime's getopt_long, output
// to the console of the program that started this one.
#pragma once

#include <optional>

#include "ui/main_window_logic.h"

namespace tavrel {

// True when `commandLine`, the command line past the program's name (as
// wWinMain has it), holds arguments.
bool HasArguments(const wchar_t* commandLine);

// Runs the command the arguments give, without a window, and answers the
// exit status; nothing when they ask for the window (`start` then holds the
// folder and mode it opens on).
std::optional<int> RunCommandLine(StartWith& start);

}  // namespace tavrel
