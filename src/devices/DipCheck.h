#pragma once
// The DIP-switch check before power: the board's twelve switches and its A18/Vpp jumper are set
// by hand, and a setting left from the previous part can put Vpp on the wrong pin. Commands that
// power the socket first compare the selected device's setting with the one the user last
// confirmed and ask when they differ, or when the entry is one for the other board variant.

#include <string>
#include <vector>

#include "core/Context.h"

namespace tavrin {

// One place of the switch block whose setting changes: place 0 is the jumper (digits '3', '4',
// '5'), places 1..12 the switches ('1' ON, '0' OFF). `from` is ' ' when nothing was confirmed.
struct DipChange {
    int place = 0;
    char from = ' ';
    char to = ' ';
};

// The places where `wanted` (jumper digit and twelve switch digits, as DipPatternDigits gives
// them) differs from `confirmed`; an empty or short `confirmed` counts as nothing known.
std::vector<DipChange> DipChanges(const std::string& confirmed, const std::string& wanted);

// "switch 3 ON (was OFF), jumper A18/Vpp 5 (was 4)"; a place with nothing confirmed before
// reads "switch 3 ON".
std::string DipChangesText(const std::vector<DipChange>& changes);

// For an entry whose caption names a board variant ("PCB3", "tavrin") while the other one is
// selected: the warning, else empty.
std::string BoardMismatchWarning(const std::string& caption, int32_t tavrin);

// The question due before the socket is powered, empty when none is: the check is off, the
// device has no pattern on show, or the setting is the confirmed one on the right board.
std::string DipQuestion(const Context& ctx);

// Asks the question when one is due; a Yes makes the shown setting the confirmed one. False
// (after an error message) when the user did not confirm: the command must not power the socket.
bool ConfirmDipSwitches(Context& ctx);

}  // namespace tavrin
