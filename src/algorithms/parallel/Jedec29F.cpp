#include "algorithms/parallel/Jedec29F.h"

#include <algorithm>
#include <string>

#include "algorithms/ElectronicId.h"
#include "algorithms/parallel/JedecCommand.h"
#include "algorithms/parallel/ProgramFrame.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

using namespace jedec;

constexpr int kAttemptLimit = 10;
constexpr int32_t kMaxWait29Fx00 = 100;  // tWC ceiling of the 16-bit family's retries
constexpr int32_t kEraseStep = 20000;    // one gauge step of the erase wait, 16.8 ms
constexpr double kSecondsPerUnit = 0.8381e-6;

// The three-cycle program command of the 8-bit families, at the chosen address set.
void writeProgramCommand(Context& ctx, const CommandAddresses& table, int32_t width) {
    const CommandTable& t = table == jedec::Cmd5555 ? tavrin::Cmd5555 : tavrin::Cmd555;
    if (ctx.profile.fastPro == 1)
        ctx.bus.WriteProgramCommandFast(t, width);
    else
        ctx.bus.WriteProgramCommand(t, width);
}

// The read-back after a data strobe: the board lets go of the data pins and reads the chip.
uint8_t readBack(Bus& bus, int32_t delay) {
    bus.PortOut(bus.DataPort, 0);
    bus.Drive(Line::DataOutLine, 0);
    if (delay) bus.Delay(delay);
    return bus.ReadDataByte();
}

// One read cycle: OE# high then low again, so the part's toggle bit moves, then the byte.
uint8_t readCycle(Bus& bus) {
    bus.Drive(Line::DataOutLine, 1);
    bus.Drive(Line::DataOutLine, 0);
    return bus.ReadDataByte();
}

enum class EraseEnd { Done, TimedOut, StillBusy, Cancelled };

// Toggle-bit polling of the embedded erase (Am29F040B "Toggle Bit Algorithm"): DQ6 that stops
// toggling means the erase ended; DQ5 with DQ6 still toggling means the part gave up. `waited`
// counts the delay units since the last command cycle.
EraseEnd awaitErase(Context& ctx, int64_t waited, int64_t gaugePosition) {
    Bus& bus = ctx.bus;
    const int64_t bound = int64_t(ChipEraseBoundSeconds(ctx.profile.bufferSize) / kSecondsPerUnit);
    bus.SetAddress(0);
    for (;;) {
        uint8_t first = readCycle(bus), second = readCycle(bus);
        if (((first ^ second) & 0x40) == 0) return EraseEnd::Done;
        if (second & 0x20) {
            first = readCycle(bus), second = readCycle(bus);
            return ((first ^ second) & 0x40) ? EraseEnd::TimedOut : EraseEnd::Done;
        }
        if (waited >= bound) return EraseEnd::StillBusy;
        if (StepCancelled(ctx, gaugePosition)) return EraseEnd::Cancelled;
        bus.Delay(kEraseStep);
        waited += kEraseStep;
    }
}

// The fixed wait after the erase command, then the polling. A failure shows its text here;
// true when the erase ended normally, and the caller shows the success.
bool finishErase(Context& ctx, int64_t steps) {
    bool cancelled = false;
    for (int64_t i = 0; i < steps && !cancelled; ++i) {
        cancelled = StepCancelled(ctx, i);
        if (!cancelled) ctx.bus.Delay(kEraseStep);
    }
    EraseEnd end = cancelled ? EraseEnd::Cancelled : awaitErase(ctx, steps * kEraseStep, steps);
    switch (end) {
        case EraseEnd::Done:
            return true;
        case EraseEnd::Cancelled:
            Message(ctx, "program interrupted!", MessageKind::Error);
            break;
        case EraseEnd::TimedOut:
            ctx.bus.ReportError(kEraseTimedOut);
            break;
        case EraseEnd::StillBusy:
            ctx.bus.ReportError(kEraseStillBusy);
            break;
    }
    ctx.profile.verifyError = 1;
    return false;
}

// AA 55 90 at the chosen command addresses: the part answers its ID and protection codes.
void writeAutoselect(Bus& bus, const CommandAddresses& table, int32_t addressWait,
                     int32_t strobe) {
    for (int k = 0; k < 3; ++k) {
        bus.SetAddressWait(table[k], addressWait);
        bus.Delay(4);
        bus.PutData(kAutoselect[k], 4);
        bus.Delay(4);
        bus.StrobePulse(strobe);
        bus.Delay(20);
    }
}

