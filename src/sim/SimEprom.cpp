#include "sim/SimEprom.h"

#include <cmath>
#include <istream>
#include <ostream>
#include <sstream>

#include "hardware/Clock.h"

namespace tavrin::sim {

namespace {

constexpr double kTicksPerUs = 1000.0 * kTicksPerNs;

EpromType makeType(std::string name, uint32_t size, EpromPins pins, double chargeUs, double minUs,
                   double maxUs) {
    EpromType t;
    t.name = std::move(name);
    t.size = size;
    t.pins = pins;
    t.cellChargeUs = chargeUs;
    t.pulseMinUs = minUs;
    t.pulseMaxUs = maxUs;
    return t;
}

}  // namespace

// Quick-pulse CMOS parts: tPW 95-105 us (M27C256B, AT27C512R).
EpromType QuickPulseEprom(std::string name, uint32_t size, EpromPins pins) {
    return makeType(std::move(name), size, pins, 100, 95, 105);
}

// 50 us parts: M27C801, AT27C080, AT27C800, 27C160, 27C322 (tPW 47.5-52.5 us).
EpromType FastEprom(std::string name, uint32_t size, EpromPins pins) {
    return makeType(std::move(name), size, pins, 50, 47.5, 52.5);
}

// NMOS intelligent programming: 1 ms pulses (2764A to 27C040 NMOS predecessors).
EpromType NmosEprom(std::string name, uint32_t size, EpromPins pins) {
    return makeType(std::move(name), size, pins, 1000, 950, 1050);
}

// 2716, 2732 and their CMOS twins: one 45-55 ms pulse per byte.
EpromType SlowEprom(std::string name, uint32_t size, EpromPins pins) {
    return makeType(std::move(name), size, pins, 50000, 45000, 55000);
}

SimEprom::SimEprom(EpromType type)
    : type_(std::move(type)),
      chargeNeeded_(std::llround(type_.cellChargeUs * kTicksPerUs)),
      cells_(type_.size, 0xFF) {}

SimEprom::ControlLines SimEprom::lines(const SocketPins& pins) const {
    const bool stbLow = pins.strobe;
    const bool oeNetLow = pins.outputEnabled();
    ControlLines l{stbLow, oeNetLow, false};
    switch (type_.pins) {
        case EpromPins::CeProgram:
        case EpromPins::CePgmHigh:
            break;
        case EpromPins::PgmPin:
            l.ceLow = true;  // /CE on the socket's fixed-low pin 22
            l.pgmLow = stbLow;
            break;
        case EpromPins::OeVpp:
            l.oeLow = oeNetLow && !pins.vpp;  // at V_PROG the pin is far above a high level
            break;
    }
    if (type_.wordWide) l.ceLow = stbLow || oeNetLow;
    return l;
}

bool SimEprom::programMode(const SocketPins& pins) const {
    if (!pins.vcc || !pins.vpp) return false;
    const ControlLines l = lines(pins);
    switch (type_.pins) {
        case EpromPins::CePgmHigh:
            return !pins.strobe && !l.oeLow;  // CE/PGM high, /OE high
        case EpromPins::PgmPin:
            return l.ceLow && l.pgmLow && !l.oeLow;
        case EpromPins::CeProgram:
            return l.ceLow && !l.oeLow;
        case EpromPins::OeVpp:
            return l.ceLow;
    }
    return false;
}

bool SimEprom::outputsOn(const SocketPins& pins) const {
    if (!pins.vcc || programMode(pins)) return false;
    const ControlLines l = lines(pins);
    return l.ceLow && l.oeLow && !l.pgmLow;
}

void SimEprom::onPins(const SocketPins& pins, int64_t now) {
    const bool stress = pins.vpp && !pins.vcc;
    if (stress && !lastVppWithoutVcc_) ++log_.vppWithoutVcc;
    lastVppWithoutVcc_ = stress;

    const bool program = programMode(pins);
    // Data pins are inputs in program mode; undriven they float high.
    const uint8_t data = pins.dataOut ? pins.drivenData() : 0xFF;
    const uint32_t address = addressOf(pins);
    if (pulse_.active) {
        if (!program) {
            endPulse(now);
        } else {
            if (address != pulse_.address) pulse_.voided = true;
            pulse_.zeroBits &= uint8_t(~data);
        }
    }
    if (program && !pulse_.active) {
        pulse_.active = true;
        pulse_.start = now;
        pulse_.address = address;
        pulse_.zeroBits = uint8_t(~data);
        pulse_.voided = false;
    }
}

void SimEprom::endPulse(int64_t now) {
    pulse_.active = false;
    if (pulse_.zeroBits == 0) return;  // all data 1 (or floating): nothing to program
    if (pulse_.voided) {
        ++log_.voidedPulses;
        return;
    }
    const uint8_t toProgram = pulse_.zeroBits & cells_[pulse_.address];
    if (toProgram == 0 || neverPrograms_) {
        ++log_.ignoredPulses;
        return;
    }
    const int64_t ticks = now - pulse_.start;
    const double us = double(ticks) / kTicksPerUs;
    ++log_.pulses;
    if (us < type_.pulseMinUs || us > type_.pulseMaxUs) ++log_.outOfWindow;
    if (log_.pulses == 1 || us < log_.shortestPulseUs) log_.shortestPulseUs = us;
    if (us > log_.longestPulseUs) log_.longestPulseUs = us;
    charge(pulse_.address, toProgram, ticks);
}

int SimEprom::pulsesNeeded(uint32_t address) const {
    const auto it = slow_.find(address);
    return it == slow_.end() ? 1 : it->second;
}

void SimEprom::charge(uint32_t address, uint8_t zeroBits, int64_t ticks) {
    Partial& p = partial_[address];
    ++p.pulses;
    const bool enoughPulses = p.pulses >= pulsesNeeded(address);
    bool charging = false;
    for (int bit = 0; bit < 8; ++bit) {
        if (zeroBits & (1 << bit)) {
            p.charge[bit] += ticks;
            if (enoughPulses && p.charge[bit] >= chargeNeeded_) {
                cells_[address] &= uint8_t(~(1 << bit));
                p.charge[bit] = 0;
            }
        }
        charging = charging || p.charge[bit] != 0;
    }
    if (!charging) partial_.erase(address);
}

int SimEprom::readData(const SocketPins& pins, int64_t) {
    if (!outputsOn(pins)) return -1;
    const uint32_t address = addressOf(pins) & (type_.size - 1);
    return flakyRead(address, readCell(address));
}

uint8_t SimEprom::readCell(uint32_t address) const {
    address &= type_.size - 1;
    uint8_t value = cells_[address];
    const auto it = stuck_.find(address);
    if (it != stuck_.end())
        value = uint8_t((value & ~it->second.mask) | (it->second.level & it->second.mask));
    return value;
}

void SimEprom::uvErase() {
    std::fill(cells_.begin(), cells_.end(), 0xFF);
    partial_.clear();
}

void SimEprom::setStuckBit(uint32_t address, int bit, bool level) {
    Stuck& s = stuck_[address & (type_.size - 1)];
    const uint8_t m = uint8_t(1 << (bit & 7));
    s.mask |= m;
    s.level = level ? uint8_t(s.level | m) : uint8_t(s.level & ~m);
}

void SimEprom::setSlowCell(uint32_t address, int pulses) {
    slow_[address & (type_.size - 1)] = pulses < 1 ? 1 : pulses;
}

// Text header with the faults and any partial charge, then the raw array.
void SimEprom::saveState(std::ostream& out) const {
    out << "eprom " << type_.size << '\n';
    out << "never-programs " << (neverPrograms_ ? 1 : 0) << '\n';
    for (const auto& [address, s] : stuck_)
        out << "stuck " << address << ' ' << int(s.mask) << ' ' << int(s.level) << '\n';
    for (const auto& [address, pulses] : slow_) out << "slow " << address << ' ' << pulses << '\n';
    for (const auto& [address, p] : partial_) {
        out << "partial " << address << ' ' << p.pulses;
        for (int64_t c : p.charge) out << ' ' << c;
        out << '\n';
    }
    out << "data\n";
    out.write(reinterpret_cast<const char*>(cells_.data()), std::streamsize(cells_.size()));
}

bool SimEprom::loadState(std::istream& in) {
    std::string line;
    if (!std::getline(in, line)) return false;
    {
        std::istringstream head(line);
        std::string word;
        uint32_t size = 0;
        if (!(head >> word >> size) || word != "eprom" || size != type_.size) return false;
    }
    std::map<uint32_t, Stuck> stuck;
    std::map<uint32_t, int> slow;
    std::map<uint32_t, Partial> partial;
    bool never = false;
    const uint32_t mask = type_.size - 1;
    while (std::getline(in, line) && line != "data") {
        std::istringstream f(line);
        std::string key;
        f >> key;
        uint32_t address = 0;
        if (key == "never-programs") {
            int v = 0;
            if (!(f >> v)) return false;
            never = v != 0;
        } else if (key == "stuck") {
            int m = 0, l = 0;
            if (!(f >> address >> m >> l)) return false;
            stuck[address & mask] = Stuck{uint8_t(m), uint8_t(l)};
        } else if (key == "slow") {
            int k = 0;
            if (!(f >> address >> k) || k < 1) return false;
            slow[address & mask] = k;
        } else if (key == "partial") {
            Partial p;
            if (!(f >> address >> p.pulses)) return false;
            for (int64_t& c : p.charge)
                if (!(f >> c)) return false;
            partial[address & mask] = p;
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
    partial_ = std::move(partial);
    neverPrograms_ = never;
    pulse_.active = false;
    return true;
}

}  // namespace tavrin::sim
