#include "devices/Catalogue.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "core/Dispatch.h"
#include "core/RecordingFrontEnd.h"
#include "devices/AcceptedIds.h"
#include "devices/DipPatterns.h"
#include "devices/Families.h"

namespace tavrin {
namespace {

struct Selection : ::testing::Test {
    RecordingFrontEnd ui;
    Context ctx{&ui};

    void select(const std::string& caption) {
        const DeviceEntry* e = FindDevice(caption);
        ASSERT_NE(e, nullptr) << caption;
        ASSERT_EQ(e->caption, caption);
        SelectDevice(ctx, *e);
    }
};

TEST_F(Selection, Eprom27C64FillsTheWholeProfile) {
    select("27C64");
    const DeviceProfile& p = ctx.profile;
    EXPECT_EQ(p.bufferSize, 8192);
    EXPECT_EQ(p.deviceSize, 8192);
    EXPECT_EQ(p.ShiftAdr, 12);
    EXPECT_EQ(p.PatternAdr, 0x1000u);
    EXPECT_EQ(p.epr64, 1);
    EXPECT_EQ(p.keepVpp, 1);
    EXPECT_EQ(p.tWP, 140);
    EXPECT_EQ(p.tWC, 20);
    EXPECT_EQ(p.addStep, 50);
    EXPECT_EQ(p.eep, 0);
    EXPECT_EQ(p.DIP, 1);
    EXPECT_EQ(p.package, 28);
    EXPECT_EQ(p.DeviceID, 202);
    EXPECT_EQ(ctx.controls.edDevice, "27C64");
    EXPECT_EQ(ctx.controls.dipDigits, "4110101001000");
    EXPECT_GE(ui.refreshes, 1);
}

TEST_F(Selection, Eprom27C256AsInTheWalkThrough) {
    select("27C256");
    EXPECT_EQ(ctx.profile.bufferSize, 32768);
    EXPECT_EQ(ctx.profile.ShiftAdr, 14);
    EXPECT_EQ(ctx.profile.keepVpp, 1);
    EXPECT_EQ(ctx.profile.epr64, 0);
    EXPECT_EQ(ctx.profile.DIP, 3);
}

TEST_F(Selection, FixedShiftOf28C256AndAT28C256) {
    for (const char* caption : {"28C256", "AT28C256  (64)"}) {
        select(caption);
        EXPECT_EQ(ctx.profile.bufferSize, 32768) << caption;
        EXPECT_EQ(ctx.profile.ShiftAdr, 15) << caption;
        EXPECT_EQ(ctx.profile.fixedShift, 1) << caption;
        EXPECT_EQ(ctx.profile.PatternAdr, 0x8000u) << caption;
        EXPECT_EQ(ctx.profile.swap, 1) << caption;
        EXPECT_EQ(ctx.profile.DIP, 25) << caption;
    }
    EXPECT_EQ(ctx.profile.eep, 7);
    EXPECT_EQ(ctx.profile.Ssize, 64);
    // The next selection derives the shift from the size again.
    select("28C64/65");
    EXPECT_EQ(ctx.profile.ShiftAdr, 12);
    EXPECT_EQ(ctx.profile.fixedShift, 0);
    EXPECT_EQ(ctx.profile.swap, 0);
    EXPECT_EQ(ctx.profile.tWP, 120);
    EXPECT_EQ(ctx.profile.tWC, 1000);
}

TEST_F(Selection, EntryValuesOverrideFamilyValues) {
    select("2716  (PCB3)");
    EXPECT_EQ(ctx.profile.tWP, 29830);  // 2 x tWP = 50.0 ms of 0.8381 us units
    EXPECT_EQ(ctx.profile.tWC, 50);
    EXPECT_EQ(ctx.profile.addStep, 200);
    EXPECT_EQ(ctx.profile.eep, 13);
    EXPECT_EQ(ctx.profile.package, 2716);
    select("2732  (PCB3)");
    EXPECT_EQ(ctx.profile.tWP, 1200);

    select("27C080/801   (PCB3)");
    const DeviceProfile plain = ctx.profile;
    select("AT27C080 (pro 50uS)");
    EXPECT_EQ(ctx.profile.tWP, 55);
    EXPECT_EQ(plain.tWP, 140);
    EXPECT_EQ(ctx.profile.bufferSize, plain.bufferSize);
    EXPECT_EQ(ctx.profile.DIP, plain.DIP);
    EXPECT_EQ(ctx.profile.tWC, plain.tWC);

    select("XLS2816  DIP24");
    EXPECT_EQ(ctx.profile.tWP, 500);
    EXPECT_EQ(ctx.profile.tWC, 10000);
}

TEST_F(Selection, AdapterTextOfSixteenBitEproms) {
    select("27C1024, 27C210");
    EXPECT_EQ(ctx.controls.lbAdapter, "EPROM 16bit (DIP40)");
    EXPECT_EQ(ctx.profile.package, 8749);
    select("27C322");
    EXPECT_EQ(ctx.controls.lbAdapter, "EPROM 16bit (DIP42)");
    EXPECT_EQ(ctx.profile.bufferSize, 4096 * 1024);
    EXPECT_EQ(ctx.profile.DIP, 33);
}

TEST_F(Selection, At29cResetsAndLocksTheOffset) {
    select("27C512");
    ctx.profile.Offset = 0x1234;
    ctx.controls.edOffsetText = "1234";
    select("AT29C010      (128)");
    EXPECT_EQ(ctx.profile.Offset, 0u);
    EXPECT_EQ(ctx.controls.edOffsetText, "0");
    EXPECT_FALSE(ctx.controls.edOffsetEnabled);
    EXPECT_EQ(ctx.profile.eep, 9);
    EXPECT_EQ(ctx.profile.tWC, 15000);
    EXPECT_EQ(ctx.profile.Ssize, 128);
    select("W29C040/C042   (256)");
    EXPECT_EQ(ctx.profile.eep, 22);
    EXPECT_EQ(ctx.profile.Ssize, 256);
    EXPECT_EQ(ctx.profile.DIP, 19);
    // Any other family opens the box again.
    select("27C512");
    EXPECT_TRUE(ctx.controls.edOffsetEnabled);
}

TEST_F(Selection, SramSetsPinsAndTheLoadedExtent) {
    ctx.profile.bufferLoaded = 5;
    select("6264      8KB");
    EXPECT_EQ(ctx.profile.bufferLoaded, 8192u);
    EXPECT_EQ(ctx.profile.pin28, 1);
    EXPECT_EQ(ctx.profile.ShiftAdr, 13);
    EXPECT_EQ(ctx.profile.PatternAdr, 0x2000u);
    EXPECT_EQ(ctx.profile.eep, 21);
    EXPECT_FALSE(ctx.controls.edOffsetEnabled);
    select("628128  128KB");
    EXPECT_EQ(ctx.profile.pin30, 1);
    EXPECT_EQ(ctx.profile.ShiftAdr, 18);
    EXPECT_EQ(ctx.profile.pin28, 0);
    // Other families leave the loaded extent alone.
    ctx.profile.bufferLoaded = 7;
    select("DS1230  32KB");
    EXPECT_EQ(ctx.profile.bufferLoaded, 7u);
    EXPECT_EQ(ctx.profile.ShiftAdr, 15);
    EXPECT_EQ(ctx.profile.eep, 20);
}

TEST_F(Selection, OptionBoxesOfTheFlashFamilies) {
    select("29F010");
    EXPECT_EQ(ctx.profile.eep, 4);
    EXPECT_EQ(ctx.profile.skipFF, 1);
    EXPECT_EQ(ctx.profile.sequ, 1);
    EXPECT_TRUE(ctx.controls.cb5555Visible);
    select("39SF/49F010");
    EXPECT_EQ(ctx.profile.eep, 12);
    EXPECT_EQ(ctx.profile.sequ, 1);
    EXPECT_FALSE(ctx.controls.cb5555Visible);
    select("MX29F040");
    EXPECT_EQ(ctx.profile.eep, 27);
    EXPECT_EQ(ctx.profile.sequ, 0);
    EXPECT_TRUE(ctx.controls.cb5555Visible);
    select("Am29F400");
    EXPECT_EQ(ctx.profile.eep, 15);
    EXPECT_EQ(ctx.controls.cb5555Caption, "( AAAA,5555,AAAA.. )");
    EXPECT_TRUE(ctx.controls.cbProtectEnabled);
    // ResetProfile puts the caption back for the next family.
    select("AT49F002 (N)T");
    EXPECT_EQ(ctx.controls.cb5555Caption, "( 5555,2AAA,5555,.. )");
    EXPECT_EQ(ctx.profile.eep, 23);
    EXPECT_FALSE(ctx.controls.cbProtectEnabled);
    EXPECT_EQ(ctx.controls.lbAdapter, "  TSOP40 ");
    select("AT49F002");
    EXPECT_TRUE(ctx.controls.cbProtectEnabled);
    EXPECT_EQ(ctx.profile.AT49F00x, 0);
    select("LE28F4001");
    EXPECT_EQ(ctx.profile.eep, 26);
    EXPECT_EQ(ctx.profile.DIP, 19);
    EXPECT_EQ(ctx.profile.package, 32);
    select("SST28xF040A");
    EXPECT_EQ(ctx.profile.eep, 25);
    EXPECT_EQ(ctx.profile.tWC, 40);
    select("28F001");
    EXPECT_EQ(ctx.profile.pin30, 1);
}

TEST_F(Selection, WiringNoteComesBeforeThe28F001BX) {
    ui.results.clear();
    select("i28F001BX-T");
    ASSERT_EQ(ui.results.size(), 1u);
    EXPECT_EQ(
        ui.results[0],
        "Information: Device 28F001BX-T \n\n PCB3A (set Jumper)\n PCB3 want modify to PCB3A "
        "or \n SHORT ( PIN [1] <--WIRE--> PIN [30] )\n\n TavrinPCB short PIN[1]<->PIN[30] ) ");
    EXPECT_EQ(ctx.profile.package, 28001);
    EXPECT_EQ(ctx.profile.DIP, 30);
    EXPECT_EQ(ctx.profile.eep, 19);
    select("i28F200");
    EXPECT_EQ(ui.results.size(), 1u);
}

TEST_F(Selection, TagZeroKeepsThePreviousDevice) {
    select("AT29C020      (256)");
    ctx.profile.sequ = 1;
    const DeviceProfile before = ctx.profile;
    const OptionControls controls = ctx.controls;
    const int refreshes = ui.refreshes;
    EXPECT_TRUE(SelectByHandler(ctx, "M27C_Click", 0));
    EXPECT_EQ(ctx.profile.eep, before.eep);
    EXPECT_EQ(ctx.profile.DeviceID, before.DeviceID);
    EXPECT_EQ(ctx.profile.bufferSize, before.bufferSize);
    EXPECT_EQ(ctx.profile.tWC, before.tWC);
    EXPECT_EQ(ctx.profile.Ssize, before.Ssize);
    EXPECT_EQ(ctx.profile.sequ, 1);
    EXPECT_EQ(ctx.controls.edDevice, controls.edDevice);
    EXPECT_EQ(ctx.controls.edOffsetEnabled, controls.edOffsetEnabled);
    EXPECT_EQ(ui.refreshes, refreshes);
}

TEST_F(Selection, TagZeroAtStartUpLeavesNoDevice) {
    EXPECT_TRUE(SelectByHandler(ctx, "M27C_Click", 0));
    EXPECT_EQ(ctx.profile.bufferSize, 0);
    EXPECT_EQ(ctx.profile.tWP, 0);
}

TEST_F(Selection, ReplayByHandlerAndTag) {
    EXPECT_TRUE(SelectByHandler(ctx, "AT29C_Click", 7));
    EXPECT_EQ(ctx.profile.eep, 22);
    EXPECT_EQ(ctx.profile.bufferSize, 128 * 1024);
    EXPECT_EQ(ctx.controls.edDevice, "W29EE011/C010   (128)");
    // Tags the handler knows without a menu entry.
    EXPECT_TRUE(SelectByHandler(ctx, "i28Fx00_Click", 104));
    EXPECT_EQ(ctx.profile.bufferSize, 2048 * 1024);
    EXPECT_EQ(ctx.controls.edDevice, "");
    EXPECT_TRUE(SelectByHandler(ctx, "MX28F20001Click", 101));
    EXPECT_EQ(ctx.profile.bufferSize, 128 * 1024);
    EXPECT_TRUE(SelectByHandler(ctx, "M29F_Click", 301));
    EXPECT_EQ(ctx.profile.bufferSize, 64 * 1024);
    EXPECT_EQ(ctx.profile.package, 28);
    EXPECT_EQ(ctx.profile.DIP, 7);
    EXPECT_EQ(ctx.profile.eep, 27);
    EXPECT_TRUE(SelectByHandler(ctx, "M29F_Click", 303));
    EXPECT_EQ(ctx.profile.bufferSize, 256 * 1024);
    EXPECT_EQ(ctx.profile.package, 32);
    // The replay shows the wiring note as the menu does.
    ui.results.clear();
    EXPECT_TRUE(SelectByHandler(ctx, "i28Fx00_Click", 201));
    EXPECT_EQ(ui.results.size(), 1u);
    EXPECT_EQ(ctx.controls.edDevice, "i28F001BX-T");
    EXPECT_FALSE(SelectByHandler(ctx, "NoSuch_Click", 1));
}

TEST_F(Selection, UnknownTagKeepsTheSizeAndShowsPatternZero) {
    select("27C512");
    EXPECT_TRUE(SelectByHandler(ctx, "M28C_Click", 99));
    EXPECT_EQ(ctx.profile.bufferSize, 64 * 1024);
    EXPECT_EQ(ctx.profile.DIP, 0);
    EXPECT_EQ(ctx.profile.eep, 5);
    EXPECT_EQ(ctx.profile.DeviceID, 99);
    EXPECT_EQ(ctx.controls.dipDigits, "4000000000000");
}

TEST(Catalogue, EveryEntrySelectsASaneProfile) {
    RecordingFrontEnd ui;
    Context ctx(&ui);
    int selectable = 0;
    for (const DeviceEntry& e : DeviceCatalogue()) {
        if (!e.selectable) continue;
        ++selectable;
        SelectDevice(ctx, e);
        const DeviceProfile& p = ctx.profile;
        SCOPED_TRACE(e.caption);
        EXPECT_EQ(p.DeviceID, e.tag);
        EXPECT_EQ(ctx.controls.edDevice, e.caption);
        EXPECT_GT(p.bufferSize, 0);
        EXPECT_LE(p.bufferSize, static_cast<int32_t>(kBufferBytes));
        // Memories come in powers of two; 8051 parts also in 10, 12 and 20 KB.
        if (p.eep != 10) EXPECT_EQ(p.bufferSize & (p.bufferSize - 1), 0) << "size not a power of two";
        EXPECT_EQ(p.eep, e.eep);
        EXPECT_EQ(p.bufferSize, e.size);
        EXPECT_TRUE(DipPatternDigits(p.DIP).has_value()) << p.DIP;
        EXPECT_EQ(p.PatternAdr, 1u << p.ShiftAdr);
        // ShiftAdr + 1 address bits reach the whole device (MCS-48: A8-A11 in the register, the
        // low byte on the data pins).
        const bool multiplexed = p.eep == 28 || p.eep == 29;
        EXPECT_GE(int64_t{1} << (multiplexed ? 12 : p.ShiftAdr + 1), p.bufferSize);
        EXPECT_GT(p.tWP, 0);
        EXPECT_GT(p.tWC, 0);
        EXPECT_NE(p.package, 0);
        EXPECT_GE(p.eep, 0);
        EXPECT_LE(p.eep, 31);
        EXPECT_FALSE(e.family.empty());
    }
    EXPECT_GE(selectable, 147);
}

TEST(Catalogue, MenuShapeAndDisabledEntries) {
    const MenuNode& menu = DeviceMenu();
    ASSERT_GE(menu.children.size(), 8u);
    EXPECT_EQ(menu.children[0].caption, "EPROM");
    EXPECT_EQ(menu.children[0].children[0].caption, "27Cxxx  ");
    EXPECT_EQ(menu.children[0].children[0].children[0].caption, "27C16  (PCB3)");
    // No empty submenus and no separators side by side or at the ends.
    std::function<void(const MenuNode&)> check = [&](const MenuNode& n) {
        for (size_t i = 0; i < n.children.size(); ++i) {
            const MenuNode& c = n.children[i];
            if (c.kind == MenuNode::Kind::Submenu) {
                EXPECT_FALSE(c.children.empty()) << c.caption;
                check(c);
            }
            if (c.kind == MenuNode::Kind::Separator) {
                EXPECT_GT(i, 0u);
                EXPECT_LT(i + 1, n.children.size());
                EXPECT_NE(n.children[i + 1].kind, MenuNode::Kind::Separator);
            }
            if (c.kind == MenuNode::Kind::Leaf) EXPECT_NE(c.entry, nullptr);
        }
    };
    check(menu);

    for (const char* caption : {"28C512", "AT28C512  (128)", "29F256", "628512  512KB",
                                "684000  (512KB)", "AT29LV010    (128)"}) {
        const DeviceEntry* e = FindDevice(caption);
        ASSERT_NE(e, nullptr) << caption;
        EXPECT_FALSE(e->enabled) << caption;
    }
    for (const char* caption : {"AT49F1024", "AT49F2048", "AT49F4096", "i28F160", "MX28F1000",
                                "Am28F080", "AT29LV256    (64)", " Request Adapter 3.3V"}) {
        const DeviceEntry* e = FindDevice(caption);
        ASSERT_NE(e, nullptr) << caption;
        EXPECT_FALSE(e->selectable) << caption;
        EXPECT_TRUE(e->handler.empty()) << caption;
    }
    // Choosing a do-nothing entry changes nothing.
    Context ctx;
    SelectDevice(ctx, *FindDevice("AT49F1024"));
    EXPECT_EQ(ctx.profile.bufferSize, 0);

    // The older 27xxx parts list 27020 above 27010.
    const DeviceEntry* e27020 = FindDevice("27020");
    const DeviceEntry* e27010 = FindDevice("27010");
    ASSERT_TRUE(e27020 && e27010);
    EXPECT_LT(e27020, e27010);
    EXPECT_EQ(e27020->menuPath, (std::vector<std::string>{"EPROM", "27xxx"}));
}

TEST(Catalogue, LookupByCaptionAndPartName) {
    ASSERT_NE(FindDevice("27C256"), nullptr);
    EXPECT_EQ(FindDevice("27C256")->caption, "27C256");
    ASSERT_NE(FindDevice("AT29C010"), nullptr);
    EXPECT_EQ(FindDevice("AT29C010")->caption, "AT29C010      (128)");
    EXPECT_EQ(FindDevice("at29c010")->caption, "AT29C010      (128)");
    EXPECT_EQ(FindDevice("at29c010 (128)")->caption, "AT29C010      (128)");
    EXPECT_EQ(FindDevice("AE29F1008")->caption, "ASD  AE29F1008  (128)");
    EXPECT_EQ(FindDevice("27C1024")->caption, "27C1024, 27C210");
    // The exact caption wins over a part name shared with another entry.
    EXPECT_EQ(FindDevice("29F002")->caption, "29F002");
    EXPECT_EQ(FindDevice("AT49F001")->caption, "AT49F001");
    // Two boards, two entries: the bare part name is ambiguous.
    EXPECT_EQ(FindDevice("AT29C256"), nullptr);
    EXPECT_NE(FindDevice("AT29C256    PCB3/3A"), nullptr);
    EXPECT_EQ(FindDevice("27C999"), nullptr);
    EXPECT_EQ(FindDevice(""), nullptr);
    // A caption listing variants answers to its first name.
    for (const auto& [name, caption] :
         {std::pair{"27C080", "27C080/801   (PCB3)"}, std::pair{"27C010", "27C010/1000/1001"},
          std::pair{"W29EE512", "W29EE512/C512   (128)"}}) {
        const DeviceEntry* e = FindDevice(name);
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(e->caption, caption);
    }
    EXPECT_EQ(FindDevice("39SF"), nullptr);  // four captions share that first name

    EXPECT_EQ(NormalisePartName("AT29C010      (128)"), "AT29C010");
    EXPECT_EQ(NormalisePartName("SST PH29EE010  (128)"), "PH29EE010");
    EXPECT_EQ(NormalisePartName("AT49F001 (N)T"), "AT49F001");
    EXPECT_EQ(NormalisePartName("6116      2KB"), "6116");

    const auto found = FindCandidates("29c0");
    ASSERT_FALSE(found.empty());
    for (const DeviceEntry* e : found)
        EXPECT_NE(e->caption.find("29C0"), std::string::npos) << e->caption;
    EXPECT_TRUE(FindCandidates("zzz").empty());
}

TEST(Catalogue, HandlerNamesAreUnique) {
    std::set<std::string> names;
    for (const FamilyTable* f : FamilyTables()) {
        ASSERT_NE(f->run, nullptr);
        EXPECT_TRUE(names.insert(f->handler).second) << f->handler;
        EXPECT_EQ(FindFamilyByHandler(f->handler), f);
    }
    EXPECT_TRUE(names.count("M27C_Click"));
    EXPECT_TRUE(names.count("SST28xF040A1Click"));
}

}  // namespace
}  // namespace tavrin

// Every row of the accepted-ID table names an entry whose family reads an electronic ID.
TEST(AcceptedIds, EveryRowNamesAnEntryWithGetId) {
    for (const tavrin::AcceptedIdRow& row : tavrin::AcceptedIdTable()) {
        SCOPED_TRACE(row.caption);
        const tavrin::DeviceEntry* entry = tavrin::FindDevice(row.caption);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(tavrin::FamilyFor(entry->eep).getId.kind, tavrin::Action::Kind::Run);
        EXPECT_FALSE(row.ids.empty());
        EXPECT_EQ(&tavrin::AcceptedIds(entry->caption), &row.ids);
    }
}
