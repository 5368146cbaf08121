// PIC serial programming end to end through the command frame on simulated chips: the 14-bit
// flash parts (eep 17), the 14-bit EPROM parts (eep 16) and the 12-bit EPROM parts (eep 18).
#include "algorithms/mcu/Pic.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "algorithms/mcu/PicSerial.h"
#include "buffer/FileCommands.h"
#include "core/Commands.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"
#include "devices/Catalogue.h"
#include "devices/DisplayState.h"
#include "devices/PicConfig.h"
#include "sim/ChipFactory.h"
#include "sim/mcu/SimPic.h"
#include "support/SimRig.h"

namespace tavrin {
namespace {

struct PicRig : test::SimRig {
    explicit PicRig(const char* caption) {
        const DeviceEntry* entry = FindDevice(caption);
        if (!entry) throw std::logic_error(std::string("no device ") + caption);
        SelectDevice(ctx, *entry);
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<sim::SimPic*>(made.get());
        if (!chip) throw std::logic_error("no PIC model");
        board.insert(std::move(made));
        ClearBuf(ctx, 1);
    }
    // An image as a file gives it: random program words and data bytes, identifiers, and a
    // configuration word with code protection off. Every fourth program word is left erased.
    void loadImage(unsigned seed, uint16_t config) {
        const DeviceProfile& p = ctx.profile;
        const uint16_t width = p.eep == 18 ? 0x0FFF : 0x3FFF;
        std::mt19937 gen(seed);
        ClearBuf(ctx, 1);
        for (int32_t i = 0; i < p.picProgWords; ++i)
            SetBufferWord(ctx, i, i % 4 == 3 ? width : uint16_t(gen() & width));
        for (int32_t j = 0; j < p.picDataBytes; ++j)
            SetBufferWord(ctx, kPicDataWord + j, uint16_t(gen() & 0xFF));
        edPIC_IDChange(ctx, "1A3C");
        SetBufferWord(ctx, p.picCfgIndex, config);
        ctx.profile.bufferLoaded = uint32_t(p.picProgWords);
        Winstat(ctx);
    }
    bool socketOff() const { return !board.vccOn() && !board.vppOn(); }
    bool programMatchesChip(int32_t words) const {
        for (int32_t i = 0; i < words; ++i)
            if (chip->program()[size_t(i)] != BufferWord(ctx, i)) return false;
        return true;
    }
    sim::SimPic* chip = nullptr;
};

TEST(PicFlash, Pic16F84AProgramReadVerifyBlankEraseAndId) {
    PicRig rig("PIC 16F84A  (P 5mS)");
    rig.loadImage(1, 0x3FF1);  // XT, watchdog off, power-up timer on, not protected
    const std::vector<uint8_t> image(rig.ctx.Buffer.begin(), rig.ctx.Buffer.begin() + 0x4400);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_TRUE(rig.ui.saw("Device Verified OK"));
    EXPECT_TRUE(rig.socketOff());
    EXPECT_TRUE(rig.programMatchesChip(1024));
    EXPECT_EQ(rig.chip->config(), 0x3FF1);
    EXPECT_EQ(rig.chip->ids()[0], 0x3FF1);
    EXPECT_EQ(rig.chip->ids()[3], 0x3FFC);
    for (int j = 0; j < 64; ++j) EXPECT_EQ(rig.chip->data()[size_t(j)], image[0x4200 + 2 * j]);

    ClearBuf(rig.ctx, 1);
    rig.ctx.profile.bufferLoaded = 0;
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "PIC dumped OK");
    EXPECT_TRUE(rig.socketOff());
    for (uint32_t w = 0; w < 1024; ++w)
        ASSERT_EQ(BufferWord(rig.ctx, w), image[2 * w] | image[2 * w + 1] << 8);
    for (uint32_t j = 0; j < 64; ++j)
        EXPECT_EQ(BufferWord(rig.ctx, kPicDataWord + j), image[0x4200 + 2 * j]);
    EXPECT_EQ(BufferWord(rig.ctx, 0x2007), 0x3FF1);
    EXPECT_EQ(BufferWord(rig.ctx, 0x2006), 0x0563);  // the device ID comes along
    EXPECT_EQ(rig.ctx.profile.picConfig, 0x3FF1);
    EXPECT_EQ(rig.ctx.profile.picID, 0x1A3C);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 1024u);

    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verified OK");
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device NOT blank!");

