#pragma once
// File handling of the command-line tool: formats by name (wider than the window's extension
// rule), "-" for standard input and output, and the checks that name why a file cannot be used.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "buffer/FileFormat.h"

namespace tavrin::cli {

// "bin", "hex", "srec", "eep", "auto"; nullopt for anything else or empty.
std::optional<FileFormat> FormatByName(const std::string& name);

// The format of an input file: the extension rule for ".bin .rom .hex .s .eep", the contents for
// any other name and for standard input.
FileFormat InputFormatForName(const std::string& path);
// The format an output name asks for: ".hex .ihex .ihx" Intel HEX, ".s .s19 .s28 .s37 .srec .mot"
// S-records, ".eep" EEP, anything else (and standard output) binary.
FileFormat OutputFormatForName(const std::string& path);

inline bool IsStdStream(const std::string& path) {
    return path == "-";
}

// Empty when `path` can be opened for reading, else the reason ("No such file or directory").
std::string UnreadableReason(const std::string& path);
// Empty when `path` can be written (created or replaced) without writing it, else the reason.
std::string UnwritableReason(const std::string& path);

// Standard input, at most `limit` bytes; false when it held more or could not be read.
bool ReadStandardInput(std::vector<uint8_t>& bytes, size_t limit, std::string& reason);
// A temporary file name for output that goes to standard output; empty on failure.
std::string TemporaryOutputFile();
// Copies `path` to standard output and removes it; false when the copy failed.
bool CopyToStandardOutput(const std::string& path);

}  // namespace tavrin::cli
