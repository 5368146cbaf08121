// The inspection commands of `tavrin` end to end: checksums side by side, odd/even halves, the
// difference report, the parallel ports and the per-line test of the socket.
#include <gtest/gtest.h>

#include <filesystem>
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

// Chip image and a file that differs from it in three bytes with known bit directions.
struct ThreeChanges {
    std::string chip, file;
};
ThreeChanges threeChanges(const std::string& image) {
    ThreeChanges t{image, image};
    t.chip[0x10] = char(0xF0), t.file[0x10] = char(0xF1);    // one bit 1 in the file, 0 in the chip
    t.chip[0x200] = char(0xFF), t.file[0x200] = char(0x7F);  // one bit 0 in the file, 1 in the chip
    t.chip[0x7FFF] = char(0x0F), t.file[0x7FFF] = char(0xF0);  // four of each
    return t;
}

TEST_F(Cli, VerifyAllReportsExactlyTheThreeChangedBytes) {
    const ThreeChanges t = threeChanges(slurp(writeImage("base.bin", 32768, 21)));
    std::ofstream(path("chip.bin"), std::ios::binary) << t.chip;
    std::ofstream(path("file.bin"), std::ios::binary) << t.file;
    const std::string chip = path("chip.sim");
    ASSERT_EQ(runTool({"-d", "27C256", "--chip-file", chip, "program", path("chip.bin")}).status,
              0);

    Result plain = runTool({"-d", "27C256", "--chip-file", chip, "verify", path("file.bin")});
    EXPECT_EQ(plain.status, 1);
    EXPECT_NE(plain.err.find(" Error at 0x000010"), std::string::npos) << "first error kept";

    Result text =
        runTool({"-d", "27C256", "--chip-file", chip, "verify", "--all", path("file.bin")});
    EXPECT_EQ(text.status, 1) << text.err;
    EXPECT_NE(text.out.find("3 bytes of 32768 differ (bits 1->0: 5, 0->1: 5)"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("0x000200  0xFF  0x7F"), std::string::npos) << text.out;

    Result json = runTool(
        {"-d", "27C256", "--chip-file", chip, "--json", "verify", "--all", path("file.bin")});
    EXPECT_EQ(json.status, 1);
    const nlohmann::json result = nlohmann::json::parse(json.out);
    EXPECT_EQ(result["hint"],
              "the chip is not blank: it holds 0 where the file wants 1; erase it first");
    EXPECT_EQ(result["outcome"], "failed");
    EXPECT_EQ(result["message"], "3 bytes of 32768 differ (bits 1->0: 5, 0->1: 5)");
    EXPECT_EQ(result["mismatch"]["address"], 0x10);
    EXPECT_EQ(result["mismatch"]["chip"], 0xF0);
    EXPECT_EQ(result["mismatch"]["buffer"], 0xF1);
    const nlohmann::json& j = result["report"];
    EXPECT_EQ(j["differing"], 3);
    EXPECT_EQ(j["bitsOneToZero"], 5);
    EXPECT_EQ(j["bitsZeroToOne"], 5);
    EXPECT_EQ(j["mustErase"], true) << "a UV EPROM cannot turn the 0 at 0x10 into 1";
    ASSERT_EQ(j["differences"].size(), 3u);
    const int expected[3][3] = {{0x10, 0xF0, 0xF1}, {0x200, 0xFF, 0x7F}, {0x7FFF, 0x0F, 0xF0}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(j["differences"][k]["address"], expected[k][0]);
        EXPECT_EQ(j["differences"][k]["chip"], expected[k][1]);
        EXPECT_EQ(j["differences"][k]["file"], expected[k][2]);
    }
    Result same =
        runTool({"-d", "27C256", "--chip-file", chip, "verify", "--all", path("chip.bin")});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_NE(same.out.find("No differences in 32768 bytes"), std::string::npos) << same.out;
}

TEST_F(Cli, ProgramOverZerosSaysTheChipMustBeErased) {
    const std::string chip = path("chip.sim");
    std::ofstream(path("zeros.bin"), std::ios::binary) << std::string(8192, '\0');
    ASSERT_EQ(runTool({"-d", "27C64", "--chip-file", chip, "program", path("zeros.bin")}).status,
              0);
    const std::string image = writeImage("image.bin", 8192, 5);
    Result p = runTool({"-d", "27C64", "--chip-file", chip, "--json", "program", image});
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.err.find(" Error at 0x000000"), std::string::npos) << "the status text stays";
    EXPECT_NE(p.err.find("hint: the chip is not blank"), std::string::npos) << p.err;
    const nlohmann::json j = nlohmann::json::parse(p.out);
    EXPECT_EQ(j["report"]["mustErase"], true);
    EXPECT_EQ(j["report"]["bitsZeroToOne"], 0);
    // A 28C EEPROM writes either way: no such hint.
    const std::string eeprom = path("eeprom.sim");
    Result e = runTool(
        {"-d", "28C64", "--chip-file", eeprom, "--sim-fault", "stuck:0:0=0", "program", image});
    EXPECT_EQ(e.err.find("not blank"), std::string::npos) << e.err;
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

TEST_F(Cli, PortsListsTheMachinesParallelPortsOrSaysWhyThereAreNone) {
    Result text = runTool({"ports"});
    EXPECT_EQ(text.status, 0) << text.err;
    const bool none = !std::filesystem::exists("/dev/parport0");
    if (none)
        EXPECT_NE(text.out.find("no parallel port: no /dev/parport* node"), std::string::npos);
    else
        EXPECT_NE(text.out.find("/dev/parport0"), std::string::npos) << text.out;
    Result json = runTool({"--json", "ports"});
    ASSERT_EQ(json.status, 0);
    const nlohmann::json j = nlohmann::json::parse(json.out);
    ASSERT_TRUE(j["ports"].is_array());
    if (none) EXPECT_TRUE(j["ports"].empty());
}

TEST_F(Cli, LineTestNamesTheStuckLineOfTheSimulatedBoard) {
    const std::string ram = "62256    32KB";
    Result good = runTool({"-d", ram, "test-hardware", "--lines"});
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_NE(good.out.find("8 data and 15 address lines tested"), std::string::npos) << good.out;
    EXPECT_NE(good.err.find("Socket lines OK"), std::string::npos) << good.err;

    Result address =
        runTool({"-d", ram, "--sim-fault", "line-stuck:A5=1", "test-hardware", "--lines"});
    EXPECT_EQ(address.status, 1);
    EXPECT_NE(address.out.find("A5 stuck or open"), std::string::npos) << address.out;
    EXPECT_NE(address.err.find("Stuck line: A5"), std::string::npos) << address.err;

    Result data = runTool(
        {"-d", ram, "--sim-fault", "line-stuck:D6=0", "--json", "test-hardware", "--lines"});
    EXPECT_EQ(data.status, 1);
    const nlohmann::json j = nlohmann::json::parse(data.out);
    EXPECT_EQ(j["stuckLines"], nlohmann::json::array({"D6 stuck at 0"}));

    Result noRam = runTool({"test-hardware", "--lines"});
    EXPECT_EQ(noRam.status, 2);
    EXPECT_NE(noRam.err.find("static RAM"), std::string::npos);
    EXPECT_EQ(runTool({"-d", ram, "--sim-fault", "line-stuck:Q1=0", "test-hardware"}).status, 2);
}

}  // namespace
