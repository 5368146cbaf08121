// `read --passes N` end to end through the tool: a flaky bit listed with its address, bit and the
// values of each read, the majority saved, a clean chip, JSON, bad pass counts, and the fault's
// place in --help-faults.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliRun.h"

namespace tavrin::test {
namespace {

using Json = nlohmann::json;

class ReadPasses : public Cli {
  protected:
    // A 27C256 programmed from a random image, kept in a chip file.
    void SetUp() override {
        Cli::SetUp();
        image_ = writeImage("image.bin", 32768, 11);
        chip_ = path("chip.sim");
        const Result p = runTool({"-d", "27C256", "--chip-file", chip_, "program", image_});
        ASSERT_EQ(p.status, 0) << p.err;
    }
    std::string image_, chip_;
};

TEST_F(ReadPasses, AFlakyBitIsListedAndTheMajorityIsSaved) {
    const std::string out = path("out.bin");
    const Result r = runTool({"-d", "27C256", "--chip-file", chip_, "--sim-fault", "flaky:0x123:2",
                              "read", "--passes", "3", out});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("1 of 32768 bytes unstable over 3 reads (1 bit)"), std::string::npos)
        << r.out;
    const auto v = uint8_t(slurp(image_)[0x123]);
    char line[64];
    std::snprintf(line, sizeof line, "0x000123  0x%02X  2        0x%02X 0x%02X 0x%02X", v, v,
                  v ^ 0x04, v);
    EXPECT_NE(r.out.find(line), std::string::npos) << r.out;
    EXPECT_EQ(slurp(out), slurp(image_));
    EXPECT_EQ(r.err.find("Read OK"), std::string::npos);
}

TEST_F(ReadPasses, ACleanChipAgreesAndExitsZero) {
    const std::string out = path("out.bin");
    const Result r = runTool({"-d", "27C256", "--chip-file", chip_, "read", "--passes", "2", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2 reads agree in all 32768 bytes"), std::string::npos) << r.out;
    EXPECT_EQ(slurp(out), slurp(image_));
}

TEST_F(ReadPasses, JsonCarriesTheReport) {
    const Result r = runTool({"-d", "27C256", "--chip-file", chip_, "--sim-fault", "flaky:0x10:0",
                              "--sim-fault", "flaky:0x7FFF:7", "--json", "read", "--passes", "3",
                              "--list", "1", path("out.hex")});
    EXPECT_EQ(r.status, 1) << r.err;
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["outcome"], "failed");
    const Json& c = j["consistency"];
    EXPECT_EQ(c["passes"], 3);
    EXPECT_EQ(c["compared"], 32768);
    EXPECT_EQ(c["unstable"], 2);
    EXPECT_EQ(c["unstableBits"], 2);
    ASSERT_EQ(c["bytes"].size(), 1u);
    EXPECT_EQ(c["bytes"][0]["address"], 0x10);
    EXPECT_EQ(c["bytes"][0]["bits"], Json::array({0}));
    EXPECT_EQ(c["bytes"][0]["flipped"], 1);
    EXPECT_EQ(c["bytes"][0]["seen"].size(), 3u);
}

TEST_F(ReadPasses, ImageOnStandardOutputPutsTheReportOnStandardError) {
    const Result r = runTool({"-d", "27C256", "--chip-file", chip_, "--sim-fault", "flaky:5:1",
                              "read", "--passes", "3", "-"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, slurp(image_));
    EXPECT_NE(r.err.find("0x000005"), std::string::npos) << r.err;
}

TEST_F(ReadPasses, BadCountsAndFaultTextsAreRefused) {
    for (const char* n : {"0", "32", "x"}) {
        const Result r = runTool({"-d", "27C256", "read", "--passes", n, path("o.bin")});
        EXPECT_EQ(r.status, 2) << n;
    }
    for (const char* f : {"flaky:1", "flaky:1:8", "flaky:x:1"}) {
        const Result r = runTool({"-d", "27C256", "--sim-fault", f, "read", path("o.bin")});
        EXPECT_EQ(r.status, 2) << f;
        EXPECT_NE(r.err.find("flaky:ADDR:BIT"), std::string::npos) << r.err;
    }
    const Result none = runTool({"-d", "27C256", "--sim-fault", "no-chip", "--sim-fault",
                                 "flaky:1:1", "read", path("o.bin")});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("no chip in the socket"), std::string::npos) << none.err;
    EXPECT_NE(runTool({"--help-faults"}).out.find("flaky:ADDR:BIT"), std::string::npos);
}

TEST_F(ReadPasses, OneSerialPartToo) {
    const std::string chip = path("24c.sim"), image = writeImage("s.bin", 2048, 3);
    ASSERT_EQ(runTool({"-d", "24C16", "--chip-file", chip, "program", image}).status, 0);
    const Result r = runTool({"-d", "24C16", "--chip-file", chip, "--sim-fault", "flaky:0x7FF:6",
                              "read", "--passes", "3", path("o.bin")});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("0x0007FF"), std::string::npos) << r.out;
    EXPECT_EQ(slurp(path("o.bin")), slurp(image));
}

}  // namespace
}  // namespace tavrin::test
