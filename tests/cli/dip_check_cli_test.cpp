// The DIP-switch check before power from the command line, on the simulated board with
// --dip-check (a real port always checks).
#include <gtest/gtest.h>

#include "cli/CliRun.h"

namespace tavrin::test {
namespace {

TEST_F(Cli, DipCheckRefusesWithoutConfirmationAndRunsWithYes) {
    const std::string state = path("dip");
    std::ofstream(state) << "4110101001000\n";  // the 27C64 setting was confirmed last
    const auto tool = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--dip-check", "--dip-state", state});
        return runTool(args);
    };
    Result refused = tool({"-d", "27C256", "read", path("a.bin")});
    EXPECT_EQ(refused.status, 1) << refused.err;
    EXPECT_NE(refused.err.find("switch 4 OFF (was ON), switch 5 ON (was OFF), switch 8 ON (was "
                               "OFF)"),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("--yes"), std::string::npos);
    EXPECT_NE(refused.err.find("DIP switches not confirmed: the socket was not powered"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(path("a.bin"))) << "nothing read";
    EXPECT_EQ(slurp(state), "4110101001000\n");

    Result yes = tool({"-d", "27C256", "--yes", "read", path("a.bin")});
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_EQ(slurp(state), "4110011011000\n") << "the confirmed setting is kept";
    // The same setting again: no question, no --yes needed.
    Result again = tool({"-d", "27C256", "blank"});
    EXPECT_EQ(again.err.find("DIP switches"), std::string::npos) << again.err;
    // Without --dip-check the simulated board is not checked.
    Result sim = runTool({"-d", "27C64", "--dip-state", state, "read", path("b.bin")});
    EXPECT_EQ(sim.status, 0) << sim.err;
    EXPECT_EQ(slurp(state), "4110011011000\n");
}

TEST_F(Cli, DipCheckAlsoGuardsTheLockBits) {
    Result r = runTool({"--dip-check", "--dip-state", path("dip"), "-d", "AT89C51", "lock", "3"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("DIP switches not confirmed: the socket was not powered"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("Hardware present"), std::string::npos) << "nothing was powered";
}

TEST_F(Cli, DipCheckWarnsAboutAnEntryForTheOtherBoard) {
    const std::string state = path("dip");
    Result r = runTool({"--dip-check", "--dip-state", state, "-d", "2716  (PCB3)", "--board",
                        "tavrin", "read", path("a.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is an entry for the PCB3 board, the Tavrin board is selected"),
              std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace tavrin::test
