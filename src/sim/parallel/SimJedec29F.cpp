#include "sim/parallel/SimJedec29F.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <istream>
#include <ostream>
#include <sstream>

#include "hardware/Clock.h"

namespace tavrin::sim {

namespace {

constexpr int64_t kTicksPerUs = 1000 * kTicksPerNs;
constexpr uint32_t K = 1024;
// A program into a protected sector ends at once: "the device returns to reading array data
// after approximately 1 us" (Am29F040B); an erase with every sector protected after ~100 us.
constexpr double kProtectedProgramUs = 1, kProtectedEraseUs = 100;
// An erase the part cannot finish (a bit that stays 0) stops at its internal pulse limit, which
// lies below the guaranteed maximum of a good part.
constexpr double kEraseGiveUpShare = 0.5;
// Sector erase of the uniform 64 KB parts: 1 s typ / 8 s max (Am29F040B).
constexpr double kSectorEraseMs = 1000, kSectorEraseMaxMs = 8000;

std::vector<uint32_t> uniform(uint32_t size, uint32_t sector) {
    std::vector<uint32_t> s;
    for (uint32_t a = 0; a < size; a += sector) s.push_back(a);
    return s;
}

// Chip erase of a part made of 64 KB sectors: the sector figures times the sector count, at least
// the chip figures of the Am29F040B (8 s typ, 64 s max).
void eraseTimesBySize(JedecType& t) {
    const double sectors = std::max(8.0, double(t.size) / (64 * K));
    t.chipEraseMs = kSectorEraseMs * sectors;
    t.chipEraseMaxMs = kSectorEraseMaxMs * sectors;
}

bool parseNumber(const std::string& text, uint32_t& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > 0xFFFFFFFFul) return false;
    value = uint32_t(v);
    return true;
}

}  // namespace

JedecType Am29F010() {
    JedecType t;
    t.name = "Am29F010";
    t.size = 128 * K;
    t.maker = 0x01, t.device = 0x20;
    t.decodeMask = 0x7FFF, t.unlock1 = 0x5555, t.unlock2 = 0x2AAA;  // first generation: A14-A0
    t.sectors = uniform(t.size, 16 * K);
    t.protection = JedecProtection::Sectors;
    t.programUs = 14, t.programMaxUs = 500;          // unverified max
    t.chipEraseMs = 2000, t.chipEraseMaxMs = 30000;  // unverified max
    return t;
}

JedecType Am29F040B() {
    JedecType t;
    t.name = "Am29F040B";
    t.size = 512 * K;
    t.maker = 0x01, t.device = 0xA4;
    t.sectors = uniform(t.size, 64 * K);
    t.protection = JedecProtection::Sectors;
    t.programUs = 7, t.programMaxUs = 300;
    t.chipEraseMs = 8000, t.chipEraseMaxMs = 64000;  // max unverified
    return t;
}

JedecType GenericJedec29F(uint32_t size) {
    JedecType t = Am29F040B();
    t.name = "29F" + std::to_string(size / K) + "K";
    t.size = size;
    t.device = 0x00;  // no such AMD part: a plain JEDEC part decoding A14-A0
    // An 8 or 16 KB part in a 28-pin socket has no A13/A14: it decodes the lines it has, so
    // 5555/2AAA arrive as 1555/0AAA (8 KB) or 1555/2AAA (16 KB).
    t.decodeMask = std::min<uint32_t>(0x7FFF, size - 1);
    t.unlock1 = 0x5555 & t.decodeMask, t.unlock2 = 0x2AAA & t.decodeMask;
    t.sectors = uniform(size, std::max<uint32_t>(size / 8, 1));
    t.protection = JedecProtection::None;
    return t;
}

