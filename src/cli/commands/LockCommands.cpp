// The lock-bit commands: write a lock mode on its own (MCS-51 and AVR), read the MCS-51 lock bits.
#include <memory>

#include "algorithms/mcu/Mcs51.h"
#include "cli/CommandTable.h"
#include "cli/Session.h"

namespace tavrin::cli {

namespace {

bool hasLockBits(Session& s) {
    const int32_t eep = s.ctx().profile.eep;
    return eep == 10 || eep == 11;
}

int refuse(Session& s, const char* command, const char* families) {
    return Session::complain(kExitUsage, std::string("'") + command + "' does not apply to " +
                                             s.device()->caption + " (" + families + " only)");
}

int outcome(Session& s) {
    if (s.ui().sawHardwareError()) return kExitNoHardware;
    return s.ui().sawError() ? kExitFailed : kExitOk;
}

}  // namespace

void AddLockCommands(CommandTable& table) {
    auto mode = std::make_shared<int>(0);
    table
        .add("lock",
             "write the lock bits of MODE alone and show them read back where the part allows "
             "(MCS-51: 0 none, 1 bit 1, 2 bits 1+2, 3 bits 1+2+3; AVR: 1 none, 2 no further "
             "programming, 3 no verify either)",
             Needs::Chip,
             [mode](Session& s) -> int {
                 if (s.ctx().profile.eep == 14) return WriteAvrLock(s, *mode);
                 if (!hasLockBits(s)) return refuse(s, "lock", "MCS-51 and AVR parts");
                 s.ui().resetOutcome();
                 // As the Lock Bit button does: the board must answer before the dialog opens.
                 if (s.ctx().bus.CheckHardware() != 0) return kExitNoHardware;
                 s.ui().resetOutcome();
                 LockDialogLock(s.ctx(), *mode);
                 if (s.ui().sawError()) return outcome(s);
                 // Mode 0 writes nothing and shows nothing: say so, for scripts.
                 if (*mode == 0)
                     s.ui().message("Lock mode 0: no lock bits written", MessageKind::Success);
                 // Parts that can read their lock bits show what the chip now holds.
                 if (s.ctx().mcs51.ird_lbit == 1) ShowLockBitsMcs51(s.ctx());
                 return outcome(s);
             })
        ->add_option("MODE", *mode, "lock mode 0-3")
        ->required()
        ->check(CLI::Range(0, 3));
    table.add("read-lock", "read the lock bits (MCS-51 parts that allow it)", Needs::Chip,
              [](Session& s) -> int {
                  if (!hasLockBits(s)) return refuse(s, "read-lock", "MCS-51 parts");
                  s.ui().resetOutcome();
                  ShowLockBitsMcs51(s.ctx());
                  return outcome(s);
              });
}

}  // namespace tavrin::cli
