#include "cli/CliApp.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>

#include "buffer/Checksum.h"
#include "buffer/FileCommands.h"
#include "buffer/RomIdent.h"
#include "cli/DeviceListing.h"
#include "cli/Options.h"
#include "cli/SimSession.h"
#include "cli/TerminalFrontEnd.h"
#include "core/Commands.h"
#include "core/ImageBuffer.h"
#include "core/PortSetup.h"
#include "core/RunFrame.h"
#include "devices/Catalogue.h"

namespace tavrin::cli {

namespace {

int complain(int status, const std::string& text) {
    std::cerr << "tavrin: " << text << '\n';
    return status;
}

bool isHardwareCommand(const std::string& c) {
    return c == "read" || c == "program" || c == "verify" || c == "blank" || c == "erase" ||
           c == "id" || c == "test-hardware";
}

bool needsDevice(const std::string& c) {
    return c == "info" || c == "checksum" || (isHardwareCommand(c) && c != "test-hardware");
}

size_t expectedArgs(const std::string& c) {
    if (c == "read" || c == "program" || c == "verify" || c == "checksum" || c == "romident") return 1;
    if (c == "convert") return 2;
    return 0;
}

// Families whose program routine honours the option.
bool honoursSkipFF(int32_t eep) {
    for (int e : {0, 3, 4, 5, 12, 13, 15, 19, 23, 24, 25, 26, 27, 30, 31})
        if (e == eep) return true;
    return false;
}
bool honoursFast(int32_t eep) { return eep == 4 || eep == 12 || eep == 15 || eep == 23 || eep == 27; }

class App {
public:
    explicit App(Options options)
        : o_(std::move(options)), ui_(o_.verbosity, o_.yes), ctx_(&ui_) {
        ui_.attach(&ctx_);
    }

    int run() {
        const std::string& c = o_.command;
        if (c == "help") {
            std::cout << UsageText();
            return kExitOk;
        }
        if (c == "help-faults") return printFaultHelp();
        if (!knownCommand(c)) return complain(kExitUsage, "unknown command '" + c + "'\n" + UsageText());
        if (o_.args.size() != expectedArgs(c) && !(c == "devices" && o_.args.size() <= 1))
            return complain(kExitUsage, "'" + c + "' takes " + std::to_string(expectedArgs(c)) +
                                            " argument(s)");
        if (c == "devices") return listDevices();
        if (int status = selectDevice(); status != kExitOk) return status;
        if (needsDevice(c) && !device_)
            return complain(kExitUsage, "'" + c + "' needs a device: use -d NAME (see 'tavrin devices')");
        if (int status = applyOptions(); status != kExitOk) return status;
        if (int status = openPort(); status != kExitOk) return status;
        TerminalFrontEnd::installInterruptHandler();
        const int status = dispatch();
        return finish(status);
    }

private:
    static bool knownCommand(const std::string& c) {
        for (const char* k : {"devices", "info", "read", "program", "verify", "blank", "erase", "id",
                              "test-hardware", "checksum", "convert", "romident"})
            if (c == k) return true;
        return false;
    }

    int printFaultHelp() {
        std::cout << "--sim-fault FAULT (repeatable):\n"
                     "  stuck:ADDR:BIT=V   bit BIT of chip address ADDR always reads V\n"
                     "  slow:ADDR:K        the cells of ADDR need K program pulses\n"
                     "  never-programs     the chip takes no program pulse\n"
                     "  no-chip            empty socket\n"
                     "  board-absent       no board on the port\n"
                     "  board-unpowered    board present, its supply off\n"
                     "  busy-stuck:0|1     printer-port pin 11 stuck at that level\n";
        return kExitOk;
    }

    int listDevices() {
        const std::string text = o_.args.empty() ? std::string() : o_.args[0];
        const auto entries = MatchDevices(text);
        std::cout << (o_.json ? DevicesJson(entries) : DevicesTable(entries));
        return entries.empty() && !text.empty() ? kExitUsage : kExitOk;
    }