JedecType Sst39SF(uint32_t size) {
    JedecType t;
    const uint8_t code = size <= 64 * K    ? 0xB4
                         : size <= 128 * K ? 0xB5
                         : size <= 256 * K ? 0xB6
                                           : 0xB7;
    const char* names[] = {"SST39SF512", "SST39SF010A", "SST39SF020A", "SST39SF040"};
    t.name = names[code - 0xB4];
    t.size = size;
    t.maker = 0xBF, t.device = code;
    t.decodeMask = 0x7FFF, t.unlock1 = 0x5555, t.unlock2 = 0x2AAA;
    t.sectors = uniform(size, 4 * K);
    t.hasDq5 = false;
    t.programUs = 14, t.programMaxUs = 20;       // tBP
    t.chipEraseMs = 70, t.chipEraseMaxMs = 100;  // tSCE
    return t;
}

JedecType At49F00x(uint32_t size, bool topBoot) {
    JedecType t;
    const bool one = size <= 128 * K;
    t.name = std::string(one ? "AT49F001" : "AT49F002") + (topBoot ? "T" : "");
    t.size = size;
    t.maker = 0x1F;
    t.device = one ? (topBoot ? 0x04 : 0x05) : (topBoot ? 0x08 : 0x07);
    t.decodeMask = 0x7FFF, t.unlock1 = 0x5555, t.unlock2 = 0x2AAA;
    // 16 KB boot block, two 8 KB parameter blocks, then the main memory (mirrored on T parts).
    const uint32_t bottom[] = {0, 16 * K, 24 * K, 32 * K};
    if (!topBoot) {
        t.sectors.assign(std::begin(bottom), std::end(bottom));
        if (!one) t.sectors.push_back(128 * K);
        t.bootSector = 0;
    } else {
        t.sectors = {0};
        if (!one) t.sectors.push_back(128 * K);
        for (uint32_t b : {32 * K, 24 * K, 16 * K}) t.sectors.push_back(size - b);
        t.bootSector = int(t.sectors.size()) - 1;
    }
    t.protection = JedecProtection::BootBlock;
    t.resetPin = true;
    t.programUs = 30, t.programMaxUs = 50;
    t.chipEraseMs = 10000, t.chipEraseMaxMs = 20000;  // max unverified
    return t;
}

JedecType Mx29F040() {
    JedecType t = Am29F040B();
    t.name = "MX29F040";
    t.maker = 0xC2, t.device = 0xA4;
    t.commandProtect = true;
    return t;
}

JedecType Am29Fx00(uint32_t size) {
    JedecType t;
    struct Part {
        uint32_t size;
        const char* name;
        uint8_t device;
    };
    // Bottom-boot codes; the Am29F160 answers D8 under AMD's code, the Am29F320 code is unverified.
    const Part parts[] = {{256 * K, "Am29F200B", 0x57},
                          {512 * K, "Am29F400B", 0xAB},
                          {1024 * K, "Am29F800B", 0x58},
                          {2048 * K, "Am29F160B", 0xD8},
                          {4096 * K, "Am29F320B", 0xF9}};
    const Part* part = &parts[4];
    for (const Part& p : parts)
        if (size <= p.size) {
            part = &p;
            break;
        }
    t.name = part->name;
    t.size = size;
    t.maker = 0x01, t.device = part->device;
    t.byteMode = true;
    t.decodeMask = 0xFFF, t.unlock1 = 0xAAA, t.unlock2 = 0x555;  // A10..A-1
    t.sectors = {0, 16 * K, 24 * K, 32 * K};
    for (uint32_t a = 64 * K; a < size; a += 64 * K) t.sectors.push_back(a);
    t.protection = JedecProtection::Sectors;
    t.resetPin = true;
    t.fastMode = true;
    t.programUs = 7, t.programMaxUs = 300;
    eraseTimesBySize(t);
    return t;
}

JedecType Mbm29F0xx(uint32_t size) {
    JedecType t = Am29F040B();
    const uint8_t code = size <= 512 * K    ? 0x77
                         : size <= 1024 * K ? 0xD5
                         : size <= 2048 * K ? 0xAD
                                            : 0xD4;
    t.name = size <= 512 * K    ? "MBM29F004"
             : size <= 1024 * K ? "MBM29F080"
             : size <= 2048 * K ? "MBM29F016"
                                : "MBM29F033";
    t.size = size;
    t.maker = 0x04, t.device = code;
    t.sectors = uniform(size, 64 * K);
    t.fastMode = true;
    eraseTimesBySize(t);
    return t;
}

