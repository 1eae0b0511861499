// The registry, the user's home and starting a program, on Windows.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "support/platform.h"
#include "support/system_library_win.h"
#include "support/system.h"
#include "support/wide_text_win.h"

namespace tavrel {
namespace {

std::optional<std::string> ReadRegistryText(HKEY root, const std::string& key, const std::string& value, DWORD view) {
    DWORD bytes = 0;
    const std::wstring wideKey = Wide(key), wideValue = Wide(value);
    const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | view;
    if (::RegGetValueW(root, wideKey.c_str(), wideValue.c_str(), flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS ||
        bytes < sizeof(wchar_t)) {
        return std::nullopt;
    }
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(root, wideKey.c_str(), wideValue.c_str(), flags, nullptr, text.data(), &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(bytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return Utf8(text);
}

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

// The arguments as they follow a program's name on a command line: each
// quoted as it needs, a space before each.
std::wstring SpacedArguments(const std::vector<std::string>& arguments) {
    std::wstring out;
    for (const std::string& argument : arguments) out += L" " + QuotedArgument(Wide(argument));
    return out;
}

// The environment block: ours, with the launch's names set over it; empty
// when the launch sets none.
std::wstring EnvironmentBlock(const ProgramLaunch& launch) {
    std::wstring block;
    if (launch.environment.empty()) return block;
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
    return block + L'\0';
}

}  // namespace

std::string HomeFolder(const EnvLookup& env) { return env("USERPROFILE").value_or(""); }

RegistryLookup SystemRegistry() {
    return [](const std::string& root, const std::string& key, const std::string& value) -> std::optional<std::string> {
        if (root == "HKCU") return ReadRegistryText(HKEY_CURRENT_USER, key, value, 0);
        if (root != "HKLM") return std::nullopt;
        // The game's installer is a 32-bit program: its record may be in
        // either view of the machine's registry.
        if (auto found = ReadRegistryText(HKEY_LOCAL_MACHINE, key, value, RRF_SUBKEY_WOW6432KEY)) return found;
        return ReadRegistryText(HKEY_LOCAL_MACHINE, key, value, RRF_SUBKEY_WOW6464KEY);
    };
}

bool IsRunnable(const std::string& path) { return IsRegularFile(path); }

Status StartProgram(const ProgramLaunch& launch) {
    std::wstring command = QuotedArgument(Wide(launch.program)) + SpacedArguments(launch.arguments);
    std::wstring block = EnvironmentBlock(launch);
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

std::string OwnProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return Utf8(path);
        }
        path.resize(path.size() * 2);
    }
}

bool CanAskForAdministrator() { return true; }

Status StartAsAdministrator(const ProgramLaunch& launch, bool& declined) {
    declined = false;
    const std::wstring parameters = SpacedArguments(launch.arguments).substr(launch.arguments.empty() ? 0 : 1);
    const std::wstring program = Wide(launch.program), folder = Wide(launch.folder);
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    // Returns once the program has started (or the user said no), not
    // while a helper thread still starts it.
    run.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    run.lpVerb = L"runas";
    run.lpFile = program.c_str();
    run.lpParameters = parameters.c_str();
    run.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    run.nShow = SW_SHOWNORMAL;
    // The shell is loaded only now: a start never pays for it.
    const auto execute = SystemFunction<decltype(::ShellExecuteExW)>(L"shell32.dll", "ShellExecuteExW");
    if (!execute) return Status::FromError(static_cast<int>(::GetLastError()));
    if (execute(&run)) return Status::Ok();
    const DWORD error = ::GetLastError();
    declined = error == ERROR_CANCELLED;
    return Status::FromError(static_cast<int>(error));
}

}  // namespace tavrel
