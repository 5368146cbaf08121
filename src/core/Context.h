#pragma once
// Everything a command works on: the device profile, the buffer, the bus and the front end.
// Any number of contexts can live side by side (one per test, one per window).

#include <cstdint>
#include <memory>
#include <vector>

#include "core/DeviceProfile.h"
#include "core/FrontEnd.h"
#include "core/Mcs51Timing.h"
#include "core/WritePlan.h"
#include "hardware/Bus.h"
#include "hardware/Port.h"

namespace tavrin {

inline constexpr uint32_t kBufferBytes = 4 * 1024 * 1024;

struct Context {
    // Without a port the context talks to nothing (writes dropped, reads 0xFF) until one is set.
    explicit Context(FrontEnd* frontEnd = nullptr);
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // Takes over the port; the bus writes to it from now on.
    void setPort(std::unique_ptr<Port> newPort);
    Port& port() const { return *port_; }
    FrontEnd& ui() const { return *ui_; }
    void setFrontEnd(FrontEnd* frontEnd);

    DeviceProfile profile;
    OptionControls controls;
    Mcs51Timing mcs51;  // the 8051-family timing record, defaults from start-up
    std::vector<uint8_t> Buffer;  // kBufferBytes, the device image
    Bus bus;
    WritePlan writePlan;  // set only while a differential program runs

private:
    std::unique_ptr<Port> port_;
    FrontEnd* ui_;
    SilentFrontEnd silent_;
};

}  // namespace tavrin
