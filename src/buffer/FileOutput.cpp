#include "buffer/FileOutput.h"

#include <algorithm>

namespace tavrin {

SaveBlock ClampedBlock(int64_t first, int64_t count) {
    const int64_t size = kBufferBytes;
    first = std::clamp<int64_t>(first, 0, size);
    count = std::clamp<int64_t>(count, 0, size - first);
    return {static_cast<uint32_t>(first), static_cast<uint32_t>(count)};
}

std::vector<SaveBlock> HexSaveBlocks(const DeviceProfile& p) {
    const int64_t programBytes = 2 * int64_t(p.bufferSize);
    if (p.eep == 16 || p.eep == 17)
        return {ClampedBlock(0, programBytes), ClampedBlock(2 * int64_t(p.picIdBase), 16),
                ClampedBlock(0x4200, 2 * int64_t(p.picDataBytes))};
    if (p.eep == 18)
        return {ClampedBlock(0, programBytes), ClampedBlock(2 * int64_t(p.picIdBase), 8),
                ClampedBlock(2 * int64_t(p.picCfgIndex), 2)};
    return {ClampedBlock(0, p.bufferSize)};
}

SaveBlock EepSaveBlock(const DeviceProfile& p) {
    return ClampedBlock(p.avrEepromBase, p.avrEepromSize);
}

std::vector<SaveBlock> SRecordSaveBlocks(const DeviceProfile& p) {
    // Every data EEPROM byte the part has (up to 256 on the 16F87x); the 12-bit parts keep
    // their identifier and configuration words right after the program and at word 4095.
    if (p.PIC && p.eep == 18) return HexSaveBlocks(p);
    if (p.PIC)
        // Both bytes of the configuration word: its low byte alone would lose the upper bits.
        return {ClampedBlock(0, 2 * int64_t(p.bufferSize)), ClampedBlock(0x400E, 2),
                ClampedBlock(0x4200, 2 * int64_t(p.picDataBytes))};
    return {ClampedBlock(0, p.bufferSize)};
}

SaveBlock BinarySaveBlock(const DeviceProfile& p) {
    return ClampedBlock(0, p.PIC ? 2 * int64_t(p.bufferSize) : int64_t(p.bufferSize));
}

bool WriteWholeFile(Context& ctx, const std::string& path,
                    const std::function<bool(AtomicFile&)>& produce) {
    AtomicFile file;
    if (!file.open(path)) {
        ctx.bus.ReportError("Error opening file");
        return false;
    }
    if (!produce(file) || !file.commit()) {
        file.discard();
        ctx.bus.ReportError("Error writing file");
        return false;
    }
    return true;
}

}  // namespace tavrin
