#pragma once
// The simulated programmer board: turns the three register bytes into socket pin levels the way
// the real board does, in virtual time, with one pluggable chip in the socket.
//
// Model: a 24-stage address register clocked by rising D0 edges written in serial mode (data
// bytes written in data-out mode never shift it); a read-back register that loads the socket
// data pins while D1 is high and shifts on falling D2 edges, its output on status bit 6
// inverted; in data-out mode the data register drives D0..D7 and the device outputs are
// disabled; pin 11 follows D0 while the socket is powered (the hardware check) unless the chip
// pulls it, and status bit 7 is its inverse, as on every PC port.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hardware/Bus.h"
#include "hardware/Port.h"
#include "sim/SimChip.h"
#include "sim/Trace.h"

namespace tavrin::sim {

class SimBoard final : public Port {
public:
    SimBoard();

    // Port
    void writeData(uint8_t value) override;
    void writeControl(uint8_t value) override;
    uint8_t readStatus() override;
    Clock& clock() override { return clock_; }
    std::string describe() const override { return "sim"; }
    // The thread stays as it is; the board remembers what was asked.
    void changePriority(bool raise) override {
        priorityRaised_ = raise;
        if (raise) ++priorityRaises_;
    }
    bool priorityRaised() const { return priorityRaised_; }
    int priorityRaises() const { return priorityRaises_; }

    // The socket.
    void insert(std::unique_ptr<SimChip> chip);
    std::unique_ptr<SimChip> remove();
    SimChip* chip() const { return chip_.get(); }

    // Faults of the board itself.
    void setPresent(bool present) { present_ = present; }
    void setPowered(bool powered);
    // Forces printer-port pin 11 to a level (a broken cable or board); nullopt releases it.
    void setBusyStuck(std::optional<bool> level) { busyStuck_ = level; }
    // Holds socket address line A`bit` (data: D`bit`) at `level` whatever the board drives: a
    // broken track or a pin shorted to a rail. The chip sees the held level, and so does the
    // read-back register.
    void setSocketLineStuck(bool data, int bit, bool level);
    // The board goes away (cable pulled, supply lost) once `accesses` more port accesses are made.
    void loseBoardAfter(uint64_t accesses);
    // The process receives `signal` (Ctrl-C, a kill, a closed terminal) once `accesses` more port
    // accesses are made: an interruption at an exact point of a run.
    void raiseAfter(uint64_t accesses, int signal);
    // A sound board again: present, powered, every line free, nothing pending.
    void clearFaults();

    // Virtual time and cost accounting.
    void setAccessCostNs(double ns) { accessCostTicks_ = int64_t(ns * kTicksPerNs + 0.5); }
    int64_t accessCostTicks() const { return accessCostTicks_; }
    VirtualClock& virtualClock() { return clock_; }
    double nowUs() const { return clock_.nowNs() / 1000.0; }
    uint64_t accesses() const { return accesses_; }
    void resetCounters() { accesses_ = 0; }

    // Levels as the socket sees them.
    const SocketPins& pins() const { return pins_; }
    uint8_t controlRegister() const { return control_; }
    uint8_t dataRegister() const { return data_; }
    uint32_t addressRegister() const { return pins_.address; }
    bool vccOn() const { return pins_.vcc; }
    bool vppOn() const { return pins_.vpp; }
    bool socketPowered() const { return pins_.vcc || pins_.vpp; }
    // What the program itself last asked for, board or no board: Vcc on or Vpp applied.
    bool hostPowersSocket() const { return (control_ & Bits::Vcc) || !(control_ & Bits::Vpp); }
    // The byte on the socket data pins now: the board's latch in data-out mode, else the chip's
    // outputs with pull-ups.
    uint8_t socketData();
    bool busyPinLevel();

    Trace& trace() { return trace_; }

private:
    void tick() {
        clock_.advanceTicks(accessCostTicks_);
        if (++accesses_ == nextEvent_) onEvent();
    }
    void onEvent();
    bool boardLive() const { return present_ && powered_; }
    void updatePins();
    void notifyChip();
    void recordTrace();

    VirtualClock clock_;
    int64_t accessCostTicks_ = 1000 * kTicksPerNs;  // 1 us, an ISA-speed port access
    uint64_t accesses_ = 0;
    uint64_t lossAt_ = UINT64_MAX;
    uint64_t signalAt_ = UINT64_MAX;
    int signal_ = 0;
    uint64_t nextEvent_ = UINT64_MAX;  // the nearer of the two

    uint8_t data_ = 0;
    uint8_t control_ = 0x09;  // idle: Vpp off, serial mode, Vcc off, strobe asserted
    uint8_t readBack_ = 0xFF;
    bool readBackFresh_ = false;  // loaded and not yet shifted out
    SocketPins pins_;

    bool priorityRaised_ = false;
    int priorityRaises_ = 0;
    bool present_ = true;
    bool powered_ = true;
    std::optional<bool> busyStuck_;
    uint32_t stuckAddressMask_ = 0, stuckAddressLevels_ = 0;
    uint8_t stuckDataMask_ = 0, stuckDataLevels_ = 0;
    // The pins as the chip sees them: the held lines at their levels.
    SocketPins seen() const;
    uint8_t held(uint8_t data) const {
        return uint8_t((data & ~stuckDataMask_) | stuckDataLevels_);
    }
    std::unique_ptr<SimChip> chip_;
    Trace trace_;
};

}  // namespace tavrin::sim
