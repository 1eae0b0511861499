// The command line of the Linux program, parsed by QCommandLineParser.
#pragma once

#include <optional>

#include "ui/main_window_logic.h"

namespace tavrel {

// Runs the command the arguments give, without a window, and answers the
// exit status; nothing when they ask for the window (`start` then holds the
// folder and mode it opens on).
std::optional<int> RunCommandLine(int argc, char** argv, StartWith& start);

}  // namespace tavrel
