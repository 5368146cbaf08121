// --serial: a number written into the image for each chip, moved on only after a chip passed,
// kept in its state file; the loaded file stays as it was.
#include <gtest/gtest.h>

#include "cli/CliRun.h"

namespace tavrin::test {
namespace {

TEST_F(Cli, SerialNumbersCountUpOverChipsThatPassed) {
    const std::string image = writeImage("image.bin", 2048, 9);
    const std::string original = slurp(image);
    const std::string state = path("serial.state");
    const auto program = [&](const std::string& chip, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"-d",       "2716",          "--chip-file",    path(chip),
                                         "--serial", "0x10:2:0x1234", "--serial-state", state};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back("program");
        args.push_back(image);
        return runTool(args);
    };
    const auto serialOf = [&](const std::string& chip) {
        EXPECT_EQ(
            runTool({"-d", "2716", "--chip-file", path(chip), "read", path("back.bin")}).status, 0);
        return slurp(path("back.bin")).substr(0x10, 2);
    };
    Result a = program("a");
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_NE(a.err.find("serial number 4660 at 0x000010"), std::string::npos) << a.err;
    EXPECT_EQ(serialOf("a"), std::string("\x34\x12", 2));
    ASSERT_EQ(program("b").status, 0);
    EXPECT_EQ(serialOf("b"), std::string("\x35\x12", 2));
    // A chip that fails keeps its number for the next one.
    EXPECT_EQ(program("c", {"--sim-fault", "never-programs"}).status, 1);
    EXPECT_EQ(slurp(state), "next=4662\n");
    ASSERT_EQ(program("d").status, 0);
    EXPECT_EQ(serialOf("d"), std::string("\x36\x12", 2));
    // The rest of the image is the file's, and the file itself is untouched.
    std::string expected = original;
    expected.replace(0x10, 2, std::string("\x36\x12", 2));
    EXPECT_EQ(slurp(path("back.bin")), expected);
    EXPECT_EQ(slurp(image), original);
    // auto takes the same numbers; big-endian ASCII hex this time.
    Result e = runTool({"-d", "2716", "--chip-file", path("e"), "--serial", "0x20:4",
                        "--serial-format", "hex-be", "--serial-state", state, "auto", image});
    ASSERT_EQ(e.status, 0) << e.err;
    ASSERT_EQ(runTool({"-d", "2716", "--chip-file", path("e"), "read", path("e.bin")}).status, 0);
    EXPECT_EQ(slurp(path("e.bin")).substr(0x20, 4), "1237");
    EXPECT_EQ(slurp(state), "next=4664\n");
}

TEST_F(Cli, SerialNumberInputIsChecked) {
    const std::string image = writeImage("image.bin", 2048, 1);
    for (const char* bad : {"0x10", "0x10:9", "zz:2", "0x10:2:1:0", "0x7FF:2"}) {
        SCOPED_TRACE(bad);
        Result r =
            runTool({"-d", "2716", "--serial", bad, "--serial-state", path("s"), "program", image});
        EXPECT_EQ(r.status, 2) << r.err;
    }
    // A number too large for its bytes is refused before anything is written.
    Result big = runTool(
        {"-d", "2716", "--serial", "0:1:256", "--serial-state", path("s2"), "program", image});
    EXPECT_EQ(big.status, 2);
    EXPECT_NE(big.err.find("does not fit 1 bytes"), std::string::npos) << big.err;
}

}  // namespace
}  // namespace tavrin::test
