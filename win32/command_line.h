// The command line of tavrel.exe: arguments split by the shell's
// CommandLineToArgvW, options parsed by the C runtime's getopt_long, output
// to the console of the program that started this one.
#pragma once

namespace tavrel {

// True when `commandLine`, the command line past the program's name (as
// wWinMain has it), holds arguments.
bool HasArguments(const wchar_t* commandLine);

// Runs the command the arguments give, without a window; answers the exit status.
int RunCommandLine();

}  // namespace tavrel