// A chip erase skips protected sectors and still ends normally (Am29F040B, MX29F040 "Chip
// Erase"), so the parts with sector protection are asked afterwards: autoselect code 01h at a
// sector's start + 2 marks it protected. Returns the first such sector of eight, or -1.
int firstProtectedSector(Context& ctx) {
    Bus& bus = ctx.bus;
    const uint32_t sector = uint32_t(std::max(ctx.profile.bufferSize, 8)) / 8;
    writeAutoselect(bus, CommandSet8(ctx.profile), 4, 5);
    int found = -1;
    for (int s = 0; s < 8 && found < 0; ++s) {
        bus.SetAddressWait(uint32_t(s) * sector + 2, 0);
        if (bus.ReadDataByte() == 0x01) found = s;
    }
    bus.PutData(0xF0, 4);  // X/F0: back to reading the array
    bus.Delay(4);
    bus.StrobePulse(5);
    bus.Delay(100);
    return found;
}

bool hasSectorProtection(const DeviceProfile& p) {
    return p.eep == 4 || p.eep == 27;
}

}  // namespace

double ChipEraseBoundSeconds(int32_t deviceBytes) {
    constexpr double kSectorMaxSeconds = 8, kChipMaxSeconds = 64;
    return std::max(kChipMaxSeconds, kSectorMaxSeconds * double(deviceBytes) / 65536.0);
}

void ProgramFlash29F(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    RunProgramPass(ctx, {
                            .caption = "programming chip",
                            .start =
                                [&] {
                                    bus.PowerUp();
                                    bus.SetAddress(0);
                                },
                            .writeByte =
                                [&](uint32_t index, uint32_t address, uint8_t value) {
                                    int32_t w = p.tWP, t = p.tWC;
                                    for (int attempt = 1;; ++attempt) {
                                        writeProgramCommand(ctx, CommandSet8(p), w);
                                        bus.Drive(Line::DataOutLine, 0);
                                        bus.SetAddress(address);
                                        bus.Drive(Line::DataOutLine, 1);
                                        bus.PortOut(bus.DataPort, value);
                                        bus.Delay(1);
                                        bus.Drive(Line::StrobeLine, 1);
                                        bus.Delay(w);
                                        bus.Drive(Line::StrobeLine, 0);
                                        bus.Delay(t);
                                        const uint8_t read = readBack(bus, 1);
                                        if (read == value) return true;
                                        if (attempt == kAttemptLimit) {
                                            bus.ReportMismatch8(index, p.Offset, read);
                                            bus.PowerDown();
                                            return false;
                                        }
                                        w += 5, t += 5;
                                    }
                                },
                            .finish = nullptr,
                        });
}

void ProgramFlash29F00x(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    RunProgramPass(ctx, {
                            .caption = "programming chip",
                            .start =
                                [&] {
                                    bus.PowerUp();
                                    // 12 V on #RESET/Vpp: "Temporary Sector Unprotect"
                                    bus.Drive(Line::VppLine, p.AT49F00x == 1 ? 0 : 1);
                                    bus.Delay(300);
                                    bus.SetAddress(0);
                                },
                            .writeByte =
                                [&](uint32_t index, uint32_t address, uint8_t value) {
                                    int32_t w = p.tWP, t = p.tWC;
                                    for (int attempt = 1;; ++attempt) {
                                        // These parts decode A14-A0 (and the 555 set's parts take
                                        // 5555 too).
                                        writeProgramCommand(ctx, jedec::Cmd5555, w);
                                        bus.Drive(Line::StrobeLine, 0);
                                        bus.SetAddressWait(address, 1);
                                        bus.PutData(value, 1);
                                        bus.StrobePulse(w);
                                        bus.Delay(t);
                                        const uint8_t read = readBack(bus, 0);
                                        if (read == value) return true;
                                        if (attempt == kAttemptLimit) {
                                            bus.ReportMismatch8(index, p.Offset, read);
                                            bus.PowerDown();
                                            return false;
                                        }
                                        w += 2, t += 2;
                                    }
                                },
                            .finish =
                                [&] {
                                    bus.Drive(Line::VppLine, 1);
                                    bus.Delay(100);
                                },
                        });
}

