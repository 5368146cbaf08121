#include "algorithms/ElectronicId.h"

#include <gtest/gtest.h>

#include "core/RecordingFrontEnd.h"

namespace tavrin {
namespace {

constexpr int kJedec29F = 4, kMcs51 = 10, kAt89Cx051 = 11, kAvr = 14;

TEST(ElectronicId, MakerTableNamesMakerAndDevice) {
    ElectronicIdView id = DecodeElectronicId(kJedec29F, 0x1F, 0xD5);
    EXPECT_EQ(id.manufacturerName, " ATMEL");
    EXPECT_EQ(id.deviceName, " AT29C010A");
    EXPECT_EQ(id.manufacturerCode, " 0x1F");
    EXPECT_EQ(id.deviceCode, " 0xD5");
    EXPECT_FALSE(id.showLock);

    id = DecodeElectronicId(kJedec29F, 0xC2, 0xA4);
    EXPECT_EQ(id.manufacturerName, " MXIC");
    EXPECT_EQ(id.deviceName, " MX29F040");
    // Both codes of a maker listed twice lead to the same device list.
    EXPECT_EQ(DecodeElectronicId(kJedec29F, 0x7F, 0x1C).deviceName, " EN29F002x");
    EXPECT_EQ(DecodeElectronicId(kJedec29F, 0x42, 0xA3).deviceName, " F29C51004B");
    EXPECT_EQ(DecodeElectronicId(kJedec29F, 0x42, 0xA3).manufacturerName, " SyncMOS");
}

TEST(ElectronicId, MakersWithoutListAndUnknownCodesLeaveTheDeviceBlank) {
    for (unsigned d : {0x00u, 0x20u, 0xA4u, 0xFFu}) {
        ElectronicIdView id = DecodeElectronicId(kJedec29F, 0x01, uint8_t(d));
        EXPECT_EQ(id.manufacturerName, " AMD");
        EXPECT_EQ(id.deviceName, " ");
    }
    EXPECT_EQ(DecodeElectronicId(kJedec29F, 0x1F, 0x99).deviceName, " ");
    ElectronicIdView empty = DecodeElectronicId(kJedec29F, 0xFF, 0xFF);
    EXPECT_EQ(empty.manufacturerName, " [----]");
    EXPECT_EQ(empty.deviceName, " ");
    EXPECT_EQ(empty.manufacturerCode, " 0xFF");
    EXPECT_EQ(DecodeElectronicId(kJedec29F, 0x00, 0x05).deviceCode, " 0x05");
}

TEST(ElectronicId, MicrocontrollerOverlayReplacesTheMakerName) {
    for (int eep : {kMcs51, kAt89Cx051}) {
        ElectronicIdView id = DecodeElectronicId(eep, 0x1F, 0xD5);
        EXPECT_EQ(id.manufacturerName, " [----]");
        EXPECT_EQ(id.deviceName, " AT29C010A");  // the first table's device name stays
        id = DecodeElectronicId(eep, 0x1E, 0x51);
        EXPECT_EQ(id.manufacturerName, " ATMEL");
        EXPECT_EQ(id.deviceName, " AT89C51");
        EXPECT_EQ(DecodeElectronicId(eep, 0x1E, 0x12).deviceName, " AT89C1051 U");
        EXPECT_EQ(DecodeElectronicId(eep, 0xD5, 0x00).manufacturerName, " ISSI");
        EXPECT_EQ(DecodeElectronicId(eep, 0xBF, 0x04).manufacturerName, " SST");
        EXPECT_EQ(DecodeElectronicId(eep, 0xBF, 0x04).deviceName, " SST28SF/VF040A");
    }
    // Outside the microcontroller families 0x1E is no maker of the table.
    EXPECT_EQ(DecodeElectronicId(kJedec29F, 0x1E, 0x51).manufacturerName, " [----]");
}

TEST(ElectronicId, AvrSignatureAndLockMode) {
    ElectronicIdView id = DecodeElectronicId(kAvr, 0x1E, 0x91, {0x01, 0x3F});
    EXPECT_EQ(id.manufacturerName, " Atmel  ( AVR )");
    EXPECT_EQ(id.deviceName, " AT90S2313");
    EXPECT_EQ(id.deviceCode, " 0x9101");
    EXPECT_EQ(id.device, 0x9101);
    EXPECT_TRUE(id.showLock);
    EXPECT_EQ(id.lockBit, " 0x3F");
    EXPECT_EQ(id.lockMode, " Lockbit Mode 3");
    EXPECT_EQ(DecodeElectronicId(kAvr, 0x1E, 0x91, {1, 0x7F}).lockMode, " Lockbit Mode 2");
    EXPECT_EQ(DecodeElectronicId(kAvr, 0x1E, 0x91, {1, 0xFF}).lockMode, " Lockbit Mode 1");
    EXPECT_EQ(DecodeElectronicId(kAvr, 0x1E, 0x91, {1, 0xBF}).lockMode, " Lockbit Mode ?");
    EXPECT_EQ(DecodeElectronicId(kAvr, 0x1E, 0x90, {0x77, 0}).deviceName, " AT90S1200");
    EXPECT_EQ(DecodeElectronicId(kAvr, 0x1E, 0x93, {0x03, 0}).deviceName, " AT90S8535");
    EXPECT_EQ(DecodeElectronicId(kAvr, 0x1E, 0x93, {0x02, 0}).deviceName, " ");
    // Another maker in the AVR socket keeps the first table and still shows the lock fields.
    id = DecodeElectronicId(kAvr, 0xFF, 0xFF, {0xFF, 0xFF});
    EXPECT_EQ(id.manufacturerName, " [----]");
    EXPECT_EQ(id.deviceCode, " 0xFFFF");
    EXPECT_TRUE(id.showLock);
}

TEST(ElectronicId, ShowDecodesUnderTheSelectedFamily) {
    Context ctx;
    RecordingFrontEnd ui(&ctx);
    ctx.setFrontEnd(&ui);
    ctx.profile.eep = kMcs51;
    ShowElectronicId(ctx, 0x1E, 0x52);
    ASSERT_EQ(ui.ids.size(), 1u);
    EXPECT_EQ(ui.ids[0].manufacturerName, " ATMEL");
    EXPECT_EQ(ui.ids[0].deviceName, " AT89C52");
    EXPECT_EQ(ui.ids[0].deviceCode, " 0x52");
}

}  // namespace
}  // namespace tavrin
