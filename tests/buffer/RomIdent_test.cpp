// ROM identification against small databases built by the tests.
#include "buffer/RomIdent.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

#include "buffer/FileTestSupport.h"
#include "support/SimRig.h"

namespace tavrin::test {
namespace {

std::vector<uint8_t> Titles(const std::vector<std::string>& titles) {
    std::vector<uint8_t> out(titles.size() * kRomTitleBytes, 0);
    for (size_t i = 0; i < titles.size(); ++i)
        std::memcpy(out.data() + i * kRomTitleBytes, titles[i].data(),
                    std::min<size_t>(titles[i].size(), 80));
    return out;
}

void AddEntry(std::vector<uint8_t>& out, int16_t title, const std::string& name, uint32_t crc) {
    uint8_t e[kRomEntryBytes] = {};
    e[0] = uint8_t(title), e[1] = uint8_t(uint16_t(title) >> 8);
    std::memcpy(e + 2, name.data(), std::min<size_t>(name.size(), 18));
    for (int i = 0; i < 4; ++i) e[20 + i] = uint8_t(crc >> (8 * i));
    e[24] = 0xEE;  // the unused field
    out.insert(out.end(), e, e + kRomEntryBytes);
}

uint32_t Crc(const std::vector<uint8_t>& bytes) {
    return static_cast<uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

class RomIdentTest : public ::testing::Test {
  protected:
    RomIdentTest() : db(dir.path().string()) {
        image = RandomBytes(1000, 3);
        std::copy(image.begin(), image.end(), rig.ctx.Buffer.begin());
        rig.ctx.profile.bufferLoaded = 1000;
    }
    void writeDatabase(const std::vector<uint8_t>& titles, const std::vector<uint8_t>& entries) {
        WriteBytes(dir / "romident.gam", titles);
        WriteBytes(dir / "romident.rom", entries);
    }

    SimRig rig;
    ScratchDir dir;
    RomIdentDatabase db;
    std::vector<uint8_t> image;
};

TEST_F(RomIdentTest, ListsEveryMatchInFileOrder) {
    std::vector<uint8_t> entries;
    AddEntry(entries, 1, "pacman.6e", Crc(image));
    AddEntry(entries, 0, "other.bin", Crc(image) ^ 1);
    AddEntry(entries, 0, "alias.rom", Crc(image));
    writeDatabase(Titles({"Galaxy Quest", "Pac Adventure"}), entries);

    const RomIdentResult r = RomIdentClick(rig.ctx, db);
    EXPECT_EQ(r.kind, RomIdentResult::Kind::Listing);
    EXPECT_EQ(r.crc, Crc(image));
    EXPECT_EQ(r.text,
              "ROMIDENT V2.1 - Data File Revision 2\n\n"
              "pacman.6e from Pac Adventure\n"
              "alias.rom from Galaxy Quest\n");
    EXPECT_EQ(rig.ui.results, std::vector<std::string>{"Information: " + r.text});
}

TEST_F(RomIdentTest, RevisionCountsWholeTitleRecords) {
    std::vector<uint8_t> titles = Titles(std::vector<std::string>(100, "t"));
    titles.resize(titles.size() + 79, 'x');  // a partial record is ignored
    std::vector<uint8_t> entries;
    AddEntry(entries, 99, "last", Crc(image));
    entries.resize(entries.size() + 27, 0);
    writeDatabase(titles, entries);
    const RomIdentResult r = RomIdentClick(rig.ctx, db);
    EXPECT_EQ(r.text, "ROMIDENT V2.1 - Data File Revision 100\n\nlast from t\n");
    EXPECT_EQ(db.entryCount(), 1u);
}

TEST_F(RomIdentTest, NothingLoadedMatchesOnlyCrcZero) {
    rig.ctx.profile.bufferLoaded = 0;
    std::vector<uint8_t> entries;
    AddEntry(entries, 0, "blank", 0);
    AddEntry(entries, 0, "full", Crc(image));
    writeDatabase(Titles({"Nothing"}), entries);
    const RomIdentResult r = RomIdentClick(rig.ctx, db);
    EXPECT_EQ(r.crc, 0u);
    EXPECT_EQ(r.text, "ROMIDENT V2.1 - Data File Revision 1\n\nblank from Nothing\n");
}

TEST_F(RomIdentTest, UsesTheCrcWhateverTheChecksumTypeAndTheLoadedExtentOnly) {
    rig.ctx.profile.checkType = 0;
    rig.ctx.Buffer[1000] = 0x00;  // past the extent: not part of the CRC
    EXPECT_EQ(LoadedDataCrc(rig.ctx), Crc(image));
    rig.ctx.profile.bufferLoaded = 0xFFFFFFFF;  // clipped to the Buffer
    EXPECT_EQ(LoadedDataCrc(rig.ctx),
              static_cast<uint32_t>(crc32(0, rig.ctx.Buffer.data(), kBufferBytes)));
}

TEST_F(RomIdentTest, NoMatchReportsNotFound) {
    std::vector<uint8_t> entries;
    AddEntry(entries, 0, "x", Crc(image) + 1);
    writeDatabase(Titles({"T"}), entries);
    const RomIdentResult r = RomIdentClick(rig.ctx, db);
    EXPECT_EQ(r.kind, RomIdentResult::Kind::NotFound);
    EXPECT_EQ(rig.ui.results, std::vector<std::string>{"Information: NOT FOUND!"});
}

TEST_F(RomIdentTest, BadTitleIndexesShowAnEmptyTitle) {
    std::vector<uint8_t> entries;
    AddEntry(entries, -1, "neg", Crc(image));
    AddEntry(entries, 2, "past", Crc(image));
    AddEntry(entries, 32767, "far", Crc(image));
    writeDatabase(Titles({"A", "B"}), entries);
    const RomIdentResult r = RomIdentClick(rig.ctx, db);
    EXPECT_EQ(r.text, "ROMIDENT V2.1 - Data File Revision 2\n\nneg from \npast from \nfar from \n");
}

TEST_F(RomIdentTest, UnterminatedFieldsEndWithTheirField) {
    std::vector<uint8_t> entries;
    AddEntry(entries, 0, std::string(18, 'N'), Crc(image));
    writeDatabase(std::vector<uint8_t>(80, 'T'), entries);
    const RomIdentResult r = RomIdentClick(rig.ctx, db);
    EXPECT_EQ(r.text, "ROMIDENT V2.1 - Data File Revision 1\n\n" + std::string(18, 'N') + " from " +
                          std::string(80, 'T') + "\n");
}

TEST_F(RomIdentTest, MissingTitlesDisableTheCommand) {
    WriteBytes(dir / "romident.rom", {});
    const RomIdentResult r = RomIdentClick(rig.ctx, db);
    EXPECT_EQ(r.kind, RomIdentResult::Kind::NoData);
    ASSERT_EQ(rig.ui.results.size(), 1u);
    const std::string& text = rig.ui.results[0];
    EXPECT_EQ(text.rfind("Information: ROMIDENT Data files needed for this function !\n\n", 0), 0u);
    EXPECT_GT(text.size(), 50u);
    EXPECT_EQ(text.find("http"), std::string::npos);
    EXPECT_EQ(text.find("www"), std::string::npos);
    EXPECT_FALSE(db.menuEnabled());

    writeDatabase(Titles({"T"}), {});  // too late: the entry stays disabled
    EXPECT_EQ(RomIdentClick(rig.ctx, db).kind, RomIdentResult::Kind::Disabled);
    EXPECT_EQ(rig.ui.results.size(), 1u);
}

TEST_F(RomIdentTest, MissingEntriesTryAgainNextTime) {
    WriteBytes(dir / "romident.gam", Titles({"T"}));
    EXPECT_EQ(RomIdentClick(rig.ctx, db).kind, RomIdentResult::Kind::NoData);
    EXPECT_EQ(rig.ui.results, std::vector<std::string>{
                                  "Information: ROMIDENT Data files needed for this function !"});
    EXPECT_TRUE(db.menuEnabled());
    EXPECT_FALSE(db.loaded());

    std::vector<uint8_t> entries;
    AddEntry(entries, 0, "late", Crc(image));
    WriteBytes(dir / "romident.rom", entries);
    EXPECT_EQ(RomIdentClick(rig.ctx, db).kind, RomIdentResult::Kind::Listing);
}

TEST_F(RomIdentTest, TablesAreReadOnce) {
    std::vector<uint8_t> entries;
    AddEntry(entries, 0, "first", Crc(image));
    writeDatabase(Titles({"T"}), entries);
    EXPECT_EQ(RomIdentClick(rig.ctx, db).kind, RomIdentResult::Kind::Listing);
    std::filesystem::remove(dir / "romident.rom");
    EXPECT_EQ(RomIdentClick(rig.ctx, db).kind, RomIdentResult::Kind::Listing);
}

}  // namespace
}  // namespace tavrin::test
