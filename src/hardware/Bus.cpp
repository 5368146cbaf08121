#include "hardware/Bus.h"

#include "core/Context.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr bool isControlLine(Line line) { return line <= Line::StrobeLine; }

constexpr uint8_t lineBit(Line line) {
    switch (line) {
        case Line::VppLine: return Bits::Vpp;
        case Line::DataOutLine: return Bits::DataOut;
        case Line::VccLine: return Bits::Vcc;
        case Line::StrobeLine: return Bits::Strobe;
        case Line::ShiftClock: return Bits::ShiftClock;
        case Line::ShiftData: return Bits::ShiftData;
        case Line::ReadClock: return Bits::ReadClock;
    }
    return 0;
}

}  // namespace

void Bus::SetPortBase(uint16_t base) {
    DataPort = base;
    StatusPort = static_cast<uint16_t>(base + 1);
    ControlPort = static_cast<uint16_t>(base + 2);
}

void Bus::cbPortChange(int index) {
    if (index >= 0 && index < 3) SetPortBase(kLptBase[index]);
}

void Bus::PortOut(uint16_t port, uint8_t value) {
    if (port == DataPort)
        port_->writeData(value);
    else if (port == ControlPort)
        port_->writeControl(value);
}

uint8_t Bus::PortIn(uint16_t port) { return port == StatusPort ? port_->readStatus() : 0xFF; }

void Bus::SetLine(Line line, int level) {
    uint8_t& shadow = isControlLine(line) ? ControlShadow : DataShadow;
    const uint8_t bit = lineBit(line);
    shadow = level ? uint8_t(shadow | bit) : uint8_t(shadow & ~bit);
}

void Bus::Drive(Line line, int level) {
    SetLine(line, level);
    if (isControlLine(line))
        WriteControl();
    else
        WriteData();
}

void Bus::SetAddressWait(uint32_t addr, int32_t wait) {
    const DeviceProfile& p = ctx_.profile;
    Drive(Line::DataOutLine, 0);
    if (wait != 0) Delay(wait);
    PortOut(DataPort, 0);  // literal: the shadow keeps ReadClock high for the next write
    uint32_t mask = p.PatternAdr;
    for (int32_t i = 0; i <= p.ShiftAdr; ++i) {
        Drive(Line::ShiftData, (addr & mask) != 0);
        Drive(Line::ShiftClock, 1);
        Drive(Line::ShiftClock, 0);
        mask >>= 1;
    }
    Drive(Line::ShiftData, 0);
}

uint8_t Bus::ReadDataByte() {
    // Load the socket data pins into the read-back register, then shift them out, D7 first.
    Drive(Line::ShiftData, 1);
    Drive(Line::ReadClock, 0);
    Drive(Line::ShiftData, 0);
    Drive(Line::ReadClock, 1);
    uint8_t value = 0;
    for (int k = 7; k >= 0; --k) {
        const bool bit = (PortIn(StatusPort) & Bits::ReadData) == 0;
        Drive(Line::ReadClock, 0);
        Drive(Line::ReadClock, 1);
        value = uint8_t(value | (bit << k));
    }
    return value;
}

void Bus::PutData(uint8_t value, int32_t wait) {
    Drive(Line::DataOutLine, 1);
    if (wait != 0) Delay(wait);
    PortOut(DataPort, value);
}

void Bus::StrobePulse(int32_t width) {
    Drive(Line::StrobeLine, 1);
    if (width != 0) Delay(width);
    Drive(Line::StrobeLine, 0);
}

void Bus::idleShadows() {
    SetLine(Line::DataOutLine, 0);
    SetLine(Line::VppLine, 1);
    SetLine(Line::VccLine, 0);
    SetLine(Line::ShiftData, 0);
    SetLine(Line::ShiftClock, 0);
    SetLine(Line::ReadClock, 1);
}

void Bus::PowerDown() {
    Drive(Line::StrobeLine, 0);
    Drive(Line::DataOutLine, 0);
    Drive(Line::ShiftClock, 0);
    Drive(Line::ShiftData, 0);
    for (int i = 0; i < 24; ++i) {  // clear the whole address register
        Drive(Line::ShiftClock, 1);
        Drive(Line::ShiftClock, 0);
    }
    idleShadows();
    WriteControl();
    WriteData();
    Delay(10000);
    Drive(Line::StrobeLine, 1);  // stays asserted while the socket is unpowered
}

