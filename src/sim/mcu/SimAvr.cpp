#include "sim/mcu/SimAvr.h"

#include <cerrno>
#include <cstdlib>
#include <istream>
#include <limits>
#include <ostream>
#include <sstream>

namespace tavrin::sim {

namespace {

constexpr int64_t kTicksPerUs = 10000;
constexpr int64_t kWriteBusyTicks = 900 * kTicksPerUs;  // tWLRH, 0.9 ms at most
constexpr int64_t kEraseMinTicks = 5000 * kTicksPerUs;  // tWLWH_CE 5-15 ms
constexpr int64_t kEraseMaxTicks = 15000 * kTicksPerUs;
constexpr uint32_t kEepromImage = 0x40000;

// Data-port bit k carries chip data bit kChipBit[k].
constexpr int kChipBit[8] = {2, 4, 6, 7, 5, 3, 1, 0};

uint8_t fromPort(uint8_t port) {
    uint8_t v = 0;
    for (int k = 0; k < 8; ++k)
        if (port & (1u << k)) v = uint8_t(v | (1u << kChipBit[k]));
    return v;
}

uint8_t toPort(uint8_t value) {
    uint8_t port = 0;
    for (int k = 0; k < 8; ++k)
        if (value & (1u << kChipBit[k])) port = uint8_t(port | (1u << k));
    return port;
}

struct KnownPart {
    int32_t tag;
    AvrType type;
};

// Signatures and shipped fuses from the AT90S data sheets.
const KnownPart kParts[] = {
    {101, {"AT90S1200", 1024, 64, {0x1E, 0x90, 0x01}, 0x21, false, 0xDF}},
    {102, {"AT90S2313", 2048, 128, {0x1E, 0x91, 0x01}, 0x21, false, 0xDE}},
    {103, {"AT90S2333", 2048, 128, {0x1E, 0x91, 0x05}, 0x3F, true, 0xDA}},
    {104, {"AT90S4433", 4096, 256, {0x1E, 0x92, 0x03}, 0x3F, true, 0xDA}},
    {105, {"AT90S4414", 4096, 256, {0x1E, 0x92, 0x01}, 0x21, false, 0xDF}},
    {106, {"AT90S8515", 8192, 512, {0x1E, 0x93, 0x01}, 0x21, false, 0xDF}},
    {107, {"AT90S4434", 4096, 256, {0x1E, 0x92, 0x02}, 0x21, false, 0xDF}},
    {108, {"AT90S8535", 8192, 512, {0x1E, 0x93, 0x03}, 0x21, false, 0xDF}},
};

bool parseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && value >= 0;
}

}  // namespace

bool FindAvrType(const std::string& name, AvrType& type) {
    for (const KnownPart& p : kParts)
        if (p.type.name == name) {
            type = p.type;
            return true;
        }
    return false;
}

std::unique_ptr<SimChip> MakeAvrChip(const Context& ctx) {
    if (ctx.profile.eep != 14) return nullptr;
    for (const KnownPart& p : kParts)
        if (p.tag == ctx.profile.DeviceID) return std::make_unique<SimAvr>(p.type);
    return nullptr;
}

SimAvr::SimAvr(AvrType type)
    : type_(std::move(type)),
      flash_(type_.flashBytes, 0xFF),
      eeprom_(type_.eepromBytes, 0xFF),
      fuses_(uint8_t(type_.defaultFuses | ~type_.fuseMask)),
      stuckMask_(type_.flashBytes + type_.eepromBytes, 0),
      stuckLevel_(type_.flashBytes + type_.eepromBytes, 0),
      slow_(type_.flashBytes, 0),
      slowDone_(type_.flashBytes, 0) {}

int SimAvr::lockMode() const {
    const bool lb1 = !(lockBits_ & 0x02), lb2 = !(lockBits_ & 0x04);
    return lb1 ? (lb2 ? 3 : 2) : 1;
}

void SimAvr::setLockMode(int mode) {
    lockBits_ = mode >= 3 ? 0xF9 : mode == 2 ? 0xFD : 0xFF;
}

SimAvr::Lines SimAvr::lines(const SocketPins& pins) const {
    const uint32_t a = pins.address;
    const uint32_t steer = (a >> 15) & 0xF;
    const bool s = pins.strobe;
    return {s && (steer & 0x3) == 0x3, s && (steer & 0xC) == 0x8, s && (steer & 0xC) == 0xC,
            (a & 0x200) != 0,          (a & 0x80) != 0,           (a & 0x100) != 0};
}

void SimAvr::leaveProgramming() {
    if (wrActive_) wrActive_ = false;  // a pulse cut short by losing power does nothing
    programming_ = false;
    command_ = addrLow_ = addrHigh_ = 0;
    data_ = 0xFF;
}