    RunCommand(rig.ctx, Command::GetId);
    ASSERT_FALSE(rig.ui.results.empty());
    EXPECT_EQ(rig.ui.results.back(),
              "pPICdeviceID: Hex 0x0563\nDev 00 0101 011\nRev 0 0011\nDevice Name PIC 16F84A");
    EXPECT_TRUE(rig.socketOff());

    RunCommand(rig.ctx, Command::Erase);
    EXPECT_TRUE(rig.socketOff());
    EXPECT_EQ(rig.chip->program()[0], 0x3FFF);
    EXPECT_EQ(rig.chip->data()[0], 0xFF);
    EXPECT_EQ(rig.chip->config(), 0x3FFF);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device Blank");
    EXPECT_EQ(rig.ui.results.back(), "edPICbk:  0x3BFF");
    EXPECT_TRUE(rig.socketOff());
}

TEST(PicFlash, LargestPartsRoundTripThroughAHexFile) {
    for (const char* device : {"PIC 16F628", "PIC 16F877"}) {
        SCOPED_TRACE(device);
        PicRig rig(device);
        rig.loadImage(2, 0x3F72 & uint16_t(rig.ctx.profile.cfgMask));
        const int32_t words = rig.ctx.profile.picProgWords;
        RunCommand(rig.ctx, Command::Program);
        ASSERT_EQ(rig.ui.lastText(), "Device Programed OK");
        EXPECT_TRUE(rig.programMatchesChip(words));
        // Read into a cleared buffer, save as HEX, load it back and verify against the chip.
        ClearBuf(rig.ctx, 1);
        RunCommand(rig.ctx, Command::Read);
        ASSERT_EQ(rig.ui.lastText(), "PIC dumped OK");
        const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tavrin-pic";
        std::filesystem::create_directories(dir);
        const std::string file = (dir / (std::string(device).substr(4) + ".HEX")).string();
        mnuSaveClick(rig.ctx, file, 2);
        ClearBuf(rig.ctx, 1);
        ASSERT_TRUE(LoadImage(rig.ctx, file, FileFormat::Auto));
        EXPECT_TRUE(rig.programMatchesChip(words));
        EXPECT_EQ(BufferWord(rig.ctx, 0x2007), rig.chip->configRead() & rig.ctx.profile.cfgMask);
        EXPECT_EQ(rig.ctx.profile.picID, 0x1A3C);
        const uint32_t lastData = uint32_t(rig.ctx.profile.picDataBytes - 1);
        EXPECT_EQ(BufferWord(rig.ctx, kPicDataWord + lastData), rig.chip->data()[lastData]);
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), "Device Verified OK");
        EXPECT_TRUE(rig.socketOff());
        std::filesystem::remove(file);
    }
}

TEST(PicFlash, CodeProtectedPartReadsZeroUntilErased) {
    PicRig rig("PIC 16F877");
    rig.loadImage(3, 0x3BFF);
    rig.chip->program()[0] = 0x1234;
    rig.chip->config() = 0x0ECF;  // CP all, CPD on
    ASSERT_TRUE(rig.chip->codeProtected());
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(BufferWord(rig.ctx, 0), 0x0000);
    EXPECT_EQ(BufferWord(rig.ctx, kPicDataWord), 0x00);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device NOT blank!");
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_FALSE(rig.chip->codeProtected());
    EXPECT_EQ(rig.chip->program()[0], 0x3FFF);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device Blank");
    EXPECT_EQ(rig.ui.results.back(), "edPICbk:  0x1BFF");
    // Programming a protected part erases it first.
    rig.chip->config() = 0x0ECF;
    rig.loadImage(3, 0x3BFF);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_TRUE(rig.socketOff());
}

