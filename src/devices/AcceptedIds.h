#pragma once
// The electronic ID codes each catalogue entry accepts: what Program and Erase compare the chip
// in the socket with before they write. An entry whose caption names several chips accepts each
// of them; an entry with no known code is not checked.

#include <cstdint>
#include <string>
#include <vector>

namespace tavrin {

struct ChipId {
    uint8_t maker = 0;
    uint16_t device = 0;  // AVR: second signature byte << 8 | third
    bool operator==(const ChipId&) const = default;
};

struct AcceptedIdRow {
    const char* caption;  // the entry's caption (runs of blanks and case do not matter)
    std::vector<ChipId> ids;
};

const std::vector<AcceptedIdRow>& AcceptedIdTable();
// The codes the entry with `caption` accepts; empty when none is known.
const std::vector<ChipId>& AcceptedIds(const std::string& caption);

}  // namespace tavrin
