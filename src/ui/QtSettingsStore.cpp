#include "ui/QtSettingsStore.h"

namespace tavrin::ui {

QtSettingsStore::QtSettingsStore() : settings_("Tavrin", "Eprom") {}

bool QtSettingsStore::isOpen() const {
    return settings_.status() != QSettings::AccessError;
}

std::optional<int32_t> QtSettingsStore::readInt(const std::string& name) {
    const QString key = QString::fromStdString(name);
    if (!settings_.contains(key)) return std::nullopt;
    bool ok = false;
    const int v = settings_.value(key).toInt(&ok);
    if (!ok) return std::nullopt;
    return v;
}

std::optional<std::string> QtSettingsStore::readString(const std::string& name) {
    const QString key = QString::fromStdString(name);
    if (!settings_.contains(key)) return std::nullopt;
    return settings_.value(key).toString().toStdString();
}

void QtSettingsStore::writeInt(const std::string& name, int32_t value) {
    settings_.setValue(QString::fromStdString(name), int(value));
}

void QtSettingsStore::writeString(const std::string& name, const std::string& value) {
    settings_.setValue(QString::fromStdString(name), QString::fromStdString(value));
}

}  // namespace tavrin::ui
