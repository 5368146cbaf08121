#pragma once
// Writes a file so that the old one stays whole until the new one is complete: the bytes go to a
// temporary file beside the target, which is synced and then renamed over it. A full disk or a
// failed write leaves the previous file (or no file) in place, never a truncated one.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrin {

class AtomicFile {
  public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    // Removes the temporary file unless commit() succeeded.
    ~AtomicFile();

    // False when the target could not be written: its folder is missing or not writable, or it
    // exists and is read-only or not a regular file.
    bool open(const std::string& target);
    // Buffered; false once any write has failed.
    bool write(const void* data, size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    // Flushes, syncs and renames over the target; false (target untouched) on any failure.
    bool commit();
    void discard();

  private:
    bool flush();
    bool writeOut(const char* data, size_t size);

    int fd_ = -1;
    bool failed_ = false;
    std::string target_, temp_;
    std::string pending_;
};

}  // namespace tavrin
