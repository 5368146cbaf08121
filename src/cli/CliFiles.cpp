#include "cli/CliFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "buffer/FileNames.h"

namespace tavrin::cli {

namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = UpperExtension(path);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::optional<FileFormat> FormatByName(const std::string& name) {
    if (name == "bin") return FileFormat::Binary;
    if (name == "hex") return FileFormat::IntelHex;
    if (name == "srec") return FileFormat::SRecord;
    if (name == "eep") return FileFormat::Eep;
    if (name == "auto") return FileFormat::Auto;
    return std::nullopt;
}

FileFormat InputFormatForName(const std::string& path) {
    if (IsStdStream(path)) return FileFormat::Auto;
    const std::string ext = lowerExtension(path);
    if (ext == ".bin" || ext == ".rom") return FileFormat::Binary;
    if (ext == ".hex") return FileFormat::IntelHex;
    if (ext == ".s") return FileFormat::SRecord;
    if (ext == ".eep") return FileFormat::Eep;
    return FileFormat::Auto;
}

FileFormat OutputFormatForName(const std::string& path) {
    if (IsStdStream(path)) return FileFormat::Binary;
    const std::string ext = lowerExtension(path);
    for (const char* e : {".hex", ".ihex", ".ihx"})
        if (ext == e) return FileFormat::IntelHex;
    for (const char* e : {".s", ".s19", ".s28", ".s37", ".srec", ".mot"})
        if (ext == e) return FileFormat::SRecord;
    if (ext == ".eep") return FileFormat::Eep;
    return FileFormat::Binary;
}

std::string UnreadableReason(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::strerror(errno);
    if (S_ISDIR(st.st_mode)) return "it is a folder";
    if (!S_ISREG(st.st_mode)) return "not a regular file";
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return std::strerror(errno);
    ::close(fd);
    return {};
}

std::string UnwritableReason(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return "it is a folder";
        if (::access(path.c_str(), W_OK) != 0) return std::strerror(errno);
        return {};
    }
    if (errno != ENOENT) return std::strerror(errno);
    const std::string folder = folderOf(path);
    if (::stat(folder.c_str(), &st) != 0) return "folder '" + folder + "': " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return "'" + folder + "' is not a folder";
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return "folder '" + folder + "': " + std::strerror(errno);
    return {};
}

bool ReadStandardInput(std::vector<uint8_t>& bytes, size_t limit, std::string& reason) {
    bytes.clear();
    uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            reason = std::strerror(errno);
            return false;
        }
        if (bytes.size() + size_t(n) > limit) {
            reason = "more than " + std::to_string(limit / (1024 * 1024)) + " MB";
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
}

std::string TemporaryOutputFile() {
    const char* dir = std::getenv("TMPDIR");
    std::string name = std::string(dir && *dir ? dir : "/tmp") + "/tavrin-out-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return {};
    ::close(fd);
    return name;
}

bool CopyToStandardOutput(const std::string& path) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    bool ok = in != nullptr;
    char buf[65536];
    while (ok) {
        const size_t n = std::fread(buf, 1, sizeof buf, in);
        if (n == 0) break;
        ok = std::fwrite(buf, 1, n, stdout) == n;
    }
    if (in) std::fclose(in);
    ok = std::fflush(stdout) == 0 && ok;
    std::remove(path.c_str());
    return ok;
}

}  // namespace tavrin::cli