SimJedec29F::SimJedec29F(JedecType type, uint32_t seed)
    : type_(std::move(type)),
      cells_(type_.size, 0xFF),
      protected_(type_.sectors.size(), false),
      rng_(seed) {}

int SimJedec29F::sectorOf(uint32_t address) const {
    address &= type_.size - 1;
    const auto it = std::upper_bound(type_.sectors.begin(), type_.sectors.end(), address);
    return int(it - type_.sectors.begin()) - 1;
}

bool SimJedec29F::sectorProtected(int sector) const {
    return sector >= 0 && sector < int(protected_.size()) && protected_[size_t(sector)];
}

void SimJedec29F::protectSector(int sector, bool on) {
    if (sector >= 0 && sector < int(protected_.size())) protected_[size_t(sector)] = on;
}

uint8_t SimJedec29F::readCell(uint32_t address) const {
    address &= type_.size - 1;
    uint8_t v = cells_[address];
    const auto it = stuck_.find(address);
    if (it != stuck_.end())
        v = uint8_t((v & ~it->second.first) | (it->second.second & it->second.first));
    return v;
}

void SimJedec29F::setStuckBit(uint32_t address, int bit, bool level) {
    auto& [mask, lv] = stuck_[address & (type_.size - 1)];
    const uint8_t m = uint8_t(1 << (bit & 7));
    mask |= m;
    lv = level ? uint8_t(lv | m) : uint8_t(lv & ~m);
}

void SimJedec29F::setSlowCell(uint32_t address, int factor) {
    slow_[address & (type_.size - 1)] = std::max(1, factor);
}

bool SimJedec29F::busy(int64_t now) {
    settle(now);
    return busy_.op != Op::None;
}

// Sector protection in force for a write at `address`: 12 V on RESET# lifts it while it stays.
bool SimJedec29F::writeProtected(uint32_t address) const {
    if (!sectorProtected(sectorOf(address))) return false;
    return !(type_.resetPin && highVoltageReset_);
}

void SimJedec29F::powerOnReset() {
    mode_ = Mode::Read;
    step_ = 0;
    programArmed_ = fast_ = fastExit_ = protectArmed_ = errorStatus_ = false;
}

void SimJedec29F::onPins(const SocketPins& pins, int64_t now) {
    settle(now);
    if (pins.vcc && !lastVcc_) powerOnReset();
    if (!pins.vcc && lastVcc_) abortOperation(now);
    lastVcc_ = pins.vcc;
    highVoltageReset_ = pins.vcc && pins.vpp;
    const bool oeLow = pins.outputEnabled();
    const bool weLow = pins.strobe;
    if (!pins.vcc) {
        lastOe_ = oeLow, lastWe_ = weLow;
        return;
    }
    if (oeLow && !lastOe_) toggle_ = !toggle_;  // DQ6 toggles once per read cycle
    if (weLow && !lastWe_) {
        latchedAddress_ = addressOf(pins);
        latchedOeHigh_ = !oeLow;
        weFall_ = now;
    }
    if (!weLow && lastWe_ && latchedOeHigh_ && !oeLow) {
        const uint8_t data = pins.dataOut ? pins.drivenData() : 0xFF;
        if (protectArmed_)
            protectPulse(latchedAddress_, now - weFall_);
        else
            write(latchedAddress_, data, now);
    }
    lastOe_ = oeLow, lastWe_ = weLow;
}

