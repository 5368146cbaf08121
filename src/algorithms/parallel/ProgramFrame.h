#pragma once
// The frame of the byte-at-a-time program routines of the parallel flash families: the offset
// question, bufferLoaded clipped to the device for the run and restored after it, the gauge, the
// skipped 0xFF bytes, progress and cancel after every index, the quiet verify and the closing
// message, and the socket powered down on every way out.

#include <cstdint>
#include <functional>

#include "core/Context.h"

namespace tavrin {

struct ProgramPass {
    const char* caption;
    // Powers up and prepares the socket; runs after the gauge opened.
    std::function<void()> start;
    // Writes image index `index` to device address `address` and reads it back; false when the
    // byte failed, after the routine reported it.
    std::function<bool(uint32_t index, uint32_t address, uint8_t value)> writeByte;
    // Runs after the loop whatever its outcome (Vpp off, fast mode left); may be empty.
    std::function<void()> finish;
};

// Buffer index i goes to device address Offset + i, for i from 0 through bufferLoaded (at most
// bufferSize - 1). A clean pass ends with VerifyParallel and "Device Programed OK" when it passed.
void RunProgramPass(Context& ctx, const ProgramPass& pass);

}  // namespace tavrin
