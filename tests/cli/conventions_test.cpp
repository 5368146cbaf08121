// Conventions of the `tavrin` command line: help, version, option spellings, standard streams,
// formats told by name or contents, and the refusals that come before any chip is touched.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/CliRun.h"

namespace {
using namespace tavrin::test;

size_t lineCount(const std::string& text) {
    size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

TEST_F(Cli, VersionHelpAndOneLineUsageErrors) {
    Result version = runTool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("tavrin 0."), std::string::npos) << version.out;
    Result help = runTool({"-h"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--yes"), std::string::npos);
    EXPECT_NE(help.out.find("offset question"), std::string::npos)
        << "--help says what --yes answers";
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"frobnicate"},
                                                                  {"--bogus", "info"},
                                                                  {"-d", "27C64", "read"},
                                                                  {"--offset", "xyz", "blank"}}) {
        Result r = runTool(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(lineCount(r.err), 1u) << r.err;
        EXPECT_NE(r.err.find("try 'tavrin --help'"), std::string::npos) << r.err;
    }
}

TEST_F(Cli, OptionsTakeEqualsAndMayFollowTheCommand) {
    const std::string image = writeImage("a.bin", 8192, 11), chip = path("chip.sim");
    ASSERT_EQ(runTool({"program", image, "--device=27C64", "--chip-file=" + chip}).status, 0);
    Result r = runTool({"read", path("back.bin"), "--device", "27C64", "--chip-file", chip});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(slurp(path("back.bin")), slurp(image));
}

TEST_F(Cli, StandardInputAndOutput) {
    const std::string image = writeImage("a.bin", 8192, 12), chip = path("chip.sim");
    // A HEX text on standard input is told by its contents.
    ASSERT_EQ(runTool({"convert", image, path("a.hex")}).status, 0);
    Result p = runTool({"-d", "27C64", "--chip-file", chip, "program", "-"}, {}, path("a.hex"));
    ASSERT_EQ(p.status, 0) << p.err;
    Result r = runTool({"-d", "27C64", "--chip-file", chip, "read", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, slurp(image));
    Result c = runTool({"convert", "-", "-", "--out-format", "hex"}, {}, image);
    ASSERT_EQ(c.status, 0) << c.err;
    EXPECT_EQ(c.out, slurp(path("a.hex")));
}

TEST_F(Cli, FormatsByContentsAndByOutputName) {
    const std::string image = writeImage("a.bin", 1000, 13);
    ASSERT_EQ(runTool({"convert", image, path("a.s19")}).status, 0);
    EXPECT_EQ(slurp(path("a.s19")).substr(0, 2), "S1") << "an .s19 name writes S-records";
    ASSERT_EQ(runTool({"convert", image, path("a.ihx")}).status, 0);
    EXPECT_EQ(slurp(path("a.ihx"))[0], ':') << "an .ihx name writes Intel HEX";
    // A HEX file named .txt loads as HEX: the contents decide for names outside the file rule.
    std::filesystem::copy_file(path("a.ihx"), path("rom.txt"));
    ASSERT_EQ(runTool({"convert", path("rom.txt"), path("back.bin")}).status, 0);
    EXPECT_EQ(slurp(path("back.bin")), slurp(image));
    // Input and output formats apart: S-records in a .dat, read as srec, written as hex.
    std::filesystem::copy_file(path("a.s19"), path("records.dat"));
    ASSERT_EQ(runTool({"--in-format", "srec", "--out-format=hex", "convert", path("records.dat"),
                       path("out.dat")})
                  .status,
              0);
    EXPECT_EQ(slurp(path("out.dat")), slurp(path("a.ihx")));
}

TEST_F(Cli, FileProblemsNameTheReason) {
    Result missing = runTool({"-d", "27C64", "program", path("missing.bin")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
    Result folder = runTool({"-d", "27C64", "verify", dir_.string()});
    EXPECT_EQ(folder.status, 2);
    EXPECT_NE(folder.err.find("folder"), std::string::npos) << folder.err;
}

TEST_F(Cli, AnOutputThatCannotBeWrittenIsRefusedBeforeTheChipIsRead) {
    const std::string trace = path("t.vcd");
    Result r = runTool({"-d", "27C64", "--trace", trace, "read", path("no/such/folder/out.bin")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Reading Chip"), std::string::npos) << "the chip was not read";
}

TEST_F(Cli, EepIsRefusedForADeviceWithoutAnEepromArea) {
    const std::string chip = path("chip.sim");
    ASSERT_EQ(
        runTool({"-d", "27C256", "--chip-file", chip, "program", writeImage("a.bin", 100, 14)})
            .status,
        0);
    Result r = runTool({"-d", "27C256", "--chip-file", chip, "read", path("out.eep")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("EEP"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(path("out.eep")));
    EXPECT_EQ(runTool({"-d", "27C256", "--format", "eep", "read", path("out.bin")}).status, 2);
}

TEST_F(Cli, AnOffsetRunWithoutATerminalIsRefused) {
    const std::string chip = path("chip.sim"), trace = path("t.vcd");
    Result r = runTool({"-d", "27C64", "--chip-file", chip, "--trace", trace, "--offset", "100",
                        "program", writeImage("a.bin", 16, 15)});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Use offset of 0x000100"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;
    // Nothing was written, at 0 or elsewhere.
    Result blank = runTool({"-d", "27C64", "--chip-file", chip, "blank"});
    EXPECT_EQ(blank.status, 0) << blank.err;
    // With --yes the run goes to the offset.
    ASSERT_EQ(runTool({"-d", "27C64", "--chip-file", chip, "--offset=100", "--yes", "program",
                       path("a.bin")})
                  .status,
              0);
    Result back = runTool({"-d", "27C64", "--chip-file", chip, "read", path("back.bin")});
    ASSERT_EQ(back.status, 0);
    EXPECT_EQ(slurp(path("back.bin")).substr(0x100, 16), slurp(path("a.bin")));
}

TEST_F(Cli, InfoSpeaksInTheUsersWordsAndJsonHasTheCodes) {
    Result plain = runTool({"-d", "27C256", "info"});
    ASSERT_EQ(plain.status, 0);
    EXPECT_NE(plain.out.find("Family:      UV EPROM\n"), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find("28-pin DIP"), std::string::npos) << plain.out;
    EXPECT_EQ(plain.out.find("eep"), std::string::npos) << "internal codes only with -v";
    Result verbose = runTool({"-d", "27C256", "-v", "info"});
    EXPECT_NE(verbose.out.find("eep 0, tag 204"), std::string::npos) << verbose.out;
    Result json = runTool({"-d", "27C256", "--json", "info"});
    ASSERT_EQ(json.status, 0);
    const nlohmann::json j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["eep"], 0);
    EXPECT_EQ(j["size"], 32768);
    EXPECT_EQ(j["package"], "28-pin DIP");
}

TEST_F(Cli, RomidentWithoutTheDatabaseNamesTheFolder) {
    std::ofstream(path("img.bin"), std::ios::binary) << "data";
    Result r = runTool({"--romdb", dir_.string(), "romident", path("img.bin")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(dir_.string()), std::string::npos) << r.err;
}

TEST_F(Cli, DeviceNamesAsUsersTypeThem) {
    for (const auto& [typed, caption] : std::vector<std::pair<std::string, std::string>>{
             {"M27C256", "27C256"}, {"27C1000", "27C010/1000/1001"}, {"AM27C256", "27C256"}}) {
        Result r = runTool({"-d", typed, "info"});
        ASSERT_EQ(r.status, 0) << typed << r.err;
        EXPECT_NE(r.out.find("Device:      " + caption + "\n"), std::string::npos) << typed << r.out;
    }
    Result w27 = runTool({"-d", "W27C512", "info"});
    EXPECT_EQ(w27.out.find("Device:      27C512\n"), std::string::npos) << w27.out;
    Result disabled = runTool({"-d", "AT29LV010", "info"});
    EXPECT_EQ(disabled.status, 2);
    EXPECT_NE(disabled.err.find("cannot be selected"), std::string::npos) << disabled.err;
    Result pick = runTool({"-d", "24C512", "info"});
    EXPECT_EQ(pick.status, 2);
    EXPECT_NE(pick.err.find("\"24C512 (64)\""), std::string::npos) << pick.err;
}

// The EEP loader merges into the image, so the start state shows: erased, as in the window.
TEST_F(Cli, StartsWithAnErasedImageLikeTheWindow) {
    std::ofstream(path("x.eep")) << ":0400000001020304F2\n:00000001FF\n";
    Result c = runTool({"-d", "27C64", "checksum", path("x.eep")});
    ASSERT_EQ(c.status, 0) << c.err;
    char expected[16];
    std::snprintf(expected, sizeof expected, "0x%04X", (1 + 2 + 3 + 4 + 8188 * 0xFF) & 0xFFFF);
    EXPECT_NE(c.out.find(std::string("16 Bit Addition: ") + expected), std::string::npos) << c.out;
}

TEST_F(Cli, AFileLargerThanTheDeviceIsRefusedUnlessTruncateAcceptsIt) {
    const std::string chip = path("chip.sim"), big = writeImage("big.bin", 65536, 16);
    Result r = runTool({"-d", "27C256", "--chip-file", chip, "program", big});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("32768 bytes"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--truncate"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Device Programed OK"), std::string::npos);
    EXPECT_EQ(runTool({"-d", "27C256", "--chip-file", chip, "blank"}).status, 0) << "untouched";
    Result t = runTool({"-d", "27C256", "--chip-file", chip, "--truncate", "program", big});
    ASSERT_EQ(t.status, 0) << t.err;
    ASSERT_EQ(runTool({"-d", "27C256", "--chip-file", chip, "read", path("back.bin")}).status, 0);
    EXPECT_EQ(slurp(path("back.bin")), slurp(big).substr(0, 32768));
    // An offset at the end of the device is refused, with or without --yes.
    Result past = runTool({"-d", "27C256", "--chip-file", chip, "--yes", "--offset", "8000", "verify", big});
    EXPECT_EQ(past.status, 2);
    EXPECT_NE(past.err.find("past the end of the device"), std::string::npos) << past.err;
}

}  // namespace
