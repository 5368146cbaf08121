#pragma once
// File -> Load and File -> Save As, and the plain load and save functions behind them.
//
// The window runs its dialogs and hands the chosen name (and the save filter entry) to
// mnuLoadClick / mnuSaveClick; an empty name means the user cancelled. The command-line tool
// calls LoadImage / SaveImage with a format of its own choosing:
//
//   LoadImage(ctx, "rom.txt", FileFormat::IntelHex);  // HEX whatever the extension
//   LoadImage(ctx, "dump", FileFormat::Auto);         // format told by the contents
//   SaveImage(ctx, "out.img", FileFormat::SRecord, SaveNaming::AsGiven);
//
// Loading always ends like the Load command: the PIC and AVR adjustments below and the window
// refresh, whether or not the file loaded. Errors are reported through the bus's ReportError
// (which shows the hardware error instead when the programmer does not answer), success texts
// as progress messages.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "buffer/FileFormat.h"
#include "buffer/FileInput.h"
#include "core/Context.h"

namespace tavrin {

struct FileFilter {
    const char* label;
    const char* pattern;
};

inline constexpr const char* kLoadDialogTitle = "Select Eprom file to Load";
// Load dialog entries, numbered from 1; entry 4 is preset.
inline constexpr std::array<FileFilter, 6> kLoadFilters{{
    {"Binary  (*.BIN)", "*.BIN"},
    {"Intel Hex  (*.HEX)", "*.HEX"},
    {"Motorola S Record (*.S)", "*.S"},
    {"All Eprom Files", "*.BIN;*.HEX;*.S;*.ROM;*.EEP"},
    {"ROM (binary) (*.ROM)", "*.ROM"},
    {"EEPROM (*.eep)", "*.EEP"},
}};
inline constexpr int kLoadFilterPreset = 4;
// Save dialog entries, numbered from 1; the entry chosen (not the extension typed) picks the saver.
inline constexpr std::array<FileFilter, 5> kSaveFilters{{
    {"Binary (*.bin)", "*.BIN"},
    {"Intel Hex (*.hex)", "*.HEX"},
    {"Motorola S (*.s)", "*.S"},
    {"Binary (*.rom)", "*.ROM"},
    {"EEPROM (*.eep)", "*.EEP"},
}};

// What the load command leaves for the next dialogs: the folder both open in and the name the
// save dialog proposes.
struct FileDialogState {
    std::string folder;
    std::string saveName;
};

// ".S" -> SRecord, ".HEX" -> IntelHex, ".EEP" -> Eep (any case), anything else Binary.
FileFormat FormatForExtension(std::string_view path);
// Save filter entry 1 ".BIN", 2 HEX, 3 S-record, 4 ".ROM", 5 EEP; nullopt for any other entry.
std::optional<FileFormat> FormatForSaveFilter(int filterIndex);
// The entry the save dialog starts on: Intel Hex for a PIC, else Binary.
int SaveFilterPreset(const DeviceProfile& p);
// The name a saver writes: the chosen name, with the format's extension appended unless its
// upper-cased extension is already that one (rom.bin saved as HEX becomes rom.bin.HEX).
std::string SaveFileName(std::string_view chosenName, FileFormat format);

// File -> Load with the chosen name; the format follows the extension. Updates `dialogs` when
// given.
void mnuLoadClick(Context& ctx, const std::string& chosenName, FileDialogState* dialogs = nullptr);
// File -> Save As with the chosen name and filter entry; the window refresh runs either way.
// True when the file was written.
bool mnuSaveClick(Context& ctx, const std::string& chosenName, int filterIndex);

// Runs the loader of `format` (Auto: DetectFileFormat; HEX and S-record may fall back to each
// other), then the adjustments of the Load command:
//  - PIC set: bufferSize := picProgWords, picConfig := word picCfgIndex, picID rebuilt from the
//    low nibbles of the identifier words, every word of 0..16383 masked to 14 bits;
//  - AVR (eep 14), any format but EEP: bufferSize := avrFlashSize and the 64 KB from
//    avrEepromBase set to 0xFF;
//  - the window refresh.
// True when the file was loaded.
bool LoadImage(Context& ctx, const std::string& path, FileFormat format);
// The same from a source that may be in memory (the fuzz targets).
bool LoadImage(Context& ctx, const FileSource& source, FileFormat format);

enum class SaveNaming {
    AppendExtension,  // as the Save command: add the format's extension when missing
    AsGiven,          // write exactly the name given
};
// Runs the saver of `format` (not Auto). Returns the name written, or nullopt on failure (already
// reported). Does not refresh the window.
std::optional<std::string> SaveImage(Context& ctx, const std::string& path, FileFormat format,
                                     SaveNaming naming = SaveNaming::AppendExtension);

}  // namespace tavrin