namespace {

// Start of both 16-bit program routines: 12 V on #RESET when the box says so.
void start29Fx00(Context& ctx) {
    Bus& bus = ctx.bus;
    bus.PowerUp();
    bus.Drive(Line::VppLine, ctx.profile.AT49F00x == 1 ? 0 : 1);
    bus.Delay(500);
    bus.SetAddress(0);
}

// The data cycle of the 16-bit family and its read-back.
uint8_t writeData29Fx00(Bus& bus, uint32_t address, uint8_t value, int32_t width, int32_t wait) {
    bus.Drive(Line::DataOutLine, 0);
    bus.SetAddress(address);
    bus.Drive(Line::DataOutLine, 1);
    bus.PortOut(bus.DataPort, value);
    bus.Delay(1);
    bus.Drive(Line::StrobeLine, 1);
    bus.Delay(width);
    bus.Drive(Line::StrobeLine, 0);
    bus.Delay(wait);
    return readBack(bus, 0);
}

}  // namespace

void ProgramFlash29Fx00(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    if (p.fujitsuFast == 1) {
        ProgramFlash29Fx00FastMode(ctx);
        return;
    }
    RunProgramPass(ctx, {
                            .caption = "Programming chip",
                            .start = [&] { start29Fx00(ctx); },
                            .writeByte =
                                [&](uint32_t index, uint32_t address, uint8_t value) {
                                    int32_t t = p.tWC;
                                    for (int attempt = 1;; ++attempt) {
                                        if (p.fastPro == 1)
                                            WriteCommand16Fast(ctx, kProgram);
                                        else
                                            WriteCommand16(ctx, kProgram);
                                        const uint8_t read =
                                            writeData29Fx00(bus, address, value, p.tWP, t);
                                        if (read == value) return true;
                                        if (attempt == kAttemptLimit) {
                                            bus.ReportMismatch8(index, p.Offset, read);
                                            return false;
                                        }
                                        t = std::min(t + 20, kMaxWait29Fx00);
                                    }
                                },
                            .finish =
                                [&] {
                                    bus.Drive(Line::VppLine, 1);
                                    bus.Delay(500);
                                },
                        });
}

void ProgramFlash29Fx00FastMode(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    RunProgramPass(ctx, {
                            .caption = "Programming chip",
                            .start =
                                [&] {
                                    start29Fx00(ctx);
                                    WriteCommand16(ctx, kFastModeSet);
                                },
                            .writeByte =
                                [&](uint32_t index, uint32_t address, uint8_t value) {
                                    int32_t t = p.tWC;
                                    for (int attempt = 1;; ++attempt) {
                                        bus.Drive(Line::DataOutLine, 0);
                                        bus.SetAddress(address);
                                        bus.Drive(Line::DataOutLine, 1);
                                        bus.PortOut(bus.DataPort, kFastModeProgram);
                                        bus.Delay(1);
                                        bus.Drive(Line::StrobeLine, 1);
                                        bus.Delay(3);
                                        bus.Drive(Line::StrobeLine, 0);
                                        bus.Delay(5);
                                        bus.Drive(Line::DataOutLine, 1);
                                        bus.PortOut(bus.DataPort, value);
                                        bus.Delay(1);
                                        bus.Drive(Line::StrobeLine, 1);
                                        bus.Delay(p.tWP);
                                        bus.Drive(Line::StrobeLine, 0);
                                        bus.Delay(t);
                                        const uint8_t read = readBack(bus, 0);
                                        if (read == value) return true;
                                        if (attempt > kAttemptLimit) {  // eleven attempts in all
                                            bus.ReportMismatch8(index, p.Offset, read);
                                            return false;
                                        }
                                        t = std::min(t + 20, kMaxWait29Fx00);
                                    }
                                },
                            .finish =
                                [&] {
                                    bus.Drive(Line::VppLine, 1);
                                    bus.Delay(500);
                                    const CommandAddresses& table = CommandSet16(p);
                                    for (int k = 0; k < 2; ++k) {
                                        bus.Drive(Line::DataOutLine, 0);
                                        bus.SetAddress(table[k]);
                                        bus.Drive(Line::DataOutLine, 1);
                                        bus.PortOut(bus.DataPort, kFastModeReset[k]);
                                        bus.Drive(Line::StrobeLine, 1);
                                        bus.Delay(2);
                                        bus.Drive(Line::StrobeLine, 0);
                                        bus.Delay(4);
                                    }
                                },
                        });
}

void EraseFlash29F(Context& ctx) {
    Bus& bus = ctx.bus;
    SetProcessGauge(ctx, "erasing chip", 1000, GaugeColor::Program);
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 0);
    const CommandAddresses& table = CommandSet8(ctx.profile);
    for (int k = 0; k < 6; ++k) {
        bus.SetAddressWait(table[k], 2);
        bus.Delay(4);
        bus.PutData(kChipErase[k], 0);
        bus.Delay(4);
        bus.StrobePulse(12);
        bus.Delay(20);
    }
    if (finishErase(ctx, 1000)) {
        const int locked = hasSectorProtection(ctx.profile) ? firstProtectedSector(ctx) : -1;
        if (locked < 0) {
            Message(ctx, "erase completed", MessageKind::Success);
        } else {
            ctx.profile.verifyError = 1;
            bus.ReportError(" Sector " + std::to_string(locked) +
                            " is protected: the chip is not erased");
        }
    }
    bus.PowerDown();
}

