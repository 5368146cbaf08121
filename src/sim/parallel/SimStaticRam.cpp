#include "sim/parallel/SimStaticRam.h"

#include <istream>
#include <ostream>
#include <sstream>

#include "hardware/Clock.h"

namespace tavrin::sim {

namespace {

constexpr int64_t kTicksPerUs = 1000 * kTicksPerNs;

std::vector<int> straight(int bits) {
    std::vector<int> s;
    for (int k = 0; k < bits; ++k) s.push_back(k);
    return s;
}

// 28-pin 32 KB pinout: A14 on pin 1, which the board feeds from stage 15.
std::vector<int> pinout32K() {
    std::vector<int> s = straight(14);
    s.push_back(15);
    return s;
}

// 32-pin pinout: A14 on pin 3 (stage 15), A15 on pin 31 (stage 18 by the DIP switch), A16 on
// pin 2 (stage 16), A17 on pin 30 (stage 17).
std::vector<int> pinout32Pin(int bits) {
    std::vector<int> s = pinout32K();
    for (int stage : {18, 16, 17})
        if (int(s.size()) < bits) s.push_back(stage);
    return s;
}

StaticRamType ram(std::string name, uint32_t size, std::vector<int> stages, int ce2 = -1) {
    StaticRamType t;
    t.name = std::move(name);
    t.size = size;
    t.stages = std::move(stages);
    t.ce2Stage = ce2;
    return t;
}

StaticRamType module(std::string name, uint32_t size, std::vector<int> stages) {
    StaticRamType t = ram(std::move(name), size, std::move(stages));
    t.nonVolatile = true;
    t.recoveryUs = 2000;  // tREC (value per part unverified)
    return t;
}

}  // namespace

std::unique_ptr<SimChip> MakeStaticRamChip(int32_t eep, int32_t tag) {
    constexpr uint32_t K = 1024;
    struct Row {
        int32_t eep, tag;
        StaticRamType type;
    };
    static const Row rows[] = {
        {21, 1, ram("6116", 2 * K, straight(11))},
        {21, 2, ram("6264", 8 * K, straight(13), 13)},  // CE2 on pin 26, the A13 pin
        {21, 3, ram("62256", 32 * K, pinout32K())},
        // "62512" is no standard part: a 64 KB array behind the 628128 pinout.
        {21, 4, ram("62512", 64 * K, pinout32Pin(16), 17)},
        {21, 5, ram("628128", 128 * K, pinout32Pin(17), 17)},  // CE2 on pin 30
        {20, 1, module("DS1220", 2 * K, straight(11))},
        {20, 2, module("DS1225", 8 * K, straight(13))},
        {20, 3, module("DS1230", 32 * K, pinout32K())},
        {20, 4, module("DS1245", 128 * K, pinout32Pin(17))},
        {20, 5, module("DS1249", 256 * K, pinout32Pin(18))},
    };
    for (const Row& r : rows)
        if (r.eep == eep && r.tag == tag) return std::make_unique<SimStaticRam>(r.type);
    return nullptr;
}

SimStaticRam::SimStaticRam(StaticRamType type, uint32_t seed)
    : type_(std::move(type)), memory_(type_.size), random_(seed) {
    for (uint8_t& b : memory_) b = uint8_t(random_());
}

uint32_t SimStaticRam::chipAddress(uint32_t stages) const {
    uint32_t a = 0;
    for (size_t k = 0; k < type_.stages.size(); ++k)
        if (stages & (1u << type_.stages[k])) a |= 1u << k;
    return a & (type_.size - 1);
}

bool SimStaticRam::selected(uint32_t stages) const {
    return type_.ce2Stage < 0 || (stages & (1u << type_.ce2Stage)) != 0;
}

uint8_t SimStaticRam::readCell(uint32_t address) const {
    address &= type_.size - 1;
    uint8_t v = memory_[address];
    const auto it = stuck_.find(address);
    if (it != stuck_.end())
        v = uint8_t((v & ~it->second.first) | (it->second.second & it->second.first));
    return v;
}

void SimStaticRam::onPins(const SocketPins& pins, int64_t now) {
    if (pins.vcc && !vcc_) {
        powerOnAt_ = now;
        if (!type_.nonVolatile || batteryDead_) {
            for (uint8_t& b : memory_) b = uint8_t(random_());
            ++powerLosses_;
        }
    }
    vcc_ = pins.vcc;
    const bool weLow = pins.strobe;
    const bool recovered = now - powerOnAt_ >= int64_t(type_.recoveryUs * double(kTicksPerUs));
    if (vcc_ && weLow_ && !weLow && selected(pins.address) && recovered && !neverWrites_) {
        memory_[chipAddress(pins.address)] = pins.dataOut ? pins.drivenData() : 0xFF;
        ++writes_;
    }
    weLow_ = weLow;
}

int SimStaticRam::readData(const SocketPins& pins, int64_t) {
    if (!pins.vcc || !pins.outputEnabled() || pins.strobe || !selected(pins.address)) return -1;
    const uint32_t address = chipAddress(pins.address) & (type_.size - 1);
    return flakyRead(address, readCell(address));
}

void SimStaticRam::setStuckBit(uint32_t address, int bit, bool level) {
    auto& [mask, lv] = stuck_[address & (type_.size - 1)];
    const uint8_t m = uint8_t(1 << (bit & 7));
    mask |= m;
    lv = level ? uint8_t(lv | m) : uint8_t(lv & ~m);
}

bool SimStaticRam::applyFamilyFault(const std::string& fault, std::string& error) {
    if (fault != "battery-dead") return false;
    if (!type_.nonVolatile) {
        error = "battery-dead: the " + type_.name + " has no battery";
        return false;
    }
    batteryDead_ = true;
    return true;
}

void SimStaticRam::saveState(std::ostream& out) const {
    out << "sram " << type_.size << '\n';
    out << "battery-dead " << (batteryDead_ ? 1 : 0) << '\n';
    for (const auto& [address, s] : stuck_)
        out << "stuck " << address << ' ' << int(s.first) << ' ' << int(s.second) << '\n';
    out << "data\n";
    out.write(reinterpret_cast<const char*>(memory_.data()), std::streamsize(memory_.size()));
}

bool SimStaticRam::loadState(std::istream& in) {
    std::string line;
    if (!std::getline(in, line)) return false;
    {
        std::istringstream head(line);
        std::string word;
        uint32_t size = 0;
        if (!(head >> word >> size) || word != "sram" || size != type_.size) return false;
    }
    bool dead = false;
    std::map<uint32_t, std::pair<uint8_t, uint8_t>> stuck;
    while (std::getline(in, line) && line != "data") {
        std::istringstream f(line);
        std::string key;
        f >> key;
        int v = 0, m = 0;
        uint32_t a = 0;
        if (key == "battery-dead" && f >> v)
            dead = v != 0;
        else if (key == "stuck" && f >> a >> m >> v)
            stuck[a & (type_.size - 1)] = {uint8_t(m), uint8_t(v)};
        else
            return false;
    }
    if (line != "data") return false;
    std::vector<uint8_t> memory(type_.size);
    in.read(reinterpret_cast<char*>(memory.data()), std::streamsize(memory.size()));
    if (in.gcount() != std::streamsize(memory.size())) return false;
    memory_ = std::move(memory);
    batteryDead_ = dead;
    stuck_ = std::move(stuck);
    return true;
}

}  // namespace tavrin::sim
