// AVR lock and fuse bits: the AVR side of `lock MODE`, and `fuses BYTE`, as the window's "Lock Bit" and "FuseBit"
// buttons; each reads the bits back and fails when they did not take.
#include <unistd.h>

#include <memory>

#include "algorithms/mcu/Avr.h"
#include "cli/CommandTable.h"
#include "cli/Session.h"
#include "core/RunFrame.h"
#include "devices/families/AvrFamily.h"

namespace tavrin::cli {

namespace {

constexpr int32_t kAvrFamily = 14;
constexpr uint8_t kSpien = 0x20;

bool offered(Session& s, const std::string& command) {
    if (s.ctx().profile.eep == kAvrFamily) return true;
    Session::complain(kExitUsage,
                      "'" + command + "' is for the AVR devices only, not " + s.device()->caption);
    return false;
}

// "0xDF", "DF" or "df": one byte in hex.
bool parseFuseByte(const std::string& text, uint8_t& value) {
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    if (digits.empty() || digits.size() > 2) return false;
    unsigned v = 0;
    for (char c : digits) {
        const int d = (c >= '0' && c <= '9')   ? c - '0'
                      : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                      : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                               : -1;
        if (d < 0) return false;
        v = v * 16 + unsigned(d);
    }
    value = uint8_t(v);
    return true;
}

int writeFuses(Session& s, const std::string& text) {
    if (!offered(s, "fuses")) return kExitUsage;
    uint8_t fuse = 0;
    if (!parseFuseByte(text, fuse))
        return Session::complain(kExitUsage,
                                 "fuses: '" + text + "' is not a byte in hex (e.g. 0xDF)");
    const DeviceProfile& p = s.ctx().profile;
    const uint8_t missing = uint8_t(~p.avrFuseMask & 0x3F & ~fuse);
    if (missing)
        return Session::complain(kExitUsage, Format("fuses: %s has no fuse bit 0x%02X; leave it 1",
                                                    s.device()->caption.c_str(), missing));
    // The routine asks before it unprograms SPIEN; without a terminal nobody can answer.
    if ((fuse & kSpien) && !s.options().yes && !::isatty(STDIN_FILENO))
        return Session::complain(kExitUsage,
                                 Format("fuses: 0x%02X unprograms SPIEN (serial programming off); "
                                        "--yes writes it",
                                        fuse));
    for (int bit = 0; bit < 6; ++bit) cbFbit0Click(s.ctx(), bit, (fuse >> bit) & 1);
    return s.runAction([&] { AvrSetFuse(s.ctx()); });
}

}  // namespace

int WriteAvrLock(Session& s, int mode) {
    if (!offered(s, "lock")) return kExitUsage;
    if (mode < 1 || mode > 3)
        return Session::complain(kExitUsage, "lock: the AVR lock modes are 1, 2 and 3");
    rbAVRm1Click(s.ctx(), mode);
    return s.runAction([&] { AvrSetLock(s.ctx()); });
}

void AddAvrCommands(CommandTable& table) {
    auto byte = std::make_shared<std::string>();
    table
        .add("fuses",
             "AVR: write the fuse byte BYTE (hex; bit set = fuse unprogrammed; SPIEN is bit 5) "
             "and read it back",
             Needs::Chip, [byte](Session& s) { return writeFuses(s, *byte); })
        ->add_option("BYTE", *byte, "fuse byte in hex, e.g. 0xDF")
        ->required();
}

}  // namespace tavrin::cli
