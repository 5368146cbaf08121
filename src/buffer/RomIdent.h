#pragma once
// Action -> RomIdent: looks the CRC-32 of the loaded data up in a database of known ROM images.
//
// The database is two files in one folder (the current folder unless told otherwise):
//   "romident.gam" - titles, 80-byte records, each a zero-terminated text;
//   "romident.rom" - entries, 28-byte little-endian records: title index (int16 at 0), ROM name
//                    (zero-terminated, 18 bytes at 2), CRC-32 (uint32 at 20), 4 bytes unused.
// A trailing partial record is ignored. The tables are read at the first use and kept.
//
// An entry whose title index is negative or not below the title count is listed with an empty
// title; names and titles that fill their field without a terminating zero end with the field.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/Context.h"

namespace tavrin {

inline constexpr size_t kRomTitleBytes = 80;
inline constexpr size_t kRomEntryBytes = 28;

struct RomIdentResult {
    enum class Kind {
        Disabled,  // the menu entry is disabled (the titles file was missing); nothing done
        NoData,    // the database could not be loaded (already reported)
        Listing,   // `text` lists the matches
        NotFound,  // no entry has the CRC; "NOT FOUND!" was reported
    };
    Kind kind = Kind::NoData;
    std::string text;
    uint32_t crc = 0;
};

class RomIdentDatabase {
  public:
    explicit RomIdentDatabase(std::string folder = {}) : folder_(std::move(folder)) {}

    // The menu entry's state: false once "romident.gam" was found missing.
    bool menuEnabled() const { return menuEnabled_; }
    bool loaded() const { return loaded_; }
    size_t titleCount() const { return titles_.size() / kRomTitleBytes; }
    size_t entryCount() const { return entries_.size() / kRomEntryBytes; }

    // Reads both files: 0 when both tables are in memory (loaded() from then on), nonzero
    // otherwise (its error boxes go to FrontEnd::inform).
    int Load(Context& ctx);
    // Tables from bytes already in memory (tests, fuzzing); partial records are dropped.
    void SetTables(std::span<const uint8_t> titles, std::span<const uint8_t> entries);

    // The title of record `index`; empty when there is no such record.
    std::string Title(int64_t index) const;
    // "<name> from <title>\n" for every entry with `crc`, in file order.
    std::string Matches(uint32_t crc, int* count) const;

  private:
    std::string path(const char* file) const;

    std::string folder_;
    std::vector<uint8_t> titles_, entries_;
    bool loaded_ = false;
    bool menuEnabled_ = true;
};

// The error texts of the database loader.
inline constexpr const char* kRomIdentFilesNeeded =
    "ROMIDENT Data files needed for this function !";
inline constexpr const char* kRomIdentWhere =
    "Copy romident.gam and romident.rom from your ROM identification package into the folder "
    "the program is started from.";
inline constexpr const char* kRomIdentNoMemory = "Error: Not enough memory to load games data !";

// CRC-32 (IEEE 802.3, as zlib) of Buffer bytes 0 to bufferLoaded - 1.
uint32_t LoadedDataCrc(const Context& ctx);

// Loads the database when needed, then lists the entries whose CRC equals that of the loaded
// data: "ROMIDENT V2.1 - Data File Revision <title count>\n\n" followed by the matches. The
// listing, "NOT FOUND!" and the loader's error texts are boxes with one OK button
// (FrontEnd::inform); the returned kind tells a window which icon they deserve.
RomIdentResult RomIdentClick(Context& ctx, RomIdentDatabase& db);

}  // namespace tavrin
