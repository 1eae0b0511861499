// Starting the game on Windows: through Steam, or its own program.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

#include "support/game_launch.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/wide_text_win.h"

namespace tavrel {
namespace {

// One argument as the C runtime's parser reads it back: quoted when it holds
// a space, a tab or a quote, or is empty; a quote and the backslashes
// before one doubled-up and escaped.
std::wstring QuotedArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

}  // namespace

std::optional<std::string> FindOnPath(const std::string&, const EnvLookup&) { return std::nullopt; }

LaunchPlan PlanLaunchHere(const std::string& clean, const std::string& program, bool zeroHour,
                          const std::vector<std::string>& arguments, const GameSearch& search) {
    if (const auto copy = SteamCopyOf(clean, zeroHour, search)) {
        std::string steam = search.registry("HKCU", "Software\\Valve\\Steam", "SteamExe").value_or("");
        std::replace(steam.begin(), steam.end(), '/', '\\');
        if (steam.empty() || !IsRegularFile(steam)) steam = JoinPath(copy->steam.root, "steam.exe");
        if (!IsRegularFile(steam)) {
            return {std::nullopt, "Steam is not installed (no steam.exe was found). The game in " + clean +
                                      " is Steam's, and Tavrel starts it through Steam."};
        }
        GameLaunch launch{steam, {"-applaunch", copy->appId}, clean, {}};
        launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
        return {launch, {}};
    }
    return {GameLaunch{program, arguments, clean, {}}, {}};
}

Status StartProgram(const GameLaunch& launch) {
    std::wstring command = QuotedArgument(Wide(launch.program));
    for (const std::string& argument : launch.arguments) command += L" " + QuotedArgument(Wide(argument));
    // The environment block: ours, with the launch's names set over it.
    std::wstring block;
    if (!launch.environment.empty()) {
        wchar_t* ours = ::GetEnvironmentStringsW();
        for (const wchar_t* e = ours; e && *e; e += ::wcslen(e) + 1) {
            const std::wstring entry = e;
            const bool replaced = std::any_of(launch.environment.begin(), launch.environment.end(), [&](const auto& v) {
                const std::wstring name = Wide(v.first) + L"=";
                return ::_wcsnicmp(entry.c_str(), name.c_str(), name.size()) == 0;
            });
            if (!replaced) block += entry + L'\0';
        }
        if (ours) ::FreeEnvironmentStringsW(ours);
        for (const auto& [name, value] : launch.environment) block += Wide(name) + L"=" + Wide(value) + L'\0';
        block += L'\0';
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const std::wstring program = Wide(launch.program), folder = Wide(launch.folder);
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                          block.empty() ? nullptr : block.data(), folder.c_str(), &startup, &process)) {
        return Status::FromError(static_cast<int>(::GetLastError()));
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return Status::Ok();
}

}  // namespace tavrel
