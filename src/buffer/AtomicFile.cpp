#include "buffer/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "buffer/FileNames.h"

namespace tavrin {

namespace {

constexpr size_t kFlushBytes = 1 << 20;
// A block this large is written as it is: copying it into the buffer first costs more than the
// extra write call.
constexpr size_t kDirectBytes = 64 << 10;

// Writing through a symbolic link updates the file it names, as opening it would.
std::string ResolveLink(const std::string& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    char resolved[PATH_MAX];
    return ::realpath(target.c_str(), resolved) ? std::string(resolved) : target;
}

// The mode a plain create would give. Reading the mask means setting it for a moment; the
// program is single-threaded.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void SyncFolder(const std::string& file) {
    const std::string folder = FolderOf(file);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::open(const std::string& target) {
    discard();
    target_ = ResolveLink(target);
    mode_t mode = NewFileMode();
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        // The rename would replace a read-only file that a plain open could not write.
        if (!S_ISREG(st.st_mode) || ::access(target_.c_str(), W_OK) != 0) return false;
        mode = st.st_mode & 07777;
    }
    // A short hidden name: the target's own name may already be as long as a name can be.
    std::string pattern = FolderOf(target_) + ".tavrin-save-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return false;
    ::fchmod(fd, mode);
    fd_ = fd;
    temp_ = name.data();
    failed_ = false;
    pending_.clear();
    pending_.reserve(kFlushBytes + 4096);
    return true;
}

bool AtomicFile::writeOut(const char* data, size_t size) {
    size_t done = 0;
    while (!failed_ && done < size) {
        const ssize_t n = ::write(fd_, data + done, size - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            failed_ = true;
    }
    return !failed_;
}

bool AtomicFile::flush() {
    writeOut(pending_.data(), pending_.size());
    pending_.clear();
    return !failed_;
}

bool AtomicFile::write(const void* data, size_t size) {
    if (fd_ < 0 || failed_) return false;
    // A large block (a whole binary image, a slice of records) goes out as it is.
    if (size >= kDirectBytes) return flush() && writeOut(static_cast<const char*>(data), size);
    pending_.append(static_cast<const char*>(data), size);
    return pending_.size() < kFlushBytes || flush();
}

bool AtomicFile::commit() {
    if (fd_ < 0) return false;
    bool ok = flush() && ::fsync(fd_) == 0;
    ok = (::close(fd_) == 0) && ok;
    fd_ = -1;
    if (ok) ok = ::rename(temp_.c_str(), target_.c_str()) == 0;
    if (!ok) {
        ::unlink(temp_.c_str());
        temp_.clear();
        return false;
    }
    temp_.clear();
    SyncFolder(target_);
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    pending_.clear();
}

}  // namespace tavrin
