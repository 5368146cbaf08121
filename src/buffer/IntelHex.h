#pragma once
// Intel HEX files: ".HEX", the image of the Buffer, and ".EEP", the image of the AVR EEPROM area
// (file address 0 is Buffer byte avrEepromBase).
//
// Reading: each line (see LineReader: at most 79 characters per read) must hold a record from its
// first ':' on. Data records (type 00) store at Buffer[base + upper + address + i]; 02 and 04 set
// the upper offset; 01 and unknown types are accepted and change nothing, so records after the
// end record are still read. The first bad line ends the load; what was stored before it stays.
// A data record that would reach past the 4 MB Buffer is refused whole and ends the load with
// "Error reading Hexfile", so nothing is ever written outside the Buffer.
//
// Writing: data records of at most 16 bytes, an extended linear address record (type 04) before
// the first record of every 64 KB page above page 0, and the end line ":00000001FF".

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "buffer/AtomicFile.h"
#include "buffer/FileInput.h"
#include "core/Context.h"

namespace tavrin {

struct HexRecord {
    uint8_t length = 0;
    uint16_t address = 0;
    uint8_t type = 0;
    std::array<uint8_t, 255> data{};
};

enum class HexLineResult {
    Ok,
    NoMark,     // no ':' in the line (an empty line included)
    BadRecord,  // digits missing or not hex, or the checksum does not match
};

// Reads the record that starts at the first ':' of `line`. Never looks past the end of the line.
HexLineResult ParseHexRecord(std::string_view line, HexRecord& record);

// The HEX loader: clears the Buffer, reads the file, sets bufferLoaded to one past the highest
// byte stored and shows "Hex File loaded OK" with the file name in the caption. When a line fails
// and holds an 'S', and fallbackAllowed, the file is read again as Motorola S-records. True when
// one of the two loads succeeded.
bool LoadHexFile(Context& ctx, const FileSource& source, bool fallbackAllowed);
// The EEP loader: reads into the AVR EEPROM area without clearing the Buffer and leaves
// bufferLoaded and the caption alone; "EEPROM (Hex) File loaded OK".
bool LoadEepFile(Context& ctx, const FileSource& source);

// Appends records to `out`. A block is started with beginBlock() and may then be written in
// several consecutive pieces (multiples of 16 bytes except the last). The writer also remembers
// the page the file has set, so a block that starts on a lower page than the one before it
// re-states its page.
class HexRecordWriter {
  public:
    explicit HexRecordWriter(std::string& out) : out_(out) {}
    void beginBlock() { blockPage_ = 0; }
    // `count` bytes whose first one has file address `fileAddress`.
    void write(const uint8_t* bytes, uint32_t fileAddress, uint32_t count);
    void end();  // ":00000001FF"

  private:
    void record(uint8_t type, uint16_t address, const uint8_t* data, uint8_t length);

    std::string& out_;
    uint32_t blockPage_ = 0;
    uint32_t filePage_ = 0;
};

// The savers write exactly `fileName` (the save command adds the extension first), whole or not
// at all (see AtomicFile). The HEX saver puts the file name into the caption; neither shows a
// success message. True on success.
bool SaveHexFile(Context& ctx, const std::string& fileName);
bool SaveEepFile(Context& ctx, const std::string& fileName);

}  // namespace tavrin
