#pragma once
// Command-line options of `tavrin`.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/TerminalFrontEnd.h"

namespace tavrin::cli {

struct Options {
    std::string command;
    std::vector<std::string> args;
    std::string device;
    std::string port = "sim";
    std::string chipFile;
    std::vector<std::string> faults;
    std::optional<uint32_t> offset;
    bool skipFF = false;
    bool fast = false;
    std::optional<int> board;  // profile `tavrin`: 1 = PCB3, 0 = Tavrin
    std::string format;        // bin|hex|srec|eep|auto; empty = by extension
    bool yes = false;
    bool json = false;
    std::string trace;
    std::string romdb = ".";
    Verbosity verbosity = Verbosity::Normal;
};

// Fills `options`; false with `error` set on a usage error.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);
const char* UsageText();

}  // namespace tavrin::cli
