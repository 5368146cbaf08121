#pragma once
// PIC microcontrollers in the serial programming mode: 14-bit flash parts (16x84, 16F62x,
// 16F87x), 14-bit EPROM parts (16C62x, 16CE62x, 16C71x) and 12-bit EPROM parts (12C50x).
// Program words sit from word 0 of the buffer, the identifier words at picIdBase, the
// configuration word at picCfgIndex and data EEPROM byte j in the low byte of word 0x2100 + j.

#include <cstdint>
#include <string>

#include "core/Context.h"

namespace tavrin {

inline constexpr int64_t kPicDataWord = 0x2100;

// 14-bit flash: bulk erase, program with data EEPROM, identifiers and configuration, device ID.
void PicErase(Context& ctx);
void PicProgramFlash(Context& ctx);
bool PicWriteConfigFlash(Context& ctx);
void PicGetId(Context& ctx);

// 14-bit EPROM: confirmed one-time programming with over-programming pulses.
void PicProgramEprom(Context& ctx);
bool PicWriteConfigEprom(Context& ctx);

// Both 14-bit groups.
bool PicVerify14(Context& ctx);
void PicRead14(Context& ctx);
// The 14-bit blank sum; false when the run was cancelled.
bool PicBlankSum14(Context& ctx, uint16_t& sum);

// 12-bit EPROM.
void PicProgram12(Context& ctx);
bool PicVerify12(Context& ctx);
void PicRead12(Context& ctx);
bool PicBlankSum12(Context& ctx, uint16_t& sum);

// Blank check of the flash and 12-bit parts: the device checksum against bkCode.
void PicBlankCheck(Context& ctx);

// The Verify command: the family's verify, with its verdict on the status line.
void PicVerifyCommand(Context& ctx);

// What the device-ID panel shows for a word read at 0x2006.
struct PicDeviceIdView {
    std::string hex;   // " 0x%04X"
    std::string bits;  // bits 13..5 in groups of 2, 4 and 3, each after a blank
    std::string rev;   // " b4 b3b2b1b0"
    std::string name;  // " PIC 16F84A" or " [ ???? ]"
};
PicDeviceIdView DecodePicDeviceId(uint16_t id);

}  // namespace tavrin
