#include "buffer/RomIdent.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <new>

namespace tavrin {

namespace {

enum class TableRead { Ok, Missing, OpenFailed, NoMemory };

// Reads whole records of `recordBytes` from `path`.
TableRead ReadTable(const std::string& path, size_t recordBytes, std::vector<uint8_t>& table) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return TableRead::Missing;
    std::ifstream in(path, std::ios::binary);
    if (!in || !S_ISREG(st.st_mode)) return TableRead::OpenFailed;
    const uint64_t bytes = uint64_t(st.st_size) / recordBytes * recordBytes;
    try {
        table.assign(static_cast<size_t>(bytes), 0);
    } catch (const std::bad_alloc&) {
        table.clear();
        return TableRead::NoMemory;
    } catch (const std::length_error&) {
        table.clear();
        return TableRead::NoMemory;
    }
    in.read(reinterpret_cast<char*>(table.data()), static_cast<std::streamsize>(table.size()));
    // A file that shrank since its size was taken keeps the records actually read.
    table.resize(static_cast<size_t>(in.gcount()) / recordBytes * recordBytes);
    return TableRead::Ok;
}

std::string FieldText(const uint8_t* field, size_t width) {
    const void* zero = std::memchr(field, 0, width);
    const size_t length =
        zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - field) : width;
    return std::string(reinterpret_cast<const char*>(field), length);
}

}  // namespace

std::string RomIdentDatabase::path(const char* file) const {
    if (folder_.empty()) return file;
    return folder_.back() == '/' ? folder_ + file : folder_ + "/" + file;
}

int RomIdentDatabase::Load(Context& ctx) {
    // Reads one table and reports its failure; a missing file says `missingText`.
    auto read = [&](const char* file, size_t width, std::vector<uint8_t>& out,
                    const std::string& missingText) {
        switch (ReadTable(path(file), width, out)) {
            case TableRead::Missing: ctx.ui().inform(missingText); return TableRead::Missing;
            case TableRead::NoMemory: ctx.ui().inform(kRomIdentNoMemory); return TableRead::NoMemory;
            case TableRead::OpenFailed: return TableRead::OpenFailed;
            case TableRead::Ok: return TableRead::Ok;
        }
        return TableRead::OpenFailed;
    };
    std::vector<uint8_t> titles, entries;
    const TableRead titleRead = read("romident.gam", kRomTitleBytes, titles,
                                     std::string(kRomIdentFilesNeeded) + "\n\n" + kRomIdentWhere);
    if (titleRead == TableRead::Missing) menuEnabled_ = false;
    if (titleRead != TableRead::Ok) return 1;
    if (read("romident.rom", kRomEntryBytes, entries, kRomIdentFilesNeeded) != TableRead::Ok) return 1;
    titles_ = std::move(titles);
    entries_ = std::move(entries);
    loaded_ = true;
    return 0;
}

void RomIdentDatabase::SetTables(std::span<const uint8_t> titles,
                                 std::span<const uint8_t> entries) {
    titles_.assign(titles.begin(),
                   titles.begin() + titles.size() / kRomTitleBytes * kRomTitleBytes);
    entries_.assign(entries.begin(),
                    entries.begin() + entries.size() / kRomEntryBytes * kRomEntryBytes);
    loaded_ = true;
}

std::string RomIdentDatabase::Title(int64_t index) const {
    if (index < 0 || uint64_t(index) >= titleCount()) return {};
    return FieldText(titles_.data() + size_t(index) * kRomTitleBytes, kRomTitleBytes);
}

std::string RomIdentDatabase::Matches(uint32_t crc, int* count) const {
    std::string text;
    int found = 0;
    for (size_t at = 0; at + kRomEntryBytes <= entries_.size(); at += kRomEntryBytes) {
        const uint8_t* e = entries_.data() + at;
        const uint32_t entryCrc =
            uint32_t(e[20]) | uint32_t(e[21]) << 8 | uint32_t(e[22]) << 16 | uint32_t(e[23]) << 24;
        if (entryCrc != crc) continue;
        const int16_t title = static_cast<int16_t>(e[0] | (e[1] << 8));
        text += FieldText(e + 2, 18) + " from " + Title(title) + "\n";
        ++found;
    }
    if (count) *count = found;
    return text;
}

uint32_t LoadedDataCrc(const Context& ctx) {
    const uInt length =
        static_cast<uInt>(std::min<uint64_t>(ctx.profile.bufferLoaded, ctx.Buffer.size()));
    return static_cast<uint32_t>(::crc32(::crc32(0L, Z_NULL, 0), ctx.Buffer.data(), length));
}

RomIdentResult RomIdentClick(Context& ctx, RomIdentDatabase& db) {
    RomIdentResult result;
    if (!db.menuEnabled()) {
        result.kind = RomIdentResult::Kind::Disabled;
        return result;
    }
    if (!db.loaded()) db.Load(ctx);
    if (!db.loaded()) return result;
    result.crc = LoadedDataCrc(ctx);
    int matches = 0;
    const std::string listing = db.Matches(result.crc, &matches);
    if (matches == 0) {
        result.kind = RomIdentResult::Kind::NotFound;
        result.text = "NOT FOUND!";
        ctx.ui().inform(result.text);
        return result;
    }
    result.kind = RomIdentResult::Kind::Listing;
    result.text =
        "ROMIDENT V2.1 - Data File Revision " + std::to_string(db.titleCount()) + "\n\n" + listing;
    ctx.ui().inform(result.text);
    return result;
}

}  // namespace tavrin