void SimAvr::onPins(const SocketPins& pins, int64_t now) {
    const bool wasPowered = powered_, was12V = reset12V_;
    powered_ = pins.vcc;
    reset12V_ = pins.vpp;
    const Lines l = lines(pins);
    if (!powered_ || !reset12V_) {
        if (programming_) leaveProgramming();
    } else if (!was12V || !wasPowered) {
        // Entry needs Vcc first, RESET and BS low, then 12 V on RESET.
        if (wasPowered && !was12V && !l.bs) {
            programming_ = true;
            command_ = addrLow_ = addrHigh_ = 0;
            data_ = 0xFF;
        } else {
            ++log_.entriesRefused;
        }
    }
    if (programming_) {
        if (l.xtal1 && !last_.xtal1) latch(l, pins);
        if (l.wrLow && !last_.wrLow) startWrite(l, now);
        if (!l.wrLow && last_.wrLow) endWrite(now);
    }
    last_ = l;
}

void SimAvr::latch(const Lines& l, const SocketPins& pins) {
    ++log_.loads;
    if (!pins.dataOut) ++log_.undrivenLoads;
    const uint8_t value = pins.dataOut ? fromPort(pins.portData) : 0xFF;
    if (l.xa1 && !l.xa0)
        command_ = value;
    else if (!l.xa1 && !l.xa0)
        (l.bs ? addrHigh_ : addrLow_) = value;
    else if (!l.xa1 && l.xa0)
        data_ = value;
    // XA 11: no action.
}

bool SimAvr::busy(int64_t now) const {
    return now < busyUntil_;
}

uint32_t SimAvr::eepromAddress() const {
    // Parts with 256 bytes or less decode the low address byte only.
    return ((uint32_t(addrHigh_) << 8) | addrLow_) & (type_.eepromBytes - 1);
}

void SimAvr::programFlash(uint32_t byteAddress, uint8_t value) {
    if (neverPrograms_) return;
    if (slow_[byteAddress] > 0 && ++slowDone_[byteAddress] < slow_[byteAddress]) return;
    flash_[byteAddress] &= value;
}

void SimAvr::startWrite(const Lines& l, int64_t now) {
    ++log_.writes;
    wrActive_ = true;
    wrStart_ = now;
    wrCommand_ = command_;
    if (command_ == 0x40 || command_ == 0x80) return;  // act when /WR returns high
    if (busy(now)) {
        ++log_.writesWhileBusy;
        return;
    }
    const bool locked = lockMode() >= 2;
    switch (command_) {
        case 0x10: {
            if (locked) {
                ++log_.writesWhileLocked;
                return;
            }
            const uint32_t word =
                ((uint32_t(addrHigh_) << 8) | addrLow_) & (type_.flashBytes / 2 - 1);
            programFlash(2 * word + (l.bs ? 1 : 0), data_);
            break;
        }
        case 0x11:
            if (locked) {
                ++log_.writesWhileLocked;
                return;
            }
            if (!neverPrograms_) eeprom_[eepromAddress()] = data_;
            break;
        case 0x20:
            lockBits_ &= uint8_t(data_ | ~0x06);
            break;
        default:
            return;  // no write command latched: nothing starts
    }
    busyUntil_ = busyStuck_ ? std::numeric_limits<int64_t>::max() : now + kWriteBusyTicks;
}

void SimAvr::endWrite(int64_t now) {
    if (!wrActive_) return;
    wrActive_ = false;
    const int64_t width = now - wrStart_;
    if (wrCommand_ == 0x40) {
        if (double(width) >= fusePulseMinUs_ * kTicksPerUs)
            fuses_ = uint8_t(data_ | ~type_.fuseMask);
        else
            ++log_.shortFusePulses;
    } else if (wrCommand_ == 0x80) {
        if (width < kEraseMinTicks) {
            ++log_.shortErases;  // too short: the cells keep their charge
            return;
        }
        if (width > kEraseMaxTicks) ++log_.longErases;
        ++log_.chipErases;
        std::fill(flash_.begin(), flash_.end(), 0xFF);
        std::fill(eeprom_.begin(), eeprom_.end(), 0xFF);
        lockBits_ = 0xFF;
    }
}

uint8_t SimAvr::applyStuck(uint32_t index, uint8_t value) const {
    return uint8_t((value & ~stuckMask_[index]) | (stuckLevel_[index] & stuckMask_[index]));
}

uint8_t SimAvr::readLatched(bool bs, int64_t now) const {
    const bool readLocked = lockMode() == 3;
    switch (command_) {
        case 0x02: {
            if (readLocked || busy(now)) return 0xFF;
            const uint32_t word =
                ((uint32_t(addrHigh_) << 8) | addrLow_) & (type_.flashBytes / 2 - 1);
            const uint32_t at = 2 * word + (bs ? 1 : 0);
            return flakyRead(at, applyStuck(at, flash_[at]));
        }
        case 0x03: {
            if (readLocked || busy(now)) return 0xFF;
            const uint32_t a = eepromAddress();
            return flakyRead(kEepromImage + a, applyStuck(type_.flashBytes + a, eeprom_[a]));
        }
        case 0x08:
            return !bs && addrLow_ < 3 ? type_.signature[addrLow_] : 0xFF;
        case 0x04: {
            const bool lb1 = !(lockBits_ & 0x02), lb2 = !(lockBits_ & 0x04);
            if (type_.splitFuseRead) {
                if (!bs) return uint8_t(fuses_ | 0xC0);
                return uint8_t(0xFF & ~(lb1 ? 0x02 : 0) & ~(lb2 ? 0x04 : 0));
            }
            if (!bs) return 0xFF;
            uint8_t v = uint8_t((0xFF & ~type_.fuseMask) | (fuses_ & type_.fuseMask));
            if (lb1) v &= 0x7F;
            if (lb2) v &= 0xBF;
            return v;
        }
        default:
            return 0xFF;
    }
}

