// Editing the image as the grids show it: bytes, PIC data low bytes and 14-bit words.
#include "buffer/BufferEdit.h"

#include <gtest/gtest.h>

namespace tavrin::test {
namespace {

std::vector<uint16_t> cells(std::initializer_list<uint16_t> v) {
    return v;
}

class BufferEditTest : public ::testing::Test {
  protected:
    std::vector<uint8_t> image = std::vector<uint8_t>(64, 0xFF);
    BufferEdit edit{image};
    EditArea bytes{0, 32, 1, 1, 0xFF};
};

TEST_F(BufferEditTest, WriteUndoRedoRestoreExactlyTheChangedBytes) {
    const auto abc = cells({0x41, 0x42, 0x43});
    EXPECT_EQ(edit.write(bytes, 4, abc), 3);
    EXPECT_EQ(image[3], 0xFF);
    EXPECT_EQ(image[4], 0x41);
    EXPECT_EQ(image[6], 0x43);
    EXPECT_EQ(image[7], 0xFF);
    EXPECT_EQ(edit.write(bytes, 5, cells({0x42})), 0);  // the same value: no step
    EXPECT_EQ(edit.write(bytes, 5, cells({0x00})), 1);

    EXPECT_EQ(edit.undo(), 5u);
    EXPECT_EQ(image[5], 0x42);
    EXPECT_EQ(edit.undo(), 4u);
    EXPECT_EQ(image, std::vector<uint8_t>(64, 0xFF));
    EXPECT_FALSE(edit.undo());
    EXPECT_EQ(edit.redo(), 4u);
    EXPECT_EQ(image[6], 0x43);
    EXPECT_EQ(image[5], 0x42);
    EXPECT_TRUE(edit.canRedo());

    // A new edit drops what could be redone.
    edit.write(bytes, 0, cells({0x10}));
    EXPECT_FALSE(edit.canRedo());
    edit.clearHistory();
    EXPECT_FALSE(edit.canUndo());
    EXPECT_EQ(edit.historyBytes(), 0u);
}

TEST_F(BufferEditTest, WritesOutsideTheAreaChangeNothing) {
    EXPECT_EQ(edit.write(bytes, 31, cells({1, 2})), -1);
    EXPECT_EQ(edit.fill(bytes, 8, 32, 0), -1);
    EXPECT_EQ(edit.fill(bytes, 9, 8, 0), -1);
    const EditArea past{60, 8, 1, 1, 0xFF};  // runs past the image
    EXPECT_EQ(edit.write(past, 4, cells({0})), -1);
    EXPECT_EQ(image, std::vector<uint8_t>(64, 0xFF));
    EXPECT_FALSE(edit.canUndo());
}

TEST_F(BufferEditTest, FillStoresTheOldBytesAndOneCell) {
    std::vector<uint8_t> big(4u << 20, 0x00);
    BufferEdit e(big);
    const EditArea all{0, uint32_t(big.size()), 1, 1, 0xFF};
    EXPECT_EQ(e.fill(all, 0, all.cells - 1, 0x5A), int64_t(big.size()));
    EXPECT_EQ(big.back(), 0x5A);
    EXPECT_LE(e.historyBytes(), big.size() + 2);
    e.undo();
    EXPECT_EQ(big.back(), 0x00);
    EXPECT_EQ(big.front(), 0x00);
    e.redo();
    EXPECT_EQ(big[12345], 0x5A);

    // Only the changed span is kept: bytes already holding the value do not count.
    image[10] = 0x00;
    EXPECT_EQ(edit.fill(bytes, 0, 31, 0xFF), 1);
    EXPECT_EQ(edit.historyBytes(), 2u);
}

TEST_F(BufferEditTest, WordAndLowByteAreasKeepTheWordLayout) {
    // PIC program words: 14 bits, little-endian.
    const EditArea words{0, 16, 2, 2, 0x3FFF};
    edit.fill(words, 1, 3, 0xFFFF);
    EXPECT_EQ(image[2], 0xFF);
    EXPECT_EQ(image[3], 0x3F);
    EXPECT_EQ(image[7], 0x3F);
    EXPECT_EQ(image[8], 0xFF);
    edit.write(words, 4, cells({0x1234}));
    EXPECT_EQ(*CellValue(image, words, 4), 0x1234);
    EXPECT_EQ(image[8], 0x34);
    EXPECT_EQ(image[9], 0x12);
    edit.undo();
    edit.undo();
    EXPECT_EQ(image, std::vector<uint8_t>(64, 0xFF));

    // PIC data memory: low bytes of words, high bytes untouched.
    const EditArea data{32, 16, 2, 1, 0xFF};
    edit.fill(data, 0, 15, 0x00);
    for (size_t i = 32; i < 64; ++i) EXPECT_EQ(image[i], i % 2 ? 0xFF : 0x00) << i;
    edit.undo();
    EXPECT_EQ(image, std::vector<uint8_t>(64, 0xFF));
}

TEST_F(BufferEditTest, FindHitsMissesAndTheEnd) {
    const auto ab = cells({0x41, 0x42});
    edit.write(bytes, 3, ab);
    edit.write(bytes, 20, ab);
    auto hit = FindCells(image, bytes, ab, 0, 0xFF);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->cell, 3u);
    EXPECT_FALSE(hit->wrapped);
    hit = FindCells(image, bytes, ab, 4, 0xFF);  // the next hit
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->cell, 20u);
    hit = FindCells(image, bytes, ab, 21, 0xFF);  // past the last: from the start again
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->cell, 3u);
    EXPECT_TRUE(hit->wrapped);
    EXPECT_FALSE(FindCells(image, bytes, cells({0x41, 0x43}), 0, 0xFF));
    EXPECT_FALSE(FindCells(image, bytes, {}, 0, 0xFF));

    // A match must end inside the area: "AB" with its B one past the last cell is no hit.
    edit.write(bytes, 31, cells({0x41}));
    image[32] = 0x42;
    hit = FindCells(image, bytes, ab, 21, 0xFF);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->cell, 3u);
    EXPECT_TRUE(hit->wrapped);

    // Text in PIC words compares the low bytes, as the grid's Ascii column shows them.
    const EditArea words{0, 32, 2, 2, 0x3FFF};
    image.assign(64, 0xFF);
    edit.write(words, 9, cells({0x3441, 0x3442}));
    hit = FindCells(image, words, ab, 0, 0x00FF);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->cell, 9u);
    EXPECT_FALSE(FindCells(image, words, ab, 0, 0xFFFF));
}

TEST(BufferEditParse, HexCellsAndNumbers) {
    EXPECT_EQ(ParseHexCells("41 42,43", 1), cells({0x41, 0x42, 0x43}));
    EXPECT_EQ(ParseHexCells("414243", 1), cells({0x41, 0x42, 0x43}));
    EXPECT_EQ(ParseHexCells("f 3fff", 2), cells({0x000F, 0x3FFF}));
    EXPECT_EQ(ParseHexCells("3fff0000", 2), cells({0x3FFF, 0x0000}));
    EXPECT_FALSE(ParseHexCells("414", 1));
    EXPECT_FALSE(ParseHexCells("4g", 1));
    EXPECT_FALSE(ParseHexCells("  ", 1));
    EXPECT_EQ(ParseHexNumber(" $1f0 "), 0x1F0u);
    EXPECT_EQ(ParseHexNumber("0x10"), 0x10u);
    EXPECT_EQ(ParseHexNumber("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_FALSE(ParseHexNumber("1G"));
    EXPECT_FALSE(ParseHexNumber(""));
    EXPECT_FALSE(ParseHexNumber("123456789"));
}

}  // namespace
}  // namespace tavrin::test
