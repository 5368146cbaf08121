#pragma once
// The MCS-51 timing record: mode patterns, pulse widths and lock state of the 8051-family
// routines, shared by the 40-pin parts and the 20-pin AT89Cx051. Widths and waits are delay units
// (0.8381 us). The selection handlers start from the defaults and set the part's own values; the
// 20-pin routines go back to the defaults at every power-up.

#include <array>
#include <cstdint>

namespace tavrin {

struct Mcs51Timing {
    // Mode patterns, shifted into the address register together with the address.
    int32_t select20 = 0x40000;   // ORed into every 20-pin mode pattern (P3.2/PROG on the strobe)
    int32_t advance20 = 0x18000;  // ORed into the 20-pin advance pattern (XTAL1 on the strobe)
    int32_t reset20 = 0x20000;    // held during the 20-pin power-up (RST on the strobe)
    int32_t write20 = 0x380;
    int32_t read20 = 0x280;
    int32_t lock1_20 = 0x3C0;
    int32_t lock2_20 = 0x140;
    int32_t erase20 = 0x040;
    int32_t write40 = 0x70000;  // ORed with the address
    int32_t read40 = 0x60000;   // ORed with the address
    int32_t erase40 = 0x8000;
    int32_t reserved = 0;
    int32_t lock1_40 = 0x78000;
    int32_t lock2_40 = 0x18000;  // also the AT89S lock read pattern
    int32_t lock3_40 = 0x28000;  // also the AT89S lock write pattern
    int32_t lockRead40 = 0x38000;
    uint8_t lockData = 0;                // byte presented during a lock pulse
    std::array<uint8_t, 3> signature{};  // as last read
    uint8_t vppMarker = 0xFF;            // always 0xFF: program, lock and erase apply Vpp
    uint8_t tErase = 0;                  // 1 = erase gives three erase pulses
    uint8_t sig_Lbit = 0;                // lock bits as last read
    int32_t at89S = 0;                   // AT89S-type lock programming and lock read layout
    int32_t tWP = 10;                    // program pulse width
    int32_t tWC = 2100;                  // wait after each program pulse sequence
    int32_t Pulses = 1;                  // program pulses per byte
    int32_t type = 40;                   // 40 = 40-pin MCS-51, 20 = 20-pin AT89Cx051
    int32_t tWPb = 10;                   // lock-bit pulse width
    int32_t tWPe = 25000;                // chip-erase pulse width
    int32_t ird_lbit = 0;                // 1 = the part's lock bits can be read
    int32_t LockBit = 0;  // lock mode to program: 0 none, 1 bit 1, 2 bits 1+2, 3 bits 1+2+3

    // Not part of the record the Configs page shows: the part is a UV EPROM (87C5x) that only
    // ultraviolet light erases.
    bool uvEprom = false;
};

// The record's initialisation: every field to its default except the lock mode, which is the
// user's choice and survives.
inline void InitMcs51Timing(Mcs51Timing& t) {
    const int32_t lock = t.LockBit;
    t = Mcs51Timing{};
    t.LockBit = lock;
}

}  // namespace tavrin
