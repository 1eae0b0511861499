#include "qt/settings_store.h"

#include <QSettings>

namespace tavrel {
namespace {

const QString kSection = QStringLiteral("Settings/");

}  // namespace

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("TVL"),
                                            QStringLiteral("TVL"))) {}

SettingsStore::SettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

std::optional<std::string> SettingsStore::read(const QString& key) const {
    settings_->sync();  // another running copy may have written meanwhile
    if (!settings_->contains(kSection + key)) return std::nullopt;
    return settings_->value(kSection + key).toString().toStdString();
}

bool SettingsStore::save(const QString& key, const QString& value) {
    settings_->setValue(kSection + key, value);
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

QString SettingsStore::location() const { return settings_->fileName(); }

}  // namespace tavrel
