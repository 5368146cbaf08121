#pragma once
// A UV EPROM (2716 to 27C080, and the 16-bit parts behind their adapter) in the simulated socket.
//
// Cells: erased 0xFF; a bit goes from 1 to 0 only by program charge, 0 to 1 only by uvErase().
// Charge accumulates per bit over every valid program pulse (floating-gate charging adds up, which
// is why the quick-pulse and intelligent algorithms repeat pulses), and a bit reads programmed
// once its charge reaches the cell's nominal pulse width. A pulse counts only while Vcc is on, Vpp
// is at the programming level and the chip is in program mode by its own control pins; bits whose
// data is 1 get nothing; an address change during the pulse voids it, a data change keeps only
// the bits that stayed 0.
//
// What the programmer cannot do by the data sheets, and how the parts take it:
// - Pulses outside the data-sheet window (118 us against 95-105 us, 47 us against 47.5-52.5 us)
//   count for their length: a long one programs, a short one leaves charge the next pulse
//   completes. Both are counted in the log.
// - The 2716's 2 x 21 ms pulse is below its 45 ms minimum: the second pulse completes the charge.
// - There is no 6.25 V programming Vcc; the parts program at 5 V and the model accepts it.
// - The intelligent algorithm's over-program pulse is never given; retention margin is not
//   modelled.
//
// Reads: outputs drive the data pins while the chip is enabled and /OE is low, in read and in
// program-verify mode; the board samples them when it loads its read-back register.
//
// Wiring: chip address bit k comes from address-register stage k for every package here (the
// socket pin map for A0-A17, the DIP switch for A18 on pin 31, the jumper for A19 on pin 1). The
// 16-bit adapter takes its byte lane from stage 0 and its word address from the stages above,
// holding the other lane high while programming, so its byte image is again stage-addressed; it
// reaches the stages beyond the socket (19-21 for the 27C800, 27C160, 27C322) itself, as those
// parts could not be addressed otherwise. Control pins per part class, see EpromPins.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/ChipFaults.h"
#include "sim/SimChip.h"

namespace tavrin::sim {

// How the chip's control pins hang on the board nets (STB# = strobe, OE# = data-out mode off).
enum class EpromPins : uint8_t {
    CeProgram,  // /CE <- STB#, separate Vpp pin: program by a /CE pulse (27C256, 27C040, 27256)
    PgmPin,     // /CE tied low, /PGM <- STB#, separate Vpp pin (27C64, 27C128, 27C010, 27C020)
    OeVpp,      // /CE <- STB#, combined OE#/VPP pin (27C512, 27C080, 2732, 27C32)
    CePgmHigh,  // 2716 / 27C16: CE/PGM <- STB#, program pulse = CE/PGM high (STB# released)
};

struct EpromType {
    std::string name;
    uint32_t size = 0;  // bytes (16-bit parts: twice the words)
    EpromPins pins = EpromPins::CeProgram;
    bool wordWide = false;      // 16-bit part on the adapter: E low while STB# or OE# is low
    double cellChargeUs = 100;  // nominal program pulse of the data sheet
    double pulseMinUs = 95, pulseMaxUs = 105;  // data-sheet pulse window, for the log only
};

// The part classes of the catalogue (sizes as given; the caller may pass any power of two).
EpromType QuickPulseEprom(std::string name, uint32_t size, EpromPins pins);  // 27Cxxx, 100 us
EpromType FastEprom(std::string name, uint32_t size, EpromPins pins);        // 50 us parts
EpromType NmosEprom(std::string name, uint32_t size, EpromPins pins);        // 27xxx, 1 ms
EpromType SlowEprom(std::string name, uint32_t size, EpromPins pins);  // 2716/2732 class, 50 ms

class SimEprom : public SimChip, public ChipFaults {
public:
    explicit SimEprom(EpromType type);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins& pins, int64_t now) override;
    bool wantsAddressEvents() const override { return pulse_.active; }
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults
    void setStuckBit(uint32_t address, int bit, bool level) override;
    void setSlowCell(uint32_t address, int pulses) override;
    void setNeverPrograms(bool never) override { neverPrograms_ = never; }

    const EpromType& type() const { return type_; }
    // The array as programmed (stuck bits not applied); tests fill it directly.
    std::vector<uint8_t>& cells() { return cells_; }
    const std::vector<uint8_t>& cells() const { return cells_; }
    // The byte a read of `address` returns (stuck bits applied).
    uint8_t readCell(uint32_t address) const;
    // Ultraviolet erase: every cell back to 1, all partial charge gone. Stuck bits stay.
    void uvErase();

    // What the chip has seen, for tests and the log.
    struct Log {
        uint64_t pulses = 0;         // program pulses that charged at least one bit
        uint64_t outOfWindow = 0;    // of those, outside the data-sheet pulse window
        uint64_t ignoredPulses = 0;  // program-mode pulses that charged nothing
        uint64_t voidedPulses = 0;   // address changed while the pulse was on
        uint64_t vppWithoutVcc = 0;  // programming voltage applied to an unpowered chip
        double shortestPulseUs = 0, longestPulseUs = 0;
    };
    const Log& log() const { return log_; }

private:
    struct ControlLines {
        bool ceLow, oeLow, pgmLow;
    };
    struct Partial {
        std::array<int64_t, 8> charge{};  // ticks of valid pulse per bit
        int pulses = 0;
    };
    struct Stuck {
        uint8_t mask = 0, level = 0;
    };

    uint32_t addressOf(const SocketPins& pins) const { return pins.address & (type_.size - 1); }
    ControlLines lines(const SocketPins& pins) const;
    bool programMode(const SocketPins& pins) const;
    bool outputsOn(const SocketPins& pins) const;
    void endPulse(int64_t now);
    void charge(uint32_t address, uint8_t zeroBits, int64_t ticks);
    int pulsesNeeded(uint32_t address) const;

    EpromType type_;
    int64_t chargeNeeded_;  // ticks
    std::vector<uint8_t> cells_;
    std::map<uint32_t, Partial> partial_;
    std::map<uint32_t, Stuck> stuck_;
    std::map<uint32_t, int> slow_;
    bool neverPrograms_ = false;

    struct {
        bool active = false;
        int64_t start = 0;
        uint32_t address = 0;
        uint8_t zeroBits = 0;  // data bits that were 0 for the whole pulse so far
        bool voided = false;
    } pulse_;
    bool lastVppWithoutVcc_ = false;
    Log log_;
};

}  // namespace tavrin::sim