TEST(PicFlash, FailuresStopWithTheirMessagesAndPowerDown) {
    {
        PicRig rig("PIC 16F84");
        rig.chip->setStuckBit(5, 3, false);
        rig.loadImage(4, 0x3FFF);
        SetBufferWord(rig.ctx, 5, 0x3FFF);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Error writing program area");
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        EXPECT_EQ(rig.ctx.profile.verifyError, 1);
        EXPECT_TRUE(rig.socketOff());
    }
    {
        PicRig rig("PIC 16F84");
        rig.board.remove();  // no chip: every read gives the released line
        rig.loadImage(4, 0x3FFF);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Error writing program area");
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), "Error verifying PIC");
        EXPECT_TRUE(rig.socketOff());
    }
    {
        // A data EEPROM byte that does not take: five attempts, then the byte's mismatch.
        PicRig rig("PIC 16F84");
        std::string error;
        ASSERT_TRUE(rig.chip->applyFamilyFault("data-stuck:3:0=1", error)) << error;
        rig.loadImage(4, 0x3FFF);
        SetBufferWord(rig.ctx, kPicDataWord + 3, 0x00);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), " Error at 0x004206  Chip = 0x01  buffer = 0x00");
        EXPECT_FALSE(rig.ui.saw("Device Verified OK"));
        EXPECT_TRUE(rig.socketOff());
        EXPECT_FALSE(rig.chip->applyFamilyFault("data-stuck:3:9=1", error));
        EXPECT_TRUE(PicRig("PIC 12C508").chip->applyFamilyFault("data-stuck:0:0=1", error) ==
                    false);
    }
    {
        // The erase that starts programming also lifts the data EEPROM protection.
        PicRig rig("PIC 16F628");
        rig.loadImage(5, 0x3DFF);
        rig.chip->config() = 0x3EFF;  // CPD: the data EEPROM is protected and ignores writes
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
        EXPECT_EQ(rig.chip->data()[1], BufferWord(rig.ctx, kPicDataWord + 1));
    }
    {
        // A configuration bit the part does not have (bit 9 of the 16F628 reads 1) never takes.
        PicRig rig("PIC 16F628");
        rig.loadImage(6, 0x3DFF);
        rig.ctx.profile.cfgMask = 0x3FFF;
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Error blowing fuses");
        EXPECT_TRUE(rig.ui.saw("Device Verified OK"));
        EXPECT_TRUE(rig.socketOff());
    }
    {
        PicRig rig("PIC 16F84");
        rig.board.setPresent(false);
        rig.loadImage(7, 0x3FFF);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Hardware Error :  Check Power && connection");
    }
}

TEST(PicFlash, CancelMidProgramAndMidRead) {
    PicRig rig("PIC 16F84A  (P 5mS)");
    rig.loadImage(8, 0x3FF1);
    rig.ui.cancelAfterPumps(100);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_TRUE(rig.socketOff());
    EXPECT_EQ(rig.chip->program()[500], 0x3FFF);

    ClearBuf(rig.ctx, 1);
    rig.ui.cancelAfterPumps(50);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Process Cancelled");
    EXPECT_TRUE(rig.socketOff());
    // Identifiers and configuration were not read.
    EXPECT_EQ(BufferWord(rig.ctx, 0x2000), 0x3FFF);
    EXPECT_EQ(BufferWord(rig.ctx, 0x2007), 0x3FFF);
    EXPECT_EQ(BufferWord(rig.ctx, 10), rig.chip->program()[10]);

    rig.ui.cancelAfterPumps(50);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "program interrupted!");  // no verdict on half a sum
    EXPECT_TRUE(rig.socketOff());
}

// The table's 5 ms is shorter than the erase-before-write cycle: a word read back while the cycle
// still runs looks erased, so an erased word "verifies" early, the increment that follows is
// lost and every later word lands one address low.
TEST(PicFlash, WriteTimeCoversTheEraseBeforeWriteCycle) {
    PicRig rig("PIC 16F84A  (P 5mS)");
    EXPECT_GE(rig.ctx.profile.tWC, 8000);
    rig.loadImage(9, 0x3FF1);
    rig.ctx.profile.tWC = 5000;
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Error verifying PIC");
    EXPECT_GT(rig.chip->log().clocksWhileBusy, 0u);
}

