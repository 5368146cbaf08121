#include "sim/parallel/FlashCells.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <sstream>

namespace tavrin::sim {

uint8_t FlashCells::read(uint32_t address) const {
    address = wrap(address);
    uint8_t value = cells_[address];
    const auto it = stuck_.find(address);
    if (it != stuck_.end())
        value = uint8_t((value & ~it->second.mask) | (it->second.level & it->second.mask));
    return value;
}

bool FlashCells::program(uint32_t address, uint8_t data) {
    address = wrap(address);
    if (!neverPrograms_) {
        const auto slow = slow_.find(address);
        const bool charging = uint8_t(~data & cells_[address]) != 0;
        if (slow != slow_.end() && charging && ++pulses_[address] < slow->second) return false;
        if (slow != slow_.end()) pulses_.erase(address);
        cells_[address] &= data;
    }
    return read(address) == data;
}

bool FlashCells::unerasable(uint32_t first, uint32_t count) const {
    const auto it = unerasable_.lower_bound(first);
    return it != unerasable_.end() && *it < uint64_t(first) + count;
}

bool FlashCells::erase(uint32_t first, uint32_t count) {
    if (unerasable(first, count)) return false;
    const uint32_t end = std::min<uint64_t>(uint64_t(first) + count, size());
    std::fill(cells_.begin() + first, cells_.begin() + end, 0xFF);
    for (auto it = pulses_.lower_bound(first); it != pulses_.end() && it->first < end;)
        it = pulses_.erase(it);
    return true;
}

void FlashCells::setStuckBit(uint32_t address, int bit, bool level) {
    Stuck& s = stuck_[wrap(address)];
    const uint8_t m = uint8_t(1 << (bit & 7));
    s.mask |= m;
    s.level = level ? uint8_t(s.level | m) : uint8_t(s.level & ~m);
}

void FlashCells::save(std::ostream& out, const std::string& kind,
                      const std::vector<std::string>& extra) const {
    out << kind << ' ' << size() << '\n';
    out << "never-programs " << (neverPrograms_ ? 1 : 0) << '\n';
    for (const auto& [address, s] : stuck_)
        out << "stuck " << address << ' ' << int(s.mask) << ' ' << int(s.level) << '\n';
    for (const auto& [address, k] : slow_) out << "slow " << address << ' ' << k << '\n';
    for (const auto& [address, k] : pulses_) out << "pulses " << address << ' ' << k << '\n';
    for (uint32_t address : unerasable_) out << "unerasable " << address << '\n';
    for (const std::string& line : extra) out << line << '\n';
    out << "data\n";
    out.write(reinterpret_cast<const char*>(cells_.data()), std::streamsize(cells_.size()));
}

bool FlashCells::load(std::istream& in, const std::string& kind, std::vector<std::string>& extra) {
    std::string line;
    if (!std::getline(in, line)) return false;
    {
        std::istringstream head(line);
        std::string word;
        uint32_t n = 0;
        if (!(head >> word >> n) || word != kind || n != size()) return false;
    }
    FlashCells loaded(size());
    extra.clear();
    while (std::getline(in, line) && line != "data") {
        std::istringstream f(line);
        std::string key;
        f >> key;
        uint32_t address = 0;
        int a = 0, b = 0;
        if (key == "never-programs") {
            if (!(f >> a)) return false;
            loaded.neverPrograms_ = a != 0;
        } else if (key == "stuck") {
            if (!(f >> address >> a >> b)) return false;
            loaded.stuck_[loaded.wrap(address)] = Stuck{uint8_t(a), uint8_t(b)};
        } else if (key == "slow") {
            if (!(f >> address >> a) || a < 1) return false;
            loaded.slow_[loaded.wrap(address)] = a;
        } else if (key == "pulses") {
            if (!(f >> address >> a) || a < 0) return false;
            loaded.pulses_[loaded.wrap(address)] = a;
        } else if (key == "unerasable") {
            if (!(f >> address)) return false;
            loaded.unerasable_.insert(loaded.wrap(address));
        } else {
            extra.push_back(line);
        }
    }
    if (line != "data") return false;
    in.read(reinterpret_cast<char*>(loaded.cells_.data()), std::streamsize(size()));
    if (in.gcount() != std::streamsize(size())) return false;
    *this = std::move(loaded);
    return true;
}

}  // namespace tavrin::sim
