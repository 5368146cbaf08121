#include "sim/parallel/SimElectricalEraseEprom.h"

#include <memory>

#include "hardware/Clock.h"

namespace tavrin::sim {

SimElectricalEraseEprom::SimElectricalEraseEprom(EpromType type, double vpeVolts, double eraseMs)
    : SimEprom(std::move(type)),
      vpeVolts_(vpeVolts),
      suppliedVolts_(vpeVolts),
      eraseTicks_(int64_t(eraseMs * 1e6 * double(kTicksPerNs))) {}

void SimElectricalEraseEprom::onPins(const SocketPins& pins, int64_t now) {
    const bool erasing = pins.vcc && pins.vpp && pins.strobe && pins.dataOut;
    if (erasing && !pulse_ && pins.drivenData() == 0xFF) {
        pulse_ = true;
        pulseStart_ = now;
    } else if (!erasing && pulse_) {
        pulse_ = false;
        if (now - pulseStart_ >= eraseTicks_) {
            ++erasePulses_;
            if (!neverErases_ && suppliedVolts_ >= vpeVolts_ - 0.5) {
                uvErase();  // every cell back to 1; stuck bits stay
                ++erases_;
            }
        }
    }
    SimEprom::onPins(pins, now);
}

bool SimElectricalEraseEprom::applyFamilyFault(const std::string& fault, std::string& error) {
    (void)error;
    if (fault != "never-erases") return false;
    neverErases_ = true;
    return true;
}

std::unique_ptr<SimChip> MakeElectricalEraseEprom(int32_t tag, const std::string& caption) {
    constexpr uint32_t K = 1024;
    // Pin classes as the 27C parts of the same pinout: VPP on pin 1 with /CE the strobe (256,
    // 040), the OE#/VPP pin (512), a separate /PGM (010, 020).
    struct Row {
        int32_t tag;
        uint32_t size;
        EpromPins pins;
        const char* size_name;
    };
    static constexpr Row rows[] = {
        {1, 32 * K, EpromPins::CeProgram, "256"},  {2, 64 * K, EpromPins::OeVpp, "512"},
        {3, 128 * K, EpromPins::PgmPin, "010"},    {4, 256 * K, EpromPins::PgmPin, "020"},
        {5, 512 * K, EpromPins::CeProgram, "040"},
    };
    for (const Row& r : rows) {
        if (r.tag != tag) continue;
        if (caption.rfind("MX26C4000", 0) == 0)  // Vep 12.5 V per its caption
            return std::make_unique<SimElectricalEraseEprom>(
                QuickPulseEprom("MX26C4000", r.size, r.pins), 12.5);
        if (caption.rfind("SST", 0) == 0)
            return std::make_unique<SimElectricalEraseEprom>(
                QuickPulseEprom(std::string("SST27SF") + r.size_name, r.size, r.pins), 12.0);
        return std::make_unique<SimElectricalEraseEprom>(
            QuickPulseEprom(std::string("W27E") + r.size_name, r.size, r.pins), 14.0);
    }
    return nullptr;
}

}  // namespace tavrin::sim
