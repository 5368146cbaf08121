#include "sim/parallel/SimEeprom.h"

#include <cerrno>
#include <cstdlib>
#include <istream>
#include <ostream>
#include <sstream>

#include "hardware/Clock.h"

namespace tavrin::sim {

namespace {

constexpr int64_t kTicksPerUs = 1000 * kTicksPerNs;
constexpr double kPowerUpLockoutUs = 5000;  // tPUW, AT28C256 / AT29C010A

int64_t ticks(double us) {
    return int64_t(us * double(kTicksPerUs) + 0.5);
}

bool parseCount(const std::string& text, int& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v < 1 || v > 1000) return false;
    value = int(v);
    return true;
}

}  // namespace

// 28C16/28C64 class byte-write parts: one byte per internal write, tWC up to 5 ms (X2816A,
// X28C64), no protection commands.
EepromType ByteWriteEeprom(std::string name, uint32_t size, bool a14OnStage15) {
    EepromType t;
    t.name = std::move(name);
    t.size = size;
    t.writeCycleUs = 5000;
    t.a14OnStage15 = a14OnStage15;
    return t;
}

// AT28C64B/AT28C256/AT28C010/AT28C040: tBLC 150 us, page write cycle 10 ms max, SDP.
EepromType PageWriteEeprom(std::string name, uint32_t size, uint32_t page, bool a14OnStage15) {
    EepromType t = ByteWriteEeprom(std::move(name), size, a14OnStage15);
    t.pageSize = page;
    t.loadWindowUs = 150;
    t.writeCycleUs = 10000;
    t.hasSdp = true;
    return t;
}

// AT29C256..AT29C040A: sector program cycle 10 ms max after a tBLC of 150 us, chip erase 20 ms,
// product ID by AA 55 90.
EepromType SectorFlash(std::string name, uint32_t size, uint32_t sector, uint8_t manufacturer,
                       uint8_t device, bool a14OnStage15) {
    EepromType t = PageWriteEeprom(std::move(name), size, sector, a14OnStage15);
    t.sectorErase = true;
    t.chipEraseUs = 20000;
    t.idManufacturer = manufacturer;
    t.idDevice = device;
    return t;
}

// W29EE512/W29EE011/W29C020/W29C040: tBLC 200 us, 10 ms page cycle, chip erase 50 ms, product ID
// by AA 55 80 AA 55 60 followed by a 10 us pause (AA 55 90 is taken as well).
EepromType WinbondSectorFlash(std::string name, uint32_t size, uint32_t sector, uint8_t device) {
    EepromType t = SectorFlash(std::move(name), size, sector, 0xDA, device);
    t.loadWindowUs = 200;
    t.chipEraseUs = 50000;
    t.sixByteId = true;
    t.idEntryPauseUs = 10;
    return t;
}

// Many parts sold as 28C64 and 28C256 take the protection commands too (AT28C64B, AT28C256,
// X28C256); a chip whose protection was left on then ignores plain byte writes.
EepromType WithSdp(EepromType t) {
    t.hasSdp = true;
    return t;
}

std::unique_ptr<SimChip> MakeEepromChip(int32_t eep, int32_t tag) {
    constexpr uint32_t K = 1024;
    struct Row {
        int32_t eep, tag;
        EepromType type;
    };
    static const Row rows[] = {
        {5, 1, WithSdp(ByteWriteEeprom("28C64", 8 * K))},
        {5, 2, ByteWriteEeprom("28C128", 16 * K)},
        {5, 3, WithSdp(ByteWriteEeprom("28C256", 32 * K, true))},
        {5, 4, ByteWriteEeprom("28C512", 64 * K)},
        {5, 5, ByteWriteEeprom("28C010", 128 * K)},
        {5, 6, ByteWriteEeprom("28C020", 256 * K)},
        {5, 7, ByteWriteEeprom("28C040", 512 * K)},
        {5, 8, ByteWriteEeprom("28C16A", 2 * K)},
        {5, 9, ByteWriteEeprom("28C16", 2 * K)},
        {5, 10, ByteWriteEeprom("XLS2816", 2 * K)},
        {5, 11, ByteWriteEeprom("XLS2864", 8 * K)},
        {7, 101, PageWriteEeprom("AT28C64B", 8 * K, 64)},
        {7, 102, PageWriteEeprom("AT28C256", 32 * K, 64, true)},
        {7, 103, PageWriteEeprom("AT28C512", 64 * K, 128)},
        {7, 104, PageWriteEeprom("AT28C010", 128 * K, 128)},
        {7, 105, PageWriteEeprom("AT28C020", 256 * K, 256)},
        {7, 106, PageWriteEeprom("AT28C040", 512 * K, 256)},
        // The AT29C256 patterns (28, 29) wire it as a 32-pin JEDEC part: A14 on pin 29 from
        // stage 14, /WE on pin 31. The 28C256 and AT28C256 (pattern 25) take A14 from stage 15.
        {9, 10, SectorFlash("AT29C256", 32 * K, 64, 0x1F, 0xDC)},
        {9, 11, SectorFlash("AT29C256", 32 * K, 64, 0x1F, 0xDC)},
        {9, 1, SectorFlash("AT29C512", 64 * K, 128, 0x1F, 0x5D)},
        {9, 2, SectorFlash("AT29C010A", 128 * K, 128, 0x1F, 0xD5)},
        {9, 3, SectorFlash("AT29C020", 256 * K, 256, 0x1F, 0xDA)},
        {9, 4, SectorFlash("AT29C040A", 512 * K, 256, 0x1F, 0xA4)},
        {9, 5, SectorFlash("AT29C040", 512 * K, 512, 0x1F, 0x5B)},
        {22, 6, WinbondSectorFlash("W29EE512", 64 * K, 128, 0xC8)},
        {22, 7, WinbondSectorFlash("W29EE011", 128 * K, 128, 0xC1)},
        {22, 8, WinbondSectorFlash("W29C020", 256 * K, 128, 0x45)},
        {22, 9, WinbondSectorFlash("W29C040", 512 * K, 256, 0x46)},
    };
    for (const Row& r : rows)
        if (r.eep == eep && r.tag == tag) return std::make_unique<SimEeprom>(r.type);
    return nullptr;
}

