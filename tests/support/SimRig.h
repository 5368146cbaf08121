#pragma once
// A context wired to a simulated board and a recording front end: the usual test set-up.

#include <memory>

#include "core/Context.h"
#include "core/RecordingFrontEnd.h"
#include "sim/SimBoard.h"

namespace tavrin::test {

struct SimRig {
    SimRig();
    // Puts `chip` into the socket and returns it typed.
    template <typename Chip>
    Chip& insert(std::unique_ptr<Chip> chip) {
        Chip& ref = *chip;
        board.insert(std::move(chip));
        return ref;
    }
    // A device of `size` bytes selected without the catalogue (ShiftAdr from the size).
    void selectRawDevice(int32_t size, int32_t eep = 0);

    RecordingFrontEnd ui;
    Context ctx;
    sim::SimBoard& board;
};

}  // namespace tavrin::test
