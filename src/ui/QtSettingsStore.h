#pragma once
// The settings store on QSettings: organisation "Tavrin", application "Eprom" (the registry key
// Software\Tavrin\Eprom on Windows, ~/.config/Tavrin/Eprom.conf elsewhere).

#include <QSettings>

#include "devices/Settings.h"

namespace tavrin::ui {

class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore();
    bool isOpen() const override;
    std::optional<int32_t> readInt(const std::string& name) override;
    std::optional<std::string> readString(const std::string& name) override;
    void writeInt(const std::string& name, int32_t value) override;
    void writeString(const std::string& name, const std::string& value) override;
    void sync() { settings_.sync(); }

  private:
    QSettings settings_;
};

}  // namespace tavrin::ui
