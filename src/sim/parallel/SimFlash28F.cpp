#include "sim/parallel/SimFlash28F.h"

#include <algorithm>
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

// 28F256A .. 28F020 (Intel, AMD, Catalyst): 10 us program pulses, quick erase of about 1 s in
// pulses of at most 10 ms (28F010 data sheet: tWHWH1, tWHWH2, typical chip erase).
Flash28FType Intel28F(std::string name, uint32_t size, uint8_t manufacturer, uint8_t device) {
    Flash28FType t;
    t.name = std::move(name);
    t.size = size;
    t.manufacturer = manufacturer;
    t.device = device;
    return t;
}

// MX26C1000/2000: the 28F010 command bytes at 12.75 V; about 100 us of program time per byte
// (MX26C4000B), erase time and pulse limit not in the data we have (parameters).
Flash28FType Mx26C(std::string name, uint32_t size, uint8_t device) {
    Flash28FType t = Intel28F(std::move(name), size, 0xC2, device);
    t.programUs = 100;
    t.eraseUs = 1e6;
    t.stopTimerUs = 0;
    return t;
}

// MX28F2000: self-timed program and chip erase (30h 30h).
Flash28FType Mx28F2000(uint32_t size) {
    Flash28FType t = Intel28F("MX28F2000", size, 0xC2, 0x2A);
    t.selfTimed = true;
    t.eraseCommand = 0x30;
    return t;
}

std::unique_ptr<SimChip> MakeFlash28F(int32_t eep, int32_t tag, uint32_t size) {
    // Intel codes where the part is Intel's (28F256A B9h, 28F512 B8h, 28F010 B4h, 28F020 BDh);
    // the 28F64, 28F128 and 28F040 rows name no maker, so they answer as Intel parts with the
    // nearest code.
    struct Row {
        int32_t tag;
        const char* name;
        uint8_t device;
    };
    static const Row k28F[] = {{1, "28F64", 0xB8},  {2, "28F128", 0xB8}, {3, "28F256", 0xB9},
                               {4, "28F512", 0xB8}, {5, "28F010", 0xB4}, {6, "28F020", 0xBD},
                               {7, "28F040", 0xBD}};
    switch (eep) {
        case 3:
            for (const Row& r : k28F)
                if (r.tag == tag)
                    return std::make_unique<SimFlash28F>(Intel28F(r.name, size, 0x89, r.device));
            return nullptr;
        case 30:
            return std::make_unique<SimFlash28F>(tag == 101 ? Mx26C("MX26C1000", size, 0xCF)
                                                            : Mx26C("MX26C2000", size, 0xC3));
        case 31:
            return std::make_unique<SimFlash28F>(Mx28F2000(size));
        default:
            return nullptr;
    }
}

SimFlash28F::SimFlash28F(Flash28FType type) : type_(std::move(type)), cells_(type_.size) {}

void SimFlash28F::onPins(const SocketPins& pins, int64_t now) {
    settle(now);
    if (lastVcc_ && !pins.vcc) {
        // Power gone: a pulse ends where it is, a self-timed operation is cut short.
        endPulse(now);
        mode_ = Mode::Read;
    }
    if (pins.vcc && !lastVcc_) mode_ = Mode::Read;
    const bool vpp = pins.vpp && !vppMissing_;
    if (vpp != lastVpp_) {
        // Vpp rising resets the register to read; Vpp falling leaves a ROM, ending any pulse.
        endPulse(now);
        mode_ = Mode::Read;
    }
    if (pins.strobe && !lastStrobe_) latchedAddress_ = addressOf(pins);
    if (!pins.strobe && lastStrobe_ && pins.vcc) {
        if (commandsEnabled(pins) && pins.dataOut)
            write(latchedAddress_, pins.drivenData(), now);
        else
            ++log_.ignoredWrites;
    }
    lastStrobe_ = pins.strobe;
    lastVpp_ = vpp;
    lastVcc_ = pins.vcc;
}

