#include "win32/settings_store.h"

#include "win32/text.h"

namespace tavrel {

std::optional<std::string> SettingsStore::read(const std::string& name) const {
    const std::wstring value = Wide(name);
    for (;;) {
        DWORD bytes = 0;
        LSTATUS status = ::RegGetValueW(HKEY_CURRENT_USER, subKey_.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr,
                                        nullptr, &bytes);
        if (status != ERROR_SUCCESS) return std::nullopt;
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = ::RegGetValueW(HKEY_CURRENT_USER, subKey_.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr,
                                text.data(), &bytes);
        if (status == ERROR_MORE_DATA) continue;  // written in between
        if (status != ERROR_SUCCESS) return std::nullopt;
        return Utf8(text.c_str());
    }
}

bool SettingsStore::save(const std::string& name, const std::string& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring data = Wide(value);
    const LSTATUS status =
        ::RegSetValueExW(key, Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::string SettingsStore::location() const { return "HKEY_CURRENT_USER\\" + Utf8(subKey_); }

}  // namespace tavrel
