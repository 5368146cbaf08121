#pragma once
// Decode and display of the electronic ID every family's ID reader ends with: the manufacturer
// and device codes looked up in the maker table (with the MCS-51 and AVR overlays), shown on the
// Electronic ID panel.
//
// A reader powers the socket, reads the codes, powers down and then calls ShowElectronicId; it
// never checks the codes itself (an empty socket shows 0xFF and " [----]").

#include <cstdint>

#include "core/Context.h"
#include "core/FrontEnd.h"

namespace tavrin {

// The AVR signature reader leaves these for the panel (family 14 only).
struct AvrIdExtras {
    uint8_t signature3 = 0;  // third signature byte
    uint8_t lockByte = 0;    // lock/fuse byte: bits 7 and 6 give the lock mode
};

// What the panel shows for the codes under family code `eep`; no side effects.
ElectronicIdView DecodeElectronicId(int32_t eep, uint8_t manufacturer, uint8_t device,
                                    AvrIdExtras avr = {});

// Decodes under ctx.profile.eep and shows the result on the front end's Electronic ID panel.
void ShowElectronicId(Context& ctx, uint8_t manufacturer, uint8_t device, AvrIdExtras avr = {});

}  // namespace tavrin
