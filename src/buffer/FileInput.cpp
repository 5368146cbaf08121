#include "buffer/FileInput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tavrin {

bool ByteReader::open(const FileSource& source) {
    close();
    failed_ = false;
    if (source.inMemory) {
        inMemory_ = true;
        memory_ = source.bytes;
        memoryPos_ = 0;
        return true;
    }
    // O_NONBLOCK keeps a fifo from blocking the open; it is refused below anyway.
    const int fd = ::open(source.name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    return true;
}

size_t ByteReader::read(uint8_t* into, size_t size) {
    if (inMemory_) {
        const size_t n = std::min(size, memory_.size() - memoryPos_);
        if (n) std::memcpy(into, memory_.data() + memoryPos_, n);
        memoryPos_ += n;
        return n;
    }
    if (fd_ < 0 || failed_) return 0;
    size_t total = 0;
    while (total < size) {
        const ssize_t got = ::read(fd_, into + total, size - total);
        if (got > 0) {
            total += static_cast<size_t>(got);
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) failed_ = true;
        break;
    }
    return total;
}

void ByteReader::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    inMemory_ = false;
    memory_ = {};
    memoryPos_ = 0;
}

bool LineReader::fill() {
    pos_ = 0;
    end_ = in_.read(chunk_, sizeof chunk_);
    return end_ > 0;
}

bool LineReader::next(std::string_view& line) {
    // The usual case: the whole line lies in the chunk and is handed out where it is.
    if (pos_ < end_) {
        const char* start = reinterpret_cast<const char*>(chunk_ + pos_);
        if (const void* newline = std::memchr(start, '\n', std::min(kMaxLine, end_ - pos_))) {
            const size_t take = static_cast<size_t>(static_cast<const char*>(newline) - start) + 1;
            pos_ += take;
            // A NUL ends the line's text, as it does for a line gathered below.
            const void* nul = std::memchr(start, '\0', take);
            line = std::string_view(
                start, nul ? static_cast<size_t>(static_cast<const char*>(nul) - start) : take);
            return true;
        }
    }
    size_t length = 0;
    while (length < kMaxLine) {
        if (pos_ == end_ && !fill()) break;
        const size_t want = std::min(kMaxLine - length, end_ - pos_);
        const void* newline = std::memchr(chunk_ + pos_, '\n', want);
        const size_t take =
            newline
                ? static_cast<size_t>(static_cast<const uint8_t*>(newline) - (chunk_ + pos_)) + 1
                : want;
        std::memcpy(line_ + length, chunk_ + pos_, take);
        pos_ += take;
        length += take;
        if (newline) break;
    }
    if (length == 0) return false;
    line_[length] = '\0';
    line = std::string_view(line_, std::strlen(line_));
    return true;
}

}  // namespace tavrin
