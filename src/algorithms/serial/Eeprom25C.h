#pragma once
// 25Cxxx SPI serial EEPROMs (eep 6): parts with one address byte (Tags up to 200, the 4 Kbit
// part with A8 in the instruction) are written byte by byte, the others page by page (spiPage
// bytes, two or three address bytes). The block protection in spiStatus (BP1, BP0, WPEN) is
// written after programming. Offset is not used.

#include "core/Context.h"

namespace tavrin {

// Also reads the status register into spiStatus and the protection controls.
void Read25C(Context& ctx);
void Verify25C(Context& ctx);
// Clears the protection, writes, sets the protection from spiStatus, then verifies quietly.
void Program25C(Context& ctx);
// Bytes one write instruction of the selected part takes: 1 on the byte-mode parts, spiPage else.
int64_t WriteUnit25C(const DeviceProfile& p);

}  // namespace tavrin
