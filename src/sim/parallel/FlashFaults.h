#pragma once
// Faults of the flash models beyond the cell faults every chip takes, and their text form.

#include <cstdint>
#include <string>

namespace tavrin::sim {

class FlashFaults {
  public:
    virtual ~FlashFaults() = default;
    // The erase needs k times its nominal time (28F0x0: k times the nominal number of pulses).
    virtual void setSlowErase(int k) = 0;
    // The erase unit holding `address` never erases.
    virtual void setUnerasable(uint32_t address) = 0;
    // The programming voltage never reaches the chip (broken Vpp switch, jumper off).
    virtual void setVppMissing(bool missing) = 0;
    // The identifier the chip answers with.
    virtual void setId(uint8_t manufacturer, uint8_t device) = 0;
};

// Applies a flash fault given as text to `target`:
//   slow-erase:K        the erase needs K times its nominal time (K >= 1)
//   unerasable:ADDR     the erase unit holding ADDR never erases
//   vpp-missing         the programming voltage never reaches the chip
//   id:MAKER:DEVICE     the chip answers with these identifier codes
// True when applied; false when `fault` is none of these. The models' applyFamilyFault.
bool ApplyFlashFault(FlashFaults& target, const std::string& fault);

}  // namespace tavrin::sim