    int selectDevice() {
        if (o_.device.empty()) return kExitOk;
        device_ = FindDevice(o_.device);
        if (!device_) {
            const auto candidates = FindCandidates(o_.device);
            if (candidates.empty())
                return complain(kExitUsage, "unknown device '" + o_.device + "' (see 'tavrin devices')");
            std::string list;
            for (const DeviceEntry* e : candidates) list += "\n  " + e->caption;
            return complain(kExitUsage, "device '" + o_.device + "' is ambiguous; candidates:" + list);
        }
        if (!device_->selectable || !device_->enabled)
            return complain(kExitUsage, "'" + device_->caption + "' cannot be selected: the programmer "
                                        "does not support it");
        SelectDevice(ctx_, *device_);
        return kExitOk;
    }

    int applyOptions() {
        DeviceProfile& p = ctx_.profile;
        if (o_.board) p.tavrin = *o_.board;
        if (o_.offset) {
            if (!device_) return complain(kExitUsage, "--offset needs a device");
            if (!ctx_.controls.edOffsetEnabled)
                return complain(kExitUsage, "--offset does not apply to " + device_->caption);
            p.Offset = *o_.offset;
            ctx_.controls.edOffsetText = Format("%04x", p.Offset);
        }
        if (o_.skipFF || o_.fast) {
            if (!device_) return complain(kExitUsage, "--skip-ff and --fast need a device");
            const bool programBuilt = FamilyFor(p.eep).program.kind == Action::Kind::Run;
            const char* option = o_.skipFF && !honoursSkipFF(p.eep) ? "--skip-ff"
                                 : o_.fast && !honoursFast(p.eep)   ? "--fast"
                                                                    : nullptr;
            if (option)
                return complain(kExitUsage, std::string(option) + " does not apply to " + device_->caption);
            if (!programBuilt)
                return complain(kExitUsage, std::string(o_.skipFF ? "--skip-ff" : "--fast") +
                                                ": programming " + device_->caption +
                                                " is not available in this build yet");
            if (o_.skipFF) p.skipFF = 1;
            if (o_.fast) p.fastPro = 1;
        }
        return kExitOk;
    }

    int openPort() {
        PortChoice choice;
        std::string error;
        if (!ParsePortChoice(o_.port, choice, error)) return complain(kExitUsage, error);
        const bool simulated = choice.kind == PortChoice::Kind::Simulated;
        if (!simulated && (!o_.chipFile.empty() || !o_.faults.empty() || !o_.trace.empty()))
            return complain(kExitUsage, "--chip-file, --sim-fault and --trace work with the simulated board only");
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
        if (isHardwareCommand(o_.command) && !portError_.empty())
            return complain(kExitNoHardware, portError_);
        ctx_.bus.PowerDown();  // the board idles unpowered from the start
        return kExitOk;
    }

    int dispatch() {
        const std::string& c = o_.command;
        if (c == "info") return info();
        if (c == "test-hardware") return mnuTestClick(ctx_) == 0 ? kExitOk : kExitNoHardware;
        if (c == "read") return readChip();
        if (c == "program") return withFile(Command::Program);
        if (c == "verify") return withFile(Command::Verify);
        if (c == "blank") return command(Command::Blank);
        if (c == "erase") return command(Command::Erase);
        if (c == "id") return command(Command::GetId);
        if (c == "checksum") return checksum();
        if (c == "convert") return convert();
        if (c == "romident") return romident();
        return kExitUsage;
    }

    std::optional<FileFormat> loadFormat(const std::string& path) const {
        if (o_.format.empty()) return FormatForExtension(path);
        return formatByName(o_.format);
    }
    std::optional<FileFormat> saveFormat(const std::string& path) const {
        if (o_.format.empty() || o_.format == "auto") return FormatForExtension(path);
        return formatByName(o_.format);
    }
    static std::optional<FileFormat> formatByName(const std::string& name) {
        if (name == "bin") return FileFormat::Binary;
        if (name == "hex") return FileFormat::IntelHex;
        if (name == "srec") return FileFormat::SRecord;
        if (name == "eep") return FileFormat::Eep;
        if (name == "auto") return FileFormat::Auto;
        return std::nullopt;
    }

    // A HEX file that loads through the S-record fallback (or the reverse) shows the first
    // reader's error before it succeeds, so only the loader's answer counts.
    bool load(const std::string& path) { return LoadImage(ctx_, path, *loadFormat(path)); }