int SimAvr::readData(const SocketPins& pins, int64_t now) {
    if (!programming_) return -1;
    const Lines l = lines(pins);
    if (!l.oeLow || pins.dataOut) return -1;
    return toPort(readLatched(l.bs, now));
}

void SimAvr::setStuckBit(uint32_t address, int bit, bool level) {
    uint32_t index;
    if (address < type_.flashBytes)
        index = address;
    else if (address >= kEepromImage && address - kEepromImage < type_.eepromBytes)
        index = type_.flashBytes + (address - kEepromImage);
    else
        return;
    const uint8_t m = uint8_t(1u << (bit & 7));
    stuckMask_[index] |= m;
    stuckLevel_[index] = level ? uint8_t(stuckLevel_[index] | m) : uint8_t(stuckLevel_[index] & ~m);
}

void SimAvr::setSlowCell(uint32_t address, int pulses) {
    if (address < type_.flashBytes) slow_[address] = pulses;
}

void SimAvr::saveState(std::ostream& out) const {
    out << "avr " << type_.name << '\n'
        << "lock " << int(lockBits_) << '\n'
        << "fuses " << int(fuses_) << '\n'
        << "faults " << (neverPrograms_ ? 1 : 0) << ' ' << (busyStuck_ ? 1 : 0) << ' '
        << fusePulseMinUs_ << '\n';
    for (size_t i = 0; i < stuckMask_.size(); ++i)
        if (stuckMask_[i])
            out << "stuck " << i << ' ' << int(stuckMask_[i]) << ' ' << int(stuckLevel_[i]) << '\n';
    for (size_t i = 0; i < slow_.size(); ++i)
        if (slow_[i]) out << "slow " << i << ' ' << slow_[i] << ' ' << slowDone_[i] << '\n';
    out << "data\n";
    out.write(reinterpret_cast<const char*>(flash_.data()), std::streamsize(flash_.size()));
    out.write(reinterpret_cast<const char*>(eeprom_.data()), std::streamsize(eeprom_.size()));
}

bool SimAvr::loadState(std::istream& in) {
    std::string line, word;
    if (!std::getline(in, line)) return false;
    {
        std::istringstream head(line);
        std::string name;
        if (!(head >> word >> name) || word != "avr" || name != type_.name) return false;
    }
    SimAvr loaded(type_);
    while (std::getline(in, line) && line != "data") {
        std::istringstream f(line);
        f >> word;
        int a = 0, b = 0, c = 0;
        if (word == "lock" && f >> a) {
            loaded.lockBits_ = uint8_t(a);
        } else if (word == "fuses" && f >> a) {
            loaded.fuses_ = uint8_t(a);
        } else if (word == "faults" && f >> a >> b >> loaded.fusePulseMinUs_) {
            loaded.neverPrograms_ = a != 0;
            loaded.busyStuck_ = b != 0;
        } else if (word == "stuck" && f >> a >> b >> c && a >= 0 && size_t(a) < stuckMask_.size()) {
            loaded.stuckMask_[size_t(a)] = uint8_t(b);
            loaded.stuckLevel_[size_t(a)] = uint8_t(c);
        } else if (word == "slow" && f >> a >> b >> c && a >= 0 && size_t(a) < slow_.size()) {
            loaded.slow_[size_t(a)] = b;
            loaded.slowDone_[size_t(a)] = c;
        } else {
            return false;
        }
    }
    if (line != "data") return false;
    in.read(reinterpret_cast<char*>(loaded.flash_.data()), std::streamsize(loaded.flash_.size()));
    in.read(reinterpret_cast<char*>(loaded.eeprom_.data()), std::streamsize(loaded.eeprom_.size()));
    if (!in) return false;
    *this = std::move(loaded);
    return true;
}

bool SimAvr::applyFamilyFault(const std::string& fault, std::string& error) {
    error.clear();
    if (fault == "avr-busy-stuck") {
        setBusyStuck(true);
        return true;
    }
    const size_t colon = fault.find(':');
    const std::string kind = fault.substr(0, colon);
    const std::string arg = colon == std::string::npos ? std::string() : fault.substr(colon + 1);
    double v = 0;
    if (kind == "avr-locked") {
        if (arg == "1" || arg == "2" || arg == "3") {
            setLockMode(arg[0] - '0');
            return true;
        }
        error = fault + ": lock mode 1, 2 or 3";
        return false;
    }
    if (kind == "avr-fuse-pulse") {
        if (parseNumber(arg, v)) {
            setFusePulseMinUs(v);
            return true;
        }
        error = fault + ": the fuse pulse in microseconds";
        return false;
    }
    return false;
}

}  // namespace tavrin::sim
