#pragma once
// The per-line test of the board: with a static RAM in the socket, each data line and each
// address line is driven on its own and read back through the RAM, so that a line stuck at a
// level, open or shorted is named ("D3 stuck at 0", "A5 stuck or open").

#include <string>
#include <vector>

#include "core/Context.h"

namespace tavrin {

struct SocketLineResult {
    bool ran = false;                 // the test reached its end (board present, RAM selected)
    std::vector<std::string> faults;  // one text per bad line, data lines first
    int dataLines = 0, addressLines = 0;
};

// Needs a device of the static RAM test entries (the RAM the test writes); reports a
// precondition or hardware error through the status line and leaves `ran` false then. Powers the
// socket down on every path.
SocketLineResult TestSocketLines(Context& ctx);

}  // namespace tavrin
