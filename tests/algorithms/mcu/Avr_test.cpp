// AVR high-voltage parallel programming end to end through the command frame on simulated
// AT90S chips: flash and EEPROM from files, verify, read, blank check, chip erase, lock and fuse
// bits, faults and cancel, with the socket unpowered after every run.
#include "algorithms/mcu/Avr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "../../buffer/FileTestSupport.h"
#include "algorithms/mcu/AvrBus.h"
#include "algorithms/mcu/AvrRig.h"
#include "buffer/FileCommands.h"
#include "core/Commands.h"
#include "core/DataFit.h"
#include "core/RunFrame.h"
#include "devices/DisplayState.h"
#include "devices/families/AvrFamily.h"
#include "sim/ChipFactory.h"

namespace tavrin {
namespace {

using test::AvrRig;

constexpr uint32_t kEeprom = 0x40000;

std::vector<uint8_t> randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = uint8_t(gen());
    return v;
}

TEST(Avr, SelectionFillsTheProfileFromTheTable) {
    AvrRig rig("AT90S8515");
    const DeviceProfile& p = rig.ctx.profile;
    EXPECT_EQ(p.eep, 14);
    EXPECT_EQ(p.DeviceID, 106);
    EXPECT_EQ(p.bufferSize, 8192);
    EXPECT_EQ(p.avrEepromSize, 512);
    EXPECT_EQ(p.avrEepromBase, 0x40000);
    EXPECT_EQ(p.ShiftAdr, 18);
    EXPECT_EQ(p.PatternAdr, 0x40000u);
    EXPECT_EQ(p.package, 8749);
    EXPECT_EQ(p.DIP, 14);
    EXPECT_EQ(p.avrLockMode, 1);
    EXPECT_EQ(p.avrFuse, 0xFF);
    EXPECT_FALSE(rig.ctx.controls.edOffsetEnabled);
    EXPECT_EQ(rig.ctx.controls.lbAdapter, "  AVR DIP40  ");
    EXPECT_EQ(rig.ctx.controls.cbFbit0Caption, "FSTRT");
    EXPECT_FALSE(rig.ctx.controls.avrFuseBoxes1to4Enabled);

    AvrRig small("AT90S1200");
    EXPECT_EQ(small.ctx.profile.bufferSize, 1024);
    EXPECT_EQ(small.ctx.profile.avrEepromSize, 64);
    EXPECT_EQ(small.ctx.profile.package, 2313);
    EXPECT_EQ(small.ctx.controls.cbFbit0Caption, "RCEN");

    AvrRig clocked("AT90S4433");
    EXPECT_EQ(clocked.ctx.controls.cbFbit0Caption, "CKSEL0");
    EXPECT_TRUE(clocked.ctx.controls.avrFuseBoxes1to4Enabled);
    EXPECT_EQ(clocked.ctx.controls.lbAdapter, "  AVR DIP28  ");
}

TEST(Avr, OptionGroupShowsLockModeAndFuseBoxesOfThePart) {
    AvrRig rig("AT90S4433");
    DisplayState s = ComputeDisplayState(rig.ctx);
    EXPECT_EQ(s.optionGroup, "pAVRsetting");
    EXPECT_FALSE(s.offsetVisible);
    EXPECT_EQ(s.avrLockMode, 1);
    EXPECT_EQ(s.cbFbit[0].caption, "CKSEL0");
    EXPECT_EQ(s.cbFbit[2].caption, "CKSEL2 ");
    EXPECT_EQ(s.cbFbit[5].caption, "SPIEN");
    EXPECT_TRUE(s.cbFbit[1].enabled);
    EXPECT_TRUE(s.cbFbit[5].checked);
    EXPECT_EQ(s.edEPRFuse, " 0xFF");
    cbFbit0Click(rig.ctx, 5, false);
    rbAVRm1Click(rig.ctx, 3);
    s = ComputeDisplayState(rig.ctx);
    EXPECT_EQ(s.edEPRFuse, " 0xDF");
    EXPECT_FALSE(s.cbFbit[5].checked);
    EXPECT_EQ(s.avrLockMode, 3);
    EXPECT_EQ(s.edTWP, " 15.0 uS");
    EXPECT_EQ(s.edTWC, " 1.6 mS");

    AvrRig dip40("AT90S8515");
    s = ComputeDisplayState(dip40.ctx);
    EXPECT_EQ(s.cbFbit[0].caption, "FSTRT");
    EXPECT_FALSE(s.cbFbit[1].enabled);
    EXPECT_FALSE(s.cbFbit[4].enabled);
    EXPECT_TRUE(s.cbFbit[5].enabled);
    EXPECT_EQ(s.adapterText, "  AVR DIP40  ");
}

TEST(Avr, DataPinsGoThroughTheBoardPermutation) {
    EXPECT_EQ(AvrDataOut(0x10), 0x02);
    EXPECT_EQ(AvrDataOut(0x80), 0x08);
    EXPECT_EQ(AvrDataOut(0x02), 0x40);
    EXPECT_EQ(AvrDataOut(0x11), 0x82);
    for (int v = 0; v < 256; ++v) EXPECT_EQ(AvrDataIn(AvrDataOut(uint8_t(v))), v);
}

// Flash from a HEX file and EEPROM from an EEP file loaded after it, programmed, read back into a
// cleared buffer, verified and blank-checked.
void fileRoundTrip(const char* part, unsigned seed) {
    SCOPED_TRACE(part);
    AvrRig rig(part);
    DeviceProfile& p = rig.ctx.profile;
    const auto flash = randomBytes(size_t(p.bufferSize), seed);
    const auto eeprom = randomBytes(size_t(p.avrEepromSize), seed + 100);
    test::ScratchDir dir;
    rig.load(flash, eeprom);
    ASSERT_TRUE(SaveImage(rig.ctx, dir / "app.hex", FileFormat::IntelHex, SaveNaming::AsGiven));
    ASSERT_TRUE(SaveImage(rig.ctx, dir / "data.eep", FileFormat::Eep, SaveNaming::AsGiven));

    ClearBuf(rig.ctx, 0);
    ASSERT_TRUE(LoadImage(rig.ctx, dir / "app.hex", FileFormat::IntelHex));
    EXPECT_EQ(rig.ctx.Buffer[kEeprom], 0xFF);  // a non-EEP load refills the EEPROM image
    ASSERT_TRUE(LoadImage(rig.ctx, dir / "data.eep", FileFormat::Eep));
    EXPECT_EQ(p.bufferLoaded, uint32_t(p.bufferSize));

    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_EQ(p.verifyError, 0);
    EXPECT_EQ(rig.chip->flash(), flash);
    EXPECT_EQ(rig.chip->eeprom(), eeprom);
    EXPECT_EQ(rig.chip->log().writesWhileBusy, 0u);
    EXPECT_TRUE(rig.socketOff());

    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Device Read OK");
    EXPECT_TRUE(std::equal(flash.begin(), flash.end(), rig.ctx.Buffer.begin()));
    EXPECT_TRUE(std::equal(eeprom.begin(), eeprom.end(), rig.ctx.Buffer.begin() + kEeprom));
    EXPECT_EQ(p.bufferLoaded, uint32_t(p.bufferSize));
    EXPECT_TRUE(rig.socketOff());

    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Avr, SmallestAndLargestPartsRoundTripFlashAndEepromFromFiles) {
    fileRoundTrip("AT90S1200", 1);
    fileRoundTrip("AT90S8515", 2);
    fileRoundTrip("AT90S4433", 3);
}

// The EEPROM area alone: a lone EEP file programs and verifies the EEPROM without touching the
// flash; a flash file loaded afterwards refills the EEPROM image and brings the flash back in.
void eepromAlone(const char* part, unsigned seed) {
    SCOPED_TRACE(part);
    AvrRig rig(part);
    DeviceProfile& p = rig.ctx.profile;
    const auto flash = randomBytes(size_t(p.bufferSize), seed);
    const auto eeprom = randomBytes(size_t(p.avrEepromSize), seed + 100);
    test::ScratchDir dir;
    rig.load(flash, eeprom);
    ASSERT_TRUE(SaveImage(rig.ctx, dir / "app.hex", FileFormat::IntelHex, SaveNaming::AsGiven));
    ASSERT_TRUE(SaveImage(rig.ctx, dir / "data.eep", FileFormat::Eep, SaveNaming::AsGiven));

    // Nothing loaded: refused as before.
    ClearBuf(rig.ctx, 1);
    p.bufferLoaded = 0;
    p.avrEepromLoaded = 0;
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Please load some information to program");
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Please load some information to compare against");

    // The flash programmed first, from its own file.
    ASSERT_TRUE(LoadImage(rig.ctx, dir / "app.hex", FileFormat::IntelHex));
    RunCommand(rig.ctx, Command::Program);
    ASSERT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_EQ(rig.chip->flash(), flash);
    EXPECT_TRUE(std::all_of(rig.chip->eeprom().begin(), rig.chip->eeprom().end(),
                            [](uint8_t b) { return b == 0xFF; }));

    // A new session with the EEP file alone: the image's flash is erased, the chip's is not.
    ClearBuf(rig.ctx, 1);
    p.bufferLoaded = 0;
    ASSERT_TRUE(LoadImage(rig.ctx, dir / "data.eep", FileFormat::Eep));
    EXPECT_EQ(p.bufferLoaded, 0u);
    const uint64_t writesBefore = rig.chip->log().writes;
    rig.ui.gauges.clear();
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_EQ(rig.chip->eeprom(), eeprom);
    EXPECT_EQ(rig.chip->flash(), flash);
    EXPECT_EQ(rig.chip->log().writes - writesBefore, uint64_t(p.avrEepromSize));
    ASSERT_EQ(rig.ui.gauges.size(), 2u);
    EXPECT_EQ(rig.ui.gauges[0].caption, "programming chip (EEPROM)");
    EXPECT_EQ(rig.ui.gauges[1].caption, "Verify chip ( EEPROM )");
    EXPECT_TRUE(rig.socketOff());

    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    rig.chip->eeprom()[3] ^= 0x01;
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), Format(" Error at 0x040003  Chip = 0x%02X  buffer = 0x%02X",
                                        unsigned(rig.chip->eeprom()[3]), unsigned(eeprom[3])));
    EXPECT_TRUE(rig.socketOff());

    // A flash file loaded after the EEP file: the EEPROM image starts erased again, and both
    // areas are programmed; the EEP file loaded after it brings its bytes back.
    ASSERT_TRUE(LoadImage(rig.ctx, dir / "app.hex", FileFormat::IntelHex));
    EXPECT_EQ(p.avrEepromLoaded, 0);
    EXPECT_EQ(rig.ctx.Buffer[kEeprom + 3], 0xFF);
    ASSERT_TRUE(LoadImage(rig.ctx, dir / "data.eep", FileFormat::Eep));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_EQ(rig.chip->eeprom(), eeprom);
    EXPECT_EQ(rig.chip->flash(), flash);
}

