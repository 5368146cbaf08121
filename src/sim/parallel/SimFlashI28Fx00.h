#pragma once
// Boot-block flash with a status register in the simulated socket: the i28F200/400/800 in byte
// mode behind their 48-pin adapter, the 28F001BX-T, and the BX-type part that answers on the
// "28F001" row of the 28F0x0 menu (Intel 28F001BX, 28F200BX, 28F400BL data sheets).
//
// Commands are single writes latched at /WE rising with /OE high; an on-chip state machine
// times program and erase itself:
//
//   FFh read array     90h identifier (maker at 0, device at 1; byte address 2 in byte mode)
//   70h read status    50h clear status (the only way to clear SR.5, SR.4, SR.3)
//   40h or 10h, data   byte program
//   20h, D0h at BA     block erase; any other second byte is a command sequence error
//                      (SR.5 and SR.4 set, nothing erased)
//
// Any other byte is no command and leaves the part as it was. After a program or an erase the
// part stays in read-status mode until another command: the array is read only after FFh.
//
// Status register: SR.7 ready, SR.5 erase error, SR.4 program error, SR.3 Vpp low (the
// operation was aborted), SR.2-0 reserved. While SR.5, SR.4 or SR.3 is set, program and erase
// do nothing more than setting their error bit again. The status is latched when /OE falls and
// holds until /OE falls again; reads during an operation return it with SR.7 low.
//
// Vpp must be at 12 V for program and erase (SR.3 otherwise). The boot block programs and
// erases only while RP# is at 12 V; RP# low is deep power-down (outputs off, writes ignored,
// the command state reset). Where RP# comes from depends on the wiring:
// - 28F001BX-T on its own row: the wiring note ties pin 30 (RP#) to pin 1 (Vpp), so RP# is at
//   Vcc level with Vpp off and at 12 V while Vpp is applied: the boot block unlocks with Vpp.
// - i28F200/400/800 on the 48-pin adapter: the adapter takes RP# from the same Vpp net (the
//   only board line that reaches 12 V), with the same effect. A model of an adapter that ties
//   RP# to Vcc instead (boot block locked for good) is a parameter.
// - "28F001" row of the 28F0x0 menu: RP# on pin 30 follows address bit 17 of the register,
//   which the routines hold high for this part; never 12 V, so its boot block stays locked.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/ChipFaults.h"
#include "sim/SimChip.h"
#include "sim/parallel/FlashCells.h"
#include "sim/parallel/FlashFaults.h"

namespace tavrin::sim {

enum class ResetPin : uint8_t { VppNet, Vcc, AddressBit17 };

struct BootBlockType {
    std::string name;
    uint32_t size = 0;
    uint8_t manufacturer = 0x89, device = 0x94;
    bool byteMode = false;         // a 16-bit part read byte-wise: the device code sits at byte 2
    std::vector<uint32_t> blocks;  // first address of each block, ascending from 0
    uint32_t bootBlock = 0;        // first address of the boot block
    ResetPin rp = ResetPin::VppNet;
    double programUs = 10;          // byte program
    double parameterEraseUs = 1e6;  // boot and parameter blocks (erase of up to 16 KB)
    double mainEraseUs = 2.4e6;     // main blocks
};

// Top-boot maps: 28F001BX-T (112 KB main, two 4 KB parameter blocks, 8 KB boot) and the
// 28F200/400/800 (128 KB main blocks, a 96 KB main block, two 8 KB parameter blocks, 16 KB boot).
BootBlockType BootBlock28F001BXT(ResetPin rp);
BootBlockType BootBlockByteMode(std::string name, uint32_t size, uint8_t device);

// The model of a device of family code 19, or of the "28F001" row (Tag 8) of family code 3;
// nullptr for any other.
std::unique_ptr<SimChip> MakeFlashI28Fx00(int32_t eep, int32_t tag, uint32_t size);

class SimFlashI28Fx00 : public SimChip, public ChipFaults, public FlashFaults {
  public:
    explicit SimFlashI28Fx00(BootBlockType type);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins& pins, int64_t now) override;
    bool wantsAddressEvents() const override { return type_.rp == ResetPin::AddressBit17; }
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults; a slow cell fails its first K - 1 programs with SR.4.
    void setStuckBit(uint32_t address, int bit, bool level) override {
        cells_.setStuckBit(address, bit, level);
    }
    void setSlowCell(uint32_t address, int pulses) override { cells_.setSlowCell(address, pulses); }
    void setNeverPrograms(bool never) override { cells_.setNeverPrograms(never); }
    bool applyFamilyFault(const std::string& fault, std::string&) override {
        return ApplyFlashFault(*this, fault);
    }
    // FlashFaults: a slow erase takes k times as long; an unerasable block ends with SR.5.
    void setSlowErase(int k) override { eraseScale_ = k < 1 ? 1 : k; }
    void setUnerasable(uint32_t address) override { cells_.setUnerasable(address); }
    void setVppMissing(bool missing) override { vppMissing_ = missing; }
    void setId(uint8_t manufacturer, uint8_t device) override {
        type_.manufacturer = manufacturer, type_.device = device;
    }

