// Differential writes from the command line, end to end on the simulated board.
#include <gtest/gtest.h>

#include "cli/CliRun.h"

namespace tavrin::test {
namespace {

TEST_F(Cli, DiffWriteRewritesOnlyTheChangedPage) {
    const std::string chip = path("chip.json");
    const std::string first = writeImage("a.bin", 32768, 1);
    std::string changed = slurp(first);
    changed[0x2345] = char(changed[0x2345] ^ 0x5A);
    const std::string second = path("b.bin");
    std::ofstream(second, std::ios::binary) << changed;
    const auto tool = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"-d", "24C256", "--chip-file", chip});
        return runTool(args);
    };
    ASSERT_EQ(tool({"program", first}).status, 0);
    Result diff = tool({"--diff-write", "program", second});
    EXPECT_EQ(diff.status, 0) << diff.err;
    EXPECT_NE(
        (diff.out + diff.err).find("Differential write: 1 of 512 pages differ, 64 bytes to write"),
        std::string::npos)
        << diff.out << diff.err;
    ASSERT_EQ(tool({"read", path("back.bin")}).status, 0);
    EXPECT_EQ(slurp(path("back.bin")), changed);
}

TEST_F(Cli, DiffWriteIsRefusedForFamiliesWithoutIt) {
    const std::string image = writeImage("a.bin", 1024, 2);
    Result r = runTool({"-d", "27C256", "--diff-write", "program", image});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("--diff-write applies to 28C, AT28C, DS12xx, 24C, 25C and 93C EEPROMs "
                         "only, not 27C256"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("programming"), std::string::npos) << "nothing started";
}

}  // namespace
}  // namespace tavrin::test