void Bus::PowerUp() {
    Drive(Line::StrobeLine, 0);
    SetAddressWait(0, 0);
    idleShadows();
    WriteControl();
    WriteData();
    Delay(1000);
    Drive(Line::VccLine, 1);
    for (int i = 0; i < 3; ++i) Delay(30000);
}

void Bus::PowerUpTest() {
    SetAddressWait(0, 0);
    idleShadows();
    SetLine(Line::StrobeLine, 0);
    WriteControl();
    WriteData();
    Delay(1000);
    Drive(Line::VccLine, 1);
    Delay(30000);
}

int Bus::CheckHardware() {
    PowerUpTest();
    Drive(Line::StrobeLine, 0);
    Drive(Line::DataOutLine, 1);
    // Printer-port pin 11 follows D0 through a powered board; the status bit is its inverse.
    Drive(Line::ShiftClock, 1);
    Delay(1000);
    const uint8_t first = PortIn(StatusPort);
    Drive(Line::ShiftClock, 0);
    Delay(1000);
    const uint8_t second = PortIn(StatusPort);
    const bool present = (first & Bits::BusyIn) == 0 && (second & Bits::BusyIn) != 0;
    if (present)
        Message(ctx_, "Hardware present ", MessageKind::Success);
    else
        Message(ctx_, "Hardware Error :  Check Power && connection", MessageKind::Error);
    PowerDown();
    Delay(30000);
    Delay(30000);
    Drive(Line::DataOutLine, 0);
    return present ? 0 : 1;
}

void Bus::ReportError(const std::string& text) {
    if (CheckHardware() == 0) Message(ctx_, text, MessageKind::Error);
    PowerDown();
}

uint8_t Bus::bufferByte(uint32_t index) const {
    // An index computed past the image (a large Offset) shows as erased rather than reading
    // outside the buffer.
    return index < ctx_.Buffer.size() ? ctx_.Buffer[index] : 0xFF;
}

// Image index `index` was written to or compared with device address `base` + index (an offset
// run), so the address shown is the device's and the buffer value the image's own byte.
void Bus::ReportMismatch8(uint32_t index, uint32_t base, uint8_t chip) {
    ReportError(Format(" Error at 0x%06X  Chip = 0x%02X  buffer = 0x%02X", index + base, chip,
                       bufferByte(index)));
}

void Bus::ReportMismatch16(uint32_t index, uint32_t base, uint8_t chipHigh, uint8_t chipLow) {
    ReportError(Format(" Error at 0x%06X  Chip = 0x%04X  buffer = 0x%04X", index + base,
                       chipHigh * 256 + chipLow, bufferByte(index) * 256 + bufferByte(index + 1)));
}

uint32_t Bus::SwapAddress(uint32_t addr) {
    return (addr & 0xB7FFF) | ((addr << 1) & 0x8000) | ((addr << 3) & 0x40000);
}

void Bus::WriteProgramCommand(const CommandTable& table, int32_t width) {
    for (int i = 0; i < 3; ++i) {
        Drive(Line::DataOutLine, 0);
        SetAddress(table.address[i]);
        Drive(Line::DataOutLine, 1);
        PortOut(DataPort, kProgramCommandBytes[i]);
        Delay(2);
        Drive(Line::StrobeLine, 1);
        Delay(width);
        Drive(Line::StrobeLine, 0);
        Delay(table.wide ? 5 : 10);
    }
    if (table.wide) Delay(5);
}

void Bus::WriteProgramCommandFast(const CommandTable& table, int32_t width) {
    Drive(Line::DataOutLine, 0);
    SetAddress(table.address[0]);
    for (int i = 0; i < 3; ++i) {
        Drive(Line::DataOutLine, 1);
        PortOut(DataPort, kProgramCommandBytes[i]);
        if (!table.wide) Delay(2);
        Drive(Line::StrobeLine, 1);
        Delay(width);
        Drive(Line::StrobeLine, 0);
        Delay(table.wide ? 3 : 10);
        PortOut(DataPort, 0);
        Drive(Line::DataOutLine, 0);
        // One more bit moves the address one stage up and puts the next address's low bit on A0.
        const uint32_t next = i < 2 ? table.address[i + 1] : 1;
        Drive(Line::ShiftData, next & 1);
        Drive(Line::ShiftClock, 1);
        Drive(Line::ShiftClock, 0);
    }
    if (table.wide) Delay(2);
}

}  // namespace tavrin
