#pragma once
// Electrically erasable parallel memories that need no programming voltage, in the simulated
// socket: byte-write 28Cxx EEPROMs, page-write AT28C EEPROMs and the sector-write flash of the
// AT29C and W29EE/W29C families.
//
// Bus cycles (28C/AT28C/AT29C/W29EE data sheets): /CE is tied low on the board, /OE is low in
// serial mode, /WE is the strobe. A write latches the address at /WE falling and the data at /WE
// rising, and is inhibited while /OE is low. Reads drive the array byte while /OE is low and /WE
// high.
//
// Write cycle: a byte-write part starts its internal write at /WE rising. Page and sector parts
// collect loads of one page (the page address of the first load wins; loads to another page are
// ignored and counted) until no load follows within tBLC of the last one (150 us on AT28C and
// AT29C, 200 us on W29C), then write for tWC. An EEPROM page changes only its loaded bytes; a
// flash sector is erased first, so the bytes of the sector that were not loaded read 0xFF.
// During the internal write every read returns DQ7 complemented (of the last byte loaded; 0 for a
// chip erase), DQ6 toggling at each /OE falling edge and the old array bits elsewhere, and every
// write is ignored. Vcc dropping during the write aborts it: the page keeps its old contents.
//
// Commands (addresses A14..A0; on parts below 32 KB the bits above the part are don't care):
// AA@5555 55@2AAA A0@5555 enables software data protection and unlocks one page or sector write;
// AA 55 80 AA 55 20 disables the protection, AA 55 80 AA 55 10 erases the chip (flash only),
// AA 55 90 and (W29EE) AA 55 80 AA 55 60 enter the product-ID mode (address 0 manufacturer, 1
// device), AA 55 F0 leaves it. The protection state is non-volatile: once enabled, a write
// without the unlock prefix is silently ignored, across power cycles. Command bytes are not
// stored; a prefix that is broken off before it completes is loaded as plain data.
//
// Power: Vcc rising resets the command decoder, the ID mode and an open load; writes are locked
// out for tPUW (5 ms) after it. The array and the protection state persist.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/ChipFaults.h"
#include "sim/SimChip.h"

namespace tavrin::sim {

struct EepromType {
    std::string name;
    uint32_t size = 0;          // bytes
    uint32_t pageSize = 1;      // 1 = byte-write part
    double loadWindowUs = 0;    // tBLC; 0 for byte-write parts
    double writeCycleUs = 0;    // tWC, the internal write of one byte, page or sector
    double chipEraseUs = 0;     // 0 = no chip-erase command
    bool hasSdp = false;        // software data protection commands
    bool sectorErase = false;   // flash: bytes of a sector that were not loaded become 0xFF
    bool sixByteId = false;     // W29EE: AA 55 80 AA 55 60 enters the ID mode
    double idEntryPauseUs = 0;  // the ID reads are valid this long after the entry
    uint8_t idManufacturer = 0xFF, idDevice = 0xFF;  // 0xFF/0xFF: no ID mode
    bool a14OnStage15 = false;  // 28-pin 32 KB part: chip A14 (pin 1) hangs on address stage 15
};

// The parts of the catalogue, from their data sheets (see the .cpp for the figures).
EepromType ByteWriteEeprom(std::string name, uint32_t size, bool a14OnStage15 = false);
EepromType PageWriteEeprom(std::string name, uint32_t size, uint32_t page,
                           bool a14OnStage15 = false);
EepromType SectorFlash(std::string name, uint32_t size, uint32_t sector, uint8_t manufacturer,
                       uint8_t device, bool a14OnStage15 = false);
EepromType WinbondSectorFlash(std::string name, uint32_t size, uint32_t sector, uint8_t device);

// The model of a catalogue entry of the 28C, AT28C and AT29C/W29EE menus (eep 5, 7, 9, 22 and
// the entry's Tag); nullptr for a Tag without a part.
std::unique_ptr<SimChip> MakeEepromChip(int32_t eep, int32_t tag);

class SimEeprom : public SimChip, public ChipFaults {
  public:
    explicit SimEeprom(EepromType type);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins& pins, int64_t now) override;
    void onReadBack(int64_t now) override;
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults
    void setStuckBit(uint32_t address, int bit, bool level) override;
    // The write cycle of the page holding `address` takes `k` times as long.
    void setSlowCell(uint32_t address, int k) override;
    void setNeverPrograms(bool never) override { neverWrites_ = never; }
    // sdp-enabled: the protection is already on; slow-write:K: every write cycle K times as long.
    bool applyFamilyFault(const std::string& fault, std::string& error) override;