void SimFlash28F::write(uint32_t address, uint8_t data, int64_t now) {
    if (mode_ == Mode::Busy) {
        ++log_.ignoredWrites;
        return;
    }
    const Mode before = mode_;
    endPulse(now);
    switch (before) {
        case Mode::ProgramSetup:
            if (address != opAddress_ || data != opData_) charge_ = 0;
            opAddress_ = address;
            opData_ = data;
            opStart_ = now;
            if (type_.selfTimed) {
                mode_ = Mode::Busy;
                busyErasing_ = false;
                busyUntil_ = now + ticksOf(type_.autoProgramUs);
            } else {
                mode_ = Mode::Programming;
            }
            return;
        case Mode::EraseSetup:
            if (data == type_.eraseCommand) {
                startErase(now);
            } else {
                ++log_.invalidCommands;
                mode_ = Mode::Read;
            }
            return;
        case Mode::ResetSetup:
            if (data == 0xFF) {
                mode_ = Mode::Read;
                return;
            }
            break;
        default:
            break;
    }
    switch (data) {
        case 0x00:
            mode_ = Mode::Read;
            break;
        case 0x90:
            mode_ = Mode::Id;
            break;
        case 0x40:
            mode_ = Mode::ProgramSetup;
            break;
        case 0xC0:
            mode_ = Mode::ProgramVerify;
            break;
        case 0xA0:
            mode_ = Mode::EraseVerify;
            opAddress_ = address;
            break;
        case 0xFF:
            mode_ = Mode::ResetSetup;
            break;
        default:
            if (data == type_.eraseCommand) {
                mode_ = Mode::EraseSetup;
            } else {
                ++log_.invalidCommands;
                mode_ = Mode::Read;
            }
            break;
    }
}

void SimFlash28F::startErase(int64_t now) {
    if (eraseTicks_ == 0 &&
        std::find(cells_.cells().begin(), cells_.cells().end(), 0xFF) != cells_.cells().end())
        ++log_.erasesNotPreprogrammed;
    opStart_ = now;
    if (type_.selfTimed) {
        mode_ = Mode::Busy;
        busyErasing_ = true;
        busyUntil_ = now + ticksOf(type_.autoEraseUs) * eraseScale_;
    } else {
        mode_ = Mode::Erasing;
    }
}

void SimFlash28F::endPulse(int64_t now) {
    if (mode_ == Mode::Programming) {
        ++log_.programPulses;
        charge_ += now - opStart_;
        if (charge_ >= ticksOf(type_.programUs)) {
            cells_.program(opAddress_, opData_);
            charge_ = 0;
        }
        mode_ = Mode::Read;
    } else if (mode_ == Mode::Erasing) {
        ++log_.erasePulses;
        int64_t ticks = now - opStart_;
        if (type_.stopTimerUs > 0) ticks = std::min(ticks, ticksOf(type_.stopTimerUs));
        log_.longestErasePulseUs = std::max(log_.longestErasePulseUs, double(ticks) / kTicksPerUs);
        addEraseTime(ticks);
        mode_ = Mode::Read;
    } else if (mode_ == Mode::Busy) {
        mode_ = Mode::Read;  // cut short: nothing of it takes effect
    }
}

void SimFlash28F::settle(int64_t now) {
    if (mode_ != Mode::Busy || now < busyUntil_) return;
    if (busyErasing_) {
        ++log_.erasePulses;
        for (uint32_t a = 0; a < cells_.size(); ++a)
            if (cells_.cells()[a] != 0xFF) cells_.erase(a, 1);
    } else {
        ++log_.programPulses;
        cells_.program(opAddress_, opData_);
    }
    mode_ = Mode::Read;
}

int64_t SimFlash28F::eraseNeeded() const {
    return ticksOf(type_.eraseUs) * eraseScale_;
}

