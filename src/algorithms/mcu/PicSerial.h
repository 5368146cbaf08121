#pragma once
// The serial programming bus of the PIC microcontrollers: RB6 clock on D1, RB7 data on D0 (1 =
// released, read back inverted on status bit 7), MCLR at the programming voltage on the Vpp line,
// Vdd on Vcc, data-out mode on throughout. Commands are six bits and data words sixteen clocks,
// both least significant bit first; every wait is in delay units (0.8381 us).

#include <cstdint>

#include "core/Context.h"

namespace tavrin {

// Six-bit commands of the programming mode.
namespace PicCmd {
inline constexpr uint8_t LoadConfig = 0;    // + data word; address to the configuration space
inline constexpr uint8_t EraseSetup1 = 1;   // first and last step of the bulk erase
inline constexpr uint8_t LoadProgram = 2;   // + data word
inline constexpr uint8_t LoadData = 3;      // + data word (data EEPROM byte)
inline constexpr uint8_t ReadProgram = 4;   // + read word
inline constexpr uint8_t ReadData = 5;      // + read word
inline constexpr uint8_t Increment = 6;     // next address
inline constexpr uint8_t EraseSetup2 = 7;   // second step of the bulk erase
inline constexpr uint8_t BeginProgram = 8;  // start the write (or the EPROM program pulse)
inline constexpr uint8_t EndProgram = 14;   // end the EPROM program pulse
}  // namespace PicCmd

// Vdd on, then MCLR to Vpp with RB6 and RB7 low: programming mode with the address at its start.
// While powered, the Vpp drop at its start leaves and re-enters the mode.
void PicEnterProgramming(Context& ctx);
// MCLR back to its low level, then the common power-down.
void PicExitProgramming(Context& ctx);
void PicSendBit(Context& ctx, int bit);
int PicReadBit(Context& ctx);
void PicCommand(Context& ctx, uint8_t code);
// Start bit, 14 data bits, stop bit.
void PicSendWord(Context& ctx, uint16_t word);
// The 14 data bits between the two discarded clocks.
uint16_t PicReadWord(Context& ctx);
// One EPROM program pulse of tWC units for buffer word `word` at the current address: Load Data,
// Begin Programming, End Programming.
void PicProgramPulse(Context& ctx, int64_t word);

// The PIC write time kept in microseconds, as delay units per attempt.
int32_t PicMicrosecondsToTicks(double us);

}  // namespace tavrin
