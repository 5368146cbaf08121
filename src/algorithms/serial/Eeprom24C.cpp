#include "algorithms/serial/Eeprom24C.h"

#include "algorithms/parallel/ParallelCommon.h"
#include "algorithms/serial/I2cBus.h"
#include "algorithms/serial/SerialPowerDown.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

// The 24C01 without suffix (Tags up to 200) has no device code: its first byte is the word
// address and the read/write bit.
bool noDeviceCode(const DeviceProfile& p) {
    return p.DeviceID <= 200;
}

constexpr int kMaxPolls = 10;
constexpr int32_t kPollWait = 1194;  // 1.0 ms between acknowledge polls

// WP (pin 7) follows pin7: the strobe bit cleared lifts the line.
void setWriteProtect(Context& ctx) {
    ctx.bus.SetLine(Line::StrobeLine, ctx.profile.pin7 ? 0 : 1);
}

void busIdleHigh(Bus& bus) {
    bus.SetLine(Line::ShiftClock, 1);  // SDA released
    bus.SetLine(Line::ShiftData, 1);   // SCL high
    bus.WriteData();
}

// Program and Read: data-out mode first, then the bus lines, WP and Vcc.
void powerUp(Context& ctx, int32_t settle) {
    Bus& bus = ctx.bus;
    bus.Drive(Line::DataOutLine, 1);
    busIdleHigh(bus);
    setWriteProtect(ctx);
    bus.WriteControl();
    bus.Drive(Line::VccLine, 1);
    bus.Delay(settle);
}

// Verify switches to data-out mode after Vcc.
void powerUpForVerify(Context& ctx) {
    Bus& bus = ctx.bus;
    busIdleHigh(bus);
    setWriteProtect(ctx);
    bus.WriteControl();
    bus.Drive(Line::VccLine, 1);
    bus.Drive(Line::DataOutLine, 1);
    bus.Delay(15000);
}

// Selects the byte at i for a random read: the 24C01 by its read byte, the others by a dummy
// write of the word address followed by a fresh START and the read command. Returns the failure
// text of the step that was not acknowledged, or nullptr.
const char* addressForRead(Context& ctx, uint32_t i, const char* noDevice, const char* noAddress,
                           const char* noRead) {
    Bus& bus = ctx.bus;
    I2cStart(bus);
    if (noDeviceCode(ctx.profile))
        return I2cSendByteAck(bus, uint8_t((2 * i) | 1)) ? nullptr : noRead;
    const uint8_t c = BlockCommand24C(i);
    if (!I2cSendByteAck(bus, c)) return noDevice;
    if (!I2cSendByteAck(bus, uint8_t(i & 0xFF))) return noAddress;
    I2cRestart(bus);
    I2cStart(bus);
    return I2cSendByteAck(bus, uint8_t(c + 1)) ? nullptr : noRead;
}

// The word address of a two-byte-address part: both bytes are sent before either answer counts.
bool sendWordAddress(Bus& bus, uint32_t a) {
    const bool high = I2cSendByteAck(bus, uint8_t(a >> 8));
    const bool low = I2cSendByteAck(bus, uint8_t(a & 0xFF));
    return high && low;
}

void endWithDataOut(Context& ctx, int level) {
    ctx.bus.PowerDown();
    ctx.bus.Drive(Line::DataOutLine, level);
}

const char* const kTooManyRetries = " Too many Retries - would not program";

}  // namespace

uint8_t BlockCommand24C(uint32_t i) {
    return uint8_t(0xA0 + ((i >> 7) & 0x7E));
}

int64_t PageSize24C(const DeviceProfile& p) {
    return p.Ssize > 0 ? p.Ssize : 1;
}

void Read24C8(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    SetProcessGauge(ctx, "Reading Chip", p.bufferSize, GaugeColor::Read);
    powerUp(ctx, 15000);
    for (int64_t i = 0; i < p.bufferSize; ++i) {
        p.verifyError = 1;
        if (const char* failed = addressForRead(ctx, uint32_t(i), "No ACK Write Command",
                                                "No ACK Write Address", "No ACK Read Command")) {
            bus.ReportError(failed);
            break;
        }
        const uint8_t b = I2cReceiveByte(bus);
        I2cLateNack(bus);
        I2cStop(bus);
        ctx.Buffer[size_t(i)] = b;
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            break;
        }
        p.verifyError = 0;
    }
    endWithDataOut(ctx, 0);
    if (p.verifyError == 0) {
        Message(ctx, "Chip read OK", MessageKind::Progress);
        ShowChipImageCaption(ctx);
        p.bufferLoaded = uint32_t(p.bufferSize - 1);
    }
}

