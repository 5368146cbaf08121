// `tavrin` with AVR devices in separate processes sharing a chip file: flash and EEPROM from two
// files or an EEP file, read into both, verify, blank, erase, id, and the lock and fuses commands.
#include <gtest/gtest.h>

#include "cli/CliRun.h"

namespace {
using namespace tavrin::test;

TEST_F(Cli, AvrFlashAndEepromRoundTripThroughTwoFiles) {
    for (const char* part : {"AT90S2313", "AT90S8515"}) {
        SCOPED_TRACE(part);
        const std::string chip = path(std::string(part) + ".sim");
        const bool big = std::string(part) == "AT90S8515";
        const std::string flash = writeImage("flash.bin", big ? 8192 : 2048, 1);
        const std::string eeprom = writeImage("eeprom.bin", big ? 512 : 128, 2);
        Result p = runTool({"-d", part, "--chip-file", chip, "--eeprom", eeprom, "program", flash});
        ASSERT_EQ(p.status, 0) << p.err;
        EXPECT_NE(p.err.find("Device Verify OK"), std::string::npos) << p.err;

        Result r = runTool({"-d", part, "--chip-file", chip, "--eeprom", path("back.eep"), "read",
                            path("back.hex")});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("Device Read OK"), std::string::npos);
        Result v = runTool({"-d", part, "--chip-file", chip, "--eeprom", path("back.eep"), "verify",
                            path("back.hex")});
        EXPECT_EQ(v.status, 0) << v.err;
        Result raw = runTool(
            {"-d", part, "--chip-file", chip, "--eeprom", path("e.bin"), "read", path("f.bin")});
        ASSERT_EQ(raw.status, 0) << raw.err;
        EXPECT_EQ(slurp(path("f.bin")), slurp(flash));
        EXPECT_EQ(slurp(path("e.bin")), slurp(eeprom));

        // Without an EEPROM file the area is programmed erased.
        ASSERT_EQ(runTool({"-d", part, "--chip-file", chip, "erase"}).status, 0);
        ASSERT_EQ(runTool({"-d", part, "--chip-file", chip, "program", flash}).status, 0);
        Result other =
            runTool({"-d", part, "--chip-file", chip, "--eeprom", eeprom, "verify", flash});
        EXPECT_EQ(other.status, 1);
        EXPECT_NE(other.err.find(" Error at 0x040000"), std::string::npos) << other.err;
    }
}

TEST_F(Cli, AvrBlankEraseAndId) {
    const std::string chip = path("chip.sim");
    EXPECT_EQ(runTool({"-d", "AT90S2313", "--chip-file", chip, "blank"}).status, 0);
    ASSERT_EQ(
        runTool({"-d", "AT90S2313", "--chip-file", chip, "program", writeImage("a.bin", 64, 3)})
            .status,
        0);
    Result b = runTool({"-d", "AT90S2313", "--chip-file", chip, "blank"});
    EXPECT_EQ(b.status, 1);
    EXPECT_NE(b.err.find("Device is NOT Empty ($0000)"), std::string::npos) << b.err;
    Result e = runTool({"-d", "AT90S2313", "--chip-file", chip, "erase"});
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_NE(e.err.find("Chip erased"), std::string::npos) << e.err;
    EXPECT_EQ(runTool({"-d", "AT90S2313", "--chip-file", chip, "blank"}).status, 0);

    Result id = runTool({"-d", "AT90S2313", "--chip-file", chip, "id"});
    ASSERT_EQ(id.status, 0) << id.err;
    EXPECT_NE(id.out.find("manufacturer: Atmel  ( AVR )"), std::string::npos) << id.out;
    EXPECT_NE(id.out.find("device: AT90S2313"), std::string::npos) << id.out;
    EXPECT_NE(id.out.find("device code: 0x9101"), std::string::npos) << id.out;
    EXPECT_NE(id.out.find("lock/fuse bits: 0xDE"), std::string::npos) << id.out;
    EXPECT_NE(id.out.find("lock mode: Lockbit Mode 1"), std::string::npos) << id.out;
}

TEST_F(Cli, AvrLockModesAndFuseBytes) {
    const std::string chip = path("chip.sim");
    ASSERT_EQ(
        runTool({"-d", "AT90S8515", "--chip-file", chip, "program", writeImage("a.bin", 32, 4)})
            .status,
        0);
    Result l = runTool({"-d", "AT90S8515", "--chip-file", chip, "lock", "3"});
    ASSERT_EQ(l.status, 0) << l.err;
    EXPECT_NE(l.err.find("Device AVR LockBit "), std::string::npos);
    Result id = runTool({"-d", "AT90S8515", "--chip-file", chip, "id"});
    EXPECT_NE(id.out.find("device: AT90S8515"), std::string::npos) << id.out;
    EXPECT_NE(id.out.find("lock mode: Lockbit Mode 3"), std::string::npos) << id.out;
    EXPECT_EQ(runTool({"-d", "AT90S8515", "--chip-file", chip, "verify", path("a.bin")}).status, 1);
    Result back = runTool({"-d", "AT90S8515", "--chip-file", chip, "lock", "1"});
    EXPECT_EQ(back.status, 1);
    EXPECT_NE(back.err.find("stays in lock mode 3 until a chip erase"), std::string::npos)
        << back.err;
    EXPECT_EQ(runTool({"-d", "AT90S8515", "lock", "4"}).status, 2);

    Result f = runTool({"-d", "AT90S8515", "--chip-file", chip, "fuses", "0xDE"});
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_NE(f.err.find("Device AVR FuseBit "), std::string::npos);
    id = runTool({"-d", "AT90S8515", "--chip-file", chip, "id"});
    EXPECT_NE(id.out.find("lock/fuse bits: 0x1E"), std::string::npos) << id.out;

    Result spien = runTool({"-d", "AT90S8515", "--chip-file", chip, "fuses", "FF"});
    EXPECT_EQ(spien.status, 2);
    EXPECT_NE(spien.err.find("unprograms SPIEN"), std::string::npos) << spien.err;
    EXPECT_EQ(runTool({"-d", "AT90S8515", "--chip-file", chip, "--yes", "fuses", "FF"}).status, 0);
    EXPECT_EQ(runTool({"-d", "AT90S8515", "fuses", "0xD1"}).status, 2) << "bits the part lacks";
    EXPECT_EQ(runTool({"-d", "AT90S8515", "fuses", "xyz"}).status, 2);

    Result slow = runTool({"-d", "AT90S8515", "--sim-fault", "avr-fuse-pulse:5000", "fuses", "DE"});
    EXPECT_EQ(slow.status, 1);
    EXPECT_NE(slow.err.find("Device AVR FuseBit did not take"), std::string::npos) << slow.err;
    EXPECT_EQ(runTool({"-d", "27C256", "lock", "2"}).status, 2);
    EXPECT_EQ(runTool({"-d", "27C256", "--eeprom", path("a.bin"), "blank"}).status, 2);
}

}  // namespace
