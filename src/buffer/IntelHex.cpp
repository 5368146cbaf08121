#include "buffer/IntelHex.h"

#include <algorithm>
#include <cstring>

#include "buffer/FileNames.h"
#include "buffer/FileOutput.h"
#include "buffer/HexText.h"
#include "buffer/SRecord.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

// What tells the ".HEX" and ".EEP" readings apart.
struct HexVariant {
    uint32_t base;      // Buffer byte of file address 0
    bool tracksExtent;  // sets bufferLoaded from the high-water mark
    const char* readError;
    const char* checksumError;
};

enum class LoadOutcome { OpenFailed, Loaded, Failed };

struct LoadState {
    uint32_t upper = 0;
    uint64_t highWater = 0;
    HexRecord record;  // one for the whole file: clearing 255 bytes a line cost a fifth of a load
};

// Applies one line; on failure reports the error and returns false.
bool ApplyHexLine(Context& ctx, std::string_view line, const HexVariant& variant, LoadState& st) {
    HexRecord& rec = st.record;
    switch (ParseHexRecord(line, rec)) {
        case HexLineResult::NoMark:
            ctx.bus.ReportError(variant.readError);
            return false;
        case HexLineResult::BadRecord:
            ctx.bus.ReportError(variant.checksumError);
            return false;
        case HexLineResult::Ok:
            break;
    }
    switch (rec.type) {
        case 0x00: {
            const uint64_t at = uint64_t(variant.base) + st.upper + rec.address;
            if (at + rec.length > kBufferBytes) {
                ctx.bus.ReportError(variant.readError);
                return false;
            }
            std::memcpy(ctx.Buffer.data() + at, rec.data.data(), rec.length);
            st.highWater =
                std::max<uint64_t>(st.highWater, uint64_t(st.upper) + rec.address + rec.length);
            return true;
        }
        case 0x02:
        case 0x04:
            // The offset is in the first two data bytes; a shorter record carries none.
            if (rec.length < 2) {
                ctx.bus.ReportError(variant.readError);
                return false;
            }
            st.upper =
                (uint32_t(rec.data[0]) * 256 + rec.data[1]) * (rec.type == 0x02 ? 16u : 65536u);
            return true;
        default:
            return true;  // 01 (end) and unknown types change nothing
    }
}

LoadOutcome ReadHexLines(Context& ctx, const FileSource& source, const HexVariant& variant,
                         bool clearFirst, bool& failedLineHasS) {
    ByteReader in;
    if (!in.open(source)) {
        ctx.bus.ReportError("Error opening file");
        return LoadOutcome::OpenFailed;
    }
    if (clearFirst) ClearBuf(ctx, 1);
    LoadState st;
    LineReader lines(in);
    std::string_view line;
    failedLineHasS = false;
    while (lines.next(line)) {
        if (!ApplyHexLine(ctx, line, variant, st)) {
            failedLineHasS = line.find('S') != std::string_view::npos;
            return LoadOutcome::Failed;
        }
    }
    if (in.failed()) {
        ctx.bus.ReportError("Error reading file");
        return LoadOutcome::Failed;
    }
    if (variant.tracksExtent) ctx.profile.bufferLoaded = static_cast<uint32_t>(st.highWater);
    return LoadOutcome::Loaded;
}

}  // namespace

HexLineResult ParseHexRecord(std::string_view line, HexRecord& record) {
    // Nearly every line starts with its mark; only the others are searched.
    const size_t mark = !line.empty() && line[0] == ':' ? 0 : line.find(':');
    if (mark == std::string_view::npos) return HexLineResult::NoMark;
    // Every fault below is the same BadRecord, so the digits are checked once, after the loop.
    const char* text = line.data() + mark + 1;
    const size_t digits = line.size() - mark - 1;
    if (digits < 10) return HexLineResult::BadRecord;  // LL AAAA TT and the checksum
    const int length = HexPairAt(text);
    if (length < 0 || digits < 10 + 2 * size_t(length)) return HexLineResult::BadRecord;
    const int high = HexPairAt(text + 2), low = HexPairAt(text + 4), type = HexPairAt(text + 6);
    int seen = high | low | type;
    unsigned sum = unsigned(length + high + low + type);
    const char* data = text + 8;
    for (int i = 0; i < length; ++i) {
        const int value = HexPairAt(data + 2 * i);
        seen |= value;
        sum += unsigned(value);
        record.data[size_t(i)] = uint8_t(value);
    }
    const int check = HexPairAt(data + 2 * length);
    if ((seen | check) < 0 || ((0x100 - (sum & 0xFF)) & 0xFF) != unsigned(check))
        return HexLineResult::BadRecord;
    record.length = uint8_t(length);
    record.address = static_cast<uint16_t>(high * 256 + low);
    record.type = uint8_t(type);
    return HexLineResult::Ok;
}