SimEeprom::SimEeprom(EepromType type)
    : type_(std::move(type)), cells_(type_.size, 0xFF), log_(std::make_unique<Log>()) {}

uint32_t SimEeprom::chipAddress(uint32_t stages) const {
    if (type_.a14OnStage15) return (stages & 0x3FFF) | ((stages >> 1) & 0x4000);
    return stages & (type_.size - 1);
}

uint8_t SimEeprom::readCell(uint32_t address) const {
    address &= type_.size - 1;
    uint8_t v = cells_[address];
    const auto it = stuck_.find(address);
    if (it != stuck_.end())
        v = uint8_t((v & ~it->second.first) | (it->second.second & it->second.first));
    return v;
}

int64_t SimEeprom::cycleTicks(uint32_t page) const {
    const auto it = slowPages_.find(page);
    const int k = slowAll_ * (it == slowPages_.end() ? 1 : it->second);
    return ticks(type_.writeCycleUs) * k;
}

bool SimEeprom::busy(int64_t now) {
    advance(now);
    return pending_ != Pending::None;
}

void SimEeprom::advance(int64_t now) {
    if (loading_ && now - lastLoadEnd_ > ticks(type_.loadWindowUs))
        startInternalWrite(lastLoadEnd_ + ticks(type_.loadWindowUs));
    if (pending_ != Pending::None && now >= busyUntil_) commit();
}

void SimEeprom::startInternalWrite(int64_t at) {
    loading_ = false;
    unlocked_ = false;
    pending_ = Pending::Write;
    busyUntil_ = at + cycleTicks(loadPage_);
}

void SimEeprom::commit() {
    if (pending_ == Pending::Erase) {
        std::fill(cells_.begin(), cells_.end(), 0xFF);
        ++log_->chipErases;
    } else if (!neverWrites_) {
        if (type_.sectorErase && pageKnown_) {
            const uint32_t base = loadPage_ * type_.pageSize;
            for (uint32_t j = 0; j < type_.pageSize && base + j < type_.size; ++j)
                cells_[base + j] = 0xFF;
        }
        for (const auto& [address, value] : loaded_) cells_[address] = value;
    }
    if (sdpAfterWrite_ >= 0) sdp_ = sdpAfterWrite_ == 1;
    sdpAfterWrite_ = -1;
    loaded_.clear();
    pageKnown_ = false;
    pending_ = Pending::None;
    ++log_->writeCycles;
}

void SimEeprom::powerOnReset(int64_t now) {
    powerOnAt_ = now;
    prefix_.clear();
    unlocked_ = false;
    idMode_ = false;
    loading_ = false;
    pageKnown_ = false;
    loaded_.clear();
    latched_ = false;
    sdpAfterWrite_ = -1;
}

void SimEeprom::onPins(const SocketPins& pins, int64_t now) {
    advance(now);
    if (pins.vcc && !vcc_) powerOnReset(now);
    if (!pins.vcc && vcc_) {
        if (pending_ != Pending::None) ++log_->abortedByPowerOff;  // the page keeps its old bytes
        pending_ = Pending::None;
        loading_ = false;
        loaded_.clear();
        pageKnown_ = false;
        sdpAfterWrite_ = -1;
    }
    vcc_ = pins.vcc;
    const bool oeLow = pins.outputEnabled();
    if (oeLow && !oeLow_ && pending_ != Pending::None) toggle_ = !toggle_;
    oeLow_ = oeLow;
    const bool weLow = pins.strobe;
    if (vcc_) {
        if (weLow && !weLow_) {
            latched_ = !oeLow_;
            if (oeLow_) ++log_->inhibitedByOe;
            latchedAddress_ = chipAddress(pins.address);
        } else if (!weLow && weLow_ && latched_) {
            latched_ = false;
            write(latchedAddress_, pins.dataOut ? pins.drivenData() : 0xFF, now);
        }
    }
    weLow_ = weLow;
}