void Verify24C8(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "Comparing chip", p.bufferLoaded, GaugeColor::Verify);
    powerUpForVerify(ctx);
    p.verifyError = 0;
    for (int64_t i = 0; i <= last; ++i) {
        if (const char* failed = addressForRead(ctx, uint32_t(i), "No ACK write Command",
                                                "No ACK wirte Address", "No ACK read DATA")) {
            bus.ReportError(failed);
            p.verifyError = 1;
            break;
        }
        const uint8_t b = I2cReceiveByte(bus);
        I2cSendBit(bus, 1);
        I2cStop(bus);
        if (b != ctx.Buffer[size_t(i)]) {
            bus.ReportError(Format("Error at $%4.4x", unsigned(i)));
            p.verifyError = 1;
            break;
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    if (p.verifyError == 0 && p.quietVerify == 0)
        Message(ctx, "Device Compares OK", MessageKind::Success);
    SerialPowerDown(ctx);
}

void Program24C8(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "programming chip", p.bufferLoaded, GaugeColor::Program);
    powerUp(ctx, 20000);
    p.verifyError = 0;
    int polls = 0;
    for (int64_t i = 0; i <= last; ++i) {
        const uint32_t a = uint32_t(i);
        const uint8_t d = ctx.Buffer[size_t(i)];
        if (!ctx.writePlan.writes(i)) {  // a differential write found the byte in place
            if (StepCancelled(ctx, i)) {
                Message(ctx, "program interrupted!", MessageKind::Error);
                p.verifyError = 1;
                break;
            }
            continue;
        }
        p.verifyError = 1;
        const char* failed = nullptr;
        uint8_t readBack = 0;
        if (!noDeviceCode(p)) {
            const uint8_t c = BlockCommand24C(a);
            I2cStart(bus);
            if (!I2cSendByteAck(bus, c)) {
                bus.ReportError("No ACK Write Command & Address");
                break;
            }
            if (I2cSendByteAck(bus, uint8_t(a & 0xFF))) {
                if (!I2cSendByteAck(bus, d)) {
                    bus.ReportError("No ACK write DATA");
                    break;
                }
                I2cReleaseStop(bus);
                bus.Delay(kPollWait);
            }
            // Acknowledge polling: the part answers its address again once the write cycle ended.
            for (;;) {
                I2cStart(bus);
                if (I2cSendByteAck(bus, c)) break;
                bus.Delay(kPollWait);
                if (++polls > kMaxPolls) {
                    failed = kTooManyRetries;
                    break;
                }
                I2cStop(bus);
            }
            if (failed) {
                bus.ReportError(failed);
                break;
            }
            if (!I2cSendByteAck(bus, uint8_t(a & 0xFF))) {
                bus.ReportError("No ACK Write Address");
                break;
            }
            I2cRestart(bus);
            I2cStart(bus);
            if (!I2cSendByteAck(bus, uint8_t(c + 1))) {
                bus.ReportError("No ACK write DATA");
                break;
            }
        } else {
            // No polling on the 24C01: a fixed 7 ms write cycle.
            I2cStart(bus);
            if (!I2cSendByteAck(bus, uint8_t(2 * a))) {
                bus.ReportError("No ACK Write Address");
                break;
            }
            if (!I2cSendByteAck(bus, d)) {
                bus.ReportError("No ACK write DATA");
                break;
            }
            I2cReleaseStop(bus);
            bus.Delay(8353);
            I2cStart(bus);
            if (!I2cSendByteAck(bus, uint8_t((2 * a) | 1))) {
                bus.ReportError("No ACK Write Address");
                break;
            }
        }
        readBack = I2cReceiveByte(bus);
        I2cSendBit(bus, 1);
        I2cStop(bus);
        if (readBack != d) {
            bus.ReportError("Verify Error");
            break;
        }
        polls = 1;
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            break;
        }
        p.verifyError = 0;
    }
    endWithDataOut(ctx, 0);
    if (p.verifyError == 0) Message(ctx, "Device Programmed OK", MessageKind::Success);
}

