// MCS-51 (40-pin) and AT89Cx051 (20-pin) end to end through the command frame on simulated chips:
// program, read, verify, blank check, erase, lock bits and their failure and cancel paths.
#include "algorithms/mcu/Mcs51.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "algorithms/EpromSelection.h"
#include "algorithms/mcu/McuRig.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "devices/DisplayState.h"
#include "devices/Settings.h"
#include "sim/mcu/SimMcs51.h"

namespace tavrin {
namespace {

using Rig = test::McuRig<sim::SimMcs51>;
using test::RandomImage;

constexpr const char *kAT89C51 = "AT89C51       (4KB)", *kAT89C2051 = "AT89C2051    (2KB)",
                     *kAT89S8252 = "AT82S8252   (8K+2K)", *kI87x51 = "i87x51   (4KB)",
                     *kAT89C51RC = "AT89C51RC  (32KB/6.5V)", *kAT89C55WD = "AT89C55WD (20KB/6.5V)";

bool chipHolds(Rig& rig, const std::vector<uint8_t>& image) {
    return std::equal(image.begin(), image.end(), rig.chip->cells().begin());
}

// Program from an image, read back into a cleared buffer, verify, each ending unpowered.
void roundTrip(const char* device, uint32_t bytes, unsigned seed) {
    SCOPED_TRACE(device);
    Rig rig(device);
    const std::vector<uint8_t> image = RandomImage(bytes, seed);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_TRUE(rig.ui.saw("Device Verify OK"));
    EXPECT_EQ(rig.ui.gauges.front().caption, "programming chip");
    EXPECT_TRUE(chipHolds(rig, image));
    EXPECT_TRUE(rig.socketOff());

    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Device Read OK");
    EXPECT_EQ(rig.ui.gauges.back().caption, "READ chip");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, bytes);
    EXPECT_TRUE(rig.socketOff());

    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_EQ(rig.ui.gauges.back().caption, "Verify chip");
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs51, FortyPinPartsRoundTrip) {
    roundTrip(kAT89C51, 4096, 1);
    roundTrip(kAT89S8252, 10240, 2);  // code and data EEPROM in one image
    roundTrip(kAT89C55WD, 20480, 3);
}

TEST(Mcs51, EpromPartsTakeTheirQuickPulseTrains) {
    roundTrip(kI87x51, 4096, 4);
}

TEST(Mcs51, TwentyPinPartsRoundTripThroughTheAddressCounter) {
    roundTrip(kAT89C2051, 2048, 5);
    roundTrip("AT89C4051", 4096, 6);
}

TEST(Mcs51, TwentyPinDataLinesArePermuted) {
    EXPECT_EQ(Mcs51ToSocket20(0x01), 0x80);
    EXPECT_EQ(Mcs51ToSocket20(0x80), 0x08);
    EXPECT_EQ(Mcs51FromSocket20(0x80), 0x01);
    for (int v = 0; v < 256; ++v) EXPECT_EQ(Mcs51FromSocket20(Mcs51ToSocket20(uint8_t(v))), v);
}

TEST(Mcs51, SelectionFillsTheTimingRecord) {
    Rig rig(kAT89C55WD);
    const Mcs51Timing& t = rig.ctx.mcs51;
    EXPECT_EQ(rig.ctx.profile.eep, 10);
    EXPECT_EQ(rig.ctx.profile.bufferSize, 20480);
    EXPECT_EQ(rig.ctx.profile.ShiftAdr, 18);
    EXPECT_EQ(rig.ctx.profile.PatternAdr, 0x40000u);
    EXPECT_EQ(rig.ctx.profile.DIP, 13);
    EXPECT_FALSE(rig.ctx.controls.edOffsetEnabled);
    EXPECT_EQ(t.tWC, 100);
    EXPECT_EQ(t.tWP, 10);
    EXPECT_EQ(t.tWPb, 120);
    EXPECT_EQ(t.tWPe, 5);
    EXPECT_EQ(t.ird_lbit, 1);
    EXPECT_EQ(t.tErase, 1);
    EXPECT_EQ(rig.ctx.profile.tWC, 100);

    const DeviceEntry* s8252 = FindDevice("AT89S8252");
    ASSERT_NE(s8252, nullptr);
    EXPECT_EQ(s8252->caption, kAT89S8252);
    SelectDevice(rig.ctx, *s8252);
    EXPECT_EQ(t.at89S, 1);
    EXPECT_EQ(t.tWP, 30);
    EXPECT_EQ(t.tWC, 2200);
    EXPECT_EQ(t.tWPb, 10);  // back to the default after the 55WD's 120
    EXPECT_EQ(t.tErase, 0);

    SelectDevice(rig.ctx, *FindDevice(kAT89C2051));
    EXPECT_EQ(rig.ctx.profile.eep, 11);
    EXPECT_EQ(t.type, 20);
    EXPECT_EQ(t.tWP, 12);
    EXPECT_EQ(rig.ctx.profile.DIP, 14);
    EXPECT_EQ(rig.ctx.profile.package, 2051);
}

std::string config(const DisplayState& s, const std::string& name) {
    for (const auto& [label, text] : s.configs)
        if (label == name) return text;
    return "(none)";
}

TEST(Mcs51, TheConfigsPageAndTheTimingDisplayFollowTheSelection) {
    Rig rig(kAT89C51RC);
    DisplayState s = ComputeDisplayState(rig.ctx);
    EXPECT_EQ(config(s, "mcs51 tWC"), "80");
    EXPECT_EQ(config(s, "mcs51 tWP"), "5");
    EXPECT_EQ(config(s, "mcs51 tWPb"), "120");
    EXPECT_EQ(config(s, "mcs51 tWPe"), "3");
    EXPECT_EQ(config(s, "mcs51 ird_lbit"), "1");
    EXPECT_EQ(config(s, "mcs51 tErase"), "1");
    EXPECT_EQ(config(s, "mcs51 type"), "40");
    EXPECT_EQ(config(s, "mcs51 LockBit"), "0");
    std::vector<std::string> group;  // the MCS-51 group in page order
    for (const auto& [label, text] : s.configs)
        if (label.rfind(kMcs51ConfigPrefix, 0) == 0) group.push_back(label.substr(6));
    EXPECT_EQ(group, (std::vector<std::string>{"at89S", "tWP", "tWC", "Pulses", "type", "tWPb",
                                               "tWPe", "ird_lbit", "tErase", "sig_Lbit",
                                               "LockBit"}));
    EXPECT_EQ(s.edTWC, " 80.0 uS");
    EXPECT_EQ(s.optionGroup, "pMCS51Setting");
    EXPECT_TRUE(s.commands.sbLockBit && s.commands.sbRdLB);
    EXPECT_TRUE(s.rbLock123Enabled);
    EXPECT_EQ(s.lockRadio, 0);

    // The track bars set the record's pair, which the routines use.
    tbTWCChange(rig.ctx, 1, 3000);
    EXPECT_EQ(rig.ctx.mcs51.tWC, 3000);
    EXPECT_EQ(ComputeDisplayState(rig.ctx).edTWC, " 3.0 mS");

    SelectDevice(rig.ctx, *FindDevice(kAT89C2051));
    rig.ctx.mcs51.LockBit = 2;
    s = ComputeDisplayState(rig.ctx);
    EXPECT_EQ(config(s, "mcs51 type"), "20");
    EXPECT_EQ(config(s, "mcs51 tWP"), "12");
    EXPECT_EQ(config(s, "mcs51 LockBit"), "2");
    EXPECT_FALSE(s.rbLock123Enabled);
    EXPECT_EQ(s.lockRadio, 2);
}

TEST(Mcs51, TheStoredLockModeOutlivesTheReplayedSelection) {
    Rig rig(kAT89C51);
    MemorySettingsStore store;
    store.values = {{"Epr_eep", 10}, {"Epr_DeviceID", 6}, {"mcs51_ModeLock", 2}};
    SettingsControls controls;
    SettingsHooks hooks;
    hooks.replay = [](Context& ctx, const std::string& handler, int32_t tag) {
        SelectByHandler(ctx, handler, tag);
    };
    LoadSettings(rig.ctx, store, controls, hooks);
    EXPECT_EQ(rig.ctx.controls.edDevice, "AT89S53       (12KB)");
    EXPECT_EQ(rig.ctx.mcs51.at89S, 1);
    EXPECT_EQ(rig.ctx.mcs51.LockBit, 2);  // the handler's 0 is overridden
    SaveSettings(rig.ctx, store, controls);
    EXPECT_EQ(std::get<int32_t>(store.values["mcs51_ModeLock"]), 2);
}

TEST(Mcs51, BlankCheckAndErase) {
    Rig rig(kAT89C51);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is Empty");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_TRUE(rig.socketOff());

    rig.chip->cells()[0x123] = 0x5A;
    rig.chip->setLockMode(2);
    RunCommand(rig.ctx, Command::Blank);
    // Lock bit 2 hides the code: the part reads erased, as the real one does.
    EXPECT_EQ(rig.ui.lastText(), "Device is Empty");
    rig.chip->setLockMode(0);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is NOT Empty ($0123)");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);

    rig.chip->setLockMode(3);
    const size_t before = rig.ui.messages.size();
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.chip->log().erases, 1u);
    EXPECT_EQ(rig.chip->cells()[0x123], 0xFF);
    EXPECT_EQ(rig.chip->lockMode(), 0);
    EXPECT_TRUE(rig.socketOff());
    for (size_t i = before; i < rig.ui.messages.size(); ++i)
        EXPECT_NE(rig.ui.messages[i].kind, MessageKind::Error) << rig.ui.messages[i].text;
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is Empty");
}

