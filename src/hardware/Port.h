#pragma once
// One printer port as three byte-wide registers. Backends pass raw register values unchanged:
// the line table of the bus is already written in register terms.

#include <cstdint>
#include <memory>
#include <string>

#include "hardware/Clock.h"
#include "hardware/Priority.h"

namespace tavrin {

enum class PortRegister : uint8_t { Data = 0, Status = 1, Control = 2 };

class Port {
public:
    virtual ~Port() = default;
    virtual void writeData(uint8_t value) = 0;
    virtual void writeControl(uint8_t value) = 0;
    virtual uint8_t readStatus() = 0;
    // The clock that the bus delays on: real ports wait, the simulated board counts.
    virtual Clock& clock() = 0;
    // False when no port could be opened (writes are dropped, reads give 0xFF).
    virtual bool isOpen() const { return true; }
    // Short name for messages and the About box: "sim", "/dev/parport0", "io 0x378", "none".
    virtual std::string describe() const = 0;
    // Raises the thread's priority around a timed section (true) and drops it again; only real
    // ports need it, the simulated board notes it.
    virtual void changePriority(bool raise) { ChangePriority(raise); }
};

// Stands in when no port could be opened: the program goes on, nothing hangs. Nothing is
// attached, so its delays only count (a busy wait here would burn milliseconds for nothing: the
// start-up's power-down alone waits 8 ms).
class NullPort final : public Port {
public:
    explicit NullPort(std::string reason = {}) : reason_(std::move(reason)) {}
    void writeData(uint8_t) override {}
    void writeControl(uint8_t) override {}
    uint8_t readStatus() override { return 0xFF; }
    Clock& clock() override { return clock_; }
    bool isOpen() const override { return false; }
    std::string describe() const override { return "none"; }
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
    VirtualClock clock_;
};

}  // namespace tavrin
