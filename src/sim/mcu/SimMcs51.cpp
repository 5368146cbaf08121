#include "sim/mcu/SimMcs51.h"

#include <algorithm>
#include <bit>
#include <istream>
#include <ostream>
#include <sstream>

#include "hardware/Clock.h"

namespace tavrin::sim {

namespace {

constexpr double kTicksPerUs = 1000.0 * kTicksPerNs;
constexpr uint32_t stage(int k) {
    return 1u << k;
}
// Socket data bit k carries P1 bit kPermute[k] on the 20-pin footprint.
constexpr int kPermute[8] = {2, 4, 6, 7, 5, 3, 1, 0};

int64_t ticksOf(double us) {
    return int64_t(us * kTicksPerUs + 0.5);
}

Mcs51Type flash40(std::string name, uint32_t size, std::map<uint32_t, uint8_t> sig) {
    Mcs51Type t;
    t.name = std::move(name);
    t.size = size;
    t.signature = std::move(sig);
    return t;
}

}  // namespace

// Signatures as the datasheets give them; where a datasheet was not at hand the maker's code is
// right and the device code is the part number's (marked "assumed").
Mcs51Type Mcs51Part(const std::string& name) {
    if (name == "AT89C51") return flash40(name, 4096, {{0x30, 0x1E}, {0x31, 0x51}, {0x32, 0xFF}});
    if (name == "AT89C52") return flash40(name, 8192, {{0x30, 0x1E}, {0x31, 0x52}, {0x32, 0xFF}});
    if (name == "IS89C52")  // assumed
        return flash40(name, 8192, {{0x30, 0xD5}, {0x31, 0x52}, {0x32, 0xFF}});
    if (name == "AT89C55")  // assumed
        return flash40(name, 20480, {{0x30, 0x1E}, {0x31, 0x55}, {0x32, 0xFF}});
    if (name == "AT89S8252" || name == "AT89S53") {
        // The AT89S8252 keeps its 2 KB data EEPROM at 2000H-27FFH in parallel mode.
        Mcs51Type t = name == "AT89S53"
                          ? flash40(name, 12288, {{0x30, 0x1E}, {0x31, 0x53}, {0x32, 0xFF}})
                          : flash40(name, 10240, {{0x30, 0x1E}, {0x31, 0x72}, {0x32, 0x82}});
        t.lock = Mcs51Lock::DataSelect;
        t.lockRead = Mcs51LockRead::P0Bits210;
        return t;
    }
    if (name == "AT89C55WD" || name == "AT89C51RC") {
        // IDs at 000H, 100H, 200H (030H-032H undefined); 50 us byte write, 200-500 ns erase pulse.
        const bool rc = name == "AT89C51RC";
        Mcs51Type t = flash40(name, rc ? 32768 : 20480,
                              {{0x000, 0x1E}, {0x100, uint8_t(rc ? 0x51 : 0x55)}, {0x200, 0x07}});
        t.lockRead = Mcs51LockRead::P0Bits234;
        t.writeUs = 50;
        t.eraseMinUs = 0.2;
        return t;
    }
    for (const auto& [part, size, code] :
         {std::tuple{"i87C51", 4096u, 0x51}, std::tuple{"i87C52", 8192u, 0x52},
          std::tuple{"i87C54", 16384u, 0x54}, std::tuple{"i87C58", 32768u, 0x58}}) {
        if (name != part) continue;
        Mcs51Type t = flash40(name, size, {{0x30, 0x89}, {0x31, uint8_t(code)}, {0x32, 0xFF}});
        t.eprom = true;  // assumed device codes
        return t;
    }
    if (name == "SST89C54" || name == "SST89C58")  // assumed device codes
        return flash40(name, name == "SST89C54" ? 20480 : 32768,
                       {{0x30, 0xBF}, {0x31, uint8_t(name == "SST89C54" ? 0xE3 : 0xE1)}});
    for (const auto& [part, size, code] :
         {std::tuple{"AT89C1051", 1024u, 0x11}, std::tuple{"AT89C2051", 2048u, 0x21},
          std::tuple{"AT89C4051", 4096u, 0x41}}) {
        if (name != part) continue;
        Mcs51Type t;
        t.name = name;
        t.size = size;
        t.twentyPin = true;
        t.lockBits = 2;
        t.signature = {{0, 0x1E}, {1, uint8_t(code)}};
        return t;
    }
    return {};
}

SimMcs51::SimMcs51(Mcs51Type type) : type_(std::move(type)), cells_(type_.size, 0xFF) {}

SimMcs51::Mode SimMcs51::mode40(uint32_t stages) const {
    switch ((stages >> 15) & 0xF) {  // bit 0 P2.6, 1 P2.7, 2 P3.6, 3 P3.7
        case 0xE:
            return Mode::WriteCode;
        case 0xC:
            return Mode::ReadCode;
        case 0xF:
            return Mode::Lock1;
        case 0x3:
            return Mode::Lock2;
        case 0x5:
            return Mode::Lock3;
        case 0x1:
            return Mode::Erase;
        case 0x7:
            return Mode::LockRead;
        case 0x0:
            return Mode::Signature;
        default:
            return Mode::None;
    }
}

SimMcs51::Mode SimMcs51::mode20(uint32_t stages) const {
    const bool p33 = stages & stage(6), p35 = stages & stage(7), p34 = stages & stage(8),
               p37 = stages & stage(9);
    const int m = (p33 << 3) | (p34 << 2) | (p35 << 1) | int(p37);  // P3.3 P3.4 P3.5 P3.7
    switch (m) {
        case 0b0111:
            return Mode::WriteCode;
        case 0b0011:
            return Mode::ReadCode;
        case 0b1111:
            return Mode::Lock1;
        case 0b1100:
            return Mode::Lock2;
        case 0b1000:
            return Mode::Erase;
        case 0b0000:
            return Mode::Signature;
        default:
            return Mode::None;
    }
}

SimMcs51::Mode SimMcs51::modeOf(const SocketPins& pins) const {
    return type_.twentyPin ? mode20(pins.address) : mode40(pins.address);
}

uint32_t SimMcs51::codeAddress(const SocketPins& pins) const {
    if (type_.twentyPin) return counter_;
    return pins.address & 0x7FFF & (std::bit_ceil(type_.size) - 1);
}

bool SimMcs51::progLow(const SocketPins& pins) const {
    if (!type_.twentyPin) return pins.strobe;
    const uint32_t a = pins.address;
    return pins.strobe && (a & stage(18)) && !(a & stage(17));
}

uint8_t SimMcs51::deviceData(const SocketPins& pins) const {
    if (!pins.dataOut) return 0xFF;  // pull-ups
    if (!type_.twentyPin) return pins.drivenData();
    uint8_t out = 0;
    for (int k = 0; k < 8; ++k)
        if (pins.drivenData() & (1 << k)) out = uint8_t(out | (1 << kPermute[k]));
    return out;
}

int SimMcs51::toSocket(int deviceByte) const {
    if (!type_.twentyPin || deviceByte < 0) return deviceByte;
    int out = 0;
    for (int k = 0; k < 8; ++k)
        if (deviceByte & (1 << kPermute[k])) out |= 1 << k;
    return out;
}

void SimMcs51::powerOn() {
    // No reset edge yet: the counter comes up anywhere, and not at the same place every time.
    counter_ = (0x2A5u + 0x95u * powerOns_++) % type_.size;
    rstLow_ = xtalHigh_ = false;
    pulse_.active = false;
    busy_.active = false;
}

void SimMcs51::settle(int64_t now) {
    if (busy_.active && now >= busy_.until) {
        cells_[busy_.address] = busy_.value;
        busy_.active = false;
        ++log_.writes;
    }
}

void SimMcs51::onPins(const SocketPins& pins, int64_t now) {
    settle(now);
    if (!pins.vcc) {
        powered_ = false;
        pulse_.active = false;
        busy_.active = false;  // a write cut short by power loss leaves the old byte
        last_ = pins;
        return;
    }
    if (!powered_) {
        powered_ = true;
        powerOn();
    }
    if (type_.twentyPin) {
        const uint32_t a = pins.address;
        const bool rstLow = pins.strobe && (a & stage(17)) && !(a & stage(18)) &&
                            !(a & stage(15)) && !(a & stage(16));
        const bool xtal = pins.strobe && (a & stage(15)) && (a & stage(16));
        if (xtal && !xtalHigh_) counter_ = (counter_ + counterStep_) % type_.size;
        if (rstLow_ && !rstLow) {
            ++log_.counterResets;
            if (!ignoreReset_) counter_ = 0;
        }
        rstLow_ = rstLow;
        xtalHigh_ = xtal;
    }
    const bool prog = progLow(pins);
    if (prog && !pulse_.active) startPulse(pins, now);
    if (!prog && pulse_.active) endPulse(pins, now);
    last_ = pins;
}

void SimMcs51::startPulse(const SocketPins& pins, int64_t now) {
    pulse_.active = true;
    pulse_.start = now;
    pulse_.mode = modeOf(pins);
    pulse_.address = codeAddress(pins);
    pulse_.data = deviceData(pins);
    pulse_.vpp = pins.vpp && !rstLow_;
    const Mode m = pulse_.mode;
    const bool programMode = m == Mode::WriteCode || m == Mode::Lock1 || m == Mode::Lock2 ||
                             m == Mode::Lock3 || m == Mode::Erase;
    if (programMode && !pulse_.vpp) {
        ++log_.noVppPulses;
        return;
    }
    if (m == Mode::WriteCode && !type_.eprom) {
        const uint32_t a = pulse_.address;
        if (busy_.active) {
            ++log_.busyWrites;
        } else if (locks_[0]) {
            ++log_.lockedWrites;
        } else if (a < type_.size && !neverPrograms_) {
            // The cycle runs in any case; a slow cell only takes the data at its k-th cycle.
            const bool takes = ++writesSeen_[a] >= pulsesNeeded(a);
            if (takes) writesSeen_.erase(a);
            busy_ = {true, now + ticksOf(type_.writeUs), a,
                     takes ? uint8_t(cells_[a] & pulse_.data) : cells_[a]};
        }
        return;
    }
    auto setLock = [&](int n) {
        if (n <= type_.lockBits) locks_[size_t(n - 1)] = true;
    };
    if (type_.lock == Mcs51Lock::PerBitPulse) {
        if (m == Mode::Lock1) setLock(1), ++log_.lockPulses;
        if (m == Mode::Lock2) setLock(2), ++log_.lockPulses;
        if (m == Mode::Lock3) setLock(3), ++log_.lockPulses;
    } else if (m == Mode::Lock3) {
        ++log_.lockPulses;
        if (!(pulse_.data & 0x80)) setLock(1);
        if (!(pulse_.data & 0x40)) setLock(2);
        if (!(pulse_.data & 0x20)) setLock(3);
    }
}

void SimMcs51::endPulse(const SocketPins& pins, int64_t now) {
    pulse_.active = false;
    const bool vpp = pulse_.vpp && pins.vpp && !rstLow_;
    if (!vpp) return;
    const int64_t ticks = now - pulse_.start;
    if (pulse_.mode == Mode::Erase) {
        if (type_.eprom) {
            ++log_.eraseIgnored;
        } else if (ticks < ticksOf(type_.eraseMinUs)) {
            ++log_.shortErases;
        } else {
            std::fill(cells_.begin(), cells_.end(), 0xFF);
            locks_ = {};
            busy_.active = false;
            ++log_.erases;
        }
        return;
    }
    if (pulse_.mode == Mode::WriteCode && type_.eprom) {
        const uint32_t a = pulse_.address;
        if (a >= type_.size || locks_[0] || neverPrograms_) {
            if (locks_[0]) ++log_.lockedWrites;
            return;
        }
        const uint8_t toProgram = uint8_t(~pulse_.data) & cells_[a];
        if (toProgram == 0) return;
        auto& charge = charge_[a];
        const int64_t needed = ticksOf(type_.epromChargeUs) * pulsesNeeded(a);
        for (int bit = 0; bit < 8; ++bit) {
            if (!(toProgram & (1 << bit))) continue;
            charge[size_t(bit)] += ticks;
            if (charge[size_t(bit)] >= needed) {
                cells_[a] &= uint8_t(~(1 << bit));
                charge[size_t(bit)] = 0;
            }
        }
        if (std::all_of(charge.begin(), charge.end(), [](int64_t c) { return c == 0; }))
            charge_.erase(a);
        ++log_.writes;
    }
}

uint8_t SimMcs51::readCell(uint32_t address) const {
    if (address >= type_.size) return 0xFF;
    uint8_t v = cells_[address];
    if (const auto it = stuck_.find(address); it != stuck_.end())
        v = uint8_t((v & ~it->second.first) | (it->second.second & it->second.first));
    return v;
}

int SimMcs51::readData(const SocketPins& pins, int64_t now) {
    settle(now);
    if (!pins.vcc || pins.dataOut || (type_.twentyPin && rstLow_)) return -1;
    const Mode m = modeOf(pins);
    auto lockByte = [&](const int(&bitOf)[3]) {
        uint8_t b = 0xFF;
        for (int n = 0; n < 3; ++n)
            if (locks_[size_t(n)]) b = uint8_t(b & ~(1 << bitOf[n]));
        return int(b);
    };
    switch (m) {
        case Mode::ReadCode: {
            const uint32_t a = codeAddress(pins);
            if (busy_.active && a == busy_.address)  // data polling: bit 7 complemented
                return toSocket((readCell(a) & 0x7F) | (~busy_.value & 0x80));
            if (locks_[1]) return toSocket(0xFF);  // verify disabled
            return toSocket(flakyRead(a, readCell(a)));
        }
        case Mode::Signature: {
            const uint32_t key = type_.twentyPin ? counter_ : (pins.address & 0x7FFF);
            const auto it = type_.signature.find(key);
            return toSocket(it == type_.signature.end() ? 0xFF : it->second);
        }
        case Mode::LockRead:
            if (type_.lockRead == Mcs51LockRead::P0Bits234) {
                static constexpr int kBits[3] = {2, 3, 4};
                return lockByte(kBits);
            }
            return -1;
        case Mode::Lock2:
            if (type_.lockRead == Mcs51LockRead::P0Bits210) {
                static constexpr int kBits[3] = {2, 1, 0};
                return lockByte(kBits);
            }
            return -1;
        default:
            return -1;
    }
}

int SimMcs51::pulsesNeeded(uint32_t address) const {
    const auto it = slow_.find(address);
    return it == slow_.end() ? 1 : it->second;
}

void SimMcs51::setStuckBit(uint32_t address, int bit, bool level) {
    auto& [mask, lvl] = stuck_[address % type_.size];
    const uint8_t m = uint8_t(1 << (bit & 7));
    mask |= m;
    lvl = level ? uint8_t(lvl | m) : uint8_t(lvl & ~m);
}

void SimMcs51::setSlowCell(uint32_t address, int pulses) {
    slow_[address % type_.size] = std::max(1, pulses);
}

void SimMcs51::setLockMode(int mode) {
    for (int n = 1; n <= 3; ++n) locks_[size_t(n - 1)] = n <= mode && n <= type_.lockBits;
}

int SimMcs51::lockMode() const {
    int mode = 0;
    while (mode < 3 && locks_[size_t(mode)]) ++mode;
    return mode;
}

// Text header (lock bits and faults), then the raw code array.
void SimMcs51::saveState(std::ostream& out) const {
    out << "mcs51 " << type_.size << '\n';
    out << "locks " << locks_[0] << ' ' << locks_[1] << ' ' << locks_[2] << '\n';
    out << "never-programs " << (neverPrograms_ ? 1 : 0) << '\n';
    for (const auto& [address, s] : stuck_)
        out << "stuck " << address << ' ' << int(s.first) << ' ' << int(s.second) << '\n';
    for (const auto& [address, k] : slow_) out << "slow " << address << ' ' << k << '\n';
    out << "data\n";
    out.write(reinterpret_cast<const char*>(cells_.data()), std::streamsize(cells_.size()));
}

bool SimMcs51::loadState(std::istream& in) {
    std::string line;
    if (!std::getline(in, line)) return false;
    {
        std::istringstream head(line);
        std::string word;
        uint32_t size = 0;
        if (!(head >> word >> size) || word != "mcs51" || size != type_.size) return false;
    }
    std::array<bool, 3> locks{};
    std::map<uint32_t, std::pair<uint8_t, uint8_t>> stuck;
    std::map<uint32_t, int> slow;
    bool never = false;
    while (std::getline(in, line) && line != "data") {
        std::istringstream f(line);
        std::string key;
        f >> key;
        uint32_t address = 0;
        int a = 0, b = 0, c = 0;
        if (key == "locks") {
            if (!(f >> a >> b >> c)) return false;
            locks = {a != 0, b != 0, c != 0};
        } else if (key == "never-programs") {
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
    locks_ = locks;
    stuck_ = std::move(stuck);
    slow_ = std::move(slow);
    neverPrograms_ = never;
    return true;
}

}  // namespace tavrin::sim

#include "core/Context.h"

namespace tavrin::sim {

namespace {

// Menu Tag -> part of the 40-pin and the 20-pin handler.
const char* mcs51PartOfTag(int32_t eep, int32_t tag, const std::string& caption) {
    if (eep == 11) {
        static const char* const k20[] = {"AT89C1051", "AT89C2051", "AT89C4051"};
        return tag >= 2 && tag <= 4 ? k20[tag - 2] : nullptr;
    }
    static const char* const k40[] = {"AT89C51",   "AT89C52",   "AT89C55", "AT89S8252", "AT89S53",
                                      "AT89C55WD", "AT89C51RC", "i87C51",  "i87C52",    "i87C54",
                                      "i87C58",    "SST89C54",  "SST89C58"};
    if (tag == 3 && caption.rfind("IS89C52", 0) == 0) return "IS89C52";
    return tag >= 2 && tag <= 14 ? k40[tag - 2] : nullptr;
}

}  // namespace

std::unique_ptr<SimChip> MakeMcs51Chip(const Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    if (p.eep != 10 && p.eep != 11) return nullptr;
    const char* part = mcs51PartOfTag(p.eep, p.DeviceID, ctx.controls.edDevice);
    if (!part) return nullptr;
    return std::make_unique<SimMcs51>(Mcs51Part(part));
}

}  // namespace tavrin::sim
