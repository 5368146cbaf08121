// The `tavrin` binary end to end on the simulated board: separate processes share a chip file.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/CliRun.h"

namespace {
using namespace tavrin::test;

TEST_F(Cli, ProgramThenReadBackInASecondProcess) {
    const std::string image = writeImage("image.bin", 32768, 1), chip = path("chip.sim");
    Result p = runTool({"-d", "27C256", "--chip-file", chip, "program", image});
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_NE(p.err.find("Device Programed OK"), std::string::npos);
    Result r = runTool({"-d", "27C256", "--chip-file", chip, "read", path("back.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(slurp(path("back.bin")), slurp(image));
    Result v = runTool({"-d", "27C256", "--chip-file", chip, "verify", image});
    EXPECT_EQ(v.status, 0) << v.err;
}

TEST_F(Cli, VerifyAgainstADifferentFileFailsWithTheMismatch) {
    const std::string chip = path("chip.sim");
    ASSERT_EQ(runTool({"-d", "27C64", "--chip-file", chip, "program", writeImage("a.bin", 8192, 2)})
                  .status,
              0);
    Result v =
        runTool({"-d", "27C64", "--chip-file", chip, "verify", writeImage("b.bin", 8192, 3)});
    EXPECT_EQ(v.status, 1);
    EXPECT_NE(v.err.find(" Error at 0x000000"), std::string::npos) << v.err;
}

TEST_F(Cli, BlankCheckOfAProgrammedChipFails) {
    const std::string chip = path("chip.sim");
    EXPECT_EQ(runTool({"-d", "27C64", "--chip-file", chip, "blank"}).status, 0);
    ASSERT_EQ(
        runTool({"-d", "27C64", "--chip-file", chip, "program", writeImage("a.bin", 16, 4)}).status,
        0);
    Result b = runTool({"-d", "27C64", "--chip-file", chip, "blank"});
    EXPECT_EQ(b.status, 1);
    EXPECT_NE(b.err.find("Device is NOT Empty"), std::string::npos) << b.err;
}

TEST_F(Cli, UsageAndInputErrorsExitTwo) {
    EXPECT_EQ(runTool({}).status, 2);
    EXPECT_EQ(runTool({"frobnicate"}).status, 2);
    EXPECT_EQ(runTool({"--bogus", "info"}).status, 2);
    Result unknown = runTool({"-d", "27C999", "info"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown device '27C999'"), std::string::npos);
    Result ambiguous = runTool({"-d", "27C", "info"});
    EXPECT_EQ(ambiguous.status, 2);
    EXPECT_NE(ambiguous.err.find("27C256"), std::string::npos) << "candidates are listed";
    EXPECT_EQ(runTool({"-d", "27C256", "program", path("missing.bin")}).status, 2);
    EXPECT_EQ(runTool({"read", path("x.bin")}).status, 2) << "no device";
    EXPECT_EQ(runTool({"-d", "27C256", "--chip-file", path("c"), "-p", "io", "blank"}).status, 2);
}

TEST_F(Cli, OptionsOfFamiliesNotBuiltAreRejected) {
    Result fast = runTool({"-d", "27C256", "--fast", "blank"});
    EXPECT_EQ(fast.status, 2);
    EXPECT_NE(fast.err.find("--fast does not apply to 27C256"), std::string::npos) << fast.err;
}

TEST_F(Cli, HardwareFaultsExitThree) {
    EXPECT_EQ(runTool({"test-hardware"}).status, 0);
    Result absent = runTool({"--sim-fault", "board-absent", "test-hardware"});
    EXPECT_EQ(absent.status, 3);
    EXPECT_NE(absent.err.find("Hardware Error :  Check Power && connection"), std::string::npos);
    EXPECT_EQ(
        runTool({"-d", "27C256", "--sim-fault", "board-unpowered", "read", path("r.bin")}).status,
        3);
    EXPECT_EQ(runTool({"-p", "ppdev:/nonexistent/parport9", "test-hardware"}).status, 3);
}

TEST_F(Cli, StuckBitStopsProgrammingWithTheFamilyMessage) {
    std::string zeros(32768, '\0');
    std::ofstream(path("zeros.bin"), std::ios::binary) << zeros;
    Result p =
        runTool({"-d", "27C256", "--sim-fault", "stuck:0x1234:3=1", "program", path("zeros.bin")});
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.err.find(" Error at 0x001234  Chip = 0x08  buffer = 0x00"), std::string::npos)
        << p.err;
}

TEST_F(Cli, InterruptMidReadCancelsAndLeavesTheSocketUnpowered) {
    const std::string trace = path("read.vcd");
    Result r =
        runTool({"-d", "27C080/801", "--trace", trace, "read", path("r.bin")}, "Reading Chip");
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_NE(r.err.find("Process Cancelled"), std::string::npos) << r.err;
    // The last values of Vcc and Vpp in the trace are off.
    const std::string vcd = slurp(trace);
    ASSERT_FALSE(vcd.empty());
    EXPECT_EQ(vcd[vcd.rfind("$\n") - 1], '0') << "vcc";
    EXPECT_EQ(vcd[vcd.rfind("%\n") - 1], '0') << "vpp";
}

TEST_F(Cli, DevicesJsonListsEveryEntry) {
    Result all = runTool({"devices"});
    Result json = runTool({"devices", "--json"});
    ASSERT_EQ(json.status, 0);
    const nlohmann::json list = nlohmann::json::parse(json.out);
    size_t lines = 0;
    for (char c : all.out) lines += c == '\n';
    EXPECT_EQ(list.size(), lines - 1);  // the table has a header line
    bool found = false;
    for (const auto& e : list)
        if (e["caption"] == "27C256") {
            found = true;
            EXPECT_EQ(e["part"], "27C256");
            EXPECT_EQ(e["family"], "UV EPROM");
            EXPECT_EQ(e["eep"], 0);
            EXPECT_EQ(e["tag"], 204);
            EXPECT_EQ(e["size"], 32768);
        }
    EXPECT_TRUE(found);
}

TEST_F(Cli, InfoShowsAddressBitsSwitchesAndJumper) {
    Result r = runTool({"-d", "27C64", "--board", "pcb3", "info"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("A0 --> A12"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Switches on: 1 2 4 6 9"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("position 4"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("PCB3"), std::string::npos);
}

TEST_F(Cli, ChecksumAndConvert) {
    std::ofstream(path("abc.bin"), std::ios::binary) << "abc";
    Result c = runTool({"-d", "27C64", "checksum", path("abc.bin")});
    ASSERT_EQ(c.status, 0) << c.err;
    // The rest of the 8 KB image is 0xFF: 0x126 + 8189 * 0xFF, modulo 65536.
    char expected[16];
    std::snprintf(expected, sizeof expected, "0x%04X", (0x126 + 8189 * 0xFF) & 0xFFFF);
    EXPECT_NE(c.out.find(std::string("16 Bit Addition: ") + expected), std::string::npos) << c.out;
    const std::string image = writeImage("in.bin", 1000, 5);
    ASSERT_EQ(runTool({"convert", image, path("out.hex")}).status, 0);
    ASSERT_EQ(runTool({"--format", "auto", "convert", path("out.hex"), path("again.bin")}).status,
              0);
    EXPECT_EQ(slurp(path("again.bin")), slurp(image));
    // S-records in a ".hex" file load through the fallback.
    ASSERT_EQ(runTool({"convert", image, path("records.s")}).status, 0);
    fs::rename(path("records.s"), path("records.hex"));
    ASSERT_EQ(runTool({"convert", path("records.hex"), path("third.bin")}).status, 0);
    EXPECT_EQ(slurp(path("third.bin")), slurp(image));
}

}  // namespace

namespace {
using namespace tavrin::test;

TEST_F(Cli, RomidentListsMatchesOnceOnStdout) {
    std::ofstream(path("img.bin"), std::ios::binary) << "hello world rom";
    std::string titles(160, '\0');
    titles.replace(0, 9, "Some Game");
    std::ofstream(path("romident.gam"), std::ios::binary) << titles;
    // One entry: title 0, name "hello.rom", CRC-32 of "hello world rom" (0xB421F2ED), 4 unused
    // bytes.
    std::string entry(28, '\0');
    entry.replace(2, 9, "hello.rom");
    const uint32_t crc = 0xB421F2ED;
    for (int i = 0; i < 4; ++i) entry[20 + i] = char((crc >> (8 * i)) & 0xFF);
    std::ofstream(path("romident.rom"), std::ios::binary) << entry;
    Result hit = runTool({"--romdb", dir_.string(), "romident", path("img.bin")});
    EXPECT_EQ(hit.status, 0) << hit.err;
    EXPECT_EQ(hit.out, "ROMIDENT V2.1 - Data File Revision 2\n\nhello.rom from Some Game\n");
    EXPECT_EQ(hit.err.find("hello.rom"), std::string::npos) << "listed once, on stdout only";
    std::ofstream(path("other.bin"), std::ios::binary) << "other";
    Result miss = runTool({"--romdb", dir_.string(), "romident", path("other.bin")});
    EXPECT_EQ(miss.status, 1);
    EXPECT_NE(miss.err.find("NOT FOUND!"), std::string::npos);
}

}  // namespace
