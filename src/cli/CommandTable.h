#pragma once
// The commands of `tavrin`: each group of commands adds its entries in a file of its own
// (commands/*.cpp), and the tool runs the one the command line named.
//
//   CLI::App* sub = table.add("blank", "blank check", Needs::Chip,
//                             [](Session& s) { return s.runCommand(Command::Blank); });
//   sub->add_option("--pattern", ...);  // options of that command only

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

namespace tavrin::cli {

class Session;

// What the session prepares before a command runs.
enum class Needs {
    Nothing,  // runs without device, port or simulated board (listings)
    Image,    // device optional; the port and the simulated board are set up
    Device,   // a device must be selected; the port need not answer
    Board,    // no device needed, the programmer must answer
    Chip,     // a device and a programmer that answers
};

class CommandTable {
  public:
    using Body = std::function<int(Session&)>;
    struct Entry {
        CLI::App* parser;
        Needs needs;
        Body body;
    };

    explicit CommandTable(CLI::App& app) : app_(app) {}
    // Adds a subcommand; `body` runs once the session is prepared as `needs` says and returns the
    // exit status.
    CLI::App* add(const std::string& name, const std::string& description, Needs needs, Body body);
    // The entry the parsed command line named; nullptr when none.
    const Entry* chosen() const;

  private:
    CLI::App& app_;
    std::vector<Entry> entries_;
};

// The command groups; each lives in commands/<Group>Commands.cpp.
void AddCatalogueCommands(CommandTable& table);
void AddChipCommands(CommandTable& table);
void AddImageCommands(CommandTable& table);
void AddSectorProtectionCommands(CommandTable& table);
void AddAvrCommands(CommandTable& table);
// The AVR side of the `lock` command (modes 1-3), which the lock-bit commands share.
int WriteAvrLock(Session& s, int mode);
void AddLockCommands(CommandTable& table);
void AddProductionCommands(CommandTable& table);
void AddDiagnosticCommands(CommandTable& table);
// test-hardware --lines (commands/DiagnosticCommands.cpp).
int TestSocketLinesCommand(Session& s);

}  // namespace tavrin::cli
