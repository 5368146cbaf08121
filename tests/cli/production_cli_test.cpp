// `tavrin auto`: the production sequence end to end on the simulated board, its failures step by
// step, and the passed/failed counter of --repeat.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/CliRun.h"

namespace tavrin::test {
namespace {

bool has(const Result& r, const std::string& text) {
    return r.err.find(text) != std::string::npos || r.out.find(text) != std::string::npos;
}

TEST_F(Cli, AutoPassesOnThreeFamilies) {
    const std::string image = writeImage("a.bin", 2048, 4);
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> steps;
    } cases[] = {
        {{"-d", "2716", "auto"}, {"blank check", "program"}},
        {{"-d", "29F010", "auto", "--erase"}, {"erase", "program"}},
        {{"-d", "AT90S2313", "auto", "--avr-lock", "2"}, {"blank check", "program", "lock bits"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        std::vector<std::string> args = c.args;
        args.push_back(image);
        args.push_back("--json");
        Result r = runTool(args);
        EXPECT_EQ(r.status, 0) << r.err;
        const auto j = nlohmann::json::parse(r.out);
        EXPECT_EQ(j["outcome"], "passed");
        EXPECT_EQ(j["counts"]["passed"], 1);
        EXPECT_EQ(j["counts"]["failed"], 0);
        const auto& steps = j["chips"][0]["steps"];
        ASSERT_EQ(steps.size(), c.steps.size()) << r.out;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            EXPECT_EQ(steps[i]["step"], c.steps[i]);
            EXPECT_EQ(steps[i]["passed"], true);
        }
        EXPECT_TRUE(has(r, "chip passed"));
    }
}

TEST_F(Cli, AutoStopsAtTheFailingStepWithItsMessage) {
    const std::string image = writeImage("a.bin", 2048, 5);
    const std::string chip = path("chip.json");
    // Blank check: a chip that already holds data; nothing is programmed over it.
    ASSERT_EQ(runTool({"-d", "2716", "--chip-file", chip, "program", image}).status, 0);
    Result blank =
        runTool({"-d", "2716", "--chip-file", chip, "auto", writeImage("b.bin", 2048, 6)});
    EXPECT_EQ(blank.status, 1);
    EXPECT_TRUE(has(blank, "chip FAILED at blank check: ")) << blank.err;
    EXPECT_FALSE(has(blank, "program: ")) << "the sequence stops at the first failure";
    EXPECT_TRUE(has(blank, "Passed 0  Failed 1"));
    // Erase: a chip that stays busy past the erase time.
    Result erase =
        runTool({"-d", "29F010", "--sim-fault", "slow-erase:1000", "auto", "--erase", image});
    EXPECT_EQ(erase.status, 1);
    EXPECT_TRUE(has(erase, "chip FAILED at erase: ")) << erase.err;
    // Program: a chip that takes no pulse; the step's own mismatch report is the message.
    Result program = runTool({"-d", "2716", "--sim-fault", "never-programs", "auto", image});
    EXPECT_EQ(program.status, 1);
    EXPECT_TRUE(has(program, "blank check: passed"));
    EXPECT_TRUE(has(program, "chip FAILED at program:  Error at 0x")) << program.err;
    // A locked part: whichever step notices first, the run stops there with its message.
    Result lock = runTool(
        {"-d", "AT90S2313", "--json", "--sim-fault", "avr-locked:2", "auto", "--avr-lock", "3", image});
    EXPECT_EQ(lock.status, 1);
    const auto j = nlohmann::json::parse(lock.out);
    EXPECT_EQ(j["outcome"], "failed");
    EXPECT_FALSE(j["chips"][0]["failedStep"].get<std::string>().empty());
    EXPECT_EQ(j["message"], j["chips"][0]["message"]);
}

TEST_F(Cli, AutoRepeatCountsChipAfterChip) {
    const std::string image = writeImage("a.bin", 2048, 7);
    const std::string chip = path("chip.json");
    // Three chips, then q. The simulated socket keeps its chip, so the second and third are
    // already programmed and fail their blank check.
    std::ofstream(path("answers")) << "\n\nq\n";
    Result r = runTool({"-d", "2716", "--chip-file", chip, "auto", "--repeat", image}, {},
                       path("answers"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Passed 1  Failed 2\n");
    EXPECT_TRUE(has(r, "Passed 1  Failed 1 -- insert the next chip")) << r.err;
    // The end of the input stops as q does.
    Result once = runTool({"-d", "2716", "auto", "--repeat", image});
    EXPECT_EQ(once.status, 0) << once.err;
    EXPECT_EQ(once.out, "Passed 1  Failed 0\n");
}

}  // namespace
}  // namespace tavrin::test
