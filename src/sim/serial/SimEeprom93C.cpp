#include "sim/serial/SimEeprom93C.h"

#include <initializer_list>
#include <stdexcept>

namespace tavrin::sim {

Eeprom93CType Eeprom93CByName(const std::string& name) {
    struct Row {
        const char* name;
        uint32_t size;
        int x8, x16;
    };
    static const Row rows[] = {
        {"93C06", 32, 7, 6},     {"93C46", 128, 7, 6},    {"93LC46", 128, 7, 6},
        {"93C56", 256, 9, 8},    {"93C57", 256, 8, 7},    {"93C66", 512, 9, 8},
        {"93C76", 1024, 11, 10}, {"93C86", 2048, 11, 10},
    };
    for (const Row& r : rows)
        if (name == r.name) return {r.name, r.size, r.x8, r.x16};
    throw std::invalid_argument("no 93Cxx part " + name);
}

SimEeprom93C::SimEeprom93C(Eeprom93CType type, bool org16)
    : SerialMemory("microwire-eeprom", type.size), type_(std::move(type)), org16_(org16) {}

void SimEeprom93C::loadExtra(const std::map<std::string, int64_t>& values) {
    if (auto it = values.find("org16"); it != values.end()) org16_ = it->second != 0;
}

uint32_t SimEeprom93C::wordAt(uint32_t w) const {
    w %= words();
    return org16_ ? uint32_t(readCell(2 * w)) << 8 | readCell(2 * w + 1) : readCell(w);
}

void SimEeprom93C::storeWord(uint32_t w, uint32_t value) {
    w %= words();
    if (org16_) {
        storeCell(2 * w, uint8_t(value >> 8));
        storeCell(2 * w + 1, uint8_t(value));
    } else {
        storeCell(w, uint8_t(value));
    }
}

bool SimEeprom93C::busy(int64_t now) {
    finishCycle(now);
    return running_ != Pending::None;
}

void SimEeprom93C::finishCycle(int64_t now) {
    if (running_ == Pending::None || busyForever_ || now < busyUntil_) return;
    switch (running_) {
        case Pending::Write:
            storeWord(cycleAddress_, cycleData_);
            break;
        case Pending::Erase:
            storeWord(cycleAddress_, 0xFFFF);
            break;
        case Pending::EraseAll:
            for (uint32_t w = 0; w < words(); ++w) storeWord(w, 0xFFFF);
            break;
        case Pending::WriteAll:
            for (uint32_t w = 0; w < words(); ++w) storeWord(w, cycleData_);
            break;
        case Pending::None:
            break;
    }
    running_ = Pending::None;
    busyUntil_ = -1;
}

void SimEeprom93C::startCycle(int64_t now) {
    if (busy(now)) return;
    running_ = pending_;
    cycleAddress_ = address_ % words();
    cycleData_ = data_;
    double us = type_.writeCycleUs;
    int factor = 1;
    switch (running_) {
        case Pending::Write:
        case Pending::Erase: {
            const uint32_t first = org16_ ? 2 * cycleAddress_ : cycleAddress_;
            factor = org16_ ? slowFactor(std::initializer_list<uint32_t>{first, first + 1})
                            : slowFactor(std::initializer_list<uint32_t>{first});
            running_ == Pending::Write ? ++log_.writes : ++log_.erases;
            break;
        }
        case Pending::EraseAll:
        case Pending::WriteAll:
            us = type_.eraseAllUs;
            running_ == Pending::EraseAll ? ++log_.eraseAlls : ++log_.writeAlls;
            break;
        case Pending::None:
            return;
    }
    busyUntil_ = now + CycleTicks(us, factor);
    statusPending_ = true;
}

void SimEeprom93C::onPins(const SocketPins& pins, int64_t now) {
    if (!pins.vcc) {
        powered_ = false;
        running_ = pending_ = Pending::None;  // a cycle cut short writes nothing
        busyUntil_ = -1;
        ewen_ = false;
        phase_ = Phase::Standby;
        driving_ = showStatus_ = statusPending_ = false;
        return;
    }
    const bool sk = (pins.portData & 0x02) != 0;
    const bool di = (pins.portData & 0x01) == 0;
    const bool cs = !pins.strobe;
    if (!powered_) {  // power-on: EWDS, standby
        powered_ = true;
        ewen_ = false;
        cs_ = cs;
        sk_ = sk;
        return;
    }
    finishCycle(now);
    if (cs != cs_) {
        cs_ = cs;
        if (!cs) {
            if (pending_ != Pending::None) startCycle(now);
            pending_ = Pending::None;
            driving_ = showStatus_ = false;
        } else {
            showStatus_ = statusPending_;
        }
        phase_ = Phase::Standby;
    }
    if (sk != sk_) {
        sk_ = sk;
        if (sk && cs_) onClockRise(di, now);
    }
}

bool SimEeprom93C::busyPin(const SocketPins& pins, int64_t now, bool loopback) {
    (void)pins;
    if (!powered_ || !cs_) return loopback;
    if (driving_) return level_;
    if (showStatus_) return !busy(now);
    return loopback;
}

void SimEeprom93C::onClockRise(bool di, int64_t now) {
    switch (phase_) {
        case Phase::Standby:
            if (!di) break;  // leading zeros
            showStatus_ = statusPending_ = false;
            if (busy(now)) {
                ++log_.ignoredBusy;
                phase_ = Phase::Done;
                break;
            }
            phase_ = Phase::Opcode;
            bits_ = 0;
            opcode_ = 0;
            break;
        case Phase::Opcode:
            opcode_ = (opcode_ << 1) | di;
            if (++bits_ == 2) {
                phase_ = Phase::Address;
                bits_ = 0;
                address_ = 0;
            }
            break;
        case Phase::Address:
            address_ = (address_ << 1) | di;
            if (++bits_ == addressBits()) instructionComplete();
            break;
        case Phase::Data:
            data_ = (data_ << 1) | di;
            if (++bits_ == wordBits()) {
                if (!ewen_)
                    ++log_.refusedDisabled;
                else
                    pending_ = opcode_ == 1 ? Pending::Write : Pending::WriteAll;
                phase_ = Phase::Done;
            }
            break;
        case Phase::Reading:
            if (readBit_ == 0) {  // CS still high: the next word follows
                address_ = (address_ + 1) % words();
                readWord_ = wordAt(address_);
                readBit_ = wordBits();
            }
            --readBit_;
            level_ = (readWord_ >> readBit_) & 1;
            break;
        case Phase::Done:
            break;
    }
}

void SimEeprom93C::instructionComplete() {
    phase_ = Phase::Done;
    switch (opcode_) {
        case 2:  // READ: a dummy 0, then the word
            ++log_.reads;
            address_ %= words();
            readWord_ = wordAt(address_);
            readBit_ = wordBits();
            driving_ = true;
            level_ = false;
            phase_ = Phase::Reading;
            break;
        case 1:  // WRITE: the data word follows
            phase_ = Phase::Data;
            bits_ = 0;
            data_ = 0;
            break;
        case 3:  // ERASE
            if (ewen_)
                pending_ = Pending::Erase;
            else
                ++log_.refusedDisabled;
            break;
        case 0:
            switch ((address_ >> (addressBits() - 2)) & 3) {
                case 3:
                    ewen_ = !ewenIgnored_;
                    break;
                case 0:
                    ewen_ = false;
                    break;
                case 2:
                    if (ewen_)
                        pending_ = Pending::EraseAll;
                    else
                        ++log_.refusedDisabled;
                    break;
                case 1:  // WRAL
                    phase_ = Phase::Data;
                    bits_ = 0;
                    data_ = 0;
                    break;
            }
            break;
    }
}

std::unique_ptr<SimChip> MakeSimEeprom93C(int32_t eep, int32_t deviceId) {
    if (eep != 8 || deviceId < 1 || deviceId > 14) return nullptr;
    static const char* const names[] = {"93C06", "93C46", "93LC46", "93C56", "93C57",
                                        "93C66", "93C76", "93C86",  "93C06", "93C46",
                                        "93C56", "93C66", "93C76",  "93C86"};
    return std::make_unique<SimEeprom93C>(Eeprom93CByName(names[deviceId - 1]), deviceId >= 9);
}

}  // namespace tavrin::sim