void EraseFlash29Fx00(Context& ctx) {
    Bus& bus = ctx.bus;
    SetProcessGauge(ctx, "Erasing chip", 1100, GaugeColor::Program);
    bus.PowerUp();
    if (ctx.profile.AT49F00x == 1) {
        bus.Drive(Line::VppLine, 0);  // 12 V on #RESET: protected sectors erase too
        bus.Delay(1000);
    } else {
        bus.Drive(Line::VppLine, 1);
        bus.Delay(500);
    }
    const CommandAddresses& table = CommandSet16(ctx.profile);
    for (int k = 0; k < 6; ++k) {
        bus.SetAddress(table[k]);
        bus.PutData(kChipErase[k], 0);
        bus.StrobePulse(20);
    }
    if (finishErase(ctx, 1100)) Message(ctx, "erase completed", MessageKind::Success);
    bus.PowerDown();
}

void ReadId29F(Context& ctx) {
    Bus& bus = ctx.bus;
    const CommandAddresses& table = CommandSet8(ctx.profile);
    auto autoselect = [&](int32_t addressWait, int32_t strobe) {
        writeAutoselect(bus, table, addressWait, strobe);
    };
    bus.PowerUp();
    bus.Delay(100);
    autoselect(4, 5);
    bus.Delay(1000);
    bus.SetAddressWait(0, 0);
    const uint8_t maker = bus.ReadDataByte();
    bus.Delay(1000);
    autoselect(0, 2);
    bus.Delay(100);
    bus.SetAddressWait(1, 0);
    const uint8_t device = bus.ReadDataByte();
    bus.Delay(100);
    bus.PutData(0xF0, 4);  // X/F0: back to reading the array
    bus.Delay(4);
    bus.StrobePulse(5);
    bus.Delay(100);
    bus.PowerDown();
    ShowElectronicId(ctx, maker, device);
}

void ReadId49F(Context& ctx) {
    Bus& bus = ctx.bus;
    auto command = [&](const Command3& bytes, int32_t strobe) {
        for (int k = 0; k < 3; ++k) {
            bus.Drive(Line::DataOutLine, 0);
            bus.SetAddress(jedec::Cmd5555[k]);
            bus.Drive(Line::DataOutLine, 1);
            bus.PortOut(bus.DataPort, bytes[k]);
            bus.Delay(3);
            bus.Drive(Line::StrobeLine, 1);
            bus.Delay(strobe);
            bus.Drive(Line::StrobeLine, 0);
        }
    };
    auto readAt = [&](uint32_t address) {
        bus.Drive(Line::DataOutLine, 0);
        bus.SetAddress(address);
        return bus.ReadDataByte();
    };
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 0);
    command(kAutoselect, 5);
    bus.Delay(10);
    const uint8_t at0 = readAt(0), at1 = readAt(1), at100 = readAt(0x100);
    bus.Delay(10);
    command(kReset, 1);
    bus.Delay(10000);
    bus.PowerDown();
    ShowElectronicId(ctx, at0, at1 == at0 ? at100 : at1);
}

void ReadId29Fx00(Context& ctx) {
    Bus& bus = ctx.bus;
    const CommandAddresses& table = CommandSet16(ctx.profile);
    auto command = [&](const Command3& bytes) {
        for (int k = 0; k < 3; ++k) {
            bus.Drive(Line::DataOutLine, 0);
            bus.SetAddress(table[k]);
            bus.Delay(4);
            bus.PutData(bytes[k], 4);
            bus.Delay(4);
            bus.StrobePulse(2);
            bus.Delay(10);
        }
    };
    auto readAt = [&](uint32_t address) {
        bus.SetAddressWait(address, 0);
        const uint8_t v = bus.ReadDataByte();
        bus.Drive(Line::DataOutLine, 1);
        bus.Delay(1000);
        return v;
    };
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 0);
    command(kAutoselect);
    bus.Delay(2000);
    const uint8_t maker = readAt(0);
    const uint8_t device = readAt(2);  // word 1 in byte mode
    command(kReset);
    bus.Delay(4000);
    bus.PowerDown();
    ShowElectronicId(ctx, maker, device);
}

}  // namespace tavrin
