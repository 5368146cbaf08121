#include "algorithms/ElectronicId.h"

#include <cstdio>
#include <span>

namespace tavrin {

namespace {

struct DeviceName {
    uint8_t code;
    const char* name;
};

struct Maker {
    uint8_t code;
    const char* name;
    std::span<const DeviceName> devices;  // empty: the maker shows no device names
};

// Names carry the leading blank they are shown with.
constexpr DeviceName kFujitsu[] = {
    {0x23, " MBM29F400T"},  {0x34, " MBM29F002B"},  {0x37, " MBM29LV008B"}, {0x38, " MBM29LV080"},
    {0x3B, " MBM29LV200T"}, {0x3D, " MBM29F017"},   {0x3E, " MBM29LV008T"}, {0x40, " MBM29LV002T"},
    {0x49, " MBM29LV160B"}, {0x4C, " MBM29LV016B"}, {0x51, " MBM29F200T"},  {0x57, " MBM29F200B"},
    {0x58, " MBM29F800B"},  {0x5B, " MBM29LV800B"}, {0x77, " MBM29F004T"},  {0x7B, " MBM29F004B"},
    {0xA4, " MBM29F040"},   {0xAB, " MBM29F400B"},  {0xAD, " MBM29F016"},   {0xB0, " MBM29F002T"},
    {0xB5, " MBM29LV004T"}, {0xB6, " MBM29LV004B"}, {0xBF, " MBM29LV200B"}, {0xC2, " MBM29LV002B"},
    {0xC4, " MBM29LV160T"}, {0xC7, " MBM29LV016T"}, {0xC8, " MBM29LV017"},  {0xD2, " MBM29F160T"},
    {0xD4, " MBM29F033"},   {0xD5, " MBM29F080"},   {0xD6, " MBM29F800T"},  {0xD8, " MBM29F160B"},
    {0xDA, " MBM29LV800T"}, {0xF6, " MBM29LV320T"}, {0xF9, " MBM29LV320B"},
};
constexpr DeviceName kEon[] = {{0x04, " EN29F040"}, {0x1C, " EN29F002x"}};
constexpr DeviceName kAtmel[] = {
    {0x03, " AT49F512"},    {0x04, " AT49F001(N)T"}, {0x05, " AT49F001(N)"},
    {0x07, " AT49F002(N)"}, {0x08, " AT49F002(N)T"}, {0x12, " AT49F040T"},
    {0x13, " AT49F040"},    {0x17, " AT49F010"},     {0x35, " AT29LV010A"},
    {0x3B, " AT29LV040"},   {0x3D, " AT29LV512"},    {0x5B, " AT29C040"},
    {0x5D, " AT29C512"},    {0xA4, " AT29C040A"},    {0xBA, " AT29LV020"},
    {0xBC, " AT29LV256"},   {0xC4, " AT29LV040A"},   {0xD5, " AT29C010A"},
    {0xDA, " AT29C020"},    {0xDC, " AT29C256/257"},
};
constexpr DeviceName kSt[] = {{0x5B, " M29W800B"}, {0xD7, " M29W800T"}, {0xE2, " M29F040B"}};
constexpr DeviceName kCatalyst[] = {
    {0x94, " CAT28F001T"}, {0x95, " CAT28F001B"}, {0xB4, " CAT28F010"}, {0xB8, " CAT28F512"}};
constexpr DeviceName kSyncMos[] = {{0x01, " F29C51001T"}, {0x02, " F29C51002T"},
                                   {0x03, " F29C51004T"}, {0xA1, " F29C51001B"},
                                   {0xA2, " F29C51002B"}, {0xA3, " F29C51004B"}};
constexpr DeviceName kPmc[] = {
    {0x1D, " Pm29F002T"}, {0x1E, " Pm29F004T"}, {0x2D, " Pm29F002B"}, {0x2E, " Pm29F004B"}};
constexpr DeviceName kHyundai[] = {{0x23, " HY29F400T"}, {0x51, " HY29F200T"}, {0x57, " HY29F200B"},
                                   {0x58, " HY29F800B"}, {0xA4, " HY29F040A"}, {0xAB, " HY29F400B"},
                                   {0xD5, " HY29F080"},  {0xD6, " HY29F800T"}};
constexpr DeviceName kSst[] = {{0x04, " SST28SF/VF040A"}, {0x10, " SST29EE020"}};
constexpr DeviceName kMxic[] = {
    {0x2A, " MX28F2000"}, {0xA4, " MX29F040"}, {0xC3, " MX26C2000B"}, {0xCF, " MX26C1000B"}};
constexpr DeviceName kWinbond[] = {{0x0B, " W49F002"}, {0x8C, " W49F020"}, {0xC1, " W29x011"}};

constexpr Maker kMakers[] = {
    {0x01, " AMD", {}},
    {0x04, " Fujitsu", kFujitsu},
    {0x1C, " EON", kEon},
    {0x7F, " EON", kEon},
    {0x1F, " ATMEL", kAtmel},
    {0x20, " ST", kSt},
    {0x31, " CATALYST", kCatalyst},
    {0x37, " AMIC", {}},
    {0x40, " SyncMOS", kSyncMos},
    {0x42, " SyncMOS", kSyncMos},
    {0x89, " Intel", {}},
    {0x9D, " PMC", kPmc},
    {0xAD, " Hyundai", kHyundai},
    {0xB0, " SHARP", {}},
    {0xBF, " SST/Sanyo", kSst},
    {0xC2, " MXIC", kMxic},
    {0xDA, " ASD/WinBond", kWinbond},
};
constexpr const char* kUnknownMaker = " [----]";

// MCS-51 and AT89Cx051 (families 10 and 11): these makers replace the name found above.
constexpr DeviceName kAtmelMcs51[] = {
    {0x11, " AT89C1051"},  {0x12, " AT89C1051 U"}, {0x21, " AT89C2051"}, {0x41, " AT89C4051"},
    {0x51, " AT89C51"},    {0x52, " AT89C52"},     {0x53, " AT89S53"},   {0x55, " AT89C55WD"},
    {0x61, " AT89LV51"},   {0x62, " AT89LV52"},    {0x63, " AT89LS53"},  {0x72, " AT89S8252"},
    {0x82, " AT89LS8252"},
};
constexpr Maker kMcs51Makers[] = {
    {0x1E, " ATMEL", kAtmelMcs51},
    {0xBF, " SST", {}},
    {0xD5, " ISSI", {}},
};

// AVR (family 14, maker 0x1E): the name follows the second and third signature bytes.
struct AvrName {
    uint8_t device;
    int third;  // -1: any third byte
    const char* name;
};
constexpr const char* kAvrMaker = " Atmel  ( AVR )";
constexpr AvrName kAvrNames[] = {
    {0x90, -1, " AT90S1200"}, {0x91, 1, " AT90S2313"}, {0x91, 2, " AT90S2323"},
    {0x91, 3, " AT90S2343"},  {0x91, 5, " AT90S2333"}, {0x92, 1, " AT90S4414"},
    {0x92, 2, " AT90S4434"},  {0x92, 3, " AT90S4433"}, {0x93, 1, " AT90S8515"},
    {0x93, 3, " AT90S8535"},
};

// Lock modes by lock-byte bits 7 and 6.
constexpr const char* kLockModes[4] = {
    " Lockbit Mode 3",  // 00
    " Lockbit Mode 2",  // 01: bit 7 = 0, bit 6 = 1
    " Lockbit Mode ?",  // 10
    " Lockbit Mode 1",  // 11
};

constexpr int kMcs51 = 10, kAt89Cx051 = 11, kAvr = 14;
constexpr uint8_t kAtmelAvrMaker = 0x1E;

const Maker* findMaker(std::span<const Maker> makers, uint8_t code) {
    for (const Maker& m : makers)
        if (m.code == code) return &m;
    return nullptr;
}

const char* findDevice(std::span<const DeviceName> devices, uint8_t code) {
    for (const DeviceName& d : devices)
        if (d.code == code) return d.name;
    return nullptr;
}

std::string hexText(unsigned value, int digits) {
    char text[12];
    std::snprintf(text, sizeof text, " 0x%0*X", digits, value);
    return text;
}

}  // namespace

ElectronicIdView DecodeElectronicId(int32_t eep, uint8_t manufacturer, uint8_t device,
                                    AvrIdExtras avr) {
    ElectronicIdView id;
    id.manufacturer = manufacturer;
    id.device = device;
    id.deviceName = " ";
    const Maker* maker = findMaker(kMakers, manufacturer);
    id.manufacturerName = maker ? maker->name : kUnknownMaker;
    if (maker)
        if (const char* name = findDevice(maker->devices, device)) id.deviceName = name;

    if (eep == kMcs51 || eep == kAt89Cx051) {
        const Maker* mcu = findMaker(kMcs51Makers, manufacturer);
        id.manufacturerName = mcu ? mcu->name : kUnknownMaker;
        if (mcu)
            if (const char* name = findDevice(mcu->devices, device)) id.deviceName = name;
    }
    if (eep == kAvr && manufacturer == kAtmelAvrMaker) {
        id.manufacturerName = kAvrMaker;
        for (const AvrName& a : kAvrNames)
            if (a.device == device && (a.third < 0 || a.third == avr.signature3)) {
                id.deviceName = a.name;
                break;
            }
    }

    id.manufacturerCode = hexText(manufacturer, 2);
    if (eep == kAvr) {
        id.showLock = true;
        id.lockBit = hexText(avr.lockByte, 2);
        id.device = uint16_t(device << 8 | avr.signature3);
        id.deviceCode = hexText(id.device, 4);
        id.lockMode = kLockModes[avr.lockByte >> 6];
    } else {
        id.deviceCode = hexText(device, 2);
    }
    return id;
}

void ShowElectronicId(Context& ctx, uint8_t manufacturer, uint8_t device, AvrIdExtras avr) {
    ctx.ui().showElectronicId(DecodeElectronicId(ctx.profile.eep, manufacturer, device, avr));
}

}  // namespace tavrin
