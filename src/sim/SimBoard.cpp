#include "sim/SimBoard.h"

#include <algorithm>
#include <csignal>

#include "hardware/Bus.h"
#include "sim/ChipFaults.h"

namespace tavrin::sim {

namespace {
constexpr uint32_t kAddressMask = 0xFFFFFF;  // 24 stages
}

SimBoard::SimBoard() { updatePins(); }

void SimBoard::insert(std::unique_ptr<SimChip> chip) {
    chip_ = std::move(chip);
    if (chip_) chip_->onPins(seen(), clock_.ticks());
}

std::unique_ptr<SimChip> SimBoard::remove() { return std::move(chip_); }

void SimBoard::loseBoardAfter(uint64_t accesses) {
    lossAt_ = accesses_ + accesses;
    nextEvent_ = std::min(lossAt_, signalAt_);
}

void SimBoard::raiseAfter(uint64_t accesses, int signal) {
    signalAt_ = accesses_ + accesses;
    signal_ = signal;
    nextEvent_ = std::min(lossAt_, signalAt_);
}

void SimBoard::clearFaults() {
    present_ = powered_ = true;
    busyStuck_.reset();
    stuckAddressMask_ = stuckAddressLevels_ = 0;
    stuckDataMask_ = stuckDataLevels_ = 0;
    lossAt_ = signalAt_ = nextEvent_ = UINT64_MAX;
    updatePins();
    notifyChip();
}

void SimBoard::onEvent() {
    if (accesses_ == lossAt_) present_ = false;
    if (accesses_ == signalAt_) std::raise(signal_);
}

void SimBoard::setSocketLineStuck(bool data, int bit, bool level) {
    if (data) {
        stuckDataMask_ |= uint8_t(1u << bit);
        stuckDataLevels_ = uint8_t((stuckDataLevels_ & ~(1u << bit)) | (level ? 1u << bit : 0u));
    } else {
        stuckAddressMask_ |= 1u << bit;
        stuckAddressLevels_ = (stuckAddressLevels_ & ~(1u << bit)) | (level ? 1u << bit : 0u);
    }
    notifyChip();
}

SocketPins SimBoard::seen() const {
    SocketPins p = pins_;
    p.address = (p.address & ~stuckAddressMask_) | stuckAddressLevels_;
    if (p.dataOut) p.portData = held(p.portData);
    return p;
}

void SimBoard::setPowered(bool powered) {
    powered_ = powered;
    updatePins();
    notifyChip();
}

void SimBoard::writeData(uint8_t value) {
    tick();
    const uint8_t old = data_;
    data_ = value;
    if (!boardLive()) return;
    pins_.portData = value;
    if (!pins_.dataOut) {
        // Serial mode: D0 clocks the address register, D1 loads the read-back register (and is
        // the address data), falling D2 shifts the read-back register.
        const bool clockRise = !(old & Bits::ShiftClock) && (value & Bits::ShiftClock);
        if (clockRise)
            pins_.address = ((pins_.address << 1) | ((value & Bits::ShiftData) ? 1u : 0u)) & kAddressMask;
        const bool loadEnd = (old & Bits::ShiftData) && !(value & Bits::ShiftData);
        const bool shiftEdge = (old & Bits::ReadClock) && !(value & Bits::ReadClock);
        if (loadEnd) {
            readBack_ = socketData();
            readBackFresh_ = true;
        }
        else if (shiftEdge && !(value & Bits::ShiftData))
            readBack_ = uint8_t((readBack_ << 1) | 1);  // serial input tied high
        if (chip_ && chip_->wantsAddressEvents()) chip_->onPins(seen(), clock_.ticks());
    } else if (old != value) {
        notifyChip();
    }
    if (trace_.enabled()) recordTrace();
}

void SimBoard::writeControl(uint8_t value) {
    tick();
    value &= 0x0F;
    const bool changed = value != control_;
    control_ = value;
    if (!present_) return;
    if (changed) {
        updatePins();
        notifyChip();
    }
    if (trace_.enabled()) recordTrace();
}

uint8_t SimBoard::readStatus() {
    tick();
    if (!boardLive()) return 0x7F;  // floating inputs: pin 11 high (bit 7 clear), bit 6 high
    const bool loading = !pins_.dataOut && (data_ & Bits::ShiftData);
    const uint8_t serialOut = loading ? socketData() : readBack_;
    if (!loading && readBackFresh_ && chip_) chip_->onReadBack(clock_.ticks());
    if (!loading) readBackFresh_ = false;
    uint8_t status = 0x07;
    if (!(serialOut & 0x80)) status |= Bits::ReadData;  // inverted by the board
    if (!busyPinLevel()) status |= Bits::BusyIn;         // inverted by the PC port
    return status;
}

uint8_t SimBoard::socketData() {
    if (pins_.dataOut) return held(data_);
    if (!chip_ || !boardLive()) return held(0xFF);
    const int driven = chip_->readData(seen(), clock_.ticks());
    return held(driven < 0 ? 0xFF : uint8_t(driven));
}

bool SimBoard::busyPinLevel() {
    if (busyStuck_) return *busyStuck_;
    if (!boardLive()) return true;
    const bool loopback = (pins_.vcc && pins_.dataOut) ? (data_ & 1) != 0 : true;
    return chip_ ? chip_->busyPin(seen(), clock_.ticks(), loopback) : loopback;
}

void SimBoard::updatePins() {
    const bool live = boardLive();
    const bool wasPowered = pins_.vcc;
    pins_.portData = data_;
    pins_.dataOut = (control_ & Bits::DataOut) != 0;
    pins_.vcc = live && (control_ & Bits::Vcc);
    pins_.vpp = live && !(control_ & Bits::Vpp);
    pins_.strobe = live && (control_ & Bits::Strobe);
    // A new power session: the flaky bits count the sessions that read them.
    if (!wasPowered && pins_.vcc)
        if (auto* faults = dynamic_cast<ChipFaults*>(chip_.get())) faults->beginPowerSession();
}

void SimBoard::notifyChip() {
    if (chip_) chip_->onPins(seen(), clock_.ticks());
}

void SimBoard::recordTrace() {
    const uint32_t values[size_t(Signal::Count)] = {
        pins_.address,
        socketData(),
        pins_.dataOut,
        pins_.vcc,
        pins_.vpp,
        pins_.strobe,
        uint32_t(data_ & Bits::ShiftClock ? 1 : 0),
        uint32_t(data_ & Bits::ShiftData ? 1 : 0),
        uint32_t(data_ & Bits::ReadClock ? 1 : 0),
        busyPinLevel(),
    };
    trace_.sample(clock_.ticks(), values);
}

}  // namespace tavrin::sim
