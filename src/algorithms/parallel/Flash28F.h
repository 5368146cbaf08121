#pragma once
// 28F flash with single-cycle commands written with Vpp applied: the 28F0x0 family (program
// set-up 40h, program verify C0h, erase 20h 20h, erase verify A0h) and the MXIC parts that use
// the same bytes with fixed timing, the MX26C1000/2000 MTP EPROMs and the MX28F2000.

#include "core/Context.h"

namespace tavrin {

// 28F0x0: image index i goes to device address Offset + i, each byte programmed with up to 26
// set-up/verify rounds, then the whole range compared.
void Program28F(Context& ctx);
// 28F0x0 bulk erase: erase pulses, each followed by an erase verify that resumes where the last
// one stopped, every byte ("Fast Erase" Off) or every 100th ("On").
void Erase28F(Context& ctx);
// MX26C (with program verify) and MX28F2000 (self-timed) programming, fixed timing.
void ProgramMx28(Context& ctx);
void EraseMx26C(Context& ctx);
void EraseMx28F(Context& ctx);
// 28F0x0 identifier: 90h with Vpp applied, maker code at 0 and device code at 1.
void ReadId28F(Context& ctx);

}  // namespace tavrin
