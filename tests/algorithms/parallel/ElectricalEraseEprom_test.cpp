// W27x / SST27SF electrically erasable EPROMs end to end: programmed as EPROMs, erased in the
// socket by EraseW27E.
#include <gtest/gtest.h>

#include <algorithm>

#include "algorithms/EpromSelection.h"
#include "algorithms/parallel/PartRig.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "sim/parallel/SimElectricalEraseEprom.h"

namespace tavrin {
namespace {

using Rig = test::PartRig<sim::SimElectricalEraseEprom>;
using test::RandomImage;

constexpr const char *kW27x512 = "W27x512  (Vpe 14V)", *kW27x256 = "W27x256   (Vpe 14V)",
                     *kSst27SF256 = "SST27SF256  (Vpe 12V)", *kW27x040 = "W27x040  (Vpe 14V)";

int passes(const Rig& rig, size_t fromGauge) {
    int n = 0;
    for (size_t g = fromGauge; g < rig.ui.gauges.size(); ++g)
        n += rig.ui.gauges[g].caption == "Erase and Check Device is Empty";
    return n;
}

bool blank(Rig& rig) {
    for (uint32_t a = 0; a < rig.chip->type().size; ++a)
        if (rig.chip->readCell(a) != 0xFF) return false;
    return true;
}

TEST(ElectricalEraseEprom, ProgramReadVerifyThenEraseInOnePass) {
    for (const char* part : {kW27x512, kSst27SF256}) {
        SCOPED_TRACE(part);
        Rig rig(part);
        const std::vector<uint8_t> image = RandomImage(0x800, 31);
        rig.load(image);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
        RunCommand(rig.ctx, Command::Read);
        EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
        EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));

        const size_t gauges = rig.ui.gauges.size();
        RunCommand(rig.ctx, Command::Erase);
        EXPECT_EQ(rig.ui.lastText(), "Device Erase OK");
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
        EXPECT_EQ(passes(rig, gauges), 1);
        EXPECT_EQ(rig.ui.gauges.back().color, GaugeColor::Blank);
        EXPECT_EQ(rig.chip->erases(), 1u);
        EXPECT_TRUE(blank(rig));
        EXPECT_TRUE(rig.socketOff());
        RunCommand(rig.ctx, Command::Blank);
        EXPECT_EQ(rig.ui.lastText(), "Device is Empty");
        // ... and programs again.
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    }
}

TEST(ElectricalEraseEprom, BlankChipTakesOnePulseAndOneFullRead) {
    Rig rig(kW27x256);
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Device Erase OK");
    EXPECT_EQ(passes(rig, 0), 1);
    EXPECT_EQ(rig.chip->erasePulses(), 1u);
    EXPECT_EQ(rig.ui.lastProgress, 0x7FFF);
}

TEST(ElectricalEraseEprom, StuckByteAtTheLastAddressTakesTwentyPassesAndFails) {
    Rig rig(kW27x256);
    rig.chip->setStuckBit(0x7FFF, 4, false);
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Device Erase False");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);  // a failure, not the success style
    EXPECT_EQ(passes(rig, 0), 20);
    EXPECT_EQ(rig.chip->erasePulses(), 20u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(ElectricalEraseEprom, WrongErasingVoltageOrAWornPartNeverErases) {
    Rig rig(kW27x512);
    rig.chip->cells()[0x100] = 0x00;
    rig.chip->setSuppliedVolts(12);  // the jumper left at 12 V for a 14 V part
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Device Erase False");
    EXPECT_EQ(rig.chip->erases(), 0u);

    Rig worn(kSst27SF256);
    std::string error;
    ASSERT_TRUE(ApplySimFault(worn.board, "never-erases", error)) << error;
    worn.chip->cells()[0] = 0x00;
    RunCommand(worn.ctx, Command::Erase);
    EXPECT_EQ(worn.ui.lastText(), "Device Erase False");
    EXPECT_EQ(passes(worn, 0), 20);
}

TEST(ElectricalEraseEprom, CancelDuringTheFirstReadFailsAtOnce) {
    Rig rig(kW27x040);
    const size_t before = rig.ui.messages.size();
    rig.ui.cancelAfterPumps(50);
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.textsSince(before),
              (std::vector<std::string>{"Hardware present ", "Erase and Check Device is Empty",
                                        "Device Erase False"}));
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(passes(rig, 0), 1);
    EXPECT_TRUE(rig.socketOff());
}

TEST(ElectricalEraseEprom, CancelIsHeardEvenWhenTheFirstByteNeverErases) {
    Rig rig(kW27x256);
    rig.chip->setStuckBit(0, 0, false);  // every pass stops at address 0 without a pump
    rig.ui.cancelAfterPumps(2);          // the second pass's gauge delivers it
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Device Erase False");
    EXPECT_LE(passes(rig, 0), 2);
    EXPECT_TRUE(rig.socketOff());
}

TEST(ElectricalEraseEprom, NoGetId) {
    Rig rig(kW27x512);
    rig.ui.messages.clear();
    RunCommand(rig.ctx, Command::GetId);
    EXPECT_EQ(rig.textsSince(0), (std::vector<std::string>{"Hardware present "}));
    EXPECT_TRUE(rig.ui.ids.empty());
}

}  // namespace
}  // namespace tavrin
