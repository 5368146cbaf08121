#include "cli/GlobalOptions.h"

#include <cctype>
#include <cstdlib>

namespace tavrin::cli {

namespace {

std::string lowered(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const char* const kFormats = "bin|hex|srec|eep|auto";

void checkFormat(const std::string& option, const std::string& value) {
    for (const char* f : {"bin", "hex", "srec", "eep", "auto"})
        if (value == f) return;
    throw CLI::ValidationError(option, "is bin, hex, srec, eep or auto, not '" + value + "'");
}

}  // namespace

void AddGlobalOptions(CLI::App& app, Options& o) {
    app.add_option("-d,--device", o.device,
                   "device by caption or part name (\"27C256\", \"M27C256\", \"25x640\")")
        ->type_name("NAME");
    app.add_option("-p,--port", o.port,
                   "sim (default) | ppdev[:/dev/parportN] | io[:0x378|0x278|0x3BC]")
        ->type_name("PORT");
    app.add_option("--chip-file", o.chipFile,
                   "simulated board: keep the chip's contents and state in PATH")
        ->type_name("PATH");
    app.add_option("--sim-fault", o.faults,
                   "simulated board: inject a fault (repeatable; see --help-faults)")
        ->type_name("FAULT")
        ->allow_extra_args(false);  // one fault per --sim-fault
    app.add_option_function<std::string>(
           "--offset",
           [&o](const std::string& value) {
               char* end = nullptr;
               const unsigned long long v = std::strtoull(value.c_str(), &end, 16);
               if (value.empty() || *end != '\0' || value[0] == '-' || v > 0xFFFFFFFFull)
                   throw CLI::ValidationError("--offset",
                                              "needs a hexadecimal number, not '" + value + "'");
               o.offset = uint32_t(v);
           },
           "first device address of the run (hexadecimal); asks first, --yes answers")
        ->type_name("HEX");
    app.add_flag("--skip-ff", o.skipFF, "do not program bytes equal to 0xFF");
    app.add_flag("--fast", o.fast, "fast command sequences (flash families)");
    app.add_option_function<std::string>(
           "--fast-erase",
           [&o](const std::string& value) {
               const std::string v = lowered(value);
               if (v != "on" && v != "off")
                   throw CLI::ValidationError("--fast-erase", "is on or off, not '" + value + "'");
               o.fastErase = v == "on" ? 1 : 0;
           },
           "28F0x0 erase verify: every 100th byte (on) or every byte (off, the default)")
        ->type_name("on|off");
    app.add_option_function<std::string>(
           "--command-set",
           [&o](const std::string& value) {
               const std::string v = lowered(value);
               if (v == "5555" || v == "aaaa")
                   o.commandSet = 1;
               else if (v == "555" || v == "aaa")
                   o.commandSet = 0;
               else
                   throw CLI::ValidationError("--command-set",
                                              "is 5555 or 555 (AAAA or AAA), not '" + value + "'");
           },
           "JEDEC flash command addresses: 5555 = 0x5555/0x2AAA, 555 = 0x555/0x2AA (29Fx00: "
           "AAAA/5555 or AAA/555)")
        ->type_name("5555|555");
    app.add_flag("--unprotect", o.unprotect,
                 "29F00x/AT49F00x and 29Fx00: 12 V on #RESET/Vpp (Temporary Sector Unprotect)");
    app.add_flag("--fujitsu-fast", o.fujitsuFast, "29Fx00: program in the Fujitsu fast mode");
    app.add_option("--lock", o.lock,
                   "MCS-51: lock mode written after programming (0 none, 1 bit 1, 2 bits 1+2, "
                   "3 bits 1+2+3)")
        ->type_name("0-3")
        ->check(CLI::Range(0, 3));
    app.add_flag("--no-id-check", o.noIdCheck,
                 "program and erase without first checking that the chip's ID is the selected "
                 "part's");
    app.add_flag("--diff-write", o.diffWrite,
                 "program and auto on 28C, AT28C, DS12xx, 24C, 25C and 93C EEPROMs: read the chip "
                 "first and write only the bytes or pages that differ");
    app.add_flag("--dip-check", o.dipCheck,
                 "check the DIP switches before power also on the simulated board (a real port "
                 "always checks): a setting that differs from the last one confirmed is listed "
                 "and asked about; --yes answers");
    app.add_option("--dip-state", o.dipState,
                   "the file that keeps the last DIP-switch setting confirmed (default "
                   "~/.config/tavrin/dip-switches)")
        ->type_name("PATH");
    app.add_option("--serial", o.serial,
                   "program and auto: write a serial number of BYTES bytes at ADDR into the image "
                   "before each chip, START (default 1) going up by STEP (default 1) after each "
                   "chip that passed")
        ->type_name("ADDR:BYTES[:START[:STEP]]");
    app.add_option_function<std::string>(
           "--serial-format",
           [&o](const std::string& v) { o.serialForm = v, o.serialFormSet = true; },
           "the serial number as binary little or big endian, or ASCII hex digits in either "
           "byte order (BYTES counts the characters)")
        ->type_name("le|be|hex-le|hex-be");
    app.add_option_function<std::string>(
           "--serial-state", [&o](const std::string& v) { o.serialState = v, o.serialStateSet = true; },
           "the file that keeps the next serial number (default tavrin-serial.state); START only "
           "seeds a new one")
        ->type_name("FILE");
    app.add_flag("--truncate", o.truncate,
                 "program or verify only the part of a file that fits the device");
    app.add_option_function<std::string>(
           "--wp",
           [&o](const std::string& value) {
               const std::string v = lowered(value);
               if (v != "high" && v != "low")
                   throw CLI::ValidationError("--wp", "is high or low, not '" + value + "'");
               o.pin7 = v == "high" ? 1 : 0;
           },
           "24Cxxx pin 7 (WP) during the run: low (normal, the default) or high (write protect)")
        ->type_name("low|high");
    app.add_option_function<std::string>(
           "--protect",
           [&o](const std::string& value) {
               const std::string v = lowered(value);
               const char* names[] = {"none", "quarter", "half", "all"};
               for (int i = 0; i < 4; ++i)
                   if (v == names[i]) return void(o.protect = i);
               throw CLI::ValidationError("--protect",
                                          "is none, quarter, half or all, not '" + value + "'");
           },
           "25Cxxx block write protection that program sets last (upper quarter, upper half, "
           "whole array)")
        ->type_name("none|quarter|half|all");
    app.add_flag("--wpen", o.wpen, "25Cxxx: set WPEN with the protection (8 Kbit and larger)");
    app.add_option_function<std::string>(
           "--board",
           [&o](const std::string& value) {
               const std::string v = lowered(value);
               if (v == "pcb3")
                   o.board = 1;
               else if (v == "tavrin")
                   o.board = 0;
               else
                   throw CLI::ValidationError("--board", "is pcb3 or tavrin, not '" + value + "'");
           },
           "board variant for the DIP-switch picture")
        ->type_name("pcb3|tavrin");
    app.add_option_function<std::string>(
           "--format", [&o](const std::string& v) { checkFormat("--format", v), o.format = v; },
           "file format of input and output files instead of the name")
        ->type_name(kFormats);
    app.add_option_function<std::string>(
           "--in-format",
           [&o](const std::string& v) { checkFormat("--in-format", v), o.inFormat = v; },
           "file format of input files (auto: told by the contents)")
        ->type_name(kFormats);
    app.add_option_function<std::string>(
           "--out-format",
           [&o](const std::string& v) { checkFormat("--out-format", v), o.outFormat = v; },
           "file format of output files")
        ->type_name(kFormats);
    app.add_option("--romdb", o.romdb,
                   "folder of romident.gam and romident.rom (default: current folder)")
        ->type_name("DIR");
    app.add_flag("-y,--yes", o.yes,
                 "answer Yes to the offset question and the PIC programming question (needed "
                 "when no terminal can answer them)");
    app.add_option_function<std::string>(
           "--config",
           [&o](const std::string& value) {
               char* end = nullptr;
               const unsigned long v = std::strtoul(value.c_str(), &end, 16);
               if (value.empty() || *end != '\0' || value[0] == '-' || v > 0x3FFF)
                   throw CLI::ValidationError(
                       "--config", "needs a hexadecimal word of at most 3FFF, not '" + value + "'");
               o.picConfig = uint16_t(v);
           },
           "PIC: the configuration word to program instead of the loaded file's (hexadecimal)")
        ->type_name("HEX");
    app.add_option("--eeprom", o.eepromFile,
                   "AVR: the EEPROM area's file, loaded after FILE by program and verify and "
                   "written by read (EEP; .bin/.rom: raw bytes); without FILE the EEPROM area "
                   "alone")
        ->type_name("FILE");
    app.add_flag("--write-osccal", o.writeOsccal,
                 "PIC 12C50x: also program the last word, the chip's factory oscillator "
                 "calibration (kept otherwise)");
    app.add_option("--interleave", o.interleave,
                   "load two 8-bit files as the even and odd bytes of one 16-bit image "
                   "(instead of FILE)")
        ->expected(2)
        ->allow_extra_args(false)  // FILE or OUT may follow the pair
        ->type_name("EVEN ODD");
    app.add_option_function<std::string>(
           "--split",
           [&o](const std::string& value) {
               if (value != "even" && value != "odd")
                   throw CLI::ValidationError("--split", "is even or odd, not '" + value + "'");
               o.split = value;
           },
           "save only the even or the odd bytes of the image")
        ->type_name("even|odd");
    app.add_option("--trace", o.trace, "simulated board: write the socket pin trace")
        ->type_name("FILE.vcd");
    app.add_flag("--json", o.json,
                 "machine-readable output: one result object at the end (command, device, "
                 "outcome, message, mismatch, board time, counts)");
    app.add_flag("--json-events", o.jsonEvents,
                 "a JSON line per message, gauge and percent of progress while a command runs");
    app.add_flag_callback(
        "-q,--quiet", [&o] { o.verbosity = Verbosity::Quiet; }, "errors only");
    app.add_flag_callback(
        "-v,--verbose", [&o] { o.verbosity = Verbosity::Verbose; },
        "more detail, internal codes included");
}

}  // namespace tavrin::cli
