#pragma once
// The programmer bus: the register lines of the board and the small set of operations every
// device routine is built from. Each operation writes whole register bytes through the port,
// one access per write, exactly in the order the board expects.

#include <array>
#include <cstdint>
#include <string>

#include "hardware/Port.h"

namespace tavrin {

struct Context;

// Register bit of each line. Control: Vpp (0 = applied), data-out mode, Vcc, strobe.
// Data (serial mode): address clock, address data / read-back load, read-back clock.
enum class Line : uint8_t { VppLine, DataOutLine, VccLine, StrobeLine, ShiftClock, ShiftData, ReadClock };

namespace Bits {
inline constexpr uint8_t Vpp = 0x01, DataOut = 0x02, Vcc = 0x04, Strobe = 0x08;  // control
inline constexpr uint8_t ShiftClock = 0x01, ShiftData = 0x02, ReadClock = 0x04;  // data
inline constexpr uint8_t ReadData = 0x40, BusyIn = 0x80;                         // status
}  // namespace Bits

// Address tables of the three-cycle byte-program command 0xAA, 0x55, 0xA0.
struct CommandTable {
    std::array<uint32_t, 3> address;
    bool wide;  // the 0x5555 table, whose devices decode 15 address bits
};
inline constexpr CommandTable Cmd555{{0x555, 0x2AA, 0x555}, false};
inline constexpr CommandTable Cmd5555{{0x5555, 0x2AAA, 0x5555}, true};
inline constexpr std::array<uint8_t, 3> kProgramCommandBytes{0xAA, 0x55, 0xA0};

inline constexpr uint16_t kLptBase[3] = {0x378, 0x278, 0x3BC};

class Bus {
public:
    explicit Bus(Context& ctx) : ctx_(ctx) {}

    void setPort(Port* port) { port_ = port; }
    Port& port() const { return *port_; }

    // Register addresses of the chosen printer port (LPT1 0x378 until chosen otherwise).
    void SetPortBase(uint16_t base);
    // cbPort item 0..2 = LPT1..3; any other index leaves the base unchanged.
    void cbPortChange(int index);
    uint16_t DataPort = 0x378, StatusPort = 0x379, ControlPort = 0x37A;

    uint8_t ControlShadow = 0;
    uint8_t DataShadow = 0;

    // Raw register access by port address, as the port driver offers it.
    void PortOut(uint16_t port, uint8_t value);
    uint8_t PortIn(uint16_t port);
    void Delay(int32_t units) { port_->clock().delay(units); }
    // 1 = high process and thread priority, 0 = normal.
    void ChangePriority(int raise) { port_->changePriority(raise != 0); }

    // Shadow updates: SetLine changes one shadow bit; Drive also writes its register.
    void SetLine(Line line, int level);
    void WriteControl() { PortOut(ControlPort, ControlShadow); }
    void WriteData() { PortOut(DataPort, DataShadow); }
    void Drive(Line line, int level);
    uint8_t ReadStatus() { return PortIn(StatusPort); }

    void SetAddress(uint32_t addr) { SetAddressWait(addr, 0); }
    void SetAddressWait(uint32_t addr, int32_t wait);
    uint8_t ReadDataByte();
    void PutData(uint8_t value, int32_t wait);
    void StrobePulse(int32_t width);
    void PowerUp();
    void PowerUpTest();
    void PowerDown();
    // 0 = board present, 1 = not present; shows its verdict and always ends unpowered.
    int CheckHardware();
    void ReportError(const std::string& text);
    // Compare failure of image index `index` at device address `base` + index (`base` is the
    // run's Offset): shows that address, the chip's value and Buffer[index], the byte that was
    // written or compared. Every family reports through these two.
    void ReportMismatch8(uint32_t index, uint32_t base, uint8_t chip);
    void ReportMismatch16(uint32_t index, uint32_t base, uint8_t chipHigh, uint8_t chipLow);
    static uint32_t SwapAddress(uint32_t addr);
    void WriteProgramCommand(const CommandTable& table, int32_t width);
    void WriteProgramCommandFast(const CommandTable& table, int32_t width);

private:
    // The shadow settings PowerUp, PowerUpTest and PowerDown share: serial mode, Vpp and Vcc off,
    // address lines low, read-back clock idle high.
    void idleShadows();
    uint8_t bufferByte(uint32_t index) const;

    Context& ctx_;
    Port* port_ = nullptr;
};

}  // namespace tavrin
