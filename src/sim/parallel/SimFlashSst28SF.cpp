#include "sim/parallel/SimFlashSst28SF.h"

#include <cmath>
#include <istream>
#include <ostream>
#include <sstream>

#include "hardware/Clock.h"

namespace tavrin::sim {

namespace {

constexpr double kTicksPerUs = 1000.0 * kTicksPerNs;

int64_t ticksOf(double us) {
    return std::llround(us * kTicksPerUs);
}

}  // namespace

std::unique_ptr<SimChip> MakeFlashSst28SF(int32_t eep, int32_t) {
    Sst28SFType t;
    if (eep == 25)
        t.name = "SST28SF040A";
    else if (eep == 26)
        t.name = "LE28F4001";
    else
        return nullptr;
    return std::make_unique<SimFlashSst28SF>(t);
}

SimFlashSst28SF::SimFlashSst28SF(Sst28SFType type) : type_(std::move(type)), cells_(type_.size) {}

void SimFlashSst28SF::onPins(const SocketPins& pins, int64_t now) {
    settle(now);
    if (!pins.vcc) {
        if (lastVcc_) {
            // Power gone: the operation under way is lost, the protection comes back.
            busy_ = false;
            mode_ = Mode::Read;
            protected_ = true;
            matched_ = 0;
        }
        lastVcc_ = false;
        lastStrobe_ = pins.strobe;
        lastOutputs_ = false;
        return;
    }
    lastVcc_ = true;
    const bool outputs = pins.outputEnabled();
    if (outputs && !lastOutputs_) toggle_ = !toggle_;
    if (!outputs && lastOutputs_) readCycle(cells_.wrap(pins.address));
    lastOutputs_ = outputs;
    if (pins.strobe && !lastStrobe_) latchedAddress_ = cells_.wrap(pins.address);
    if (!pins.strobe && lastStrobe_ && pins.dataOut) write(latchedAddress_, pins.drivenData(), now);
    lastStrobe_ = pins.strobe;
}

void SimFlashSst28SF::readCycle(uint32_t address) {
    if (matched_ == kSstUnprotect.size() - 1) {
        if (address == kSstUnprotect.back() && !staysProtected_) {
            protected_ = false;
            ++log_.unprotects;
        } else if (address == kSstProtectLast) {
            protected_ = true;
            ++log_.protects;
        }
        matched_ = 0;
        return;
    }
    if (address == kSstUnprotect[matched_])
        ++matched_;
    else
        matched_ = address == kSstUnprotect[0] ? 1 : 0;
}

void SimFlashSst28SF::write(uint32_t address, uint8_t data, int64_t now) {
    matched_ = 0;
    if (busy_) {
        ++log_.busyWrites;
        return;
    }
    const Mode setup = mode_;
    mode_ = Mode::Read;
    if (setup == Mode::ProgramSetup) {
        busy_ = true;
        erasing_ = false;
        opAddress_ = address;
        opData_ = data;
        busyUntil_ = now + ticksOf(type_.programUs);
        return;
    }
    if (setup == Mode::SectorSetup && data == 0xD0) {
        busy_ = erasing_ = true;
        opAddress_ = address & ~(kSst28SFSector - 1);
        opLength_ = kSst28SFSector;
        busyUntil_ = now + ticksOf(type_.sectorEraseUs) * eraseScale_;
        return;
    }
    if (setup == Mode::ChipSetup && data == 0x30) {
        busy_ = erasing_ = true;
        opAddress_ = 0;
        opLength_ = type_.size;
        busyUntil_ = now + ticksOf(type_.chipEraseUs) * eraseScale_;
        return;
    }
    switch (data) {
        case 0x90:
            mode_ = Mode::Id;
            break;
        case 0x10:
        case 0x20:
        case 0x30:
            if (protected_) {
                ++log_.protectedCommands;
                break;
            }
            mode_ = data == 0x10   ? Mode::ProgramSetup
                    : data == 0x20 ? Mode::SectorSetup
                                   : Mode::ChipSetup;
            break;
        default:
            break;  // FFh and anything else: read
    }
}

void SimFlashSst28SF::settle(int64_t now) {
    if (!busy_ || now < busyUntil_) return;
    busy_ = false;
    if (!erasing_) {
        ++log_.programs;
        cells_.program(opAddress_, opData_);
    } else if (opLength_ == kSst28SFSector) {
        ++log_.sectorErases;
        cells_.erase(opAddress_, opLength_);
    } else {
        ++log_.chipErases;
        // Sector by sector, so that an unerasable sector keeps only its own bytes.
        for (uint32_t a = 0; a < type_.size; a += kSst28SFSector) cells_.erase(a, kSst28SFSector);
    }
}

int SimFlashSst28SF::readData(const SocketPins& pins, int64_t now) {
    settle(now);
    if (!pins.vcc || !pins.outputEnabled()) return -1;
    const uint32_t a = cells_.wrap(pins.address);
    if (busy_) {
        const uint8_t dq7 = erasing_ ? 0 : uint8_t(~opData_ & 0x80);
        return (cells_.read(a) & 0x3F) | dq7 | (toggle_ ? 0x40 : 0);
    }
    if (mode_ == Mode::Id) return (a & 1) ? type_.device : type_.manufacturer;
    return flakyRead(a, cells_.read(a));
}

void SimFlashSst28SF::saveState(std::ostream& out) const {
    std::ostringstream id;
    id << "id " << int(type_.manufacturer) << ' ' << int(type_.device);
    cells_.save(out, "sst28sf",
                {"slow-erase " + std::to_string(eraseScale_),
                 "stays-protected " + std::to_string(staysProtected_ ? 1 : 0), id.str()});
}

bool SimFlashSst28SF::loadState(std::istream& in) {
    std::vector<std::string> extra;
    FlashCells loaded(cells_.size());
    if (!loaded.load(in, "sst28sf", extra)) return false;
    int scale = 1, stays = 0, m = type_.manufacturer, d = type_.device;
    for (const std::string& line : extra) {
        std::istringstream f(line);
        std::string key;
        f >> key;
        bool ok = false;
        if (key == "slow-erase")
            ok = bool(f >> scale) && scale >= 1;
        else if (key == "stays-protected")
            ok = bool(f >> stays);
        else if (key == "id")
            ok = bool(f >> m >> d);
        if (!ok) return false;
    }
    cells_ = std::move(loaded);
    eraseScale_ = scale;
    staysProtected_ = stays != 0;
    type_.manufacturer = uint8_t(m);
    type_.device = uint8_t(d);
    protected_ = true;
    busy_ = false;
    mode_ = Mode::Read;
    return true;
}

}  // namespace tavrin::sim