TEST(Avr, EepromAreaAloneFromALoneEepFile) {
    eepromAlone("AT90S1200", 11);
    eepromAlone("AT90S8515", 12);
}

// Intel HEX data records of `bytes` from address 0, sixteen a line, and the end record.
std::string hexText(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (size_t at = 0; at < bytes.size(); at += 16) {
        const size_t n = std::min<size_t>(16, bytes.size() - at);
        unsigned sum = unsigned(n + (at >> 8) + (at & 0xFF));
        text += Format(":%02X%04X00", unsigned(n), unsigned(at));
        for (size_t i = 0; i < n; ++i) {
            text += Format("%02X", unsigned(bytes[at + i]));
            sum += bytes[at + i];
        }
        text += Format("%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
    }
    return text + ":00000001FF\n";
}

TEST(Avr, EepBytesPastThePartsEepromAreLeftOutOnlyWhenAccepted) {
    AvrRig rig("AT90S2313");  // 128 EEPROM bytes
    test::ScratchDir dir;
    std::vector<uint8_t> data = randomBytes(200, 13);
    for (uint8_t& b : data) b &= 0x7F;  // none of them reads as erased
    std::ofstream(dir / "big.eep") << hexText(data);
    ClearBuf(rig.ctx, 1);
    rig.ctx.profile.bufferLoaded = 0;
    ASSERT_TRUE(LoadImage(rig.ctx, dir / "big.eep", FileFormat::Eep));
    const DataFit fit = CheckDataFit(rig.ctx, Command::Program);
    EXPECT_EQ(fit.kind, DataFit::Kind::LeftOut);
    EXPECT_EQ(fit.leftOut, 72u);
    rig.ui.answers = {false};
    RunCommand(rig.ctx, Command::Program);
    ASSERT_EQ(rig.ui.questions.size(), 1u);
    EXPECT_NE(
        rig.ui.questions[0].find("72 bytes of the data lie outside the areas of the AT90S2313"),
        std::string::npos)
        << rig.ui.questions[0];
    EXPECT_EQ(rig.chip->log().writes, 0u);
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_TRUE(std::equal(rig.chip->eeprom().begin(), rig.chip->eeprom().end(), data.begin()));
    EXPECT_TRUE(rig.socketOff());
}

TEST(Avr, GaugesAndMessagesOfAProgramRun) {
    AvrRig rig("AT90S2313");
    rig.load(randomBytes(64, 4));
    RunCommand(rig.ctx, Command::Program);
    ASSERT_GE(rig.ui.gauges.size(), 4u);
    EXPECT_EQ(rig.ui.gauges[0].caption, "programming chip (FLASH)");
    EXPECT_EQ(rig.ui.gauges[0].color, GaugeColor::Program);
    EXPECT_EQ(rig.ui.gauges[1].caption, "programming chip (EEPROM)");
    EXPECT_EQ(rig.ui.gauges[1].max, 128);
    EXPECT_EQ(rig.ui.gauges[2].caption, "Verify chip ( FLASH )");
    EXPECT_EQ(rig.ui.gauges[2].color, GaugeColor::Verify);
    EXPECT_EQ(rig.ui.gauges[3].caption, "Verify chip ( EEPROM )");
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
}

TEST(Avr, VerifyCoversTheWordsUpToBufferLoaded) {
    AvrRig rig("AT90S2313");
    rig.load(randomBytes(6, 5));
    RunCommand(rig.ctx, Command::Program);
    ASSERT_EQ(rig.ui.lastText(), "Device Verify OK");
    rig.ctx.Buffer[6] = 0x12;  // past bufferLoaded = 5: words 0, 2 and 4 only
    rig.ctx.profile.bufferLoaded = 5;
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    rig.ctx.profile.bufferLoaded = 6;
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000006  Chip = 0xFFFF  buffer = 0x12FF");
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Avr, EepromMismatchShowsTheEepromByteOfTheBuffer) {
    AvrRig rig("AT90S2313");
    rig.load({0x01, 0x02}, {0x11, 0x22, 0x33});
    RunCommand(rig.ctx, Command::Program);
    ASSERT_EQ(rig.ui.lastText(), "Device Verify OK");
    rig.ctx.Buffer[kEeprom + 2] = 0x44;
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x040002  Chip = 0x33  buffer = 0x44");
}

TEST(Avr, BlankCheckAndChipErase) {
    AvrRig rig("AT90S2313");
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is Empty");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_EQ(rig.ui.gauges.back().caption, "Checking Device is Empty");

    rig.chip->flash()[0x123] = 0x00;
    rig.chip->eeprom()[5] = 0x00;
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is NOT Empty ($0122)");
    EXPECT_TRUE(rig.socketOff());

    rig.chip->setLockMode(2);
    const size_t before = rig.ui.messages.size();
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.chip->flash()[0x123], 0xFF);
    EXPECT_EQ(rig.chip->eeprom()[5], 0xFF);
    EXPECT_EQ(rig.chip->lockMode(), 1);
    EXPECT_EQ(rig.chip->log().chipErases, 1u);
    EXPECT_EQ(rig.ui.gauges.back().caption, "Erasing chip");
    // The erase speaks only through its gauge caption (after the frame's hardware check).
    for (size_t i = before; i < rig.ui.messages.size(); ++i)
        if (rig.ui.messages[i].text != "Hardware present ")
            EXPECT_EQ(rig.ui.messages[i].kind, MessageKind::Progress) << rig.ui.messages[i].text;
    EXPECT_TRUE(rig.socketOff());
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is Empty");
}