    // The exit status of a routine that has run, from what it showed.
    int outcome() const {
        if (ctx_.profile.cancelRequested || TerminalFrontEnd::interrupted()) return kExitCancelled;
        if (ui_.sawHardwareError()) return kExitNoHardware;
        if (ui_.sawError()) return kExitFailed;
        return kExitOk;
    }

    int command(Command which) {
        const Action& action = FamilyFor(ctx_.profile.eep)[which];
        if (action.kind == Action::Kind::Nothing)
            return complain(kExitUsage, "'" + o_.command + "' is not available for " + device_->caption +
                                            " in this build");
        ui_.resetOutcome();
        RunCommand(ctx_, which);
        return outcome();
    }

    int withFile(Command which) {
        const std::string& path = o_.args[0];
        if (FamilyFor(ctx_.profile.eep)[which].kind == Action::Kind::Nothing) return command(which);
        if (!load(path)) return complain(kExitUsage, "cannot load '" + path + "'");
        return command(which);
    }

    int readChip() {
        const std::string& path = o_.args[0];
        const auto format = saveFormat(path);
        if (!format) return complain(kExitUsage, "unknown --format");
        const int status = command(Command::Read);
        if (status != kExitOk) return status;
        if (!SaveImage(ctx_, path, *format, SaveNaming::AsGiven))
            return complain(kExitUsage, "cannot write '" + path + "'");
        return kExitOk;
    }

    int checksum() {
        if (!load(o_.args[0])) return complain(kExitUsage, "cannot load '" + o_.args[0] + "'");
        const size_t length = ChecksumLength(ctx_, ctx_.profile.bufferSize);
        std::cout << "16 Bit Addition: " << ChecksumText(ctx_.Buffer.data(), length, kCheckSum16) << '\n'
                  << "32 Bit CRC:     " << ChecksumText(ctx_.Buffer.data(), length, kCheckCrc32) << '\n';
        return kExitOk;
    }

    int convert() {
        const std::string &in = o_.args[0], &out = o_.args[1];
        const auto outFormat = saveFormat(out);
        if (!outFormat) return complain(kExitUsage, "unknown --format");
        ClearBuf(ctx_, 1);
        ui_.resetOutcome();
        const FileFormat inFormat = o_.format == "auto" ? FileFormat::Auto : FormatForExtension(in);
        if (!LoadImage(ctx_, in, inFormat))
            return complain(kExitUsage, "cannot load '" + in + "'");
        // Without a device the image is as long as the data the file held.
        if (!device_) SetBufferSize(ctx_, int32_t(ctx_.profile.bufferLoaded));
        if (!SaveImage(ctx_, out, *outFormat, SaveNaming::AsGiven))
            return complain(kExitUsage, "cannot write '" + out + "'");
        return kExitOk;
    }

    int romident() {
        if (!load(o_.args[0])) return complain(kExitUsage, "cannot load '" + o_.args[0] + "'");
        RomIdentDatabase db(o_.romdb);
        const RomIdentResult result = RomIdentClick(ctx_, db);
        switch (result.kind) {
            case RomIdentResult::Kind::Listing: std::cout << result.text; return kExitOk;
            case RomIdentResult::Kind::NotFound: return kExitFailed;
            default: return kExitUsage;
        }
    }

    int info() {
        std::cout << DeviceInfoText(ctx_, *device_);
        return kExitOk;
    }

    int finish(int status) {
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
            std::fprintf(stderr, "simulated board: %llu port accesses, %.3f s of board time\n",
                         static_cast<unsigned long long>(board_->accesses()), board_->nowUs() / 1e6);
        if (status == kExitOk && TerminalFrontEnd::interrupted()) status = kExitCancelled;
        return status;
    }

    Options o_;
    TerminalFrontEnd ui_;
    Context ctx_;
    const DeviceEntry* device_ = nullptr;
    sim::SimBoard* board_ = nullptr;
    std::optional<SimSession> session_;
    std::string portError_;
};

}  // namespace

int RunCli(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) return complain(kExitUsage, error + "\n" + UsageText());
    return App(std::move(options)).run();
}

}  // namespace tavrin::cli