void SimEeprom::write(uint32_t address, uint8_t data, int64_t now) {
    if (pending_ != Pending::None) {
        ++log_->ignoredWhileBusy;
        return;
    }
    if (now - powerOnAt_ < ticks(kPowerUpLockoutUs)) {
        ++log_->lockedOut;
        return;
    }
    if (type_.hasSdp && command(address, data, now)) return;
    if (pending_ != Pending::None) {  // a broken-off prefix written as data started a write
        ++log_->ignoredWhileBusy;
        return;
    }
    if (idMode_) return;  // only the exit command means anything now
    if (sdp_ && !unlocked_) {
        ++log_->ignoredProtected;
        return;
    }
    load(address, data, now);
}

bool SimEeprom::command(uint32_t address, uint8_t data, int64_t now) {
    if (loading_) return false;  // the bytes of an open load are data
    const auto at = [&](uint32_t which, uint8_t byte) {
        return isCommandAddress(address, which) && data == byte;
    };
    const auto done = [&] {
        log_->commandAddresses.push_back(prefix_.front().address & 0x7FFF);
        prefix_.clear();
        return true;
    };
    switch (prefix_.size()) {
        case 0:
            if (!at(0x5555, 0xAA)) return false;
            prefix_.push_back({address, data});
            return true;
        case 1:
        case 4:
            if (!at(0x2AAA, 0x55)) break;
            prefix_.push_back({address, data});
            return true;
        case 3:
            if (!at(0x5555, 0xAA)) break;
            prefix_.push_back({address, data});
            return true;
        case 2:
            if (!isCommandAddress(address, 0x5555)) break;
            if (data == 0xA0) {
                // Unlock one page write and switch the protection on at its end.
                unlocked_ = true;
                sdpAfterWrite_ = 1;
                loading_ = true;
                pageKnown_ = false;
                loaded_.clear();
                lastLoadEnd_ = now;
                return done();
            }
            if (data == 0x90 && type_.idManufacturer != 0xFF) {
                idMode_ = true;
                idReadyAt_ = now + ticks(type_.idEntryPauseUs);
                return done();
            }
            if (data == 0xF0) {
                idMode_ = false;
                return done();
            }
            if (data == 0x80) {
                prefix_.push_back({address, data});
                return true;
            }
            break;
        case 5:
            if (!isCommandAddress(address, 0x5555)) break;
            if (data == 0x20) {
                // Protection off at the end of a write cycle with nothing loaded.
                sdpAfterWrite_ = 0;
                pageKnown_ = false;
                startInternalWrite(now);
                return done();
            }
            if (data == 0x10 && type_.chipEraseUs > 0) {
                pending_ = Pending::Erase;
                busyUntil_ = now + ticks(type_.chipEraseUs) * slowAll_;
                pollByte_ = 0xFF;  // DQ7 reads 0 until the erase is done
                return done();
            }
            if (data == 0x60 && type_.sixByteId) {
                idMode_ = true;
                idReadyAt_ = now + ticks(type_.idEntryPauseUs);
                return done();
            }
            break;
        default:
            break;
    }
    flushPrefix(now);
    return false;
}

void SimEeprom::flushPrefix(int64_t now) {
    // A prefix broken off was plain data after all.
    std::vector<Cycle> cycles;
    cycles.swap(prefix_);
    for (const Cycle& c : cycles) {
        if (sdp_ && !unlocked_)
            ++log_->ignoredProtected;
        else if (!idMode_)
            load(c.address, c.data, now);
    }
}

void SimEeprom::load(uint32_t address, uint8_t data, int64_t now) {
    const uint32_t page = address / type_.pageSize;
    if (!loading_) {
        loading_ = true;
        loaded_.clear();
        pageKnown_ = false;
    }
    lastLoadEnd_ = now;
    if (!pageKnown_) {
        loadPage_ = page;
        pageKnown_ = true;
    } else if (page != loadPage_) {
        ++log_->ignoredOtherPage;
        return;
    }
    loaded_[address] = data;
    pollByte_ = data;
    if (type_.loadWindowUs <= 0) startInternalWrite(now);
}

