// Functions of Windows' larger libraries (the common dialogs, the shell,
// COM), loaded from System32 the first time they are wanted rather than at
// start-up: most runs never open a dialog, and start-up stays as quick and
// small as a bare window's.
#pragma once

#include <windows.h>

namespace tavrel {

// `name` in the system library `dll`, as a pointer of type F; nothing when
// either cannot be had.
template <typename F>
F* SystemFunction(const wchar_t* dll, const char* name) {
    HMODULE module = ::GetModuleHandleW(dll);
    if (!module) module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? reinterpret_cast<F*>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

}  // namespace tavrel