    // Data line `bit` open between board and chip: the chip sees it high in every write and the
    // board reads it high (the pull-up).
    void setOpenDataLine(int bit) { openData_ |= uint8_t(1 << (bit & 7)); }
    void closeDataLines() { openData_ = 0; }

    const BootBlockType& type() const { return type_; }
    FlashCells& cells() { return cells_; }
    uint8_t readCell(uint32_t address) const { return cells_.read(address); }
    uint8_t status() const { return status_; }
    // First address and length of the block holding `address`.
    std::pair<uint32_t, uint32_t> blockOf(uint32_t address) const;

    struct Log {
        uint64_t programs = 0, erases = 0;  // operations the state machine ran
        uint64_t blockErases[64] = {};      // erases per block, by block index
        uint64_t ignoredWrites = 0;         // writes while busy, in deep power-down or with /OE low
        uint64_t sequenceErrors = 0;        // erase set-ups not confirmed with D0h
        uint64_t readArrayCommands = 0;
    };
    const Log& log() const { return log_; }

  private:
    enum class Mode : uint8_t { Array, Id, Status, ProgramSetup, EraseSetup };
    enum : uint8_t { kReady = 0x80, kEraseError = 0x20, kProgramError = 0x10, kVppLow = 0x08 };

    bool rpHigh(const SocketPins& pins) const;
    bool rpAtVhh(const SocketPins& pins) const;
    bool vppHigh(const SocketPins& pins) const { return pins.vpp && !vppMissing_; }
    void write(const SocketPins& pins, uint32_t address, uint8_t data, int64_t now);
    void startProgram(const SocketPins& pins, uint32_t address, uint8_t data, int64_t now);
    void startErase(const SocketPins& pins, uint32_t address, int64_t now);
    void settle(int64_t now);
    void reset();
    int drive(const SocketPins& pins, int64_t now);
    uint8_t liveStatus() const { return busy_ ? uint8_t(status_ & ~kReady) : status_; }

    BootBlockType type_;
    FlashCells cells_;
    Mode mode_ = Mode::Array;
    uint8_t status_ = kReady;
    uint8_t latchedStatus_ = kReady;
    bool busy_ = false;
    int64_t busyUntil_ = 0;
    // The operation the state machine runs: a program of data at address, or a block erase.
    bool erasing_ = false;
    uint32_t opAddress_ = 0;
    uint8_t opData_ = 0xFF;
    bool opUnlocked_ = false;  // the boot block was unlocked when the operation began
    int eraseScale_ = 1;
    bool vppMissing_ = false;
    uint8_t openData_ = 0;
    bool lastStrobe_ = false, lastOutputs_ = false, lastVcc_ = false, lastRp_ = false;
    uint32_t latchedAddress_ = 0;
    Log log_;
};

}  // namespace tavrin::sim
