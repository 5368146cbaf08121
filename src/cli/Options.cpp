#include "cli/Options.h"

#include <cstdlib>
#include <cstring>

namespace tavrin::cli {

const char* UsageText() {
    return "usage: tavrin [options] <command> [args]\n"
           "commands:\n"
           "  devices [TEXT]     list catalogue entries matching TEXT (--json for machine use)\n"
           "  info               the selected device: size, family, address bits, DIP switches, jumper\n"
           "  read FILE          read the chip into FILE\n"
           "  program FILE       load FILE and program it, with the family's own verify\n"
           "  verify FILE        compare the chip with FILE\n"
           "  blank              blank check\n"
           "  erase              erase\n"
           "  id                 electronic ID\n"
           "  test-hardware      the hardware presence check\n"
           "  checksum FILE      16-bit sum and CRC-32 over the selected device's size\n"
           "  convert IN OUT     convert between image formats\n"
           "  romident FILE      identify an image against the ROM database files\n"
           "options:\n"
           "  -d, --device NAME  device by caption or part name (\"27C256\", \"AT29C010\")\n"
           "  -p, --port PORT    sim (default) | ppdev[:/dev/parportN] | io[:0x378|0x278|0x3BC]\n"
           "  --chip-file PATH   simulated board: keep the chip's contents and state in PATH\n"
           "  --sim-fault FAULT  simulated board: inject a fault (repeatable; see `tavrin --help-faults`)\n"
           "  --offset HEX       first device address of the run\n"
           "  --skip-ff          do not program bytes equal to 0xFF\n"
           "  --fast             fast command sequences (flash families)\n"
           "  --board pcb3|tavrin  board variant for the DIP-switch picture\n"
           "  --format bin|hex|srec|eep|auto  file format instead of the extension rule\n"
           "  --romdb DIR        folder of romident.gam and romident.rom (default: current folder)\n"
           "  --yes              answer Yes to the offset question\n"
           "  --trace FILE.vcd   simulated board: write the socket pin trace\n"
           "  --json             machine-readable output (devices)\n"
           "  -q, -v             quieter / more verbose\n"
           "exit status: 0 success, 1 operation failed, 2 usage or input error, 3 no hardware, "
           "4 cancelled\n";
}

bool ParseOptions(int argc, char** argv, Options& o, std::string& error) {
    auto needValue = [&](int& i, const char* name, std::string& out) {
        if (i + 1 >= argc) {
            error = std::string(name) + " needs a value";
            return false;
        }
        out = argv[++i];
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        std::string value;
        if (a == "-d" || a == "--device") {
            if (!needValue(i, "--device", o.device)) return false;
        } else if (a == "-p" || a == "--port") {
            if (!needValue(i, "--port", o.port)) return false;
        } else if (a == "--chip-file") {
            if (!needValue(i, "--chip-file", o.chipFile)) return false;
        } else if (a == "--sim-fault") {
            if (!needValue(i, "--sim-fault", value)) return false;
            o.faults.push_back(value);
        } else if (a == "--offset") {
            if (!needValue(i, "--offset", value)) return false;
            char* end = nullptr;
            const unsigned long v = std::strtoul(value.c_str(), &end, 16);
            if (value.empty() || *end != '\0' || v > 0xFFFFFFFFul) {
                error = "--offset needs a hexadecimal number, not '" + value + "'";
                return false;
            }
            o.offset = uint32_t(v);
        } else if (a == "--skip-ff") {
            o.skipFF = true;
        } else if (a == "--fast") {
            o.fast = true;
        } else if (a == "--board") {
            if (!needValue(i, "--board", value)) return false;
            if (value == "pcb3" || value == "PCB3")
                o.board = 1;
            else if (value == "tavrin" || value == "Tavrin")
                o.board = 0;
            else {
                error = "--board is pcb3 or tavrin, not '" + value + "'";
                return false;
            }
        } else if (a == "--format") {
            if (!needValue(i, "--format", o.format)) return false;
            if (o.format != "bin" && o.format != "hex" && o.format != "srec" && o.format != "eep" &&
                o.format != "auto") {
                error = "--format is bin, hex, srec, eep or auto, not '" + o.format + "'";
                return false;
            }
        } else if (a == "--romdb") {
            if (!needValue(i, "--romdb", o.romdb)) return false;
        } else if (a == "--yes" || a == "-y") {
            o.yes = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--trace") {
            if (!needValue(i, "--trace", o.trace)) return false;
        } else if (a == "-q" || a == "--quiet") {
            o.verbosity = Verbosity::Quiet;
        } else if (a == "-v" || a == "--verbose") {
            o.verbosity = Verbosity::Verbose;
        } else if (a == "-h" || a == "--help") {
            o.command = "help";
        } else if (a == "--help-faults") {
            o.command = "help-faults";
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option '" + a + "'";
            return false;
        } else if (o.command.empty()) {
            o.command = a;
        } else {
            o.args.push_back(a);
        }
    }
    if (o.command.empty()) {
        error = "no command given";
        return false;
    }
    return true;
}

}  // namespace tavrin::cli
