// `tavrin` on the EEPROM, sector-flash, electrically erasable EPROM and SRAM families: each
// command its dispatch row offers, on one part of each family code, sharing a chip file.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/CliRun.h"

namespace {
using namespace tavrin::test;

bool has(const Result& r, const std::string& text) {
    return r.err.find(text) != std::string::npos || r.out.find(text) != std::string::npos;
}

TEST_F(Cli, Eeprom28CProgramReadVerifyBlankAndFill) {
    const std::string chip = path("28c.sim"), image = writeImage("a.bin", 8192, 1);
    const std::vector<std::string> dev = {"-d", "28C64/65", "--chip-file", chip};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> args = dev;
        args.insert(args.end(), more.begin(), more.end());
        return runTool(args);
    };
    Result p = with({"program", image});
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_TRUE(has(p, "Device Programed OK"));
    ASSERT_EQ(with({"read", path("back.bin")}).status, 0);
    EXPECT_EQ(slurp(path("back.bin")), slurp(image));
    EXPECT_EQ(with({"verify", image}).status, 0);
    EXPECT_EQ(with({"blank"}).status, 1);
    Result e = with({"erase"});
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_TRUE(has(e, "tavrin: erase done, every address of 28C64/65 written with 0xFF")) << e.err;
    EXPECT_EQ(with({"blank"}).status, 0);
    EXPECT_EQ(with({"id"}).status, 2);  // no ID reader for the family
}

TEST_F(Cli, ProtectedPartInThe28C256EntryGetsAHint) {
    const std::string image = writeImage("a.bin", 256, 2);
    Result p = runTool({"-d", "28C256", "--sim-fault", "sdp-enabled", "--json", "program", image});
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.err.find(" Error at 0x000000"), std::string::npos) << p.err;
    EXPECT_NE(p.err.find("hint: an AT28C part with software data protection ignores byte writes"),
              std::string::npos)
        << p.err;
    ASSERT_NE(p.out.find('{'), std::string::npos) << p.out;
    const auto j = nlohmann::json::parse(p.out.substr(p.out.find('{')));
    EXPECT_EQ(j.at("entry"), "AT28C256  (64)");
    // No hint where it cannot be the cause.
    Result other =
        runTool({"-d", "28C16      DIP24", "--sim-fault", "stuck:0:0=1", "program", image});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.err.find("hint:"), std::string::npos) << other.err;
}

TEST_F(Cli, At28CPageWritesAndNoErase) {
    const std::string chip = path("at28c.sim"), image = writeImage("a.bin", 1024, 6);
    ASSERT_EQ(runTool({"-d", "AT28C256  (64)", "--chip-file", chip, "program", image}).status, 0);
    EXPECT_EQ(runTool({"-d", "AT28C256  (64)", "--chip-file", chip, "verify", image}).status, 0);
    EXPECT_EQ(runTool({"-d", "AT28C256  (64)", "--chip-file", chip, "blank"}).status, 1);
    Result e = runTool({"-d", "AT28C256  (64)", "--chip-file", chip, "erase"});
    EXPECT_EQ(e.status, 1);
    EXPECT_TRUE(has(e, "Cannot Erase this Device"));
}

TEST_F(Cli, SectorFlashProgramEraseAndId) {
    for (const char* device : {"AT29C010      (128)", "W29EE011/C010   (128)"}) {
        SCOPED_TRACE(device);
        const std::string chip = path(std::string(device).substr(0, 5) + ".sim");
        const std::string image = writeImage("f.bin", 4096, 3);
        Result p = runTool({"-d", device, "--chip-file", chip, "program", image});
        ASSERT_EQ(p.status, 0) << p.err;
        EXPECT_EQ(runTool({"-d", device, "--chip-file", chip, "verify", image}).status, 0);
        EXPECT_EQ(runTool({"-d", device, "--chip-file", chip, "blank"}).status, 1);
        Result id = runTool({"-d", device, "--chip-file", chip, "id"});
        EXPECT_EQ(id.status, 0) << id.err;
        EXPECT_TRUE(has(id, std::string(device).rfind("AT", 0) == 0 ? "AT29C010A" : "W29x011"))
            << id.out << id.err;
        Result e = runTool({"-d", device, "--chip-file", chip, "erase"});
        EXPECT_EQ(e.status, 0) << e.err;
        EXPECT_TRUE(has(e, "erase completed"));
        EXPECT_EQ(runTool({"-d", device, "--chip-file", chip, "blank"}).status, 0);
    }
}

TEST_F(Cli, ElectricalEraseEpromEraseOkAndFalse) {
    const std::string chip = path("w27.sim");
    ASSERT_EQ(runTool({"-d", "W27x512  (Vpe 14V)", "--chip-file", chip, "program",
                       writeImage("w.bin", 1024, 4)})
                  .status,
              0);
    Result e = runTool({"-d", "W27x512  (Vpe 14V)", "--chip-file", chip, "erase"});
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_TRUE(has(e, "Device Erase OK"));
    Result f = runTool({"-d", "SST27SF256  (Vpe 12V)", "--sim-fault", "never-erases", "--sim-fault",
                        "stuck:0:0=0", "erase"});
    EXPECT_EQ(f.status, 1);  // a chip that will not erase is a failure
    EXPECT_TRUE(has(f, "Device Erase False"));
}

TEST_F(Cli, Ds12xxRoundTripAndSramTest) {
    const std::string chip = path("ds.sim"), image = writeImage("d.bin", 32768, 5);
    ASSERT_EQ(runTool({"-d", "DS1230  32KB", "--chip-file", chip, "program", image}).status, 0);
    ASSERT_EQ(runTool({"-d", "DS1230  32KB", "--chip-file", chip, "read", path("ds.bin")}).status,
              0);
    EXPECT_EQ(slurp(path("ds.bin")), slurp(image));  // kept across the processes' power-off

    Result t = runTool({"-d", "6116      2KB", "test-ram"});
    EXPECT_EQ(t.status, 0) << t.err;
    EXPECT_TRUE(has(t, "Device Test OK"));
    Result dead = runTool({"-d", "62256    32KB", "--sim-fault", "stuck:0x10:0=1", "test-ram"});
    EXPECT_EQ(dead.status, 1);
    EXPECT_TRUE(has(dead, " Error at 0x000010  Chip = 0xAB  buffer = 0xAA")) << dead.err;
    EXPECT_EQ(runTool({"-d", "DS1230  32KB", "test-ram"}).status, 2);
    EXPECT_EQ(runTool({"-d", "6116      2KB", "blank"}).status, 1);  // "Cannot check this Device"
}

}  // namespace
