#include "sim/serial/SimEeprom25C.h"

#include <stdexcept>

namespace tavrin::sim {

namespace {
constexpr uint8_t kWrsr = 0x01, kWrite = 0x02, kRead = 0x03, kWrdi = 0x04, kRdsr = 0x05,
                  kWren = 0x06;
}

Eeprom25CType Eeprom25CByName(const std::string& name) {
    struct Row {
        const char* name;
        uint32_t size, page;
        int addressBytes;
    };
    static const Row rows[] = {
        {"25x010", 128, 16, 1},       {"25x020", 256, 16, 1},         {"25x040", 512, 16, 1},
        {"25x080", 1024, 32, 2},      {"25x080A", 1024, 16, 2},       {"25x160", 2048, 32, 2},
        {"25x160A", 2048, 16, 2},     {"25x320", 4096, 32, 2},        {"25x640", 8192, 32, 2},
        {"25x128", 16384, 64, 2},     {"25x256", 32768, 64, 2},       {"AT25HP256", 32768, 128, 2},
        {"AT25HP512", 65536, 128, 2}, {"AT25HP1024", 131072, 128, 3},
    };
    for (const Row& r : rows)
        if (name == r.name) return {r.name, r.size, r.page, r.addressBytes, r.size >= 1024};
    throw std::invalid_argument("no 25Cxxx part " + name);
}

SimEeprom25C::SimEeprom25C(Eeprom25CType type)
    : SerialMemory("spi-eeprom", type.size), type_(std::move(type)) {}

void SimEeprom25C::saveExtra(std::map<std::string, int64_t>& values) const {
    values["bp"] = bp_;
    values["wpen"] = wpen_;
}

void SimEeprom25C::loadExtra(const std::map<std::string, int64_t>& values) {
    if (auto it = values.find("bp"); it != values.end()) bp_ = int(it->second) & 3;
    if (auto it = values.find("wpen"); it != values.end()) wpen_ = it->second != 0 && type_.hasWpen;
}

bool SimEeprom25C::isProtected(uint32_t address) const {
    const uint32_t size = type_.size;
    switch (bp_) {
        case 1:
            return address >= size - size / 4;
        case 2:
            return address >= size / 2;
        case 3:
            return true;
    }
    return false;
}

bool SimEeprom25C::busy(int64_t now) {
    finishCycle(now);
    return cycle_ != Cycle::None;
}

void SimEeprom25C::finishCycle(int64_t now) {
    if (cycle_ == Cycle::None || now < busyUntil_) return;
    if (cycle_ == Cycle::Write) {
        for (const auto& [a, v] : cycleData_) storeCell(a, v);
    } else {
        bp_ = (newStatus_ >> 2) & 3;
        if (type_.hasWpen) wpen_ = (newStatus_ & 0x80) != 0;
    }
    cycleData_.clear();
    cycle_ = Cycle::None;
    busyUntil_ = -1;
    wel_ = false;  // reset when the write cycle has ended
}

uint8_t SimEeprom25C::statusByte(int64_t now) {
    const bool wip = busy(now);
    if (wip && onesWhileBusy_) return 0xFF;
    return uint8_t((wpen_ ? 0x80 : 0) | bp_ << 2 | (wel_ ? 0x02 : 0) | (wip ? 0x01 : 0));
}

void SimEeprom25C::onPins(const SocketPins& pins, int64_t now) {
    if (!pins.vcc) {
        if (powered_) {
            cycle_ = Cycle::None;  // a write cut short by power loss leaves the cells as they were
            cycleData_.clear();
            busyUntil_ = -1;
        }
        powered_ = wel_ = driving_ = false;
        phase_ = Phase::Idle;
        return;
    }
    const bool sck = (pins.portData & 0x02) != 0;
    const bool si = (pins.portData & 0x01) == 0;
    const bool selected = pins.strobe;
    if (!powered_) {
        powered_ = true;
        wel_ = false;
        selected_ = selected;
        sck_ = sck;
        // Selected at power-up: no falling /CS edge has started an instruction.
        phase_ = selected ? Phase::Ignore : Phase::Idle;
        if (selected) ++log_.ignoredNoCsEdge;
        return;
    }
    finishCycle(now);
    if (selected != selected_) {
        selected_ = selected;
        if (selected)
            onSelect();
        else
            onDeselect(now);
    }
    if (sck != sck_) {
        sck_ = sck;
        if (selected_) {
            if (sck)
                onClockRise(si, now);
            else
                onClockFall(now);
        }
    }
}

bool SimEeprom25C::busyPin(const SocketPins& pins, int64_t now, bool loopback) {
    (void)pins, (void)now;
    return powered_ && selected_ && driving_ ? level_ : loopback;
}

void SimEeprom25C::onSelect() {
    phase_ = Phase::Instruction;
    bits_ = 0;
    shift_ = 0;
    driving_ = false;
    pageBuffer_.clear();
    statusReceived_ = false;
}

void SimEeprom25C::onDeselect(int64_t now) {
    driving_ = false;
    const bool onBoundary = bits_ == 0;
    if (phase_ == Phase::WriteData && !pageBuffer_.empty()) {
        if (!onBoundary) {
            ++log_.aborted;
        } else {
            cycleData_.clear();
            std::vector<uint32_t> addresses;
            for (const auto& [a, v] : pageBuffer_) {
                if (isProtected(a)) {
                    ++log_.refusedProtected;
                    continue;
                }
                cycleData_[a] = v;
                addresses.push_back(a);
            }
            if (!cycleData_.empty()) {
                cycle_ = Cycle::Write;
                busyUntil_ = now + CycleTicks(type_.writeCycleUs, slowFactor(addresses));
                ++log_.writeCycles;
            }
        }
    } else if (phase_ == Phase::StatusData) {
        if (!statusReceived_ || !onBoundary) {
            ++log_.aborted;
        } else if (wpen_ && wpLow_) {
            ++log_.refusedWrsr;
        } else {
            cycle_ = Cycle::Status;
            busyUntil_ = now + CycleTicks(type_.writeCycleUs, 1);
            ++log_.statusWrites;
        }
    }
    pageBuffer_.clear();
    phase_ = Phase::Idle;
}

void SimEeprom25C::onClockRise(bool si, int64_t now) {
    switch (phase_) {
        case Phase::Instruction:
        case Phase::Address:
        case Phase::WriteData:
        case Phase::StatusData:
            shift_ = uint8_t(shift_ << 1 | (si ? 1 : 0));
            if (++bits_ < 8) break;
            bits_ = 0;
            if (phase_ == Phase::Instruction) {
                decode(shift_, now);
            } else if (phase_ == Phase::Address) {
                address_ = (address_ << 8 | shift_) & mask();
                if (--addressBytesLeft_ == 0) {
                    if ((instruction_ & 0xF7) == kRead) {
                        phase_ = Phase::ReadOut;
                        outBit_ = -1;  // first data bit on the next falling edge
                    } else {
                        phase_ = Phase::WriteData;
                        cursor_ = address_;
                    }
                }
            } else if (phase_ == Phase::WriteData) {
                if (!pageBuffer_.emplace(cursor_, shift_).second) {
                    pageBuffer_[cursor_] = shift_;
                    ++log_.rolledOver;
                }
                const uint32_t base = cursor_ & ~(type_.page - 1);
                cursor_ = base | ((cursor_ + 1) & (type_.page - 1));  // wraps inside the page
            } else {
                newStatus_ = shift_;
                statusReceived_ = true;
            }
            shift_ = 0;
            break;
        default:
            break;
    }
}

void SimEeprom25C::onClockFall(int64_t now) {
    if (phase_ != Phase::ReadOut && phase_ != Phase::StatusOut) return;
    if (outBit_ <= 0) {  // the next byte
        if (phase_ == Phase::ReadOut) {
            if (outBit_ == 0) address_ = (address_ + 1) & mask();
            outByte_ = readCell(address_);
        } else {
            outByte_ = statusByte(now);
        }
        outBit_ = 8;
    }
    --outBit_;
    driving_ = true;
    level_ = (outByte_ >> outBit_) & 1;
}

void SimEeprom25C::decode(uint8_t instruction, int64_t now) {
    instruction_ = instruction;
    const uint8_t op = type_.addressBytes == 1 ? uint8_t(instruction & 0xF7) : instruction;
    if (busy(now) && op != kRdsr) {
        ++log_.ignoredBusy;
        phase_ = Phase::Ignore;
        return;
    }
    phase_ = Phase::Ignore;
    switch (op) {
        case kWren:
            wel_ = true;
            break;
        case kWrdi:
            wel_ = false;
            break;
        case kRdsr:
            phase_ = Phase::StatusOut;
            outBit_ = -1;
            break;
        case kWrsr:
            if (wel_)
                phase_ = Phase::StatusData;
            else
                ++log_.refusedNoWel;
            break;
        case kRead:
        case kWrite:
            if (op == kWrite && !wel_) {
                ++log_.refusedNoWel;
                break;
            }
            phase_ = Phase::Address;
            addressBytesLeft_ = type_.addressBytes;
            address_ = type_.addressBytes == 1 && type_.size > 256 ? (instruction & 0x08) >> 3 : 0;
            break;
    }
}

std::unique_ptr<SimChip> MakeSimEeprom25C(int32_t eep, int32_t deviceId) {
    if (eep != 6) return nullptr;
    const char* name = nullptr;
    switch (deviceId) {
        case 101:
            name = "25x010";
            break;
        case 102:
            name = "25x020";
            break;
        case 103:
            name = "25x040";
            break;
        case 201:
            name = "25x080";
            break;
        case 202:
            name = "25x160";
            break;
        case 203:
            name = "25x320";
            break;
        case 204:
            name = "25x640";
            break;
        case 205:
            name = "25x128";
            break;
        case 206:
            name = "25x256";
            break;
        case 301:
            name = "AT25HP256";
            break;
        case 302:
            name = "AT25HP512";
            break;
        case 401:
            name = "AT25HP1024";
            break;
    }
    return name ? std::make_unique<SimEeprom25C>(Eeprom25CByName(name)) : nullptr;
}

}  // namespace tavrin::sim
