#pragma once
// Motorola S-record files (".S").
//
// Reading: a line that contains "S1", "S2" or "S3" anywhere is a data record of that type, read
// from its third character on (count, then a 2-, 3- or 4-byte address, data, checksum); every
// other line (S0, S5, S7, S8, S9, empty) is skipped, as is a record with no data bytes. A bad
// record ends the load with "Checksum Error reading Hexfile"; one that would reach past the 4 MB
// Buffer is refused whole with "Error reading Hexfile".
//
// Writing: S1 records when the device has at most 65,535 units, S3 above (and whenever an
// address would not fit 16 bits), 16 data bytes per record, no S0 header, the end line
// "S9030000FC".

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "buffer/FileInput.h"
#include "core/Context.h"

namespace tavrin {

struct SRecord {
    uint32_t address = 0;
    int dataCount = 0;
    std::array<uint8_t, 255> data{};
};

enum class SLineResult {
    Data,       // an S1, S2 or S3 record with data
    Skip,       // any other line, or a record without data
    BadRecord,  // digits missing or not hex, or the checksum does not match
};

// Never looks past the end of the line.
SLineResult ParseSRecordLine(std::string_view line, SRecord& record);

// The S-record loader: clears the Buffer, reads the file, sets bufferLoaded to one past the
// highest byte stored and shows "S Record File loaded OK" with the file name in the caption.
// When a record fails in a line holding ':', and fallbackAllowed, the file is read again as
// Intel HEX. True when one of the two loads succeeded.
bool LoadSRecordFile(Context& ctx, const FileSource& source, bool fallbackAllowed);

// Writes the records for `count` bytes with addresses from `address` at `out` and returns the
// place after them; `wide` selects S3. `out` needs room for SRecordTextBytes(count, wide).
char* PutSRecords(char* out, const uint8_t* bytes, uint32_t address, uint32_t count, bool wide);
constexpr size_t SRecordTextBytes(uint32_t count, bool wide) {
    // "Snll", the address, 16 data bytes, the sum and the newline for every record.
    return size_t((count + 15) / 16) * size_t(4 + 2 * (wide ? 4 : 2) + 32 + 3);
}

// Writes exactly `fileName`, whole or not at all; puts the file name into the caption. True on
// success.
bool SaveSRecordFile(Context& ctx, const std::string& fileName);

}  // namespace tavrin
