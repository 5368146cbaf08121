#pragma once
// JEDEC 5 V flash in the simulated socket: Am29F010/040, SST39SF010A/020A/040, AT49F001/002
// (N)(T), MX29F040, the Am29F200..F320 parts in byte mode and the MBM29F0xx parts.
//
// Write cycles: CE# is tied low, so WE# (the board's strobe) controls them; the address is taken
// at WE# falling, the data at WE# rising, and a cycle with OE# low is no write at all (the
// protection routines' first strobe of each cycle). The unlock cycles compare only the address
// bits the part decodes (A10-A0 on the Am29F040B and MX29F040, A14-A0 on the SST39SF, AT49F and
// first-generation Am29F010, A10..A-1 in byte mode), so a part ignores a sequence at the other
// address set. A broken sequence sends the decoder back to reading the array.
//
// Embedded operations run in virtual time from the WE# rising edge of their last cycle: while
// busy, a read returns DQ7 = complement of the data bit (0 during an erase), DQ6 toggling on each
// OE# falling edge, DQ5 = 1 once the part gave up, the other bits from the array; every write is
// ignored. Bits program only from 1 to 0. A byte the internal verify cannot reach (a 1 over a 0, a
// stuck bit) runs to the data-sheet maximum and sets DQ5 (the SST39SF has no DQ5: it just ends
// with the cell unchanged); the part then shows status until a reset (F0). Protected sectors and
// a locked boot block ignore program and erase. Vcc off during an operation aborts it and leaves
// the target partly written or partly erased.
//
// RESET# of the AT49F00x and 29Fx00 parts hangs on the Vpp net: at 12 V it lifts the sector
// protection (temporary unprotect) or the boot-block lockout while it stays there.
//
// MX29F040 sector protection: the board cannot put 12 V on A9 or OE#, so the model takes the
// command method its routines use: after AA 55 80 AA 55 20 a WE# pulse with OE# high protects the
// sector addressed when A6 = 0, or unprotects the chip (all sectors protected first) when A6 = 1.
// The fault `ignores-protect` makes the part ignore the method, as a part that needs 12 V would.

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/Context.h"
#include "sim/ChipFaults.h"
#include "sim/SimChip.h"

namespace tavrin::sim {

enum class JedecProtection : uint8_t {
    None,
    Sectors,    // per-sector non-volatile protect bits (Am29F, MX29F)
    BootBlock,  // boot-block lockout by command 40 (AT49F00x), permanent
};

struct JedecType {
    std::string name;
    uint32_t size = 0;                          // bytes as the socket sees them
    uint8_t maker = 0, device = 0;              // autoselect codes
    uint32_t decodeMask = 0x7FF;                // address bits the unlock cycles compare
    uint32_t unlock1 = 0x555, unlock2 = 0x2AA;  // within those bits
    bool byteMode = false;                      // 16-bit part in byte mode: stage 0 is A-1
    std::vector<uint32_t> sectors;              // start addresses (bytes), ascending, the first 0
    JedecProtection protection = JedecProtection::None;
    int bootSector = -1;          // index of the boot block (BootBlock parts)
    bool resetPin = false;        // RESET# on the Vpp net
    bool hasDq5 = true;           // exceeded-time flag (not on the SST39SF)
    bool fastMode = false;        // AA 55 20 fast mode (unlock bypass), left by 90 then F0/00
    bool commandProtect = false;  // MX29F040 protect and unprotect commands
    double programUs = 7, programMaxUs = 300;           // byte program typ / max
    double chipEraseMs = 8000, chipEraseMaxMs = 64000;  // chip erase typ / max
    double protectMinUs = 0, unprotectMinUs = 0;        // shortest protect / unprotect WE# pulse
};

// Part types by their data sheets (times marked unverified in the research notes are parameters).
JedecType Am29F010();
JedecType Am29F040B();
JedecType GenericJedec29F(uint32_t size);  // the 29F64..29F020 entries: a 5555/2AAA part
JedecType Sst39SF(uint32_t size);          // 512 (B4), 010A (B5), 020A (B6), 040 (B7)
JedecType At49F00x(uint32_t size, bool topBoot);
JedecType Mx29F040();
JedecType Am29Fx00(uint32_t size);  // Am29F200..F320 in byte mode, bottom boot
JedecType Mbm29F0xx(uint32_t size);

class SimJedec29F : public SimChip, public ChipFaults {
  public:
    explicit SimJedec29F(JedecType type, uint32_t seed = 1);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins& pins, int64_t now) override;
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults
    void setStuckBit(uint32_t address, int bit, bool level) override;
    void setSlowCell(uint32_t address, int factor) override;  // byte program takes factor x
    void setNeverPrograms(bool never) override { neverPrograms_ = never; }
    bool applyFamilyFault(const std::string& fault, std::string& error) override;