TEST(Avr, FlashBitsOnlyClearWithoutAnErase) {
    AvrRig rig("AT90S2313");
    rig.load({0x0F, 0xF0});
    RunCommand(rig.ctx, Command::Program);
    ASSERT_EQ(rig.ui.lastText(), "Device Verify OK");
    rig.load({0xF0, 0x0F});
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0x0000  buffer = 0xF00F");
    RunCommand(rig.ctx, Command::Erase);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
}

TEST(Avr, EightKilobytePartKeepsEepromBytesZeroAnd256Apart) {
    AvrRig rig("AT90S8515");
    std::vector<uint8_t> eeprom(512, 0xFF);
    eeprom[0] = 0xA0;
    eeprom[256] = 0x5B;
    eeprom[511] = 0x77;
    rig.load(randomBytes(8192, 6), eeprom);  // the last flash word leaves A8 high in its latch
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_EQ(rig.chip->eeprom()[0], 0xA0);
    EXPECT_EQ(rig.chip->eeprom()[256], 0x5B);
    EXPECT_EQ(rig.chip->eeprom()[511], 0x77);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ctx.Buffer[kEeprom], 0xA0);
    EXPECT_EQ(rig.ctx.Buffer[kEeprom + 256], 0x5B);
}

TEST(Avr, CancelStopsEveryRoutineWithItsMessageAndPowersDown) {
    AvrRig rig("AT90S2313");
    rig.load(randomBytes(2048, 7));
    rig.ui.cancelAfterPumps(20);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Program interrupted!");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_FALSE(rig.ui.saw("Device Verify OK"));
    EXPECT_EQ(rig.chip->flash()[100], 0xFF);  // stopped long before
    EXPECT_TRUE(rig.socketOff());

    rig.ui.cancelAfterPumps(5);
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
    EXPECT_TRUE(rig.socketOff());

    rig.ui.cancelAfterPumps(5);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 2048u);
    EXPECT_TRUE(rig.socketOff());

    RunCommand(rig.ctx, Command::Erase);
    rig.ui.cancelAfterPumps(5);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device Check was Cancelled");
    EXPECT_TRUE(rig.socketOff());

    // Cancel in the EEPROM pass of a program run.
    rig.load(randomBytes(4, 8));
    rig.ui.cancelAfterPumps(10);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Program interrupted!");
    EXPECT_EQ(rig.ui.gauges.back().caption, "programming chip (EEPROM)");
    EXPECT_TRUE(rig.socketOff());
}

