#include "devices/Settings.h"

#include "core/ImageBuffer.h"
#include "core/ProfileOperations.h"

namespace tavrin {

std::optional<int32_t> MemorySettingsStore::readInt(const std::string& name) {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    if (auto* v = std::get_if<int32_t>(&it->second)) return *v;
    // An INI file gives every value back as text; a number in text counts as a number.
    const std::string& text = std::get<std::string>(it->second);
    try {
        size_t used = 0;
        const long n = std::stol(text, &used, 10);
        if (used == text.size()) return static_cast<int32_t>(n);
    } catch (...) {
    }
    return std::nullopt;
}

std::optional<std::string> MemorySettingsStore::readString(const std::string& name) {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    if (auto* v = std::get_if<std::string>(&it->second)) return *v;
    return std::to_string(std::get<int32_t>(it->second));
}

void MemorySettingsStore::writeInt(const std::string& name, int32_t value) {
    values[name] = value;
    writeOrder.push_back(name);
}

void MemorySettingsStore::writeString(const std::string& name, const std::string& value) {
    values[name] = value;
    writeOrder.push_back(name);
}

namespace {

// A stored item index outside its combo box would leave the box without a selection; such a value
// is skipped like a missing one.
std::optional<int32_t> readItem(SettingsStore& store, const char* name, int32_t items) {
    auto v = store.readInt(name);
    if (v && (*v < 0 || *v >= items)) return std::nullopt;
    return v;
}

}  // namespace

void LoadSettings(Context& ctx, SettingsStore& store, SettingsControls& controls,
                  const SettingsHooks& hooks) {
    DeviceProfile& p = ctx.profile;
    if (store.isOpen()) {
        if (auto v = readItem(store, "PORT", 4)) {
            controls.port = *v;
            ctx.bus.cbPortChange(*v);
        }
        if (auto v = readItem(store, "ERASE", 2)) {
            controls.fastErase = *v;
            p.fastErase = *v;
        }
        if (auto v = readItem(store, "CHECKSUM", 2)) {
            controls.checkType = *v;
            p.checkType = *v;
        }
        if (auto v = store.readString("FILES")) controls.files = *v;
        if (auto v = store.readString(kPortBackendName)) controls.portBackend = *v;
        if (auto v = store.readInt("Epr_eep")) p.eep = *v;
        if (auto v = store.readInt("Epr_DeviceID")) p.DeviceID = *v;

        if (hooks.replay) hooks.replay(ctx, p.eep, p.DeviceID);

        // The stored option states win over what the replayed handler set.
        if (auto v = store.readString("DEVICE")) ctx.controls.edDevice = *v;
        if (auto v = store.readInt("Epr_Skip0xFF")) p.skipFF = *v != 0;
        if (auto v = store.readInt("Epr_fastPro")) p.fastPro = *v != 0;
        if (auto v = store.readInt("Epr_tavrin")) p.tavrin = *v;
        if (auto v = store.readInt("Epr_sequ")) p.sequ = *v != 0;
        if (auto v = store.readInt("mcs51_ModeLock")) controls.mcs51LockMode = *v;
    }
    SetBufferSize(ctx, p.bufferSize);
    UpdateShift(p);
    if (hooks.showPattern) hooks.showPattern(ctx, p.DIP);
    ClearBuf(ctx, 1);
}

void SaveSettings(const Context& ctx, SettingsStore& store, const SettingsControls& controls) {
    if (!store.isOpen()) return;
    const DeviceProfile& p = ctx.profile;
    store.writeInt("PORT", controls.port);
    store.writeInt("ERASE", controls.fastErase);
    store.writeInt("CHECKSUM", controls.checkType);
    store.writeString("DEVICE", ctx.controls.edDevice);
    store.writeString("FILES", controls.files);
    store.writeInt("Epr_eep", p.eep);
    store.writeInt("Epr_DeviceID", p.DeviceID);
    store.writeInt("Epr_Skip0xFF", p.skipFF);
    store.writeInt("Epr_fastPro", p.fastPro);
    store.writeInt("Epr_tavrin", p.tavrin);
    store.writeInt("Epr_sequ", p.sequ);
    store.writeInt("mcs51_ModeLock", controls.mcs51LockMode);
    if (!controls.portBackend.empty()) store.writeString(kPortBackendName, controls.portBackend);
}

}  // namespace tavrin
