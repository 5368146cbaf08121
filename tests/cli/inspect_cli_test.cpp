// The inspection commands of `tavrin` end to end: checksums side by side, odd/even halves.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "cli/CliRun.h"

namespace {
using namespace tavrin::test;

TEST_F(Cli, ChecksumAllListsEverySumOverTheDeviceOrARange) {
    std::ofstream(path("check.bin"), std::ios::binary) << "123456789";
    Result all = runTool({"-d", "27C256", "checksum", "--all", path("check.bin")});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_NE(all.out.find("Range: 0x000000-0x007FFF (32768 bytes)"), std::string::npos) << all.out;
    for (const char* label :
         {"16 Bit Addition", "Intel", "Motorola", "CRC-16/CCITT", "CRC-32", "SHA-256"})
        EXPECT_NE(all.out.find(label), std::string::npos) << label;

    Result json = runTool(
        {"-d", "27C256", "--json", "checksum", "--all", "--range", "0+9", path("check.bin")});
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["length"], 9);
    EXPECT_EQ(j["crc16"], "0x29B1");
    EXPECT_EQ(j["crc32"], "0xCBF43926");
    EXPECT_EQ(j["sha256"], "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225");

    Result plain = runTool({"-d", "27C256", "checksum", path("check.bin")});
    EXPECT_NE(plain.out.find("32 Bit CRC:      0x"), std::string::npos) << "the plain form stays";

    Result bad =
        runTool({"-d", "27C256", "checksum", "--all", "--range", "9-1", path("check.bin")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("ends before it starts"), std::string::npos) << bad.err;
}

TEST_F(Cli, InterleavedPairProgramsA16BitChipAndReadsBackAsHalves) {
    const std::string even = writeImage("even.bin", 65536, 11),
                      odd = writeImage("odd.bin", 65536, 12);
    const std::string chip = path("chip.sim");
    Result p =
        runTool({"-d", "27C1024", "--chip-file", chip, "program", "--interleave", even, odd});
    ASSERT_EQ(p.status, 0) << p.err;
    Result whole = runTool({"-d", "27C1024", "--chip-file", chip, "read", path("whole.bin")});
    ASSERT_EQ(whole.status, 0) << whole.err;
    const std::string image = slurp(path("whole.bin")), e = slurp(even), o = slurp(odd);
    ASSERT_EQ(image.size(), 131072u);
    for (size_t i = 0; i < 65536; i += 4099) {
        EXPECT_EQ(image[2 * i], e[i]) << i;
        EXPECT_EQ(image[2 * i + 1], o[i]) << i;
    }
    for (const char* half : {"even", "odd"}) {
        const std::string out = path(std::string(half) + ".hex");
        Result r = runTool({"-d", "27C1024", "--chip-file", chip, "read", "--split", half, out});
        ASSERT_EQ(r.status, 0) << r.err;
        Result back = runTool({"convert", out, path("back.bin")});
        ASSERT_EQ(back.status, 0) << back.err;
        EXPECT_EQ(slurp(path("back.bin")), std::string(half) == "even" ? e : o) << half;
    }
    Result v = runTool({"-d", "27C1024", "--chip-file", chip, "verify", "--interleave", even, odd});
    EXPECT_EQ(v.status, 0) << v.err;
}

TEST_F(Cli, SplitAndInterleaveRefuseWhatTheyCannotDo) {
    const std::string a = writeImage("a.bin", 16, 1);
    Result none = runTool({"-d", "27C256", "program"});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("FILE (or --interleave EVEN ODD) is needed"), std::string::npos);
    Result both = runTool({"-d", "27C256", "program", a, "--interleave", a, a});
    EXPECT_EQ(both.status, 2);
    Result pic = runTool({"-d", "PIC16F84", "verify", "--interleave", a, a});
    EXPECT_EQ(pic.status, 2);
    EXPECT_NE(pic.err.find("PIC images are program words"), std::string::npos) << pic.err;
    EXPECT_EQ(runTool({"convert", "--split", "middle", a, path("b.bin")}).status, 2);
    Result missing = runTool({"convert", "--interleave", a, path("gone.bin"), path("c.bin")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("gone.bin"), std::string::npos) << missing.err;
}

}  // namespace
