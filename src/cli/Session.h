#pragma once
// One `tavrin` run: the context and its front end, the selected device, the port and the
// simulated board, and the helpers the commands share (loading, saving, running a device
// command and telling its exit status).

#include <functional>
#include <optional>
#include <string>

#include "buffer/FileFormat.h"
#include "cli/CliApp.h"
#include "cli/CommandTable.h"
#include "cli/JsonReport.h"
#include "cli/Options.h"
#include "cli/SimSession.h"
#include "cli/TerminalFrontEnd.h"
#include "core/Context.h"
#include "core/Dispatch.h"
#include "core/RunWatch.h"
#include "devices/Catalogue.h"

namespace tavrin::cli {

class Session {
  public:
    explicit Session(const Options& options);

    // Prepares what `entry` needs, runs it and leaves the socket unpowered; the exit status.
    int run(const CommandTable::Entry& entry);

    const Options& options() const { return o_; }
    Context& ctx() { return ctx_; }
    TerminalFrontEnd& ui() { return ui_; }
    // What the running command showed, and the JSON result it adds its own fields to.
    WatchingFrontEnd& watcher() { return watch_; }
    JsonReport& report() { return report_; }
    bool json() const { return o_.json; }
    const DeviceEntry* device() const { return device_; }

    // "tavrin: <text>" on stderr; returns `status`.
    static int complain(int status, const std::string& text);

    // Runs one of the six device commands through the command frame.
    int runCommand(Command which);
    // The exit status of what the last command or routine showed.
    int lastOutcome() const { return outcome(); }
    // What the tool refuses before a device command runs (no such routine, data that does not
    // fit, an offset question nobody can answer); kExitOk when it may run.
    int refuseBeforeRun(Command which);
    // Runs a routine outside the six commands (as a window button would, without the hardware
    // check) and tells its exit status from what it showed.
    int runAction(const std::function<void()>& action);
    // Loads an input file ("-" = standard input) in the format the options or its name give.
    int load(const std::string& path);
    // --interleave EVEN ODD in place of FILE (`path` empty).
    int loadInterleaved(const std::string& path);
    // Picks the format of an output file and checks that it can be written, before any chip
    // is read; `format` is set on success.
    int prepareOutput(const std::string& path, FileFormat& format);
    // Writes the image ("-" = standard output).
    int save(const std::string& path, FileFormat format);
    // AVR --eeprom FILE: loads it into the EEPROM area (after the flash file, whose load refills
    // that area with 0xFF), or writes the area to it after a read. Nothing without the option.
    int loadEeprom();
    int saveEeprom();

  private:
    int prepareAndRun(const CommandTable::Entry& entry);
    // Lines of the tool's own after a command: the close of a routine that shows none, and the
    // hint for a 28C entry whose part may be a protected AT28C.
    void afterwords(Command which, int status);

    int selectDevice();
    int applyOptions();
    // --wp for the 24Cxxx, --protect and --wpen for the 25Cxxx.
    int applySerialOptions();
    int openPort(bool needsBoard);
    int finish(int status);
    int outcome() const;

    Options o_;
    TerminalFrontEnd ui_;
    WatchingFrontEnd watch_{ui_};
    JsonReport report_;
    Context ctx_;
    std::optional<double> startNs_;
    const DeviceEntry* device_ = nullptr;
    sim::SimBoard* board_ = nullptr;
    std::optional<SimSession> session_;
    std::string portError_;
    std::string dipStatePath_, dipLoaded_;  // the confirmed DIP setting as the run found it
};

}  // namespace tavrin::cli
