#pragma once
// Choosing and opening the printer-port backend: the simulated board (the default), Linux ppdev
// or direct I/O. A port that cannot be opened leaves a NullPort and a reason for the user.

#include <memory>
#include <string>

#include "hardware/Port.h"

namespace tavrin {

struct PortChoice {
    enum class Kind { Simulated, Ppdev, DirectIo, None } kind = Kind::Simulated;
    std::string device;   // ppdev node; empty = from the LPT index
    uint16_t base = 0;    // direct I/O base; 0 = from the LPT index
};

// "sim", "ppdev", "ppdev:/dev/parport1", "io", "io:0x278", "none". False with `error` set when the
// text names no backend.
bool ParsePortChoice(const std::string& text, PortChoice& choice, std::string& error);

struct OpenedPort {
    std::unique_ptr<Port> port;  // never null: a NullPort when opening failed
    std::string error;           // why the chosen port could not be opened
};

// lptIndex 0..2 (LPT1..3) maps to /dev/parport0..2 and to 0x378/0x278/0x3BC. The simulated board
// comes back empty; the caller puts a chip into it.
OpenedPort OpenPort(const PortChoice& choice, int lptIndex);

}  // namespace tavrin
