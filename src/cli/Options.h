#pragma once
// The options every `tavrin` command shares (device, port, simulated board, files, output).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/TerminalFrontEnd.h"

namespace tavrin::cli {

struct Options {
    std::string device;
    std::string port = "sim";
    std::string chipFile;
    std::vector<std::string> faults;
    std::optional<uint32_t> offset;
    bool skipFF = false;
    bool fast = false;
    std::optional<int> fastErase;  // 28F0x0 "Fast Erase": 1 on, 0 off
    bool truncate = false;         // accept that data past the end of the device is left out
    std::optional<int> pin7;       // 24Cxxx WP pin: 1 high (write protect), 0 low
    std::optional<int> protect;    // 25Cxxx block protection item: 0 none .. 3 whole array
    bool wpen = false;             // 25Cxxx WPEN with the protection
    std::optional<int> lock;       // MCS-51 lock mode to write after programming (0-3)
    std::optional<int> board;  // profile `tavrin`: 1 = PCB3, 0 = Tavrin
    std::string format;        // bin|hex|srec|eep|auto for input and output; empty = by name
    std::string inFormat;      // the same for input files only
    std::string outFormat;     // the same for output files only
    bool yes = false;
    std::optional<uint16_t> picConfig;  // PIC configuration word replacing the loaded file's
    bool writeOsccal = false;           // 12C50x: the calibration word may be overwritten
    std::string eepromFile;             // AVR: the EEPROM area's own file (EEP, or raw binary)
    bool json = false;        // one result object at the end
    bool jsonEvents = false;  // a line per message, gauge and percent of progress
    std::vector<std::string> interleave;  // EVEN ODD: two 8-bit files loaded as one 16-bit image
    std::string split;                    // even|odd: save that half of the image only
    bool noIdCheck = false;  // program and erase without comparing the chip's ID
    bool diffWrite = false;  // EEPROM program: read first, write only what differs
    bool dipCheck = false;   // the DIP-switch check also on the simulated board
    std::string dipState;    // file of the confirmed DIP setting; empty = the default place
    // --serial ADDR:BYTES[:START[:STEP]], its form and its state file.
    std::string serial;
    std::string serialForm = "le";
    std::string serialState = "tavrin-serial.state";
    bool serialFormSet = false, serialStateSet = false;
    std::string trace;
    std::string romdb = ".";
    Verbosity verbosity = Verbosity::Normal;

    // JEDEC flash boxes.
    std::optional<int> commandSet;  // sequ: 1 = 5555/2AAA (AAAA/5555), 0 = 555/2AA (AAA/555)
    bool unprotect = false;         // AT49F00x: 12 V on #RESET (Temporary Sector Unprotect)
    bool fujitsuFast = false;       // 29Fx00: the Fujitsu fast mode
};

}  // namespace tavrin::cli
