#include "devices/AcceptedIds.h"

#include <cctype>
#include <map>

namespace tavrin {

namespace {

// Makers (JEDEC manufacturer codes).
constexpr uint8_t kAmd = 0x01, kFujitsu = 0x04, kEon = 0x1C, kAtmel = 0x1F, kSt = 0x20,
                  kCatalyst = 0x31, kIntel = 0x89, kPmc = 0x9D, kHyundai = 0xAD, kSst = 0xBF,
                  kMxic = 0xC2, kWinbond = 0xDA, kAvr = 0x1E;  // 1Eh: Atmel's microcontrollers

// Captions compare without case and with runs of blanks as one.
std::string key(const std::string& caption) {
    std::string k;
    for (char c : caption) {
        const bool blank = std::isspace(static_cast<unsigned char>(c)) != 0;
        if (blank && (k.empty() || k.back() == ' ')) continue;
        k += blank ? ' ' : char(std::toupper(static_cast<unsigned char>(c)));
    }
    if (!k.empty() && k.back() == ' ') k.pop_back();
    return k;
}

}  // namespace

const std::vector<AcceptedIdRow>& AcceptedIdTable() {
    // From the makers' datasheets (autoselect / product identification codes). Generic captions
    // ("29F040", "39SF/49F010") accept every maker's part of that name and pinout.
    static const std::vector<AcceptedIdRow> table = {
        // JEDEC 29F, 5555/2AAA or 555/2AA.
        {"29F010", {{kAmd, 0x20}, {kSt, 0x20}, {kFujitsu, 0x20}}},
        {"29F040", {{kAmd, 0xA4}, {kFujitsu, 0xA4}, {kSt, 0xE2}, {kHyundai, 0xA4}, {kEon, 0x04}}},
        {"39SF/49F512", {{kSst, 0xB4}, {kAtmel, 0x03}}},
        {"39SF/49F010", {{kSst, 0xB5}, {kAtmel, 0x17}}},
        {"39SF/49F020", {{kSst, 0xB6}, {kAtmel, 0x0B}, {kWinbond, 0x8C}}},
        {"39SF/49F040", {{kSst, 0xB7}, {kAtmel, 0x13}, {kAtmel, 0x12}}},
        {"MX29F040", {{kMxic, 0xA4}}},
        // 29F00x boot-block parts (bottom and top boot).
        {"AT49F001", {{kAtmel, 0x05}}},
        {"AT49F001 (N)T", {{kAtmel, 0x04}}},
        {"29F002", {{kAtmel, 0x07}, {kAmd, 0x34}, {kFujitsu, 0x34}, {kPmc, 0x2D}}},
        {"AT49F002", {{kAtmel, 0x07}}},
        {"29F002 NT", {{kAtmel, 0x08}, {kAmd, 0xB0}, {kFujitsu, 0xB0}, {kPmc, 0x1D}}},
        {"AT49F002 (N)T", {{kAtmel, 0x08}}},
        {"Am29F032 (32Mb)", {{kAmd, 0x41}}},
        {"MBM29F004x", {{kFujitsu, 0x77}, {kFujitsu, 0x7B}}},
        {"MBM29F008x", {{kFujitsu, 0xD5}}},
        {"MBM29F016x", {{kFujitsu, 0xAD}}},
        {"MBM29F032x", {{kFujitsu, 0xD4}}},
        {"AT49F4096A", {{kAtmel, 0x92}}},
        // 29Fx00 in byte mode: top and bottom boot.
        {"Am29F200", {{kAmd, 0x51}, {kAmd, 0x57}}},
        {"Am29F400", {{kAmd, 0x23}, {kAmd, 0xAB}}},
        {"Am29F800", {{kAmd, 0xD6}, {kAmd, 0x58}}},
        {"Am29F160", {{kAmd, 0xD2}, {kAmd, 0xD8}}},
        {"Am29F320", {{kAmd, 0xF6}, {kAmd, 0xF9}}},
        // 28F0x0 single-cycle-command flash (Intel, AMD Am28F, Catalyst CAT28F); the 28F64,
        // 28F128 and 28F040 rows name no part with a published code.
        {"28F256", {{kIntel, 0xB9}, {kAmd, 0xA1}}},
        {"28F512", {{kIntel, 0xB8}, {kAmd, 0x25}, {kCatalyst, 0xB8}}},
        {"28F010", {{kIntel, 0xB4}, {kAmd, 0xA7}, {kCatalyst, 0xB4}}},
        {"28F020", {{kIntel, 0xBD}, {kAmd, 0x2A}, {kCatalyst, 0xBD}}},
        {"28F001", {{kIntel, 0x94}, {kIntel, 0x95}, {kCatalyst, 0x94}, {kCatalyst, 0x95}}},
        // Boot-block flash with a status register, top and bottom boot (byte mode low byte).
        {"i28F001BX-T", {{kIntel, 0x94}}},
        {"i28F200", {{kIntel, 0x74}, {kIntel, 0x75}}},
        {"i28F400", {{kIntel, 0x70}, {kIntel, 0x71}}},
        {"i28F800", {{kIntel, 0x9C}, {kIntel, 0x9D}}},
        // SST28SF040A and the 5 V SST28VF040A share the code; the LE28F4001's is not published.
        {"SST28xF040A", {{kSst, 0x04}}},
        // Sector-programmed flash.
        {"AT29C256    tavrin", {{kAtmel, 0xDC}}},
        {"AT29C256    PCB3/3A", {{kAtmel, 0xDC}}},
        {"AT29C512      (128)", {{kAtmel, 0x5D}}},
        {"AT29C010      (128)", {{kAtmel, 0xD5}}},
        {"AT29C020      (256)", {{kAtmel, 0xDA}}},
        {"AT29C040A    (256)", {{kAtmel, 0xA4}}},
        {"AT29C040      (512)", {{kAtmel, 0x5B}}},
        {"W29EE512/C512   (128)", {{kWinbond, 0xC8}}},
        {"W29EE011/C010   (128)", {{kWinbond, 0xC1}}},
        {"W29C020     (128)", {{kWinbond, 0x45}}},
        {"W29C040/C042   (256)", {{kWinbond, 0x46}}},
        // Atmel MCS-51 flash: the signature bytes 1Eh and the part's code (the SST and the
        // 87C5x EPROM parts have none published in the data sheets at hand).
        {"AT89C51       (4KB)", {{kAvr, 0x51}}},
        {"AT89C52       (8KB)", {{kAvr, 0x52}}},
        {"AT89C55       (20KB)", {{kAvr, 0x55}}},
        {"AT82S8252   (8K+2K)", {{kAvr, 0x72}}},
        {"AT89S53       (12KB)", {{kAvr, 0x53}}},
        {"AT89C55WD (20KB/6.5V)", {{kAvr, 0x55}}},
        {"AT89C51RC  (32KB/6.5V)", {{kAvr, 0x51}}},
        {"AT89C1051    (1KB)", {{kAvr, 0x11}}},
        {"AT89C2051    (2KB)", {{kAvr, 0x21}}},
        {"AT89C4051    (4KB)", {{kAvr, 0x41}}},
        // AVR: the three signature bytes.
        {"AT90S1200   DIP20", {{kAvr, 0x9001}}},
        {"AT90S2313   DIP20", {{kAvr, 0x9101}}},
        {"AT90S2333   DIP28", {{kAvr, 0x9105}}},
        {"AT90S4433   DIP28", {{kAvr, 0x9203}}},
        {"AT90S4414   DIP40", {{kAvr, 0x9201}}},
        {"AT90S8515   DIP40", {{kAvr, 0x9301}}},
        {"AT90S4434   DIP40", {{kAvr, 0x9202}}},
        {"AT90S8535   DIP40", {{kAvr, 0x9303}}},
    };
    return table;
}

const std::vector<ChipId>& AcceptedIds(const std::string& caption) {
    static const std::map<std::string, const std::vector<ChipId>*> index = [] {
        std::map<std::string, const std::vector<ChipId>*> m;
        for (const AcceptedIdRow& row : AcceptedIdTable()) m[key(row.caption)] = &row.ids;
        return m;
    }();
    static const std::vector<ChipId> none;
    const auto it = index.find(key(caption));
    return it == index.end() ? none : *it->second;
}

}  // namespace tavrin
