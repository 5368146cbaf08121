#include "sim/mcu/SimMcs48.h"

#include <algorithm>
#include <istream>
#include <memory>
#include <ostream>
#include <sstream>

#include "core/Context.h"
#include "hardware/Clock.h"

namespace tavrin::sim {

namespace {
constexpr double kTicksPerUs = 1000.0 * kTicksPerNs;
constexpr double kProgramUs = 50000;  // PROG pulse a byte needs
int64_t ticksOf(double us) {
    return int64_t(us * kTicksPerUs + 0.5);
}
}  // namespace

SimMcs48::SimMcs48(Mcs48Type type)
    : type_(std::move(type)), cells_(type_.size, 0x00), resetDelay_(ticksOf(200)) {}

void SimMcs48::setResetDelayUs(double us) {
    resetDelay_ = ticksOf(us);
}

void SimMcs48::uvErase() {
    std::fill(cells_.begin(), cells_.end(), 0x00);
    charge_.clear();
    pulsesSeen_.clear();
}

void SimMcs48::settle(int64_t now) {
    if (!powered_ || now < driveEdge_ + resetDelay_) return;
    if (last_.dataOut && !reset_) {
        // RESET crossed its threshold while the bus held last_'s byte: the address is latched.
        reset_ = true;
        latched_ = ((((last_.address & 0xF) << 8) | last_.portData)) & (type_.size - 1);
        ++log_.latches;
        log_.lastLatched = latched_;
    } else if (!last_.dataOut && reset_) {
        reset_ = false;
    }
}

void SimMcs48::onPins(const SocketPins& pins, int64_t now) {
    settle(now);
    if (!pins.vcc) {
        powered_ = reset_ = progHigh_ = false;
        last_ = pins;
        return;
    }
    if (!powered_) {
        powered_ = true;
        reset_ = false;
        driveEdge_ = now;
        progHigh_ = !pins.strobe;
        progValid_ = false;
        last_ = pins;
        return;
    }
    if (pins.dataOut != last_.dataOut) driveEdge_ = now;
    if (pins.dataOut && reset_ && t0(pins)) ++log_.contention;  // board wins

    const bool prog = !pins.strobe;
    if (prog && !progHigh_) {
        progStart_ = now;
        progData_ = pins.dataOut ? pins.portData : 0xFF;
        progAddress_ = latched_;
        progValid_ = reset_ && !t0(pins) && pins.vpp;
    } else if (!prog && progHigh_ && progValid_ && reset_ && pins.vpp && !t0(pins)) {
        if (type_.rom) {
            ++log_.romPulses;
        } else {
            ++log_.programPulses;
            const auto slow = slow_.find(progAddress_);
            const int64_t needed = ticksOf(kProgramUs) * (slow == slow_.end() ? 1 : slow->second);
            int64_t& charge = charge_[progAddress_];
            charge += now - progStart_;
            if (charge >= needed && !neverPrograms_) {
                cells_[progAddress_] |= progData_;
                charge_.erase(progAddress_);
            }
        }
    }
    progHigh_ = prog;
    last_ = pins;
}

uint8_t SimMcs48::readCell(uint32_t address) const {
    uint8_t v = cells_[address];
    if (const auto it = stuck_.find(address); it != stuck_.end())
        v = uint8_t((v & ~it->second.first) | (it->second.second & it->second.first));
    return v;
}

int SimMcs48::readData(const SocketPins& pins, int64_t now) {
    settle(now);
    if (!pins.vcc || pins.dataOut) return -1;
    // Verify needs T0 high, EA high and RESET still high; otherwise BUS floats.
    if (t0(pins) && reset_ && pins.vpp) return flakyRead(latched_, readCell(latched_));
    return -1;
}

void SimMcs48::setStuckBit(uint32_t address, int bit, bool level) {
    auto& [mask, lvl] = stuck_[address % type_.size];
    const uint8_t m = uint8_t(1 << (bit & 7));
    mask |= m;
    lvl = level ? uint8_t(lvl | m) : uint8_t(lvl & ~m);
}

void SimMcs48::setSlowCell(uint32_t address, int pulses) {
    slow_[address % type_.size] = std::max(1, pulses);
}

void SimMcs48::saveState(std::ostream& out) const {
    out << "mcs48 " << type_.size << '\n';
    out << "never-programs " << (neverPrograms_ ? 1 : 0) << '\n';
    for (const auto& [address, s] : stuck_)
        out << "stuck " << address << ' ' << int(s.first) << ' ' << int(s.second) << '\n';
    for (const auto& [address, k] : slow_) out << "slow " << address << ' ' << k << '\n';
    out << "data\n";
    out.write(reinterpret_cast<const char*>(cells_.data()), std::streamsize(cells_.size()));
}

bool SimMcs48::loadState(std::istream& in) {
    std::string line;
    if (!std::getline(in, line)) return false;
    {
        std::istringstream head(line);
        std::string word;
        uint32_t size = 0;
        if (!(head >> word >> size) || word != "mcs48" || size != type_.size) return false;
    }
    std::map<uint32_t, std::pair<uint8_t, uint8_t>> stuck;
    std::map<uint32_t, int> slow;
    bool never = false;
    while (std::getline(in, line) && line != "data") {
        std::istringstream f(line);
        std::string key;
        f >> key;
        uint32_t address = 0;
        int a = 0, b = 0;
        if (key == "never-programs") {
            if (!(f >> a)) return false;
            never = a != 0;
        } else if (key == "stuck") {
            if (!(f >> address >> a >> b)) return false;
            stuck[address % type_.size] = {uint8_t(a), uint8_t(b)};
        } else if (key == "slow") {
            if (!(f >> address >> a) || a < 1) return false;
            slow[address % type_.size] = a;
        } else {
            return false;
        }
    }
    if (line != "data") return false;
    std::vector<uint8_t> cells(type_.size);
    in.read(reinterpret_cast<char*>(cells.data()), std::streamsize(cells.size()));
    if (in.gcount() != std::streamsize(cells.size())) return false;
    cells_ = std::move(cells);
    stuck_ = std::move(stuck);
    slow_ = std::move(slow);
    neverPrograms_ = never;
    return true;
}

std::unique_ptr<SimChip> MakeMcs48Chip(const Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    if (p.eep != 28 && p.eep != 29) return nullptr;
    std::string name = ctx.controls.edDevice.substr(0, ctx.controls.edDevice.find(' '));
    if (name.empty()) name = p.eep == 29 ? "MCS-48 ROM" : "MCS-48 EPROM";
    const int32_t size = std::max(p.deviceSize, p.bufferSize);
    if (size != 1024 && size != 2048 && size != 4096) return nullptr;
    return std::make_unique<SimMcs48>(Mcs48Type{name, uint32_t(size), p.eep == 29});
}

}  // namespace tavrin::sim
