#include "sim/ChipFactory.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "sim/ChipFaults.h"
#include "sim/SimEprom.h"
#include "sim/SimMemoryChip.h"
#include "sim/mcu/SimAvr.h"
#include "sim/mcu/SimMcs48.h"
#include "sim/mcu/SimMcs51.h"
#include "sim/mcu/SimPic.h"
#include "sim/parallel/SimEeprom.h"
#include "sim/parallel/SimElectricalEraseEprom.h"
#include "sim/parallel/SimFlash28F.h"
#include "sim/parallel/SimFlashI28Fx00.h"
#include "sim/parallel/SimFlashSst28SF.h"
#include "sim/parallel/SimJedec29F.h"
#include "sim/parallel/SimStaticRam.h"
#include "sim/serial/SimEeprom24C.h"
#include "sim/serial/SimEeprom25C.h"
#include "sim/serial/SimEeprom93C.h"

namespace tavrin {

namespace {

using sim::EpromPins;
using sim::EpromType;

constexpr uint32_t K = 1024;

struct EpromEntry {
    int32_t eep;
    int32_t tag;
    EpromType (*kind)(std::string, uint32_t, EpromPins);
    const char* name;
    uint32_t size;
    EpromPins pins;
    bool wordWide;
};

// Pin classes follow the data-sheet pinouts: a separate /PGM pin (2764, 27128, 27010, 27020
// families), /CE as the program pulse with a separate Vpp pin (27256, 27040), the combined OE#/VPP
// pin (2732, 27512, 27C080, 27C322's G/VPP), and the 2716's active-high CE/PGM.
const EpromEntry kEproms[] = {
    {0, 215, sim::SlowEprom, "27C16", 2 * K, EpromPins::CePgmHigh, false},
    {0, 201, sim::SlowEprom, "27C32", 4 * K, EpromPins::OeVpp, false},
    {0, 202, sim::QuickPulseEprom, "27C64", 8 * K, EpromPins::PgmPin, false},
    {0, 203, sim::QuickPulseEprom, "27C128", 16 * K, EpromPins::PgmPin, false},
    {0, 204, sim::QuickPulseEprom, "27C256", 32 * K, EpromPins::CeProgram, false},
    {0, 205, sim::QuickPulseEprom, "27C512", 64 * K, EpromPins::OeVpp, false},
    {0, 206, sim::QuickPulseEprom, "27C010", 128 * K, EpromPins::PgmPin, false},
    {0, 207, sim::QuickPulseEprom, "27C020", 256 * K, EpromPins::PgmPin, false},
    {0, 208, sim::QuickPulseEprom, "27C040", 512 * K, EpromPins::CeProgram, false},
    {0, 209, sim::FastEprom, "27C080", 1024 * K, EpromPins::OeVpp, false},
    {0, 210, sim::FastEprom, "AT27C080", 1024 * K, EpromPins::OeVpp, false},
    {0, 301, sim::QuickPulseEprom, "27C1024", 128 * K, EpromPins::PgmPin, true},
    {0, 302, sim::QuickPulseEprom, "27C2048", 256 * K, EpromPins::PgmPin, true},
    {0, 303, sim::QuickPulseEprom, "27C4096", 512 * K, EpromPins::CeProgram, true},
    {0, 401, sim::FastEprom, "27C400", 512 * K, EpromPins::CeProgram, true},   // BYTE/VPP
    {0, 402, sim::FastEprom, "27C800", 1024 * K, EpromPins::CeProgram, true},  // BYTE/VPP
    {0, 403, sim::FastEprom, "27C160", 2048 * K, EpromPins::CeProgram, true},  // BYTE/VPP
    {0, 404, sim::FastEprom, "27C322", 4096 * K, EpromPins::OeVpp, true},      // G/VPP
    {13, 101, sim::SlowEprom, "2716", 2 * K, EpromPins::CePgmHigh, false},
    {13, 102, sim::SlowEprom, "2732", 4 * K, EpromPins::OeVpp, false},
    {13, 103, sim::NmosEprom, "2764", 8 * K, EpromPins::PgmPin, false},
    {13, 104, sim::NmosEprom, "27128", 16 * K, EpromPins::PgmPin, false},
    {13, 105, sim::NmosEprom, "27256", 32 * K, EpromPins::CeProgram, false},
    {13, 106, sim::NmosEprom, "27512", 64 * K, EpromPins::OeVpp, false},
    {13, 107, sim::NmosEprom, "27010", 128 * K, EpromPins::PgmPin, false},
    {13, 108, sim::NmosEprom, "27020", 256 * K, EpromPins::PgmPin, false},
    {13, 109, sim::NmosEprom, "27040", 512 * K, EpromPins::CeProgram, false},
};

bool isEpromFamily(int32_t eep) {
    return eep == 0 || eep == 13 || eep == 24;
}

bool isOtherParallelFamily(int32_t eep) {
    for (int32_t e : {4, 5, 7, 9, 12, 15, 20, 21, 22, 23, 27})
        if (e == eep) return true;
    return false;
}

uint32_t deviceBytes(const DeviceProfile& p) {
    const int32_t size = std::max(p.deviceSize, p.bufferSize);
    return size <= 0 ? 0 : std::bit_ceil(static_cast<uint32_t>(size));
}

// A part the table does not know (a raw selection): its pin class from the package and the flags.
EpromType genericEprom(const DeviceProfile& p, uint32_t size) {
    const std::string name = "EPROM " + std::to_string(size / K) + "K";
    if (p.package == 2716) return sim::SlowEprom(name, size, EpromPins::CePgmHigh);
    if (p.package == 2732) return sim::SlowEprom(name, size, EpromPins::OeVpp);
    const EpromPins pins = p.epr64 == 1     ? EpromPins::PgmPin
                           : p.keepVpp == 1 ? EpromPins::CeProgram
                                            : EpromPins::OeVpp;
    EpromType t =
        p.eep == 13 ? sim::NmosEprom(name, size, pins) : sim::QuickPulseEprom(name, size, pins);
    t.wordWide = p.package == 8749;
    return t;
}

bool parseNumber(const std::string& text, uint32_t& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > 0xFFFFFFFFul) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

sim::ChipFaults* faultsOf(sim::SimBoard& board, const std::string& fault, std::string& error) {
    if (!board.chip()) {
        error = fault + ": no chip in the socket";
        return nullptr;
    }
    auto* faults = dynamic_cast<sim::ChipFaults*>(board.chip());
    if (!faults) error = fault + ": the " + board.chip()->name() + " model takes no cell faults";
    return faults;
}

}  // namespace

std::unique_ptr<sim::SimChip> MakeSimChip(const Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    const uint32_t size = deviceBytes(p);
    if (size == 0) return nullptr;
    if (p.eep == 24)
        if (auto chip = sim::MakeElectricalEraseEprom(p.DeviceID, ctx.controls.edDevice))
            return chip;
    if (p.eep == 20 || p.eep == 21)
        if (auto chip = sim::MakeStaticRamChip(p.eep, p.DeviceID)) return chip;
    if (isEpromFamily(p.eep)) {
        for (const EpromEntry& e : kEproms) {
            if (e.eep == p.eep && e.tag == p.DeviceID) {
                EpromType t = e.kind(e.name, e.size, e.pins);
                t.wordWide = e.wordWide;
                return std::make_unique<sim::SimEprom>(std::move(t));
            }
        }
        return std::make_unique<sim::SimEprom>(genericEprom(p, size));
    }
    if (auto serial = sim::MakeSimEeprom24C(p.eep, p.DeviceID)) return serial;
    if (auto serial = sim::MakeSimEeprom93C(p.eep, p.DeviceID)) return serial;
    if (auto serial = sim::MakeSimEeprom25C(p.eep, p.DeviceID)) return serial;
    if (auto pic = sim::MakeSimPic(ctx)) return pic;
    if (p.eep == 5 || p.eep == 7 || p.eep == 9 || p.eep == 22)
        if (auto chip = sim::MakeEepromChip(p.eep, p.DeviceID)) return chip;
    if (std::unique_ptr<sim::SimChip> jedec = sim::MakeJedecChip(ctx)) return jedec;
    if (p.eep == 14) return sim::MakeAvrChip(ctx);
    if (auto flash = sim::MakeFlash28F(p.eep, p.DeviceID, size)) return flash;
    if (auto flash = sim::MakeFlashI28Fx00(p.eep, p.DeviceID, size)) return flash;
    if (auto flash = sim::MakeFlashSst28SF(p.eep, p.DeviceID)) return flash;
    if (auto mcu = sim::MakeMcs51Chip(ctx)) return mcu;
    if (auto mcu = sim::MakeMcs48Chip(ctx)) return mcu;
    if (isOtherParallelFamily(p.eep)) {
        const bool ram = p.eep == 20 || p.eep == 21;
        return std::make_unique<sim::SimMemoryChip>(size, ram, 0xFF);
    }
    return nullptr;
}

bool ApplySimFault(sim::SimBoard& board, const std::string& fault, std::string& error) {
    const size_t colon = fault.find(':');
    const std::string kind = fault.substr(0, colon);
    const std::string rest = colon == std::string::npos ? std::string() : fault.substr(colon + 1);
    const bool hasArgs = colon != std::string::npos;

    if (!hasArgs) {
        if (kind == "no-chip") {
            board.remove();
            return true;
        }
        if (kind == "board-absent") {
            board.setPresent(false);
            return true;
        }
        if (kind == "board-unpowered") {
            board.setPowered(false);
            return true;
        }
        if (kind == "never-programs") {
            sim::ChipFaults* f = faultsOf(board, fault, error);
            if (!f) return false;
            f->setNeverPrograms(true);
            return true;
        }
    } else if (kind == "board-lost-after") {
        uint32_t accesses = 0;
        if (parseNumber(rest, accesses) && accesses >= 1) {
            board.loseBoardAfter(accesses);
            return true;
        }
    } else if (kind == "signal") {
        // signal:INT|TERM|HUP:N
        const size_t c2 = rest.find(':');
        const std::string name = rest.substr(0, c2);
        const int number = name == "INT"    ? SIGINT
                           : name == "TERM" ? SIGTERM
                           : name == "HUP"  ? SIGHUP
                                            : 0;
        uint32_t accesses = 0;
        if (number && c2 != std::string::npos && parseNumber(rest.substr(c2 + 1), accesses) &&
            accesses >= 1) {
            board.raiseAfter(accesses, number);
            return true;
        }
    } else if (kind == "line-stuck") {
        // line-stuck:A5=0, line-stuck:D3=1
        const size_t eq = rest.find('=');
        uint32_t bit = 0, level = 0;
        if (eq != std::string::npos && eq >= 2 && (rest[0] == 'A' || rest[0] == 'D') &&
            parseNumber(rest.substr(1, eq - 1), bit) && bit <= (rest[0] == 'A' ? 18u : 7u) &&
            parseNumber(rest.substr(eq + 1), level) && level <= 1) {
            board.setSocketLineStuck(rest[0] == 'D', int(bit), level == 1);
            return true;
        }
    } else if (kind == "busy-stuck") {
        if (rest == "0" || rest == "1") {
            board.setBusyStuck(rest == "1");
            return true;
        }
    } else if (kind == "stuck") {
        // stuck:ADDR:BIT=V
        const size_t c2 = rest.find(':');
        const size_t eq = rest.find('=');
        uint32_t address = 0, bit = 0, level = 0;
        if (c2 != std::string::npos && eq != std::string::npos && eq > c2 &&
            parseNumber(rest.substr(0, c2), address) &&
            parseNumber(rest.substr(c2 + 1, eq - c2 - 1), bit) && bit <= 7 &&
            parseNumber(rest.substr(eq + 1), level) && level <= 1) {
            sim::ChipFaults* f = faultsOf(board, fault, error);
            if (!f) return false;
            f->setStuckBit(address, int(bit), level == 1);
            return true;
        }
    } else if (kind == "flaky") {
        // flaky:ADDR:BIT
        const size_t c2 = rest.find(':');
        uint32_t address = 0, bit = 0;
        if (c2 != std::string::npos && parseNumber(rest.substr(0, c2), address) &&
            parseNumber(rest.substr(c2 + 1), bit) && bit <= 7) {
            sim::ChipFaults* f = faultsOf(board, fault, error);
            if (!f) return false;
            f->setFlakyBit(address, int(bit));
            return true;
        }
    } else if (kind == "locked") {
        // locked:N  lock bits 1..N programmed (a microcontroller with lock bits)
        uint32_t mode = 0;
        if (parseNumber(rest, mode) && mode <= 3) {
            auto* lockable =
                board.chip() ? dynamic_cast<sim::LockableChip*>(board.chip()) : nullptr;
            if (!lockable) {
                error = fault + ": the chip in the socket has no lock bits";
                return false;
            }
            lockable->setLockMode(int(mode));
            return true;
        }
    } else if (kind == "slow") {
        // slow:ADDR:K
        const size_t c2 = rest.find(':');
        uint32_t address = 0, pulses = 0;
        if (c2 != std::string::npos && parseNumber(rest.substr(0, c2), address) &&
            parseNumber(rest.substr(c2 + 1), pulses) && pulses >= 1 && pulses <= 1000000) {
            sim::ChipFaults* f = faultsOf(board, fault, error);
            if (!f) return false;
            f->setSlowCell(address, int(pulses));
            return true;
        }
    }
    // Faults of one family, offered by the chip in the socket.
    if (auto* f = board.chip() ? dynamic_cast<sim::ChipFaults*>(board.chip()) : nullptr) {
        if (f->applyFamilyFault(fault, error)) return true;
        if (!error.empty()) return false;
    }
    error =
        "unknown fault '" + fault +
        "' (stuck:ADDR:BIT=0|1, flaky:ADDR:BIT, slow:ADDR:K, never-programs, locked:0-3, no-chip, board-absent, "
        "board-unpowered, board-lost-after:N, signal:INT|TERM|HUP:N, busy-stuck:0|1, "
        "line-stuck:A0..A18|D0..D7=0|1; JEDEC flash: protect:SECTOR, slow-erase:K, "
        "id:MAKER:DEVICE, ignores-protect; PIC: code-protected, data-stuck:BYTE:BIT=V; "
        "AVR: avr-locked:1..3, avr-busy-stuck, avr-fuse-pulse:US; EEPROM and sector flash: "
        "sdp-enabled, slow-write:K; electrically erasable EPROM: never-erases; DS12xx: "
        "battery-dead; 28F, i28Fx00 and SST28SF flash: slow-erase:K, unerasable:ADDR, "
        "vpp-missing, id:MAKER:DEVICE)";
    return false;
}

}  // namespace tavrin