TEST(Mcs51, EraseGivesThreePulsesWhereThePartAsksForThem) {
    Rig rig(kAT89C55WD);
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.chip->log().erases, 3u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs51, EraseIsRefusedOnTheUvEpromParts) {
    Rig rig(kI87x51);
    rig.chip->cells()[7] = 0x00;
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Cannot Erase this Device");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.chip->cells()[7], 0x00);
    EXPECT_EQ(rig.chip->log().eraseIgnored, 0u);  // nothing was even tried
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs51, EachLockModeIsWrittenAndReadBack) {
    const struct {
        int mode;
        const char* text;
    } cases[] = {
        {0, "  Bit 1,2,3 (D2,1,0) = 111"},
        {1, "  Bit 1,2,3 (D2,1,0) = 011"},
        {2, "  Bit 1,2,3 (D2,1,0) = 001"},
        {3, "  Bit 1,2,3 (D2,1,0) = 000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        Rig rig(kAT89S8252);
        rig.load(RandomImage(512, 7));
        rig.ctx.mcs51.LockBit = c.mode;
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(),
                  c.mode == 0 ? "Device Programmed OK" : "Device Programmed & Lock bit");
        if (c.mode != 0) EXPECT_TRUE(rig.ui.saw("Device LockBit "));
        EXPECT_EQ(rig.chip->lockMode(), c.mode);
        EXPECT_TRUE(rig.socketOff());
        EXPECT_EQ(ShowLockBitsMcs51(rig.ctx), c.text);
        EXPECT_EQ(rig.ui.results.back(), std::string("pRdLB: ") + c.text);
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Mcs51, LockBitsOfTheRcPartsReadOnP0Bits2To4) {
    Rig rig(kAT89C51RC);
    EXPECT_EQ(ShowLockBitsMcs51(rig.ctx), " Bit 1,2,3 (D2,3,4) = 111");
    EXPECT_TRUE(LockDialogLock(rig.ctx, 1));
    EXPECT_EQ(rig.ui.lastText(), "Device LockBit ");
    EXPECT_EQ(ShowLockBitsMcs51(rig.ctx), " Bit 1,2,3 (D2,3,4) = 011");
    EXPECT_TRUE(LockDialogLock(rig.ctx, 3));
    EXPECT_EQ(ShowLockBitsMcs51(rig.ctx), " Bit 1,2,3 (D2,3,4) = 000");
    EXPECT_EQ(rig.ctx.mcs51.LockBit, 3);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs51, PartsWithoutReadableLockBitsSaySoWithoutTouchingTheSocket) {
    Rig rig(kI87x51);
    const uint64_t accesses = rig.board.accesses();
    EXPECT_EQ(ShowLockBitsMcs51(rig.ctx), " Chip can not read Lock bit..");
    EXPECT_EQ(rig.board.accesses(), accesses);
}

TEST(Mcs51, TheLockDialogWritesTheModeItShows) {
    Rig rig(kAT89C51);
    rig.ctx.mcs51.LockBit = 2;  // chosen with the radio buttons before the dialog opened
    EXPECT_TRUE(LockDialogLock(rig.ctx, 0));
    EXPECT_EQ(rig.chip->lockMode(), 0);
    EXPECT_EQ(rig.ctx.mcs51.LockBit, 0);
    EXPECT_TRUE(LockDialogLock(rig.ctx, 1));
    EXPECT_EQ(rig.chip->lockMode(), 1);
}

TEST(Mcs51, LockedPartsFailAsTheRealOnesDo) {
    const std::vector<uint8_t> image = RandomImage(256, 8);
    {
        // Lock bit 2: verify disabled, the part reads 0xFF.
        Rig rig(kAT89C51);
        rig.load(image);
        rig.ctx.mcs51.LockBit = 2;
        RunCommand(rig.ctx, Command::Program);
        ASSERT_EQ(rig.chip->lockMode(), 2);
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(),
                  Format(" Error at 0x000000  Chip = 0xFF  buffer = 0x%02X", image[0]));
        EXPECT_EQ(rig.ctx.profile.verifyError, 1);
        EXPECT_TRUE(rig.socketOff());
    }
    {
        // Lock bit 1: programming disabled.
        Rig rig(kAT89C2051);
        rig.chip->setLockMode(1);
        rig.load(image);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(),
                  Format(" Error at 0x000000  Chip = 0xFF  buffer = 0x%02X", image[0]));
        EXPECT_GT(rig.chip->log().lockedWrites, 0u);
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Mcs51, LockModeThreeIsRefusedOnTheTwentyPinParts) {
    Rig rig(kAT89C2051);
    rig.ctx.mcs51.LockBit = 3;
    EXPECT_FALSE(LockMcs51(rig.ctx));
    EXPECT_EQ(rig.ui.lastText(),
              "Lock Bit 3 does not exist on this Device (lock bits 1 and 2 only)");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.chip->log().lockPulses, 0u);

    // After programming the refusal stands in place of the success message.
    rig.load(RandomImage(64, 9));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_FALSE(rig.ui.saw("Device Programmed & Lock bit"));
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.chip->lockMode(), 0);
    EXPECT_TRUE(rig.socketOff());

    EXPECT_TRUE(LockDialogLock(rig.ctx, 2));
    EXPECT_EQ(rig.chip->lockMode(), 2);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs51, ASlowCellRaisesTheWaitForTheRestOfTheRun) {
    Rig rig(kAT89C51);
    rig.chip->setSlowCell(10, 3);  // takes its byte at the third write cycle
    rig.load(RandomImage(64, 10));
    std::vector<int32_t> waits;
    rig.ui.onPump = [&] { waits.push_back(rig.ctx.mcs51.tWC); };
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
    ASSERT_GT(waits.size(), 20u);
    EXPECT_EQ(waits[1], 2200);   // gauge pump, then byte 0
    EXPECT_EQ(waits[12], 2400);  // byte 10 and after
    EXPECT_EQ(waits[20], 2400);
    EXPECT_EQ(rig.ctx.mcs51.tWC, 2200);
}

