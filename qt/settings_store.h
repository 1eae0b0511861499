// The per-user settings store: application "TVL", section "Settings", in
// $XDG_CONFIG_HOME/TVL/TVL.conf (default ~/.config/TVL/TVL.conf), group
// [Settings].
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>

class QSettings;

namespace tavrel {

class SettingsStore {
public:
    SettingsStore();                               // the platform's per-user store
    explicit SettingsStore(const QString& iniFile);  // a given file (tests)
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text; nothing when the key is missing.
    std::optional<std::string> read(const QString& key) const;
    // Creates or replaces the value; false when it could not be written.
    bool save(const QString& key, const QString& value);

    QString location() const;

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace tavrel
