#include "algorithms/mcu/AvrBus.h"

namespace tavrin {

namespace {

// Chip data bit carried by data-port bit k.
constexpr int kPortBitFrom[8] = {2, 4, 6, 7, 5, 3, 1, 0};

Bus& bus(Context& ctx) {
    return ctx.bus;
}
AvrControl& control(Context& ctx) {
    return ctx.profile.avrControl;
}

}  // namespace

uint8_t AvrDataOut(uint8_t value) {
    uint8_t port = 0;
    for (int k = 0; k < 8; ++k)
        if (value & (1u << kPortBitFrom[k])) port = uint8_t(port | (1u << k));
    return port;
}

uint8_t AvrDataIn(uint8_t port) {
    uint8_t value = 0;
    for (int k = 0; k < 8; ++k)
        if (port & (1u << k)) value = uint8_t(value | (1u << kPortBitFrom[k]));
    return value;
}

void AvrEnterProgramming(Context& ctx) {
    Bus& b = bus(ctx);
    b.PowerUp();
    control(ctx) = AvrControl{};
    b.Drive(Line::VppLine, 1);
    b.Drive(Line::DataOutLine, 0);
    b.SetAddress(0);  // RESET and BS low before the 12 V edge
    b.Delay(1000);
    b.Drive(Line::VppLine, 0);
    b.Delay(30000);  // 25 ms
}

void AvrLoad(Context& ctx, uint32_t sel, uint8_t value) {
    Bus& b = bus(ctx);
    b.Drive(Line::DataOutLine, 0);
    b.Delay(15);
    b.SetAddress(sel | control(ctx).loadStrobe);
    b.Delay(15);
    b.Drive(Line::DataOutLine, 1);
    b.Delay(15);
    b.PortOut(b.DataPort, AvrDataOut(value));  // the data shadow keeps the serial-line levels
    b.Delay(150);
    b.Drive(Line::StrobeLine, 1);
    b.Delay(30);
    b.Drive(Line::StrobeLine, 0);
    b.Delay(80);
}

namespace {

void writeStrobe(Context& ctx, uint32_t bytesel, int32_t width) {
    Bus& b = bus(ctx);
    b.Drive(Line::DataOutLine, 0);
    b.SetAddress(bytesel | control(ctx).writeStrobe);
    b.Delay(5);
    b.Drive(Line::DataOutLine, 1);
    b.Delay(5);
    b.Drive(Line::StrobeLine, 1);
    b.Delay(width);
    b.Drive(Line::StrobeLine, 0);
    b.Delay(15);
}

}  // namespace

void AvrWritePulse(Context& ctx, uint32_t bytesel) {
    writeStrobe(ctx, bytesel, control(ctx).writePulse);
}

uint8_t AvrReadByte(Context& ctx, uint32_t bytesel) {
    Bus& b = bus(ctx);
    b.Drive(Line::DataOutLine, 0);
    b.SetAddress(bytesel | control(ctx).readStrobe);
    b.Delay(5);
    b.Drive(Line::StrobeLine, 1);
    b.Delay(5);
    const uint8_t value = AvrDataIn(b.ReadDataByte());
    b.Delay(5);
    b.Drive(Line::StrobeLine, 0);
    b.Delay(10);
    return value;
}

void AvrChipErase(Context& ctx) {
    Bus& b = bus(ctx);
    const AvrControl& c = control(ctx);
    AvrLoad(ctx, c.selLoadCommand, c.cmdChipErase);
    b.Drive(Line::DataOutLine, 0);
    b.Delay(20);
    b.SetAddress(c.writeStrobe);
    b.Delay(20);
    b.Drive(Line::DataOutLine, 1);
    b.Delay(50);
    b.Drive(Line::StrobeLine, 1);
    b.Delay(35000);  // 29 ms of /WR low
    b.Drive(Line::StrobeLine, 0);
    b.Delay(30000);
}

namespace {

void loadAddress(Context& ctx, uint32_t address) {
    const AvrControl& c = control(ctx);
    AvrLoad(ctx, c.selLoadAddress, uint8_t(address & 0xFF));
    AvrLoad(ctx, c.selLoadAddress | c.selHighByte, uint8_t((address >> 8) & 0xFF));
}

}  // namespace

void AvrWriteFlashWord(Context& ctx, uint32_t w) {
    const AvrControl& c = control(ctx);
    AvrLoad(ctx, c.selLoadCommand, c.cmdWriteFlash);
    loadAddress(ctx, w);
    AvrLoad(ctx, c.selLoadData, c.dataLow);
    AvrWritePulse(ctx, c.selLowByte);
    bus(ctx).Delay(c.writeWait + 1000);
    AvrLoad(ctx, c.selLoadData, c.dataHigh);
    AvrWritePulse(ctx, c.selHighByte);
    bus(ctx).Delay(c.writeWait + 1000);
}

void AvrWriteEepromByte(Context& ctx, uint32_t a) {
    const AvrControl& c = control(ctx);
    AvrLoad(ctx, c.selLoadCommand, uint8_t(c.cmdWriteFlash | c.cmdEepromBit));
    loadAddress(ctx, a);
    AvrLoad(ctx, c.selLoadData, c.dataLow);
    AvrWritePulse(ctx, c.selLowByte);
    bus(ctx).Delay(c.writeWait);
}

void AvrReadFlashWord(Context& ctx, uint32_t w) {
    AvrControl& c = control(ctx);
    AvrLoad(ctx, c.selLoadCommand, c.cmdReadFlash);
    loadAddress(ctx, w);
    c.dataLow = AvrReadByte(ctx, c.selLowByte);
    AvrLoad(ctx, c.selLoadCommand, c.cmdReadFlash);
    loadAddress(ctx, w);
    c.dataHigh = AvrReadByte(ctx, c.selHighByte);
}

void AvrReadEepromByte(Context& ctx, uint32_t a) {
    AvrControl& c = control(ctx);
    AvrLoad(ctx, c.selLoadCommand, uint8_t(c.cmdReadFlash | c.cmdEepromBit));
    loadAddress(ctx, a);
    c.dataLow = AvrReadByte(ctx, c.selLowByte);
}

void AvrWriteFuse(Context& ctx, uint8_t value) {
    const AvrControl& c = control(ctx);
    AvrLoad(ctx, c.selLoadCommand, c.cmdWriteFuse);
    AvrLoad(ctx, c.selLoadData, value);
    writeStrobe(ctx, c.selLowByte, c.fusePulse);
    bus(ctx).Delay(c.writeWait);
}

void AvrWriteLock(Context& ctx, uint8_t value) {
    const AvrControl& c = control(ctx);
    AvrLoad(ctx, c.selLoadCommand, c.cmdWriteLock);
    AvrLoad(ctx, c.selLoadData, value);
    AvrWritePulse(ctx, c.selLowByte);
    bus(ctx).Delay(c.writeWait + 2000);
}

void AvrReadSignature(Context& ctx) {
    AvrControl& c = control(ctx);
    AvrLoad(ctx, c.selLoadCommand, c.cmdReadSignature);
    for (uint8_t i = 0; i < 3; ++i) {
        AvrLoad(ctx, c.selLoadAddress, i);
        c.signature[i] = AvrReadByte(ctx, c.selLowByte);
    }
    bus(ctx).Drive(Line::DataOutLine, 1);
}

void AvrReadLock(Context& ctx) {
    AvrControl& c = control(ctx);
    AvrLoad(ctx, c.selLoadCommand, c.cmdReadFuseLock);
    const uint8_t high = AvrReadByte(ctx, c.selHighByte);
    if (ctx.profile.avrSplitFuseRead) {
        const uint8_t fuses = AvrReadByte(ctx, c.selLowByte);
        const uint8_t lb1 = (high >> 1) & 1, lb2 = (high >> 2) & 1;
        c.lockRead = uint8_t((lb1 << 7) | (lb2 << 6) | (fuses & 0x3F));
    } else {
        c.lockRead = high;
    }
    bus(ctx).Drive(Line::DataOutLine, 1);
}

void AvrReadFuse(Context& ctx) {
    AvrControl& c = control(ctx);
    AvrLoad(ctx, c.selLoadCommand, c.cmdReadFuseLock);
    const uint32_t bytesel = ctx.profile.avrSplitFuseRead ? c.selLowByte : c.selHighByte;
    c.fuseRead = AvrReadByte(ctx, bytesel);
    bus(ctx).Drive(Line::DataOutLine, 1);
}

}  // namespace tavrin
