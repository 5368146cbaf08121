// MXIC 29F040 sector protection: the status grid, protecting a sector, unprotecting the chip,
// and what programming does with a protected sector, end to end on the simulated part.
#include "algorithms/parallel/Mx29F040Protect.h"

#include <gtest/gtest.h>

#include "algorithms/parallel/JedecRig.h"
#include "core/Commands.h"

namespace tavrin {
namespace {

using test::JedecRig;

struct Mx29F040 : ::testing::Test {
    JedecRig rig{"MX29F040"};
    MxicSectorGrid grid;

    void expect(const std::string& text, MessageKind kind) {
        ASSERT_NE(rig.ui.last(), nullptr);
        EXPECT_EQ(rig.ui.lastText(), text);
        EXPECT_EQ(rig.ui.last()->kind, kind);
        EXPECT_TRUE(rig.socketOff());
    }
    void protectAll(int except = -1) {
        for (int s = 0; s < kMxicSectors; ++s) rig.chip->protectSector(s, s != except);
    }
};

TEST_F(Mx29F040, StatusFillsTheGridAndEnablesTheButtons) {
    EXPECT_EQ(grid.rows[0], "Sec        Address        Stat");
    // Before the first status read the other two buttons do nothing.
    sbMXICF29SecProtClick(rig.ctx, grid);
    sbMXICF29ChipUnprtClick(rig.ctx, grid);
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_EQ(rig.board.accesses(), 0u);

    rig.chip->protectSector(2);
    sbMXICF29SecStatusClick(rig.ctx, grid);
    EXPECT_TRUE(grid.buttonsEnabled);
    EXPECT_EQ(grid.rows[1], "S0     00000   0ffff    0");
    EXPECT_EQ(grid.rows[3], "S2     20000   2ffff    1");
    EXPECT_EQ(grid.rows[8], "S7     70000   7ffff    0");
    EXPECT_TRUE(rig.socketOff());
    // No hardware check: the status line still shows nothing.
    EXPECT_TRUE(rig.ui.messages.empty());
}

TEST_F(Mx29F040, ProtectTheSelectedRowsSectorThenProgramFailsThereUntilUnprotected) {
    sbMXICF29SecStatusClick(rig.ctx, grid);
    grid.selectedRow = 3;  // sector 2
    sbMXICF29SecProtClick(rig.ctx, grid);
    expect("Sector protect performed OK!", MessageKind::Success);
    EXPECT_TRUE(rig.chip->sectorProtected(2));
    EXPECT_FALSE(rig.chip->sectorProtected(1));
    EXPECT_FALSE(rig.chip->sectorProtected(3));
    EXPECT_EQ(grid.rows[3], "S2     20000   2ffff    1");

    sbMXICF29SecProtClick(rig.ctx, grid);
    expect("Sector already protected !", MessageKind::Error);

    // Program into sector 2: erased bytes below it are skipped, the first byte there fails.
    std::vector<uint8_t> image(0x20010, 0xFF);
    for (int i = 0; i < 16; ++i) image[0x20000 + i] = uint8_t(i);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    expect(" Error at 0x020000  Chip = 0xFF  buffer = 0x00", MessageKind::Error);

    sbMXICF29ChipUnprtClick(rig.ctx, grid);
    expect("Chip Unprotection performed OK!", MessageKind::Success);
    for (int s = 0; s < kMxicSectors; ++s) EXPECT_FALSE(rig.chip->sectorProtected(s));
    EXPECT_EQ(grid.rows[3], "S2     20000   2ffff    0");

    RunCommand(rig.ctx, Command::Program);
    expect("Device Programed OK", MessageKind::Success);
    EXPECT_TRUE(rig.chipHolds(image));
}

TEST_F(Mx29F040, UnprotectProtectsTheLastUnprotectedSectorFirst) {
    protectAll(7);
    sbMXICF29SecStatusClick(rig.ctx, grid);
    EXPECT_EQ(grid.rows[8], "S7     70000   7ffff    0");
    const uint64_t pulses = rig.chip->log().protectPulses;
    sbMXICF29ChipUnprtClick(rig.ctx, grid);
    expect("Chip Unprotection performed OK!", MessageKind::Success);
    EXPECT_EQ(rig.chip->log().protectPulses - pulses, 2u);  // sector 7, then the chip
    for (int r = 1; r <= kMxicSectors; ++r) EXPECT_EQ(grid.rows[size_t(r)].back(), '0');
}

TEST_F(Mx29F040, UnprotectOfAnUnprotectedChipSaysSo) {
    sbMXICF29SecStatusClick(rig.ctx, grid);
    sbMXICF29ChipUnprtClick(rig.ctx, grid);
    expect("All sectors are Unprotected !", MessageKind::Error);
    EXPECT_EQ(rig.chip->log().protectPulses, 0u);
}

TEST_F(Mx29F040, AnEmptySocketShowsTheStatusErrors) {
    ASSERT_TRUE(rig.fault("no-chip"));
    sbMXICF29SecStatusClick(rig.ctx, grid);
    EXPECT_EQ(grid.rows[1], "S0     00000   0ffff    255");
    sbMXICF29SecProtClick(rig.ctx, grid);
    expect("Protect/Unprotect status error !", MessageKind::Error);
    sbMXICF29ChipUnprtClick(rig.ctx, grid);
    expect("Protection of Sector N. 0 may be not possible!", MessageKind::Error);
}

TEST_F(Mx29F040, APartThatIgnoresTheProtectCommandIsReportedByItsStatus) {
    ASSERT_TRUE(rig.fault("ignores-protect"));
    sbMXICF29SecStatusClick(rig.ctx, grid);
    grid.selectedRow = 5;
    sbMXICF29SecProtClick(rig.ctx, grid);
    expect("Sector not protected !", MessageKind::Error);
    EXPECT_FALSE(rig.chip->sectorProtected(4));

    rig.chip->protectSector(0);
    sbMXICF29ChipUnprtClick(rig.ctx, grid);
    expect("Protection of Sector N. 1 may be not possible!", MessageKind::Error);

    protectAll();
    sbMXICF29ChipUnprtClick(rig.ctx, grid);
    expect("Sectors NOT unprotected !", MessageKind::Error);
    EXPECT_TRUE(rig.chip->sectorProtected(3));
}

TEST_F(Mx29F040, ProtectedSectorsSurviveTheChipErase) {
    rig.chip->protectSector(6);
    rig.chip->cells()[0x60000] = 0x12;
    rig.chip->cells()[0x50000] = 0x34;
    RunCommand(rig.ctx, Command::Erase);  // the others erase, and the run says which stayed
    expect(" Sector 6 is protected: the chip is not erased", MessageKind::Error);
    EXPECT_EQ(rig.chip->readCell(0x60000), 0x12);
    EXPECT_EQ(rig.chip->readCell(0x50000), 0xFF);
}

}  // namespace
}  // namespace tavrin
