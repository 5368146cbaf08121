// `tavrin` with the JEDEC flash families and the MX29F040 sector protection, on the simulated
// board, one process per command sharing a chip file.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/CliRun.h"

namespace {
using namespace tavrin::test;

bool has(const Result& r, const std::string& text) {
    return r.err.find(text) != std::string::npos || r.out.find(text) != std::string::npos;
}

TEST_F(Cli, EveryJedecFamilyRunsTheSixCommands) {
    struct Case {
        const char *device, *maker, *name;
    } cases[] = {
        {"29F010", "AMD", ""},                 // eep 4
        {"39SF/49F010", "SST/Sanyo", ""},      // eep 12
        {"MX29F040", "MXIC", "MX29F040"},      // eep 27
        {"AT49F001", "ATMEL", "AT49F001(N)"},  // eep 23
        {"Am29F200", "AMD", ""},               // eep 15
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        const std::string chip = path(std::string("chip-") + char('a' + (&c - cases)));
        const std::string image = writeImage("image.bin", 4096, unsigned(&c - cases));
        const auto tool = [&](std::vector<std::string> args) {
            args.insert(args.begin(), {"-d", c.device, "--chip-file", chip});
            return runTool(args);
        };
        Result p = tool({"program", image});
        ASSERT_EQ(p.status, 0) << p.err;
        EXPECT_TRUE(has(p, "Device Programed OK"));
        Result r = tool({"read", path("back.bin")});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(slurp(path("back.bin")).substr(0, 4096), slurp(image));
        EXPECT_EQ(tool({"verify", image}).status, 0);
        Result id = tool({"id"});
        ASSERT_EQ(id.status, 0) << id.err;
        EXPECT_NE(id.out.find(std::string("manufacturer: ") + c.maker + "\n"), std::string::npos)
            << id.out;
        EXPECT_NE(id.out.find(std::string("device: ") + c.name + "\n"), std::string::npos);
        Result json = tool({"--json", "id"});
        ASSERT_EQ(json.status, 0);
        const auto object = nlohmann::json::parse(json.out);
        EXPECT_EQ(object["manufacturer"], c.maker);
        EXPECT_EQ(object["device"], c.name);
        EXPECT_EQ(object["manufacturerCode"].get<std::string>().substr(0, 2), "0x");
        Result e = tool({"erase"});
        EXPECT_EQ(e.status, 0) << e.err;
        EXPECT_TRUE(has(e, "erase completed"));
        EXPECT_EQ(tool({"blank"}).status, 0);
        Result v = tool({"verify", image});
        EXPECT_EQ(v.status, 1);
        EXPECT_TRUE(has(v, " Error at 0x000000")) << v.err;
    }
}

TEST_F(Cli, JedecFailuresExitOne) {
    std::ofstream(path("zeros.bin"), std::ios::binary) << std::string(0x2000, '\0');
    Result stuck = runTool(
        {"-d", "39SF/49F010", "--sim-fault", "stuck:0x1234:3=1", "program", path("zeros.bin")});
    EXPECT_EQ(stuck.status, 1);
    EXPECT_TRUE(has(stuck, " Error at 0x001234  Chip = 0x08  buffer = 0x00")) << stuck.err;
    Result slow = runTool({"-d", "29F040", "--sim-fault", "slow-erase:10", "erase"});
    EXPECT_EQ(slow.status, 1);
    EXPECT_TRUE(has(slow, "erase failed: the chip is still busy")) << slow.err;
    EXPECT_FALSE(has(slow, "erase completed"));
    // The 555 set on a part that decodes A14-A0: the ID check reads no ID and writes nothing;
    // without the check the program routine itself fails.
    Result refused =
        runTool({"-d", "29F010", "--command-set", "555", "program", path("zeros.bin")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(has(refused, "ID check: the chip answers 0xFF/0xFF")) << refused.err;
    Result wrongSet = runTool(
        {"-d", "29F010", "--command-set", "555", "--no-id-check", "program", path("zeros.bin")});
    EXPECT_EQ(wrongSet.status, 1);
    EXPECT_TRUE(has(wrongSet, " Error at 0x000000  Chip = 0xFF  buffer = 0x00")) << wrongSet.err;
    EXPECT_EQ(
        runTool({"-d", "29F010", "--command-set", "5555", "program", path("zeros.bin")}).status, 0);
}

TEST_F(Cli, JedecOptionsOnlyWhereTheWindowOffersThem) {
    const std::string image = writeImage("a.bin", 256, 7);
    Result set = runTool({"-d", "39SF/49F010", "--command-set", "555", "program", image});
    EXPECT_EQ(set.status, 2);
    EXPECT_TRUE(has(set, "--command-set does not apply to 39SF/49F010")) << set.err;
    EXPECT_EQ(runTool({"-d", "29F040", "--unprotect", "program", image}).status, 2);
    EXPECT_EQ(runTool({"-d", "29F040", "--fujitsu-fast", "program", image}).status, 2);
    EXPECT_EQ(runTool({"-d", "29F040", "--command-set", "777", "program", image}).status, 2);
    // Where they apply they work.
    EXPECT_EQ(
        runTool({"-d", "AT49F001", "--unprotect", "--sim-fault", "protect:0", "program", image})
            .status,
        0);
    EXPECT_EQ(runTool({"-d", "AT49F001", "--sim-fault", "protect:0", "program", image}).status, 1);
    EXPECT_EQ(runTool({"-d", "Am29F200", "--fujitsu-fast", "--command-set", "AAA", "--fast",
                       "program", image})
                  .status,
              0);
}

TEST_F(Cli, MxicSectorProtectionFromTheCommandLine) {
    const std::string chip = path("mx.sim");
    std::string image(0x20010, '\xFF');
    for (int i = 0; i < 16; ++i) image[0x20000 + i] = char(i);
    std::ofstream(path("img.bin"), std::ios::binary) << image;
    const auto mx = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"-d", "MX29F040", "--chip-file", chip});
        return runTool(args);
    };
    Result status = mx({"protect-status"});
    ASSERT_EQ(status.status, 0) << status.err;
    EXPECT_NE(status.out.find("Sec        Address        Stat\nS0     00000   0ffff    0\n"),
              std::string::npos)
        << status.out;
    Result protect = mx({"protect", "2"});
    EXPECT_EQ(protect.status, 0) << protect.err;
    EXPECT_TRUE(has(protect, "Sector protect performed OK!"));
    EXPECT_NE(protect.out.find("S2     20000   2ffff    1"), std::string::npos);
    Result again = mx({"protect", "2"});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(has(again, "Sector already protected !"));
    Result json = mx({"--json", "protect-status"});
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(nlohmann::json::parse(json.out)["sectors"][2]["protected"], true);

