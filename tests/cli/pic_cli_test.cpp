// `tavrin` with PIC devices: program, read, verify, blank, erase and id in separate processes
// sharing a chip file; the configuration word from the command line; the programming question of
// the EPROM parts.
#include <gtest/gtest.h>

#include <fstream>

#include "cli/CliRun.h"

namespace {
using namespace tavrin::test;

// An Intel HEX line of `data` at byte address `address`.
std::string hexLine(uint32_t address, const std::vector<uint8_t>& data) {
    char buf[16];
    std::string line = ":";
    uint32_t sum = uint32_t(data.size()) + (address >> 8 & 0xFF) + (address & 0xFF);
    std::snprintf(buf, sizeof buf, "%02X%04X00", unsigned(data.size()), address & 0xFFFF);
    line += buf;
    for (uint8_t b : data) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        line += buf;
        sum += b;
    }
    std::snprintf(buf, sizeof buf, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
    return line + buf + "\n";
}

// A program of four words, the identifiers 1234, the configuration word and two data bytes, at
// the addresses MPLAB uses (byte 0x4000 identifiers, 0x400E configuration, 0x4200 data).
std::string pic14Hex(uint16_t config) {
    return hexLine(0, {0x83, 0x16, 0x86, 0x01, 0x83, 0x12, 0x06, 0x28}) +
           hexLine(0x4000, {0xF1, 0x3F, 0xF2, 0x3F, 0xF3, 0x3F, 0xF4, 0x3F}) +
           hexLine(0x400E, {uint8_t(config & 0xFF), uint8_t(config >> 8)}) +
           hexLine(0x4200, {0x55, 0x00, 0xAA, 0x00}) + ":00000001FF\n";
}

TEST_F(Cli, Pic16F84AProgramReadVerifyBlankEraseAndId) {
    const std::string chip = path("f84a.sim"), image = path("f84a.hex");
    std::ofstream(image) << pic14Hex(0x3FF1);
    Result p = runTool({"-d", "16F84A", "--chip-file", chip, "program", image});
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_NE(p.err.find("Device Programed OK"), std::string::npos) << p.err;
    Result r = runTool({"-d", "16F84A", "--chip-file", chip, "read", path("back.hex")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string back = slurp(path("back.hex"));
    EXPECT_NE(back.find(hexLine(0, {0x83, 0x16, 0x86, 0x01, 0x83, 0x12, 0x06, 0x28, 0xFF, 0x3F,
                                    0xFF, 0x3F, 0xFF, 0x3F, 0xFF, 0x3F})),
              std::string::npos)
        << back;
    // Identifiers, device ID (0x2006) and configuration word in one record.
    EXPECT_NE(back.find(hexLine(0x4000, {0xF1, 0x3F, 0xF2, 0x3F, 0xF3, 0x3F, 0xF4, 0x3F, 0xFF, 0x3F,
                                         0xFF, 0x3F, 0x63, 0x05, 0xF1, 0x3F})),
              std::string::npos)
        << back;
    EXPECT_NE(back.find(":10420000550"), std::string::npos) << back;
    EXPECT_EQ(runTool({"-d", "16F84A", "--chip-file", chip, "verify", path("back.hex")}).status, 0);
    Result b = runTool({"-d", "16F84A", "--chip-file", chip, "blank"});
    EXPECT_EQ(b.status, 1);
    EXPECT_NE(b.err.find("Device NOT blank!"), std::string::npos) << b.err;
    Result id = runTool({"-d", "16F84A", "--chip-file", chip, "id"});
    ASSERT_EQ(id.status, 0) << id.err;
    EXPECT_NE(id.out.find("Hex 0x0563"), std::string::npos) << id.out;
    EXPECT_NE(id.out.find("Rev 0 0011"), std::string::npos) << id.out;
    EXPECT_NE(id.out.find("Device Name PIC 16F84A"), std::string::npos) << id.out;
    EXPECT_EQ(runTool({"-d", "16F84A", "--chip-file", chip, "erase"}).status, 0);
    Result blank = runTool({"-d", "16F84A", "--chip-file", chip, "blank"});
    EXPECT_EQ(blank.status, 0) << blank.err;
    EXPECT_NE(blank.err.find("Device Blank"), std::string::npos) << blank.err;
}

TEST_F(Cli, Pic16F877ConfigurationWordFromTheCommandLine) {
    const std::string chip = path("f877.sim"), image = path("f877.hex");
    std::ofstream(image) << pic14Hex(0x3FFF);
    Result p = runTool({"-d", "16F877", "--chip-file", chip, "--config", "3B31", "program", image});
    ASSERT_EQ(p.status, 0) << p.err;
    Result r = runTool({"-d", "16F877", "--chip-file", chip, "read", path("back.hex")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(slurp(path("back.hex"))
                  .find(hexLine(0x4000, {0xF1, 0x3F, 0xF2, 0x3F, 0xF3, 0x3F, 0xF4, 0x3F, 0xFF, 0x3F,
                                         0xFF, 0x3F, 0xA3, 0x09, 0x31, 0x3B})),
              std::string::npos);
    EXPECT_EQ(runTool({"-d", "16F877", "--config", "4000", "info"}).status, 2);
    EXPECT_EQ(runTool({"-d", "27C256", "--config", "3FFF", "info"}).status, 2);
    // A protected part reads zeros; erase recovers it.
    Result prot = runTool(
        {"-d", "16F877", "--chip-file", chip, "--sim-fault", "code-protected", "verify", image});
    EXPECT_EQ(prot.status, 1);
    EXPECT_NE(prot.err.find("Error verifying PIC"), std::string::npos) << prot.err;
}

TEST_F(Cli, Pic12C508AsksBeforeProgrammingAndKeepsItsCalibration) {
    const std::string chip = path("c508.sim"), image = path("c508.hex");
    std::ofstream(image) << hexLine(0, {0x25, 0x0C, 0x06, 0x00, 0x03, 0x0A}) +
                                hexLine(0x0400, {0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00}) +
                                hexLine(0x1FFE, {0xEA, 0x0F}) + ":00000001FF\n";
    Result refused = runTool({"-d", "12C508", "--chip-file", chip, "program", image});
    EXPECT_EQ(refused.status, 4) << refused.err;
    EXPECT_NE(refused.err.find("Do you really want program the device ?"), std::string::npos)
        << refused.err;
    EXPECT_EQ(runTool({"-d", "12C508", "--chip-file", chip, "blank"}).status, 0)
        << "nothing was programmed";
    Result p = runTool({"-d", "12C508", "--chip-file", chip, "--yes", "program", image});
    ASSERT_EQ(p.status, 0) << p.err;
    Result r = runTool({"-d", "12C508", "--chip-file", chip, "read", path("back.hex")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string back = slurp(path("back.hex"));
    // Words 504 to 511: erased, then the chip's own calibration word.
    EXPECT_NE(back.find(hexLine(0x3F0, {0xFF, 0x0F, 0xFF, 0x0F, 0xFF, 0x0F, 0xFF, 0x0F, 0xFF, 0x0F,
                                        0xFF, 0x0F, 0xFF, 0x0F, 0x94, 0x0C})),
              std::string::npos)
        << back;
    EXPECT_NE(back.find(hexLine(0x1FFE, {0x0A, 0x00})), std::string::npos) << back;
    EXPECT_EQ(runTool({"-d", "12C508", "--chip-file", chip, "verify", path("back.hex")}).status, 0);
    EXPECT_EQ(runTool({"-d", "12C508", "--chip-file", chip, "blank"}).status, 1);
    Result erase = runTool({"-d", "12C508", "--chip-file", chip, "erase"});
    EXPECT_EQ(erase.status, 1);
    EXPECT_NE(erase.err.find("Cannot Erase this Device"), std::string::npos) << erase.err;
    EXPECT_EQ(runTool({"-d", "16F84A", "--write-osccal", "info"}).status, 2);
}

}  // namespace
