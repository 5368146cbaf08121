#pragma once
// The JEDEC command address tables and the three-cycle command writers of the 16-bit family.
// Three-cycle commands use the first three entries, six-cycle ones (chip erase, the MXIC
// protection unlock) all six.

#include <array>
#include <cstdint>

#include "core/Context.h"

namespace tavrin::jedec {

using CommandAddresses = std::array<uint32_t, 6>;

inline constexpr CommandAddresses Cmd555{0x555, 0x2AA, 0x555, 0x555, 0x2AA, 0x555};
inline constexpr CommandAddresses Cmd5555{0x5555, 0x2AAA, 0x5555, 0x5555, 0x2AAA, 0x5555};
// 16-bit parts in byte mode: A-1 is the lowest address bit, so the word addresses double.
inline constexpr CommandAddresses CmdAAA{0xAAA, 0x555, 0xAAA, 0xAAA, 0x555, 0xAAA};
inline constexpr CommandAddresses CmdAAAA{0xAAAA, 0x5555, 0xAAAA, 0xAAAA, 0x5555, 0xAAAA};

using Command3 = std::array<uint8_t, 3>;
using Command6 = std::array<uint8_t, 6>;
inline constexpr Command3 kProgram{0xAA, 0x55, 0xA0};
inline constexpr Command3 kAutoselect{0xAA, 0x55, 0x90};
inline constexpr Command3 kReset{0xAA, 0x55, 0xF0};
inline constexpr Command3 kFastModeSet{0xAA, 0x55, 0x20};
inline constexpr uint8_t kFastModeProgram = 0xA0;
inline constexpr std::array<uint8_t, 2> kFastModeReset{0x90, 0xF0};
inline constexpr Command6 kChipErase{0xAA, 0x55, 0x80, 0xAA, 0x55, 0x10};
inline constexpr Command6 kProtectUnlock{0xAA, 0x55, 0x80, 0xAA, 0x55, 0x20};

// The address set cb5555 chooses: sequ = 1 the 0x5555/0x2AAA set, 0 the 0x555/0x2AA set.
inline const CommandAddresses& CommandSet8(const DeviceProfile& p) {
    return p.sequ == 1 ? Cmd5555 : Cmd555;
}
// The same choice for the 16-bit family: 0xAAAA/0x5555 or 0xAAA/0x555.
inline const CommandAddresses& CommandSet16(const DeviceProfile& p) {
    return p.sequ == 1 ? CmdAAAA : CmdAAA;
}

// Three cycles at the 16-bit family's command addresses, a full address shift each.
void WriteCommand16(Context& ctx, const Command3& bytes);
// The same with one full shift: clocking one more bit into the address register doubles the
// address and sets its low bit, so 0xAAAA becomes 0x15555 and 0x2AAAA, whose low 16 bits are the
// next table addresses (0xAAA: 0x1555, 0x2AAA; low 12 bits).
void WriteCommand16Fast(Context& ctx, const Command3& bytes);

}  // namespace tavrin::jedec
