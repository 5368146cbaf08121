#include "sim/serial/SerialMemory.h"

#include <istream>
#include <ostream>
#include <sstream>

namespace tavrin::sim {

SerialMemory::SerialMemory(std::string kind, uint32_t size)
    : kind_(std::move(kind)), cells_(size, 0xFF) {}

void SerialMemory::setStuckBit(uint32_t address, int bit, bool level) {
    auto& [m, l] = stuck_[address & mask()];
    m = uint8_t(m | (1u << bit));
    l = level ? uint8_t(l | (1u << bit)) : uint8_t(l & ~(1u << bit));
}

uint8_t SerialMemory::readCell(uint32_t address) const {
    address &= mask();
    uint8_t v = cells_[address];
    if (auto it = stuck_.find(address); it != stuck_.end())
        v = uint8_t((v & ~it->second.first) | (it->second.second & it->second.first));
    return flakyRead(address, v);
}

void SerialMemory::storeCell(uint32_t address, uint8_t value) {
    if (!neverPrograms_) cells_[address & mask()] = value;
}

void SerialMemory::saveState(std::ostream& out) const {
    out << kind_ << ' ' << cells_.size() << '\n';
    out << "never-programs " << (neverPrograms_ ? 1 : 0) << '\n';
    for (const auto& [a, s] : stuck_)
        out << "stuck " << a << ' ' << int(s.first) << ' ' << int(s.second) << '\n';
    for (const auto& [a, k] : slow_) out << "slow " << a << ' ' << k << '\n';
    std::map<std::string, int64_t> extra;
    saveExtra(extra);
    for (const auto& [key, v] : extra) out << "set " << key << ' ' << v << '\n';
    out << "data\n";
    out.write(reinterpret_cast<const char*>(cells_.data()), std::streamsize(cells_.size()));
}

bool SerialMemory::loadState(std::istream& in) {
    std::string line, word;
    size_t size = 0;
    if (!std::getline(in, line)) return false;
    if (std::istringstream head(line);
        !(head >> word >> size) || word != kind_ || size != cells_.size())
        return false;
    decltype(stuck_) stuck;
    decltype(slow_) slow;
    std::map<std::string, int64_t> extra;
    bool never = false;
    while (std::getline(in, line) && line != "data") {
        std::istringstream f(line);
        f >> word;
        if (word == "never-programs") {
            int v = 0;
            if (!(f >> v)) return false;
            never = v != 0;
        } else if (word == "stuck") {
            uint32_t a = 0;
            int m = 0, l = 0;
            if (!(f >> a >> m >> l)) return false;
            stuck[a & mask()] = {uint8_t(m), uint8_t(l)};
        } else if (word == "slow") {
            uint32_t a = 0;
            int k = 0;
            if (!(f >> a >> k)) return false;
            slow[a & mask()] = k;
        } else if (word == "set") {
            std::string key;
            int64_t v = 0;
            if (!(f >> key >> v)) return false;
            extra[key] = v;
        } else {
            return false;
        }
    }
    std::vector<uint8_t> cells(cells_.size());
    if (!in.read(reinterpret_cast<char*>(cells.data()), std::streamsize(cells.size())))
        return false;
    cells_ = std::move(cells);
    stuck_ = std::move(stuck);
    slow_ = std::move(slow);
    neverPrograms_ = never;
    loadExtra(extra);
    return true;
}

}  // namespace tavrin::sim
