#pragma once
// The selection handlers of the parallel-bus families and their tables.

#include <cstdint>
#include <string>

#include "devices/SelectionTable.h"

namespace tavrin {

// Program pulses of the 2716/2732 class (45-55 ms, 50 nominal) in delay units of 0.8381 us:
// the 2716 path pulses 2 x tWP, the growing-pulse path tWP.
inline constexpr int32_t k2716HalfPulse = 29830;  // 2 x 25.0 ms
inline constexpr int32_t k2732Pulse = 59660;      // 50.0 ms

void M27C_Click(Context& ctx, int32_t tag, const std::string& caption);
void M27_Click(Context& ctx, int32_t tag, const std::string& caption);
void M27E_Click(Context& ctx, int32_t tag, const std::string& caption);
void MX26C10001Click(Context& ctx, int32_t tag, const std::string& caption);
void M28C_Click(Context& ctx, int32_t tag, const std::string& caption);
void AT28Cxxx_Click(Context& ctx, int32_t tag, const std::string& caption);
void M28F_Click(Context& ctx, int32_t tag, const std::string& caption);
void SST28xF040A1Click(Context& ctx, int32_t tag, const std::string& caption);
void i28Fx00_Click(Context& ctx, int32_t tag, const std::string& caption);
void MX28F20001Click(Context& ctx, int32_t tag, const std::string& caption);
void M29F_Click(Context& ctx, int32_t tag, const std::string& caption);
void AT49F00x_Click(Context& ctx, int32_t tag, const std::string& caption);
void Am29Fx00_Click(Context& ctx, int32_t tag, const std::string& caption);
void AT29C_Click(Context& ctx, int32_t tag, const std::string& caption);
void SRAM_Click(Context& ctx, int32_t tag, const std::string& caption);
void DS12XX_Click(Context& ctx, int32_t tag, const std::string& caption);

const FamilyTable& UvEprom27CFamily();
const FamilyTable& UvEprom27Family();
const FamilyTable& ElectricalEraseEpromFamily();
const FamilyTable& Mx26cFamily();
const FamilyTable& Eeprom28CFamily();
const FamilyTable& EepromAt28CFamily();
const FamilyTable& Flash28FFamily();
const FamilyTable& FlashSst28SFFamily();
const FamilyTable& FlashI28Fx00Family();
const FamilyTable& FlashMx28FFamily();
const FamilyTable& Flash29FFamily();
const FamilyTable& Flash29F00xFamily();
const FamilyTable& Flash29Fx00Family();
const FamilyTable& FlashAt29CFamily();
const FamilyTable& StaticRamFamily();
const FamilyTable& Ds12xxFamily();

// The wiring note shown before the 28F001BX-T is selected.
extern const char* const kI28F001WiringNote;

}  // namespace tavrin
