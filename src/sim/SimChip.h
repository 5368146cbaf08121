#pragma once
// A chip model that sits in the simulated socket. The board tells it the levels of the socket
// lines whenever they change and asks it what it drives onto the data pins and printer-port pin 11.

#include <cstdint>
#include <iosfwd>
#include <string>

namespace tavrin::sim {

// Socket-side levels as the board produces them from the register bytes.
struct SocketPins {
    uint32_t address = 0;   // the 24 stages of the address register; stage k drives A(k)
    uint8_t portData = 0;   // the data register byte: in data-out mode it drives D0..D7
    bool dataOut = false;   // data-out mode: board drives D0..D7, device outputs disabled (/OE high)
    bool vcc = false;       // socket supply on
    bool vpp = false;       // programming voltage applied
    bool strobe = false;    // write/program strobe asserted (/WE-/PGM low)

    // Output enable as the socket sees it: /OE is low in serial mode.
    bool outputEnabled() const { return !dataOut; }
    uint8_t drivenData() const { return portData; }
};

class SimChip {
public:
    virtual ~SimChip() = default;
    virtual std::string name() const = 0;

    // Called after a register write changed the socket lines; `now` is virtual time in tenths of a
    // nanosecond. Chips latch addresses and data on the strobe and power edges they see here.
    virtual void onPins(const SocketPins& pins, int64_t now) = 0;

    // What the chip drives onto D0..D7 now, or -1 when its outputs are off (the pull-ups then
    // read 1).
    virtual int readData(const SocketPins& pins, int64_t now) = 0;

    // The host has begun shifting out the byte last sampled by readData: that sample was a read.
    // (The board also samples on the load edges an address shift makes; nobody reads those.)
    virtual void onReadBack(int64_t now) { (void)now; }

    // Level of printer-port pin 11. `loopback` is the level the board itself puts there (D0 while
    // powered); serial chips combine it with their data output.
    virtual bool busyPin(const SocketPins& pins, int64_t now, bool loopback) {
        (void)pins, (void)now;
        return loopback;
    }

    // True when the chip also wants onPins for data writes in serial mode (address changes);
    // most chips only care about control edges and the data latch.
    virtual bool wantsAddressEvents() const { return false; }

    // Persistent state (contents, lock bits, fault settings) for keeping a chip between runs.
    virtual void saveState(std::ostream& out) const { (void)out; }
    virtual bool loadState(std::istream& in) { (void)in; return true; }
};

}  // namespace tavrin::sim
