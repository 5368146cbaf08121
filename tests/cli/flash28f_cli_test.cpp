// `tavrin` with the 28F single-cycle flash, the MXIC MTP parts, the boot-block i28Fx00 and the
// SST28SF/LE28F parts on the simulated board: every command the family offers, across processes
// that keep the chip in a chip file.
#include <gtest/gtest.h>

#include "cli/CliRun.h"

namespace {
using namespace tavrin::test;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct FlashPart {
    const char* name;
    const char* eraseText;  // the closing text of the family's erase
    bool hasId;             // the dispatch row offers Get ID
};

class Flash28FCli : public Cli, public ::testing::WithParamInterface<FlashPart> {};

TEST_P(Flash28FCli, EveryCommandAcrossProcesses) {
    const FlashPart part = GetParam();
    const std::string image = writeImage("image.bin", 4096, 77), chip = path("chip.sim");
    auto tool = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"-d", part.name, "--chip-file", chip});
        return runTool(args);
    };
    Result r = tool({"blank"});
    EXPECT_EQ(r.status, 0) << r.err;
    r = tool({"program", image});
    ASSERT_EQ(r.status, 0) << r.err;
    r = tool({"verify", image});
    EXPECT_EQ(r.status, 0) << r.err;
    r = tool({"read", path("back.bin")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string back = slurp(path("back.bin"));
    ASSERT_GE(back.size(), 4096u);
    EXPECT_EQ(back.substr(0, 4096), slurp(image));
    EXPECT_EQ(back.find_first_not_of('\xFF', 4096), std::string::npos);
    r = tool({"blank"});
    EXPECT_EQ(r.status, 1) << r.err;
    r = tool({"id"});
    EXPECT_EQ(r.status, part.hasId ? 0 : 2) << r.err;
    r = tool({"erase"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err, part.eraseText)) << r.err;
    r = tool({"blank"});
    EXPECT_EQ(r.status, 0) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Parts, Flash28FCli,
                         ::testing::Values(FlashPart{"28F010", "Erase Completed", true},
                                           FlashPart{"MX26C1000", "Erase Completed", false},
                                           FlashPart{"MX28F2000", "Erase Completed", false},
                                           FlashPart{"i28F001BX-T", "erase completed", true},
                                           FlashPart{"i28F200", "erase completed", true},
                                           FlashPart{"SST28xF040A", "erase completed", true},
                                           FlashPart{"LE28F4001", "Sector Erase All completed", true}),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& c : n)
                                 if (c == '-') c = '_';
                             return n;
                         });

// Fast Erase only samples every hundredth byte: a byte that will not erase passes with it on and
// fails with it off, from the command line as from the window's box.
TEST_F(Cli, FastEraseOptionChoosesTheEraseVerify) {
    const std::string image = writeImage("image.bin", 1024, 5), chip = path("chip.sim");
    auto tool = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"-d", "28F010", "--chip-file", chip, "--sim-fault",
                                   "unerasable:350"});
        return runTool(args);
    };
    ASSERT_EQ(tool({"program", image}).status, 0);
    Result r = tool({"--fast-erase", "on", "erase"});
    EXPECT_EQ(r.status, 0) << r.err;
    r = tool({"--fast-erase", "off", "erase"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(has(r.err, "Error erasing chip")) << r.err;
    r = runTool({"-d", "27C256", "--fast-erase", "on", "erase"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.err, "--fast-erase applies to the 28F0x0 flash only")) << r.err;
}

}  // namespace
