#include "buffer/GridLayout.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/ImageBuffer.h"

namespace tavrin {
namespace {

TEST(GridLayout, RowCounts) {
    EXPECT_EQ(HexGridRowCount(0), 29);
    EXPECT_EQ(HexGridRowCount(256), 29);
    EXPECT_EQ(HexGridRowCount(447), 29);
    EXPECT_EQ(HexGridRowCount(448), 29);
    EXPECT_EQ(HexGridRowCount(464), 30);
    EXPECT_EQ(HexGridRowCount(8192), 513);
    EXPECT_EQ(HexGridRowCount(4096 * 1024), 262145);
    // A last partial row still gets its line.
    EXPECT_EQ(HexGridRowCount(1000), 64);

    DeviceProfile p;
    EXPECT_EQ(ProgGridRowCount(p, 8192), 2);
    p.PIC = 1;
    EXPECT_EQ(ProgGridRowCount(p, 1024), 129);
    p.PIC = 0;
    p.eep = 14;
    EXPECT_EQ(ProgGridRowCount(p, 2048), 129);
}

TEST(GridLayout, Arrangements) {
    DeviceProfile p;
    p.bufferSize = 8192;
    GridLayout g = ComputeGridLayout(p, 480, 400);
    EXPECT_EQ(g.arrangement, GridLayout::Arrangement::HexOnly);
    EXPECT_EQ(g.hexCorner, "Offset");
    EXPECT_EQ(g.hexHeight, 454);
    p.PIC = 1;
    p.eep = 17;
    p.picDataBytes = 64;
    g = ComputeGridLayout(p, 480, 400);
    EXPECT_EQ(g.arrangement, GridLayout::Arrangement::ProgAboveHex);
    EXPECT_EQ(g.hexCorner, " Data");
    EXPECT_EQ(g.hexHeight, 112);
    EXPECT_EQ(g.progHeight, 260);
    p.eep = 18;
    g = ComputeGridLayout(p, 480, 400);
    EXPECT_EQ(g.arrangement, GridLayout::Arrangement::ProgOnly);
    EXPECT_EQ(g.progHeight, 360);
    p.PIC = 0;
    p.eep = 14;
    EXPECT_EQ(ComputeGridLayout(p, 480, 400).arrangement, GridLayout::Arrangement::ProgAboveHex);
}

TEST(GridLayout, ByteGridCells) {
    Context ctx;
    SetBufferSize(ctx, 256);
    std::memcpy(ctx.Buffer.data(), "Hi there!\x7f\x80~", 12);
    EXPECT_EQ(HexGridCellText(ctx, 0, 0), "Offset");
    EXPECT_EQ(HexGridCellText(ctx, 1, 0), "0");
    EXPECT_EQ(HexGridCellText(ctx, 16, 0), "F");
    EXPECT_EQ(HexGridCellText(ctx, 17, 0), "    Ascii");
    EXPECT_EQ(HexGridCellText(ctx, 0, 1), "$000000");
    EXPECT_EQ(HexGridCellText(ctx, 0, 2), "$000010");
    EXPECT_EQ(HexGridCellText(ctx, 1, 1), "48");
    EXPECT_EQ(HexGridCellText(ctx, 11, 1), "80");
    EXPECT_EQ(HexGridCellText(ctx, 17, 1).substr(0, 12), "Hi.there!\x7f.~");
    EXPECT_EQ(HexGridCellText(ctx, 0, 16), "$0000f0");
    // Rows 17 and beyond of a 256-byte device stay empty.
    EXPECT_EQ(HexGridCellText(ctx, 0, 17), "");
    EXPECT_EQ(HexGridCellText(ctx, 1, 28), "");
    EXPECT_EQ(HexGridCellText(ctx, 18, 1), "");
    // A partial last row stops at the device end.
    SetBufferSize(ctx, 20);
    EXPECT_EQ(HexGridCellText(ctx, 4, 2), "00");
    EXPECT_EQ(HexGridCellText(ctx, 5, 2), "");
    EXPECT_EQ(HexGridCellText(ctx, 17, 2).size(), 4u);
}

TEST(GridLayout, PicAndAvrWindows) {
    Context ctx;
    ctx.profile.PIC = 1;
    ctx.profile.eep = 17;
    ctx.profile.picDataBytes = 64;
    SetBufferSize(ctx, 1024);
    ctx.Buffer[0x4200] = 0x41;  // data byte 0: low byte of word 0x2100
    ctx.Buffer[0x4201] = 0x00;
    ctx.Buffer[0x4202] = 0x42;  // data byte 1
    ctx.Buffer[0] = 0xFF;
    ctx.Buffer[1] = 0x3F;
    ctx.Buffer[2] = 0x41;
    ctx.Buffer[3] = 0x12;
    EXPECT_EQ(HexGridCellText(ctx, 0, 0), " Data");
    EXPECT_EQ(HexGridCellText(ctx, 1, 1), "41");
    EXPECT_EQ(HexGridCellText(ctx, 2, 1), "42");
    EXPECT_EQ(HexGridCellText(ctx, 0, 5), "");  // 64 bytes: four rows
    EXPECT_EQ(ProgGridCellText(ctx, 0, 0), "Program");
    EXPECT_EQ(ProgGridCellText(ctx, 8, 0), "7");
    EXPECT_EQ(ProgGridCellText(ctx, 1, 1), "3fff");
    EXPECT_EQ(ProgGridCellText(ctx, 2, 1), "1241");
    EXPECT_EQ(ProgGridCellText(ctx, 0, 2), "$000008");
    EXPECT_EQ(ProgGridCellText(ctx, 9, 1).substr(0, 3), " .A");
    EXPECT_EQ(ProgGridCellText(ctx, 0, 128), "$0003f8");
    EXPECT_EQ(ProgGridCellText(ctx, 0, 129), "");

    Context avr;
    avr.profile.eep = 14;
    avr.profile.avrEepromBase = 0x40000;
    avr.profile.avrEepromSize = 128;
    SetBufferSize(avr, 1024);
    avr.Buffer[0] = 'A';
    avr.Buffer[1] = 'B';
    avr.Buffer[0x40000] = 0x5A;
    EXPECT_EQ(HexGridCellText(avr, 1, 1), "5a");
    EXPECT_EQ(HexGridCellText(avr, 0, 9), "");
    EXPECT_EQ(ProgGridCellText(avr, 1, 1), "4241");
    EXPECT_EQ(ProgGridCellText(avr, 9, 1).substr(0, 2), "AB");
    EXPECT_EQ(ProgGridCellText(avr, 9, 1).size(), 16u);
    // The word grid ends with the flash.
    EXPECT_EQ(ProgGridCellText(avr, 0, 64), "$0001f8");
    EXPECT_EQ(ProgGridCellText(avr, 0, 65), "");
}

TEST(GridLayout, PrintableRange) {
    EXPECT_EQ(PrintableChar(0x20), '.');
    EXPECT_EQ(PrintableChar(0x21), '!');
    EXPECT_EQ(PrintableChar(0x7F), '\x7f');
    EXPECT_EQ(PrintableChar(0x80), '.');
    EXPECT_EQ(PrintableChar(0x00), '.');
}

}  // namespace
}  // namespace tavrin
