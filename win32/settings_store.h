// The per-user settings store: application "TVL", section "Settings", as
// text values under HKEY_CURRENT_USER\Software\VB and VBA Program Settings.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tavrel {

class SettingsStore {
public:
    // `subKey` under HKEY_CURRENT_USER.
    explicit SettingsStore(std::wstring subKey = L"Software\\VB and VBA Program Settings\\TVL\\Settings")
        : subKey_(std::move(subKey)) {}

    // The stored text; nothing when the value is missing or not text.
    std::optional<std::string> read(const std::string& name) const;
    // Creates or replaces the value as text; false when it could not be written.
    bool save(const std::string& name, const std::string& value);

    // The key's full name, as the registry editor shows it.
    std::string location() const;

private:
    std::wstring subKey_;
};

}  // namespace tavrel
