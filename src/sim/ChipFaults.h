#pragma once
// Faults a chip model can be given from a test or the command line. Models that support a fault
// implement this next to SimChip; ApplySimFault finds it on the chip in the socket.

#include <cstdint>
#include <string>

#include "sim/FlakyBits.h"

namespace tavrin::sim {

class ChipFaults {
  public:
    virtual ~ChipFaults() = default;
    // Bit `bit` of `address` reads `level` whatever is programmed or erased.
    virtual void setStuckBit(uint32_t address, int bit, bool level) = 0;
    // The cells of `address` need `pulses` program pulses before they read programmed.
    virtual void setSlowCell(uint32_t address, int pulses) = 0;
    // The chip takes no charge from any pulse (dead programming circuit, wrong Vpp).
    virtual void setNeverPrograms(bool never) = 0;
    // Bit `bit` of `address` reads inverted on some reads (see FlakyBits); every model applies
    // these in its read path.
    void setFlakyBit(uint32_t address, int bit) { flaky_.add(address, bit); }
    // The board calls this when the socket supply comes on.
    void beginPowerSession() { flaky_.beginSession(); }
    // Faults only one family knows (a protected sector, a slow erase). True when the text was
    // one; false with `error` set when it was one but cannot be used, false with `error` left
    // empty when it is none of the family's.
    virtual bool applyFamilyFault(const std::string& fault, std::string& error) {
        (void)fault, (void)error;
        return false;
    }

  protected:
    // A read of `address` as the flaky bits make it; reads are const, the count is not.
    uint8_t flakyRead(uint32_t address, uint8_t value) const { return flaky_.apply(address, value); }
    FlakyBits& flakyBits() const { return flaky_; }

  private:
    mutable FlakyBits flaky_;
};

}  // namespace tavrin::sim