TEST(Avr, LockModesAreWrittenAndTakeEffect) {
    for (int mode = 1; mode <= 3; ++mode) {
        SCOPED_TRACE(mode);
        AvrRig rig("AT90S2313");
        rig.load({0x55, 0xAA}, {0x42});
        RunCommand(rig.ctx, Command::Program);
        ASSERT_EQ(rig.ui.lastText(), "Device Verify OK");
        rbAVRm1Click(rig.ctx, mode);
        AvrSetLock(rig.ctx);
        EXPECT_EQ(rig.ui.lastText(), "Device AVR LockBit ");
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
        EXPECT_EQ(rig.chip->lockMode(), mode);
        EXPECT_TRUE(rig.socketOff());

        RunCommand(rig.ctx, Command::Verify);
        if (mode == 3) {
            EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFFFF  buffer = 0x55AA");
        } else {
            EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
        }
        // Further programming is refused from mode 2 on.
        rig.load({0x00, 0x00});
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ctx.profile.verifyError, mode == 1 ? 0 : 1);
        EXPECT_EQ(rig.chip->flash()[0], mode == 1 ? 0x00 : 0x55);
    }
}

TEST(Avr, GetIdShowsTheSignatureTheNameAndTheLockMode) {
    struct Case {
        const char* part;
        const char* name;
        const char* code;
    };
    for (const Case& c :
         {Case{"AT90S1200", " AT90S1200", " 0x9001"}, Case{"AT90S2313", " AT90S2313", " 0x9101"},
          Case{"AT90S2333", " AT90S2333", " 0x9105"}, Case{"AT90S4433", " AT90S4433", " 0x9203"},
          Case{"AT90S8515", " AT90S8515", " 0x9301"}, Case{"AT90S8535", " AT90S8535", " 0x9303"}}) {
        SCOPED_TRACE(c.part);
        AvrRig rig(c.part);
        for (int mode = 1; mode <= 3; ++mode) {
            rig.chip->setLockMode(mode);
            RunCommand(rig.ctx, Command::GetId);
            ASSERT_FALSE(rig.ui.ids.empty());
            const ElectronicIdView& id = rig.ui.ids.back();
            EXPECT_EQ(id.manufacturerName, " Atmel  ( AVR )");
            EXPECT_EQ(id.manufacturerCode, " 0x1E");
            EXPECT_EQ(id.deviceName, c.name);
            EXPECT_EQ(id.deviceCode, c.code);
            EXPECT_TRUE(id.showLock);
            EXPECT_EQ(id.lockMode, " Lockbit Mode " + std::to_string(mode));
            EXPECT_TRUE(rig.socketOff());
        }
    }
}

