#include "buffer/SRecord.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "buffer/FileNames.h"
#include "buffer/FileOutput.h"
#include "buffer/HexText.h"
#include "buffer/IntelHex.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

SLineResult ParseSRecordLine(std::string_view line, SRecord& record) {
    int addressBytes;
    if (line.find("S1") != std::string_view::npos)
        addressBytes = 2;
    else if (line.find("S2") != std::string_view::npos)
        addressBytes = 3;
    else if (line.find("S3") != std::string_view::npos)
        addressBytes = 4;
    else
        return SLineResult::Skip;
    uint8_t count;
    if (!ReadHexByte(line, 2, count)) return SLineResult::BadRecord;
    const int dataCount = int(count) - addressBytes - 1;
    if (dataCount <= 0) return SLineResult::Skip;
    const size_t dataAt = 4 + 2 * size_t(addressBytes);
    if (line.size() < dataAt + 2 * size_t(dataCount) + 2) return SLineResult::BadRecord;
    unsigned sum = count;
    uint32_t address = 0;
    for (int i = 0; i < addressBytes; ++i) {
        uint8_t b;
        if (!ReadHexByte(line, 4 + 2 * size_t(i), b)) return SLineResult::BadRecord;
        address = (address << 8) | b;
        sum += b;
    }
    for (int i = 0; i < dataCount; ++i) {
        if (!ReadHexByte(line, dataAt + 2 * size_t(i), record.data[i]))
            return SLineResult::BadRecord;
        sum += record.data[i];
    }
    uint8_t check;
    if (!ReadHexByte(line, dataAt + 2 * size_t(dataCount), check)) return SLineResult::BadRecord;
    if ((~sum & 0xFF) != check) return SLineResult::BadRecord;
    record.address = address;
    record.dataCount = dataCount;
    return SLineResult::Data;
}

bool LoadSRecordFile(Context& ctx, const FileSource& source, bool fallbackAllowed) {
    ByteReader in;
    if (!in.open(source)) {
        ctx.bus.ReportError("Error opening file");
        return false;
    }
    ClearBuf(ctx, 1);
    uint64_t highWater = 0;
    LineReader lines(in);
    std::string_view line;
    SRecord rec;
    while (lines.next(line)) {
        const SLineResult result = ParseSRecordLine(line, rec);
        if (result == SLineResult::Skip) continue;
        const char* error = nullptr;
        if (result == SLineResult::BadRecord)
            error = "Checksum Error reading Hexfile";
        else if (uint64_t(rec.address) + rec.dataCount > kBufferBytes)
            error = "Error reading Hexfile";
        if (error) {
            ctx.bus.ReportError(error);
            if (fallbackAllowed && line.find(':') != std::string_view::npos) {
                in.close();
                return LoadHexFile(ctx, source, false);
            }
            return false;
        }
        std::memcpy(ctx.Buffer.data() + rec.address, rec.data.data(), size_t(rec.dataCount));
        highWater = std::max<uint64_t>(highWater, uint64_t(rec.address) + rec.dataCount);
    }
    if (in.failed()) {
        ctx.bus.ReportError("Error reading file");
        return false;
    }
    ctx.profile.bufferLoaded = static_cast<uint32_t>(highWater);
    Message(ctx, "S Record File loaded OK", MessageKind::Progress);
    ctx.controls.caption = std::string(kCaptionBase) + BaseName(source.name);
    return true;
}

char* PutSRecords(char* p, const uint8_t* bytes, uint32_t address, uint32_t count, bool wide) {
    const int addressBytes = wide ? 4 : 2;
    while (count > 0) {
        const uint32_t k = std::min<uint32_t>(count, 16);
        const uint8_t length = static_cast<uint8_t>(k + addressBytes + 1);
        *p++ = 'S';
        *p++ = wide ? '3' : '1';
        p = PutHexByte(p, length);
        unsigned sum = length;
        for (int shift = 8 * (addressBytes - 1); shift >= 0; shift -= 8) {
            const uint8_t b = static_cast<uint8_t>(address >> shift);
            p = PutHexByte(p, b);
            sum += b;
        }
        // A copy the text cannot alias, so that each byte is loaded once.
        uint8_t data[16];
        std::memcpy(data, bytes, k);
        for (uint32_t i = 0; i < k; ++i) {
            p = PutHexByte(p, data[i]);
            sum += data[i];
        }
        p = PutHexByte(p, static_cast<uint8_t>(~sum));
        *p++ = '\n';
        bytes += k;
        address += 16;
        count -= k;
    }
    return p;
}

bool SaveSRecordFile(Context& ctx, const std::string& fileName) {
    const std::vector<SaveBlock> blocks = SRecordSaveBlocks(ctx.profile);
    bool wide = ctx.profile.bufferSize > 65535;
    for (const SaveBlock& b : blocks) wide = wide || uint64_t(b.first) + b.count > 0x10000;
    const bool ok = WriteWholeFile(ctx, fileName, [&](AtomicFile& file) {
        // Slices of 64 KB go out in one write each: their text (188 KB) stays in the cache and
        // its buffer is touched once. It is left uninitialised; every byte written is put there.
        constexpr uint32_t kSlice = 64 * 1024;
        const std::unique_ptr<char[]> text(new char[SRecordTextBytes(kSlice, wide)]);
        for (const SaveBlock& b : blocks)
            for (uint32_t done = 0; done < b.count; done += kSlice) {
                const char* end = PutSRecords(text.get(), ctx.Buffer.data() + b.first + done,
                                              b.first + done, std::min(kSlice, b.count - done), wide);
                if (!file.write(text.get(), size_t(end - text.get()))) return false;
            }
        return file.write(std::string_view("S9030000FC\n"));
    });
    if (ok) ctx.controls.caption = std::string(kCaptionBase) + fileName;
    return ok;
}

}  // namespace tavrin
