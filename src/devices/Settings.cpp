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

const char* ReplayHandler(int32_t eep) {
    switch (eep) {
        case 0:
            return "M27C_Click";
        case 1:
        case 2:
            return "M24C_Click";
        case 3:
            return "M28F_Click";
        case 4:
        case 12:
        case 27:
            return "M29F_Click";
        case 5:
            return "M28C_Click";
        case 6:
            return "M25C_Click";
        case 7:
            return "AT28Cxxx_Click";
        case 8:
            return "M93C_Click";
        case 9:
        case 22:
            return "AT29C_Click";
        case 10:
            return "muMCS51_Click";
        case 11:
            return "AT89Cx051_Click";
        case 13:
            return "M27_Click";
        case 14:
            return "AVR_Click";
        case 15:
            return "Am29Fx00_Click";
        case 16:
        case 17:
        case 18:
            return "M12C_Click";
        case 19:
            return "i28Fx00_Click";
        case 20:
            return "DS12XX_Click";
        case 21:
            return "SRAM_Click";
        case 23:
            return "AT49F00x_Click";
        case 24:
            return "M27E_Click";
        case 25:
        case 26:
            return "SST28xF040A1Click";
        case 28:
        case 29:
            return "D8748_Click";
        case 30:
            return "MX26C10001Click";
        case 31:
            return "MX28F20001Click";
        default:
            return nullptr;
    }
}

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
        // A family code this program does not know (another version, a hand edit) keeps the
        // start-up device rather than a family number nothing can serve.
        const std::optional<int32_t> eep = store.readInt("Epr_eep");
        if (!eep || ReplayHandler(*eep)) {
            if (eep) p.eep = *eep;
            if (auto v = store.readInt("Epr_DeviceID")) p.DeviceID = *v;
            if (const char* handler = ReplayHandler(p.eep); handler && hooks.replay)
                hooks.replay(ctx, handler, p.DeviceID);
        }

        // The stored option states win over what the replayed handler set.
        if (auto v = store.readString("DEVICE")) ctx.controls.edDevice = *v;
        if (auto v = store.readInt("Epr_Skip0xFF")) p.skipFF = *v != 0;
        if (auto v = store.readInt("Epr_fastPro")) p.fastPro = *v != 0;
        if (auto v = store.readInt("Epr_tavrin")) p.tavrin = *v;
        if (auto v = store.readInt("Epr_sequ")) p.sequ = *v != 0;
        if (auto v = store.readInt("mcs51_ModeLock")) ctx.mcs51.LockBit = *v;
        if (auto v = store.readInt("Epr_IdCheck")) p.idCheck = *v != 0;
        if (auto v = store.readInt("Epr_DiffWrite")) p.diffWrite = *v != 0;
        if (auto v = store.readString("Epr_DipConfirmed")) p.dipConfirmed = *v;
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
    store.writeInt("mcs51_ModeLock", ctx.mcs51.LockBit);
    store.writeInt("Epr_IdCheck", p.idCheck);
    store.writeInt("Epr_DiffWrite", p.diffWrite);
    store.writeString("Epr_DipConfirmed", p.dipConfirmed);
    if (!controls.portBackend.empty()) store.writeString(kPortBackendName, controls.portBackend);
}

}  // namespace tavrin
