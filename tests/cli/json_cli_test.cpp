// --json and --json-events: the result object and the event lines, parsed as a script would.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "CliRun.h"

namespace tavrin::test {
namespace {

using Json = nlohmann::json;

// Every line of `text` as JSON; the test fails on a line that is not.
std::vector<Json> jsonLines(const std::string& text) {
    std::vector<Json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) continue;
        EXPECT_TRUE(Json::accept(line)) << line;
        if (Json::accept(line)) lines.push_back(Json::parse(line));
    }
    return lines;
}

TEST_F(Cli, JsonResultOfAPassingAndAFailingRun) {
    const std::string image = writeImage("a.bin", 32768, 7);
    const std::string chip = path("chip.json");
    Result p = runTool({"-d", "27C256", "--chip-file", chip, "--json", "program", image});
    ASSERT_EQ(p.status, 0) << p.err;
    const Json ok = Json::parse(p.out);  // one object and nothing else on stdout
    EXPECT_EQ(ok["command"], "program");
    EXPECT_EQ(ok["device"], "27C256");
    EXPECT_EQ(ok["outcome"], "passed");
    EXPECT_EQ(ok["exitStatus"], 0);
    EXPECT_EQ(ok["message"], "Device Programed OK");
    EXPECT_TRUE(ok["mismatch"].is_null());
    EXPECT_GT(ok["boardTimeUs"].get<double>(), 1e6);  // 32768 program pulses and a verify
    EXPECT_EQ(ok["counts"]["progressMax"], 32766);

    // A file that differs at 0x10: the verify names the address and both values.
    std::string other = slurp(image);
    other[0x10] = char(~other[0x10]);
    std::ofstream(path("b.bin"), std::ios::binary) << other;
    Result v = runTool({"-d", "27C256", "--chip-file", chip, "--json", "verify", path("b.bin")});
    EXPECT_EQ(v.status, 1);
    const Json bad = Json::parse(v.out);
    EXPECT_EQ(bad["outcome"], "failed");
    EXPECT_EQ(bad["exitStatus"], 1);
    ASSERT_TRUE(bad["mismatch"].is_object()) << v.out;
    EXPECT_EQ(bad["mismatch"]["address"], 0x10);
    EXPECT_EQ(bad["mismatch"]["chip"], uint8_t(~other[0x10]));
    EXPECT_EQ(bad["mismatch"]["buffer"], uint8_t(other[0x10]));
    EXPECT_NE(bad["message"].get<std::string>().find("Error at 0x000010"), std::string::npos);
}

TEST_F(Cli, JsonResultOfARefusalAndOfCommandsWithTheirOwnData) {
    Result u = runTool({"--json", "-d", "no-such-part", "blank"});
    EXPECT_EQ(u.status, 2);
    const Json refused = Json::parse(u.out);
    EXPECT_EQ(refused["outcome"], "usage");
    EXPECT_TRUE(refused["device"].is_null());
    EXPECT_NE(refused["message"].get<std::string>().find("no-such-part"), std::string::npos);

    const std::string image = writeImage("a.bin", 100, 3);
    Result c = runTool({"--json", "-d", "27C256", "checksum", image});
    ASSERT_EQ(c.status, 0);
    const Json sums = Json::parse(c.out);
    EXPECT_EQ(sums["command"], "checksum");
    EXPECT_EQ(sums["crc32"].get<std::string>().substr(0, 2), "0x");
    EXPECT_EQ(sums["sum16"].get<std::string>().substr(0, 2), "0x");

    // An image on standard output keeps it clean: the result goes to stderr.
    Result r = runTool({"--json", "-d", "2716", "read", "-"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.size(), 2048u);
    const size_t brace = r.err.rfind("{\"command\"");
    ASSERT_NE(brace, std::string::npos) << r.err;
    EXPECT_EQ(Json::parse(r.err.substr(brace))["outcome"], "passed");
}

TEST_F(Cli, JsonEventsFollowTheRunLineByLine) {
    const std::string image = writeImage("a.bin", 2048, 5);
    Result p = runTool({"-d", "2716", "--json-events", "--json", "program", image});
    ASSERT_EQ(p.status, 0) << p.err;
    const std::vector<Json> lines = jsonLines(p.out);
    ASSERT_GT(lines.size(), 3u);
    int gauges = 0, progress = 0;
    int64_t last = -1;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const Json& e = lines[i];
        ASSERT_TRUE(e.contains("event")) << e.dump();
        if (e["event"] == "gauge") ++gauges, last = -1;
        if (e["event"] == "progress") {
            ++progress;
            EXPECT_GT(e["value"].get<int64_t>(), last);  // only forward
            last = e["value"];
        }
    }
    EXPECT_EQ(gauges, 2);          // program, then the verify
    EXPECT_LE(progress, 2 * 101);  // a line per percent, not per byte
    EXPECT_GE(progress, 100);
    EXPECT_EQ(lines[lines.size() - 2]["text"], "Device Programed OK");
    EXPECT_EQ(lines.back()["command"], "program");  // the result object closes the run
}

}  // namespace
}  // namespace tavrin::test
