// Every checksum of the set against values of standard tools: srec_cat 1.64 (byte and word sums,
// CRC-32), Python's binascii.crc_hqx with init 0xFFFF (CRC-16/CCITT), zlib.crc32 and sha256sum.
#include "buffer/ChecksumSet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "buffer/FileTestSupport.h"

namespace tavrin::test {
namespace {

// 1001 bytes: an odd length, so the word sums take a lone last byte.
std::vector<uint8_t> pattern() {
    std::vector<uint8_t> bytes(1001);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 131 + (i >> 8) * 7 + 3);
    return bytes;
}

std::string valueOf(const std::vector<ChecksumLine>& lines, const std::string& key) {
    for (const ChecksumLine& line : lines)
        if (key == line.key) return line.value;
    return "missing " + key;
}

TEST(ChecksumSet, CheckStringGivesTheCatalogueValues) {
    const std::string text = "123456789";
    const auto set = ComputeChecksums(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    EXPECT_EQ(set.crc16Ccitt, 0x29B1);  // CRC-16/CCITT-FALSE check value
    EXPECT_EQ(set.crc32, 0xCBF43926u);  // CRC-32 check value
    EXPECT_EQ(set.sum16, 0x01DD);
    // "12" "34" "56" "78" "9": 0x3231 + 0x3433 + 0x3635 + 0x3837 + 0x0039 (Intel).
    EXPECT_EQ(set.wordSumIntel, 0xD509);
    EXPECT_EQ(set.wordSumMotorola, 0x09D4);  // 0x3132 + 0x3334 + 0x3536 + 0x3738 + 0x3900
    EXPECT_EQ(valueOf(ChecksumLines(set), "sha256"),
              "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225");
}

TEST(ChecksumSet, PatternMatchesTheStandardTools) {
    const std::vector<uint8_t> bytes = pattern();
    const auto lines = ChecksumLines(ComputeChecksums(bytes.data(), bytes.size()));
    EXPECT_EQ(valueOf(lines, "sum16"), "0xF214");            // srec_cat -checksum-pos-l-e A 2 1
    EXPECT_EQ(valueOf(lines, "wordSumIntel"), "0x8884");     // srec_cat -checksum-pos-l-e A 2 2
    EXPECT_EQ(valueOf(lines, "wordSumMotorola"), "0x7D90");  // srec_cat -checksum-pos-b-e A 2 2
    EXPECT_EQ(valueOf(lines, "crc16"), "0x8DE9");            // binascii.crc_hqx(d, 0xFFFF)
    EXPECT_EQ(valueOf(lines, "crc32"), "0x95ADA21F");        // srec_cat -crc32-l-e, zlib.crc32
    EXPECT_EQ(valueOf(lines, "sha256"),
              "b56b5608fa716d2193e1a86ab445481be63f0d1775997af612be9953804c2412");  // sha256sum
}

TEST(ChecksumSet, EmptyRangeGivesTheInitialValues) {
    const auto set = ComputeChecksums(nullptr, 0);
    EXPECT_EQ(set.sum16, 0);
    EXPECT_EQ(set.crc16Ccitt, 0xFFFF);
    EXPECT_EQ(set.crc32, 0u);
    EXPECT_EQ(valueOf(ChecksumLines(set), "sha256"),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

// The same image through sha256sum and srec_cat at test time, where they are installed.
TEST(ChecksumSet, RandomImageAgreesWithSha256sumAndSrecCat) {
    if (std::system("command -v sha256sum >/dev/null 2>&1") != 0 || !HaveSrecCat())
        GTEST_SKIP() << "sha256sum or srec_cat missing";
    ScratchDir dir;
    const std::vector<uint8_t> image = RandomBytes(65536, 77);
    WriteBytes(dir / "image.bin", image);
    ASSERT_EQ(std::system(("sha256sum " + dir / "image.bin" + " > " + dir / "sum.txt").c_str()), 0);
    // Each value is written past the image and cut out on its own.
    const auto srecValue = [&](const std::string& filter, size_t width) {
        const std::string out = dir / "value.bin";
        EXPECT_TRUE(RunSrecCat(dir / "image.bin" + " -binary " + filter +
                               " -crop 0x10000 0x10010 -offset -0x10000 -o " + out + " -binary"));
        const std::vector<uint8_t> bytes = ReadBytes(out);
        uint32_t value = 0;
        for (size_t i = 0; i < width && i < bytes.size(); ++i) value = value << 8 | bytes[i];
        return bytes.size() == width ? value : 0xDEADu;
    };
    const auto set = ComputeChecksums(image.data(), image.size());
    EXPECT_EQ(set.sum16, srecValue("-checksum-pos-b-e 0x10000 2 1", 2));
    EXPECT_EQ(set.wordSumMotorola, srecValue("-checksum-pos-b-e 0x10000 2 2", 2));
    EXPECT_EQ(set.crc32, srecValue("-crc32-b-e 0x10000", 4));
    EXPECT_EQ(ReadText(dir / "sum.txt").substr(0, 64), valueOf(ChecksumLines(set), "sha256"));
}

TEST(ByteRange, ParsesBothFormsAndRejectsBadOnes) {
    std::string error;
    auto r = ParseByteRange("0x100-1FF", 0x8000, error);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->first, 0x100u);
    EXPECT_EQ(r->length(), 0x100u);
    r = ParseByteRange("10+20", 0x8000, error);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->last, 0x2Fu);
    for (const char* bad : {"", "100", "1G-20", "20-10", "0+0", "0-8000", "7FFF+2"}) {
        EXPECT_FALSE(ParseByteRange(bad, 0x8000, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace tavrin::test
