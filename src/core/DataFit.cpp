#include "core/DataFit.h"

#include <algorithm>

#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int32_t kAvrFamily = 14;
constexpr int32_t kSramTest = 21;  // its Program is a RAM test: no data of the file is written
// The 14-bit configuration block 0x2000-0x2007: identifiers, reserved words, the device ID a read
// saves and the configuration word. Nothing there is data that was left out.
constexpr int64_t kPicCfgWord = 0x2007;

bool within(int64_t at, int64_t first, int64_t count) {
    return at >= first && at < first + count;
}

// PIC words the file set outside program memory, identifiers, configuration and data EEPROM.
uint64_t picWordsLeftOut(const Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    const int64_t words =
        std::min<int64_t>((int64_t(p.bufferLoaded) + 1) / 2, ctx.Buffer.size() / 2);
    uint64_t out = 0;
    for (int64_t w = 0; w < words; ++w) {
        if (within(w, 0, p.picProgWords) || within(w, p.picIdBase, p.picIdCount) ||
            w == p.picCfgIndex || within(w, 0x2100, p.picDataBytes) ||
            (p.picCfgIndex == kPicCfgWord && within(w, kPicCfgWord - 7, 8)))
            continue;
        const uint16_t v =
            uint16_t(ctx.Buffer[size_t(2 * w)] | (ctx.Buffer[size_t(2 * w + 1)] << 8));
        // Erased cells after a load: 0x3FFF (14-bit), 0x0FFF (12-bit), 0xFFFF above the masked
        // range, 0x0000 where the clear leaves zeros.
        if (v != 0x3FFF && v != 0x0FFF && v != 0xFFFF && v != 0x0000) ++out;
    }
    return out;
}

// The 64 KB of the image that an EEP file's addresses reach and a flash load refills.
constexpr int64_t kAvrEepromWindow = 65536;

// AVR bytes the files set outside flash and the EEPROM: a flash file's past the flash, an EEP
// file's past the part's EEPROM.
uint64_t avrBytesLeftOut(const Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    const int64_t size = int64_t(ctx.Buffer.size());
    const int64_t bytes = std::min<int64_t>(int64_t(p.bufferLoaded) + 1, size);
    uint64_t out = 0;
    if (p.bufferLoaded != 0)
        for (int64_t i = 0; i < bytes; ++i)
            if (!within(i, 0, p.avrFlashSize) && !within(i, p.avrEepromBase, kAvrEepromWindow) &&
                ctx.Buffer[size_t(i)] != 0xFF)
                ++out;
    const int64_t end = std::min<int64_t>(int64_t(p.avrEepromBase) + kAvrEepromWindow, size);
    for (int64_t i = int64_t(p.avrEepromBase) + std::max(0, p.avrEepromSize); i < end; ++i)
        if (ctx.Buffer[size_t(i)] != 0xFF) ++out;
    return out;
}

const char* verb(Command command) {
    return command == Command::Verify ? "verify" : "program";
}

}  // namespace

DataFit CheckDataFit(const Context& ctx, Command command) {
    const DeviceProfile& p = ctx.profile;
    DataFit fit;
    fit.unit = p.PIC ? "words" : "bytes";
    if (p.deviceSize <= 0) return fit;
    const bool usesOffset = command == Command::Read || command == Command::Program ||
                            command == Command::Verify || command == Command::Blank;
    if (usesOffset && p.Offset != 0 && p.Offset >= uint32_t(p.deviceSize)) {
        fit.kind = DataFit::Kind::OffsetPastEnd;
        return fit;
    }
    const bool avrEepromAlone = p.eep == kAvrFamily && p.avrEepromLoaded != 0;
    if ((command != Command::Program && command != Command::Verify) ||
        (p.bufferLoaded == 0 && !avrEepromAlone) || p.eep == kSramTest)
        return fit;
    if (p.PIC)
        fit.leftOut = picWordsLeftOut(ctx);
    else if (p.eep == kAvrFamily)
        fit.leftOut = avrBytesLeftOut(ctx);
    else if (uint64_t(p.bufferLoaded) + p.Offset > uint64_t(p.deviceSize))
        fit.leftOut = uint64_t(p.bufferLoaded) + p.Offset - uint64_t(p.deviceSize);
    if (fit.leftOut > 0) fit.kind = DataFit::Kind::LeftOut;
    return fit;
}

std::string OffsetPastEndText(const DeviceProfile& p) {
    return Format("Offset 0x%06X is past the end of the device (0x%06X bytes)", p.Offset,
                  unsigned(p.deviceSize));
}

std::string DataLeftOutQuestion(const Context& ctx, Command command, const DataFit& fit) {
    const DeviceProfile& p = ctx.profile;
    std::string where =
        p.PIC || p.eep == kAvrFamily
            ? "lie outside the areas of the " + ctx.controls.edDevice
            : "do not fit the " + ctx.controls.edDevice +
                  (p.Offset ? Format(" from offset 0x%06X", p.Offset) : std::string());
    return Format("%llu %s of the data ", static_cast<unsigned long long>(fit.leftOut),
                  fit.unit.c_str()) +
           where + ". " + (command == Command::Verify ? "Verify" : "Program") +
           " only the part that fits and leave them out?";
}

bool ConfirmDataFit(Context& ctx, Command command) {
    const DataFit fit = CheckDataFit(ctx, command);
    switch (fit.kind) {
        case DataFit::Kind::Fits:
            return true;
        case DataFit::Kind::OffsetPastEnd:
            Message(ctx, OffsetPastEndText(ctx.profile), MessageKind::Error);
            return false;
        case DataFit::Kind::LeftOut:
            if (ctx.ui().confirmTruncation(DataLeftOutQuestion(ctx, command, fit))) return true;
            Message(ctx, Format("Nothing to %s: the data does not fit the device", verb(command)),
                    MessageKind::Error);
            return false;
    }
    return true;
}

}  // namespace tavrin
