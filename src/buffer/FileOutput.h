#pragma once
// The parts the savers share: which Buffer bytes each format writes, and writing the file in one
// piece with the error reports of the file commands.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "buffer/AtomicFile.h"
#include "core/Context.h"

namespace tavrin {

// A run of Buffer bytes written to a file: first Buffer byte and number of bytes, always inside
// the Buffer (negative or oversized requests are cut to what the Buffer holds).
struct SaveBlock {
    uint32_t first = 0;
    uint32_t count = 0;
};
SaveBlock ClampedBlock(int64_t first, int64_t count);

// Blocks of the ".HEX" saver by family: the 14-bit PIC program, identifier and data areas, the
// 12-bit PIC program, identifier and configuration words, or the device image.
std::vector<SaveBlock> HexSaveBlocks(const DeviceProfile& p);
// The AVR EEPROM area, the one block of the ".EEP" saver whatever device is selected.
SaveBlock EepSaveBlock(const DeviceProfile& p);
// Blocks of the ".S" saver: with PIC set the program words, the configuration word and the data
// EEPROM words; otherwise the device image.
std::vector<SaveBlock> SRecordSaveBlocks(const DeviceProfile& p);
// Bytes of the binary savers: the program words with PIC set, else the device image.
SaveBlock BinarySaveBlock(const DeviceProfile& p);

// Creates `path` (see AtomicFile), lets `produce` write the contents and puts the file in place.
// Reports "Error opening file" when it cannot be created and "Error writing file" when writing
// or syncing fails; either way an existing file of that name is left as it was.
bool WriteWholeFile(Context& ctx, const std::string& path,
                    const std::function<bool(AtomicFile&)>& produce);

}  // namespace tavrin