bool LoadHexFile(Context& ctx, const FileSource& source, bool fallbackAllowed) {
    static constexpr HexVariant kHex{0, true, "Error reading Hexfile",
                                     "Checksum Error reading Hexfile"};
    bool failedLineHasS = false;
    switch (ReadHexLines(ctx, source, kHex, true, failedLineHasS)) {
        case LoadOutcome::Loaded:
            Message(ctx, "Hex File loaded OK", MessageKind::Progress);
            ctx.controls.caption = std::string(kCaptionBase) + BaseName(source.name);
            return true;
        case LoadOutcome::Failed:
            if (fallbackAllowed && failedLineHasS) return LoadSRecordFile(ctx, source, false);
            return false;
        case LoadOutcome::OpenFailed:
            return false;
    }
    return false;
}

bool LoadEepFile(Context& ctx, const FileSource& source) {
    const HexVariant eep{static_cast<uint32_t>(std::max(0, ctx.profile.avrEepromBase)), false,
                         "Error reading Hexfile (EEP)", "Checksum Error reading Hexfile (EEP)"};
    bool unused = false;
    if (ReadHexLines(ctx, source, eep, false, unused) != LoadOutcome::Loaded) return false;
    Message(ctx, "EEPROM (Hex) File loaded OK", MessageKind::Progress);
    return true;
}

void HexRecordWriter::record(uint8_t type, uint16_t address, const uint8_t* data, uint8_t length) {
    // Built in place, then appended at once: ':', 4 header bytes, the data, the sum, the newline.
    char line[1 + 2 * (4 + 255 + 1) + 1];
    char* p = line;
    *p++ = ':';
    p = PutHexByte(p, length);
    p = PutHexByte(p, static_cast<uint8_t>(address >> 8));
    p = PutHexByte(p, static_cast<uint8_t>(address & 0xFF));
    p = PutHexByte(p, type);
    unsigned sum = length + (address >> 8) + (address & 0xFF) + type;
    for (unsigned i = 0; i < length; ++i) {
        p = PutHexByte(p, data[i]);
        sum += data[i];
    }
    p = PutHexByte(p, static_cast<uint8_t>(0x100 - (sum & 0xFF)));
    *p++ = '\n';
    out_.append(line, size_t(p - line));
}

void HexRecordWriter::write(const uint8_t* bytes, uint32_t fileAddress, uint32_t count) {
    uint32_t a = fileAddress;
    while (count > 0) {
        const uint32_t page = a >> 16;
        if (page != blockPage_ || page != filePage_) {
            blockPage_ = filePage_ = page;
            const uint8_t pageBytes[2] = {static_cast<uint8_t>(page >> 8),
                                          static_cast<uint8_t>(page)};
            record(0x04, 0, pageBytes, 2);
        }
        const uint32_t k = std::min<uint32_t>(count, 16);
        record(0x00, static_cast<uint16_t>(a & 0xFFFF), bytes, static_cast<uint8_t>(k));
        bytes += k;
        a += 16;
        count -= k;
    }
}

void HexRecordWriter::end() {
    out_.append(":00000001FF\n");
}

namespace {

constexpr size_t kChunkBytes = 256 * 1024;

bool WriteHexBlocks(Context& ctx, const std::string& name, const std::vector<SaveBlock>& blocks,
                    uint32_t addressBase) {
    return WriteWholeFile(ctx, name, [&](AtomicFile& file) {
        std::string text;
        text.reserve(kChunkBytes + 4096);
        HexRecordWriter writer(text);
        for (const SaveBlock& b : blocks) {
            writer.beginBlock();
            for (uint32_t done = 0; done < b.count;) {
                const uint32_t n = std::min<uint32_t>(b.count - done, 4096);
                writer.write(ctx.Buffer.data() + b.first + done, b.first + done - addressBase, n);
                done += n;
                if (text.size() >= kChunkBytes) {
                    if (!file.write(text)) return false;
                    text.clear();
                }
            }
        }
        writer.end();
        return file.write(text);
    });
}

}  // namespace

bool SaveHexFile(Context& ctx, const std::string& fileName) {
    if (!WriteHexBlocks(ctx, fileName, HexSaveBlocks(ctx.profile), 0)) return false;
    ctx.controls.caption = std::string(kCaptionBase) + fileName;
    return true;
}

bool SaveEepFile(Context& ctx, const std::string& fileName) {
    const SaveBlock block = EepSaveBlock(ctx.profile);
    return WriteHexBlocks(ctx, fileName, {block}, block.first);
}

}  // namespace tavrin
