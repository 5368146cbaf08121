#pragma once
// Raw binary files (".BIN" and ".ROM", the same bytes under two extensions).

#include <string>

#include "buffer/FileInput.h"
#include "core/Context.h"

namespace tavrin {

// Clears the Buffer and reads up to 4,194,304 bytes from address 0; bufferLoaded := bytes read.
// A longer file loads its first 4 MB; an empty one loads nothing and shows nothing. The device
// size plays no part. True when the file was read.
bool LoadBinaryFile(Context& ctx, const FileSource& source);

// Writes bufferSize bytes from address 0 to exactly `fileName` (2 x bufferSize with PIC set,
// after telling the user that fuses and data are not kept), whole or not at all; the file name
// goes into the caption. True on success.
bool SaveBinaryFile(Context& ctx, const std::string& fileName);

}  // namespace tavrin
