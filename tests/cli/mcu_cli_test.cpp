// `tavrin` with the microcontroller families on the simulated board: programming, reading,
// verifying, blank checks, erase, the electronic ID and the lock-bit commands across processes.
#include <gtest/gtest.h>

#include "cli/CliRun.h"

namespace {
using namespace tavrin::test;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(Cli, At89c51EveryCommandAcrossProcesses) {
    const std::string image = writeImage("image.bin", 4096, 31), chip = path("chip.sim");
    auto tool = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"-d", "AT89C51", "--chip-file", chip});
        return runTool(args);
    };
    Result r = tool({"blank"});
    EXPECT_EQ(r.status, 0) << r.err;
    r = tool({"program", image});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err, "Device Programmed OK")) << r.err;
    r = tool({"read", path("back.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(slurp(path("back.bin")), slurp(image));
    EXPECT_EQ(tool({"verify", image}).status, 0);
    r = tool({"blank"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.err, "Device is NOT Empty ($0000)")) << r.err;
    r = tool({"id"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, " ATMEL") && has(r.out, " AT89C51")) << r.out;

    // Lock bit 2 with the program run: the part then refuses to be verified.
    r = tool({"--lock", "2", "program", image});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err, "Device Programmed & Lock bit")) << r.err;
    r = tool({"verify", image});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.err, "Chip = 0xFF")) << r.err;
    r = tool({"read-lock"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(has(r.out, " Chip can not read Lock bit..")) << r.out;

    r = tool({"erase"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err, "Chip erased")) << r.err;
    EXPECT_EQ(tool({"blank"}).status, 0);
    r = tool({"lock", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err, "Device LockBit ")) << r.err;
    EXPECT_EQ(tool({"lock", "4"}).status, 2);
}

TEST_F(Cli, At89c2051RefusesLockModeThree) {
    const std::string image = writeImage("image.bin", 2048, 32), chip = path("chip.sim");
    auto tool = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"-d", "AT89C2051", "--chip-file", chip});
        return runTool(args);
    };
    ASSERT_EQ(tool({"program", image}).status, 0);
    EXPECT_EQ(tool({"verify", image}).status, 0);
    Result r = tool({"read", path("back.bin")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(slurp(path("back.bin")), slurp(image));
    r = tool({"id"});
    EXPECT_TRUE(has(r.out, " AT89C2051")) << r.out;
    r = tool({"lock", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.err, "Lock Bit 3 does not exist on this Device")) << r.err;
    r = tool({"--lock", "3", "program", image});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(has(r.err, "Device Programmed & Lock bit")) << r.err;
    EXPECT_EQ(tool({"lock", "2"}).status, 0);
    EXPECT_EQ(tool({"verify", image}).status, 1);  // bit 2 disables verify
    EXPECT_EQ(tool({"erase"}).status, 0);
    EXPECT_EQ(tool({"blank"}).status, 0);
}

TEST_F(Cli, At89s8252AnswersToItsPartNameAndReadsItsLockBits) {
    const std::string chip = path("chip.sim");
    Result r = runTool({"-d", "AT89S8252", "--chip-file", chip, "lock", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err + r.out, "no lock bits written")) << r.err;
    r = runTool({"-d", "AT89S8252", "--chip-file", chip, "lock", "2"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "  Bit 1,2,3 (D2,1,0) = 001")) << r.out;  // the lock run shows them too
    r = runTool({"-d", "AT89S8252", "--chip-file", chip, "read-lock"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "  Bit 1,2,3 (D2,1,0) = 001")) << r.out;
}

TEST_F(Cli, LockOptionsOnlyForMcs51) {
    Result r = runTool({"-d", "27C256", "--lock", "1", "program", writeImage("a.bin", 16, 33)});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.err, "--lock")) << r.err;
    EXPECT_EQ(runTool({"-d", "27C256", "lock", "1"}).status, 2);
    EXPECT_EQ(runTool({"-d", "AT89C51", "--lock", "5", "program", path("x.bin")}).status, 2);
}

TEST_F(Cli, D8749hProgramReadVerifyBlank) {
    const std::string image = writeImage("image.bin", 2048, 34), chip = path("chip.sim");
    auto tool = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"-d", "D8749H", "--chip-file", chip});
        return runTool(args);
    };
    Result r = tool({"blank"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err, "Device D8748/8749 Request Vea = 18V")) << r.err;
    r = tool({"program", image});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err, "Device Programed OK")) << r.err;
    r = tool({"read", path("back.bin")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(slurp(path("back.bin")), slurp(image));
    EXPECT_EQ(tool({"verify", image}).status, 0);
    EXPECT_EQ(tool({"blank"}).status, 1);
    EXPECT_EQ(tool({"erase"}).status, 1);  // "Cannot Erase this Device"
}

TEST_F(Cli, RomPartReadsAndVerifiesOnly) {
    const std::string chip = path("chip.sim");
    auto tool = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"-d", "P8049AH", "--chip-file", chip});
        return runTool(args);
    };
    Result r = tool({"read", path("rom.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err, "Chip read OK")) << r.err;
    EXPECT_EQ(slurp(path("rom.bin")).size(), 2048u);
    EXPECT_EQ(tool({"verify", path("rom.bin")}).status, 0);
    r = tool({"program", path("rom.bin")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.err, "mask-ROM")) << r.err;
    EXPECT_FALSE(has(r.err, "in this build")) << r.err;
    r = tool({"blank"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.err, "Cannot check this Device")) << r.err;
}

}  // namespace
