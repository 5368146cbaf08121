#pragma once
// What every fuzz target shares: one context whose port answers at once (the error reports run
// the hardware check, whose waits must not cost real time) and the checks that must hold after
// any input.

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "core/Context.h"
#include "hardware/Clock.h"
#include "hardware/Port.h"

namespace tavrin::fuzz {

// A board that is present: pin 11 follows D0, and time is virtual.
class InstantPort final : public Port {
  public:
    void writeData(uint8_t value) override { data_ = value; }
    void writeControl(uint8_t) override {}
    uint8_t readStatus() override { return (data_ & 1) ? 0x00 : 0x80; }
    Clock& clock() override { return clock_; }
    std::string describe() const override { return "fuzz"; }

  private:
    uint8_t data_ = 0;
    VirtualClock clock_;
};

inline Context& FuzzContext() {
    static Context* ctx = [] {
        auto* c = new Context();
        c->setPort(std::make_unique<InstantPort>());
        return c;
    }();
    return *ctx;
}

// The Buffer keeps its size and the recorded extent never reaches past it.
inline void CheckInvariants(const Context& ctx) {
    if (ctx.Buffer.size() != kBufferBytes || ctx.profile.bufferLoaded > kBufferBytes) std::abort();
}

}  // namespace tavrin::fuzz
