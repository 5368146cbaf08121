#include "cli/CliApp.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/CommandTable.h"
#include "cli/GlobalOptions.h"
#include "cli/Session.h"
#include "sim/FaultHelp.h"

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
        std::cout << SimFaultHelp();
        return kExitOk;
    }
    const CommandTable::Entry* entry = table.chosen();
    if (!entry) return usageError("no command given");
    return Session(options).run(*entry);
}

}  // namespace tavrin::cli