    Result program = mx({"program", path("img.bin")});
    EXPECT_EQ(program.status, 1);
    EXPECT_TRUE(has(program, " Error at 0x020000  Chip = 0xFF  buffer = 0x00")) << program.err;
    Result unprotect = mx({"unprotect"});
    EXPECT_EQ(unprotect.status, 0) << unprotect.err;
    EXPECT_TRUE(has(unprotect, "Chip Unprotection performed OK!"));
    EXPECT_EQ(mx({"program", path("img.bin")}).status, 0);
    Result none = mx({"unprotect"});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(has(none, "All sectors are Unprotected !"));

    // The buttons' rules: no hardware check, the MX29F040 only, sectors 0 to 7.
    Result empty = mx({"--sim-fault", "no-chip", "protect", "0"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_TRUE(has(empty, "Protect/Unprotect status error !"));
    EXPECT_FALSE(has(empty, "Hardware present"));
    EXPECT_EQ(mx({"--sim-fault", "no-chip", "protect-status"}).status, 1);
    EXPECT_EQ(mx({"protect", "8"}).status, 2);
    EXPECT_EQ(runTool({"-d", "29F040", "protect-status"}).status, 2);
    EXPECT_NE(runTool({"--help"}).out.find("protect-status"), std::string::npos);
}

}  // namespace
