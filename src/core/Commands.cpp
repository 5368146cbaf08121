#include "core/Commands.h"

#include "algorithms/DiffWrite.h"
#include "core/DataFit.h"
#include "core/IdCheck.h"
#include "core/RunFrame.h"
#include "devices/DipCheck.h"
#include "devices/DisplayState.h"

namespace tavrin {

namespace {

constexpr int32_t kAvrFamily = 14;

// Data for Program and Verify: a loaded extent, or an AVR EEPROM image from a lone EEP file.
bool dataLoaded(const DeviceProfile& p) {
    return p.bufferLoaded != 0 || (p.eep == kAvrFamily && p.avrEepromLoaded != 0);
}

// The message of a failed precondition, or nullptr when the command may go on. Blank check
// without a device is silent, which `silentStop` reports.
const char* precondition(const DeviceProfile& p, Command command, bool& silentStop) {
    silentStop = false;
    const bool noDevice = p.bufferSize == 0;
    switch (command) {
        case Command::Read:
        case Command::Erase:
            return noDevice ? "Please select a Device Type" : nullptr;
        case Command::Program:
            if (noDevice) return "Please select a Device Type";
            return dataLoaded(p) ? nullptr : "Please load some information to program";
        case Command::Verify:
            if (noDevice) return "Please select a Device Type";
            return dataLoaded(p) ? nullptr : "Please load some information to compare against";
        case Command::Blank:
            silentStop = noDevice;
            return nullptr;
        case Command::GetId:
            return nullptr;
    }
    return nullptr;
}

void dispatch(Context& ctx, Command command) {
    const int32_t eep = ctx.profile.eep;
    if (command == Command::Blank && (eep < 0 || eep >= kFamilyCodes)) {
        Message(ctx, "Cannot check this Device", MessageKind::Error);
        return;
    }
    const Action& action = FamilyFor(eep)[command];
    switch (action.kind) {
        case Action::Kind::Nothing: break;
        case Action::Kind::Run:
            // The user's opt-in: read first, write only what differs.
            if (command == Command::Program && ctx.profile.diffWrite != 0 &&
                DiffWriteOffered(ctx.profile))
                ProgramDifferential(ctx);
            else
                action.routine(ctx);
            break;
        case Action::Kind::CannotCheck: Message(ctx, "Cannot check this Device", MessageKind::Error); break;
        case Action::Kind::CannotErase: Message(ctx, "Cannot Erase this Device", MessageKind::Error); break;
    }
    // Every routine powers the socket down on its way out; should one ever miss it, do it here
    // rather than leave the socket live.
    const uint8_t c = ctx.bus.ControlShadow;
    if ((c & Bits::Vcc) || !(c & Bits::Vpp)) ctx.bus.PowerDown();
}

}  // namespace

void RunCommand(Context& ctx, Command command) {
    DeviceProfile& p = ctx.profile;
    FrontEnd& ui = ctx.ui();
    bool silentStop = false;
    const char* failed = precondition(p, command, silentStop);
    bool go = failed == nullptr && !silentStop;
    if (failed) Message(ctx, failed, MessageKind::Error);
    // Nothing is dropped behind a success message: data past the end of the device is run only
    // when the user accepts leaving it out, an offset past the end never. Asked here, once per
    // command, so the quiet verify inside Program does not ask again.
    if (go) go = ConfirmDataFit(ctx, command);
    // The hardware check also runs for Blank check (after its no-device precondition), so an
    // absent board shows the hardware error rather than "Device is NOT Empty" of a floating bus.
    // The switches are set by hand: a setting not confirmed for this device stops here, before
    // anything drives the socket.
    if (go) go = ConfirmDipSwitches(ctx);
    if (go) {
        p.hwError = p.serial == 1 ? 0 : ctx.bus.CheckHardware();
        go = p.hwError == 0;
    }
    if (go) {
        // A verify the user asked for speaks for itself; only a program pass runs it quietly.
        if (command == Command::Verify) p.quietVerify = 0;
        ui.setToolbarEnabled(false);
        // A chip that is not the selected part is refused before anything is written.
        if (CheckChipId(ctx, command).kind != IdCheckOutcome::Kind::Refused) dispatch(ctx, command);
    }
    if (command != Command::GetId) ui.commandFinished();
    ui.setToolbarEnabled(true);
    Winstat(ctx);  // also gives back a size an offset run shortened
}

}  // namespace tavrin
