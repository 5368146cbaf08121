#include "sim/mcu/SimPic.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <sstream>

#include "core/Context.h"
#include "devices/Catalogue.h"
#include "hardware/Clock.h"

namespace tavrin::sim {

namespace {

constexpr int64_t kTicksPerUs = 1000 * kTicksPerNs;
constexpr double kShortestPulseUs = 50;  // shorter pulses leave no charge

PicType flash(std::string name, uint32_t words, uint32_t data, uint16_t id, uint16_t configBits,
              uint16_t cp, uint16_t cpd, double writeUs) {
    PicType t;
    t.name = std::move(name);
    t.progWords = words;
    t.dataBytes = data;
    t.deviceId = id;
    t.configBits = configBits;
    t.cpBits = cp;
    t.cpdBit = cpd;
    t.writeUs = t.dataWriteUs = writeUs;
    return t;
}

PicType eprom14(std::string name, uint32_t words, uint16_t cp) {
    PicType t;
    t.name = std::move(name);
    t.flash = false;
    t.progWords = words;
    t.cpBits = cp;
    return t;
}

PicType eprom12(std::string name, uint32_t words) {
    PicType t;
    t.name = std::move(name);
    t.twelveBit = true;
    t.flash = false;
    t.progWords = words;
    t.configBits = 0x001F;  // FOSC1:0, WDTE, /CP, MCLRE
    t.cpBits = 0x0008;
    t.osccal = 0x0C94;  // MOVLW 0x94, the factory calibration
    return t;
}

// Write cycles: the 16F84A, 16F62x and 16F87x erase before they write (about 4 + 4 ms), the
// older 16C84/16F83/16F84 take about 10 ms. Device IDs carry revision 3.
PicType partType(const std::string& part) {
    if (part == "16C84") return flash(part, 1024, 64, 0, 0x001F, 0x0010, 0, 10000);
    if (part == "16F84") return flash(part, 1024, 64, 0, 0x3FFF, 0x3FF0, 0, 10000);
    if (part == "16F83") return flash(part, 512, 64, 0, 0x3FFF, 0x3FF0, 0, 10000);
    if (part == "16F84A") return flash(part, 1024, 64, 0x0563, 0x3FFF, 0x3FF0, 0, 8000);
    if (part == "16F627") return flash(part, 1024, 128, 0x07A3, 0x3DFF, 0x3C00, 0x0100, 8000);
    if (part == "16F628") return flash(part, 2048, 128, 0x07C3, 0x3DFF, 0x3C00, 0x0100, 8000);
    const struct {
        const char* name;
        uint32_t words, data;
        uint16_t id;
    } f87x[] = {{"16F870", 2048, 64, 0x0D03},  {"16F871", 2048, 64, 0x0D23},
                {"16F872", 2048, 64, 0x08E3},  {"16F873", 4096, 128, 0x0963},
                {"16F874", 4096, 128, 0x0923}, {"16F876", 8192, 256, 0x09E3},
                {"16F877", 8192, 256, 0x09A3}};
    for (const auto& f : f87x)
        if (part == f.name) return flash(part, f.words, f.data, f.id, 0x3BFF, 0x3030, 0x0100, 8000);
    const struct {
        const char* name;
        uint32_t words;
        uint16_t cp;
    } c6xx[] = {{"16C620", 512, 0x3F30},   {"16C620A", 512, 0x3F30}, {"16F620A", 512, 0x3F30},
                {"16CE623", 512, 0x3F30},  {"16C621", 1024, 0x3F30}, {"16C621A", 1024, 0x3F30},
                {"16CE624", 1024, 0x3F30}, {"16C622", 2048, 0x3F30}, {"16C622A", 2048, 0x3F30},
                {"16CE625", 2048, 0x3F30}, {"16C710", 512, 0x3FB0},  {"16C711", 1024, 0x3FB0}};
    for (const auto& c : c6xx)
        if (part == c.name) return eprom14(part, c.words, c.cp);
    if (part == "12C508" || part == "12C508A") return eprom12(part, 512);
    if (part == "12C509" || part == "12C509A") return eprom12(part, 1024);
    return {};
}

}  // namespace

std::unique_ptr<SimPic> MakeSimPicPart(const std::string& name) {
    std::string part = name;
    if (part.rfind("PIC", 0) == 0) part = part.substr(3);
    PicType t = partType(part);
    if (t.name.empty()) return nullptr;
    return std::make_unique<SimPic>(std::move(t));
}

std::unique_ptr<SimChip> MakeSimPic(const Context& ctx) {
    if (ctx.profile.PIC == 0) return nullptr;
    return MakeSimPicPart(NormalisePartName(ctx.controls.edDevice));
}

SimPic::SimPic(PicType type)
    : type_(std::move(type)),
      program_(type_.progWords, erased()),
      data_(type_.dataBytes, 0xFF),
      config_(erased()) {
    ids_.fill(erased());
    if (type_.twelveBit && type_.osccal) program_.back() = type_.osccal;
}

uint16_t SimPic::configRead() const {
    const uint16_t width = erased();
    return uint16_t(((config_ & type_.configBits) | (width & ~type_.configBits)) & width);
}

bool SimPic::codeProtected() const {
    return type_.cpBits && (configRead() & type_.cpBits) != type_.cpBits;
}

bool SimPic::dataProtected() const {
    return type_.cpdBit && !(configRead() & type_.cpdBit);
}

SimPic::Location SimPic::locate() const {
    if (type_.twelveBit) {
        if (pc_ < type_.progWords) return {Area::Program, pc_};
        if (pc_ < type_.progWords + 4) return {Area::Id, pc_ - type_.progWords};
        if (pc_ == 0xFFF) return {Area::Config, 0};
        return {Area::None, 0};
    }
    if (pc_ < 0x2000) return {Area::Program, pc_ & (type_.progWords - 1)};
    const uint32_t offset = (pc_ - 0x2000) & 7;  // the configuration space repeats
    if (offset < 4) return {Area::Id, offset};
    if (offset == 6) return {Area::DeviceId, 0};
    if (offset == 7) return {Area::Config, 0};
    return {Area::None, 0};
}

uint16_t SimPic::readWord() const {
    const Location at = locate();
    switch (at.area) {
        case Area::Program: {
            if (codeProtected()) return 0;
            uint16_t v = program_[at.index];
            if (auto it = stuck_.find(at.index); it != stuck_.end())
                v = uint16_t((v & ~it->second.first) | (it->second.second & it->second.first));
            // Flaky bits of a program word sit in its low byte.
            return uint16_t((v & 0xFF00) | flakyRead(at.index, uint8_t(v)));
        }
        case Area::Id:
            return ids_[at.index];
        case Area::Config:
            return configRead();
        case Area::DeviceId:
            return type_.deviceId;
        case Area::None:
            break;
    }
    return erased();
}

uint8_t SimPic::readDataByte(uint32_t address) const {
    uint8_t v = data_[address];
    if (auto it = dataStuck_.find(address); it != dataStuck_.end())
        v = uint8_t((v & ~it->second.first) | (it->second.second & it->second.first));
    return v;
}

void SimPic::setDataStuckBit(uint32_t address, int bit, bool level) {
    if (type_.dataBytes == 0) return;
    auto& [mask, value] = dataStuck_[address % type_.dataBytes];
    const uint8_t m = uint8_t(1u << (bit & 7));
    mask |= m;
    value = level ? uint8_t(value | m) : uint8_t(value & ~m);
}

bool SimPic::applyFamilyFault(const std::string& fault, std::string& error) {
    if (fault == "code-protected") {
        setCodeProtected();
        return true;
    }
    const std::string prefix = "data-stuck:";
    if (fault.rfind(prefix, 0) != 0) return false;
    unsigned address = 0, bit = 0, level = 0;
    char colon = 0, eq = 0;
    std::istringstream in(fault.substr(prefix.size()));
    if (!(in >> address >> colon >> bit >> eq >> level) || colon != ':' || eq != '=' || bit > 7 ||
        level > 1 || !in.eof()) {
        error = fault + ": data-stuck:BYTE:BIT=0|1";
        return false;
    }
    if (type_.dataBytes == 0) {
        error = fault + ": the " + type_.name + " has no data EEPROM";
        return false;
    }
    setDataStuckBit(address, int(bit), level == 1);
    return true;
}

void SimPic::onPins(const SocketPins& pins, int64_t now) {
    settle(now);
    const bool clock = (pins.portData & 0x02) != 0;
    const bool data = (pins.portData & 0x01) != 0;
    if (!pins.vcc) {
        if (powered_) {
            if (pending_ != Pending::None) ++log_.lostWrites;
            pending_ = Pending::None;
            busyUntil_ = -1;
            leaveMode(now);
        }
        if (pins.vpp && !lastVpp_) ++log_.refusedEntries;
        powered_ = false;
        lastVpp_ = pins.vpp;
        lastClock_ = clock;
        return;
    }
    powered_ = true;
    if (pins.vpp && !lastVpp_) {
        if (!clock && !data && !refusesEntry_) {
            mode_ = true;
            ++log_.entries;
            pc_ = type_.twelveBit ? 0xFFF : 0;
            frame_ = Frame::Command;
            edges_ = 0;
            shift_ = 0;
            output_ = -1;
            eraseStep_ = 0;
        } else {
            ++log_.refusedEntries;
        }
    } else if (!pins.vpp && lastVpp_) {
        leaveMode(now);
    }
    lastVpp_ = pins.vpp;
    if (mode_ && clock != lastClock_) {
        if (pending_ != Pending::None) {
            ++log_.clocksWhileBusy;  // the chip is not listening
        } else if (clock) {
            risingEdge();
        } else {
            fallingEdge(data);
            if (frame_ == Frame::Command && edges_ == 6) {
                command(uint8_t(shift_ & 0x3F), now);
            }
        }
    }
    lastClock_ = clock;
}

bool SimPic::busyPin(const SocketPins& pins, int64_t now, bool loopback) {
    (void)pins;
    settle(now);
    return loopback && !(mode_ && output_ == 0);
}

void SimPic::risingEdge() {
    if (frame_ != Frame::Read) return;
    const int edge = edges_ + 1;
    output_ = (edge >= 2 && edge <= 15) ? (readValue_ >> (edge - 2)) & 1 : -1;
}

void SimPic::fallingEdge(bool data) {
    ++edges_;
    switch (frame_) {
        case Frame::Command:
            if (edges_ <= 6) shift_ |= uint32_t(data) << (edges_ - 1);
            break;
        case Frame::Load:
            if (edges_ >= 2 && edges_ <= 15) shift_ |= uint32_t(data) << (edges_ - 2);
            if (edges_ == 16) {
                load(uint16_t(shift_ & 0x3FFF));
                frame_ = Frame::Command;
                edges_ = 0;
                shift_ = 0;
            }
            break;
        case Frame::Read:
            if (edges_ == 16) {
                output_ = -1;
                frame_ = Frame::Command;
                edges_ = 0;
                shift_ = 0;
            }
            break;
    }
}

void SimPic::load(uint16_t value) {
    latch_ = type_.twelveBit ? uint16_t(value & 0x0FFF) : value;
}

void SimPic::command(uint8_t code, int64_t now) {
    edges_ = 0;
    shift_ = 0;
    if (code != 1 && code != 7 && code != 8) eraseStep_ = 0;
    const bool twelve = type_.twelveBit;
    switch (code) {
        case 0:  // Load Configuration
            if (twelve) break;
            pc_ = 0x2000;
            latchIsData_ = false;
            frame_ = Frame::Load;
            return;
        case 1:
            if (!type_.flash) break;
            eraseStep_ = 1;
            return;
        case 7:
            if (!type_.flash) break;
            eraseStep_ = eraseStep_ == 1 ? 2 : 0;
            return;
        case 2:
            latchIsData_ = false;
            frame_ = Frame::Load;
            return;
        case 3:
            if (!type_.flash || twelve) break;
            latchIsData_ = true;
            frame_ = Frame::Load;
            return;
        case 4:
            readValue_ = readWord();
            frame_ = Frame::Read;
            return;
        case 5:
            if (!type_.flash || twelve) break;
            readValue_ = dataProtected() ? 0 : readDataByte(dataAddress());
            frame_ = Frame::Read;
            return;
        case 6:
            if (twelve)
                pc_ = (pc_ + 1) & 0xFFF;
            else
                pc_ = pc_ < 0x2000 ? (pc_ + 1) & 0x1FFF : 0x2000 | ((pc_ + 1) & 0x1FFF);
            return;
        case 8:
            beginProgramming(now);
            return;
        case 14:
            if (type_.flash) break;
            endPulse(now, true);
            return;
        default:
            break;
    }
    ++log_.unknownCommands;
}

void SimPic::beginProgramming(int64_t now) {
    if (!type_.flash) {
        if (pulseOn_) return;
        pulseOn_ = true;
        pulseStart_ = now;
        pulseAt_ = locate();
        pulseValue_ = latch_;
        return;
    }
    if (eraseStep_ == 2) {
        eraseStep_ = 0;
        pendingErase_ = locate().area == Area::Config && pc_ >= 0x2000 ? EraseKind::All
                        : latchIsData_                                 ? EraseKind::DataOnly
                                                                       : EraseKind::ProgramOnly;
        pending_ = Pending::Erase;
        busyUntil_ = now + int64_t(type_.eraseUs * kTicksPerUs);
        return;
    }
    eraseStep_ = 0;
    if (latchIsData_) {
        pending_ = Pending::Data;
        pendingAt_ = {Area::Program, dataAddress()};
        busyUntil_ = now + int64_t(type_.dataWriteUs * kTicksPerUs);
    } else {
        pending_ = Pending::Program;
        pendingAt_ = locate();
        const int factor = pendingAt_.area == Area::Program ? slowFactor(pendingAt_.index) : 1;
        busyUntil_ = now + int64_t(type_.writeUs * kTicksPerUs) * factor;
    }
    pendingValue_ = latch_;
}

void SimPic::settle(int64_t now) {
    if (pending_ != Pending::None && now >= busyUntil_) finishCycle();
}

void SimPic::finishCycle() {
    const Pending done = pending_;
    pending_ = Pending::None;
    busyUntil_ = -1;
    // Whatever the host clocked meanwhile was lost: the next command starts a fresh frame.
    frame_ = Frame::Command;
    edges_ = 0;
    shift_ = 0;
    output_ = -1;
    if (neverPrograms_ && done != Pending::Erase) return;
    switch (done) {
        case Pending::Program:
            ++log_.writes;
            store(pendingAt_, pendingValue_);
            break;
        case Pending::Data:
            ++log_.writes;
            if (!dataProtected()) data_[pendingAt_.index] = uint8_t(pendingValue_);
            break;
        case Pending::Erase:
            ++log_.bulkErases;
            if (pendingErase_ == EraseKind::All) {
                std::fill(program_.begin(), program_.end(), erased());
                std::fill(data_.begin(), data_.end(), 0xFF);
                ids_.fill(erased());
                config_ = erased();
            } else if (pendingErase_ == EraseKind::ProgramOnly && !codeProtected()) {
                std::fill(program_.begin(), program_.end(), erased());
            } else if (pendingErase_ == EraseKind::DataOnly && !dataProtected() &&
                       !(type_.cpdBit == 0 && codeProtected())) {
                std::fill(data_.begin(), data_.end(), 0xFF);
            }
            break;
        case Pending::None:
            break;
    }
}

void SimPic::store(Location at, uint16_t value) {
    switch (at.area) {
        case Area::Program:
            if (!codeProtected()) program_[at.index] = value;
            break;
        case Area::Id:
            ids_[at.index] = value;
            break;
        case Area::Config:
            config_ = value;
            break;
        case Area::DeviceId:
        case Area::None:
            break;
    }
}

SimPic::Charge* SimPic::chargeOf(Location at) {
    switch (at.area) {
        case Area::Program:
            return &programCharge_[at.index];
        case Area::Id:
            return &idCharge_[at.index];
        case Area::Config:
            return &configCharge_;
        default:
            return nullptr;
    }
}

void SimPic::endPulse(int64_t now, bool counts) {
    if (!pulseOn_) return;
    pulseOn_ = false;
    const double us = double(now - pulseStart_) / double(kTicksPerUs);
    if (!counts) return;
    if (us < kShortestPulseUs) {
        ++log_.shortPulses;
        return;
    }
    Charge* c = chargeOf(pulseAt_);
    if (!c || neverPrograms_) return;
    if (pulseAt_.area == Area::Program && codeProtected()) return;
    ++log_.pulses;
    c->target &= pulseValue_ | uint16_t(~erased());
    ++c->pulses;
    const int needed = pulseAt_.area == Area::Program ? slowFactor(pulseAt_.index) : 1;
    if (c->pulses < needed) return;
    const uint16_t bits = uint16_t(c->target | ~erased());
    switch (pulseAt_.area) {
        case Area::Program:
            program_[pulseAt_.index] &= bits;
            break;
        case Area::Id:
            ids_[pulseAt_.index] &= bits;
            break;
        case Area::Config:
            config_ &= bits;
            break;
        default:
            break;
    }
}

void SimPic::leaveMode(int64_t now) {
    endPulse(now, false);  // a pulse cut off by MCLR leaves no charge
    mode_ = false;
    frame_ = Frame::Command;
    edges_ = 0;
    shift_ = 0;
    output_ = -1;
    eraseStep_ = 0;
}

int SimPic::slowFactor(uint32_t word) const {
    const auto it = slow_.find(word);
    return it == slow_.end() ? 1 : it->second;
}

int SimPic::marginalCells() const {
    int marginal = 0;
    for (const auto& [word, c] : programCharge_) {
        if ((c.target & erased()) == erased()) continue;  // nothing programmed there
        if (c.pulses < slowFactor(word) * (1 + overFactor())) ++marginal;
    }
    for (const Charge& c : idCharge_)
        if ((c.target & erased()) != erased() && c.pulses < 1 + overFactor()) ++marginal;
    return marginal;
}

int SimPic::pulsesAt(uint32_t word) const {
    const auto it = programCharge_.find(word);
    return it == programCharge_.end() ? 0 : it->second.pulses;
}

void SimPic::setStuckBit(uint32_t address, int bit, bool level) {
    auto& [mask, value] = stuck_[address % type_.progWords];
    const uint16_t m = uint16_t(1u << (bit & 15));
    mask |= m;
    value = level ? uint16_t(value | m) : uint16_t(value & ~m);
}

void SimPic::setSlowCell(uint32_t address, int pulses) {
    slow_[address % type_.progWords] = std::max(1, pulses);
}

// Text header with the faults, then the words as hexadecimal lines.
void SimPic::saveState(std::ostream& out) const {
    out << "pic " << type_.name << ' ' << type_.progWords << ' ' << type_.dataBytes << '\n';
    out << "never-programs " << (neverPrograms_ ? 1 : 0) << '\n';
    for (const auto& [a, s] : stuck_)
        out << "stuck " << a << ' ' << s.first << ' ' << s.second << '\n';
    for (const auto& [a, s] : dataStuck_)
        out << "data-stuck " << a << ' ' << int(s.first) << ' ' << int(s.second) << '\n';
    for (const auto& [a, k] : slow_) out << "slow " << a << ' ' << k << '\n';
    for (const auto& [a, c] : programCharge_)
        out << "charge " << a << ' ' << c.target << ' ' << c.pulses << '\n';
    out << "config " << config_ << '\n';
    out << "ids";
    for (uint16_t w : ids_) out << ' ' << w;
    out << "\nprogram";
    for (uint16_t w : program_) out << ' ' << w;
    out << "\ndata";
    for (uint8_t b : data_) out << ' ' << int(b);
    out << '\n';
}

bool SimPic::loadState(std::istream& in) {
    std::string line, word, name;
    uint32_t words = 0, bytes = 0;
    if (!std::getline(in, line)) return false;
    {
        std::istringstream head(line);
        if (!(head >> word >> name >> words >> bytes) || word != "pic" || name != type_.name ||
            words != type_.progWords || bytes != type_.dataBytes)
            return false;
    }
    SimPic next(type_);
    bool sawData = false;  // the last line written: without it the file was cut short
    while (std::getline(in, line)) {
        if (in.eof()) return false;  // a last line without its newline: cut short
        std::istringstream f(line);
        std::string key;
        f >> key;
        uint32_t a = 0;
        if (key == "never-programs") {
            int v = 0;
            if (!(f >> v)) return false;
            next.neverPrograms_ = v != 0;
        } else if (key == "stuck") {
            uint16_t m = 0, l = 0;
            if (!(f >> a >> m >> l)) return false;
            next.stuck_[a % words] = {m, l};
        } else if (key == "data-stuck") {
            int m = 0, l = 0;
            if (!(f >> a >> m >> l) || bytes == 0) return false;
            next.dataStuck_[a % bytes] = {uint8_t(m), uint8_t(l)};
        } else if (key == "slow") {
            int k = 0;
            if (!(f >> a >> k) || k < 1) return false;
            next.slow_[a % words] = k;
        } else if (key == "charge") {
            Charge c;
            if (!(f >> a >> c.target >> c.pulses)) return false;
            next.programCharge_[a % words] = c;
        } else if (key == "config") {
            if (!(f >> next.config_)) return false;
        } else if (key == "ids") {
            for (uint16_t& w : next.ids_)
                if (!(f >> w)) return false;
        } else if (key == "program") {
            for (uint16_t& w : next.program_)
                if (!(f >> w)) return false;
        } else if (key == "data") {
            sawData = true;
            for (uint8_t& b : next.data_) {
                int v = 0;
                if (!(f >> v)) return false;
                b = uint8_t(v);
            }
        } else if (!key.empty()) {
            return false;
        }
    }
    if (!sawData) return false;
    *this = std::move(next);
    return true;
}

}  // namespace tavrin::sim
