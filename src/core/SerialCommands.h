#pragma once
// Instruction records of the serial EEPROM families, set by their selection handlers and read by
// their routines.

#include <cstdint>
#include <initializer_list>

namespace tavrin {

// Microwire 93Cxx: start bit, two-bit opcode and address, clocked as one number of commandBits
// bits. The base set is the 93C46 in 8-bit organisation (7 address bits); other parts shift it.
struct Cmd93C {
    uint32_t opRead = 0x300;   // 1 10 A
    uint32_t opWrite = 0x280;  // 1 01 A
    uint32_t opEwen = 0x260;   // 1 00 11x..
    uint32_t opEwds = 0x200;   // 1 00 00x..
    uint32_t opErase = 0x380;  // 1 11 A
    uint32_t opEral = 0x240;   // 1 00 10x..
    uint32_t opWral = 0x220;   // 1 00 01x.. (not used)
    int32_t addressBits = 7;
    int32_t commandBits = 10;
    int32_t wordBytes = 1;  // 1: 8-bit organisation, 2: 16-bit

    // The patterns for `shift` more (positive) or fewer (negative) address bits.
    Cmd93C resized(int32_t shift) const {
        Cmd93C c = *this;
        for (uint32_t* op :
             {&c.opRead, &c.opWrite, &c.opEwen, &c.opEwds, &c.opErase, &c.opEral, &c.opWral})
            *op = shift >= 0 ? *op << shift : *op >> -shift;
        c.addressBits += shift;
        c.commandBits += shift;
        return c;
    }
};

// SPI 25Cxxx instructions.
struct Cmd25C {
    uint32_t readFrame = 0x30000;     // READ (0x03) above a 16-bit address
    uint32_t writeFrame = 0x2000000;  // WRITE (0x02) above a 24-bit field
    uint8_t opWren = 6;
    uint8_t opWrdi = 4;
    uint8_t opRdsr = 5;
    uint8_t opWrsr = 1;
};

}  // namespace tavrin
