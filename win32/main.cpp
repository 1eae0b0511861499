// Tavrel: a mod manager for Command and Conquer Generals and Zero Hour. With
// arguments it runs one command on the console it was started from; without,
// it opens its window.
#include <windows.h>

#include <commctrl.h>

#include "win32/command_line.h"
#include "win32/form1.h"
#include "win32/message_loop.h"
#include "win32/settings_store.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    tavrel::StartWith start;
    if (tavrel::HasArguments(commandLine)) {
        if (const std::optional<int> status = tavrel::RunCommandLine(start)) return *status;
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);

    int exitCode = 0;
    {
        tavrel::SettingsStore settings;
        tavrel::Form1 form(instance, settings, tavrel::SystemEnvironment());
        if (!form.hwnd()) return 1;
        form.Form_Load(start);
        form.show(showCommand);
        exitCode = tavrel::RunMessageLoop();
    }
    return exitCode;
}
