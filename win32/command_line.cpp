#include "win32/command_line.h"

#include <windows.h>

#include <getopt.h>
#include <shellapi.h>

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "win32/settings_store.h"
#include "win32/system_library.h"
#include "win32/text.h"

namespace tavrel {
namespace {

// A standard handle of this program, or of the console it shares with the
// program that started it. A program of the window subsystem has standard
// handles only when they were redirected; otherwise it borrows the parent's
// console, if there is one.
HANDLE StandardHandle(DWORD which) {
    HANDLE handle = ::GetStdHandle(which);
    if (handle && handle != INVALID_HANDLE_VALUE) return handle;
    static const bool attached = ::AttachConsole(ATTACH_PARENT_PROCESS) != 0;
    if (!attached) return nullptr;
    handle = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

// Writes UTF-8 to a handle: as UTF-16 to a console, as bytes to a file or
// pipe; a message at a time (every flush), so that no character is split.
class HandleBuffer : public std::streambuf {
public:
    explicit HandleBuffer(DWORD which) : handle_(StandardHandle(which)) {}
    ~HandleBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) pending_.push_back(static_cast<char>(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        return count;
    }
    int sync() override {
        if (pending_.empty() || !handle_) {
            pending_.clear();
            return 0;
        }
        DWORD mode = 0, written = 0;
        if (::GetConsoleMode(handle_, &mode)) {
            const std::wstring wide = Wide(pending_);
            ::WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        } else {
            ::WriteFile(handle_, pending_.data(), static_cast<DWORD>(pending_.size()), &written, nullptr);
        }
        pending_.clear();
        return 0;
    }

private:
    HANDLE handle_;
    std::string pending_;
};

// The arguments, UTF-8, with the program's name first.
std::vector<std::string> Arguments() {
    std::vector<std::string> arguments;
    const auto split = SystemFunction<decltype(::CommandLineToArgvW)>(L"shell32.dll", "CommandLineToArgvW");
    int count = 0;
    LPWSTR* wide = split ? split(::GetCommandLineW(), &count) : nullptr;
    if (!wide) return arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

// getopt_long over the option table; its own complaints are put in GNU's words.
CommandLine Parse(std::vector<std::string> arguments) {
    const auto options = CommandLineOptions();
    std::vector<std::string> names;
    for (const CommandOption& entry : options) names.emplace_back(entry.name);
    std::vector<option> table;
    for (std::size_t i = 0; i < options.size(); ++i) {
        table.push_back({names[i].c_str(), options[i].takesValue ? required_argument : no_argument, nullptr,
                         static_cast<int>(1000 + i)});
    }
    table.push_back({nullptr, 0, nullptr, 0});

    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(arguments.size());

    CommandLine commandLine;
    opterr = 0;  // complaints are made below
    optind = 1;
    int found;
    while ((found = getopt_long(argc, argv.data(), ":", table.data(), nullptr)) != -1) {
        const std::string last = optind > 0 && optind <= argc ? argv[optind - 1] : "";
        if (found == ':') {
            commandLine.parseError = "option '" + last + "' requires an argument";
        } else if (found == '?') {
            commandLine.parseError = "unrecognized option '" + last + "'";
        } else {
            const std::size_t index = static_cast<std::size_t>(found - 1000);
            commandLine.set(options[index].name, optarg ? optarg : "");
            continue;
        }
        break;
    }
    for (int i = optind; i < argc; ++i) commandLine.arguments.push_back(argv[static_cast<std::size_t>(i)]);
    return commandLine;
}

}  // namespace

bool HasArguments(const wchar_t* commandLine) {
    while (*commandLine == L' ' || *commandLine == L'\t') ++commandLine;
    return *commandLine != 0;
}

std::optional<int> RunCommandLine(StartWith& start) {
    const CommandLine commandLine = Parse(Arguments());
    if (const std::optional<StartWith> window = WindowStartOf(commandLine)) {
        start = *window;
        return std::nullopt;
    }
    HandleBuffer outBuffer(STD_OUTPUT_HANDLE), errBuffer(STD_ERROR_HANDLE);
    std::ostream out(&outBuffer), err(&errBuffer);
    SettingsStore settings;
    const ConsoleSystem system{[&settings](const std::string& key) { return settings.read(key); },
                               SystemEnvironment()};
    const int status = RunCommandLine(commandLine, system, out, err);
    out.flush();
    err.flush();
    return status;
}

}  // namespace tavrel