TEST(Avr, GetIdShowsTheLockAndFuseByteAsRead) {
    AvrRig rig("AT90S2313");  // shipped: SPIEN and FSTRT programmed
    RunCommand(rig.ctx, Command::GetId);
    EXPECT_EQ(rig.ui.ids.back().lockBit, " 0xDE");
    rig.chip->setLockMode(3);
    RunCommand(rig.ctx, Command::GetId);
    EXPECT_EQ(rig.ui.ids.back().lockBit, " 0x1E");
    EXPECT_EQ(rig.ui.ids.back().lockMode, " Lockbit Mode 3");

    // The AT90S4433 gives its lock bits apart; they show in the same places.
    AvrRig clocked("AT90S4433");
    clocked.chip->setLockMode(2);
    RunCommand(clocked.ctx, Command::GetId);
    EXPECT_EQ(clocked.ui.ids.back().lockBit, " 0x5A");
    EXPECT_EQ(clocked.ui.ids.back().lockMode, " Lockbit Mode 2");
}

TEST(Avr, APartInLockModeThreeKeepsItsSignatureButHidesItsContents) {
    AvrRig rig("AT90S8515");
    rig.chip->flash()[0] = 0x12;
    rig.chip->eeprom()[0] = 0x34;
    rig.chip->setLockMode(3);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Device Read OK");
    EXPECT_EQ(rig.ctx.Buffer[0], 0xFF);
    EXPECT_EQ(rig.ctx.Buffer[kEeprom], 0xFF);
    RunCommand(rig.ctx, Command::GetId);
    EXPECT_EQ(rig.ui.ids.back().deviceName, " AT90S8515");
    EXPECT_EQ(rig.ui.ids.back().lockMode, " Lockbit Mode 3");
}