TEST(Mcs51, AStuckBitStopsProgrammingWithTheMismatch) {
    Rig rig(kAT89C51);
    rig.chip->setStuckBit(5, 3, true);
    std::vector<uint8_t> image(16, 0x00);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000005  Chip = 0x08  buffer = 0x00");
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs51, AnEmptySocketFailsAtTheFirstByte) {
    Rig rig(kAT89C51);
    rig.board.remove();
    rig.load(std::vector<uint8_t>(8, 0x12));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFF  buffer = 0x12");
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs51, CancelStopsEveryLoopUnpowered) {
    const struct {
        Command command;
        const char* text;
    } cases[] = {
        {Command::Program, "Program interrupted!"},
        {Command::Verify, "program interrupted!"},
        {Command::Read, "program interrupted!"},
        {Command::Blank, "Device Check was Cancelled"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Rig rig(kAT89C2051);
        const std::vector<uint8_t> image = RandomImage(2048, 11);
        rig.load(image);
        if (c.command != Command::Blank)
            std::copy(image.begin(), image.end(), rig.chip->cells().begin());
        rig.ui.cancelAfterPumps(50);
        RunCommand(rig.ctx, c.command);
        EXPECT_EQ(rig.ui.lastText(), c.text);
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        EXPECT_LT(rig.ui.lastProgress, 100);
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Mcs51, SignatureReads) {
    {
        Rig rig(kAT89C51);
        rig.ctx.bus.PowerUp();
        Mcs51ReadSignature(rig.ctx);
        rig.ctx.bus.PowerDown();
        EXPECT_EQ(rig.ctx.mcs51.signature, (std::array<uint8_t, 3>{0x1E, 0x51, 0xFF}));
    }
    {
        // 031H undefined (0xFF): the bytes come from 000H, 100H and 200H.
        Rig rig(kAT89C51RC);
        rig.ctx.bus.PowerUp();
        Mcs51ReadSignature(rig.ctx);
        rig.ctx.bus.PowerDown();
        EXPECT_EQ(rig.ctx.mcs51.signature, (std::array<uint8_t, 3>{0x1E, 0x51, 0x07}));
    }
    {
        Rig rig(kAT89C2051);
        Mcs51PowerUp20(rig.ctx);
        Mcs51ReadSignature(rig.ctx);
        rig.ctx.bus.PowerDown();
        EXPECT_EQ(rig.ctx.mcs51.signature, (std::array<uint8_t, 3>{0x1E, 0x21, 0xFF}));
    }
}

TEST(Mcs51, GetIdNamesThePartThroughTheMicrocontrollerOverlay) {
    const struct {
        const char* device;
        uint8_t code;
        const char* name;
    } cases[] = {
        {kAT89C51, 0x51, " AT89C51"},      {kAT89S8252, 0x72, " AT89S8252"},
        {kAT89C55WD, 0x55, " AT89C55WD"},  {kAT89C2051, 0x21, " AT89C2051"},
        {"AT89C1051", 0x11, " AT89C1051"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        Rig rig(c.device);
        RunCommand(rig.ctx, Command::GetId);
        ASSERT_FALSE(rig.ui.ids.empty());
        EXPECT_EQ(rig.ui.ids.back().manufacturer, 0x1E);
        EXPECT_EQ(rig.ui.ids.back().manufacturerName, " ATMEL");
        EXPECT_EQ(rig.ui.ids.back().device, c.code);
        EXPECT_EQ(rig.ui.ids.back().deviceName, c.name);
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Mcs51, TwentyPinPowerUpResetsTheCounterAndStartsFromTheDefaults) {
    Rig rig(kAT89C2051);
    rig.ctx.mcs51.tWC = 5000;
    rig.ctx.mcs51.LockBit = 2;
    Mcs51PowerUp20(rig.ctx);
    EXPECT_EQ(rig.chip->counter(), 0u);
    EXPECT_EQ(rig.chip->log().counterResets, 1u);
    EXPECT_EQ(rig.ctx.mcs51.tWC, 2100);
    EXPECT_EQ(rig.ctx.mcs51.tWP, 10);
    EXPECT_EQ(rig.ctx.mcs51.type, 20);
    EXPECT_EQ(rig.ctx.mcs51.LockBit, 2);  // the user's choice survives
    rig.ctx.bus.PowerDown();

    // Without the reset edge the image lands shifted and the read-back fails.
    rig.chip->setIgnoreReset(true);
    rig.load(RandomImage(32, 12));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
}

TEST(Mcs51, LockedPartsComeFromTheFaultOption) {
    Rig rig(kAT89C51);
    std::string error;
    EXPECT_TRUE(ApplySimFault(rig.board, "locked:2", error)) << error;
    EXPECT_EQ(rig.chip->lockMode(), 2);
    EXPECT_FALSE(ApplySimFault(rig.board, "locked:4", error));

    test::McuRig<sim::SimMcs51> small(kAT89C2051);
    EXPECT_TRUE(ApplySimFault(small.board, "locked:3", error));
    EXPECT_EQ(small.chip->lockMode(), 2);  // it has two lock bits
}

}  // namespace
}  // namespace tavrin
