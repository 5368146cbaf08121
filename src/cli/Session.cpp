#include "cli/Session.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <iostream>

#include <nlohmann/json.hpp>

#include "algorithms/DiffWrite.h"
#include "algorithms/parallel/Eeprom28C.h"
#include "buffer/FileCommands.h"
#include "buffer/SplitInterleave.h"
#include "cli/CliFiles.h"
#include "cli/DipState.h"
#include "core/Commands.h"
#include "core/DataFit.h"
#include "core/ImageBuffer.h"
#include "core/PortSetup.h"
#include "core/RunFrame.h"
#include "devices/DisplayState.h"
#include "devices/SpiProtection.h"
#include "core/StartUp.h"
#include "devices/DeviceLookup.h"
#include "devices/DipCheck.h"

namespace tavrin::cli {

namespace {

// Families whose program routine honours the option.
bool honoursSkipFF(int32_t eep) {
    for (int e : {0, 4, 5, 12, 13, 15, 19, 23, 24, 25, 26, 27, 30, 31})
        if (e == eep) return true;
    return false;
}
bool honoursFast(int32_t eep) {
    return eep == 4 || eep == 12 || eep == 15 || eep == 23 || eep == 27;
}

// The largest file standard input may hold: an Intel HEX text of the whole 4 MB image.
constexpr size_t kStdinLimit = 64u * 1024 * 1024;

const char* commandName(Command which) {
    switch (which) {
        case Command::Read:
            return "read";
        case Command::Program:
            return "program";
        case Command::Verify:
            return "verify";
        case Command::Blank:
            return "blank";
        case Command::Erase:
            return "erase";
        case Command::GetId:
            return "id";
    }
    return "?";
}

// The last refusal of the tool's own, for the JSON result.
std::string& lastComplaint() {
    static std::string text;
    return text;
}

}  // namespace

Session::Session(const Options& options)
    : o_(options),
      ui_(o_.verbosity, o_.yes, o_.truncate),
      report_(o_.json, o_.jsonEvents),
      ctx_(&watch_) {
    ui_.attach(&ctx_);
    ui_.setPanelsOnStderr(o_.json);
    report_.follow(watch_);
}

int Session::complain(int status, const std::string& text) {
    std::cerr << "tavrin: " << text << '\n';
    if (lastComplaint().empty()) lastComplaint() = text;
    return status;
}

int Session::run(const CommandTable::Entry& entry) {
    // The listing prints its own JSON array.
    if (entry.needs == Needs::Nothing) return entry.body(*this);
    lastComplaint().clear();
    int status = prepareAndRun(entry);
    if (ctx_.profile.dipCheck && ctx_.profile.dipConfirmed != dipLoaded_) {
        std::string error;
        if (!SaveDipState(dipStatePath_, ctx_.profile.dipConfirmed, error) && status == kExitOk)
            status = complain(kExitFailed, error);
    }
    JsonReport::Run run;
    run.command = entry.parser->get_name();
    if (device_) run.device = device_->caption;
    run.status = status;
    if (status != kExitOk) run.complaint = lastComplaint();
    run.watcher = &watch_;
    if (startNs_) run.boardTimeUs = (ctx_.port().clock().nowNs() - *startNs_) / 1000.0;
    report_.finish(run);
    return status;
}

int Session::prepareAndRun(const CommandTable::Entry& entry) {
    // The same start-up as the window's: the image erased for the chosen device.
    int status = kExitOk;
    StartUp(ctx_, [&](Context&) { status = selectDevice(); });
    if (status != kExitOk) return status;
    const bool needsDevice = entry.needs == Needs::Device || entry.needs == Needs::Chip;
    if (needsDevice && !device_)
        return complain(kExitUsage, "'" + entry.parser->get_name() +
                                        "' needs a device: use -d NAME (see 'tavrin devices')");
    if (int status = applyOptions(); status != kExitOk) return status;
    if (int status = openPort(entry.needs == Needs::Board || entry.needs == Needs::Chip);
        status != kExitOk)
        return status;
    TerminalFrontEnd::installInterruptHandler();
    // Every command that drives a chip (lock bits and fuses too) needs the switches set first;
    // the six device commands ask as well, but a setting once confirmed is not asked again.
    if (entry.needs == Needs::Chip && !ConfirmDipSwitches(ctx_)) return kExitFailed;
    return finish(entry.body(*this));
}

int Session::selectDevice() {
    if (o_.device.empty()) return kExitOk;
    // The lookup the window's search box uses too.
    const DeviceLookup found = LookUpDevice(o_.device);
    switch (found.kind) {
        case DeviceLookup::Kind::Found: break;
        case DeviceLookup::Kind::Unknown:
            return complain(kExitUsage, found.message + " (see 'tavrin devices')");
        case DeviceLookup::Kind::Refused:
        case DeviceLookup::Kind::Ambiguous: return complain(kExitUsage, found.message);
    }
    device_ = found.entry;
    SelectDevice(ctx_, *device_);
    return kExitOk;
}

int Session::applyOptions() {
    DeviceProfile& p = ctx_.profile;
    if (o_.board) p.tavrin = *o_.board;
    if (o_.noIdCheck) p.idCheck = 0;
    if (o_.diffWrite) {
        if (!device_ || !DiffWriteOffered(p))
            return complain(kExitUsage,
                            "--diff-write applies to " + DiffWriteFamiliesText() + " only" +
                                (device_ ? ", not " + device_->caption : std::string()));
        p.diffWrite = 1;
    }
    if (o_.offset) {
        if (!device_) return complain(kExitUsage, "--offset needs a device");
        if (!ctx_.controls.edOffsetEnabled)
            return complain(kExitUsage, "--offset does not apply to " + device_->caption);
        p.Offset = *o_.offset;
        ctx_.controls.edOffsetText = Format("%04x", p.Offset);
    }
    if (int status = applySerialOptions(); status != kExitOk) return status;
    if (o_.lock) {
        if (!device_ || (p.eep != 10 && p.eep != 11))
            return complain(kExitUsage, "--lock applies to MCS-51 parts only" +
                                            (device_ ? ", not " + device_->caption : std::string()));
        ctx_.mcs51.LockBit = *o_.lock;  // after the selection, which starts from no lock
    }
    if (o_.skipFF || o_.fast) {
        if (!device_) return complain(kExitUsage, "--skip-ff and --fast need a device");
        const bool programBuilt = FamilyFor(p.eep).program.kind == Action::Kind::Run;
        const char* option = o_.skipFF && !honoursSkipFF(p.eep) ? "--skip-ff"
                             : o_.fast && !honoursFast(p.eep)   ? "--fast"
                                                                : nullptr;
        if (option)
            return complain(kExitUsage,
                            std::string(option) + " does not apply to " + device_->caption);
        if (!programBuilt)
            return complain(kExitUsage, std::string(o_.skipFF ? "--skip-ff" : "--fast") +
                                            ": " + device_->caption +
                                            " has no program command");
        if (o_.skipFF) p.skipFF = 1;
        if (o_.fast) p.fastPro = 1;
    }
    if (!o_.eepromFile.empty() && (!device_ || p.eep != 14))
        return complain(kExitUsage, "--eeprom applies to AVR devices only");
    if (o_.fastErase) {
        if (!device_ || p.eep != 3)
            return complain(kExitUsage, "--fast-erase applies to the 28F0x0 flash only");
        p.fastErase = *o_.fastErase;
    }
    if ((o_.picConfig || o_.writeOsccal) && (!device_ || p.PIC == 0))
        return complain(kExitUsage, std::string(o_.picConfig ? "--config" : "--write-osccal") +
                                        " applies to PIC devices only");
    if (o_.writeOsccal) {
        if (p.eep != 18)
            return complain(kExitUsage, "--write-osccal applies to the 12C50x only");
        p.picWriteOsccal = 1;
    }
    // The JEDEC flash boxes: each option only where the window offers its box.
    const struct {
        bool given;
        const char* name;
        bool applies;
    } boxes[] = {
        {o_.commandSet.has_value(), "--command-set", ctx_.controls.cb5555Visible},
        {o_.unprotect, "--unprotect", ctx_.controls.cbProtectEnabled},
        {o_.fujitsuFast, "--fujitsu-fast", p.eep == 15},
    };
    for (const auto& box : boxes) {
        if (!box.given) continue;
        if (!device_) return complain(kExitUsage, std::string(box.name) + " needs a device");
        if (!box.applies)
            return complain(kExitUsage,
                            std::string(box.name) + " does not apply to " + device_->caption);
    }
    if (o_.commandSet) p.sequ = *o_.commandSet;
    if (o_.unprotect) p.AT49F00x = 1;
    if (o_.fujitsuFast) p.fujitsuFast = 1;
    return kExitOk;
}

int Session::applySerialOptions() {
    DeviceProfile& p = ctx_.profile;
    if (o_.pin7) {
        if (!device_ || (p.eep != 1 && p.eep != 2))
            return complain(kExitUsage, "--wp applies to 24Cxxx devices only");
        p.pin7 = *o_.pin7;
    }
    if (o_.protect || o_.wpen) {
        if (!device_ || p.eep != 6)
            return complain(kExitUsage, "--protect and --wpen apply to 25Cxxx devices only");
        if (o_.wpen && !ctx_.controls.cbWPEN25CVisible)
            return complain(kExitUsage, device_->caption + " has no WPEN bit");
        cb25CxxxBPChange(ctx_, o_.protect.value_or(0), o_.wpen);
    }
    return kExitOk;
}

int Session::openPort(bool needsBoard) {
    PortChoice choice;
    std::string error;
    if (!ParsePortChoice(o_.port, choice, error)) return complain(kExitUsage, error);
    const bool simulated = choice.kind == PortChoice::Kind::Simulated;
    if (!simulated && (!o_.chipFile.empty() || !o_.faults.empty() || !o_.trace.empty()))
        return complain(kExitUsage,
                        "--chip-file, --sim-fault and --trace work with the simulated board only");
    if (!o_.chipFile.empty() && !device_) return complain(kExitUsage, "--chip-file needs a device");
    OpenedPort opened = OpenPort(choice, 0);
    portError_ = opened.port->isOpen() ? std::string() : opened.error;
    board_ = simulated ? static_cast<sim::SimBoard*>(opened.port.get()) : nullptr;
    ctx_.setPort(std::move(opened.port));
    if (board_) {
        session_.emplace(*board_);
        if (!session_->prepare(ctx_, device_ ? device_->caption : std::string(), o_.chipFile,
                               o_.faults, error))
            return complain(kExitUsage, error);
        if (!o_.trace.empty()) board_->trace().enable(true);
    }
    // Only a real board has switches to set; the simulated one is checked when asked, a port
    // that did not open finds no board anyway.
    ctx_.profile.dipCheck = (!simulated && portError_.empty()) || o_.dipCheck;
    if (ctx_.profile.dipCheck) {
        dipStatePath_ = o_.dipState.empty() ? DefaultDipStatePath() : o_.dipState;
        ctx_.profile.dipConfirmed = LoadDipState(dipStatePath_);
        dipLoaded_ = ctx_.profile.dipConfirmed;
    }
    if (needsBoard && !portError_.empty()) return complain(kExitNoHardware, portError_);
    ctx_.bus.PowerDown();  // the board idles unpowered from the start
    startNs_ = ctx_.port().clock().nowNs();
    return kExitOk;
}

int Session::outcome() const {
    if (ctx_.profile.cancelRequested || TerminalFrontEnd::interrupted()) return kExitCancelled;
    if (ui_.sawHardwareError()) return kExitNoHardware;
    if (ui_.sawError()) return kExitFailed;
    if (ui_.sawRefusal()) return kExitCancelled;
    return kExitOk;
}

int Session::runCommand(Command which) {
    if (int status = refuseBeforeRun(which); status != kExitOk) return status;
    ui_.resetOutcome();
    watch_.clear();
    RunCommand(ctx_, which);
    const int status = outcome();
    afterwords(which, status);
    return status;
}

int Session::refuseBeforeRun(Command which) {
    const Action& action = FamilyFor(ctx_.profile.eep)[which];
    if (action.kind == Action::Kind::Nothing && ctx_.profile.eep == 29 && which == Command::Program)
        return complain(kExitUsage, "'program' is not offered for " + device_->caption +
                                        ": a mask-ROM part is read and verified only");
    if (action.kind == Action::Kind::Nothing)
        return complain(kExitUsage, std::string("'") + commandName(which) +
                                        "' is not offered for " + device_->caption);
    // Data that does not fit is refused before anything runs unless --truncate accepts it.
    if (const DataFit fit = CheckDataFit(ctx_, which); fit.kind == DataFit::Kind::OffsetPastEnd)
        return complain(kExitUsage, OffsetPastEndText(ctx_.profile));
    else if (fit.kind == DataFit::Kind::LeftOut && !o_.truncate)
        return complain(kExitUsage, DataLeftOutQuestion(ctx_, which, fit) + " (--truncate accepts)");
    // Without a terminal nobody can answer the offset question, and a No would run the
    // command from address 0: refuse rather than write where the user did not ask.
    if (ctx_.profile.Offset != 0 && !o_.yes && !::isatty(STDIN_FILENO))
        return complain(kExitUsage,
                        Format("Use offset of 0x%06X?", ctx_.profile.Offset) +
                            " cannot be asked: no terminal answers it (--yes answers Yes)");
    return kExitOk;
}

void Session::afterwords(Command which, int status) {
    const DeviceProfile& p = ctx_.profile;
    // The 0xFF fill of the 28C parts ends without a message of its own.
    if (status == kExitOk && which == Command::Erase && p.eep == 5)
        std::fprintf(stderr, "tavrin: erase done, every address of %s written with 0xFF\n",
                     device_->caption.c_str());
    // A byte write that did not take on a part that may be an AT28C with its software data
    // protection on (left so by the page writes of its own entry): say which entry writes it.
    const std::string entry = ProtectedPartEntryFor(p);
    if (status == kExitFailed && p.verifyError == 1 && !entry.empty() &&
        (which == Command::Program || which == Command::Erase)) {
        const std::string hint = "an AT28C part with software data protection ignores byte "
                                 "writes; if the chip is one, choose \"" + entry + "\"";
        std::fprintf(stderr, "hint: %s\n", hint.c_str());
        report_.fields()["hint"] = hint;
        report_.fields()["entry"] = entry;
    }
}

int Session::runAction(const std::function<void()>& action) {
    ui_.resetOutcome();
    watch_.clear();
    action();
    return outcome();
}

int Session::load(const std::string& path) {
    if (!o_.interleave.empty() || path.empty()) return loadInterleaved(path);
    std::optional<FileFormat> format;
    const std::string& chosen = !o_.inFormat.empty() ? o_.inFormat : o_.format;
    format = chosen.empty() ? InputFormatForName(path) : *FormatByName(chosen);
    ui_.resetOutcome();
    bool loaded = false;
    if (IsStdStream(path)) {
        std::vector<uint8_t> bytes;
        std::string reason;
        if (!ReadStandardInput(bytes, kStdinLimit, reason))
            return complain(kExitUsage, "cannot read standard input: " + reason);
        loaded = LoadImage(ctx_, FileSource::Memory("-", bytes), *format);
    } else {
        if (const std::string reason = UnreadableReason(path); !reason.empty())
            return complain(kExitUsage, "cannot load '" + path + "': " + reason);
        loaded = LoadImage(ctx_, path, *format);
    }
    // A HEX file that loads through the S-record fallback (or the reverse) shows the first
    // reader's error before it succeeds, so only the loader's answer counts.
    if (!loaded) return complain(kExitUsage, "cannot load '" + path + "': not a valid image file");
    if (int status = loadEeprom(); status != kExitOk) return status;
    if (o_.picConfig && ctx_.profile.PIC) {
        SetBufferWord(ctx_, ctx_.profile.picCfgIndex, *o_.picConfig);
        Winstat(ctx_);  // picConfig and the option values follow the word
    }
    return kExitOk;
}

int Session::loadInterleaved(const std::string& path) {
    if (o_.interleave.empty()) return complain(kExitUsage, "FILE (or --interleave EVEN ODD) is needed");
    if (!path.empty())
        return complain(kExitUsage, "give FILE or --interleave EVEN ODD, not both ('" + path + "')");
    if (const std::string refusal = SplitRefusal(ctx_.profile); !refusal.empty())
        return complain(kExitUsage, "--interleave: " + refusal);
    const std::string& chosen = !o_.inFormat.empty() ? o_.inFormat : o_.format;
    for (const std::string& half : o_.interleave) {
        if (IsStdStream(half)) return complain(kExitUsage, "--interleave needs files, not standard input");
        if (const std::string reason = UnreadableReason(half); !reason.empty())
            return complain(kExitUsage, "cannot load '" + half + "': " + reason);
    }
    ui_.resetOutcome();
    std::string error;
    if (!LoadInterleaved(ctx_, o_.interleave[0], o_.interleave[1],
                         chosen.empty() ? FileFormat::Auto : *FormatByName(chosen), error))
        return complain(kExitUsage, error + ": not a valid image file");
    return kExitOk;
}

int Session::prepareOutput(const std::string& path, FileFormat& format) {
    const std::string& chosen = !o_.outFormat.empty() ? o_.outFormat : o_.format;
    format = chosen.empty() || chosen == "auto" ? OutputFormatForName(path) : *FormatByName(chosen);
    // The EEP saver writes the AVR EEPROM area; any other device would get a file without data.
    if (format == FileFormat::Eep && ctx_.profile.eep != 14)
        return complain(kExitUsage,
                        "the EEP format holds the EEPROM area of an AVR" +
                            (device_ ? ", which " + device_->caption + " is not" : std::string()) +
                            "; choose bin, hex or srec");
    if (IsStdStream(path)) {
        report_.divertToStderr();  // standard output carries the image
        return kExitOk;
    }
    if (const std::string reason = UnwritableReason(path); !reason.empty())
        return complain(kExitUsage, "cannot write '" + path + "': " + reason);
    return kExitOk;
}

int Session::save(const std::string& path, FileFormat format) {
    const std::string target = IsStdStream(path) ? TemporaryOutputFile() : path;
    if (target.empty())
        return complain(kExitFailed, "cannot create a temporary file for standard output");
    const std::optional<Half> half = HalfByName(o_.split);
    if (half && !SplitRefusal(ctx_.profile).empty())
        return complain(kExitUsage, "--split: " + SplitRefusal(ctx_.profile));
    if (half ? !SaveHalf(ctx_, target, format, *half, SaveNaming::AsGiven)
             : !SaveImage(ctx_, target, format, SaveNaming::AsGiven)) {
        if (target != path) std::remove(target.c_str());
        return complain(kExitFailed, "cannot write '" + path + "'");
    }
    if (target != path && !CopyToStandardOutput(target))
        return complain(kExitFailed, "cannot write to standard output");
    return kExitOk;
}

namespace {

bool rawEepromFile(const std::string& path) {
    const FileFormat f = InputFormatForName(path);
    return f == FileFormat::Binary || f == FileFormat::Rom;
}

}  // namespace

int Session::loadEeprom() {
    const std::string& path = o_.eepromFile;
    if (path.empty()) return kExitOk;
    if (IsStdStream(path)) return complain(kExitUsage, "--eeprom needs a file, not standard input");
    if (const std::string reason = UnreadableReason(path); !reason.empty())
        return complain(kExitUsage, "cannot load '" + path + "': " + reason);
    const DeviceProfile& p = ctx_.profile;
    if (!rawEepromFile(path)) {
        if (!LoadImage(ctx_, path, FileFormat::Eep))
            return complain(kExitUsage, "cannot load '" + path + "': not a valid EEP file");
        return kExitOk;
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() > size_t(p.avrEepromSize))
        return complain(kExitUsage, Format("'%s' holds %zu bytes, the EEPROM of %s %d",
                                           path.c_str(), bytes.size(), device_->caption.c_str(),
                                           p.avrEepromSize));
    std::copy(bytes.begin(), bytes.end(), ctx_.Buffer.begin() + p.avrEepromBase);
    ctx_.profile.avrEepromLoaded = 1;
    Winstat(ctx_);
    return kExitOk;
}

int Session::saveEeprom() {
    const std::string& path = o_.eepromFile;
    if (path.empty()) return kExitOk;
    if (IsStdStream(path)) return complain(kExitUsage, "--eeprom needs a file, not standard output");
    if (!rawEepromFile(path)) return save(path, FileFormat::Eep);
    const DeviceProfile& p = ctx_.profile;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(ctx_.Buffer.data() + p.avrEepromBase),
              std::streamsize(p.avrEepromSize));
    return out ? kExitOk : complain(kExitFailed, "cannot write '" + path + "'");
}

int Session::finish(int status) {
    ctx_.bus.PowerDown();  // leaving: the socket is off whatever happened
    std::string error;
    if (session_ && !session_->save(error)) {
        complain(kExitFailed, error);
        if (status == kExitOk) status = kExitFailed;
    }
    if (board_ && !o_.trace.empty() && !board_->trace().writeVcdFile(o_.trace)) {
        complain(kExitFailed, "cannot write the trace '" + o_.trace + "'");
        if (status == kExitOk) status = kExitFailed;
    }
    if (board_ && o_.verbosity == Verbosity::Verbose)
        std::fprintf(stderr,
                     "simulated board: %llu port accesses, %.3f s of board time, socket %s\n",
                     static_cast<unsigned long long>(board_->accesses()), board_->nowUs() / 1e6,
                     board_->hostPowersSocket() ? "powered" : "unpowered");
    if (status == kExitOk && TerminalFrontEnd::interrupted()) status = kExitCancelled;
    return status;
}

}  // namespace tavrin::cli