TEST(Avr, LockBitsCannotBeUnprogrammedWithoutAnErase) {
    AvrRig rig("AT90S8515");
    rig.chip->setLockMode(2);
    rbAVRm1Click(rig.ctx, 1);
    AvrSetLock(rig.ctx);
    EXPECT_EQ(rig.ui.lastText(),
              "Device AVR LockBit : the part stays in lock mode 2 until a chip erase");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_TRUE(rig.socketOff());
    RunCommand(rig.ctx, Command::Erase);
    AvrSetLock(rig.ctx);
    EXPECT_EQ(rig.ui.lastText(), "Device AVR LockBit ");
}

TEST(Avr, FuseBitsAreWrittenWithALongEnoughPulseAndReadBack) {
    AvrRig rig("AT90S2313");
    cbFbit0Click(rig.ctx, 5, false);  // SPIEN programmed
    cbFbit0Click(rig.ctx, 0, true);   // FSTRT unprogrammed
    EXPECT_EQ(rig.ctx.profile.avrFuse, 0xDF);
    AvrSetFuse(rig.ctx);
    EXPECT_EQ(rig.ui.lastText(), "Device AVR FuseBit ");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_EQ(rig.chip->fuses() & 0x21, 0x01);
    EXPECT_TRUE(rig.ui.questions.empty());
    EXPECT_TRUE(rig.socketOff());

    // The AT90S4433 reads its six fuse bits with BS low.
    AvrRig clocked("AT90S4433");
    clocked.ctx.profile.avrFuse = 0xC5;  // SPIEN, BODLEVEL, CKSEL1 programmed
    AvrSetFuse(clocked.ctx);
    EXPECT_EQ(clocked.ui.lastText(), "Device AVR FuseBit ");
    EXPECT_EQ(clocked.chip->fuses() & 0x3F, 0x05);
}