    // Family faults, also reachable as fault texts (see applyFamilyFault).
    void setSlowErase(double factor) { slowErase_ = factor; }
    void protectSector(int sector, bool on = true);  // protect bit, or the boot-block lockout
    void setId(uint8_t maker, uint8_t device) { type_.maker = maker, type_.device = device; }
    void setIgnoresProtectCommand(bool ignores) { ignoresProtect_ = ignores; }
    // A byte the autoselect mode shows at `address` instead of its own decode.
    void setIdByte(uint32_t address, uint8_t value) { idBytes_[address] = value; }

    const JedecType& type() const { return type_; }
    std::vector<uint8_t>& cells() { return cells_; }
    const std::vector<uint8_t>& cells() const { return cells_; }
    uint8_t readCell(uint32_t address) const;  // stuck bits applied
    int sectorOf(uint32_t address) const;
    bool sectorProtected(int sector) const;
    bool busy(int64_t now);

    struct Log {
        uint64_t writes = 0;         // bus write cycles the part took
        uint64_t programs = 0;       // embedded programs started
        uint64_t erases = 0;         // embedded erases started
        uint64_t ignoredBusy = 0;    // writes while busy
        uint64_t timeouts = 0;       // operations that ended with DQ5
        uint64_t aborted = 0;        // operations cut by Vcc off
        uint64_t protectPulses = 0;  // protect / unprotect pulses that took effect
    };
    const Log& log() const { return log_; }

  private:
    enum class Mode : uint8_t { Read, Autoselect };
    enum class Op : uint8_t { None, Program, Erase };

    uint32_t addressOf(const SocketPins& pins) const { return pins.address & (type_.size - 1); }
    // The address in the part's own terms (byte mode: A-1 included) for the unlock compare.
    bool at(uint32_t address, uint32_t unlock) const {
        return (address & type_.decodeMask) == unlock;
    }
    bool writeProtected(uint32_t address) const;
    void write(uint32_t address, uint8_t data, int64_t now);
    void decode(uint32_t address, uint8_t data, int64_t now);
    void startProgram(uint32_t address, uint8_t data, int64_t now);
    void startErase(int64_t now, int sector);  // sector -1: the whole chip
    void protectPulse(uint32_t address, int64_t width);
    void settle(int64_t now);
    void abortOperation(int64_t now);
    uint8_t statusByte() const;
    uint8_t autoselectByte(uint32_t address) const;
    void powerOnReset();

    JedecType type_;
    std::vector<uint8_t> cells_;
    std::vector<bool> protected_;  // per sector (BootBlock parts: the boot sector's lockout)
    std::map<uint32_t, std::pair<uint8_t, uint8_t>> stuck_;  // address -> mask, level
    std::map<uint32_t, int> slow_;
    std::map<uint32_t, uint8_t> idBytes_;
    double slowErase_ = 1;
    bool neverPrograms_ = false;
    bool ignoresProtect_ = false;

    // Volatile state.
    Mode mode_ = Mode::Read;
    int step_ = 0;                   // position in an unlock sequence
    bool programArmed_ = false;      // next write is the program address/data
    bool fast_ = false;              // in fast mode (unlock bypass)
    bool fastExit_ = false;          // 90 seen in fast mode
    bool protectArmed_ = false;      // MX: the next WE# pulse protects or unprotects
    bool errorStatus_ = false;       // DQ5 set, status shown until reset
    bool highVoltageReset_ = false;  // 12 V on RESET# (the Vpp net applied)

    struct {
        Op op = Op::None;
        int64_t start = 0, end = 0;
        bool fails = false;  // runs to the limit and sets DQ5
        uint32_t address = 0;
        uint8_t target = 0;  // what the byte holds when the program ends
    } busy_;
    std::vector<bool> eraseScope_;  // sectors the running erase clears
    uint8_t statusDq7_ = 0;         // DQ7 while busy or timed out
    uint32_t statusAddress_ = 0;    // where the status shows the other bits from
    bool toggle_ = false;

    // Pin history for edges.
    bool lastVcc_ = false, lastWe_ = false, lastOe_ = false;
    uint32_t latchedAddress_ = 0;
    bool latchedOeHigh_ = false;
    int64_t weFall_ = 0;

    std::mt19937 rng_;
    Log log_;
};

// The JEDEC chip for the selected device (eep 4, 12, 15, 23, 27), nullptr for other families.
std::unique_ptr<SimChip> MakeJedecChip(const Context& ctx);

}  // namespace tavrin::sim
