#include "cli/CliApp.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/CommandTable.h"
#include "cli/GlobalOptions.h"
#include "cli/Session.h"

namespace tavrin::cli {

namespace {

// Each command group adds its commands here; a new group is one more line.
constexpr void (*kCommandGroups[])(CommandTable&) = {
    AddCatalogueCommands,
    AddChipCommands,
    AddImageCommands,
    AddSectorProtectionCommands,
    AddAvrCommands,
    AddLockCommands,
    AddProductionCommands,
    AddDiagnosticCommands,
};

const char* const kFooter =
    "Options may come before or after the command; --opt=value works as well as --opt value.\n"
    "A run with --offset asks \"Use offset of 0x...\" first; --yes answers it, and without a\n"
    "terminal and without --yes the run is refused.\n"
    "Input files named .bin .rom .hex .s .eep are read by that format, any other by their "
    "contents.\n"
    "Exit status: 0 success, 1 operation failed, 2 usage or input error, 3 no hardware, 4 "
    "cancelled.\n";

const char* const kFaultHelp =
    "--sim-fault FAULT (repeatable):\n"
    "  stuck:ADDR:BIT=V   bit BIT of chip address ADDR always reads V\n"
    "  flaky:ADDR:BIT     bit BIT of ADDR reads inverted on every second read of the chip\n"
    "                     (read --passes N finds it)\n"
    "  slow:ADDR:K        the cells of ADDR need K program pulses\n"
    "  never-programs     the chip takes no program pulse\n"
    "  locked:N           lock bits 1..N of an MCS-51 part programmed (N 0-3)\n"
    "  code-protected     PIC: the code protection (and data protection) bits programmed\n"
    "  data-stuck:BYTE:BIT=V  PIC: bit BIT of data EEPROM byte BYTE always reads V\n"
    "  no-chip            empty socket\n"
    "  board-absent       no board on the port\n"
    "  board-unpowered    board present, its supply off\n"
    "  board-lost-after:N the board goes away after N port accesses (mid-run)\n"
    "  signal:SIG:N       the tool gets SIGINT, SIGTERM or SIGHUP (INT, TERM, HUP) after N\n"
    "                     port accesses\n"
    "  busy-stuck:0|1     printer-port pin 11 stuck at that level\n"
    "  line-stuck:LINE=V  socket line A0..A18 or D0..D7 held at V (test-hardware --lines)\n"
    "JEDEC flash (29F, 39SF, 49F, 29F00x, 29Fx00, MX29F040):\n"
    "  protect:SECTOR     sector SECTOR protected (AT49F00x: the boot block locked)\n"
    "  slow-erase:K       the chip erase takes K times as long\n"
    "  id:MAKER:DEVICE    the part answers these ID codes\n"
    "  ignores-protect    MX29F040 that ignores the protect and unprotect commands\n"
    "  (slow:ADDR:K: programming the byte takes K times as long)\n"
    "AVR (AT90S):\n"
    "  avr-locked:1..3    the lock bits of that mode programmed\n"
    "  avr-busy-stuck     RDY/BSY never returns after the first write\n"
    "  avr-fuse-pulse:US  the fuse cells need a /WR pulse of US microseconds\n"
    "  (stuck:ADDR and slow:ADDR take flash byte addresses; EEPROM bytes at 0x40000 up)\n"
    "28F0x0, MX26C, MX28F2000, i28Fx00, SST28SF040A, LE28F4001:\n"
    "  slow-erase:K       the erase takes K times as long (28F0x0: K times the pulses)\n"
    "  unerasable:ADDR    the erase unit holding ADDR never erases (28F0x0: that byte)\n"
    "  vpp-missing        the programming voltage never reaches the chip\n"
    "  id:MAKER:DEVICE    the part answers these ID codes\n";

int usageError(const std::string& what) {
    std::cerr << "tavrin: " << what << "; try 'tavrin --help'\n";
    return kExitUsage;
}

}  // namespace

int RunCli(int argc, char** argv) {
    CLI::App app("tavrin: the device programmer from the command line (simulated board by default)",
                 "tavrin");
    app.footer(kFooter);
    app.set_version_flag("--version", "tavrin " TAVRIN_VERSION);
    app.fallthrough();
    app.require_subcommand(0, 1);
    Options options;
    AddGlobalOptions(app, options);
    bool faultHelp = false;
    app.add_flag("--help-faults", faultHelp, "the faults --sim-fault can inject");
    CommandTable table(app);
    for (auto addGroup : kCommandGroups) addGroup(table);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return usageError(e.what());
    }
    if (faultHelp) {
        std::cout << kFaultHelp;
        return kExitOk;
    }
    const CommandTable::Entry* entry = table.chosen();
    if (!entry) return usageError("no command given");
    return Session(options).run(*entry);
}

}  // namespace tavrin::cli
