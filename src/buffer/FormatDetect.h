#pragma once
// Tells the format of a file from its contents, for callers that do not go by the extension
// (the command-line tool's "--format auto"); the window keeps the extension rule.
//
// The first line that is not blank decides: a valid Intel HEX record (checksum included) means
// IntelHex, a valid S-record of any type means SRecord, anything else Binary. A leading UTF-8
// byte-order mark and blank space are passed over.

#include <cstdint>
#include <span>
#include <string>

#include "buffer/FileFormat.h"

namespace tavrin {

// `head` is the start of the file (a few kilobytes are plenty).
FileFormat DetectFormat(std::span<const uint8_t> head);
// Reads the start of the file; Binary when it cannot be read.
FileFormat DetectFileFormat(const std::string& path);

}  // namespace tavrin
