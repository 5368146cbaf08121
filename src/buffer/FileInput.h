#pragma once
// Reading the files the loaders take: a file on disk or bytes already in memory (the fuzz
// targets), read in chunks so that a huge file never has to fit in memory, and cut into lines
// the way the record formats expect.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tavrin {

// What a loader reads: a named file, or bytes in memory that stand for a file of that name.
struct FileSource {
    std::string name;
    std::span<const uint8_t> bytes;
    bool inMemory = false;

    static FileSource File(std::string path) { return {std::move(path), {}, false}; }
    static FileSource Memory(std::string name, std::span<const uint8_t> bytes) {
        return {std::move(name), bytes, true};
    }
};

class ByteReader {
  public:
    ByteReader() = default;
    ByteReader(const ByteReader&) = delete;
    ByteReader& operator=(const ByteReader&) = delete;
    ~ByteReader() { close(); }

    // Only regular files open: a device or a pipe could stream for ever, a folder has no bytes.
    bool open(const FileSource& source);
    // Up to `size` bytes; 0 at the end of the file or after a read error.
    size_t read(uint8_t* into, size_t size);
    // True once a read failed for another reason than the end of the file.
    bool failed() const { return failed_; }
    void close();

  private:
    int fd_ = -1;
    std::span<const uint8_t> memory_;
    size_t memoryPos_ = 0;
    bool inMemory_ = false;
    bool failed_ = false;
};

// Lines as an 80-character line buffer takes them: each read holds at most 79 characters, or fewer
// up to and including the line end. A longer line therefore arrives in pieces, and the line end
// of a line of exactly 79 characters arrives as a line of its own. A zero byte ends the line's
// text as it would end a C string.
class LineReader {
  public:
    static constexpr size_t kMaxLine = 79;

    explicit LineReader(ByteReader& in) : in_(in) {}
    // False at the end of the file. The view stays valid until the next call.
    bool next(std::string_view& line);

  private:
    bool fill();

    ByteReader& in_;
    uint8_t chunk_[64 * 1024];
    size_t pos_ = 0, end_ = 0;
    char line_[kMaxLine + 1];
};

}  // namespace tavrin
