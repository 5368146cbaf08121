// The chip-ID check before program and erase, end to end on the simulated board.
#include <gtest/gtest.h>

#include "cli/CliRun.h"

namespace tavrin::test {
namespace {

TEST_F(Cli, AForeignChipIsRefusedBeforeAnyWrite) {
    const std::string chip = path("chip.json");
    const std::string first = writeImage("a.bin", 4096, 1);
    const std::string second = writeImage("b.bin", 4096, 2);
    const auto tool = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"-d", "29F010", "--chip-file", chip});
        return runTool(args);
    };
    ASSERT_EQ(tool({"program", first}).status, 0);
    // The socket holds an AT29C010A while the 29F010 entry is selected.
    Result p = tool({"--sim-fault", "id:0x1F:0xD5", "program", second});
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.err.find("ID check: the chip answers 0x1F/0xD5 (ATMEL AT29C010A), 29F010 is "
                         "0x01/0x20 or 0x20/0x20 or 0x04/0x20; nothing written"),
              std::string::npos)
        << p.err;
    EXPECT_NE(p.err.find("--no-id-check"), std::string::npos);
    EXPECT_EQ(p.err.find("programming"), std::string::npos) << "no write started";
    Result e = tool({"--sim-fault", "id:0x1F:0xD5", "erase"});
    EXPECT_EQ(e.status, 1);
    EXPECT_NE(e.err.find("ID check"), std::string::npos);
    ASSERT_EQ(tool({"read", path("back.bin")}).status, 0);
    EXPECT_EQ(slurp(path("back.bin")).substr(0, 4096), slurp(first)) << "the chip is unchanged";
    // Read, verify and blank check do not ask; --no-id-check writes anyway.
    EXPECT_EQ(tool({"--sim-fault", "id:0x1F:0xD5", "verify", first}).status, 0);
    ASSERT_EQ(tool({"--sim-fault", "id:0x1F:0xD5", "--no-id-check", "erase"}).status, 0);
    Result forced = tool({"--sim-fault", "id:0x1F:0xD5", "--no-id-check", "program", second});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(tool({"verify", second}).status, 0);
}

TEST_F(Cli, IdCheckPassesTheNamedPartsAndSkipsEntriesWithoutCodes) {
    const std::string image = writeImage("a.bin", 1024, 3);
    // The 29F010 entry also takes the ST part of that name.
    Result st = runTool({"-d", "29F010", "--sim-fault", "id:0x20:0x20", "program", image});
    EXPECT_EQ(st.status, 0) << st.err;
    // No code is known for a 29F512 entry: nothing to compare.
    Result none = runTool({"-d", "29F512", "--sim-fault", "id:0x1F:0xD5", "program", image});
    EXPECT_EQ(none.status, 0) << none.err;
    // An empty socket answers 0xFF: refused with the AVR signature the entry expects.
    Result empty = runTool({"-d", "AT90S2313", "--sim-fault", "no-chip", "erase"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("AT90S2313   DIP20 is 0x1E/0x9101"), std::string::npos) << empty.err;
}

}  // namespace
}  // namespace tavrin::test
