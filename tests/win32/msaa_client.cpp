// Reads a window of another program as a screen reader does, through MSAA,
// for the end-to-end tests of tavrel.exe:
//
//   msaa_client TITLE list          each control of the window, as its
//                                    accessible object: role number, name
//                                    and default action, tab-separated, one
//                                    a line
//   msaa_client TITLE press NAME    runs the default action of the child
//                                    named NAME
//
// Waits up to 30 seconds for a visible window titled TITLE; exit status 1
// when there is none, or no child of that name.
#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr,
                          nullptr);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

std::wstring Take(BSTR text) {
    std::wstring out = text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
    ::SysFreeString(text);
    return out;
}

struct Child {
    IAccessible* object;
    VARIANT id;
};

}  // namespace

// (The interface's id by __uuidof: oleacc's import library also has a symbol
// IID_IAccessible, a jump to the DLL's, which is no id.)
int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    ::CoInitialize(nullptr);
    HWND window = nullptr;
    for (int i = 0; i < 300 && !window; ++i) {
        window = ::FindWindowW(nullptr, argv[1]);
        if (window && !::IsWindowVisible(window)) window = nullptr;
        if (!window) ::Sleep(100);
    }
    if (!window) return 1;

    // Each control's own object, as a screen reader reaches it: the window
    // object of the child window holds the control's client object, which
    // the control serves itself (WM_GETOBJECT).
    std::vector<HWND> controls;
    ::EnumChildWindows(window, [](HWND child, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&controls));
    std::vector<Child> children;
    for (HWND control : controls) {
        IAccessible* object = nullptr;
        if (FAILED(::AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&object)))) {
            continue;
        }
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        children.push_back({object, self});
    }

    const std::wstring command = argv[2];
    if (command == L"window") {  // the window's own object: role and description
        IAccessible* object = nullptr;
        if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&object)))) {
            return 1;
        }
        VARIANT self, role;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        ::VariantInit(&role);
        BSTR description = nullptr;
        object->get_accRole(self, &role);
        object->get_accDescription(self, &description);
        Print(std::to_wstring(role.vt == VT_I4 ? role.lVal : 0) + L"\t" + Take(description) + L"\n");
        return 0;
    }
    for (Child& child : children) {
        BSTR name = nullptr, action = nullptr, shortcut = nullptr;
        VARIANT role, state;
        ::VariantInit(&role);
        ::VariantInit(&state);
        child.object->get_accName(child.id, &name);
        child.object->get_accRole(child.id, &role);
        child.object->get_accDefaultAction(child.id, &action);
        child.object->get_accKeyboardShortcut(child.id, &shortcut);
        child.object->get_accState(child.id, &state);
        const std::wstring text = Take(name);
        if (command == L"list") {  // what a screen reader shows: role, name, action, shortcut
            if (state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_INVISIBLE)) {
                ::SysFreeString(action);
                ::SysFreeString(shortcut);
                continue;
            }
            Print(std::to_wstring(role.vt == VT_I4 ? role.lVal : 0) + L"\t" + text + L"\t" + Take(action) + L"\t" +
                  Take(shortcut) + L"\n");
        } else if (command == L"press" && argc > 3 && text == argv[3]) {
            ::SysFreeString(action);
            ::SysFreeString(shortcut);
            return SUCCEEDED(child.object->accDoDefaultAction(child.id)) ? 0 : 1;
        } else {
            ::SysFreeString(action);
            ::SysFreeString(shortcut);
        }
    }
    return command == L"list" ? 0 : 1;
}
