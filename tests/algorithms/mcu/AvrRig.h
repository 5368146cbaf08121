#pragma once
// An AVR chosen from the device menu with its simulated chip in the socket.

#include <memory>
#include <stdexcept>
#include <vector>

#include "core/ImageBuffer.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/mcu/SimAvr.h"
#include "support/SimRig.h"

namespace tavrin::test {

struct AvrRig : SimRig {
    explicit AvrRig(const char* part) {
        const DeviceEntry* entry = FindDevice(part);
        if (!entry) throw std::logic_error(std::string("no device ") + part);
        SelectDevice(ctx, *entry);
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<sim::SimAvr*>(made.get());
        if (!chip) throw std::logic_error("no AVR model");
        board.insert(std::move(made));
    }
    // Flash image from 0 and EEPROM image at 0x40000, as a HEX load and an EEP load leave them.
    void load(const std::vector<uint8_t>& flash, const std::vector<uint8_t>& eeprom = {}) {
        ClearBuf(ctx, 1);
        std::copy(flash.begin(), flash.end(), ctx.Buffer.begin());
        std::copy(eeprom.begin(), eeprom.end(), ctx.Buffer.begin() + 0x40000);
        ctx.profile.bufferLoaded = uint32_t(flash.size());
    }
    bool socketOff() const { return !board.vccOn() && !board.vppOn(); }
    sim::SimAvr* chip = nullptr;
};

}  // namespace tavrin::test
