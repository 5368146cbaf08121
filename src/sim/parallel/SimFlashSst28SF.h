#pragma once
// SST28SF040A and LE28F4001 in the simulated socket (SST28SF040A data sheet; the LE28F4001 is
// modelled as the same part): 512 KB in 2048 sectors of 256 bytes, 5 V only, single-cycle
// commands latched at /WE rising with /OE high (a write while /OE is low is ignored):
//
//   90h            read identifier (address 0 maker BFh, 1 device 04h); works while protected
//   FFh            reset to read
//   10h, data      byte program at the data's address
//   20h, D0h at SA sector erase of the sector holding the D0h address
//   30h, 30h       chip erase
//
// Software data protection is volatile: at power-up the part is protected and ignores program
// and erase commands. Seven consecutive read cycles at 1823h, 1820h, 1822h, 0418h, 041Bh, 0419h,
// 041Ah lift it; the same with 040Ah last sets it again. A read cycle is one period of /OE low;
// its address is the one on the pins when /OE rises (the board shifts the address in while /OE
// is already low, so only the end of the cycle carries it). Any other read, or a write, starts
// the sequence over.
//
// While a program or an erase runs, writes are ignored and reads return the complement of bit 7
// of the data (0 while erasing) with bit 6 toggling on each read cycle.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "sim/ChipFaults.h"
#include "sim/SimChip.h"
#include "sim/parallel/FlashCells.h"
#include "sim/parallel/FlashFaults.h"

namespace tavrin::sim {

struct Sst28SFType {
    std::string name;
    uint32_t size = 512 * 1024;
    uint8_t manufacturer = 0xBF, device = 0x04;
    double programUs = 35;        // byte program, typical
    double sectorEraseUs = 2000;  // typical; the maximum is not in the data we have
    double chipEraseUs = 20000;
};

inline constexpr uint32_t kSst28SFSector = 256;
inline constexpr std::array<uint32_t, 7> kSstUnprotect{0x1823, 0x1820, 0x1822, 0x0418,
                                                       0x041B, 0x0419, 0x041A};
inline constexpr uint32_t kSstProtectLast = 0x040A;

// The model of a device of family code 25 or 26; nullptr for any other.
std::unique_ptr<SimChip> MakeFlashSst28SF(int32_t eep, int32_t tag);

class SimFlashSst28SF : public SimChip, public ChipFaults, public FlashFaults {
  public:
    explicit SimFlashSst28SF(Sst28SFType type);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins& pins, int64_t now) override;
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults; a slow cell needs K program operations.
    void setStuckBit(uint32_t address, int bit, bool level) override {
        cells_.setStuckBit(address, bit, level);
    }
    void setSlowCell(uint32_t address, int pulses) override { cells_.setSlowCell(address, pulses); }
    void setNeverPrograms(bool never) override { cells_.setNeverPrograms(never); }
    bool applyFamilyFault(const std::string& fault, std::string&) override {
        return ApplyFlashFault(*this, fault);
    }
    // FlashFaults: a slow erase takes k times as long; an unerasable sector keeps its bytes. The
    // part has no Vpp, so a missing one changes nothing.
    void setSlowErase(int k) override { eraseScale_ = k < 1 ? 1 : k; }
    void setUnerasable(uint32_t address) override { cells_.setUnerasable(address); }
    void setVppMissing(bool) override {}
    void setId(uint8_t manufacturer, uint8_t device) override {
        type_.manufacturer = manufacturer, type_.device = device;
    }
    // The unprotect sequence never takes (a part whose protection logic is broken).
    void setStaysProtected(bool stays) { staysProtected_ = stays; }

    const Sst28SFType& type() const { return type_; }
    FlashCells& cells() { return cells_; }
    uint8_t readCell(uint32_t address) const { return cells_.read(address); }
    bool isProtected() const { return protected_; }

    struct Log {
        uint64_t programs = 0, sectorErases = 0, chipErases = 0;
        uint64_t protectedCommands = 0;  // program or erase commands refused while protected
        uint64_t busyWrites = 0;         // writes while a program or erase ran
        uint64_t unprotects = 0, protects = 0;
    };
    const Log& log() const { return log_; }

  private:
    enum class Mode : uint8_t { Read, Id, ProgramSetup, SectorSetup, ChipSetup };

    void readCycle(uint32_t address);
    void write(uint32_t address, uint8_t data, int64_t now);
    void settle(int64_t now);

    Sst28SFType type_;
    FlashCells cells_;
    Mode mode_ = Mode::Read;
    bool protected_ = true;
    bool staysProtected_ = false;
    size_t matched_ = 0;  // reads of the sequence seen so far
    bool busy_ = false, erasing_ = false;
    int64_t busyUntil_ = 0;
    uint32_t opAddress_ = 0, opLength_ = 0;
    uint8_t opData_ = 0xFF;
    bool toggle_ = false;
    int eraseScale_ = 1;
    bool lastStrobe_ = false, lastOutputs_ = false, lastVcc_ = false;
    uint32_t latchedAddress_ = 0;
    Log log_;
};

}  // namespace tavrin::sim
