#pragma once
// Electrically erasable EPROMs (Winbond W27C/W27E, SST27SF, MX26C4000) in the simulated socket:
// read and programmed exactly like the 27C parts (SimEprom), erased in the socket.
//
// Erase by the data sheets (W27C512/W27E512/W27E020 "Erase mode"): VPP (or OE#/VPP) at VPE (14 V
// Winbond, 12 V SST), A9 at VID (14 V), A0 and the other addresses low, all data inputs high, OE#
// high and CE# (28-pin) or PGM# (32-pin) pulsed low; one 100 ms pulse erases the whole chip.
// The board cannot raise A9, and the erase routine puts 0xD0 on the data pins before it ends the
// pulse. The model is lenient on both: a pulse that starts with the data pins high, with the
// programming voltage on and the strobe asserted, erases the chip once it has lasted tErase,
// provided the board's voltage reaches the part's VPE (the jumper the menu caption names).

#include <memory>
#include <string>

#include "sim/SimEprom.h"

namespace tavrin::sim {

class SimElectricalEraseEprom : public SimEprom {
  public:
    SimElectricalEraseEprom(EpromType type, double vpeVolts, double eraseMs = 100);

    void onPins(const SocketPins& pins, int64_t now) override;
    // never-erases: the erase pulse clears nothing (a worn-out part).
    bool applyFamilyFault(const std::string& fault, std::string& error) override;

    // The voltage the board's programming supply is set to; the part's VPE unless changed.
    void setSuppliedVolts(double volts) { suppliedVolts_ = volts; }
    double vpeVolts() const { return vpeVolts_; }
    uint64_t erasePulses() const { return erasePulses_; }  // pulses long enough to erase
    uint64_t erases() const { return erases_; }            // of those, the ones that erased

  private:
    double vpeVolts_, suppliedVolts_;
    int64_t eraseTicks_;
    bool neverErases_ = false;
    bool pulse_ = false;
    int64_t pulseStart_ = 0;
    uint64_t erasePulses_ = 0, erases_ = 0;
};

// The model of the "EPROM Electrical Erase" entry with Tag `tag` and caption `caption` (the
// Winbond, SST and MX26C4000 entries share their Tags); nullptr for an unknown Tag.
std::unique_ptr<SimChip> MakeElectricalEraseEprom(int32_t tag, const std::string& caption);

}  // namespace tavrin::sim
