// The `tavrin` binary on the serial EEPROMs: program, read back and verify in separate processes
// sharing a chip file, and the serial options.
#include <gtest/gtest.h>

#include "cli/CliRun.h"

namespace {
using namespace tavrin::test;

struct Part {
    const char* device;
    size_t size;
    const char* programmed;
    const char* verified;
};

TEST_F(Cli, SerialEepromsProgramReadAndVerify) {
    const Part parts[] = {
        {"24C16", 2048, "Device Programmed OK", "Device Compares OK"},
        {"24C256", 32768, "Device Programmed OK", "Device Compares OK"},
        {"93C46 (8bit)", 128, "Device Programmed OK", "Device Verify OK"},
        {"93C46A (16bit)", 128, "Device Programmed OK", "Device Verify OK"},
        {"25x640", 8192, "Device Programed OK", "Device Verify OK"},
    };
    unsigned seed = 20;
    for (const Part& part : parts) {
        SCOPED_TRACE(part.device);
        const std::string image = writeImage("image.bin", part.size, ++seed);
        const std::string chip = path(std::string("chip-") + std::to_string(seed));
        Result p = runTool({"-d", part.device, "--chip-file", chip, "program", image});
        ASSERT_EQ(p.status, 0) << p.err;
        EXPECT_NE(p.err.find(part.programmed), std::string::npos) << p.err;
        Result r = runTool({"-d", part.device, "--chip-file", chip, "read", path("back.bin")});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(slurp(path("back.bin")), slurp(image));
        Result v = runTool({"-d", part.device, "--chip-file", chip, "verify", image});
        EXPECT_EQ(v.status, 0) << v.err;
        EXPECT_NE(v.err.find(part.verified), std::string::npos) << v.err;
    }
}

TEST_F(Cli, DevicesListsTheSerialTables) {
    Result d = runTool({"devices", "24C"});
    ASSERT_EQ(d.status, 0) << d.err;
    for (const char* caption : {"24C01A/B", "24C16", "24C512    (128)"})
        EXPECT_NE(d.out.find(caption), std::string::npos) << caption;
    EXPECT_NE(runTool({"devices", "93C"}).out.find("93C86 (16bit)"), std::string::npos);
    EXPECT_NE(runTool({"devices", "25x"}).out.find("25x640  (32)"), std::string::npos);
}

TEST_F(Cli, WriteProtectPinAndBlockProtectionOptions) {
    const std::string image = writeImage("image.bin", 256, 30);
    Result wp = runTool({"-d", "24C02", "--wp", "high", "program", image});
    EXPECT_EQ(wp.status, 1);
    EXPECT_NE(wp.err.find("No ACK write DATA"), std::string::npos) << wp.err;
    EXPECT_EQ(runTool({"-d", "24C02", "--wp", "low", "program", image}).status, 0);
    EXPECT_EQ(runTool({"-d", "27C256", "--wp", "high", "blank"}).status, 2);

    const std::string chip = path("spi.sim");
    const std::string big = writeImage("big.bin", 8192, 31);
    Result prot = runTool(
        {"-d", "25x640", "--chip-file", chip, "--protect", "half", "--wpen", "program", big});
    ASSERT_EQ(prot.status, 0) << prot.err;
    EXPECT_EQ(runTool({"-d", "25x010", "--wpen", "program", image}).status, 2);
    EXPECT_EQ(runTool({"-d", "24C02", "--protect", "all", "program", image}).status, 2);
    EXPECT_EQ(runTool({"-d", "25x640", "--protect", "most", "program", big}).status, 2);
}

}  // namespace