int SimEeprom::readData(const SocketPins& pins, int64_t now) {
    advance(now);
    if (!pins.vcc || !pins.outputEnabled() || pins.strobe) return -1;
    const uint32_t a = chipAddress(pins.address);
    if (pending_ != Pending::None) {
        // Data polling: DQ7 complemented, DQ6 toggling, the rest as the array holds them.
        const uint8_t old = readCell(a);
        return (old & 0x3F) | (~pollByte_ & 0x80) | (toggle_ ? 0x40 : 0);
    }
    if (idMode_ && now >= idReadyAt_) return (a & 1) ? type_.idDevice : type_.idManufacturer;
    lastSampled_ = a;
    const auto wrong = wrongReads_.find(a);
    if (wrong != wrongReads_.end() && wrong->second > 0) return readCell(a) ^ 0x01;
    return flakyRead(a & (type_.size - 1), readCell(a));
}

void SimEeprom::onReadBack(int64_t) {
    // Only a sample the host shifts out counts as a read; the address shift samples on the way.
    const auto wrong = wrongReads_.find(lastSampled_);
    if (wrong != wrongReads_.end() && wrong->second > 0) --wrong->second;
}

void SimEeprom::setStuckBit(uint32_t address, int bit, bool level) {
    auto& [mask, lv] = stuck_[address & (type_.size - 1)];
    const uint8_t m = uint8_t(1 << (bit & 7));
    mask |= m;
    lv = level ? uint8_t(lv | m) : uint8_t(lv & ~m);
}

void SimEeprom::setSlowCell(uint32_t address, int k) {
    slowPages_[(address & (type_.size - 1)) / type_.pageSize] = k < 1 ? 1 : k;
}

bool SimEeprom::applyFamilyFault(const std::string& fault, std::string& error) {
    const size_t colon = fault.find(':');
    const std::string kind = fault.substr(0, colon);
    const std::string args = colon == std::string::npos ? std::string() : fault.substr(colon + 1);
    if (kind == "sdp-enabled" && args.empty()) {
        if (!type_.hasSdp) {
            error = "sdp-enabled: the " + type_.name + " has no software data protection";
            return false;
        }
        sdp_ = true;
        return true;
    }
    if (kind == "slow-write") {
        int k = 0;
        if (!parseCount(args, k)) {
            error = "slow-write:K needs a factor K of 1 to 1000";
            return false;
        }
        slowAll_ = k;
        return true;
    }
    return false;
}

// Text header with the protection state and the faults, then the raw array.
void SimEeprom::saveState(std::ostream& out) const {
    out << "eeprom " << type_.size << '\n';
    out << "sdp " << (sdp_ ? 1 : 0) << '\n';
    out << "never-writes " << (neverWrites_ ? 1 : 0) << '\n';
    out << "slow-all " << slowAll_ << '\n';
    for (const auto& [address, s] : stuck_)
        out << "stuck " << address << ' ' << int(s.first) << ' ' << int(s.second) << '\n';
    for (const auto& [page, k] : slowPages_) out << "slow " << page << ' ' << k << '\n';
    out << "data\n";
    out.write(reinterpret_cast<const char*>(cells_.data()), std::streamsize(cells_.size()));
}

bool SimEeprom::loadState(std::istream& in) {
    std::string line;
    if (!std::getline(in, line)) return false;
    {
        std::istringstream head(line);
        std::string word;
        uint32_t size = 0;
        if (!(head >> word >> size) || word != "eeprom" || size != type_.size) return false;
    }
    bool sdp = false, never = false;
    int slowAll = 1;
    std::map<uint32_t, std::pair<uint8_t, uint8_t>> stuck;
    std::map<uint32_t, int> slow;
    while (std::getline(in, line) && line != "data") {
        std::istringstream f(line);
        std::string key;
        f >> key;
        int v = 0, m = 0;
        uint32_t a = 0;
        if (key == "sdp" && f >> v) {
            sdp = v != 0;
        } else if (key == "never-writes" && f >> v) {
            never = v != 0;
        } else if (key == "slow-all" && f >> v && v >= 1) {
            slowAll = v;
        } else if (key == "stuck" && f >> a >> m >> v) {
            stuck[a & (type_.size - 1)] = {uint8_t(m), uint8_t(v)};
        } else if (key == "slow" && f >> a >> v && v >= 1) {
            slow[a] = v;
        } else {
            return false;
        }
    }
    if (line != "data") return false;
    std::vector<uint8_t> cells(type_.size);
    in.read(reinterpret_cast<char*>(cells.data()), std::streamsize(cells.size()));
    if (in.gcount() != std::streamsize(cells.size())) return false;
    cells_ = std::move(cells);
    sdp_ = sdp;
    neverWrites_ = never;
    slowAll_ = slowAll;
    stuck_ = std::move(stuck);
    slowPages_ = std::move(slow);
    return true;
}

}  // namespace tavrin::sim
