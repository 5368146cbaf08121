// The inspection commands of `tavrin` end to end: checksums side by side.
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

}  // namespace
