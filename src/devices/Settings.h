#pragma once
// The per-user settings: which values are kept, in which order, and how loading replays the
// stored device selection. The store itself (registry, INI file, a map in tests) sits behind a
// small key/value interface so that this logic runs without any GUI library.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/Context.h"

namespace tavrin {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // False when the key could not be opened: loading keeps the defaults, saving writes nothing.
    virtual bool isOpen() const { return true; }
    // Empty when the value is missing or does not hold a number.
    virtual std::optional<int32_t> readInt(const std::string& name) = 0;
    virtual std::optional<std::string> readString(const std::string& name) = 0;
    virtual void writeInt(const std::string& name, int32_t value) = 0;
    virtual void writeString(const std::string& name, const std::string& value) = 0;
};

// A store in memory that remembers the order of writes.
class MemorySettingsStore : public SettingsStore {
  public:
    using Value = std::variant<int32_t, std::string>;
    std::optional<int32_t> readInt(const std::string& name) override;
    std::optional<std::string> readString(const std::string& name) override;
    void writeInt(const std::string& name, int32_t value) override;
    void writeString(const std::string& name, const std::string& value) override;
    bool isOpen() const override { return open; }

    bool open = true;
    std::map<std::string, Value> values;
    std::vector<std::string> writeOrder;
};

// The value names, in the order they are written.
inline constexpr std::array<const char*, 12> kSettingNames = {
    "PORT",         "ERASE",        "CHECKSUM",    "DEVICE",     "FILES",    "Epr_eep",
    "Epr_DeviceID", "Epr_Skip0xFF", "Epr_fastPro", "Epr_tavrin", "Epr_sequ", "mcs51_ModeLock"};
// Values of the production options, written after those above so that stored settings keep
// their meaning.
inline constexpr std::array<const char*, 3> kProductionSettingNames = {
    "Epr_IdCheck", "Epr_DiffWrite", "Epr_DipConfirmed"};
// The port backend ("sim", "ppdev", "io"), kept beside "PORT" so that the stored LPT index keeps
// its meaning.
inline constexpr const char* kPortBackendName = "PORT_DRIVER";

// States of the window controls the settings fill; the start-up defaults are those of a first run.
struct SettingsControls {
    int port = 0;       // cbPort item: 0 LPT1, 1 LPT2, 2 LPT3, 3 blank
    int fastErase = 1;  // cbFastErase item: 0 "Off", 1 "On"
    int checkType = 0;  // cbCheckType item: 0 "16 Bit Addition", 1 "32 Bit CRC"
    std::string files;  // initial folder of the file dialogs
    std::string portBackend;  // empty: not stored
};

struct SettingsHooks {
    // Runs the selection handler named `handler` as if the menu entry with Tag `deviceId` was
    // chosen.
    std::function<void(Context&, const std::string& handler, int32_t deviceId)> replay;
    // Shows the DIP pattern of `dip` and refreshes the window.
    std::function<void(Context&, int32_t dip)> showPattern;
};

// The selection handler that the settings replay runs for a family code; nullptr for codes that
// have none.
const char* ReplayHandler(int32_t eep);

void LoadSettings(Context& ctx, SettingsStore& store, SettingsControls& controls,
                  const SettingsHooks& hooks);
void SaveSettings(const Context& ctx, SettingsStore& store, const SettingsControls& controls);

}  // namespace tavrin
