#pragma once
// The simulated chip that goes with the selected device, and the faults a run can inject.

#include <memory>
#include <string>

#include "core/Context.h"
#include "sim/SimBoard.h"
#include "sim/SimChip.h"

namespace tavrin {

// The chip model for the device in the profile (eep, DeviceID, size, package, epr64): an EPROM
// model for the UV and electrically erasable EPROM families (eep 0, 13, 24), the family's own
// model where it has one (28F, i28Fx00 and SST28SF flash and the MXIC parts, eep 3, 19, 25, 26,
// 30, 31), a plain memory of the
// device size for the other parallel families until they have models of their own, the
// bit-level serial EEPROMs for the serial families, nullptr when no device is selected or the
// family has no model yet.
std::unique_ptr<sim::SimChip> MakeSimChip(const Context& ctx);

// Applies one fault to the board or to the chip in its socket. Syntax (numbers decimal or 0x hex):
//   stuck:ADDR:BIT=V    bit BIT (0-7) of chip address ADDR always reads V (0 or 1)
//   flaky:ADDR:BIT      bit BIT (0-7) of ADDR reads inverted on the second, fourth, ... power
//                       session that reads it (a weak cell, a poor contact)
//   slow:ADDR:K         the cells of ADDR need K program pulses (K >= 1)
//   never-programs      the chip takes no charge from any program pulse
//   code-protected      a PIC with its code (and data) protection programmed
//   locked:N            lock bits 1..N of a microcontroller programmed (N 0-3)
//   no-chip             empty socket
//   board-absent        no board on the port
//   board-unpowered     board present, its supply off
//   board-lost-after:N  the board goes away after N more port accesses (N >= 1)
//   signal:SIG:N        the process gets SIGINT, SIGTERM or SIGHUP (SIG: INT, TERM, HUP) after N
//                       more port accesses
//   busy-stuck:0|1      printer-port pin 11 stuck at that level
// and the faults of the chip's own family (JEDEC flash: protect:SECTOR, slow-erase:K,
// id:MAKER:DEVICE, ignores-protect; AVR: avr-locked:1..3, avr-busy-stuck, avr-fuse-pulse:US;
// EEPROM and sector flash: sdp-enabled, slow-write:K; electrically erasable EPROM: never-erases;
// DS12xx: battery-dead; 28F, i28Fx00 and SST28SF flash: slow-erase:K, unerasable:ADDR,
// vpp-missing, id:MAKER:DEVICE; see their models).
// False with `error` set when the text is not a fault or the chip cannot take it.
bool ApplySimFault(sim::SimBoard& board, const std::string& fault, std::string& error);

}  // namespace tavrin