void SimJedec29F::write(uint32_t address, uint8_t data, int64_t now) {
    if (busy_.op != Op::None) {
        ++log_.ignoredBusy;
        return;
    }
    ++log_.writes;
    if (errorStatus_) {  // only a reset leaves the time-out status
        if (data == 0xF0) errorStatus_ = false, mode_ = Mode::Read, step_ = 0;
        return;
    }
    if (programArmed_) {
        programArmed_ = false;
        startProgram(address, data, now);
        return;
    }
    if (fast_) {
        if (fastExit_) {
            fastExit_ = false;
            if (data == 0xF0 || data == 0x00) fast_ = false;
        } else if (data == 0xA0) {
            programArmed_ = true;
        } else if (data == 0x90) {
            fastExit_ = true;
        }
        return;
    }
    decode(address, data, now);
}

void SimJedec29F::decode(uint32_t address, uint8_t data, int64_t now) {
    const bool first = at(address, type_.unlock1), second = at(address, type_.unlock2);
    if (data == 0xF0 && (step_ == 0 || step_ == 2)) {  // X/F0 or AA 55 F0: reset
        mode_ = Mode::Read;
        step_ = 0;
        return;
    }
    const int step = step_;
    step_ = 0;  // anything not part of a sequence breaks it
    switch (step) {
        case 0:
        case 3:
            if (first && data == 0xAA) step_ = step + 1;
            break;
        case 1:
        case 4:
            if (second && data == 0x55) step_ = step + 1;
            break;
        case 2:
            if (!first) break;
            if (data == 0x90) mode_ = Mode::Autoselect;
            if (data == 0xA0) programArmed_ = true;
            if (data == 0x80) step_ = 3;
            if (data == 0x20 && type_.fastMode) fast_ = true;
            break;
        case 5:
            if (data == 0x30) {  // sector erase at the sector address
                startErase(now, sectorOf(address));
            } else if (first && data == 0x10) {
                startErase(now, -1);
            } else if (first && data == 0x20 && type_.commandProtect) {
                protectArmed_ = true;
            } else if (first && data == 0x40 && type_.protection == JedecProtection::BootBlock) {
                protectSector(type_.bootSector);  // permanent lockout
            }
            break;
    }
}

void SimJedec29F::startProgram(uint32_t address, uint8_t data, int64_t now) {
    ++log_.programs;
    mode_ = Mode::Read;
    busy_.address = address;
    busy_.start = now;
    busy_.op = Op::Program;
    statusAddress_ = address;
    statusDq7_ = uint8_t(~data & 0x80);
    if (writeProtected(address)) {
        busy_.fails = false;
        statusDq7_ = uint8_t(~readCell(address) & 0x80);  // polling ends on the byte as it stays
        busy_.end = now + int64_t(kProtectedProgramUs * kTicksPerUs);
        busy_.target = cells_[address];
        return;
    }
    const auto slow = slow_.find(address);
    const double us = type_.programUs * (slow == slow_.end() ? 1 : slow->second);
    const uint8_t after = neverPrograms_ ? cells_[address] : uint8_t(cells_[address] & data);
    uint8_t shown = after;
    if (auto it = stuck_.find(address); it != stuck_.end())
        shown = uint8_t((after & ~it->second.first) | (it->second.second & it->second.first));
    const bool reaches = shown == data && us <= type_.programMaxUs;
    busy_.fails = !reaches;
    // A slow byte that cannot finish in time keeps its old contents; the others take what the
    // cells can take (bits from 1 to 0 only).
    busy_.target = us <= type_.programMaxUs ? after : cells_[address];
    busy_.end = now + int64_t((reaches ? us : std::min(us, type_.programMaxUs)) * kTicksPerUs);
    if (!reaches && type_.hasDq5) busy_.end = now + int64_t(type_.programMaxUs * kTicksPerUs);
}

