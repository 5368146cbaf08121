#include "sim/parallel/SimFlashI28Fx00.h"

#include <algorithm>
#include <cmath>
#include <istream>
#include <ostream>
#include <sstream>

#include "hardware/Clock.h"

namespace tavrin::sim {

namespace {

constexpr double kTicksPerUs = 1000.0 * kTicksPerNs;
constexpr uint32_t K = 1024;

int64_t ticksOf(double us) {
    return std::llround(us * kTicksPerUs);
}

}  // namespace

BootBlockType BootBlock28F001BXT(ResetPin rp) {
    BootBlockType t;
    t.name = "28F001BX-T";
    t.size = 128 * K;
    t.device = 0x94;
    t.blocks = {0x00000, 0x1C000, 0x1D000, 0x1E000};
    t.bootBlock = 0x1E000;
    t.rp = rp;
    return t;
}

BootBlockType BootBlockByteMode(std::string name, uint32_t size, uint8_t device) {
    BootBlockType t;
    t.name = std::move(name);
    t.size = size;
    t.device = device;
    t.byteMode = true;
    for (uint32_t a = 0; a + 128 * K < size - 32 * K; a += 128 * K) t.blocks.push_back(a);
    t.blocks.push_back(size - 128 * K);  // the 96 KB main block
    t.blocks.push_back(size - 32 * K);   // two 8 KB parameter blocks
    t.blocks.push_back(size - 24 * K);
    t.blocks.push_back(size - 16 * K);  // 16 KB boot block
    t.bootBlock = size - 16 * K;
    return t;
}

std::unique_ptr<SimChip> MakeFlashI28Fx00(int32_t eep, int32_t tag, uint32_t size) {
    if (eep == 3 && tag == 8) {
        BootBlockType t = BootBlock28F001BXT(ResetPin::AddressBit17);
        t.name = "28F001BX";
        return std::make_unique<SimFlashI28Fx00>(t);
    }
    if (eep != 19) return nullptr;
    // Byte-mode device codes of the -T parts: 28F200BX 74h, 28F400BX 70h, 28F800 9Ch
    // (unverified for the exact part the menu means), 28F160 unknown.
    switch (tag) {
        case 201:
            return std::make_unique<SimFlashI28Fx00>(BootBlock28F001BXT(ResetPin::VppNet));
        case 101:
            return std::make_unique<SimFlashI28Fx00>(BootBlockByteMode("i28F200", size, 0x74));
        case 102:
            return std::make_unique<SimFlashI28Fx00>(BootBlockByteMode("i28F400", size, 0x70));
        case 103:
            return std::make_unique<SimFlashI28Fx00>(BootBlockByteMode("i28F800", size, 0x9C));
        default:
            return std::make_unique<SimFlashI28Fx00>(BootBlockByteMode("i28F160", size, 0x00));
    }
}

SimFlashI28Fx00::SimFlashI28Fx00(BootBlockType type) : type_(std::move(type)), cells_(type_.size) {}

std::pair<uint32_t, uint32_t> SimFlashI28Fx00::blockOf(uint32_t address) const {
    address = cells_.wrap(address);
    const auto next = std::upper_bound(type_.blocks.begin(), type_.blocks.end(), address);
    const uint32_t first = *(next - 1);
    const uint32_t end = next == type_.blocks.end() ? type_.size : *next;
    return {first, end - first};
}

bool SimFlashI28Fx00::rpHigh(const SocketPins& pins) const {
    switch (type_.rp) {
        case ResetPin::VppNet:
            return pins.vcc || pins.vpp;
        case ResetPin::Vcc:
            return pins.vcc;
        case ResetPin::AddressBit17:
            return (pins.address >> 17) & 1;
    }
    return false;
}

bool SimFlashI28Fx00::rpAtVhh(const SocketPins& pins) const {
    return type_.rp == ResetPin::VppNet && vppHigh(pins);
}

void SimFlashI28Fx00::reset() {
    mode_ = Mode::Array;
    busy_ = false;
    status_ = kReady;
    latchedStatus_ = kReady;
}

void SimFlashI28Fx00::onPins(const SocketPins& pins, int64_t now) {
    settle(now);
    const bool live = pins.vcc && rpHigh(pins);
    if (!live) {
        // Supply off or RP# low: deep power-down, an operation under way is lost.
        if (lastVcc_ && lastRp_) reset();
        lastVcc_ = pins.vcc;
        lastRp_ = false;
        lastStrobe_ = pins.strobe;
        lastOutputs_ = false;
        return;
    }
    if (!(lastVcc_ && lastRp_)) reset();
    lastVcc_ = lastRp_ = true;
    if (busy_ && !vppHigh(pins)) {
        // Vpp gone during the operation: aborted, SR.3 with the operation's error bit.
        busy_ = false;
        status_ |= uint8_t(kVppLow | (erasing_ ? kEraseError : kProgramError));
    }
    const bool outputs = pins.outputEnabled();
    if (outputs && !lastOutputs_) latchedStatus_ = liveStatus();
    lastOutputs_ = outputs;
    if (pins.strobe && !lastStrobe_) latchedAddress_ = cells_.wrap(pins.address);
    if (!pins.strobe && lastStrobe_) {
        if (pins.dataOut && !busy_)
            write(pins, latchedAddress_, uint8_t(pins.drivenData() | openData_), now);
        else
            ++log_.ignoredWrites;
    }
    lastStrobe_ = pins.strobe;
}

void SimFlashI28Fx00::write(const SocketPins& pins, uint32_t address, uint8_t data, int64_t now) {
    switch (mode_) {
        case Mode::ProgramSetup:
            startProgram(pins, address, data, now);
            return;
        case Mode::EraseSetup:
            if (data == 0xD0) {
                startErase(pins, address, now);
            } else {
                ++log_.sequenceErrors;
                status_ |= kEraseError | kProgramError;
                mode_ = Mode::Status;
            }
            return;
        default:
            break;
    }
    switch (data) {
        case 0xFF:
            mode_ = Mode::Array;
            ++log_.readArrayCommands;
            break;
        case 0x90:
            mode_ = Mode::Id;
            break;
        case 0x70:
            mode_ = Mode::Status;
            break;
        case 0x50:
            status_ = kReady;
            break;
        case 0x40:
        case 0x10:
            mode_ = Mode::ProgramSetup;
            break;
        case 0x20:
            mode_ = Mode::EraseSetup;
            break;
        default:
            break;  // no command: the part stays as it was
    }
}

void SimFlashI28Fx00::startProgram(const SocketPins& pins, uint32_t address, uint8_t data,
                                   int64_t now) {
    mode_ = Mode::Status;
    if (status_ & (kVppLow | kProgramError | kEraseError)) {
        status_ |= kProgramError;  // errors must be cleared before a new attempt
        return;
    }
    if (!vppHigh(pins)) {
        status_ |= kVppLow | kProgramError;
        return;
    }
    erasing_ = false;
    opAddress_ = address;
    opData_ = data;
    opUnlocked_ = rpAtVhh(pins);
    busy_ = true;
    busyUntil_ = now + ticksOf(type_.programUs);
}

void SimFlashI28Fx00::startErase(const SocketPins& pins, uint32_t address, int64_t now) {
    mode_ = Mode::Status;
    if (status_ & (kVppLow | kProgramError | kEraseError)) {
        status_ |= kEraseError;
        return;
    }
    if (!vppHigh(pins)) {
        status_ |= kVppLow | kEraseError;
        return;
    }
    erasing_ = true;
    opAddress_ = blockOf(address).first;
    opUnlocked_ = rpAtVhh(pins);
    const bool small = blockOf(address).second <= 16 * K;
    busy_ = true;
    busyUntil_ = now + ticksOf(small ? type_.parameterEraseUs : type_.mainEraseUs) * eraseScale_;
}

void SimFlashI28Fx00::settle(int64_t now) {
    if (!busy_ || now < busyUntil_) return;
    busy_ = false;
    const auto [first, length] = blockOf(opAddress_);
    const bool locked = first == type_.bootBlock && !opUnlocked_;
    if (erasing_) {
        ++log_.erases;
        const size_t index = size_t(std::find(type_.blocks.begin(), type_.blocks.end(), first) -
                                    type_.blocks.begin());
        if (index < 64) ++log_.blockErases[index];
        if (locked || !cells_.erase(first, length)) status_ |= kEraseError;
    } else {
        ++log_.programs;
        // Programming 0xFF changes nothing and is no error; a 1 over a 0 ends in SR.4.
        if (locked || !cells_.program(opAddress_, opData_)) status_ |= kProgramError;
    }
}

int SimFlashI28Fx00::readData(const SocketPins& pins, int64_t now) {
    const int driven = drive(pins, now);
    return driven < 0 ? driven : (driven | openData_);
}

int SimFlashI28Fx00::drive(const SocketPins& pins, int64_t now) {
    settle(now);
    if (!pins.vcc || !pins.outputEnabled()) return -1;
    if (!rpHigh(pins)) return -1;
    const uint32_t a = cells_.wrap(pins.address);
    switch (mode_) {
        case Mode::Array:
            return busy_ ? latchedStatus_ : flakyRead(a, cells_.read(a));
        case Mode::Id: {
            const uint32_t index = type_.byteMode ? a >> 1 : a;
            if (type_.byteMode && (a & 1)) return 0x00;  // high byte of the identifier word
            return (index & 1) ? type_.device : type_.manufacturer;
        }
        default:
            return latchedStatus_;
    }
}

void SimFlashI28Fx00::saveState(std::ostream& out) const {
    std::ostringstream id;
    id << "id " << int(type_.manufacturer) << ' ' << int(type_.device);
    cells_.save(out, "bootblock",
                {"slow-erase " + std::to_string(eraseScale_),
                 "vpp-missing " + std::to_string(vppMissing_ ? 1 : 0), id.str()});
}

bool SimFlashI28Fx00::loadState(std::istream& in) {
    std::vector<std::string> extra;
    FlashCells loaded(cells_.size());
    if (!loaded.load(in, "bootblock", extra)) return false;
    int scale = 1, vppMissing = 0, m = type_.manufacturer, d = type_.device;
    for (const std::string& line : extra) {
        std::istringstream f(line);
        std::string key;
        f >> key;
        bool ok = false;
        if (key == "slow-erase")
            ok = bool(f >> scale) && scale >= 1;
        else if (key == "vpp-missing")
            ok = bool(f >> vppMissing);
        else if (key == "id")
            ok = bool(f >> m >> d);
        if (!ok) return false;
    }
    cells_ = std::move(loaded);
    eraseScale_ = scale;
    vppMissing_ = vppMissing != 0;
    type_.manufacturer = uint8_t(m);
    type_.device = uint8_t(d);
    reset();
    return true;
}

}  // namespace tavrin::sim