// Each byte erases somewhere in the last tenth of the array's erase time (a fixed spread).
int64_t SimFlash28F::eraseThreshold(uint32_t address) const {
    const uint32_t spread = (address * 2654435761u) >> 16 & 0xFFFF;
    const int64_t need = eraseNeeded();
    return need - need / 10 + (need / 10) * int64_t(spread) / 65536;
}

void SimFlash28F::addEraseTime(int64_t ticks) {
    eraseTicks_ += ticks;
    const int64_t need = eraseNeeded();
    if (eraseTicks_ < need - need / 10) return;
    const bool done = eraseTicks_ >= need;
    std::vector<uint8_t>& c = cells_.cells();
    bool left = false;  // bytes that have not had their erase time yet
    for (uint32_t a = 0; a < cells_.size(); ++a) {
        if (c[a] == 0xFF) continue;
        if (!(done || eraseTicks_ >= eraseThreshold(a)))
            left = true;
        else if (!cells_.erase(a, 1))
            continue;  // an unerasable byte does not hold the others back
    }
    // Once nothing is left to erase, the next erase starts from the beginning again.
    if (done || !left) eraseTicks_ = 0;
}

int SimFlash28F::readData(const SocketPins& pins, int64_t now) {
    settle(now);
    if (!pins.vcc || !pins.outputEnabled()) return -1;
    const uint32_t a = addressOf(pins);
    if (!commandsEnabled(pins)) return flakyRead(cells_.wrap(a), cells_.read(a));
    switch (mode_) {
        case Mode::Id:
            return (a & 1) ? type_.device : type_.manufacturer;
        case Mode::ProgramVerify:
        case Mode::EraseVerify:
            return cells_.read(opAddress_);
        case Mode::Busy:
            // Data polling: bit 7 is the complement of the data being programmed, 0 while erasing.
            return (cells_.read(a) & 0x7F) | (busyErasing_ ? 0 : (~opData_ & 0x80));
        default:
            return flakyRead(cells_.wrap(a), cells_.read(a));
    }
}

void SimFlash28F::saveState(std::ostream& out) const {
    std::ostringstream id;
    id << "id " << int(type_.manufacturer) << ' ' << int(type_.device);
    cells_.save(
        out, "flash28f",
        {"erase-time " + std::to_string(eraseTicks_), "slow-erase " + std::to_string(eraseScale_),
         "vpp-missing " + std::to_string(vppMissing_ ? 1 : 0),
         "charge " + std::to_string(opAddress_) + ' ' + std::to_string(opData_) + ' ' +
             std::to_string(charge_),
         id.str()});
}

bool SimFlash28F::loadState(std::istream& in) {
    std::vector<std::string> extra;
    FlashCells loaded(cells_.size());
    if (!loaded.load(in, "flash28f", extra)) return false;
    int64_t eraseTicks = 0, charge = 0;
    int scale = 1, vppMissing = 0, m = type_.manufacturer, d = type_.device, data = 0xFF;
    uint32_t address = 0;
    for (const std::string& line : extra) {
        std::istringstream f(line);
        std::string key;
        f >> key;
        bool ok = true;
        if (key == "erase-time")
            ok = bool(f >> eraseTicks);
        else if (key == "slow-erase")
            ok = bool(f >> scale) && scale >= 1;
        else if (key == "vpp-missing")
            ok = bool(f >> vppMissing);
        else if (key == "charge")
            ok = bool(f >> address >> data >> charge);
        else if (key == "id")
            ok = bool(f >> m >> d);
        else
            ok = false;
        if (!ok) return false;
    }
    cells_ = std::move(loaded);
    eraseTicks_ = eraseTicks;
    eraseScale_ = scale;
    vppMissing_ = vppMissing != 0;
    opAddress_ = cells_.wrap(address);
    opData_ = uint8_t(data);
    charge_ = charge;
    type_.manufacturer = uint8_t(m);
    type_.device = uint8_t(d);
    mode_ = Mode::Read;
    return true;
}

}  // namespace tavrin::sim
