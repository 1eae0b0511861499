// The command line of the Linux program, parsed by QCommandLineParser.
#pragma once

namespace tavrel {

// Runs the command the arguments give, without a window; answers the exit status.
int RunCommandLine(int argc, char** argv);

}  // namespace tavrel
