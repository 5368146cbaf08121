#pragma once
// Helpers of the file-format tests: a scratch folder, whole-file reads and writes, random images
// and running srec_cat.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrin::test {

class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tavrin-files-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!::mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
        path_ = name.data();
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }
    // Names of the files in the folder, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            out.push_back(e.path().filename());
        std::sort(out.begin(), out.end());
        return out;
    }

  private:
    std::filesystem::path path_;
};

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    const std::string text = ReadText(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

inline std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> out(size);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

// An Intel HEX record line (without line end) with a correct checksum.
inline std::string HexRecordLine(uint8_t type, uint16_t address, const std::vector<uint8_t>& data) {
    static const char* digits = "0123456789ABCDEF";
    std::string line = ":";
    unsigned sum = 0;
    auto put = [&](uint8_t b) {
        line += digits[b >> 4];
        line += digits[b & 15];
        sum += b;
    };
    put(static_cast<uint8_t>(data.size()));
    put(static_cast<uint8_t>(address >> 8));
    put(static_cast<uint8_t>(address));
    put(type);
    for (uint8_t b : data) put(b);
    const uint8_t check = static_cast<uint8_t>(0x100 - (sum & 0xFF));
    line += digits[check >> 4];
    line += digits[check & 15];
    return line;
}

// An S-record line of type `type` ('1', '2' or '3') with a correct checksum.
inline std::string SRecordLine(char type, uint32_t address, const std::vector<uint8_t>& data) {
    static const char* digits = "0123456789ABCDEF";
    const int addressBytes = type == '1' ? 2 : type == '2' ? 3 : 4;
    std::string line = std::string("S") + type;
    unsigned sum = 0;
    auto put = [&](uint8_t b) {
        line += digits[b >> 4];
        line += digits[b & 15];
        sum += b;
    };
    put(static_cast<uint8_t>(data.size() + addressBytes + 1));
    for (int shift = 8 * (addressBytes - 1); shift >= 0; shift -= 8)
        put(static_cast<uint8_t>(address >> shift));
    for (uint8_t b : data) put(b);
    const uint8_t check = static_cast<uint8_t>(~sum);
    line += digits[check >> 4];
    line += digits[check & 15];
    return line;
}

inline bool HaveSrecCat() {
    return std::system("command -v srec_cat >/dev/null 2>&1") == 0;
}

// Runs srec_cat with `args`; true on exit status 0.
inline bool RunSrecCat(const std::string& args) {
    return std::system(("srec_cat " + args + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace tavrin::test
