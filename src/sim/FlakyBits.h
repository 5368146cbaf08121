#pragma once
// Bits that read back wrong now and then: a weak cell or a poor socket contact. A flaky bit of
// an address reads inverted in every second power session of the socket in which that address
// is read (the second, fourth, ...), so a run that reads the chip three times sees it flip on
// the second read only, the same way each time.

#include <cstdint>
#include <map>

namespace tavrin::sim {

class FlakyBits {
  public:
    void add(uint32_t address, int bit) { entries_[address].mask |= uint8_t(1u << (bit & 7)); }
    bool empty() const { return entries_.empty(); }
    // The socket supply came on.
    void beginSession() { ++session_; }

    // What a read of `address` holding `value` returns now.
    uint8_t apply(uint32_t address, uint8_t value) {
        if (entries_.empty()) return value;
        const auto it = entries_.find(address);
        if (it == entries_.end()) return value;
        Entry& e = it->second;
        if (e.lastSession != session_) {
            e.lastSession = session_;
            ++e.sessions;
        }
        return e.sessions % 2 == 0 ? uint8_t(value ^ e.mask) : value;
    }

  private:
    struct Entry {
        uint8_t mask = 0;
        uint64_t lastSession = UINT64_MAX;
        uint64_t sessions = 0;
    };
    std::map<uint32_t, Entry> entries_;
    uint64_t session_ = 0;
};

}  // namespace tavrin::sim
