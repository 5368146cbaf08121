#pragma once
// The file formats the loaders and savers know.

namespace tavrin {

enum class FileFormat {
    Binary,    // raw bytes, saved as ".BIN"
    Rom,       // raw bytes, saved as ".ROM"
    IntelHex,  // ".HEX"
    Eep,       // ".EEP": Intel HEX of the AVR EEPROM area
    SRecord,   // ".S"
    Auto,      // loading only: decided by the file's contents (see DetectFileFormat)
};

}  // namespace tavrin