void SimJedec29F::startErase(int64_t now, int sector) {
    ++log_.erases;
    mode_ = Mode::Read;
    busy_.op = Op::Erase;
    busy_.start = now;
    statusAddress_ = 0;
    statusDq7_ = 0;  // DQ7 = 0 while erasing
    eraseScope_.assign(type_.sectors.size(), false);
    bool any = false;
    for (size_t s = 0; s < type_.sectors.size(); ++s) {
        if (sector >= 0 && int(s) != sector) continue;
        if (writeProtected(type_.sectors[s])) continue;
        eraseScope_[s] = true;
        any = true;
    }
    if (!any) {
        busy_.fails = false;
        busy_.end = now + int64_t(kProtectedEraseUs * kTicksPerUs);
        return;
    }
    // A bit stuck at 0 in the scope keeps the internal erase verify from passing.
    bool fails = false;
    for (const auto& [address, s] : stuck_)
        if (eraseScope_[size_t(sectorOf(address))] && (s.first & ~s.second)) fails = true;
    const double typMs = sector >= 0 ? kSectorEraseMs : type_.chipEraseMs;
    const double maxMs = sector >= 0 ? kSectorEraseMaxMs : type_.chipEraseMaxMs;
    double ms = typMs * slowErase_;
    if (fails && type_.hasDq5) ms = maxMs * kEraseGiveUpShare;
    busy_.fails = fails;
    busy_.end = now + int64_t(ms * 1000 * kTicksPerUs);
}

void SimJedec29F::settle(int64_t now) {
    if (busy_.op == Op::None || now < busy_.end) return;
    if (busy_.op == Op::Program) {
        cells_[busy_.address] = busy_.target;
    } else {
        for (size_t s = 0; s < eraseScope_.size(); ++s) {
            if (!eraseScope_[s]) continue;
            const uint32_t end = s + 1 < type_.sectors.size() ? type_.sectors[s + 1] : type_.size;
            std::fill(cells_.begin() + type_.sectors[s], cells_.begin() + end, 0xFF);
        }
    }
    if (busy_.fails && type_.hasDq5) {
        errorStatus_ = true;
        ++log_.timeouts;
    }
    busy_.op = Op::None;
}

void SimJedec29F::abortOperation(int64_t now) {
    if (busy_.op == Op::None) return;
    ++log_.aborted;
    const double done =
        double(now - busy_.start) / double(std::max<int64_t>(1, busy_.end - busy_.start));
    std::bernoulli_distribution taken(std::clamp(done, 0.0, 1.0));
    if (busy_.op == Op::Program) {
        // Some of the bits on their way from 1 to 0 made it.
        const uint8_t falling = uint8_t(cells_[busy_.address] & ~busy_.target);
        uint8_t made = 0;
        for (int b = 0; b < 8; ++b)
            if ((falling & (1 << b)) && taken(rng_)) made = uint8_t(made | (1 << b));
        cells_[busy_.address] &= uint8_t(~made);
    } else {
        for (size_t s = 0; s < eraseScope_.size(); ++s) {
            if (!eraseScope_[s]) continue;
            const uint32_t end = s + 1 < type_.sectors.size() ? type_.sectors[s + 1] : type_.size;
            for (uint32_t a = type_.sectors[s]; a < end; ++a)
                if (taken(rng_)) cells_[a] = 0xFF;
        }
    }
    busy_.op = Op::None;
}

void SimJedec29F::protectPulse(uint32_t address, int64_t width) {
    protectArmed_ = false;
    if (!type_.commandProtect || ignoresProtect_) return;
    const double us = double(width) / kTicksPerUs;
    if ((address & 0x40) == 0) {  // A6 = 0: protect the sector addressed
        if (us < type_.protectMinUs) return;
        protectSector(sectorOf(address));
        ++log_.protectPulses;
    } else {  // A6 = 1: unprotect, only with every sector protected
        if (us < type_.unprotectMinUs) return;
        if (std::find(protected_.begin(), protected_.end(), false) != protected_.end()) return;
        std::fill(protected_.begin(), protected_.end(), false);
        ++log_.protectPulses;
    }
}

uint8_t SimJedec29F::statusByte() const {
    uint8_t v = uint8_t(readCell(statusAddress_) & 0x1F);
    v |= statusDq7_;
    if (toggle_) v |= 0x40;
    if (errorStatus_) v |= 0x20;
    return v;
}