void Read24C16(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    SetProcessGauge(ctx, "Read chip", p.bufferSize, GaugeColor::Read);
    powerUp(ctx, 15000);
    bool complete = false;
    if (!I2cWriteCommand(bus)) {
        bus.ReportError("No ACK write Command1");
    } else if (!sendWordAddress(bus, 0)) {
        bus.ReportError("No ACK write Address");
    } else if (I2cRestart(bus), !I2cReadCommand(bus)) {
        bus.ReportError("No ACK read Command");
    } else {
        complete = true;
        for (int64_t k = 0; k < p.bufferSize; ++k) {
            const uint8_t b = I2cReceiveByte(bus);
            I2cSendBit(bus, 0);
            ctx.Buffer[size_t(k)] = b;
            if (StepCancelled(ctx, k)) {
                Message(ctx, "program interrupted!", MessageKind::Error);
                complete = false;
                break;
            }
        }
        I2cSendBit(bus, 1);
        I2cStop(bus);
        if (complete) Message(ctx, "Device Read OK", MessageKind::Success);
    }
    SerialPowerDown(ctx);
    // Only a read that reached the end makes the image the chip's: a cancelled or failed one
    // leaves the loaded range as it was.
    if (complete) p.bufferLoaded = uint32_t(p.bufferSize - 1);
}

void Verify24C16(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "Comparing chip", p.bufferLoaded, GaugeColor::Verify);
    powerUpForVerify(ctx);
    p.verifyError = 1;
    if (!I2cWriteCommand(bus)) {
        bus.ReportError("No ACK write Command");
    } else if (!sendWordAddress(bus, 0)) {
        bus.ReportError("No ACK write Address byte");
    } else if (I2cRestart(bus), !I2cReadCommand(bus)) {
        bus.ReportError("No ACK read Command");
    } else {
        p.verifyError = 0;
        for (int64_t k = 0; k <= last; ++k) {
            const uint8_t b = I2cReceiveByte(bus);
            I2cSendBit(bus, 0);
            if (b != ctx.Buffer[size_t(k)]) {
                bus.ReportMismatch8(uint32_t(k), 0, b);
                p.verifyError = 1;
                break;
            }
            if (StepCancelled(ctx, k)) {
                Message(ctx, "program interrupted!", MessageKind::Error);
                p.verifyError = 1;
                break;
            }
        }
        if (p.verifyError == 0) {
            I2cSendBit(bus, 1);
            I2cStop(bus);
            if (p.quietVerify == 0) Message(ctx, "Device Compares OK", MessageKind::Success);
        }
    }
    SerialPowerDown(ctx);
}

void Program24C16(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "programming chip", p.bufferLoaded, GaugeColor::Program);
    powerUp(ctx, 20000);
    const int64_t page = PageSize24C(p);
    int polls = 0;
    p.verifyError = 0;
    for (int64_t i = 0; i <= last; i += page) {
        const uint32_t a = uint32_t(i);
        if (!ctx.writePlan.writes(i)) {  // a differential write found the page in place
            if (StepCancelled(ctx, i + page)) {
                Message(ctx, "program interrupted!", MessageKind::Error);
                p.verifyError = 1;
                break;
            }
            continue;
        }
        p.verifyError = 1;
        if (!I2cWriteCommand(bus)) {
            bus.ReportError("No ACK Device");
            break;
        }
        if (!sendWordAddress(bus, a)) {
            bus.ReportError("No ACK Wirte Address");
            break;
        }
        // The whole page goes out, also where it runs past the loaded data.
        bool sent = true;
        for (int64_t k = 0; k < page && sent; ++k)
            sent = I2cSendByteAck(bus, ctx.Buffer[size_t(i + k)]);
        if (!sent) {
            bus.ReportError("No ACK Write Data");
            break;
        }
        I2cReleaseStop(bus);
        const char* failed = nullptr;
        while (!I2cWriteCommand(bus)) {
            bus.Delay(kPollWait);
            if (++polls > kMaxPolls) {
                failed = kTooManyRetries;
                break;
            }
            I2cStop(bus);
        }
        if (failed) {
            bus.ReportError(failed);
            break;
        }
        if (!sendWordAddress(bus, a)) {
            bus.ReportError("No ACK Wirte Address");
            break;
        }
        I2cRestart(bus);
        if (!I2cReadCommand(bus)) {
            bus.ReportError("No ACK read Data");
            break;
        }
        const uint8_t first = I2cReceiveByte(bus);
        I2cSendBit(bus, 1);
        I2cStop(bus);
        if (first != ctx.Buffer[size_t(i)]) {
            bus.ReportError(" Verify Error ");
            break;
        }
        polls = 0;
        if (StepCancelled(ctx, i + page)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            break;
        }
        p.verifyError = 0;
    }
    bus.PowerDown();
    // The pass above reads back one byte per page; the rest of each page is checked here before
    // the run may call itself a success.
    if (p.verifyError == 0) {
        p.quietVerify = 1;
        Verify24C16(ctx);
        if (p.verifyError == 0) Message(ctx, "Device Programmed OK", MessageKind::Success);
    }
    bus.Drive(Line::DataOutLine, 1);
}

}  // namespace tavrin