TEST(Avr, AFuseWriteThatDoesNotTakeIsAnError) {
    AvrRig rig("AT90S8515");
    rig.ctx.profile.avrFuse = 0xDE;
    std::string error;
    ASSERT_TRUE(ApplySimFault(rig.board, "avr-fuse-pulse:5000", error)) << error;
    AvrSetFuse(rig.ctx);
    EXPECT_EQ(rig.ui.lastText(), "Device AVR FuseBit did not take: wrote 0x00, reads 0x01");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_FALSE(rig.ui.saw("Device AVR FuseBit "));
    EXPECT_EQ(rig.chip->log().shortFusePulses, 1u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Avr, AFuseByteThatUnprogramsSpienIsWrittenOnlyWhenConfirmed) {
    AvrRig rig("AT90S2313");
    ASSERT_EQ(rig.ctx.profile.avrFuse, 0xFF);  // the selection default
    AvrSetFuse(rig.ctx);
    ASSERT_EQ(rig.ui.questions.size(), 1u);
    EXPECT_EQ(rig.ui.lastText(), "Device AVR FuseBit not written");
    EXPECT_EQ(rig.chip->fuses() & 0x20, 0x00);  // SPIEN still programmed
    EXPECT_EQ(rig.chip->log().writes, 0u);

    rig.ui.answers.push_back(true);
    AvrSetFuse(rig.ctx);
    EXPECT_EQ(rig.ui.lastText(), "Device AVR FuseBit ");
    EXPECT_EQ(rig.chip->fuses() & 0x21, 0x21);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Avr, FaultsShowAsErrors) {
    {
        AvrRig rig("AT90S2313");
        std::string error;
        ASSERT_TRUE(ApplySimFault(rig.board, "stuck:0x10:3=1", error)) << error;
        rig.load(std::vector<uint8_t>(32, 0x00));
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), " Error at 0x000010  Chip = 0x0800  buffer = 0x0000");
        EXPECT_TRUE(rig.socketOff());
    }
    {
        AvrRig rig("AT90S2313");
        std::string error;
        ASSERT_TRUE(ApplySimFault(rig.board, "stuck:0x40001:0=1", error)) << error;
        rig.load({0x00, 0x00}, {0x00, 0x00});
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), " Error at 0x040001  Chip = 0x01  buffer = 0x00");
    }
    {
        AvrRig rig("AT90S2313");
        std::string error;
        ASSERT_TRUE(ApplySimFault(rig.board, "avr-busy-stuck", error)) << error;
        rig.load({0x12, 0x34, 0x56, 0x78});
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ctx.profile.verifyError, 1);
        EXPECT_GT(rig.chip->log().writesWhileBusy, 0u);
        EXPECT_TRUE(rig.socketOff());
    }
    {
        AvrRig rig("AT90S8535");
        std::string error;
        ASSERT_TRUE(ApplySimFault(rig.board, "avr-locked:2", error)) << error;
        rig.load({0x12, 0x34});
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFFFF  buffer = 0x1234");
        EXPECT_GT(rig.chip->log().writesWhileLocked, 0u);
    }
    {
        AvrRig rig("AT90S2313");
        std::string error;
        ASSERT_TRUE(ApplySimFault(rig.board, "slow:0x4:3", error)) << error;
        rig.load({0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC});
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), " Error at 0x000004  Chip = 0xFFBC  buffer = 0x9ABC");
        RunCommand(rig.ctx, Command::Program);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    }
    {
        AvrRig rig("AT90S2313");
        std::string error;
        ASSERT_TRUE(ApplySimFault(rig.board, "no-chip", error)) << error;
        rig.load({0x12, 0x34});
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFFFF  buffer = 0x1234");
        EXPECT_FALSE(rig.board.socketPowered());
    }
    {
        AvrRig rig("AT90S2313");
        std::string error;
        ASSERT_TRUE(ApplySimFault(rig.board, "board-unpowered", error)) << error;
        rig.load({0x12, 0x34});
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Hardware Error :  Check Power && connection");
    }
    {
        AvrRig rig("AT90S2313");
        std::string error;
        EXPECT_FALSE(ApplySimFault(rig.board, "avr-locked:4", error));
        EXPECT_NE(error.find("lock mode"), std::string::npos);
    }
}

TEST(Avr, ProgrammingModeNeedsBsLowAtTheTwelveVoltEdge) {
    AvrRig rig("AT90S2313");
    AvrEnterProgramming(rig.ctx);
    EXPECT_TRUE(rig.chip->inProgrammingMode());
    rig.ctx.bus.PowerDown();
    EXPECT_FALSE(rig.chip->inProgrammingMode());

    rig.ctx.bus.PowerUp();
    rig.ctx.bus.SetAddress(rig.ctx.profile.avrControl.selHighByte);  // BS high
    rig.ctx.bus.Drive(Line::VppLine, 0);
    EXPECT_FALSE(rig.chip->inProgrammingMode());
    EXPECT_EQ(rig.chip->log().entriesRefused, 1u);
    rig.ctx.bus.PowerDown();
}

}  // namespace
}  // namespace tavrin
