// `tavrin` with AVR devices in separate processes sharing a chip file: flash and EEPROM from two
// files or an EEP file, read into both, verify, blank, erase, id, and the lock and fuses commands.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "cli/CliRun.h"

namespace {
using namespace tavrin::test;

// An EEP file: Intel HEX data records of `bytes` from address 0 and the end record.
std::string eepText(const std::string& bytes) {
    std::string text;
    char field[8];
    for (size_t at = 0; at < bytes.size(); at += 16) {
        const size_t n = std::min<size_t>(16, bytes.size() - at);
        unsigned sum = unsigned(n + (at >> 8) + (at & 0xFF));
        std::snprintf(field, sizeof field, ":%02X%04X", unsigned(n), unsigned(at));
        text += std::string(field) + "00";
        for (size_t i = 0; i < n; ++i) {
            const uint8_t b = uint8_t(bytes[at + i]);
            std::snprintf(field, sizeof field, "%02X", unsigned(b));
            text += field;
            sum += b;
        }
        std::snprintf(field, sizeof field, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
        text += field;
    }
    return text + ":00000001FF\n";
}

TEST_F(Cli, AvrEepromAreaAloneFromAnEepFileOrTheEepromOption) {
    const std::string chip = path("chip.sim");
    const std::string flash = writeImage("flash.bin", 2048, 5);
    ASSERT_EQ(runTool({"-d", "AT90S2313", "--chip-file", chip, "program", flash}).status, 0);
    const std::string eeprom = slurp(writeImage("eeprom.bin", 128, 6));
    std::ofstream(path("data.eep")) << eepText(eeprom);

    // A lone EEP file as FILE: the EEPROM alone, the flash left as it is.
    Result p = runTool({"-d", "AT90S2313", "--chip-file", chip, "program", path("data.eep")});
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_NE(p.err.find("Device Verify OK"), std::string::npos) << p.err;
    EXPECT_EQ(p.err.find("(FLASH)"), std::string::npos) << p.err;
    EXPECT_NE(p.err.find("programming chip (EEPROM)"), std::string::npos) << p.err;
    Result back =
        runTool({"-d", "AT90S2313", "--chip-file", chip, "--eeprom", path("back.bin"), "read"});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(slurp(path("back.bin")), eeprom);
    // The flash as programmed before; a flash file alone stands for an erased EEPROM area.
    EXPECT_EQ(runTool({"-d", "AT90S2313", "--chip-file", chip, "verify", flash}).status, 1);
    EXPECT_EQ(runTool({"-d", "AT90S2313", "--chip-file", chip, "--eeprom", path("data.eep"),
                       "verify", flash})
                  .status,
              0);
    EXPECT_EQ(
        runTool({"-d", "AT90S2313", "--chip-file", chip, "--eeprom", path("data.eep"), "verify"})
            .status,
        0);

    // --eeprom without FILE: a raw EEPROM image alone, then compared alone.
    const std::string other = writeImage("other.bin", 128, 7);
    Result raw = runTool({"-d", "AT90S2313", "--chip-file", chip, "--eeprom", other, "program"});
    ASSERT_EQ(raw.status, 0) << raw.err;
    EXPECT_EQ(runTool({"-d", "AT90S2313", "--chip-file", chip, "--eeprom", other, "verify"}).status,
              0);
    Result old = runTool({"-d", "AT90S2313", "--chip-file", chip, "verify", path("data.eep")});
    EXPECT_EQ(old.status, 1);
    EXPECT_NE(old.err.find(" Error at 0x040000"), std::string::npos) << old.err;
    EXPECT_EQ(runTool({"-d", "AT90S2313", "--chip-file", chip, "--eeprom", other, "verify", flash})
                  .status,
              0);

    // An EEP file longer than the part's EEPROM is not cut short behind a success.
    std::ofstream(path("big.eep")) << eepText(eeprom + eeprom);
    Result big = runTool({"-d", "AT90S2313", "--chip-file", chip, "program", path("big.eep")});
    EXPECT_EQ(big.status, 2);
    EXPECT_NE(big.err.find("128 bytes of the data lie outside the areas"), std::string::npos)
        << big.err;
    EXPECT_EQ(
        runTool({"-d", "AT90S2313", "--chip-file", chip, "--truncate", "program", path("big.eep")})
            .status,
        0);

    // FILE is left out only for the EEPROM area of an AVR.
    Result none = runTool({"-d", "AT90S2313", "--chip-file", chip, "program"});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("FILE (or --interleave EVEN ODD) is needed"), std::string::npos)
        << none.err;
    EXPECT_EQ(runTool({"-d", "27C256", "read"}).status, 2);
    EXPECT_EQ(runTool({"-d", "27C256", "verify"}).status, 2);
}

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
