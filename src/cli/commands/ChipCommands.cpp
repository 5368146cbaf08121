// The device commands: read, program, verify, blank, erase, id and the hardware check.
#include <iostream>
#include <memory>

#include "cli/CliFiles.h"
#include "cli/CommandTable.h"
#include "cli/ConsistencyOutput.h"
#include "cli/DifferenceOutput.h"
#include "cli/ElectronicIdOutput.h"
#include "cli/SerialNumbers.h"
#include "cli/Session.h"
#include "core/Commands.h"

namespace tavrin::cli {

namespace {

// FILE may be left out for an AVR's EEPROM area alone: `--eeprom FILE` without a flash file.
bool eepromAlone(Session& s, const std::string& path) {
    return path.empty() && s.options().interleave.empty() && s.ctx().profile.eep == 14 &&
           !s.options().eepromFile.empty();
}

// A command that loads FILE first, unless the family has no such routine (then the command
// itself says so). Without FILE an AVR runs on its EEPROM file alone.
int withFile(Session& s, Command which, const std::string& path) {
    if (FamilyFor(s.ctx().profile.eep)[which].kind != Action::Kind::Nothing)
        if (int status = eepromAlone(s, path) ? s.loadEeprom() : s.load(path); status != kExitOk)
            return status;
    const int status = s.runCommand(which);
    if (which == Command::Program && status == kExitFailed) ExplainProgramFailure(s);
    return status;
}

struct VerifyRequest {
    std::string path;
    bool all = false;
    size_t list = 16;
};

int verify(Session& s, const VerifyRequest& r) {
    if (!r.all) return withFile(s, Command::Verify, r.path);
    if (FamilyFor(s.ctx().profile.eep)[Command::Read].kind == Action::Kind::Nothing)
        return s.runCommand(Command::Read);  // says that the family cannot be read
    if (int status = s.load(r.path); status != kExitOk) return status;
    return VerifyAll(s, r.list);
}

// Program, with --serial the next number in the image and the state moved on after a pass.
int programWithSerial(Session& s, const std::string& path) {
    SerialNumbers serial;
    if (int status = serial.prepare(s); status != kExitOk) return status;
    if (!serial.active()) return withFile(s, Command::Program, path);
    if (int status = s.load(path); status != kExitOk) return status;
    if (int status = serial.stamp(s); status != kExitOk) return status;
    const int status = s.runCommand(Command::Program);
    if (status == kExitFailed) ExplainProgramFailure(s);
    if (int st = serial.finished(s, status == kExitOk); st != kExitOk) return st;
    return status;
}

struct ReadRequest {
    std::string path;
    int passes = 1;
    size_t list = 16;
};

int readChip(Session& s, const ReadRequest& r) {
    const std::string& path = r.path;
    const bool alone = eepromAlone(s, path);
    if (path.empty() && !alone)
        return Session::complain(kExitUsage,
                                 "'read' needs FILE (an AVR's EEPROM area alone: "
                                 "--eeprom FILE and no FILE); try 'tavrin --help'");
    FileFormat format{};
    if (!alone)
        if (int status = s.prepareOutput(path, format); status != kExitOk) return status;
    auto save = [&] {
        if (!alone)
            if (int status = s.save(path, format); status != kExitOk) return status;
        return s.saveEeprom();
    };
    if (r.passes > 1) return ReadPasses(s, path, r.passes, r.list, save);
    if (int status = s.runCommand(Command::Read); status != kExitOk) return status;
    return save();
}

// Get ID, then the panel's fields on stdout.
int electronicId(Session& s) {
    const int status = s.runCommand(Command::GetId);
    if (const auto& id = s.ui().lastId()) {
        if (s.json())  // the codes join the result object
            s.report().fields().update(ElectronicIdJson(*id));
        else
            PrintElectronicId(*id, false, std::cout);
    }
    return status;
}

}  // namespace

void AddChipCommands(CommandTable& table) {
    auto reading = std::make_shared<ReadRequest>();
    CLI::App* r = table.add("read", "read the chip into FILE (\"-\": standard output)", Needs::Chip,
                            [reading](Session& s) { return readChip(s, *reading); });
    r->add_option("FILE", reading->path, "output file (AVR: may be left out with --eeprom)");
    r->add_option("--passes", reading->passes,
                  "read N times, save the bitwise majority and list the bytes whose reads "
                  "disagree (exit status 1 when there are any)")
        ->type_name("N")
        ->check(CLI::Range(1, kMaxReadPasses));
    r->add_option("--list", reading->list, "unstable bytes --passes lists (default 16)")
        ->type_name("N");
    auto file = std::make_shared<std::string>();
    table
        .add("program",
             "load FILE (\"-\": standard input) and program it, with the family's own verify",
             Needs::Chip, [file](Session& s) { return programWithSerial(s, *file); })
        ->add_option("FILE", *file,
                     "input file (or --interleave EVEN ODD; AVR: may be left out with --eeprom)");
    auto check = std::make_shared<VerifyRequest>();
    CLI::App* v = table.add("verify", "compare the chip with FILE (\"-\": standard input)",
                            Needs::Chip, [check](Session& s) { return verify(s, *check); });
    v->add_option("FILE", check->path,
                  "input file (or --interleave EVEN ODD; AVR: may be left out with --eeprom)");
    v->add_flag("--all", check->all,
                "report every difference: count, bits by direction, the first addresses");
    v->add_option("--list", check->list, "addresses --all lists (default 16)")->type_name("N");
    table.add("blank", "blank check", Needs::Chip,
              [](Session& s) { return s.runCommand(Command::Blank); });
    table.add("id", "electronic ID: manufacturer and device, names and codes (--json: an object)",
              Needs::Chip, electronicId);
    table.add("erase", "erase", Needs::Chip, [](Session& s) {
        const int status = s.runCommand(Command::Erase);
        // The MCS-51 and AVR chip erases show no message of their own: say that they ran through.
        const int32_t eep = s.ctx().profile.eep;
        if (status == kExitOk && (eep == 10 || eep == 11 || eep == 14))
            s.ui().message("Chip erased", MessageKind::Success);
        return status;
    });
    auto lines = std::make_shared<bool>(false);
    table
        .add("test-hardware",
             "the hardware presence check (--lines: every socket line, through a static RAM)",
             Needs::Board,
             [lines](Session& s) -> int {
                 if (*lines) return TestSocketLinesCommand(s);
                 return mnuTestClick(s.ctx()) == 0 ? kExitOk : kExitNoHardware;
             })
        ->add_flag("--lines", *lines,
                   "drive each data and address line in turn through the static RAM in the socket "
                   "(-d 62256 or another RAM entry) and name a stuck line");
    table.add("test-ram", "static RAM test: two patterns written and read back", Needs::Chip,
              [](Session& s) {
                  if (s.ctx().profile.eep != 21)
                      return s.complain(kExitUsage, "test-ram applies to the SRAM entries only");
                  return s.runCommand(Command::Program);
              });
}

}  // namespace tavrin::cli