TEST(PicFlash, WriteTimeInMicrosecondsGrowsByHalfAMillisecondPerRetry) {
    EXPECT_EQ(PicMicrosecondsToTicks(12000), 14319);
    EXPECT_EQ(PicMicrosecondsToTicks(12500), 14915);
    EXPECT_EQ(PicMicrosecondsToTicks(13000), 15512);
    // A cell three times as slow as its neighbours passes on the third attempt.
    PicRig rig("PIC 16F84");
    rig.chip->setSlowCell(6, 3);
    rig.loadImage(10, 0x3FF1);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
}

TEST(SimPicState, ContentsAndFaultsSurviveTheChipFile) {
    auto a = sim::MakeSimPicPart("16F628");
    ASSERT_TRUE(a);
    a->program()[5] = 0x1234;
    a->data()[7] = 0x42;
    a->ids()[2] = 0x3FF9;
    a->config() = 0x3F62;
    a->setStuckBit(9, 2, false);
    std::string error;
    ASSERT_TRUE(a->applyFamilyFault("data-stuck:1:7=1", error));
    std::stringstream state;
    a->saveState(state);
    auto b = sim::MakeSimPicPart("PIC16F628");
    ASSERT_TRUE(b->loadState(state));
    EXPECT_EQ(b->program()[5], 0x1234);
    EXPECT_EQ(b->data()[7], 0x42);
    EXPECT_EQ(b->ids()[2], 0x3FF9);
    EXPECT_EQ(b->config(), 0x3F62);
    std::stringstream again;
    b->saveState(again);
    std::stringstream first;
    a->saveState(first);
    EXPECT_EQ(again.str(), first.str());
    std::stringstream other("pic 16F84A 1024 64\n");
    EXPECT_FALSE(b->loadState(other));  // another part's file
    EXPECT_FALSE(sim::MakeSimPicPart("16F999"));
}

TEST(PicDeviceId, NamesOfTheRealParts) {
    const std::pair<uint16_t, const char*> names[] = {
        {0x0560, " PIC 16F84A"}, {0x07A3, " PIC 16F627"}, {0x07C1, " PIC 16F628"},
        {0x0720, " PIC 16F87"},  {0x0760, " PIC 16F88"},  {0x08E0, " PIC 16F872"},
        {0x0920, " PIC 16F874"}, {0x0960, " PIC 16F873"}, {0x09A0, " PIC 16F877"},
        {0x09E0, " PIC 16F876"}, {0x0D00, " PIC 16F870"}, {0x0D1F, " PIC 16F870"},
        {0x0D20, " PIC 16F871"}, {0x0540, " [ ???? ]"},   {0x07E0, " [ ???? ]"},
        {0x0000, " [ ???? ]"},
    };
    for (const auto& [id, name] : names) EXPECT_EQ(DecodePicDeviceId(id).name, name) << id;
    const PicDeviceIdView v = DecodePicDeviceId(0x09A5);
    EXPECT_EQ(v.hex, " 0x09A5");
    EXPECT_EQ(v.bits, " 00 1001 101");
    EXPECT_EQ(v.rev, " 0 0101");
}

TEST(PicEprom14, Pic16C622ProgramsWithOverProgrammingAfterTheConfirmation) {
    PicRig rig("PIC 16C622");
    rig.chip->setSlowCell(2, 4);
    rig.loadImage(11, 0x3FB1 & uint16_t(rig.ctx.profile.cfgMask));
    rig.ui.answers = {false};
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.questions.back(), "Do you really want program the device ?");
    EXPECT_EQ(rig.chip->log().entries, 0u);
    EXPECT_TRUE(rig.socketOff());

    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_TRUE(rig.socketOff());
    EXPECT_TRUE(rig.programMatchesChip(2048));
    EXPECT_EQ(rig.chip->ids()[1], 0x3FFA);
    EXPECT_EQ(rig.chip->configRead() & 0x3F7F, 0x3FB1 & 0x3F7F);
    EXPECT_EQ(rig.chip->pulsesAt(2), 4 + 3 * 4);  // N pulses, then 3 x N
    EXPECT_EQ(rig.chip->pulsesAt(4), 1 + 3);
    EXPECT_EQ(rig.chip->marginalCells(), 0);

    ClearBuf(rig.ctx, 1);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "PIC dumped OK");
    EXPECT_TRUE(rig.programMatchesChip(2048));
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verified OK");
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Cannot check this Device");
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Cannot Erase this Device");
    const size_t results = rig.ui.results.size();
    RunCommand(rig.ctx, Command::GetId);
    EXPECT_EQ(rig.ui.results.size(), results);
    EXPECT_TRUE(rig.socketOff());
}

