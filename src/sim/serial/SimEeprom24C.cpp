#include "sim/serial/SimEeprom24C.h"

#include <stdexcept>

namespace tavrin::sim {

Eeprom24CType Eeprom24CByName(const std::string& name) {
    struct Row {
        const char* name;
        uint32_t size, page;
        int addressBytes, blockBits;
    };
    static const Row rows[] = {
        {"24C01", 128, 4, 0, 0},     {"24C01A", 128, 8, 1, 0},     {"24C02", 256, 8, 1, 0},
        {"24C04", 512, 16, 1, 1},    {"24C08", 1024, 16, 1, 2},    {"24C16", 2048, 16, 1, 3},
        {"24C32", 4096, 32, 2, 0},   {"24C65", 8192, 64, 2, 0},    {"24C128", 16384, 64, 2, 0},
        {"24C256", 32768, 64, 2, 0}, {"24C512", 65536, 128, 2, 0},
    };
    for (const Row& r : rows)
        if (name == r.name) return {r.name, r.size, r.page, r.addressBytes, r.blockBits};
    throw std::invalid_argument("no 24Cxxx part " + name);
}

SimEeprom24C::SimEeprom24C(Eeprom24CType type)
    : SerialMemory("i2c-eeprom", type.size), type_(std::move(type)) {}

void SimEeprom24C::reset() {
    phase_ = Phase::Idle;
    release();
    bits_ = 0;
    pageBuffer_.clear();
}

bool SimEeprom24C::busy(int64_t now) {
    finishCycle(now);
    return busyUntil_ >= 0;
}

void SimEeprom24C::finishCycle(int64_t now) {
    if (busyUntil_ < 0 || busyForever_ || now < busyUntil_) return;
    for (const auto& [a, v] : cycleData_) storeCell(a, v);
    log_.bytesWritten += cycleData_.size();
    cycleData_.clear();
    busyUntil_ = -1;
}

void SimEeprom24C::onPins(const SocketPins& pins, int64_t now) {
    if (!pins.vcc) {
        if (powered_ && busyUntil_ >= 0) {
            finishCycle(now);
            if (busyUntil_ >= 0) ++log_.lostToPowerOff;  // the page is not written
            cycleData_.clear();
            busyUntil_ = -1;
        }
        powered_ = false;
        reset();
        return;
    }
    const bool scl = (pins.portData & 0x02) != 0;
    const bool hostSda = (pins.portData & 0x01) != 0;
    wpHigh_ = !pins.strobe;
    if (!powered_) {  // power-on reset: idle, waiting for a START
        powered_ = true;
        reset();
        scl_ = scl;
        sda_ = hostSda;
        return;
    }
    finishCycle(now);
    if (scl != scl_) {
        // Data set up with the clock edge in one write counts as set up before it.
        scl_ = scl;
        if (scl)
            onClockRise(hostSda && !pullingLow());
        else
            onClockFall(now);
    } else if (scl) {
        const bool sda = hostSda && !pullingLow();
        if (sda_ && !sda) onStart();
        if (!sda_ && sda) onStop(now);
    }
    sda_ = hostSda && !pullingLow();
}

bool SimEeprom24C::busyPin(const SocketPins& pins, int64_t now, bool loopback) {
    (void)pins, (void)now;
    return loopback && !(powered_ && pullingLow());
}

void SimEeprom24C::onStart() {
    // A write without its STOP is abandoned.
    pageBuffer_.clear();
    release();
    phase_ = Phase::Receive;
    target_ = Target::DeviceAddress;
    bits_ = 0;
    shift_ = 0;
}

void SimEeprom24C::onStop(int64_t now) {
    const bool wrote = phase_ != Phase::Idle && !reading_ && !pageBuffer_.empty();
    if (wrote) {
        cycleData_ = pageBuffer_;
        std::vector<uint32_t> addresses;
        for (const auto& [a, v] : cycleData_) addresses.push_back(a);
        busyUntil_ = now + CycleTicks(type_.writeCycleUs, slowFactor(addresses));
        ++log_.writeCycles;
    } else if (phase_ != Phase::Idle && !reading_ && target_ == Target::Data) {
        ++log_.dummyWrites;
    }
    reset();
}

void SimEeprom24C::onClockRise(bool sda) {
    if (phase_ == Phase::Receive) {
        shift_ = uint8_t((shift_ << 1) | (sda ? 1 : 0));
        ++bits_;
    } else if (phase_ == Phase::AckIn) {
        masterAcked_ = !sda;
    }
}

void SimEeprom24C::onClockFall(int64_t now) {
    switch (phase_) {
        case Phase::Receive:
            if (bits_ < 8) break;
            if (takeByte(shift_, now)) {
                drive(false);
                phase_ = Phase::AckOut;
            } else {
                phase_ = Phase::Ignore;  // the ninth clock reads the released line
            }
            break;
        case Phase::AckOut:
            release();
            if (reading_) {
                startTransmit();
            } else {
                phase_ = Phase::Receive;
                bits_ = 0;
                shift_ = 0;
            }
            break;
        case Phase::Transmit:
            if (++bits_ < 8) {
                drive((outByte_ >> (7 - bits_)) & 1);
            } else {
                release();
                phase_ = Phase::AckIn;
            }
            break;
        case Phase::AckIn:
            if (masterAcked_) {
                startTransmit();
            } else {
                release();
                phase_ = Phase::Ignore;
            }
            break;
        case Phase::Idle:
        case Phase::Ignore:
            break;
    }
}

void SimEeprom24C::startTransmit() {
    outByte_ = readCell(counter_);
    counter_ = (counter_ + 1) & mask();  // sequential reads roll over the whole array
    phase_ = Phase::Transmit;
    bits_ = 0;
    drive(outByte_ & 0x80);
}

bool SimEeprom24C::takeByte(uint8_t b, int64_t now) {
    switch (target_) {
        case Target::DeviceAddress: {
            if (deaf_) return false;
            if (busy(now)) {
                ++log_.nackedWhileBusy;  // all inputs are disabled during the write cycle
                return false;
            }
            reading_ = (b & 1) != 0;
            if (type_.addressBytes == 0) {
                counter_ = uint32_t(b >> 1) & mask();
                pageCursor_ = counter_;
                target_ = Target::Data;
                return true;
            }
            if ((b & 0xF0) != 0xA0) return false;
            const uint32_t low = (b >> 1) & 7;
            const uint32_t blockMask = (1u << type_.blockBits) - 1;
            if ((low & ~blockMask) != 0) return false;  // A2..A0 are strapped low
            block_ = low & blockMask;
            target_ = type_.addressBytes == 2 ? Target::AddressHigh : Target::AddressLow;
            return true;
        }
        case Target::AddressHigh:
            high_ = b;
            target_ = Target::AddressLow;
            return true;
        case Target::AddressLow:
            counter_ =
                (type_.addressBytes == 2 ? (uint32_t(high_) << 8 | b) : (block_ << 8 | b)) & mask();
            pageCursor_ = counter_;
            target_ = Target::Data;
            return true;
        case Target::Data: {
            if (wpHigh_) {
                ++log_.refusedByWp;
                return wp_ == WriteProtect::AckNoWrite;
            }
            if (!pageBuffer_.emplace(pageCursor_, b).second) {
                pageBuffer_[pageCursor_] = b;
                ++log_.rolledOver;
            }
            const uint32_t base = pageCursor_ & ~(type_.page - 1);
            pageCursor_ = base | ((pageCursor_ + 1) & (type_.page - 1));  // wraps inside the page
            counter_ = pageCursor_;
            return true;
        }
    }
    return false;
}

std::unique_ptr<SimChip> MakeSimEeprom24C(int32_t eep, int32_t deviceId) {
    const char* name = nullptr;
    if (eep == 1) {
        switch (deviceId) {
            case 101:
                name = "24C01";
                break;
            case 201:
                name = "24C01A";
                break;
            case 202:
                name = "24C02";
                break;
            case 203:
                name = "24C04";
                break;
            case 204:
                name = "24C08";
                break;
            case 205:
                name = "24C16";
                break;
        }
    } else if (eep == 2) {
        switch (deviceId) {
            case 301:
                name = "24C32";
                break;
            case 302:
                name = "24C65";
                break;
            case 303:
                name = "24C128";
                break;
            case 304:
                name = "24C256";
                break;
            case 305:
            case 306:
                name = "24C512";
                break;
        }
    }
    return name ? std::make_unique<SimEeprom24C>(Eeprom24CByName(name)) : nullptr;
}

}  // namespace tavrin::sim
