#include "algorithms/mcu/PicSerial.h"

#include "core/ImageBuffer.h"

namespace tavrin {

namespace {

// RB7 (data) is D0 and RB6 (clock) is D1 of the data register.
constexpr Line kData = Line::ShiftClock;
constexpr Line kClock = Line::ShiftData;

}  // namespace

void PicEnterProgramming(Context& ctx) {
    Bus& bus = ctx.bus;
    bus.Drive(Line::DataOutLine, 1);
    bus.Drive(Line::VppLine, 1);
    bus.Drive(Line::VccLine, 1);
    bus.Drive(kData, 0);
    bus.Drive(kClock, 0);
    bus.Delay(3580);  // 3.0 ms for Vdd
    bus.Drive(Line::VppLine, 0);
    bus.Delay(12000);  // 10.1 ms before the first command
}

void PicExitProgramming(Context& ctx) {
    Bus& bus = ctx.bus;
    bus.Drive(Line::VppLine, 1);
    bus.SetLine(kData, 0);
    bus.Delay(3000);
    bus.PowerDown();
}

void PicSendBit(Context& ctx, int bit) {
    Bus& bus = ctx.bus;
    bus.SetLine(kData, bit);
    bus.SetLine(kClock, 1);
    bus.WriteData();
    bus.Delay(2);
    bus.Drive(kClock, 0);  // the part latches the bit on the falling edge
    bus.Delay(2);
    bus.Drive(kData, 0);
}

int PicReadBit(Context& ctx) {
    Bus& bus = ctx.bus;
    bus.SetLine(kData, 1);  // released: the part drives RB7
    bus.SetLine(kClock, 1);
    bus.WriteData();
    bus.Delay(2);
    bus.Drive(kClock, 0);
    const uint8_t status = bus.ReadStatus();
    bus.Delay(2);
    return (status & Bits::BusyIn) ? 0 : 1;
}

void PicCommand(Context& ctx, uint8_t code) {
    Bus& bus = ctx.bus;
    bus.Drive(kData, 0);
    bus.Delay(5);
    for (int b = 0; b < 6; ++b) PicSendBit(ctx, (code >> b) & 1);
    bus.Drive(kData, 1);
    bus.Delay(5);
}

void PicSendWord(Context& ctx, uint16_t word) {
    PicSendBit(ctx, 0);
    for (int b = 0; b < 14; ++b) PicSendBit(ctx, (word >> b) & 1);
    PicSendBit(ctx, 0);
}

uint16_t PicReadWord(Context& ctx) {
    PicReadBit(ctx);
    uint16_t word = 0;
    for (int b = 0; b < 14; ++b) word = uint16_t(word | (PicReadBit(ctx) << b));
    PicReadBit(ctx);
    return word;
}

void PicProgramPulse(Context& ctx, int64_t word) {
    Bus& bus = ctx.bus;
    PicCommand(ctx, PicCmd::LoadProgram);
    bus.Delay(1200);
    PicSendWord(ctx, BufferWord(ctx, word));
    bus.Delay(20);
    PicCommand(ctx, PicCmd::BeginProgram);
    bus.Delay(ctx.profile.tWC);
    PicCommand(ctx, PicCmd::EndProgram);
}

int32_t PicMicrosecondsToTicks(double us) {
    return int32_t(us * 1.193182 + 1);  // 1.193182 delay units per microsecond
}

}  // namespace tavrin