    const EepromType& type() const { return type_; }
    std::vector<uint8_t>& cells() { return cells_; }
    const std::vector<uint8_t>& cells() const { return cells_; }
    uint8_t readCell(uint32_t address) const;
    bool sdpEnabled() const { return sdp_; }
    void setSdpEnabled(bool on) { sdp_ = on; }
    bool busy(int64_t now);
    // The next `n` reads of `address` return it with bit 0 flipped (a marginal cell or line).
    void setWrongReads(uint32_t address, int n) { wrongReads_[address & (type_.size - 1)] = n; }
    // Chip address the board's address stages select (the part's own wiring applied).
    uint32_t chipAddress(uint32_t stages) const;

    struct Log {
        uint64_t writeCycles = 0;        // internal writes completed (byte, page, sector, erase)
        uint64_t ignoredWhileBusy = 0;   // writes during the internal write
        uint64_t ignoredProtected = 0;   // unprotected writes while the protection is on
        uint64_t ignoredOtherPage = 0;   // loads outside the page of the first load
        uint64_t inhibitedByOe = 0;      // /WE pulses with /OE low
        uint64_t lockedOut = 0;          // writes within tPUW of power-up
        uint64_t abortedByPowerOff = 0;  // internal writes cut short by Vcc off
        uint64_t chipErases = 0;
        std::vector<uint32_t> commandAddresses;  // A14..A0 of each completed command's first cycle
    };
    const Log& log() const { return *log_; }

  private:
    enum class Pending { None, Write, Erase };
    struct Cycle {
        uint32_t address;
        uint8_t data;
    };

    void advance(int64_t now);
    void powerOnReset(int64_t now);
    void write(uint32_t address, uint8_t data, int64_t now);
    bool command(uint32_t address, uint8_t data, int64_t now);
    void flushPrefix(int64_t now);
    void load(uint32_t address, uint8_t data, int64_t now);
    void startInternalWrite(int64_t at);
    void commit();
    int64_t cycleTicks(uint32_t page) const;
    uint32_t commandMask() const { return (type_.size < 0x8000 ? type_.size : 0x8000) - 1; }
    bool isCommandAddress(uint32_t address, uint32_t which) const {
        return (address & commandMask()) == (which & commandMask());
    }

    EepromType type_;
    std::vector<uint8_t> cells_;
    bool sdp_ = false;
    std::map<uint32_t, std::pair<uint8_t, uint8_t>> stuck_;  // address -> mask, level
    std::map<uint32_t, int> slowPages_;
    int slowAll_ = 1;
    std::map<uint32_t, int> wrongReads_;
    uint32_t lastSampled_ = 0;
    bool neverWrites_ = false;

    // Bus state.
    bool vcc_ = false, weLow_ = false, oeLow_ = false;
    uint32_t latchedAddress_ = 0;
    bool latched_ = false;
    int64_t powerOnAt_ = 0;

    // Command decoder: cycles of a prefix seen so far.
    std::vector<Cycle> prefix_;
    bool unlocked_ = false;  // AA 55 A0 seen: the next page write is allowed under protection
    int sdpAfterWrite_ =
        -1;  // protection state the running write leaves: -1 unchanged, 0 off, 1 on
    bool idMode_ = false;
    int64_t idReadyAt_ = 0;

    // Open load and the internal write.
    bool loading_ = false;
    bool pageKnown_ = false;
    uint32_t loadPage_ = 0;
    std::map<uint32_t, uint8_t> loaded_;
    int64_t lastLoadEnd_ = 0;
    Pending pending_ = Pending::None;
    int64_t busyUntil_ = 0;
    uint8_t pollByte_ = 0xFF;
    bool toggle_ = false;

    std::unique_ptr<Log> log_;
};

}  // namespace tavrin::sim
