// A stand-in for the game's program: writes its working folder and its
// arguments, one a line in UTF-8, to played.txt in its working folder, and
// ends. The file takes its name once it is whole. A window program, as the
// game is: no console comes with it.
#include <windows.h>

#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv) return 1;
    std::wstring text(MAX_PATH * 4, L'\0');
    text.resize(::GetCurrentDirectoryW(static_cast<DWORD>(text.size()), text.data()));
    text += L"\n";
    for (int i = 1; i < argc; ++i) text += std::wstring(argv[i]) + L"\n";
    std::string bytes(static_cast<std::size_t>(text.size()) * 4, '\0');
    bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                                bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                                nullptr)));
    const HANDLE file = ::CreateFileW(L"played.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && ::MoveFileExW(L"played.tmp", L"played.txt", MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
