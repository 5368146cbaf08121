#pragma once
// The cell array of an electrically erased flash part and the faults it can carry; the chip
// models of the 28F, i28Fx00 and SST28SF families keep their contents here and add their own
// command decoders on top.
//
// Cells: erased 0xFF; programming moves bits from 1 to 0 only, erasing sets a whole erase unit
// (chip, block or sector, as the model says) back to 0xFF.

#include <cstdint>
#include <iosfwd>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavrin::sim {

class FlashCells {
  public:
    explicit FlashCells(uint32_t size) : cells_(size, 0xFF) {}

    uint32_t size() const { return uint32_t(cells_.size()); }
    uint32_t wrap(uint32_t address) const { return address & (size() - 1); }
    // The byte a read returns (stuck bits applied).
    uint8_t read(uint32_t address) const;
    // One program operation of `data` at `address`: the 0 bits of data go into the cell unless
    // the cell is slow and has not had its pulses yet. True when the cell now reads `data` (a 1
    // over a 0 never does).
    bool program(uint32_t address, uint8_t data);
    // Erases `count` bytes from `first` unless the unit is unerasable; false when it was.
    bool erase(uint32_t first, uint32_t count);
    bool unerasable(uint32_t first, uint32_t count) const;

    std::vector<uint8_t>& cells() { return cells_; }
    const std::vector<uint8_t>& cells() const { return cells_; }

    void setStuckBit(uint32_t address, int bit, bool level);
    void setSlowCell(uint32_t address, int pulses) {
        slow_[wrap(address)] = pulses < 1 ? 1 : pulses;
    }
    void setNeverPrograms(bool never) { neverPrograms_ = never; }
    void setUnerasable(uint32_t address) { unerasable_.insert(wrap(address)); }

    // Faults and contents as text lines and raw bytes, for keeping a chip between runs. `extra`
    // lines (key value...) belong to the model; load hands back the ones it did not know.
    void save(std::ostream& out, const std::string& kind,
              const std::vector<std::string>& extra) const;
    bool load(std::istream& in, const std::string& kind, std::vector<std::string>& extra);

  private:
    struct Stuck {
        uint8_t mask = 0, level = 0;
    };
    std::vector<uint8_t> cells_;
    std::map<uint32_t, Stuck> stuck_;
    std::map<uint32_t, int> slow_;    // pulses a cell needs
    std::map<uint32_t, int> pulses_;  // pulses a slow cell has had
    std::set<uint32_t> unerasable_;   // addresses whose erase unit never erases
    bool neverPrograms_ = false;
};

}  // namespace tavrin::sim
