#pragma once
// 28F0x0 bulk-erase flash (Intel/AMD/Catalyst 28F256A .. 28F020), the MX26C1000/2000 MTP EPROMs
// and the MX28F2000 in the simulated socket.
//
// The command register works only while Vpp is at its programming level: with Vpp low the part
// is a ROM and ignores every write, and Vpp rising resets the register to Read (28F010 data sheet,
// "Vpp: erase/program power supply"). Commands are single writes on /WE (the strobe; /CE is tied
// low): the address is latched at /WE falling, the data at /WE rising, and a write while /OE is low
// is ignored.
//
//   00h read array   90h identifier (address 0 maker, 1 device)   FFh FFh reset
//   40h, data        program set-up; the program pulse runs from the data write until the next
//                    command's /WE rising (the part has no timer of its own, tWHWH1 10 us min)
//   C0h              program verify: ends the pulse, reads back the programmed address
//   20h 20h          erase set-up and erase of the whole array; the pulse runs until the next
//                    /WE rising, capped by the part's stop timer (about 10 ms on the 28F010)
//   A0h              erase verify at the address written with it: ends the pulse, reads back that
//                    byte; it has to be written again for every address
//
// Cells program 1 to 0 when a bit has had the part's program time in pulses, and erase only in
// bulk: erase time adds up over the pulses until the array has had its erase time (the 28F010's
// "1 second typical", about a hundred 10 ms pulses); each byte turns 0xFF within the last tenth
// of that time, so a verify that resumes where it stopped sees them go one by one.
//
// The data sheet's quick-erase flow programs every byte to 00h before the first erase pulse, so
// that no cell is over-erased. The model does not need it: an erase started on bytes that still
// read 0xFF is counted in the log, nothing more.
//
// The MX28F2000 times its own operations instead: 40h, data programs the byte by itself (reads
// while busy return the complement of bit 7 of the data), 30h 30h erases the whole chip (reads
// while busy return bit 7 low), and further writes are ignored until it is done. Its 00h, 90h
// and A0h are those of the 28F010. The part's internal timing is not in the data we have; the
// times below are parameters.

#include <cstdint>
#include <memory>
#include <string>

#include "sim/ChipFaults.h"
#include "sim/SimChip.h"
#include "sim/parallel/FlashCells.h"
#include "sim/parallel/FlashFaults.h"

namespace tavrin::sim {

struct Flash28FType {
    std::string name;
    uint32_t size = 0;
    uint8_t manufacturer = 0x89, device = 0xB4;
    double programUs = 10;        // program pulse time a cell needs (28F010 tWHWH1)
    double eraseUs = 1e6;         // erase pulse time the array needs (28F010 typical chip erase)
    double stopTimerUs = 10000;   // longest erase pulse the part takes; 0 = no limit
    bool selfTimed = false;       // MX28F2000: program and erase time themselves
    double autoProgramUs = 20;    // self-timed program of one byte
    double autoEraseUs = 3e6;     // self-timed chip erase
    uint8_t eraseCommand = 0x20;  // the erase set-up and confirm byte (MX28F2000: 30h)
};

// The parts of the catalogue.
Flash28FType Intel28F(std::string name, uint32_t size, uint8_t manufacturer, uint8_t device);
Flash28FType Mx26C(std::string name, uint32_t size, uint8_t device);
Flash28FType Mx28F2000(uint32_t size);

class SimFlash28F;

// The model of a device of family code 3, 30 or 31 with menu Tag `tag` and `size` bytes, or
// nullptr when the family is another one (or the Tag has a model of another kind).
std::unique_ptr<SimChip> MakeFlash28F(int32_t eep, int32_t tag, uint32_t size);

class SimFlash28F : public SimChip, public ChipFaults, public FlashFaults {
  public:
    explicit SimFlash28F(Flash28FType type);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins& pins, int64_t now) override;
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults
    void setStuckBit(uint32_t address, int bit, bool level) override {
        cells_.setStuckBit(address, bit, level);
    }
    void setSlowCell(uint32_t address, int pulses) override { cells_.setSlowCell(address, pulses); }
    void setNeverPrograms(bool never) override { cells_.setNeverPrograms(never); }
    bool applyFamilyFault(const std::string& fault, std::string&) override {
        return ApplyFlashFault(*this, fault);
    }
    // FlashFaults; the erase unit of these parts is the whole array, so an unerasable address is
    // one byte that stays as it is while the rest erases.
    void setSlowErase(int k) override { eraseScale_ = k < 1 ? 1 : k; }
    void setUnerasable(uint32_t address) override { cells_.setUnerasable(address); }
    void setVppMissing(bool missing) override { vppMissing_ = missing; }
    void setId(uint8_t manufacturer, uint8_t device) override {
        type_.manufacturer = manufacturer, type_.device = device;
    }

    const Flash28FType& type() const { return type_; }
    FlashCells& cells() { return cells_; }
    uint8_t readCell(uint32_t address) const { return cells_.read(address); }

    struct Log {
        uint64_t programPulses = 0;    // program set-ups that ran a pulse
        uint64_t erasePulses = 0;      // erase pulses (or self-timed erases) that ran
        uint64_t ignoredWrites = 0;    // writes without Vpp, with /OE low or while busy
        uint64_t invalidCommands = 0;  // bytes that are no command (the register resets to read)
        uint64_t erasesNotPreprogrammed = 0;  // erases begun on bytes still at 0xFF
        double longestErasePulseUs = 0;
    };
    const Log& log() const { return log_; }

  private:
    enum class Mode : uint8_t {
        Read,
        Id,
        ProgramSetup,
        Programming,
        ProgramVerify,
        EraseSetup,
        Erasing,
        EraseVerify,
        ResetSetup,
        Busy,
    };

    uint32_t addressOf(const SocketPins& pins) const { return cells_.wrap(pins.address); }
    bool commandsEnabled(const SocketPins& pins) const {
        return pins.vcc && pins.vpp && !vppMissing_;
    }
    void write(uint32_t address, uint8_t data, int64_t now);
    void endPulse(int64_t now);
    void settle(int64_t now);
    void addEraseTime(int64_t ticks);
    void startErase(int64_t now);
    int64_t eraseNeeded() const;
    int64_t eraseThreshold(uint32_t address) const;

    Flash28FType type_;
    FlashCells cells_;
    Mode mode_ = Mode::Read;
    int64_t opStart_ = 0;
    int64_t busyUntil_ = 0;
    bool busyErasing_ = false;
    uint32_t opAddress_ = 0;  // programmed address, or the address of the erase verify
    uint8_t opData_ = 0xFF;
    int64_t charge_ = 0;      // program pulse time the pending byte has had
    int64_t eraseTicks_ = 0;  // erase pulse time the array has had since it was last erased
    int eraseScale_ = 1;
    bool vppMissing_ = false;
    // Edges.
    bool lastStrobe_ = false, lastVpp_ = false, lastVcc_ = false;
    uint32_t latchedAddress_ = 0;
    Log log_;
};

}  // namespace tavrin::sim