uint8_t SimJedec29F::autoselectByte(uint32_t address) const {
    if (const auto it = idBytes_.find(address); it != idBytes_.end()) return it->second;
    const uint32_t word = type_.byteMode ? address >> 1 : address;
    switch (word & 3) {
        case 0:
            return type_.maker;
        case 1:
            return type_.device;
        case 2:
            return type_.protection == JedecProtection::Sectors &&
                           sectorProtected(sectorOf(address))
                       ? 0x01
                       : 0x00;
        default:
            return 0x00;
    }
}

int SimJedec29F::readData(const SocketPins& pins, int64_t now) {
    settle(now);
    if (!pins.vcc || !pins.outputEnabled()) return -1;
    if (busy_.op != Op::None || errorStatus_) return statusByte();
    if (mode_ == Mode::Autoselect) return autoselectByte(addressOf(pins));
    const uint32_t address = addressOf(pins) & (type_.size - 1);
    return flakyRead(address, readCell(address));
}

bool SimJedec29F::applyFamilyFault(const std::string& fault, std::string& error) {
    const size_t colon = fault.find(':');
    const std::string kind = fault.substr(0, colon);
    const std::string rest = colon == std::string::npos ? std::string() : fault.substr(colon + 1);
    uint32_t a = 0, b = 0;
    if (kind == "ignores-protect" && colon == std::string::npos) {
        ignoresProtect_ = true;
        return true;
    }
    if (kind == "slow-erase" && parseNumber(rest, a) && a >= 1 && a <= 100000) {
        slowErase_ = a;
        return true;
    }
    if (kind == "protect" && parseNumber(rest, a)) {
        if (type_.protection == JedecProtection::None) {
            error = fault + ": the " + type_.name + " has no sector protection";
            return false;
        }
        if (a >= type_.sectors.size()) {
            error = fault + ": the " + type_.name + " has sectors 0 to " +
                    std::to_string(type_.sectors.size() - 1);
            return false;
        }
        if (type_.protection == JedecProtection::BootBlock && int(a) != type_.bootSector) {
            error = fault + ": the " + type_.name + " can lock only its boot block, sector " +
                    std::to_string(type_.bootSector);
            return false;
        }
        protectSector(int(a));
        return true;
    }
    if (kind == "id") {
        const size_t c2 = rest.find(':');
        if (c2 != std::string::npos && parseNumber(rest.substr(0, c2), a) &&
            parseNumber(rest.substr(c2 + 1), b) && a <= 0xFF && b <= 0xFF) {
            setId(uint8_t(a), uint8_t(b));
            return true;
        }
    }
    return false;
}

// Text header with the non-volatile state and the faults, then the raw array.
void SimJedec29F::saveState(std::ostream& out) const {
    out << "jedec " << type_.size << '\n';
    out << "id " << int(type_.maker) << ' ' << int(type_.device) << '\n';
    out << "never-programs " << (neverPrograms_ ? 1 : 0) << '\n';
    out << "ignores-protect " << (ignoresProtect_ ? 1 : 0) << '\n';
    out << "slow-erase " << slowErase_ << '\n';
    for (size_t s = 0; s < protected_.size(); ++s)
        if (protected_[s]) out << "protected " << s << '\n';
    for (const auto& [address, s] : stuck_)
        out << "stuck " << address << ' ' << int(s.first) << ' ' << int(s.second) << '\n';
    for (const auto& [address, k] : slow_) out << "slow " << address << ' ' << k << '\n';
    for (const auto& [address, v] : idBytes_) out << "id-byte " << address << ' ' << int(v) << '\n';
    out << "data\n";
    out.write(reinterpret_cast<const char*>(cells_.data()), std::streamsize(cells_.size()));
}

