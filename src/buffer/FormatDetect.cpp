#include "buffer/FormatDetect.h"

#include <string_view>

#include "buffer/FileInput.h"
#include "buffer/HexText.h"
#include "buffer/IntelHex.h"

namespace tavrin {

namespace {

constexpr size_t kHeadBytes = 4096;

// "Sn", a count, then count bytes of which the last is the one's-complement checksum.
bool IsSRecordLine(std::string_view line) {
    if (line.size() < 4 || line[0] != 'S' || line[1] < '0' || line[1] > '9') return false;
    uint8_t count;
    if (!ReadHexByte(line, 2, count) || count < 3) return false;
    unsigned sum = count;
    for (size_t i = 0; i + 1 < count; ++i) {
        uint8_t b;
        if (!ReadHexByte(line, 4 + 2 * i, b)) return false;
        sum += b;
    }
    uint8_t check;
    return ReadHexByte(line, 4 + 2 * size_t(count - 1), check) && (~sum & 0xFF) == check;
}

}  // namespace

FileFormat DetectFormat(std::span<const uint8_t> head) {
    std::string_view text(reinterpret_cast<const char*>(head.data()), head.size());
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return FileFormat::Binary;
    text.remove_prefix(start);
    std::string_view line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    if (line.front() == ':') {
        HexRecord record;
        return ParseHexRecord(line, record) == HexLineResult::Ok ? FileFormat::IntelHex
                                                                 : FileFormat::Binary;
    }
    return IsSRecordLine(line) ? FileFormat::SRecord : FileFormat::Binary;
}

FileFormat DetectFileFormat(const std::string& path) {
    ByteReader in;
    if (!in.open(FileSource::File(path))) return FileFormat::Binary;
    uint8_t head[kHeadBytes];
    const size_t got = in.read(head, sizeof head);
    return DetectFormat(std::span<const uint8_t>(head, got));
}

}  // namespace tavrin
