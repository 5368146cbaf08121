// Bad input and faults from outside, end to end through the tool, for every family that programs:
// signals mid-run, a board that goes away, a ready line that never answers, damaged chip files,
// and saves into a place that is full or cannot be written.
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "cli/CliRun.h"
#include "core/Dispatch.h"
#include "devices/Catalogue.h"

namespace tavrin::test {
namespace {

struct Part {
    int eep;
    std::string caption;
    int32_t size;
};

// One part per family code whose row offers program: the smallest (quick runs), or the largest
// (whose run lasts long enough to be interrupted on any host).
enum class Pick { Smallest, Largest };
std::vector<Part> ProgrammableFamilies(Pick pick) {
    std::map<int, Part> byFamily;
    for (const DeviceEntry& e : DeviceCatalogue()) {
        if (!e.selectable || !e.enabled || FindDevice(e.caption) != &e) continue;
        if (FamilyFor(e.eep).program.kind != Action::Kind::Run) continue;
        auto [it, fresh] = byFamily.try_emplace(e.eep, Part{e.eep, e.caption, e.size});
        if (!fresh && (pick == Pick::Largest ? e.size > it->second.size : e.size < it->second.size))
            it->second = {e.eep, e.caption, e.size};
    }
    std::vector<Part> parts;
    for (auto& [eep, part] : byFamily) parts.push_back(part);
    return parts;
}

bool Has(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

// No success text after the run: none of the routines' closing "... OK" lines.
bool ShowsSuccess(const std::string& err) {
    return Has(err, "Programmed OK") || Has(err, "Programed OK") || Has(err, "Verify OK") ||
           Has(err, "programmed OK");
}

const char* const kUnpowered = "socket unpowered";
const char* const kHardwareError = "Hardware Error :  Check Power && connection";

class Faults : public Cli {};

TEST_F(Faults, EverySignalDuringEveryFamilysProgramCancelsAndPowersDown) {
    const std::vector<Part> parts = ProgrammableFamilies(Pick::Largest);
    ASSERT_GE(parts.size(), 20u);
    for (const Part& part : parts) {
        const std::string image = writeImage("image.bin", size_t(part.size), unsigned(part.eep));
        for (const char* sig : {"INT", "TERM", "HUP"}) {
            SCOPED_TRACE(part.caption + " SIG" + sig);
            // The signal arrives inside the routine, past the start-up and the hardware check.
            Result r = runTool({"-v", "-d", part.caption, "--yes", "--truncate", "--sim-fault",
                                std::string("signal:") + sig + ":1500", "program", image});
            EXPECT_EQ(r.status, 4) << r.err;
            EXPECT_FALSE(ShowsSuccess(r.err)) << r.err;
            EXPECT_TRUE(Has(r.err, kUnpowered)) << r.err;
        }
    }
}

TEST_F(Faults, SignalsFromOutsideCancelALongRead) {
    for (int sig : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        RunOptions o;
        o.interruptOn = "Reading Chip";
        o.signal = sig;
        Result r = runToolWith({"-v", "-d", "27C080/801", "read", path("r.bin")}, o);
        EXPECT_EQ(r.status, 4) << r.err;
        EXPECT_TRUE(Has(r.err, "Process Cancelled")) << r.err;
        EXPECT_TRUE(Has(r.err, kUnpowered)) << r.err;
    }
}

TEST_F(Faults, BoardLostMidProgramIsAHardwareErrorAndTheSocketEndsUnpowered) {
    for (const Part& part : ProgrammableFamilies(Pick::Smallest)) {
        SCOPED_TRACE(part.caption);
        const std::string image = writeImage("image.bin", size_t(part.size), unsigned(part.eep));
        // Past the start-up power-down and the hardware check, inside the routine.
        Result r = runTool({"-v", "-d", part.caption, "--yes", "--truncate", "--sim-fault",
                            "board-lost-after:1000", "program", image});
        EXPECT_EQ(r.status, 3) << r.err;
        EXPECT_TRUE(Has(r.err, kHardwareError)) << r.err;
        EXPECT_FALSE(ShowsSuccess(r.err)) << r.err;
        EXPECT_TRUE(Has(r.err, kUnpowered)) << r.err;
    }
}

TEST_F(Faults, ReadyLineThatNeverAnswersEndsWithAFailure) {
    // Pin 11 carries the hardware check of the parallel families and the data, acknowledge and
    // ready line of the serial ones: stuck, no poll may wait for ever.
    for (const Part& part : ProgrammableFamilies(Pick::Smallest)) {
        const std::string image = writeImage("image.bin", size_t(part.size), unsigned(part.eep));
        for (const char* level : {"busy-stuck:0", "busy-stuck:1"}) {
            SCOPED_TRACE(part.caption + " " + level);
            Result r = runTool({"-v", "-d", part.caption, "--yes", "--truncate", "--sim-fault",
                                level, "program", image});
            EXPECT_TRUE(r.status == 1 || r.status == 3) << r.status << r.err;
            EXPECT_FALSE(ShowsSuccess(r.err)) << r.err;
            EXPECT_TRUE(Has(r.err, kUnpowered)) << r.err;
        }
    }
}

TEST_F(Faults, DamagedChipFilesAreRefusedAndKeptAsTheyAre) {
    // A binary model, a text model, a serial model and a plain memory without a read command
    // (every model's own reader is tried in the simulator's tests).
    const std::vector<Part> parts = {{0, "27C64", 8192},
                                     {17, "PIC 16F84", 1024},
                                     {2, "24C32     (32)", 4096},
                                     {21, "6116      2KB", 2048}};
    for (const Part& part : parts) {
        SCOPED_TRACE(part.caption);
        const std::string chip = path("chip.sim");
        std::filesystem::remove(chip);
        const std::string image = writeImage("image.bin", size_t(part.size), unsigned(part.eep));
        // Any run leaves the chip file behind; a read is the quickest where the family has one.
        const bool reads = FamilyFor(part.eep).read.kind == Action::Kind::Run;
        const std::vector<std::string> run =
            reads ? std::vector<std::string>{"-d", part.caption, "--chip-file",
                                             chip, "read",       path("r.bin")}
                  : std::vector<std::string>{"-d",    part.caption, "--chip-file", chip,
                                             "--yes", "--truncate", "program",     image};
        ASSERT_EQ(runTool(run).status, 0);
        const std::string good = slurp(chip);
        ASSERT_GT(good.size(), 30u);
        const size_t header = good.find('\n', good.find('\n') + 1) + 1;
        std::vector<std::pair<std::string, std::string>> damaged = {
            {"not a chip file", "27C256\n"},
            {"header only", good.substr(0, header)},
            {"half", good.substr(0, header + (good.size() - header) / 2)},
            {"cut short", good.substr(0, good.size() - (good.back() == '\n' ? 2 : 1))},
            {"another device",
             good.substr(0, good.find('\n') + 1) + "27C256\n" + good.substr(header)},
        };
        // A state line of the chip model garbled, where the model has one.
        if (std::string g = good; g[header] >= 'a' && g[header] <= 'z') {
            g[header] = '#';
            damaged.emplace_back("garbled", g);
        }
        for (const auto& [what, contents] : damaged) {
            SCOPED_TRACE(what);
            std::ofstream(chip, std::ios::binary | std::ios::trunc) << contents;
            Result r = runTool({"-d", part.caption, "--chip-file", chip, "read", path("r.bin")});
            EXPECT_EQ(r.status, 2) << r.err;
            EXPECT_TRUE(Has(r.err, "chip file") || Has(r.err, "holds a")) << r.err;
            EXPECT_TRUE(slurp(chip) == contents) << "the chip file was changed";
        }
        // The good file still serves a run.
        std::ofstream(chip, std::ios::binary | std::ios::trunc) << good;
        Result again = runTool(run);
        EXPECT_EQ(again.status, 0) << again.err;
    }
}

TEST_F(Faults, FullDiskKeepsTheOldFilesWhole) {
    const std::string image = writeImage("image.bin", 65536, 7);
    // The converted image and the read-out file.
    const std::string out = path("out.hex");
    std::ofstream(out) << "previous contents\n";
    RunOptions limited;
    limited.fileSizeLimit = 16 * 1024;
    Result convert = runToolWith({"convert", image, out}, limited);
    EXPECT_EQ(convert.status, 1) << convert.err;
    EXPECT_EQ(slurp(out), "previous contents\n");
    Result read = runToolWith({"-d", "27C512", "read", out}, limited);
    EXPECT_NE(read.status, 0) << read.err;
    EXPECT_EQ(slurp(out), "previous contents\n");
    // The chip file, saved at the end of the run.
    const std::string chip = path("chip.sim");
    ASSERT_EQ(runTool({"-d", "27C512", "--chip-file", chip, "program", image}).status, 0);
    const std::string before = slurp(chip);
    const std::string other = writeImage("other.bin", 65536, 8);
    Result erase = runToolWith({"-d", "27C512", "--chip-file", chip, "blank"}, limited);
    EXPECT_EQ(erase.status, 1) << erase.err;
    EXPECT_TRUE(Has(erase.err, "cannot write the chip file")) << erase.err;
    EXPECT_EQ(slurp(chip), before);
    // Nothing half-written is left beside them.
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(Faults, ReadOnlyPlacesAreReportedAndKeepTheOldFiles) {
    const std::string image = writeImage("image.bin", 4096, 9);
    const std::string locked = path("locked");
    std::filesystem::create_directory(locked);
    const std::string out = locked + "/out.hex";
    std::ofstream(out) << "previous contents\n";
    chmod(locked.c_str(), 0555);
    if (access(locked.c_str(), W_OK) == 0) {  // root writes anyway
        chmod(locked.c_str(), 0755);
        // A place even root cannot write.
        Result r = runTool({"convert", image, "/proc/tavrin-out.hex"});
        EXPECT_EQ(r.status, 1) << r.err;
        GTEST_SKIP() << "running as root: only the /proc case is tried";
    }
    Result r = runTool({"convert", image, out});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(slurp(out), "previous contents\n");
    chmod(locked.c_str(), 0755);
}

}  // namespace
}  // namespace tavrin::test