bool SimJedec29F::loadState(std::istream& in) {
    std::string line;
    if (!std::getline(in, line)) return false;
    {
        std::istringstream head(line);
        std::string word;
        uint32_t size = 0;
        if (!(head >> word >> size) || word != "jedec" || size != type_.size) return false;
    }
    SimJedec29F loaded(type_);
    const uint32_t mask = type_.size - 1;
    while (std::getline(in, line) && line != "data") {
        std::istringstream f(line);
        std::string key;
        f >> key;
        uint32_t a = 0;
        int x = 0, y = 0;
        double d = 0;
        if (key == "id" && f >> x >> y) {
            loaded.setId(uint8_t(x), uint8_t(y));
        } else if (key == "never-programs" && f >> x) {
            loaded.neverPrograms_ = x != 0;
        } else if (key == "ignores-protect" && f >> x) {
            loaded.ignoresProtect_ = x != 0;
        } else if (key == "slow-erase" && f >> d && d >= 1) {
            loaded.slowErase_ = d;
        } else if (key == "protected" && f >> a && a < loaded.protected_.size()) {
            loaded.protected_[a] = true;
        } else if (key == "stuck" && f >> a >> x >> y) {
            loaded.stuck_[a & mask] = {uint8_t(x), uint8_t(y)};
        } else if (key == "slow" && f >> a >> x && x >= 1) {
            loaded.slow_[a & mask] = x;
        } else if (key == "id-byte" && f >> a >> x) {
            loaded.idBytes_[a] = uint8_t(x);
        } else {
            return false;
        }
    }
    if (line != "data") return false;
    in.read(reinterpret_cast<char*>(loaded.cells_.data()), std::streamsize(loaded.cells_.size()));
    if (in.gcount() != std::streamsize(loaded.cells_.size())) return false;
    type_ = loaded.type_;
    cells_ = std::move(loaded.cells_);
    protected_ = std::move(loaded.protected_);
    stuck_ = std::move(loaded.stuck_);
    slow_ = std::move(loaded.slow_);
    idBytes_ = std::move(loaded.idBytes_);
    slowErase_ = loaded.slowErase_;
    neverPrograms_ = loaded.neverPrograms_;
    ignoresProtect_ = loaded.ignoresProtect_;
    busy_.op = Op::None;
    powerOnReset();
    return true;
}

namespace {

uint32_t deviceBytes(const DeviceProfile& p) {
    const int32_t size = std::max(p.deviceSize, p.bufferSize);
    return size <= 0 ? 0 : std::bit_ceil(uint32_t(size));
}

JedecType typeFor(const DeviceProfile& p, uint32_t size) {
    switch (p.eep) {
        case 4:
            if (p.DeviceID == 105) return Am29F010();
            if (p.DeviceID == 107) return Am29F040B();
            return GenericJedec29F(size);
        case 12:
            return Sst39SF(size);
        case 27:
            return Mx29F040();
        case 15:
            return Am29Fx00(size);
        case 23:
            switch (p.DeviceID) {
                case 101:
                    return At49F00x(size, false);
                case 102:
                    return At49F00x(size, true);
                case 103:
                    return At49F00x(size, false);
                case 104:
                    return At49F00x(size, true);
                case 203: {  // Am29F032B: 8-bit, 64 x 64 KB, 555/2AA
                    JedecType t = Mbm29F0xx(size);
                    t.name = "Am29F032B", t.maker = 0x01, t.device = 0x41, t.fastMode = false;
                    return t;
                }
                case 202: {  // AT49F4096A in byte mode behind the adapter (code unverified)
                    JedecType t = GenericJedec29F(size);
                    t.name = "AT49F4096A", t.maker = 0x1F, t.device = 0x92;
                    return t;
                }
                default:
                    return Mbm29F0xx(size);
            }
    }
    return {};
}

}  // namespace

std::unique_ptr<SimChip> MakeJedecChip(const Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    if (p.eep != 4 && p.eep != 12 && p.eep != 15 && p.eep != 23 && p.eep != 27) return nullptr;
    const uint32_t size = deviceBytes(p);
    if (size == 0) return nullptr;
    JedecType t = typeFor(p, size);
    t.size = size;  // the selected size rules the address decode
    return std::make_unique<SimJedec29F>(std::move(t));
}

}  // namespace tavrin::sim