TEST(PicEprom14, ProgrammedCellsCannotGoBackAndFusesThatDoNotTake) {
    {
        PicRig rig("PIC 16C620");
        rig.loadImage(12, 0x3FFF);
        rig.chip->program()[9] = 0x0000;  // already programmed: no pulse brings a 1 back
        rig.ui.answers = {true};
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Error writing program area");
        EXPECT_EQ(rig.chip->pulsesAt(9), 25);
        EXPECT_TRUE(rig.socketOff());
    }
    {
        PicRig rig("PIC 16C711");
        rig.loadImage(13, 0x3FFF & uint16_t(rig.ctx.profile.cfgMask));
        rig.chip->config() = 0x3FFB;  // the watchdog bit already blown
        rig.ui.answers = {true};
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Error blowing fuses");
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(PicEprom12, Pic12C508KeepsItsCalibrationWord) {
    PicRig rig("PIC 12C508");
    ASSERT_EQ(rig.chip->program()[511], 0x0C94);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device Blank");
    EXPECT_EQ(rig.ui.results.back(), "edPICbk:  0xEE20");

    rig.loadImage(14, 0x0FEA);                    // IntRC, watchdog on, not protected, MCLR on
    ASSERT_EQ(BufferWord(rig.ctx, 511), 0x0FFF);  // the file leaves the calibration out
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_TRUE(rig.socketOff());
    EXPECT_TRUE(rig.programMatchesChip(511));
    EXPECT_EQ(rig.chip->program()[511], 0x0C94);
    EXPECT_EQ(rig.chip->ids()[0], 0x001);
    EXPECT_EQ(rig.chip->ids()[3], 0x00C);
    EXPECT_EQ(rig.chip->configRead() & 0x1F, 0x0A);
    // Every word gets its 11 x N over-programming, the second one and the IDs included.
    EXPECT_EQ(rig.chip->pulsesAt(1), 12);
    EXPECT_EQ(rig.chip->marginalCells(), 0);

    ClearBuf(rig.ctx, 1);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "PIC dumped OK");
    EXPECT_EQ(BufferWord(rig.ctx, 511), 0x0C94);  // the chip's own value
    EXPECT_EQ(BufferWord(rig.ctx, 512), 0x001);
    EXPECT_EQ(BufferWord(rig.ctx, 4095), 0x000A);
    EXPECT_EQ(rig.ctx.profile.picID, 0x1A3C);
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verified OK");
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device NOT blank!");
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Cannot Erase this Device");
    EXPECT_TRUE(rig.socketOff());
}

TEST(PicEprom12, CalibrationWordWrittenOnlyOnRequestAndVerifyErrors) {
    {
        PicRig rig("PIC 12C509");
        rig.loadImage(15, 0x0FFF);
        SetBufferWord(rig.ctx, 1023, 0x0C00);  // a calibration value of the user's
        rig.ctx.profile.picWriteOsccal = 1;
        rig.ui.answers = {true};
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
        EXPECT_EQ(rig.chip->program()[1023], 0x0C00 & 0x0C94);
    }
    {
        PicRig rig("PIC 12C508");
        rig.loadImage(16, 0x0FFF);
        rig.chip->program()[0x12] = 0x000;
        rig.ui.answers = {true};
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Error writing program area");
        EXPECT_EQ(rig.chip->pulsesAt(0x12), 8);
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), "Error at $    12");
        EXPECT_TRUE(rig.socketOff());
    }
    {
        PicRig rig("PIC 12C508");
        rig.loadImage(17, 0x0FFF);
        rig.ui.answers = {true};
        rig.ui.cancelAfterPumps(30);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
        EXPECT_TRUE(rig.socketOff());
        rig.ui.cancelAfterPumps(30);
        RunCommand(rig.ctx, Command::Read);
        EXPECT_EQ(rig.ui.lastText(), "Process was Cancelled");
        EXPECT_TRUE(rig.socketOff());
    }
}

}  // namespace
}  // namespace tavrin
